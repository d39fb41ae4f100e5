// Runs the built Zarvel_cli and checks its console output and exit status.
#include "cli_outils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace
{
using cli::Dossier;
using cli::Existe;
using cli::Lance;
using cli::Resultat;

// A closed tetrahedron as a binary STL.
void EcritTetraedre(const std::string& chemin)
{
    const float p[4][3] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 10}};
    const int faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    std::ofstream f(chemin, std::ios::binary);
    char entete[80] = {};
    f.write(entete, 80);
    const uint32_t n = 4;
    f.write(reinterpret_cast<const char*>(&n), 4);
    for (const auto& t : faces)
    {
        const float normale[3] = {0, 0, 0};
        f.write(reinterpret_cast<const char*>(normale), 12);
        for (int k = 0; k < 3; ++k)
            f.write(reinterpret_cast<const char*>(p[t[k]]), 12);
        const uint16_t attribut = 0;
        f.write(reinterpret_cast<const char*>(&attribut), 2);
    }
}

} // namespace

TEST(Zarvel_cli, AideApresLesLignesForceParam)
{
    const Resultat r = Lance("-h plan.DXF maillage.stl");
    EXPECT_EQ(r.statut, 0);
    // -h takes plan.DXF as its value; only maillage.stl is free.
    EXPECT_EQ(r.sortie.find("ForceParam :: 'i'"), std::string::npos);
    const std::string force = "ForceParam :: 's' :: maillage.stl\n";
    ASSERT_EQ(r.sortie.compare(0, force.size(), force), 0) << r.sortie;
    // Then the help: a line break, and a usage text with the options.
    EXPECT_EQ(r.sortie[force.size()], '\n');
    for (const char* option : {"-i ", "-s ", "-o ", "-m ", "-f ", "-x ", "-h "})
        EXPECT_NE(r.sortie.find(option), std::string::npos) << option;
    EXPECT_NE(r.sortie.find("Usage"), std::string::npos);
}

TEST(Zarvel_cli, ModeInvalide)
{
    Resultat r = Lance("-m x");
    EXPECT_EQ(r.sortie, "Erreur: Mode de génération invalide.\n\n");
    EXPECT_EQ(r.statut, 2);
    // The check comes before a plan is looked at.
    r = Lance("absent.dxf -m q");
    EXPECT_EQ(r.sortie, "ForceParam :: 'i' :: absent.dxf\nErreur: Mode de génération invalide.\n\n");
    EXPECT_EQ(r.statut, 2);
}

TEST(Zarvel_cli, DessinsDeTestSansFenetre)
{
    Resultat r = Lance("-m e -x");
    EXPECT_EQ(r.sortie, "GenExtrusion :: Modèle à 6 surfaces généré.\n");
    EXPECT_EQ(r.statut, 0);
    // Only the first letter of the mode counts.
    r = Lance("-m extrusion -x");
    EXPECT_EQ(r.sortie, "GenExtrusion :: Modèle à 6 surfaces généré.\n");
    for (const char* mode : {"", "-m z", "-m p", "-m r"})
    {
        r = Lance(std::string(mode) + " -x");
        EXPECT_EQ(r.sortie, "") << mode;
        EXPECT_EQ(r.statut, 0) << mode;
    }
    // -o is ignored by the test drawings: nothing is written.
    Dossier d;
    r = Lance("-m z -o " + (d / "cube.stl") + " -x");
    EXPECT_EQ(r.statut, 0);
    EXPECT_FALSE(Existe(d / "cube.stl"));
}

TEST(Zarvel_cli, EchecDeGenerationSignale)
{
    // Without its modelling module the library cannot generate: the built-in
    // drawing reports the failure and -x ends with 1.
    const Resultat r = Lance("-m e -x -v", "ZARVEL3D_MODULE_SOLIDES=/nonexistent/module.so");
    EXPECT_EQ(r.statut, 1);
    const std::string attendu = "GenExtrusion :: Modèle à 0 surfaces généré.\n"
                                "Zarvel_cli :: Erreur génération Zarvel3D !\n";
    ASSERT_EQ(r.sortie.compare(0, attendu.size(), attendu), 0) << r.sortie;
    EXPECT_NE(r.sortie.find("/nonexistent/module.so"), std::string::npos) << r.sortie;
}

TEST(Zarvel_cli, MaillageImportExport)
{
    Dossier d;
    EcritTetraedre(d / "tetra.stl");
    Resultat r = Lance("-s " + (d / "tetra.stl") + " -o " + (d / "sortie.obj"));
    EXPECT_EQ(r.statut, 0) << r.sortie;
    EXPECT_EQ(r.sortie, "");
    EXPECT_TRUE(Existe(d / "sortie.obj"));
    r = Lance("-s " + (d / "tetra.stl") + " -o " + (d / "sortie.step"));
    EXPECT_EQ(r.statut, 0) << r.sortie;
    EXPECT_EQ(r.sortie, "");
    EXPECT_TRUE(Existe(d / "sortie.step"));

    // A bare .stl argument stands for -s; a bad mode letter is not examined.
    r = Lance((d / "tetra.stl") + " -m x -o " + (d / "sortie.stl"));
    EXPECT_EQ(r.statut, 0) << r.sortie;
    EXPECT_EQ(r.sortie, "ForceParam :: 's' :: " + (d / "tetra.stl") + "\n");
    EXPECT_TRUE(Existe(d / "sortie.stl"));

    // A plan and a mesh: both are forced, the mesh is used.
    r = Lance("absent.dxf " + (d / "tetra.stl") + " -o " + (d / "deux.ply"));
    EXPECT_EQ(r.statut, 0) << r.sortie;
    EXPECT_EQ(r.sortie, "ForceParam :: 'i' :: absent.dxf\nForceParam :: 's' :: " + (d / "tetra.stl") + "\n");
    EXPECT_TRUE(Existe(d / "deux.ply"));
}

TEST(Zarvel_cli, MaillageEchecsSignales)
{
    Dossier d;
    Resultat r = Lance("-s " + (d / "absent.stl"));
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, "Erreur lors de l'import du fichier '" + (d / "absent.stl") + "'\n");

    r = Lance("-s");
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, "Erreur lors de l'import du fichier ''\n");

    // An export that fails ends with 1 after its message.
    EcritTetraedre(d / "tetra.stl");
    r = Lance("-s " + (d / "tetra.stl") + " -o " + (d / "sortie.inconnu"));
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, "Erreur lors de l'export du fichier '" + (d / "sortie.inconnu") + "'\n");
    r = Lance("-s " + (d / "tetra.stl") + " -o /nonexistent/dir/x.stl");
    EXPECT_EQ(r.statut, 1);
}

TEST(Zarvel_cli, PlanIntrouvable)
{
    Dossier d;
    // Two plans: both forced, the last one is used.
    const Resultat r = Lance((d / "a.dxf") + " " + (d / "b.Dxf") + " -o " + (d / "x.stl"));
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, "ForceParam :: 'i' :: " + (d / "a.dxf") + "\nForceParam :: 'i' :: " + (d / "b.Dxf") +
                            "\nZarvel_cli :: Erreur initialisation Zarvel_auto (il a probablement été "
                            "impossible d'extraire les vues dans le plan).\n");
    EXPECT_FALSE(Existe(d / "x.stl"));
}
