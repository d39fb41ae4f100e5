// The compact mesh of a scene and the model derived from it.
#include "maillage_scene.h"

#include "formats/maillage.h"

#include <cmath>

namespace Zarvel3D
{
namespace interne
{

namespace
{

// The unit vector along a float triple; false, `n` untouched, for a zero or non-finite one.
bool Unitaire(const float* v, double n[3])
{
    const double x = v[0], y = v[1], z = v[2];
    const double l = std::sqrt(x * x + y * y + z * z);
    if (!(l > 0.0 && std::isfinite(l)))
    {
        return false;
    }
    n[0] = x / l;
    n[1] = y / l;
    n[2] = z / l;
    return true;
}

// The model's normal of triangle t from the arrays, for the scene's mesh and for its public view.
void NormaleTriangleTableaux(const double* positions, const std::uint32_t* triangles, const float* normales,
                             std::size_t t, double n[3])
{
    if (Unitaire(normales + 3 * t, n))
    {
        return;
    }
    // The corners' normal is kept as a float (single precision is plenty for a direction), so
    // it is rounded to one here. The empty asm keeps each rounding: GCC 12 at -O2 vectorises
    // the double-float-double round trip of x and y and drops it.
    double c[3];
    NormaleUnitaire(positions + 3 * static_cast<std::size_t>(triangles[3 * t]),
                    positions + 3 * static_cast<std::size_t>(triangles[3 * t + 1]),
                    positions + 3 * static_cast<std::size_t>(triangles[3 * t + 2]), c);
    for (int k = 0; k < 3; ++k)
    {
        float arrondie = static_cast<float>(c[k]);
        __asm__("" : "+x"(arrondie));
        n[k] = arrondie;
    }
}

void NormaleSommetTableau(const float* sommes_normales, std::size_t v, double n[3])
{
    if (!Unitaire(sommes_normales + 3 * v, n))
    {
        n[0] = n[1] = n[2] = 0.0;
    }
}

} // namespace

void MaillageScene::NormaleTriangle(std::size_t t, double n[3]) const
{
    NormaleTriangleTableaux(positions.Donnees(), triangles.Donnees(), normales.Donnees(), t, n);
}

void MaillageScene::NormaleSommet(std::size_t v, double n[3]) const
{
    NormaleSommetTableau(sommes_normales.Donnees(), v, n);
}

PMaillage3D MaillageScene::Vue() const
{
    PMaillage3D vue;
    vue.nombre_sommets = NombreSommets();
    vue.nombre_triangles = NombreTriangles();
    vue.nombre_surfaces = NombreSurfaces();
    vue.nombre_segments = NombreSegments();
    vue.positions = positions.Donnees();
    vue.sommes_normales = sommes_normales.Donnees();
    vue.triangles = triangles.Donnees();
    vue.normales = normales.Donnees();
    vue.ordre = ordre.Taille() != 0 ? ordre.Donnees() : nullptr;
    vue.debut_surfaces = debut_surfaces.Donnees();
    vue.centres = centres.Donnees();
    vue.segments = segments.Donnees();
    vue.couleur = couleur;
    return vue;
}

const PModele3D& MaillageScene::Modele() const
{
    return ModelePartage().Lit();
}

const PPartage<PModele3D>& MaillageScene::ModelePartage() const
{
    // Scenes that share this mesh share the derived model too: it is built once for all.
    std::call_once(derive,
                   [this]()
                   {
                       PModele3D m;
                       Derive(0, m);
                       modele = PPartage<PModele3D>(std::move(m));
                   });
    return modele;
}

void MaillageScene::Derive(std::uint32_t decalage, PModele3D& sortie) const
{
    const double* pos = positions.Donnees();
    const std::size_t nombre_surfaces = NombreSurfaces();
    const std::size_t surface0 = sortie.surfaces.size();
    sortie.surfaces.resize(surface0 + nombre_surfaces);
    PTriangle3D tri;
    tri.couleur = couleur;
    tri.visible = 1;
    tri.normale.id = 0;
    for (std::size_t s = 0; s < nombre_surfaces; ++s)
    {
        PSurface3D& surface = sortie.surfaces[surface0 + s];
        surface.triangles.reserve(debut_surfaces[s + 1] - debut_surfaces[s]);
        for (std::size_t i = debut_surfaces[s]; i < debut_surfaces[s + 1]; ++i)
        {
            const std::size_t t = Triangle(i);
            for (int k = 0; k < 3; ++k)
            {
                const std::uint32_t v = triangles[3 * t + static_cast<std::size_t>(k)];
                const double* p = pos + 3 * static_cast<std::size_t>(v);
                tri.sommets[k] = Pvec3(p[0], p[1], p[2], static_cast<int>(v + decalage));
            }
            double n[3];
            NormaleTriangle(t, n);
            tri.normale.x = n[0];
            tri.normale.y = n[1];
            tri.normale.z = n[2];
            surface.triangles.push_back(tri);
        }
        surface.centre = Pvec3(centres[3 * s], centres[3 * s + 1], centres[3 * s + 2]);
    }

    const std::size_t nombre_segments = NombreSegments();
    sortie.segments.reserve(sortie.segments.size() + nombre_segments);
    PSegment3D segment;
    segment.visible = 1;
    for (std::size_t i = 0; i < nombre_segments; ++i)
    {
        const std::uint32_t a = segments[2 * i], b = segments[2 * i + 1];
        segment.p1 = Pvec3(pos[3 * a], pos[3 * a + 1], pos[3 * a + 2], static_cast<int>(a + decalage));
        segment.p2 = Pvec3(pos[3 * b], pos[3 * b + 1], pos[3 * b + 2], static_cast<int>(b + decalage));
        sortie.segments.push_back(segment);
    }

    const std::size_t nv = NombreSommets();
    sortie.sommets.reserve(sortie.sommets.size() + nv);
    PSommet3D sommet;
    sommet.visible = 1;
    for (std::size_t v = 0; v < nv; ++v)
    {
        sommet.position = Pvec3(pos[3 * v], pos[3 * v + 1], pos[3 * v + 2]);
        double n[3];
        NormaleSommet(v, n);
        sommet.normale = Pvec3(n[0], n[1], n[2]);
        sortie.sommets.push_back(sommet);
    }
}

} // namespace interne

void PMaillage3D::NormaleTriangle(std::size_t t, double n[3]) const
{
    interne::NormaleTriangleTableaux(positions, triangles, normales, t, n);
}

void PMaillage3D::NormaleSommet(std::size_t v, double n[3]) const
{
    interne::NormaleSommetTableau(sommes_normales, v, n);
}

} // namespace Zarvel3D
