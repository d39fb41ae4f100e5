// Bad plans: each is refused with a diagnostic that says what is wrong, without a crash, and
// without an engine when nothing could be read.
#include "dxf_plans_outils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using Zarvel3D::ZarvelAuto;

namespace
{

std::unique_ptr<ZarvelAuto> Charge(const std::string& chemin, Zarvel3D::modezarvel_t mode)
{
    return std::unique_ptr<ZarvelAuto>(ZarvelAuto::Construct(chemin.c_str(), mode));
}

} // namespace

TEST(PlansMauvais, RefusesALInitialisation)
{
    plans::Langue anglais(Zarvel3D::i18n::LANG_EN);
    struct Cas
    {
        std::string chemin;
        Zarvel3D::modezarvel_t mode;
        const char* attendu;
    };
    const Cas cas[] = {
        {plans::Chemin("absent.dxf"), Zarvel3D::ZARVEL_TROIS_VUES, "not found"},
        {plans::Chemin(""), Zarvel3D::ZARVEL_TROIS_VUES, "is a directory"},
        {"", Zarvel3D::ZARVEL_TROIS_VUES, "No plan given"},
        {plans::Chemin("mauvais_vide.dxf"), Zarvel3D::ZARVEL_TROIS_VUES, "is empty"},
        {plans::Chemin("mauvais_pas_dxf.dxf"), Zarvel3D::ZARVEL_TROIS_VUES, "is not a DXF file (line 1)"},
        {plans::Chemin("mauvais_tronque.dxf"), Zarvel3D::ZARVEL_TROIS_VUES, "truncated"},
        {plans::Chemin("mauvais_code.dxf"), Zarvel3D::ZARVEL_TROIS_VUES, "invalid group code at line"},
        {plans::Chemin("mauvais_binaire.dxf"), Zarvel3D::ZARVEL_TROIS_VUES, "binary DXF"},
        {plans::Chemin("../bad/section_sans_endsec.dxf"), Zarvel3D::ZARVEL_TROIS_VUES,
         "a section is not closed (ENDSEC is missing)"},
        {plans::Chemin("../bad/blocs_en_eventail.dxf"), Zarvel3D::ZARVEL_EXTRUSION,
         "too large to convert: more than 500000 elements"},
        {plans::Chemin("mauvais_nan.dxf"), Zarvel3D::ZARVEL_EXTRUSION, "1 entities with invalid coordinates"},
        {plans::Chemin("mauvais_1e300.dxf"), Zarvel3D::ZARVEL_EXTRUSION,
         "1 entities with invalid coordinates"},
        {plans::Chemin("mauvais_rien_modele.dxf"), Zarvel3D::ZARVEL_TROIS_VUES, "No geometry"},
        {plans::Chemin("mauvais_vues_incoherentes.dxf"), Zarvel3D::ZARVEL_TROIS_VUES,
         "side view's width (10 mm) differs from the top view's height (15 mm)"},
        {plans::Chemin("mauvais_vues_non_alignees.dxf"), Zarvel3D::ZARVEL_TROIS_VUES,
         "no pair of aligned views"},
        {plans::Chemin("profil_carre10.dxf"), Zarvel3D::ZARVEL_TROIS_VUES,
         "Only one view found (10 x 10 mm)"},
        {plans::Chemin("profil_carre10.dxf"), static_cast<Zarvel3D::modezarvel_t>(7),
         "Unknown conversion mode: 7"},
    };
    for (const Cas& c : cas)
    {
        auto a = Charge(c.chemin, c.mode);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->ValideInit()) << c.chemin;
        EXPECT_FALSE(a->Genere()) << c.chemin;
        const std::string diagnostic = a->Diagnostic();
        EXPECT_NE(diagnostic.find(c.attendu), std::string::npos) << c.chemin << ": " << diagnostic;
        EXPECT_NE(std::string(a->Rapport()).find(c.attendu), std::string::npos) << a->Rapport();
        EXPECT_EQ(a->ZarvelConst(), nullptr) << c.chemin;
        EXPECT_EQ(a->ZarvelPtr(), nullptr) << c.chemin;
    }
    // The thread's last diagnostic tells it too.
    auto a = Charge(plans::Chemin("mauvais_vide.dxf"), Zarvel3D::ZARVEL_TROIS_VUES);
    EXPECT_NE(std::string(Zarvel3D::Diagnostic()).find("is empty"), std::string::npos);
}

TEST(PlansMauvais, ContourOuvertRefuseALaGeneration)
{
    auto a = Charge(plans::Chemin("mauvais_ouvert.dxf"), Zarvel3D::ZARVEL_EXTRUSION);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    EXPECT_FALSE(a->Genere());
    const std::string diagnostic = a->Diagnostic();
    EXPECT_NE(diagnostic.find("statut"), std::string::npos) << diagnostic;
    EXPECT_EQ(a->ZarvelConst()->Scene().Modele().surfaces.size(), 0u);
}

TEST(PlansMauvais, ComptesFauxDansLeFichier)
{
    // A polyline announcing a thousand million vertices is read with its three, and a spline
    // with a wrong knot count is left out instead of being read past its data.
    std::shared_ptr<plans::Enregistrement> e;
    auto a = plans::Enregistre("mauvais_comptes.dxf", Zarvel3D::ZARVEL_EXTRUSION, e, 1.0);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    EXPECT_EQ(e->lignes.size(), 6u);
    const std::string rapport = a->Rapport();
    EXPECT_NE(rapport.find("LINE 4, POLYLINE 1."), std::string::npos) << rapport;
}

TEST(PlansMauvais, BlocsEnCycleEtBlocAbsent)
{
    plans::Langue anglais(Zarvel3D::i18n::LANG_EN);
    auto a = Charge(plans::Chemin("mauvais_blocs_cycle.dxf"), Zarvel3D::ZARVEL_EXTRUSION);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    ASSERT_TRUE(a->Genere()) << a->Rapport();
    EXPECT_NEAR(plans::Volume(a->ZarvelConst()->Scene()), 1000.0, 1e-6);
    EXPECT_NE(std::string(a->Rapport()).find("missing block or nesting too deep): 2 inserts"),
              std::string::npos)
        << a->Rapport();
}
