#pragma once

// Stand-in for the viewer's window-system seam (zarvel_glut_sys.cpp): what the plain part asks of
// the window system is answered from this record, and what it does to the window is recorded here.

#include <utility>
#include <vector>

namespace Factice
{

/// The window system as the tests set it and as the viewer left it.
struct Systeme
{
    /// Size that AssigneTailleEcran reads back (the GL viewport of a real window).
    int largeur_vue = 0;
    int hauteur_vue = 0;
    /// Milliseconds that TempsEcoule answers.
    int temps = 0;
    /// Lance_glut creates the renderer (CreeRendu) when set.
    bool cree_rendu = false;

    /// Calls of Lance_glut, with the display mode and colour of the last one.
    int lancements = 0;
    unsigned int mode = 0;
    unsigned int couleur = 0;
    /// Every pointer warp, in order.
    std::vector<std::pair<int, int>> recentrages;
};

/// The single window system of the test process.
extern Systeme sys;

/// Back to a fresh window system.
void Reinitialise();

} // namespace Factice
