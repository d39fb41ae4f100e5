#pragma once
// Triangulation of a polygon with holes by ear clipping, without added points: every triangle
// joins three of the given points, so the polygon's edges stay edges of the mesh and meshes built
// on either side of them meet without a crack.

#include <array>
#include <cstddef>
#include <vector>

namespace Zarvel3D::geometrie
{

/// A ring of a polygon: indices into the point list, in order, without repeating the first.
using Anneau = std::vector<std::size_t>;

/// Triangulates the region inside the counter-clockwise `exterieur` and outside the clockwise
/// `trous` (which lie inside it, apart from each other and from it). Appends counter-clockwise
/// triangles (indices into `points`) to `triangles`: n + 2h - 2 of them for n points in all and
/// h holes. False, `triangles` as it was, when the rings are not such a region (a ring turning the
/// wrong way, crossing rings, a point on another ring's edge): no ear can be cut, or the triangles
/// do not cover the region's area.
bool TriangulePolygone(const std::vector<std::array<double, 2>>& points, const Anneau& exterieur,
                       const std::vector<Anneau>& trous, std::vector<std::array<std::size_t, 3>>& triangles);

} // namespace Zarvel3D::geometrie
