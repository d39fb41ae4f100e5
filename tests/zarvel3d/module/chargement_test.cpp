// Loading of the solid module: mesh work never maps the modelling kernel, the first generation
// loads it once (also from several threads at a time), and a missing or foreign module makes the
// operations that need it fail with a diagnostic naming it. The same for the export-formats
// module and its 3MF and glTF libraries, which only a 3MF or glTF export loads.
//
// The module is loaded once per process, so each case runs in a fresh process of its own
// (threadsafe death-test style: the child re-executes this program for that case only).

#include "engine_dessins.h"
#include "maillage_outils.h"
#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

using namespace Zarvel3D;

std::string Projections()
{
    std::ifstream f("/proc/self/maps");
    std::stringstream contenu;
    contenu << f.rdbuf();
    return contenu.str();
}

bool NoyauCharge()
{
    return Projections().find("/libTK") != std::string::npos;
}

bool ModuleCharge()
{
    return Projections().find("libZarvel3D_solides") != std::string::npos;
}

/// The export-formats module or one of the libraries it links is mapped.
bool FormatsCharges()
{
    const std::string p = Projections();
    return p.find("libZarvel3D_formats") != std::string::npos || p.find("lib3MF") != std::string::npos ||
           p.find("libtinygltf") != std::string::npos;
}

/// Runs `corps` in a fresh process; the case fails if any assertion inside fails.
template <typename Corps> void DansUnProcessusNeuf(Corps corps)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            corps();
            std::exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

/// An engine with a square of side 10 drawn in the top view.
std::unique_ptr<Zarvel> MoteurCarre(PScene3D* scene = nullptr)
{
    std::unique_ptr<Zarvel> z(Zarvel::Construct(essais::ParametresProgramme(), scene));
    essais::Rectangle(*z, 8, 10, 10); // top view
    return z;
}

TEST(ChargementModule, LesMaillagesNeChargentPasLeNoyau)
{
    DansUnProcessusNeuf(
        []
        {
            EXPECT_FALSE(NoyauCharge()) << "the kernel is mapped before anything ran";
            outils::Repertoire r;
            outils::EcritBinaire(r / "cube.stl", outils::Cube(2.0));
            PScene3D scene;
            ASSERT_TRUE(scene.ImportSTL((r / "cube.stl").c_str(), 9010, false, nullptr, nullptr))
                << Diagnostic();
            for (const char* nom : {"copie.stl", "copie.obj", "copie.ply"})
            {
                EXPECT_TRUE(scene.Export((r / nom).c_str())) << nom << ": " << Diagnostic();
            }
            // A mesh has no solid: its STEP file is written from the triangles, without the module.
            EXPECT_TRUE(scene.Export((r / "copie.step").c_str())) << scene.Diagnostic();
            EXPECT_EQ(outils::LitTout(r / "copie.step").rfind("ISO-10303-21;", 0), 0u);
            PScene3D copie(scene);
            EXPECT_EQ(copie.NombreTriangles(), 12u);
            // Recording a drawing and refusing an unknown mode stay inside the library as well.
            std::unique_ptr<Zarvel> z = MoteurCarre();
            EXPECT_EQ(z->Generation(static_cast<modezarvel_t>(9), 0.0), ZARVEL_ERREUR_MODE);
            EXPECT_FALSE(ModuleCharge());
            EXPECT_FALSE(NoyauCharge());
            EXPECT_FALSE(FormatsCharges());
        });
}

TEST(ChargementModule, LaPremiereGenerationChargeLeModule)
{
    DansUnProcessusNeuf(
        []
        {
            // Several engines generating at once share one loading.
            std::vector<int> statuts(4, -1);
            std::vector<std::thread> fils;
            for (std::size_t i = 0; i < statuts.size(); ++i)
            {
                fils.emplace_back([&statuts, i]
                                  { statuts[i] = MoteurCarre()->Generation(ZARVEL_EXTRUSION, 5.0); });
            }
            for (std::thread& f : fils)
            {
                f.join();
            }
            for (int statut : statuts)
            {
                EXPECT_EQ(statut, ZARVEL_SUCCES);
            }
            EXPECT_TRUE(ModuleCharge());
            EXPECT_TRUE(NoyauCharge());

            // Copies of a scene share its solid, which outlives the engine and the original.
            auto copie = std::make_unique<PScene3D>();
            {
                PScene3D scene;
                std::unique_ptr<Zarvel> z = MoteurCarre(&scene);
                ASSERT_EQ(z->Generation(ZARVEL_EXTRUSION, 5.0), ZARVEL_SUCCES) << z->Diagnostic();
                ASSERT_TRUE(scene.ContientSolide());
                *copie = scene;
            }
            ASSERT_TRUE(copie->ContientSolide());
            outils::Repertoire r;
            ASSERT_TRUE(copie->Export((r / "carre.step").c_str())) << copie->Diagnostic();
            EXPECT_EQ(outils::LitTout(r / "carre.step").rfind("ISO-10303-21;", 0), 0u);
            copie->Vide();
            EXPECT_FALSE(copie->ContientSolide());
        });
}

/// Generation with the module path forced to `chemin`: fails in both languages with a
/// diagnostic naming the module and giving `raison`, leaves the scene as it was and never maps
/// the kernel.
void EchecSansModule(const std::string& chemin, const std::string& raison)
{
    ASSERT_EQ(setenv("ZARVEL3D_MODULE_SOLIDES", chemin.c_str(), 1), 0);
    outils::Repertoire r;
    outils::EcritBinaire(r / "cube.stl", outils::Cube(2.0));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((r / "cube.stl").c_str(), 9010, false, nullptr, nullptr)) << Diagnostic();
    std::unique_ptr<Zarvel> z = MoteurCarre(&scene);

    i18n::defLangue(i18n::LANG_FR);
    EXPECT_EQ(z->Generation(ZARVEL_EXTRUSION, 5.0), ZARVEL_ERREUR_INTERNE);
    const std::string francais = z->Diagnostic();
    EXPECT_NE(francais.find("Module de modélisation des solides '" + chemin + "' absent ou inutilisable"),
              std::string::npos)
        << francais;
    EXPECT_NE(francais.find(raison), std::string::npos) << francais;
    EXPECT_EQ(francais, Diagnostic());

    // The failure is remembered, and told again in the language now in force.
    i18n::defLangue(i18n::LANG_EN);
    EXPECT_EQ(z->Generation(ZARVEL_REVOLUTION, 360.0), ZARVEL_ERREUR_INTERNE);
    const std::string anglais = z->Diagnostic();
    EXPECT_NE(anglais.find("Solid modelling module '" + chemin + "' missing or unusable"), std::string::npos)
        << anglais;
    i18n::defLangue(i18n::LANG_FR);

    EXPECT_EQ(scene.NombreTriangles(), 12u);
    EXPECT_FALSE(scene.ContientSolide());
    // The mesh still exports, STEP included: that needs no modelling kernel.
    EXPECT_TRUE(scene.Export((r / "cube.step").c_str())) << scene.Diagnostic();
    EXPECT_FALSE(NoyauCharge());
}

TEST(ChargementModule, ModuleAbsent)
{
    DansUnProcessusNeuf(
        [] { EchecSansModule("/nonexistent/libZarvel3D_solides.so.1", "cannot open shared object file"); });
}

TEST(ChargementModule, ModuleDUneAutreVersion)
{
    DansUnProcessusNeuf([] { EchecSansModule(ZARVEL_FAUX_MODULE, "table 4/"); });
}

TEST(ChargementModule, BibliothequeSansPointDEntree)
{
    // Any other shared library: the entry point is missing.
    DansUnProcessusNeuf([] { EchecSansModule(ZARVEL_SANS_ENTREE, "ZarvelTableSolides"); });
}

TEST(ChargementModule, LePremierExport3MFOuGlTFChargeLeModuleDesFormats)
{
    DansUnProcessusNeuf(
        []
        {
            EXPECT_FALSE(FormatsCharges()) << "the export-formats module is mapped before anything ran";
            outils::Repertoire r;
            outils::EcritBinaire(r / "cube.stl", outils::Cube(2.0));
            PScene3D scene;
            ASSERT_TRUE(scene.ImportSTL((r / "cube.stl").c_str(), 9010, false, nullptr, nullptr))
                << Diagnostic();
            EXPECT_TRUE(scene.Export((r / "cube.glb").c_str())) << scene.Diagnostic();
            EXPECT_TRUE(FormatsCharges());
            EXPECT_TRUE(scene.Export((r / "cube.3mf").c_str())) << scene.Diagnostic();
            EXPECT_EQ(outils::LitTout(r / "cube.3mf").rfind("PK", 0), 0u);
            EXPECT_FALSE(NoyauCharge());
        });
}

/// 3MF and glTF export with the export-formats module forced to `chemin`: both fail in both
/// languages with a diagnostic naming the module and giving `raison`, leave an old file as it
/// was and nothing else; the other formats still export.
void EchecSansModuleFormats(const std::string& chemin, const std::string& raison)
{
    ASSERT_EQ(setenv("ZARVEL3D_MODULE_FORMATS", chemin.c_str(), 1), 0);
    outils::Repertoire r;
    outils::EcritBinaire(r / "cube.stl", outils::Cube(2.0));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((r / "cube.stl").c_str(), 9010, false, nullptr, nullptr)) << Diagnostic();
    outils::EcritTexte(r / "ancien.3mf", "ancien");

    i18n::defLangue(i18n::LANG_FR);
    EXPECT_FALSE(scene.Export((r / "ancien.3mf").c_str()));
    const std::string francais = scene.Diagnostic();
    EXPECT_NE(francais.find("Module d'export 3MF et glTF '" + chemin + "' absent ou inutilisable"),
              std::string::npos)
        << francais;
    EXPECT_NE(francais.find(raison), std::string::npos) << francais;
    EXPECT_EQ(outils::LitTout(r / "ancien.3mf"), "ancien");

    // The failure is remembered, and told again in the language now in force.
    i18n::defLangue(i18n::LANG_EN);
    EXPECT_FALSE(scene.Export((r / "neuf.glb").c_str()));
    const std::string anglais = scene.Diagnostic();
    EXPECT_NE(anglais.find("3MF and glTF export module '" + chemin + "' missing or unusable"),
              std::string::npos)
        << anglais;
    i18n::defLangue(i18n::LANG_FR);

    EXPECT_TRUE(scene.Export((r / "copie.ply").c_str())) << scene.Diagnostic();
    std::vector<std::string> fichiers = r.Fichiers();
    std::sort(fichiers.begin(), fichiers.end());
    EXPECT_EQ(fichiers, (std::vector<std::string>{"ancien.3mf", "copie.ply", "cube.stl"}));
}

TEST(ChargementModule, ModuleDesFormatsAbsent)
{
    DansUnProcessusNeuf(
        [] {
            EchecSansModuleFormats("/nonexistent/libZarvel3D_formats.so.1", "cannot open shared object file");
        });
}

TEST(ChargementModule, ModuleDesFormatsDUneAutreVersion)
{
    DansUnProcessusNeuf([] { EchecSansModuleFormats(ZARVEL_FAUX_MODULE, "table 2/"); });
}

TEST(ChargementModule, BibliothequeSansPointDEntreeDesFormats)
{
    DansUnProcessusNeuf([] { EchecSansModuleFormats(ZARVEL_SANS_ENTREE, "ZarvelTableFormats"); });
}

} // namespace
