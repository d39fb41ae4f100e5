// Input files opened without blocking on a named pipe that has no writer.
#include "fichier_entree.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Zarvel3D
{
namespace interne
{

FichierEntree::~FichierEntree()
{
    if (fd >= 0)
    {
        ::close(fd);
    }
}

EtatEntree FichierEntree::Ouvre(const char* chemin)
{
    if (chemin == nullptr || chemin[0] == '\0')
    {
        return EtatEntree::CheminVide;
    }
    // Without O_NONBLOCK, opening a named pipe for reading waits until a writer opens it, for ever
    // if none does.
    const int ouvert = ::open(chemin, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (ouvert < 0)
    {
        erreur = errno;
        return erreur == ENOENT || erreur == ENOTDIR ? EtatEntree::Absent : EtatEntree::Illisible;
    }
    fd = ouvert;
    struct stat etat;
    EtatEntree resultat = EtatEntree::Ouvert;
    if (::fstat(fd, &etat) != 0)
    {
        erreur = errno;
        resultat = EtatEntree::Illisible;
    }
    else if (S_ISDIR(etat.st_mode))
    {
        resultat = EtatEntree::Repertoire;
    }
    else if (S_ISFIFO(etat.st_mode) && !AttendEcrivain())
    {
        resultat = erreur != 0 ? EtatEntree::Illisible : EtatEntree::TubeSansEcrivain;
    }
    if (resultat != EtatEntree::Ouvert)
    {
        ::close(fd);
        fd = -1;
        return resultat;
    }
    ordinaire = S_ISREG(etat.st_mode);
    taille = ordinaire ? static_cast<unsigned long long>(etat.st_size) : 0;
    // From here on a read waits for data like on any file: a pipe has a writer now.
    const int drapeaux = ::fcntl(fd, F_GETFL);
    if (drapeaux >= 0)
    {
        ::fcntl(fd, F_SETFL, drapeaux & ~O_NONBLOCK);
    }
    return EtatEntree::Ouvert;
}

// A pipe opened without blocking polls readable when data comes or when a writer closes it after
// having opened it. Polling that stays silent leaves two cases, which a non-blocking read tells
// apart: end of file (0) while no writer has it open, EAGAIN while a writer has it open but has
// not written yet.
bool FichierEntree::AttendEcrivain()
{
    using Horloge = std::chrono::steady_clock;
    const Horloge::time_point limite = Horloge::now() + std::chrono::milliseconds(attente_tube_ms);
    for (;;)
    {
        const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(limite - Horloge::now());
        pollfd attente{fd, POLLIN, 0};
        const int r = ::poll(&attente, 1, static_cast<int>(std::max<long long>(0, reste.count())));
        if (r > 0)
        {
            return true;
        }
        if (r < 0 && errno == EINTR)
        {
            continue;
        }
        if (r < 0)
        {
            erreur = errno;
            return false;
        }
        const ssize_t n = ::read(fd, &octet_lu, 1);
        if (n == 1)
        {
            // Data came between the poll and the read: it is the file's first byte.
            octet_en_attente = true;
            return true;
        }
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n < 0 && errno == EAGAIN)
        {
            return true;
        }
        if (n < 0)
        {
            erreur = errno;
        }
        return false;
    }
}

long long FichierEntree::Lit(char* destination, std::size_t octets)
{
    if (fd < 0)
    {
        erreur = EBADF;
        return -1;
    }
    if (octets == 0)
    {
        return 0;
    }
    long long donnes = 0;
    if (octet_en_attente)
    {
        *destination++ = octet_lu;
        octet_en_attente = false;
        --octets;
        donnes = 1;
        if (octets == 0)
        {
            return donnes;
        }
    }
    for (;;)
    {
        const ssize_t r = ::read(fd, destination, octets);
        if (r >= 0)
        {
            return donnes + r;
        }
        if (errno != EINTR)
        {
            erreur = errno;
            return donnes > 0 ? donnes : -1;
        }
    }
}

} // namespace interne
} // namespace Zarvel3D
