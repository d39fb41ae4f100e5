#pragma once

// Texts of the plan reader's report and diagnostics, in the library's two languages.

#include <string>

namespace Zarvel3D::dxf
{

/// Messages of the plan reader. Each has a French and an English printf-style text whose
/// arguments come in the same order.
enum class MessageDxf
{
    // Failures
    CheminVide,        ///< no argument
    Absent,            ///< %s path
    Repertoire,        ///< %s path
    Illisible,         ///< %s path, %s reason
    TubeSansEcrivain,  ///< %s path, %d seconds waited
    Vide,              ///< %s path
    TropGrand,         ///< %s path
    Binaire,           ///< %s path
    PasDxf,            ///< %s path, %lu line
    Corrompu,          ///< %s path, %lu line
    Tronque,           ///< %s path, %lu line
    SectionOuverte,    ///< %s path, %lu line
    TropDElements,     ///< %s path, %lu limit
    ExceptionLecture,  ///< %s what the reader said
    Invalides,         ///< %lu count
    RienDessine,       ///< no argument
    UneSeuleVue,       ///< %g width, %g height
    NonAlignees,       ///< %lu groups
    Incoherentes,      ///< %g side width, %g top height
    TroisiemeDecalee,  ///< %lu groups left over
    TropDeGroupes,     ///< %lu groups
    ModeInconnu,       ///< %d mode
    ParametreInvalide, ///< %g value
    NonCharge,         ///< no argument
    MoteurRefuse,      ///< %lu count
    EchecGeneration,   ///< %d status, %s engine diagnostic
    Interne,           ///< %s reason
             // Report
    Fichier,           ///< %s path, %s version, %d $INSUNITS, %g mm per unit
    Lus,               ///< %s list
    Traits,            ///< %lu hidden, %lu centre lines
    Insertions,        ///< %lu inserts
    Ignores,           ///< %s list
    NonPrisEnCharge,   ///< %s list
    EspacePapier,      ///< %lu
    CalquesEteints,    ///< %lu
    CalquesEteintsLus, ///< no argument
    HorsPlan,          ///< %lu
    InvalidesRapport,  ///< %lu
    Degeneres,         ///< %lu
    BlocsAbsents,      ///< %lu
    SplinesApprochees, ///< %lu
    Corrompues,        ///< %lu
    Cadre,             ///< %lu elements
    Groupes,           ///< %lu groups, %lu ignored
    DispositionProfil,
    DispositionPremier,
    DispositionTroisieme,
    Vue,        ///< %s name, %g width, %g height, %g x, %g y, %lu elements
    VueMiroir,  ///< suffix
    VueDeduite, ///< suffix, %s name of the source view
    VueAbsente, ///< %s name of the view left undrawn
    NomFace,
    NomCote,
    NomDessus,
    Profil,
    Extrusion,  ///< %g length, %s origin
    Revolution, ///< %g angle, %s origin
    OrigineDonnee,
    OrigineSecondeVue,
    OrigineProfil,
    OrigineTour,
    Genere, ///< %lu surfaces, %llu triangles
};

/// Formats a message in the language in force.
std::string TexteDxf(MessageDxf message, ...);

} // namespace Zarvel3D::dxf
