#pragma once
// Opening of the library's private modules (the solid module, the export-formats module): shared
// objects installed beside libZarvel3D.so.1 and loaded with dlopen on first use, so that the
// large third-party libraries they link cost nothing to programs that never need them.

#include <string>

namespace Zarvel3D::interne
{

/// Opens the module `nom` and returns the address of its entry point `entree`, or null. When the
/// environment variable `variable` is set, its value is the only path tried (for the tests);
/// otherwise the module beside libZarvel3D.so.1 is tried first, then `nom` through the loader's
/// search path (an installed copy). On failure `chemin` is the path tried first and `raison` the
/// loader's reason. A module once opened is never closed: what it made lives as long as the
/// process. Not synchronised: each module's caller opens it once (std::call_once).
void* OuvreModule(const char* nom, const char* variable, const char* entree, std::string& chemin,
                  std::string& raison);

/// Opens the module (OuvreModule) and returns the table its entry point (`const Table* (*)()`)
/// gives, when the table's first two fields, `taille` and `version`, match this library's
/// sizeof(Table) and `version`, and `complete(table)` holds (every function is there). Both
/// sides are built together by the same compiler, so a table may pass C++ types; only its size
/// and version are checked. Null on failure, with `chemin` and `raison` filled.
template <typename Table, typename Complete>
const Table* TableModule(const char* nom, const char* variable, const char* entree, int version,
                         Complete&& complete, std::string& chemin, std::string& raison)
{
    using Entree = const Table* (*)();
    const auto fonction = reinterpret_cast<Entree>(OuvreModule(nom, variable, entree, chemin, raison));
    if (fonction == nullptr)
    {
        return nullptr;
    }
    const Table* table = fonction();
    if (table == nullptr || table->taille != sizeof(Table) || table->version != version || !complete(*table))
    {
        raison = "table " +
                 (table == nullptr ? std::string("null")
                                   : std::to_string(table->version) + "/" + std::to_string(table->taille)) +
                 " != " + std::to_string(version) + "/" + std::to_string(sizeof(Table));
        return nullptr;
    }
    return table;
}

} // namespace Zarvel3D::interne
