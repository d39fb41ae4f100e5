// zarvel3d_stl IN OUT: imports a mesh and exports it through the conversion library, as one
// whole process (the library's part of "Zarvel_cli -s IN -o OUT"). Prints the library's
// diagnostic on failure. zarvel3d_stl --tore N OUT writes a binary torus of about N triangles.
#include "zarvel3d/zarvel3d.h"
#include "zarvel3d_tore.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--tore") == 0)
    {
        const long n = std::atol(argv[2]);
        const long nv = n >= 1000000 ? 500 : 200;
        return zarvel_bench::EcritTore(argv[3], n / (2 * nv), nv) ? 0 : 1;
    }
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s IN.stl OUT.(stl|obj|ply|step) | --tore N OUT.stl\n", argv[0]);
        return 2;
    }
    Zarvel3D::PScene3D* scene = new Zarvel3D::PScene3D;
    if (!scene->ImportSTL(argv[1], 9010, false, nullptr, nullptr))
    {
        std::fprintf(stderr, "%s\n", scene->Diagnostic());
        return 1;
    }
    if (!scene->Export(argv[2]))
    {
        std::fprintf(stderr, "%s\n", scene->Diagnostic());
        return 1;
    }
    // Only the count: the model's lists would be derived from the compact mesh for the asking,
    // which the program's conversion path never does.
    std::fprintf(stderr, "%llu triangles\n", scene->NombreTriangles());
    // The process ends here: like the program's export path, the scene is left to the exit.
    return 0;
}
