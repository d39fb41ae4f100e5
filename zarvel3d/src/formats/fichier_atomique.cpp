// Temporary file beside the target, renamed over it once complete.
#include "formats/fichier_atomique.h"

#include "diagnostic.h"
#include "fichier_entree.h"
#include "progression.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace Zarvel3D
{
namespace interne
{

namespace
{

constexpr std::size_t taille_tampon = std::size_t(1) << 22;

// The folder that holds `chemin`.
std::string Dossier(const std::string& chemin)
{
    const std::size_t barre = chemin.rfind('/');
    if (barre == std::string::npos)
    {
        return ".";
    }
    return barre == 0 ? "/" : chemin.substr(0, barre);
}

// Six characters for a temporary name, different at each call of every process.
std::string Suffixe()
{
    static std::atomic<unsigned long long> compteur{0};
    const unsigned long long temps =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    unsigned long long v =
        (temps ^ (static_cast<unsigned long long>(::getpid()) << 32)) + 0x9E3779B97F4A7C15ull * ++compteur;
    static const char lettres[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string s;
    for (int i = 0; i < 6; ++i)
    {
        s.push_back(lettres[v % 62]);
        v /= 62;
    }
    return s;
}

} // namespace

FichierAtomique::~FichierAtomique()
{
    Abandonne();
}

void FichierAtomique::Abandonne()
{
    if (fd >= 0)
    {
        ::close(fd);
        fd = -1;
    }
    if (ouvert && !direct && !ecriture.empty())
    {
        ::unlink(ecriture.c_str());
    }
    ouvert = false;
}

bool FichierAtomique::Ouvre(const char* cible)
{
    cible_resolue = cible;
    struct stat etat;
    if (::lstat(cible, &etat) == 0 && S_ISLNK(etat.st_mode))
    {
        char resolu[PATH_MAX];
        if (::realpath(cible, resolu) != nullptr)
        {
            cible_resolue = resolu;
        }
    }
    if (::stat(cible_resolue.c_str(), &etat) == 0)
    {
        if (S_ISDIR(etat.st_mode))
        {
            erreur = Texte(Message::ExportCible, cible);
            return false;
        }
        if (!S_ISREG(etat.st_mode))
        {
            // A device or a pipe cannot be replaced by a rename: it is the destination itself.
            direct = true;
            tube = S_ISFIFO(etat.st_mode);
        }
        else
        {
            mode = etat.st_mode & 07777;
        }
    }
    else
    {
        const mode_t masque = ::umask(0);
        ::umask(masque);
        mode = 0666 & ~masque;
    }
    if (direct)
    {
        ecriture = cible_resolue;
        if (!OuvreDirect(cible))
        {
            return false;
        }
    }
    else
    {
        // A file without a name vanishes with the process that writes it, killed or not. File
        // systems without O_TMPFILE get a named temporary file, removed on failure only.
        fd = ::open(Dossier(cible_resolue).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        anonyme = fd >= 0;
        if (!anonyme)
        {
            std::string modele = cible_resolue + ".XXXXXX";
            fd = ::mkostemp(&modele[0], O_CLOEXEC);
            if (fd < 0)
            {
                erreur = Texte(Message::ExportCreation, modele.c_str(), std::strerror(errno));
                return false;
            }
            ecriture = modele;
        }
        ::fchmod(fd, static_cast<mode_t>(mode));
    }
    ouvert = true;
    tampon.reserve(taille_tampon);
    return true;
}

// Opens the device or pipe that the target is. Opening a named pipe for writing waits for a
// reader, for ever if none comes: it is opened without blocking, which fails (ENXIO) while no
// program has it open for reading, and tried again until attente_tube_ms have passed.
bool FichierAtomique::OuvreDirect(const char* cible)
{
    if (!tube)
    {
        fd = ::open(ecriture.c_str(), O_WRONLY | O_CLOEXEC | O_TRUNC);
        if (fd < 0)
        {
            erreur = Texte(Message::ExportEcriture, cible, std::strerror(errno));
            return false;
        }
        return true;
    }
    using Horloge = std::chrono::steady_clock;
    const Horloge::time_point limite = Horloge::now() + std::chrono::milliseconds(attente_tube_ms);
    for (;;)
    {
        fd = ::open(ecriture.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0)
        {
            // Writes wait for the reader from here on, like those to any file.
            const int drapeaux = ::fcntl(fd, F_GETFL);
            if (drapeaux >= 0)
            {
                ::fcntl(fd, F_SETFL, drapeaux & ~O_NONBLOCK);
            }
            return true;
        }
        if (errno != ENXIO && errno != EINTR)
        {
            erreur = Texte(Message::ExportEcriture, cible, std::strerror(errno));
            return false;
        }
        if (Horloge::now() >= limite)
        {
            erreur = Texte(Message::ExportTubeSansLecteur, cible, attente_tube_ms / 1000);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Links the anonymous temporary file under a free name beside the target. Through /proc any user
// may link it; AT_EMPTY_PATH, where /proc is missing, needs a privilege.
bool FichierAtomique::Nomme()
{
    const std::string descripteur = "/proc/self/fd/" + std::to_string(fd);
    for (int essai = 0; essai < 100; ++essai)
    {
        const std::string nom = cible_resolue + "." + Suffixe();
        int r = ::linkat(AT_FDCWD, descripteur.c_str(), AT_FDCWD, nom.c_str(), AT_SYMLINK_FOLLOW);
        if (r != 0 && errno == ENOENT && ::access("/proc/self/fd", F_OK) != 0)
        {
            r = ::linkat(fd, "", AT_FDCWD, nom.c_str(), AT_EMPTY_PATH);
        }
        if (r == 0)
        {
            ecriture = nom;
            return true;
        }
        if (errno != EEXIST)
        {
            erreur = Texte(Message::ExportCreation, nom.c_str(), std::strerror(errno));
            return false;
        }
    }
    erreur = Texte(Message::ExportCreation, cible_resolue.c_str(), std::strerror(EEXIST));
    return false;
}

bool FichierAtomique::Vide()
{
    const char* p = tampon.data();
    std::size_t reste = tampon.size();
    while (reste > 0)
    {
        const ssize_t r = ::write(fd, p, reste);
        if (r < 0)
        {
            if (errno == EINTR)
            {
                continue;
            }
            erreur = Texte(Message::ExportEcriture, cible_resolue.c_str(), std::strerror(errno));
            return false;
        }
        p += r;
        reste -= static_cast<std::size_t>(r);
    }
    tampon.clear();
    return true;
}

bool FichierAtomique::Ecrit(const void* donnees, std::size_t octets)
{
    if (!ouvert || fd < 0 || !erreur.empty())
    {
        return false;
    }
    ecrits += octets;
    ProgressionFait(ecrits);
    if (tampon.size() + octets > taille_tampon && !Vide())
    {
        return false;
    }
    if (octets >= taille_tampon)
    {
        tampon.assign(static_cast<const char*>(donnees), octets);
        return Vide();
    }
    tampon.append(static_cast<const char*>(donnees), octets);
    return true;
}

bool FichierAtomique::FermePourEcritureExterne()
{
    if (!ouvert || fd < 0)
    {
        return false;
    }
    // The writer opens the file by its name: the anonymous one gets it now.
    const bool ecrit = Vide() && (!anonyme || !ecriture.empty() || Nomme());
    const bool ferme = ::close(fd) == 0;
    fd = -1;
    return ecrit && ferme;
}

bool FichierAtomique::Termine()
{
    if (!ouvert || !erreur.empty())
    {
        Abandonne();
        return false;
    }
    if (fd >= 0)
    {
        // The anonymous file is named only once complete, for as short a time as the rename
        // takes.
        if (!Vide() || (anonyme && ecriture.empty() && !Nomme()))
        {
            Abandonne();
            return false;
        }
        // close reports late write errors of some file systems (network, quotas).
        const int r = ::close(fd);
        fd = -1;
        if (r != 0)
        {
            erreur = Texte(Message::ExportEcriture, cible_resolue.c_str(), std::strerror(errno));
            Abandonne();
            return false;
        }
    }
    if (!direct && ::rename(ecriture.c_str(), cible_resolue.c_str()) != 0)
    {
        erreur = Texte(Message::ExportRenommage, cible_resolue.c_str(), std::strerror(errno));
        Abandonne();
        return false;
    }
    ouvert = false;
    return true;
}

} // namespace interne
} // namespace Zarvel3D
