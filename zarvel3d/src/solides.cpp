// Loading of the solid modelling module (why it is a separate module: see solides.h).
#include "solides.h"

#include "diagnostic.h"

#include <cstdlib>
#include <dlfcn.h>
#include <mutex>

namespace Zarvel3D::solides
{

namespace
{

struct Chargement
{
    const TableSolides* table = nullptr;
    /// On failure: the path tried first and the loader's reason.
    std::string chemin;
    std::string raison;
};

/// Text of the loader's last error (never null).
std::string ErreurChargeur()
{
    const char* erreur = dlerror();
    return erreur != nullptr ? erreur : "?";
}

/// The module's path beside this library, or just its soname when this library's own path is
/// unknown (the loader's search path then applies).
std::string CheminVoisin()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&CheminVoisin), &info) != 0 && info.dli_fname != nullptr)
    {
        const std::string bibliotheque = info.dli_fname;
        const std::size_t barre = bibliotheque.rfind('/');
        if (barre != std::string::npos)
        {
            return bibliotheque.substr(0, barre + 1) + nom_module;
        }
    }
    return nom_module;
}

void Charge(Chargement& c)
{
    const char* impose = std::getenv(variable_module);
    c.chemin = impose != nullptr ? impose : CheminVoisin();
    // The module is never closed: the solids it made and their releasing functions live as long
    // as the process.
    void* module = dlopen(c.chemin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr && impose == nullptr && c.chemin != nom_module)
    {
        // An installed copy: found through the loader's search path.
        c.raison = ErreurChargeur();
        module = dlopen(nom_module, RTLD_NOW | RTLD_LOCAL);
    }
    if (module == nullptr)
    {
        if (c.raison.empty())
        {
            c.raison = ErreurChargeur();
        }
        return;
    }
    const auto entree = reinterpret_cast<TableSolides::Entree>(dlsym(module, entree_module));
    if (entree == nullptr)
    {
        c.raison = ErreurChargeur();
        return;
    }
    const TableSolides* table = entree();
    if (table == nullptr || table->taille != sizeof(TableSolides) || table->version != version_table ||
        table->generation == nullptr || table->export_step == nullptr || table->liberation == nullptr)
    {
        c.raison = "table " +
                   (table == nullptr ? std::string("null")
                                     : std::to_string(table->version) + "/" + std::to_string(table->taille)) +
                   " != " + std::to_string(version_table) + "/" + std::to_string(sizeof(TableSolides));
        return;
    }
    c.table = table;
}

} // namespace

const TableSolides* Module(std::string& diagnostic)
{
    static std::once_flag fait;
    static Chargement chargement;
    std::call_once(fait, [] { Charge(chargement); });
    if (chargement.table == nullptr)
    {
        diagnostic = interne::Texte(interne::Message::ModuleSolidesAbsent, chargement.chemin.c_str(),
                                    chargement.raison.c_str());
    }
    return chargement.table;
}

} // namespace Zarvel3D::solides
