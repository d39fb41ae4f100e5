#include "zarvel_occt_arcs.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace Zarvel3D::occt::arcs
{

namespace
{

struct Point
{
    double x;
    double y;
};

// Turn between two lines of an arc drawn as a chain.
constexpr double virage_min = 0.2 * M_PI / 180.0;
constexpr double virage_max = 25.0 * M_PI / 180.0;

bool PetitVirage(double v)
{
    return std::fabs(v) >= virage_min && std::fabs(v) <= virage_max;
}

struct Cercle
{
    double cx;
    double cy;
    double r;
};

// The circle through three points; none when they are (nearly) aligned.
std::optional<Cercle> CercleTroisPoints(const Point& a, const Point& b, const Point& c)
{
    const double d = 2.0 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    const double echelle =
        std::max({std::fabs(b.x - a.x), std::fabs(b.y - a.y), std::fabs(c.x - a.x), std::fabs(c.y - a.y)});
    if (std::fabs(d) <= 1e-12 * echelle * echelle)
    {
        return std::nullopt;
    }
    const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    const double cx = (a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d;
    const double cy = (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d;
    return Cercle{cx, cy, std::hypot(a.x - cx, a.y - cy)};
}

// Signed turn from segment a-b to segment b-c, in radians.
double Virage(const Point& a, const Point& b, const Point& c)
{
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

// Chains of lines: runs through points where exactly two lines of the same
// type meet. Each chain lists its points in order and the lines it uses.
struct Chaine
{
    std::vector<Point> points;
    std::vector<std::size_t> lignes;
    bool fermee = false;
};

class Graphe
{
public:
    Graphe(const moteur::VueDessin& vue, double tolerance) : tolerance(tolerance)
    {
        for (std::size_t i = 0; i < vue.elements.size(); ++i)
        {
            const moteur::ElementDessin& e = vue.elements[i];
            if (e.type != moteur::TypeElement::Ligne || e.axe ||
                std::hypot(e.x2 - e.x1, e.y2 - e.y1) <= tolerance)
            {
                continue;
            }
            const int a = Sommet({e.x1, e.y1}), b = Sommet({e.x2, e.y2});
            lignes.push_back({i, a, b, e.cache});
            voisins[static_cast<std::size_t>(a)].push_back(lignes.size() - 1);
            voisins[static_cast<std::size_t>(b)].push_back(lignes.size() - 1);
        }
    }

    std::vector<Chaine> Chaines() const
    {
        std::vector<Chaine> chaines;
        std::vector<bool> vue(lignes.size(), false);
        // Open chains start at a point that is not a plain link; closed
        // chains are what is left.
        for (int passe = 0; passe < 2; ++passe)
        {
            for (std::size_t s = 0; s < sommets.size(); ++s)
            {
                if (passe == 0 && Lien(s))
                {
                    continue;
                }
                for (std::size_t l : voisins[s])
                {
                    if (!vue[l])
                    {
                        chaines.push_back(Suit(s, l, vue));
                    }
                }
            }
        }
        return chaines;
    }

private:
    struct Ligne
    {
        std::size_t element;
        int a;
        int b;
        bool cache;
    };

    int Sommet(const Point& p)
    {
        const auto cle = std::make_pair(std::llround(p.x / tolerance), std::llround(p.y / tolerance));
        for (long long dx = -1; dx <= 1; ++dx)
        {
            for (long long dy = -1; dy <= 1; ++dy)
            {
                const auto trouve = index.find({cle.first + dx, cle.second + dy});
                if (trouve != index.end() &&
                    std::hypot(sommets[static_cast<std::size_t>(trouve->second)].x - p.x,
                               sommets[static_cast<std::size_t>(trouve->second)].y - p.y) <= tolerance)
                {
                    return trouve->second;
                }
            }
        }
        sommets.push_back(p);
        voisins.emplace_back();
        index[cle] = static_cast<int>(sommets.size() - 1);
        return static_cast<int>(sommets.size() - 1);
    }

    // Two lines of the same type meet here and nothing else.
    bool Lien(std::size_t s) const
    {
        return voisins[s].size() == 2 && lignes[voisins[s][0]].cache == lignes[voisins[s][1]].cache &&
               voisins[s][0] != voisins[s][1];
    }

    Chaine Suit(std::size_t depart, std::size_t ligne, std::vector<bool>& vue) const
    {
        Chaine c;
        std::size_t s = depart;
        c.points.push_back(sommets[s]);
        while (!vue[ligne])
        {
            vue[ligne] = true;
            c.lignes.push_back(lignes[ligne].element);
            s = static_cast<std::size_t>(lignes[ligne].a) == s ? static_cast<std::size_t>(lignes[ligne].b)
                                                               : static_cast<std::size_t>(lignes[ligne].a);
            c.points.push_back(sommets[s]);
            if (s == depart)
            {
                c.fermee = true;
                break;
            }
            if (!Lien(s))
            {
                break;
            }
            ligne = voisins[s][0] == ligne ? voisins[s][1] : voisins[s][0];
        }
        return c;
    }

    double tolerance;
    std::vector<Point> sommets;
    std::vector<std::vector<std::size_t>> voisins;
    std::vector<Ligne> lignes;
    std::map<std::pair<long long, long long>, int> index;
};

// Whether points [debut, fin] of the chain turn the same way by small steps
// and lie on one circle; the circle if so.
std::optional<Cercle> Arc(const std::vector<Point>& p, std::size_t debut, std::size_t fin, double tolerance)
{
    double signe = 0.0;
    for (std::size_t i = debut + 1; i < fin; ++i)
    {
        const double v = Virage(p[i - 1], p[i], p[i + 1]);
        if (!PetitVirage(v) || v * signe < 0.0)
        {
            return std::nullopt;
        }
        signe = v;
    }
    const auto cercle = CercleTroisPoints(p[debut], p[(debut + fin) / 2], p[fin]);
    if (!cercle)
    {
        return std::nullopt;
    }
    for (std::size_t i = debut; i <= fin; ++i)
    {
        if (std::fabs(std::hypot(p[i].x - cercle->cx, p[i].y - cercle->cy) - cercle->r) > tolerance)
        {
            return std::nullopt;
        }
    }
    return cercle;
}

moteur::ElementDessin ElementArc(const moteur::ElementDessin& modele, const Cercle& c, const Point& a,
                                 const Point& b, bool gauche, bool entier)
{
    moteur::ElementDessin e = modele;
    e.type = moteur::TypeElement::Ellipse;
    e.cx = c.cx;
    e.cy = c.cy;
    e.largeur = e.hauteur = 2.0 * c.r;
    e.rotation = 0.0;
    if (entier)
    {
        e.debut = 0.0;
        e.fin = 360.0;
        return e;
    }
    // Arcs run counter-clockwise: a chain turning right is the arc from its end.
    const Point depart = gauche ? a : b, arrivee = gauche ? b : a;
    e.debut = std::atan2(depart.y - c.cy, depart.x - c.cx) * 180.0 / M_PI;
    e.fin = std::atan2(arrivee.y - c.cy, arrivee.x - c.cx) * 180.0 / M_PI;
    while (e.fin <= e.debut)
    {
        e.fin += 360.0;
    }
    return e;
}

// Runs of points [debut, fin] of an open chain along which every turn is
// small and of one sign, between lines of about the same length (a straight
// line running on from an arc is no part of it).
std::vector<std::pair<std::size_t, std::size_t>> Tournants(const std::vector<Point>& p)
{
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::size_t debut = 0;
    double signe = 0.0;
    for (std::size_t i = 1; i + 1 < p.size(); ++i)
    {
        const double v = Virage(p[i - 1], p[i], p[i + 1]);
        const double l0 = std::hypot(p[i].x - p[i - 1].x, p[i].y - p[i - 1].y);
        const double l1 = std::hypot(p[i + 1].x - p[i].x, p[i + 1].y - p[i].y);
        const bool petit = PetitVirage(v) && std::max(l0, l1) <= 2.0 * std::min(l0, l1);
        if (petit && v * signe >= 0.0)
        {
            signe = v;
            continue;
        }
        runs.push_back({debut, i});
        debut = i;
        signe = petit ? v : 0.0;
    }
    runs.push_back({debut, p.size() - 1});
    return runs;
}

// A closed chain turned so that it starts at a corner (a point whose turn is
// not small), as an open one; unchanged when it has no corner.
Chaine Ouvre(const Chaine& c)
{
    const std::size_t n = c.lignes.size();
    for (std::size_t k = 0; k < n; ++k)
    {
        const Point& avant = c.points[(k + n - 1) % n];
        const double v = Virage(avant, c.points[k], c.points[k + 1]);
        if (!PetitVirage(v))
        {
            Chaine o;
            for (std::size_t j = 0; j <= n; ++j)
            {
                o.points.push_back(c.points[(k + j) % n]);
            }
            for (std::size_t j = 0; j < n; ++j)
            {
                o.lignes.push_back(c.lignes[(k + j) % n]);
            }
            return o;
        }
    }
    return c;
}

} // namespace

int RemplaceChaines(moteur::VueDessin& vue, double tolerance, int segments_min)
{
    const Graphe graphe(vue, tolerance);
    std::vector<bool> retire(vue.elements.size(), false);
    std::vector<moteur::ElementDessin> nouveaux;
    const std::size_t minimum = static_cast<std::size_t>(std::max(3, segments_min));
    auto remplace =
        [&](const Chaine& c, std::size_t debut, std::size_t fin, const Cercle& cercle, bool entier)
    {
        const double virage = Virage(c.points[debut], c.points[debut + 1], c.points[debut + 2]);
        nouveaux.push_back(ElementArc(vue.elements[c.lignes[debut]], cercle, c.points[debut], c.points[fin],
                                      virage > 0.0, entier));
        for (std::size_t l = debut; l < fin; ++l)
        {
            retire[c.lignes[l]] = true;
        }
    };
    for (const Chaine& c : graphe.Chaines())
    {
        if (c.lignes.size() < minimum)
        {
            continue;
        }
        if (c.fermee)
        {
            // The turn at the closing point counts too.
            std::vector<Point> tour = c.points;
            tour.push_back(c.points[1]);
            if (const auto cercle = Arc(tour, 0, tour.size() - 1, tolerance))
            {
                remplace(c, 0, c.lignes.size(), *cercle, true);
                continue;
            }
        }
        const Chaine ouverte = c.fermee ? Ouvre(c) : c;
        for (const auto& [debut, fin] : Tournants(ouverte.points))
        {
            if (fin - debut < minimum)
            {
                continue;
            }
            if (const auto cercle = Arc(ouverte.points, debut, fin, tolerance))
            {
                remplace(ouverte, debut, fin, *cercle, false);
            }
        }
    }
    if (nouveaux.empty())
    {
        return 0;
    }
    std::vector<moteur::ElementDessin> elements;
    for (std::size_t i = 0; i < vue.elements.size(); ++i)
    {
        if (!retire[i])
        {
            elements.push_back(vue.elements[i]);
        }
    }
    elements.insert(elements.end(), nouveaux.begin(), nouveaux.end());
    vue.elements = std::move(elements);
    return static_cast<int>(nouveaux.size());
}

std::vector<bool> LignesDeCourbes(const moteur::VueDessin& vue, double tolerance, int segments_min)
{
    const Graphe graphe(vue, tolerance);
    std::vector<bool> courbe(vue.elements.size(), false);
    const std::size_t minimum = static_cast<std::size_t>(std::max(3, segments_min));
    for (const Chaine& c : graphe.Chaines())
    {
        if (c.lignes.size() < minimum)
        {
            continue;
        }
        const Chaine ouverte = c.fermee ? Ouvre(c) : c;
        for (const auto& [debut, fin] : Tournants(ouverte.points))
        {
            for (std::size_t l = debut; fin - debut >= minimum && l < fin; ++l)
            {
                courbe[ouverte.lignes[l]] = true;
            }
        }
    }
    return courbe;
}

} // namespace Zarvel3D::occt::arcs
