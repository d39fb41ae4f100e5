// Candidate solids of revolution for the three-view reconstruction.

#include "zarvel_occt_candidats.h"

#include "zarvel_occt_outils.h"

#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Splitter.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <BRepTools.hxx>
#include <gp_Ax1.hxx>
#include <gp_Pln.hxx>

#include <Bnd_Box.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace Zarvel3D::occt::candidats
{

namespace
{

// A whole circle (an ellipse of equal axes over a full turn).
bool CercleEntier(const moteur::ElementDessin& e, double tol)
{
    return e.type == moteur::TypeElement::Ellipse && std::fabs(e.largeur - e.hauteur) <= tol &&
           e.fin - e.debut >= 360.0 - 1e-9;
}

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
        if (!CercleEntier(e, tol))
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

// The profile turned by an eighth of a turn about the axis first: the seam
// of the revolved faces then lies in no view's plane. A seam on a silhouette
// hides that silhouette from the hidden-line removal, and the check would
// miss a drawn line.
TopoDS_Shape HorsDesVues(const TopoDS_Shape& profil, const gp_Ax1& axe)
{
    gp_Trsf rotation;
    rotation.SetRotation(axe, 0.25 * M_PI);
    return Place(profil, rotation);
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
    BRepPrimAPI_MakeRevol revolution(HorsDesVues(profil, axe_modele), axe_modele, 2.0 * M_PI, Standard_True);
    if (!revolution.IsDone())
    {
        return TopoDS_Shape();
    }
    return revolution.Shape();
}

struct Cercle
{
    double u;
    double v;
    double rayon;
};

// Whole circles of a view (centre lines aside), in the view's coordinates.
std::vector<Cercle> Cercles(const moteur::VueDessin& vue, const VueCandidat& v, double tol)
{
    std::vector<Cercle> cercles;
    for (const moteur::ElementDessin& e : vue.elements)
    {
        if (!e.axe && CercleEntier(e, tol))
        {
            cercles.push_back({e.cx - v.du, e.cy - v.dv, 0.5 * e.largeur});
        }
    }
    return cercles;
}

// A drawn line of a view in part coordinates along two axes: `s` across the
// tool's axis, `t` along it.
struct Trait
{
    double s0, t0, s1, t1;
};

std::vector<Trait> TraitsProfil(const moteur::VueDessin& vue, const VueCandidat& p, int axe_s)
{
    std::vector<Trait> traits;
    const bool s_en_u = p.u == axe_s;
    for (const moteur::ElementDessin& e : vue.elements)
    {
        if (e.axe || e.type != moteur::TypeElement::Ligne)
        {
            continue;
        }
        const double u0 = e.x1 - p.du, v0 = e.y1 - p.dv, u1 = e.x2 - p.du, v1 = e.y2 - p.dv;
        traits.push_back(s_en_u ? Trait{u0, v0, u1, v1} : Trait{v0, u0, v1, u1});
    }
    return traits;
}

// Radius of the hole along the axis, from the lines of the profile view on
// the side of larger s: at each level the nearest line that crosses it. The
// result is a polygon (radius, t) from the axis round the cut, empty when no
// line crosses any level.
std::vector<std::array<double, 2>> ProfilRayon(const std::vector<Trait>& traits, double centre, double r_max,
                                               double longueur, double tol)
{
    std::vector<Trait> proches;
    std::vector<double> niveaux{0.0, longueur};
    for (const Trait& l : traits)
    {
        const double x0 = l.s0 - centre, x1 = l.s1 - centre;
        // Lines on the other side of the axis, on the axis itself, beyond the
        // largest circle, or across the axis (levels) draw no radius.
        if (std::min(x0, x1) < -tol || std::max(x0, x1) <= tol || std::max(x0, x1) > r_max + tol ||
            std::fabs(l.t1 - l.t0) <= tol)
        {
            continue;
        }
        proches.push_back({x0, l.t0, x1, l.t1});
        niveaux.push_back(std::clamp(l.t0, 0.0, longueur));
        niveaux.push_back(std::clamp(l.t1, 0.0, longueur));
    }
    std::sort(niveaux.begin(), niveaux.end());
    // Radius at level t of the line nearest the axis among those spanning the
    // interval [a, b].
    auto rayon = [&](double a, double b, double t) -> double
    {
        double meilleur = -1.0;
        for (const Trait& l : proches)
        {
            const double bas = std::min(l.t0, l.t1), haut = std::max(l.t0, l.t1);
            if (bas > a + tol || haut < b - tol)
            {
                continue;
            }
            const double x = l.s0 + (l.s1 - l.s0) * (t - l.t0) / (l.t1 - l.t0);
            if (meilleur < 0.0 || x < meilleur)
            {
                meilleur = x;
            }
        }
        return std::max(meilleur, 0.0);
    };
    std::vector<std::array<double, 2>> bord;
    double fin = 0.0;
    for (std::size_t i = 1; i < niveaux.size(); ++i)
    {
        const double a = niveaux[i - 1], b = niveaux[i];
        if (b - a <= tol)
        {
            continue;
        }
        const double ra = rayon(a, b, a), rb = rayon(a, b, b);
        if (ra <= tol && rb <= tol)
        {
            continue;
        }
        if (bord.empty() || std::fabs(a - fin) > tol)
        {
            if (!bord.empty())
            {
                break; // one hole: the first run of levels only
            }
            bord.push_back({0.0, a});
        }
        // A point on the axis would repeat the polygon's corner there.
        if (ra > tol)
        {
            bord.push_back({ra, a});
        }
        if (rb > tol)
        {
            bord.push_back({rb, b});
        }
        fin = b;
    }
    if (!bord.empty())
    {
        bord.push_back({0.0, fin});
    }
    return bord;
}

// The cut swept by the radius polygon about the axis; where it opens on one
// of the part's faces it goes on straight by `marge` beyond it, so that the
// cut opens cleanly.
TopoDS_Shape OutilTourne(const VueCandidat& p, const std::array<double, 3>& point_axe, int axe, int axe_s,
                         std::vector<std::array<double, 2>> bord, double longueur, double marge, double tol)
{
    // bord: (0, start), (r, start), ..., (r, end), (0, end).
    if (bord.size() < 3)
    {
        return TopoDS_Shape();
    }
    if (bord[1][1] <= tol && bord[1][0] > tol)
    {
        bord[0][1] = -marge;
        bord.insert(bord.begin() + 1, {bord[1][0], -marge});
    }
    if (bord[bord.size() - 2][1] >= longueur - tol && bord[bord.size() - 2][0] > tol)
    {
        bord.back()[1] = longueur + marge;
        bord.insert(bord.end() - 1, {bord[bord.size() - 2][0], longueur + marge});
    }
    BRepBuilderAPI_MakePolygon polygone;
    const bool s_en_u = p.u == axe_s;
    const double centre = point_axe[static_cast<std::size_t>(axe_s)];
    for (const auto& q : bord)
    {
        const double s = centre + q[0], t = q[1];
        polygone.Add(s_en_u ? gp_Pnt(s, t, 0.0) : gp_Pnt(t, s, 0.0));
    }
    polygone.Close();
    if (!polygone.IsDone())
    {
        return TopoDS_Shape();
    }
    BRepBuilderAPI_MakeFace face(polygone.Wire(), Standard_True);
    if (!face.IsDone())
    {
        return TopoDS_Shape();
    }
    std::array<double, 3> decalage{0.0, 0.0, 0.0};
    decalage[static_cast<std::size_t>(p.w)] = point_axe[static_cast<std::size_t>(p.w)];
    const TopoDS_Shape profil = Place(face.Face(), PlacementVue(p.id, VersModele(decalage)));
    std::array<double, 3> direction{0.0, 0.0, 0.0};
    direction[static_cast<std::size_t>(axe)] = 1.0;
    const gp_Ax1 axe_modele(gp_Pnt(VersModele(point_axe).XYZ()), gp_Dir(VersModele(direction)));
    BRepPrimAPI_MakeRevol revolution(HorsDesVues(profil, axe_modele), axe_modele, 2.0 * M_PI, Standard_True);
    return revolution.IsDone() ? revolution.Shape() : TopoDS_Shape();
}

using Point3 = std::array<double, 3>;

// Ends of the drawn lines of a view, in its coordinates from its origin.
std::vector<std::array<double, 2>> Extremites(const moteur::VueDessin& vue, const VueCandidat& v)
{
    std::vector<std::array<double, 2>> points;
    for (const moteur::ElementDessin& e : vue.elements)
    {
        if (!e.axe && e.type == moteur::TypeElement::Ligne)
        {
            points.push_back({e.x1 - v.du, e.y1 - v.dv});
            points.push_back({e.x2 - v.du, e.y2 - v.dv});
        }
    }
    return points;
}

bool Contient(const std::vector<std::array<double, 2>>& points, double u, double v, double tol)
{
    return std::any_of(points.begin(), points.end(),
                       [&](const auto& p)
                       { return std::fabs(p[0] - u) <= tol && std::fabs(p[1] - v) <= tol; });
}

std::array<double, 2> Projete(const Point3& p, const VueCandidat& v)
{
    return {p[static_cast<std::size_t>(v.u)], p[static_cast<std::size_t>(v.v)]};
}

// Corners in space: points whose projections in the three views are drawn
// ends of lines.
std::vector<Point3> Sommets3D(const std::array<std::vector<std::array<double, 2>>, 3>& extremites,
                              const std::array<VueCandidat, 3>& vues, double tol)
{
    std::vector<Point3> sommets;
    const VueCandidat &a = vues[0], &b = vues[1], &c = vues[2];
    // The axis a and b share, and where each of b's axes goes.
    for (const auto& pa : extremites[0])
    {
        for (const auto& pb : extremites[1])
        {
            Point3 p{NAN, NAN, NAN};
            p[static_cast<std::size_t>(a.u)] = pa[0];
            p[static_cast<std::size_t>(a.v)] = pa[1];
            const std::size_t bu = static_cast<std::size_t>(b.u), bv = static_cast<std::size_t>(b.v);
            const double deja_u = p[bu], deja_v = p[bv];
            if ((!std::isnan(deja_u) && std::fabs(deja_u - pb[0]) > tol) ||
                (!std::isnan(deja_v) && std::fabs(deja_v - pb[1]) > tol))
            {
                continue;
            }
            p[bu] = pb[0];
            p[bv] = pb[1];
            const auto pc = Projete(p, c);
            const bool doublon = std::any_of(sommets.begin(), sommets.end(),
                                             [&](const Point3& q) {
                                                 return std::fabs(q[0] - p[0]) <= tol &&
                                                        std::fabs(q[1] - p[1]) <= tol &&
                                                        std::fabs(q[2] - p[2]) <= tol;
                                             });
            if (!doublon && Contient(extremites[2], pc[0], pc[1], tol))
            {
                sommets.push_back(p);
            }
        }
    }
    return sommets;
}

// Whether some view draws a line from the projection of p to that of q (not a point).
bool Relies(const moteur::Dessin& dessin, const std::array<VueCandidat, 3>& vues, const Point3& p,
            const Point3& q, double tol)
{
    for (const VueCandidat& v : vues)
    {
        const auto a = Projete(p, v), b = Projete(q, v);
        if (std::hypot(a[0] - b[0], a[1] - b[1]) <= tol)
        {
            continue;
        }
        for (const moteur::ElementDessin& e : dessin.Vue(v.id)->elements)
        {
            if (e.axe || e.type != moteur::TypeElement::Ligne)
            {
                continue;
            }
            const double x1 = e.x1 - v.du, y1 = e.y1 - v.dv, x2 = e.x2 - v.du, y2 = e.y2 - v.dv;
            const bool direct =
                std::hypot(x1 - a[0], y1 - a[1]) <= tol && std::hypot(x2 - b[0], y2 - b[1]) <= tol;
            const bool inverse =
                std::hypot(x1 - b[0], y1 - b[1]) <= tol && std::hypot(x2 - a[0], y2 - a[1]) <= tol;
            if (direct || inverse)
            {
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::vector<gp_Pln> PlansObliques(const moteur::Dessin& dessin, const std::array<VueCandidat, 3>& vues,
                                  double tolerance)
{
    std::array<std::vector<std::array<double, 2>>, 3> extremites;
    for (std::size_t i = 0; i < vues.size(); ++i)
    {
        extremites[i] = Extremites(*dessin.Vue(vues[i].id), vues[i]);
    }
    const std::vector<Point3> sommets = Sommets3D(extremites, vues, tolerance);
    std::vector<gp_Pln> plans;
    // Busy drawings would make too many triples to try.
    constexpr std::size_t sommets_max = 200, plans_max = 32;
    if (sommets.size() > sommets_max)
    {
        return plans;
    }
    auto ajoute = [&](const Point3& p1, const Point3& p2, const Point3& q)
    {
        const gp_Vec a(gp_Pnt(VersModele(p1).XYZ()), gp_Pnt(VersModele(p2).XYZ()));
        const gp_Vec b(gp_Pnt(VersModele(p1).XYZ()), gp_Pnt(VersModele(q).XYZ()));
        const gp_Vec n = a.Crossed(b);
        if (n.Magnitude() <= tolerance * std::max(a.Magnitude(), b.Magnitude()))
        {
            return;
        }
        const gp_Pln plan(gp_Pnt(VersModele(p1).XYZ()), gp_Dir(n));
        // A plane of one of the part's own axes is a sweep's business.
        const gp_Dir d = plan.Axis().Direction();
        if (std::max({std::fabs(d.X()), std::fabs(d.Y()), std::fabs(d.Z())}) > 1.0 - 1e-9)
        {
            return;
        }
        for (const gp_Pln& autre : plans)
        {
            if (autre.Axis().Direction().IsParallel(d, 1e-6) && autre.Distance(plan.Location()) <= tolerance)
            {
                return;
            }
        }
        if (plans.size() < plans_max)
        {
            plans.push_back(plan);
        }
    };
    for (std::size_t i = 0; i < vues.size(); ++i)
    {
        for (const moteur::ElementDessin& e : dessin.Vue(vues[i].id)->elements)
        {
            const double u1 = e.x1 - vues[i].du, v1 = e.y1 - vues[i].dv, u2 = e.x2 - vues[i].du,
                         v2 = e.y2 - vues[i].dv;
            if (e.axe || e.type != moteur::TypeElement::Ligne || std::fabs(u2 - u1) <= tolerance ||
                std::fabs(v2 - v1) <= tolerance)
            {
                continue;
            }
            for (const Point3& p1 : sommets)
            {
                const auto a = Projete(p1, vues[i]);
                if (std::hypot(a[0] - u1, a[1] - v1) > tolerance)
                {
                    continue;
                }
                for (const Point3& p2 : sommets)
                {
                    const auto b = Projete(p2, vues[i]);
                    if (std::hypot(b[0] - u2, b[1] - v2) > tolerance)
                    {
                        continue;
                    }
                    for (const Point3& q : sommets)
                    {
                        if (Relies(dessin, vues, p1, q, tolerance) || Relies(dessin, vues, p2, q, tolerance))
                        {
                            ajoute(p1, p2, q);
                        }
                    }
                }
            }
        }
    }
    return plans;
}

std::vector<OutilRevolution> OutilsRevolution(const moteur::Dessin& dessin,
                                              const std::array<VueCandidat, 3>& vues, double tolerance)
{
    std::vector<OutilRevolution> outils;
    for (const VueCandidat& bout : vues)
    {
        const moteur::VueDessin* vue = dessin.Vue(bout.id);
        if (vue == nullptr)
        {
            continue;
        }
        // Circles by centre; a circle as large as the view is the part's outline.
        std::vector<std::pair<Cercle, double>> groupes; // centre, largest inner radius
        for (const Cercle& c : Cercles(*vue, bout, tolerance))
        {
            const bool contour = std::fabs(2.0 * c.rayon - bout.etendue[0]) <= 2.0 * tolerance &&
                                 std::fabs(2.0 * c.rayon - bout.etendue[1]) <= 2.0 * tolerance;
            if (contour)
            {
                continue;
            }
            auto g = std::find_if(groupes.begin(), groupes.end(),
                                  [&](const auto& x)
                                  { return std::hypot(x.first.u - c.u, x.first.v - c.v) <= tolerance; });
            if (g == groupes.end())
            {
                groupes.push_back({c, c.rayon});
            }
            else
            {
                g->second = std::max(g->second, c.rayon);
            }
        }
        for (const auto& [centre, r_max] : groupes)
        {
            std::array<double, 3> point_axe{0.0, 0.0, 0.0};
            point_axe[static_cast<std::size_t>(bout.u)] = centre.u;
            point_axe[static_cast<std::size_t>(bout.v)] = centre.v;
            const double longueur = bout.etendue[2];
            const double marge = 0.1 * longueur + 10.0 * tolerance;
            for (const VueCandidat& profil : vues)
            {
                const moteur::VueDessin* vp = dessin.Vue(profil.id);
                if (profil.id == bout.id || vp == nullptr)
                {
                    continue;
                }
                const int axe_s = profil.u == bout.w ? profil.v : profil.u;
                const auto bord =
                    ProfilRayon(TraitsProfil(*vp, profil, axe_s), point_axe[static_cast<std::size_t>(axe_s)],
                                r_max, longueur, tolerance);
                if (bord.size() < 3)
                {
                    continue;
                }
                const TopoDS_Shape outil =
                    OutilTourne(profil, point_axe, bout.w, axe_s, bord, longueur, marge, tolerance);
                if (!outil.IsNull())
                {
                    outils.push_back({profil.id, outil});
                }
            }
        }
    }
    return outils;
}

std::vector<TopoDS_Face> CellulesAuBord(const std::vector<TopoDS_Face>& silhouette, const moteur::VueDessin& vue,
                                        double du, double dv, double tolerance)
{
    std::vector<TopoDS_Face> cellules;
    gp_Trsf recale;
    recale.SetTranslation(gp_Vec(-du, -dv, 0.0));
    TopTools_ListOfShape arguments;
    TopTools_ListOfShape traits;
    Bnd_Box boite;
    for (const TopoDS_Face& f : silhouette)
    {
        arguments.Append(f);
        BRepBndLib::AddOptimal(f, boite, Standard_False, Standard_False);
    }
    for (const moteur::ElementDessin& e : vue.elements)
    {
        const TopoDS_Edge arete = e.axe || e.cache ? TopoDS_Edge() : AreteElement(e, tolerance, 0.0);
        if (!arete.IsNull())
        {
            traits.Append(Place(arete, recale));
        }
    }
    if (arguments.IsEmpty() || traits.IsEmpty())
    {
        return cellules;
    }
    BRepAlgoAPI_Splitter decoupe;
    decoupe.SetArguments(arguments);
    decoupe.SetTools(traits);
    decoupe.Build();
    if (!decoupe.IsDone() || decoupe.HasErrors())
    {
        return cellules;
    }
    double u0 = 0.0, v0 = 0.0, z0 = 0.0, u1 = 0.0, v1 = 0.0, z1 = 0.0;
    boite.Get(u0, v0, z0, u1, v1, z1);
    for (TopExp_Explorer exp(decoupe.Shape(), TopAbs_FACE); exp.More(); exp.Next())
    {
        const TopoDS_Face& cellule = TopoDS::Face(exp.Current());
        Bnd_Box b;
        BRepBndLib::AddOptimal(cellule, b, Standard_False, Standard_False);
        double a0 = 0.0, b0 = 0.0, c0 = 0.0, a1 = 0.0, b1 = 0.0, c1 = 0.0;
        b.Get(a0, b0, c0, a1, b1, c1);
        const bool bords[4] = {a0 < u0 + tolerance, b0 < v0 + tolerance, a1 > u1 - tolerance, b1 > v1 - tolerance};
        const int n = static_cast<int>(bords[0]) + bords[1] + bords[2] + bords[3];
        // Reaching the outline on one to three sides; on all four it is (nearly)
        // the whole view.
        if (n == 0 || n == 4)
        {
            continue;
        }
        // Outlines inside the cell (a hole seen through the pocket) belong to
        // the faces behind it: the pocket is the whole cell.
        BRepBuilderAPI_MakeFace pleine(BRepTools::OuterWire(cellule), Standard_True);
        cellules.push_back(pleine.IsDone() ? pleine.Face() : cellule);
    }
    return cellules;
}

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
