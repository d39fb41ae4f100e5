// Profiles of extrusion and revolution built from many elements, outlines
// that cross or touch, ends that stop short, curves cut into pieces, and
// plans beyond the engine's limits.

#include "engine/zarvel_moteur.h"
#include "engine_dessins.h"
#include "occt/zarvel_occt_module.h"
#include "sous_sanitizer.h"

#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <gtest/gtest.h>

#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <cmath>
#include <memory>
#include <string>

namespace
{

const double pi = std::acos(-1.0);

using essais::Moteur;

Moteur Nouveau(int elements_max = 256)
{
    Zarvel3D::ParametresZarvel p = essais::ParametresProgramme();
    p.elements_max = elements_max;
    return Moteur(Zarvel3D::Zarvel::Construct(p, nullptr));
}

// A regular polygon of `n` sides around (cx, cy), one line per side, turning
// counter-clockwise from angle `phase`.
void Polygone(Zarvel3D::Zarvel& z, int vue, double cx, double cy, double r, int n, double phase = 0.0)
{
    for (int k = 0; k < n; ++k)
    {
        const double a = phase + 2.0 * pi * k / n;
        const double b = phase + 2.0 * pi * (k + 1) / n;
        essais::Ligne(z, vue, cx + r * std::cos(a), cy + r * std::sin(a), cx + r * std::cos(b),
                      cy + r * std::sin(b));
    }
}

double AirePolygone(double r, int n)
{
    return 0.5 * n * r * r * std::sin(2.0 * pi / n);
}

void Arc(Zarvel3D::Zarvel& z, int vue, double cx, double cy, double r, double debut, double fin)
{
    z.AjoutEllipse(vue, Zarvel3D::Point2D(cx, cy), 2 * r, 2 * r, debut, fin, 0, essais::Trait(), 0);
}

struct Mesure
{
    int faces = 0;
    int solides = 0;
    double volume = 0.0;
    bool valide = false;
};

// The kernel's full analysis takes minutes on thousands of faces: large
// solids are measured without it.
Mesure Mesurer(const Zarvel3D::Zarvel& z, bool analyse = true)
{
    Mesure m;
    const TopoDS_Shape solide = Zarvel3D::moteur::SolideMoteur(z);
    if (solide.IsNull())
    {
        return m;
    }
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(solide, TopAbs_FACE, faces);
    TopTools_IndexedMapOfShape solides;
    TopExp::MapShapes(solide, TopAbs_SOLID, solides);
    GProp_GProps p;
    BRepGProp::VolumeProperties(solide, p);
    m.faces = faces.Extent();
    m.solides = solides.Extent();
    m.volume = p.Mass();
    m.valide = analyse && BRepCheck_Analyzer(solide).IsValid();
    return m;
}

TEST(ProfilsVolumineux, DisqueDeMilleSegmentsPerceDeCentTrousPolygonaux)
{
    // 4000 sides for the outline, 100 holes of 40 sides each: 8000 lines (a quarter of them
    // under the sanitizers, where the kernel's allocations are ten times slower).
    const int cotes = essais::sous_sanitizer ? 1000 : 4000;
    const int rangees = essais::sous_sanitizer ? 5 : 10;
    Moteur z = Nouveau(0);
    Polygone(*z, 8, 0, 0, 500, cotes);
    for (int i = 0; i < rangees; ++i)
    {
        for (int j = 0; j < rangees; ++j)
        {
            Polygone(*z, 8, -270 + 60 * i, -270 + 60 * j, 10, 40, 0.1);
        }
    }
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 5.0), 0) << z->Diagnostic();
    const Mesure m = Mesurer(*z, false);
    EXPECT_EQ(m.solides, 1);
    // Two caps plus one side face per segment: nothing merged across corners.
    const int trous = rangees * rangees;
    EXPECT_EQ(m.faces, 2 + cotes + trous * 40);
    const double aire = AirePolygone(500, cotes) - trous * AirePolygone(10, 40);
    EXPECT_NEAR(m.volume, 5.0 * aire, 5.0 * aire * 1e-6);
}

TEST(ProfilsVolumineux, SegmentsAlignesEtArcsEnMorceauxRefondusAvantLeBalayage)
{
    // An annulus profile whose sides are drawn as 2000 short collinear
    // segments and whose curved side is four quarter arcs: the revolution
    // has the four faces of a plain tube.
    Moteur z = Nouveau();
    const int n = 500;
    for (int k = 0; k < n; ++k)
    {
        const double a = 10.0 * k / n;
        const double b = 10.0 * (k + 1) / n;
        essais::Ligne(*z, 4, 20 + a, 0, 20 + b, 0);
        essais::Ligne(*z, 4, 30, a, 30, b);
        essais::Ligne(*z, 4, 20 + b, 10, 20 + a, 10);
        essais::Ligne(*z, 4, 20, b, 20, a);
    }
    z->AjoutPoint(4, Zarvel3D::Point2D(0, 0));
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_REVOLUTION, 360.0), 0) << z->Diagnostic();
    Mesure m = Mesurer(*z);
    EXPECT_EQ(m.faces, 4);
    EXPECT_NEAR(m.volume, pi * (30.0 * 30.0 - 20.0 * 20.0) * 10.0, 1e-6 * m.volume);

    Moteur c = Nouveau();
    for (int q = 0; q < 4; ++q)
    {
        Arc(*c, 8, 0, 0, 5, 90.0 * q, 90.0 * (q + 1));
    }
    ASSERT_EQ(c->Generation(Zarvel3D::ZARVEL_EXTRUSION, 2.0), 0) << c->Diagnostic();
    m = Mesurer(*c);
    EXPECT_EQ(m.faces, 3);
    EXPECT_NEAR(m.volume, pi * 25.0 * 2.0, 1e-6 * m.volume);
}

TEST(ProfilsVolumineux, ContoursQuiSeTouchentOuSeCroisent)
{
    // Two squares overlapping by a quarter: the even-odd rule keeps two L
    // shapes meeting at two corners, two solids touching along two edges.
    Moteur z = Nouveau();
    essais::Rectangle(*z, 8, 10, 10);
    essais::Ligne(*z, 8, 5, 5, 15, 5);
    essais::Ligne(*z, 8, 15, 5, 15, 15);
    essais::Ligne(*z, 8, 15, 15, 5, 15);
    essais::Ligne(*z, 8, 5, 15, 5, 5);
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 1.0), 0) << z->Diagnostic();
    Mesure m = Mesurer(*z);
    EXPECT_EQ(m.solides, 2);
    EXPECT_TRUE(m.valide);
    EXPECT_NEAR(m.volume, 150.0, 1e-6 * 150.0);

    // A square hole touching the outline at one corner.
    Moteur p = Nouveau();
    essais::Rectangle(*p, 8, 20, 20);
    essais::Ligne(*p, 8, 0, 0, 8, 4);
    essais::Ligne(*p, 8, 8, 4, 4, 8);
    essais::Ligne(*p, 8, 4, 8, 0, 0);
    ASSERT_EQ(p->Generation(Zarvel3D::ZARVEL_EXTRUSION, 2.0), 0) << p->Diagnostic();
    m = Mesurer(*p);
    EXPECT_NEAR(m.volume, 2.0 * (400.0 - 24.0), 1e-6 * m.volume);
}

TEST(ProfilsVolumineux, ExtremitesQuiSArretentAvantLaLigneVoisine)
{
    // Sides that overshoot, stop 0.005 short of their neighbour (under the
    // tolerance of 0.01) or end on the middle of another line.
    Moteur z = Nouveau();
    essais::Ligne(*z, 8, -1, 0, 20, 0);
    essais::Ligne(*z, 8, 20, 0.005, 20, 10);
    essais::Ligne(*z, 8, 20, 10, 10, 10);
    essais::Ligne(*z, 8, 10.004, 10, 0, 10);
    essais::Ligne(*z, 8, 0, 10, 0, 0.003);
    essais::Ligne(*z, 8, 10, 10, 10, 0); // splits the rectangle in two halves
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 1.0), 0) << z->Diagnostic();
    const Mesure m = Mesurer(*z);
    EXPECT_EQ(m.solides, 1);
    EXPECT_EQ(m.faces, 6);
    EXPECT_NEAR(m.volume, 200.0, 200.0 * 1e-3);
}

TEST(ProfilsVolumineux, PlansAuDelaDesLimitesRefusesAvecUnDiagnostic)
{
    // 300 square holes in a plate: beyond elements_max = 256 outlines.
    auto plaque = [](Zarvel3D::Zarvel& z)
    {
        essais::Rectangle(z, 8, 400, 400);
        for (int i = 0; i < 20; ++i)
        {
            for (int j = 0; j < 15; ++j)
            {
                const double x = 10 + 19.0 * i, y = 10 + 25.0 * j;
                essais::Ligne(z, 8, x, y, x + 5, y);
                essais::Ligne(z, 8, x + 5, y, x + 5, y + 5);
                essais::Ligne(z, 8, x + 5, y + 5, x, y + 5);
                essais::Ligne(z, 8, x, y + 5, x, y);
            }
        }
    };
    Moteur limite = Nouveau(256);
    plaque(*limite);
    EXPECT_EQ(limite->Generation(Zarvel3D::ZARVEL_EXTRUSION, 1.0), Zarvel3D::ZARVEL_ERREUR_DESSIN);
    EXPECT_NE(std::string(limite->Diagnostic()).find("301"), std::string::npos) << limite->Diagnostic();
    EXPECT_TRUE(limite->Scene().Modele().surfaces.empty());
    limite->AjoutPoint(8, Zarvel3D::Point2D(-1, 0));
    EXPECT_EQ(limite->Generation(Zarvel3D::ZARVEL_REVOLUTION, 360.0), Zarvel3D::ZARVEL_ERREUR_DESSIN);

    Moteur large = Nouveau(1000);
    plaque(*large);
    ASSERT_EQ(large->Generation(Zarvel3D::ZARVEL_EXTRUSION, 1.0), 0) << large->Diagnostic();
    EXPECT_NEAR(Mesurer(*large).volume, 160000.0 - 300 * 25.0, 1e-6 * 160000.0);

    // A hatching of 600 by 600 lines crosses 360 000 times: refused early,
    // with the scene of the last success left as it was.
    Moteur hachure = Nouveau(0);
    essais::Rectangle(*hachure, 8, 10, 10);
    ASSERT_EQ(hachure->Generation(Zarvel3D::ZARVEL_EXTRUSION, 1.0), 0);
    const std::size_t surfaces = hachure->Scene().Modele().surfaces.size();
    for (int k = 0; k < 600; ++k)
    {
        essais::Ligne(*hachure, 8, 0.01 + k * 0.0166, -1, 0.01 + k * 0.0166, 11);
        essais::Ligne(*hachure, 8, -1, 0.01 + k * 0.0166, 11, 0.01 + k * 0.0166);
    }
    EXPECT_EQ(hachure->Generation(Zarvel3D::ZARVEL_EXTRUSION, 1.0), Zarvel3D::ZARVEL_ERREUR_DESSIN);
    EXPECT_NE(std::string(hachure->Diagnostic()).find("200000"), std::string::npos) << hachure->Diagnostic();
    EXPECT_EQ(hachure->Scene().Modele().surfaces.size(), surfaces);
}

} // namespace
