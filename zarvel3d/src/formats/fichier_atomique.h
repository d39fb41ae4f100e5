#pragma once
// Output files that replace their target only once complete.

#include <cstddef>
#include <string>

namespace Zarvel3D
{
namespace interne
{

/// Writes a file beside its target under a temporary name and renames it over the target on
/// Termine. A failure (or destruction without Termine) removes the temporary file, so the
/// target is either the complete new file or what it was before. Where the file system allows
/// it, the temporary file has no name until Termine (or FermePourEcritureExterne) gives it one
/// just before the rename: a process killed while writing leaves nothing behind. A target that
/// exists and is neither a regular file nor a directory (a device, a pipe) is written directly;
/// a named pipe that no program opens for reading within attente_tube_ms is refused. A symbolic
/// link is followed: the file it points to is replaced and the link stays.
class FichierAtomique
{
public:
    FichierAtomique() = default;
    FichierAtomique(const FichierAtomique&) = delete;
    FichierAtomique& operator=(const FichierAtomique&) = delete;
    ~FichierAtomique();

    /// Opens the temporary file (or the device). False with Erreur() set on failure.
    bool Ouvre(const char* cible);
    /// Buffered write. False with Erreur() set on failure; later calls then fail too.
    bool Ecrit(const void* donnees, std::size_t octets);
    /// Writes what is buffered, closes, and renames over the target. False on failure.
    bool Termine();
    /// Closes the descriptor without renaming, for writers that reopen the file by name
    /// (CheminEcriture); Termine then only renames.
    bool FermePourEcritureExterne();
    /// The path written to, once FermePourEcritureExterne has run: the temporary file, or the
    /// target itself for a device.
    const std::string& CheminEcriture() const { return ecriture; }
    /// Diagnostic text of the failure.
    const std::string& Erreur() const { return erreur; }

private:
    bool Vide();
    void Abandonne();
    bool OuvreDirect(const char* cible);
    bool Nomme();

    std::string cible_resolue;
    std::string ecriture;
    std::string erreur;
    int fd = -1;
    bool direct = false;
    bool tube = false;    // the direct target is a named pipe
    bool anonyme = false; // the temporary file was made without a name (O_TMPFILE)
    bool ouvert = false;
    unsigned int mode = 0666;
    std::string tampon;
    unsigned long long ecrits = 0; // bytes handed to Ecrit, for the progress record
};

} // namespace interne
} // namespace Zarvel3D
