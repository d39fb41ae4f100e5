#pragma once
// The STEP writer module libZarvel3D_step.so.1 and its loading.
//
// Writing a solid as STEP takes the kernel's translator toolkits, a third of the time the solid
// module's toolkits take to load. Kept out of the solid module, they are loaded only by the first
// STEP export of a solid, with dlopen, and never unloaded; a generation followed by an STL export
// never pays for them. Built with the library, the table passes C++ types; only its size and
// version are checked.

#include "zarvel3d/zarvel3d.h"

#include <cstddef>
#include <string>

namespace Zarvel3D::step
{

/// File name (and soname) of the module, looked for beside libZarvel3D.so.1 first.
constexpr const char* nom_module = "libZarvel3D_step.so.1";
/// Environment variable that, when set, gives the only path tried (for the tests).
constexpr const char* variable_module = "ZARVEL3D_MODULE_STEP";
/// Name of the module's entry point, a `const TableStep* (*)()`.
constexpr const char* entree_module = "ZarvelTableStep";
/// Raised whenever the table's layout or meaning changes.
constexpr int version_table = 1;

/// What the module offers.
struct TableStep
{
    /// sizeof(TableStep) and version_table, as the module was built.
    std::size_t taille;
    int version;

    /// Writes `solide`, a solid of the solid module's generation, as STEP to `chemin`. False with
    /// `erreur` filled when the kernel fails (an empty `erreur`: the translator refused the solid).
    bool (*ecriture)(const void* solide, const char* chemin, std::string& erreur);
};

/// The module's table, loaded on the first call (thread-safe; later calls return at once). Null
/// when the module cannot be loaded or does not match this library; `diagnostic` then receives
/// the reason, naming the module.
const TableStep* Module(std::string& diagnostic);

} // namespace Zarvel3D::step

extern "C"
{
    /// Entry point of the module (defined by libZarvel3D_step.so.1 only).
    ZARVEL3D_EXPORT const Zarvel3D::step::TableStep* ZarvelTableStep();
}
