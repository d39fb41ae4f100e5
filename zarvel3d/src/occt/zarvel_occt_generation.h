#pragma once

// Solid modelling of the conversion engine. Private to the library: these
// declarations expose Open CASCADE types and never reach the public headers.

#include "../engine/zarvel_dessin.h"

#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>

#include <string>
#include <vector>

namespace Zarvel3D::occt
{

/// Results of a generation. 0 is success; every other value leaves the
/// previous model untouched.
enum StatutGeneration : int
{
    StatutSucces = 0,
    StatutRienDessine = 1,        ///< the views used hold no element
    StatutContourOuvert = 2,      ///< no closed outline in a view that needs one
    StatutParametreInvalide = 3,  ///< zero, negative where not allowed, NaN or infinite value
    StatutVueManquante = 4,       ///< three-view mode without one of the three views
    StatutVuesIncoherentes = 5,   ///< the views disagree on a shared dimension
    StatutEchecModelisation = 6,  ///< the modelling kernel failed or built an invalid solid
    StatutEchecMaillage = 7,      ///< the solid could not be triangulated
    StatutModeInconnu = 8,        ///< the mode is none of 1, 2, 3
    StatutProfilTraverseAxe = 9,  ///< a revolution profile lies on both sides of its axis
};

/// Settings of the modelling and meshing steps.
struct ReglagesGeneration
{
    /// Distance under which two points are the same (drawing units).
    double tolerance = 0.01;
    /// Largest distance between a curve and its triangulation (drawing units).
    double deflexion_lineaire = 0.05;
    /// Largest angle between two successive segments of a curve (radians).
    double deflexion_angulaire = 0.35;
};

/// A solid being built, with the reasons of a failure or of ignored input.
struct ResultatSolide
{
    int statut = StatutSucces;
    TopoDS_Shape solide;
    std::string diagnostic;
};

/// Closed regions of one view, in the view's plane (local XY plane, z = 0).
struct RegionsVue
{
    /// Faces of material: outer outlines with their inner outlines as holes.
    std::vector<TopoDS_Face> matiere;
    /// Filled outer outlines, inner outlines ignored.
    std::vector<TopoDS_Face> silhouette;
    /// Areas enclosed by an inner outline (candidates for holes).
    std::vector<TopoDS_Face> interieurs;
    /// Bounds of the silhouette: umin, vmin, umax, vmax.
    double boite[4] = {0.0, 0.0, 0.0, 0.0};
};

/// Builds the closed regions of a view: lines and arcs are split where they
/// cross, the cells they enclose are found and each cell is material or hole
/// by the parity of the outlines around it. Centre lines are left out.
/// Returns StatutSucces, StatutRienDessine or StatutContourOuvert.
int ConstruitRegions(const moteur::VueDessin& vue, double tolerance, RegionsVue& regions,
                     std::string& diagnostic);

/// Extrusion: the regions of the top view (or of the only view drawn) swept
/// by `longueur` along the height (or across the view).
ResultatSolide GenereExtrusion(const moteur::Dessin& dessin, double longueur, const ReglagesGeneration& reglages);

/// Revolution of the side view's regions about the vertical axis through the
/// view's first point, by `angle` degrees (360 or more: a whole turn).
ResultatSolide GenereRevolution(const moteur::Dessin& dessin, double angle, const ReglagesGeneration& reglages);

/// Three-view reconstruction: intersection of the silhouettes swept across
/// the part, then holes and pockets bounded by the lines of the other views.
ResultatSolide GenereTroisVues(const moteur::Dessin& dessin, const ReglagesGeneration& reglages);

/// Checks that a shape is a valid closed solid (or a compound of them) with a
/// positive volume. Fills `diagnostic` on failure.
bool SolideValide(const TopoDS_Shape& forme, std::string& diagnostic);

} // namespace Zarvel3D::occt
