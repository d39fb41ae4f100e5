// Ear clipping of polygons with holes: the count of triangles, their area and orientation, and
// that every edge of the rings is an edge of the triangles (so the side faces of a prism meet the
// end faces without a crack).
#include "triangulation_plane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace
{

using Zarvel3D::geometrie::Anneau;
using Zarvel3D::geometrie::TriangulePolygone;
using Points = std::vector<std::array<double, 2>>;
using Triangles = std::vector<std::array<std::size_t, 3>>;

double DoubleAire(const Points& p, std::size_t a, std::size_t b, std::size_t c)
{
    return (p[b][0] - p[a][0]) * (p[c][1] - p[a][1]) - (p[b][1] - p[a][1]) * (p[c][0] - p[a][0]);
}

Anneau Ajoute(Points& points, const Points& anneau)
{
    Anneau r;
    for (const auto& q : anneau)
    {
        r.push_back(points.size());
        points.push_back(q);
    }
    return r;
}

Points Cercle(double cx, double cy, double r, int n, bool horaire)
{
    Points p;
    for (int k = 0; k < n; ++k)
    {
        const double t = 2.0 * M_PI * (horaire ? -k : k) / n;
        p.push_back({cx + r * std::cos(t), cy + r * std::sin(t)});
    }
    return p;
}

// Counter-clockwise triangles covering `aire`, n + 2h - 2 of them, each
// edge of the rings an edge of exactly one triangle, in the ring's direction.
void ExpectTriangulation(const Points& points, const Anneau& exterieur, const std::vector<Anneau>& trous,
                         double aire)
{
    Triangles t;
    ASSERT_TRUE(TriangulePolygone(points, exterieur, trous, t));
    EXPECT_EQ(t.size(), points.size() + 2 * trous.size() - 2);
    double somme = 0.0;
    std::multiset<std::pair<std::size_t, std::size_t>> aretes;
    for (const auto& tr : t)
    {
        const double a = DoubleAire(points, tr[0], tr[1], tr[2]);
        EXPECT_GT(a, 0.0);
        somme += 0.5 * a;
        for (int k = 0; k < 3; ++k)
        {
            aretes.insert({tr[k], tr[(k + 1) % 3]});
        }
    }
    EXPECT_NEAR(somme, aire, 1e-9 * aire);
    auto bord = [&](const Anneau& r)
    {
        for (std::size_t k = 0; k < r.size(); ++k)
        {
            EXPECT_EQ(aretes.count({r[k], r[(k + 1) % r.size()]}), 1u) << r[k] << " -> " << r[(k + 1) % r.size()];
        }
    };
    bord(exterieur);
    for (const Anneau& trou : trous)
    {
        bord(trou);
    }
}

} // namespace

TEST(TriangulationPlane, PolygonesConcaves)
{
    // A comb of five teeth, and an L with a point in the middle of a side.
    Points peigne;
    const Anneau a = Ajoute(peigne, {{0, 0}, {10, 0}, {10, 5}, {9, 5}, {9, 1}, {7, 1}, {7, 5}, {5, 5}, {5, 1},
                                     {3, 1}, {3, 5}, {1, 5}, {1, 1}, {0, 1}});
    ExpectTriangulation(peigne, a, {}, 10 + 4 + 8 + 8);
    Points l;
    const Anneau b = Ajoute(l, {{0, 0}, {4, 0}, {8, 0}, {8, 2}, {2, 2}, {2, 6}, {0, 6}});
    ExpectTriangulation(l, b, {}, 16 + 8);
}

TEST(TriangulationPlane, TrousNombreuxEtVoisins)
{
    // A plate with 40 round holes of 48 points, two of them nearly touching,
    // and a square hole whose leftmost points share their abscissa.
    Points p;
    const Anneau exterieur = Ajoute(p, {{0, 0}, {200, 0}, {200, 50}, {0, 50}});
    std::vector<Anneau> trous;
    double aire = 200.0 * 50.0;
    const double aire_cercle = 0.5 * 48 * 9.0 * std::sin(2.0 * M_PI / 48);
    for (int k = 0; k < 40; ++k)
    {
        const double cx = 8 + 9.5 * (k % 20) + (k == 1 ? -0.45 : 0.0);
        trous.push_back(Ajoute(p, Cercle(cx, 12 + 24 * (k / 20), 3.0, 48, true)));
        aire -= aire_cercle;
    }
    trous.push_back(Ajoute(p, {{195, 20}, {195, 30}, {198, 30}, {198, 20}}));
    aire -= 30.0;
    ExpectTriangulation(p, exterieur, trous, aire);
}

TEST(TriangulationPlane, AnneauxInvalidesRefuses)
{
    // An outline turning clockwise has no ear; a hole turning the wrong way
    // leaves triangles that cover more than the region. The triangles given
    // are kept.
    Points p;
    const Anneau horaire = Ajoute(p, {{0, 0}, {0, 4}, {4, 4}, {4, 0}});
    Triangles t = {{7, 8, 9}};
    EXPECT_FALSE(TriangulePolygone(p, horaire, {}, t));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0][0], 7u);
    Points q;
    const Anneau exterieur = Ajoute(q, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    const Anneau trou = Ajoute(q, Cercle(5, 5, 2, 12, false));
    EXPECT_FALSE(TriangulePolygone(q, exterieur, {trou}, t));
    EXPECT_EQ(t.size(), 1u);
    EXPECT_FALSE(TriangulePolygone(q, {0, 1}, {}, t));
}
