// Plane geometry shared by the DXF reader and the solid module: angle wraps at the edges of their
// range, boxes, and the bounds of ellipse arcs checked against a dense sampling of the arc.
#include "geometrie_plane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

using Zarvel3D::geometrie::ArcEllipse;
using Zarvel3D::geometrie::Boite;
using Zarvel3D::geometrie::deux_pi;

namespace geo = Zarvel3D::geometrie;

namespace
{

struct CasRamene
{
    double valeur, debut, periode, attendu;
};

class Ramene : public ::testing::TestWithParam<CasRamene>
{
};

TEST_P(Ramene, DansLIntervalle)
{
    const CasRamene& c = GetParam();
    EXPECT_NEAR(geo::Ramene(c.valeur, c.debut, c.periode), c.attendu, 1e-12)
        << c.valeur << " in [" << c.debut << ", " << c.debut + c.periode << ")";
}

INSTANTIATE_TEST_SUITE_P(
    BordsEtNegatifs, Ramene,
    ::testing::Values(CasRamene{0.0, 0.0, deux_pi, 0.0},                // the start belongs to the range
                      CasRamene{deux_pi, 0.0, deux_pi, 0.0},            // the end does not
                      CasRamene{-deux_pi, 0.0, deux_pi, 0.0},           // nor a turn below
                      CasRamene{-M_PI / 2.0, 0.0, deux_pi, 1.5 * M_PI}, // negative angle
                      CasRamene{3.5 * M_PI, 0.0, deux_pi, 1.5 * M_PI},  // several turns
                      CasRamene{-7.0 * M_PI, 0.0, deux_pi, M_PI},
                      CasRamene{M_PI, -M_PI, deux_pi, -M_PI}, // the end of a range starting at -pi
                      CasRamene{1.0 - 1e-9, 1.0, deux_pi, 1.0 + deux_pi - 1e-9}, // just below the start
                      CasRamene{1.0 + deux_pi + 1e-9, 1.0, deux_pi, 1.0 + 1e-9}, // just past the end
                      CasRamene{-90.0, 0.0, 360.0, 270.0},                       // degrees
                      CasRamene{720.0, 0.0, 360.0, 0.0}, CasRamene{359.5, 0.0, 360.0, 359.5},
                      CasRamene{-360.5, 0.0, 360.0, 359.5}));

TEST(GeometriePlane, RameneDecaleDeToursEntiers)
{
    for (double debut : {-10.0, -M_PI, 0.0, 0.3, 5.0})
    {
        for (double t = -20.0; t <= 20.0; t += 0.37)
        {
            const double r = geo::Ramene(t, debut);
            ASSERT_GE(r, debut) << t;
            ASSERT_LT(r, debut + deux_pi) << t;
            const double tours = (t - r) / deux_pi;
            ASSERT_NEAR(tours, std::round(tours), 1e-9) << t;
        }
    }
}

TEST(GeometriePlane, TourComplet)
{
    EXPECT_TRUE(geo::TourComplet(0.0, deux_pi));
    EXPECT_TRUE(geo::TourComplet(-1.0, deux_pi - 1.0 - 1e-13));
    EXPECT_FALSE(geo::TourComplet(1.0, 1.0 + deux_pi - 1e-9));
    EXPECT_FALSE(geo::TourComplet(0.0, M_PI));
}

TEST(GeometriePlane, BoiteToucheContientEtDistance)
{
    Boite vide;
    EXPECT_TRUE(vide.Vide());
    EXPECT_EQ(vide.Largeur(), 0.0);
    EXPECT_TRUE(geo::BoitePoints({}).Vide());

    const Boite a = geo::BoitePoints({{{0.0, 0.0}}, {{2.0, 1.0}}, {{1.0, -1.0}}});
    EXPECT_EQ(a.xmin, 0.0);
    EXPECT_EQ(a.xmax, 2.0);
    EXPECT_EQ(a.ymin, -1.0);
    EXPECT_EQ(a.ymax, 1.0);
    EXPECT_FALSE(a.Touche(vide, 1e9));
    EXPECT_FALSE(a.Contient(vide, 1e9));

    const Boite b = geo::BoitePoints({{{2.5, 2.0}}, {{3.0, 4.0}}}); // 0.5 right and 1 above a
    EXPECT_FALSE(a.Touche(b, 0.5));
    EXPECT_TRUE(a.Touche(b, 1.0));
    EXPECT_NEAR(geo::DistanceBoites(a, b), std::hypot(0.5, 1.0), 1e-15);
    EXPECT_NEAR(geo::DistanceBoites(b, a), std::hypot(0.5, 1.0), 1e-15);

    const Boite dedans = geo::BoitePoints({{{0.5, -0.5}}, {{2.1, 0.5}}});
    EXPECT_EQ(geo::DistanceBoites(a, dedans), 0.0);
    EXPECT_FALSE(a.Contient(dedans, 0.05));
    EXPECT_TRUE(a.Contient(dedans, 0.1));
    EXPECT_FALSE(dedans.Contient(a, 0.1));

    Boite union_ = a;
    union_.Ajout(b);
    union_.Ajout(vide);
    EXPECT_TRUE(union_.Contient(a, 0.0));
    EXPECT_TRUE(union_.Contient(b, 0.0));
    EXPECT_EQ(union_.Largeur(), 3.0);
    EXPECT_EQ(union_.Hauteur(), 5.0);
}

// An ellipse of half axes a and b turned by `rotation` radians.
ArcEllipse Ellipse(double cx, double cy, double a, double b, double rotation, double t0, double t1)
{
    const double c = std::cos(rotation);
    const double s = std::sin(rotation);
    return {cx, cy, a * c, a * s, -b * s, b * c, t0, t1};
}

struct CasArc
{
    const char* nom;
    ArcEllipse arc;
};

void PrintTo(const CasArc& cas, std::ostream* os)
{
    *os << cas.nom;
}

class BoiteArc : public ::testing::TestWithParam<CasArc>
{
};

// The box must hold every point of the arc and be no larger than the sampled points, but for
// the error of the sampling step at an extreme (quadratic in the step).
TEST_P(BoiteArc, EgaleAUnEchantillonnageDense)
{
    const ArcEllipse& arc = GetParam().arc;
    const Boite b = geo::BoiteArc(arc);
    ASSERT_FALSE(b.Vide());
    Boite echantillons;
    const int n = 200000;
    for (int k = 0; k <= n; ++k)
    {
        const auto p = arc.Point(arc.t0 + (arc.t1 - arc.t0) * k / n);
        echantillons.Ajout(p[0], p[1]);
    }
    const double marge = 1e-9;
    EXPECT_TRUE(b.Contient(echantillons, 1e-12));
    EXPECT_TRUE(echantillons.Contient(b, marge))
        << b.xmin - echantillons.xmin << " " << echantillons.xmax - b.xmax << " "
        << b.ymin - echantillons.ymin << " " << echantillons.ymax - b.ymax;
}

INSTANTIATE_TEST_SUITE_P(
    EllipsesTourneesEtArcs, BoiteArc,
    ::testing::Values(CasArc{"CercleEntier", Ellipse(1.0, -1.0, 2.0, 2.0, 0.0, 0.0, deux_pi)},
                      CasArc{"EllipseTournee", Ellipse(3.0, 4.0, 5.0, 2.0, M_PI / 6.0, 0.0, deux_pi)},
                      CasArc{"EllipseTourneeDecalee", Ellipse(0.0, 0.0, 5.0, 2.0, -1.2, 2.0, 2.0 + deux_pi)},
                      CasArc{"ArcPassantZero", Ellipse(0.0, 0.0, 4.0, 1.0, 0.7, -0.5, 0.5)},
                      CasArc{"ArcPassantDeuxPi", Ellipse(0.0, 0.0, 4.0, 1.0, 0.7, 5.5, 7.5)},
                      CasArc{"ArcDe350A370Degres",
                             Ellipse(2.0, 0.0, 3.0, 3.0, 0.0, 350.0 * M_PI / 180.0, 370.0 * M_PI / 180.0)},
                      CasArc{"ArcSansExtreme", Ellipse(0.0, 0.0, 3.0, 2.0, 0.3, 0.4, 0.9)},
                      CasArc{"ArcFinissantSurUnExtreme", Ellipse(0.0, 0.0, 3.0, 2.0, 0.0, 0.5 * M_PI, M_PI)},
                      CasArc{"GrandArcTourne", Ellipse(-7.0, 2.0, 1.0, 6.0, 2.5, 1.0, 1.0 + 1.9 * M_PI)},
                      // Conjugate half diameters that are not perpendicular (a sheared circle).
                      CasArc{"DiametresConjugues", ArcEllipse{0.0, 0.0, 2.0, 0.5, 1.0, 1.5, 4.0, 6.5}}),
    [](const ::testing::TestParamInfo<CasArc>& info) { return std::string(info.param.nom); });

TEST(GeometriePlane, BoiteArcDesAxesExacte)
{
    const Boite b = geo::BoiteArc(Ellipse(1.0, 2.0, 3.0, 1.0, 0.0, 0.0, deux_pi));
    EXPECT_NEAR(b.xmin, -2.0, 1e-12);
    EXPECT_NEAR(b.xmax, 4.0, 1e-12);
    EXPECT_NEAR(b.ymin, 1.0, 1e-12);
    EXPECT_NEAR(b.ymax, 3.0, 1e-12);
    // A quarter turn of the same ellipse swaps its extents.
    const Boite q = geo::BoiteArc(Ellipse(1.0, 2.0, 3.0, 1.0, M_PI / 2.0, 0.0, deux_pi));
    EXPECT_NEAR(q.Largeur(), 2.0, 1e-12);
    EXPECT_NEAR(q.Hauteur(), 6.0, 1e-12);
    // The upper half only: its lowest points are its ends, on the major axis.
    const Boite h = geo::BoiteArc(Ellipse(0.0, 0.0, 3.0, 1.0, 0.0, 0.0, M_PI));
    EXPECT_NEAR(h.ymin, 0.0, 1e-12);
    EXPECT_NEAR(h.ymax, 1.0, 1e-12);
}

} // namespace
