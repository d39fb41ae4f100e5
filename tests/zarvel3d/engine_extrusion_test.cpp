// Extrusions meshed by the library itself (ParametresZarvel::maillage_seul) against the solid
// module's mesh of the same profile: the same faces, edges, nodes and triangles, the same volume
// and box, and a closed mesh; profiles the library cannot sweep go to the module as before.
#include "dxf_plans_outils.h"
#include "engine_dessins.h"
#include "maillage_outils.h"
#include "sous_sanitizer.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{

using Zarvel3D::PScene3D;
using outils::ExpectMemeSolide;
using outils::Triangle;
using outils::Triangles;
using outils::Volume;

Zarvel3D::ParametresZarvel Parametres(bool maillage_seul)
{
    Zarvel3D::ParametresZarvel p = essais::ParametresProgramme();
    p.divisions_tour = 64;
    p.maillage_seul = maillage_seul;
    return p;
}

// Every edge of the triangles, by its end points, met once in each direction.
void ExpectFerme(const PScene3D& scene)
{
    std::map<std::pair<std::array<double, 3>, std::array<double, 3>>, int> aretes;
    for (const Triangle& t : Triangles(scene))
    {
        for (int k = 0; k < 3; ++k)
        {
            ++aretes[{t[k], t[(k + 1) % 3]}];
        }
    }
    for (const auto& [arete, nombre] : aretes)
    {
        ASSERT_EQ(nombre, 1) << "edge used twice in one direction";
        const auto retour = aretes.find({arete.second, arete.first});
        ASSERT_TRUE(retour != aretes.end() && retour->second == 1) << "open edge";
    }
}

// The direct mesh and the module's one of the same generation agree.
void ExpectMemeMaillage(const PScene3D& noyau, const PScene3D& direct, const std::string& contexte)
{
    SCOPED_TRACE(contexte);
    EXPECT_TRUE(noyau.ContientSolide());
    EXPECT_FALSE(direct.ContientSolide());
    EXPECT_EQ(direct.NombreSurfaces(), noyau.NombreSurfaces());
    EXPECT_EQ(direct.NombreTriangles(), noyau.NombreTriangles());
    EXPECT_EQ(direct.NombreSommets(), noyau.NombreSommets());
    EXPECT_EQ(direct.NombreSegments(), noyau.NombreSegments());
    EXPECT_EQ(direct.Projections().size(), noyau.Projections().size());
    EXPECT_EQ(direct.Textes().size(), noyau.Textes().size());
    ExpectMemeSolide(Triangles(noyau), Triangles(direct), 1e-9);
    EXPECT_GT(Volume(Triangles(direct)), 0.0);
    ExpectFerme(direct);
}

struct Generation
{
    int statut = -1;
    std::unique_ptr<Zarvel3D::Zarvel> moteur;
};

template <typename Dessin> Generation Genere(bool maillage_seul, double longueur, Dessin dessin)
{
    Generation g;
    g.moteur.reset(Zarvel3D::Zarvel::Construct(Parametres(maillage_seul), nullptr));
    dessin(*g.moteur);
    g.statut = g.moteur->Generation(Zarvel3D::ZARVEL_EXTRUSION, longueur);
    return g;
}

template <typename Dessin> void Compare(double longueur, Dessin dessin, const std::string& nom)
{
    const Generation noyau = Genere(false, longueur, dessin);
    const Generation direct = Genere(true, longueur, dessin);
    ASSERT_EQ(noyau.statut, Zarvel3D::ZARVEL_SUCCES) << nom << ": " << noyau.moteur->Diagnostic();
    ASSERT_EQ(direct.statut, Zarvel3D::ZARVEL_SUCCES) << nom;
    ExpectMemeMaillage(noyau.moteur->Scene(), direct.moteur->Scene(), nom);
}

void Cercle(Zarvel3D::Zarvel& z, int vue, double cx, double cy, double r)
{
    z.AjoutEllipse(vue, Zarvel3D::Point2D(cx, cy), 2 * r, 2 * r, 0, 360, 0, essais::Trait(), 0);
}

void Arc(Zarvel3D::Zarvel& z, int vue, double cx, double cy, double r, double debut, double fin)
{
    z.AjoutEllipse(vue, Zarvel3D::Point2D(cx, cy), 2 * r, 2 * r, debut, fin, 0, essais::Trait(), 0);
}

// A plate with rounded corners (arcs tangent to its sides: no edge drawn
// there), a row of holes, a slot of two half circles, and a square island
// inside a large hole.
void Plaque(Zarvel3D::Zarvel& z, int vue)
{
    const double l = 120, h = 70, r = 8;
    essais::Ligne(z, vue, r, 0, l - r, 0);
    essais::Ligne(z, vue, l, r, l, h - r);
    essais::Ligne(z, vue, l - r, h, r, h);
    essais::Ligne(z, vue, 0, h - r, 0, r);
    Arc(z, vue, l - r, r, r, 270, 360);
    Arc(z, vue, l - r, h - r, r, 0, 90);
    Arc(z, vue, r, h - r, r, 90, 180);
    Arc(z, vue, r, r, r, 180, 270);
    for (int k = 0; k < 5; ++k)
    {
        Cercle(z, vue, 15 + 10 * k, 12, 2 + 0.5 * k);
    }
    essais::Ligne(z, vue, 20, 30, 40, 30);
    essais::Ligne(z, vue, 20, 40, 40, 40);
    Arc(z, vue, 40, 35, 5, 270, 90);
    Arc(z, vue, 20, 35, 5, 90, 270);
    Cercle(z, vue, 85, 40, 18);
    essais::Ligne(z, vue, 80, 35, 90, 35);
    essais::Ligne(z, vue, 90, 35, 90, 45);
    essais::Ligne(z, vue, 90, 45, 80, 45);
    essais::Ligne(z, vue, 80, 45, 80, 35);
}

} // namespace

TEST(ExtrusionDirecte, MemeMaillageQueLeModuleDansChaqueVue)
{
    for (int vue : {8, 2, 4})
    {
        for (double longueur : {12.5, -7.0})
        {
            Compare(
                longueur,
                [vue](Zarvel3D::Zarvel& z) { Plaque(z, vue); },
                "view " + std::to_string(vue) + ", length " + std::to_string(longueur));
        }
    }
}
// Every test plan swept as an extrusion both ways: where the module succeeds
// the library's own mesh must match it, and where the module fails (or the
// profile needs it) the outcome is the module's, diagnostic included.
TEST(ExtrusionDirecte, PlansDeTestCommeLeModule)
{
    const std::string dossier = ZARVEL_TEST_DATA "/dxf";
    std::vector<std::string> noms;
    DIR* d = opendir(dossier.c_str());
    ASSERT_NE(d, nullptr);
    for (dirent* e = readdir(d); e != nullptr; e = readdir(d))
    {
        const std::string nom = e->d_name;
        if (nom.size() > 4 && nom.compare(nom.size() - 4, 4, ".dxf") == 0)
        {
            noms.push_back(nom);
        }
    }
    closedir(d);
    std::sort(noms.begin(), noms.end());
    int directs = 0;
    for (const std::string& nom : noms)
    {
        std::unique_ptr<Zarvel3D::ZarvelAuto> noyau(Zarvel3D::ZarvelAuto::Construct(
            (dossier + "/" + nom).c_str(), Zarvel3D::ZARVEL_EXTRUSION, Parametres(false), 0.0));
        std::unique_ptr<Zarvel3D::ZarvelAuto> direct(Zarvel3D::ZarvelAuto::Construct(
            (dossier + "/" + nom).c_str(), Zarvel3D::ZARVEL_EXTRUSION, Parametres(true), 0.0));
        if (!noyau->ValideInit())
        {
            EXPECT_FALSE(direct->ValideInit()) << nom;
            continue;
        }
        const bool ok = noyau->Genere();
        ASSERT_EQ(direct->Genere(), ok) << nom;
        if (!ok)
        {
            EXPECT_STREQ(direct->Diagnostic(), noyau->Diagnostic()) << nom;
            continue;
        }
        const PScene3D& scene = direct->ZarvelConst()->Scene();
        if (scene.ContientSolide())
        {
            EXPECT_STREQ(direct->Diagnostic(), noyau->Diagnostic()) << nom;
            continue;
        }
        ++directs;
        ExpectMemeMaillage(noyau->ZarvelConst()->Scene(), scene, nom);
    }
    // Most plans are lines and circles: they must not all have gone to the module.
    EXPECT_GE(directs, 40);
}

// Profiles the library leaves to the module, which then gives its own result.
TEST(ExtrusionDirecte, CeQueLeModuleGardeSansChangement)
{
    // An ellipse, a pinch (two squares meeting at a corner), an open outline.
    const std::vector<std::pair<const char*, void (*)(Zarvel3D::Zarvel&)>> dessins = {
        {"ellipse",
         [](Zarvel3D::Zarvel& z)
         {
             essais::Rectangle(z, 8, 40, 30);
             z.AjoutEllipse(8, Zarvel3D::Point2D(20, 15), 16, 8, 0, 360, 0, essais::Trait(), 0);
         }},
        {"pinch",
         [](Zarvel3D::Zarvel& z)
         {
             essais::Rectangle(z, 8, 10, 10);
             essais::Ligne(z, 8, 10, 10, 20, 10);
             essais::Ligne(z, 8, 20, 10, 20, 20);
             essais::Ligne(z, 8, 20, 20, 10, 20);
             essais::Ligne(z, 8, 10, 20, 10, 10);
         }},
        {"open",
         [](Zarvel3D::Zarvel& z)
         {
             essais::Ligne(z, 8, 0, 0, 10, 0);
             essais::Ligne(z, 8, 10, 0, 10, 10);
         }},
    };
    for (const auto& [nom, dessin] : dessins)
    {
        const Generation noyau = Genere(false, 5.0, dessin);
        const Generation direct = Genere(true, 5.0, dessin);
        EXPECT_EQ(direct.statut, noyau.statut) << nom;
        EXPECT_STREQ(direct.moteur->Diagnostic(), noyau.moteur->Diagnostic()) << nom;
        EXPECT_EQ(direct.moteur->Scene().NombreTriangles(), noyau.moteur->Scene().NombreTriangles()) << nom;
        if (direct.statut == Zarvel3D::ZARVEL_SUCCES)
        {
            EXPECT_TRUE(direct.moteur->Scene().ContientSolide()) << nom;
        }
    }
}

// The caller's chord deviation and a coarse turn apply as in the module.
TEST(ExtrusionDirecte, FlecheEtDivisionsDuModule)
{
    for (float fleche : {0.0f, 0.5f, 0.002f})
    {
        for (int tour : {16, 64, 300})
        {
            auto parametres = [&](bool seul)
            {
                Zarvel3D::ParametresZarvel p = Parametres(seul);
                p.fleche = fleche;
                p.divisions_tour = tour;
                return p;
            };
            std::unique_ptr<Zarvel3D::Zarvel> noyau(Zarvel3D::Zarvel::Construct(parametres(false), nullptr));
            std::unique_ptr<Zarvel3D::Zarvel> direct(Zarvel3D::Zarvel::Construct(parametres(true), nullptr));
            for (Zarvel3D::Zarvel* z : {noyau.get(), direct.get()})
            {
                Plaque(*z, 8);
                ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 20.0), Zarvel3D::ZARVEL_SUCCES);
            }
            ExpectMemeMaillage(noyau->Scene(), direct->Scene(),
                               "deviation " + std::to_string(fleche) + ", turn " + std::to_string(tour));
        }
    }
}

// Random profiles of overlapping rectangles and circles (the even-odd rule
// makes islands, holes and outlines that cross arcs): wherever the library
// meshes them itself, the mesh is the module's. Outlines that cross make
// material meet at points, which the module keeps: about a third go direct.
TEST(ExtrusionDirecte, ProfilsAleatoiresCommeLeModule)
{
    std::uint32_t graine = 20261207u;
    auto hasard = [&graine](double a, double b)
    {
        graine = graine * 1664525u + 1013904223u;
        return a + (b - a) * static_cast<double>(graine >> 8) / static_cast<double>(1u << 24);
    };
    int directs = 0;
    for (int essai = 0; essai < 40; ++essai)
    {
        std::vector<std::array<double, 4>> rectangles;
        std::vector<std::array<double, 3>> cercles;
        const int n = 1 + essai % 4;
        for (int k = 0; k < n; ++k)
        {
            const double x = hasard(0, 80), y = hasard(0, 80);
            rectangles.push_back({x, y, x + hasard(5, 40), y + hasard(5, 40)});
            cercles.push_back({hasard(10, 90), hasard(10, 90), hasard(2, 15)});
        }
        auto dessin = [&](Zarvel3D::Zarvel& z)
        {
            for (const auto& r : rectangles)
            {
                essais::Ligne(z, 8, r[0], r[1], r[2], r[1]);
                essais::Ligne(z, 8, r[2], r[1], r[2], r[3]);
                essais::Ligne(z, 8, r[2], r[3], r[0], r[3]);
                essais::Ligne(z, 8, r[0], r[3], r[0], r[1]);
            }
            for (const auto& c : cercles)
            {
                Cercle(z, 8, c[0], c[1], c[2]);
            }
        };
        if (!essais::Echantillon(essai, 4)) continue;
        const Generation noyau = Genere(false, 9.0, dessin);
        const Generation direct = Genere(true, 9.0, dessin);
        const std::string nom = "random profile " + std::to_string(essai);
        ASSERT_EQ(direct.statut, noyau.statut) << nom;
        if (noyau.statut != Zarvel3D::ZARVEL_SUCCES || direct.moteur->Scene().ContientSolide())
        {
            continue;
        }
        ++directs;
        ExpectMemeMaillage(noyau.moteur->Scene(), direct.moteur->Scene(), nom);
    }
    EXPECT_GE(directs, essais::sous_sanitizer ? 3 : 10);
}
