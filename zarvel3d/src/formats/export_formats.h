#pragma once
// Export in the formats of the export-formats module (3MF, binary glTF), and the test of the
// model's vertex indices that every indexed writer shares.

#include "formats/fichier_atomique.h"
#include "zarvel3d/zarvel3d.h"

#include <string>

namespace Zarvel3D::interne
{

/// True when every triangle corner names a model vertex at the corner's position, so that a
/// file may share the model's vertex list (OBJ, PLY, glTF).
bool CoinsIndexes(const PModele3D& modele);

/// The formats written through the export-formats module.
enum class FormatModule
{
    Format3MF, ///< 3MF package, millimetres, vertices welded by position
    FormatGLB  ///< binary glTF 2.0, metres, vertices shared within a surface
};

/// Writes `modele` (`triangles` triangles, at least one) into `f`, opened on `chemin`, in `format`
/// through the export-formats module, loaded on the first call. `nom`: the object's name. The
/// colour shared by every triangle, when they all have the same own colour, is the object's
/// colour; otherwise none is written. False with `erreur` set (in the language in force) when the
/// module is missing, the scene is too large for the format or the writer fails; `f` is then left
/// for the caller to abandon. Throws std::bad_alloc when memory runs out.
bool EcritParModule(FormatModule format, const PModele3D& modele, unsigned long long triangles,
                    const std::string& nom, const char* chemin, FichierAtomique& f, std::string& erreur);

} // namespace Zarvel3D::interne
