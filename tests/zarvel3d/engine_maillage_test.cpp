// Meshes of curved parts: the default chord deviation keeps cylinders, cones,
// spheres and tori within 0.1 % of their volume, and a deviation of the
// caller's is kept to.

#include "engine_dessins.h"
#include "maillage_outils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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

} // namespace
