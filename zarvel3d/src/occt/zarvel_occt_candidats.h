#pragma once

// Other readings of three views than swept outlines, as candidate solids that
// the projection check accepts or rejects. Private to the module.

#include "../engine/zarvel_dessin.h"

#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Pln.hxx>

#include <array>
#include <vector>

namespace Zarvel3D::occt::candidats
{

/// One view as the reconstruction holds it: its identifier, the part axes
/// (0 width x, 1 height y, 2 depth d) along its u and v and the one it looks
/// along, where its drawing starts, and its material faces moved so that the
/// silhouette starts at the origin.
struct VueCandidat
{
    int id = moteur::VueFace;
    int u = 0;
    int v = 1;
    int w = 2;
    double du = 0.0;
    double dv = 0.0;
    std::vector<TopoDS_Face> matiere;
    /// Extent of the part along u, v and w.
    std::array<double, 3> etendue{};
};

/// Solids of revolution the views may show: a view drawn as concentric full
/// circles only is the end view of a part turned about the axis through their
/// centre; each other view, halved along that axis, is a profile to revolve
/// (a ball, a cone or frustum, a hemisphere, a stepped shaft). Empty when no
/// view is such an end view.
std::vector<TopoDS_Shape> Revolutions(const moteur::Dessin& dessin, const std::array<VueCandidat, 3>& vues,
                                      double tolerance);

/// Cells of a view that reach its outline: the silhouette `silhouette`
/// (moved by -du, -dv like the view's other faces) split by the view's visible
/// lines, keeping the cells that reach one to three sides of its extent, each
/// filled over the outlines it holds. Each may be a pocket open on the outline
/// (a slot between two prongs, closed behind by a wall).
std::vector<TopoDS_Face> CellulesAuBord(const std::vector<TopoDS_Face>& silhouette, const moteur::VueDessin& vue,
                                        double du, double dv, double tolerance);

/// Cuts of revolution the views may show: circles of one view around a
/// common centre (the part's own outline aside) are the mouth of a hole
/// turned about the axis through that centre; another view's lines near that
/// axis give its radius along the depth (bores, counterbores, countersinks,
/// drill points). One tool per centre and per view that draws a profile.
struct OutilRevolution
{
    /// The view whose lines gave the profile.
    int vue_profil;
    TopoDS_Shape outil;
};
/// Planes of oblique cuts (a cut-off corner, a chamfer, the sides of a
/// pyramidal pocket): each through the two ends of an oblique line of one view
/// and a third point, in space, that a line of another view joins to one of
/// them. The points in space are the corners whose three projections are
/// drawn ends of lines. In the model's coordinates.
std::vector<gp_Pln> PlansObliques(const moteur::Dessin& dessin, const std::array<VueCandidat, 3>& vues,
                                  double tolerance);

std::vector<OutilRevolution> OutilsRevolution(const moteur::Dessin& dessin,
                                              const std::array<VueCandidat, 3>& vues, double tolerance);

} // namespace Zarvel3D::occt::candidats
