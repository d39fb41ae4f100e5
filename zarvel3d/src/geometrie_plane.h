#pragma once

// Plane geometry shared by the DXF reader (dxf/) and the solid module (occt/): bounds of points and
// curves, angle wraps and the extremes of ellipse arcs. Plain numbers and no third-party type, so
// that the library and the module each build their own hidden copy (see zarvel3d/CMakeLists.txt).
// Private to the library.

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace Zarvel3D::geometrie
{

constexpr double deux_pi = 2.0 * M_PI;

/// `valeur` brought into [debut, debut + periode) by whole periods: radians by default, degrees
/// with a period of 360.
inline double Ramene(double valeur, double debut, double periode = deux_pi)
{
    double reste = std::fmod(valeur - debut, periode);
    if (reste < 0.0)
    {
        reste += periode;
    }
    return debut + reste;
}

/// True when the parameter range [t0, t1] (radians) of an arc spans a whole turn.
inline bool TourComplet(double t0, double t1)
{
    return t1 - t0 >= deux_pi - 1e-12;
}

/// The z component of the cross product of (ax, ay) and (bx, by): positive when b turns left of a.
inline double Croix(double ax, double ay, double bx, double by)
{
    return ax * by - ay * bx;
}

/// Axis-aligned bounds; empty while xmin > xmax.
struct Boite
{
    double xmin = HUGE_VAL, ymin = HUGE_VAL, xmax = -HUGE_VAL, ymax = -HUGE_VAL;

    bool Vide() const { return xmin > xmax; }
    double Largeur() const { return Vide() ? 0.0 : xmax - xmin; }
    double Hauteur() const { return Vide() ? 0.0 : ymax - ymin; }
    void Ajout(double x, double y)
    {
        xmin = std::min(xmin, x);
        xmax = std::max(xmax, x);
        ymin = std::min(ymin, y);
        ymax = std::max(ymax, y);
    }
    void Ajout(const Boite& b)
    {
        if (!b.Vide())
        {
            Ajout(b.xmin, b.ymin);
            Ajout(b.xmax, b.ymax);
        }
    }
    /// True when the two boxes share area or touch within `tol`.
    bool Touche(const Boite& b, double tol) const
    {
        return !Vide() && !b.Vide() && xmin <= b.xmax + tol && b.xmin <= xmax + tol && ymin <= b.ymax + tol &&
               b.ymin <= ymax + tol;
    }
    /// True when `b` lies inside this box, enlarged by `tol`.
    bool Contient(const Boite& b, double tol) const
    {
        return !Vide() && !b.Vide() && b.xmin >= xmin - tol && b.xmax <= xmax + tol && b.ymin >= ymin - tol &&
               b.ymax <= ymax + tol;
    }
};

/// Bounds of the segment from (x1, y1) to (x2, y2).
inline Boite BoiteSegment(double x1, double y1, double x2, double y2)
{
    Boite b;
    b.Ajout(x1, y1);
    b.Ajout(x2, y2);
    return b;
}

/// Bounds of a list of points (empty for none).
Boite BoitePoints(const std::vector<std::array<double, 2>>& points);

/// Gap between two boxes (0 when they touch or overlap).
double DistanceBoites(const Boite& a, const Boite& b);

/// An arc of ellipse given by its centre and two conjugate half diameters: the point of parameter
/// t (radians) is centre + u cos t + v sin t, for t0 <= t <= t1; a whole ellipse when
/// TourComplet(t0, t1).
struct ArcEllipse
{
    double cx = 0.0, cy = 0.0;
    double ux = 1.0, uy = 0.0;
    double vx = 0.0, vy = 1.0;
    double t0 = 0.0, t1 = deux_pi;

    std::array<double, 2> Point(double t) const
    {
        return {{cx + ux * std::cos(t) + vx * std::sin(t), cy + uy * std::cos(t) + vy * std::sin(t)}};
    }
};

/// Exact bounds of an arc: its ends and, within its range, the points of extreme x or y.
Boite BoiteArc(const ArcEllipse& arc);

} // namespace Zarvel3D::geometrie
