#pragma once
// Indexed triangle meshes: welding of identical positions, and the conversion of an indexed
// mesh into a scene model (surfaces bounded by sharp edges, edge segments, vertex normals).

#include "tampon.h"
#include "zarvel3d/zarvel3d.h"

#include <cmath>
#include <cstdint>

namespace Zarvel3D
{
namespace interne
{

/// Unit normal `n` of the triangle a, b, c (counter-clockwise seen from its front); false, with
/// a zero normal, for a triangle of no area or of non-finite coordinates.
inline bool NormaleUnitaire(const double a[3], const double b[3], const double c[3], double n[3])
{
    const double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const double vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    n[0] = uy * vz - uz * vy;
    n[1] = uz * vx - ux * vz;
    n[2] = ux * vy - uy * vx;
    const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (l > 0.0 && std::isfinite(l))
    {
        n[0] /= l;
        n[1] /= l;
        n[2] /= l;
        return true;
    }
    n[0] = n[1] = n[2] = 0.0;
    return false;
}

/// The same for three scene points.
inline bool NormaleUnitaire(const Pvec3& a, const Pvec3& b, const Pvec3& c, double n[3])
{
    const double pa[3] = {a.x, a.y, a.z}, pb[3] = {b.x, b.y, b.z}, pc[3] = {c.x, c.y, c.z};
    return NormaleUnitaire(pa, pb, pc, n);
}

/// A welded triangle mesh.
struct MaillageIndexe
{
    Tampon<double> positions;        ///< x, y, z of each vertex
    Tampon<std::uint32_t> triangles; ///< three vertex indices per triangle
    Tampon<float> normales;          ///< three components per triangle as read (zero: none)

    std::size_t NombreSommets() const { return positions.Taille() / 3; }
    std::size_t NombreTriangles() const { return triangles.Taille() / 3; }
};

/// Welds positions into a MaillageIndexe's vertex list: equal coordinates (0 and -0 alike) give
/// the same vertex. Open addressing on a power-of-two table of vertex indices.
class Soudeur
{
public:
    /// `maillage` receives the vertices; `sommets_prevus` sizes the first table.
    Soudeur(MaillageIndexe& maillage, std::size_t sommets_prevus);
    /// Index of the vertex at (x, y, z), added when new.
    std::uint32_t Sommet(double x, double y, double z)
    {
        x += 0.0; // -0 becomes +0, so that both weld together
        y += 0.0;
        z += 0.0;
        return Sommet(x, y, z, Hachage(x, y, z));
    }
    /// The hash Sommet uses for a corner read as floats (for lookups prepared ahead).
    static std::uint64_t HachageCoin(float x, float y, float z)
    {
        return Hachage(static_cast<double>(x) + 0.0, static_cast<double>(y) + 0.0,
                       static_cast<double>(z) + 0.0);
    }
    /// Fetches the table slot of hash `h` into the cache.
    void Precharge(std::uint64_t h) const { __builtin_prefetch(table.Donnees() + (h & masque)); }
    /// Fetches the vertex the slot of hash `h` names, when it names one (first probe only).
    void PrechargeSommet(std::uint64_t h) const
    {
        const std::uint32_t v = table[h & masque];
        if (v != vide)
        {
            __builtin_prefetch(maillage.positions.Donnees() + 3 * static_cast<std::size_t>(v));
        }
    }
    /// Sommet with the hash of the corner already computed (HachageCoin for float corners).
    std::uint32_t Sommet(double x, double y, double z, std::uint64_t h)
    {
        x += 0.0;
        y += 0.0;
        z += 0.0;
        std::size_t i = h & masque;
        const double* p = maillage.positions.Donnees();
        for (;;)
        {
            const std::uint32_t v = table[i];
            if (v == vide)
            {
                break;
            }
            const double* q = p + 3 * static_cast<std::size_t>(v);
            if (q[0] == x && q[1] == y && q[2] == z)
            {
                return v;
            }
            i = (i + 1) & masque;
        }
        const std::uint32_t nouveau = static_cast<std::uint32_t>(maillage.NombreSommets());
        maillage.positions.Ajoute(x);
        maillage.positions.Ajoute(y);
        maillage.positions.Ajoute(z);
        table[i] = nouveau;
        if (++occupes * 4 > (masque + 1) * 3)
        {
            Agrandit();
        }
        return nouveau;
    }

private:
    static constexpr std::uint32_t vide = 0xFFFFFFFFu;

    static std::uint64_t Hachage(double x, double y, double z)
    {
        std::uint64_t a, b, c;
        std::memcpy(&a, &x, 8);
        std::memcpy(&b, &y, 8);
        std::memcpy(&c, &z, 8);
        std::uint64_t h = a * 0x9E3779B97F4A7C15ull;
        h ^= (b + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
        h ^= (c + 0x85EBCA77C2B2AE63ull) * 0x165667B19E3779F9ull;
        h ^= h >> 31;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 29;
        return h;
    }
    void Agrandit();

    MaillageIndexe& maillage;
    Tampon<std::uint32_t> table;
    std::size_t masque = 0;
    std::size_t occupes = 0;
};

class MaillageScene;

/// Builds a scene's compact mesh from an indexed mesh, whose arrays it takes over:
/// - triangles grouped into surfaces, one per region of triangles joined across edges whose
///   dihedral angle is at most `angle_degres` (the mesh boundary, sharp edges and edges shared
///   by more than two triangles bound the regions), each with its area-weighted centre;
/// - the sharp, boundary and non-manifold edges as segments, once each;
/// - per vertex the sum of its triangles' unit normals.
/// Surfaces are numbered in the order of their first triangle, and keep their triangles in file
/// order. `couleur` is every triangle's own colour. Returns false when `annulation` turns true
/// during the work. Throws std::bad_alloc.
bool ConstruitMaillageScene(MaillageIndexe& maillage, double angle_degres, PCouleur3D couleur,
                            MaillageScene& sortie, const bool* annulation);

/// Reads `*annulation` (may be null) as a value another thread may write.
inline bool Annule(const bool* annulation)
{
    return annulation != nullptr && __atomic_load_n(annulation, __ATOMIC_RELAXED);
}

} // namespace interne
} // namespace Zarvel3D
