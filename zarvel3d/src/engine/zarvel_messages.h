#pragma once

// Diagnostic texts of the conversion engine, in the library's two languages.

#include "zarvel3d/zarvel3d.h"

#include <string>

namespace Zarvel3D::moteur
{

/// Messages of the engine. Each has a French and an English printf-style text
/// whose arguments come in the same order.
enum class MessageMoteur
{
    RienDessine,           ///< no argument
    VueSansElement,        ///< %d view
    ElementsIgnores,       ///< %d count, %d view
    ContourOuvert,         ///< %d view
    DecoupeImpossible,     ///< %d view
    VueManquante,          ///< %d view
    VueProfilAbsente,      ///< %d preferred view
    LongueurInvalide,      ///< %g length
    AngleInvalide,         ///< %g angle
    AxeAbsent,             ///< no argument
    ProfilTraverseAxe,     ///< no argument
    VuesIncoherentes,      ///< %s dimension name, %g, %g
    SilhouettesDisjointes, ///< no argument
    InterieursIgnores,     ///< %d count
    TropDeContours,        ///< %d count, %d maximum
    TropDeContoursProfil,  ///< %d count, %d maximum
    TropDeCroisements,     ///< %d view, %d maximum
    SolideTropComplexe,    ///< %d faces
    ProfilPince,           ///< %d points, %d edges
    BalayageImpossible,    ///< no argument
    EchecNoyau,            ///< %s kernel message
    AucunSolide,           ///< no argument
    SolideInvalide,        ///< no argument
    SolideOuvert,          ///< no argument
    SolideSansVolume,      ///< no argument
    EchecMaillage,         ///< no argument
    ModeInconnu,           ///< %d mode
    Largeur,               ///< dimension name
    Hauteur,               ///< dimension name
    Profondeur,            ///< dimension name
    EcartLigne,            ///< %d view, %g x, %g y, %g length
    EcartArete,            ///< %d view, %g x, %g y, %g length
};

/// Formats a message in the language in force. Exported for the solid module.
ZARVEL3D_EXPORT std::string Texte(MessageMoteur message, ...);

} // namespace Zarvel3D::moteur
