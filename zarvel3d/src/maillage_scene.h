#pragma once
// The compact form of an imported mesh in a scene: each vertex and each triangle held once in
// plain arrays, from which the scene's model (PModele3D) is derived only when a caller asks
// for it. The mesh exports read these arrays directly.

#include "scene_priv.h"
#include "tampon.h"
#include "zarvel3d/zarvel3d.h"

#include <cstdint>
#include <mutex>

namespace Zarvel3D
{
namespace interne
{

/// A welded triangle mesh with its surfaces and edges, as an STL import builds it. Immutable once
/// built: scenes share it through a shared pointer. About 24 bytes per triangle and 36 per
/// vertex, against 136 and 72 for the same content in a PModele3D.
class MaillageScene
{
public:
    MaillageScene() = default;
    MaillageScene(const MaillageScene&) = delete;
    MaillageScene& operator=(const MaillageScene&) = delete;
    MaillageScene(MaillageScene&&) = delete;
    MaillageScene& operator=(MaillageScene&&) = delete;
    ~MaillageScene() = default;

    Tampon<double> positions;             ///< x, y, z of each vertex
    Tampon<float> sommes_normales;        ///< per vertex: sum of its triangles' unit normals
    Tampon<std::uint32_t> triangles;      ///< three vertex indices per triangle, in file order
    Tampon<float> normales;               ///< three components per triangle as read (zero: none)
    Tampon<std::uint32_t> ordre;          ///< triangles in surface order; empty: the file order
    Tampon<std::uint32_t> debut_surfaces; ///< surface s holds the order's [s], [s + 1]) entries
    Tampon<double> centres;               ///< x, y, z of each surface's centre
    Tampon<std::uint32_t> segments;       ///< two vertex indices per edge segment
    PCouleur3D couleur;                   ///< own colour of every triangle

    std::size_t NombreSommets() const { return positions.Taille() / 3; }
    std::size_t NombreTriangles() const { return triangles.Taille() / 3; }
    std::size_t NombreSurfaces() const { return centres.Taille() / 3; }
    std::size_t NombreSegments() const { return segments.Taille() / 2; }

    /// The triangle at place `i` of the surface order.
    std::uint32_t Triangle(std::size_t i) const
    {
        return ordre.Taille() != 0 ? ordre[i] : static_cast<std::uint32_t>(i);
    }
    /// The model's normal of triangle `t` (PMaillage3D::NormaleTriangle).
    void NormaleTriangle(std::size_t t, double n[3]) const;
    /// The model's normal of vertex `v` (PMaillage3D::NormaleSommet).
    void NormaleSommet(std::size_t v, double n[3]) const;
    /// The public read-only view of these arrays.
    PMaillage3D Vue() const;

    /// The scene model of this mesh, derived on the first call (thread-safe) and kept.
    const PModele3D& Modele() const;
    /// The shared block holding Modele(), for a scene that takes the model over to edit it.
    const PPartage<PModele3D>& ModelePartage() const;
    /// Appends the model of this mesh to `sortie`, vertex indices starting at `decalage`.
    /// Throws std::bad_alloc.
    void Derive(std::uint32_t decalage, PModele3D& sortie) const;

private:
    mutable std::once_flag derive;
    mutable PPartage<PModele3D> modele;
};

} // namespace interne
} // namespace Zarvel3D
