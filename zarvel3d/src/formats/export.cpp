// Scene export: binary STL, OBJ with normals, binary little-endian PLY, STEP of the solid or,
// for a mesh, of its triangles; 3MF and binary glTF through the export-formats module.
#include "diagnostic.h"
#include "formats/export_formats.h"
#include "formats/fichier_atomique.h"
#include "formats/step_maillage.h"
#include "progression.h"
#include "scene_priv.h"
#include "solides.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
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

bool EcritSTL(const PModele3D& modele, unsigned long long triangles, FichierAtomique& f)
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
    for (const PSurface3D& surface : modele.surfaces)
    {
        for (const PTriangle3D& t : surface.triangles)
        {
            Float(p, t.normale.x);
            Float(p, t.normale.y);
            Float(p, t.normale.z);
            for (const Pvec3& s : t.sommets)
            {
                Float(p, s.x);
                Float(p, s.y);
                Float(p, s.z);
            }
            p[0] = p[1] = 0;
            p += 2;
            if (p == tampon + sizeof tampon)
            {
                if (!f.Ecrit(tampon, sizeof tampon))
                {
                    return false;
                }
                p = tampon;
            }
        }
    }
    return f.Ecrit(tampon, static_cast<std::size_t>(p - tampon));
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

bool EcritOBJ(const PModele3D& modele, FichierAtomique& f)
{
    std::unique_ptr<TexteOBJ> o(new TexteOBJ(f));
    o->Texte("# Zarvel3D\n");
    const bool partage = CoinsIndexes(modele);
    if (partage)
    {
        for (const PSommet3D& s : modele.sommets)
        {
            o->Ligne3("v ", s.position.x, s.position.y, s.position.z);
        }
    }
    // One normal per triangle: the facets keep their own normal across sharp edges.
    unsigned long long triangle = 0;
    unsigned long long sommet = 0;
    std::size_t numero = 0;
    for (const PSurface3D& surface : modele.surfaces)
    {
        ++numero;
        if (surface.triangles.empty())
        {
            continue;
        }
        o->Texte("g surface");
        o->Entier(numero);
        o->Texte("\n");
        for (const PTriangle3D& t : surface.triangles)
        {
            ++triangle;
            if (!partage)
            {
                for (const Pvec3& s : t.sommets)
                {
                    o->Ligne3("v ", s.x, s.y, s.z);
                }
            }
            o->Ligne3("vn ", t.normale.x, t.normale.y, t.normale.z);
            o->Texte("f");
            for (int k = 0; k < 3; ++k)
            {
                o->Texte(" ");
                o->Entier(partage ? static_cast<unsigned long long>(t.sommets[k].id) + 1 : ++sommet);
                o->Texte("//");
                o->Entier(triangle);
            }
            o->Texte("\n");
        }
    }
    return o->Fin();
}

bool EcritPLY(const PModele3D& modele, unsigned long long triangles, FichierAtomique& f)
{
    const bool partage = CoinsIndexes(modele);
    const unsigned long long sommets = partage ? modele.sommets.size() : 3 * triangles;
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
    constexpr std::size_t lot = 4096;
    std::string tampon;
    tampon.reserve(lot * 40);
    auto sommet = [&](const Pvec3& p, const Pvec3& n)
    {
        char enregistrement[36];
        std::memcpy(enregistrement, &p.x, 8);
        std::memcpy(enregistrement + 8, &p.y, 8);
        std::memcpy(enregistrement + 16, &p.z, 8);
        const float nf[3] = {static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)};
        std::memcpy(enregistrement + 24, nf, 12);
        tampon.append(enregistrement, sizeof enregistrement);
    };
    auto vide = [&]()
    {
        const bool ok = f.Ecrit(tampon.data(), tampon.size());
        tampon.clear();
        return ok;
    };
    if (partage)
    {
        for (const PSommet3D& s : modele.sommets)
        {
            sommet(s.position, s.normale);
            if (tampon.size() >= lot * 36 && !vide())
            {
                return false;
            }
        }
    }
    else
    {
        for (const PSurface3D& surface : modele.surfaces)
        {
            for (const PTriangle3D& t : surface.triangles)
            {
                for (const Pvec3& s : t.sommets)
                {
                    sommet(s, t.normale);
                }
                if (tampon.size() >= lot * 36 && !vide())
                {
                    return false;
                }
            }
        }
    }
    std::int32_t suivant = 0;
    for (const PSurface3D& surface : modele.surfaces)
    {
        for (const PTriangle3D& t : surface.triangles)
        {
            char face[13];
            face[0] = 3;
            for (int k = 0; k < 3; ++k)
            {
                const std::int32_t i = partage ? t.sommets[k].id : suivant++;
                std::memcpy(face + 1 + 4 * k, &i, 4);
            }
            tampon.append(face, sizeof face);
            if (tampon.size() >= lot * 36 && !vide())
            {
                return false;
            }
        }
    }
    return vide();
}

bool EcritSTEP(const void* solide, FichierAtomique& f, std::string& erreur, const char* chemin)
{
    // A scene holds a solid only when the module made it, so the module is already loaded here.
    const solides::TableSolides* module = solides::Module(erreur);
    if (module == nullptr)
    {
        return false;
    }
    if (!f.FermePourEcritureExterne())
    {
        erreur = f.Erreur();
        return false;
    }
    if (!module->export_step(solide, f.CheminEcriture().c_str(), erreur))
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
            if (extension == "stl")
            {
                ecrit = EcritSTL(Modele(), triangles, f);
            }
            else if (extension == "obj")
            {
                ecrit = EcritOBJ(Modele(), f);
            }
            else if (extension == "ply")
            {
                ecrit = EcritPLY(Modele(), triangles, f);
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
