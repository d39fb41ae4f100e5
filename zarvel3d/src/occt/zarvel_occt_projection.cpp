// Projection check. Both sides are turned into polylines in the view's plane:
// the solid's edges as hidden-line removal projects them, the drawing's lines
// and arcs as drawn. Each polyline is then walked in small steps, and a step
// that lies farther than the matching distance from every polyline of the
// other side belongs to a mismatch. A uniform grid over the other side's
// segments keeps every lookup local.

#include "zarvel_occt_projection.h"

#include "../engine/zarvel_messages.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepBndLib.hxx>
#include <BRepLib.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>

#include <Bnd_Box.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <HLRAlgo_Projector.hxx>
#include <HLRBRep_Algo.hxx>
#include <HLRBRep_HLRToShape.hxx>
#include <TopExp_Explorer.hxx>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Zarvel3D::occt::projection
{

namespace
{

// Faces meeting at less than this angle (radians) meet smoothly.
constexpr double angle_lisse = 1e-3;

struct Point
{
    double x;
    double y;
};

using Polyligne = std::vector<Point>;

// The frame of a view: the eye looks down its main direction, the drawing's
// u axis is its x direction (the view's v axis then follows as main x x).
gp_Ax2 RepereVue(int vue)
{
    const gp_Pnt origine(0.0, 0.0, 0.0);
    switch (vue)
    {
    case moteur::VueDessus:
        return gp_Ax2(origine, gp_Dir(0.0, 1.0, 0.0), gp_Dir(1.0, 0.0, 0.0));
    case moteur::VueCote:
        return gp_Ax2(origine, gp_Dir(1.0, 0.0, 0.0), gp_Dir(0.0, 0.0, -1.0));
    default:
        return gp_Ax2(origine, gp_Dir(0.0, 0.0, 1.0), gp_Dir(1.0, 0.0, 0.0));
    }
}

void AjoutePolylignes(const TopoDS_Shape& groupe, double fleche, std::vector<Polyligne>& polylignes)
{
    if (groupe.IsNull())
    {
        return;
    }
    for (TopExp_Explorer exp(groupe, TopAbs_EDGE); exp.More(); exp.Next())
    {
        const BRepAdaptor_Curve courbe(TopoDS::Edge(exp.Current()));
        const GCPnts_TangentialDeflection points(courbe, 0.1, fleche, 2);
        Polyligne p;
        for (int i = 1; i <= points.NbPoints(); ++i)
        {
            const gp_Pnt q = points.Value(i);
            p.push_back({q.X(), q.Y()});
        }
        if (p.size() >= 2)
        {
            polylignes.push_back(std::move(p));
        }
    }
}

// The solid's projected edges in one view: visible sharp edges and
// silhouettes (which the drawing must show), and everything else that may
// explain a drawn line (hidden edges, smooth edges between tangent faces).
struct Projection
{
    std::vector<Polyligne> exigees;
    std::vector<Polyligne> permises;
};

Projection Projette(const TopoDS_Shape& solide, int vue, double fleche)
{
    Handle(HLRBRep_Algo) algo = new HLRBRep_Algo();
    algo->Add(solide);
    algo->Projector(HLRAlgo_Projector(RepereVue(vue)));
    algo->Update();
    algo->Hide();
    HLRBRep_HLRToShape formes(algo);
    Projection p;
    AjoutePolylignes(formes.VCompound(), fleche, p.exigees);
    AjoutePolylignes(formes.OutLineVCompound(), fleche, p.exigees);
    AjoutePolylignes(formes.Rg1LineVCompound(), fleche, p.permises);
    AjoutePolylignes(formes.RgNLineVCompound(), fleche, p.permises);
    AjoutePolylignes(formes.HCompound(), fleche, p.permises);
    AjoutePolylignes(formes.OutLineHCompound(), fleche, p.permises);
    AjoutePolylignes(formes.Rg1LineHCompound(), fleche, p.permises);
    AjoutePolylignes(formes.RgNLineHCompound(), fleche, p.permises);
    return p;
}

// A drawn element as a polyline in the solid's frame of its view.
Polyligne PolyligneDessin(const moteur::ElementDessin& e, const OrigineVue& o, double fleche)
{
    Polyligne p;
    if (e.type == moteur::TypeElement::Ligne)
    {
        p.push_back({e.x1 - o.du, e.y1 - o.dv});
        p.push_back({e.x2 - o.du, e.y2 - o.dv});
        return p;
    }
    const double a = 0.5 * std::fabs(e.largeur);
    const double b = 0.5 * std::fabs(e.hauteur);
    const double rayon = std::max(a, b);
    double t0 = e.debut * M_PI / 180.0;
    double t1 = e.fin * M_PI / 180.0;
    if (e.fin - e.debut >= 360.0)
    {
        t1 = t0 + 2.0 * M_PI;
    }
    while (t1 <= t0)
    {
        t1 += 2.0 * M_PI;
    }
    // Chord height rayon (1 - cos(pas / 2)) under the allowed deflection.
    const double pas_max = rayon > fleche ? 2.0 * std::acos(1.0 - fleche / rayon) : M_PI / 4.0;
    const int n = std::clamp(static_cast<int>(std::ceil((t1 - t0) / std::max(pas_max, 1e-3))), 2, 4096);
    const double c = std::cos(e.rotation * M_PI / 180.0);
    const double s = std::sin(e.rotation * M_PI / 180.0);
    for (int i = 0; i <= n; ++i)
    {
        const double t = t0 + (t1 - t0) * i / n;
        const double u = a * std::cos(t);
        const double v = b * std::sin(t);
        p.push_back({e.cx + c * u - s * v - o.du, e.cy + s * u + c * v - o.dv});
    }
    return p;
}

// Segments of a set of polylines, filed in a uniform grid of square cells.
class Index
{
public:
    Index(const std::vector<Polyligne>& polylignes, double rayon) : rayon(rayon)
    {
        double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
        for (const Polyligne& p : polylignes)
        {
            for (const Point& q : p)
            {
                x0 = std::min(x0, q.x);
                y0 = std::min(y0, q.y);
                x1 = std::max(x1, q.x);
                y1 = std::max(y1, q.y);
            }
            for (std::size_t i = 1; i < p.size(); ++i)
            {
                segments.push_back({p[i - 1], p[i]});
            }
        }
        if (segments.empty())
        {
            return;
        }
        // About four cells a side per square root of the segments (a few
        // segments a cell), 256 at most: a fixed fine grid made the check of
        // a plain block fill and sort a quarter of a million cells per view.
        const double cellules = std::clamp(4.0 * std::sqrt(static_cast<double>(segments.size())), 8.0, 256.0);
        origine = {x0 - rayon, y0 - rayon};
        cote = std::max({(x1 - x0) / cellules, (y1 - y0) / cellules, 2.0 * rayon});
        nx = static_cast<int>((x1 - x0 + 2.0 * rayon) / cote) + 1;
        ny = static_cast<int>((y1 - y0 + 2.0 * rayon) / cote) + 1;
        // The cells' segment lists back to back: (cell, segment) pairs, then a
        // counting sort by cell.
        std::vector<std::pair<std::size_t, int>> paires;
        for (std::size_t i = 0; i < segments.size(); ++i)
        {
            const auto& [a, b] = segments[i];
            const int cx0 = Colonne(std::min(a.x, b.x) - rayon), cx1 = Colonne(std::max(a.x, b.x) + rayon);
            const int cy0 = Ligne(std::min(a.y, b.y) - rayon), cy1 = Ligne(std::max(a.y, b.y) + rayon);
            for (int cy = cy0; cy <= cy1; ++cy)
            {
                for (int cx = cx0; cx <= cx1; ++cx)
                {
                    if (SegmentTouche(a, b, cx, cy))
                    {
                        paires.emplace_back(Case(cx, cy), static_cast<int>(i));
                    }
                }
            }
        }
        debuts.assign(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny) + 1, 0);
        for (const auto& paire : paires)
        {
            ++debuts[paire.first + 1];
        }
        for (std::size_t c = 1; c < debuts.size(); ++c)
        {
            debuts[c] += debuts[c - 1];
        }
        contenu.resize(paires.size());
        std::vector<std::uint32_t> place(debuts.begin(), debuts.end() - 1);
        for (const auto& [c, i] : paires)
        {
            contenu[place[c]++] = i;
        }
    }

    /// True when a segment passes within the radius of the point. `dernier`
    /// is the segment found for the previous point of a walk (-1: none), tried
    /// first: successive points along a line are near the same segment.
    bool Proche(const Point& p, int& dernier) const
    {
        if (segments.empty())
        {
            return false;
        }
        if (dernier >= 0 && Distance(p, segments[static_cast<std::size_t>(dernier)].first,
                                     segments[static_cast<std::size_t>(dernier)].second) <= rayon)
        {
            return true;
        }
        const int cx = Colonne(p.x), cy = Ligne(p.y);
        if (p.x < origine.x || p.y < origine.y || cx >= nx || cy >= ny)
        {
            return false;
        }
        const std::size_t c = Case(cx, cy);
        for (std::uint32_t k = debuts[c]; k < debuts[c + 1]; ++k)
        {
            const int i = contenu[k];
            if (Distance(p, segments[static_cast<std::size_t>(i)].first,
                         segments[static_cast<std::size_t>(i)].second) <= rayon)
            {
                dernier = i;
                return true;
            }
        }
        return false;
    }

    static double Distance(const Point& p, const Point& a, const Point& b)
    {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double l2 = dx * dx + dy * dy;
        double t = l2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
    }

private:
    int Colonne(double x) const { return std::clamp(static_cast<int>((x - origine.x) / cote), 0, nx - 1); }
    int Ligne(double y) const { return std::clamp(static_cast<int>((y - origine.y) / cote), 0, ny - 1); }
    std::size_t Case(int cx, int cy) const
    {
        return static_cast<std::size_t>(cy) * static_cast<std::size_t>(nx) + static_cast<std::size_t>(cx);
    }
    // Whether the segment comes within the radius of the cell.
    bool SegmentTouche(const Point& a, const Point& b, int cx, int cy) const
    {
        const Point centre{origine.x + (cx + 0.5) * cote, origine.y + (cy + 0.5) * cote};
        return Distance(centre, a, b) <= rayon + cote * M_SQRT1_2;
    }

    double rayon;
    Point origine{0.0, 0.0};
    double cote = 1.0;
    int nx = 0;
    int ny = 0;
    std::vector<std::pair<Point, Point>> segments;
    /// Segments near cell c: contenu[debuts[c]] to contenu[debuts[c + 1]].
    std::vector<std::uint32_t> debuts;
    std::vector<int> contenu;
};

// Runs of a polyline farther than the index's radius from every segment of
// the index, longer than `longueur_min`.
void RunsAbsents(const Polyligne& p, const Index& index, double pas_max, double longueur_min, int vue,
                 GenreEcart genre, const OrigineVue& o, std::vector<Ecart>& ecarts)
{
    double longueur = 0.0;
    Point debut{0.0, 0.0};
    int dernier = -1;
    auto termine = [&]()
    {
        if (longueur > longueur_min)
        {
            ecarts.push_back({vue, genre, debut.x + o.du, debut.y + o.dv, longueur});
        }
        longueur = 0.0;
    };
    for (std::size_t i = 1; i < p.size(); ++i)
    {
        const Point a = p[i - 1], b = p[i];
        const double l = std::hypot(b.x - a.x, b.y - a.y);
        const int n = std::max(1, static_cast<int>(std::ceil(l / pas_max)));
        for (int k = (i == 1 ? 0 : 1); k <= n; ++k)
        {
            const Point q{a.x + (b.x - a.x) * k / n, a.y + (b.y - a.y) * k / n};
            if (index.Proche(q, dernier))
            {
                termine();
                continue;
            }
            if (longueur == 0.0)
            {
                debut = q;
            }
            longueur += k == 0 ? 0.0 : l / n;
        }
    }
    termine();
}

double TaillePiece(const TopoDS_Shape& solide)
{
    Bnd_Box boite;
    BRepBndLib::Add(solide, boite);
    if (boite.IsVoid())
    {
        return 0.0;
    }
    return std::sqrt(boite.SquareExtent());
}

void VerifieVue(const TopoDS_Shape& solide, const moteur::VueDessin& vue, const OrigineVue& o, double rayon,
                std::vector<Ecart>& ecarts)
{
    const double fleche = 0.25 * rayon;
    const Projection projetee = Projette(solide, o.vue, fleche);
    std::vector<Polyligne> dessin;
    for (const moteur::ElementDessin& e : vue.elements)
    {
        if (!e.axe)
        {
            dessin.push_back(PolyligneDessin(e, o, fleche));
        }
    }
    std::vector<Polyligne> toutes = projetee.exigees;
    toutes.insert(toutes.end(), projetee.permises.begin(), projetee.permises.end());
    const Index index_solide(toutes, rayon);
    const Index index_dessin(dessin, rayon);
    const double longueur_min = 3.0 * rayon;
    for (const Polyligne& p : dessin)
    {
        RunsAbsents(p, index_solide, 0.5 * rayon, longueur_min, o.vue, GenreEcart::LigneSansArete, o, ecarts);
    }
    for (const Polyligne& p : projetee.exigees)
    {
        RunsAbsents(p, index_dessin, 0.5 * rayon, longueur_min, o.vue, GenreEcart::AreteAbsente, o, ecarts);
    }
}

} // namespace

std::vector<Ecart> VerifieProjections(const TopoDS_Shape& solide, const moteur::Dessin& dessin,
                                      const std::vector<OrigineVue>& origines, double tolerance)
{
    std::vector<Ecart> ecarts;
    if (solide.IsNull())
    {
        return ecarts;
    }
    // Edges between tangent faces (a flat side running into a rounded end) are
    // smooth: drawings leave them out, and the removal of hidden lines only
    // knows them as such once their continuity is recorded. Boolean operations
    // rebuild edges without it.
    BRepLib::EncodeRegularity(solide, angle_lisse);
    // Two ends merged within the tolerance may each lie a tolerance away; the
    // small relative share absorbs rounding on large parts.
    const double rayon = std::max(2.0 * tolerance, 1e-5 * TaillePiece(solide));
    for (const OrigineVue& o : origines)
    {
        const moteur::VueDessin* vue = dessin.Vue(o.vue);
        if (vue != nullptr && !vue->elements.empty())
        {
            VerifieVue(solide, *vue, o, rayon, ecarts);
        }
    }
    return ecarts;
}

std::string RapportEcarts(const std::vector<Ecart>& ecarts)
{
    std::string rapport;
    for (const Ecart& e : ecarts)
    {
        if (!rapport.empty())
        {
            rapport += '\n';
        }
        rapport += moteur::Texte(e.genre == GenreEcart::LigneSansArete ? moteur::MessageMoteur::EcartLigne
                                                                       : moteur::MessageMoteur::EcartArete,
                                 e.vue, e.x, e.y, e.longueur);
    }
    return rapport;
}

} // namespace Zarvel3D::occt::projection
