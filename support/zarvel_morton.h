#pragma once

#include <array>
#include <cstdint>

/// Morton (Z-order) building blocks: bits of integer coordinates spread and
/// gathered so that points close in space get close codes. In a 3D code X
/// takes bits 0, 3, 6..., Y bits 1, 4, 7... and Z bits 2, 5, 8...

/// Lookup tables of the 3D codes: bit k of the index goes to bit 3k (X),
/// 3k + 1 (Y) or 3k + 2 (Z).
extern const std::array<uint32_t, 256> Morton3D_encode_x_256;
extern const std::array<uint32_t, 256> Morton3D_encode_y_256;
extern const std::array<uint32_t, 256> Morton3D_encode_z_256;
/// Axis-major, 3 x 512 entries: entry 512a + c holds bits a, a + 3 and a + 6 of
/// the 9-bit chunk c gathered into bits 0 to 2.
extern const std::array<uint32_t, 3 * 512> Morton3D_decode_512;

/// 1 when the argument is within 0.0001 of 1, otherwise its inverse (no guard
/// against 0, which gives an infinity).
float PMortonCalcEchelle(float echelle);

class PMorton2Di_32
{
public:
    /// Low 16 bits spread to the even bit positions.
    static uint32_t encode_priv(unsigned int x);
    /// Even bits gathered into the low 16 bits.
    static uint32_t decode_priv(unsigned int code);
};

class PMorton2Di_64
{
public:
    /// Low 32 bits spread to the even positions of a 64-bit word.
    static uint64_t encode_priv(unsigned long x);
    /// The 32 even bits gathered.
    static uint32_t decode_priv(unsigned long code);
};

class PMorton3Di_32
{
public:
    /// 30-bit code of (x, y, z), 10 bits per coordinate.
    static uint32_t encode_priv(unsigned int x, unsigned int y, unsigned int z);
    /// Coordinate of axis 0, 1 or 2 from a 30-bit code; 0 for another axis.
    static uint32_t decode_priv(unsigned int code, unsigned int axe);
};

class PMorton3Di_64
{
public:
    /// 63-bit code of (x, y, z), 21 bits per coordinate.
    static uint64_t encode_priv(unsigned long x, unsigned long y, unsigned long z);
    /// Coordinate of axis 0, 1 or 2 from a 63-bit code; 0 for another axis.
    static uint32_t decode_priv(unsigned long code, unsigned int axe);
};
