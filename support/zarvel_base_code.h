#pragma once

#include <cstdint>
#include <string>

/// 256-bit unsigned value held in 32 bytes, byte 0 least significant.
/// It is the result type of SHA-256 (byte 0 is then the digest's first byte).
struct puint256
{
    unsigned char octets[32];

    /// 64 lower-case hexadecimal digits, most significant byte first.
    std::string encode16() const;
    /// Base64 of the 32 bytes in memory order: 44 characters ending in '='.
    std::string encode64() const;
};

/// Base16, Base32 and Base64 (RFC 4648 alphabets and padding). Every function
/// clears its output first and returns false on bad input, keeping in the
/// output the bytes decoded before the stop.
namespace PBaseCode
{
/// Base64 with '=' padding, no line breaks. False for null data or length 0.
bool EncodeBase64(const unsigned char* donnees, unsigned int taille, std::string& sortie);
/// Base64 text to bytes. Stops with true at the given length or at a '='
/// inside a group; with false on a character outside the alphabet or on a
/// group that starts with NUL or '=' before the length is reached.
bool DecodeBase64(const unsigned char* texte, unsigned int taille, std::string& sortie);
/// Base32 with '=' padding. False for null data or length 0.
bool EncodeBase32(const unsigned char* donnees, unsigned int taille, std::string& sortie);
/// Base32 text (upper case and digits 2-7 only) to bytes, same stop rules as
/// DecodeBase64 with groups of 8.
bool DecodeBase32(const unsigned char* texte, unsigned int taille, std::string& sortie);
/// Two lower-case digits per byte, high nibble first; with `inverse` the bytes
/// are taken from last to first. False for null data or length 0; true and
/// empty for a negative length.
bool EncodeBase16(const unsigned char* donnees, int taille, std::string& sortie, bool inverse);
/// Pairs of lower-case digits to bytes; with `inverse` the pairs are read
/// from the end of the text. Upper-case digits and odd lengths give false
/// (after the complete pairs before the fault are decoded).
bool DecodeBase16(const unsigned char* texte, int taille, std::string& sortie, bool inverse);
} // namespace PBaseCode

/// Hashes, reversible mixers and a reversible SHA-256 based generator. All
/// arithmetic is unsigned and wraps; shifts are logical.
namespace PBaseHash
{
/// Order-independent incremental hash of a multiset of 32-bit values.
class PInlineHash
{
public:
    PInlineHash() { reinitH(); }
    /// Back to the empty state.
    void reinitH();
    /// One value's contribution: a byte-wise scramble of `v` XOR `h`.
    static unsigned int calcHash(unsigned int h, unsigned int v);
    /// Adds a value; returns the new hash.
    unsigned int ajoutH(unsigned int v);
    /// Removes a value that was added; returns the new hash.
    unsigned int retraitH(unsigned int v);
    /// Count, sum and hash folded into one 64-bit word (0 when empty).
    unsigned long sommeH() const;

    unsigned int nombre;
    unsigned int somme;
    unsigned int hash;
};

/// CRC-32 (reflected polynomial 0xEDB88320). `crc` is the CRC of the data
/// before, 0 to start, so that calls chain over consecutive pieces.
unsigned int calc_CRC32(const unsigned char* donnees, unsigned int taille, unsigned int crc);
/// SHA-256 digest; all zero for null data.
puint256 calc_SHA256(const unsigned char* donnees, unsigned int taille);

/// Reversible mix of eight 32-bit words in place (15 rounds).
void mix256(unsigned int& a, unsigned int& b, unsigned int& c, unsigned int& d, unsigned int& e,
            unsigned int& f, unsigned int& g, unsigned int& h);
/// Exact inverse of mix256.
void unmix256(unsigned int& a, unsigned int& b, unsigned int& c, unsigned int& d, unsigned int& e,
              unsigned int& f, unsigned int& g, unsigned int& h);
/// Reversible mix of a 64-bit word.
unsigned long mix64(unsigned long x);
/// Exact inverse of mix64.
unsigned long unmix64(unsigned long x);

/// Pseudo-random generator over SHA-256 that can step backwards: every
/// unRand call returns the value of the latest rand call and undoes it.
class PRandSHA256
{
public:
    /// Seeds with `graine` (0 stands for a fixed non-zero seed).
    explicit PRandSHA256(unsigned long graine);
    /// Reseeds; the position goes back to 0.
    void SeedSHA256(unsigned long graine);
    /// Steps forwards and returns the new output.
    unsigned long randSHA256_U64();
    /// randSHA256_U64 shifted right by 3 x position, low 32 bits.
    unsigned int randSHA256_U32();
    /// Returns the current output and steps backwards.
    unsigned long unRandSHA256_U64();
    /// The value the latest randSHA256_U32 returned, stepping backwards.
    unsigned int unRandSHA256_U32();

    int position;
    union
    {
        unsigned int mots32[8];
        unsigned long mots64[4];
        unsigned char octets[32];
    } etat;

private:
    unsigned long Sortie() const;
};
} // namespace PBaseHash
