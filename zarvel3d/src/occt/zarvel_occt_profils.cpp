// Closed regions of a view: the drawn lines and arcs are turned into edges,
// a frame face around them is split by all of them at once, and the cells of
// the split are sorted into material and holes by the parity of the outlines
// that surround them.

#include "zarvel_occt_generation.h"
#include "zarvel_occt_outils.h"

#include <BRepAlgoAPI_Splitter.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <GC_MakeSegment.hxx>
#include <Geom_Circle.hxx>
#include <Geom_Ellipse.hxx>
#include <ShapeUpgrade_UnifySameDomain.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <gp_Ax2.hxx>
#include <gp_Circ.hxx>
#include <gp_Elips.hxx>
#include <gp_Pln.hxx>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace Zarvel3D::occt
{

TopoDS_Edge ConstruitArete(const moteur::ElementDessin& element, double tolerance)
{
    if (element.type == moteur::TypeElement::Ligne)
    {
        const gp_Pnt a(element.x1, element.y1, 0.0);
        const gp_Pnt b(element.x2, element.y2, 0.0);
        if (!FiniPoint(a) || !FiniPoint(b) || a.Distance(b) <= tolerance)
        {
            return TopoDS_Edge();
        }
        return BRepBuilderAPI_MakeEdge(a, b).Edge();
    }

    const double rayon_x = element.largeur * 0.5;
    const double rayon_y = element.hauteur * 0.5;
    if (!std::isfinite(element.cx) || !std::isfinite(element.cy) || !std::isfinite(rayon_x) ||
        !std::isfinite(rayon_y) || !std::isfinite(element.debut) || !std::isfinite(element.fin) ||
        !std::isfinite(element.rotation) || rayon_x <= tolerance || rayon_y <= tolerance)
    {
        return TopoDS_Edge();
    }

    const double rotation = element.rotation * M_PI / 180.0;
    gp_Dir axe_x(std::cos(rotation), std::sin(rotation), 0.0);
    double decalage = 0.0;
    double grand = rayon_x;
    double petit = rayon_y;
    if (rayon_y > rayon_x)
    {
        // The kernel wants the major axis first: turn the frame a quarter turn
        // and shift the parameter angles to match.
        axe_x = gp_Dir(-std::sin(rotation), std::cos(rotation), 0.0);
        decalage = -M_PI / 2.0;
        grand = rayon_y;
        petit = rayon_x;
    }
    const gp_Ax2 repere(gp_Pnt(element.cx, element.cy, 0.0), gp::DZ(), axe_x);

    Handle(Geom_Curve) courbe;
    if (std::fabs(grand - petit) <= tolerance * 1e-3)
    {
        courbe = new Geom_Circle(gp_Circ(repere, grand));
    }
    else
    {
        courbe = new Geom_Ellipse(gp_Elips(repere, grand, petit));
    }

    double etendue = element.fin - element.debut;
    if (std::fabs(etendue) >= 360.0 - 1e-9)
    {
        return BRepBuilderAPI_MakeEdge(courbe).Edge();
    }
    etendue = std::fmod(etendue, 360.0);
    if (etendue < 0.0)
    {
        etendue += 360.0;
    }
    const double debut = element.debut * M_PI / 180.0 + decalage;
    const double fin = debut + etendue * M_PI / 180.0;
    if (etendue * M_PI / 180.0 * petit <= tolerance)
    {
        return TopoDS_Edge();
    }
    return BRepBuilderAPI_MakeEdge(courbe, debut, fin).Edge();
}

namespace
{

// Builds a face bounded by a wire of the local XY plane, enclosing a finite area.
TopoDS_Face FaceDepuisContour(const TopoDS_Wire& contour)
{
    BRepBuilderAPI_MakeFace fabrique(gp_Pln(gp::XOY()), contour, Standard_True);
    if (!fabrique.IsDone())
    {
        return TopoDS_Face();
    }
    return fabrique.Face();
}

// Merges adjacent coplanar cells into faces with holes.
std::vector<TopoDS_Face> FusionneCellules(const std::vector<TopoDS_Face>& cellules)
{
    std::vector<TopoDS_Face> faces;
    if (cellules.size() <= 1)
    {
        return cellules;
    }
    TopoDS_Compound groupe;
    BRep_Builder constructeur;
    constructeur.MakeCompound(groupe);
    for (const TopoDS_Face& cellule : cellules)
    {
        constructeur.Add(groupe, cellule);
    }
    ShapeUpgrade_UnifySameDomain unification(groupe, Standard_True, Standard_True, Standard_False);
    unification.Build();
    for (TopExp_Explorer exp(unification.Shape(), TopAbs_FACE); exp.More(); exp.Next())
    {
        faces.push_back(TopoDS::Face(exp.Current()));
    }
    return faces;
}

} // namespace

int ConstruitRegions(const moteur::VueDessin& vue, int id_vue, double tolerance, RegionsVue& regions,
                     std::string& diagnostic)
{
    regions = RegionsVue();
    TopTools_ListOfShape outils;
    Bnd_Box boite;
    std::size_t ignores = 0;
    for (const moteur::ElementDessin& element : vue.elements)
    {
        if (element.axe)
        {
            continue;
        }
        const TopoDS_Edge arete = ConstruitArete(element, tolerance);
        if (arete.IsNull())
        {
            ++ignores;
            continue;
        }
        outils.Append(arete);
        BRepBndLib::AddOptimal(arete, boite, Standard_False, Standard_False);
    }
    if (ignores > 0)
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::ElementsIgnores, static_cast<int>(ignores), id_vue));
    }
    if (outils.IsEmpty())
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::VueSansElement, id_vue));
        return vue.elements.empty() ? StatutRienDessine : StatutContourOuvert;
    }

    double xmin = 0.0, ymin = 0.0, zmin = 0.0, xmax = 0.0, ymax = 0.0, zmax = 0.0;
    boite.Get(xmin, ymin, zmin, xmax, ymax, zmax);
    const double marge = std::max(1.0, 0.1 * std::max(xmax - xmin, ymax - ymin));
    const TopoDS_Face cadre =
        BRepBuilderAPI_MakeFace(gp_Pln(gp::XOY()), xmin - marge, xmax + marge, ymin - marge, ymax + marge)
            .Face();

    // The frame is split by every edge at once; edges that meet within the
    // tolerance are joined, so slightly open outlines still close.
    BRepAlgoAPI_Splitter decoupe;
    TopTools_ListOfShape arguments;
    arguments.Append(cadre);
    decoupe.SetArguments(arguments);
    decoupe.SetTools(outils);
    decoupe.SetFuzzyValue(tolerance);
    decoupe.SetRunParallel(Standard_False);
    decoupe.SetNonDestructive(Standard_True);
    decoupe.Build();
    if (!decoupe.IsDone() || decoupe.HasErrors())
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::DecoupeImpossible, id_vue));
        return StatutEchecModelisation;
    }

    TopTools_IndexedMapOfShape cellules;
    TopExp::MapShapes(decoupe.Shape(), TopAbs_FACE, cellules);
    TopTools_IndexedDataMapOfShapeListOfShape voisinage;
    TopExp::MapShapesAndAncestors(decoupe.Shape(), TopAbs_EDGE, TopAbs_FACE, voisinage);

    // The outside cell is the only one reaching the frame.
    int exterieur = 0;
    const double seuil = xmin - marge * 0.5;
    for (int i = 1; i <= cellules.Extent(); ++i)
    {
        Bnd_Box b;
        BRepBndLib::Add(cellules(i), b);
        double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0, a4 = 0.0, a5 = 0.0;
        b.Get(a0, a1, a2, a3, a4, a5);
        if (a0 < seuil)
        {
            exterieur = i;
            break;
        }
    }
    if (exterieur == 0 || cellules.Extent() < 2)
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::ContourOuvert, id_vue));
        return StatutContourOuvert;
    }

    // Nesting depth of every cell: breadth-first from the outside across
    // shared edges. Odd depths are material, even depths holes.
    std::vector<int> profondeur(static_cast<std::size_t>(cellules.Extent()) + 1, -1);
    std::deque<int> file;
    profondeur[static_cast<std::size_t>(exterieur)] = 0;
    file.push_back(exterieur);
    while (!file.empty())
    {
        const int courante = file.front();
        file.pop_front();
        for (TopExp_Explorer exp(cellules(courante), TopAbs_EDGE); exp.More(); exp.Next())
        {
            const int index = voisinage.FindIndex(exp.Current());
            if (index == 0)
            {
                continue;
            }
            for (TopTools_ListIteratorOfListOfShape it(voisinage(index)); it.More(); it.Next())
            {
                const int voisine = cellules.FindIndex(it.Value());
                if (voisine > 0 && profondeur[static_cast<std::size_t>(voisine)] < 0)
                {
                    profondeur[static_cast<std::size_t>(voisine)] =
                        profondeur[static_cast<std::size_t>(courante)] + 1;
                    file.push_back(voisine);
                }
            }
        }
    }

    std::vector<TopoDS_Face> impaires;
    for (int i = 1; i <= cellules.Extent(); ++i)
    {
        const int p = profondeur[static_cast<std::size_t>(i)];
        if (i == exterieur || p < 0)
        {
            continue;
        }
        if (p % 2 == 1)
        {
            impaires.push_back(TopoDS::Face(cellules(i)));
        }
        else
        {
            regions.interieurs.push_back(TopoDS::Face(cellules(i)));
        }
    }
    regions.matiere = FusionneCellules(impaires);

    // The holes of the outside cell are the outer outlines of the drawing.
    const TopoDS_Face& dehors = TopoDS::Face(cellules(exterieur));
    const TopoDS_Wire bord = BRepTools::OuterWire(dehors);
    Bnd_Box boite_silhouette;
    for (TopExp_Explorer exp(dehors, TopAbs_WIRE); exp.More(); exp.Next())
    {
        if (exp.Current().IsSame(bord))
        {
            continue;
        }
        const TopoDS_Face face = FaceDepuisContour(TopoDS::Wire(exp.Current()));
        if (!face.IsNull())
        {
            regions.silhouette.push_back(face);
            BRepBndLib::AddOptimal(face, boite_silhouette, Standard_False, Standard_False);
        }
    }
    if (regions.silhouette.empty() || regions.matiere.empty())
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::ContourOuvert, id_vue));
        return StatutContourOuvert;
    }
    double z0 = 0.0, z1 = 0.0;
    boite_silhouette.Get(regions.boite[0], regions.boite[1], z0, regions.boite[2], regions.boite[3], z1);
    return StatutSucces;
}

} // namespace Zarvel3D::occt
