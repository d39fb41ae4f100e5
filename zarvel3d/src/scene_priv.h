#pragma once
// Private state of a scene, shared by the scene's sources and the engines that fill scenes.

#include "zarvel3d/zarvel3d.h"

#include <TopoDS_Shape.hxx>

#include <mutex>
#include <string>

namespace Zarvel3D
{

struct PScene3D::Impl
{
  /// Recursive: the thread that holds Verrouille may copy the scene, and the copy locks again.
  mutable std::recursive_mutex verrou;
  /// Last diagnostic of an operation on this scene.
  std::string diagnostic;
  /// The solid the model was meshed from, when an engine generated one (null shape otherwise).
  /// Only STEP export uses it.
  TopoDS_Shape solide;
};

namespace interne
{

/// Gives the scene the solid its model was meshed from (a null shape removes it). Exported for
/// the tests; not part of the public interface.
ZARVEL3D_EXPORT void DefSolide(PScene3D& scene, const TopoDS_Shape& solide);

/// The solid of the scene (null shape when none).
const TopoDS_Shape& Solide(const PScene3D& scene);

/// Centre of the bounding box of `sommets` and the display scale that makes its largest extent
/// 1 (1 when the extent is zero or its inverse not finite). Leaves both alone for no vertex.
void CentreEtEchelle(const PListe<PSommet3D>& sommets, Pvec3& centre, double& echelle);

/// Records a failure of an operation on `scene`: its own diagnostic and the thread's.
void EchecScene(const PScene3D& scene, const std::string& texte);

} // namespace interne

} // namespace Zarvel3D
