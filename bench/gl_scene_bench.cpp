// Scene preparation and frame drawing of a 1M-triangle mesh (a torus read from a binary STL), beside
// a plain copy of the same number of bytes into fresh memory: the preparation's floor. The frame
// benchmark draws into a window and runs only with a display (xvfb-run -a).
#include "zarvel_gl.h"

#include "zarvel3d/zarvel3d.h"
#include "zarvel3d_tore.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{

constexpr long TrianglesTore = 1000000;

// The scene is read once per process; its size in the benchmarks' labels.
Zarvel3D::PScene3D const& SceneTore()
{
    static Zarvel3D::PScene3D* scene = nullptr;
    if (scene) return *scene;
    scene = new Zarvel3D::PScene3D();
    const std::string chemin = "/tmp/zarvel_gl_scene_bench_" + std::to_string(getpid()) + ".stl";
    const long nv = 500;
    if (!zarvel_bench::EcritTore(chemin, TrianglesTore / (2 * nv), nv) ||
        !scene->ImportSTL(chemin.c_str(), 0, false, nullptr, nullptr))
        std::abort();
    std::remove(chemin.c_str());
    return *scene;
}

PGL::Params_GL ParamsViewer()
{
    PGL::Params_GL p(8.0f, 2.0f, true, false, false, false, false);
    p.shaders_actifs = true;
    p.post_traitement = true;
    return p;
}

std::size_t Octets(PGL::PTampon_GL const& t)
{
    return t.Vertices().size() * sizeof(PGL::PVertex_GL) + t.Couleurs().size() * sizeof(PGL::PCouleur_GL) +
           t.Normales().size() * sizeof(PGL::PVertex_GL);
}

std::size_t OctetsPrepares(PGL::Zarvel_GL const& r)
{
    return Octets(r.TamponSommets()) + Octets(r.TamponFilaire()) + Octets(r.TamponSurfaces()) +
           Octets(r.TamponCentres()) + Octets(r.TamponProjections()) + Octets(r.TamponTextes()) +
           Octets(r.TamponDivers());
}

double PicMemoireMio()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A new renderer each time: its buffers are fresh memory, as in a viewer that starts.
void BM_PrepareScene(benchmark::State& etat)
{
    Zarvel3D::PScene3D const& scene = SceneTore();
    std::size_t octets = 0;
    for (auto _ : etat)
    {
        PGL::Zarvel_GL rendu(ParamsViewer(), PGL::Params_Zarvel_GL(100.0f, 0, false));
        rendu.PrepareScene(&scene);
        octets = OctetsPrepares(rendu);
        benchmark::DoNotOptimize(rendu.TamponSurfaces().Vertices().data());
    }
    etat.counters["octets"] = static_cast<double>(octets);
    etat.counters["triangles"] = static_cast<double>(scene.NombreTriangles());
    etat.counters["pic_Mio"] = PicMemoireMio();
}
BENCHMARK(BM_PrepareScene)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the prepared number of bytes copied into fresh memory.
void BM_CopieMemeTaille(benchmark::State& etat)
{
    PGL::Zarvel_GL rendu(ParamsViewer(), PGL::Params_Zarvel_GL(100.0f, 0, false));
    rendu.PrepareScene(&SceneTore());
    const std::size_t octets = OctetsPrepares(rendu);
    std::unique_ptr<char[]> source(new char[octets]);
    std::memset(source.get(), 1, octets);
    for (auto _ : etat)
    {
        std::unique_ptr<char[]> destination(new char[octets]);
        std::memcpy(destination.get(), source.get(), octets);
        benchmark::DoNotOptimize(destination.get());
    }
    etat.counters["octets"] = static_cast<double>(octets);
}
BENCHMARK(BM_CopieMemeTaille)->Unit(benchmark::kMillisecond)->UseRealTime();

// CPU time of one frame of the prepared mesh with VBOs, in a 1024 x 768 window.
void BM_AfficheScene(benchmark::State& etat)
{
    if (!std::getenv("DISPLAY"))
    {
        etat.SkipWithError("no display: run under xvfb-run -a");
        return;
    }
    static bool fenetre = false;
    if (!fenetre)
    {
        int argc = 1;
        char nom[] = "gl_scene_bench";
        char* argv[] = {nom, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(1024, 768);
        glutCreateWindow("gl_scene_bench");
        PGL::Extensions_GL::Init();
        fenetre = true;
    }
    PGL::Zarvel_GL rendu(ParamsViewer(), PGL::Params_Zarvel_GL(100.0f, 0, false));
    rendu.InitialisationAffichage();
    rendu.InitialisationShaders(PGL::Shaders_GL::VShaderDefaut(), PGL::Shaders_GL::FShaderDefaut(), 1);
    rendu.InitialisationShaders(PGL::PFrameBuffer_GL::VShaderDefaut(), PGL::PFrameBuffer_GL::FShaderDefaut(), 2);
    rendu.defIdCouleurScene(Zarvel3D::RAL::RechercheIndex(9010));
    rendu.defTailleAffichage(1024, 768);
    rendu.PrepareScene(&SceneTore());
    for (auto _ : etat)
    {
        rendu.IdentiteMatrices();
        rendu.defAvanceCamera(1.5, false);
        rendu.AfficheScene();
        glFinish();
    }
    etat.counters["vbo"] = rendu.TamponSurfaces().VBOActif() ? 1 : 0;
}
BENCHMARK(BM_AfficheScene)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
