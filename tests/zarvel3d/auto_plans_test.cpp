// Plans converted end to end through ZarvelAuto and the real engine: the DXF versions of the
// built-in test drawings give the same solids, and plans of real parts give their volume.
#include "dxf_plans_outils.h"
#include "engine_dessins.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

using Zarvel3D::ZarvelAuto;

namespace
{

struct Solide
{
    bool ok = false;
    std::size_t faces = 0;
    double volume = 0.0;
    std::string rapport;
};

Solide Convertit(const std::string& nom, Zarvel3D::modezarvel_t mode, double parametre = 0.0,
                 const Zarvel3D::ParametresZarvel& p = essais::ParametresProgramme())
{
    Solide s;
    std::unique_ptr<ZarvelAuto> a(ZarvelAuto::Construct(plans::Chemin(nom).c_str(), mode, p, parametre));
    EXPECT_NE(a, nullptr);
    const bool init = a->ValideInit();
    s.ok = init && a->Genere();
    s.rapport = a->Rapport();
    if (s.ok)
    {
        s.faces = a->ZarvelConst()->Scene().Modele().surfaces.size();
        s.volume = plans::Volume(a->ZarvelConst()->Scene());
    }
    return s;
}

Solide Direct(int (*dessin)(Zarvel3D::Zarvel&))
{
    Solide s;
    std::unique_ptr<Zarvel3D::Zarvel> z(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    s.ok = dessin(*z) == Zarvel3D::ZARVEL_SUCCES;
    s.faces = z->Scene().Modele().surfaces.size();
    s.volume = plans::Volume(z->Scene());
    return s;
}

void MemeSolide(const Solide& plan, const Solide& direct)
{
    ASSERT_TRUE(direct.ok);
    ASSERT_TRUE(plan.ok) << plan.rapport;
    EXPECT_EQ(plan.faces, direct.faces) << plan.rapport;
    EXPECT_NEAR(plan.volume, direct.volume, 1e-6 * direct.volume) << plan.rapport;
}

} // namespace

TEST(ZarvelAutoPlans, CubeDeTroisVuesCommeLeDessinIntegre)
{
    const Solide direct = Direct(essais::GenCube);
    MemeSolide(Convertit("piece_cube15_iso.dxf", Zarvel3D::ZARVEL_TROIS_VUES), direct);
    MemeSolide(Convertit("piece_cube15_ansi.dxf", Zarvel3D::ZARVEL_TROIS_VUES), direct);
    EXPECT_NEAR(direct.volume, 3375.0, 1e-6);
}

TEST(ZarvelAutoPlans, BlocAuTrouElliptiqueCommeLeDessinIntegre)
{
    const Solide direct = Direct(essais::GenMod);
    MemeSolide(Convertit("piece_mod_iso.dxf", Zarvel3D::ZARVEL_TROIS_VUES), direct);
    EXPECT_EQ(direct.faces, 7u);
}

TEST(ZarvelAutoPlans, ExtrusionEtRevolutionCommeLesDessinsIntegres)
{
    MemeSolide(Convertit("profil_carre10.dxf", Zarvel3D::ZARVEL_EXTRUSION, 5.0),
               Direct(essais::GenExtrusion));
    const Solide revolution = Direct(essais::GenRevolution);
    MemeSolide(Convertit("profil_revolution_point.dxf", Zarvel3D::ZARVEL_REVOLUTION, 270.0), revolution);
    // The axis given by a centre line 3 units to the left instead of a point: the same solid.
    MemeSolide(Convertit("profil_revolution_axe.dxf", Zarvel3D::ZARVEL_REVOLUTION, 270.0), revolution);
}

TEST(ZarvelAutoPlans, PiecesReellesAuDemiPourCentPres)
{
    struct Cas
    {
        const char* fichier;
        double volume;
    };
    const double pi = M_PI;
    const Cas cas[] = {
        {"piece_equerre_iso.dxf", 12400.0},
        {"piece_equerre_ansi.dxf", 12400.0},
        {"piece_profil_u_iso.dxf", 26560.0},
        {"piece_profil_u_ansi.dxf", 26560.0},
        {"piece_escalier_iso.dxf", 36000.0},
        {"piece_rainure_iso.dxf", 39000.0},
        {"piece_percages_iso.dxf", 120000.0 - pi * 25 * 50 - pi * 36 * 40},
        {"piece_percages_ansi.dxf", 120000.0 - pi * 25 * 50 - pi * 36 * 40},
        {"piece_bride_iso.dxf", 12 * pi * (2500 - 400 - 100)},
        {"piece_tube_iso.dxf", pi * (225 - 100) * 50},
        {"piece_coin_iso.dxf", 16000.0},
        {"piece_coin_ansi.dxf", 16000.0},
        {"piece_poche_iso.dxf", 43200.0},
        {"piece_poche_ansi.dxf", 43200.0},
        {"piece_trou_borgne_iso.dxf", 60000.0 - pi * 36 * 15},
        {"piece_te_iso.dxf", 18900.0},
        {"piece_cylindre_iso.dxf", pi * 100 * 30},
        {"deux_vues_tube.dxf", pi * (225 - 100) * 50},
        {"deux_vues_cylindre.dxf", pi * 100 * 30},
        {"cadre_cartouche_pouces.dxf", 12400.0},
        {"blocs_insertions.dxf", 12400.0},
    };
    for (const Cas& c : cas)
    {
        const Solide s = Convertit(c.fichier, Zarvel3D::ZARVEL_TROIS_VUES, 0.0, plans::ParametresFins());
        EXPECT_TRUE(s.ok) << c.fichier << "\n" << s.rapport;
        EXPECT_NEAR(s.volume, c.volume, 0.005 * c.volume) << c.fichier << "\n" << s.rapport;
    }
}

TEST(ZarvelAutoPlans, ProfilsExtrudesEtTournes)
{
    struct Cas
    {
        const char* fichier;
        Zarvel3D::modezarvel_t mode;
        double parametre;
        double volume;
    };
    const double pi = M_PI;
    const Cas cas[] = {
        {"profil_plaque_trou.dxf", Zarvel3D::ZARVEL_EXTRUSION, 6.0, 6 * (1500 - 64 * pi)},
        {"profil_hexagone.dxf", Zarvel3D::ZARVEL_EXTRUSION, 15.0, 15 * 1.5 * std::sqrt(3.0) * 100},
        {"profil_oblong.dxf", Zarvel3D::ZARVEL_EXTRUSION, 5.0, 5 * (24 * 16 + 64 * pi)},
        {"profil_jeux.dxf", Zarvel3D::ZARVEL_EXTRUSION, 1.0, 200.0},
        {"profil_ocs_miroir.dxf", Zarvel3D::ZARVEL_EXTRUSION, 1.0, 200 + 50 * pi},
        {"profil_arbre.dxf", Zarvel3D::ZARVEL_REVOLUTION, 0.0, pi * (100 * 20 + 36 * 20)},
        {"profil_revolution_axe.dxf", Zarvel3D::ZARVEL_REVOLUTION, 0.0, pi * (169 - 9) * 10},
        // Extrusion of a three-view plan: the top view over the height of the front view.
        {"piece_cube15_iso.dxf", Zarvel3D::ZARVEL_EXTRUSION, 0.0, 3375.0},
        {"piece_coin_iso.dxf", Zarvel3D::ZARVEL_EXTRUSION, 0.0, 40 * 20 * 30.0},
    };
    for (const Cas& c : cas)
    {
        const Solide s = Convertit(c.fichier, c.mode, c.parametre, plans::ParametresFins());
        EXPECT_TRUE(s.ok) << c.fichier << "\n" << s.rapport;
        EXPECT_NEAR(s.volume, c.volume, 0.005 * c.volume) << c.fichier << "\n" << s.rapport;
    }
}

TEST(ZarvelAutoPlans, ExportSTLRelu)
{
    std::unique_ptr<ZarvelAuto> a(
        ZarvelAuto::Construct(plans::Chemin("piece_equerre_iso.dxf").c_str(), Zarvel3D::ZARVEL_TROIS_VUES));
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    ASSERT_TRUE(a->Genere()) << a->Rapport();
    const std::string sortie = testing::TempDir() + "equerre_plan.stl";
    ASSERT_TRUE(a->ZarvelConst()->Scene().Export(sortie.c_str()));
    Zarvel3D::PScene3D relue;
    ASSERT_TRUE(relue.ImportSTL(sortie.c_str(), 0, false, nullptr, nullptr)) << relue.Diagnostic();
    EXPECT_NEAR(plans::Volume(relue), 12400.0, 1e-3);
    std::remove(sortie.c_str());
}

TEST(ZarvelAutoPlans, MoteurCedeParZarvelPtr)
{
    std::unique_ptr<ZarvelAuto> a(
        ZarvelAuto::Construct(plans::Chemin("piece_cube15_iso.dxf").c_str(), Zarvel3D::ZARVEL_TROIS_VUES));
    ASSERT_TRUE(a->ValideInit());
    ASSERT_TRUE(a->Genere());
    std::unique_ptr<Zarvel3D::Zarvel> moteur(a->ZarvelPtr());
    ASSERT_NE(moteur, nullptr);
    EXPECT_EQ(a->ZarvelConst(), moteur.get());
    // The factory no longer releases the engine: destroying it first leaves the engine usable.
    a.reset();
    EXPECT_NEAR(plans::Volume(moteur->Scene()), 3375.0, 1e-6);
}
