// Candidate solids of revolution for the three-view reconstruction.

#include "zarvel_occt_candidats.h"

#include "zarvel_occt_outils.h"

#include <BRepAlgoAPI_Common.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <gp_Ax1.hxx>
#include <gp_Pln.hxx>

#include <cmath>
#include <optional>

namespace Zarvel3D::occt::candidats
{

namespace
{

// Centre of a view drawn as concentric full circles only (centre lines
// aside), in the view's coordinates from its origin; none otherwise.
std::optional<std::array<double, 2>> CentreCirculaire(const moteur::VueDessin& vue, const VueCandidat& v,
                                                      double tol)
{
    std::optional<std::array<double, 2>> centre;
    for (const moteur::ElementDessin& e : vue.elements)
    {
        if (e.axe)
        {
            continue;
        }
        const bool cercle = e.type == moteur::TypeElement::Ellipse && std::fabs(e.largeur - e.hauteur) <= tol &&
                            e.fin - e.debut >= 360.0 - 1e-9;
        if (!cercle)
        {
            return std::nullopt;
        }
        const std::array<double, 2> c{e.cx - v.du, e.cy - v.dv};
        if (centre && std::hypot((*centre)[0] - c[0], (*centre)[1] - c[1]) > tol)
        {
            return std::nullopt;
        }
        centre = c;
    }
    return centre;
}

gp_Vec VersModele(const std::array<double, 3>& partie)
{
    return gp_Vec(partie[0], partie[1], -partie[2]);
}

// The material of view `p` on one side of the axis, which lies along `axe`
// (a part axis shared with p) at `position` on p's other axis, turned about
// that axis in the model.
TopoDS_Shape Tourne(const VueCandidat& p, const std::array<double, 3>& point_axe, int axe)
{
    // The profile's own coordinate across the axis, and the axis' place on it.
    const bool axe_en_v = p.v == axe;
    const int travers = axe_en_v ? p.u : p.v;
    const double position = point_axe[static_cast<std::size_t>(travers)];
    const double grand = 1e6;
    // Half-plane of p on the side of larger coordinates across the axis.
    const double u0 = axe_en_v ? position : -grand, v0 = axe_en_v ? -grand : position;
    const TopoDS_Face demi = BRepBuilderAPI_MakeFace(gp_Pln(), u0, grand, v0, grand).Face();
    BRepAlgoAPI_Common moitie(Groupe(p.matiere), demi);
    if (!moitie.IsDone() || moitie.HasErrors())
    {
        return TopoDS_Shape();
    }
    // The profile's plane passes through the axis.
    std::array<double, 3> decalage{0.0, 0.0, 0.0};
    decalage[static_cast<std::size_t>(p.w)] = point_axe[static_cast<std::size_t>(p.w)];
    gp_Vec d = VersModele(decalage);
    // The side and top views sit at the far face of the part along their own
    // axis in the sweeps; here the plane is set by the axis alone.
    const TopoDS_Shape profil = Place(moitie.Shape(), PlacementVue(p.id, d));
    std::array<double, 3> direction{0.0, 0.0, 0.0};
    direction[static_cast<std::size_t>(axe)] = 1.0;
    const gp_Ax1 axe_modele(gp_Pnt(VersModele(point_axe).XYZ()), gp_Dir(VersModele(direction)));
    BRepPrimAPI_MakeRevol revolution(profil, axe_modele, 2.0 * M_PI, Standard_True);
    if (!revolution.IsDone())
    {
        return TopoDS_Shape();
    }
    return revolution.Shape();
}

} // namespace

std::vector<TopoDS_Shape> Revolutions(const moteur::Dessin& dessin, const std::array<VueCandidat, 3>& vues,
                                      double tolerance)
{
    std::vector<TopoDS_Shape> solides;
    for (const VueCandidat& bout : vues)
    {
        const moteur::VueDessin* vue = dessin.Vue(bout.id);
        const auto centre = vue != nullptr ? CentreCirculaire(*vue, bout, tolerance) : std::nullopt;
        if (!centre)
        {
            continue;
        }
        std::array<double, 3> point_axe{0.0, 0.0, 0.0};
        point_axe[static_cast<std::size_t>(bout.u)] = (*centre)[0];
        point_axe[static_cast<std::size_t>(bout.v)] = (*centre)[1];
        for (const VueCandidat& profil : vues)
        {
            if (profil.id == bout.id || profil.matiere.empty())
            {
                continue;
            }
            const TopoDS_Shape solide = Tourne(profil, point_axe, bout.w);
            if (!solide.IsNull() && NombreSolides(solide) >= 1)
            {
                solides.push_back(solide);
            }
        }
    }
    return solides;
}

} // namespace Zarvel3D::occt::candidats
