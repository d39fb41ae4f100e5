// Time of a whole generation (solid, mesh and scene) of each built-in test
// drawing, on a fresh engine every time.

#include "engine_dessins.h"

#include <benchmark/benchmark.h>

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

BENCHMARK_TEMPLATE(Generation, essais::GenCube)->Name("GenCube")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_TEMPLATE(Generation, essais::GenMod)->Name("GenMod")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_TEMPLATE(Generation, essais::GenExtrusion)->Name("GenExtrusion")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_TEMPLATE(Generation, essais::GenRevolution)->Name("GenRevolution")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
