#pragma once
// The writers of the export-formats module (see formats/module_formats.h). They may throw
// std::bad_alloc; the module's table catches everything.

#include "formats/module_formats.h"

#include <string>

namespace Zarvel3D::formats
{

/// 3MF package of one mesh object, in millimetres, the colour as a base material.
ResultatFormat Ecrit3MF(const MaillageFormat& maillage, std::string& fichier, std::string& erreur);

/// Binary glTF 2.0: positions and normals as floats, 32-bit indices, one material.
ResultatFormat EcritGLB(const MaillageFormat& maillage, std::string& fichier, std::string& erreur);

/// Rewrites the ZIP archive `archive` in the classic form, without ZIP64 records and with valid
/// dates, the entries' data unchanged. False, `archive` unchanged, when it needs ZIP64 (4 GiB or
/// more, 65535 entries or more) or is not as expected.
bool SansZip64(std::string& archive);

} // namespace Zarvel3D::formats
