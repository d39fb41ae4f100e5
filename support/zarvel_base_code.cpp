#include "zarvel_base_code.h"

#include <cstring>

namespace
{
const char alphabet64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char alphabet32[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
const char alphabet16[] = "0123456789abcdef";

int Valeur64(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

int Valeur32(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= '2' && c <= '7') return c - '2' + 26;
    return -1;
}

int Valeur16(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Shared decoder for Base64 (groups of 4 x 6 bits) and Base32 (groups of
// 8 x 5 bits): bits accumulate and a byte is emitted as soon as 8 are held,
// which is exactly after the characters that complete it.
bool DecodeGroupes(const unsigned char* texte, unsigned int taille, std::string& sortie,
                   unsigned int par_groupe, unsigned int bits, int (*valeur)(unsigned char))
{
    sortie.clear();
    if (!texte || taille == 0 || texte[0] == '\0' || texte[0] == '=') return false;
    unsigned int i = 0;
    for (;;)
    {
        if (i >= taille) return true;
        if (i > 0 && (texte[i] == '\0' || texte[i] == '=')) return false;
        unsigned int accumulateur = 0;
        unsigned int nombre_bits = 0;
        for (unsigned int k = 0; k < par_groupe; ++k)
        {
            if (i >= taille) return true;
            const unsigned char c = texte[i];
            if (c == '=' && k > 0) return true;
            const int v = valeur(c);
            if (v < 0) return false;
            accumulateur = (accumulateur << bits) | static_cast<unsigned int>(v);
            nombre_bits += bits;
            ++i;
            if (nombre_bits >= 8)
            {
                nombre_bits -= 8;
                sortie.push_back(static_cast<char>((accumulateur >> nombre_bits) & 0xFF));
                accumulateur &= (1u << nombre_bits) - 1u;
            }
        }
    }
}

inline unsigned int Rotd(unsigned int x, unsigned int n)
{
    return (x >> n) | (x << (32 - n));
}

const unsigned int k256[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

void BlocSHA256(unsigned int etat[8], const unsigned char* bloc)
{
    unsigned int w[64];
    for (int t = 0; t < 16; ++t)
        w[t] = (static_cast<unsigned int>(bloc[4 * t]) << 24) |
               (static_cast<unsigned int>(bloc[4 * t + 1]) << 16) |
               (static_cast<unsigned int>(bloc[4 * t + 2]) << 8) | static_cast<unsigned int>(bloc[4 * t + 3]);
    for (int t = 16; t < 64; ++t)
    {
        const unsigned int s0 = Rotd(w[t - 15], 7) ^ Rotd(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const unsigned int s1 = Rotd(w[t - 2], 17) ^ Rotd(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    unsigned int a = etat[0], b = etat[1], c = etat[2], d = etat[3];
    unsigned int e = etat[4], f = etat[5], g = etat[6], h = etat[7];
    for (int t = 0; t < 64; ++t)
    {
        const unsigned int S1 = Rotd(e, 6) ^ Rotd(e, 11) ^ Rotd(e, 25);
        const unsigned int ch = (e & f) ^ (~e & g);
        const unsigned int t1 = h + S1 + ch + k256[t] + w[t];
        const unsigned int S0 = Rotd(a, 2) ^ Rotd(a, 13) ^ Rotd(a, 22);
        const unsigned int maj = (a & b) ^ (a & c) ^ (b & c);
        const unsigned int t2 = S0 + maj;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    etat[0] += a;
    etat[1] += b;
    etat[2] += c;
    etat[3] += d;
    etat[4] += e;
    etat[5] += f;
    etat[6] += g;
    etat[7] += h;
}

struct TableCRC32
{
    unsigned int t[8][256];
    TableCRC32()
    {
        for (unsigned int i = 0; i < 256; ++i)
        {
            unsigned int c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
            t[0][i] = c;
        }
        for (unsigned int i = 0; i < 256; ++i)
            for (int k = 1; k < 8; ++k)
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
};

const TableCRC32& CRC32()
{
    static const TableCRC32 table;
    return table;
}

// The 64-bit words of PRandSHA256 are rotated by half their width around the
// byte rounds of mix64.
inline unsigned long Rot32(unsigned long x)
{
    return (x << 32) | (x >> 32);
}
} // namespace

std::string puint256::encode16() const
{
    std::string s;
    PBaseCode::EncodeBase16(octets, 32, s, true);
    return s;
}

std::string puint256::encode64() const
{
    std::string s;
    PBaseCode::EncodeBase64(octets, 32, s);
    return s;
}

namespace PBaseCode
{
bool EncodeBase64(const unsigned char* donnees, unsigned int taille, std::string& sortie)
{
    sortie.clear();
    if (!donnees || taille == 0) return false;
    sortie.reserve((taille + 2) / 3 * 4);
    unsigned int i = 0;
    for (; i + 3 <= taille; i += 3)
    {
        const unsigned int v = (donnees[i] << 16) | (donnees[i + 1] << 8) | donnees[i + 2];
        sortie.push_back(alphabet64[(v >> 18) & 63]);
        sortie.push_back(alphabet64[(v >> 12) & 63]);
        sortie.push_back(alphabet64[(v >> 6) & 63]);
        sortie.push_back(alphabet64[v & 63]);
    }
    const unsigned int reste = taille - i;
    if (reste == 1)
    {
        const unsigned int v = donnees[i] << 16;
        sortie.push_back(alphabet64[(v >> 18) & 63]);
        sortie.push_back(alphabet64[(v >> 12) & 63]);
        sortie.append("==");
    }
    else if (reste == 2)
    {
        const unsigned int v = (donnees[i] << 16) | (donnees[i + 1] << 8);
        sortie.push_back(alphabet64[(v >> 18) & 63]);
        sortie.push_back(alphabet64[(v >> 12) & 63]);
        sortie.push_back(alphabet64[(v >> 6) & 63]);
        sortie.push_back('=');
    }
    return true;
}

bool DecodeBase64(const unsigned char* texte, unsigned int taille, std::string& sortie)
{
    return DecodeGroupes(texte, taille, sortie, 4, 6, Valeur64);
}

bool EncodeBase32(const unsigned char* donnees, unsigned int taille, std::string& sortie)
{
    sortie.clear();
    if (!donnees || taille == 0) return false;
    sortie.reserve((taille + 4) / 5 * 8);
    for (unsigned int i = 0; i < taille; i += 5)
    {
        const unsigned int n = (taille - i < 5) ? taille - i : 5;
        unsigned long long v = 0;
        for (unsigned int k = 0; k < 5; ++k)
            v = (v << 8) | (k < n ? donnees[i + k] : 0);
        // Characters that carry at least one bit of the n input bytes.
        static const unsigned int caracteres[6] = {0, 2, 4, 5, 7, 8};
        for (unsigned int k = 0; k < 8; ++k)
        {
            if (k < caracteres[n])
                sortie.push_back(alphabet32[(v >> (35 - 5 * k)) & 31]);
            else
                sortie.push_back('=');
        }
    }
    return true;
}

bool DecodeBase32(const unsigned char* texte, unsigned int taille, std::string& sortie)
{
    return DecodeGroupes(texte, taille, sortie, 8, 5, Valeur32);
}

bool EncodeBase16(const unsigned char* donnees, int taille, std::string& sortie, bool inverse)
{
    sortie.clear();
    if (!donnees || taille == 0) return false;
    if (taille < 0) return true;
    sortie.reserve(static_cast<size_t>(taille) * 2);
    for (int i = 0; i < taille; ++i)
    {
        const unsigned char o = donnees[inverse ? taille - 1 - i : i];
        sortie.push_back(alphabet16[o >> 4]);
        sortie.push_back(alphabet16[o & 15]);
    }
    return true;
}

bool DecodeBase16(const unsigned char* texte, int taille, std::string& sortie, bool inverse)
{
    sortie.clear();
    if (!texte || taille == 0) return false;
    if (taille < 0) return true;
    const int paires = taille / 2;
    for (int p = 0; p < paires; ++p)
    {
        const int debut = inverse ? taille - 2 * (p + 1) : 2 * p;
        const int haut = Valeur16(texte[debut]);
        const int bas = Valeur16(texte[debut + 1]);
        if (haut < 0 || bas < 0) return false;
        sortie.push_back(static_cast<char>((haut << 4) | bas));
    }
    return (taille % 2) == 0;
}
} // namespace PBaseCode

namespace PBaseHash
{
void PInlineHash::reinitH()
{
    nombre = 0;
    somme = 0;
    hash = 0;
}

unsigned int PInlineHash::calcHash(unsigned int h, unsigned int v)
{
    typedef unsigned char u8;
    const unsigned int x = ~v;
    const u8 b0 = static_cast<u8>(x), b1 = static_cast<u8>(x >> 8);
    const u8 b2 = static_cast<u8>(x >> 16), b3 = static_cast<u8>(x >> 24);
    const u8 t1 = static_cast<u8>(b3 - b1);
    const u8 s = static_cast<u8>(((b2 >> 2) ^ b0) + t1);
    const u8 t2 = static_cast<u8>(b2 - s);
    const u8 c = static_cast<u8>(static_cast<u8>((s << 4) ^ t1) + t2);
    const u8 d = static_cast<u8>(b1 - c);
    const u8 e = static_cast<u8>(((d >> 3) ^ t2) + d);
    const u8 f = static_cast<u8>(s - e);
    const u8 k = static_cast<u8>(f + static_cast<u8>((c << 5) ^ d));
    const unsigned int F = (static_cast<unsigned int>(k) << 24) | (static_cast<unsigned int>(f) << 16) |
                           (static_cast<unsigned int>(c) << 8) | e;
    return F ^ h;
}

unsigned int PInlineHash::ajoutH(unsigned int v)
{
    ++nombre;
    somme += v + 1;
    hash = calcHash(hash, v) ^ ~nombre;
    return hash;
}

unsigned int PInlineHash::retraitH(unsigned int v)
{
    somme -= v + 1;
    hash = calcHash(hash, v) ^ ~nombre;
    --nombre;
    return hash;
}

unsigned long PInlineHash::sommeH() const
{
    return ((static_cast<unsigned long>(somme) << 32) ^ hash) | (static_cast<unsigned long>(nombre) << 24);
}

unsigned int calc_CRC32(const unsigned char* donnees, unsigned int taille, unsigned int crc)
{
    if (!donnees || taille == 0) return crc;
    const TableCRC32& T = CRC32();
    unsigned int c = ~crc;
    // Eight bytes per step (slicing by eight), then the tail byte by byte.
    while (taille >= 8)
    {
        const unsigned int lo = c ^ (donnees[0] | (donnees[1] << 8) | (donnees[2] << 16) |
                                     (static_cast<unsigned int>(donnees[3]) << 24));
        c = T.t[7][lo & 0xFF] ^ T.t[6][(lo >> 8) & 0xFF] ^ T.t[5][(lo >> 16) & 0xFF] ^ T.t[4][lo >> 24] ^
            T.t[3][donnees[4]] ^ T.t[2][donnees[5]] ^ T.t[1][donnees[6]] ^ T.t[0][donnees[7]];
        donnees += 8;
        taille -= 8;
    }
    while (taille--)
        c = T.t[0][(c ^ *donnees++) & 0xFF] ^ (c >> 8);
    return ~c;
}

puint256 calc_SHA256(const unsigned char* donnees, unsigned int taille)
{
    puint256 r;
    std::memset(r.octets, 0, sizeof r.octets);
    if (!donnees) return r;
    unsigned int etat[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                            0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    unsigned int i = 0;
    for (; taille - i >= 64; i += 64)
        BlocSHA256(etat, donnees + i);
    unsigned char dernier[128];
    const unsigned int reste = taille - i;
    std::memcpy(dernier, donnees + i, reste);
    dernier[reste] = 0x80;
    const unsigned int longueur_bloc = (reste + 9 <= 64) ? 64 : 128;
    std::memset(dernier + reste + 1, 0, longueur_bloc - reste - 1);
    const unsigned long long bits = static_cast<unsigned long long>(taille) * 8;
    for (int k = 0; k < 8; ++k)
        dernier[longueur_bloc - 1 - k] = static_cast<unsigned char>(bits >> (8 * k));
    BlocSHA256(etat, dernier);
    if (longueur_bloc == 128) BlocSHA256(etat, dernier + 64);
    for (int k = 0; k < 8; ++k)
        for (int j = 0; j < 4; ++j)
            r.octets[4 * k + j] = static_cast<unsigned char>(etat[k] >> (24 - 8 * j));
    return r;
}

void mix256(unsigned int& a, unsigned int& b, unsigned int& c, unsigned int& d, unsigned int& e,
            unsigned int& f, unsigned int& g, unsigned int& h)
{
    // clang-format off
    for (int tour = 0; tour < 15; ++tour)
    {
        a -= e; f ^= h >> 8;  h += a;
        b -= f; g ^= a << 8;  a += b;
        c -= g; h ^= b >> 11; b += c;
        d -= h; a ^= c << 3;  c += d;
        e -= a; b ^= d >> 6;  d += e;
        f -= b; c ^= e << 4;  e += f;
        g -= c; d ^= f >> 13; f += g;
        h -= d; e ^= g << 13; g += h;
    }
    // clang-format on
}

void unmix256(unsigned int& a, unsigned int& b, unsigned int& c, unsigned int& d, unsigned int& e,
              unsigned int& f, unsigned int& g, unsigned int& h)
{
    // clang-format off
    for (int tour = 0; tour < 15; ++tour)
    {
        g -= h; e ^= g << 13; h += d;
        f -= g; d ^= f >> 13; g += c;
        e -= f; c ^= e << 4;  f += b;
        d -= e; b ^= d >> 6;  e += a;
        c -= d; a ^= c << 3;  d += h;
        b -= c; h ^= b >> 11; c += g;
        a -= b; g ^= a << 8;  b += f;
        h -= a; f ^= h >> 8;  a += e;
    }
    // clang-format on
}

unsigned long mix64(unsigned long x)
{
    const unsigned long y = ~x;
    unsigned char B[8];
    for (int k = 0; k < 8; ++k)
        B[k] = static_cast<unsigned char>(y >> (8 * k));
    // clang-format off
    for (int tour = 0; tour < 8; ++tour)
    {
        B[7] -= B[3]; B[6] -= B[2]; B[5] -= B[1]; B[0] += B[7];
        B[7] += B[6]; B[6] += B[5]; B[4] -= B[0]; B[3] -= B[7];
        B[2] -= B[6]; B[5] += B[4]; B[4] += B[3]; B[3] += B[2];
        B[1] -= B[5]; B[0] -= B[4]; B[2] += B[1]; B[1] += B[0];
    }
    // clang-format on
    unsigned long r = 0;
    for (int k = 0; k < 8; ++k)
        r |= static_cast<unsigned long>(B[k]) << (8 * k);
    return Rot32(r);
}

unsigned long unmix64(unsigned long x)
{
    const unsigned long y = Rot32(x);
    unsigned char B[8];
    for (int k = 0; k < 8; ++k)
        B[k] = static_cast<unsigned char>(y >> (8 * k));
    // clang-format off
    for (int tour = 0; tour < 8; ++tour)
    {
        B[1] -= B[0]; B[2] -= B[1]; B[0] += B[4]; B[1] += B[5];
        B[3] -= B[2]; B[4] -= B[3]; B[5] -= B[4]; B[2] += B[6];
        B[3] += B[7]; B[4] += B[0]; B[6] -= B[5]; B[7] -= B[6];
        B[0] -= B[7]; B[5] += B[1]; B[6] += B[2]; B[7] += B[3];
    }
    // clang-format on
    unsigned long r = 0;
    for (int k = 0; k < 8; ++k)
        r |= static_cast<unsigned long>(B[k]) << (8 * k);
    return ~r;
}

PRandSHA256::PRandSHA256(unsigned long graine)
{
    position = 0;
    std::memset(etat.octets, 0, sizeof etat.octets);
    SeedSHA256(graine);
}

void PRandSHA256::SeedSHA256(unsigned long graine)
{
    if (graine == 0) graine = 0x5AC367B111D947C5ul;
    unsigned char octets[8];
    for (int k = 0; k < 8; ++k)
        octets[k] = static_cast<unsigned char>(graine >> (8 * k));
    const puint256 h = calc_SHA256(octets, 8);
    std::memcpy(etat.octets, h.octets, 32);
    unsigned int* m = etat.mots32;
    mix256(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7]);
    position = 0;
}

unsigned long PRandSHA256::Sortie() const
{
    const puint256 h = calc_SHA256(etat.octets, 32);
    union
    {
        unsigned int mots32[8];
        unsigned long mots64[4];
    } m;
    std::memcpy(m.mots32, h.octets, 32);
    mix256(m.mots32[0], m.mots32[1], m.mots32[2], m.mots32[3], m.mots32[4], m.mots32[5], m.mots32[6],
           m.mots32[7]);
    return m.mots64[position & 3];
}

unsigned long PRandSHA256::randSHA256_U64()
{
    for (int k = 0; k < 4; ++k)
        etat.mots64[k] = mix64(etat.mots64[k] + static_cast<unsigned long>(k + 1));
    position = (position + 1) & 3;
    return Sortie();
}

unsigned int PRandSHA256::randSHA256_U32()
{
    const unsigned long v = randSHA256_U64();
    return static_cast<unsigned int>(v >> (3 * position));
}

unsigned long PRandSHA256::unRandSHA256_U64()
{
    const unsigned long sortie = Sortie();
    for (int k = 0; k < 4; ++k)
        etat.mots64[k] = unmix64(etat.mots64[k]) - static_cast<unsigned long>(k + 1);
    position = (position + 3) & 3;
    return sortie;
}

unsigned int PRandSHA256::unRandSHA256_U32()
{
    const int decalage = 3 * position;
    return static_cast<unsigned int>(unRandSHA256_U64() >> decalage);
}
} // namespace PBaseHash
