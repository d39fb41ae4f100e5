#pragma once
// What a generated model's scene holds besides the solid's own mesh, in plain numbers, shared by
// the solid module and the library's direct extrusion: the drawn views beside the model, the
// solid's colour, and which view a profile sweep uses.

#include "engine/zarvel_dessin.h"
#include "zarvel3d/zarvel3d.h"

namespace Zarvel3D::plan
{

/// Bounds of a model: minimum and maximum along X, Y and Z.
struct BoiteModele
{
    double min[3] = {0.0, 0.0, 0.0};
    double max[3] = {0.0, 0.0, 0.0};
};

/// The view used by extrusion and revolution: the preferred one when it holds something,
/// otherwise the only view drawn. Returns 0 when there is none.
int VueProfil(const moteur::Dessin& dessin, int preferee);

/// Colour of a generated solid: the parameters' RAL colour, or none of its own.
PCouleur3D CouleurSolide(const ParametresZarvel& p);

/// No segment of a generated mesh turns by more than this (radians).
constexpr double angle_max_maillage = 10.0 * 3.14159265358979323846 / 180.0;

/// Angle between successive points of a mesh's curves: a full turn gets `divisions_tour` segments
/// and the shortest arc (`arc_min` radians of a circle or an ellipse; infinite when none) at least
/// `divisions_min`, within the bounds that keep a sliver arc from blowing up the whole mesh.
double AngleMaillage(const ParametresZarvel& p, double arc_min);

/// Chord deviation of a mesh: the caller's `fleche`, or 0.015 % of the model's `diagonale`, finer
/// where the curved faces (area `aire_courbee`, counted once per curved direction) need it to keep
/// the mesh's volume within 0.1 % of the solid's `volume`.
double FlecheMaillage(double diagonale, double volume, double aire_courbee, const ParametresZarvel& p);

/// Segments of an arc of `etendue` radians on a circle of radius `rayon` (at least `minimum`):
/// none turns by more than `angle` nor strays by more than `fleche` from the circle.
int SegmentsArc(double rayon, double etendue, double angle, double fleche, int minimum);

/// Adds the drawn views (the parameters' ignored views left out) beside the model of bounds
/// `boite` as projections, each with its stroke label when `taille_textes` is positive.
void AjouteProjections(const moteur::Dessin& dessin, const ParametresZarvel& p, const BoiteModele& boite,
                       PScene3D& scene);

} // namespace Zarvel3D::plan
