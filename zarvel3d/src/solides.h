#pragma once
// The solid modelling module libZarvel3D_solides.so.1 and its loading.
//
// Everything that needs the modelling kernel (solid generation, the solid kept by a scene; the
// STEP export of a solid is in a module of its own, see step.h) lives in that module, not in
// libZarvel3D.so.1. The kernel's toolkits are large: linking them made every program that uses the library
// pay tens of milliseconds of symbol relocation at start-up, even one that only converts meshes or prints its
// usage. The library loads the module with dlopen the first time a solid is needed and never unloads it. Both
// sides are built together by the same compiler, so the table below passes C++ types; only its size and
// version are checked.

#include "engine/zarvel_dessin.h"
#include "zarvel3d/zarvel3d.h"

#include <cstddef>
#include <string>

namespace Zarvel3D::solides
{

/// File name (and soname) of the module, looked for beside libZarvel3D.so.1 first.
constexpr const char* nom_module = "libZarvel3D_solides.so.1";
/// Environment variable that, when set, gives the only path tried (for the tests).
constexpr const char* variable_module = "ZARVEL3D_MODULE_SOLIDES";
/// Name of the module's entry point, a TableSolides::Entree.
constexpr const char* entree_module = "ZarvelTableSolides";
/// Raised whenever the table's layout or meaning changes.
constexpr int version_table = 3;

/// What the module offers. A solid is an opaque block of the module's, released by `liberation`.
struct TableSolides
{
    using Entree = const TableSolides* (*)();

    /// sizeof(TableSolides) and version_table, as the module was built.
    std::size_t taille;
    int version;

    /// Builds the solid of `dessin` (views already filtered) in `mode` and fills `scene` (a fresh
    /// scene) from it. On success returns ZARVEL_SUCCES, sets `solide` to a new solid and may
    /// leave warnings in `diagnostic`; otherwise returns the status, leaves `solide` null and
    /// explains in `diagnostic`. The kernel's exceptions are turned into a status here.
    /// `ecarts` receives, one line each, where a three-view solid does not reproduce its views.
    int (*generation)(const moteur::Dessin& dessin, const ParametresZarvel& parametres, modezarvel_t mode,
                      double parametre, PScene3D& scene, void*& solide, std::string& diagnostic,
                      std::string& ecarts);

    /// Releases a solid of `generation`.
    void (*liberation)(void* solide);
};

/// The module's table, loaded on the first call (thread-safe; later calls return at once). Null
/// when the module cannot be loaded or does not match this library; `diagnostic` then receives
/// the reason, naming the module.
const TableSolides* Module(std::string& diagnostic);

} // namespace Zarvel3D::solides

extern "C"
{
    /// Entry point of the module (defined by libZarvel3D_solides.so.1 only).
    ZARVEL3D_EXPORT const Zarvel3D::solides::TableSolides* ZarvelTableSolides();
}
