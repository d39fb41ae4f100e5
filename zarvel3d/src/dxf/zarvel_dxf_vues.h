#pragma once

// Views of a plan: the drawing is split into groups of connected or nested elements, the
// drawing frame and its title block are left out, and the groups are named front, side and top
// by their alignment (first-angle and third-angle layouts), or taken as one profile.

#include "zarvel_dxf_dessin.h"
#include "zarvel_dxf_geometrie.h"

#include <vector>

namespace Zarvel3D::dxf
{

/// How the views are laid out on the sheet.
enum class Disposition
{
    Profil,         ///< one profile (extrusion, revolution)
    PremierDiedre,  ///< first angle (ISO): top view below the front view
    TroisiemeDiedre ///< third angle: top view above the front view
};

/// Why the views could not be named.
enum class EchecVues
{
    Aucun,
    RienDessine,      ///< no geometry in model space
    UneSeuleVue,      ///< three-view conversion of a plan with one group
    NonAlignees,      ///< several groups, no two of them aligned
    Incoherentes,     ///< side view width and top view height differ
    TroisiemeDecalee, ///< two views, and other groups that may be a misplaced third
    TropDeGroupes     ///< too many separate groups to examine
};

/// A view handed to the engine.
struct Vue
{
    int id = 0;                          ///< 2 front, 4 side, 8 top
    std::vector<std::size_t> courbes;    ///< indices in Dessin::courbes
    std::vector<std::size_t> points;     ///< indices in Dessin::points
    Affine locale;                       ///< plan coordinates -> view coordinates (origin lower left)
    double largeur = 0.0, hauteur = 0.0; ///< extent in view coordinates
    Boite boite;                         ///< extent on the sheet
    bool miroir = false;                 ///< drawn as seen from the other side (left view)
    int copie_de = 0;                    ///< non-zero: deduced from this view (two-view plan)
};

struct ResultatVues
{
    EchecVues echec = EchecVues::Aucun;
    std::vector<Vue> vues;
    Disposition disposition = Disposition::Profil;
    std::size_t groupes = 0;             ///< groups found after the frame was left out
    std::size_t groupes_ignores = 0;     ///< groups that are no view (stray lines, extra views)
    std::size_t cadre = 0;               ///< elements of the frame and title block left out
    /// Two-view plan whose third view repeats neither: the identifier of that view (4 or 8), which
    /// the engine reads as unconstrained; 0 otherwise.
    int vue_absente = 0;
    double valeur1 = 0.0, valeur2 = 0.0; ///< dimensions that disagree (Incoherentes)
    /// Default generation parameter found in the plan: the height of the view beside the profile
    /// (extrusion), 0 when none.
    double hauteur_seconde_vue = 0.0;
};

/// Splits `dessin` into views for the conversion mode (1, 2 or 3) with the tolerance in mm.
ResultatVues DetecteVues(const Dessin& dessin, int mode, double tolerance);

} // namespace Zarvel3D::dxf
