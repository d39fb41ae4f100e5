#include "maillage_outils.h"
#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using outils::Repertoire;
using Zarvel3D::PScene3D;

namespace
{

// A generated mesh written in one STL form.
struct MaillageEcrit
{
    const char* nom;
    bool ascii;
    bool normales;
    outils::Maillage maillage;
};

void PrintTo(const MaillageEcrit& m, std::ostream* o)
{
    *o << m.nom;
}

outils::Maillage Melange(outils::Maillage m, unsigned int graine)
{
    std::mt19937 aleatoire(graine);
    std::shuffle(m.begin(), m.end(), aleatoire);
    return m;
}

// A torus whose vertices are moved off the grid (seeded), so that coordinates are not round.
outils::Maillage ToreBruite(int nu, int nv)
{
    outils::Maillage m = outils::Tore(nu, nv);
    std::mt19937 aleatoire(7);
    std::uniform_real_distribution<double> bruit(-0.002, 0.002);
    // The same point gets the same offset wherever it appears, so the mesh stays closed.
    std::vector<std::pair<std::array<double, 3>, std::array<double, 3>>> deplaces;
    for (auto& t : m)
    {
        for (auto& p : t)
        {
            auto trouve =
                std::find_if(deplaces.begin(), deplaces.end(), [&](const auto& d) { return d.first == p; });
            if (trouve == deplaces.end())
            {
                std::array<double, 3> q = p;
                for (double& x : q)
                {
                    x += bruit(aleatoire);
                }
                deplaces.emplace_back(p, q);
                trouve = deplaces.end() - 1;
            }
            p = trouve->second;
        }
    }
    return m;
}

// Several things an import must get right at once: an open boundary, an edge of three
// triangles, a degenerate triangle and a sharp fold.
outils::Maillage Particularites()
{
    outils::Maillage m = {{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},   {{{1, 0, 0}, {0, 0, 0}, {0, -1, 0}}},
                          {{{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}},   {{{0, 1, 0}, {0, 1, 0}, {1, 1, 1}}},
                          {{{1, 0, 0}, {1, 1, 0.1}, {0, 1, 0}}}, {{{2, 2, 2}, {3, 2, 2}, {2, 3, 2.5}}}};
    return m;
}

class MaillageSceneExport : public ::testing::TestWithParam<MaillageEcrit>
{
};

} // namespace

// An imported scene writes its files from the compact mesh; once its model is taken for editing
// it writes them from the model, as generated scenes do. Both must give the same bytes.
TEST_P(MaillageSceneExport, MemesOctetsQueDepuisLeModele)
{
    const MaillageEcrit& cas = GetParam();
    Repertoire rep;
    const std::string entree = rep / "entree.stl";
    if (cas.ascii)
    {
        outils::EcritTexte(entree, outils::TexteAscii(cas.maillage, cas.normales));
    }
    else
    {
        outils::EcritBinaire(entree, cas.maillage, cas.normales);
    }
    PScene3D importee;
    ASSERT_TRUE(importee.ImportSTL(entree.c_str(), 3020, false, nullptr, nullptr)) << importee.Diagnostic();
    PScene3D editee(importee);
    editee.ModeleEdition(); // takes the model over: the exports now read it
    EXPECT_EQ(editee.NombreTriangles(), importee.NombreTriangles());
    EXPECT_EQ(importee.NombreTriangles(), cas.maillage.size());
    for (const char* extension : {"stl", "obj", "ply"})
    {
        SCOPED_TRACE(extension);
        const std::string depuis_maillage = rep / (std::string("maillage.") + extension);
        const std::string depuis_modele = rep / (std::string("modele.") + extension);
        ASSERT_TRUE(importee.Export(depuis_maillage.c_str())) << importee.Diagnostic();
        ASSERT_TRUE(editee.Export(depuis_modele.c_str())) << editee.Diagnostic();
        const std::string a = outils::LitTout(depuis_maillage);
        const std::string b = outils::LitTout(depuis_modele);
        EXPECT_GT(a.size(), 84u);
        EXPECT_TRUE(a == b) << "sizes " << a.size() << " and " << b.size();
    }
}

INSTANTIATE_TEST_SUITE_P(
    MaillagesGeneres, MaillageSceneExport,
    ::testing::Values(MaillageEcrit{"ToreBinaire", false, true, ToreBruite(40, 24)},
                      MaillageEcrit{"ToreAsciiSansNormales", true, false, ToreBruite(24, 16)},
                      MaillageEcrit{"CubesMelangesBinaire", false, true,
                                    Melange(outils::Cube(2.5, {0.1, 0.2, 0.3}), 3)},
                      MaillageEcrit{"CubesMelangesAscii", true, true,
                                    []
                                    {
                                        outils::Maillage m = outils::Cube(0.7, {0.1, 0.2, 0.3});
                                        const outils::Maillage b = outils::Cube(1.0, {5, 0, 0});
                                        m.insert(m.end(), b.begin(), b.end());
                                        return Melange(m, 11);
                                    }()},
                      MaillageEcrit{"ParticularitesBinaire", false, false, Particularites()},
                      MaillageEcrit{"ParticularitesAscii", true, true, Particularites()}),
    [](const ::testing::TestParamInfo<MaillageEcrit>& info) { return std::string(info.param.nom); });

// Surfaces come in the order of their first triangle in the file, and each keeps its triangles
// in file order, however the file interleaves them.
TEST(MaillageScene, SurfacesDansLOrdreDuFichier)
{
    Repertoire rep;
    const outils::Maillage melange = Melange(outils::Cube(2.0), 5);
    outils::EcritBinaire(rep / "cube.stl", melange);
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    const Zarvel3D::PModele3D& m = scene.Modele();
    ASSERT_EQ(m.surfaces.size(), 6u);
    EXPECT_EQ(m.segments.size(), 12u);
    EXPECT_EQ(m.sommets.size(), 8u);
    auto place = [&](const Zarvel3D::PTriangle3D& t)
    {
        for (std::size_t i = 0; i < melange.size(); ++i)
        {
            bool meme = true;
            for (int c = 0; c < 3; ++c)
            {
                meme = meme && melange[i][c][0] == t.sommets[c].x && melange[i][c][1] == t.sommets[c].y &&
                       melange[i][c][2] == t.sommets[c].z;
            }
            if (meme)
            {
                return static_cast<long>(i);
            }
        }
        return -1L;
    };
    long premier_precedent = -1;
    for (const Zarvel3D::PSurface3D& s : m.surfaces)
    {
        ASSERT_EQ(s.triangles.size(), 2u);
        const long a = place(s.triangles[0]);
        const long b = place(s.triangles[1]);
        ASSERT_GE(a, 0);
        EXPECT_LT(a, b);
        EXPECT_GT(a, premier_precedent);
        premier_precedent = a;
        for (const Zarvel3D::PTriangle3D& t : s.triangles)
        {
            for (const Zarvel3D::Pvec3& c : t.sommets)
            {
                ASSERT_GE(c.id, 0);
                ASSERT_LT(static_cast<std::size_t>(c.id), m.sommets.size());
                EXPECT_EQ(m.sommets[static_cast<std::size_t>(c.id)].position.x, c.x);
            }
        }
    }
}

// The model an imported scene derives is shared by its copies like any content, and the scene
// that holds it alone edits it in place.
TEST(MaillageScene, ModeleDerivePartageEtEditeSurPlace)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube(3.0));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    {
        PScene3D copie(scene);
        EXPECT_EQ(&copie.Modele(), &scene.Modele());
        copie.ModeleEdition().sommets[0].visible = 0;
        EXPECT_NE(&copie.Modele(), &scene.Modele());
        EXPECT_EQ(scene.Modele().sommets[0].visible, 1);
        EXPECT_EQ(copie.Modele().sommets[0].visible, 0);
    }
    const Zarvel3D::PModele3D* modele = &scene.Modele();
    const Zarvel3D::PSommet3D* sommets = scene.Modele().sommets.data();
    scene.ModeleEdition().sommets[1].visible = 0;
    EXPECT_EQ(&scene.Modele(), modele);
    EXPECT_EQ(scene.Modele().sommets.data(), sommets);
    EXPECT_EQ(scene.Modele().sommets[1].visible, 0);
    EXPECT_EQ(scene.NombreTriangles(), 12u);
    scene.Vide();
    EXPECT_EQ(scene.NombreTriangles(), 0u);
    EXPECT_TRUE(scene.Modele().surfaces.empty());
}

// A file without normals gets the normals of its corners, kept at single precision: the model
// and every export see the same float values.
TEST(MaillageScene, NormalesRecalculeesEnSimplePrecision)
{
    Repertoire rep;
    const outils::Maillage tore = ToreBruite(24, 16);
    outils::EcritTexte(rep / "tore.stl", outils::TexteAscii(tore, false));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "tore.stl").c_str(), 0, false, nullptr, nullptr));
    const Zarvel3D::PModele3D& m = scene.Modele();
    std::size_t vus = 0;
    for (const Zarvel3D::PSurface3D& s : m.surfaces)
    {
        for (const Zarvel3D::PTriangle3D& t : s.triangles)
        {
            const outils::Triangle coins = {{{t.sommets[0].x, t.sommets[0].y, t.sommets[0].z},
                                             {t.sommets[1].x, t.sommets[1].y, t.sommets[1].z},
                                             {t.sommets[2].x, t.sommets[2].y, t.sommets[2].z}}};
            const std::array<double, 3> attendue = outils::Normale(coins);
            const double n[3] = {t.normale.x, t.normale.y, t.normale.z};
            for (int k = 0; k < 3; ++k)
            {
                ASSERT_EQ(static_cast<double>(static_cast<float>(n[k])), n[k]) << "component " << k;
                ASSERT_NEAR(n[k], attendue[static_cast<std::size_t>(k)], 1e-6);
            }
            ++vus;
        }
    }
    EXPECT_EQ(vus, tore.size());
}

// The public view of the compact arrays gives, element for element, the model the scene derives
// from them: vertices, normals, surfaces in order, centres, edges and colour.
TEST(MaillageScene, VueCompacteCommeLeModele)
{
    Repertoire rep;
    outils::Maillage cubes = outils::Cube(2.0);
    const outils::Maillage second = outils::Cube(1.0, {5, 0, 0});
    cubes.insert(cubes.end(), second.begin(), second.end());
    outils::EcritBinaire(rep / "tore.stl", ToreBruite(24, 16));
    outils::EcritTexte(rep / "cubes.stl", outils::TexteAscii(Melange(cubes, 3), false));
    outils::EcritBinaire(rep / "particularites.stl", Particularites(), false);
    for (const char* nom : {"tore.stl", "cubes.stl", "particularites.stl"})
    {
        SCOPED_TRACE(nom);
        PScene3D scene;
        ASSERT_TRUE(scene.ImportSTL((rep / nom).c_str(), std::string(nom) == "cubes.stl" ? 9010 : 0, false,
                                    nullptr, nullptr));
        Zarvel3D::PMaillage3D vue;
        ASSERT_TRUE(scene.Maillage(vue));
        // Counted before the model exists, then compared with it.
        EXPECT_EQ(scene.NombreSommets(), vue.nombre_sommets);
        EXPECT_EQ(scene.NombreSegments(), vue.nombre_segments);
        EXPECT_EQ(scene.NombreSurfaces(), vue.nombre_surfaces);
        const Zarvel3D::PModele3D& m = scene.Modele();
        ASSERT_EQ(vue.nombre_sommets, m.sommets.size());
        ASSERT_EQ(vue.nombre_surfaces, m.surfaces.size());
        ASSERT_EQ(vue.nombre_segments, m.segments.size());
        ASSERT_EQ(vue.nombre_triangles, scene.NombreTriangles());
        for (std::size_t v = 0; v < vue.nombre_sommets; ++v)
        {
            double n[3];
            vue.NormaleSommet(v, n);
            const Zarvel3D::PSommet3D& s = m.sommets[v];
            ASSERT_EQ(vue.positions[3 * v], s.position.x);
            ASSERT_EQ(vue.positions[3 * v + 1], s.position.y);
            ASSERT_EQ(vue.positions[3 * v + 2], s.position.z);
            ASSERT_EQ(n[0], s.normale.x);
            ASSERT_EQ(n[1], s.normale.y);
            ASSERT_EQ(n[2], s.normale.z);
        }
        std::size_t places = 0;
        for (std::size_t s = 0; s < vue.nombre_surfaces; ++s)
        {
            const Zarvel3D::PSurface3D& surface = m.surfaces[s];
            EXPECT_EQ(vue.centres[3 * s], surface.centre.x);
            EXPECT_EQ(vue.centres[3 * s + 1], surface.centre.y);
            EXPECT_EQ(vue.centres[3 * s + 2], surface.centre.z);
            ASSERT_EQ(vue.debut_surfaces[s + 1] - vue.debut_surfaces[s], surface.triangles.size());
            for (std::size_t i = vue.debut_surfaces[s]; i < vue.debut_surfaces[s + 1]; ++i, ++places)
            {
                const Zarvel3D::PTriangle3D& t = surface.triangles[i - vue.debut_surfaces[s]];
                const std::size_t numero = vue.Triangle(i);
                ASSERT_LT(numero, vue.nombre_triangles);
                for (int k = 0; k < 3; ++k)
                    ASSERT_EQ(static_cast<int>(vue.triangles[3 * numero + static_cast<std::size_t>(k)]),
                              t.sommets[k].id);
                double n[3];
                vue.NormaleTriangle(numero, n);
                ASSERT_EQ(n[0], t.normale.x);
                ASSERT_EQ(n[1], t.normale.y);
                ASSERT_EQ(n[2], t.normale.z);
                ASSERT_EQ(vue.couleur.definie, t.couleur.definie);
                ASSERT_EQ(vue.couleur.rouge, t.couleur.rouge);
            }
        }
        EXPECT_EQ(places, vue.nombre_triangles);
        for (std::size_t e = 0; e < vue.nombre_segments; ++e)
        {
            EXPECT_EQ(static_cast<int>(vue.segments[2 * e]), m.segments[e].p1.id);
            EXPECT_EQ(static_cast<int>(vue.segments[2 * e + 1]), m.segments[e].p2.id);
        }
    }
}

// The compact form is offered only while the scene holds it unchanged; a copy shares it, and a
// refusal empties the view given.
TEST(MaillageScene, VueCompacteSeulementPourUnImportIntact)
{
    Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube(3.0));
    PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    Zarvel3D::PMaillage3D vue;
    ASSERT_TRUE(scene.Maillage(vue));
    EXPECT_EQ(vue.nombre_triangles, 12u);
    EXPECT_EQ(scene.NombreSurfaces(), 6u);
    EXPECT_EQ(scene.NombreSommets(), 8u);
    EXPECT_EQ(scene.NombreSegments(), 12u);

    PScene3D copie(scene);
    Zarvel3D::PMaillage3D vue_copie;
    ASSERT_TRUE(copie.Maillage(vue_copie));
    EXPECT_EQ(vue_copie.positions, vue.positions);
    copie.ModeleEdition();
    EXPECT_FALSE(copie.Maillage(vue_copie));
    EXPECT_EQ(vue_copie.positions, nullptr);
    EXPECT_EQ(vue_copie.nombre_triangles, 0u);
    // The edited copy counts its own model; the source still has its compact form.
    copie.ModeleEdition().sommets.pop_back();
    EXPECT_EQ(copie.NombreSommets(), 7u);
    EXPECT_EQ(copie.NombreSurfaces(), 6u);
    EXPECT_TRUE(scene.Maillage(vue));
    EXPECT_EQ(scene.NombreSommets(), 8u);

    // Appended to a model, a mesh goes into the model.
    PScene3D ajout;
    ajout.AjoutSommet(Zarvel3D::Pvec3(0, 0, 0), Zarvel3D::Pvec3());
    ASSERT_TRUE(ajout.ImportSTL((rep / "cube.stl").c_str(), 0, true, nullptr, nullptr));
    EXPECT_FALSE(ajout.Maillage(vue_copie));
    EXPECT_EQ(ajout.NombreSommets(), 9u);
    EXPECT_EQ(ajout.NombreSegments(), 12u);

    scene.Vide();
    EXPECT_FALSE(scene.Maillage(vue));
    EXPECT_EQ(scene.NombreSommets(), 0u);
    EXPECT_EQ(scene.NombreSurfaces(), 0u);
    EXPECT_EQ(scene.NombreSegments(), 0u);
}
