#include "zarvel_base_code.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const unsigned char* U(const char* s)
{
    return reinterpret_cast<const unsigned char*>(s);
}

std::string Hex(const puint256& v)
{
    std::string s;
    PBaseCode::EncodeBase16(v.octets, 32, s, false);
    return s;
}

struct VecteurRFC
{
    const char* clair;
    const char* base16;
    const char* base32;
    const char* base64;
};

// Test vectors of RFC 4648, section 10 (the empty input is refused by our
// encoders, see EncodeurRefuseEntreeVide).
const VecteurRFC vecteurs[] = {
    {"f", "66", "MY======", "Zg=="},
    {"fo", "666f", "MZXQ====", "Zm8="},
    {"foo", "666f6f", "MZXW6===", "Zm9v"},
    {"foob", "666f6f62", "MZXW6YQ=", "Zm9vYg=="},
    {"fooba", "666f6f6261", "MZXW6YTB", "Zm9vYmE="},
    {"foobar", "666f6f626172", "MZXW6YTBOI======", "Zm9vYmFy"},
};
} // namespace

TEST(PBaseCode, VecteursRFC4648DansLesDeuxSens)
{
    for (const VecteurRFC& v : vecteurs)
    {
        const std::string clair(v.clair);
        const unsigned int n = static_cast<unsigned int>(clair.size());
        std::string s;
        ASSERT_TRUE(PBaseCode::EncodeBase16(U(v.clair), static_cast<int>(n), s, false));
        EXPECT_EQ(s, v.base16);
        ASSERT_TRUE(PBaseCode::EncodeBase32(U(v.clair), n, s));
        EXPECT_EQ(s, v.base32);
        ASSERT_TRUE(PBaseCode::EncodeBase64(U(v.clair), n, s));
        EXPECT_EQ(s, v.base64);

        std::string d;
        EXPECT_TRUE(
            PBaseCode::DecodeBase16(U(v.base16), static_cast<int>(std::string(v.base16).size()), d, false));
        EXPECT_EQ(d, clair);
        EXPECT_TRUE(
            PBaseCode::DecodeBase32(U(v.base32), static_cast<unsigned int>(std::string(v.base32).size()), d));
        EXPECT_EQ(d, clair) << v.base32;
        EXPECT_TRUE(
            PBaseCode::DecodeBase64(U(v.base64), static_cast<unsigned int>(std::string(v.base64).size()), d));
        EXPECT_EQ(d, clair) << v.base64;
    }
}

TEST(PBaseCode, EncodeurRefuseEntreeVide)
{
    std::string s = "x";
    EXPECT_FALSE(PBaseCode::EncodeBase64(U(""), 0, s));
    EXPECT_TRUE(s.empty());
    EXPECT_FALSE(PBaseCode::EncodeBase32(nullptr, 3, s));
    EXPECT_FALSE(PBaseCode::EncodeBase16(nullptr, 3, s, false));
    s = "x";
    EXPECT_TRUE(PBaseCode::EncodeBase16(U("ab"), -1, s, false));
    EXPECT_TRUE(s.empty());
}

TEST(PBaseCode, Base16InverseEtMajuscules)
{
    const unsigned char octets[2] = {0x01, 0xAB};
    std::string s;
    ASSERT_TRUE(PBaseCode::EncodeBase16(octets, 2, s, false));
    EXPECT_EQ(s, "01ab");
    ASSERT_TRUE(PBaseCode::EncodeBase16(octets, 2, s, true));
    EXPECT_EQ(s, "ab01");
    std::string d;
    ASSERT_TRUE(PBaseCode::DecodeBase16(U("ab01"), 4, d, true));
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(d[0]), 0x01);
    EXPECT_EQ(static_cast<unsigned char>(d[1]), 0xAB);

    // Upper-case digits stop the decoding, keeping the pairs before them.
    EXPECT_FALSE(PBaseCode::DecodeBase16(U("01AB"), 4, d, false));
    EXPECT_EQ(d, std::string(1, '\x01'));
    // Odd length: the complete pairs, then false.
    EXPECT_FALSE(PBaseCode::DecodeBase16(U("01ab0"), 5, d, false));
    EXPECT_EQ(d.size(), 2u);
    EXPECT_FALSE(PBaseCode::DecodeBase16(U("0ab01"), 5, d, true));
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(d[0]), 0x01);
}

TEST(PBaseCode, ReglesArretDecodage64Et32)
{
    std::string d = "x";
    EXPECT_FALSE(PBaseCode::DecodeBase64(U("=AAA"), 4, d));
    EXPECT_TRUE(d.empty());
    // Two characters make one byte.
    EXPECT_TRUE(PBaseCode::DecodeBase64(U("Zm"), 2, d));
    EXPECT_EQ(d, "f");
    // A '=' at the start of a following group, length not reached: false,
    // but the first group's bytes stay.
    EXPECT_FALSE(PBaseCode::DecodeBase64(U("Zm9v=AAA"), 8, d));
    EXPECT_EQ(d, "foo");
    // A character outside the alphabet.
    EXPECT_FALSE(PBaseCode::DecodeBase64(U("Zm9v*m9v"), 8, d));
    EXPECT_EQ(d, "foo");
    // The length ends the decoding before a NUL.
    EXPECT_TRUE(PBaseCode::DecodeBase64(U("Zm9vYmFy"), 4, d));
    EXPECT_EQ(d, "foo");

    EXPECT_FALSE(PBaseCode::DecodeBase32(U("mzxw6==="), 8, d));
    EXPECT_TRUE(d.empty());
    EXPECT_FALSE(PBaseCode::DecodeBase32(U("MZXW6YTB\0"), 9, d));
    EXPECT_EQ(d, "fooba");
}

TEST(PBaseCode, RemplissageDeUnACinqOctets)
{
    // Padding lengths: Base64 cycles 2,1,0; Base32 6,4,3,1,0.
    const unsigned char o[5] = {0xFF, 0x00, 0x7F, 0x80, 0x01};
    const size_t bourrage64[6] = {0, 2, 1, 0, 2, 1};
    const size_t bourrage32[6] = {0, 6, 4, 3, 1, 0};
    for (unsigned int n = 1; n <= 5; ++n)
    {
        std::string s, d;
        ASSERT_TRUE(PBaseCode::EncodeBase64(o, n, s));
        EXPECT_EQ(s.size() - s.find_last_not_of('='), bourrage64[n] + 1);
        ASSERT_TRUE(PBaseCode::DecodeBase64(U(s.c_str()), static_cast<unsigned int>(s.size()), d));
        EXPECT_EQ(d, std::string(reinterpret_cast<const char*>(o), n));
        ASSERT_TRUE(PBaseCode::EncodeBase32(o, n, s));
        EXPECT_EQ(s.size(), 8u);
        EXPECT_EQ(s.size() - 1 - s.find_last_not_of('='), bourrage32[n]);
        ASSERT_TRUE(PBaseCode::DecodeBase32(U(s.c_str()), static_cast<unsigned int>(s.size()), d));
        EXPECT_EQ(d, std::string(reinterpret_cast<const char*>(o), n));
    }
}

TEST(puint256, Encodages)
{
    puint256 un{};
    un.octets[0] = 1;
    EXPECT_EQ(un.encode16(), std::string(63, '0') + "1");
    EXPECT_EQ(un.encode64().size(), 44u);
    EXPECT_EQ(un.encode64().back(), '=');
    EXPECT_EQ(un.encode64().substr(0, 2), "AQ");
}

TEST(PBaseHash, SHA256VecteursFIPS180)
{
    EXPECT_EQ(Hex(PBaseHash::calc_SHA256(U(""), 0)),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Hex(PBaseHash::calc_SHA256(U("abc"), 3)),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const char* m448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Hex(PBaseHash::calc_SHA256(U(m448), 56)),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    const std::string million(1000000, 'a');
    EXPECT_EQ(Hex(PBaseHash::calc_SHA256(U(million.c_str()), 1000000)),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // Null data: all zero, not the digest of the empty message.
    EXPECT_EQ(Hex(PBaseHash::calc_SHA256(nullptr, 5)), std::string(64, '0'));
}

TEST(PBaseHash, SHA256LimitesDeBloc)
{
    // 55, 56 and 64 bytes straddle the one- and two-block padding cases; the
    // digests of these lengths of 'a' are published widely.
    EXPECT_EQ(Hex(PBaseHash::calc_SHA256(U(std::string(55, 'a').c_str()), 55)),
              "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(Hex(PBaseHash::calc_SHA256(U(std::string(56, 'a').c_str()), 56)),
              "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
    EXPECT_EQ(Hex(PBaseHash::calc_SHA256(U(std::string(64, 'a').c_str()), 64)),
              "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
}

TEST(PBaseHash, CRC32ValeurDeControleEtChainage)
{
    EXPECT_EQ(PBaseHash::calc_CRC32(U("123456789"), 9, 0), 0xCBF43926u);
    const unsigned int premier = PBaseHash::calc_CRC32(U("1234"), 4, 0);
    EXPECT_EQ(PBaseHash::calc_CRC32(U("56789"), 5, premier), 0xCBF43926u);
    EXPECT_EQ(PBaseHash::calc_CRC32(nullptr, 9, 1234u), 1234u);
    EXPECT_EQ(PBaseHash::calc_CRC32(U("x"), 0, 77u), 77u);
    // Long input crosses the eight-byte path: compare with byte-by-byte chaining.
    std::vector<unsigned char> data(1000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 31 + 7);
    unsigned int c = 0;
    for (unsigned char o : data)
        c = PBaseHash::calc_CRC32(&o, 1, c);
    EXPECT_EQ(PBaseHash::calc_CRC32(data.data(), 1000, 0), c);
}

TEST(PInlineHash, CalcHashEtIndependanceDeLOrdre)
{
    EXPECT_EQ(PBaseHash::PInlineHash::calcHash(0, 0), 0xF9D93FE7u);
    PBaseHash::PInlineHash h;
    EXPECT_EQ(h.sommeH(), 0ul);
    h.ajoutH(1);
    h.ajoutH(2);
    PBaseHash::PInlineHash g;
    g.ajoutH(2);
    g.ajoutH(1);
    EXPECT_EQ(h.hash, g.hash);
    EXPECT_EQ(h.sommeH(), g.sommeH());

    PBaseHash::PInlineHash avant = h;
    h.ajoutH(12345);
    EXPECT_NE(h.hash, avant.hash);
    h.retraitH(12345);
    EXPECT_EQ(h.nombre, avant.nombre);
    EXPECT_EQ(h.somme, avant.somme);
    EXPECT_EQ(h.hash, avant.hash);
    // Removing the first value added leaves the hash of the other one.
    h.retraitH(1);
    PBaseHash::PInlineHash seul;
    seul.ajoutH(2);
    EXPECT_EQ(h.sommeH(), seul.sommeH());
}

TEST(PBaseHash, MixeursReversibles)
{
    EXPECT_EQ(PBaseHash::mix64(0), 0xF2E77CDD74A9A29Aul);
    PBaseHash::PRandSHA256 r(99);
    for (int i = 0; i < 1000; ++i)
    {
        const unsigned long x = r.randSHA256_U64();
        EXPECT_EQ(PBaseHash::unmix64(PBaseHash::mix64(x)), x);
    }
    unsigned int m[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    PBaseHash::mix256(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7]);
    for (unsigned int v : m)
        EXPECT_EQ(v, 0u);
    unsigned int w[8] = {1, 2, 3, 4, 5, 6, 7, 0xFFFFFFFF};
    unsigned int w0[8];
    std::copy(w, w + 8, w0);
    PBaseHash::mix256(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
    EXPECT_FALSE(std::equal(w, w + 8, w0));
    PBaseHash::unmix256(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
    EXPECT_TRUE(std::equal(w, w + 8, w0));
}

TEST(PRandSHA256, SequencesEnAvantEtEnArriere)
{
    PBaseHash::PRandSHA256 un(1);
    EXPECT_EQ(un.randSHA256_U64(), 0xE6F13AE3B10DD90Aul);

    PBaseHash::PRandSHA256 r(0);
    const PBaseHash::PRandSHA256 seme = r;
    EXPECT_EQ(r.randSHA256_U64(), 0xB401E11426A90D4Dul);
    EXPECT_EQ(r.randSHA256_U64(), 0x3E7BA0658B4D209Dul);
    EXPECT_EQ(r.randSHA256_U64(), 0x2C2E30326BC40E09ul);
    EXPECT_EQ(r.unRandSHA256_U64(), 0x2C2E30326BC40E09ul);
    EXPECT_EQ(r.unRandSHA256_U64(), 0x3E7BA0658B4D209Dul);
    EXPECT_EQ(r.unRandSHA256_U64(), 0xB401E11426A90D4Dul);
    EXPECT_EQ(r.position, seme.position);
    EXPECT_TRUE(std::equal(r.etat.octets, r.etat.octets + 32, seme.etat.octets));

    PBaseHash::PRandSHA256 defaut(0x5AC367B111D947C5ul);
    PBaseHash::PRandSHA256 zero(0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(defaut.randSHA256_U64(), zero.randSHA256_U64());
}

TEST(PRandSHA256, Sorties32BitsReversibles)
{
    PBaseHash::PRandSHA256 r(7);
    PBaseHash::PRandSHA256 t(7);
    std::vector<unsigned int> v;
    for (int i = 0; i < 9; ++i)
    {
        v.push_back(r.randSHA256_U32());
        // The 32-bit output is the 64-bit one shifted by 3 x the new position.
        const unsigned long w = t.randSHA256_U64();
        EXPECT_EQ(v.back(), static_cast<unsigned int>(w >> (3 * t.position)));
    }
    for (int i = 8; i >= 0; --i)
        EXPECT_EQ(r.unRandSHA256_U32(), v[static_cast<size_t>(i)]);
}
