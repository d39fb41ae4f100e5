#include "maillage_outils.h"
#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using outils::Repertoire;
using Zarvel3D::PScene3D;

namespace
{

double Longueur(const Zarvel3D::Pvec3& n)
{
    return std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
}

} // namespace

TEST(ImportSTL, CubeBinaireSoudeSixSurfacesDouzeAretes)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube(2.0, {1, 1, 1}));
    PScene3D scene;
    unsigned long long progression = 99;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, &progression))
        << scene.Diagnostic();
    EXPECT_EQ(progression, 12u);
    const auto& m = scene.Modele();
    EXPECT_EQ(m.sommets.size(), 8u);
    ASSERT_EQ(m.surfaces.size(), 6u);
    EXPECT_EQ(m.segments.size(), 12u); // the face diagonals are not sharp
    for (const auto& s : m.surfaces)
    {
        EXPECT_EQ(s.triangles.size(), 2u);
        // The centre of a face of the cube [1, 3]^3 has one coordinate at 1 or 3, the others at 2.
        int sur_bord = 0;
        for (double c : {s.centre.x, s.centre.y, s.centre.z})
        {
            EXPECT_TRUE(std::fabs(c - 2) < 1e-12 || std::fabs(c - 1) < 1e-12 || std::fabs(c - 3) < 1e-12);
            sur_bord += std::fabs(c - 2) > 1e-12;
        }
        EXPECT_EQ(sur_bord, 1);
        for (const auto& t : s.triangles)
        {
            EXPECT_EQ(t.couleur.definie, 0);
            for (const auto& c : t.sommets)
            {
                ASSERT_GE(c.id, 0);
                const auto& p = m.sommets[static_cast<std::size_t>(c.id)].position;
                EXPECT_EQ(p.x, c.x);
                EXPECT_EQ(p.y, c.y);
                EXPECT_EQ(p.z, c.z);
            }
        }
    }
    for (const auto& s : m.sommets)
    {
        EXPECT_NEAR(Longueur(s.normale), 1.0, 1e-12);
        // Averaged normals of a cube's corner point away from the centre.
        EXPECT_GT((s.position.x - 2) * s.normale.x + (s.position.y - 2) * s.normale.y +
                      (s.position.z - 2) * s.normale.z,
                  0.0);
    }
    EXPECT_DOUBLE_EQ(scene.Centre().x, 2.0);
    EXPECT_DOUBLE_EQ(scene.Centre().z, 2.0);
    EXPECT_DOUBLE_EQ(scene.EchelleAffichage(), 0.5);
    EXPECT_STREQ(scene.Diagnostic(), "");
}

TEST(ImportSTL, BinaireCommencantParSolid)
{
    Repertoire rep;
    // The header of many binary writers begins with "solid"; the size tells the truth.
    outils::EcritBinaire(rep / "b.stl", outils::Cube(), true, "solid facet endsolid");
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "b.stl").c_str(), 0, false, nullptr, nullptr)) << scene.Diagnostic();
    EXPECT_EQ(scene.NombreTriangles(), 12u);
}

TEST(ImportSTL, NormalesNullesRecalculees)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "b.stl", outils::Cube(), false);
    outils::EcritTexte(rep / "a.stl", outils::TexteAscii(outils::Cube(), false));
    for (const char* nom : {"a.stl", "b.stl"})
    {
        PScene3D scene;
        ASSERT_TRUE(scene.ImportSTL((rep / nom).c_str(), 0, false, nullptr, nullptr)) << nom;
        for (const auto& s : scene.Modele().surfaces)
        {
            for (const auto& t : s.triangles)
            {
                EXPECT_NEAR(Longueur(t.normale), 1.0, 1e-12) << nom;
                // Outward: the normal points from the centre of the cube towards the facet.
                const double cx = (t.sommets[0].x + t.sommets[1].x + t.sommets[2].x) / 3 - 0.5;
                const double cy = (t.sommets[0].y + t.sommets[1].y + t.sommets[2].y) / 3 - 0.5;
                const double cz = (t.sommets[0].z + t.sommets[1].z + t.sommets[2].z) / 3 - 0.5;
                EXPECT_GT(cx * t.normale.x + cy * t.normale.y + cz * t.normale.z, 0.0) << nom;
            }
        }
    }
}

TEST(ImportSTL, SurfaceLisseEtBordDeMaillageOuvert)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "tore.stl", outils::Tore(48, 24));
    PScene3D tore;
    ASSERT_TRUE(tore.ImportSTL((rep / "tore.stl").c_str(), 0, false, nullptr, nullptr));
    EXPECT_EQ(tore.Modele().surfaces.size(), 1u);
    EXPECT_EQ(tore.Modele().segments.size(), 0u);
    EXPECT_EQ(tore.Modele().sommets.size(), 48u * 24u);

    // An open square of two triangles: one surface, its four sides as boundary segments.
    outils::Maillage carre = {{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}}, {{{0, 0, 0}, {1, 1, 0}, {0, 1, 0}}}};
    outils::EcritBinaire(rep / "carre.stl", carre);
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "carre.stl").c_str(), 0, false, nullptr, nullptr));
    EXPECT_EQ(scene.Modele().surfaces.size(), 1u);
    ASSERT_EQ(scene.Modele().segments.size(), 4u);
    for (const auto& s : scene.Modele().segments)
    {
        // No segment is the diagonal from (0,0) to (1,1).
        EXPECT_NE(std::fabs(s.p1.x - s.p2.x) + std::fabs(s.p1.y - s.p2.y), 2.0);
        EXPECT_GE(s.p1.id, 0);
        EXPECT_GE(s.p2.id, 0);
    }
    // A flat scene still gets a finite, non-zero scale.
    EXPECT_DOUBLE_EQ(scene.EchelleAffichage(), 1.0);
}

TEST(ImportSTL, AngleDiedreSeuil)
{
    // Two triangles folded along x = 0 by an angle just below and just above the threshold.
    Repertoire rep;
    const double seuil = PScene3D::AngleAretesVives() * M_PI / 180.0;
    for (double ecart : {-0.01, 0.01})
    {
        const double a = seuil + ecart;
        outils::Maillage pli = {{{{0, 0, 0}, {0, 1, 0}, {-1, 0.5, 0}}},
                                {{{0, 1, 0}, {0, 0, 0}, {std::cos(a), 0.5, std::sin(a)}}}};
        outils::EcritTexte(rep / "pli.stl", outils::TexteAscii(pli));
        PScene3D scene;
        ASSERT_TRUE(scene.ImportSTL((rep / "pli.stl").c_str(), 0, false, nullptr, nullptr));
        EXPECT_EQ(scene.Modele().surfaces.size(), ecart < 0 ? 1u : 2u) << ecart;
        EXPECT_EQ(scene.Modele().segments.size(), ecart < 0 ? 4u : 5u) << ecart;
    }
}

TEST(ImportSTL, AsciiToleranceDesEcrivains)
{
    Repertoire rep;
    // Upper-case keywords, a name with any bytes, '+' signs and exponents, -0 welded with 0,
    // two solids in one file, a facet of four corners (two triangles) and one whose last corner
    // is repeated (one triangle).
    const std::string texte =
        "SOLID Nom \xff\xfe bizarre\n"
        "FACET NORMAL 0 0 1\n OUTER LOOP\n VERTEX 0 0 0\n VERTEX +1e0 0 0\n VERTEX 1 1 0\n"
        " ENDLOOP\nENDFACET\nENDSOLID Nom\n"
        "solid deux\n facet normal 0 0 0\n outer loop\n vertex -0 0 0\n vertex 1 1 0\n"
        " vertex 0 1 0\n vertex -1 1 0\n endloop\n endfacet\n"
        " facet normal 0 0 0\n outer loop\n vertex 5 5 5\n vertex 6 5 5\n vertex 6 6 5\n"
        " vertex 6 6 5\n endloop\n endfacet\nendsolid\n";
    outils::EcritTexte(rep / "a.stl", texte);
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "a.stl").c_str(), 0, false, nullptr, nullptr)) << scene.Diagnostic();
    EXPECT_EQ(scene.NombreTriangles(), 4u);
    EXPECT_EQ(scene.Modele().sommets.size(), 8u);
}

TEST(ImportSTL, FichiersSansTailleConnue)
{
    // A pipe has no size: it is read into a growing buffer.
    outils::Repertoire rep;
    const std::string tube = rep / "tube.stl";
    ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);
    const std::string texte = outils::TexteAscii(outils::Cube(3.0));
    std::thread ecrivain(
        [&]()
        {
            FILE* f = std::fopen(tube.c_str(), "w");
            if (f != nullptr)
            {
                std::fwrite(texte.data(), 1, texte.size(), f);
                std::fclose(f);
            }
        });
    Zarvel3D::PScene3D scene;
    const bool lu = scene.ImportSTL(tube.c_str(), 0, false, nullptr, nullptr);
    ecrivain.join();
    ASSERT_TRUE(lu) << scene.Diagnostic();
    EXPECT_EQ(scene.NombreTriangles(), 12u);

    // A regular file that reports a size of 0 but has content (the files of
    // /proc) must be read safely, and here refused as not STL.
    Zarvel3D::PScene3D autre;
    EXPECT_FALSE(autre.ImportSTL("/proc/self/status", 0, false, nullptr, nullptr));
    EXPECT_NE(std::string(autre.Diagnostic()).find("STL"), std::string::npos) << autre.Diagnostic();
    EXPECT_EQ(autre.NombreTriangles(), 0u);
}

TEST(ImportSTL, CouleurRAL)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube());
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 3020, false, nullptr, nullptr));
    const auto& t = scene.Modele().surfaces[0].triangles[0];
    EXPECT_EQ(t.couleur.definie, 1);
    EXPECT_EQ(t.couleur.rouge, 204);
    EXPECT_EQ(t.couleur.vert, 6);
    EXPECT_EQ(t.couleur.bleu, 5);
    // A number outside the table fails and leaves the scene as it was.
    EXPECT_FALSE(scene.ImportSTL((rep / "cube.stl").c_str(), 1234, false, nullptr, nullptr));
    EXPECT_NE(std::string(scene.Diagnostic()).find("1234"), std::string::npos);
    EXPECT_EQ(scene.Modele().surfaces[0].triangles[0].couleur.rouge, 204);
}

TEST(ImportSTL, AjoutDecaleLesIndices)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "a.stl", outils::Cube());
    outils::EcritBinaire(rep / "b.stl", outils::Cube(1.0, {5, 0, 0}));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "a.stl").c_str(), 0, false, nullptr, nullptr));
    ASSERT_TRUE(scene.ImportSTL((rep / "b.stl").c_str(), 0, true, nullptr, nullptr));
    const auto& m = scene.Modele();
    EXPECT_EQ(m.sommets.size(), 16u);
    EXPECT_EQ(m.surfaces.size(), 12u);
    EXPECT_EQ(m.segments.size(), 24u);
    const auto& t = m.surfaces[11].triangles[1];
    for (const auto& c : t.sommets)
    {
        ASSERT_GE(c.id, 8);
        EXPECT_EQ(m.sommets[static_cast<std::size_t>(c.id)].position.x, c.x);
    }
    EXPECT_DOUBLE_EQ(scene.Centre().x, 3.0);
    EXPECT_DOUBLE_EQ(scene.EchelleAffichage(), 1.0 / 6.0);
    // Without appending, the model is replaced.
    ASSERT_TRUE(scene.ImportSTL((rep / "a.stl").c_str(), 0, false, nullptr, nullptr));
    EXPECT_EQ(scene.Modele().sommets.size(), 8u);
}

TEST(ImportSTL, AnnulationLaisseLaScene)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube());
    outils::EcritBinaire(rep / "tore.stl", outils::Tore(40, 20));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    bool annulation = true;
    EXPECT_FALSE(scene.ImportSTL((rep / "tore.stl").c_str(), 0, false, &annulation, nullptr));
    EXPECT_EQ(scene.NombreTriangles(), 12u);
    EXPECT_NE(std::string(scene.Diagnostic()).find("annul"), std::string::npos);
    annulation = false;
    EXPECT_TRUE(scene.ImportSTL((rep / "tore.stl").c_str(), 0, false, &annulation, nullptr));
    EXPECT_EQ(scene.NombreTriangles(), 1600u);
}

TEST(ImportSTL, DiagnosticSelonLaLangue)
{
    PScene3D scene;
    Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_EN);
    EXPECT_FALSE(scene.ImportSTL("/nonexistent/x.stl", 0, false, nullptr, nullptr));
    EXPECT_EQ(std::string(scene.Diagnostic()), "File '/nonexistent/x.stl' not found.");
    EXPECT_STREQ(Zarvel3D::Diagnostic(), scene.Diagnostic());
    Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_FR);
    EXPECT_FALSE(scene.ImportSTL("/nonexistent/x.stl", 0, false, nullptr, nullptr));
    EXPECT_EQ(std::string(scene.Diagnostic()), "Fichier '/nonexistent/x.stl' introuvable.");
    // An unknown language selects French.
    Zarvel3D::i18n::defLangue(static_cast<Zarvel3D::i18n::lang_z3d_t>(7));
    EXPECT_EQ(Zarvel3D::i18n::Langue(), Zarvel3D::i18n::LANG_FR);
}

// Every invalid input: a clear failure, a diagnostic naming the fault, and the scene unchanged.
struct EntreeInvalide
{
    const char* nom;
    std::string contenu; // written to the file unless the case prepares its own path
    const char* attendu; // fragment of the (French) diagnostic
};

void PrintTo(const EntreeInvalide& e, std::ostream* o)
{
    *o << e.nom;
}

class ImportSTLInvalide : public ::testing::TestWithParam<EntreeInvalide>
{
};

namespace
{

std::string Binaire(std::uint32_t annonce, std::size_t triangles, float valeur = 1.0f)
{
    std::string s(80, ' ');
    s.append(reinterpret_cast<const char*>(&annonce), 4);
    for (std::size_t i = 0; i < triangles; ++i)
    {
        const float v[12] = {0, 0, 1, 0, 0, 0, valeur, 0, 0, 0, 1, 0};
        s.append(reinterpret_cast<const char*>(v), sizeof v);
        s.append(2, '\0');
    }
    return s;
}

const std::string facette = " facet normal 0 0 1\n  outer loop\n   vertex 0 0 0\n   vertex 1 0 0\n"
                            "   vertex 0 1 0\n  endloop\n endfacet\n";

} // namespace

TEST_P(ImportSTLInvalide, EchecClairSceneIntacte)
{
    const EntreeInvalide& e = GetParam();
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube(3.0));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    std::string chemin = rep / "entree.stl";
    if (std::string(e.nom) == "absent")
    {
        chemin = rep / "absent.stl";
    }
    else if (std::string(e.nom) == "repertoire")
    {
        chemin = rep.Chemin();
    }
    else if (std::string(e.nom) == "chemin_vide")
    {
        chemin.clear();
    }
    else
    {
        outils::EcritTexte(chemin, e.contenu);
    }
    unsigned long long progression = 0;
    EXPECT_FALSE(scene.ImportSTL(chemin.c_str(), 9010, false, nullptr, &progression));
    const std::string diagnostic = scene.Diagnostic();
    EXPECT_NE(diagnostic.find(e.attendu), std::string::npos) << diagnostic;
    EXPECT_EQ(diagnostic, Zarvel3D::Diagnostic());
    EXPECT_EQ(scene.NombreTriangles(), 12u);
    EXPECT_EQ(scene.Modele().sommets.size(), 8u);
    EXPECT_EQ(scene.Modele().surfaces[0].triangles[0].couleur.definie, 0);
    EXPECT_DOUBLE_EQ(scene.EchelleAffichage(), 1.0 / 3.0);
}

INSTANTIATE_TEST_SUITE_P(
    ToutesLesEntrees, ImportSTLInvalide,
    ::testing::Values(
        EntreeInvalide{"absent", "", "introuvable"}, EntreeInvalide{"repertoire", "", "répertoire"},
        EntreeInvalide{"chemin_vide", "", "Aucun fichier"}, EntreeInvalide{"vide", "", "vide"},
        EntreeInvalide{"trop_court", "xyz", "pas un fichier STL"},
        EntreeInvalide{"trop_court_binaire", std::string("\0\1\2", 3), "pas un fichier STL"},
        EntreeInvalide{"en_tete_seul", Binaire(0, 0), "aucun triangle"},
        // The count is read from the header but never believed without the size.
        EntreeInvalide{"compte_enorme", Binaire(0xFFFFFFFFu, 2), "tronqué au triangle 3"},
        EntreeInvalide{"binaire_tronque", Binaire(5, 4) + std::string(20, '\0'), "tronqué au triangle 5"},
        EntreeInvalide{"octets_en_trop", Binaire(2, 2) + "x", "fait 185 octets"},
        EntreeInvalide{"nan_binaire", Binaire(3, 3, std::nanf("")), "non finie"},
        EntreeInvalide{"infini_binaire", Binaire(1, 1, INFINITY), "non finie"},
        EntreeInvalide{"ascii_tronque_dans_facette", "solid t\n" + facette + facette.substr(0, 60),
                       "tronqué au triangle 2"},
        EntreeInvalide{"ascii_sans_endsolid", "solid t\n" + facette + facette, "tronqué au triangle 3"},
        EntreeInvalide{"ascii_nan", "solid t\n facet normal 0 0 1\n outer loop\n vertex nan 0 0\n",
                       "non finie"},
        EntreeInvalide{"ascii_infini", "solid t\n facet normal 0 0 1\n outer loop\n vertex 0 1e999 0\n",
                       "non finie"},
        // Finite as a double, beyond the float of the format: every export would write it infinite.
        EntreeInvalide{"ascii_hors_flottant",
                       "solid t\n facet normal 0 0 1\n outer loop\n vertex 0 0 -1e39\n",
                       "hors de la simple précision"},
        EntreeInvalide{"ascii_sans_endloop",
                       "solid t\n" + facette.substr(0, facette.find("  endloop")) + " endfacet\n",
                       "« endloop » attendu"},
        EntreeInvalide{"ascii_sans_triangle", "solid vide\nendsolid vide\n", "aucun triangle"},
        EntreeInvalide{"ascii_coordonnee_illisible",
                       "solid t\n facet normal 0 0 1\n outer loop\n vertex 0 0 blah\n", "ligne 4"},
        EntreeInvalide{"ascii_deux_sommets",
                       "solid t\n facet normal 0 0 1\n outer loop\n vertex 0 0 0\n vertex 1 0 0\n"
                       " endloop\n endfacet\nendsolid t\n",
                       "vertex"},
        EntreeInvalide{
            "texte_quelconque",
            "bonjour, ceci n'est pas un maillage STL du tout, non non non non non non non non non non",
            "pas un fichier STL"}),
    [](const ::testing::TestParamInfo<EntreeInvalide>& info) { return std::string(info.param.nom); });

namespace
{

// Large files are read through a window of this many bytes that moves along them.
constexpr std::size_t fenetre = std::size_t(1) << 20;

// A mesh whose coordinates are floats, so that ASCII and binary files hold the same values.
outils::Maillage EnFlottants(outils::Maillage m)
{
    for (auto& t : m)
    {
        for (auto& p : t)
        {
            for (double& x : p)
            {
                x = static_cast<float>(x);
            }
        }
    }
    return m;
}

// The whole model as numbers, for comparing two imports.
std::vector<double> Contenu(const PScene3D& scene)
{
    std::vector<double> v;
    const Zarvel3D::PModele3D& m = scene.Modele();
    for (const auto& s : m.sommets)
    {
        v.insert(v.end(), {s.position.x, s.position.y, s.position.z, s.normale.x, s.normale.y, s.normale.z});
    }
    for (const auto& s : m.segments)
    {
        v.insert(v.end(), {double(s.p1.id), double(s.p2.id)});
    }
    for (const auto& s : m.surfaces)
    {
        v.insert(v.end(), {double(s.triangles.size()), s.centre.x, s.centre.y, s.centre.z});
        for (const auto& t : s.triangles)
        {
            v.insert(v.end(), {double(t.sommets[0].id), double(t.sommets[1].id), double(t.sommets[2].id),
                               t.normale.x, t.normale.y, t.normale.z});
        }
    }
    return v;
}

// Where the first window of a file ends inside one long number of a vertex.
struct Coupure
{
    const char* nom;
    std::string nombre; // the number's text
    std::size_t avant;  // bytes of it inside the first window
    double valeur;
};

void PrintTo(const Coupure& c, std::ostream* o)
{
    *o << c.nom;
}

class ImportSTLFenetre : public ::testing::TestWithParam<Coupure>
{
};

} // namespace

// A large file is read window by window: the same mesh read through a pipe (whole, in one
// buffer), from a regular ASCII file and from a regular binary file gives the same model.
TEST(ImportSTL, GrandsFichiersLusParFenetres)
{
    Repertoire rep;
    const outils::Maillage tore = EnFlottants(outils::Tore(150, 80));
    const std::string texte = outils::TexteAscii(tore, false);
    ASSERT_GT(texte.size(), 3 * fenetre);
    outils::EcritTexte(rep / "tore_ascii.stl", texte);
    outils::EcritBinaire(rep / "tore.stl", tore, false);
    const std::string tube = rep / "tube.stl";
    ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);
    std::thread ecrivain(
        [&]()
        {
            FILE* f = std::fopen(tube.c_str(), "w");
            if (f != nullptr)
            {
                std::fwrite(texte.data(), 1, texte.size(), f);
                std::fclose(f);
            }
        });
    PScene3D par_tube;
    const bool lu = par_tube.ImportSTL(tube.c_str(), 0, false, nullptr, nullptr);
    ecrivain.join();
    ASSERT_TRUE(lu) << par_tube.Diagnostic();
    PScene3D ascii, binaire;
    ASSERT_TRUE(ascii.ImportSTL((rep / "tore_ascii.stl").c_str(), 0, false, nullptr, nullptr))
        << ascii.Diagnostic();
    ASSERT_TRUE(binaire.ImportSTL((rep / "tore.stl").c_str(), 0, false, nullptr, nullptr))
        << binaire.Diagnostic();
    EXPECT_EQ(ascii.NombreTriangles(), tore.size());
    EXPECT_EQ(ascii.Modele().sommets.size(), 150u * 80u);
    EXPECT_TRUE(Contenu(ascii) == Contenu(par_tube));
    EXPECT_TRUE(Contenu(binaire) == Contenu(par_tube));
    EXPECT_EQ(ascii.Centre().x, par_tube.Centre().x);
    EXPECT_EQ(binaire.EchelleAffichage(), par_tube.EchelleAffichage());
}

// A large binary file whose last triangle is cut, or that has bytes after its triangles, is
// refused with the diagnostic of a file read whole.
TEST(ImportSTL, GrandBinaireTronqueOuTropLong)
{
    Repertoire rep;
    const outils::Maillage tore = outils::Tore(150, 80);
    outils::EcritBinaire(rep / "tore.stl", tore);
    std::string octets = outils::LitTout(rep / "tore.stl");
    ASSERT_GT(octets.size(), fenetre);
    outils::EcritTexte(rep / "tronque.stl", octets.substr(0, octets.size() - 7));
    outils::EcritTexte(rep / "long.stl", octets + "xyz");
    PScene3D scene;
    EXPECT_FALSE(scene.ImportSTL((rep / "tronque.stl").c_str(), 0, false, nullptr, nullptr));
    EXPECT_NE(std::string(scene.Diagnostic()).find("24000"), std::string::npos) << scene.Diagnostic();
    EXPECT_FALSE(scene.ImportSTL((rep / "long.stl").c_str(), 0, false, nullptr, nullptr));
    EXPECT_NE(std::string(scene.Diagnostic()).find(std::to_string(octets.size() + 3)), std::string::npos)
        << scene.Diagnostic();
    EXPECT_EQ(scene.NombreTriangles(), 0u);
}

// Whatever part of a number the first window ends in, the number is read whole.
TEST_P(ImportSTLFenetre, NombreCoupeLuEntier)
{
    const Coupure& c = GetParam();
    const std::string debut = "solid coupe\n facet normal 0 0 1\n  outer loop\n   vertex ";
    ASSERT_LT(debut.size() + c.avant, fenetre);
    // Blanks before the number put its first `avant` bytes at the end of the first window.
    std::string texte = debut + std::string(fenetre - debut.size() - c.avant, ' ') + c.nombre;
    ASSERT_EQ(texte.size() - c.nombre.size() + c.avant, fenetre);
    texte += " 0 0\n   vertex 1 0 0\n   vertex 0 1 0\n  endloop\n endfacet\nendsolid coupe\n";
    Repertoire rep;
    outils::EcritTexte(rep / "coupe.stl", texte);
    PScene3D scene;
    Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_EN);
    const bool lu = scene.ImportSTL((rep / "coupe.stl").c_str(), 0, false, nullptr, nullptr);
    Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_FR);
    if (std::isinf(c.valeur))
    {
        // Read whole, the number is beyond any double: an infinite coordinate, refused as such
        // (a part of it would be a finite number too large for a float).
        EXPECT_FALSE(lu);
        EXPECT_NE(std::string(scene.Diagnostic()).find("non-finite"), std::string::npos)
            << scene.Diagnostic();
        return;
    }
    ASSERT_TRUE(lu) << scene.Diagnostic();
    ASSERT_EQ(scene.Modele().sommets.size(), 3u);
    EXPECT_EQ(scene.Modele().sommets[0].position.x, c.valeur);
}

INSTANTIATE_TEST_SUITE_P(
    Coupures, ImportSTLFenetre,
    ::testing::Values(Coupure{"CourtDansLaMantisse", "15e-1", 1, 1.5},
                      Coupure{"CourtApresE", "15e-1", 3, 1.5},
                      Coupure{"LongDansLaMantisse", "1.5" + std::string(300, '0') + "e-3", 150, 0.0015},
                      Coupure{"LongApresE", "1.5" + std::string(300, '0') + "e-3", 304, 0.0015},
                      Coupure{"LongApresESigne", "1.5" + std::string(300, '0') + "e-3", 305, 0.0015},
                      Coupure{"LongEntier", "1.5" + std::string(300, '0') + "e-3", 306, 0.0015},
                      Coupure{"LongHorsDomaine", "1" + std::string(400, '0') + "e999", 200,
                              std::numeric_limits<double>::infinity()}),
    [](const ::testing::TestParamInfo<Coupure>& info) { return std::string(info.param.nom); });
