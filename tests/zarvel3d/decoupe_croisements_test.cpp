// Crossings of the curves of a view (first step of the subdivision): where each curve is to be
// split, for segments, circles and ellipses crossed in closed form or by the kernel, touching
// curves, overlapping and nearly meeting ones, and the limit on the number of crossings.
#include "decoupe_outils.h"
#include "geometrie_plane.h"
#include "occt/zarvel_occt_croisements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

using namespace decoupe_outils;
using Zarvel3D::occt::decoupe::ChercheCroisements;
using Zarvel3D::occt::decoupe::Coupes;

namespace
{

constexpr double tol = 1e-6;

Coupes Cherche(const std::vector<Courbe>& courbes, std::size_t maximum = 0)
{
    Coupes c;
    EXPECT_TRUE(ChercheCroisements(courbes, tol, maximum, c));
    return c;
}

// The distinct split points of one curve, sorted; angles brought into [0, 2 pi).
std::vector<double> Points(const Coupes& c, std::size_t courbe, bool angles = false)
{
    std::vector<double> p = c.parametres[courbe];
    for (double& t : p)
    {
        t = angles ? Zarvel3D::geometrie::Ramene(t + 1e-9, 0.0) - 1e-9 : t;
    }
    std::sort(p.begin(), p.end());
    p.erase(std::unique(p.begin(), p.end(), [](double a, double b) { return std::fabs(a - b) < 1e-7; }),
            p.end());
    return p;
}

void ExpectPoints(const std::vector<double>& obtenus, const std::vector<double>& attendus)
{
    ASSERT_EQ(obtenus.size(), attendus.size()) << ::testing::PrintToString(obtenus);
    for (std::size_t i = 0; i < attendus.size(); ++i)
    {
        EXPECT_NEAR(obtenus[i], attendus[i], 1e-7) << i;
    }
}

TEST(Croisements, SegmentsSeparesOuParalleles)
{
    const Coupes c =
        Cherche({Segment(0.0, 0.0, 1.0, 0.0), Segment(0.0, 1.0, 1.0, 1.0), Segment(2.0, -1.0, 2.0, 1.0),
                 // Would cross the first one past its end.
                 Segment(1.5, -1.0, 1.5, 1.0)});
    for (std::size_t i = 0; i < 4; ++i)
    {
        EXPECT_TRUE(c.parametres[i].empty()) << i;
    }
    EXPECT_EQ(c.croisements, 0u);
}

TEST(Croisements, SegmentEtCercle)
{
    const Coupes c = Cherche({Segment(-2.0, 0.0, 2.0, 0.0), Cercle(0.0, 0.0, 1.0)});
    ExpectPoints(Points(c, 0), {0.25, 0.75});
    ExpectPoints(Points(c, 1, true), {0.0, M_PI});
    EXPECT_EQ(c.croisements, 4u);
}

TEST(Croisements, SegmentEtArcDeCercleLimiteASonEtendue)
{
    // The upper half of the circle: the line below the centre misses it.
    const Coupes bas = Cherche({Segment(-2.0, -0.5, 2.0, -0.5), Arc(0.0, 0.0, 1.0, 1.0, 0.0, 0.0, M_PI)});
    EXPECT_TRUE(bas.parametres[0].empty());
    EXPECT_EQ(bas.croisements, 0u);
    const Coupes haut = Cherche({Segment(-2.0, 0.5, 2.0, 0.5), Arc(0.0, 0.0, 1.0, 1.0, 0.0, 0.0, M_PI)});
    const double x = std::sqrt(0.75);
    ExpectPoints(Points(haut, 0), {(2.0 - x) / 4.0, (2.0 + x) / 4.0});
    ExpectPoints(Points(haut, 1), {M_PI / 6.0, 5.0 * M_PI / 6.0});
}

// Ellipses go to the kernel; the half axes given minor first turn its frame.
TEST(Croisements, SegmentEtEllipseParLeNoyau)
{
    const Coupes large =
        Cherche({Segment(-3.0, 0.0, 3.0, 0.0), Arc(0.0, 0.0, 2.0, 1.0, 0.0, 0.0, 2.0 * M_PI)});
    ExpectPoints(Points(large, 0), {1.0 / 6.0, 5.0 / 6.0});
    ExpectPoints(Points(large, 1, true), {0.0, M_PI});

    const Coupes haute =
        Cherche({Segment(0.0, -3.0, 0.0, 3.0), Arc(0.0, 0.0, 1.0, 2.0, 0.0, 0.0, 2.0 * M_PI)});
    ExpectPoints(Points(haute, 0), {1.0 / 6.0, 5.0 / 6.0});
    ExpectPoints(Points(haute, 1, true), {M_PI / 2.0, 1.5 * M_PI});

    // A turned ellipse, crossed along its major axis.
    const double r = 0.6;
    const Coupes tournee =
        Cherche({Segment(-3.0 * std::cos(r), -3.0 * std::sin(r), 3.0 * std::cos(r), 3.0 * std::sin(r)),
                 Arc(0.0, 0.0, 2.0, 1.0, r, 0.0, 2.0 * M_PI)});
    ExpectPoints(Points(tournee, 0), {1.0 / 6.0, 5.0 / 6.0});
    ExpectPoints(Points(tournee, 1, true), {0.0, M_PI});
}

TEST(Croisements, ContactTangent)
{
    // A line touching a circle, and two circles touching outside: one point each.
    const Coupes ligne = Cherche({Segment(-2.0, 1.0, 2.0, 1.0), Cercle(0.0, 0.0, 1.0)});
    ExpectPoints(Points(ligne, 0), {0.5});
    ExpectPoints(Points(ligne, 1, true), {M_PI / 2.0});
    EXPECT_EQ(ligne.croisements, 2u);

    const Coupes cercles = Cherche({Cercle(0.0, 0.0, 1.0), Cercle(3.0, 0.0, 2.0)});
    ExpectPoints(Points(cercles, 0, true), {0.0});
    ExpectPoints(Points(cercles, 1, true), {M_PI});
    EXPECT_EQ(cercles.croisements, 2u);
}

// Two segments: the split points expected on each, and the count of crossings.
struct CasSegments
{
    const char* nom;
    Courbe a, b;
    std::vector<double> sur_a, sur_b;
    std::size_t croisements;
};

void PrintTo(const CasSegments& cas, std::ostream* os)
{
    *os << cas.nom;
}

class PaireDeSegments : public ::testing::TestWithParam<CasSegments>
{
};

TEST_P(PaireDeSegments, PointsDeCoupe)
{
    const CasSegments& cas = GetParam();
    const Coupes c = Cherche({cas.a, cas.b});
    ExpectPoints(Points(c, 0), cas.sur_a);
    ExpectPoints(Points(c, 1), cas.sur_b);
    EXPECT_EQ(c.croisements, cas.croisements);
}

INSTANTIATE_TEST_SUITE_P(
    Croisements, PaireDeSegments,
    ::testing::Values(
        // One crossing makes two split points, one on each curve.
        CasSegments{
            "QuiSeCroisent", Segment(0.0, 0.0, 4.0, 4.0), Segment(0.0, 3.0, 3.0, 0.0), {0.375}, {0.5}, 2},
        // Overlapping: no crossing, but each end lying on the other segment splits it there.
        CasSegments{"ColineairesQuiSeRecouvrent",
                    Segment(0.0, 0.0, 2.0, 0.0),
                    Segment(1.0, 0.0, 3.0, 0.0),
                    {0.5},
                    {0.5},
                    0},
        CasSegments{"EnT", Segment(0.0, 0.0, 2.0, 0.0), Segment(1.0, 0.0, 1.0, 1.0), {0.5}, {0.0}, 2},
        CasSegments{"CoinCommun", Segment(0.0, 0.0, 2.0, 0.0), Segment(2.0, 0.0, 2.0, 1.0), {1.0}, {0.0}, 2},
        // An end stopping short of a line by less than the tolerance, and by more.
        CasSegments{"ExtremiteDansLaTolerance",
                    Segment(0.0, 0.0, 2.0, 0.0),
                    Segment(0.5, 0.5 * tol, 0.5, 1.0),
                    {0.25},
                    {0.0},
                    2},
        CasSegments{"ExtremiteAuDelaDeLaTolerance",
                    Segment(0.0, 0.0, 2.0, 0.0),
                    Segment(0.5, 2.0 * tol, 0.5, 1.0),
                    {},
                    {},
                    0}),
    [](const ::testing::TestParamInfo<CasSegments>& info) { return std::string(info.param.nom); });

TEST(Croisements, ExtremiteDArcSurUneEllipse)
{
    // The end of a segment on an ellipse, projected by the kernel.
    const Coupes arc = Cherche({Arc(0.0, 0.0, 2.0, 1.0, 0.0, 0.0, 2.0 * M_PI), Segment(0.0, 1.0, 0.0, 3.0)});
    ExpectPoints(Points(arc, 0, true), {M_PI / 2.0});
}

// Three lines crossing each other: three crossings, six split points.
std::vector<Courbe> TroisDroites()
{
    return {Segment(0.0, 0.0, 10.0, 0.5), Segment(0.0, 1.0, 10.0, -0.5), Segment(5.0, -3.0, 5.5, 3.0)};
}

TEST(Croisements, Limite)
{
    Coupes c;
    EXPECT_TRUE(ChercheCroisements(TroisDroites(), tol, 0, c)); // no limit
    EXPECT_EQ(c.croisements, 6u);
    EXPECT_TRUE(ChercheCroisements(TroisDroites(), tol, 6, c));
    EXPECT_EQ(c.croisements, 6u);
    EXPECT_FALSE(ChercheCroisements(TroisDroites(), tol, 5, c));
    EXPECT_FALSE(ChercheCroisements(TroisDroites(), tol, 1, c));
    EXPECT_EQ(c.croisements, 2u); // stopped at the first crossing past the limit
}

// Many curves share the grid: every crossing of a dense mesh of lines is still found.
TEST(Croisements, GrilleDeDroites)
{
    std::vector<Courbe> courbes;
    const int n = 30;
    for (int i = 0; i < n; ++i)
    {
        courbes.push_back(Segment(0.0, i + 0.5, n, i + 0.5));
        courbes.push_back(Segment(i + 0.5, 0.0, i + 0.5, n));
    }
    const Coupes c = Cherche(courbes);
    EXPECT_EQ(c.croisements, 2u * n * n);
    for (std::size_t i = 0; i < courbes.size(); ++i)
    {
        ASSERT_EQ(Points(c, i).size(), static_cast<std::size_t>(n)) << i;
    }
}

} // namespace
