#pragma once

// Builders of the curves given to the subdivision of a view, for its tests.

#include "occt/zarvel_occt_decoupe.h"

#include <cmath>
#include <vector>

namespace decoupe_outils
{

using Zarvel3D::occt::decoupe::Courbe;

inline Courbe Segment(double x1, double y1, double x2, double y2)
{
    Courbe c;
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
    return c;
}

/// An arc of the ellipse of half axes a (turned by `rotation` radians) and b, from t0 to t1.
inline Courbe Arc(double cx, double cy, double a, double b, double rotation, double t0, double t1)
{
    Courbe c;
    c.droite = false;
    c.cx = cx;
    c.cy = cy;
    c.a = a;
    c.b = b;
    c.rotation = rotation;
    c.t0 = t0;
    c.t1 = t1;
    return c;
}

inline Courbe Cercle(double cx, double cy, double r)
{
    return Arc(cx, cy, r, r, 0.0, 0.0, 2.0 * M_PI);
}

/// Appends the four sides of a rectangle, each its own drawn element.
inline void AjoutRectangle(std::vector<Courbe>& courbes, double x, double y, double l, double h)
{
    const double p[5][2] = {{x, y}, {x + l, y}, {x + l, y + h}, {x, y + h}, {x, y}};
    for (int k = 0; k < 4; ++k)
    {
        courbes.push_back(Segment(p[k][0], p[k][1], p[k + 1][0], p[k + 1][1]));
        courbes.back().source = courbes.size() - 1;
    }
}

} // namespace decoupe_outils
