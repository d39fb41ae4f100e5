#pragma once
// Shared pieces of the fuzz targets: the input as a file with a path (an anonymous memory file
// seen through /proc/self/fd), and the invariant check that stops the run on a broken promise.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

namespace fuzz
{

/// Stops the process (a finding for the fuzzer, a failure for the replay) when `condition` is false.
inline void Verifie(bool condition, const char* texte, const char* fichier, int ligne)
{
    if (!condition)
    {
        std::fprintf(stderr, "fuzz : invariant faux : %s (%s:%d)\n", texte, fichier, ligne);
        std::abort();
    }
}

/// Writes `taille` bytes into the process's memory file and returns its path, valid until the next
/// call. The file is created once and rewritten at each call, so no disk file is touched.
inline const char* FichierMemoire(const std::uint8_t* donnees, std::size_t taille)
{
    static int descripteur = -1;
    static char chemin[64];
    if (descripteur < 0)
    {
        descripteur = memfd_create("zarvel_fuzz", MFD_CLOEXEC);
        Verifie(descripteur >= 0, "memfd_create", __FILE__, __LINE__);
        std::snprintf(chemin, sizeof chemin, "/proc/self/fd/%d", descripteur);
    }
    Verifie(ftruncate(descripteur, 0) == 0, "ftruncate", __FILE__, __LINE__);
    std::size_t ecrits = 0;
    while (ecrits < taille)
    {
        const ssize_t r = pwrite(descripteur, donnees + ecrits, taille - ecrits, static_cast<off_t>(ecrits));
        Verifie(r > 0, "pwrite", __FILE__, __LINE__);
        ecrits += static_cast<std::size_t>(r);
    }
    return chemin;
}

} // namespace fuzz

/// Checks an invariant of the code under test; a false one ends the run with its text.
#define ZARVEL_FUZZ_VERIFIE(condition) ::fuzz::Verifie((condition), #condition, __FILE__, __LINE__)
