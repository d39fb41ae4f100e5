// Temporary file beside the target, renamed over it once complete.
#include "formats/fichier_atomique.h"

#include "diagnostic.h"
#include "progression.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Zarvel3D
{
namespace interne
{

namespace
{

constexpr std::size_t taille_tampon = std::size_t(1) << 22;

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
        fd = ::open(ecriture.c_str(), O_WRONLY | O_CLOEXEC | O_TRUNC);
        if (fd < 0)
        {
            erreur = Texte(Message::ExportEcriture, cible, std::strerror(errno));
            return false;
        }
    }
    else
    {
        std::string modele = cible_resolue + ".XXXXXX";
        fd = ::mkostemp(&modele[0], O_CLOEXEC);
        if (fd < 0)
        {
            erreur = Texte(Message::ExportCreation, modele.c_str(), std::strerror(errno));
            return false;
        }
        ecriture = modele;
        ::fchmod(fd, static_cast<mode_t>(mode));
    }
    ouvert = true;
    tampon.reserve(taille_tampon);
    return true;
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
    const bool ok = Vide() && ::close(fd) == 0;
    fd = -1;
    return ok;
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
        if (!Vide())
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
