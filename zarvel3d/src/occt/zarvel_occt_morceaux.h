#pragma once

// Second step of the subdivision of a view (zarvel_occt_decoupe.h): the curves split at their
// crossings, and the ends of the pieces merged into vertices. Private to the module.

#include "zarvel_occt_decoupe.h"

#include <vector>

namespace Zarvel3D::occt::decoupe
{

/// Splits each curve of `courbes` at the parameters `coupes[i]` (sorted in place; wrapped into
/// the turn of a whole ellipse). Split points closer than `tolerance` along the curve, or to one
/// of its ends, are one: no piece is shorter than the tolerance, and a curve without a split
/// point stays whole. Segments are cut into segments of parameters 0 to 1.
std::vector<Courbe> Morceaux(const std::vector<Courbe>& courbes, std::vector<std::vector<double>>& coupes,
                             double tolerance);

/// Merges the ends of the pieces that lie within `tolerance` of each other, and by chains of
/// such ends, into the vertices that replace `sommets`: each at the mean of its ends, with the
/// largest distance to one of them. Returns the vertex of every end: 2 i for the start of piece
/// i, 2 i + 1 for its end.
std::vector<int> FusionneExtremites(const std::vector<Courbe>& morceaux, double tolerance,
                                    std::vector<Sommet>& sommets);

} // namespace Zarvel3D::occt::decoupe
