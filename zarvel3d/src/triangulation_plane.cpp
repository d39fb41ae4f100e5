// Ear clipping of a polygon with holes. Each hole is first joined to the outline by a bridge
// (two coincident edges, its ends doubled) from its leftmost point to a point of the outline that
// it sees, so that one ring remains; ears are then cut one after the other. Whether a triangle
// holds another point is asked of a uniform grid, so that a plate with many round holes (a
// thousand points, most of them reflex) is cut in near-linear time.

#include "triangulation_plane.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Zarvel3D::geometrie
{

namespace
{

struct Noeud
{
    std::size_t point;
    double x;
    double y;
    std::size_t prec;
    std::size_t suiv;
    bool retire;
};

// Twice the signed area of (a, b, c): positive when they turn left.
double Orientation(const Noeud& a, const Noeud& b, const Noeud& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool MemePosition(const Noeud& a, const Noeud& b)
{
    return a.x == b.x && a.y == b.y;
}

// True when p lies inside the triangle or on its boundary, whatever its orientation.
bool DansTriangle(const Noeud& a, const Noeud& b, const Noeud& c, const Noeud& p)
{
    const double d1 = Orientation(a, b, p);
    const double d2 = Orientation(b, c, p);
    const double d3 = Orientation(c, a, p);
    const bool negatif = d1 < 0.0 || d2 < 0.0 || d3 < 0.0;
    const bool positif = d1 > 0.0 || d2 > 0.0 || d3 > 0.0;
    return !(negatif && positif);
}

class Oreilles
{
public:
    explicit Oreilles(const std::vector<std::array<double, 2>>& p) : points(p) {}

    bool Triangule(const Anneau& exterieur, const std::vector<Anneau>& trous,
                   std::vector<std::array<std::size_t, 3>>& triangles)
    {
        std::size_t debut = Chaine(exterieur);
        std::vector<std::size_t> gauches;
        for (const Anneau& trou : trous)
        {
            gauches.push_back(PlusAGauche(Chaine(trou)));
        }
        std::sort(gauches.begin(), gauches.end(),
                  [this](std::size_t a, std::size_t b)
                  { return noeuds[a].x < noeuds[b].x || (noeuds[a].x == noeuds[b].x && noeuds[a].y < noeuds[b].y); });
        for (std::size_t trou : gauches)
        {
            const std::size_t pont = CherchePont(trou, debut);
            if (pont == aucun)
            {
                return false;
            }
            Relie(pont, trou);
        }
        RemplitGrille();
        return Coupe(debut, triangles);
    }

private:
    static constexpr std::size_t aucun = std::numeric_limits<std::size_t>::max();

    std::size_t Ajoute(std::size_t point)
    {
        noeuds.push_back({point, points[point][0], points[point][1], aucun, aucun, false});
        return noeuds.size() - 1;
    }

    // The ring's nodes linked in a loop; returns its first node.
    std::size_t Chaine(const Anneau& anneau)
    {
        const std::size_t premier = noeuds.size();
        for (std::size_t k = 0; k < anneau.size(); ++k)
        {
            const std::size_t n = Ajoute(anneau[k]);
            noeuds[n].prec = k == 0 ? premier + anneau.size() - 1 : n - 1;
            noeuds[n].suiv = k + 1 == anneau.size() ? premier : n + 1;
        }
        return premier;
    }

    std::size_t PlusAGauche(std::size_t debut) const
    {
        std::size_t meilleur = debut;
        for (std::size_t n = noeuds[debut].suiv; n != debut; n = noeuds[n].suiv)
        {
            const Noeud& a = noeuds[n];
            const Noeud& b = noeuds[meilleur];
            if (a.x < b.x || (a.x == b.x && a.y < b.y))
            {
                meilleur = n;
            }
        }
        return meilleur;
    }

    // True when the diagonal from a towards b leaves a into the polygon.
    bool LocalementDedans(std::size_t a, std::size_t b) const
    {
        const Noeud& na = noeuds[a];
        const Noeud& pr = noeuds[na.prec];
        const Noeud& su = noeuds[na.suiv];
        const Noeud& nb = noeuds[b];
        if (Orientation(pr, na, su) >= 0.0)
        {
            return Orientation(na, su, nb) > 0.0 && Orientation(na, pr, nb) < 0.0;
        }
        return Orientation(na, su, nb) > 0.0 || Orientation(na, pr, nb) < 0.0;
    }

    // A point of the outline that the hole's leftmost point `h` sees: the ray leftwards from h
    // meets the nearest edge of the outline (going down: the material is on its right); of that
    // edge's ends, or of the outline's points inside the triangle they make with h, the one
    // nearest to the ray in angle.
    std::size_t CherchePont(std::size_t h, std::size_t debut) const
    {
        const double hx = noeuds[h].x;
        const double hy = noeuds[h].y;
        double qx = -std::numeric_limits<double>::infinity();
        std::size_t m = aucun;
        std::size_t p = debut;
        do
        {
            const Noeud& a = noeuds[p];
            const Noeud& b = noeuds[a.suiv];
            if (hy <= a.y && hy >= b.y && b.y != a.y)
            {
                const double x = a.x + (hy - a.y) * (b.x - a.x) / (b.y - a.y);
                if (x <= hx && x > qx)
                {
                    qx = x;
                    m = a.x < b.x ? p : a.suiv;
                }
            }
            p = a.suiv;
        } while (p != debut);
        if (m == aucun)
        {
            return aucun;
        }
        const Noeud sommet_h = noeuds[h];
        const Noeud sommet_i{0, qx, hy, 0, 0, false};
        const Noeud sommet_m = noeuds[m];
        double tangente_min = std::numeric_limits<double>::infinity();
        std::size_t choisi = LocalementDedans(m, h) ? m : aucun;
        p = m;
        do
        {
            const Noeud& c = noeuds[p];
            if (hx > c.x && c.x >= sommet_m.x && p != m && DansTriangle(sommet_h, sommet_i, sommet_m, c) &&
                LocalementDedans(p, h))
            {
                const double tangente = std::fabs(hy - c.y) / (hx - c.x);
                if (tangente < tangente_min ||
                    (tangente == tangente_min && choisi != aucun && c.x > noeuds[choisi].x))
                {
                    tangente_min = tangente;
                    choisi = p;
                }
            }
            p = c.suiv;
        } while (p != m);
        return choisi;
    }

    // Joins the hole through h to the outline at a: a -> h ... (the hole) ... h' -> a' -> the
    // rest of the outline, a' and h' copies of a and h.
    void Relie(std::size_t a, std::size_t h)
    {
        const std::size_t a2 = Ajoute(noeuds[a].point);
        const std::size_t h2 = Ajoute(noeuds[h].point);
        const std::size_t an = noeuds[a].suiv;
        const std::size_t hp = noeuds[h].prec;
        noeuds[a].suiv = h;
        noeuds[h].prec = a;
        noeuds[a2].suiv = an;
        noeuds[an].prec = a2;
        noeuds[h2].suiv = a2;
        noeuds[a2].prec = h2;
        noeuds[hp].suiv = h2;
        noeuds[h2].prec = hp;
    }

    void RemplitGrille()
    {
        xmin = ymin = std::numeric_limits<double>::infinity();
        double xmax = -xmin;
        double ymax = -ymin;
        for (const Noeud& n : noeuds)
        {
            xmin = std::min(xmin, n.x);
            ymin = std::min(ymin, n.y);
            xmax = std::max(xmax, n.x);
            ymax = std::max(ymax, n.y);
        }
        const double cote = std::sqrt(static_cast<double>(noeuds.size()));
        pas = std::max({(xmax - xmin) / cote, (ymax - ymin) / cote, 1e-300});
        nx = static_cast<std::size_t>((xmax - xmin) / pas) + 1;
        ny = static_cast<std::size_t>((ymax - ymin) / pas) + 1;
        cellules.assign(nx * ny, {});
        for (std::size_t n = 0; n < noeuds.size(); ++n)
        {
            cellules[Cellule(noeuds[n].x, noeuds[n].y)].push_back(n);
        }
    }

    std::size_t Colonne(double x) const
    {
        return std::min(nx - 1, static_cast<std::size_t>(std::max(0.0, (x - xmin) / pas)));
    }
    std::size_t Rangee(double y) const
    {
        return std::min(ny - 1, static_cast<std::size_t>(std::max(0.0, (y - ymin) / pas)));
    }
    std::size_t Cellule(double x, double y) const { return Colonne(x) + nx * Rangee(y); }

    bool Oreille(std::size_t b) const
    {
        const Noeud& nb = noeuds[b];
        const Noeud& na = noeuds[nb.prec];
        const Noeud& nc = noeuds[nb.suiv];
        if (Orientation(na, nb, nc) <= 0.0)
        {
            return false;
        }
        const std::size_t i0 = Colonne(std::min({na.x, nb.x, nc.x}));
        const std::size_t i1 = Colonne(std::max({na.x, nb.x, nc.x}));
        const std::size_t j0 = Rangee(std::min({na.y, nb.y, nc.y}));
        const std::size_t j1 = Rangee(std::max({na.y, nb.y, nc.y}));
        for (std::size_t j = j0; j <= j1; ++j)
        {
            for (std::size_t i = i0; i <= i1; ++i)
            {
                for (std::size_t p : cellules[i + nx * j])
                {
                    const Noeud& np = noeuds[p];
                    if (np.retire || p == b || p == nb.prec || p == nb.suiv || MemePosition(np, na) ||
                        MemePosition(np, nb) || MemePosition(np, nc))
                    {
                        continue;
                    }
                    if (DansTriangle(na, nb, nc, np))
                    {
                        return false;
                    }
                }
            }
        }
        return true;
    }

    bool Coupe(std::size_t debut, std::vector<std::array<std::size_t, 3>>& triangles)
    {
        const std::size_t avant = triangles.size();
        std::size_t restants = 0;
        for (const Noeud& n : noeuds)
        {
            restants += n.retire ? 0 : 1;
        }
        std::size_t oreille = debut;
        std::size_t arret = oreille;
        while (restants > 3)
        {
            const std::size_t suivant = noeuds[oreille].suiv;
            if (Oreille(oreille))
            {
                const std::size_t precedent = noeuds[oreille].prec;
                triangles.push_back({noeuds[precedent].point, noeuds[oreille].point, noeuds[suivant].point});
                noeuds[precedent].suiv = suivant;
                noeuds[suivant].prec = precedent;
                noeuds[oreille].retire = true;
                --restants;
                oreille = suivant;
                arret = suivant;
                continue;
            }
            oreille = suivant;
            if (oreille == arret)
            {
                triangles.resize(avant);
                return false;
            }
        }
        const Noeud& b = noeuds[oreille];
        if (Orientation(noeuds[b.prec], b, noeuds[b.suiv]) < 0.0)
        {
            triangles.resize(avant);
            return false;
        }
        triangles.push_back({noeuds[b.prec].point, b.point, noeuds[b.suiv].point});
        return true;
    }

    const std::vector<std::array<double, 2>>& points;
    std::vector<Noeud> noeuds;
    std::vector<std::vector<std::size_t>> cellules;
    double xmin = 0.0;
    double ymin = 0.0;
    double pas = 1.0;
    std::size_t nx = 1;
    std::size_t ny = 1;
};

} // namespace

bool TriangulePolygone(const std::vector<std::array<double, 2>>& points, const Anneau& exterieur,
                       const std::vector<Anneau>& trous, std::vector<std::array<std::size_t, 3>>& triangles)
{
    if (exterieur.size() < 3)
    {
        return false;
    }
    for (const Anneau& trou : trous)
    {
        if (trou.size() < 3)
        {
            return false;
        }
    }
    // The triangles must cover what the rings enclose: rings turning the
    // wrong way, or crossing each other, may leave ears that cover more.
    auto aire = [&points](const Anneau& anneau)
    {
        double a = 0.0;
        for (std::size_t k = 0; k < anneau.size(); ++k)
        {
            const auto& p = points[anneau[k]];
            const auto& q = points[anneau[(k + 1) % anneau.size()]];
            a += p[0] * q[1] - q[0] * p[1];
        }
        return 0.5 * a;
    };
    double attendue = aire(exterieur);
    if (!(attendue > 0.0))
    {
        return false;
    }
    for (const Anneau& trou : trous)
    {
        const double a = aire(trou);
        if (!(a < 0.0))
        {
            return false;
        }
        attendue += a;
    }
    const std::size_t avant = triangles.size();
    Oreilles oreilles(points);
    if (!oreilles.Triangule(exterieur, trous, triangles))
    {
        return false;
    }
    double couverte = 0.0;
    for (std::size_t t = avant; t < triangles.size(); ++t)
    {
        couverte += aire({triangles[t][0], triangles[t][1], triangles[t][2]});
    }
    if (!(std::fabs(couverte - attendue) <= 1e-9 * std::fabs(aire(exterieur))))
    {
        triangles.resize(avant);
        return false;
    }
    return true;
}

} // namespace Zarvel3D::geometrie
