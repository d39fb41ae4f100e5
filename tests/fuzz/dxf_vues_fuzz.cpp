// Fuzz target of plan loading: the input is read as a DXF plan in three-view mode, its views are
// found and drawn into a new engine, without generating; then the report is written in both
// languages and the engine handed over.
#include "fuzz_outils.h"
#include "zarvel3d/zarvel3d.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const char* chemin = fuzz::FichierMemoire(donnees, taille);
    Zarvel3D::ParametresZarvel parametres;
    parametres.taches = 1;
    Zarvel3D::ZarvelAuto* plan =
        Zarvel3D::ZarvelAuto::Construct(chemin, Zarvel3D::ZARVEL_TROIS_VUES, parametres);
    ZARVEL_FUZZ_VERIFIE(plan != nullptr);
    if (plan->ValideInit())
    {
        ZARVEL_FUZZ_VERIFIE(plan->ZarvelConst() != nullptr);
        // Nothing is generated yet: the engine's scene is still empty.
        ZARVEL_FUZZ_VERIFIE(plan->ZarvelConst()->Scene().NombreTriangles() == 0);
    }
    else
    {
        ZARVEL_FUZZ_VERIFIE(std::strlen(plan->Diagnostic()) > 0);
        ZARVEL_FUZZ_VERIFIE(std::strlen(Zarvel3D::Diagnostic()) > 0);
    }
    for (const auto langue : {Zarvel3D::i18n::LANG_EN, Zarvel3D::i18n::LANG_FR})
    {
        Zarvel3D::i18n::defLangue(langue);
        const char* rapport = plan->Rapport();
        ZARVEL_FUZZ_VERIFIE(rapport != nullptr && std::strlen(rapport) > 0);
    }
    // The engine outlives the plan once handed over.
    Zarvel3D::Zarvel* moteur = plan->ZarvelPtr();
    ZARVEL_FUZZ_VERIFIE(moteur == plan->ZarvelConst());
    delete plan;
    if (moteur != nullptr)
    {
        ZARVEL_FUZZ_VERIFIE(moteur->ScenePtr() != nullptr);
        delete moteur;
    }
    return 0;
}
