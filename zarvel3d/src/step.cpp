// Loading of the STEP writer module (why it is a separate module: see step.h).
#include "step.h"

#include "diagnostic.h"
#include "module.h"

#include <mutex>

namespace Zarvel3D::step
{

const TableStep* Module(std::string& diagnostic)
{
    static std::once_flag fait;
    static const TableStep* table = nullptr;
    static std::string chemin;
    static std::string raison;
    std::call_once(fait,
                   []
                   {
                       table = interne::TableModule<TableStep>(
                           nom_module, variable_module, entree_module, version_table,
                           [](const TableStep& t) { return t.ecriture != nullptr; }, chemin, raison);
                   });
    if (table == nullptr)
    {
        diagnostic = interne::Texte(interne::Message::ModuleStepAbsent, chemin.c_str(), raison.c_str());
    }
    return table;
}

} // namespace Zarvel3D::step
