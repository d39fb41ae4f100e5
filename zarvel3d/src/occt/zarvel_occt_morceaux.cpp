// Pieces of the curves and the vertices where they meet. The ends are merged through a hash grid
// of tolerance-sized cells, so that each end is compared with the few ends of the nine cells
// around it only.

#include "zarvel_occt_morceaux.h"

#include "ensembles.h"
#include "geometrie_plane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>
#include <utility>

namespace Zarvel3D::occt::decoupe
{

namespace
{

using geometrie::deux_pi;

// The part of `c` between its parameters u0 and u1.
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

// A whole ellipse: its split points wrapped into its turn. The last one goes while it comes back
// within the tolerance of the first, across the start of the turn.
void CoupeFermee(const Courbe& c, std::vector<double>& u, double tolerance, std::vector<Courbe>& morceaux)
{
    for (double& t : u)
    {
        t = geometrie::Ramene(t, c.t0);
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
        return;
    }
    for (std::size_t k = 0; k < gardes.size(); ++k)
    {
        const double fin = k + 1 < gardes.size() ? gardes[k + 1] : gardes.front() + deux_pi;
        morceaux.push_back(Morceau(c, gardes[k], fin));
    }
}

// A segment or an arc: split points outside its range, or within the tolerance of the previous
// point or of its end, are passed over.
void CoupeOuverte(const Courbe& c, std::vector<double>& u, double tolerance, std::vector<Courbe>& morceaux)
{
    std::sort(u.begin(), u.end());
    double precedent = c.t0;
    for (double t : u)
    {
        if (t > c.t0 && t < c.t1 && c.Longueur(precedent, t) > tolerance && c.Longueur(t, c.t1) > tolerance)
        {
            morceaux.push_back(Morceau(c, precedent, t));
            precedent = t;
        }
    }
    morceaux.push_back(Morceau(c, precedent, c.t1));
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

// Joins the points closer than the tolerance. Cells are tolerance-wide, so that two such points
// lie in the same or in neighbouring cells; the cell coordinates stay doubles, which no drawing
// can overflow.
Ensembles GroupesProches(const std::vector<std::array<double, 2>>& points, double tolerance)
{
    const std::size_t n = points.size();
    Ensembles groupes(n);
    std::unordered_map<std::pair<double, double>, std::vector<std::size_t>, CleCellule> grille;
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
                for (std::size_t k : it->second)
                {
                    if (std::hypot(points[k][0] - points[i][0], points[k][1] - points[i][1]) <= tolerance)
                    {
                        groupes.Union(i, k);
                    }
                }
            }
        }
        grille[{cx, cy}].push_back(i);
    }
    return groupes;
}

} // namespace

std::vector<Courbe> Morceaux(const std::vector<Courbe>& courbes, std::vector<std::vector<double>>& coupes,
                             double tolerance)
{
    std::vector<Courbe> morceaux;
    morceaux.reserve(courbes.size() * 2);
    for (std::size_t i = 0; i < courbes.size(); ++i)
    {
        if (courbes[i].Fermee())
        {
            CoupeFermee(courbes[i], coupes[i], tolerance, morceaux);
        }
        else
        {
            CoupeOuverte(courbes[i], coupes[i], tolerance, morceaux);
        }
    }
    return morceaux;
}

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
    Ensembles groupes = GroupesProches(points, tolerance);

    // One vertex per group, numbered in the order of their first end.
    sommets.clear();
    std::vector<int> sommet_de(n, -1);
    std::vector<int> numero(n, -1);
    std::vector<int> membres;
    for (std::size_t i = 0; i < n; ++i)
    {
        const std::size_t r = groupes.Racine(i);
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

} // namespace Zarvel3D::occt::decoupe
