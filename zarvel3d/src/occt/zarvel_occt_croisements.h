#pragma once

// First step of the subdivision of a view (zarvel_occt_decoupe.h): where the curves cross or
// touch. Private to the module.

#include "zarvel_occt_decoupe.h"

#include <cstddef>
#include <vector>

namespace Zarvel3D::occt::decoupe
{

/// Where the curves are to be split.
struct Coupes
{
    /// For each curve, the parameters of its crossings with the others and of the ends of the
    /// others that lie on it within the tolerance; unsorted, and repeated where several curves
    /// meet.
    std::vector<std::vector<double>> parametres;
    /// Points where two curves cross or touch (a shared corner included), counted twice: once
    /// on each curve. The ends found on a curve by projection alone add parameters, no count.
    std::size_t croisements = 0;
};

/// Finds where the curves of `courbes` cross or touch within `tolerance`. Candidate pairs come
/// from a uniform grid over the drawing; segments and circles are crossed here, the pairs with
/// another ellipse by the kernel. False when `croisements` passes `croisements_max` (0: no
/// limit): the search stops there and `coupes` holds what was found so far.
bool ChercheCroisements(const std::vector<Courbe>& courbes, double tolerance, std::size_t croisements_max,
                        Coupes& coupes);

} // namespace Zarvel3D::occt::decoupe
