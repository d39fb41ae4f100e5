// Scene export: binary STL, OBJ with normals, binary little-endian PLY, STEP of the solid or,
// for a mesh, of its triangles; 3MF and binary glTF through the export-formats module.
#include "diagnostic.h"
#include "formats/export_formats.h"
#include "formats/fichier_atomique.h"
#include "formats/step_maillage.h"
#include "maillage_scene.h"
#include "progression.h"
#include "scene_priv.h"
#include "step.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>

namespace Zarvel3D
{

namespace
{

using interne::CoinsIndexes;
using interne::FichierAtomique;
using interne::FormatModule;
using interne::Message;
using interne::Texte;

std::string Extension(const char* chemin)
{
    const char* point = std::strrchr(chemin, '.');
    const char* barre = std::strrchr(chemin, '/');
    if (point == nullptr || (barre != nullptr && barre > point))
    {
        return std::string();
    }
    std::string e(point + 1);
    for (char& c : e)
    {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return e;
}

// The product name of a STEP file: the file name without folder and extension.
std::string NomProduit(const char* chemin)
{
    std::string nom(chemin);
    const std::size_t barre = nom.rfind('/');
    if (barre != std::string::npos)
    {
        nom.erase(0, barre + 1);
    }
    const std::size_t point = nom.rfind('.');
    if (point != std::string::npos && point > 0)
    {
        nom.erase(point);
    }
    return nom;
}

void Float(char*& p, double v)
{
    const float f = static_cast<float>(v);
    std::memcpy(p, &f, 4);
    p += 4;
}

// The writers below read a model through one of two sources: the scene's PModele3D, or the
// compact mesh of an imported scene, which gives the same values without building the model.
// Parcourt calls f(surface, normal, corners, vertex indices) for each triangle in surface order
// and stops at the first false; Sommets calls g(position, normal) for each model vertex.

class SourceModele
{
public:
    explicit SourceModele(const PModele3D& m) : modele(m) {}
    bool CoinsPartages() const { return CoinsIndexes(modele); }
    std::size_t NombreSommets() const { return modele.sommets.size(); }
    template <typename F> bool Parcourt(F f) const
    {
        for (std::size_t s = 0; s < modele.surfaces.size(); ++s)
        {
            for (const PTriangle3D& t : modele.surfaces[s].triangles)
            {
                const double n[3] = {t.normale.x, t.normale.y, t.normale.z};
                const double c[3][3] = {{t.sommets[0].x, t.sommets[0].y, t.sommets[0].z},
                                        {t.sommets[1].x, t.sommets[1].y, t.sommets[1].z},
                                        {t.sommets[2].x, t.sommets[2].y, t.sommets[2].z}};
                const long long id[3] = {t.sommets[0].id, t.sommets[1].id, t.sommets[2].id};
                if (!f(s, n, c, id))
                {
                    return false;
                }
            }
        }
        return true;
    }
    template <typename G> bool Sommets(G g) const
    {
        for (const PSommet3D& v : modele.sommets)
        {
            const double p[3] = {v.position.x, v.position.y, v.position.z};
            const double n[3] = {v.normale.x, v.normale.y, v.normale.z};
            if (!g(p, n))
            {
                return false;
            }
        }
        return true;
    }

private:
    const PModele3D& modele;
};

class SourceMaillage
{
public:
    explicit SourceMaillage(const interne::MaillageScene& m) : maillage(m) {}
    // Corners are model vertices by construction.
    bool CoinsPartages() const { return true; }
    std::size_t NombreSommets() const { return maillage.NombreSommets(); }
    template <typename F> bool Parcourt(F f) const
    {
        const double* pos = maillage.positions.Donnees();
        const std::uint32_t* tv = maillage.triangles.Donnees();
        for (std::size_t s = 0; s < maillage.NombreSurfaces(); ++s)
        {
            for (std::size_t i = maillage.debut_surfaces[s]; i < maillage.debut_surfaces[s + 1]; ++i)
            {
                const std::size_t t = maillage.Triangle(i);
                double n[3];
                maillage.NormaleTriangle(t, n);
                double c[3][3];
                long long id[3];
                for (int k = 0; k < 3; ++k)
                {
                    const std::uint32_t v = tv[3 * t + static_cast<std::size_t>(k)];
                    std::memcpy(c[k], pos + 3 * static_cast<std::size_t>(v), sizeof c[k]);
                    id[k] = v;
                }
                if (!f(s, n, c, id))
                {
                    return false;
                }
            }
        }
        return true;
    }
    template <typename G> bool Sommets(G g) const
    {
        const double* pos = maillage.positions.Donnees();
        for (std::size_t v = 0; v < maillage.NombreSommets(); ++v)
        {
            double n[3];
            maillage.NormaleSommet(v, n);
            if (!g(pos + 3 * v, n))
            {
                return false;
            }
        }
        return true;
    }

private:
    const interne::MaillageScene& maillage;
};

template <typename Source>
bool EcritSTL(const Source& source, unsigned long long triangles, FichierAtomique& f)
{
    // The header must not begin with "solid", or readers may take the file for text.
    char entete[84];
    std::memset(entete, ' ', 80);
    const char titre[] = "Zarvel3D binary STL";
    std::memcpy(entete, titre, sizeof titre - 1);
    const std::uint32_t n = static_cast<std::uint32_t>(triangles);
    std::memcpy(entete + 80, &n, 4);
    if (!f.Ecrit(entete, sizeof entete))
    {
        return false;
    }
    constexpr std::size_t lot = 4096;
    char tampon[lot * 50];
    char* p = tampon;
    const bool ecrit = source.Parcourt(
        [&](std::size_t, const double(&normale)[3], const double(&coins)[3][3], const long long(&)[3])
        {
            for (double v : normale)
            {
                Float(p, v);
            }
            for (const auto& coin : coins)
            {
                Float(p, coin[0]);
                Float(p, coin[1]);
                Float(p, coin[2]);
            }
            p[0] = p[1] = 0;
            p += 2;
            if (p == tampon + sizeof tampon)
            {
                p = tampon;
                return f.Ecrit(tampon, sizeof tampon);
            }
            return true;
        });
    return ecrit && f.Ecrit(tampon, static_cast<std::size_t>(p - tampon));
}

class TexteOBJ
{
public:
    explicit TexteOBJ(FichierAtomique& fichier) : f(fichier) {}
    void Texte(const char* t) { Ajoute(t, std::strlen(t)); }
    void Reel(double v)
    {
        char tampon[32];
        // Shortest text that reads back to the same double.
        const auto r = std::to_chars(tampon, tampon + sizeof tampon, v);
        Ajoute(tampon, static_cast<std::size_t>(r.ptr - tampon));
    }
    void Entier(unsigned long long v)
    {
        char tampon[24];
        const auto r = std::to_chars(tampon, tampon + sizeof tampon, v);
        Ajoute(tampon, static_cast<std::size_t>(r.ptr - tampon));
    }
    void Ligne3(const char* prefixe, double x, double y, double z)
    {
        Texte(prefixe);
        Reel(x);
        Texte(" ");
        Reel(y);
        Texte(" ");
        Reel(z);
        Texte("\n");
    }
    bool Fin() { return Vide(); }

private:
    void Ajoute(const char* t, std::size_t n)
    {
        if (taille + n > sizeof tampon)
        {
            Vide();
        }
        std::memcpy(tampon + taille, t, n);
        taille += n;
    }
    bool Vide()
    {
        const bool ok = f.Ecrit(tampon, taille);
        taille = 0;
        return ok;
    }
    FichierAtomique& f;
    char tampon[1 << 16];
    std::size_t taille = 0;
};

template <typename Source> bool EcritOBJ(const Source& source, FichierAtomique& f)
{
    std::unique_ptr<TexteOBJ> o(new TexteOBJ(f));
    o->Texte("# Zarvel3D\n");
    const bool partage = source.CoinsPartages();
    if (partage)
    {
        source.Sommets(
            [&](const double* p, const double*)
            {
                o->Ligne3("v ", p[0], p[1], p[2]);
                return true;
            });
    }
    // One normal per triangle: the facets keep their own normal across sharp edges. A group per
    // surface that has triangles, named after the surface's place among all of them.
    unsigned long long triangle = 0;
    unsigned long long sommet = 0;
    std::size_t groupe = static_cast<std::size_t>(-1);
    source.Parcourt(
        [&](std::size_t surface, const double(&normale)[3], const double(&coins)[3][3],
            const long long(&id)[3])
        {
            if (surface != groupe)
            {
                groupe = surface;
                o->Texte("g surface");
                o->Entier(surface + 1);
                o->Texte("\n");
            }
            ++triangle;
            if (!partage)
            {
                for (const auto& coin : coins)
                {
                    o->Ligne3("v ", coin[0], coin[1], coin[2]);
                }
            }
            o->Ligne3("vn ", normale[0], normale[1], normale[2]);
            o->Texte("f");
            for (int k = 0; k < 3; ++k)
            {
                o->Texte(" ");
                o->Entier(partage ? static_cast<unsigned long long>(id[k]) + 1 : ++sommet);
                o->Texte("//");
                o->Entier(triangle);
            }
            o->Texte("\n");
            return true;
        });
    return o->Fin();
}

template <typename Source>
bool EcritPLY(const Source& source, unsigned long long triangles, FichierAtomique& f)
{
    const bool partage = source.CoinsPartages();
    const unsigned long long sommets = partage ? source.NombreSommets() : 3 * triangles;
    std::string entete = "ply\nformat binary_little_endian 1.0\ncomment Zarvel3D\nelement vertex ";
    entete += std::to_string(sommets);
    entete += "\nproperty double x\nproperty double y\nproperty double z\n"
              "property float nx\nproperty float ny\nproperty float nz\nelement face ";
    entete += std::to_string(triangles);
    entete += "\nproperty list uchar int vertex_indices\nend_header\n";
    if (!f.Ecrit(entete.data(), entete.size()))
    {
        return false;
    }
    // Records are gathered in a fixed buffer and handed to the file in large pieces.
    constexpr std::size_t lot = 4096 * 36;
    std::unique_ptr<char[]> tampon(new char[lot + 64]);
    std::size_t taille = 0;
    auto vide = [&]()
    {
        const bool ok = f.Ecrit(tampon.get(), taille);
        taille = 0;
        return ok;
    };
    auto sommet = [&](const double* p, const double* n)
    {
        char* e = tampon.get() + taille;
        std::memcpy(e, p, 24);
        const float nf[3] = {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])};
        std::memcpy(e + 24, nf, 12);
        taille += 36;
        return taille < lot || vide();
    };
    if (partage)
    {
        if (!source.Sommets(sommet))
        {
            return false;
        }
    }
    else if (!source.Parcourt(
                 [&](std::size_t, const double(&normale)[3], const double(&coins)[3][3],
                     const long long(&)[3]) {
                     return sommet(coins[0], normale) && sommet(coins[1], normale) &&
                            sommet(coins[2], normale);
                 }))
    {
        return false;
    }
    std::int32_t suivant = 0;
    const bool faces = source.Parcourt(
        [&](std::size_t, const double(&)[3], const double(&)[3][3], const long long(&id)[3])
        {
            char* face = tampon.get() + taille;
            face[0] = 3;
            for (int k = 0; k < 3; ++k)
            {
                const std::int32_t i = partage ? static_cast<std::int32_t>(id[k]) : suivant++;
                std::memcpy(face + 1 + 4 * k, &i, 4);
            }
            taille += 13;
            return taille < lot || vide();
        });
    return faces && vide();
}

bool EcritSTEP(const void* solide, FichierAtomique& f, std::string& erreur, const char* chemin)
{
    // The translator toolkits are loaded by the first STEP export only (see step.h).
    const step::TableStep* module = step::Module(erreur);
    if (module == nullptr)
    {
        return false;
    }
    if (!f.FermePourEcritureExterne())
    {
        erreur = f.Erreur();
        return false;
    }
    if (!module->ecriture(solide, f.CheminEcriture().c_str(), erreur))
    {
        if (erreur.empty())
        {
            erreur = Texte(Message::ExportStep, chemin);
        }
        return false;
    }
    return true;
}

} // namespace

bool PScene3D::Export(const char* chemin) const
{
    const auto echec = [this](const std::string& texte) { interne::EchecScene(*this, texte); };
    return interne::Garde(
        false,
        [&]() -> bool
        {
            if (chemin == nullptr || chemin[0] == '\0')
            {
                echec(Texte(Message::CheminVide));
                return false;
            }
            std::lock_guard<std::recursive_mutex> verrou(impl->verrou);
            const std::string extension = Extension(chemin);
            const bool step = extension == "step" || extension == "stp";
            if (!step && extension != "stl" && extension != "obj" && extension != "ply" &&
                extension != "3mf" && extension != "glb")
            {
                echec(Texte(Message::ExportExtensionInconnue, chemin));
                return false;
            }
            const unsigned long long triangles = NombreTriangles();
            if (step && impl->solide == nullptr && triangles == 0)
            {
                echec(Texte(Message::ExportSansSolide, chemin));
                return false;
            }
            if (!step && triangles == 0)
            {
                echec(Texte(Message::ExportSceneVide, chemin));
                return false;
            }
            if (extension == "stl" && triangles > 0xFFFFFFFFull)
            {
                echec(Texte(Message::StlTropDeTriangles, chemin, triangles));
                return false;
            }
            FichierAtomique f;
            if (!f.Ouvre(chemin))
            {
                echec(f.Erreur());
                return false;
            }
            // Progress in bytes written: known beforehand for binary STL only.
            interne::ProgressionDebut(extension == "stl" ? 84 + 50 * triangles : 0);
            bool ecrit = false;
            std::string erreur;
            const interne::MaillageScene* maillage = impl->maillage.get();
            if (extension == "stl")
            {
                ecrit = maillage != nullptr ? EcritSTL(SourceMaillage(*maillage), triangles, f)
                                            : EcritSTL(SourceModele(Modele()), triangles, f);
            }
            else if (extension == "obj")
            {
                ecrit = maillage != nullptr ? EcritOBJ(SourceMaillage(*maillage), f)
                                            : EcritOBJ(SourceModele(Modele()), f);
            }
            else if (extension == "ply")
            {
                ecrit = maillage != nullptr ? EcritPLY(SourceMaillage(*maillage), triangles, f)
                                            : EcritPLY(SourceModele(Modele()), triangles, f);
            }
            else if (extension == "3mf" || extension == "glb")
            {
                const FormatModule format =
                    extension == "3mf" ? FormatModule::Format3MF : FormatModule::FormatGLB;
                ecrit = interne::EcritParModule(format, Modele(), triangles, NomProduit(chemin), chemin, f,
                                                erreur);
            }
            else if (impl->solide != nullptr)
            {
                ecrit = EcritSTEP(impl->solide.get(), f, erreur, chemin);
            }
            else
            {
                // A mesh without a solid: its triangles become planar faces.
                ecrit = interne::EcritSTEPMaillage(Modele(), NomProduit(chemin), f);
                if (!ecrit && f.Erreur().empty())
                {
                    erreur = Texte(Message::ExportSansSolide, chemin);
                }
            }
            if (!ecrit || !f.Termine())
            {
                echec(!erreur.empty() ? erreur : f.Erreur());
                return false;
            }
            impl->diagnostic.clear();
            interne::ProgressionFin();
            return true;
        },
        echec);
}

} // namespace Zarvel3D
