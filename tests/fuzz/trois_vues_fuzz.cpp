// Fuzz target of the three-view generation on small plans: the input is read as a DXF plan and,
// when its views are found, the solid is generated. Inputs above taille_max bytes are refused, so
// that each run stays short.
#include "fuzz_outils.h"
#include "zarvel3d/zarvel3d.h"

#include <cstring>

namespace
{

constexpr std::size_t taille_max = 4096;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    if (taille > taille_max)
    {
        return -1;
    }
    const char* chemin = fuzz::FichierMemoire(donnees, taille);
    Zarvel3D::ParametresZarvel parametres;
    // One thread: the runs stay reproducible and the fuzzer's timing fair.
    parametres.taches = 1;
    Zarvel3D::ZarvelAuto* plan =
        Zarvel3D::ZarvelAuto::Construct(chemin, Zarvel3D::ZARVEL_TROIS_VUES, parametres);
    ZARVEL_FUZZ_VERIFIE(plan != nullptr);
    if (plan->ValideInit())
    {
        const bool genere = plan->Genere();
        const Zarvel3D::PScene3D& scene = plan->ZarvelConst()->Scene();
        if (genere)
        {
            ZARVEL_FUZZ_VERIFIE(scene.NombreTriangles() > 0);
            ZARVEL_FUZZ_VERIFIE(scene.ContientSolide());
            ZARVEL_FUZZ_VERIFIE(scene.EchelleAffichage() > 0.0);
        }
        else
        {
            // A failed generation leaves its reason and the scene as it was.
            ZARVEL_FUZZ_VERIFIE(std::strlen(plan->Diagnostic()) > 0);
            ZARVEL_FUZZ_VERIFIE(scene.NombreTriangles() == 0 && !scene.ContientSolide());
        }
        ZARVEL_FUZZ_VERIFIE(std::strlen(plan->Rapport()) > 0);
    }
    else
    {
        ZARVEL_FUZZ_VERIFIE(!plan->Genere());
        ZARVEL_FUZZ_VERIFIE(std::strlen(plan->Diagnostic()) > 0);
    }
    delete plan;
    return 0;
}
