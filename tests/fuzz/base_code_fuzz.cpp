// Fuzz target of the Base16, Base32 and Base64 decoders: the input is decoded as text by each,
// and encoded then decoded back as data.
#include "fuzz_outils.h"
#include "zarvel_base_code.h"

#include <limits>
#include <string>
#include <vector>

namespace
{

using Decodeur = bool (*)(const unsigned char*, unsigned int, std::string&);
using Encodeur = bool (*)(const unsigned char*, unsigned int, std::string&);

const unsigned char* Octets(const std::string& s)
{
    return reinterpret_cast<const unsigned char*>(s.data());
}

// One of Base64 (6 bits per character) and Base32 (5 bits per character).
void VerifieGroupes(const std::uint8_t* texte, unsigned int taille, Decodeur decode, Encodeur encode,
                    unsigned int bits)
{
    std::string sortie = "reste";
    const bool accepte = decode(texte, taille, sortie);
    // Each character carries `bits` bits at most, and a refused text keeps only whole bytes.
    ZARVEL_FUZZ_VERIFIE(sortie.size() <= static_cast<std::size_t>(taille) * bits / 8);
    if (taille == 0)
    {
        ZARVEL_FUZZ_VERIFIE(!accepte && sortie.empty());
    }
    if (accepte && !sortie.empty())
    {
        // The canonical text of the decoded bytes decodes to the same bytes.
        std::string texte_canonique;
        ZARVEL_FUZZ_VERIFIE(
            encode(Octets(sortie), static_cast<unsigned int>(sortie.size()), texte_canonique));
        std::string retour;
        ZARVEL_FUZZ_VERIFIE(
            decode(Octets(texte_canonique), static_cast<unsigned int>(texte_canonique.size()), retour));
        ZARVEL_FUZZ_VERIFIE(retour == sortie);
    }
    if (taille > 0)
    {
        // Any data survives its own encoding.
        std::string code;
        ZARVEL_FUZZ_VERIFIE(encode(texte, taille, code));
        std::string retour;
        ZARVEL_FUZZ_VERIFIE(decode(Octets(code), static_cast<unsigned int>(code.size()), retour));
        ZARVEL_FUZZ_VERIFIE(retour.size() == taille &&
                            retour.compare(0, taille, reinterpret_cast<const char*>(texte), taille) == 0);
    }
}

void VerifieBase16(const std::uint8_t* texte, int taille, bool inverse)
{
    std::string sortie = "reste";
    const bool accepte = PBaseCode::DecodeBase16(texte, taille, sortie, inverse);
    ZARVEL_FUZZ_VERIFIE(sortie.size() <= static_cast<std::size_t>(taille) / 2);
    if (taille % 2 != 0 || taille == 0)
    {
        ZARVEL_FUZZ_VERIFIE(!accepte);
    }
    if (accepte)
    {
        // An accepted text is exactly the lower-case encoding of its bytes.
        ZARVEL_FUZZ_VERIFIE(sortie.size() * 2 == static_cast<std::size_t>(taille));
        std::string code;
        ZARVEL_FUZZ_VERIFIE(
            PBaseCode::EncodeBase16(Octets(sortie), static_cast<int>(sortie.size()), code, inverse));
        ZARVEL_FUZZ_VERIFIE(code.compare(0, code.size(), reinterpret_cast<const char*>(texte),
                                         static_cast<std::size_t>(taille)) == 0);
    }
    if (taille > 0)
    {
        std::string code;
        ZARVEL_FUZZ_VERIFIE(PBaseCode::EncodeBase16(texte, taille, code, inverse));
        std::string retour;
        ZARVEL_FUZZ_VERIFIE(
            PBaseCode::DecodeBase16(Octets(code), static_cast<int>(code.size()), retour, inverse));
        ZARVEL_FUZZ_VERIFIE(retour.size() == static_cast<std::size_t>(taille) &&
                            retour.compare(0, retour.size(), reinterpret_cast<const char*>(texte),
                                           static_cast<std::size_t>(taille)) == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    if (taille > static_cast<std::size_t>(std::numeric_limits<int>::max() / 2))
    {
        return -1;
    }
    const unsigned int n = static_cast<unsigned int>(taille);
    // The decoders may read only the given bytes: an exact copy, with no terminating NUL, lets the
    // sanitizer see a byte read past the end (the replay's buffer may be larger than the input).
    const std::vector<unsigned char> copie(donnees, donnees + taille);
    const unsigned char* texte = copie.data();
    VerifieGroupes(texte, n, PBaseCode::DecodeBase64, PBaseCode::EncodeBase64, 6);
    VerifieGroupes(texte, n, PBaseCode::DecodeBase32, PBaseCode::EncodeBase32, 5);
    VerifieBase16(texte, static_cast<int>(n), false);
    VerifieBase16(texte, static_cast<int>(n), true);
    return 0;
}
