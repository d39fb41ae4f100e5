#include "zarvel_string.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <locale>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
bool Blanc(unsigned char c)
{
    return c == ' ' || c == '\t';
}

bool Separateur(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string DeuxChiffres(int v)
{
    std::string s = PString::LtoaBase10(v);
    if (v >= 0 && v <= 9) s.insert(s.begin(), '0');
    return s;
}

// Reads a whole file into a byte container. A regular file is read into a
// buffer of its size; anything else (a device, a pipe, a directory, whose
// end position says nothing about its content) is read in pieces, so that a
// bogus size is never allocated. Every read error, and a regular file that
// yields fewer bytes than its size, gives false.
template <class Conteneur> bool ChargeEntier(char const* chemin, Conteneur& contenu)
{
    contenu.clear();
    if (!chemin) return false;
    const int fd = ::open(chemin, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = false;
    struct stat st;
    const off_t fin = ::lseek(fd, 0, SEEK_END);
    if (fin >= 1 && ::fstat(fd, &st) == 0 && ::lseek(fd, 0, SEEK_SET) == 0)
    {
        if (S_ISREG(st.st_mode))
        {
            const size_t taille = static_cast<size_t>(fin);
            contenu.resize(taille);
            size_t lu = 0;
            ok = true;
            while (lu < taille)
            {
                const ssize_t n = ::read(fd, &contenu[lu], taille - lu);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0)
                {
                    ok = false;
                    break;
                }
                lu += static_cast<size_t>(n);
            }
        }
        else
        {
            ok = true;
            for (;;)
            {
                const size_t avant = contenu.size();
                contenu.resize(avant + 65536);
                const ssize_t n = ::read(fd, &contenu[avant], 65536);
                if (n < 0 && errno == EINTR)
                {
                    contenu.resize(avant);
                    continue;
                }
                if (n < 0)
                {
                    ok = false;
                    break;
                }
                contenu.resize(avant + static_cast<size_t>(n));
                if (n == 0) break;
            }
            ok = ok && !contenu.empty();
        }
    }
    ::close(fd);
    if (!ok) contenu.clear();
    return ok;
}
} // namespace

std::string PString::FichierChemin(std::string const& chemin)
{
    const size_t p = chemin.rfind('/');
    if (p == std::string::npos) return chemin;
    return chemin.substr(p + 1);
}

char const* PString::FichierChemin_S(char const* chemin)
{
    if (!chemin) return nullptr;
    return std::strrchr(chemin, '/');
}

std::string PString::CheminFichier(std::string const& chemin)
{
    const size_t p = chemin.rfind('/');
    if (p == std::string::npos) return std::string();
    return chemin.substr(0, p);
}

std::string PString::TronqueChemin(std::string const& chemin, unsigned int limite)
{
    const long n = static_cast<long>(chemin.size());
    const long c = n - static_cast<long>(limite);
    if (static_cast<long>(limite) >= n || c < 2) return chemin;
    size_t coupe = chemin.find('/', static_cast<size_t>(c));
    if (coupe == std::string::npos) coupe = static_cast<size_t>(c);
    return "/..." + chemin.substr(coupe);
}

std::string PString::ExtensionFichier(std::string const& nom)
{
    const size_t p = nom.rfind('.');
    if (p == std::string::npos) return std::string();
    return nom.substr(p + 1);
}

bool PString::CompareMotASCII(std::string const& a, std::string const& b)
{
    return a == b;
}

bool PString::CompareMotASCII(std::string const& a, char const* b)
{
    return a.compare(b) == 0;
}

bool PString::ControleDebutLigneASCII(std::string const& texte, char const* prefixe)
{
    if (texte.empty()) return false;
    const size_t n = std::strlen(prefixe);
    if (n == 0) return true;
    return texte.size() > n && texte.compare(0, n, prefixe) == 0;
}

bool PString::CompareStr(std::string const& a, std::string const& b, bool exact)
{
    if (a.size() != b.size()) return false;
    if (exact) return a == b;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

long PString::DistanceLevenshtein(unsigned char const* a, long taille_a, unsigned char const* b,
                                  long taille_b)
{
    if (taille_a <= 0) return taille_b > 0 ? taille_b : 0;
    if (taille_b <= 0) return taille_a;
    std::vector<long> ligne(static_cast<size_t>(taille_b) + 1);
    for (long j = 0; j <= taille_b; ++j)
        ligne[j] = j;
    for (long i = 1; i <= taille_a; ++i)
    {
        long diagonale = ligne[0];
        ligne[0] = i;
        for (long j = 1; j <= taille_b; ++j)
        {
            const long haut = ligne[j];
            const long cout = (a[i - 1] == b[j - 1]) ? 0 : 1;
            long m = diagonale + cout;
            if (haut + 1 < m) m = haut + 1;
            if (ligne[j - 1] + 1 < m) m = ligne[j - 1] + 1;
            ligne[j] = m;
            diagonale = haut;
        }
    }
    return ligne[taille_b];
}

std::string PString::ULtoaBase10(unsigned long v)
{
    char tampon[24];
    int i = 23;
    tampon[i] = '\0';
    do
    {
        tampon[--i] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    return std::string(tampon + i);
}

std::string PString::LtoaBase10(long v)
{
    if (v < 0) return "-" + ULtoaBase10(0ul - static_cast<unsigned long>(v));
    return ULtoaBase10(static_cast<unsigned long>(v));
}

std::string PString::DtoaBase10(double d)
{
    // Values without an integer form are written as words rather than
    // converted (a cast would be undefined).
    if (std::isnan(d)) return "nan";
    if (std::fabs(d) >= 1.8e19) return d < 0 ? "-inf" : "inf";
    const bool negatif = d < 0;
    const double a = negatif ? -d : d;
    const unsigned long i = static_cast<unsigned long>(a);
    unsigned long fraction;
    if (negatif)
        fraction = static_cast<unsigned long>(static_cast<float>(a - static_cast<double>(i)) * 100000.0f);
    else
        // The product is formed in extended precision so that the stored
        // value, not its rounding, is truncated: 0.3 (stored just below)
        // gives 29999.
        fraction =
            static_cast<unsigned long>(static_cast<long double>(a - static_cast<double>(i)) * 100000.0L);
    std::string f = ULtoaBase10(fraction);
    if (f.size() < 5) f.insert(0, 5 - f.size(), '0');
    return (negatif ? "-" : "") + ULtoaBase10(i) + "." + f;
}

std::string PString::DatatoBin(void const* donnees, unsigned int taille)
{
    std::string s;
    if (!donnees || taille == 0) return s;
    const unsigned char* o = static_cast<const unsigned char*>(donnees);
    s.reserve(static_cast<size_t>(taille) * 8);
    for (unsigned int k = taille; k-- > 0;)
        for (int bit = 7; bit >= 0; --bit)
            s.push_back(((o[k] >> bit) & 1) ? '1' : '0');
    return s;
}

std::string PString::DateStr()
{
    const std::time_t t = std::time(nullptr);
    std::tm l{};
    localtime_r(&t, &l);
    return DeuxChiffres(l.tm_mday) + "-" + DeuxChiffres(l.tm_mon + 1) + "-" + LtoaBase10(l.tm_year + 1900);
}

std::string PString::DateStrISO8601()
{
    const std::time_t t = std::time(nullptr);
    std::tm l{};
    localtime_r(&t, &l);
    return LtoaBase10(l.tm_year + 1900) + "-" + DeuxChiffres(l.tm_mon + 1) + "-" + DeuxChiffres(l.tm_mday) +
           "T" + DeuxChiffres(l.tm_hour) + ":" + DeuxChiffres(l.tm_min) + ":" + DeuxChiffres(l.tm_sec);
}

bool PString::ConversionLongASCII(std::string const& texte, long& valeur)
{
    size_t consomme = 0;
    valeur = std::stol(texte, &consomme, 10);
    return consomme == texte.size();
}

bool PString::ConversionFloatASCII(std::string const& texte, float& valeur)
{
    std::istringstream flux(texte);
    flux.imbue(std::locale::classic());
    flux >> valeur;
    return !flux.fail();
}

bool PString::ConversionDoubleASCII(std::string const& texte, double& valeur)
{
    std::istringstream flux(texte);
    flux.imbue(std::locale::classic());
    flux >> valeur;
    return !flux.fail();
}

bool PString::LigneSuivanteASCII(std::vector<unsigned char> const& tampon, unsigned int& position,
                                 unsigned int& compteur, std::string& ligne)
{
    ligne.clear();
    const size_t taille = tampon.size();
    if (position >= taille) return false;
    while (position < taille && Blanc(tampon[position]))
        ++position;
    if (position >= taille) return false;
    for (;;)
    {
        if (position >= taille) return false;
        const unsigned char c = tampon[position];
        if (c == '\r')
        {
            ++position;
            if (position < taille && tampon[position] == '\n') ++position;
            ++compteur;
            return true;
        }
        if (c == '\n')
        {
            ++position;
            ++compteur;
            return true;
        }
        ligne.push_back(static_cast<char>(c));
        ++position;
    }
}

bool PString::LignePrecedenteASCII(std::vector<unsigned char> const& tampon, int& position,
                                   std::string& ligne)
{
    ligne.clear();
    // Before the start there is no line: answering one would let a backward
    // scan loop for ever on position -1.
    if (position < 0 || static_cast<size_t>(position) >= tampon.size()) return false;
    int i = position;
    while (i >= 0 && tampon[i] != '\n')
        --i;
    // Bytes i+1 .. position form the line, in text order.
    size_t debut = static_cast<size_t>(i + 1);
    const size_t fin = static_cast<size_t>(position) + 1;
    while (debut < fin && Blanc(tampon[debut]))
        ++debut;
    ligne.assign(tampon.begin() + static_cast<long>(debut), tampon.begin() + static_cast<long>(fin));
    if (i < 0)
        position = -1;
    else
    {
        position = i - 1;
        if (position >= 0 && tampon[position] == '\r') --position;
    }
    return true;
}

bool PString::MotSuivantASCII(std::string const& texte, unsigned int& position, std::string& mot)
{
    mot.clear();
    const size_t taille = texte.size();
    while (position < taille && Separateur(static_cast<unsigned char>(texte[position])))
        ++position;
    while (position < taille)
    {
        const unsigned char c = static_cast<unsigned char>(texte[position]);
        ++position;
        if (Separateur(c)) break;
        mot.push_back(static_cast<char>(c));
    }
    return !mot.empty();
}

std::vector<std::string> PString::SplitStr(std::string const& texte, std::string const& separateurs)
{
    std::vector<std::string> morceaux;
    std::string courant;
    for (char c : texte)
    {
        if (separateurs.find(c) != std::string::npos)
        {
            morceaux.push_back(courant);
            courant.clear();
        }
        else
            courant.push_back(c);
    }
    morceaux.push_back(courant);
    return morceaux;
}

int PString::RemplaceStr(std::string& texte, std::string const& cherche, std::string const& remplace)
{
    if (cherche.empty()) return 0;
    int nombre = 0;
    size_t p = 0;
    while ((p = texte.find(cherche, p)) != std::string::npos)
    {
        texte.replace(p, cherche.size(), remplace);
        p += remplace.size();
        ++nombre;
    }
    return nombre;
}

bool PString::chargeFichier(char const* chemin, std::string& contenu)
{
    return ChargeEntier(chemin, contenu);
}

bool PString::EcritureFichier(char const* chemin, std::string const& donnees)
{
    if (!chemin) return false;
    const int fd = ::open(chemin, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = true;
    size_t ecrit = 0;
    while (ecrit < donnees.size())
    {
        const ssize_t n = ::write(fd, donnees.data() + ecrit, donnees.size() - ecrit);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
        {
            ok = false;
            break;
        }
        ecrit += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) ok = false;
    return ok;
}

bool PBinaire::chargeFichier(char const* chemin, std::vector<unsigned char>& contenu)
{
    return ChargeEntier(chemin, contenu);
}
