#pragma once

// Reading of a DXF plan with dxflib into a Dessin: model space geometry with INSERTs expanded,
// colours, hidden and centre lines resolved, coordinates in millimetres.

#include "zarvel_dxf_dessin.h"
#include "zarvel_dxf_fichier.h"

namespace Zarvel3D::dxf
{

/// Largest coordinate accepted, in millimetres; beyond it an element is taken as invalid.
constexpr double coordonnee_max = 1e9;

/// Outcome of LitDessin.
struct Lecture
{
    EtatFichier etat = EtatFichier::Correct;
    unsigned long ligne = 0;
    int erreur = 0;         ///< errno of EtatFichier::Illisible
    bool exception = false; ///< dxflib threw; `message` holds what it said
    std::string message;
};

/// Reads the plan at `chemin` into `dessin`. `tolerance` (millimetres) bounds the departure of
/// the segments that stand for a spline. The result tells why the file was refused, if it was;
/// a readable file with nothing usable is not refused here (the views step reports it).
Lecture LitDessin(const char* chemin, double tolerance, Dessin& dessin);

/// Linetype meaning from its name and dash pattern (positive: dash, negative: gap, 0: dot).
Trait ClasseTypeLigne(const std::string& nom, const std::vector<double>& motif);

} // namespace Zarvel3D::dxf
