#pragma once

// Cells of a candidate solid: the solid cut by every drawn line and curve of
// the views, each swept along its view's direction. A rib, a web or the arms
// of a tee fill the outlines' common part only in places; taking away the
// cells that the views do not show gives them back. Private to the module.

#include <TopoDS_Shape.hxx>

#include <functional>
#include <vector>

namespace Zarvel3D::occt::cellules
{

/// Above this number of distinct planes and curved faces, a solid is not
/// cut into cells.
constexpr std::size_t CoupantsMax = 40;

/// The cells of one solid, and the solid less any set of them.
class Cellules
{
public:
    /// `outils`: faces that cut the solid, a planar one along its whole plane;
    /// `fusion`: the distance under which the kernel takes two entities for
    /// one. No cells past CoupantsMax cutting faces.
    Cellules(const TopoDS_Shape& solide, const std::vector<TopoDS_Shape>& outils, double fusion);

    std::size_t Nombre() const { return cellules.size(); }
    /// The solid less the cells not kept; null when none is kept or the
    /// kernel fails.
    TopoDS_Shape Assemble(const std::vector<bool>& gardees) const;

private:
    TopoDS_Shape entier;
    double fusion;
    std::vector<TopoDS_Shape> cellules;
};

/// How well a solid reproduces the views: lower is better; null when the
/// solid is not acceptable at all.
struct Note
{
    std::size_t ecarts = 0;
    double longueur = 0.0;
};

/// Takes cells away as long as it lowers the note (fewer mismatches, or as
/// many but shorter): each round, the removal that lowers it most. After the
/// first round only the cells whose removal did not add mismatches are tried
/// again. At most `essais` removals are tried in all. The solid of the kept
/// cells, or a null shape when no removal helped.
TopoDS_Shape RetireCellules(const Cellules& cellules, const Note& depart,
                            const std::function<bool(const TopoDS_Shape&, Note&)>& note, std::size_t essais);

} // namespace Zarvel3D::occt::cellules
