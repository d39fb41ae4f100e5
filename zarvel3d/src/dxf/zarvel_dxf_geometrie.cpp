#include "zarvel_dxf_geometrie.h"

#include <algorithm>
#include <cmath>

namespace Zarvel3D::dxf
{

namespace
{

using geometrie::deux_pi;
using geometrie::Ramene;

// Sets [t0, t1] from a start and an end parameter, counter-clockwise; equal ends (after
// normalisation) are a whole turn, as DXF readers take them.
void Intervalle(Courbe& c, double debut, double fin, bool complet)
{
    if (complet)
    {
        c.t0 = 0.0;
        c.t1 = deux_pi;
        return;
    }
    c.t0 = Ramene(debut, 0.0);
    double etendue = Ramene(fin, 0.0) - c.t0;
    if (etendue <= 1e-12)
    {
        etendue += deux_pi;
    }
    c.t1 = c.t0 + etendue;
}

bool Fini(double v, double limite)
{
    return std::isfinite(v) && std::fabs(v) <= limite;
}

} // namespace

bool Courbe::Valide(double limite) const
{
    if (segment)
    {
        return Fini(x1, limite) && Fini(y1, limite) && Fini(x2, limite) && Fini(y2, limite);
    }
    return Fini(cx, limite) && Fini(cy, limite) && Fini(ax, limite) && Fini(ay, limite) &&
           std::isfinite(ratio) && std::isfinite(t0) && std::isfinite(t1);
}

Boite BoiteCourbe(const Courbe& c)
{
    return c.segment ? geometrie::BoiteSegment(c.x1, c.y1, c.x2, c.y2) : geometrie::BoiteArc(c.Arc());
}

Affine Affine::Compose(const Affine& m) const
{
    Affine r;
    r.a = a * m.a + b * m.c;
    r.b = a * m.b + b * m.d;
    r.c = c * m.a + d * m.c;
    r.d = c * m.b + d * m.d;
    r.e = a * m.e + b * m.f + e;
    r.f = c * m.e + d * m.f + f;
    return r;
}

Affine Affine::Insertion(double x, double y, double sx, double sy, double rotation_degres, double bx,
                         double by)
{
    const double r = rotation_degres * M_PI / 180.0;
    const double co = std::cos(r);
    const double si = std::sin(r);
    Affine m;
    m.a = co * sx;
    m.b = -si * sy;
    m.c = si * sx;
    m.d = co * sy;
    m.e = x - (m.a * bx + m.b * by);
    m.f = y - (m.c * bx + m.d * by);
    return m;
}

bool Transforme(const Affine& m, Courbe& c)
{
    if (c.segment)
    {
        const auto p1 = m.Applique(c.x1, c.y1);
        const auto p2 = m.Applique(c.x2, c.y2);
        c.x1 = p1[0];
        c.y1 = p1[1];
        c.x2 = p2[0];
        c.y2 = p2[1];
        return true;
    }
    const bool complet = c.Complete();
    // Conjugate half diameters u (major) and v (minor) after the map.
    const double ux = m.a * c.ax + m.b * c.ay;
    const double uy = m.c * c.ax + m.d * c.ay;
    const double bx = -c.ay * c.ratio;
    const double by = c.ax * c.ratio;
    const double vx = m.a * bx + m.b * by;
    const double vy = m.c * bx + m.d * by;
    const auto centre = m.Applique(c.cx, c.cy);
    // |u cos t + v sin t|^2 = A + B cos 2t + C sin 2t is largest at 2t = atan2(C, B).
    const double uu = ux * ux + uy * uy;
    const double vv = vx * vx + vy * vy;
    const double uv = ux * vx + uy * vy;
    const double ts = 0.5 * std::atan2(2.0 * uv, uu - vv);
    const double px = ux * std::cos(ts) + vx * std::sin(ts);
    const double py = uy * std::cos(ts) + vy * std::sin(ts);
    const double qx = -ux * std::sin(ts) + vx * std::cos(ts);
    const double qy = -uy * std::sin(ts) + vy * std::cos(ts);
    const double lp = std::hypot(px, py);
    const double lq = std::hypot(qx, qy);
    if (!(lp > 0.0) || !(lq > 1e-12 * lp))
    {
        return false;
    }
    c.cx = centre[0];
    c.cy = centre[1];
    c.ax = px;
    c.ay = py;
    c.ratio = std::min(1.0, lq / lp);
    // Point(t) = centre + P cos(t - ts) + Q sin(t - ts). With a mirror, Q points clockwise from P
    // and the parameter runs backwards.
    const bool direct = px * qy - py * qx > 0.0;
    if (direct)
    {
        Intervalle(c, c.t0 - ts, c.t1 - ts, complet);
    }
    else
    {
        Intervalle(c, -(c.t1 - ts), -(c.t0 - ts), complet);
    }
    return true;
}

Courbe CourbeBulge(double x1, double y1, double x2, double y2, double bulge)
{
    Courbe c;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double corde = std::hypot(dx, dy);
    if (!std::isfinite(bulge) || std::fabs(bulge) < 1e-9 || corde <= 0.0)
    {
        c.segment = true;
        c.x1 = x1;
        c.y1 = y1;
        c.x2 = x2;
        c.y2 = y2;
        return c;
    }
    const double angle = 4.0 * std::atan(bulge); // included angle, signed
    const double h = 0.5 * corde / std::tan(0.5 * angle);
    // Left normal of the chord.
    const double nx = -dy / corde;
    const double ny = dx / corde;
    const double cx = 0.5 * (x1 + x2) + h * nx;
    const double cy = 0.5 * (y1 + y2) + h * ny;
    const double rayon = std::hypot(x1 - cx, y1 - cy);
    const double a1 = std::atan2(y1 - cy, x1 - cx);
    const double a2 = std::atan2(y2 - cy, x2 - cx);
    c.segment = false;
    c.cx = cx;
    c.cy = cy;
    c.ax = rayon;
    c.ay = 0.0;
    c.ratio = 1.0;
    if (bulge > 0.0)
    {
        Intervalle(c, a1, a2, false);
    }
    else
    {
        Intervalle(c, a2, a1, false);
    }
    return c;
}

Courbe CourbeArc(double cx, double cy, double rayon, double debut_degres, double fin_degres)
{
    Courbe c;
    c.segment = false;
    c.cx = cx;
    c.cy = cy;
    c.ax = rayon;
    c.ay = 0.0;
    c.ratio = 1.0;
    Intervalle(c, debut_degres * M_PI / 180.0, fin_degres * M_PI / 180.0, false);
    return c;
}

Courbe CourbeEllipse(double cx, double cy, double mx, double my, double ratio, double t0, double t1)
{
    Courbe c;
    c.segment = false;
    c.cx = cx;
    c.cy = cy;
    const bool complet = std::fabs(t1 - t0) >= deux_pi - 1e-9 || std::fabs(t1 - t0) < 1e-12;
    if (ratio > 1.0 && std::isfinite(ratio))
    {
        // The minor axis given as the major one: turn the frame by a quarter turn.
        c.ax = -my * ratio;
        c.ay = mx * ratio;
        c.ratio = 1.0 / ratio;
        Intervalle(c, t0 - M_PI / 2.0, t1 - M_PI / 2.0, complet);
        return c;
    }
    c.ax = mx;
    c.ay = my;
    c.ratio = ratio;
    Intervalle(c, t0, t1, complet);
    return c;
}

namespace
{

// Point of a rational B-spline at u (de Boor on homogeneous coordinates).
std::array<double, 2> PointSpline(int p, const std::vector<double>& U,
                                  const std::vector<std::array<double, 3>>& P, double u)
{
    const int n = static_cast<int>(P.size());
    int k = p;
    while (k < n - 1 && u >= U[static_cast<std::size_t>(k + 1)])
    {
        ++k;
    }
    std::vector<std::array<double, 3>> d(static_cast<std::size_t>(p + 1));
    for (int j = 0; j <= p; ++j)
    {
        const auto& q = P[static_cast<std::size_t>(j + k - p)];
        d[static_cast<std::size_t>(j)] = {{q[0] * q[2], q[1] * q[2], q[2]}};
    }
    for (int r = 1; r <= p; ++r)
    {
        for (int j = p; j >= r; --j)
        {
            const double gauche = U[static_cast<std::size_t>(j + k - p)];
            const double droite = U[static_cast<std::size_t>(j + 1 + k - r)];
            const double alpha = droite > gauche ? (u - gauche) / (droite - gauche) : 0.0;
            for (int i = 0; i < 3; ++i)
            {
                d[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] =
                    (1.0 - alpha) * d[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(i)] +
                    alpha * d[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)];
            }
        }
    }
    const auto& r = d[static_cast<std::size_t>(p)];
    return {{r[0] / r[2], r[1] / r[2]}};
}

double DistanceCorde(const std::array<double, 2>& a, const std::array<double, 2>& b,
                     const std::array<double, 2>& m)
{
    const double dx = b[0] - a[0];
    const double dy = b[1] - a[1];
    const double l = std::hypot(dx, dy);
    if (l <= 0.0)
    {
        return std::hypot(m[0] - a[0], m[1] - a[1]);
    }
    return std::fabs((m[0] - a[0]) * dy - (m[1] - a[1]) * dx) / l;
}

} // namespace

std::vector<std::array<double, 2>> DiscretiseSpline(int p, const std::vector<double>& U,
                                                    const std::vector<std::array<double, 3>>& P,
                                                    double tolerance, std::size_t points_max)
{
    std::vector<std::array<double, 2>> resultat;
    const std::size_t n = P.size();
    if (p < 1 || p > 10 || n < static_cast<std::size_t>(p) + 1 ||
        U.size() != n + static_cast<std::size_t>(p) + 1)
    {
        return resultat;
    }
    for (std::size_t i = 1; i < U.size(); ++i)
    {
        if (!std::isfinite(U[i]) || U[i] < U[i - 1])
        {
            return resultat;
        }
    }
    for (const auto& q : P)
    {
        if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || !(q[2] > 0.0) || !std::isfinite(q[2]))
        {
            return resultat;
        }
    }
    const double u0 = U[static_cast<std::size_t>(p)];
    const double u1 = U[n];
    if (!(u1 > u0))
    {
        return resultat;
    }
    tolerance = tolerance > 0.0 ? tolerance : 0.01;
    // Start from a few samples per knot span and halve every interval whose middle departs
    // from its chord by more than the tolerance.
    const std::size_t depart = std::min<std::size_t>(std::max<std::size_t>(8, 4 * n), points_max / 2 + 2);
    struct Echantillon
    {
        double u;
        std::array<double, 2> p;
    };
    std::vector<Echantillon> pile;
    for (std::size_t i = depart; i-- > 0;)
    {
        const double u = u0 + (u1 - u0) * static_cast<double>(i) / static_cast<double>(depart - 1);
        pile.push_back({u, PointSpline(p, U, P, u)});
    }
    // pile holds the samples from the end to the start; pop the start and refine towards it.
    Echantillon courant = pile.back();
    pile.pop_back();
    resultat.push_back(courant.p);
    int profondeur_max = 16;
    while (!pile.empty() && resultat.size() < points_max)
    {
        Echantillon suivant = pile.back();
        for (int profondeur = 0; profondeur < profondeur_max; ++profondeur)
        {
            const double um = 0.5 * (courant.u + suivant.u);
            const auto pm = PointSpline(p, U, P, um);
            if (DistanceCorde(courant.p, suivant.p, pm) <= tolerance ||
                pile.size() + resultat.size() >= points_max)
            {
                break;
            }
            pile.push_back({um, pm});
            suivant = pile.back();
        }
        pile.pop_back();
        resultat.push_back(suivant.p);
        courant = suivant;
    }
    return resultat;
}

} // namespace Zarvel3D::dxf
