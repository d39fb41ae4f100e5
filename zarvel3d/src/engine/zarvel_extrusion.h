#pragma once
// Extrusion meshed by the library itself, for callers that want the mesh only
// (ParametresZarvel::maillage_seul): a profile of lines and circular arcs swept
// straight is a prism whose mesh follows from the profile's subdivision, with
// no need to load the modelling kernel (tens of milliseconds of relocations,
// more than the whole job on a plate with holes). The mesh is the one the
// solid module would give: the same faces, sharp edges, nodes and triangles,
// the same chord deviation and angle per segment.

#include "engine/zarvel_dessin.h"
#include "zarvel3d/zarvel3d.h"

namespace Zarvel3D::moteur
{

/// Fills `scene` with the extrusion of `dessin`'s profile view by `longueur`.
/// False, `scene` untouched, when the solid module must do it: a profile with
/// an ellipse other than a circle, an element it would ignore, an open or
/// pinched outline, pieces on one line or circle that follow each other along
/// an outline (the module merges their faces), side faces meeting near the
/// sharp edges' angle (the module's test decides), more outlines than
/// `elements_max`, unfolded patterns asked for, or an invalid length; the
/// module then also gives the diagnostic.
bool ExtrusionDirecte(const Dessin& dessin, const ParametresZarvel& parametres, double longueur,
                      PScene3D& scene);

} // namespace Zarvel3D::moteur
