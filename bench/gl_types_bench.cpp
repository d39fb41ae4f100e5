// The CPU side of a frame: camera matrices (composition, inverse for the normal matrix) and the
// overlay buffers emptied and refilled every frame.
#include "zarvel_gl.h"

#include <benchmark/benchmark.h>

namespace
{

void BM_MatriceCamera(benchmark::State& state)
{
    float angle = 0.0f;
    for (auto _ : state)
    {
        PGL::PMatriceGL4 camera;
        camera.RotationXYZ(angle, angle * 0.5f, 10.0f);
        camera.Translation(0.1f, 0.2f, -2.0f);
        camera.Echelle(0.9f);
        PGL::PMatriceGL4 affichage = PGL::PMatriceGL4() * camera;
        PGL::PMatriceGL4 normales = affichage;
        normales.Inverse();
        normales.Transpose();
        benchmark::DoNotOptimize(normales);
        angle += 0.5f;
    }
}
BENCHMARK(BM_MatriceCamera);

void BM_Inverse(benchmark::State& state)
{
    PGL::PMatriceGL4 m;
    m.RotationXYZ(10.0f, 20.0f, 30.0f);
    m.Translation(1.0f, 2.0f, 3.0f);
    for (auto _ : state)
    {
        PGL::PMatriceGL4 inverse = m;
        inverse.Inverse();
        benchmark::DoNotOptimize(inverse);
    }
}
BENCHMARK(BM_Inverse);

void BM_VecteurNormal(benchmark::State& state)
{
    PGL::PVertice3_GL triangle(PGL::PVertex_GL(0.0f, 0.0f, 0.0f), PGL::PVertex_GL(1.0f, 0.1f, 0.0f),
                               PGL::PVertex_GL(0.2f, 1.0f, 0.3f));
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(triangle.VecteurNormal());
        triangle.sommets[2].Z += 1e-6f;
    }
}
BENCHMARK(BM_VecteurNormal);

// Emptying keeps the capacity: after the first frame a refill should not allocate.
void BM_RemplissageTampon(benchmark::State& state)
{
    PGL::PTampon_GL tampon(GL_TRIANGLES);
    const PGL::PCouleur_GL couleur(1.0f, 0.5f, 0.25f, 1.0f);
    const int triangles = static_cast<int>(state.range(0));
    for (auto _ : state)
    {
        tampon.Reinit(true);
        for (int i = 0; i < triangles; ++i)
        {
            const float x = static_cast<float>(i) * 0.001f;
            tampon.Ajout(PGL::PVertice3_GL(PGL::PVertex_GL(x, 0.0f, 0.0f),
                                           PGL::PVertex_GL(x + 1.0f, 0.0f, 0.0f),
                                           PGL::PVertex_GL(x, 1.0f, 0.0f)),
                         couleur);
        }
        benchmark::DoNotOptimize(tampon.NombreVertices());
    }
    state.SetItemsProcessed(state.iterations() * triangles);
}
BENCHMARK(BM_RemplissageTampon)->Arg(16)->Arg(4096);

} // namespace
