// Time of a whole generation (solid, mesh and scene) of each built-in test
// drawing, on a fresh engine every time.

#include "engine_dessins.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace
{

template <int (*Dessin)(Zarvel3D::Zarvel&)> void Generation(benchmark::State& etat)
{
    const Zarvel3D::ParametresZarvel parametres = essais::ParametresProgramme();
    for (auto _ : etat)
    {
        Zarvel3D::Zarvel* moteur = Zarvel3D::Zarvel::Construct(parametres, nullptr);
        const int statut = Dessin(*moteur);
        benchmark::DoNotOptimize(statut);
        if (statut != 0)
        {
            etat.SkipWithError(moteur->Diagnostic());
        }
        delete moteur;
    }
}

// Extrusion of a profile of many segments: a disc of `cotes` sides pierced by
// a grid of `trous` polygonal holes of 40 sides; the third argument asks for
// the mesh alone (built by the library, without the kernel).
void ProfilVolumineux(benchmark::State& etat)
{
    const int cotes = static_cast<int>(etat.range(0));
    const int trous = static_cast<int>(etat.range(1));
    const double pi = std::acos(-1.0);
    Zarvel3D::ParametresZarvel parametres = essais::ParametresProgramme();
    parametres.elements_max = 0;
    parametres.maillage_seul = etat.range(2) != 0;
    auto polygone = [&](Zarvel3D::Zarvel& z, double cx, double cy, double r, int n)
    {
        for (int k = 0; k < n; ++k)
        {
            const double a = 2.0 * pi * k / n, b = 2.0 * pi * (k + 1) / n;
            essais::Ligne(z, 8, cx + r * std::cos(a), cy + r * std::sin(a), cx + r * std::cos(b),
                          cy + r * std::sin(b));
        }
    };
    const int cote_grille = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(trous))));
    for (auto _ : etat)
    {
        Zarvel3D::Zarvel* moteur = Zarvel3D::Zarvel::Construct(parametres, nullptr);
        polygone(*moteur, 0, 0, 500, cotes);
        for (int t = 0; t < trous; ++t)
        {
            polygone(*moteur, -270 + 540.0 * (t % cote_grille) / cote_grille,
                     -270 + 540.0 * (t / cote_grille) / cote_grille, 10, 40);
        }
        const int statut = moteur->Generation(Zarvel3D::ZARVEL_EXTRUSION, 5.0);
        benchmark::DoNotOptimize(statut);
        if (statut != 0)
        {
            etat.SkipWithError(moteur->Diagnostic());
        }
        delete moteur;
    }
    etat.counters["elements"] = cotes + 40.0 * trous;
}

// Three views of a plate of 200 x 10 x 100 with twenty holes of 8 in four
// rows, seen as circles from above: with their hidden lines in the front and
// side views (argument 1: the swept outlines reproduce the drawing at once;
// 2: the holes are blind, 5 deep, cut from the plate), or without them (0:
// the through holes are a second reading, checked in turn). Every generation
// includes the check of the solid against the views.
void PlaqueVingtTrous(benchmark::State& etat)
{
    const bool caches = etat.range(0) != 0;
    // Argument 2: the holes are blind, 5 deep from the top face.
    const double fond = etat.range(0) == 2 ? 5.0 : 0.0;
    const Zarvel3D::ParametresZarvel parametres = essais::ParametresProgramme();
    Zarvel3D::AttributsLigne cache = essais::Trait();
    cache.visible = 0;
    for (auto _ : etat)
    {
        Zarvel3D::Zarvel* z = Zarvel3D::Zarvel::Construct(parametres, nullptr);
        essais::Rectangle(*z, 2, 200, 10);
        essais::Rectangle(*z, 4, 100, 10);
        essais::Rectangle(*z, 8, 200, 100);
        for (int i = 0; i < 5; ++i)
        {
            for (int j = 0; j < 4; ++j)
            {
                const double x = 20.0 + 40.0 * i, y = 12.5 + 25.0 * j;
                z->AjoutEllipse(8, Zarvel3D::Point2D(x, y), 8, 8, 0, 360, 0, essais::Trait(), 0);
            }
        }
        // A hole's sides, once for each column (front view) and row (side view).
        for (double c = 20.0; caches && c < 200.0; c += 40.0)
        {
            for (double s : {-4.0, 4.0})
            {
                z->AjoutLigne(2, Zarvel3D::Point2D(c + s, fond), Zarvel3D::Point2D(c + s, 10), cache, 0, 0);
            }
        }
        for (double c = 12.5; caches && c < 100.0; c += 25.0)
        {
            for (double s : {-4.0, 4.0})
            {
                z->AjoutLigne(4, Zarvel3D::Point2D(c + s, fond), Zarvel3D::Point2D(c + s, 10), cache, 0, 0);
            }
        }
        const int statut = z->Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0);
        if (statut != 0 || *z->Ecarts() != '\0')
        {
            etat.SkipWithError(statut != 0 ? z->Diagnostic() : z->Ecarts());
        }
        delete z;
    }
}

// A plate of 100 x 60 with twenty holes of radius 4 in four rows, drawn in
// the top view and extruded by 10 (argument 0: solid and mesh by the module;
// 2: the mesh alone, which the library builds without the kernel), or in the
// side view and turned a full turn about x = 0 (1: a ring with twenty
// toroidal voids), with the program's parameters for plans: 64 segments a
// turn, the default chord deviation. Each generation fills the scene.
void PlaquePercee(benchmark::State& etat)
{
    const bool revolution = etat.range(0) == 1;
    Zarvel3D::ParametresZarvel parametres = essais::ParametresProgramme();
    parametres.divisions_tour = 64;
    parametres.maillage_seul = etat.range(0) == 2;
    const int vue = revolution ? 4 : 8;
    double triangles = 0.0;
    for (auto _ : etat)
    {
        Zarvel3D::Zarvel* z = Zarvel3D::Zarvel::Construct(parametres, nullptr);
        essais::Ligne(*z, vue, 20, 0, 120, 0);
        essais::Ligne(*z, vue, 120, 0, 120, 60);
        essais::Ligne(*z, vue, 120, 60, 20, 60);
        essais::Ligne(*z, vue, 20, 60, 20, 0);
        for (int i = 0; i < 5; ++i)
        {
            for (int j = 0; j < 4; ++j)
            {
                const double x = 30.0 + 20.0 * i, y = 7.5 + 15.0 * j;
                z->AjoutEllipse(vue, Zarvel3D::Point2D(x, y), 8, 8, 0, 360, 0, essais::Trait(), 0);
            }
        }
        if (revolution)
        {
            z->AjoutPoint(vue, Zarvel3D::Point2D(0, 0));
        }
        const int statut = revolution ? z->Generation(Zarvel3D::ZARVEL_REVOLUTION, 360.0)
                                      : z->Generation(Zarvel3D::ZARVEL_EXTRUSION, 10.0);
        if (statut != 0)
        {
            etat.SkipWithError(z->Diagnostic());
        }
        triangles = static_cast<double>(z->Scene().NombreTriangles());
        delete z;
    }
    etat.counters["triangles"] = triangles;
}

BENCHMARK(PlaquePercee)
    ->Arg(0)
    ->Arg(2)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

BENCHMARK(PlaqueVingtTrous)
    ->Arg(1)
    ->Arg(2)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

BENCHMARK(ProfilVolumineux)
    ->Args({1000, 0, 0})
    ->Args({4000, 0, 0})
    ->Args({1000, 25, 0})
    ->Args({4000, 100, 0})
    ->Args({4000, 100, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

BENCHMARK_TEMPLATE(Generation, essais::GenCube)
    ->Name("GenCube")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_TEMPLATE(Generation, essais::GenMod)
    ->Name("GenMod")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_TEMPLATE(Generation, essais::GenExtrusion)
    ->Name("GenExtrusion")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_TEMPLATE(Generation, essais::GenRevolution)
    ->Name("GenRevolution")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
