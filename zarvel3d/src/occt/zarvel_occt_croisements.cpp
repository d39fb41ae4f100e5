// Crossings of the curves of a view. Each curve marks the cells of a uniform grid along its path
// (arcs as chords, the cells widened by their sagitta), so that only curves sharing a cell are
// tested, each pair once. Segments and circles are crossed in closed form; a pair with another
// ellipse goes to the kernel, whose parameters are turned back into ours.

#include "zarvel_occt_croisements.h"

#include "geometrie_plane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace Zarvel3D::occt::decoupe
{

namespace
{

const NoyauEllipses* noyau_ellipses = nullptr;

using geometrie::Boite;
using geometrie::Croix;
using geometrie::Ramene;

// Exact bounds of a curve.
Boite BoiteCourbe(const Courbe& c)
{
    if (c.droite)
    {
        return geometrie::BoiteSegment(c.x1, c.y1, c.x2, c.y2);
    }
    const double cs = std::cos(c.rotation);
    const double sn = std::sin(c.rotation);
    return geometrie::BoiteArc({c.cx, c.cy, c.a * cs, c.a * sn, -c.b * sn, c.b * cs, c.t0, c.t1});
}

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

class Croisements
{
public:
    Croisements(const std::vector<Courbe>& c, double tol, std::size_t maximum)
        : courbes(c), tolerance(tol), limite(maximum), coupes(c.size()), boites(c.size())
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

    std::vector<std::vector<double>>& Parametres() { return coupes; }
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

    void AvecArc(std::size_t i, std::size_t j)
    {
        if (noyau_ellipses == nullptr)
        {
            return;
        }
        points.clear();
        noyau_ellipses->croise(courbes[i], courbes[j], tolerance, points);
        for (const auto& p : points)
        {
            Coupe(i, p[0], true);
            Coupe(j, p[1], true);
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
            if (Projection(b, p[0], p[1], u))
            {
                Coupe(j, u, false);
            }
        }
    }

    bool Projection(const Courbe& b, double x, double y, double& u)
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
        return noyau_ellipses != nullptr && noyau_ellipses->projette(b, x, y, tolerance, u);
    }

    const std::vector<Courbe>& courbes;
    double tolerance;
    std::size_t limite;
    std::size_t nombre = 0;
    std::vector<std::vector<double>> coupes;
    std::vector<std::array<double, 2>> points;
    std::vector<Boite> boites;
};

} // namespace

void DefNoyauEllipses(const NoyauEllipses* noyau)
{
    noyau_ellipses = noyau;
}

bool ChercheCroisements(const std::vector<Courbe>& courbes, double tolerance, std::size_t croisements_max,
                        Coupes& coupes)
{
    Croisements croisements(courbes, tolerance, croisements_max);
    const bool complet = croisements.Cherche();
    coupes.parametres = std::move(croisements.Parametres());
    coupes.croisements = croisements.Nombre();
    return complet;
}

} // namespace Zarvel3D::occt::decoupe
