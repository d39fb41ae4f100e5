#include "zarvel_base_code.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
void SHA256_64MiB(benchmark::State& etat)
{
    const size_t taille = 64u << 20;
    std::vector<unsigned char> donnees(taille);
    for (size_t i = 0; i < taille; ++i)
        donnees[i] = static_cast<unsigned char>(i * 2654435761u >> 24);
    for (auto _ : etat)
    {
        puint256 h = PBaseHash::calc_SHA256(donnees.data(), static_cast<unsigned int>(taille));
        benchmark::DoNotOptimize(h);
    }
    etat.SetBytesProcessed(static_cast<int64_t>(etat.iterations()) * static_cast<int64_t>(taille));
}

void CRC32_64MiB(benchmark::State& etat)
{
    const size_t taille = 64u << 20;
    std::vector<unsigned char> donnees(taille, 0x5A);
    for (auto _ : etat)
    {
        unsigned int c = PBaseHash::calc_CRC32(donnees.data(), static_cast<unsigned int>(taille), 0);
        benchmark::DoNotOptimize(c);
    }
    etat.SetBytesProcessed(static_cast<int64_t>(etat.iterations()) * static_cast<int64_t>(taille));
}
} // namespace

BENCHMARK(SHA256_64MiB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(CRC32_64MiB)->Unit(benchmark::kMillisecond);
