// Meshes of curved parts: the default chord deviation keeps cylinders, cones,
// spheres and tori within 0.1 % of their volume, and a deviation of the
// caller's is kept to; plates with holes, extruded and turned into a ring with
// toroidal voids, give closed meshes of the solid's volume whose vertex
// normals agree with their facets.

#include "engine_dessins.h"
#include "maillage_outils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <map>
#include <string>

namespace
{

using essais::Moteur;

struct PieceCourbe
{
    std::string nom;
    std::function<int(Zarvel3D::Zarvel&)> dessine;
    double volume;
    /// Radius of the tightest curve, for the deviation's bound.
    double rayon;
};

void Arc(Zarvel3D::Zarvel& z, int vue, double cx, double cy, double r, double debut, double fin)
{
    z.AjoutEllipse(vue, Zarvel3D::Point2D(cx, cy), 2 * r, 2 * r, debut, fin, 0, essais::Trait(), 0);
}

const PieceCourbe pieces[] = {
    {"cylindre",
     [](Zarvel3D::Zarvel& z)
     {
         Arc(z, 8, 0, 0, 10, 0, 360);
         return z.Generation(Zarvel3D::ZARVEL_EXTRUSION, 20.0);
     },
     M_PI * 100.0 * 20.0, 10.0},
    {"sphere",
     [](Zarvel3D::Zarvel& z)
     {
         Arc(z, 4, 0, 0, 10, -90, 90);
         essais::Ligne(z, 4, 0, 10, 0, -10);
         z.AjoutPoint(4, Zarvel3D::Point2D(0, 0));
         return z.Generation(Zarvel3D::ZARVEL_REVOLUTION, 360.0);
     },
     4.0 / 3.0 * M_PI * 1000.0, 10.0},
    {"cone",
     [](Zarvel3D::Zarvel& z)
     {
         essais::Ligne(z, 4, 0, 0, 10, 0);
         essais::Ligne(z, 4, 10, 0, 0, 25);
         essais::Ligne(z, 4, 0, 25, 0, 0);
         z.AjoutPoint(4, Zarvel3D::Point2D(0, 0));
         return z.Generation(Zarvel3D::ZARVEL_REVOLUTION, 360.0);
     },
     M_PI * 100.0 * 25.0 / 3.0, 10.0},
    {"tore",
     [](Zarvel3D::Zarvel& z)
     {
         Arc(z, 4, 20, 0, 5, 0, 360);
         z.AjoutPoint(4, Zarvel3D::Point2D(0, 0));
         return z.Generation(Zarvel3D::ZARVEL_REVOLUTION, 360.0);
     },
     2.0 * M_PI* M_PI * 20.0 * 25.0, 5.0},
};

double VolumeMaille(const Zarvel3D::ParametresZarvel& p, const PieceCourbe& piece, std::size_t& triangles)
{
    Moteur z(Zarvel3D::Zarvel::Construct(p, nullptr));
    EXPECT_EQ(piece.dessine(*z), 0) << piece.nom << ": " << z->Diagnostic();
    const outils::Maillage m = outils::Triangles(z->Scene());
    triangles = m.size();
    return outils::Volume(m);
}

TEST(MaillageCourbes, LaFlecheParDefautGardeLeVolumeAMoinsDe0_1PourCent)
{
    for (const PieceCourbe& piece : pieces)
    {
        std::size_t triangles = 0;
        const double v = VolumeMaille(essais::ParametresProgramme(), piece, triangles);
        EXPECT_NEAR(v, piece.volume, piece.volume * 1e-3) << piece.nom << ", " << triangles << " triangles";
        // Inscribed: the mesh never holds more than the solid.
        EXPECT_LT(v, piece.volume) << piece.nom;
    }
}

TEST(MaillageCourbes, UneFlecheDonneeEstTenueEtAllegeLeMaillage)
{
    for (const PieceCourbe& piece : pieces)
    {
        Zarvel3D::ParametresZarvel p = essais::ParametresProgramme();
        std::size_t fins = 0;
        VolumeMaille(p, piece, fins);
        p.fleche = 0.05f;
        std::size_t grossiers = 0;
        const double v = VolumeMaille(p, piece, grossiers);
        EXPECT_LT(grossiers, fins) << piece.nom;
        // An inscribed polygon of chord deviation f loses about 4/3 f / r of
        // its area; twice that bounds the loss of a faceted solid.
        const double perte = (piece.volume - v) / piece.volume;
        EXPECT_GT(perte, 0.0) << piece.nom;
        EXPECT_LT(perte, 2.0 * 4.0 / 3.0 * 0.05 / piece.rayon) << piece.nom;
    }
}

TEST(MaillageCourbes, UneFlecheInvalideVautLaFlecheParDefaut)
{
    const PieceCourbe& cylindre = pieces[0];
    std::size_t attendus = 0;
    VolumeMaille(essais::ParametresProgramme(), cylindre, attendus);
    for (float f : {0.0f, -1.0f, std::nanf(""), INFINITY})
    {
        Zarvel3D::ParametresZarvel p = essais::ParametresProgramme();
        p.fleche = f;
        std::size_t triangles = 0;
        VolumeMaille(p, cylindre, triangles);
        EXPECT_EQ(triangles, attendus) << f;
    }
}

// A plate from x = 20 to 120 and y = 0 to 60 with rows of holes of radius 4,
// as plans are drawn: in the top view for an extrusion, in the side view with
// the axis x = 0 for a revolution.
constexpr double rayon_trou = 4.0;
const double centres_trous[][2] = {{30, 7.5}, {70, 22.5}, {110, 37.5}, {50, 52.5}};

void Plaque(Zarvel3D::Zarvel& z, int vue)
{
    essais::Ligne(z, vue, 20, 0, 120, 0);
    essais::Ligne(z, vue, 120, 0, 120, 60);
    essais::Ligne(z, vue, 120, 60, 20, 60);
    essais::Ligne(z, vue, 20, 60, 20, 0);
    for (const auto& c : centres_trous)
    {
        Arc(z, vue, c[0], c[1], rayon_trou, 0, 360);
    }
}

// Every edge between two triangles, once in each direction, once the corners
// are welded by position: the mesh bounds a volume with no gap or fold.
void ExpectFerme(const outils::Maillage& m, const std::string& nom)
{
    std::map<std::array<double, 3>, int> indices;
    auto indice = [&indices](const std::array<double, 3>& p)
    { return indices.emplace(p, static_cast<int>(indices.size())).first->second; };
    std::map<std::pair<int, int>, int> aretes;
    for (const outils::Triangle& t : m)
    {
        const int s[3] = {indice(t[0]), indice(t[1]), indice(t[2])};
        for (int k = 0; k < 3; ++k)
        {
            ++aretes[{s[k], s[(k + 1) % 3]}];
        }
    }
    int libres = 0;
    for (const auto& a : aretes)
    {
        const auto inverse = aretes.find({a.first.second, a.first.first});
        if (a.second != 1 || inverse == aretes.end() || inverse->second != 1)
        {
            ++libres;
        }
    }
    EXPECT_EQ(libres, 0) << nom << ": " << aretes.size() << " edges";
}

// Each vertex normal of a surface points to the side its triangles face.
void ExpectNormalesDesFacettes(const Zarvel3D::PScene3D& scene, const std::string& nom)
{
    const auto& modele = scene.Modele();
    int contraires = 0;
    for (const auto& surface : modele.surfaces)
    {
        for (const auto& t : surface.triangles)
        {
            for (const auto& coin : t.sommets)
            {
                const auto& n = modele.sommets[static_cast<std::size_t>(coin.id)].normale;
                if (n.x * t.normale.x + n.y * t.normale.y + n.z * t.normale.z < 0.5)
                {
                    ++contraires;
                }
            }
        }
    }
    EXPECT_EQ(contraires, 0) << nom;
}

TEST(MaillagePlaques, ExtrusionEtAnneauAvecTrousFermesAuVolumeDuSolide)
{
    const double trous = static_cast<double>(std::size(centres_trous));
    const double aire_trou = M_PI * rayon_trou * rayon_trou;
    struct Cas
    {
        const char* nom;
        int vue;
        Zarvel3D::modezarvel_t mode;
        double parametre;
        double volume;
    };
    const Cas cas[] = {
        {"extrusion", 8, Zarvel3D::ZARVEL_EXTRUSION, 10.0, (100.0 * 60.0 - trous * aire_trou) * 10.0},
        // Pappus: the ring less one torus per hole, each about its centre's radius.
        {"revolution", 4, Zarvel3D::ZARVEL_REVOLUTION, 360.0,
         M_PI * (120.0 * 120.0 - 20.0 * 20.0) * 60.0 - aire_trou * 2.0 * M_PI * (30.0 + 70.0 + 110.0 + 50.0)},
    };
    for (const Cas& c : cas)
    {
        for (int tour : {16, 64})
        {
            Zarvel3D::ParametresZarvel p = essais::ParametresProgramme();
            p.divisions_tour = tour;
            Moteur z(Zarvel3D::Zarvel::Construct(p, nullptr));
            Plaque(*z, c.vue);
            if (c.mode == Zarvel3D::ZARVEL_REVOLUTION)
            {
                z->AjoutPoint(c.vue, Zarvel3D::Point2D(0, 0));
            }
            ASSERT_EQ(z->Generation(c.mode, c.parametre), 0) << c.nom << ": " << z->Diagnostic();
            const outils::Maillage m = outils::Triangles(z->Scene());
            const std::string nom = std::string(c.nom) + ", " + std::to_string(tour) + " a turn, " +
                                    std::to_string(m.size()) + " triangles";
            EXPECT_NEAR(outils::Volume(m), c.volume, c.volume * 1e-3) << nom;
            ExpectFerme(m, nom);
            ExpectNormalesDesFacettes(z->Scene(), nom);
        }
    }
}

TEST(MaillagePlaques, LesToresDUnAnneauSuiventLaFlecheDonnee)
{
    // A ring with one toroidal void: a finer deviation gives more triangles,
    // and the void's volume lost or gained stays within what it allows.
    std::size_t triangles_avant = 0;
    for (float fleche : {0.05f, 0.01f, 0.002f})
    {
        Zarvel3D::ParametresZarvel p = essais::ParametresProgramme();
        p.fleche = fleche;
        Moteur z(Zarvel3D::Zarvel::Construct(p, nullptr));
        essais::Ligne(*z, 4, 20, 0, 60, 0);
        essais::Ligne(*z, 4, 60, 0, 60, 30);
        essais::Ligne(*z, 4, 60, 30, 20, 30);
        essais::Ligne(*z, 4, 20, 30, 20, 0);
        Arc(*z, 4, 40, 15, 5, 0, 360);
        z->AjoutPoint(4, Zarvel3D::Point2D(0, 0));
        ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_REVOLUTION, 360.0), 0) << z->Diagnostic();
        const outils::Maillage m = outils::Triangles(z->Scene());
        const double volume = M_PI * (60.0 * 60.0 - 20.0 * 20.0) * 30.0 - 2.0 * M_PI * M_PI * 40.0 * 25.0;
        // Twice 2/3 f per curved direction over each curved face's area bounds the error.
        const double aires = 2.0 * M_PI * 30.0 * (60.0 + 20.0) + 2.0 * 4.0 * M_PI * M_PI * 40.0 * 5.0;
        EXPECT_NEAR(outils::Volume(m), volume, 2.0 * 2.0 / 3.0 * fleche * aires) << fleche;
        EXPECT_GT(m.size(), triangles_avant) << fleche;
        triangles_avant = m.size();
        ExpectFerme(m, std::to_string(fleche));
    }
}

} // namespace
