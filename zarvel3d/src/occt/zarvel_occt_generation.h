#pragma once

// Solid modelling of the conversion engine. Private to the library: these
// declarations expose Open CASCADE types and never reach the public headers.

#include "../engine/zarvel_dessin.h"
#include "zarvel3d/zarvel3d.h"
#include "zarvel_occt_decoupe.h"
#include "zarvel_occt_projection.h"

#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>

#include <cstddef>
#include <string>
#include <vector>

namespace Zarvel3D::occt
{

/// Results of a generation, as the engine's Generation returns them (the
/// diagnostic tells the exact reason). 0 is success; every other value leaves
/// the previous model untouched.
enum StatutGeneration : int
{
    StatutSucces = ZARVEL_SUCCES,
    StatutRienDessine = ZARVEL_ERREUR_DESSIN,          ///< the views used hold no element
    StatutContourOuvert = ZARVEL_ERREUR_DESSIN,        ///< no closed outline in a view that needs one
    StatutVueManquante = ZARVEL_ERREUR_DESSIN,         ///< a view the mode needs is not drawn
    StatutVuesIncoherentes = ZARVEL_ERREUR_DESSIN,     ///< the views disagree on a shared dimension
    StatutProfilTraverseAxe = ZARVEL_ERREUR_DESSIN,    ///< a revolution profile on both sides of its axis
    StatutParametreInvalide = ZARVEL_ERREUR_MODE,      ///< zero, NaN or infinite length or angle
    StatutModeInconnu = ZARVEL_ERREUR_MODE,            ///< the mode is none of 1, 2, 3
    StatutEchecModelisation = ZARVEL_ERREUR_GEOMETRIE, ///< the kernel failed or built an invalid solid
    StatutEchecMaillage = ZARVEL_ERREUR_GEOMETRIE,     ///< the solid could not be triangulated
    StatutTropComplexe = ZARVEL_ERREUR_DESSIN,         ///< more crossings or outlines than the limits allow
};

using decoupe::croisements_max;

/// Settings of the modelling steps.
struct ReglagesGeneration
{
    /// Distance under which two points are the same (drawing units).
    double tolerance = 0.01;
    /// Shape-healing passes tried on a solid that fails its checks.
    int passes_correction = 3;
};

/// A solid being built, with the reasons of a failure or of ignored input.
struct ResultatSolide
{
    int statut = StatutSucces;
    TopoDS_Shape solide;
    std::string diagnostic;
    /// Three views: where the solid's projections differ from the drawing
    /// (empty when they reproduce it).
    std::vector<projection::Ecart> ecarts;
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
    /// Closed outlines of the material faces, holes included.
    std::size_t contours = 0;
    /// Edges of those outlines.
    std::size_t aretes = 0;
    /// Points where outlines of the material touch each other (a hole
    /// touching its outline, two regions meeting at a corner).
    std::size_t pinces = 0;
};

/// One drawn element as an edge in the view's plane (z = 0); a line is
/// lengthened by `allonge` at both ends. Null for a degenerate element.
TopoDS_Edge AreteElement(const moteur::ElementDessin& element, double tolerance, double allonge);

/// Builds the closed regions of a view: lines and arcs are split where they
/// cross or meet (ends closer than the tolerance join), the cells they enclose
/// are found and each cell is material or hole by the parity of the outlines
/// around it (even-odd rule: an outline inside another is a hole, one inside
/// a hole an island; crossing outlines keep only what one of them covers).
/// Construction lines and lines that close nothing are left out. Adjacent
/// material cells are merged, and so are collinear segments and arcs of one
/// ellipse that continue each other along an outline.
/// Returns StatutSucces, StatutRienDessine, StatutContourOuvert or, past
/// `croisements_max` crossings, StatutTropComplexe.
int ConstruitRegions(const moteur::VueDessin& vue, int id_vue, double tolerance, RegionsVue& regions,
                     std::string& diagnostic);

/// Extrusion: the regions of the top view (or of the only view drawn) swept
/// by `longueur` along the height, up from the floor (front view: backwards
/// from the front face; side view: along the width); a negative length sweeps
/// the other way. A profile of more than `contours_max` closed outlines
/// (holes included; 0: no limit) fails with StatutTropComplexe.
ResultatSolide GenereExtrusion(const moteur::Dessin& dessin, double longueur,
                               const ReglagesGeneration& reglages, int contours_max);

/// Revolution of the side view's regions (or of the only view drawn) by
/// `angle` degrees (360 or more: a whole turn; negative: the other way). The
/// axis is the view's vertical through its last drawn point; without a point,
/// the first construction line drawn in the view; without either, the
/// vertical through the left edge of the profile. The outlines are limited
/// as in GenereExtrusion.
ResultatSolide GenereRevolution(const moteur::Dessin& dessin, double angle,
                                const ReglagesGeneration& reglages, int contours_max);

/// Three-view reconstruction: intersection of the silhouettes swept across
/// the part, then holes and pockets bounded by the lines of the other views.
/// At most `contours_max` inner outlines are examined.
ResultatSolide GenereTroisVues(const moteur::Dessin& dessin, const ReglagesGeneration& reglages,
                               int contours_max);

/// Checks that a shape is a valid closed solid (or a compound of them) with a
/// positive volume. Fills `diagnostic` on failure.
bool SolideValide(const TopoDS_Shape& forme, std::string& diagnostic);

/// Fills `scene` (emptied first) from a valid solid: one surface per face,
/// triangulated as the parameters ask (curve divisions, threads); the solid's
/// vertices (visible) and the mesh nodes (hidden, with the surface normal for
/// smoothing); the sharp edges as segments; the drawn views as projections
/// beside the model, labelled; the unfolded planar faces when asked. On
/// failure the scene is left empty and the status is non-zero.
int RemplitScene(const TopoDS_Shape& solide, const moteur::Dessin& dessin, const ParametresZarvel& parametres,
                 PScene3D& scene, std::string& diagnostic);

} // namespace Zarvel3D::occt
