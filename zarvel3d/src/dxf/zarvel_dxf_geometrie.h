#pragma once

// Plane geometry of the DXF reader: affine maps of curves (block insertion, mirrored
// coordinate systems), polyline bulges and spline discretisation.

#include "zarvel_dxf_dessin.h"

#include <array>
#include <vector>

namespace Zarvel3D::dxf
{

/// x' = a x + b y + e, y' = c x + d y + f.
struct Affine
{
    double a = 1.0, b = 0.0, c = 0.0, d = 1.0, e = 0.0, f = 0.0;

    std::array<double, 2> Applique(double x, double y) const
    {
        return {{a * x + b * y + e, c * x + d * y + f}};
    }
    double Determinant() const { return a * d - b * c; }
    /// This map applied after `interieure`.
    Affine Compose(const Affine& interieure) const;
    /// Block insertion: scale (sx, sy), rotation in degrees, then translation to (x, y), of a
    /// block whose base point is (bx, by).
    static Affine Insertion(double x, double y, double sx, double sy, double rotation_degres, double bx,
                            double by);
    /// The mirror x -> -x of an object coordinate system whose normal is -Z.
    static Affine MiroirX() { return Affine{-1.0, 0.0, 0.0, 1.0, 0.0, 0.0}; }
};

/// Applies `m` to a curve. An ellipse stays an ellipse (its axes and parameter interval are
/// recomputed; a mirror reverses the direction of the arc). False when the map flattens it.
bool Transforme(const Affine& m, Courbe& courbe);

/// The curve between two polyline vertices: a segment when `bulge` is 0, otherwise the arc whose
/// included angle is 4 atan(bulge) (positive: counter-clockwise).
Courbe CourbeBulge(double x1, double y1, double x2, double y2, double bulge);

/// A circular arc from its centre, radius and start/end angles in degrees (counter-clockwise).
Courbe CourbeArc(double cx, double cy, double rayon, double debut_degres, double fin_degres);

/// An ellipse arc of DXF: centre, end of the major axis relative to the centre, ratio and start
/// and end parameters in radians. A ratio above 1 is normalised (the axes are swapped).
Courbe CourbeEllipse(double cx, double cy, double mx, double my, double ratio, double t0, double t1);

/// Points of a B-spline (rational when the weights differ from 1) of degree `degre` with the
/// given knots and control points (x, y, weight), so that no chord departs from the curve by
/// more than `tolerance`; at most `points_max` points. Empty when the data are inconsistent.
std::vector<std::array<double, 2>> DiscretiseSpline(int degre, const std::vector<double>& noeuds,
                                                    const std::vector<std::array<double, 3>>& controle,
                                                    double tolerance, std::size_t points_max);

} // namespace Zarvel3D::dxf
