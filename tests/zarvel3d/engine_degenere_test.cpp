// Degenerate drawings and parameters: a clear status and diagnostic, no crash,
// and the scene left exactly as it was. Options of the parameters record.

#include "engine/zarvel_moteur.h"
#include "engine_dessins.h"
#include "occt/zarvel_occt_module.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

namespace
{

using essais::Moteur;

const double nan_ = std::numeric_limits<double>::quiet_NaN();
const double inf_ = std::numeric_limits<double>::infinity();

struct CasDegenere
{
    const char* nom;
    std::function<void(Zarvel3D::Zarvel&)> dessin;
    int mode;
    double parametre;
    int statut;
};

void PrintTo(const CasDegenere& c, std::ostream* os)
{
    *os << c.nom;
}

class Degenere : public ::testing::TestWithParam<CasDegenere>
{
};

// A cube is generated into a shared scene first; the failing engine draws into
// the same scene and must leave the cube there.
TEST_P(Degenere, StatutDiagnosticEtSceneIntacte)
{
    const CasDegenere& cas = GetParam();
    Zarvel3D::PScene3D scene;
    Moteur premier(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), &scene));
    ASSERT_EQ(essais::GenCube(*premier), 0);
    const std::size_t surfaces = scene.Modele().surfaces.size();
    const std::size_t sommets = scene.Modele().sommets.size();
    const std::size_t projections = scene.Projections().size();

    Moteur z(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), &scene));
    ASSERT_EQ(z->ScenePtr(), &scene);
    cas.dessin(*z);
    EXPECT_EQ(z->Generation(static_cast<Zarvel3D::modezarvel_t>(cas.mode), cas.parametre), cas.statut);
    EXPECT_STRNE(z->Diagnostic(), "");
    EXPECT_STREQ(Zarvel3D::Diagnostic(), z->Diagnostic());
    EXPECT_EQ(scene.Modele().surfaces.size(), surfaces);
    EXPECT_EQ(scene.Modele().sommets.size(), sommets);
    EXPECT_EQ(scene.Projections().size(), projections);
    EXPECT_TRUE(scene.ContientSolide());
}

void Rien(Zarvel3D::Zarvel&) {}

void Carre(Zarvel3D::Zarvel& z)
{
    essais::Rectangle(z, 8, 10, 10);
}

INSTANTIATE_TEST_SUITE_P(
    Zarvel, Degenere,
    ::testing::Values(CasDegenere{"RienTroisVues", Rien, 1, 0.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"RienExtrusion", Rien, 2, 5.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"RienRevolution", Rien, 3, 90.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"ContourOuvert",
                                  [](Zarvel3D::Zarvel& z)
                                  {
                                      essais::Ligne(z, 8, 0, 0, 10, 0);
                                      essais::Ligne(z, 8, 10, 0, 10, 10);
                                      essais::Ligne(z, 8, 10, 10, 0, 10);
                                  },
                                  2, 5.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"ContourPresqueFermeAuDelaDeLaTolerance",
                                  [](Zarvel3D::Zarvel& z)
                                  {
                                      essais::Ligne(z, 8, 0, 0, 10, 0);
                                      essais::Ligne(z, 8, 10, 0, 10, 10);
                                      essais::Ligne(z, 8, 10, 10, 0, 10);
                                      essais::Ligne(z, 8, 0, 10, 0, 0.5);
                                  },
                                  2, 5.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"LignesDeLongueurNulle",
                                  [](Zarvel3D::Zarvel& z)
                                  {
                                      essais::Ligne(z, 8, 1, 1, 1, 1);
                                      essais::Ligne(z, 8, 2, 2, 2, 2.001);
                                  },
                                  2, 5.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"SeulementDesTraitsDeConstruction",
                                  [](Zarvel3D::Zarvel& z)
                                  {
                                      Zarvel3D::AttributsLigne axe = essais::Trait();
                                      axe.construction = 1;
                                      for (auto [x1, y1, x2, y2] : {std::array<double, 4>{0, 0, 10, 0},
                                                                    {10, 0, 10, 10},
                                                                    {10, 10, 0, 10},
                                                                    {0, 10, 0, 0}})
                                      {
                                          z.AjoutLigne(8, Zarvel3D::Point2D(x1, y1),
                                                       Zarvel3D::Point2D(x2, y2), axe, 0, 0);
                                      }
                                  },
                                  2, 5.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"LongueurNulle", Carre, 2, 0.0, Zarvel3D::ZARVEL_ERREUR_MODE},
                      CasDegenere{"LongueurNaN", Carre, 2, nan_, Zarvel3D::ZARVEL_ERREUR_MODE},
                      CasDegenere{"LongueurInfinie", Carre, 2, inf_, Zarvel3D::ZARVEL_ERREUR_MODE},
                      CasDegenere{"AngleNul", [](Zarvel3D::Zarvel& z) { essais::Rectangle(z, 4, 10, 10); }, 3,
                                  0.0, Zarvel3D::ZARVEL_ERREUR_MODE},
                      CasDegenere{"AngleNaN", [](Zarvel3D::Zarvel& z) { essais::Rectangle(z, 4, 10, 10); }, 3,
                                  nan_, Zarvel3D::ZARVEL_ERREUR_MODE},
                      CasDegenere{"ProfilDesDeuxCotesDeLAxe",
                                  [](Zarvel3D::Zarvel& z)
                                  {
                                      essais::Rectangle(z, 4, 10, 10);
                                      z.AjoutPoint(4, Zarvel3D::Point2D(5, 0));
                                  },
                                  3, 90.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      // Two views are read without the third; one is not enough.
                      CasDegenere{"VueDeFaceSeule", [](Zarvel3D::Zarvel& z) { essais::Rectangle(z, 2, 15, 15); },
                                  1, 0.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"VuesEnDesaccord",
                                  [](Zarvel3D::Zarvel& z)
                                  {
                                      essais::Rectangle(z, 2, 15, 15);
                                      essais::Rectangle(z, 4, 15, 15);
                                      essais::Rectangle(z, 8, 12, 15);
                                  },
                                  1, 0.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"ExtrusionSansDessusAvecDeuxVues",
                                  [](Zarvel3D::Zarvel& z)
                                  {
                                      essais::Rectangle(z, 2, 15, 15);
                                      essais::Rectangle(z, 4, 15, 15);
                                  },
                                  2, 5.0, Zarvel3D::ZARVEL_ERREUR_DESSIN},
                      CasDegenere{"ModeInconnu", essais::GenCube, 7, 0.0, Zarvel3D::ZARVEL_ERREUR_MODE}),
    [](const ::testing::TestParamInfo<CasDegenere>& info) { return std::string(info.param.nom); });

TEST(ZarvelDessin, AjoutsRefusesNeDessinentRien)
{
    Moteur z(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    const Zarvel3D::AttributsLigne a = essais::Trait();
    EXPECT_FALSE(z->AjoutLigne(3, Zarvel3D::Point2D(0, 0), Zarvel3D::Point2D(1, 0), a, 0, 0));
    EXPECT_FALSE(z->AjoutLigne(0, Zarvel3D::Point2D(0, 0), Zarvel3D::Point2D(1, 0), a, 0, 0));
    EXPECT_FALSE(z->AjoutLigne(8, Zarvel3D::Point2D(nan_, 0), Zarvel3D::Point2D(1, 0), a, 0, 0));
    EXPECT_FALSE(z->AjoutLigne(8, Zarvel3D::Point2D(0, 0), Zarvel3D::Point2D(1, inf_), a, 0, 0));
    EXPECT_FALSE(z->AjoutEllipse(8, Zarvel3D::Point2D(0, 0), 0, 4, 0, 360, 0, a, 0));
    EXPECT_FALSE(z->AjoutEllipse(8, Zarvel3D::Point2D(0, 0), 4, -4, 0, 360, 0, a, 0));
    EXPECT_FALSE(z->AjoutEllipse(8, Zarvel3D::Point2D(0, 0), 4, 4, nan_, 360, 0, a, 0));
    EXPECT_FALSE(z->AjoutEllipse(16, Zarvel3D::Point2D(0, 0), 4, 4, 0, 360, 0, a, 0));
    EXPECT_FALSE(z->AjoutPoint(1, Zarvel3D::Point2D(0, 0)));
    EXPECT_FALSE(z->AjoutPoint(4, Zarvel3D::Point2D(nan_, 0)));
    EXPECT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 5.0), Zarvel3D::ZARVEL_ERREUR_DESSIN);
    EXPECT_TRUE(z->Scene().Modele().surfaces.empty());
    EXPECT_FALSE(z->Scene().ContientSolide());

    EXPECT_TRUE(z->AjoutLigne(8, Zarvel3D::Point2D(0, 0), Zarvel3D::Point2D(1, 0), a, 3, 7));
    EXPECT_TRUE(z->AjoutEllipse(2, Zarvel3D::Point2D(0, 0), 4, 2, 0, 90, 15, a, 0));
    EXPECT_TRUE(z->AjoutPoint(4, Zarvel3D::Point2D(0, 0)));
}

TEST(ZarvelDessin, DiagnosticDansLaLangueChoisie)
{
    Moteur z(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_EN);
    z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 5.0);
    const std::string anglais = z->Diagnostic();
    Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_FR);
    z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 5.0);
    EXPECT_EQ(anglais, "Nothing is drawn.");
    EXPECT_EQ(std::string(z->Diagnostic()), "Rien n'est dessiné.");
}

TEST(ZarvelDessin, NouvelleGenerationRemplaceLeModele)
{
    Moteur z(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    essais::Rectangle(*z, 8, 10, 10);
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 5.0), 0);
    const std::size_t sommets = z->Scene().Modele().sommets.size();
    z->AjoutEllipse(8, Zarvel3D::Point2D(5, 5), 4, 4, 0, 360, 0, essais::Trait(), 0);
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 5.0), 0);
    EXPECT_EQ(z->Scene().Modele().surfaces.size(), 7u);
    EXPECT_GT(z->Scene().Modele().sommets.size(), sommets);
}

// Options of the parameters record that change the scene.
TEST(ZarvelParametres, OptionsDeLaScene)
{
    Zarvel3D::ParametresZarvel p = essais::ParametresProgramme();
    p.sans_projections = true;
    p.taille_textes = 0;
    p.developpes = true;
    p.echelle_developpes = 2;
    Moteur z(Zarvel3D::Zarvel::Construct(p, nullptr));
    ASSERT_EQ(essais::GenCube(*z), 0);
    const Zarvel3D::PScene3D& scene = z->Scene();
    EXPECT_TRUE(scene.Projections().empty());
    EXPECT_TRUE(scene.Textes().empty());
    // Six square faces, four sides each.
    EXPECT_EQ(scene.Developpes().size(), 24u);
    for (const Zarvel3D::PElement3D& e : scene.Developpes())
    {
        ASSERT_EQ(e.points.size(), 2u);
        EXPECT_EQ(e.points[0].z, 0.0);
    }
    EXPECT_NEAR(scene.EchelleDeveloppes(), scene.EchelleAffichage() / 2.0, 1e-12);
}

TEST(ZarvelParametres, DivisionsDesCourbes)
{
    // The divisions are a floor under the chord deviation: with a loose
    // deviation they decide, up to the largest angle of 10 degrees a segment.
    auto parametres = [](std::int32_t tour)
    {
        Zarvel3D::ParametresZarvel p = essais::ParametresProgramme();
        p.divisions_tour = tour;
        p.fleche = 1000.0f;
        return p;
    };
    auto triangles = [&](std::int32_t tour)
    {
        Moteur z(Zarvel3D::Zarvel::Construct(parametres(tour), nullptr));
        EXPECT_EQ(essais::GenMod(*z), 0);
        return z->Scene().NombreTriangles();
    };
    EXPECT_GT(triangles(128), triangles(16));

    // A full circle gets divisions_tour segments (the mesher may add one), at
    // each end of the sweep; 36 at least.
    for (std::int32_t tour : {8, 40, 72})
    {
        Moteur z(Zarvel3D::Zarvel::Construct(parametres(tour), nullptr));
        z->AjoutEllipse(8, Zarvel3D::Point2D(0, 0), 10, 10, 0, 360, 0, essais::Trait(), 0);
        ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 1.0), 0);
        const std::size_t attendus = static_cast<std::size_t>(std::max(tour, 36));
        EXPECT_GE(z->Scene().Modele().segments.size(), 2u * attendus);
        EXPECT_LE(z->Scene().Modele().segments.size(), 2u * (attendus + 1));
    }

    // An arc of a quarter turn still gets divisions_min segments.
    Zarvel3D::ParametresZarvel p = parametres(4);
    p.divisions_min = 12;
    p.angle_aretes = 35;
    Moteur z(Zarvel3D::Zarvel::Construct(p, nullptr));
    essais::Ligne(*z, 8, 0, 0, 10, 0);
    z->AjoutEllipse(8, Zarvel3D::Point2D(0, 0), 20, 20, 0, 90, 0, essais::Trait(), 0);
    essais::Ligne(*z, 8, 0, 10, 0, 0);
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 1.0), 0) << z->Diagnostic();
    // Sharp edges: two arcs of 12 segments, 2 x 2 + 3 straight edges.
    EXPECT_EQ(z->Scene().Modele().segments.size(), 2u * 12u + 7u);
}

TEST(ZarvelParametres, VuesIgnorees)
{
    Zarvel3D::ParametresZarvel p = essais::ParametresProgramme();
    p.vues_ignorees = Zarvel3D::ZARVEL_VUE_DESSUS;
    Moteur z(Zarvel3D::Zarvel::Construct(p, nullptr));
    essais::Rectangle(*z, 8, 10, 10);
    essais::Rectangle(*z, 2, 4, 6);
    // The top view is left out: the front view is the only one, and is swept.
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 2.0), 0) << z->Diagnostic();
    GTEST_ASSERT_EQ(z->Scene().Modele().surfaces.size(), 6u);
    const TopoDS_Shape solide = Zarvel3D::moteur::SolideMoteur(*z);
    EXPECT_FALSE(solide.IsNull());
}

} // namespace
