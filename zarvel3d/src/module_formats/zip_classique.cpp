// Rewriting of lib3mf's ZIP64 packages as classic ZIP archives.
//
// lib3mf 1.8 marks every entry and the end of its archives as ZIP64, whatever their size, and
// leaves the entries' dates at month 0. Readers with an older unzip (Assimp 5.2, among others)
// then find no part in the package. The entries' compressed data is kept as it is; only the
// headers are written anew, in the classic form, which suffices below 4 GiB and 65535 entries.
#include "module_formats/ecritures.h"

#include <cstring>

namespace Zarvel3D::formats
{

namespace
{

constexpr std::uint32_t signature_locale = 0x04034b50;
constexpr std::uint32_t signature_centrale = 0x02014b50;
constexpr std::uint32_t signature_fin = 0x06054b50;
constexpr std::uint32_t signature_fin64 = 0x06064b50;
constexpr std::uint32_t signature_localisateur64 = 0x07064b50;
constexpr std::uint32_t sature32 = 0xFFFFFFFFu;
constexpr std::uint16_t sature16 = 0xFFFFu;
/// MS-DOS date of 1980-01-01 (the earliest), for reproducible files.
constexpr std::uint16_t date_dos = (1 << 5) | 1;

/// Little-endian reader over the archive; any read out of range marks it invalid.
class Lecteur
{
public:
    explicit Lecteur(const std::string& octets) : donnees(octets) {}
    bool Valide() const { return valide; }
    std::uint64_t Entier(std::size_t position, int octets)
    {
        if (position > donnees.size() || donnees.size() - position < static_cast<std::size_t>(octets))
        {
            valide = false;
            return 0;
        }
        std::uint64_t v = 0;
        for (int i = octets - 1; i >= 0; --i)
        {
            v = (v << 8) | static_cast<unsigned char>(donnees[position + static_cast<std::size_t>(i)]);
        }
        return v;
    }
    std::uint16_t U16(std::size_t position) { return static_cast<std::uint16_t>(Entier(position, 2)); }
    std::uint32_t U32(std::size_t position) { return static_cast<std::uint32_t>(Entier(position, 4)); }
    std::uint64_t U64(std::size_t position) { return Entier(position, 8); }

private:
    const std::string& donnees;
    bool valide = true;
};

void Ajoute(std::string& s, std::uint64_t v, int octets)
{
    for (int i = 0; i < octets; ++i)
    {
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

struct Entree
{
    std::uint16_t drapeaux;
    std::uint16_t methode;
    std::uint32_t crc;
    std::uint64_t compresse;
    std::uint64_t taille;
    std::uint64_t locale; ///< offset of the local header
    std::string nom;
};

/// Reads the central directory of `archive` into `entrees`; false for anything unexpected.
bool LitRepertoire(const std::string& archive, std::vector<Entree>& entrees)
{
    Lecteur l(archive);
    if (archive.size() < 22)
    {
        return false;
    }
    // The end record has no comment in lib3mf's archives: it is the last 22 bytes.
    const std::size_t fin = archive.size() - 22;
    if (l.U32(fin) != signature_fin)
    {
        return false;
    }
    std::uint64_t nombre = l.U16(fin + 10);
    std::uint64_t debut = l.U32(fin + 16);
    if (nombre == sature16 || debut == sature32)
    {
        // ZIP64 end record, found through its locator just before the classic end record.
        if (fin < 20 || l.U32(fin - 20) != signature_localisateur64)
        {
            return false;
        }
        const std::size_t fin64 = static_cast<std::size_t>(l.U64(fin - 20 + 8));
        if (l.U32(fin64) != signature_fin64)
        {
            return false;
        }
        nombre = l.U64(fin64 + 32);
        debut = l.U64(fin64 + 48);
    }
    std::size_t p = static_cast<std::size_t>(debut);
    for (std::uint64_t i = 0; i < nombre && l.Valide(); ++i)
    {
        if (l.U32(p) != signature_centrale)
        {
            return false;
        }
        Entree e;
        e.drapeaux = l.U16(p + 8);
        e.methode = l.U16(p + 10);
        e.crc = l.U32(p + 16);
        e.compresse = l.U32(p + 20);
        e.taille = l.U32(p + 24);
        const std::size_t longueur_nom = l.U16(p + 28);
        const std::size_t longueur_extra = l.U16(p + 30);
        const std::size_t longueur_commentaire = l.U16(p + 32);
        e.locale = l.U32(p + 42);
        if (p + 46 + longueur_nom > archive.size())
        {
            return false;
        }
        e.nom.assign(archive, p + 46, longueur_nom);
        // The ZIP64 extra field holds, in this order, the saturated fields only.
        std::size_t x = p + 46 + longueur_nom;
        const std::size_t fin_extra = x + longueur_extra;
        while (x + 4 <= fin_extra && l.Valide())
        {
            const std::uint16_t type = l.U16(x);
            const std::size_t taille = l.U16(x + 2);
            std::size_t champ = x + 4;
            if (type == 0x0001)
            {
                for (std::uint64_t* valeur : {&e.taille, &e.compresse, &e.locale})
                {
                    if (*valeur == sature32)
                    {
                        *valeur = l.U64(champ);
                        champ += 8;
                    }
                }
            }
            x += 4 + taille;
        }
        entrees.push_back(e);
        p = fin_extra + longueur_commentaire;
    }
    return l.Valide();
}

} // namespace

bool SansZip64(std::string& archive)
{
    std::vector<Entree> entrees;
    if (!LitRepertoire(archive, entrees) || entrees.size() >= sature16)
    {
        return false;
    }
    Lecteur l(archive);
    std::string sortie;
    sortie.reserve(archive.size());
    std::vector<std::uint32_t> locales;
    for (const Entree& e : entrees)
    {
        const std::size_t p = static_cast<std::size_t>(e.locale);
        // Bit 3: sizes in a descriptor after the data, which this rewrite would have to drop.
        if (l.U32(p) != signature_locale || (e.drapeaux & 0x0008) != 0 || e.compresse >= sature32 ||
            e.taille >= sature32 || sortie.size() >= sature32)
        {
            return false;
        }
        const std::size_t donnees = p + 30 + l.U16(p + 26) + l.U16(p + 28);
        if (!l.Valide() || donnees > archive.size() || archive.size() - donnees < e.compresse)
        {
            return false;
        }
        locales.push_back(static_cast<std::uint32_t>(sortie.size()));
        Ajoute(sortie, signature_locale, 4);
        Ajoute(sortie, 20, 2); // version needed: deflate
        Ajoute(sortie, e.drapeaux, 2);
        Ajoute(sortie, e.methode, 2);
        Ajoute(sortie, 0, 2); // time 00:00
        Ajoute(sortie, date_dos, 2);
        Ajoute(sortie, e.crc, 4);
        Ajoute(sortie, e.compresse, 4);
        Ajoute(sortie, e.taille, 4);
        Ajoute(sortie, e.nom.size(), 2);
        Ajoute(sortie, 0, 2); // no extra field
        sortie += e.nom;
        sortie.append(archive, donnees, static_cast<std::size_t>(e.compresse));
    }
    const std::size_t debut = sortie.size();
    for (std::size_t i = 0; i < entrees.size(); ++i)
    {
        const Entree& e = entrees[i];
        Ajoute(sortie, signature_centrale, 4);
        Ajoute(sortie, 20, 2); // made by: MS-DOS attributes, version 2.0
        Ajoute(sortie, 20, 2);
        Ajoute(sortie, e.drapeaux, 2);
        Ajoute(sortie, e.methode, 2);
        Ajoute(sortie, 0, 2);
        Ajoute(sortie, date_dos, 2);
        Ajoute(sortie, e.crc, 4);
        Ajoute(sortie, e.compresse, 4);
        Ajoute(sortie, e.taille, 4);
        Ajoute(sortie, e.nom.size(), 2);
        Ajoute(sortie, 0, 2); // extra field
        Ajoute(sortie, 0, 2); // comment
        Ajoute(sortie, 0, 2); // disk
        Ajoute(sortie, 0, 2); // internal attributes
        Ajoute(sortie, 0, 4); // external attributes
        Ajoute(sortie, locales[i], 4);
        sortie += e.nom;
    }
    const std::size_t taille_repertoire = sortie.size() - debut;
    if (sortie.size() >= sature32)
    {
        return false;
    }
    Ajoute(sortie, signature_fin, 4);
    Ajoute(sortie, 0, 4); // disk numbers
    Ajoute(sortie, entrees.size(), 2);
    Ajoute(sortie, entrees.size(), 2);
    Ajoute(sortie, taille_repertoire, 4);
    Ajoute(sortie, debut, 4);
    Ajoute(sortie, 0, 2); // comment
    archive.swap(sortie);
    return true;
}

} // namespace Zarvel3D::formats
