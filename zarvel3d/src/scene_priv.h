#pragma once
// Private state of a scene, shared by the scene's sources and the engines that fill scenes.

#include "zarvel3d/zarvel3d.h"

#include <memory>
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
    /// The solid the model was meshed from, when an engine generated one (null otherwise): an
    /// opaque block of the solid module, released by the module. Copies of the scene share it (a
    /// solid is never modified once built). Only STEP export uses it.
    std::shared_ptr<void> solide;
};

namespace interne
{

/// Gives the scene the solid its model was meshed from (null removes it). Exported for the solid
/// module; not part of the public interface.
ZARVEL3D_EXPORT void DefSolide(PScene3D& scene, std::shared_ptr<void> solide);

/// The solid of the scene (null when none). Exported for the solid module.
ZARVEL3D_EXPORT std::shared_ptr<void> Solide(const PScene3D& scene);

/// Centre of the bounding box of `sommets` and the display scale that makes its largest extent
/// 1 (1 when the extent is zero or its inverse not finite). Leaves both alone for no vertex.
void CentreEtEchelle(const PListe<PSommet3D>& sommets, Pvec3& centre, double& echelle);

/// Records a failure of an operation on `scene`: its own diagnostic and the thread's.
void EchecScene(const PScene3D& scene, const std::string& texte);

} // namespace interne

} // namespace Zarvel3D
