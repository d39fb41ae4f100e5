// Closed regions of a view: the drawn lines and arcs go through the planar
// subdivision (zarvel_occt_decoupe), and its loops become faces of the local
// XY plane, built directly from shared vertices and edges (no boolean
// operation, so the cost stays near-linear in the number of elements).

#include "geometrie_plane.h"
#include "zarvel_occt_decoupe.h"
#include "zarvel_occt_generation.h"
#include "zarvel_occt_outils.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Vertex.hxx>
#include <TopoDS_Wire.hxx>
#include <gp_Ax2.hxx>
#include <gp_Circ.hxx>
#include <gp_Elips.hxx>
#include <gp_Pln.hxx>

#include <Geom_Circle.hxx>
#include <Geom_Ellipse.hxx>
#include <Geom_Plane.hxx>
#include <Precision.hxx>
#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace Zarvel3D::occt
{

namespace
{

// The kernel's curve of an ellipse arc of the subdivision, in the plane z = 0;
// `decalage` is added to the arc's parameters.
Handle(Geom_Curve) CourbeNoyau(const decoupe::Courbe& c, double& decalage)
{
    const gp_Dir u(std::cos(c.rotation), std::sin(c.rotation), 0.0);
    const gp_Dir v(-std::sin(c.rotation), std::cos(c.rotation), 0.0);
    decalage = 0.0;
    if (c.a == c.b)
    {
        return new Geom_Circle(gp_Circ(gp_Ax2(gp_Pnt(c.cx, c.cy, 0.0), gp::DZ(), u), c.a));
    }
    if (c.a > c.b)
    {
        return new Geom_Ellipse(gp_Elips(gp_Ax2(gp_Pnt(c.cx, c.cy, 0.0), gp::DZ(), u), c.a, c.b));
    }
    // The kernel wants the major axis first: a quarter turn of the frame
    // shifts the parameter.
    decalage = -M_PI / 2.0;
    return new Geom_Ellipse(gp_Elips(gp_Ax2(gp_Pnt(c.cx, c.cy, 0.0), gp::DZ(), v), c.b, c.a));
}

// Builds the faces of a subdivision, sharing vertices and edges between the
// faces that meet.
class Faces
{
public:
    explicit Faces(const decoupe::Subdivision& s)
        : sub(s), sommets(s.sommets.size()), tolerances(s.sommets.size()), aretes(s.aretes.size()),
          plan(new Geom_Plane(gp_Pln(gp::XOY())))
    {
        for (std::size_t i = 0; i < s.sommets.size(); ++i)
        {
            tolerances[i] = std::max(Precision::Confusion(), 1.001 * s.sommets[i].ecart);
        }
    }

    /// Gives every loop of `regions` its own copy of the vertices where
    /// several loops touch, so that a swept profile pinched at a point makes
    /// solids that touch along a line instead of sharing an edge between four
    /// faces.
    std::size_t SeparePinces(const std::vector<decoupe::Region>& regions)
    {
        std::vector<int> boucles(sub.sommets.size(), 0);
        auto compte = [&](const decoupe::Boucle& b)
        {
            for (const auto& pas : b.pas)
            {
                const decoupe::Arete& a = sub.aretes[static_cast<std::size_t>(pas.first)];
                ++boucles[static_cast<std::size_t>(pas.second ? a.debut : a.fin)];
            }
        };
        for (const decoupe::Region& r : regions)
        {
            compte(r.exterieur);
            for (const decoupe::Boucle& t : r.trous)
            {
                compte(t);
            }
        }
        pinces.assign(sub.sommets.size(), false);
        std::size_t nombre = 0;
        for (std::size_t i = 0; i < boucles.size(); ++i)
        {
            pinces[i] = boucles[i] > 1;
            nombre += pinces[i] ? 1 : 0;
        }
        return nombre;
    }

    TopoDS_Face Face(const decoupe::Region& region)
    {
        TopoDS_Face face;
        constructeur.MakeFace(face, plan, Precision::Confusion());
        constructeur.Add(face, Fil(region.exterieur));
        for (const decoupe::Boucle& trou : region.trous)
        {
            constructeur.Add(face, Fil(trou));
        }
        return face;
    }

private:
    TopoDS_Vertex Sommet(int i)
    {
        TopoDS_Vertex& v = sommets[static_cast<std::size_t>(i)];
        if (v.IsNull() ||
            (!pinces.empty() && pinces[static_cast<std::size_t>(i)] && boucle_sommet[i] != boucle_courante))
        {
            const decoupe::Sommet& s = sub.sommets[static_cast<std::size_t>(i)];
            constructeur.MakeVertex(v, gp_Pnt(s.x, s.y, 0.0), tolerances[static_cast<std::size_t>(i)]);
            boucle_sommet[i] = boucle_courante;
        }
        return v;
    }

    // An arc's ends lie near, not exactly on, its merged vertices: the vertex
    // tolerance must cover the gap.
    void Couvre(int i, const std::array<double, 2>& p)
    {
        const decoupe::Sommet& s = sub.sommets[static_cast<std::size_t>(i)];
        double& t = tolerances[static_cast<std::size_t>(i)];
        const double besoin = 1.001 * std::hypot(p[0] - s.x, p[1] - s.y) + Precision::Confusion();
        if (besoin > t)
        {
            t = besoin;
            TopoDS_Vertex& v = sommets[static_cast<std::size_t>(i)];
            if (!v.IsNull())
            {
                constructeur.UpdateVertex(v, t);
            }
        }
    }

    TopoDS_Edge Arete(int i)
    {
        TopoDS_Edge& arete = aretes[static_cast<std::size_t>(i)];
        if (!arete.IsNull())
        {
            return arete;
        }
        const decoupe::Arete& a = sub.aretes[static_cast<std::size_t>(i)];
        const decoupe::Courbe& c = a.courbe;
        if (c.droite)
        {
            arete = BRepBuilderAPI_MakeEdge(Sommet(a.debut), Sommet(a.fin)).Edge();
            return arete;
        }
        Couvre(a.debut, c.Point(c.t0));
        Couvre(a.fin, c.Point(c.t1));
        double decalage = 0.0;
        const Handle(Geom_Curve) courbe = CourbeNoyau(c, decalage);
        BRepBuilderAPI_MakeEdge fabrique(courbe, Sommet(a.debut), Sommet(a.fin), c.t0 + decalage,
                                         c.t1 + decalage);
        if (fabrique.IsDone())
        {
            arete = fabrique.Edge();
        }
        return arete;
    }

    TopoDS_Wire Fil(const decoupe::Boucle& boucle)
    {
        TopoDS_Wire fil;
        constructeur.MakeWire(fil);
        ++boucle_courante;
        for (const auto& [index, avant] : boucle.pas)
        {
            const TopoDS_Edge arete = Arete(index);
            if (arete.IsNull())
            {
                throw Standard_Failure("edge of an outline");
            }
            constructeur.Add(fil, avant ? arete : TopoDS::Edge(arete.Reversed()));
        }
        fil.Closed(Standard_True);
        return fil;
    }

    const decoupe::Subdivision& sub;
    std::vector<TopoDS_Vertex> sommets;
    std::vector<double> tolerances;
    std::vector<TopoDS_Edge> aretes;
    Handle(Geom_Plane) plan;
    BRep_Builder constructeur;
    std::vector<bool> pinces;
    std::unordered_map<int, int> boucle_sommet;
    int boucle_courante = 0;
};

} // namespace

int ConstruitRegions(const moteur::VueDessin& vue, int id_vue, double tolerance, RegionsVue& regions,
                     std::string& diagnostic)
{
    regions = RegionsVue();
    std::vector<decoupe::Courbe> courbes;
    courbes.reserve(vue.elements.size());
    std::size_t ignores = 0;
    for (std::size_t i = 0; i < vue.elements.size(); ++i)
    {
        const moteur::ElementDessin& element = vue.elements[i];
        if (element.axe)
        {
            continue;
        }
        decoupe::Courbe c;
        if (!decoupe::CourbeElement(element, tolerance, i, c))
        {
            ++ignores;
            continue;
        }
        courbes.push_back(c);
    }
    if (ignores > 0)
    {
        AjouteDiagnostic(diagnostic,
                         Texte(MessageMoteur::ElementsIgnores, static_cast<int>(ignores), id_vue));
    }
    if (courbes.empty())
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::VueSansElement, id_vue));
        return vue.elements.empty() ? StatutRienDessine : StatutContourOuvert;
    }

    decoupe::Subdivision sub;
    switch (decoupe::Decoupe(courbes, tolerance, croisements_max, sub))
    {
    case decoupe::EtatDecoupe::Correct:
        break;
    case decoupe::EtatDecoupe::Ouvert:
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::ContourOuvert, id_vue));
        return StatutContourOuvert;
    case decoupe::EtatDecoupe::TropDeCroisements:
        AjouteDiagnostic(diagnostic,
                         Texte(MessageMoteur::TropDeCroisements, id_vue, static_cast<int>(croisements_max)));
        return StatutTropComplexe;
    }

    Faces faces_matiere(sub);
    regions.pinces = faces_matiere.SeparePinces(sub.matiere);
    for (const decoupe::Region& r : sub.matiere)
    {
        regions.matiere.push_back(faces_matiere.Face(r));
        regions.contours += 1 + r.trous.size();
        regions.aretes += r.exterieur.pas.size();
        for (const decoupe::Boucle& t : r.trous)
        {
            regions.aretes += t.pas.size();
        }
    }
    Faces faces(sub);
    for (const decoupe::Region& r : sub.interieurs)
    {
        regions.interieurs.push_back(faces.Face(r));
    }
    Bnd_Box boite_silhouette;
    for (const decoupe::Boucle& b : sub.silhouettes)
    {
        decoupe::Region r;
        r.exterieur = b;
        regions.silhouette.push_back(faces.Face(r));
        BRepBndLib::AddOptimal(regions.silhouette.back(), boite_silhouette, Standard_False, Standard_False);
    }
    double z0 = 0.0, z1 = 0.0;
    boite_silhouette.Get(regions.boite[0], regions.boite[1], z0, regions.boite[2], regions.boite[3], z1);
    return StatutSucces;
}

TopoDS_Edge AreteElement(const moteur::ElementDessin& element, double tolerance, double allonge)
{
    decoupe::Courbe c;
    if (!decoupe::CourbeElement(element, tolerance, 0, c))
    {
        return TopoDS_Edge();
    }
    if (c.droite)
    {
        const double l = std::hypot(c.x2 - c.x1, c.y2 - c.y1);
        const double ex = allonge * (c.x2 - c.x1) / l, ey = allonge * (c.y2 - c.y1) / l;
        return BRepBuilderAPI_MakeEdge(gp_Pnt(c.x1 - ex, c.y1 - ey, 0.0), gp_Pnt(c.x2 + ex, c.y2 + ey, 0.0))
            .Edge();
    }
    double decalage = 0.0;
    const Handle(Geom_Curve) courbe = CourbeNoyau(c, decalage);
    BRepBuilderAPI_MakeEdge fabrique(courbe, c.t0 + decalage, c.t1 + decalage);
    return fabrique.IsDone() ? fabrique.Edge() : TopoDS_Edge();
}

} // namespace Zarvel3D::occt
