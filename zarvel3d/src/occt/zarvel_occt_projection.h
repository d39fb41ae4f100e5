#pragma once

// Check of a solid against the views it was built from: the solid is
// projected along each view's direction with hidden-line removal, and its
// visible and hidden edges are compared with the drawn lines. A drawn line
// that no projected edge explains, or a visible sharp edge or silhouette that
// the drawing lacks, is a mismatch. Hidden edges that the drawing omits are
// not: many drawings leave hidden lines out. Private to the module.

#include "../engine/zarvel_dessin.h"

#include <TopoDS_Shape.hxx>

#include <array>
#include <string>
#include <vector>

namespace Zarvel3D::occt::projection
{

enum class GenreEcart
{
    /// A drawn line (or part of one) where the solid has no edge.
    LigneSansArete,
    /// A visible edge of the solid that the drawing does not show.
    AreteAbsente,
};

/// One mismatch, in the drawing's own coordinates of its view.
struct Ecart
{
    int vue = moteur::VueFace;
    GenreEcart genre = GenreEcart::LigneSansArete;
    double x = 0.0;
    double y = 0.0;
    double longueur = 0.0;
};

/// Where each view's drawing lies against the solid: the drawing's point
/// (u, v) of view `vue` is the projection (u - du, v - dv) of the solid,
/// whose axes are x (width), y (height) and z (minus the depth).
struct OrigineVue
{
    int vue = moteur::VueFace;
    double du = 0.0;
    double dv = 0.0;
};

/// Compares the projections of `solide` with the views of `dessin` named in
/// `origines`. `tolerance`: the plan's distance under which two points are
/// one. Mismatches shorter than a few tolerances are not reported.
std::vector<Ecart> VerifieProjections(const TopoDS_Shape& solide, const moteur::Dessin& dessin,
                                      const std::vector<OrigineVue>& origines, double tolerance);

/// One line per mismatch: view, kind, position and length, in the language in
/// force ("" when there is none).
std::string RapportEcarts(const std::vector<Ecart>& ecarts);

} // namespace Zarvel3D::occt::projection
