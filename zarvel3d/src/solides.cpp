// Loading of the solid modelling module (why it is a separate module: see solides.h).
#include "solides.h"

#include "diagnostic.h"
#include "module.h"

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

void Charge(Chargement& c)
{
    c.table = interne::TableModule<TableSolides>(
        nom_module, variable_module, entree_module, version_table,
        [](const TableSolides& t)
        { return t.generation != nullptr && t.liberation != nullptr; },
        c.chemin, c.raison);
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
