// A stand-in for the solid module and the export-formats module whose tables are from another
// version of the library: the library must refuse them rather than call into them.
#include "formats/module_formats.h"
#include "solides.h"

const Zarvel3D::solides::TableSolides* ZarvelTableSolides()
{
    static const Zarvel3D::solides::TableSolides table = {
        sizeof(Zarvel3D::solides::TableSolides), Zarvel3D::solides::version_table + 1, nullptr, nullptr};
    return &table;
}

const Zarvel3D::formats::TableFormats* ZarvelTableFormats()
{
    static const Zarvel3D::formats::TableFormats table = {
        sizeof(Zarvel3D::formats::TableFormats), Zarvel3D::formats::version_table + 1, nullptr, nullptr};
    return &table;
}
