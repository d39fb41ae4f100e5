// Three-view reconstruction.
//
// 1. Each view's silhouette (its outer outlines, filled) is swept across the
//    whole part along the view's direction; the common part of the three
//    sweeps is the largest solid the three outlines allow. A silhouette that
//    is a plain rectangle sweeps to the bounding box and is skipped.
// 2. Every area enclosed by an inner outline of a view is a hole candidate.
//    The two other views tell how deep it goes: they show the hole's sides as
//    lines (visible or hidden) running along the view's direction, at the
//    hole's extreme coordinates. Lines over the whole depth make a through
//    hole, taken off the flat silhouette before it is swept; lines from one
//    face make a blind hole or pocket from that face, lines between two inner
//    depths a cut between them. A candidate without such lines is left as it
//    is (it may be a boss, a mark or a surface line).
// 3. A blind cut is kept only when the part stays one solid with the same
//    bounding box, so that it cannot remove an outer feature.
//
// Coordinates of the part: x (width), y (height) and d (depth from the front
// face, d = -z), each view normalised so that its silhouette starts at 0.

#include "zarvel_occt_arcs.h"
#include "zarvel_occt_candidats.h"
#include "zarvel_occt_cellules.h"
#include "zarvel_occt_generation.h"
#include "zarvel_occt_outils.h"
#include "zarvel_occt_selection.h"

#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepClass_FaceClassifier.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeHalfSpace.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <TopoDS.hxx>
#include <gp_Pnt2d.hxx>

#include <GProp_GProps.hxx>
#include <TopExp_Explorer.hxx>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace Zarvel3D::occt
{

namespace
{

// Axes of the part coordinates (x, y, d) carried by a view's u and v, and the
// axis it looks along.
struct AxesVue
{
    int id;
    int u;
    int v;
    int w;
};

constexpr std::array<AxesVue, 3> axes_vues{{
    {moteur::VueFace, 0, 1, 2},
    {moteur::VueDessus, 0, 2, 1},
    {moteur::VueCote, 2, 1, 0},
}};

struct Intervalle
{
    double debut;
    double fin;
};

// Lines of one view in part coordinates.
struct LignePartie
{
    std::array<double, 3> a;
    std::array<double, 3> b;
    std::array<bool, 3> defini; // the axes the view knows
};

std::vector<LignePartie> LignesPartie(const moteur::VueDessin& vue, const AxesVue& axes, double du, double dv)
{
    std::vector<LignePartie> lignes;
    for (const moteur::ElementDessin& e : vue.elements)
    {
        if (e.axe || e.type != moteur::TypeElement::Ligne)
        {
            continue;
        }
        LignePartie l{};
        l.a[static_cast<std::size_t>(axes.u)] = e.x1 - du;
        l.a[static_cast<std::size_t>(axes.v)] = e.y1 - dv;
        l.b[static_cast<std::size_t>(axes.u)] = e.x2 - du;
        l.b[static_cast<std::size_t>(axes.v)] = e.y2 - dv;
        l.defini[static_cast<std::size_t>(axes.u)] = true;
        l.defini[static_cast<std::size_t>(axes.v)] = true;
        lignes.push_back(l);
    }
    return lignes;
}

// Whether lines leave the point (`position` on `axe`, `t` on `long_axe`) on
// both sides of axis `long_axe`: a feature crossing there, as a hole through
// the side of another hole, whose line it interrupts.
bool Traversee(const std::vector<LignePartie>& lignes, std::size_t axe, double position, std::size_t long_axe,
               double t, double tolerance)
{
    bool dessous = false, dessus = false;
    for (const LignePartie& l : lignes)
    {
        for (int sens = 0; sens < 2; ++sens)
        {
            const std::array<double, 3>& p = sens == 0 ? l.a : l.b;
            const std::array<double, 3>& q = sens == 0 ? l.b : l.a;
            if (std::fabs(p[axe] - position) > tolerance || std::fabs(p[long_axe] - t) > tolerance)
            {
                continue;
            }
            dessous = dessous || q[axe] < position - tolerance;
            dessus = dessus || q[axe] > position + tolerance;
        }
    }
    return dessous && dessus;
}

// The longest run, along axis `long_axe`, of lines lying at `position` on axis
// `axe` and parallel to `long_axe`. Runs that touch within the tolerance join,
// and so do runs whose gap a crossing feature opens at both ends.
std::optional<Intervalle> RunLePlusLong(const std::vector<LignePartie>& lignes, std::size_t axe,
                                        double position, std::size_t long_axe, double tolerance)
{
    std::vector<Intervalle> runs;
    for (const LignePartie& l : lignes)
    {
        if (std::fabs(l.a[axe] - position) > tolerance || std::fabs(l.b[axe] - position) > tolerance)
        {
            continue;
        }
        runs.push_back({std::min(l.a[long_axe], l.b[long_axe]), std::max(l.a[long_axe], l.b[long_axe])});
    }
    if (runs.empty())
    {
        return std::nullopt;
    }
    std::sort(runs.begin(), runs.end(),
              [](const Intervalle& x, const Intervalle& y) { return x.debut < y.debut; });
    Intervalle meilleur = runs.front();
    Intervalle courant = runs.front();
    for (std::size_t i = 1; i < runs.size(); ++i)
    {
        if (runs[i].debut <= courant.fin + tolerance ||
            (Traversee(lignes, axe, position, long_axe, courant.fin, tolerance) &&
             Traversee(lignes, axe, position, long_axe, runs[i].debut, tolerance)))
        {
            courant.fin = std::max(courant.fin, runs[i].fin);
        }
        else
        {
            courant = runs[i];
        }
        if (courant.fin - courant.debut > meilleur.fin - meilleur.debut)
        {
            meilleur = courant;
        }
    }
    if (courant.fin - courant.debut > meilleur.fin - meilleur.debut)
    {
        meilleur = courant;
    }
    return meilleur;
}

std::optional<Intervalle> Intersection(const std::optional<Intervalle>& a, const std::optional<Intervalle>& b,
                                       double tolerance)
{
    if (!a)
    {
        return b;
    }
    if (!b)
    {
        return a;
    }
    const Intervalle r{std::max(a->debut, b->debut), std::min(a->fin, b->fin)};
    if (r.fin - r.debut <= tolerance)
    {
        return std::nullopt;
    }
    return r;
}

struct VueNormalisee
{
    AxesVue axes;
    RegionsVue regions;
    std::vector<LignePartie> lignes;
};

// Fills the view that a two-view plan leaves undrawn with the rectangle of the
// part's extents along its axes, which the two views drawn (`a`, `b`) give: the
// part is then read without an outline in that direction.
void RemplitVueAbsente(moteur::VueDessin& vue, const AxesVue& axes, const VueNormalisee& a,
                       const VueNormalisee& b)
{
    auto etendue = [&](int axe)
    {
        for (const VueNormalisee* v : {&a, &b})
        {
            if (v->axes.u == axe)
            {
                return v->regions.boite[2] - v->regions.boite[0];
            }
            if (v->axes.v == axe)
            {
                return v->regions.boite[3] - v->regions.boite[1];
            }
        }
        return 0.0;
    };
    const double l = etendue(axes.u);
    const double h = etendue(axes.v);
    const double coins[5][2] = {{0.0, 0.0}, {l, 0.0}, {l, h}, {0.0, h}, {0.0, 0.0}};
    for (int k = 0; k < 4; ++k)
    {
        moteur::ElementDessin e;
        e.x1 = coins[k][0];
        e.y1 = coins[k][1];
        e.x2 = coins[k + 1][0];
        e.y2 = coins[k + 1][1];
        vue.elements.push_back(e);
    }
}

// Depth range, along the view's axis in part coordinates, that the two other
// views show for a hole candidate of view `v`: each of them shares one axis
// with `v` and draws the candidate's sides there as lines along the view's
// axis. Null when no view shows such lines or when they disagree. `bossage`
// tells that the sides lie on the other views' outlines: the candidate is
// then a boss standing out of the part, not a hole.
// True when the run of lines at `position` on axis `axe` lies on the outline
// of the view's silhouette (material on one side only) rather than inside it.
bool SurContour(const VueNormalisee& autre, std::size_t axe, double position, const Intervalle& run,
                std::size_t long_axe, double tol)
{
    const double ecart = 10.0 * tol;
    int dedans = 0;
    for (double cote : {-ecart, ecart})
    {
        std::array<double, 3> p{};
        p[axe] = position + cote;
        p[long_axe] = 0.5 * (run.debut + run.fin);
        const gp_Pnt2d point(p[static_cast<std::size_t>(autre.axes.u)],
                             p[static_cast<std::size_t>(autre.axes.v)]);
        for (const TopoDS_Face& face : autre.regions.silhouette)
        {
            if (BRepClass_FaceClassifier(face, point, tol).State() == TopAbs_IN)
            {
                ++dedans;
                break;
            }
        }
    }
    return dedans < 2;
}

// `au_bord`: the candidate reaches the view's outline (a pocket open on it);
// a side lying on that outline is the part's, and its run tells nothing, so
// the other side alone gives the depth.
std::optional<Intervalle> ProfondeurIndiquee(const std::array<VueNormalisee, 3>& vues, const VueNormalisee& v,
                                             const TopoDS_Face& interieur, double tol, bool& bossage,
                                             bool au_bord = false)
{
    int sur_contour = 0;
    int runs = 0;
    Bnd_Box b;
    BRepBndLib::AddOptimal(interieur, b, Standard_False, Standard_False);
    double u0 = 0.0, v0 = 0.0, z0 = 0.0, u1 = 0.0, v1 = 0.0, z1 = 0.0;
    b.Get(u0, v0, z0, u1, v1, z1);
    std::optional<Intervalle> profond;
    bool indice = false;
    for (const VueNormalisee& autre : vues)
    {
        if (autre.axes.id == v.axes.id)
        {
            continue;
        }
        const bool partage_u = autre.axes.u == v.axes.u || autre.axes.v == v.axes.u;
        const std::size_t axe = static_cast<std::size_t>(partage_u ? v.axes.u : v.axes.v);
        const double bas = partage_u ? u0 : v0;
        const double haut = partage_u ? u1 : v1;
        const std::size_t long_axe = static_cast<std::size_t>(v.axes.w);
        auto r0 = RunLePlusLong(autre.lignes, axe, bas, long_axe, tol);
        auto r1 = RunLePlusLong(autre.lignes, axe, haut, long_axe, tol);
        // Sides that count: both, or the one off the outline.
        bool cote_bas = true;
        bool cote_haut = true;
        if (au_bord)
        {
            const double bord = partage_u ? v.regions.boite[2] - v.regions.boite[0]
                                          : v.regions.boite[3] - v.regions.boite[1];
            cote_bas = bas >= tol;
            cote_haut = haut <= bord - tol;
            if (!cote_bas && !cote_haut)
            {
                continue;
            }
            if (!cote_bas)
            {
                r0 = r1;
            }
            if (!cote_haut)
            {
                r1 = r0;
            }
        }
        if (!r0 || !r1)
        {
            continue;
        }
        const auto r = Intersection(r0, r1, tol);
        if (!r)
        {
            return std::nullopt;
        }
        if (cote_bas)
        {
            sur_contour += SurContour(autre, axe, bas, *r0, long_axe, tol) ? 1 : 0;
            ++runs;
        }
        if (cote_haut)
        {
            sur_contour += SurContour(autre, axe, haut, *r1, long_axe, tol) ? 1 : 0;
            ++runs;
        }
        profond = indice ? Intersection(profond, r, tol) : r;
        if (!profond)
        {
            return std::nullopt;
        }
        indice = true;
    }
    // Sides drawn inside the other silhouettes are a hole's; sides on their
    // outlines are a boss's. A mixture is neither.
    bossage = runs > 0 && sur_contour == runs;
    if (sur_contour != 0 && sur_contour != runs)
    {
        return std::nullopt;
    }
    return profond;
}

double Aire(const TopoDS_Face& face)
{
    GProp_GProps proprietes;
    BRepGProp::SurfaceProperties(face, proprietes);
    return proprietes.Mass();
}

bool MemeBoite(const TopoDS_Shape& a, const TopoDS_Shape& b, double tol)
{
    Bnd_Box ba;
    Bnd_Box bb;
    BRepBndLib::Add(a, ba);
    BRepBndLib::Add(b, bb);
    if (ba.IsVoid() || bb.IsVoid())
    {
        return false;
    }
    // A cut can only tighten a box; loose boxes of curved faces never shrink it.
    const gp_Pnt a0 = ba.CornerMin(), a1 = ba.CornerMax(), b0 = bb.CornerMin(), b1 = bb.CornerMax();
    return a0.X() <= b0.X() + tol && a0.Y() <= b0.Y() + tol && a0.Z() <= b0.Z() + tol &&
           a1.X() >= b1.X() - tol && a1.Y() >= b1.Y() - tol && a1.Z() >= b1.Z() - tol;
}

// Past this number of cells, they are not tried; and each removal tried costs
// a check of the views, a few tens of milliseconds.
constexpr std::size_t CellulesMax = 48;
constexpr std::size_t EssaisCellulesMax = 96;

cellules::Note NoteEcarts(const std::vector<projection::Ecart>& ecarts)
{
    cellules::Note n;
    n.ecarts = ecarts.size();
    for (const projection::Ecart& e : ecarts)
    {
        n.longueur += e.longueur;
    }
    return n;
}

// The solid cut by a plane, the side holding less of it taken away; a null
// shape when the plane leaves it whole or splits it in several.
TopoDS_Shape CoupePlan(const TopoDS_Shape& solide, const gp_Pln& plan, double marge)
{
    const TopoDS_Face face = BRepBuilderAPI_MakeFace(plan).Face();
    const gp_Vec normale(plan.Axis().Direction());
    TopoDS_Shape garde;
    double volume_garde = 0.0;
    const double volume = Volume(solide);
    for (double sens : {1.0, -1.0})
    {
        const gp_Pnt dehors = plan.Location().Translated(sens * marge * normale);
        BRepAlgoAPI_Cut coupe(solide, BRepPrimAPI_MakeHalfSpace(face, dehors).Solid());
        if (!coupe.IsDone() || coupe.HasErrors() || NombreSolides(coupe.Shape()) != 1)
        {
            continue;
        }
        const double reste = Volume(coupe.Shape());
        if (reste > volume_garde && reste < volume * (1.0 - 1e-9))
        {
            garde = coupe.Shape();
            volume_garde = reste;
        }
    }
    return garde;
}

// The base with every tool of revolution whose profile view is `vue` cut
// away; a null shape when there is none or a cut fails.
TopoDS_Shape CoupeOutils(const TopoDS_Shape& base, const std::vector<candidats::OutilRevolution>& outils,
                         int vue)
{
    TopoDS_Shape coupee = base;
    bool coupe_faite = false;
    for (const candidats::OutilRevolution& o : outils)
    {
        if (o.vue_profil != vue)
        {
            continue;
        }
        BRepAlgoAPI_Cut coupe(coupee, o.outil);
        if (!coupe.IsDone() || coupe.HasErrors() || NombreSolides(coupe.Shape()) == 0)
        {
            return TopoDS_Shape();
        }
        coupee = coupe.Shape();
        coupe_faite = true;
    }
    return coupe_faite ? coupee : TopoDS_Shape();
}

} // namespace

ResultatSolide GenereTroisVues(const moteur::Dessin& dessin_recu, const ReglagesGeneration& reglages,
                               int contours_max)
{
    // Arcs drawn as chains of short lines are read as the arcs they stand for. `trace` is what the
    // solid is checked against; `dessin` is what is read, a view left undrawn filled in below.
    moteur::Dessin trace = dessin_recu;
    for (int id : {moteur::VueFace, moteur::VueCote, moteur::VueDessus})
    {
        arcs::RemplaceChaines(*trace.Vue(id), reglages.tolerance);
    }
    moteur::Dessin dessin = trace;
    // The undrawn view of a two-view plan is read last, once the two others give its extents.
    std::array<std::size_t, 3> ordre{0, 1, 2};
    std::size_t absentes = 0;
    std::size_t absente = 0;
    for (std::size_t i = 0; i < axes_vues.size(); ++i)
    {
        if (dessin.Vue(axes_vues[i].id)->elements.empty())
        {
            ++absentes;
            absente = i;
        }
    }
    if (absentes == 1)
    {
        std::rotate(ordre.begin() + static_cast<std::ptrdiff_t>(absente),
                    ordre.begin() + static_cast<std::ptrdiff_t>(absente) + 1, ordre.end());
    }
    return Protege(
        [&]() -> ResultatSolide
        {
            const double tol = reglages.tolerance;
            if (dessin.face.elements.empty() && dessin.cote.elements.empty() &&
                dessin.dessus.elements.empty())
            {
                return Echec(StatutRienDessine, Texte(MessageMoteur::RienDessine));
            }
            std::array<VueNormalisee, 3> vues;
            std::string diagnostic;
            for (std::size_t i : ordre)
            {
                const AxesVue& axes = axes_vues[i];
                moteur::VueDessin& vue = *dessin.Vue(axes.id);
                if (vue.elements.empty() && absentes > 1)
                {
                    return Echec(StatutVueManquante, Texte(MessageMoteur::VueManquante, axes.id));
                }
                if (vue.elements.empty())
                {
                    RemplitVueAbsente(vue, axes, vues[ordre[0]], vues[ordre[1]]);
                }
                std::string diag_vue;
                const int statut = ConstruitRegions(vue, axes.id, tol, vues[i].regions, diag_vue);
                if (!diag_vue.empty())
                {
                    AjouteDiagnostic(diagnostic, diag_vue);
                }
                if (statut != StatutSucces)
                {
                    return Echec(statut, diagnostic);
                }
                vues[i].axes = axes;
                const double du = vues[i].regions.boite[0];
                const double dv = vues[i].regions.boite[1];
                vues[i].lignes = LignesPartie(vue, axes, du, dv);
                // Views are drawn anywhere on the sheet: move each one so that
                // its silhouette starts at the origin.
                gp_Trsf recale;
                recale.SetTranslation(gp_Vec(-du, -dv, 0.0));
                for (TopoDS_Face& f : vues[i].regions.silhouette)
                {
                    f = TopoDS::Face(Place(f, recale));
                }
                for (TopoDS_Face& f : vues[i].regions.interieurs)
                {
                    f = TopoDS::Face(Place(f, recale));
                }
                for (TopoDS_Face& f : vues[i].regions.matiere)
                {
                    f = TopoDS::Face(Place(f, recale));
                }
            }

            // Extents along x, y, d: each is seen by two views, which must agree.
            std::array<double, 3> etendue{};
            for (std::size_t axe = 0; axe < 3; ++axe)
            {
                std::vector<double> mesures;
                for (const VueNormalisee& v : vues)
                {
                    if (static_cast<std::size_t>(v.axes.u) == axe)
                    {
                        mesures.push_back(v.regions.boite[2] - v.regions.boite[0]);
                    }
                    if (static_cast<std::size_t>(v.axes.v) == axe)
                    {
                        mesures.push_back(v.regions.boite[3] - v.regions.boite[1]);
                    }
                }
                // Hand-drawn views may miss each other by a hair (an arc of 29.84
                // beside one of 30): a thousandth of the size is one size, and the
                // check then says where the drawing strays.
                if (mesures.size() != 2 || std::fabs(mesures[0] - mesures[1]) >
                                               std::max(2.0 * tol, 1e-3 * std::max(mesures[0], mesures[1])))
                {
                    static const MessageMoteur noms[] = {MessageMoteur::Largeur, MessageMoteur::Hauteur,
                                                         MessageMoteur::Profondeur};
                    const double m0 = mesures.empty() ? 0.0 : mesures[0];
                    const double m1 = mesures.size() < 2 ? 0.0 : mesures[1];
                    return Echec(StatutVuesIncoherentes,
                                 Texte(MessageMoteur::VuesIncoherentes, Texte(noms[axe]).c_str(), m0, m1));
                }
                etendue[axe] = std::max(mesures[0], mesures[1]);
            }
            const double largeur = etendue[0];
            const double hauteur = etendue[1];
            const double profondeur = etendue[2];
            const double marge = 0.1 * std::max({largeur, hauteur, profondeur}) + 10.0 * tol;

            // Sweep of a face of view `v` from view depth d0 to d1 (d0 < d1), the
            // view depth counting from the face nearest to the view's eye.
            auto balaye = [&](const TopoDS_Shape& face_locale, const AxesVue& axes, double d0,
                              double d1) -> TopoDS_Shape
            {
                gp_Vec decalage;
                gp_Vec direction;
                switch (axes.id)
                {
                case moteur::VueFace:
                    decalage = gp_Vec(0.0, 0.0, -d0);
                    direction = gp_Vec(0.0, 0.0, -(d1 - d0));
                    break;
                case moteur::VueDessus:
                    decalage = gp_Vec(0.0, hauteur - d0, 0.0);
                    direction = gp_Vec(0.0, -(d1 - d0), 0.0);
                    break;
                default:
                    decalage = gp_Vec(largeur - d0, 0.0, 0.0);
                    direction = gp_Vec(-(d1 - d0), 0.0, 0.0);
                    break;
                }
                const TopoDS_Shape placee = Place(face_locale, PlacementVue(axes.id, decalage));
                BRepPrimAPI_MakePrism balayage(placee, direction, Standard_True);
                if (!balayage.IsDone())
                {
                    return TopoDS_Shape();
                }
                return balayage.Shape();
            };
            auto etendue_vue = [&](const AxesVue& axes) { return etendue[static_cast<std::size_t>(axes.w)]; };

            // From part coordinates along a view's axis to view depth.
            auto profondeur_vue = [&](const AxesVue& axes, const Intervalle& i) -> std::pair<double, double>
            {
                const double e = etendue_vue(axes);
                return axes.id == moteur::VueFace ? std::pair{i.debut, i.fin} : std::pair{e - i.fin, e - i.debut};
            };
            // Depth of every hole candidate, from the other two views.
            struct Coupe
            {
                std::size_t vue;
                TopoDS_Face face;
                double d0;
                double d1;
                bool bossage;
            };
            std::vector<Coupe> coupes;
            // Inner outlines that no other view gives a depth to: through cuts
            // when the drawing leaves their hidden lines out, tried below.
            std::vector<Coupe> sans_profondeur;
            int ignores = 0;
            std::size_t candidats = 0;
            for (const VueNormalisee& v : vues)
            {
                candidats += v.regions.interieurs.size();
            }
            if (contours_max > 0 && candidats > static_cast<std::size_t>(contours_max))
            {
                return Echec(StatutEchecModelisation,
                             Texte(MessageMoteur::TropDeContours, static_cast<int>(candidats), contours_max));
            }
            for (std::size_t i = 0; i < vues.size(); ++i)
            {
                const VueNormalisee& v = vues[i];
                for (const TopoDS_Face& interieur : v.regions.interieurs)
                {
                    bool bossage = false;
                    const auto profond = ProfondeurIndiquee(vues, v, interieur, tol, bossage);
                    if (!profond)
                    {
                        sans_profondeur.push_back({i, interieur, 0.0, etendue_vue(v.axes), false});
                        ++ignores;
                        continue;
                    }
                    const double e = etendue_vue(v.axes);
                    const auto [d0, d1] = profondeur_vue(v.axes, *profond);
                    if (bossage && d0 > tol)
                    {
                        // Only bosses standing on the face towards the view are understood.
                        ++ignores;
                        continue;
                    }
                    coupes.push_back({i, interieur, std::max(0.0, d0), std::min(e, d1), bossage});
                }
            }

            // Through holes come off the silhouettes while they are still flat:
            // sweeping a face with holes is far cheaper than cutting a solid.
            std::array<std::vector<TopoDS_Face>, 3> profils;
            std::array<bool, 3> perce{};
            for (std::size_t i = 0; i < vues.size(); ++i)
            {
                profils[i] = vues[i].regions.silhouette;
            }
            std::vector<Coupe> borgnes;
            std::array<std::vector<TopoDS_Face>, 3> traversants;
            for (const Coupe& c : coupes)
            {
                const double e = etendue_vue(vues[c.vue].axes);
                if (c.bossage || c.d0 > tol || c.d1 < e - tol)
                {
                    borgnes.push_back(c);
                    continue;
                }
                traversants[c.vue].push_back(c.face);
            }
            // The faces left of a profile once `trous` are taken off; none when
            // the kernel fails or nothing is left.
            auto retire = [](const std::vector<TopoDS_Face>& profil, const std::vector<TopoDS_Face>& trous)
            {
                std::vector<TopoDS_Face> restes;
                const TopoDS_Shape reste =
                    Retranche(Groupe(profil), std::vector<TopoDS_Shape>(trous.begin(), trous.end()));
                for (TopExp_Explorer exp(reste, TopAbs_FACE); !reste.IsNull() && exp.More(); exp.Next())
                {
                    restes.push_back(TopoDS::Face(exp.Current()));
                }
                return restes;
            };
            // All the holes of a view at once first, then one by one when that fails.
            for (std::size_t i = 0; i < vues.size(); ++i)
            {
                if (traversants[i].size() > 1)
                {
                    std::vector<TopoDS_Face> restes = retire(profils[i], traversants[i]);
                    if (!restes.empty())
                    {
                        profils[i] = std::move(restes);
                        perce[i] = true;
                        continue;
                    }
                }
                for (const TopoDS_Face& trou : traversants[i])
                {
                    std::vector<TopoDS_Face> restes = retire(profils[i], {trou});
                    if (restes.empty())
                    {
                        ++ignores;
                        continue;
                    }
                    profils[i] = std::move(restes);
                    perce[i] = true;
                }
            }

            // Each profile swept across the part; a plain rectangle without holes
            // sweeps to the bounding box itself and changes nothing in the common
            // part, so it is left out.
            TopoDS_Shape piece;
            for (std::size_t i = 0; i < vues.size(); ++i)
            {
                const VueNormalisee& v = vues[i];
                const double aire_boite =
                    (v.regions.boite[2] - v.regions.boite[0]) * (v.regions.boite[3] - v.regions.boite[1]);
                const double marge_aire =
                    tol * 2.0 *
                    ((v.regions.boite[2] - v.regions.boite[0]) + (v.regions.boite[3] - v.regions.boite[1]));
                const bool rectangle = !perce[i] && profils[i].size() == 1 &&
                                       std::fabs(Aire(profils[i].front()) - aire_boite) <= marge_aire;
                if (rectangle && !(piece.IsNull() && i + 1 == vues.size()))
                {
                    continue;
                }
                const TopoDS_Shape prisme = balaye(Groupe(profils[i]), v.axes, 0.0, etendue_vue(v.axes));
                if (prisme.IsNull())
                {
                    return Echec(StatutEchecModelisation, Texte(MessageMoteur::BalayageImpossible));
                }
                if (piece.IsNull())
                {
                    piece = prisme;
                    continue;
                }
                BRepAlgoAPI_Common commun(piece, prisme);
                if (!commun.IsDone() || commun.HasErrors())
                {
                    return Echec(StatutEchecModelisation, Texte(MessageMoteur::SilhouettesDisjointes));
                }
                piece = commun.Shape();
            }
            if (NombreSolides(piece) == 0)
            {
                return Echec(StatutVuesIncoherentes, Texte(MessageMoteur::SilhouettesDisjointes));
            }

            // Blind holes and pockets: each cut must leave one solid with the same
            // bounding box, so that it cannot take an outer feature away. A boss
            // keeps its own outline: what surrounds it in the silhouette is cut
            // away over its height.
            auto outil_borgne = [&](const Coupe& c) -> TopoDS_Shape
            {
                const double e = etendue_vue(vues[c.vue].axes);
                const double d0 = c.d0 <= tol ? -marge : c.d0;
                const double d1 = c.d1 >= e - tol ? e + marge : c.d1;
                TopoDS_Shape profil = c.face;
                if (c.bossage)
                {
                    BRepAlgoAPI_Cut autour(Groupe(vues[c.vue].regions.silhouette), c.face);
                    if (!autour.IsDone() || autour.HasErrors())
                    {
                        return TopoDS_Shape();
                    }
                    profil = autour.Shape();
                }
                return balaye(profil, vues[c.vue].axes, d0, d1);
            };
            std::vector<TopoDS_Shape> outils_borgnes;
            for (const Coupe& c : borgnes)
            {
                const TopoDS_Shape outil = outil_borgne(c);
                if (outil.IsNull())
                {
                    ++ignores;
                    continue;
                }
                outils_borgnes.push_back(outil);
            }
            // All the cuts at once first: one boolean operation instead of one
            // per hole. When the whole does not keep one solid in the same box,
            // the cuts go one by one and each is judged on its own.
            bool ensemble = false;
            if (outils_borgnes.size() > 1)
            {
                const TopoDS_Shape percee = Retranche(piece, outils_borgnes);
                if (!percee.IsNull() && NombreSolides(percee) == 1 && MemeBoite(percee, piece, tol))
                {
                    piece = percee;
                    ensemble = true;
                }
            }
            for (std::size_t k = 0; !ensemble && k < outils_borgnes.size(); ++k)
            {
                BRepAlgoAPI_Cut coupe(piece, outils_borgnes[k]);
                if (!coupe.IsDone() || coupe.HasErrors())
                {
                    ++ignores;
                    continue;
                }
                const TopoDS_Shape essai = coupe.Shape();
                if (NombreSolides(essai) != 1 || !MemeBoite(essai, piece, tol))
                {
                    ++ignores;
                    continue;
                }
                piece = essai;
            }
            std::vector<projection::OrigineVue> origines;
            for (const VueNormalisee& v : vues)
            {
                origines.push_back({v.axes.id, v.regions.boite[0], v.regions.boite[1]});
            }
            // Inner outlines still left solid are counted in the diagnostic.
            int restes = ignores;
            auto verifie = [&](const TopoDS_Shape& forme)
            {
                std::string diag = diagnostic;
                if (restes > 0)
                {
                    AjouteDiagnostic(diag, Texte(MessageMoteur::InterieursIgnores, restes));
                }
                ResultatSolide r = Termine(forme, diag, reglages.passes_correction);
                if (r.statut == StatutSucces)
                {
                    r.ecarts = projection::VerifieProjections(r.solide, trace, origines, tol);
                }
                return r;
            };
            Selection choix(verifie(piece), verifie);
            restes = 0;
            std::array<candidats::VueCandidat, 3> pour_candidats;
            for (std::size_t i = 0; i < vues.size(); ++i)
            {
                const VueNormalisee& v = vues[i];
                const std::array<double, 3> etendues{etendue[static_cast<std::size_t>(v.axes.u)],
                                                     etendue[static_cast<std::size_t>(v.axes.v)],
                                                     etendue[static_cast<std::size_t>(v.axes.w)]};
                pour_candidats[i] = {v.axes.id,          v.axes.u,           v.axes.v,          v.axes.w,
                                     v.regions.boite[0], v.regions.boite[1], v.regions.matiere, etendues};
            }
            // Parts of revolution: their outlines alone only bound them.
            std::vector<TopoDS_Shape> bases{piece};
            choix.Prepare(
                [&]
                {
                    for (const TopoDS_Shape& tourne : candidats::Revolutions(dessin, pour_candidats, tol))
                    {
                        bases.push_back(tourne);
                    }
                });
            for (std::size_t b = 1; b < bases.size(); ++b)
            {
                choix.Essaie([&] { return bases[b]; });
            }
            // Holes turned about an axis (bores, counterbores, countersinks,
            // drill points), their profile taken from one view or another.
            std::vector<candidats::OutilRevolution> outils;
            choix.Prepare([&] { outils = candidats::OutilsRevolution(dessin, pour_candidats, tol); });
            for (const VueNormalisee& profil : vues)
            {
                for (const TopoDS_Shape& base : bases)
                {
                    choix.Essaie([&] { return CoupeOutils(base, outils, profil.axes.id); });
                }
            }
            // The other reading of outlines without a depth: holes through the
            // whole part.
            restes = ignores - static_cast<int>(sans_profondeur.size());
            choix.Essaie(
                [&]
                {
                    if (sans_profondeur.empty())
                    {
                        return TopoDS_Shape();
                    }
                    // Every hole in one boolean operation.
                    std::vector<TopoDS_Shape> outils_trous;
                    for (const Coupe& c : sans_profondeur)
                    {
                        outils_trous.push_back(balaye(c.face, vues[c.vue].axes, -marge, c.d1 + marge));
                        if (outils_trous.back().IsNull())
                        {
                            return TopoDS_Shape();
                        }
                    }
                    return Retranche(piece, outils_trous);
                });
            // Pockets open on a view's outline (a slot between two prongs, a wall
            // behind it), to the depth that the other views' hidden lines show.
            choix.Essaie(
                [&]
                {
                    std::vector<TopoDS_Shape> outils_poches;
                    for (std::size_t i = 0; i < vues.size(); ++i)
                    {
                        const VueNormalisee& v = vues[i];
                        for (const TopoDS_Face& cellule :
                             candidats::CellulesAuBord(v.regions.silhouette, *dessin.Vue(v.axes.id),
                                                       v.regions.boite[0], v.regions.boite[1], tol))
                        {
                            bool bossage = false;
                            const auto profond = ProfondeurIndiquee(vues, v, cellule, tol, bossage, true);
                            if (!profond || bossage)
                            {
                                continue;
                            }
                            const double e = etendue_vue(v.axes);
                            const auto [d0, d1] = profondeur_vue(v.axes, *profond);
                            const TopoDS_Shape outil =
                                outil_borgne({i, cellule, std::max(0.0, d0), std::min(e, d1), false});
                            if (!outil.IsNull())
                            {
                                outils_poches.push_back(outil);
                            }
                        }
                    }
                    return outils_poches.empty() ? TopoDS_Shape() : Retranche(piece, outils_poches);
                });
            // Oblique cuts, one plane after the other on the best solid so far.
            std::vector<gp_Pln> plans;
            choix.Prepare([&] { plans = candidats::PlansObliques(dessin, pour_candidats, tol); });
            for (const gp_Pln& plan : plans)
            {
                choix.Essaie([&] { return CoupePlan(choix.Meilleur().solide, plan, marge); });
            }
            // Cells that the outlines' common part fills and the views do not
            // show (beside a rib, around the arms of a tee), taken away.
            std::vector<TopoDS_Shape> outils_cellules;
            choix.Prepare(
                [&]
                {
                    for (const VueNormalisee& v : vues)
                    {
                        gp_Trsf recale;
                        recale.SetTranslation(gp_Vec(-v.regions.boite[0], -v.regions.boite[1], 0.0));
                        // A curve drawn as short lines would cut the part along
                        // as many planes, none of them a face of it.
                        const moteur::VueDessin& vue = *dessin.Vue(v.axes.id);
                        const std::vector<bool> courbes = arcs::LignesDeCourbes(vue, tol);
                        for (std::size_t k = 0; k < vue.elements.size(); ++k)
                        {
                            const moteur::ElementDessin& e = vue.elements[k];
                            const TopoDS_Edge arete =
                                e.axe || courbes[k] ? TopoDS_Edge() : AreteElement(e, tol, 20.0 * tol);
                            if (!arete.IsNull())
                            {
                                outils_cellules.push_back(balaye(Place(arete, recale), v.axes, -marge,
                                                                 etendue_vue(v.axes) + marge));
                            }
                        }
                    }
                });
            TopoDS_Shape sans_cellules;
            choix.Prepare(
                [&]
                {
                    // From the outlines' common part, before any reading of the
                    // inner outlines: the cells may give holes back as well.
                    TopoDS_Shape enveloppe;
                    for (const VueNormalisee& v : vues)
                    {
                        const TopoDS_Shape prisme =
                            balaye(Groupe(v.regions.silhouette), v.axes, 0.0, etendue_vue(v.axes));
                        enveloppe =
                            enveloppe.IsNull() ? prisme : BRepAlgoAPI_Common(enveloppe, prisme).Shape();
                    }
                    const cellules::Cellules c(enveloppe, outils_cellules, tol);
                    if (c.Nombre() < 2 || c.Nombre() > CellulesMax)
                    {
                        return;
                    }
                    auto note = [&](const TopoDS_Shape& forme, cellules::Note& n)
                    {
                        if (NombreSolides(forme) != 1 || !MemeBoite(forme, enveloppe, tol))
                        {
                            return false;
                        }
                        const ResultatSolide r = verifie(forme);
                        n = NoteEcarts(r.ecarts);
                        return r.statut == StatutSucces;
                    };
                    cellules::Note depart;
                    if (!note(enveloppe, depart))
                    {
                        return;
                    }
                    sans_cellules = cellules::RetireCellules(c, depart, note,
                                                             std::min(4 * c.Nombre(), EssaisCellulesMax));
                });
            choix.Essaie([&] { return sans_cellules; });
            return choix.Meilleur();
        });
}

} // namespace Zarvel3D::occt
