// Google Benchmark of PScene3D::ImportSTL (reading, welding, surface grouping) on torus meshes of
// 100k and 1M triangles, binary and ASCII; of the model a viewer asks for after an import; and of
// the exports a converted mesh goes through (binary STL, PLY, OBJ).
#include "zarvel3d/zarvel3d.h"
#include "zarvel3d_tore.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{

std::string Tore(long triangles, bool ascii = false)
{
    const std::string chemin = "/tmp/zarvel3d_bench_tore_" + std::to_string(triangles) +
                               (ascii ? "_ascii" : "") + "_" + std::to_string(getpid()) + ".stl";
    const long nv = triangles >= 1000000 ? 500 : 200;
    if (!zarvel_bench::EcritTore(chemin, triangles / (2 * nv), nv, ascii))
    {
        return std::string();
    }
    return chemin;
}

// Resident bytes of this process, once the allocator has given its free pages back.
double Resident()
{
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long pages = 0, residentes = 0;
    statm >> pages >> residentes;
    return static_cast<double>(residentes) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Imports the torus of range(0) triangles, binary or ASCII, into a fresh scene per iteration.
// With `modele`, the iteration also asks for the scene's model, as the viewer does. The counter
// octets_par_triangle is the growth of resident memory over the last scene's import, per
// triangle: the memory the scene holds and has touched (the import's temporaries are released).
void Import(benchmark::State& etat, bool ascii, bool modele)
{
    const std::string chemin = Tore(etat.range(0), ascii);
    if (chemin.empty())
    {
        etat.SkipWithError("cannot write the test mesh");
        return;
    }
    std::unique_ptr<Zarvel3D::PScene3D> scene;
    double octets = 0.0;
    for (auto _ : etat)
    {
        etat.PauseTiming(); // the previous scene's release is not part of the import
        scene.reset();
        const double avant = Resident();
        scene.reset(new Zarvel3D::PScene3D);
        etat.ResumeTiming();
        if (!scene->ImportSTL(chemin.c_str(), 9010, false, nullptr, nullptr))
        {
            etat.SkipWithError(scene->Diagnostic());
            break;
        }
        if (modele)
        {
            benchmark::DoNotOptimize(scene->Modele().surfaces.data());
        }
        benchmark::DoNotOptimize(scene->NombreTriangles());
        etat.PauseTiming();
        octets = Resident() - avant;
        etat.ResumeTiming();
    }
    etat.SetItemsProcessed(etat.iterations() * etat.range(0));
    etat.counters["octets_par_triangle"] = octets / static_cast<double>(etat.range(0));
    std::remove(chemin.c_str());
}

void BM_ImportSTL(benchmark::State& etat)
{
    Import(etat, false, false);
}
BENCHMARK(BM_ImportSTL)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportSTLAscii(benchmark::State& etat)
{
    Import(etat, true, false);
}
BENCHMARK(BM_ImportSTLAscii)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Import followed by the model a viewer reads (derived from the compact mesh on request).
void BM_ImportSTLModele(benchmark::State& etat)
{
    Import(etat, false, true);
}
BENCHMARK(BM_ImportSTLModele)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Export of an imported 1M-triangle torus; range(1) picks the format.
void BM_Export(benchmark::State& etat)
{
    static const char* const extensions[] = {"stl", "ply", "obj"};
    const std::string chemin = Tore(etat.range(0));
    Zarvel3D::PScene3D scene;
    if (chemin.empty() || !scene.ImportSTL(chemin.c_str(), 0, false, nullptr, nullptr))
    {
        etat.SkipWithError("cannot prepare the scene");
        return;
    }
    const std::string sortie = chemin + ".out." + extensions[etat.range(1)];
    etat.SetLabel(extensions[etat.range(1)]);
    for (auto _ : etat)
    {
        if (!scene.Export(sortie.c_str()))
        {
            etat.SkipWithError(scene.Diagnostic());
            break;
        }
    }
    etat.SetItemsProcessed(etat.iterations() * etat.range(0));
    std::remove(chemin.c_str());
    std::remove(sortie.c_str());
}
BENCHMARK(BM_Export)
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Args({1000000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
