#pragma once

// Access to the solids of the solid module in their kernel type, for the
// tests only (the library itself sees them as opaque blocks, see solides.h).
// Defined and exported by libZarvel3D_solides.so.1.

#include "zarvel3d/zarvel3d.h"

#include <TopoDS_Shape.hxx>

namespace Zarvel3D
{

namespace moteur
{

/// The solid behind an engine's scene (null shape before a successful
/// generation).
ZARVEL3D_EXPORT TopoDS_Shape SolideMoteur(const Zarvel& moteur);

} // namespace moteur

namespace interne
{

/// Gives the scene a solid of its own, as a generation would (a null shape
/// removes it).
ZARVEL3D_EXPORT void DefSolide(PScene3D& scene, const TopoDS_Shape& solide);

} // namespace interne

} // namespace Zarvel3D
