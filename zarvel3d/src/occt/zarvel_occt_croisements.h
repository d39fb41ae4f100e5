#pragma once

// First step of the subdivision of a view (zarvel_occt_decoupe.h): where the curves cross or
// touch. Private to the module.

#include "zarvel_occt_decoupe.h"

#include <array>
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

/// Crossings and projections that involve an ellipse other than a circle, which the modelling
/// kernel computes: the solid module installs them when it is loaded (zarvel_occt_ellipses.cpp).
/// Without them, as in the library itself, which subdivides only drawings of segments and
/// circular arcs, such pairs are taken as apart.
struct NoyauEllipses
{
    /// Appends the parameters (on `a`, on `b`) of the points where `a` and `b` cross or touch
    /// within `tolerance`.
    void (*croise)(const Courbe& a, const Courbe& b, double tolerance, std::vector<std::array<double, 2>>& points);
    /// Parameter `u` on `b` of the point (x, y) when it lies within `tolerance` of `b`.
    bool (*projette)(const Courbe& b, double x, double y, double tolerance, double& u);
};

/// Installs (or, with null, removes) the kernel's computations for ellipses.
void DefNoyauEllipses(const NoyauEllipses* noyau);

/// Finds where the curves of `courbes` cross or touch within `tolerance`. Candidate pairs come
/// from a uniform grid over the drawing; segments and circles are crossed here, the pairs with
/// another ellipse by the kernel (NoyauEllipses). False when `croisements` passes `croisements_max` (0: no
/// limit): the search stops there and `coupes` holds what was found so far.
bool ChercheCroisements(const std::vector<Courbe>& courbes, double tolerance, std::size_t croisements_max,
                        Coupes& coupes);

} // namespace Zarvel3D::occt::decoupe
