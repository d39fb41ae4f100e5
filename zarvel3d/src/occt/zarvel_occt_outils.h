#pragma once

// Small helpers shared by the modelling sources.

#include "../engine/zarvel_dessin.h"
#include "../engine/zarvel_messages.h"
#include "zarvel_occt_generation.h"

#include <BRepBndLib.hxx>
#include <Standard_Failure.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Edge.hxx>
#include <gp_Pnt.hxx>
#include <gp_Trsf.hxx>
#include <gp_Vec.hxx>

#include <Bnd_Box.hxx>
#include <cmath>
#include <exception>
#include <string>
#include <vector>

namespace Zarvel3D::occt
{

using moteur::MessageMoteur;
using moteur::Texte;

inline bool FiniPoint(const gp_Pnt& p)
{
    return std::isfinite(p.X()) && std::isfinite(p.Y()) && std::isfinite(p.Z());
}

/// Appends one sentence to a diagnostic text, separated by "; ".
inline void AjouteDiagnostic(std::string& diagnostic, const std::string& texte)
{
    if (!diagnostic.empty())
    {
        diagnostic += "; ";
    }
    diagnostic += texte;
}

/// Placement of a view's local plane in the model: a rotation (the local
/// normal becomes +Z for the front view, +X for the side view, +Y for the top
/// view), then the translation `decalage`.
gp_Trsf PlacementVue(int vue, const gp_Vec& decalage);

/// A copy of a shape moved by a transformation.
TopoDS_Shape Place(const TopoDS_Shape& forme, const gp_Trsf& transformation);

/// A compound of faces.
TopoDS_Compound Groupe(const std::vector<TopoDS_Face>& faces);

/// Volume of a shape (negative for a solid turned inside out).
double Volume(const TopoDS_Shape& forme);

/// Number of solids in a shape.
int NombreSolides(const TopoDS_Shape& forme);

/// `objet` less every shape of `outils`, in one boolean operation (`fusion`:
/// the kernel's fuzzy tolerance, 0 for none). A null shape when the kernel
/// fails.
TopoDS_Shape Retranche(const TopoDS_Shape& objet, const std::vector<TopoDS_Shape>& outils, double fusion = 0.0);

/// Merges faces and edges that lie on the same surface or curve.
TopoDS_Shape Unifie(const TopoDS_Shape& forme);

/// Turns every solid outward; a single solid is returned as a solid.
TopoDS_Shape OrienteSolides(const TopoDS_Shape& forme);

/// A failed result.
ResultatSolide Echec(int statut, std::string diagnostic);

/// Merges split faces, orients and checks a solid, healing it with up to
/// `passes_correction` passes when it fails the checks; a solid still invalid
/// fails with StatutEchecModelisation.
ResultatSolide Termine(const TopoDS_Shape& brut, std::string diagnostic, int passes_correction);

/// Runs a modelling step inside the guard every kernel call needs: kernel
/// and standard exceptions become StatutEchecModelisation.
template <typename Fonction> ResultatSolide Protege(Fonction&& fonction)
{
    ResultatSolide resultat;
    try
    {
        resultat = fonction();
    }
    catch (const Standard_Failure& erreur)
    {
        resultat = ResultatSolide();
        resultat.statut = StatutEchecModelisation;
        resultat.diagnostic = Texte(MessageMoteur::EchecNoyau, erreur.GetMessageString());
    }
    catch (const std::exception& erreur)
    {
        resultat = ResultatSolide();
        resultat.statut = StatutEchecModelisation;
        resultat.diagnostic = Texte(MessageMoteur::EchecNoyau, erreur.what());
    }
    catch (...)
    {
        resultat = ResultatSolide();
        resultat.statut = StatutEchecModelisation;
        resultat.diagnostic = Texte(MessageMoteur::EchecNoyau, "?");
    }
    if (resultat.statut != StatutSucces)
    {
        resultat.solide.Nullify();
    }
    return resultat;
}

} // namespace Zarvel3D::occt
