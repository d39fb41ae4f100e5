// 3MF and binary glTF export: the meshes each format wants, prepared from the model, handed to
// the export-formats module, and the bytes it returns written atomically.
#include "formats/export_formats.h"

#include "diagnostic.h"
#include "formats/maillage.h"
#include "formats/module_formats.h"
#include "module.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <new>
#include <vector>

namespace Zarvel3D
{

namespace formats
{

const TableFormats* Module(std::string& diagnostic)
{
    static std::once_flag fait;
    static const TableFormats* table = nullptr;
    static std::string chemin;
    static std::string raison;
    std::call_once(fait,
                   []
                   {
                       table = interne::TableModule<TableFormats>(
                           nom_module, variable_module, entree_module, version_table,
                           [](const TableFormats& t)
                           { return t.ecrit_3mf != nullptr && t.ecrit_glb != nullptr; },
                           chemin, raison);
                   });
    if (table == nullptr)
    {
        diagnostic = interne::Texte(interne::Message::ModuleFormatsAbsent, chemin.c_str(), raison.c_str());
    }
    return table;
}

} // namespace formats

namespace interne
{

namespace
{

using formats::MaillageFormat;

/// glTF's unit of length is the metre; the model's coordinates are millimetres.
constexpr double metres_par_millimetre = 0.001;

/// The largest binary glTF file: its header stores the length in 32 bits.
constexpr unsigned long long taille_max_glb = 0xFFFFFFFFull;

/// The own colour of every triangle, when all have one and it is the same.
bool CouleurCommune(const PModele3D& modele, PCouleur3D& couleur)
{
    bool premier = true;
    for (const PSurface3D& surface : modele.surfaces)
    {
        for (const PTriangle3D& t : surface.triangles)
        {
            const PCouleur3D& c = t.couleur;
            if (c.definie == 0 ||
                (!premier && (c.rouge != couleur.rouge || c.vert != couleur.vert || c.bleu != couleur.bleu)))
            {
                return false;
            }
            couleur = c;
            premier = false;
        }
    }
    return !premier;
}

/// "RAL 9010" when a RAL Classic colour has exactly these bytes (a scene stores the bytes, not
/// the number), otherwise the hexadecimal "#RRGGBB".
std::string NomCouleur(const PCouleur3D& c)
{
    for (unsigned int i = 1; i < RAL::Nombre(); ++i)
    {
        const RAL& ral = RAL::Index(i);
        if (ral.rouge == c.rouge && ral.vert == c.vert && ral.bleu == c.bleu)
        {
            return "RAL " + std::to_string(ral.numero);
        }
    }
    char hexadecimal[8];
    std::snprintf(hexadecimal, sizeof hexadecimal, "#%02X%02X%02X", c.rouge, c.vert, c.bleu);
    return hexadecimal;
}

/// 3MF: millimetres, vertices welded by their position as written (floats). Consumers of 3MF
/// (slicers) want a connected mesh, and a generated scene gives each face vertices of its own.
/// A triangle whose corners weld together has no area and is left out: 3MF forbids a triangle
/// that repeats a vertex.
MaillageFormat Maillage3MF(const PModele3D& modele, unsigned long long triangles)
{
    MaillageFormat m;
    MaillageIndexe soudes;
    Soudeur soudeur(soudes, std::max<std::size_t>(modele.sommets.size(), 16));
    m.triangles.reserve(3 * triangles);
    for (const PSurface3D& surface : modele.surfaces)
    {
        for (const PTriangle3D& t : surface.triangles)
        {
            std::uint32_t coins[3];
            for (int k = 0; k < 3; ++k)
            {
                const Pvec3& s = t.sommets[k];
                coins[k] =
                    soudeur.Sommet(static_cast<float>(s.x), static_cast<float>(s.y), static_cast<float>(s.z));
            }
            if (coins[0] != coins[1] && coins[1] != coins[2] && coins[0] != coins[2])
            {
                m.triangles.insert(m.triangles.end(), coins, coins + 3);
            }
        }
    }
    m.positions.resize(soudes.positions.Taille());
    for (std::size_t i = 0; i < m.positions.size(); ++i)
    {
        m.positions[i] = static_cast<float>(soudes.positions[i]);
    }
    return m;
}

/// A unit vector of `n` as floats; `n` itself is left alone. False for a zero or non-finite one.
bool Unitaire(double x, double y, double z, float* sortie)
{
    const double l = std::sqrt(x * x + y * y + z * z);
    if (!(l > 1e-12) || !std::isfinite(l))
    {
        return false;
    }
    sortie[0] = static_cast<float>(x / l);
    sortie[1] = static_cast<float>(y / l);
    sortie[2] = static_cast<float>(z / l);
    return true;
}

/// glTF: metres (the scale is applied to the positions themselves, not as a node transform, so
/// that every reader gets metres), one normal per vertex. A vertex is shared by the triangles of
/// one surface that name the same model vertex; where a model vertex belongs to several surfaces
/// (a sharp edge) each surface gets its own copy, so that facets keep their shading across the
/// edge. A vertex of one surface keeps the model's normal (a generated scene gives the exact
/// normal of the face); a copy gets the average of its surface's facet normals. Without usable
/// vertex indices, one vertex per corner with the facet's normal.
MaillageFormat MaillageGLB(const PModele3D& modele, unsigned long long triangles)
{
    MaillageFormat m;
    m.triangles.reserve(3 * triangles);
    std::vector<double> sommes; // sum of the facet normals at each vertex of the file
    const auto nouveau = [&](const Pvec3& p)
    {
        m.positions.push_back(static_cast<float>(p.x * metres_par_millimetre));
        m.positions.push_back(static_cast<float>(p.y * metres_par_millimetre));
        m.positions.push_back(static_cast<float>(p.z * metres_par_millimetre));
        sommes.insert(sommes.end(), 3, 0.0);
        return static_cast<std::uint32_t>(m.positions.size() / 3 - 1);
    };
    const auto cumule = [&](std::uint32_t v, const Pvec3& n)
    {
        sommes[3 * std::size_t(v)] += n.x;
        sommes[3 * std::size_t(v) + 1] += n.y;
        sommes[3 * std::size_t(v) + 2] += n.z;
    };
    // The model vertex of each vertex of the file (indexed case only).
    std::vector<std::uint32_t> origine;
    constexpr std::uint32_t aucune = 0xFFFFFFFFu;
    constexpr std::uint32_t plusieurs = 0xFFFFFFFEu;
    std::vector<std::uint32_t> surface_du_sommet;
    const bool partage = CoinsIndexes(modele);
    if (partage)
    {
        const std::size_t nv = modele.sommets.size();
        // The surface each model vertex belongs to, or `plusieurs`.
        surface_du_sommet.assign(nv, aucune);
        for (std::size_t s = 0; s < modele.surfaces.size(); ++s)
        {
            for (const PTriangle3D& t : modele.surfaces[s].triangles)
            {
                for (const Pvec3& coin : t.sommets)
                {
                    std::uint32_t& u = surface_du_sommet[static_cast<std::size_t>(coin.id)];
                    u = (u == aucune || u == s) ? static_cast<std::uint32_t>(s) : plusieurs;
                }
            }
        }
        // A model vertex seen in the surface being written already has its vertex of the file.
        std::vector<std::uint32_t> vu_dans(nv, aucune);
        std::vector<std::uint32_t> index(nv);
        for (std::size_t s = 0; s < modele.surfaces.size(); ++s)
        {
            for (const PTriangle3D& t : modele.surfaces[s].triangles)
            {
                for (const Pvec3& coin : t.sommets)
                {
                    const std::size_t id = static_cast<std::size_t>(coin.id);
                    if (vu_dans[id] != s)
                    {
                        vu_dans[id] = static_cast<std::uint32_t>(s);
                        index[id] = nouveau(modele.sommets[id].position);
                        origine.push_back(static_cast<std::uint32_t>(id));
                    }
                    cumule(index[id], t.normale);
                    m.triangles.push_back(index[id]);
                }
            }
        }
    }
    else
    {
        for (const PSurface3D& surface : modele.surfaces)
        {
            for (const PTriangle3D& t : surface.triangles)
            {
                for (const Pvec3& coin : t.sommets)
                {
                    const std::uint32_t v = nouveau(coin);
                    cumule(v, t.normale);
                    m.triangles.push_back(v);
                }
            }
        }
    }
    const std::size_t sommets = m.positions.size() / 3;
    m.normales.resize(3 * sommets);
    for (std::size_t v = 0; v < sommets; ++v)
    {
        float* n = &m.normales[3 * v];
        if (partage && surface_du_sommet[origine[v]] != plusieurs)
        {
            const Pvec3& propre = modele.sommets[origine[v]].normale;
            if (Unitaire(propre.x, propre.y, propre.z, n))
            {
                continue;
            }
        }
        if (!Unitaire(sommes[3 * v], sommes[3 * v + 1], sommes[3 * v + 2], n))
        {
            // Only triangles without area meet here; glTF wants unit normals all the same.
            n[0] = 0.0f;
            n[1] = 0.0f;
            n[2] = 1.0f;
        }
    }
    return m;
}

} // namespace

bool CoinsIndexes(const PModele3D& modele)
{
    const std::size_t nv = modele.sommets.size();
    for (const PSurface3D& surface : modele.surfaces)
    {
        for (const PTriangle3D& t : surface.triangles)
        {
            for (const Pvec3& s : t.sommets)
            {
                if (s.id < 0 || static_cast<std::size_t>(s.id) >= nv)
                {
                    return false;
                }
                const Pvec3& p = modele.sommets[static_cast<std::size_t>(s.id)].position;
                if (p.x != s.x || p.y != s.y || p.z != s.z)
                {
                    return false;
                }
            }
        }
    }
    return true;
}

bool EcritParModule(FormatModule format, const PModele3D& modele, unsigned long long triangles,
                    const std::string& nom, const char* chemin, FichierAtomique& f, std::string& erreur)
{
    const bool trois_mf = format == FormatModule::Format3MF;
    const char* nom_format = trois_mf ? "3MF" : "glTF";
    // Both formats index vertices with 32 bits; a glTF file may hold at most 4 GiB.
    const unsigned long long octets_glb_min = 3 * 4 * triangles;
    if (triangles > 0xFFFFFFFFull / 3 || (!trois_mf && octets_glb_min > taille_max_glb))
    {
        erreur = Texte(Message::ExportTropGrand, nom_format, chemin);
        return false;
    }
    const formats::TableFormats* module = formats::Module(erreur);
    if (module == nullptr)
    {
        return false;
    }
    MaillageFormat m = trois_mf ? Maillage3MF(modele, triangles) : MaillageGLB(modele, triangles);
    if (m.triangles.empty())
    {
        erreur = Texte(Message::ExportSceneVide, chemin);
        return false;
    }
    // Positions, normals and indices, 4 bytes each, plus the JSON part of a few kilobytes.
    const unsigned long long octets_glb =
        4ull * (m.positions.size() + m.normales.size() + m.triangles.size()) + 65536;
    if (!trois_mf && octets_glb > taille_max_glb)
    {
        erreur = Texte(Message::ExportTropGrand, nom_format, chemin);
        return false;
    }
    m.nom = nom;
    PCouleur3D couleur;
    if (CouleurCommune(modele, couleur))
    {
        m.colore = true;
        m.rouge = couleur.rouge;
        m.vert = couleur.vert;
        m.bleu = couleur.bleu;
        m.nom_couleur = NomCouleur(couleur);
    }
    std::string octets;
    std::string raison;
    const formats::ResultatFormat r = (trois_mf ? module->ecrit_3mf : module->ecrit_glb)(m, octets, raison);
    if (r == formats::ResultatFormat::MemoireInsuffisante)
    {
        throw std::bad_alloc();
    }
    if (r != formats::ResultatFormat::Ecrit)
    {
        erreur = Texte(Message::ExportFormat, nom_format, chemin, raison.c_str());
        return false;
    }
    m = MaillageFormat(); // the mesh is no longer needed while the file is written
    // In slices: the atomic file copies a single large block whole into its buffer.
    constexpr std::size_t tranche = std::size_t(1) << 20;
    for (std::size_t debut = 0; debut < octets.size(); debut += tranche)
    {
        if (!f.Ecrit(octets.data() + debut, std::min(tranche, octets.size() - debut)))
        {
            erreur = f.Erreur();
            return false;
        }
    }
    return true;
}

} // namespace interne
} // namespace Zarvel3D
