// Solids of the conversion engine: extrusion, revolution and three-view
// reconstruction.
//
// Model axes: X is the width (to the right in the front and top views), Y the
// height (up in the front and side views) and Z points out of the front face,
// so a part of width W, height H and depth D fills [0, W] x [0, H] x [-D, 0].
// The front view looks along -Z, the side view along -X (its depth axis runs
// from the front face at the left to the back at the right), the top view
// along -Y (its depth axis runs from the front face at the bottom upwards).
// Each view is drawn in its local XY plane and placed in the model by a
// rotation, so that faces keep their orientation.

#include "scene_plan.h"
#include "zarvel_occt_generation.h"
#include "zarvel_occt_outils.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBuilderAPI_Copy.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRepLib.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Standard_Failure.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Solid.hxx>
#include <gp_Ax1.hxx>
#include <gp_Trsf.hxx>

#include <GCPnts_UniformDeflection.hxx>
#include <GProp_GProps.hxx>
#include <ShapeAnalysis_Shell.hxx>
#include <ShapeFix_Shape.hxx>
#include <ShapeUpgrade_UnifySameDomain.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <memory>
#include <utility>

namespace Zarvel3D::occt
{

// Placement of a view's local plane in the model (a rotation, then `decalage`).
gp_Trsf PlacementVue(int vue, const gp_Vec& decalage)
{
    gp_Trsf t;
    switch (vue)
    {
    case moteur::VueDessus:
        // (u, v, w) -> (u, w, -v)
        t.SetValues(1, 0, 0, decalage.X(), 0, 0, 1, decalage.Y(), 0, -1, 0, decalage.Z());
        break;
    case moteur::VueCote:
        // (u, v, w) -> (w, v, -u)
        t.SetValues(0, 0, 1, decalage.X(), 0, 1, 0, decalage.Y(), -1, 0, 0, decalage.Z());
        break;
    default:
        t.SetTranslation(decalage);
        break;
    }
    return t;
}

TopoDS_Shape Place(const TopoDS_Shape& forme, const gp_Trsf& t)
{
    return BRepBuilderAPI_Transform(forme, t, Standard_True).Shape();
}

TopoDS_Compound Groupe(const std::vector<TopoDS_Face>& faces)
{
    TopoDS_Compound groupe;
    BRep_Builder constructeur;
    constructeur.MakeCompound(groupe);
    for (const TopoDS_Face& face : faces)
    {
        constructeur.Add(groupe, face);
    }
    return groupe;
}

double Volume(const TopoDS_Shape& forme)
{
    GProp_GProps proprietes;
    BRepGProp::VolumeProperties(forme, proprietes);
    return proprietes.Mass();
}

int NombreSolides(const TopoDS_Shape& forme)
{
    int n = 0;
    for (TopExp_Explorer exp(forme, TopAbs_SOLID); exp.More(); exp.Next())
    {
        ++n;
    }
    return n;
}

namespace
{

// Faces beyond which a solid counts as large: an invalid one is not healed,
// and the checks whose cost grows with the square of the edges (the kernel's
// full analysis, orientation by classification) give way to linear ones.
constexpr int faces_correction_max = 400;

int NombreFaces(const TopoDS_Shape& forme, int plafond)
{
    int n = 0;
    for (TopExp_Explorer exp(forme, TopAbs_FACE); exp.More() && n <= plafond; exp.Next())
    {
        ++n;
    }
    return n;
}

// Turns a solid outward: by classification when it is small, by the sign of
// its volume when it is large.
void Oriente(TopoDS_Solid& solide)
{
    if (NombreFaces(solide, faces_correction_max) <= faces_correction_max)
    {
        BRepLib::OrientClosedSolid(solide);
    }
    else if (Volume(solide) < 0.0)
    {
        solide.Reverse();
    }
}

// Closed shells of a large solid, checked in linear time: every edge bounds
// two faces (or one face twice, a seam) and is used once in each direction.
bool CoquesFermees(const TopoDS_Shape& forme)
{
    TopTools_IndexedDataMapOfShapeListOfShape faces_arete;
    TopExp::MapShapesAndAncestors(forme, TopAbs_EDGE, TopAbs_FACE, faces_arete);
    for (int i = 1; i <= faces_arete.Extent(); ++i)
    {
        const TopoDS_Edge& arete = TopoDS::Edge(faces_arete.FindKey(i));
        if (BRep_Tool::Degenerated(arete))
        {
            continue;
        }
        const TopTools_ListOfShape& faces = faces_arete(i);
        if (faces.Extent() == 1 && BRep_Tool::IsClosed(arete, TopoDS::Face(faces.First())))
        {
            continue;
        }
        if (faces.Extent() != 2)
        {
            return false;
        }
    }
    return true;
}

} // namespace

// Turns every solid of a shape outward; solids that cannot be oriented stay as they are.
TopoDS_Shape OrienteSolides(const TopoDS_Shape& forme)
{
    if (forme.ShapeType() == TopAbs_SOLID)
    {
        TopoDS_Solid solide = TopoDS::Solid(forme);
        Oriente(solide);
        return solide;
    }
    TopoDS_Compound groupe;
    BRep_Builder constructeur;
    constructeur.MakeCompound(groupe);
    int n = 0;
    TopoDS_Shape dernier;
    for (TopExp_Explorer exp(forme, TopAbs_SOLID); exp.More(); exp.Next())
    {
        TopoDS_Solid solide = TopoDS::Solid(exp.Current());
        Oriente(solide);
        constructeur.Add(groupe, solide);
        dernier = solide;
        ++n;
    }
    if (n == 1)
    {
        return dernier;
    }
    return groupe;
}

TopoDS_Shape Retranche(const TopoDS_Shape& objet, const std::vector<TopoDS_Shape>& outils, double fusion)
{
    TopTools_ListOfShape arguments;
    arguments.Append(objet);
    TopTools_ListOfShape liste;
    for (const TopoDS_Shape& outil : outils)
    {
        liste.Append(outil);
    }
    BRepAlgoAPI_Cut coupe;
    coupe.SetArguments(arguments);
    coupe.SetTools(liste);
    if (fusion > 0.0)
    {
        coupe.SetFuzzyValue(fusion);
    }
    coupe.Build();
    if (!coupe.IsDone() || coupe.HasErrors())
    {
        return TopoDS_Shape();
    }
    return coupe.Shape();
}

TopoDS_Shape Unifie(const TopoDS_Shape& forme)
{
    // The kernel's merge trips on some junctions of curved faces (a vertex of
    // two cylinders meeting, without a point of its own), after it has
    // changed parts of the shape it works on: it works on a copy, and the
    // solid is as good with its faces left split.
    try
    {
        const TopoDS_Shape copie = BRepBuilderAPI_Copy(forme, Standard_False).Shape();
        ShapeUpgrade_UnifySameDomain unification(copie, Standard_True, Standard_True, Standard_False);
        unification.Build();
        return unification.Shape();
    }
    catch (const Standard_Failure&)
    {
        return forme;
    }
}

ResultatSolide Echec(int statut, std::string diagnostic)
{
    ResultatSolide r;
    r.statut = statut;
    r.diagnostic = std::move(diagnostic);
    return r;
}

// Finishes a solid: merges split faces, orients it and checks it.
ResultatSolide Termine(const TopoDS_Shape& brut, std::string diagnostic, int passes_correction)
{
    ResultatSolide r;
    r.diagnostic = std::move(diagnostic);
    r.solide = OrienteSolides(Unifie(brut));
    std::string raison;
    bool valide = SolideValide(r.solide, raison);
    // Healing only runs on a solid that fails its checks: a valid one is
    // never touched. Its wire checks grow with the square of the edges of a
    // face, so a large invalid solid is refused at once rather than after
    // minutes of work.
    int faces = 0;
    for (TopExp_Explorer exp(r.solide, TopAbs_FACE); !valide && exp.More(); exp.Next())
    {
        ++faces;
    }
    if (!valide && faces > faces_correction_max)
    {
        raison = Texte(MessageMoteur::SolideTropComplexe, faces);
        passes_correction = 0;
    }
    for (int passe = 0; !valide && passe < passes_correction; ++passe)
    {
        ShapeFix_Shape correction(r.solide);
        correction.Perform();
        r.solide = OrienteSolides(correction.Shape());
        raison.clear();
        valide = SolideValide(r.solide, raison);
    }
    if (!valide)
    {
        AjouteDiagnostic(r.diagnostic, raison);
        r.statut = StatutEchecModelisation;
        r.solide.Nullify();
    }
    return r;
}

bool SolideValide(const TopoDS_Shape& forme, std::string& diagnostic)
{
    if (forme.IsNull() || NombreSolides(forme) == 0)
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::AucunSolide));
        return false;
    }
    if (NombreFaces(forme, faces_correction_max) > faces_correction_max)
    {
        // The full analysis of a large solid takes minutes (its vertex and
        // wire checks grow with the square of the edges): it gets the linear
        // checks, closed shells and a positive volume. Swept profiles are
        // valid faces by construction (crossings split, touching outlines of
        // large profiles refused before the sweep).
        if (!CoquesFermees(forme))
        {
            AjouteDiagnostic(diagnostic, Texte(MessageMoteur::SolideOuvert));
            return false;
        }
        if (!(Volume(forme) > 0.0))
        {
            AjouteDiagnostic(diagnostic, Texte(MessageMoteur::SolideSansVolume));
            return false;
        }
        return true;
    }
    BRepCheck_Analyzer analyse(forme);
    if (!analyse.IsValid())
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::SolideInvalide));
        return false;
    }
    ShapeAnalysis_Shell coques;
    for (TopExp_Explorer exp(forme, TopAbs_SHELL); exp.More(); exp.Next())
    {
        coques.LoadShells(exp.Current());
    }
    if (coques.CheckOrientedShells(forme, Standard_True) || coques.HasFreeEdges())
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::SolideOuvert));
        return false;
    }
    if (!(Volume(forme) > 0.0))
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::SolideSansVolume));
        return false;
    }
    return true;
}

namespace
{

// True, with a diagnostic, when a profile has more outlines than allowed,
// or touches itself (its solid then needs healing) and is too large to heal.
bool TropDeContours(const RegionsVue& regions, int contours_max, std::string& diagnostic)
{
    if (contours_max > 0 && regions.contours > static_cast<std::size_t>(contours_max))
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::TropDeContoursProfil,
                                           static_cast<int>(regions.contours), contours_max));
        return true;
    }
    if (regions.pinces > 0 && regions.aretes > static_cast<std::size_t>(faces_correction_max))
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::ProfilPince, static_cast<int>(regions.pinces),
                                           static_cast<int>(regions.aretes)));
        return true;
    }
    return false;
}

// Nothing to sweep: either nothing is drawn at all, or the profile's view is missing.
ResultatSolide EchecSansProfil(const moteur::Dessin& dessin, int vue)
{
    const bool vide =
        dessin.face.elements.empty() && dessin.cote.elements.empty() && dessin.dessus.elements.empty();
    return vide ? Echec(StatutRienDessine, Texte(MessageMoteur::RienDessine))
                : Echec(StatutVueManquante, Texte(MessageMoteur::VueProfilAbsente, vue));
}

} // namespace

ResultatSolide GenereExtrusion(const moteur::Dessin& dessin, double longueur,
                               const ReglagesGeneration& reglages, int contours_max)
{
    return Protege(
        [&]() -> ResultatSolide
        {
            const int id = plan::VueProfil(dessin, moteur::VueDessus);
            if (id == 0)
            {
                return EchecSansProfil(dessin, moteur::VueDessus);
            }
            if (!std::isfinite(longueur) || std::fabs(longueur) <= reglages.tolerance)
            {
                return Echec(StatutParametreInvalide, Texte(MessageMoteur::LongueurInvalide, longueur));
            }
            RegionsVue regions;
            std::string diagnostic;
            const int statut = ConstruitRegions(*dessin.Vue(id), id, reglages.tolerance, regions, diagnostic);
            if (statut != StatutSucces)
            {
                return Echec(statut, diagnostic);
            }
            if (TropDeContours(regions, contours_max, diagnostic))
            {
                return Echec(StatutTropComplexe, diagnostic);
            }
            // The profile sits in its view's plane; the sweep goes up from the
            // floor, back from the front face or right from the side face.
            gp_Vec direction(0.0, longueur, 0.0);
            if (id == moteur::VueFace)
            {
                direction = gp_Vec(0.0, 0.0, -longueur);
            }
            else if (id == moteur::VueCote)
            {
                direction = gp_Vec(longueur, 0.0, 0.0);
            }
            const TopoDS_Shape profil = Place(Groupe(regions.matiere), PlacementVue(id, gp_Vec()));
            BRepPrimAPI_MakePrism balayage(profil, direction, Standard_True);
            if (!balayage.IsDone())
            {
                return Echec(StatutEchecModelisation, Texte(MessageMoteur::BalayageImpossible));
            }
            return Termine(balayage.Shape(), diagnostic, reglages.passes_correction);
        });
}

namespace
{

// Points along the boundaries of faces, for side-of-axis tests.
std::vector<gp_Pnt> PointsContours(const std::vector<TopoDS_Face>& faces)
{
    std::vector<gp_Pnt> points;
    for (const TopoDS_Face& face : faces)
    {
        for (TopExp_Explorer exp(face, TopAbs_EDGE); exp.More(); exp.Next())
        {
            BRepAdaptor_Curve courbe(TopoDS::Edge(exp.Current()));
            const int n = 32;
            for (int i = 0; i <= n; ++i)
            {
                const double t =
                    courbe.FirstParameter() +
                    (courbe.LastParameter() - courbe.FirstParameter()) * i / static_cast<double>(n);
                points.push_back(courbe.Value(t));
            }
        }
    }
    return points;
}

} // namespace

ResultatSolide GenereRevolution(const moteur::Dessin& dessin, double angle,
                                const ReglagesGeneration& reglages, int contours_max)
{
    return Protege(
        [&]() -> ResultatSolide
        {
            const int id = plan::VueProfil(dessin, moteur::VueCote);
            if (id == 0)
            {
                return EchecSansProfil(dessin, moteur::VueCote);
            }
            if (!std::isfinite(angle) || std::fabs(angle) * M_PI / 180.0 <= 1e-9)
            {
                return Echec(StatutParametreInvalide, Texte(MessageMoteur::AngleInvalide, angle));
            }
            const moteur::VueDessin& vue = *dessin.Vue(id);
            RegionsVue regions;
            std::string diagnostic;
            const int statut = ConstruitRegions(vue, id, reglages.tolerance, regions, diagnostic);
            if (statut != StatutSucces)
            {
                return Echec(statut, diagnostic);
            }
            if (TropDeContours(regions, contours_max, diagnostic))
            {
                return Echec(StatutTropComplexe, diagnostic);
            }

            // The axis, in the view's plane: the vertical through the last drawn
            // point; else the first construction line; else the left edge of the
            // profile.
            gp_Pnt origine(regions.boite[0], 0.0, 0.0);
            gp_Dir direction(0.0, 1.0, 0.0);
            bool axe_trouve = false;
            if (!vue.points.empty())
            {
                origine = gp_Pnt(vue.points.back().x, vue.points.back().y, 0.0);
                axe_trouve = true;
            }
            for (std::size_t i = 0; !axe_trouve && i < vue.elements.size(); ++i)
            {
                const moteur::ElementDessin& e = vue.elements[i];
                const gp_Pnt a(e.x1, e.y1, 0.0);
                const gp_Pnt b(e.x2, e.y2, 0.0);
                if (e.axe && e.type == moteur::TypeElement::Ligne && FiniPoint(a) && FiniPoint(b) &&
                    a.Distance(b) > reglages.tolerance)
                {
                    origine = a;
                    direction = gp_Dir(gp_Vec(a, b));
                    axe_trouve = true;
                }
            }
            if (!axe_trouve)
            {
                AjouteDiagnostic(diagnostic, Texte(MessageMoteur::AxeAbsent));
            }

            // A profile on both sides of its axis would sweep through itself.
            double minimum = 0.0;
            double maximum = 0.0;
            for (const gp_Pnt& p : PointsContours(regions.matiere))
            {
                const gp_Vec rel(origine, p);
                const double cote = direction.X() * rel.Y() - direction.Y() * rel.X();
                minimum = std::min(minimum, cote);
                maximum = std::max(maximum, cote);
            }
            if (minimum < -reglages.tolerance && maximum > reglages.tolerance)
            {
                return Echec(StatutProfilTraverseAxe, Texte(MessageMoteur::ProfilTraverseAxe));
            }

            const gp_Trsf placement = PlacementVue(id, gp_Vec());
            const TopoDS_Shape profil = Place(Groupe(regions.matiere), placement);
            const gp_Ax1 axe = gp_Ax1(origine, direction).Transformed(placement);
            const bool tour_complet = std::fabs(angle) >= 360.0;
            std::unique_ptr<BRepPrimAPI_MakeRevol> rotation;
            if (tour_complet)
            {
                rotation = std::make_unique<BRepPrimAPI_MakeRevol>(profil, axe, Standard_True);
            }
            else
            {
                rotation =
                    std::make_unique<BRepPrimAPI_MakeRevol>(profil, axe, angle * M_PI / 180.0, Standard_True);
            }
            if (!rotation->IsDone())
            {
                return Echec(StatutEchecModelisation, Texte(MessageMoteur::BalayageImpossible));
            }
            return Termine(rotation->Shape(), diagnostic, reglages.passes_correction);
        });
}

} // namespace Zarvel3D::occt
