// A stand-in for the solid module whose table is from another version of the library: the
// library must refuse it rather than call into it.
#include "solides.h"

const Zarvel3D::solides::TableSolides* ZarvelTableSolides()
{
    static const Zarvel3D::solides::TableSolides table = {sizeof(Zarvel3D::solides::TableSolides),
                                                          Zarvel3D::solides::version_table + 1, nullptr,
                                                          nullptr, nullptr};
    return &table;
}
