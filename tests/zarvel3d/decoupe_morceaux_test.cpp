// Pieces of the curves of a view and the merging of their ends into vertices (second step of the
// subdivision): split points within the tolerance are one, whole ellipses wrap around, and ends
// merge within the tolerance but not beyond.
#include "decoupe_outils.h"
#include "occt/zarvel_occt_morceaux.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace decoupe_outils;
using Zarvel3D::occt::decoupe::FusionneExtremites;
using Zarvel3D::occt::decoupe::Morceaux;
using Zarvel3D::occt::decoupe::Sommet;

namespace
{

constexpr double tol = 1e-3;

std::vector<Courbe> Coupe(const Courbe& c, std::vector<double> points)
{
    std::vector<std::vector<double>> coupes{std::move(points)};
    return Morceaux({c}, coupes, tol);
}

TEST(Morceaux, SegmentCoupeEnSesPoints)
{
    const std::vector<Courbe> m = Coupe(Segment(0.0, 0.0, 4.0, 0.0), {0.75, 0.25});
    ASSERT_EQ(m.size(), 3u);
    const double x[] = {0.0, 1.0, 3.0, 4.0};
    for (std::size_t i = 0; i < 3; ++i)
    {
        EXPECT_TRUE(m[i].droite);
        EXPECT_DOUBLE_EQ(m[i].x1, x[i]);
        EXPECT_DOUBLE_EQ(m[i].x2, x[i + 1]);
        EXPECT_EQ(m[i].t0, 0.0);
        EXPECT_EQ(m[i].t1, 1.0);
    }
}

TEST(Morceaux, PointsProchesConfondus)
{
    // Along a 4 long segment: two points 0.4 tol apart are one, a point within the tolerance of
    // an end splits nothing, and points outside the range are passed over.
    const double e = tol / 4.0;
    EXPECT_EQ(Coupe(Segment(0.0, 0.0, 4.0, 0.0), {0.5, 0.5 + 0.4 * e}).size(), 2u);
    EXPECT_EQ(Coupe(Segment(0.0, 0.0, 4.0, 0.0), {0.5, 0.5 + 2.0 * e}).size(), 3u);
    EXPECT_EQ(Coupe(Segment(0.0, 0.0, 4.0, 0.0), {0.5 * e, 1.0 - 0.5 * e, -0.5, 1.5}).size(), 1u);
    const std::vector<Courbe> arc = Coupe(Arc(0.0, 0.0, 1.0, 1.0, 0.0, 0.0, M_PI), {-1.0, M_PI / 2.0, 4.0});
    ASSERT_EQ(arc.size(), 2u);
    EXPECT_DOUBLE_EQ(arc[0].t1, M_PI / 2.0);
    EXPECT_DOUBLE_EQ(arc[1].t0, M_PI / 2.0);
    EXPECT_DOUBLE_EQ(arc[1].t1, M_PI);
}

TEST(Morceaux, EllipseEntiereFaitLeTour)
{
    const Courbe cercle = Cercle(0.0, 0.0, 1.0);
    const std::vector<Courbe> entier = Coupe(cercle, {});
    ASSERT_EQ(entier.size(), 1u);
    EXPECT_TRUE(entier[0].Fermee());

    // One point: a whole turn starting there. A negative parameter is wrapped into the turn.
    const std::vector<Courbe> un = Coupe(cercle, {-M_PI / 2.0});
    ASSERT_EQ(un.size(), 1u);
    EXPECT_NEAR(un[0].t0, 1.5 * M_PI, 1e-12);
    EXPECT_NEAR(un[0].t1, 3.5 * M_PI, 1e-12);

    // Two points: two arcs covering the turn; a point just before 2 pi is the one at 0.
    const std::vector<Courbe> deux = Coupe(cercle, {M_PI, 0.0, 2.0 * M_PI - 0.5 * tol});
    ASSERT_EQ(deux.size(), 2u);
    EXPECT_NEAR(deux[0].t0, 0.0, 1e-12);
    EXPECT_NEAR(deux[0].t1, M_PI, 1e-12);
    EXPECT_NEAR(deux[1].t0, M_PI, 1e-12);
    EXPECT_NEAR(deux[1].t1, 2.0 * M_PI, 1e-12);
}

TEST(FusionneExtremites, DansLaToleranceEtPasAuDela)
{
    // Two segments whose ends are 0.9 tol apart, and two whose ends are 1.1 tol apart.
    std::vector<Sommet> sommets;
    const std::vector<int> proches = FusionneExtremites(
        {Segment(0.0, 0.0, 1.0, 0.0), Segment(1.0 + 0.9 * tol, 0.0, 2.0, 1.0)}, tol, sommets);
    ASSERT_EQ(proches.size(), 4u);
    EXPECT_EQ(sommets.size(), 3u);
    EXPECT_EQ(proches[1], proches[2]);
    const Sommet& milieu = sommets[static_cast<std::size_t>(proches[1])];
    EXPECT_NEAR(milieu.x, 1.0 + 0.45 * tol, 1e-12);
    EXPECT_NEAR(milieu.y, 0.0, 1e-12);
    EXPECT_NEAR(milieu.ecart, 0.45 * tol, 1e-12);
    EXPECT_EQ(sommets[static_cast<std::size_t>(proches[0])].ecart, 0.0);

    const std::vector<int> loin = FusionneExtremites(
        {Segment(0.0, 0.0, 1.0, 0.0), Segment(1.0 + 1.1 * tol, 0.0, 2.0, 1.0)}, tol, sommets);
    EXPECT_EQ(sommets.size(), 4u);
    EXPECT_NE(loin[1], loin[2]);
}

TEST(FusionneExtremites, ChaineDeProchesEtSommetsParFin)
{
    // Ends 0.8 tol apart in a row are one vertex, though the first and last are further apart.
    std::vector<Sommet> sommets;
    const std::vector<int> s = FusionneExtremites(
        {Segment(0.0, 0.0, 0.0, 1.0), Segment(0.8 * tol, 0.0, 1.0, -1.0), Segment(1.6 * tol, 0.0, 2.0, 0.0)},
        tol, sommets);
    EXPECT_EQ(sommets.size(), 4u);
    EXPECT_EQ(s[0], s[2]);
    EXPECT_EQ(s[2], s[4]);
    // The closed circle's two ends are one vertex.
    const std::vector<int> c = FusionneExtremites({Cercle(0.0, 0.0, 1.0)}, tol, sommets);
    EXPECT_EQ(sommets.size(), 1u);
    EXPECT_EQ(c[0], c[1]);
}

} // namespace
