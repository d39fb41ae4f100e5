// The window-system seam of the viewer, without a window: Lance_glut registers the instance and
// returns instead of entering a main loop; sizes and time come from Factice::sys.
#include "sys_factice.h"

#include "zarvel_glut.h"

namespace Factice
{

Systeme sys;

void Reinitialise()
{
    sys = Systeme();
}

} // namespace Factice

void Zarvel_glut::Lance_glut(unsigned int mode, unsigned int couleur)
{
    inst_glut_stat = this;
    ++Factice::sys.lancements;
    Factice::sys.mode = mode;
    Factice::sys.couleur = couleur;
    // No GL context exists: the engine's wrappers then issue no GL call.
    if (Factice::sys.cree_rendu) CreeRendu(mode, couleur);
}

void AssigneTailleEcran(int& largeur, int& hauteur)
{
    largeur = Factice::sys.largeur_vue;
    hauteur = Factice::sys.hauteur_vue;
}

void RecentrePointeur(int x, int y)
{
    Factice::sys.recentrages.emplace_back(x, y);
}

int TempsEcoule()
{
    return Factice::sys.temps;
}
