#pragma once

// Planar subdivision of a view: the drawn segments and arcs are split where
// they cross or touch, their ends are merged within the tolerance, and the
// closed loops of the resulting graph are sorted into regions by the even-odd
// rule. Every step is near-linear in the number of elements (uniform grids
// for the crossing tests and the merging of ends, one sort per vertex for the
// loops), so that plans of many thousand elements stay fast. Private to the
// library; the geometry here is plain numbers, Open CASCADE only computes the
// crossings that involve a curve.

#include "engine/zarvel_dessin.h"

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace Zarvel3D::occt::decoupe
{

/// Crossings between the elements of one view beyond which the view is
/// refused as too complex (a hatching, a plan of a whole building): their
/// pieces would make a solid of millions of faces.
constexpr std::size_t croisements_max = 200000;

/// A curve of the plane: a segment, or an arc of ellipse (a whole ellipse
/// when its range spans a full turn).
struct Courbe
{
    bool droite = true;
    /// Segment: from (x1, y1) at t = 0 to (x2, y2) at t = 1.
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    /// Ellipse: centre, half-axes `a` along the direction `rotation` (radians)
    /// and `b` across it. The point of parameter t is
    /// centre + a cos t u + b sin t v, u and v the turned axes.
    double cx = 0.0, cy = 0.0, a = 0.0, b = 0.0, rotation = 0.0;
    /// Parameter range, t0 < t1 (segments: 0 and 1). A span of 2 pi is a
    /// whole ellipse.
    double t0 = 0.0, t1 = 1.0;
    /// Index of the drawn element it comes from.
    std::size_t source = 0;

    std::array<double, 2> Point(double t) const;
    /// Derivative with respect to t.
    std::array<double, 2> Derivee(double t) const;
    /// Signed curvature when running towards increasing t (positive: turning left).
    double Courbure(double t) const;
    /// Length of the range [u0, u1] (an upper bound for ellipses).
    double Longueur(double u0, double u1) const;
    bool Fermee() const;
};

/// A vertex of the subdivision: the mean of the ends merged into it, and the
/// largest distance from it to one of them.
struct Sommet
{
    double x = 0.0;
    double y = 0.0;
    double ecart = 0.0;
};

/// A piece of a curve between two vertices: from `debut` at courbe.t0 to
/// `fin` at courbe.t1 (the same vertex for a whole ellipse).
struct Arete
{
    Courbe courbe;
    int debut = 0;
    int fin = 0;
};

/// A closed loop: the pieces in order, each with its direction (true: from
/// its `debut` to its `fin`). Counter-clockwise loops have a positive area.
struct Boucle
{
    std::vector<std::pair<int, bool>> pas;
    double aire = 0.0;
};

/// A region of the plane: one counter-clockwise outline and its holes
/// (clockwise loops inside it).
struct Region
{
    Boucle exterieur;
    std::vector<Boucle> trous;
};

/// The subdivision of one view.
struct Subdivision
{
    std::vector<Sommet> sommets;
    /// Pieces, followed by the pieces merged back together along the loops
    /// (collinear segments, arcs of one ellipse).
    std::vector<Arete> aretes;
    /// Regions of material (odd nesting depth), adjacent cells merged.
    std::vector<Region> matiere;
    /// Outer outlines of the drawing (counter-clockwise), filled.
    std::vector<Boucle> silhouettes;
    /// Cells enclosed at an even depth (inside an inner outline), one by one.
    std::vector<Region> interieurs;
    /// Crossings and touching points found between elements (shared corners included),
    /// counted once on each of the two elements.
    std::size_t croisements = 0;
};

enum class EtatDecoupe
{
    Correct,
    /// No curve closes any region.
    Ouvert,
    /// The elements cross each other more often than the limit allows.
    TropDeCroisements,
};

/// Builds the subdivision of `courbes` (each of positive length, larger
/// than the tolerance). Ends and crossings closer than `tolerance` are one
/// point. A count of crossings (as Subdivision::croisements counts them) over
/// `croisements_max` (0: no limit) stops the work early.
EtatDecoupe Decoupe(const std::vector<Courbe>& courbes, double tolerance, std::size_t croisements_max,
                    Subdivision& resultat);

/// A drawn element as a curve of the subdivision, `index` its source; false when it is degenerate
/// (zero length, zero radius, non-finite value). Circles drawn as ellipses of equal axes within a
/// thousandth of the tolerance become circles.
bool CourbeElement(const moteur::ElementDessin& e, double tolerance, std::size_t index, Courbe& c);

} // namespace Zarvel3D::occt::decoupe
