#pragma once

// Check of a DXF file before dxflib reads it. dxflib trusts the counts written in the file
// (vertices of a polyline, knots of a spline), reads every section and has no notion of a
// damaged file: the check reads the group pairs itself, refuses what is not a complete ASCII
// DXF, and hands dxflib a cleaned stream with only what the reader uses (layers, linetypes,
// blocks and the model space geometry), the counts rewritten from the data present.

#include "zarvel_dxf_dessin.h"

#include <string>

namespace Zarvel3D::dxf
{

/// Outcome of the check.
enum class EtatFichier
{
    Correct,
    CheminVide,
    Absent,
    Repertoire,
    Illisible,        ///< the file cannot be opened or read (`erreur` tells why)
    TubeSansEcrivain, ///< a named pipe that no program writes to
    Vide,
    TropGrand,
    Binaire,        ///< binary DXF, which this reader does not take
    PasDxf,         ///< the first pairs are not those of a DXF file
    Corrompu,       ///< a group code that is not a number, in the middle of the file
    Tronque,        ///< the file ends before its EOF marker
    SectionOuverte, ///< the EOF marker comes inside a section that was never closed (ENDSEC)
    TropDElements   ///< more than elements_plan_max elements, in the file or its blocks expanded
};

struct FichierVerifie
{
    EtatFichier etat = EtatFichier::Correct;
    unsigned long ligne = 0; ///< line of the fault (Corrompu, PasDxf, Tronque, SectionOuverte)
    int erreur = 0;          ///< errno of Illisible
    std::string flux;        ///< cleaned group pairs for dxflib ("code\nvalue\n"...)
    int unites = 0;          ///< $INSUNITS, 0 when absent
    std::string version;     ///< $ACADVER, empty when absent
};

/// Reads and checks the file at `chemin`; fills the counts of `comptes` for what it leaves out
/// (entities of paper space, annotations, unsupported entities, damaged entities).
FichierVerifie VerifieFichier(const char* chemin, Comptes& comptes);

/// Millimetres per unit of an $INSUNITS code; 1 for 0 (unitless) and for unknown codes.
double MillimetresParUnite(int unites);

} // namespace Zarvel3D::dxf
