// Entry point of the export-formats module: its table of writers.
#include "module_formats/ecritures.h"

#include <exception>
#include <new>

namespace Zarvel3D::formats
{

namespace
{

/// Runs a writer and keeps every exception inside the module.
template <ResultatFormat (*Ecrit)(const MaillageFormat&, std::string&, std::string&)>
ResultatFormat Garde(const MaillageFormat& maillage, std::string& fichier, std::string& erreur)
{
    try
    {
        return Ecrit(maillage, fichier, erreur);
    }
    catch (const std::bad_alloc&)
    {
        return ResultatFormat::MemoireInsuffisante;
    }
    catch (const std::exception& e)
    {
        erreur = e.what();
    }
    catch (...)
    {
        erreur = "?";
    }
    return ResultatFormat::Echec;
}

} // namespace

} // namespace Zarvel3D::formats

const Zarvel3D::formats::TableFormats* ZarvelTableFormats()
{
    using namespace Zarvel3D::formats;
    static const TableFormats table = {sizeof(TableFormats), version_table, &Garde<Ecrit3MF>,
                                       &Garde<EcritGLB>};
    return &table;
}
