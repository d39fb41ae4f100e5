#include "maillage_outils.h"
#include "occt/zarvel_occt_module.h"
#include "scene_priv.h"
#include "zarvel3d/zarvel3d.h"

#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <TopoDS_Shape.hxx>
#include <gtest/gtest.h>

#include <GProp_GProps.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp_Explorer.hxx>
#include <cstdlib>
#include <regex>
#include <sys/stat.h>

using outils::Repertoire;
using Zarvel3D::PScene3D;

namespace
{

enum class Source
{
    Ascii,
    Binaire
};

struct AllerRetour
{
    const char* nom;
    Source source;
    outils::Maillage maillage;
};

void PrintTo(const AllerRetour& a, std::ostream* o)
{
    *o << a.nom;
}

class ExportAllerRetour : public ::testing::TestWithParam<AllerRetour>
{
};

} // namespace

// STL (ASCII or binary) -> scene -> STL, OBJ and PLY: each file read back holds the same
// triangles (count, volume, bounding box).
TEST_P(ExportAllerRetour, StlObjPly)
{
    const AllerRetour& a = GetParam();
    Repertoire rep;
    const std::string entree = rep / "entree.stl";
    if (a.source == Source::Ascii)
    {
        outils::EcritTexte(entree, outils::TexteAscii(a.maillage));
    }
    else
    {
        outils::EcritBinaire(entree, a.maillage);
    }
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL(entree.c_str(), 9010, false, nullptr, nullptr)) << scene.Diagnostic();
    const outils::Maillage lu = outils::Triangles(scene);
    // Binary STL holds floats: the source as written is the rounded mesh.
    outils::Maillage source = a.maillage;
    if (a.source == Source::Binaire)
    {
        for (auto& t : source)
        {
            for (auto& p : t)
            {
                for (double& x : p)
                {
                    x = static_cast<float>(x);
                }
            }
        }
    }
    outils::ExpectMemeSolide(source, lu, 1e-12);

    ASSERT_TRUE(scene.Export((rep / "sortie.STL").c_str())) << scene.Diagnostic();
    PScene3D relu;
    ASSERT_TRUE(relu.ImportSTL((rep / "sortie.STL").c_str(), 0, false, nullptr, nullptr));
    outils::ExpectMemeSolide(lu, outils::Triangles(relu));
    EXPECT_EQ(relu.Modele().sommets.size(), scene.Modele().sommets.size());
    EXPECT_EQ(relu.Modele().surfaces.size(), scene.Modele().surfaces.size());
    // The binary header must not make readers take the file for text.
    EXPECT_NE(outils::LitTout(rep / "sortie.STL").compare(0, 5, "solid"), 0);

    ASSERT_TRUE(scene.Export((rep / "sortie.obj").c_str())) << scene.Diagnostic();
    outils::ExpectMemeSolide(lu, outils::LitOBJ(rep / "sortie.obj"), 1e-12);

    ASSERT_TRUE(scene.Export((rep / "sortie.Ply").c_str())) << scene.Diagnostic();
    outils::ExpectMemeSolide(lu, outils::LitPLY(rep / "sortie.Ply"), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ExportAllerRetour,
    ::testing::Values(AllerRetour{"cube_ascii", Source::Ascii, outils::Cube(2.5, {-1, 3, 7.25})},
                      AllerRetour{"cube_binaire", Source::Binaire, outils::Cube(0.1, {100, 0, 0})},
                      AllerRetour{"tore_ascii", Source::Ascii, outils::Tore(30, 12)},
                      AllerRetour{"tore_binaire", Source::Binaire, outils::Tore(64, 32)}),
    [](const ::testing::TestParamInfo<AllerRetour>& info) { return std::string(info.param.nom); });

TEST(Export, ObjEtPlyDUneSceneSansIndicesDeSommets)
{
    // A scene built without vertex indices on its corners (an engine may fill only triangles):
    // the writers fall back to one vertex per corner.
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube());
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    const outils::Maillage attendu = outils::Triangles(scene);
    scene.ModeleEdition().surfaces[0].triangles[0].sommets[1].id = -1;
    ASSERT_TRUE(scene.Export((rep / "s.obj").c_str()));
    outils::ExpectMemeSolide(attendu, outils::LitOBJ(rep / "s.obj"), 1e-12);
    ASSERT_TRUE(scene.Export((rep / "s.ply").c_str()));
    outils::ExpectMemeSolide(attendu, outils::LitPLY(rep / "s.ply"), 1e-12);
}

// A failed export leaves an existing file exactly as it was, and no temporary file behind.
TEST(Export, EchecsSansDommage)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube());
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    const std::string ancien = "contenu precedent";
    struct Cas
    {
        std::string chemin;
        const char* attendu;
        bool existe; // a file is there before the export and must stay intact
    };
    mkdir((rep / "dossier.stl").c_str(), 0755);
    // A full disk: the link makes the known extension lead to the full device.
    ASSERT_EQ(symlink("/dev/full", (rep / "plein.stl").c_str()), 0);
    const Cas cas[] = {
        {rep / "x.3ds", "extension inconnue", true},
        {rep / "sans_extension", "extension inconnue", true},
        {rep / "point.d/fichier", "extension inconnue", false},
        {rep / "dossier.stl", "pas un fichier ordinaire", false},
        {rep / "absent/x.stl", "temporaire", false},
        {rep / "plein.stl", "No space left on device", false},
        {"", "Aucun fichier", false},
    };
    for (const Cas& c : cas)
    {
        if (c.existe)
        {
            outils::EcritTexte(c.chemin, ancien);
        }
        EXPECT_FALSE(scene.Export(c.chemin.c_str())) << c.chemin;
        EXPECT_NE(std::string(scene.Diagnostic()).find(c.attendu), std::string::npos)
            << c.chemin << ": " << scene.Diagnostic();
        if (c.existe)
        {
            EXPECT_EQ(outils::LitTout(c.chemin), ancien) << c.chemin;
        }
    }
    PScene3D vide;
    outils::EcritTexte(rep / "vide.stl", ancien);
    EXPECT_FALSE(vide.Export((rep / "vide.stl").c_str()));
    EXPECT_EQ(outils::LitTout(rep / "vide.stl"), ancien);
    outils::EcritTexte(rep / "x.step", ancien);
    EXPECT_FALSE(vide.Export((rep / "x.step").c_str()));
    EXPECT_NE(std::string(vide.Diagnostic()).find("ni solide"), std::string::npos) << vide.Diagnostic();
    EXPECT_EQ(outils::LitTout(rep / "x.step"), ancien);
    // Only the files made by the test remain: no temporary file is left behind.
    EXPECT_EQ(rep.Fichiers().size(), 7u);
}

TEST(Export, RemplaceUnFichierExistantEtSuitLesLiens)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube());
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    outils::EcritTexte(rep / "cible.obj", "ancien");
    chmod((rep / "cible.obj").c_str(), 0640);
    ASSERT_EQ(symlink((rep / "cible.obj").c_str(), (rep / "lien.obj").c_str()), 0);
    ASSERT_TRUE(scene.Export((rep / "lien.obj").c_str())) << scene.Diagnostic();
    struct stat etat;
    ASSERT_EQ(lstat((rep / "lien.obj").c_str(), &etat), 0);
    EXPECT_TRUE(S_ISLNK(etat.st_mode));
    ASSERT_EQ(stat((rep / "cible.obj").c_str(), &etat), 0);
    EXPECT_EQ(etat.st_mode & 0777, 0640u);
    EXPECT_EQ(outils::LitOBJ(rep / "cible.obj").size(), 12u);
    EXPECT_EQ(rep.Fichiers().size(), 3u);
    // A device is written in place, never replaced: through a link, /dev/null takes it all.
    ASSERT_EQ(symlink("/dev/null", (rep / "nul.ply").c_str()), 0);
    EXPECT_TRUE(scene.Export((rep / "nul.ply").c_str())) << scene.Diagnostic();
    ASSERT_EQ(stat("/dev/null", &etat), 0);
    EXPECT_TRUE(S_ISCHR(etat.st_mode));
}

TEST(Export, StepDUnSolide)
{
    Repertoire rep;
    PScene3D scene;
    Zarvel3D::interne::DefSolide(scene, BRepPrimAPI_MakeBox(10.0, 20.0, 30.0).Shape());
    EXPECT_TRUE(scene.ContientSolide());
    outils::EcritTexte(rep / "piece.STP", "ancien");
    ASSERT_TRUE(scene.Export((rep / "piece.STP").c_str())) << scene.Diagnostic();
    const std::string texte = outils::LitTout(rep / "piece.STP");
    EXPECT_EQ(texte.compare(0, 13, "ISO-10303-21;"), 0);
    EXPECT_NE(texte.find("MANIFOLD_SOLID_BREP"), std::string::npos);
    // The copy keeps the solid; emptying the scene removes it.
    PScene3D copie(scene);
    EXPECT_TRUE(copie.ContientSolide());
    scene.Vide();
    EXPECT_FALSE(scene.ContientSolide());
    EXPECT_FALSE(scene.Export((rep / "piece.step").c_str()));
    EXPECT_EQ(rep.Fichiers().size(), 1u);
}

namespace
{
// Reads a STEP file back with the modelling kernel: the shape, or a null one.
TopoDS_Shape LitSTEP(const std::string& chemin)
{
    STEPControl_Reader lecteur;
    if (lecteur.ReadFile(chemin.c_str()) != IFSelect_RetDone || lecteur.TransferRoots() == 0)
        return TopoDS_Shape();
    return lecteur.OneShape();
}

int Nombre(const TopoDS_Shape& forme, TopAbs_ShapeEnum type)
{
    int n = 0;
    for (TopExp_Explorer e(forme, type); e.More(); e.Next())
        ++n;
    return n;
}
} // namespace

TEST(Export, StepDUnMaillage)
{
    Repertoire rep;
    // A closed mesh becomes a valid solid, one planar face per triangle, the
    // edges shared between neighbours.
    outils::EcritBinaire(rep / "cube.stl", outils::Cube(10.0, {5, -2, 1}));
    PScene3D cube;
    ASSERT_TRUE(cube.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    ASSERT_TRUE(cube.Export((rep / "cube.step").c_str())) << cube.Diagnostic();
    const TopoDS_Shape solide = LitSTEP(rep / "cube.step");
    ASSERT_FALSE(solide.IsNull());
    EXPECT_EQ(Nombre(solide, TopAbs_SOLID), 1);
    EXPECT_EQ(Nombre(solide, TopAbs_FACE), 12);
    EXPECT_TRUE(BRepCheck_Analyzer(solide).IsValid());
    GProp_GProps proprietes;
    BRepGProp::VolumeProperties(solide, proprietes);
    EXPECT_NEAR(proprietes.Mass(), 1000.0, 1e-6);

    // An open mesh (a cube without its top) becomes a surface model.
    outils::Maillage ouvert = outils::Cube(2.0);
    ouvert.erase(ouvert.begin() + 2, ouvert.begin() + 4);
    outils::EcritBinaire(rep / "boite.stl", ouvert);
    PScene3D boite;
    ASSERT_TRUE(boite.ImportSTL((rep / "boite.stl").c_str(), 0, false, nullptr, nullptr));
    ASSERT_TRUE(boite.Export((rep / "boite.stp").c_str())) << boite.Diagnostic();
    EXPECT_NE(outils::LitTout(rep / "boite.stp").find("OPEN_SHELL"), std::string::npos);
    const TopoDS_Shape surface = LitSTEP(rep / "boite.stp");
    ASSERT_FALSE(surface.IsNull());
    EXPECT_EQ(Nombre(surface, TopAbs_SOLID), 0);
    EXPECT_EQ(Nombre(surface, TopAbs_FACE), 10);
}

// The exported files open in another program, when it is installed.
TEST(Export, LisiblesParUnAutreProgramme)
{
    if (std::system("command -v assimp > /dev/null 2>&1") != 0)
    {
        GTEST_SKIP() << "assimp is not installed";
    }
    Repertoire rep;
    outils::EcritBinaire(rep / "tore.stl", outils::Tore(20, 10));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "tore.stl").c_str(), 0, false, nullptr, nullptr));
    for (const char* nom : {"s.stl", "s.obj", "s.ply"})
    {
        ASSERT_TRUE(scene.Export((rep / nom).c_str()));
        const std::string sortie = rep / "info.txt";
        const std::string commande = "assimp info '" + (rep / nom) + "' > '" + sortie + "' 2>&1";
        EXPECT_EQ(std::system(commande.c_str()), 0) << nom;
        const std::string texte = outils::LitTout(sortie);
        EXPECT_TRUE(std::regex_search(texte, std::regex("Faces: +400\\b"))) << nom << "\n" << texte;
    }
}
