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
// a grid of `trous` polygonal holes of 40 sides.
void ProfilVolumineux(benchmark::State& etat)
{
    const int cotes = static_cast<int>(etat.range(0));
    const int trous = static_cast<int>(etat.range(1));
    const double pi = std::acos(-1.0);
    Zarvel3D::ParametresZarvel parametres = essais::ParametresProgramme();
    parametres.elements_max = 0;
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

BENCHMARK(ProfilVolumineux)
    ->Args({1000, 0})
    ->Args({4000, 0})
    ->Args({1000, 25})
    ->Args({4000, 100})
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
