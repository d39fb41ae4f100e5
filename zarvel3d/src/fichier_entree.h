#pragma once
// Input files of the readers (STL, DXF), opened so that a named pipe nobody writes to cannot
// hold the program for ever.

#include <cstddef>

namespace Zarvel3D
{
namespace interne
{

/// Milliseconds a named pipe is given for a program to open it for writing (inputs) or for
/// reading (exports) before it is refused.
constexpr int attente_tube_ms = 2000;

/// Outcome of FichierEntree::Ouvre.
enum class EtatEntree
{
    Ouvert,
    CheminVide,
    Absent,          ///< no such file, or a path through something that is not a folder
    Repertoire,      ///< a folder
    Illisible,       ///< open or fstat failed: Erreur() holds errno
    TubeSansEcrivain ///< a named pipe that no program opened for writing in attente_tube_ms
};

/// A file open for reading; closed by the destructor. A named pipe is opened without blocking
/// and waited for attente_tube_ms: a writer that opens it in that time is read to its end like
/// a regular file (blocking reads), otherwise Ouvre refuses it. Other special files (devices)
/// are read as they come.
class FichierEntree
{
public:
    FichierEntree() = default;
    FichierEntree(const FichierEntree&) = delete;
    FichierEntree& operator=(const FichierEntree&) = delete;
    ~FichierEntree();

    /// Opens `chemin`. Ouvert on success; anything else leaves nothing open.
    EtatEntree Ouvre(const char* chemin);
    /// Reads up to `octets` bytes (interrupted calls are resumed). The count read, 0 at the
    /// end, -1 on failure with Erreur() set.
    long long Lit(char* destination, std::size_t octets);
    /// True for a regular file, whose size Taille() gives (it may still change while read).
    bool Ordinaire() const { return ordinaire; }
    /// Size in bytes of a regular file at its opening; 0 for the others.
    unsigned long long Taille() const { return taille; }
    /// errno of the last failure (Illisible, or a failed Lit).
    int Erreur() const { return erreur; }

private:
    bool AttendEcrivain();

    int fd = -1;
    bool ordinaire = false;
    unsigned long long taille = 0;
    int erreur = 0;
    // A byte taken from a pipe while finding out whether a writer had it open, given back first.
    char octet_lu = 0;
    bool octet_en_attente = false;
};

} // namespace interne
} // namespace Zarvel3D
