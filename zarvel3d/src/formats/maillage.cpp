// Welding and the conversion of an indexed mesh into a scene model.
#include "formats/maillage.h"

#include "maillage_scene.h"
#include "progression.h"

#include <cmath>
#include <numeric>

namespace Zarvel3D
{
namespace interne
{

namespace
{

std::size_t PuissanceDeuxSuperieure(std::size_t n)
{
    std::size_t p = 1024;
    while (p < n)
    {
        p <<= 1;
    }
    return p;
}

// Union-find over triangles, with path halving and union by index (the root of a region is
// its first triangle, so surfaces come out in the order of their first triangle).
std::uint32_t Racine(std::uint32_t* parent, std::uint32_t t)
{
    while (parent[t] != t)
    {
        parent[t] = parent[parent[t]];
        t = parent[t];
    }
    return t;
}

void Unit(std::uint32_t* parent, std::uint32_t a, std::uint32_t b)
{
    a = Racine(parent, a);
    b = Racine(parent, b);
    if (a < b)
    {
        parent[b] = a;
    }
    else if (b < a)
    {
        parent[a] = b;
    }
}

} // namespace

Soudeur::Soudeur(MaillageIndexe& m, std::size_t sommets_prevus) : maillage(m)
{
    // Load at most one half for the expected count: short probe sequences.
    const std::size_t n = PuissanceDeuxSuperieure(2 * sommets_prevus);
    table.Remplit(n, vide);
    masque = n - 1;
    maillage.positions.Reserve(3 * sommets_prevus);
}

void Soudeur::Agrandit()
{
    const std::size_t n = 2 * (masque + 1);
    table.Remplit(n, vide);
    masque = n - 1;
    const double* p = maillage.positions.Donnees();
    const std::size_t nombre = maillage.NombreSommets();
    for (std::size_t v = 0; v < nombre; ++v)
    {
        std::size_t i = Hachage(p[3 * v], p[3 * v + 1], p[3 * v + 2]) & masque;
        while (table[i] != vide)
        {
            i = (i + 1) & masque;
        }
        table[i] = static_cast<std::uint32_t>(v);
    }
}

// Share of an import done when the edges are found; the surfaces' triangles take the rest.
constexpr double MiConstruction = FinLectureImport + (1.0 - FinLectureImport) / 2;

bool ConstruitMaillageScene(MaillageIndexe& maillage, double angle_degres, PCouleur3D couleur,
                            MaillageScene& sortie, const bool* annulation)
{
    const std::size_t nt = maillage.NombreTriangles();
    const std::size_t nv = maillage.NombreSommets();
    const std::uint32_t* tv = maillage.triangles.Donnees();
    const double* pos = maillage.positions.Donnees();

    // Normals of the corners (unit, or zero for a degenerate triangle), and their sum per vertex.
    // Single precision is plenty for directions, and halves the memory first touched.
    Tampon<float> ng(3 * nt);
    Tampon<std::uint32_t> parent(nt);
    // Triangles around each vertex (compressed rows), released once the edges are found.
    Tampon<std::uint32_t> autour(3 * nt);
    // The other processor makes the large work arrays resident while this one fills the first.
    PreparationPages pages;
    pages.Lance({{ng.Donnees(), 3 * nt * sizeof(float)},
                 {parent.Donnees(), nt * sizeof(std::uint32_t)},
                 {autour.Donnees(), 3 * nt * sizeof(std::uint32_t)}});
    Tampon<float> nsommets;
    nsommets.Remplit(3 * nv, 0.0f);
    for (std::size_t t = 0; t < nt; ++t)
    {
        const double* a = pos + 3 * static_cast<std::size_t>(tv[3 * t]);
        const double* b = pos + 3 * static_cast<std::size_t>(tv[3 * t + 1]);
        const double* c = pos + 3 * static_cast<std::size_t>(tv[3 * t + 2]);
        double n[3];
        NormaleUnitaire(a, b, c, n);
        const double nx = n[0], ny = n[1], nz = n[2];
        ng[3 * t] = static_cast<float>(nx);
        ng[3 * t + 1] = static_cast<float>(ny);
        ng[3 * t + 2] = static_cast<float>(nz);
        for (int k = 0; k < 3; ++k)
        {
            float* s = nsommets.Donnees() + 3 * static_cast<std::size_t>(tv[3 * t + k]);
            s[0] += static_cast<float>(nx);
            s[1] += static_cast<float>(ny);
            s[2] += static_cast<float>(nz);
        }
    }
    if (Annule(annulation))
    {
        return false;
    }

    const double seuil = std::cos(angle_degres * M_PI / 180.0);
    std::iota(parent.Donnees(), parent.Donnees() + nt, std::uint32_t(0));
    // Bit k of bord[t]: edge k of t is a boundary of its surface and t lists it as a segment.
    Tampon<std::uint8_t> bord;
    bord.Remplit(nt, 0);
    {
        Tampon<std::uint32_t> debut;
        debut.Remplit(nv + 1, 0);
        for (std::size_t i = 0; i < 3 * nt; ++i)
        {
            ++debut[tv[i] + 1];
        }
        for (std::size_t v = 0; v < nv; ++v)
        {
            debut[v + 1] += debut[v];
        }
        {
            Tampon<std::uint32_t> curseur(nv);
            std::memcpy(curseur.Donnees(), debut.Donnees(), nv * sizeof(std::uint32_t));
            for (std::size_t i = 0; i < 3 * nt; ++i)
            {
                autour[curseur[tv[i]]++] = static_cast<std::uint32_t>(i / 3);
            }
        }

        // For each edge of each triangle: whether it bounds a surface, and the regions.
        // An edge a-b of triangle t is shared with every other triangle around a that holds b.
        for (std::size_t t = 0; t < nt; ++t)
        {
            for (int k = 0; k < 3; ++k)
            {
                const std::uint32_t a = tv[3 * t + k];
                const std::uint32_t b = tv[3 * t + (k + 1) % 3];
                if (a == b)
                {
                    continue; // degenerate edge: no neighbour, no segment
                }
                std::uint32_t voisin = 0;
                std::uint32_t partages = 0;
                std::uint32_t plus_petit = static_cast<std::uint32_t>(t);
                for (std::uint32_t j = debut[a]; j < debut[a + 1]; ++j)
                {
                    const std::uint32_t u = autour[j];
                    if (u == t)
                    {
                        continue;
                    }
                    const std::uint32_t* w = tv + 3 * static_cast<std::size_t>(u);
                    if (w[0] == b || w[1] == b || w[2] == b)
                    {
                        // A triangle may appear twice around a when it is degenerate; count it once.
                        if (partages == 0 || u != voisin)
                        {
                            ++partages;
                        }
                        voisin = u;
                        if (u < plus_petit)
                        {
                            plus_petit = u;
                        }
                    }
                }
                if (partages == 1)
                {
                    const float* n1 = ng.Donnees() + 3 * t;
                    const float* n2 = ng.Donnees() + 3 * static_cast<std::size_t>(voisin);
                    const double produit = static_cast<double>(n1[0]) * n2[0] +
                                           static_cast<double>(n1[1]) * n2[1] +
                                           static_cast<double>(n1[2]) * n2[2];
                    const bool degenere = (n1[0] == 0.0f && n1[1] == 0.0f && n1[2] == 0.0f) ||
                                          (n2[0] == 0.0f && n2[1] == 0.0f && n2[2] == 0.0f);
                    // A degenerate triangle has no direction: it joins its neighbours' surface.
                    if (degenere || produit >= seuil)
                    {
                        if (t < voisin)
                        {
                            Unit(parent.Donnees(), static_cast<std::uint32_t>(t), voisin);
                        }
                    }
                    else if (t < voisin)
                    {
                        bord[t] = static_cast<std::uint8_t>(bord[t] | (1u << k));
                    }
                }
                else if (partages == 0 || plus_petit == t)
                {
                    // Mesh boundary, or an edge of more than two triangles listed by the first of them.
                    bord[t] = static_cast<std::uint8_t>(bord[t] | (1u << k));
                }
            }
            if ((t & 0xFFFF) == 0)
            {
                // The second phase of an import, after reading the file: the edges are its first half.
                ProgressionPhase(FinLectureImport, MiConstruction, t, nt);
                if (Annule(annulation)) return false;
            }
        }
    }
    // The adjacency is released before the scene's arrays are filled, so that its memory serves
    // again; the model's normals are derived again where asked for.
    pages.Attend();
    autour = Tampon<std::uint32_t>();
    ng = Tampon<float>();

    // Surfaces, numbered in the order of their first triangle. Parents always have smaller
    // indices than their children, so the union-find array can become the triangles' surface
    // numbers in place: first each triangle points at its root, then, in increasing order, a
    // root's slot takes its new number before any triangle of its region reads it.
    for (std::size_t t = 0; t < nt; ++t)
    {
        parent[t] = Racine(parent.Donnees(), static_cast<std::uint32_t>(t));
    }
    std::uint32_t* numero = parent.Donnees();
    std::size_t nombre_surfaces = 0;
    bool en_ordre = true;
    for (std::size_t t = 0; t < nt; ++t)
    {
        const std::uint32_t r = numero[t];
        numero[t] = (r == t) ? static_cast<std::uint32_t>(nombre_surfaces++) : numero[r];
        en_ordre = en_ordre && (t == 0 || numero[t] >= numero[t - 1]);
    }
    sortie.debut_surfaces.Remplit(nombre_surfaces + 1, 0);
    for (std::size_t t = 0; t < nt; ++t)
    {
        ++sortie.debut_surfaces[numero[t] + 1];
    }
    for (std::size_t s = 0; s < nombre_surfaces; ++s)
    {
        sortie.debut_surfaces[s + 1] += sortie.debut_surfaces[s];
    }
    if (!en_ordre)
    {
        // A stable counting sort: each surface keeps its triangles in file order. When the file
        // lists the surfaces one after the other, no order is stored at all.
        sortie.ordre.Redimensionne(nt);
        Tampon<std::uint32_t> curseur(nombre_surfaces);
        std::memcpy(curseur.Donnees(), sortie.debut_surfaces.Donnees(),
                    nombre_surfaces * sizeof(std::uint32_t));
        for (std::size_t t = 0; t < nt; ++t)
        {
            sortie.ordre[curseur[numero[t]]++] = static_cast<std::uint32_t>(t);
        }
    }

    // Area-weighted centroids; each surface sums its triangles in file order.
    Tampon<double> sommes;
    sommes.Remplit(4 * nombre_surfaces, 0.0);
    for (std::size_t t = 0; t < nt; ++t)
    {
        const double* a = pos + 3 * static_cast<std::size_t>(tv[3 * t]);
        const double* b = pos + 3 * static_cast<std::size_t>(tv[3 * t + 1]);
        const double* c = pos + 3 * static_cast<std::size_t>(tv[3 * t + 2]);
        const double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
        const double vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
        const double cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
        const double aire = std::sqrt(cx * cx + cy * cy + cz * cz);
        double* somme = sommes.Donnees() + 4 * static_cast<std::size_t>(numero[t]);
        somme[0] += aire * (a[0] + b[0] + c[0]);
        somme[1] += aire * (a[1] + b[1] + c[1]);
        somme[2] += aire * (a[2] + b[2] + c[2]);
        somme[3] += aire;
        if ((t & 0xFFFF) == 0) ProgressionPhase(MiConstruction, 1.0, t, nt);
    }
    sortie.centres.Redimensionne(3 * nombre_surfaces);
    for (std::size_t s = 0; s < nombre_surfaces; ++s)
    {
        const double* somme = sommes.Donnees() + 4 * s;
        double* centre = sortie.centres.Donnees() + 3 * s;
        if (somme[3] > 0.0 && std::isfinite(somme[3]))
        {
            for (int k = 0; k < 3; ++k)
            {
                centre[k] = somme[k] / (3 * somme[3]);
            }
            continue;
        }
        // No usable area: the plain mean of the corners, summed in the surface's order.
        double m[3] = {0, 0, 0};
        for (std::uint32_t i = sortie.debut_surfaces[s]; i < sortie.debut_surfaces[s + 1]; ++i)
        {
            const std::size_t t = sortie.ordre.Taille() != 0 ? sortie.ordre[i] : i;
            for (int k = 0; k < 3; ++k)
            {
                const double* p = pos + 3 * static_cast<std::size_t>(tv[3 * t + static_cast<std::size_t>(k)]);
                m[0] += p[0];
                m[1] += p[1];
                m[2] += p[2];
            }
        }
        const double n = 3.0 * static_cast<double>(sortie.debut_surfaces[s + 1] - sortie.debut_surfaces[s]);
        for (int k = 0; k < 3; ++k)
        {
            centre[k] = m[k] / n;
        }
    }
    if (Annule(annulation))
    {
        return false;
    }

    // Segments: the edges marked above, once each.
    std::size_t nombre_segments = 0;
    for (std::size_t t = 0; t < nt; ++t)
    {
        nombre_segments += static_cast<std::size_t>(__builtin_popcount(bord[t]));
    }
    sortie.segments.Redimensionne(2 * nombre_segments);
    std::size_t segment = 0;
    for (std::size_t t = 0; t < nt; ++t)
    {
        for (int k = 0; bord[t] != 0 && k < 3; ++k)
        {
            if ((bord[t] & (1u << k)) != 0)
            {
                sortie.segments[segment++] = tv[3 * t + static_cast<std::size_t>(k)];
                sortie.segments[segment++] = tv[3 * t + static_cast<std::size_t>(k + 1) % 3];
            }
        }
    }

    sortie.couleur = couleur;
    sortie.sommes_normales = std::move(nsommets);
    sortie.positions = std::move(maillage.positions);
    sortie.triangles = std::move(maillage.triangles);
    sortie.normales = std::move(maillage.normales);
    return true;
}

} // namespace interne
} // namespace Zarvel3D
