#include "zarvel_occt_cellules.h"

#include "zarvel_occt_outils.h"

#include <BRepAdaptor_Surface.hxx>
#include <BRepAlgoAPI_Splitter.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <TopoDS.hxx>
#include <gp_Pln.hxx>

#include <Bnd_Box.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <algorithm>
#include <cmath>

namespace Zarvel3D::occt::cellules
{

namespace
{

// A plane once: its unit normal turned to the side of its first non-zero
// component, and its distance from the origin along it.
struct PlanCanonique
{
    gp_Dir normale;
    double distance;
};

PlanCanonique Canonique(const gp_Pln& plan)
{
    gp_Dir n = plan.Axis().Direction();
    const double c[3] = {n.X(), n.Y(), n.Z()};
    for (double composante : c)
    {
        if (std::fabs(composante) > 1e-9)
        {
            if (composante < 0.0)
            {
                n.Reverse();
            }
            break;
        }
    }
    return {n, gp_Vec(n).Dot(gp_Vec(plan.Location().XYZ()))};
}

// The cutting faces: every planar face becomes its whole plane across the
// solid's box, each plane once (coplanar pieces of faces that overlap cut
// badly); curved faces are kept as they are.
TopTools_ListOfShape Coupants(const TopoDS_Shape& solide, const std::vector<TopoDS_Shape>& outils,
                              double fusion)
{
    Bnd_Box boite;
    BRepBndLib::Add(solide, boite);
    const gp_Pnt centre((boite.CornerMin().XYZ() + boite.CornerMax().XYZ()) * 0.5);
    const double rayon = boite.CornerMin().Distance(boite.CornerMax());
    std::vector<PlanCanonique> plans;
    TopTools_ListOfShape coupants;
    for (const TopoDS_Shape& outil : outils)
    {
        if (outil.ShapeType() != TopAbs_FACE)
        {
            coupants.Append(outil);
            continue;
        }
        const BRepAdaptor_Surface surface(TopoDS::Face(outil));
        if (surface.GetType() != GeomAbs_Plane)
        {
            coupants.Append(outil);
            continue;
        }
        const PlanCanonique p = Canonique(surface.Plane());
        const bool vu = std::any_of(plans.begin(), plans.end(),
                                    [&](const PlanCanonique& q) {
                                        return q.normale.Angle(p.normale) < 1e-9 &&
                                               std::fabs(q.distance - p.distance) <= fusion;
                                    });
        if (vu)
        {
            continue;
        }
        plans.push_back(p);
        // The plane through the point nearest the box's centre.
        const gp_Vec n(p.normale);
        const gp_Pnt pied = centre.Translated(-n * (n.Dot(gp_Vec(centre.XYZ())) - p.distance));
        coupants.Append(
            BRepBuilderAPI_MakeFace(gp_Pln(pied, p.normale), -rayon, rayon, -rayon, rayon).Face());
    }
    return coupants;
}

} // namespace

Cellules::Cellules(const TopoDS_Shape& solide, const std::vector<TopoDS_Shape>& outils, double fusion)
    : entier(solide), fusion(fusion)
{
    TopTools_ListOfShape objets;
    objets.Append(solide);
    const TopTools_ListOfShape coupants = Coupants(solide, outils, fusion);
    // The split grows much faster than the number of cutting faces: past a
    // few dozen, it costs more than the whole reconstruction.
    if (static_cast<std::size_t>(coupants.Extent()) > CoupantsMax)
    {
        return;
    }
    BRepAlgoAPI_Splitter decoupe;
    decoupe.SetArguments(objets);
    decoupe.SetTools(coupants);
    decoupe.SetFuzzyValue(fusion);
    decoupe.SetNonDestructive(Standard_True);
    decoupe.Build();
    if (!decoupe.IsDone() || decoupe.HasErrors())
    {
        return;
    }
    for (TopExp_Explorer e(decoupe.Shape(), TopAbs_SOLID); e.More(); e.Next())
    {
        cellules.push_back(e.Current());
    }
}

TopoDS_Shape Cellules::Assemble(const std::vector<bool>& gardees) const
{
    if (gardees.size() != cellules.size())
    {
        return TopoDS_Shape();
    }
    // The solid less the cells left out: a cut along faces the cells share
    // with it.
    std::vector<TopoDS_Shape> retirees;
    for (std::size_t i = 0; i < cellules.size(); ++i)
    {
        if (!gardees[i])
        {
            retirees.push_back(cellules[i]);
        }
    }
    if (retirees.empty())
    {
        return entier;
    }
    if (retirees.size() == cellules.size())
    {
        return TopoDS_Shape();
    }
    return Retranche(entier, retirees, fusion);
}

namespace
{

bool Meilleure(const Note& a, const Note& b, double ecart_longueur)
{
    return a.ecarts < b.ecarts || (a.ecarts == b.ecarts && a.longueur < b.longueur - ecart_longueur);
}

} // namespace

TopoDS_Shape RetireCellules(const Cellules& cellules, const Note& depart,
                            const std::function<bool(const TopoDS_Shape&, Note&)>& note, std::size_t essais)
{
    std::vector<bool> gardees(cellules.Nombre(), true);
    // Cells still worth a trial: after the first round, those whose removal
    // then gave a solid with no more mismatches than before.
    std::vector<bool> a_essayer(cellules.Nombre(), true);
    Note courante = depart;
    TopoDS_Shape meilleure;
    // Lengths are compared to within a thousandth of the first one.
    const double ecart_longueur = 1e-3 * depart.longueur;
    // Steepest descent: each round takes away the one cell whose removal
    // helps most, until none helps or the trials run out.
    for (;;)
    {
        std::size_t choisie = gardees.size();
        Note note_choisie = courante;
        TopoDS_Shape forme_choisie;
        for (std::size_t i = 0; i < gardees.size() && essais > 0; ++i)
        {
            if (!gardees[i] || !a_essayer[i])
            {
                continue;
            }
            --essais;
            gardees[i] = false;
            const TopoDS_Shape forme = cellules.Assemble(gardees);
            gardees[i] = true;
            Note n;
            a_essayer[i] = !forme.IsNull() && note(forme, n) && n.ecarts <= courante.ecarts;
            if (a_essayer[i] && Meilleure(n, note_choisie, ecart_longueur))
            {
                choisie = i;
                note_choisie = n;
                forme_choisie = forme;
            }
        }
        if (choisie == gardees.size())
        {
            return meilleure;
        }
        gardees[choisie] = false;
        courante = note_choisie;
        meilleure = forme_choisie;
        if (courante.ecarts == 0)
        {
            return meilleure;
        }
    }
}

} // namespace Zarvel3D::occt::cellules
