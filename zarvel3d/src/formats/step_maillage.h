#pragma once
// STEP export of a mesh: every triangle becomes a planar face of a B-rep whose edges and vertices
// are shared through the model's vertex indices, written directly as AP214 text.

#include "formats/fichier_atomique.h"
#include "zarvel3d/zarvel3d.h"

#include <string>

namespace Zarvel3D
{
namespace interne
{

/// Writes the model's visible, non-degenerate triangles as a STEP file: a closed shell in a
/// manifold solid when every edge joins exactly two triangles in opposite directions, otherwise
/// an open shell in a surface model. `nom` names the product. False when nothing could be
/// written (no usable triangle) or a write failed.
bool EcritSTEPMaillage(const PModele3D& modele, const std::string& nom, FichierAtomique& f);

} // namespace interne
} // namespace Zarvel3D
