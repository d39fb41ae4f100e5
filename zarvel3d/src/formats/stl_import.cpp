// STL reading: ASCII and binary, told apart by content and size, welded on the fly.
#include "diagnostic.h"
#include "fichier_entree.h"
#include "formats/maillage.h"
#include "maillage_scene.h"
#include "progression.h"
#include "scene_priv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace Zarvel3D
{

namespace
{

using interne::Message;
using interne::Texte;

// Progress and cancellation are looked at every this many triangles.
constexpr std::size_t pas_progression = 1 << 16;
// More triangles than this would overflow the 32-bit vertex indices.
constexpr unsigned long long triangles_max = 1ull << 30;

// The bytes of the file as the readers see them: a window that moves along the file. A large
// regular file is read window by window into the same memory, so that an import touches a
// fixed amount of fresh memory for it whatever its size (first touches are what reading costs
// most here); other files are read whole. The file is read rather than mapped: a mapping of a
// file that another program shortens during the import would end the process (SIGBUS).
class Fichier
{
public:
    // Bytes of a window: a size that keeps it below the allocator's huge-page blocks.
    static constexpr std::size_t fenetre = std::size_t(1) << 20;

    // Opens the file and reads the first window (the whole file when it fits). False with the
    // diagnostic in erreur.
    bool Ouvre(const char* nom)
    {
        chemin = nom;
        switch (entree.Ouvre(chemin))
        {
        case interne::EtatEntree::Ouvert:
            break;
        case interne::EtatEntree::CheminVide:
            erreur = Texte(Message::CheminVide);
            return false;
        case interne::EtatEntree::Absent:
            erreur = Texte(Message::FichierAbsent, chemin);
            return false;
        case interne::EtatEntree::Repertoire:
            erreur = Texte(Message::FichierRepertoire, chemin);
            return false;
        case interne::EtatEntree::Illisible:
            erreur = Texte(Message::FichierIllisible, chemin, std::strerror(entree.Erreur()));
            return false;
        case interne::EtatEntree::TubeSansEcrivain:
            erreur = Texte(Message::FichierTubeSansEcrivain, chemin, interne::attente_tube_ms / 1000);
            return false;
        }
        // A regular file that fits is read in one buffer of its size and one byte more, which
        // tells whether it grew since it was opened.
        const unsigned long long taille = entree.Taille();
        octets.Reserve(entree.Ordinaire() && taille < fenetre ? static_cast<std::size_t>(taille) + 1
                                                              : fenetre);
        if (!Remplit())
        {
            return false;
        }
        if (Complet() && octets.Taille() == 0)
        {
            erreur = Texte(Message::FichierVide, chemin);
            return false;
        }
        return true;
    }

    // Reads the rest of the file into the window: the window then holds the file from its
    // start, or from the window's position if it has moved. False on a read error.
    bool LitTout()
    {
        while (!fin)
        {
            // Files that report no size (those of /proc, say) grow from nothing.
            octets.Reserve(std::max(2 * octets.Taille(), octets.Taille() + (std::size_t(1) << 16)) + 1);
            if (!Remplit())
            {
                return false;
            }
        }
        return true;
    }

    // Moves the window: the bytes from `garde` on go to its start and the rest of it is read
    // from the file. A window full of kept bytes is enlarged. False on a read error.
    bool Avance(std::size_t garde)
    {
        const std::size_t reste = octets.Taille() - garde;
        if (garde > 0)
        {
            std::memmove(octets.Donnees(), octets.Donnees() + garde, reste);
        }
        decalage += garde;
        octets.Redimensionne(reste);
        if (reste == octets.Capacite())
        {
            octets.Reserve(2 * octets.Capacite());
        }
        return Remplit();
    }

    const char* Donnees() const { return octets.Donnees(); }
    // Bytes in the window.
    std::size_t Taille() const { return octets.Taille(); }
    // True when the window reaches the end of the file.
    bool Complet() const { return fin; }
    // Position of the window's first byte in the file.
    unsigned long long Decalage() const { return decalage; }
    // Size of the whole file: known at the end, or for a regular file from its opening.
    unsigned long long TailleTotale() const { return fin ? decalage + octets.Taille() : entree.Taille(); }
    // True when the file can be read window by window: a regular file larger than a window.
    bool ParFenetres() const { return !fin && entree.Ordinaire() && entree.Taille() >= fenetre; }
    void Libere() { octets = interne::Tampon<char>(); }

    std::string erreur; // diagnostic of a failed read

private:
    // Reads until the window is full or the file ends.
    bool Remplit()
    {
        std::size_t lus = octets.Taille();
        octets.Redimensionne(octets.Capacite());
        while (lus < octets.Taille() && !fin)
        {
            const long long r = entree.Lit(octets.Donnees() + lus, octets.Taille() - lus);
            if (r < 0)
            {
                octets.Redimensionne(lus);
                erreur = Texte(Message::FichierIllisible, chemin, std::strerror(entree.Erreur()));
                return false;
            }
            if (r == 0)
            {
                fin = true;
                break;
            }
            lus += static_cast<std::size_t>(r);
        }
        octets.Redimensionne(lus);
        return true;
    }

    interne::FichierEntree entree;
    interne::Tampon<char> octets;
    const char* chemin = "";
    unsigned long long decalage = 0;
    bool fin = false;
};

std::uint32_t Lit32(const char* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v; // the format is little-endian, like the machines this library builds for
}

bool CommencePar(const char* p, const char* fin, const char* mot)
{
    for (; *mot != '\0'; ++p, ++mot)
    {
        if (p == fin || (*p | 0x20) != *mot)
        {
            return false;
        }
    }
    return true;
}

// ASCII when the text begins with "solid" and its first kilobyte looks like text with a facet
// or the end of the solid in it: many binary files begin with "solid" in their header too.
bool SembleAscii(const char* p, std::size_t n)
{
    const char* fin = p + n;
    while (p != fin && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
    {
        ++p;
    }
    if (!CommencePar(p, fin, "solid"))
    {
        return false;
    }
    const std::size_t debut = std::min<std::size_t>(static_cast<std::size_t>(fin - p), 1024);
    for (std::size_t i = 0; i < debut; ++i)
    {
        if (p[i] == '\0')
        {
            return false;
        }
    }
    for (std::size_t i = 0; i + 5 <= debut; ++i)
    {
        if (CommencePar(p + i, p + debut, "facet") || CommencePar(p + i, p + debut, "endsolid"))
        {
            return true;
        }
    }
    return false;
}

// True when `n` bytes hold the first kilobyte after the leading blanks: all SembleAscii reads.
bool DebutVisible(const char* p, std::size_t n)
{
    const char* fin = p + n;
    while (p != fin && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
    {
        ++p;
    }
    return fin - p >= 1024;
}

// Words and numbers of an ASCII STL, read from the file's window, which it moves along the file
// as it goes.
class LecteurAscii
{
public:
    explicit LecteurAscii(Fichier& fichier)
        : f(fichier), p(fichier.Donnees()), fin(fichier.Donnees() + fichier.Taille())
    {
    }

    // Bytes read so far.
    unsigned long long Position() const
    {
        return f.Decalage() + static_cast<unsigned long long>(p - f.Donnees());
    }

    // Skips blanks, counting lines. False at the end of the text.
    bool Blancs()
    {
        for (;;)
        {
            while (p != fin)
            {
                const char c = *p;
                if (c == '\n')
                {
                    ++ligne;
                }
                else if (c != ' ' && c != '\t' && c != '\r' && c != '\f' && c != '\v')
                {
                    return true;
                }
                ++p;
            }
            if (!Recharge())
            {
                return false;
            }
        }
    }
    // The next word, lower-cased into `mot` (truncated to its capacity). False at the end.
    bool Mot(char (&mot)[16])
    {
        if (!Blancs())
        {
            return false;
        }
        std::size_t i = 0;
        do
        {
            while (p != fin && !Blanc(*p))
            {
                if (i + 1 < sizeof mot)
                {
                    mot[i++] = static_cast<char>(*p | ((*p >= 'A' && *p <= 'Z') ? 0x20 : 0));
                }
                ++p;
            }
        } while (p == fin && Recharge());
        mot[i] = '\0';
        return true;
    }
    // Skips the rest of the line (names after "solid" and "endsolid" may hold anything).
    void FinLigne()
    {
        do
        {
            while (p != fin && *p != '\n')
            {
                ++p;
            }
        } while (p == fin && Recharge());
    }
    enum class Nombre
    {
        Ok,
        Fin,
        Invalide
    };
    Nombre Reel(double& v)
    {
        if (!Blancs())
        {
            return Nombre::Fin;
        }
        // A number must be whole in the window before it is parsed: one near the window's end
        // may go on after it. Longer ones are made whole when the parse stops near the end.
        if (fin - p < 128)
        {
            JetonEntier();
        }
        for (;;)
        {
            const char* q = p;
            if (*q == '+')
            {
                ++q;
            }
            const auto r = std::from_chars(q, fin, v);
            if (!f.Complet() && fin - r.ptr < 4 && JetonEntier())
            {
                continue;
            }
            if (r.ec == std::errc::result_out_of_range)
            {
                // Beyond the range of a double: an infinite coordinate, refused later like the others.
                if (JetonEntier())
                {
                    continue;
                }
                v = std::numeric_limits<double>::infinity();
                const char* e = q;
                while (e != fin && !Blanc(*e))
                {
                    ++e;
                }
                p = e;
                return Nombre::Ok;
            }
            if (r.ec != std::errc() || (r.ptr != fin && !Blanc(*r.ptr)))
            {
                return Nombre::Invalide;
            }
            p = r.ptr;
            return Nombre::Ok;
        }
    }
    unsigned long long Ligne() const { return ligne; }

private:
    static bool Blanc(char c)
    {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
    }
    // Moves the window on, keeping the bytes from p. False when nothing more comes (the end
    // of the file, or a read error left in the file's diagnostic).
    bool Recharge()
    {
        if (f.Complet())
        {
            return false;
        }
        const std::size_t avant = static_cast<std::size_t>(fin - p);
        if (!f.Avance(static_cast<std::size_t>(p - f.Donnees())))
        {
            // Make the reader stop here: the caller reports the file's error.
            p = fin = f.Donnees() + f.Taille();
            return false;
        }
        p = f.Donnees();
        fin = p + f.Taille();
        return f.Taille() > avant;
    }
    // Reads on until the word at p ends inside the window (or the file ends). True when the
    // window changed.
    bool JetonEntier()
    {
        bool change = false;
        for (;;)
        {
            const char* e = p;
            while (e != fin && !Blanc(*e))
            {
                ++e;
            }
            if (e != fin || !Recharge())
            {
                return change;
            }
            change = true;
        }
    }

    Fichier& f;
    const char* p;
    const char* fin;
    unsigned long long ligne = 1;
};

// True for a finite value within the range of a float. STL coordinates are floats: a larger one
// read from text would be kept in the model and then written as infinite by every export (and
// converting it to float is undefined).
bool Flottant(double v)
{
    return std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max());
}

// True when the first 84 bytes are printable text: a text file that is not an ASCII STL.
bool Texte84(const char* p)
{
    for (int i = 0; i < 84; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if ((c < 0x20 && c != '\n' && c != '\r' && c != '\t') || c > 0x7E)
        {
            return false;
        }
    }
    return true;
}

struct Lecture
{
    const char* chemin;
    const bool* annulation;
    unsigned long long* progression;
    std::string erreur;
};

void Progression(Lecture& l, unsigned long long n)
{
    if (l.progression != nullptr)
    {
        __atomic_store_n(l.progression, n, __ATOMIC_RELAXED);
    }
}

// Reading the file is the first of the import's two phases; its progress is in bytes: a binary
// triangle is 50 of them, an ASCII one is wherever the reader stands.
void ProgressionOctets(unsigned long long octets, unsigned long long taille)
{
    interne::ProgressionPhase(0.0, interne::FinLectureImport, octets, taille);
}

// The checks of a whole binary file's size against its triangle count, and their diagnostic.
bool TailleBinaireValide(const char* entete, unsigned long long taille, Lecture& l)
{
    const unsigned long long annonce = taille >= 84 ? Lit32(entete + 80) : 0;
    const unsigned long long possibles = taille >= 84 ? (taille - 84) / 50 : 0;
    // The count is trusted only when it agrees with the size exactly.
    if (taille < 84 || 84 + 50 * annonce != taille)
    {
        if (taille < 84 || Texte84(entete))
        {
            // Too short for a header, or plain text where the count should be: not an STL at all.
            l.erreur = Texte(Message::StlFormatInconnu, l.chemin);
            return false;
        }
        if (annonce > possibles)
        {
            l.erreur = Texte(Message::StlBinaireTronque, l.chemin, possibles + 1, annonce, taille, possibles);
        }
        else
        {
            l.erreur = Texte(Message::StlTailleIncoherente, l.chemin, annonce, 84 + 50 * annonce, taille);
        }
        return false;
    }
    if (annonce == 0)
    {
        l.erreur = Texte(Message::StlAucunTriangle, l.chemin);
        return false;
    }
    if (annonce > triangles_max)
    {
        l.erreur = Texte(Message::StlTropDeTriangles, l.chemin, annonce);
        return false;
    }
    return true;
}

// Reads triangles [premier, premier + nombre) from `base`, the bytes of triangle `premier`.
bool LitTrianglesBinaires(const char* base, std::size_t premier, std::size_t nombre, std::size_t total,
                          Lecture& l, interne::Soudeur& soudeur, interne::MaillageIndexe& m)
{
    std::uint32_t* tv = m.triangles.Donnees() + 3 * premier;
    float* nl = m.normales.Donnees() + 3 * premier;
    // Vertex lookups miss the cache: the corners' hashes are computed ahead, and their table
    // slots and then the vertices found there are fetched ahead, in a small ring.
    constexpr std::size_t avance = 16;
    const std::size_t coins = 3 * nombre;
    std::uint64_t anneau[avance];
    auto coin = [base](std::size_t j) { return base + 50 * (j / 3) + 12 + 12 * (j % 3); };
    auto hache = [&](std::size_t j)
    {
        float c[3];
        std::memcpy(c, coin(j), 12);
        const std::uint64_t h = interne::Soudeur::HachageCoin(c[0], c[1], c[2]);
        soudeur.Precharge(h);
        return h;
    };
    for (std::size_t j = 0; j < avance && j < coins; ++j)
    {
        anneau[j] = hache(j);
    }
    for (std::size_t t = 0; t < nombre; ++t)
    {
        const char* p = base + 50 * t;
        float c[12];
        std::memcpy(c, p, sizeof c);
        for (int k = 3; k < 12; ++k)
        {
            if (!std::isfinite(c[k]))
            {
                l.erreur = Texte(Message::StlCoordonneeInvalide, l.chemin,
                                 static_cast<unsigned long long>(premier + t + 1));
                return false;
            }
        }
        nl[3 * t] = c[0];
        nl[3 * t + 1] = c[1];
        nl[3 * t + 2] = c[2];
        for (std::size_t k = 0; k < 3; ++k)
        {
            const std::size_t j = 3 * t + k;
            const std::uint64_t h = anneau[j % avance];
            if (j + avance < coins)
            {
                anneau[j % avance] = hache(j + avance);
            }
            if (j + avance / 2 < coins)
            {
                soudeur.PrechargeSommet(anneau[(j + avance / 2) % avance]);
            }
            tv[j] = soudeur.Sommet(c[3 + 3 * k], c[4 + 3 * k], c[5 + 3 * k], h);
        }
        const std::size_t lus = premier + t + 1;
        if ((lus & (pas_progression - 1)) == 0)
        {
            Progression(l, lus);
            ProgressionOctets(84 + 50 * static_cast<unsigned long long>(lus),
                              84 + 50 * static_cast<unsigned long long>(total));
            if (interne::Annule(l.annulation))
            {
                l.erreur = Texte(Message::ImportAnnule, l.chemin);
                return false;
            }
        }
    }
    return true;
}

bool LitBinaire(Fichier& f, Lecture& l, interne::MaillageIndexe& m)
{
    // A regular file larger than a window is read window by window when its header's count
    // agrees with its size; any other file is first read whole, and checked as a whole.
    const bool par_fenetres =
        f.ParFenetres() && f.Taille() >= 84 &&
        84 + 50 * static_cast<unsigned long long>(Lit32(f.Donnees() + 80)) == f.TailleTotale();
    if (!f.Complet() && !par_fenetres && !f.LitTout())
    {
        l.erreur = f.erreur;
        return false;
    }
    if (!TailleBinaireValide(f.Donnees(), f.TailleTotale(), l))
    {
        return false;
    }
    const std::size_t n = static_cast<std::size_t>(Lit32(f.Donnees() + 80));
    m.triangles.Redimensionne(3 * n);
    m.normales.Redimensionne(3 * n);
    // A closed mesh has about half as many vertices as triangles.
    interne::Soudeur soudeur(m, n / 2 + 16);
    // The arrays the triangles fill are made resident on the other processor meanwhile.
    PreparationPages pages;
    pages.Lance({{m.triangles.Donnees(), 3 * n * sizeof(std::uint32_t)},
                 {m.normales.Donnees(), 3 * n * sizeof(float)},
                 {m.positions.Donnees(), m.positions.Capacite() * sizeof(double)}});
    std::size_t t = 0;
    std::size_t position = 84; // of triangle t in the window
    while (t < n)
    {
        const std::size_t disponibles = std::min((f.Taille() - position) / 50, n - t);
        if (disponibles == 0)
        {
            if (f.Complet())
            {
                // The file was shortened while it was read.
                break;
            }
            if (!f.Avance(position))
            {
                l.erreur = f.erreur;
                return false;
            }
            position = 0;
            continue;
        }
        if (!LitTrianglesBinaires(f.Donnees() + position, t, disponibles, n, l, soudeur, m))
        {
            return false;
        }
        t += disponibles;
        position += 50 * disponibles;
    }
    if (t < n || position != f.Taille() || !f.Complet())
    {
        // The file changed size while it was read: it is judged on the size it has now.
        if (!f.Avance(position) || !f.LitTout())
        {
            l.erreur = f.erreur;
            return false;
        }
        const unsigned long long taille = f.TailleTotale();
        if (taille != 84 + 50 * static_cast<unsigned long long>(n))
        {
            const unsigned long long possibles = taille >= 84 ? (taille - 84) / 50 : 0;
            l.erreur = possibles < n ? Texte(Message::StlBinaireTronque, l.chemin, possibles + 1,
                                             static_cast<unsigned long long>(n), taille, possibles)
                                     : Texte(Message::StlTailleIncoherente, l.chemin,
                                             static_cast<unsigned long long>(n),
                                             84 + 50 * static_cast<unsigned long long>(n), taille);
            return false;
        }
    }
    Progression(l, n);
    return true;
}

bool LitAscii(Fichier& f, Lecture& l, interne::MaillageIndexe& m)
{
    LecteurAscii lecteur(f);
    // Facets are at least about 100 bytes in practice; the estimate only sizes the first arrays.
    const std::size_t estimation = static_cast<std::size_t>(f.TailleTotale() / 128) + 16;
    m.triangles.Reserve(3 * estimation);
    m.normales.Reserve(3 * estimation);
    interne::Soudeur soudeur(m, estimation / 2 + 16);
    char mot[16];
    unsigned long long triangles = 0;
    auto tronque = [&]()
    {
        l.erreur = Texte(Message::StlAsciiTronque, l.chemin, triangles + 1, lecteur.Ligne());
        return false;
    };
    auto syntaxe = [&](const char* attendu)
    {
        l.erreur = Texte(Message::StlAsciiSyntaxe, l.chemin, triangles + 1, lecteur.Ligne(), attendu);
        return false;
    };
    auto reels = [&](double(&v)[3], const char* quoi) -> int
    {
        for (double& x : v)
        {
            const LecteurAscii::Nombre r = lecteur.Reel(x);
            if (r == LecteurAscii::Nombre::Fin)
            {
                return tronque() ? 1 : -1;
            }
            if (r == LecteurAscii::Nombre::Invalide)
            {
                return syntaxe(quoi) ? 1 : -1;
            }
        }
        return 0;
    };

    bool solide_ouvert = false;
    while (lecteur.Mot(mot))
    {
        if (!solide_ouvert)
        {
            // Several solids may follow each other in one file.
            if (std::strcmp(mot, "solid") != 0)
            {
                return syntaxe("solid");
            }
            lecteur.FinLigne();
            solide_ouvert = true;
            continue;
        }
        if (std::strcmp(mot, "endsolid") == 0)
        {
            lecteur.FinLigne();
            solide_ouvert = false;
            continue;
        }
        if (std::strcmp(mot, "facet") != 0)
        {
            return syntaxe("facet");
        }
        double normale[3] = {0, 0, 0};
        if (!lecteur.Mot(mot))
        {
            return tronque();
        }
        if (std::strcmp(mot, "normal") != 0)
        {
            return syntaxe("normal");
        }
        if (reels(normale, "normal nx ny nz") != 0)
        {
            return false;
        }
        if (!lecteur.Mot(mot))
        {
            return tronque();
        }
        if (std::strcmp(mot, "outer") != 0)
        {
            return syntaxe("outer loop");
        }
        if (!lecteur.Mot(mot))
        {
            return tronque();
        }
        if (std::strcmp(mot, "loop") != 0)
        {
            return syntaxe("outer loop");
        }
        // A loop of more than three vertices is split into a fan of triangles.
        std::uint32_t premier = 0, precedent = 0;
        int sommets = 0;
        for (;;)
        {
            if (!lecteur.Mot(mot))
            {
                return tronque();
            }
            if (std::strcmp(mot, "endloop") == 0)
            {
                break;
            }
            if (std::strcmp(mot, "vertex") != 0)
            {
                // Past three corners the loop may end: a missing "endloop" is what to name.
                return syntaxe(sommets >= 3 ? "endloop" : "vertex");
            }
            double v[3];
            if (reels(v, "vertex x y z") != 0)
            {
                return false;
            }
            if (!std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2]))
            {
                l.erreur = Texte(Message::StlCoordonneeInvalide, l.chemin, triangles + 1);
                return false;
            }
            if (!Flottant(v[0]) || !Flottant(v[1]) || !Flottant(v[2]))
            {
                l.erreur = Texte(Message::StlCoordonneeHorsFlottant, l.chemin, triangles + 1);
                return false;
            }
            const std::uint32_t s = soudeur.Sommet(v[0], v[1], v[2]);
            if (sommets >= 3 && s == precedent)
            {
                // Some writers repeat the last corner of a triangle: no triangle of zero area is made
                // from it. (A repeated corner among the first three is kept: the facet is degenerate
                // in the file itself.)
                continue;
            }
            if (sommets == 0)
            {
                premier = s;
            }
            else if (sommets >= 2)
            {
                if (triangles >= triangles_max)
                {
                    l.erreur = Texte(Message::StlTropDeTriangles, l.chemin, triangles + 1);
                    return false;
                }
                m.triangles.Ajoute(premier);
                m.triangles.Ajoute(precedent);
                m.triangles.Ajoute(s);
                for (double c : normale)
                {
                    m.normales.Ajoute(Flottant(c) ? static_cast<float>(c) : 0.0f);
                }
                ++triangles;
                if ((triangles & (pas_progression - 1)) == 0)
                {
                    Progression(l, triangles);
                    ProgressionOctets(lecteur.Position(), f.TailleTotale());
                    if (interne::Annule(l.annulation))
                    {
                        l.erreur = Texte(Message::ImportAnnule, l.chemin);
                        return false;
                    }
                }
            }
            precedent = s;
            ++sommets;
        }
        if (sommets < 3)
        {
            return syntaxe("vertex");
        }
        if (!lecteur.Mot(mot))
        {
            return tronque();
        }
        if (std::strcmp(mot, "endfacet") != 0)
        {
            return syntaxe("endfacet");
        }
    }
    if (solide_ouvert)
    {
        // The text stops before "endsolid": the file was cut.
        return tronque();
    }
    if (triangles == 0)
    {
        l.erreur = Texte(Message::StlAucunTriangle, l.chemin);
        return false;
    }
    Progression(l, triangles);
    return true;
}

} // namespace

bool PScene3D::ImportSTL(const char* chemin, unsigned int couleur, bool ajout, bool* annulation,
                         unsigned long long* progression)
{
    const auto echec = [this](const std::string& texte) { interne::EchecScene(*this, texte); };
    return interne::Garde(
        false,
        [&]() -> bool
        {
            PCouleur3D teinte;
            if (couleur != 0)
            {
                const unsigned int index = RAL::RechercheIndex(couleur);
                if (index == 0)
                {
                    echec(Texte(Message::CouleurInconnue, static_cast<unsigned long long>(couleur)));
                    return false;
                }
                const RAL& e = RAL::Index(index);
                teinte.rouge = e.rouge;
                teinte.vert = e.vert;
                teinte.bleu = e.bleu;
                teinte.definie = 1;
            }
            if (progression != nullptr)
            {
                __atomic_store_n(progression, 0ull, __ATOMIC_RELAXED);
            }
            Fichier f;
            if (!f.Ouvre(chemin))
            {
                echec(f.erreur);
                return false;
            }
            interne::ProgressionDebut(1000);
            Lecture l{chemin, annulation, progression, std::string()};
            interne::MaillageIndexe maillage;
            // The form is told from the first window when it holds the start of the text that
            // SembleAscii looks at; otherwise from the whole file.
            if (!f.Complet() && !(f.ParFenetres() && DebutVisible(f.Donnees(), f.Taille())) && !f.LitTout())
            {
                echec(f.erreur);
                return false;
            }
            const bool ascii = SembleAscii(f.Donnees(), f.Taille());

            const bool lu = ascii ? LitAscii(f, l, maillage) : LitBinaire(f, l, maillage);
            if (!lu)
            {
                // A read error stops the reader where it stands: the error is what to report.
                echec(!f.erreur.empty() ? f.erreur : l.erreur);
                return false;
            }
            f.Libere(); // the file is no longer needed
            interne::ProgressionPhase(0.0, interne::FinLectureImport, 1, 1);

            // The mesh is built before anything of the scene changes, so that a failure leaves
            // the scene unchanged.
            std::shared_ptr<interne::MaillageScene> compact = std::make_shared<interne::MaillageScene>();
            std::lock_guard<std::recursive_mutex> verrou(impl->verrou);
            const std::size_t deja = ajout ? Modele().sommets.size() : 0;
            if (deja + maillage.NombreSommets() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
            {
                echec(Texte(Message::StlTropDeTriangles, chemin,
                            static_cast<unsigned long long>(maillage.NombreTriangles())));
                return false;
            }
            if (!interne::ConstruitMaillageScene(maillage, AngleAretesVives(), teinte, *compact, annulation))
            {
                echec(Texte(Message::ImportAnnule, chemin));
                return false;
            }
            if (ajout)
            {
                PModele3D nouveau;
                compact->Derive(static_cast<std::uint32_t>(deja), nouveau);
                compact.reset();
                PModele3D& edite = ModeleEdition();
                edite.sommets.insert(edite.sommets.end(), nouveau.sommets.begin(), nouveau.sommets.end());
                edite.segments.insert(edite.segments.end(), nouveau.segments.begin(), nouveau.segments.end());
                for (PSurface3D& s : nouveau.surfaces)
                {
                    edite.surfaces.push_back(PSurface3D());
                    edite.surfaces.back().triangles.swap(s.triangles);
                    edite.surfaces.back().centre = s.centre;
                }
                const PListe<PSommet3D>& sommets = Modele().sommets;
                interne::CentreEtEchelle(
                    sommets.size(),
                    [&sommets](std::size_t v, double p[3])
                    {
                        p[0] = sommets[v].position.x;
                        p[1] = sommets[v].position.y;
                        p[2] = sommets[v].position.z;
                    },
                    centre, echelle_affichage);
            }
            else
            {
                // Vide drops the lists, the solid and the unfolding scale (copies keep theirs);
                // the centre and display scale follow from the new mesh. The scene keeps the
                // mesh in its compact form: the model is derived when someone asks for it.
                Vide();
                const double* positions = compact->positions.Donnees();
                interne::CentreEtEchelle(
                    compact->NombreSommets(),
                    [positions](std::size_t v, double p[3])
                    { std::memcpy(p, positions + 3 * v, 3 * sizeof(double)); },
                    centre, echelle_affichage);
                impl->maillage = std::move(compact);
            }
            impl->diagnostic.clear();
            interne::ProgressionFin();
            return true;
        },
        echec);
}

} // namespace Zarvel3D
