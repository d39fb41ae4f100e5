// Scene of a generated solid: one surface per face, triangulated; the sharp
// edges as segments; the faces' vertices; the drawn views beside the model as
// projections, with stroke labels (scene_plan.h); the unfolded planar faces
// when asked.

#include "scene_plan.h"
#include "zarvel_occt_generation.h"
#include "zarvel_occt_outils.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepGProp.hxx>
#include <BRepLib.hxx>
#include <BRepMesh_Context.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <gp_Torus.hxx>

#include <ElSLib.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <GProp_GProps.hxx>
#include <GeomLProp_SLProps.hxx>
#include <Geom_Surface.hxx>
#include <IMeshTools_Parameters.hxx>
#include <Poly_PolygonOnTriangulation.hxx>
#include <Poly_Triangulation.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace Zarvel3D::occt
{

namespace
{

Pvec3 Vers(const gp_Pnt& p, int id = 0)
{
    return Pvec3(p.X(), p.Y(), p.Z(), id);
}

// Directions in which a face is curved: 0 for a plane, 1 for a cylinder, a
// cone or an extrusion, 2 for any other surface.
int DirectionsCourbees(const BRepAdaptor_Surface& surface)
{
    switch (surface.GetType())
    {
    case GeomAbs_Plane:
        return 0;
    case GeomAbs_Cylinder:
    case GeomAbs_Cone:
    case GeomAbs_SurfaceOfExtrusion:
        return 1;
    default:
        return 2;
    }
}

// Chord deviation of the mesh (plan::FlecheMaillage), from the solid's
// volume and the area of its curved faces.
double FlecheMaillage(const TopoDS_Shape& solide, double diagonale, const ParametresZarvel& p)
{
    if (std::isfinite(p.fleche) && p.fleche > 0.0f)
    {
        return p.fleche;
    }
    double aire_courbee = 0.0;
    for (TopExp_Explorer exp(solide, TopAbs_FACE); exp.More(); exp.Next())
    {
        const TopoDS_Face& face = TopoDS::Face(exp.Current());
        const int directions = DirectionsCourbees(BRepAdaptor_Surface(face, Standard_False));
        if (directions > 0)
        {
            GProp_GProps proprietes;
            BRepGProp::SurfaceProperties(face, proprietes);
            aire_courbee += directions * std::fabs(proprietes.Mass());
        }
    }
    return plan::FlecheMaillage(diagonale, std::fabs(Volume(solide)), aire_courbee, p);
}

// A whole torus (the void a circle leaves when turned a full turn): its only
// edges are seams, so no other face shares its nodes and it can be meshed as
// a grid of the two angles, with the surface's own normals. The mesher would
// triangulate the same nodes one insertion at a time, for minutes on a large
// ring. Returns false, the face untouched, for any other face.
bool MailleToreEntier(const TopoDS_Face& face, double angle, double fleche)
{
    const BRepAdaptor_Surface surface(face);
    if (surface.GetType() != GeomAbs_Torus)
    {
        return false;
    }
    for (TopExp_Explorer exp(face, TopAbs_EDGE); exp.More(); exp.Next())
    {
        const TopoDS_Edge& arete = TopoDS::Edge(exp.Current());
        if (!BRep_Tool::Degenerated(arete) && !BRep_Tool::IsClosed(arete, face))
        {
            return false;
        }
    }
    double umin = 0.0, umax = 0.0, vmin = 0.0, vmax = 0.0;
    BRepTools::UVBounds(face, umin, umax, vmin, vmax);
    constexpr double tolerance_tour = 1e-9;
    if (std::fabs(umax - umin - 2.0 * M_PI) > tolerance_tour ||
        std::fabs(vmax - vmin - 2.0 * M_PI) > tolerance_tour)
    {
        return false;
    }
    const gp_Torus tore = surface.Torus();
    const double grand = tore.MajorRadius();
    const double petit = tore.MinorRadius();
    const int nu = plan::SegmentsArc(grand + petit, 2.0 * M_PI, angle, fleche, 3);
    const int nv = plan::SegmentsArc(petit, 2.0 * M_PI, angle, fleche, 3);
    const gp_Ax3& repere = tore.Position();
    const gp_XYZ centre = repere.Location().XYZ();
    const gp_XYZ x = repere.XDirection().XYZ();
    const gp_XYZ y = repere.YDirection().XYZ();
    const gp_XYZ z = repere.Direction().XYZ();
    // Nodes are stored in the face's own frame, as the mesher stores them.
    const gp_Trsf vers_face = face.Location().Transformation().Inverted();
    Handle(Poly_Triangulation) triangulation =
        new Poly_Triangulation(nu * nv, 2 * nu * nv, Standard_True, Standard_True);
    std::vector<double> cos_v(static_cast<std::size_t>(nv));
    std::vector<double> sin_v(static_cast<std::size_t>(nv));
    for (int j = 0; j < nv; ++j)
    {
        const double v = vmin + (vmax - vmin) * j / nv;
        cos_v[static_cast<std::size_t>(j)] = std::cos(v);
        sin_v[static_cast<std::size_t>(j)] = std::sin(v);
    }
    for (int i = 0; i < nu; ++i)
    {
        const double u = umin + (umax - umin) * i / nu;
        const gp_XYZ radial = x * std::cos(u) + y * std::sin(u);
        const gp_XYZ tangente = y * std::cos(u) - x * std::sin(u);
        for (int j = 0; j < nv; ++j)
        {
            const double cv = cos_v[static_cast<std::size_t>(j)];
            const double sv = sin_v[static_cast<std::size_t>(j)];
            const int n = 1 + i * nv + j;
            const gp_XYZ point = centre + radial * (grand + petit * cv) + z * (petit * sv);
            triangulation->SetNode(n, gp_Pnt(point).Transformed(vers_face));
            triangulation->SetUVNode(n, gp_Pnt2d(u, vmin + (vmax - vmin) * j / nv));
            // The surface's normal, d/du x d/dv, whatever the handedness of its frame.
            const gp_XYZ du = tangente * (grand + petit * cv);
            const gp_XYZ dv = radial * (-petit * sv) + z * (petit * cv);
            triangulation->SetNormal(n, gp_Dir(du.Crossed(dv)).Transformed(vers_face));
        }
    }
    int t = 1;
    for (int i = 0; i < nu; ++i)
    {
        for (int j = 0; j < nv; ++j)
        {
            const int a = 1 + i * nv + j;
            const int b = 1 + ((i + 1) % nu) * nv + j;
            const int c = 1 + ((i + 1) % nu) * nv + (j + 1) % nv;
            const int d = 1 + i * nv + (j + 1) % nv;
            triangulation->SetTriangle(t++, Poly_Triangle(a, b, c));
            triangulation->SetTriangle(t++, Poly_Triangle(a, c, d));
        }
    }
    triangulation->Deflection(fleche);
    BRep_Builder().UpdateFace(face, triangulation);
    return true;
}

// Meshes every face of the solid: whole tori as grids, the others with the
// kernel's mesher. Its Delabella triangulation is used first, several times
// faster than the default one on faces with many boundary nodes (a plate with
// holes); faces it leaves without a mesh get the default triangulation.
bool Maille(const TopoDS_Shape& solide, const IMeshTools_Parameters& reglages, double angle)
{
    TopoDS_Compound reste;
    BRep_Builder constructeur;
    constructeur.MakeCompound(reste);
    bool vide = true;
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(solide, TopAbs_FACE, faces);
    for (int f = 1; f <= faces.Extent(); ++f)
    {
        const TopoDS_Face& face = TopoDS::Face(faces(f));
        if (!MailleToreEntier(face, angle, reglages.Deflection))
        {
            constructeur.Add(reste, face);
            vide = false;
        }
    }
    if (vide)
    {
        return true;
    }
    auto complet = [&faces]()
    {
        for (int f = 1; f <= faces.Extent(); ++f)
        {
            TopLoc_Location lieu;
            if (BRep_Tool::Triangulation(TopoDS::Face(faces(f)), lieu).IsNull())
            {
                return false;
            }
        }
        return true;
    };
    BRepMesh_IncrementalMesh maillage;
    maillage.SetShape(reste);
    maillage.ChangeParameters() = reglages;
    maillage.Perform(new BRepMesh_Context(IMeshTools_MeshAlgoType_Delabella));
    if (maillage.IsDone() && complet())
    {
        return true;
    }
    BRepMesh_IncrementalMesh repli(reste, reglages);
    return repli.IsDone() && complet();
}

// Angle between successive points of the mesh (plan::AngleMaillage), from
// the shortest arc of circle or ellipse among the solid's edges.
double AngleMaillage(const TopoDS_Shape& solide, const ParametresZarvel& p)
{
    double arc_min = std::numeric_limits<double>::infinity();
    TopTools_IndexedMapOfShape aretes;
    TopExp::MapShapes(solide, TopAbs_EDGE, aretes);
    for (int i = 1; i <= aretes.Extent(); ++i)
    {
        const TopoDS_Edge& arete = TopoDS::Edge(aretes(i));
        if (BRep_Tool::Degenerated(arete))
        {
            continue;
        }
        BRepAdaptor_Curve courbe(arete);
        if (courbe.GetType() == GeomAbs_Circle || courbe.GetType() == GeomAbs_Ellipse)
        {
            arc_min = std::min(arc_min, std::fabs(courbe.LastParameter() - courbe.FirstParameter()));
        }
    }
    return plan::AngleMaillage(p, arc_min);
}

using Boite = plan::BoiteModele;

// Box of a shape: of its mesh nodes once it is meshed (a curved face's exact
// extent costs a numerical search per face, seconds for a ring of tori, and
// differs from its nodes' by less than the chord deviation); before that, the
// looser box of its surfaces' bounds, enough to size the deviation.
Boite BoiteForme(const TopoDS_Shape& forme, bool maillee)
{
    Bnd_Box b;
    if (maillee)
    {
        BRepBndLib::AddOptimal(forme, b, Standard_True, Standard_False);
    }
    else
    {
        BRepBndLib::Add(forme, b, Standard_False);
    }
    Boite r{};
    b.Get(r.min[0], r.min[1], r.min[2], r.max[0], r.max[1], r.max[2]);
    return r;
}

// Planar faces laid flat side by side in the XY plane, one element per segment.
void AjouteDeveloppes(const TopoDS_Shape& solide, double angle, double fleche, PScene3D& scene)
{
    PCouleur3D couleur;
    couleur.definie = 1;
    couleur.bleu = 128;
    double decalage = 0.0;
    for (TopExp_Explorer exp(solide, TopAbs_FACE); exp.More(); exp.Next())
    {
        const TopoDS_Face& face = TopoDS::Face(exp.Current());
        BRepAdaptor_Surface surface(face, Standard_False);
        if (surface.GetType() != GeomAbs_Plane)
        {
            continue;
        }
        const gp_Pln plan = surface.Plane();
        std::vector<std::array<double, 4>> traits;
        double umin = 1e300, umax = -1e300, vmin = 1e300;
        for (TopExp_Explorer e(face, TopAbs_EDGE); e.More(); e.Next())
        {
            const TopoDS_Edge& arete = TopoDS::Edge(e.Current());
            if (BRep_Tool::Degenerated(arete))
            {
                continue;
            }
            BRepAdaptor_Curve courbe(arete);
            GCPnts_TangentialDeflection points(courbe, angle, fleche);
            for (int i = 2; i <= points.NbPoints(); ++i)
            {
                double u0 = 0.0, v0 = 0.0, u1 = 0.0, v1 = 0.0;
                ElSLib::Parameters(plan, points.Value(i - 1), u0, v0);
                ElSLib::Parameters(plan, points.Value(i), u1, v1);
                traits.push_back({u0, v0, u1, v1});
                umin = std::min({umin, u0, u1});
                umax = std::max({umax, u0, u1});
                vmin = std::min({vmin, v0, v1});
            }
        }
        if (traits.empty())
        {
            continue;
        }
        for (const auto& t : traits)
        {
            PElement3D element;
            element.points.push_back(Pvec3(decalage + t[0] - umin, t[1] - vmin, 0.0));
            element.points.push_back(Pvec3(decalage + t[2] - umin, t[3] - vmin, 0.0));
            element.couleur = couleur;
            scene.DeveloppesEdition().push_back(element);
        }
        decalage += (umax - umin) * 1.1;
    }
}

} // namespace

int RemplitScene(const TopoDS_Shape& solide, const moteur::Dessin& dessin, const ParametresZarvel& p,
                 PScene3D& scene, std::string& diagnostic)
{
    scene.Vide();
    const Boite etendue = BoiteForme(solide, false);
    const double diagonale = std::sqrt(std::pow(etendue.max[0] - etendue.min[0], 2) +
                                       std::pow(etendue.max[1] - etendue.min[1], 2) +
                                       std::pow(etendue.max[2] - etendue.min[2], 2));
    const double angle = AngleMaillage(solide, p);
    IMeshTools_Parameters reglages;
    // The mesher splits a curve wherever its tangent turns by half this
    // angle, hence the factor 2 for `angle` per segment.
    reglages.Angle = 2.0 * angle;
    // Inside faces the angle of a full turn's divisions is enough: the
    // shortest arc's finer angle would fill every curved face with a grid of
    // (turn / angle) squared nodes, millions for a sliver arc.
    reglages.AngleInterior = 2.0 * std::max(angle, 2.0 * M_PI / std::max(3, p.divisions_tour));
    reglages.Deflection = FlecheMaillage(solide, diagonale, p);
    reglages.DeflectionInterior = reglages.Deflection;
    reglages.MinSize = std::max(p.tolerance, 1e-7);
    reglages.InParallel = p.taches != 1;
    if (!Maille(solide, reglages, angle))
    {
        AjouteDiagnostic(diagnostic, Texte(MessageMoteur::EchecMaillage));
        return StatutEchecMaillage;
    }
    const Boite boite = BoiteForme(solide, true);

    const PCouleur3D couleur_solide = plan::CouleurSolide(p);

    // The solid's own vertices come first and are the visible ones; the mesh
    // nodes follow, hidden, one set per face so that normals stay sharp
    // across edges and smooth within a face.
    TopTools_IndexedMapOfShape sommets;
    TopExp::MapShapes(solide, TopAbs_VERTEX, sommets);
    for (int i = 1; i <= sommets.Extent(); ++i)
    {
        scene.AjoutSommet(Vers(BRep_Tool::Pnt(TopoDS::Vertex(sommets(i)))), Pvec3());
    }

    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(solide, TopAbs_FACE, faces);
    std::vector<unsigned int> premier_noeud(static_cast<std::size_t>(faces.Extent()) + 1, 0);
    // The lists are sized once: grown element by element, a mesh of a
    // million triangles is copied a dozen times over.
    std::size_t noeuds = static_cast<std::size_t>(sommets.Extent());
    for (int f = 1; f <= faces.Extent(); ++f)
    {
        TopLoc_Location lieu;
        const Handle(Poly_Triangulation)& triangulation =
            BRep_Tool::Triangulation(TopoDS::Face(faces(f)), lieu);
        noeuds += triangulation.IsNull() ? 0 : static_cast<std::size_t>(triangulation->NbNodes());
    }
    scene.ModeleEdition().sommets.reserve(noeuds);
    scene.ModeleEdition().surfaces.reserve(static_cast<std::size_t>(faces.Extent()));
    for (int f = 1; f <= faces.Extent(); ++f)
    {
        const TopoDS_Face& face = TopoDS::Face(faces(f));
        TopLoc_Location lieu;
        const Handle(Poly_Triangulation) triangulation = BRep_Tool::Triangulation(face, lieu);
        if (triangulation.IsNull())
        {
            AjouteDiagnostic(diagnostic, Texte(MessageMoteur::EchecMaillage));
            scene.Vide();
            return StatutEchecMaillage;
        }
        const gp_Trsf transformation = lieu.Transformation();
        const bool inverse = face.Orientation() == TopAbs_REVERSED;
        const Handle(Geom_Surface) support = BRep_Tool::Surface(face);
        premier_noeud[static_cast<std::size_t>(f)] = static_cast<unsigned int>(scene.Modele().sommets.size());
        for (int n = 1; n <= triangulation->NbNodes(); ++n)
        {
            const gp_Pnt point = triangulation->Node(n).Transformed(transformation);
            Pvec3 normale;
            if (triangulation->HasNormals())
            {
                gp_Dir d = triangulation->Normal(n).Transformed(transformation);
                if (inverse)
                {
                    d.Reverse();
                }
                normale = Pvec3(d.X(), d.Y(), d.Z());
            }
            else if (triangulation->HasUVNodes() && !support.IsNull())
            {
                const gp_Pnt2d uv = triangulation->UVNode(n);
                GeomLProp_SLProps proprietes(support, uv.X(), uv.Y(), 1, 1e-9);
                if (proprietes.IsNormalDefined())
                {
                    gp_Dir d = proprietes.Normal();
                    if (inverse)
                    {
                        d.Reverse();
                    }
                    normale = Pvec3(d.X(), d.Y(), d.Z());
                }
            }
            const unsigned int index = scene.AjoutSommet(Vers(point), normale);
            scene.ModeleEdition().sommets[index].visible = 0;
        }
        const unsigned int surface = scene.AjoutSurface();
        scene.ModeleEdition().surfaces[surface].triangles.reserve(
            static_cast<std::size_t>(triangulation->NbTriangles()));
        const unsigned int base = premier_noeud[static_cast<std::size_t>(f)];
        for (int t = 1; t <= triangulation->NbTriangles(); ++t)
        {
            int n1 = 0, n2 = 0, n3 = 0;
            triangulation->Triangle(t).Get(n1, n2, n3);
            if (inverse)
            {
                std::swap(n2, n3);
            }
            scene.AjoutTriangle(surface, base + static_cast<unsigned int>(n1 - 1),
                                base + static_cast<unsigned int>(n2 - 1),
                                base + static_cast<unsigned int>(n3 - 1), couleur_solide);
        }
    }

    // Edges: seams and edges between faces meeting smoothly (under the
    // parameters' dihedral angle) are not drawn.
    const double angle_vif = std::max(0.0, static_cast<double>(p.angle_aretes)) * M_PI / 180.0;
    BRepLib::EncodeRegularity(solide, std::max(angle_vif, 1e-10));
    TopTools_IndexedDataMapOfShapeListOfShape aretes_faces;
    TopExp::MapShapesAndAncestors(solide, TopAbs_EDGE, TopAbs_FACE, aretes_faces);
    for (int i = 1; i <= aretes_faces.Extent(); ++i)
    {
        const TopoDS_Edge& arete = TopoDS::Edge(aretes_faces.FindKey(i));
        const TopTools_ListOfShape& voisines = aretes_faces(i);
        if (BRep_Tool::Degenerated(arete) || voisines.IsEmpty())
        {
            continue;
        }
        const TopoDS_Face& f1 = TopoDS::Face(voisines.First());
        const TopoDS_Face& f2 = TopoDS::Face(voisines.Last());
        if (BRep_Tool::IsClosed(arete, f1) ||
            (!f1.IsSame(f2) && BRep_Tool::Continuity(arete, f1, f2) != GeomAbs_C0))
        {
            continue;
        }
        TopLoc_Location lieu;
        const Handle(Poly_Triangulation) triangulation = BRep_Tool::Triangulation(f1, lieu);
        const Handle(Poly_PolygonOnTriangulation)& polygone =
            BRep_Tool::PolygonOnTriangulation(arete, triangulation, lieu);
        if (polygone.IsNull())
        {
            continue;
        }
        const unsigned int base = premier_noeud[static_cast<std::size_t>(faces.FindIndex(f1))];
        for (int k = 2; k <= polygone->NbNodes(); ++k)
        {
            scene.AjoutSegment(base + static_cast<unsigned int>(polygone->Node(k - 1) - 1),
                               base + static_cast<unsigned int>(polygone->Node(k) - 1));
        }
    }

    scene.Recalcule();
    if (!p.sans_projections)
    {
        plan::AjouteProjections(dessin, p, boite, scene);
    }
    if (p.developpes)
    {
        AjouteDeveloppes(solide, angle, reglages.Deflection, scene);
        const double echelle = std::max<std::int16_t>(1, p.echelle_developpes);
        scene.defEchelleDeveloppes(scene.EchelleAffichage() / echelle);
    }
    return StatutSucces;
}

} // namespace Zarvel3D::occt
