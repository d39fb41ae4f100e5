// Planar subdivision of a view (see the header). Steps:
// 1. candidate pairs of curves from a uniform grid (each curve marks the
//    cells along its path), crossings and touching ends of each pair;
// 2. curves split at those points, ends merged within the tolerance (a grid
//    of tolerance-sized cells), repeated pieces dropped, dangling pieces
//    pruned;
// 3. the pieces leaving each vertex sorted by angle, the loops traced face by
//    face, each connected part placed in the smallest loop around it;
// 4. nesting depth of every cell by a breadth-first walk from the outside,
//    odd depths being material; the material cells merged by tracing only
//    the pieces with material on one side.

#include "zarvel_occt_decoupe.h"

#include "geometrie_plane.h"

#include <gp_Ax2d.hxx>
#include <gp_Circ2d.hxx>
#include <gp_Elips2d.hxx>
#include <gp_Pnt2d.hxx>

#include <Geom2dAPI_InterCurveCurve.hxx>
#include <Geom2dAPI_ProjectPointOnCurve.hxx>
#include <Geom2dInt_GInter.hxx>
#include <Geom2d_Circle.hxx>
#include <Geom2d_Ellipse.hxx>
#include <Geom2d_Line.hxx>
#include <Geom2d_TrimmedCurve.hxx>
#include <IntRes2d_IntersectionPoint.hxx>
#include <IntRes2d_IntersectionSegment.hxx>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace Zarvel3D::occt::decoupe
{

using geometrie::Boite;
using geometrie::Croix;
using geometrie::deux_pi;
using geometrie::Ramene;

std::array<double, 2> Courbe::Point(double t) const
{
    if (droite)
    {
        return {{x1 + t * (x2 - x1), y1 + t * (y2 - y1)}};
    }
    const double c = std::cos(rotation);
    const double s = std::sin(rotation);
    const double lx = a * std::cos(t);
    const double ly = b * std::sin(t);
    return {{cx + lx * c - ly * s, cy + lx * s + ly * c}};
}

std::array<double, 2> Courbe::Derivee(double t) const
{
    if (droite)
    {
        return {{x2 - x1, y2 - y1}};
    }
    const double c = std::cos(rotation);
    const double s = std::sin(rotation);
    const double lx = -a * std::sin(t);
    const double ly = b * std::cos(t);
    return {{lx * c - ly * s, lx * s + ly * c}};
}

double Courbe::Courbure(double t) const
{
    if (droite)
    {
        return 0.0;
    }
    const auto d = Derivee(t);
    const double n = std::hypot(d[0], d[1]);
    return n > 0.0 ? a * b / (n * n * n) : 0.0;
}

double Courbe::Longueur(double u0, double u1) const
{
    if (droite)
    {
        return std::fabs(u1 - u0) * std::hypot(x2 - x1, y2 - y1);
    }
    return std::fabs(u1 - u0) * std::max(a, b);
}

bool Courbe::Fermee() const
{
    return !droite && geometrie::TourComplet(t0, t1);
}

namespace
{

// ---------------------------------------------------------------------------
// Small tools

struct UnionFind
{
    std::vector<int> parent;
    explicit UnionFind(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    int Racine(int i)
    {
        while (parent[static_cast<std::size_t>(i)] != i)
        {
            parent[static_cast<std::size_t>(i)] =
                parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])];
            i = parent[static_cast<std::size_t>(i)];
        }
        return i;
    }
    void Unit(int a, int b)
    {
        a = Racine(a);
        b = Racine(b);
        if (a != b)
        {
            parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
        }
    }
};

// Exact bounds of a curve.
Boite BoiteCourbe(const Courbe& c)
{
    if (c.droite)
    {
        Boite boite;
        boite.Ajout(c.x1, c.y1);
        boite.Ajout(c.x2, c.y2);
        return boite;
    }
    const double cs = std::cos(c.rotation);
    const double sn = std::sin(c.rotation);
    return geometrie::BoiteArc({c.cx, c.cy, c.a * cs, c.a * sn, -c.b * sn, c.b * cs, c.t0, c.t1});
}

// ---------------------------------------------------------------------------
// Step 1: crossings

// Grid of cells over the drawing; each curve lists the cells along its path.
class Grille
{
public:
    Grille(const Boite& etendue, std::size_t nombre, double tolerance)
        : x0(etendue.xmin), y0(etendue.ymin), marge(tolerance)
    {
        const double l = std::max(etendue.xmax - etendue.xmin, 0.0);
        const double h = std::max(etendue.ymax - etendue.ymin, 0.0);
        const double n = static_cast<double>(std::max<std::size_t>(nombre, 1));
        // About one curve per cell, never more cells than three per curve.
        pas = std::max({std::sqrt(l * h / n), std::max(l, h) / n, tolerance, 1e-300});
        nx = static_cast<std::size_t>(l / pas) + 1;
        ny = static_cast<std::size_t>(h / pas) + 1;
        cellules.resize(nx * ny);
    }

    // Marks the cells a segment passes through, widened by the tolerance
    // plus `largeur`.
    void AjoutSegment(int id, double xa, double ya, double xb, double yb, double largeur,
                      std::vector<std::size_t>& marquees)
    {
        const double m = marge + largeur;
        if (xa > xb)
        {
            std::swap(xa, xb);
            std::swap(ya, yb);
        }
        const std::size_t i0 = Colonne(xa - m);
        const std::size_t i1 = Colonne(xb + m);
        for (std::size_t i = i0; i <= i1; ++i)
        {
            // The part of the segment over this column, widened.
            const double c0 = std::max(xa, x0 + static_cast<double>(i) * pas - m);
            const double c1 = std::min(xb, x0 + static_cast<double>(i + 1) * pas + m);
            double ylo = std::min(ya, yb);
            double yhi = std::max(ya, yb);
            if (xb - xa > 1e-300 && c1 >= c0)
            {
                const double y_c0 = ya + (yb - ya) * (c0 - xa) / (xb - xa);
                const double y_c1 = ya + (yb - ya) * (c1 - xa) / (xb - xa);
                ylo = std::min(y_c0, y_c1);
                yhi = std::max(y_c0, y_c1);
            }
            const std::size_t j0 = Ligne(ylo - m);
            const std::size_t j1 = Ligne(yhi + m);
            for (std::size_t j = j0; j <= j1; ++j)
            {
                const std::size_t cellule = i + nx * j;
                std::vector<int>& liste = cellules[cellule];
                if (liste.empty() || liste.back() != id)
                {
                    liste.push_back(id);
                    marquees.push_back(cellule);
                }
            }
        }
    }

    double Pas() const { return pas; }
    const std::vector<int>& Cellule(std::size_t i) const { return cellules[i]; }

private:
    std::size_t Colonne(double x) const
    {
        const double i = std::floor((x - x0) / pas);
        return static_cast<std::size_t>(std::clamp(i, 0.0, static_cast<double>(nx - 1)));
    }
    std::size_t Ligne(double y) const
    {
        const double j = std::floor((y - y0) / pas);
        return static_cast<std::size_t>(std::clamp(j, 0.0, static_cast<double>(ny - 1)));
    }

    double x0;
    double y0;
    double marge;
    double pas = 1.0;
    std::size_t nx = 1;
    std::size_t ny = 1;
    std::vector<std::vector<int>> cellules;
};

// A curve of the kernel for the crossings that involve an arc, with the
// offset between its parameter and ours (kernel = ours + decalage; segments
// are parameterised by length).
struct Courbe2d
{
    Handle(Geom2d_Curve) courbe;
    double decalage = 0.0;
};

Courbe2d CourbeNoyau(const Courbe& c)
{
    Courbe2d r;
    if (c.droite)
    {
        const double l = std::hypot(c.x2 - c.x1, c.y2 - c.y1);
        Handle(Geom2d_Line) ligne =
            new Geom2d_Line(gp_Pnt2d(c.x1, c.y1), gp_Dir2d((c.x2 - c.x1) / l, (c.y2 - c.y1) / l));
        r.courbe = new Geom2d_TrimmedCurve(ligne, 0.0, l);
        return r;
    }
    const gp_Dir2d u(std::cos(c.rotation), std::sin(c.rotation));
    const gp_Dir2d v(-std::sin(c.rotation), std::cos(c.rotation));
    const gp_Pnt2d centre(c.cx, c.cy);
    Handle(Geom2d_Curve) base;
    if (c.a == c.b)
    {
        base = new Geom2d_Circle(gp_Circ2d(gp_Ax2d(centre, u), c.a));
    }
    else if (c.a > c.b)
    {
        base = new Geom2d_Ellipse(gp_Elips2d(gp_Ax2d(centre, u), c.a, c.b));
    }
    else
    {
        // The kernel wants the major axis first: a quarter turn of the frame
        // shifts the parameter.
        base = new Geom2d_Ellipse(gp_Elips2d(gp_Ax2d(centre, v), c.b, c.a));
        r.decalage = -M_PI / 2.0;
    }
    r.courbe =
        c.Fermee()
            ? base
            : Handle(Geom2d_Curve)(new Geom2d_TrimmedCurve(base, c.t0 + r.decalage, c.t1 + r.decalage));
    return r;
}

// Our parameter from the kernel's.
double ParametreCourbe(const Courbe& c, const Courbe2d& k, double s)
{
    if (c.droite)
    {
        const double l = std::hypot(c.x2 - c.x1, c.y2 - c.y1);
        return std::clamp(s / l, 0.0, 1.0);
    }
    return Ramene(s - k.decalage, c.t0 - 1e-12);
}

class Croisements
{
public:
    Croisements(const std::vector<Courbe>& c, double tol, std::size_t maximum)
        : courbes(c), tolerance(tol), limite(maximum), coupes(c.size()), noyau(c.size()), boites(c.size())
    {
        for (std::size_t i = 0; i < c.size(); ++i)
        {
            boites[i] = BoiteCourbe(c[i]);
        }
    }

    // Finds every crossing; false when the limit is passed.
    bool Cherche()
    {
        Boite etendue;
        for (const Boite& b : boites)
        {
            etendue.Ajout(b);
        }
        Grille grille(etendue, courbes.size(), tolerance);
        // Arcs go in as chords whose sagitta is a fraction of a cell; the
        // cells are widened by that sagitta.
        const double fleche = grille.Pas() / 8.0;
        std::vector<std::vector<std::size_t>> cellules(courbes.size());
        for (std::size_t i = 0; i < courbes.size(); ++i)
        {
            const Courbe& c = courbes[i];
            if (c.droite)
            {
                grille.AjoutSegment(static_cast<int>(i), c.x1, c.y1, c.x2, c.y2, 0.0, cellules[i]);
                continue;
            }
            const double r = std::max(c.a, c.b);
            const double pas_angle = fleche < r ? 2.0 * std::acos(1.0 - fleche / r) : M_PI / 2.0;
            const int n = static_cast<int>(std::clamp(std::ceil((c.t1 - c.t0) / pas_angle), 1.0, 4096.0));
            auto p = c.Point(c.t0);
            for (int k = 1; k <= n; ++k)
            {
                const auto q = c.Point(c.t0 + (c.t1 - c.t0) * k / n);
                grille.AjoutSegment(static_cast<int>(i), p[0], p[1], q[0], q[1], fleche, cellules[i]);
                p = q;
            }
        }

        // Each pair once: the stamp remembers the last curve a partner was
        // tested with.
        std::vector<std::size_t> vu(courbes.size(), std::numeric_limits<std::size_t>::max());
        for (std::size_t i = 0; i < courbes.size(); ++i)
        {
            for (std::size_t cellule : cellules[i])
            {
                for (int j : grille.Cellule(cellule))
                {
                    const std::size_t k = static_cast<std::size_t>(j);
                    if (k <= i || vu[k] == i)
                    {
                        continue;
                    }
                    vu[k] = i;
                    Paire(i, k);
                    if (limite > 0 && nombre > limite)
                    {
                        return false;
                    }
                }
            }
        }
        return true;
    }

    std::vector<std::vector<double>>& Coupes() { return coupes; }
    std::size_t Nombre() const { return nombre; }

private:
    void Coupe(std::size_t i, double t, bool croisement)
    {
        coupes[i].push_back(t);
        nombre += croisement ? 1 : 0;
    }

    void Paire(std::size_t i, std::size_t j)
    {
        if (!boites[i].Touche(boites[j], tolerance))
        {
            return;
        }
        const Courbe& a = courbes[i];
        const Courbe& b = courbes[j];
        if (a.droite && b.droite)
        {
            Segments(i, j);
        }
        else if (a.droite && Cercle(b))
        {
            SegmentCercle(i, j);
        }
        else if (b.droite && Cercle(a))
        {
            SegmentCercle(j, i);
        }
        else if (Cercle(a) && Cercle(b))
        {
            Cercles(i, j);
        }
        else
        {
            AvecArc(i, j);
        }
        Extremites(i, j);
        Extremites(j, i);
    }

    static bool Cercle(const Courbe& c) { return !c.droite && c.a == c.b; }

    // Parameter of a point of a circle's arc, within the tolerance of its
    // range; false when the point is off the arc.
    bool SurArc(const Courbe& c, double x, double y, double& t) const
    {
        const double marge = tolerance / c.a;
        t = Ramene(std::atan2(y - c.cy, x - c.cx) - c.rotation, c.t0 - marge);
        if (c.Fermee())
        {
            return true;
        }
        if (t > c.t1 + marge)
        {
            return false;
        }
        t = std::clamp(t, c.t0, c.t1);
        return true;
    }

    void SegmentCercle(std::size_t i, std::size_t j)
    {
        const Courbe& s = courbes[i];
        const Courbe& c = courbes[j];
        const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
        const double l = std::hypot(dx, dy);
        // Foot of the centre on the line, and its distance.
        const double pied = ((c.cx - s.x1) * dx + (c.cy - s.y1) * dy) / (l * l);
        const double h = std::fabs(Croix(dx, dy, c.cx - s.x1, c.cy - s.y1)) / l;
        if (h > c.a + tolerance)
        {
            return;
        }
        double solutions[2];
        int n = 0;
        if (h >= c.a - tolerance)
        {
            solutions[n++] = pied; // tangent
        }
        else
        {
            const double demi = std::sqrt(c.a * c.a - h * h) / l;
            solutions[n++] = pied - demi;
            solutions[n++] = pied + demi;
        }
        const double es = tolerance / l;
        for (int k = 0; k < n; ++k)
        {
            const double u = solutions[k];
            double t = 0.0;
            if (u < -es || u > 1.0 + es || !SurArc(c, s.x1 + u * dx, s.y1 + u * dy, t))
            {
                continue;
            }
            Coupe(i, std::clamp(u, 0.0, 1.0), true);
            Coupe(j, t, true);
        }
    }

    void Cercles(std::size_t i, std::size_t j)
    {
        const Courbe& p = courbes[i];
        const Courbe& q = courbes[j];
        const double ex = q.cx - p.cx, ey = q.cy - p.cy;
        const double d = std::hypot(ex, ey);
        if (d <= tolerance || d > p.a + q.a + tolerance || d < std::fabs(p.a - q.a) - tolerance)
        {
            return; // apart, one inside the other, or concentric (overlaps come from the ends)
        }
        const double ux = ex / d, uy = ey / d;
        std::array<double, 2> points[2];
        int n = 0;
        const double le_long = (d * d + p.a * p.a - q.a * q.a) / (2.0 * d);
        const double h2 = p.a * p.a - le_long * le_long;
        if (std::fabs(d - (p.a + q.a)) <= tolerance || std::fabs(d - std::fabs(p.a - q.a)) <= tolerance ||
            h2 <= 0.0)
        {
            const double sens = le_long >= 0.0 ? 1.0 : -1.0;
            points[n++] = {{p.cx + sens * p.a * ux, p.cy + sens * p.a * uy}};
        }
        else
        {
            const double h = std::sqrt(h2);
            points[n++] = {{p.cx + le_long * ux - h * uy, p.cy + le_long * uy + h * ux}};
            points[n++] = {{p.cx + le_long * ux + h * uy, p.cy + le_long * uy - h * ux}};
        }
        for (int k = 0; k < n; ++k)
        {
            double tp = 0.0, tq = 0.0;
            if (SurArc(p, points[k][0], points[k][1], tp) && SurArc(q, points[k][0], points[k][1], tq))
            {
                Coupe(i, tp, true);
                Coupe(j, tq, true);
            }
        }
    }

    void Segments(std::size_t i, std::size_t j)
    {
        const Courbe& a = courbes[i];
        const Courbe& b = courbes[j];
        const double dx1 = a.x2 - a.x1, dy1 = a.y2 - a.y1;
        const double dx2 = b.x2 - b.x1, dy2 = b.y2 - b.y1;
        const double l1 = std::hypot(dx1, dy1);
        const double l2 = std::hypot(dx2, dy2);
        const double den = Croix(dx1, dy1, dx2, dy2);
        if (std::fabs(den) <= 1e-12 * l1 * l2)
        {
            return; // parallel: only touching ends matter
        }
        const double s = Croix(b.x1 - a.x1, b.y1 - a.y1, dx2, dy2) / den;
        const double u = Croix(b.x1 - a.x1, b.y1 - a.y1, dx1, dy1) / den;
        const double es = tolerance / l1;
        const double eu = tolerance / l2;
        if (s >= -es && s <= 1.0 + es && u >= -eu && u <= 1.0 + eu)
        {
            Coupe(i, std::clamp(s, 0.0, 1.0), true);
            Coupe(j, std::clamp(u, 0.0, 1.0), true);
        }
    }

    const Courbe2d& Noyau(std::size_t i)
    {
        if (noyau[i].courbe.IsNull())
        {
            noyau[i] = CourbeNoyau(courbes[i]);
        }
        return noyau[i];
    }

    void AvecArc(std::size_t i, std::size_t j)
    {
        const Courbe2d& ki = Noyau(i);
        const Courbe2d& kj = Noyau(j);
        Geom2dAPI_InterCurveCurve intersection(ki.courbe, kj.courbe, tolerance);
        const Geom2dInt_GInter& resultat = intersection.Intersector();
        if (!resultat.IsDone())
        {
            return;
        }
        auto ajoute = [&](const IntRes2d_IntersectionPoint& p)
        {
            Coupe(i, ParametreCourbe(courbes[i], ki, p.ParamOnFirst()), true);
            Coupe(j, ParametreCourbe(courbes[j], kj, p.ParamOnSecond()), true);
        };
        for (int k = 1; k <= resultat.NbPoints(); ++k)
        {
            ajoute(resultat.Point(k));
        }
        for (int k = 1; k <= resultat.NbSegments(); ++k)
        {
            const IntRes2d_IntersectionSegment& s = resultat.Segment(k);
            if (s.HasFirstPoint())
            {
                ajoute(s.FirstPoint());
            }
            if (s.HasLastPoint())
            {
                ajoute(s.LastPoint());
            }
        }
    }

    // Ends of curve `i` lying on curve `j` (a T junction, or an end that
    // stops short of a line by less than the tolerance) split `j` there.
    void Extremites(std::size_t i, std::size_t j)
    {
        const Courbe& a = courbes[i];
        const Courbe& b = courbes[j];
        if (a.Fermee())
        {
            return;
        }
        for (double t : {a.t0, a.t1})
        {
            const auto p = a.Point(t);
            double u = 0.0;
            if (Projection(b, j, p[0], p[1], u))
            {
                Coupe(j, u, false);
            }
        }
    }

    bool Projection(const Courbe& b, std::size_t j, double x, double y, double& u)
    {
        if (b.droite)
        {
            const double dx = b.x2 - b.x1, dy = b.y2 - b.y1;
            u = std::clamp(((x - b.x1) * dx + (y - b.y1) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            return std::hypot(b.x1 + u * dx - x, b.y1 + u * dy - y) <= tolerance;
        }
        if (b.a == b.b)
        {
            const double d = std::hypot(x - b.cx, y - b.cy);
            if (std::fabs(d - b.a) > tolerance)
            {
                return false;
            }
            u = Ramene(std::atan2(y - b.cy, x - b.cx) - b.rotation, b.t0);
            return b.Fermee() || u <= b.t1;
        }
        const Courbe2d& k = Noyau(j);
        Geom2dAPI_ProjectPointOnCurve projection(gp_Pnt2d(x, y), k.courbe);
        if (projection.NbPoints() == 0 || projection.LowerDistance() > tolerance)
        {
            return false;
        }
        u = ParametreCourbe(b, k, projection.LowerDistanceParameter());
        return b.Fermee() || u <= b.t1 + 1e-9;
    }

    const std::vector<Courbe>& courbes;
    double tolerance;
    std::size_t limite;
    std::size_t nombre = 0;
    std::vector<std::vector<double>> coupes;
    std::vector<Courbe2d> noyau;
    std::vector<Boite> boites;
};

// ---------------------------------------------------------------------------
// Step 2: pieces and vertices

Courbe Morceau(const Courbe& c, double u0, double u1)
{
    Courbe m = c;
    if (c.droite)
    {
        const auto p = c.Point(u0);
        const auto q = c.Point(u1);
        m.x1 = p[0];
        m.y1 = p[1];
        m.x2 = q[0];
        m.y2 = q[1];
        m.t0 = 0.0;
        m.t1 = 1.0;
    }
    else
    {
        m.t0 = u0;
        m.t1 = u1;
    }
    return m;
}

// Splits each curve at its crossing points; points closer than the
// tolerance along the curve are one.
std::vector<Courbe> Morceaux(const std::vector<Courbe>& courbes, std::vector<std::vector<double>>& coupes,
                             double tolerance)
{
    std::vector<Courbe> morceaux;
    morceaux.reserve(courbes.size() * 2);
    for (std::size_t i = 0; i < courbes.size(); ++i)
    {
        const Courbe& c = courbes[i];
        std::vector<double>& u = coupes[i];
        if (c.Fermee())
        {
            for (double& t : u)
            {
                t = Ramene(t, c.t0);
            }
            std::sort(u.begin(), u.end());
            std::vector<double> gardes;
            for (double t : u)
            {
                if (gardes.empty() || c.Longueur(gardes.back(), t) > tolerance)
                {
                    gardes.push_back(t);
                }
            }
            while (gardes.size() > 1 && c.Longueur(gardes.back(), gardes.front() + deux_pi) <= tolerance)
            {
                gardes.pop_back();
            }
            if (gardes.empty())
            {
                morceaux.push_back(c);
                continue;
            }
            for (std::size_t k = 0; k < gardes.size(); ++k)
            {
                const double fin = k + 1 < gardes.size() ? gardes[k + 1] : gardes.front() + deux_pi;
                morceaux.push_back(Morceau(c, gardes[k], fin));
            }
            continue;
        }
        std::sort(u.begin(), u.end());
        double precedent = c.t0;
        for (double t : u)
        {
            if (t > c.t0 && t < c.t1 && c.Longueur(precedent, t) > tolerance &&
                c.Longueur(t, c.t1) > tolerance)
            {
                morceaux.push_back(Morceau(c, precedent, t));
                precedent = t;
            }
        }
        morceaux.push_back(Morceau(c, precedent, c.t1));
    }
    return morceaux;
}

struct CleCellule
{
    std::size_t operator()(const std::pair<double, double>& c) const
    {
        const std::size_t a = std::hash<double>()(c.first);
        const std::size_t b = std::hash<double>()(c.second);
        return a ^ (b + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
    }
};

// Merges the ends of the pieces closer than the tolerance; returns the
// vertex of every end (two per piece).
std::vector<int> FusionneExtremites(const std::vector<Courbe>& morceaux, double tolerance,
                                    std::vector<Sommet>& sommets)
{
    const std::size_t n = morceaux.size() * 2;
    std::vector<std::array<double, 2>> points(n);
    for (std::size_t i = 0; i < morceaux.size(); ++i)
    {
        points[2 * i] = morceaux[i].Point(morceaux[i].t0);
        points[2 * i + 1] = morceaux[i].Point(morceaux[i].t1);
    }
    UnionFind groupes(n);
    std::unordered_map<std::pair<double, double>, std::vector<int>, CleCellule> grille;
    grille.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
    {
        const double cx = std::floor(points[i][0] / tolerance);
        const double cy = std::floor(points[i][1] / tolerance);
        for (double dx = -1.0; dx <= 1.0; dx += 1.0)
        {
            for (double dy = -1.0; dy <= 1.0; dy += 1.0)
            {
                auto it = grille.find({cx + dx, cy + dy});
                if (it == grille.end())
                {
                    continue;
                }
                for (int k : it->second)
                {
                    const auto& q = points[static_cast<std::size_t>(k)];
                    if (std::hypot(q[0] - points[i][0], q[1] - points[i][1]) <= tolerance)
                    {
                        groupes.Unit(static_cast<int>(i), k);
                    }
                }
            }
        }
        grille[{cx, cy}].push_back(static_cast<int>(i));
    }

    std::vector<int> sommet_de(n, -1);
    std::vector<int> numero(n, -1);
    std::vector<int> membres;
    for (std::size_t i = 0; i < n; ++i)
    {
        const std::size_t r = static_cast<std::size_t>(groupes.Racine(static_cast<int>(i)));
        if (numero[r] < 0)
        {
            numero[r] = static_cast<int>(sommets.size());
            sommets.emplace_back();
            membres.push_back(0);
        }
        const std::size_t s = static_cast<std::size_t>(numero[r]);
        sommet_de[i] = numero[r];
        sommets[s].x += points[i][0];
        sommets[s].y += points[i][1];
        ++membres[s];
    }
    for (std::size_t s = 0; s < sommets.size(); ++s)
    {
        sommets[s].x /= membres[s];
        sommets[s].y /= membres[s];
    }
    for (std::size_t i = 0; i < n; ++i)
    {
        Sommet& s = sommets[static_cast<std::size_t>(sommet_de[i])];
        s.ecart = std::max(s.ecart, std::hypot(points[i][0] - s.x, points[i][1] - s.y));
    }
    return sommet_de;
}

// ---------------------------------------------------------------------------
// Step 3: loops

class Graphe
{
public:
    Graphe(Subdivision& s, double tol) : sub(s), tolerance(tol) {}

    // Pieces between vertices, without repeats and without degenerate ones.
    void Construit(const std::vector<Courbe>& morceaux, const std::vector<int>& sommet_de)
    {
        std::unordered_map<std::uint64_t, std::vector<int>> entre;
        for (std::size_t i = 0; i < morceaux.size(); ++i)
        {
            const int a = sommet_de[2 * i];
            const int b = sommet_de[2 * i + 1];
            const Courbe& c = morceaux[i];
            if (a == b && (c.droite || c.Longueur(c.t0, c.t1) <= 4.0 * tolerance))
            {
                continue;
            }
            const std::uint64_t cle = (static_cast<std::uint64_t>(std::min(a, b)) << 32) |
                                      static_cast<std::uint32_t>(std::max(a, b));
            std::vector<int>& deja = entre[cle];
            const auto milieu = c.Point(0.5 * (c.t0 + c.t1));
            bool double_ = false;
            for (int k : deja)
            {
                const Courbe& d = sub.aretes[static_cast<std::size_t>(k)].courbe;
                const auto m = d.Point(0.5 * (d.t0 + d.t1));
                if (std::hypot(m[0] - milieu[0], m[1] - milieu[1]) <= 2.0 * tolerance)
                {
                    double_ = true;
                    break;
                }
            }
            if (double_)
            {
                continue;
            }
            deja.push_back(static_cast<int>(sub.aretes.size()));
            sub.aretes.push_back(Arete{c, a, b});
        }
        nombre_aretes = sub.aretes.size();
        vivante.assign(nombre_aretes, true);
        Elague();
        Trie();
    }

    // Pieces with a free end close nothing: they go, repeatedly.
    void Elague()
    {
        std::vector<int> degre(sub.sommets.size(), 0);
        std::vector<std::vector<int>> incidentes(sub.sommets.size());
        for (std::size_t e = 0; e < nombre_aretes; ++e)
        {
            const Arete& a = sub.aretes[e];
            degre[static_cast<std::size_t>(a.debut)] += 1;
            degre[static_cast<std::size_t>(a.fin)] += 1;
            incidentes[static_cast<std::size_t>(a.debut)].push_back(static_cast<int>(e));
            if (a.fin != a.debut)
            {
                incidentes[static_cast<std::size_t>(a.fin)].push_back(static_cast<int>(e));
            }
        }
        std::deque<int> file;
        for (std::size_t v = 0; v < degre.size(); ++v)
        {
            if (degre[v] == 1)
            {
                file.push_back(static_cast<int>(v));
            }
        }
        while (!file.empty())
        {
            const std::size_t v = static_cast<std::size_t>(file.front());
            file.pop_front();
            for (int e : incidentes[v])
            {
                if (!vivante[static_cast<std::size_t>(e)])
                {
                    continue;
                }
                vivante[static_cast<std::size_t>(e)] = false;
                const Arete& a = sub.aretes[static_cast<std::size_t>(e)];
                for (int w : {a.debut, a.fin})
                {
                    if (--degre[static_cast<std::size_t>(w)] == 1)
                    {
                        file.push_back(w);
                    }
                }
            }
        }
    }

    // Half-edge h: piece h / 2, forwards when h is even.
    int Origine(int h) const
    {
        const Arete& a = sub.aretes[static_cast<std::size_t>(h / 2)];
        return h % 2 == 0 ? a.debut : a.fin;
    }
    int Destination(int h) const { return Origine(h ^ 1); }

    // The half-edges leaving each vertex, counter-clockwise. Tangent
    // directions tie where curves touch: the curvature then decides.
    void Trie()
    {
        sortantes.assign(sub.sommets.size(), {});
        angle.assign(2 * nombre_aretes, 0.0);
        double etendue = 0.0;
        for (const Sommet& s : sub.sommets)
        {
            etendue = std::max({etendue, std::fabs(s.x), std::fabs(s.y)});
        }
        const double delta = 1e-6 * std::max(etendue, tolerance);
        for (std::size_t e = 0; e < nombre_aretes; ++e)
        {
            if (!vivante[e])
            {
                continue;
            }
            const Courbe& c = sub.aretes[e].courbe;
            auto d0 = c.Derivee(c.t0);
            auto d1 = c.Derivee(c.t1);
            angle[2 * e] = std::atan2(d0[1], d0[0]) + 0.5 * c.Courbure(c.t0) * delta;
            angle[2 * e + 1] = std::atan2(-d1[1], -d1[0]) - 0.5 * c.Courbure(c.t1) * delta;
            sortantes[static_cast<std::size_t>(sub.aretes[e].debut)].push_back(static_cast<int>(2 * e));
            sortantes[static_cast<std::size_t>(sub.aretes[e].fin)].push_back(static_cast<int>(2 * e + 1));
        }
        rang.assign(2 * nombre_aretes, -1);
        for (std::vector<int>& liste : sortantes)
        {
            std::sort(liste.begin(), liste.end(),
                      [&](int a, int b)
                      { return angle[static_cast<std::size_t>(a)] < angle[static_cast<std::size_t>(b)]; });
            for (std::size_t k = 0; k < liste.size(); ++k)
            {
                rang[static_cast<std::size_t>(liste[k])] = static_cast<int>(k);
            }
        }
    }

    // Traces the loops of the half-edges `gardee` accepts, around vertices
    // whose half-edges are listed (in order) by `liste` and ranked by `rangs`.
    std::vector<Boucle> Trace(const std::vector<std::vector<int>>& liste, const std::vector<int>& rangs,
                              const std::vector<char>& gardee, std::vector<int>* boucle_de)
    {
        std::vector<Boucle> boucles;
        std::vector<char> vue(2 * nombre_aretes, 0);
        if (boucle_de != nullptr)
        {
            boucle_de->assign(2 * nombre_aretes, -1);
        }
        for (std::size_t depart = 0; depart < 2 * nombre_aretes; ++depart)
        {
            if (!gardee[depart] || vue[depart])
            {
                continue;
            }
            Boucle b;
            int h = static_cast<int>(depart);
            std::size_t garde_fou = 0;
            while (!vue[static_cast<std::size_t>(h)] && garde_fou++ <= 2 * nombre_aretes)
            {
                vue[static_cast<std::size_t>(h)] = 1;
                if (boucle_de != nullptr)
                {
                    (*boucle_de)[static_cast<std::size_t>(h)] = static_cast<int>(boucles.size());
                }
                b.pas.emplace_back(h / 2, h % 2 == 0);
                const std::vector<int>& autour = liste[static_cast<std::size_t>(Destination(h))];
                const int n = static_cast<int>(autour.size());
                h = autour[static_cast<std::size_t>((rangs[static_cast<std::size_t>(h ^ 1)] + n - 1) % n)];
            }
            b.aire = Aire(b);
            boucles.push_back(std::move(b));
        }
        return boucles;
    }

    double Aire(const Boucle& b) const
    {
        double aire = 0.0;
        for (const auto& [e, avant] : b.pas)
        {
            const Arete& a = sub.aretes[static_cast<std::size_t>(e)];
            double contribution;
            if (a.courbe.droite)
            {
                const Sommet& p = sub.sommets[static_cast<std::size_t>(a.debut)];
                const Sommet& q = sub.sommets[static_cast<std::size_t>(a.fin)];
                contribution = 0.5 * Croix(p.x, p.y, q.x, q.y);
            }
            else
            {
                const Courbe& c = a.courbe;
                const auto p = c.Point(c.t0);
                const auto q = c.Point(c.t1);
                contribution =
                    0.5 * (Croix(c.cx, c.cy, q[0] - p[0], q[1] - p[1]) + c.a * c.b * (c.t1 - c.t0));
            }
            aire += avant ? contribution : -contribution;
        }
        return aire;
    }

    // Splits a loop that passes a vertex twice into simple loops.
    std::vector<Boucle> Separe(const Boucle& boucle) const
    {
        std::vector<Boucle> simples;
        std::vector<std::pair<int, bool>> pile;
        std::unordered_map<int, std::size_t> position;
        if (boucle.pas.empty())
        {
            return simples;
        }
        auto origine = [&](const std::pair<int, bool>& p)
        { return Origine(2 * p.first + (p.second ? 0 : 1)); };
        auto destination = [&](const std::pair<int, bool>& p)
        { return Destination(2 * p.first + (p.second ? 0 : 1)); };
        position[origine(boucle.pas.front())] = 0;
        for (const auto& p : boucle.pas)
        {
            pile.push_back(p);
            const int d = destination(p);
            auto it = position.find(d);
            if (it == position.end())
            {
                position[d] = pile.size();
                continue;
            }
            Boucle b;
            b.pas.assign(pile.begin() + static_cast<std::ptrdiff_t>(it->second), pile.end());
            for (std::size_t k = it->second; k < pile.size(); ++k)
            {
                const int o = origine(pile[k]);
                if (o != d)
                {
                    position.erase(o);
                }
            }
            pile.resize(it->second);
            b.aire = Aire(b);
            simples.push_back(std::move(b));
        }
        return simples;
    }

    // A point on the loop's first piece, away from its ends.
    std::array<double, 2> PointTemoin(const Boucle& b) const
    {
        const Arete& a = sub.aretes[static_cast<std::size_t>(b.pas.front().first)];
        if (a.courbe.droite)
        {
            const Sommet& p = sub.sommets[static_cast<std::size_t>(a.debut)];
            const Sommet& q = sub.sommets[static_cast<std::size_t>(a.fin)];
            return {{p.x + 0.4387 * (q.x - p.x), p.y + 0.4387 * (q.y - p.y)}};
        }
        return a.courbe.Point(a.courbe.t0 + 0.4387 * (a.courbe.t1 - a.courbe.t0));
    }

    // A polygon close to the loop (arcs divided finely), for inside tests.
    std::vector<std::array<double, 2>> Polygone(const Boucle& b) const
    {
        std::vector<std::array<double, 2>> points;
        for (const auto& [e, avant] : b.pas)
        {
            const Arete& a = sub.aretes[static_cast<std::size_t>(e)];
            const Sommet& o = sub.sommets[static_cast<std::size_t>(avant ? a.debut : a.fin)];
            points.push_back({{o.x, o.y}});
            if (!a.courbe.droite)
            {
                const Courbe& c = a.courbe;
                const double r = std::max(c.a, c.b);
                const double pas = tolerance < r ? 2.0 * std::acos(1.0 - 0.25 * tolerance / r) : M_PI / 4.0;
                const int n = static_cast<int>(std::clamp(std::ceil((c.t1 - c.t0) / pas), 2.0, 1024.0));
                for (int k = 1; k < n; ++k)
                {
                    const double t = avant ? c.t0 + (c.t1 - c.t0) * k / n : c.t1 - (c.t1 - c.t0) * k / n;
                    points.push_back(c.Point(t));
                }
            }
        }
        return points;
    }

    static bool Dedans(const std::vector<std::array<double, 2>>& poly, const std::array<double, 2>& p)
    {
        bool dedans = false;
        const std::size_t n = poly.size();
        for (std::size_t i = 0, j = n - 1; i < n; j = i++)
        {
            const auto& a = poly[i];
            const auto& b = poly[j];
            if ((a[1] > p[1]) != (b[1] > p[1]) && p[0] < (b[0] - a[0]) * (p[1] - a[1]) / (b[1] - a[1]) + a[0])
            {
                dedans = !dedans;
            }
        }
        return dedans;
    }

    // Regions from simple loops: each clockwise loop becomes a hole of the
    // smallest counter-clockwise loop around it; holes inside none are left
    // out.
    std::vector<Region> Regions(std::vector<Boucle> boucles) const
    {
        std::vector<Region> regions;
        std::vector<std::size_t> exterieurs;
        std::vector<std::size_t> trous;
        for (std::size_t i = 0; i < boucles.size(); ++i)
        {
            (boucles[i].aire > 0.0 ? exterieurs : trous).push_back(i);
        }
        std::sort(exterieurs.begin(), exterieurs.end(),
                  [&](std::size_t a, std::size_t b) { return boucles[a].aire < boucles[b].aire; });
        std::vector<std::vector<std::array<double, 2>>> polygones(exterieurs.size());
        std::vector<Boite> boites(exterieurs.size());
        for (std::size_t k = 0; k < exterieurs.size(); ++k)
        {
            polygones[k] = Polygone(boucles[exterieurs[k]]);
            boites[k] = geometrie::BoitePoints(polygones[k]);
        }
        std::vector<std::vector<std::size_t>> trous_de(exterieurs.size());
        for (std::size_t t : trous)
        {
            const Boite bt = geometrie::BoitePoints(Polygone(boucles[t]));
            const auto temoin = PointTemoin(boucles[t]);
            for (std::size_t k = 0; k < exterieurs.size(); ++k)
            {
                if (-boucles[t].aire <= boucles[exterieurs[k]].aire && boites[k].Contient(bt, tolerance) &&
                    Dedans(polygones[k], temoin))
                {
                    trous_de[k].push_back(t);
                    break;
                }
            }
        }
        for (std::size_t k = 0; k < exterieurs.size(); ++k)
        {
            Region r;
            r.exterieur = std::move(boucles[exterieurs[k]]);
            for (std::size_t t : trous_de[k])
            {
                r.trous.push_back(std::move(boucles[t]));
            }
            regions.push_back(std::move(r));
        }
        return regions;
    }

    // Merges, along a loop, consecutive pieces that continue each other
    // (collinear segments, arcs of one ellipse) at vertices where nothing
    // else meets.
    void Simplifie(Boucle& b, const std::vector<int>& degre)
    {
        const std::size_t n = b.pas.size();
        if (n < 2)
        {
            return;
        }
        std::size_t depart = n;
        for (std::size_t i = 0; i < n; ++i)
        {
            if (!Continue(b.pas[(i + n - 1) % n], b.pas[i], degre))
            {
                depart = i;
                break;
            }
        }
        if (depart == n)
        {
            // Every junction continues: a whole ellipse cut into arcs.
            const Arete& premiere = sub.aretes[static_cast<std::size_t>(b.pas.front().first)];
            if (premiere.courbe.droite)
            {
                return;
            }
            Arete entiere = premiere;
            const int v = Origine(2 * b.pas.front().first + (b.pas.front().second ? 0 : 1));
            entiere.courbe.t0 = b.pas.front().second ? premiere.courbe.t0 : premiere.courbe.t1 - deux_pi;
            entiere.courbe.t1 = entiere.courbe.t0 + deux_pi;
            entiere.debut = v;
            entiere.fin = v;
            const bool sens = b.pas.front().second;
            b.pas.assign(1, {static_cast<int>(sub.aretes.size()), sens});
            sub.aretes.push_back(entiere);
            return;
        }
        std::vector<std::pair<int, bool>> pas;
        pas.reserve(n);
        std::pair<int, bool> courant = b.pas[depart];
        Arete fusion;
        bool fusionne = false;
        for (std::size_t k = 1; k <= n; ++k)
        {
            const auto& suivant = b.pas[(depart + k) % n];
            if (k < n && Continue(courant, suivant, degre))
            {
                fusion = Joint(fusionne ? fusion : sub.aretes[static_cast<std::size_t>(courant.first)],
                               courant.second, sub.aretes[static_cast<std::size_t>(suivant.first)]);
                fusionne = true;
                courant.first = suivant.first; // the direction is shared
                continue;
            }
            if (fusionne)
            {
                pas.emplace_back(static_cast<int>(sub.aretes.size()), courant.second);
                sub.aretes.push_back(fusion);
            }
            else
            {
                pas.push_back(courant);
            }
            fusionne = false;
            courant = suivant;
        }
        b.pas = std::move(pas);
    }

private:
    // Whether step q continues step p across their common vertex.
    bool Continue(const std::pair<int, bool>& p, const std::pair<int, bool>& q,
                  const std::vector<int>& degre) const
    {
        const int v = Destination(2 * p.first + (p.second ? 0 : 1));
        if (degre[static_cast<std::size_t>(v)] != 2 || p.second != q.second)
        {
            return false;
        }
        const Arete& a = sub.aretes[static_cast<std::size_t>(p.first)];
        const Arete& b = sub.aretes[static_cast<std::size_t>(q.first)];
        if (a.courbe.droite != b.courbe.droite || a.debut == a.fin || b.debut == b.fin)
        {
            return false;
        }
        if (a.courbe.droite)
        {
            const Sommet& s0 = sub.sommets[static_cast<std::size_t>(p.second ? a.debut : a.fin)];
            const Sommet& s1 = sub.sommets[static_cast<std::size_t>(v)];
            const Sommet& s2 = sub.sommets[static_cast<std::size_t>(q.second ? b.fin : b.debut)];
            const double l = std::hypot(s2.x - s0.x, s2.y - s0.y);
            const double dot = (s1.x - s0.x) * (s2.x - s1.x) + (s1.y - s0.y) * (s2.y - s1.y);
            return l > tolerance && dot > 0.0 &&
                   std::fabs(Croix(s2.x - s0.x, s2.y - s0.y, s1.x - s0.x, s1.y - s0.y)) / l <= tolerance;
        }
        const Courbe& c = a.courbe;
        const Courbe& d = b.courbe;
        const double e = 0.1 * tolerance;
        const bool meme = std::fabs(c.cx - d.cx) <= e && std::fabs(c.cy - d.cy) <= e &&
                          std::fabs(c.a - d.a) <= e && std::fabs(c.b - d.b) <= e &&
                          (c.a == c.b || c.source == d.source);
        if (!meme)
        {
            return false;
        }
        // Together they must not exceed a turn.
        return (c.t1 - c.t0) + (d.t1 - d.t0) < deux_pi - 1e-9;
    }

    // The piece made of `a` (run in direction `avant`) followed by `b`.
    Arete Joint(const Arete& a, bool avant, const Arete& b) const
    {
        Arete r = a;
        if (a.courbe.droite)
        {
            const int debut = avant ? a.debut : b.debut;
            const int fin = avant ? b.fin : a.fin;
            const Sommet& p = sub.sommets[static_cast<std::size_t>(debut)];
            const Sommet& q = sub.sommets[static_cast<std::size_t>(fin)];
            r.courbe.x1 = p.x;
            r.courbe.y1 = p.y;
            r.courbe.x2 = q.x;
            r.courbe.y2 = q.y;
            r.debut = debut;
            r.fin = fin;
            return r;
        }
        if (avant)
        {
            // b starts where a ends, one turn apart at most.
            const double debut_b = Ramene(b.courbe.t0, a.courbe.t1 - M_PI);
            r.courbe.t1 = debut_b + (b.courbe.t1 - b.courbe.t0);
            r.fin = b.fin;
        }
        else
        {
            // Running backwards, b comes before a along the parameter.
            const double fin_b = Ramene(b.courbe.t1, a.courbe.t0 - M_PI);
            r.courbe.t0 = fin_b - (b.courbe.t1 - b.courbe.t0);
            r.debut = b.debut;
        }
        return r;
    }

public:
    Subdivision& sub;
    double tolerance;
    std::size_t nombre_aretes = 0;
    std::vector<bool> vivante;
    std::vector<std::vector<int>> sortantes;
    std::vector<double> angle;
    std::vector<int> rang;
};

} // namespace

EtatDecoupe Decoupe(const std::vector<Courbe>& courbes, double tolerance, std::size_t croisements_max,
                    Subdivision& resultat)
{
    resultat = Subdivision();
    Croisements croisements(courbes, tolerance, croisements_max);
    const bool complet = croisements.Cherche();
    resultat.croisements = croisements.Nombre();
    if (!complet)
    {
        return EtatDecoupe::TropDeCroisements;
    }
    const std::vector<Courbe> morceaux = Morceaux(courbes, croisements.Coupes(), tolerance);
    const std::vector<int> sommet_de = FusionneExtremites(morceaux, tolerance, resultat.sommets);

    Graphe graphe(resultat, tolerance);
    graphe.Construit(morceaux, sommet_de);
    const std::size_t na = graphe.nombre_aretes;
    std::vector<char> vivantes(2 * na, 0);
    bool une = false;
    for (std::size_t e = 0; e < na; ++e)
    {
        vivantes[2 * e] = vivantes[2 * e + 1] = graphe.vivante[e] ? 1 : 0;
        une = une || graphe.vivante[e];
    }
    if (!une)
    {
        return EtatDecoupe::Ouvert;
    }

    // Loops of the whole subdivision: counter-clockwise ones bound cells,
    // clockwise ones are the outer boundaries of connected parts.
    std::vector<int> boucle_de;
    const std::vector<Boucle> boucles = graphe.Trace(graphe.sortantes, graphe.rang, vivantes, &boucle_de);

    // Connected parts, so that a part is never placed inside its own loops.
    UnionFind parties(resultat.sommets.size());
    for (std::size_t e = 0; e < na; ++e)
    {
        if (graphe.vivante[e])
        {
            parties.Unit(resultat.aretes[e].debut, resultat.aretes[e].fin);
        }
    }
    auto partie = [&](const Boucle& b)
    { return parties.Racine(resultat.aretes[static_cast<std::size_t>(b.pas.front().first)].debut); };

    std::vector<std::size_t> cellules;
    std::vector<int> cellule_de(boucles.size(), -1);
    for (std::size_t i = 0; i < boucles.size(); ++i)
    {
        if (boucles[i].aire > 0.0)
        {
            cellule_de[i] = static_cast<int>(cellules.size());
            cellules.push_back(i);
        }
    }
    const int dehors = static_cast<int>(cellules.size());
    std::vector<std::size_t> par_aire(cellules.size());
    std::iota(par_aire.begin(), par_aire.end(), 0);
    std::sort(par_aire.begin(), par_aire.end(),
              [&](std::size_t a, std::size_t b)
              { return boucles[cellules[a]].aire < boucles[cellules[b]].aire; });
    std::vector<std::vector<std::array<double, 2>>> polygones(cellules.size());
    std::vector<Boite> boites(cellules.size());
    std::vector<int> parties_cellules(cellules.size());
    for (std::size_t k = 0; k < cellules.size(); ++k)
    {
        polygones[k] = graphe.Polygone(boucles[cellules[k]]);
        boites[k] = geometrie::BoitePoints(polygones[k]);
        parties_cellules[k] = partie(boucles[cellules[k]]);
    }
    // Each outer boundary lies in the smallest cell of another part around it,
    // or outside everything.
    std::vector<std::vector<std::size_t>> enfants(cellules.size());
    std::vector<std::size_t> contours_dehors;
    for (std::size_t i = 0; i < boucles.size(); ++i)
    {
        if (cellule_de[i] >= 0)
        {
            continue;
        }
        const int p = partie(boucles[i]);
        const Boite b = geometrie::BoitePoints(graphe.Polygone(boucles[i]));
        const auto temoin = graphe.PointTemoin(boucles[i]);
        int parent = dehors;
        for (std::size_t k : par_aire)
        {
            if (parties_cellules[k] != p && boites[k].Contient(b, 0.0) &&
                Graphe::Dedans(polygones[k], temoin))
            {
                parent = static_cast<int>(k);
                break;
            }
        }
        cellule_de[i] = parent;
        if (parent == dehors)
        {
            contours_dehors.push_back(i);
        }
        else
        {
            enfants[static_cast<std::size_t>(parent)].push_back(i);
        }
    }

    // Nesting depth, breadth-first from the outside.
    std::vector<std::vector<int>> voisines(cellules.size() + 1);
    auto cellule_demi = [&](std::size_t h) { return cellule_de[static_cast<std::size_t>(boucle_de[h])]; };
    for (std::size_t e = 0; e < na; ++e)
    {
        if (!graphe.vivante[e])
        {
            continue;
        }
        const int a = cellule_demi(2 * e);
        const int b = cellule_demi(2 * e + 1);
        if (a != b)
        {
            voisines[static_cast<std::size_t>(a)].push_back(b);
            voisines[static_cast<std::size_t>(b)].push_back(a);
        }
    }
    std::vector<int> profondeur(cellules.size() + 1, -1);
    std::deque<int> file{dehors};
    profondeur[static_cast<std::size_t>(dehors)] = 0;
    while (!file.empty())
    {
        const int c = file.front();
        file.pop_front();
        for (int v : voisines[static_cast<std::size_t>(c)])
        {
            if (profondeur[static_cast<std::size_t>(v)] < 0)
            {
                profondeur[static_cast<std::size_t>(v)] = profondeur[static_cast<std::size_t>(c)] + 1;
                file.push_back(v);
            }
        }
    }
    auto matiere = [&](int c) { return profondeur[static_cast<std::size_t>(c)] % 2 == 1; };

    std::vector<int> degre(resultat.sommets.size(), 0);
    for (std::size_t v = 0; v < degre.size(); ++v)
    {
        degre[v] = static_cast<int>(graphe.sortantes[v].size());
    }

    // Outer outlines, turned counter-clockwise.
    for (std::size_t i : contours_dehors)
    {
        for (Boucle& b : graphe.Separe(boucles[i]))
        {
            Boucle inverse;
            for (auto it = b.pas.rbegin(); it != b.pas.rend(); ++it)
            {
                inverse.pas.emplace_back(it->first, !it->second);
            }
            inverse.aire = -b.aire;
            graphe.Simplifie(inverse, degre);
            resultat.silhouettes.push_back(std::move(inverse));
        }
    }

    // Cells inside an inner outline.
    for (std::size_t k = 0; k < cellules.size(); ++k)
    {
        const int p = profondeur[k];
        if (p < 2 || p % 2 != 0)
        {
            continue;
        }
        std::vector<Boucle> simples = graphe.Separe(boucles[cellules[k]]);
        for (std::size_t enfant : enfants[k])
        {
            for (Boucle& b : graphe.Separe(boucles[enfant]))
            {
                simples.push_back(std::move(b));
            }
        }
        for (Boucle& b : simples)
        {
            graphe.Simplifie(b, degre);
        }
        for (Region& r : graphe.Regions(std::move(simples)))
        {
            resultat.interieurs.push_back(std::move(r));
        }
    }

    // Material: only the pieces between material and void remain, traced
    // with the material on their left.
    std::vector<std::vector<int>> bord(resultat.sommets.size());
    std::vector<int> rang_bord(2 * na, -1);
    std::vector<char> gauche_matiere(2 * na, 0);
    for (std::size_t v = 0; v < bord.size(); ++v)
    {
        for (int h : graphe.sortantes[v])
        {
            const bool ma = matiere(cellule_demi(static_cast<std::size_t>(h)));
            const bool mb = matiere(cellule_demi(static_cast<std::size_t>(h ^ 1)));
            if (ma != mb)
            {
                rang_bord[static_cast<std::size_t>(h)] = static_cast<int>(bord[v].size());
                bord[v].push_back(h);
                gauche_matiere[static_cast<std::size_t>(h)] = ma ? 1 : 0;
            }
        }
    }
    std::vector<int> degre_bord(resultat.sommets.size(), 0);
    for (std::size_t v = 0; v < bord.size(); ++v)
    {
        degre_bord[v] = static_cast<int>(bord[v].size());
    }
    std::vector<Boucle> contours;
    for (const Boucle& b : graphe.Trace(bord, rang_bord, gauche_matiere, nullptr))
    {
        for (Boucle& s : graphe.Separe(b))
        {
            graphe.Simplifie(s, degre_bord);
            contours.push_back(std::move(s));
        }
    }
    resultat.matiere = graphe.Regions(std::move(contours));
    if (resultat.matiere.empty() || resultat.silhouettes.empty())
    {
        return EtatDecoupe::Ouvert;
    }
    return EtatDecoupe::Correct;
}

} // namespace Zarvel3D::occt::decoupe
