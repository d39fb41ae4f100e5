#include "zarvel_occt_selection.h"

#include <Standard_Failure.hxx>

#include <utility>

namespace Zarvel3D::occt
{

Selection::Selection(ResultatSolide depart, Verification verification)
    : meilleur(std::move(depart)), verification(std::move(verification))
{
}

void Selection::Essaie(const std::function<TopoDS_Shape()>& construction)
{
    if (Termine())
    {
        return;
    }
    try
    {
        const TopoDS_Shape forme = construction();
        if (forme.IsNull())
        {
            return;
        }
        ResultatSolide autre = verification(forme);
        if (autre.statut == StatutSucces && autre.ecarts.size() < meilleur.ecarts.size())
        {
            meilleur = std::move(autre);
        }
    }
    catch (const Standard_Failure&)
    {
    }
}

void Selection::Prepare(const std::function<void()>& etape)
{
    if (Termine())
    {
        return;
    }
    try
    {
        etape();
    }
    catch (const Standard_Failure&)
    {
    }
}

bool Selection::Termine() const
{
    return meilleur.statut != StatutSucces || meilleur.ecarts.empty();
}

} // namespace Zarvel3D::occt
