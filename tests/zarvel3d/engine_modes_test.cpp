// Extrusion, revolution and three-view generation beyond the built-in test
// drawings: holes, arcs, islands, axes, pockets, steps, views drawn anywhere.

#include "engine/zarvel_moteur.h"
#include "engine_dessins.h"
#include "occt/zarvel_occt_module.h"

#include <BRepBndLib.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <gtest/gtest.h>

#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

namespace
{

const double pi = std::acos(-1.0);

using essais::Moteur;

Zarvel3D::AttributsLigne Cache()
{
    Zarvel3D::AttributsLigne a = essais::Trait();
    a.visible = 0;
    return a;
}

Zarvel3D::AttributsLigne Construction()
{
    Zarvel3D::AttributsLigne a = essais::Trait();
    a.construction = 1;
    return a;
}

void LigneCachee(Zarvel3D::Zarvel& z, int vue, double x1, double y1, double x2, double y2)
{
    z.AjoutLigne(vue, Zarvel3D::Point2D(x1, y1), Zarvel3D::Point2D(x2, y2), Cache(), 0, 0);
}

void Cercle(Zarvel3D::Zarvel& z, int vue, double cx, double cy, double diametre)
{
    z.AjoutEllipse(vue, Zarvel3D::Point2D(cx, cy), diametre, diametre, 0, 360, 0, essais::Trait(), 0);
}

void RectangleEn(Zarvel3D::Zarvel& z, int vue, double x, double y, double l, double h)
{
    essais::Ligne(z, vue, x, y, x + l, y);
    essais::Ligne(z, vue, x + l, y, x + l, y + h);
    essais::Ligne(z, vue, x + l, y + h, x, y + h);
    essais::Ligne(z, vue, x, y + h, x, y);
}

struct Cas
{
    const char* nom;
    std::function<int(Zarvel3D::Zarvel&)> dessin;
    int faces;   ///< expected B-rep faces (0: not checked)
    int solides; ///< expected solids
    double volume;
};

void PrintTo(const Cas& c, std::ostream* os)
{
    *os << c.nom;
}

class Generation : public ::testing::TestWithParam<Cas>
{
};

TEST_P(Generation, Solide)
{
    const Cas& cas = GetParam();
    Moteur z(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    ASSERT_EQ(cas.dessin(*z), 0) << z->Diagnostic();
    const TopoDS_Shape solide = Zarvel3D::moteur::SolideMoteur(*z);
    ASSERT_FALSE(solide.IsNull());
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(solide, TopAbs_FACE, faces);
    TopTools_IndexedMapOfShape solides;
    TopExp::MapShapes(solide, TopAbs_SOLID, solides);
    if (cas.faces > 0)
    {
        EXPECT_EQ(faces.Extent(), cas.faces);
    }
    EXPECT_EQ(solides.Extent(), cas.solides);
    EXPECT_EQ(z->Scene().Modele().surfaces.size(), static_cast<std::size_t>(faces.Extent()));
    GProp_GProps p;
    BRepGProp::VolumeProperties(solide, p);
    EXPECT_NEAR(p.Mass(), cas.volume, cas.volume * 1e-6);
    EXPECT_TRUE(BRepCheck_Analyzer(solide).IsValid());
}

int Extrusion(Zarvel3D::Zarvel& z, double l)
{
    return z.Generation(Zarvel3D::ZARVEL_EXTRUSION, l);
}

int Revolution(Zarvel3D::Zarvel& z, double a)
{
    return z.Generation(Zarvel3D::ZARVEL_REVOLUTION, a);
}

int TroisVues(Zarvel3D::Zarvel& z)
{
    return z.Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Extrusion, Generation,
                         ::testing::Values(Cas{"CarrePerceDUnCercle",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 8, 20, 20);
                                                   Cercle(z, 8, 10, 10, 10);
                                                   return Extrusion(z, 4);
                                               },
                                               7, 1, (400.0 - 25.0 * pi) * 4.0},
                                           Cas{"OblongAvecArcs",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Ligne(z, 8, 0, 0, 10, 0);
                                                   z.AjoutEllipse(8, Zarvel3D::Point2D(10, 2), 4, 4, -90, 90,
                                                                  0, essais::Trait(), 0);
                                                   essais::Ligne(z, 8, 10, 4, 0, 4);
                                                   z.AjoutEllipse(8, Zarvel3D::Point2D(0, 2), 4, 4, 90, 270,
                                                                  0, essais::Trait(), 0);
                                                   return Extrusion(z, 2);
                                               },
                                               6, 1, (40.0 + 4.0 * pi) * 2.0},
                                           Cas{"IlotDansUnTrou",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 8, 20, 20);
                                                   RectangleEn(z, 8, 5, 5, 10, 10);
                                                   RectangleEn(z, 8, 8, 8, 4, 4);
                                                   return Extrusion(z, 1);
                                               },
                                               0, 2, 400.0 - 100.0 + 16.0},
                                           Cas{"EllipseTourneeSeule",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   z.AjoutEllipse(8, Zarvel3D::Point2D(0, 0), 4, 10, 0, 360,
                                                                  30, essais::Trait(), 0);
                                                   return Extrusion(z, 3);
                                               },
                                               3, 1, pi * 2.0 * 5.0 * 3.0},
                                           Cas{"LongueurNegative",
                                               [](Zarvel3D::Zarvel& z)
                                               { return essais::Rectangle(z, 8, 10, 10), Extrusion(z, -5); },
                                               6, 1, 500.0},
                                           Cas{"TraitIsoleIgnore",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 8, 10, 10);
                                                   essais::Ligne(z, 8, 2, 2, 5, 5);
                                                   essais::Ligne(z, 8, 30, 0, 40, 0);
                                                   return Extrusion(z, 5);
                                               },
                                               6, 1, 500.0}),
                         [](const ::testing::TestParamInfo<Cas>& info)
                         { return std::string(info.param.nom); });

INSTANTIATE_TEST_SUITE_P(Revolution, Generation,
                         ::testing::Values(Cas{"TourComplet",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 4, 10, 10);
                                                   z.AjoutPoint(4, Zarvel3D::Point2D(-3, 0));
                                                   return Revolution(z, 360);
                                               },
                                               4, 1, pi*(169.0 - 9.0) * 10.0},
                                           Cas{"AngleNegatif",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 4, 10, 10);
                                                   z.AjoutPoint(4, Zarvel3D::Point2D(-3, 0));
                                                   return Revolution(z, -270);
                                               },
                                               6, 1, 0.75 * pi*(169.0 - 9.0) * 10.0},
                                           Cas{"AxeTraitDeConstruction",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 4, 10, 10);
                                                   z.AjoutLigne(4, Zarvel3D::Point2D(-3, -5),
                                                                Zarvel3D::Point2D(-3, 15), Construction(), 0,
                                                                0);
                                                   return Revolution(z, 270);
                                               },
                                               6, 1, 0.75 * pi*(169.0 - 9.0) * 10.0},
                                           Cas{"SansAxeLeBordGauche",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 4, 10, 10);
                                                   return Revolution(z, 400);
                                               },
                                               0, 1, pi * 100.0 * 10.0},
                                           Cas{"DernierPointRetenu",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 4, 10, 10);
                                                   z.AjoutPoint(4, Zarvel3D::Point2D(5, 0));
                                                   z.AjoutPoint(4, Zarvel3D::Point2D(20, 0));
                                                   return Revolution(z, 90);
                                               },
                                               6, 1, 0.25 * pi*(400.0 - 100.0) * 10.0}),
                         [](const ::testing::TestParamInfo<Cas>& info)
                         { return std::string(info.param.nom); });

INSTANTIATE_TEST_SUITE_P(TroisVues, Generation,
                         ::testing::Values(Cas{"Marche",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Ligne(z, 2, 0, 0, 20, 0);
                                                   essais::Ligne(z, 2, 20, 0, 20, 5);
                                                   essais::Ligne(z, 2, 20, 5, 10, 5);
                                                   essais::Ligne(z, 2, 10, 5, 10, 10);
                                                   essais::Ligne(z, 2, 10, 10, 0, 10);
                                                   essais::Ligne(z, 2, 0, 10, 0, 0);
                                                   essais::Rectangle(z, 4, 8, 10);
                                                   essais::Ligne(z, 4, 0, 5, 8, 5);
                                                   essais::Rectangle(z, 8, 20, 8);
                                                   essais::Ligne(z, 8, 10, 0, 10, 8);
                                                   return TroisVues(z);
                                               },
                                               8, 1, 150.0 * 8.0},
                                           Cas{"PocheBorgneDeFace",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 2, 20, 10);
                                                   RectangleEn(z, 2, 5, 3, 10, 4);
                                                   essais::Rectangle(z, 4, 8, 10);
                                                   LigneCachee(z, 4, 0, 3, 3, 3);
                                                   LigneCachee(z, 4, 0, 7, 3, 7);
                                                   essais::Rectangle(z, 8, 20, 8);
                                                   LigneCachee(z, 8, 5, 0, 5, 3);
                                                   LigneCachee(z, 8, 15, 0, 15, 3);
                                                   return TroisVues(z);
                                               },
                                               11, 1, 1600.0 - 120.0},
                                           Cas{"PocheBorgneDeDerriere",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 2, 20, 10);
                                                   RectangleEn(z, 2, 5, 3, 10, 4);
                                                   essais::Rectangle(z, 4, 8, 10);
                                                   LigneCachee(z, 4, 6, 3, 8, 3);
                                                   LigneCachee(z, 4, 6, 7, 8, 7);
                                                   essais::Rectangle(z, 8, 20, 8);
                                                   LigneCachee(z, 8, 5, 6, 5, 8);
                                                   LigneCachee(z, 8, 15, 6, 15, 8);
                                                   return TroisVues(z);
                                               },
                                               11, 1, 1600.0 - 80.0},
                                           Cas{"TrouVerticalVuDessus",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 2, 20, 10);
                                                   LigneCachee(z, 2, 8, 0, 8, 10);
                                                   LigneCachee(z, 2, 12, 0, 12, 10);
                                                   essais::Rectangle(z, 4, 8, 10);
                                                   LigneCachee(z, 4, 2, 0, 2, 10);
                                                   LigneCachee(z, 4, 6, 0, 6, 10);
                                                   essais::Rectangle(z, 8, 20, 8);
                                                   Cercle(z, 8, 10, 4, 4);
                                                   return TroisVues(z);
                                               },
                                               7, 1, 1600.0 - 40.0 * pi},
                                           // Hidden lines left out: a hole through the part,
                                           // the only solid whose views match the drawing.
                                           Cas{"ContourSansProfondeurTraversant",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   essais::Rectangle(z, 2, 20, 10);
                                                   Cercle(z, 2, 10, 5, 4);
                                                   essais::Rectangle(z, 4, 8, 10);
                                                   essais::Rectangle(z, 8, 20, 8);
                                                   return TroisVues(z);
                                               },
                                               7, 1, 1600.0 - 32.0 * pi},
                                           Cas{"VuesDessineesNImporteOu",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   RectangleEn(z, 2, 100, 50, 15, 15);
                                                   RectangleEn(z, 4, -40, 7, 15, 15);
                                                   RectangleEn(z, 8, 3, -200, 15, 15);
                                                   return TroisVues(z);
                                               },
                                               6, 1, 3375.0},
                                           Cas{"BossageCylindriqueSurLeDessus",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   for (int vue : {2, 4})
                                                   {
                                                       essais::Ligne(z, vue, 0, 0, 20, 0);
                                                       essais::Ligne(z, vue, 20, 0, 20, 10);
                                                       essais::Ligne(z, vue, 20, 10, 14, 10);
                                                       essais::Ligne(z, vue, 14, 10, 14, 15);
                                                       essais::Ligne(z, vue, 14, 15, 6, 15);
                                                       essais::Ligne(z, vue, 6, 15, 6, 10);
                                                       essais::Ligne(z, vue, 6, 10, 0, 10);
                                                       essais::Ligne(z, vue, 0, 10, 0, 0);
                                                       essais::Ligne(z, vue, 6, 10, 14, 10);
                                                   }
                                                   essais::Rectangle(z, 8, 20, 20);
                                                   Cercle(z, 8, 10, 10, 8);
                                                   return TroisVues(z);
                                               },
                                               8, 1, 4000.0 + pi * 16.0 * 5.0},
                                           Cas{"CylindreCouche",
                                               [](Zarvel3D::Zarvel& z)
                                               {
                                                   Cercle(z, 2, 5, 5, 10);
                                                   essais::Rectangle(z, 4, 20, 10);
                                                   essais::Rectangle(z, 8, 10, 20);
                                                   return TroisVues(z);
                                               },
                                               3, 1, pi * 25.0 * 20.0}),
                         [](const ::testing::TestParamInfo<Cas>& info)
                         { return std::string(info.param.nom); });

Bnd_Box Boite(const Zarvel3D::Zarvel& z)
{
    Bnd_Box b;
    BRepBndLib::AddOptimal(Zarvel3D::moteur::SolideMoteur(z), b, Standard_False, Standard_False);
    return b;
}

// The model's axes: width X, height Y, depth along -Z from the front face.
TEST(ZarvelGeneration, OrientationDesVues)
{
    Moteur haut(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    essais::Rectangle(*haut, 8, 10, 4);
    ASSERT_EQ(Extrusion(*haut, 3), 0);
    Bnd_Box b = Boite(*haut);
    EXPECT_NEAR(b.CornerMax().X() - b.CornerMin().X(), 10.0, 1e-6);
    EXPECT_NEAR(b.CornerMin().Y(), 0.0, 1e-6);
    EXPECT_NEAR(b.CornerMax().Y(), 3.0, 1e-6);
    EXPECT_NEAR(b.CornerMin().Z(), -4.0, 1e-6);

    Moteur face(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    essais::Rectangle(*face, 2, 10, 4);
    ASSERT_EQ(Extrusion(*face, 3), 0);
    b = Boite(*face);
    EXPECT_NEAR(b.CornerMax().Y(), 4.0, 1e-6);
    EXPECT_NEAR(b.CornerMin().Z(), -3.0, 1e-6);
    EXPECT_NEAR(b.CornerMax().Z(), 0.0, 1e-6);

    // A step seen in the side view at the front: the top view, drawn with
    // its front edge at the bottom, agrees only with that orientation.
    Moteur marche(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    essais::Rectangle(*marche, 2, 10, 10);
    essais::Ligne(*marche, 2, 0, 5, 10, 5);
    essais::Ligne(*marche, 4, 0, 0, 8, 0);
    essais::Ligne(*marche, 4, 8, 0, 8, 10);
    essais::Ligne(*marche, 4, 8, 10, 4, 10);
    essais::Ligne(*marche, 4, 4, 10, 4, 5);
    essais::Ligne(*marche, 4, 4, 5, 0, 5);
    essais::Ligne(*marche, 4, 0, 5, 0, 0);
    essais::Rectangle(*marche, 8, 10, 8);
    essais::Ligne(*marche, 8, 0, 4, 10, 4);
    ASSERT_EQ(TroisVues(*marche), 0) << marche->Diagnostic();
    b = Boite(*marche);
    // The tall part is at the back: its top reaches y = 10 only for z <= -4.
    GProp_GProps p;
    BRepGProp::VolumeProperties(Zarvel3D::moteur::SolideMoteur(*marche), p);
    EXPECT_NEAR(p.Mass(), 10.0 * (8.0 * 5.0 + 4.0 * 5.0), 1e-6);
    EXPECT_LT(p.CentreOfMass().Z(), -4.0);
}

} // namespace
