#pragma once
// Private state of a scene, shared by the scene's sources and the engines that fill scenes.

#include "zarvel3d/zarvel3d.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace Zarvel3D
{

/// Content of a scene (the model or one list) that copies of the scene share until one of them
/// changes it: a counted block of the library's allocator, copied before a change only while
/// another scene holds it (copy on write). A handle always reads a block: a new or emptied handle
/// reads one empty block per content type, shared by the whole process and never released.
template <typename T> class PPartage
{
public:
    /// The empty content.
    PPartage() : bloc(BlocVide()) { Retient(bloc); }
    /// Content of its own, taken from `contenu`.
    explicit PPartage(T&& contenu) : bloc(new Bloc(std::move(contenu))) {}
    /// Shares the block of `autre`: no element is copied.
    PPartage(const PPartage& autre) noexcept : bloc(autre.bloc) { Retient(bloc); }
    /// A handle is never empty, so the moved-from handle keeps sharing the block too.
    PPartage(PPartage&& autre) noexcept : bloc(autre.bloc) { Retient(bloc); }
    PPartage& operator=(const PPartage& autre) noexcept
    {
        Retient(autre.bloc);
        Relache(bloc);
        bloc = autre.bloc;
        return *this;
    }
    /// The moved-from handle takes this handle's former block.
    PPartage& operator=(PPartage&& autre) noexcept
    {
        Echange(autre);
        return *this;
    }
    ~PPartage() { Relache(bloc); }

    /// The content, read only.
    const T& Lit() const noexcept { return bloc->contenu; }

    /// The content for writing. A block shared with other scenes is first replaced by a copy of
    /// this handle's own, under `verrou`, the lock of the scene that holds the handle; a block
    /// held by this handle alone costs one load. Throws std::bad_alloc, the handle unchanged.
    T& Modifie(std::recursive_mutex& verrou)
    {
        // Only a copy of the scene, taken under the scene's lock, adds a holder to its block, so a
        // count of 1 stays 1 while the caller, who changes the scene, holds the lock as the
        // scene's rule asks. Acquire: the last other holder may have released the block on
        // another thread just before; its reads of the content then happen before our writes.
        if (bloc->references.load(std::memory_order_acquire) != 1)
        {
            std::lock_guard<std::recursive_mutex> garde(verrou);
            Bloc* copie = new Bloc(bloc->contenu);
            Relache(bloc);
            bloc = copie;
        }
        return bloc->contenu;
    }

    /// Exchanges the blocks of two handles.
    void Echange(PPartage& autre) noexcept { std::swap(bloc, autre.bloc); }

private:
    struct Bloc : public PBase
    {
        template <typename... A> explicit Bloc(A&&... arguments) : contenu(std::forward<A>(arguments)...) {}
        std::atomic<std::size_t> references{1};
        T contenu;
    };

    static Bloc* BlocVide()
    {
        // Its own reference is never released: scenes still alive during the program's exit
        // may release theirs in any order.
        static Bloc* const vide = new Bloc();
        return vide;
    }
    static void Retient(Bloc* b) noexcept { b->references.fetch_add(1, std::memory_order_relaxed); }
    static void Relache(Bloc* b) noexcept
    {
        // Release: this holder's reads of the content happen before the block's deletion, or
        // before the writes of the holder that finds itself alone (see Modifie).
        if (b->references.fetch_sub(1, std::memory_order_acq_rel) == 1)
        {
            delete b;
        }
    }

    Bloc* bloc;
};

namespace interne
{
class MaillageScene;
}

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
    /// An imported mesh in its compact form, shared with the scene's copies (never changed once
    /// built). While it is set, the model is the one it derives and `modele` stays empty; the
    /// first change of the model moves the derived model into `modele` and drops it.
    std::shared_ptr<const interne::MaillageScene> maillage;
    /// The model and the lists, shared with the scene's copies until changed.
    PPartage<PModele3D> modele;
    PPartage<PListe<PSegment3D>> projections;
    PPartage<PListe<PElement3D>> divers;
    PPartage<PListe<PTexte3D>> textes;
    PPartage<PListe<PElement3D>> developpes;
};

namespace interne
{

/// Gives the scene the solid its model was meshed from (null removes it). Exported for the solid
/// module; not part of the public interface.
ZARVEL3D_EXPORT void DefSolide(PScene3D& scene, std::shared_ptr<void> solide);

/// The solid of the scene (null when none). Exported for the solid module.
ZARVEL3D_EXPORT std::shared_ptr<void> Solide(const PScene3D& scene);

/// Centre of the bounding box of `nombre` points and the display scale that makes its largest
/// extent 1 (1 when the extent is zero or its inverse not finite); `point(i, p)` writes the
/// coordinates of point i into p. Leaves both alone for no point.
template <typename Point>
void CentreEtEchelle(std::size_t nombre, Point point, Pvec3& centre, double& echelle)
{
    if (nombre == 0)
    {
        return;
    }
    double min[3];
    point(std::size_t(0), min);
    double max[3] = {min[0], min[1], min[2]};
    for (std::size_t i = 0; i < nombre; ++i)
    {
        double p[3];
        point(i, p);
        for (int k = 0; k < 3; ++k)
        {
            min[k] = std::min(min[k], p[k]);
            max[k] = std::max(max[k], p[k]);
        }
    }
    centre = Pvec3(0.5 * (min[0] + max[0]), 0.5 * (min[1] + max[1]), 0.5 * (min[2] + max[2]));
    const double etendue = std::max({max[0] - min[0], max[1] - min[1], max[2] - min[2]});
    const double inverse = 1.0 / etendue;
    // A single point (zero extent) or an extent whose inverse does not fit a double keeps the
    // scale 1: the scale must never be zero or infinite.
    echelle = (etendue > 0.0 && std::isfinite(inverse) && inverse > 0.0) ? inverse : 1.0;
}

/// Records a failure of an operation on `scene`: its own diagnostic and the thread's.
void EchecScene(const PScene3D& scene, const std::string& texte);

} // namespace interne

} // namespace Zarvel3D
