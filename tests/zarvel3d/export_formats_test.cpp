// 3MF and binary glTF export: the files read back by lib3mf and tinygltf hold the scene's
// triangles in millimetres (3MF) or metres (glTF), with the colour the triangles share and the
// vertices shared as the format wants; failures leave nothing behind and old files intact.
#include "dxf_plans_outils.h"
#include "formats_lecture.h"
#include "maillage_outils.h"
#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

using outils::Repertoire;
using Zarvel3D::PScene3D;

namespace
{

struct CasFormats
{
    const char* nom;
    outils::Maillage maillage;
    unsigned int ral;        ///< colour given to the import (0: none)
    std::size_t sommets_3mf; ///< distinct positions
    std::size_t sommets_glb; ///< vertices of the surfaces, a copy per surface at sharp edges
};

void PrintTo(const CasFormats& c, std::ostream* o)
{
    *o << c.nom;
}

outils::Maillage Agrandi(outils::Maillage m, double facteur)
{
    for (auto& t : m)
    {
        for (auto& p : t)
        {
            for (double& x : p)
            {
                x *= facteur;
            }
        }
    }
    return m;
}

/// glTF's base colour is linear; the RAL bytes are sRGB.
double Lineaire(std::uint8_t octet)
{
    const double c = octet / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

/// Every edge of the indexed triangles is shared by exactly two of them, in opposite directions.
bool Ferme(const std::vector<std::uint32_t>& indices)
{
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> aretes;
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3)
    {
        for (std::size_t k = 0; k < 3; ++k)
        {
            ++aretes[{indices[t + k], indices[t + (k + 1) % 3]}];
        }
    }
    for (const auto& a : aretes)
    {
        const auto inverse = aretes.find({a.first.second, a.first.first});
        if (a.second != 1 || inverse == aretes.end() || inverse->second != 1)
        {
            return false;
        }
    }
    return !aretes.empty();
}

class ExportFormatsAllerRetour : public ::testing::TestWithParam<CasFormats>
{
};

} // namespace

// STL -> scene -> 3MF and GLB, each read back by the format's own library.
TEST_P(ExportFormatsAllerRetour, StlVers3mfEtGlb)
{
    const CasFormats& c = GetParam();
    Repertoire rep;
    outils::EcritBinaire(rep / "entree.stl", c.maillage);
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "entree.stl").c_str(), c.ral, false, nullptr, nullptr))
        << scene.Diagnostic();
    const outils::Maillage source = outils::Triangles(scene);
    const Zarvel3D::RAL& ral = Zarvel3D::RAL::Index(Zarvel3D::RAL::RechercheIndex(c.ral));

    ASSERT_TRUE(scene.Export((rep / "piece.3mf").c_str())) << scene.Diagnostic();
    const lecture::Fichier3MF f3 = lecture::Lit3MF(rep / "piece.3mf");
    ASSERT_TRUE(f3.lu) << f3.erreur;
    EXPECT_EQ(f3.objets, 1u);
    EXPECT_EQ(f3.unite, static_cast<unsigned int>(NMR::MODELUNIT_MILLIMETER));
    EXPECT_EQ(f3.nom, "piece");
    outils::ExpectMemeSolide(source, f3.maillage, 1e-6);
    EXPECT_EQ(f3.sommets, c.sommets_3mf);
    EXPECT_TRUE(Ferme(f3.indices));
    EXPECT_EQ(f3.colore, c.ral != 0);
    if (c.ral != 0)
    {
        EXPECT_EQ(f3.nom_couleur, "RAL " + std::to_string(c.ral));
        EXPECT_EQ(f3.rouge, ral.rouge);
        EXPECT_EQ(f3.vert, ral.vert);
        EXPECT_EQ(f3.bleu, ral.bleu);
        EXPECT_EQ(f3.alpha, 255);
    }
    // A classic ZIP archive: older unzip code finds no part in a ZIP64 one.
    EXPECT_EQ(outils::LitTout(rep / "piece.3mf").find(std::string("PK\x06\x06", 4)), std::string::npos);

    ASSERT_TRUE(scene.Export((rep / "piece.GLB").c_str())) << scene.Diagnostic();
    const lecture::FichierGLB fg = lecture::LitGLB(rep / "piece.GLB");
    ASSERT_TRUE(fg.lu) << fg.erreur;
    EXPECT_EQ(fg.modele.asset.version, "2.0");
    // Metres: the reader's triangles are scaled back by 1000.
    outils::ExpectMemeSolide(source, fg.maillage, 1e-6);
    EXPECT_EQ(fg.positions.size(), c.sommets_glb);
    // The position accessor's bounds are those of the positions.
    const tinygltf::Accessor& a =
        fg.modele
            .accessors[static_cast<std::size_t>(fg.modele.meshes[0].primitives[0].attributes.at("POSITION"))];
    const auto boite = outils::Boite(fg.maillage);
    ASSERT_EQ(a.minValues.size(), 3u);
    ASSERT_EQ(a.maxValues.size(), 3u);
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_FLOAT_EQ(static_cast<float>(a.minValues[static_cast<std::size_t>(k)]),
                        static_cast<float>(boite[static_cast<std::size_t>(k)] / 1000.0));
        EXPECT_FLOAT_EQ(static_cast<float>(a.maxValues[static_cast<std::size_t>(k)]),
                        static_cast<float>(boite[static_cast<std::size_t>(3 + k)] / 1000.0));
    }
    // Unit normals on the outer side of each triangle they belong to.
    for (const auto& n : fg.normales)
    {
        EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-6);
    }
    for (std::size_t t = 0; t < fg.maillage.size(); ++t)
    {
        const auto facette = outils::Normale(fg.maillage[t]);
        for (std::size_t k = 0; k < 3; ++k)
        {
            const auto& n = fg.normales[fg.indices[3 * t + k]];
            EXPECT_GT(n[0] * facette[0] + n[1] * facette[1] + n[2] * facette[2], std::cos(M_PI / 6))
                << "triangle " << t;
        }
    }
    ASSERT_EQ(fg.modele.materials.size(), 1u);
    const tinygltf::PbrMetallicRoughness& pbr = fg.modele.materials[0].pbrMetallicRoughness;
    EXPECT_EQ(pbr.metallicFactor, 0.0);
    ASSERT_EQ(pbr.baseColorFactor.size(), 4u);
    const double attendu[4] = {c.ral != 0 ? Lineaire(ral.rouge) : 1.0, c.ral != 0 ? Lineaire(ral.vert) : 1.0,
                               c.ral != 0 ? Lineaire(ral.bleu) : 1.0, 1.0};
    for (std::size_t k = 0; k < 4; ++k)
    {
        EXPECT_NEAR(pbr.baseColorFactor[k], attendu[k], 1e-9) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ExportFormatsAllerRetour,
    ::testing::Values(
        // Six flat faces: 8 corners, each in three faces, so 4 vertices per face in glTF.
        CasFormats{"cube_ral9010", outils::Cube(10.0, {5, -2, 1}), 9010, 8, 24},
        // One smooth surface: every vertex shared.
        CasFormats{"tore_sans_couleur", Agrandi(outils::Tore(64, 32), 10.0), 0, 64 * 32, 64 * 32},
        CasFormats{"tore_ral3020", Agrandi(outils::Tore(48, 24), 25.4), 3020, 48 * 24, 48 * 24}),
    [](const ::testing::TestParamInfo<CasFormats>& info) { return std::string(info.param.nom); });

// Another program reads both files: the same triangle count, and the bounding box in millimetres
// (3MF) and in metres (glTF), within 1e-6 of the size and the six decimals `assimp info` prints.
TEST(ExportFormats, LisiblesParAssimp)
{
    if (std::system("command -v assimp > /dev/null 2>&1") != 0)
    {
        GTEST_SKIP() << "assimp is not installed";
    }
    Repertoire rep;
    outils::EcritBinaire(rep / "tore.stl", Agrandi(outils::Tore(40, 20), 10.0));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "tore.stl").c_str(), 5015, false, nullptr, nullptr));
    const auto boite = outils::Boite(outils::Triangles(scene));
    const double taille = std::max({boite[3] - boite[0], boite[4] - boite[1], boite[5] - boite[2]});
    for (const auto& [nom, echelle] : {std::pair<const char*, double>{"s.3mf", 1.0}, {"s.glb", 0.001}})
    {
        ASSERT_TRUE(scene.Export((rep / nom).c_str())) << scene.Diagnostic();
        const std::string sortie = rep / "info.txt";
        const std::string commande = "assimp info '" + (rep / nom) + "' > '" + sortie + "' 2>&1";
        EXPECT_EQ(std::system(commande.c_str()), 0) << nom;
        const std::string texte = outils::LitTout(sortie);
        EXPECT_TRUE(std::regex_search(texte, std::regex("Faces: +1600\\b"))) << nom << "\n" << texte;
        for (const auto& [ligne, decalage] :
             {std::pair<const char*, int>{"Minimum point", 0}, {"Maximum point", 3}})
        {
            std::smatch m;
            const std::string nombre = "(-?[0-9.]+)";
            ASSERT_TRUE(std::regex_search(
                texte, m,
                std::regex(std::string(ligne) + " +\\(" + nombre + " " + nombre + " " + nombre + "\\)")))
                << nom << "\n"
                << texte;
            for (int k = 0; k < 3; ++k)
            {
                EXPECT_NEAR(std::stod(m[static_cast<std::size_t>(k + 1)]),
                            echelle * boite[static_cast<std::size_t>(decalage + k)],
                            1e-6 * echelle * taille + 5e-7)
                    << nom << " " << ligne << " " << k;
            }
        }
    }
}

// The colour goes to the file only when every triangle has the same own colour.
TEST(ExportFormats, CouleurCommuneSeulement)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "a.stl", outils::Cube(10.0));
    outils::EcritBinaire(rep / "b.stl", outils::Cube(10.0, {20, 0, 0}));
    struct Cas
    {
        const char* nom;
        unsigned int premier, second;
        bool colore;
    };
    const Cas cas[] = {{"meme", 6018, 6018, true}, {"deux", 6018, 1003, false}, {"moitie", 6018, 0, false}};
    for (const Cas& c : cas)
    {
        PScene3D scene;
        ASSERT_TRUE(scene.ImportSTL((rep / "a.stl").c_str(), c.premier, false, nullptr, nullptr));
        ASSERT_TRUE(scene.ImportSTL((rep / "b.stl").c_str(), c.second, true, nullptr, nullptr));
        const std::string nom = rep / (std::string(c.nom) + ".3mf");
        ASSERT_TRUE(scene.Export(nom.c_str())) << scene.Diagnostic();
        const lecture::Fichier3MF f = lecture::Lit3MF(nom);
        ASSERT_TRUE(f.lu) << f.erreur;
        EXPECT_EQ(f.colore, c.colore) << c.nom;
        EXPECT_EQ(f.maillage.size(), 24u) << c.nom;
        const std::string glb = rep / (std::string(c.nom) + ".glb");
        ASSERT_TRUE(scene.Export(glb.c_str())) << scene.Diagnostic();
        const lecture::FichierGLB g = lecture::LitGLB(glb);
        ASSERT_TRUE(g.lu) << g.erreur;
        ASSERT_EQ(g.modele.materials.size(), 1u);
        const double vert = g.modele.materials[0].pbrMetallicRoughness.baseColorFactor.at(1);
        EXPECT_EQ(vert != 1.0, c.colore) << c.nom;
    }
}

// Without usable vertex indices, glTF gets one vertex per corner; 3MF welds positions anyway.
TEST(ExportFormats, SceneSansIndicesDeSommets)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube(10.0));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    const outils::Maillage attendu = outils::Triangles(scene);
    scene.ModeleEdition().surfaces[0].triangles[0].sommets[1].id = -1;
    ASSERT_TRUE(scene.Export((rep / "s.glb").c_str())) << scene.Diagnostic();
    const lecture::FichierGLB g = lecture::LitGLB(rep / "s.glb");
    ASSERT_TRUE(g.lu) << g.erreur;
    outils::ExpectMemeSolide(attendu, g.maillage, 1e-6);
    EXPECT_EQ(g.positions.size(), 36u);
    ASSERT_TRUE(scene.Export((rep / "s.3mf").c_str())) << scene.Diagnostic();
    const lecture::Fichier3MF f = lecture::Lit3MF(rep / "s.3mf");
    ASSERT_TRUE(f.lu) << f.erreur;
    EXPECT_EQ(f.sommets, 8u);
}

// A plan's model is in millimetres whatever the plan's unit: the L-bracket of 40 x 30 x 25 mm,
// drawn in millimetres and in inches, keeps that size in 3MF and is 0.04 x 0.03 x 0.025 m in glTF.
TEST(ExportFormats, UnPlanGardeSesMillimetres)
{
    for (const char* plan : {"piece_equerre_iso.dxf", "cadre_cartouche_pouces.dxf"})
    {
        std::unique_ptr<Zarvel3D::ZarvelAuto> a(
            Zarvel3D::ZarvelAuto::Construct(plans::Chemin(plan).c_str(), Zarvel3D::ZARVEL_TROIS_VUES));
        ASSERT_TRUE(a->ValideInit()) << a->Rapport();
        ASSERT_TRUE(a->Genere()) << a->Rapport();
        const PScene3D& scene = a->ZarvelConst()->Scene();
        Repertoire rep;
        ASSERT_TRUE(scene.Export((rep / "equerre.3mf").c_str())) << scene.Diagnostic();
        ASSERT_TRUE(scene.Export((rep / "equerre.glb").c_str())) << scene.Diagnostic();
        const lecture::Fichier3MF f = lecture::Lit3MF(rep / "equerre.3mf");
        ASSERT_TRUE(f.lu) << f.erreur;
        EXPECT_EQ(f.unite, static_cast<unsigned int>(NMR::MODELUNIT_MILLIMETER));
        const lecture::FichierGLB g = lecture::LitGLB(rep / "equerre.glb");
        ASSERT_TRUE(g.lu) << g.erreur;
        for (const outils::Maillage* m : {&f.maillage, &g.maillage})
        {
            const auto b = outils::Boite(*m);
            double etendues[3] = {b[3] - b[0], b[4] - b[1], b[5] - b[2]};
            std::sort(etendues, etendues + 3);
            EXPECT_NEAR(etendues[0], 25.0, 1e-4) << plan;
            EXPECT_NEAR(etendues[1], 30.0, 1e-4) << plan;
            EXPECT_NEAR(etendues[2], 40.0, 1e-4) << plan;
            EXPECT_NEAR(outils::Volume(*m), 12400.0, 1e-6 * 12400.0) << plan;
        }
        // Each face of a generated solid has vertices of its own: welded, the 3MF mesh is closed.
        EXPECT_TRUE(Ferme(f.indices)) << plan;
        // The model's colour is the RAL number of the default parameters.
        EXPECT_EQ(f.nom_couleur, "RAL 9010") << plan;
    }
}

// A failed export leaves an existing file as it was and no temporary file behind, in both
// formats: missing folder, read-only folder, full disk, empty scene.
TEST(ExportFormats, EchecsSansDommage)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube(10.0));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 9010, false, nullptr, nullptr));
    const std::string ancien = "contenu precedent";
    const bool administrateur = geteuid() == 0; // permissions do not stop root
    ASSERT_EQ(mkdir((rep / "lecture_seule").c_str(), 0755), 0);
    for (const char* extension : {"3mf", "glb"})
    {
        const std::string e = extension;
        outils::EcritTexte(rep / ("lecture_seule/ancien." + e), ancien);
        ASSERT_EQ(symlink("/dev/full", (rep / ("plein." + e)).c_str()), 0);
        outils::EcritTexte(rep / ("vide." + e), ancien);
    }
    ASSERT_EQ(chmod((rep / "lecture_seule").c_str(), 0555), 0);
    for (const char* extension : {"3mf", "glb"})
    {
        const std::string e = extension;
        struct Cas
        {
            std::string chemin;
            const char* attendu;
            bool ancien;
        };
        std::vector<Cas> cas = {
            {rep / ("absent/x." + e), "temporaire", false},
            {rep / ("plein." + e), "No space left on device", false},
        };
        if (!administrateur)
        {
            cas.push_back({rep / ("lecture_seule/ancien." + e), "temporaire", true});
        }
        for (const Cas& c : cas)
        {
            EXPECT_FALSE(scene.Export(c.chemin.c_str())) << c.chemin;
            EXPECT_NE(std::string(scene.Diagnostic()).find(c.attendu), std::string::npos)
                << c.chemin << ": " << scene.Diagnostic();
            if (c.ancien)
            {
                EXPECT_EQ(outils::LitTout(c.chemin), ancien) << c.chemin;
            }
        }
        PScene3D vide;
        EXPECT_FALSE(vide.Export((rep / ("vide." + e)).c_str()));
        EXPECT_NE(std::string(vide.Diagnostic()).find("aucun triangle"), std::string::npos)
            << vide.Diagnostic();
        EXPECT_EQ(outils::LitTout(rep / ("vide." + e)), ancien);
    }
    chmod((rep / "lecture_seule").c_str(), 0755);
    // Only the files made by the test remain.
    std::vector<std::string> fichiers = rep.Fichiers();
    std::sort(fichiers.begin(), fichiers.end());
    EXPECT_EQ(fichiers, (std::vector<std::string>{"cube.stl", "lecture_seule", "plein.3mf", "plein.glb",
                                                  "vide.3mf", "vide.glb"}));
    // Nor in the read-only folder, where only the old files are.
    std::vector<std::string> restes;
    if (DIR* d = opendir((rep / "lecture_seule").c_str()))
    {
        while (const dirent* entree = readdir(d))
        {
            if (entree->d_name[0] != '.')
            {
                restes.push_back(entree->d_name);
            }
        }
        closedir(d);
    }
    std::sort(restes.begin(), restes.end());
    EXPECT_EQ(restes, (std::vector<std::string>{"ancien.3mf", "ancien.glb"}));
}
