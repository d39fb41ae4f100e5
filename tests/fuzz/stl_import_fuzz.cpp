// Fuzz target of the STL reader: the input is read as an STL file (ASCII or binary, as the reader
// tells them apart), then appended once more to the same scene with a colour.
#include "fuzz_outils.h"
#include "zarvel3d/zarvel3d.h"

#include <cmath>
#include <cstring>

namespace
{

bool Fini(const Zarvel3D::Pvec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The promises of a scene that an import filled: ids in range, finite coordinates, a usable scale.
void VerifieModele(const Zarvel3D::PScene3D& scene)
{
    const Zarvel3D::PModele3D& modele = scene.Modele();
    const std::size_t sommets = modele.sommets.size();
    ZARVEL_FUZZ_VERIFIE(sommets >= 1);
    for (const Zarvel3D::PSommet3D& s : modele.sommets)
    {
        ZARVEL_FUZZ_VERIFIE(Fini(s.position));
        ZARVEL_FUZZ_VERIFIE(Fini(s.normale));
    }
    for (const Zarvel3D::PSegment3D& s : modele.segments)
    {
        ZARVEL_FUZZ_VERIFIE(s.p1.id >= -1 && s.p1.id < static_cast<long long>(sommets));
        ZARVEL_FUZZ_VERIFIE(s.p2.id >= -1 && s.p2.id < static_cast<long long>(sommets));
    }
    unsigned long long triangles = 0;
    for (const Zarvel3D::PSurface3D& surface : modele.surfaces)
    {
        ZARVEL_FUZZ_VERIFIE(!surface.triangles.empty());
        ZARVEL_FUZZ_VERIFIE(Fini(surface.centre));
        for (const Zarvel3D::PTriangle3D& t : surface.triangles)
        {
            for (const Zarvel3D::Pvec3& coin : t.sommets)
            {
                ZARVEL_FUZZ_VERIFIE(coin.id >= 0 && static_cast<std::size_t>(coin.id) < sommets);
                ZARVEL_FUZZ_VERIFIE(Fini(coin));
            }
            ZARVEL_FUZZ_VERIFIE(Fini(t.normale));
        }
        triangles += surface.triangles.size();
    }
    ZARVEL_FUZZ_VERIFIE(triangles > 0 && triangles == scene.NombreTriangles());
    ZARVEL_FUZZ_VERIFIE(Fini(scene.Centre()));
    ZARVEL_FUZZ_VERIFIE(std::isfinite(scene.EchelleAffichage()) && scene.EchelleAffichage() > 0.0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const char* chemin = fuzz::FichierMemoire(donnees, taille);
    Zarvel3D::PScene3D scene;
    unsigned long long progression = 0;
    if (!scene.ImportSTL(chemin, 0, false, nullptr, &progression))
    {
        // A refused file leaves a reason and the scene as it was.
        ZARVEL_FUZZ_VERIFIE(std::strlen(scene.Diagnostic()) > 0);
        ZARVEL_FUZZ_VERIFIE(std::strlen(Zarvel3D::Diagnostic()) > 0);
        ZARVEL_FUZZ_VERIFIE(scene.NombreTriangles() == 0 && scene.Modele().sommets.empty());
        return 0;
    }
    VerifieModele(scene);
    const unsigned long long triangles = scene.NombreTriangles();
    const std::size_t sommets = scene.Modele().sommets.size();
    const std::size_t surfaces = scene.Modele().surfaces.size();
    ZARVEL_FUZZ_VERIFIE(progression == triangles);
    for (const Zarvel3D::PSurface3D& surface : scene.Modele().surfaces)
    {
        for (const Zarvel3D::PTriangle3D& t : surface.triangles)
        {
            ZARVEL_FUZZ_VERIFIE(t.couleur.definie == 0);
        }
    }

    // The same file appended with a colour: the model doubles and only the new part is coloured.
    ZARVEL_FUZZ_VERIFIE(scene.ImportSTL(chemin, 9010, true, nullptr, nullptr));
    VerifieModele(scene);
    const Zarvel3D::PModele3D& modele = scene.Modele();
    ZARVEL_FUZZ_VERIFIE(scene.NombreTriangles() == 2 * triangles);
    ZARVEL_FUZZ_VERIFIE(modele.sommets.size() == 2 * sommets);
    ZARVEL_FUZZ_VERIFIE(modele.surfaces.size() == 2 * surfaces);
    for (std::size_t s = 0; s < modele.surfaces.size(); ++s)
    {
        for (const Zarvel3D::PTriangle3D& t : modele.surfaces[s].triangles)
        {
            ZARVEL_FUZZ_VERIFIE(t.couleur.definie == (s < surfaces ? 0 : 1));
        }
    }
    return 0;
}
