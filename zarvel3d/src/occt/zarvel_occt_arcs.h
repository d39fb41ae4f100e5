#pragma once

// Curves drawn as chains of short lines: many plans approximate arcs and
// circles by polylines. A chain whose points all lie on one circle within the
// tolerance, turning the same way by small steps, is put back as the arc or
// circle it stands for, so that the views' extents, the sweeps and the check
// see the true curve. Private to the module.

#include "../engine/zarvel_dessin.h"

#include <vector>

namespace Zarvel3D::occt::arcs
{

/// Replaces in `vue` every chain of at least `segments_min` lines (same
/// line type, ends joined within `tolerance`, each turn between 0.2 and 25
/// degrees, all the same way, neighbours at most twice as long as each other)
/// whose points lie within `tolerance` of one circle by that circle's arc (a
/// whole circle for a closed chain). Returns the number of arcs put in.
int RemplaceChaines(moteur::VueDessin& vue, double tolerance, int segments_min = 6);

/// The lines of `vue` that belong to such chains, whether or not they lie
/// on a circle (the curve where two cylinders meet, say), flagged by index.
std::vector<bool> LignesDeCourbes(const moteur::VueDessin& vue, double tolerance, int segments_min = 6);

} // namespace Zarvel3D::occt::arcs
