#include "zarvel_morton.h"

#include <cmath>

namespace
{
// The tables are generated from their rule at compile time, so that table
// and rule cannot disagree.
constexpr std::array<uint32_t, 256> TableEncodage(unsigned int decalage)
{
    std::array<uint32_t, 256> t{};
    for (unsigned int i = 0; i < 256; ++i)
    {
        uint32_t v = 0;
        for (unsigned int k = 0; k < 8; ++k)
            if (i & (1u << k)) v |= 1u << (3 * k + decalage);
        t[i] = v;
    }
    return t;
}

constexpr std::array<uint32_t, 3 * 512> TableDecodage()
{
    std::array<uint32_t, 3 * 512> t{};
    for (unsigned int a = 0; a < 3; ++a)
        for (unsigned int c = 0; c < 512; ++c)
        {
            uint32_t v = 0;
            for (unsigned int k = 0; k < 3; ++k)
                if (c & (1u << (a + 3 * k))) v |= 1u << k;
            t[512 * a + c] = v;
        }
    return t;
}
} // namespace

constexpr std::array<uint32_t, 256> Morton3D_encode_x_256 = TableEncodage(0);
constexpr std::array<uint32_t, 256> Morton3D_encode_y_256 = TableEncodage(1);
constexpr std::array<uint32_t, 256> Morton3D_encode_z_256 = TableEncodage(2);
constexpr std::array<uint32_t, 3 * 512> Morton3D_decode_512 = TableDecodage();

float PMortonCalcEchelle(float echelle)
{
    if (std::fabs(echelle - 1.0f) < 0.0001f) return 1.0f;
    return 1.0f / echelle;
}

uint32_t PMorton2Di_32::encode_priv(unsigned int x)
{
    x &= 0x0000FFFFu;
    x = (x | (x << 8)) & 0x00FF00FFu;
    x = (x | (x << 4)) & 0x0F0F0F0Fu;
    x = (x | (x << 2)) & 0x33333333u;
    x = (x | (x << 1)) & 0x55555555u;
    return x;
}

uint32_t PMorton2Di_32::decode_priv(unsigned int x)
{
    x &= 0x55555555u;
    x = (x ^ (x >> 1)) & 0x33333333u;
    x = (x ^ (x >> 2)) & 0x0F0F0F0Fu;
    x = (x ^ (x >> 4)) & 0x00FF00FFu;
    x = (x ^ (x >> 8)) & 0x0000FFFFu;
    return x;
}

uint64_t PMorton2Di_64::encode_priv(unsigned long a)
{
    uint64_t x = a & 0xFFFFFFFFull;
    x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
    x = (x | (x << 8)) & 0x00FF00FF00FF00FFull;
    x = (x | (x << 4)) & 0x0F0F0F0F0F0F0F0Full;
    x = (x | (x << 2)) & 0x3333333333333333ull;
    x = (x | (x << 1)) & 0x5555555555555555ull;
    return x;
}

uint32_t PMorton2Di_64::decode_priv(unsigned long a)
{
    uint64_t x = a & 0x5555555555555555ull;
    x = (x ^ (x >> 1)) & 0x3333333333333333ull;
    x = (x ^ (x >> 2)) & 0x0F0F0F0F0F0F0F0Full;
    x = (x ^ (x >> 4)) & 0x00FF00FF00FF00FFull;
    x = (x ^ (x >> 8)) & 0x0000FFFF0000FFFFull;
    x = (x ^ (x >> 16)) & 0x00000000FFFFFFFFull;
    return static_cast<uint32_t>(x);
}

uint32_t PMorton3Di_32::encode_priv(unsigned int x, unsigned int y, unsigned int z)
{
    return Morton3D_encode_x_256[x & 0xFF] | Morton3D_encode_y_256[y & 0xFF] |
           Morton3D_encode_z_256[z & 0xFF] |
           ((Morton3D_encode_x_256[(x >> 8) & 3] | Morton3D_encode_y_256[(y >> 8) & 3] |
             Morton3D_encode_z_256[(z >> 8) & 3])
            << 24);
}

uint32_t PMorton3Di_32::decode_priv(unsigned int code, unsigned int axe)
{
    // Only three axes exist: any other value would index past the table.
    if (axe > 2) return 0;
    const uint32_t* T = Morton3D_decode_512.data() + 512 * axe;
    return T[code & 0x1FF] | (T[(code >> 9) & 0x1FF] << 3) | (T[(code >> 18) & 0x1FF] << 6) |
           (T[code >> 27] << 9);
}

uint64_t PMorton3Di_64::encode_priv(unsigned long x, unsigned long y, unsigned long z)
{
    const uint64_t bas =
        Morton3D_encode_x_256[x & 0xFF] | Morton3D_encode_y_256[y & 0xFF] | Morton3D_encode_z_256[z & 0xFF];
    const uint64_t milieu = Morton3D_encode_x_256[(x >> 8) & 0xFF] | Morton3D_encode_y_256[(y >> 8) & 0xFF] |
                            Morton3D_encode_z_256[(z >> 8) & 0xFF];
    const uint64_t haut = Morton3D_encode_x_256[(x >> 16) & 31] | Morton3D_encode_y_256[(y >> 16) & 31] |
                          Morton3D_encode_z_256[(z >> 16) & 31];
    return bas | (milieu << 24) | (haut << 48);
}

uint32_t PMorton3Di_64::decode_priv(unsigned long code, unsigned int axe)
{
    if (axe > 2) return 0;
    const uint32_t* T = Morton3D_decode_512.data() + 512 * axe;
    uint32_t r = 0;
    for (unsigned int j = 0; j < 7; ++j)
        r |= T[(code >> (9 * j)) & 0x1FF] << (3 * j);
    return r;
}
