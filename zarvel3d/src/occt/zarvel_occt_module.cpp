// Entry point of the solid module libZarvel3D_solides.so.1: the kernel work
// that libZarvel3D.so.1 loads on demand (see solides.h for why it is apart).
// The kernel's own exceptions are caught here, where its headers are known;
// any other exception reaches the library's guard.

#include "zarvel_occt_module.h"

#include "../diagnostic.h"
#include "../engine/zarvel_messages.h"
#include "../scene_priv.h"
#include "../solides.h"
#include "zarvel_occt_generation.h"

#include <Standard_Failure.hxx>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace Zarvel3D::occt
{

namespace
{

std::string ErreurNoyau(const Standard_Failure& erreur)
{
    return interne::Texte(interne::Message::ErreurNoyau, erreur.GetMessageString());
}

int Generation(const moteur::Dessin& dessin, const ParametresZarvel& parametres, modezarvel_t mode,
               double parametre, PScene3D& scene, void*& solide, std::string& diagnostic, std::string& ecarts)
{
    solide = nullptr;
    ecarts.clear();
    try
    {
        ReglagesGeneration reglages;
        reglages.tolerance =
            std::isfinite(parametres.tolerance) && parametres.tolerance > 0.0 ? parametres.tolerance : 1e-6;
        reglages.passes_correction = std::max<int>(0, parametres.passes_correction);

        ResultatSolide resultat;
        switch (mode)
        {
        case ZARVEL_TROIS_VUES:
            resultat = GenereTroisVues(dessin, reglages, parametres.elements_max);
            break;
        case ZARVEL_EXTRUSION:
            resultat = GenereExtrusion(dessin, parametre, reglages, parametres.elements_max);
            break;
        case ZARVEL_REVOLUTION:
            resultat = GenereRevolution(dessin, parametre, reglages, parametres.elements_max);
            break;
        default:
            diagnostic = moteur::Texte(moteur::MessageMoteur::ModeInconnu, static_cast<int>(mode));
            return ZARVEL_ERREUR_MODE;
        }
        diagnostic = resultat.diagnostic;
        if (resultat.statut != StatutSucces)
        {
            return resultat.statut;
        }
        const int statut = RemplitScene(resultat.solide, dessin, parametres, scene, diagnostic);
        if (statut == StatutSucces)
        {
            solide = new TopoDS_Shape(resultat.solide);
            ecarts = projection::RapportEcarts(resultat.ecarts);
        }
        return statut;
    }
    catch (const Standard_Failure& erreur)
    {
        diagnostic = ErreurNoyau(erreur);
        return ZARVEL_ERREUR_INTERNE;
    }
}

void Liberation(void* solide)
{
    delete static_cast<TopoDS_Shape*>(solide);
}

} // namespace

} // namespace Zarvel3D::occt

namespace Zarvel3D
{

TopoDS_Shape moteur::SolideMoteur(const Zarvel& moteur)
{
    const std::shared_ptr<void> solide = interne::Solide(moteur.Scene());
    return solide != nullptr ? *static_cast<const TopoDS_Shape*>(solide.get()) : TopoDS_Shape();
}

void interne::DefSolide(PScene3D& scene, const TopoDS_Shape& solide)
{
    DefSolide(scene, solide.IsNull() ? std::shared_ptr<void>()
                                     : std::shared_ptr<void>(new TopoDS_Shape(solide), occt::Liberation));
}

} // namespace Zarvel3D

const Zarvel3D::solides::TableSolides* ZarvelTableSolides()
{
    static const Zarvel3D::solides::TableSolides table = {
        sizeof(Zarvel3D::solides::TableSolides), Zarvel3D::solides::version_table, Zarvel3D::occt::Generation,
        Zarvel3D::occt::Liberation};
    return &table;
}
