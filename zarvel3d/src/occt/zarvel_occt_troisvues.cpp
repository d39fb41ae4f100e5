// Three-view reconstruction.
//
// 1. Each view's silhouette (its outer outlines, filled) is swept across the
//    whole part along the view's direction; the common part of the three
//    sweeps is the largest solid the three outlines allow.
// 2. Every area enclosed by an inner outline of a view is a hole candidate.
//    The two other views tell how deep it goes: they show the hole's sides as
//    lines (visible or hidden) running along the view's direction, at the
//    hole's extreme coordinates. Lines over the whole depth make a through
//    cut, lines from one face a blind hole or pocket from that face, lines
//    between two inner depths a cut between them. A candidate without such
//    lines is left as it is (it may be a boss, a mark or a surface line).
// 3. A cut is kept only when the part stays one valid solid with the same
//    bounding box, so that it cannot remove an outer feature.
//
// Coordinates of the part: x (width), y (height) and d (depth from the front
// face, d = -z), each view normalised so that its silhouette starts at 0.

#include "zarvel_occt_generation.h"
#include "zarvel_occt_outils.h"

#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <TopoDS.hxx>

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

// The longest run, along axis `long_axe`, of lines lying at `position` on axis
// `axe` and parallel to `long_axe`. Runs that touch within the tolerance join.
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
    std::sort(runs.begin(), runs.end(), [](const Intervalle& x, const Intervalle& y) { return x.debut < y.debut; });
    Intervalle meilleur = runs.front();
    Intervalle courant = runs.front();
    for (std::size_t i = 1; i < runs.size(); ++i)
    {
        if (runs[i].debut <= courant.fin + tolerance)
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

} // namespace

ResultatSolide GenereTroisVues(const moteur::Dessin& dessin, const ReglagesGeneration& reglages, int contours_max)
{
    return Protege([&]() -> ResultatSolide {
        const double tol = reglages.tolerance;
        if (dessin.face.elements.empty() && dessin.cote.elements.empty() && dessin.dessus.elements.empty())
        {
            return Echec(StatutRienDessine, Texte(MessageMoteur::RienDessine));
        }
        std::array<VueNormalisee, 3> vues;
        std::string diagnostic;
        for (std::size_t i = 0; i < vues.size(); ++i)
        {
            const AxesVue& axes = axes_vues[i];
            const moteur::VueDessin& vue = *dessin.Vue(axes.id);
            if (vue.elements.empty())
            {
                return Echec(StatutVueManquante, Texte(MessageMoteur::VueManquante, axes.id));
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
            if (mesures.size() != 2 || std::fabs(mesures[0] - mesures[1]) > 2.0 * tol)
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
                          double d1) -> TopoDS_Shape {
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

        TopoDS_Shape piece;
        for (const VueNormalisee& v : vues)
        {
            const TopoDS_Shape prisme =
                balaye(Groupe(v.regions.silhouette), v.axes, -marge, etendue_vue(v.axes) + marge);
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

        Bnd_Box boite_piece;
        BRepBndLib::AddOptimal(piece, boite_piece, Standard_False, Standard_False);
        int ignores = 0;
        for (const VueNormalisee& v : vues)
        {
            for (const TopoDS_Face& interieur : v.regions.interieurs)
            {
                Bnd_Box b;
                BRepBndLib::AddOptimal(interieur, b, Standard_False, Standard_False);
                double u0 = 0.0, v0 = 0.0, z0 = 0.0, u1 = 0.0, v1 = 0.0, z1 = 0.0;
                b.Get(u0, v0, z0, u1, v1, z1);
                // Each other view shares one of this view's axes; its lines
                // along this view's direction at the candidate's extremes give
                // the depth.
                std::optional<Intervalle> profond;
                bool indice = false;
                bool contradiction = false;
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
                    const auto r0 = RunLePlusLong(autre.lignes, axe, bas, long_axe, tol);
                    const auto r1 = RunLePlusLong(autre.lignes, axe, haut, long_axe, tol);
                    if (!r0 || !r1)
                    {
                        continue;
                    }
                    const auto r = Intersection(r0, r1, tol);
                    if (!r)
                    {
                        contradiction = true;
                        continue;
                    }
                    profond = indice ? Intersection(profond, r, tol) : r;
                    contradiction = contradiction || !profond;
                    indice = true;
                }
                if (!indice || contradiction || !profond)
                {
                    ++ignores;
                    continue;
                }
                // From part coordinates along the view axis to view depth.
                double d0 = profond->debut;
                double d1 = profond->fin;
                if (v.axes.id != moteur::VueFace)
                {
                    const double e = etendue_vue(v.axes);
                    d0 = e - profond->fin;
                    d1 = e - profond->debut;
                }
                const double e = etendue_vue(v.axes);
                if (d0 <= tol)
                {
                    d0 = -marge;
                }
                if (d1 >= e - tol)
                {
                    d1 = e + marge;
                }
                const TopoDS_Shape outil = balaye(interieur, v.axes, d0, d1);
                if (outil.IsNull())
                {
                    ++ignores;
                    continue;
                }
                BRepAlgoAPI_Cut coupe(piece, outil);
                if (!coupe.IsDone() || coupe.HasErrors())
                {
                    ++ignores;
                    continue;
                }
                const TopoDS_Shape essai = coupe.Shape();
                Bnd_Box boite_essai;
                BRepBndLib::AddOptimal(essai, boite_essai, Standard_False, Standard_False);
                std::string diag_essai;
                const bool meme_boite = boite_essai.IsVoid() == Standard_False &&
                                        boite_essai.CornerMin().Distance(boite_piece.CornerMin()) <= tol &&
                                        boite_essai.CornerMax().Distance(boite_piece.CornerMax()) <= tol;
                if (NombreSolides(essai) != 1 || !meme_boite || Volume(essai) >= Volume(piece) - tol * tol * tol)
                {
                    ++ignores;
                    continue;
                }
                piece = essai;
            }
        }
        if (ignores > 0)
        {
            AjouteDiagnostic(diagnostic, Texte(MessageMoteur::InterieursIgnores, ignores));
        }
        return Termine(piece, diagnostic, reglages.passes_correction);
    });
}

} // namespace Zarvel3D::occt
