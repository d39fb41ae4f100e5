#pragma once

// The four built-in test drawings, issued through the engine's drawing
// operations exactly as the program issues them, and the parameters record
// the program hands to the engine.

#include "zarvel3d/zarvel3d.h"

#include <cstring>
#include <memory>

namespace essais
{

struct Liberation
{
    void operator()(Zarvel3D::Zarvel* z) const { delete z; }
};
/// An engine released with its scope.
using Moteur = std::unique_ptr<Zarvel3D::Zarvel, Liberation>;

inline Zarvel3D::ParametresZarvel ParametresProgramme()
{
    Zarvel3D::ParametresZarvel p;
    unsigned char* octets = reinterpret_cast<unsigned char*>(&p);
    std::memset(octets, 0, sizeof(p));
    const double tolerance = 0.01;
    const std::int32_t i8 = 4, i12 = 16, i20 = 35, i24 = 0, i32 = 256;
    const std::int16_t s16 = 14, s18 = 0, s30 = 3, s36 = 1;
    const std::uint32_t ral = 9010;
    std::memcpy(octets + 0, &tolerance, 8);
    std::memcpy(octets + 8, &i8, 4);
    std::memcpy(octets + 12, &i12, 4);
    std::memcpy(octets + 16, &s16, 2);
    std::memcpy(octets + 18, &s18, 2);
    std::memcpy(octets + 20, &i20, 4);
    std::memcpy(octets + 24, &i24, 4);
    octets[28] = 0;
    octets[29] = 0;
    std::memcpy(octets + 30, &s30, 2);
    std::memcpy(octets + 32, &i32, 4);
    std::memcpy(octets + 36, &s36, 2);
    std::memcpy(octets + 40, &ral, 4);
    return p;
}

inline Zarvel3D::AttributsLigne Trait()
{
    Zarvel3D::AttributsLigne a;
    const unsigned char octets[6] = {0, 0, 0, 255, 1, 0};
    std::memcpy(&a, octets, sizeof(octets));
    return a;
}

inline void Ligne(Zarvel3D::Zarvel& z, int vue, double x1, double y1, double x2, double y2)
{
    z.AjoutLigne(vue, Zarvel3D::Point2D(x1, y1), Zarvel3D::Point2D(x2, y2), Trait(), 0, 0);
}

inline void Rectangle(Zarvel3D::Zarvel& z, int vue, double l, double h)
{
    Ligne(z, vue, 0, 0, l, 0);
    Ligne(z, vue, l, 0, l, h);
    Ligne(z, vue, l, h, 0, h);
    Ligne(z, vue, 0, h, 0, 0);
}

inline int GenCube(Zarvel3D::Zarvel& z)
{
    for (int vue : {2, 4, 8})
    {
        Rectangle(z, vue, 15, 15);
    }
    return z.Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0);
}

inline int GenMod(Zarvel3D::Zarvel& z)
{
    Rectangle(z, 2, 15, 10);
    z.AjoutEllipse(2, Zarvel3D::Point2D(7.5, 5), 8, 6, 0, 360, 0, Trait(), 0);
    Rectangle(z, 4, 6, 10);
    Ligne(z, 4, 0, 8, 6, 8);
    Ligne(z, 4, 0, 2, 6, 2);
    Rectangle(z, 8, 15, 6);
    Ligne(z, 8, 11.5, 0, 11.5, 6);
    Ligne(z, 8, 3.5, 0, 3.5, 6);
    return z.Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0);
}

inline int GenExtrusion(Zarvel3D::Zarvel& z)
{
    Rectangle(z, 8, 10, 10);
    return z.Generation(Zarvel3D::ZARVEL_EXTRUSION, 5.0);
}

inline int GenRevolution(Zarvel3D::Zarvel& z)
{
    Rectangle(z, 4, 10, 10);
    z.AjoutPoint(4, Zarvel3D::Point2D(-3, 0));
    return z.Generation(Zarvel3D::ZARVEL_REVOLUTION, 270.0);
}

} // namespace essais
