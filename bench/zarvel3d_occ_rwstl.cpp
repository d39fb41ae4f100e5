// zarvel3d_occ_rwstl IN OUT: the Open CASCADE peer of zarvel3d_stl: RWStl read, binary write.
#include <OSD_Path.hxx>
#include <Poly_Triangulation.hxx>
#include <RWStl.hxx>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s IN.stl OUT.stl\n", argv[0]);
        return 2;
    }
    Handle(Poly_Triangulation) maillage = RWStl::ReadFile(argv[1]);
    if (maillage.IsNull())
    {
        return 1;
    }
    return RWStl::WriteBinary(maillage, OSD_Path(argv[2])) ? 0 : 1;
}
