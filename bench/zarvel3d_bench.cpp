// Google Benchmark of PScene3D::ImportSTL (reading, welding, surface grouping) on binary torus
// meshes of 100k and 1M triangles, and of the binary STL export.
#include "zarvel3d/zarvel3d.h"
#include "zarvel3d_tore.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{

std::string Tore(long triangles)
{
    const std::string chemin =
        "/tmp/zarvel3d_bench_tore_" + std::to_string(triangles) + "_" + std::to_string(getpid()) + ".stl";
    const long nv = triangles >= 1000000 ? 500 : 200;
    if (!zarvel_bench::EcritTore(chemin, triangles / (2 * nv), nv))
    {
        return std::string();
    }
    return chemin;
}

void BM_ImportSTL(benchmark::State& etat)
{
    const std::string chemin = Tore(etat.range(0));
    if (chemin.empty())
    {
        etat.SkipWithError("cannot write the test mesh");
        return;
    }
    std::unique_ptr<Zarvel3D::PScene3D> scene;
    for (auto _ : etat)
    {
        etat.PauseTiming(); // the previous scene's release is not part of the import
        scene.reset(new Zarvel3D::PScene3D);
        etat.ResumeTiming();
        if (!scene->ImportSTL(chemin.c_str(), 9010, false, nullptr, nullptr))
        {
            etat.SkipWithError(scene->Diagnostic());
            break;
        }
        benchmark::DoNotOptimize(scene->Modele().surfaces.data());
    }
    etat.SetItemsProcessed(etat.iterations() * etat.range(0));
    std::remove(chemin.c_str());
}
BENCHMARK(BM_ImportSTL)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportSTL(benchmark::State& etat)
{
    const std::string chemin = Tore(etat.range(0));
    Zarvel3D::PScene3D scene;
    if (chemin.empty() || !scene.ImportSTL(chemin.c_str(), 0, false, nullptr, nullptr))
    {
        etat.SkipWithError("cannot prepare the scene");
        return;
    }
    const std::string sortie = chemin + ".out.stl";
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
BENCHMARK(BM_ExportSTL)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
