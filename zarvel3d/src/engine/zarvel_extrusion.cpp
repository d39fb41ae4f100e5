// Direct mesh of an extrusion. The profile goes through the same planar
// subdivision as in the solid module; each region of material is one face at
// each end of the prism, each piece of its outlines one side face. Curves are
// cut into the segments the module's mesher would make (same angle, same
// chord deviation from the same volume estimate), the end faces are cut into
// triangles between those points only, and the side faces into two triangles
// a segment, so that the mesh counts what the module's counts.

#include "engine/zarvel_extrusion.h"

#include "geometrie_plane.h"
#include "occt/zarvel_occt_decoupe.h"
#include "scene_plan.h"
#include "triangulation_plane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace Zarvel3D::moteur
{

namespace
{

namespace dc = occt::decoupe;
using Point2 = std::array<double, 2>;

template <typename Fonction> void ChaqueBoucle(const dc::Region& r, Fonction f)
{
    f(r.exterieur);
    for (const dc::Boucle& t : r.trous)
    {
        f(t);
    }
}

// The subdivision of a profile the library can sweep itself: lines and
// circular arcs only, nothing ignored, closed, unpinched outlines.
bool Subdivise(const VueDessin& vue, double tolerance, int contours_max, dc::Subdivision& sub)
{
    std::vector<dc::Courbe> courbes;
    for (std::size_t i = 0; i < vue.elements.size(); ++i)
    {
        if (vue.elements[i].axe)
        {
            continue;
        }
        dc::Courbe c;
        if (!dc::CourbeElement(vue.elements[i], tolerance, i, c) || (!c.droite && c.a != c.b))
        {
            return false;
        }
        courbes.push_back(c);
    }
    if (courbes.empty() || dc::Decoupe(courbes, tolerance, dc::croisements_max, sub) != dc::EtatDecoupe::Correct)
    {
        return false;
    }
    std::vector<int> boucles(sub.sommets.size(), 0);
    std::size_t contours = 0;
    auto compte = [&](const dc::Boucle& b)
    {
        ++contours;
        for (const auto& [index, avant] : b.pas)
        {
            const dc::Arete& a = sub.aretes[static_cast<std::size_t>(index)];
            if (++boucles[static_cast<std::size_t>(avant ? a.debut : a.fin)] > 1)
            {
                return false;
            }
        }
        return true;
    };
    for (const dc::Region& r : sub.matiere)
    {
        if (!compte(r.exterieur) ||
            !std::all_of(r.trous.begin(), r.trous.end(), [&](const dc::Boucle& t) { return compte(t); }))
        {
            return false;
        }
    }
    return contours_max <= 0 || contours <= static_cast<std::size_t>(contours_max);
}

// True when two pieces that follow each other along a loop lie on one line or
// one circle (a vertex where another line only touches the outline): the
// module merges their side faces into one, which this mesh does not do.
bool MemeSupport(const dc::Courbe& a, const dc::Courbe& b)
{
    const double echelle = std::max({1.0, std::fabs(a.x1), std::fabs(a.y1), std::fabs(a.cx), std::fabs(a.cy)});
    const double marge = 1e-6 * echelle;
    if (a.droite && b.droite)
    {
        const double lx = a.x2 - a.x1, ly = a.y2 - a.y1;
        const double l = std::hypot(lx, ly);
        auto ecart = [&](double x, double y) { return std::fabs((x - a.x1) * ly - (y - a.y1) * lx) / l; };
        return ecart(b.x1, b.y1) <= marge && ecart(b.x2, b.y2) <= marge;
    }
    return !a.droite && !b.droite && std::fabs(a.cx - b.cx) <= marge && std::fabs(a.cy - b.cy) <= marge &&
           std::fabs(a.a - b.a) <= marge;
}

bool PiecesFusionnables(const dc::Subdivision& sub)
{
    for (const dc::Region& r : sub.matiere)
    {
        bool fusion = false;
        ChaqueBoucle(r,
                     [&](const dc::Boucle& b)
                     {
                         for (std::size_t k = 0; k < b.pas.size() && b.pas.size() > 1; ++k)
                         {
                             const std::size_t suivant = (k + 1) % b.pas.size();
                             fusion = fusion ||
                                      MemeSupport(sub.aretes[static_cast<std::size_t>(b.pas[k].first)].courbe,
                                                  sub.aretes[static_cast<std::size_t>(b.pas[suivant].first)].courbe);
                         }
                     });
        if (fusion)
        {
            return true;
        }
    }
    return false;
}

// One piece of an outline as the mesh sees it: its points in the direction of
// the loop, and its tangents there at both ends.
struct Pas
{
    std::vector<Point2> points;
    Point2 tangente_debut{};
    Point2 tangente_fin{};
    const dc::Courbe* courbe = nullptr;
    bool avant = true;
    bool couture = false;
};

Point2 Unitaire(double x, double y)
{
    const double l = std::hypot(x, y);
    return l > 0.0 ? Point2{x / l, y / l} : Point2{0.0, 0.0};
}

Pas Discretise(const dc::Subdivision& sub, int index, bool avant, double angle, double fleche)
{
    const dc::Arete& a = sub.aretes[static_cast<std::size_t>(index)];
    const dc::Courbe& c = a.courbe;
    const dc::Sommet& s0 = sub.sommets[static_cast<std::size_t>(a.debut)];
    const dc::Sommet& s1 = sub.sommets[static_cast<std::size_t>(a.fin)];
    Pas pas;
    pas.courbe = &c;
    pas.avant = avant;
    pas.points.push_back({s0.x, s0.y});
    if (c.droite)
    {
        pas.tangente_debut = pas.tangente_fin = Unitaire(s1.x - s0.x, s1.y - s0.y);
    }
    else
    {
        // The module's mesher cuts edges to half the chord deviation it is
        // given (and half the angle, which the angle given to it makes up
        // for), and an arc of circle into three segments at least.
        const int n = plan::SegmentsArc(c.a, c.t1 - c.t0, angle, 0.5 * fleche, 3);
        for (int k = 1; k < n; ++k)
        {
            pas.points.push_back(c.Point(c.t0 + (c.t1 - c.t0) * k / n));
        }
        const Point2 d0 = c.Derivee(c.t0);
        const Point2 d1 = c.Derivee(c.t1);
        pas.tangente_debut = Unitaire(d0[0], d0[1]);
        pas.tangente_fin = Unitaire(d1[0], d1[1]);
        pas.couture = a.debut == a.fin;
    }
    pas.points.push_back({s1.x, s1.y});
    if (!avant)
    {
        std::reverse(pas.points.begin(), pas.points.end());
        const Point2 debut = pas.tangente_debut;
        pas.tangente_debut = {-pas.tangente_fin[0], -pas.tangente_fin[1]};
        pas.tangente_fin = {-debut[0], -debut[1]};
    }
    return pas;
}

// Twice the signed area a piece sweeps about the origin (Green's formula),
// exact along arcs.
double DoubleAire(const dc::Subdivision& sub, int index, bool avant)
{
    const dc::Arete& a = sub.aretes[static_cast<std::size_t>(index)];
    const dc::Courbe& c = a.courbe;
    double aire = 0.0;
    if (c.droite)
    {
        const dc::Sommet& s0 = sub.sommets[static_cast<std::size_t>(a.debut)];
        const dc::Sommet& s1 = sub.sommets[static_cast<std::size_t>(a.fin)];
        aire = s0.x * s1.y - s1.x * s0.y;
    }
    else
    {
        const double r = c.a;
        aire = r * c.cx * (std::sin(c.t1) - std::sin(c.t0)) - r * c.cy * (std::cos(c.t1) - std::cos(c.t0)) +
               r * r * (c.t1 - c.t0);
    }
    return avant ? aire : -aire;
}

// The outlines of the profile, cut into the mesh's points, and what the
// deviation and the angle depend on.
struct Profil
{
    struct Region
    {
        std::vector<std::vector<Pas>> boucles; // the outline first, then the holes
    };
    std::vector<Region> regions;
    double aire = 0.0;
    double longueur_courbe = 0.0; // of the arcs, for the curved faces' area
    double arc_min = std::numeric_limits<double>::infinity();
    double boite[4] = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
};

void Mesure(const dc::Subdivision& sub, Profil& profil)
{
    for (const dc::Region& r : sub.matiere)
    {
        ChaqueBoucle(r,
                     [&](const dc::Boucle& b)
                     {
                         for (const auto& [index, avant] : b.pas)
                         {
                             const dc::Courbe& c = sub.aretes[static_cast<std::size_t>(index)].courbe;
                             profil.aire += 0.5 * DoubleAire(sub, index, avant);
                             geometrie::Boite boite =
                                 c.droite ? geometrie::BoiteSegment(c.x1, c.y1, c.x2, c.y2)
                                          : geometrie::BoiteArc({c.cx, c.cy, c.a, 0.0, 0.0, c.a, c.t0, c.t1});
                             profil.boite[0] = std::min(profil.boite[0], boite.xmin);
                             profil.boite[1] = std::min(profil.boite[1], boite.ymin);
                             profil.boite[2] = std::max(profil.boite[2], boite.xmax);
                             profil.boite[3] = std::max(profil.boite[3], boite.ymax);
                             if (!c.droite)
                             {
                                 profil.longueur_courbe += c.a * (c.t1 - c.t0);
                                 profil.arc_min = std::min(profil.arc_min, c.t1 - c.t0);
                             }
                         }
                     });
    }
}

void Decoupe(const dc::Subdivision& sub, double angle, double fleche, Profil& profil)
{
    for (const dc::Region& r : sub.matiere)
    {
        Profil::Region region;
        ChaqueBoucle(r,
                     [&](const dc::Boucle& b)
                     {
                         std::vector<Pas> boucle;
                         for (const auto& [index, avant] : b.pas)
                         {
                             boucle.push_back(Discretise(sub, index, avant, angle, fleche));
                         }
                         region.boucles.push_back(std::move(boucle));
                     });
        profil.regions.push_back(std::move(region));
    }
}

double Angle(const Point2& a, const Point2& b)
{
    return std::atan2(std::fabs(a[0] * b[1] - a[1] * b[0]), a[0] * b[0] + a[1] * b[1]);
}

// The module draws the edge between two side faces unless they meet at less
// than the parameters' angle; between two planes, it compares the sine of
// their angle with that angle in radians (measured: planes at 37.7 degrees
// meet smoothly for 35). Past the largest parameter below, even perpendicular
// planes come close to that limit: such meshes are left to the module.
constexpr double parametre_vif_max = 0.9;

double ParametreVif(const ParametresZarvel& p)
{
    return std::max(std::max(0.0, static_cast<double>(p.angle_aretes)) * M_PI / 180.0, 1e-10);
}

// Angle from which the side faces of two pieces meet at a drawn edge.
double SeuilVif(double parametre, const Pas& a, const Pas& b)
{
    return a.courbe->droite && b.courbe->droite ? std::asin(std::min(parametre, 1.0)) : parametre;
}

// True when two side faces meet at an angle within 3 degrees of the sharp
// edges' threshold, where the module's sampled test may go either way: such
// a profile is left to it.
bool AnglesIncertains(const Profil& profil, double parametre)
{
    for (const Profil::Region& region : profil.regions)
    {
        for (const std::vector<Pas>& boucle : region.boucles)
        {
            for (std::size_t k = 0; k < boucle.size(); ++k)
            {
                const Pas& precedent = boucle[(k + boucle.size() - 1) % boucle.size()];
                const double angle = Angle(precedent.tangente_fin, boucle[k].tangente_debut);
                if (!boucle[k].couture &&
                    std::fabs(angle - SeuilVif(parametre, precedent, boucle[k])) < 0.05)
                {
                    return true;
                }
            }
        }
    }
    return false;
}

// The end faces of one region: its points (each piece's, but its last) and
// their triangles, counter-clockwise in the profile's plane.
struct Bouchon
{
    std::vector<Point2> points;
    std::vector<std::array<std::size_t, 3>> triangles;
};

bool Triangule(const Profil::Region& region, Bouchon& bouchon)
{
    std::vector<geometrie::Anneau> anneaux;
    for (const std::vector<Pas>& boucle : region.boucles)
    {
        geometrie::Anneau anneau;
        for (const Pas& pas : boucle)
        {
            for (std::size_t k = 0; k + 1 < pas.points.size(); ++k)
            {
                anneau.push_back(bouchon.points.size());
                bouchon.points.push_back(pas.points[k]);
            }
        }
        anneaux.push_back(std::move(anneau));
    }
    const std::vector<geometrie::Anneau> trous(anneaux.begin() + 1, anneaux.end());
    return geometrie::TriangulePolygone(bouchon.points, anneaux.front(), trous, bouchon.triangles);
}

// Builds the scene of the prism: the profile's plane is the view's local XY
// plane, swept along its local Z by `hauteur`.
class Prisme
{
public:
    Prisme(int vue, double h, const ParametresZarvel& p, PScene3D& s)
        : id(vue), hauteur(h), signe(h > 0.0 ? 1.0 : -1.0), couleur(plan::CouleurSolide(p)), scene(s)
    {
        parametre_vif = ParametreVif(p);
    }

    void AjouteSommetsSolide(const dc::Subdivision& sub)
    {
        std::vector<bool> vu(sub.sommets.size(), false);
        for (const dc::Region& r : sub.matiere)
        {
            ChaqueBoucle(r,
                         [&](const dc::Boucle& b)
                         {
                             for (const auto& [index, avant] : b.pas)
                             {
                                 const dc::Arete& a = sub.aretes[static_cast<std::size_t>(index)];
                                 const int s = avant ? a.debut : a.fin;
                                 if (vu[static_cast<std::size_t>(s)])
                                 {
                                     continue;
                                 }
                                 vu[static_cast<std::size_t>(s)] = true;
                                 const dc::Sommet& p = sub.sommets[static_cast<std::size_t>(s)];
                                 scene.AjoutSommet(Place(p.x, p.y, 0.0), Pvec3());
                                 scene.AjoutSommet(Place(p.x, p.y, hauteur), Pvec3());
                             }
                         });
        }
    }

    void AjouteRegion(const Profil::Region& region, const Bouchon& bouchon)
    {
        const unsigned int bas = AjouteBouchon(bouchon, 0.0, -signe);
        const unsigned int haut = AjouteBouchon(bouchon, hauteur, signe);
        unsigned int decalage = 0;
        for (const std::vector<Pas>& boucle : region.boucles)
        {
            const unsigned int debut_boucle = decalage;
            for (std::size_t k = 0; k < boucle.size(); ++k)
            {
                const Pas& pas = boucle[k];
                const Pas& precedent = boucle[(k + boucle.size() - 1) % boucle.size()];
                const unsigned int cote = AjouteCote(pas);
                const unsigned int n = static_cast<unsigned int>(pas.points.size() - 1);
                // The end faces meet the sides at right angles: always sharp.
                for (unsigned int i = 0; i < n; ++i)
                {
                    const unsigned int j = (i + 1 == n && k + 1 == boucle.size()) ? debut_boucle : decalage + i + 1;
                    scene.AjoutSegment(bas + decalage + i, bas + j);
                    scene.AjoutSegment(haut + decalage + i, haut + j);
                }
                if (!pas.couture && Angle(precedent.tangente_fin, pas.tangente_debut) >=
                                        SeuilVif(parametre_vif, precedent, pas))
                {
                    scene.AjoutSegment(cote, cote + n + 1);
                }
                decalage += n;
            }
        }
    }

private:
    Pvec3 Place(double u, double v, double w) const
    {
        switch (id)
        {
        case VueDessus:
            return Pvec3(u, w, -v);
        case VueCote:
            return Pvec3(w, v, -u);
        default:
            return Pvec3(u, v, w);
        }
    }

    unsigned int Noeud(double u, double v, double w, double nu, double nv, double nw)
    {
        const Pvec3 position = Place(u, v, w);
        const Pvec3 normale = Place(nu, nv, nw);
        const unsigned int index = scene.AjoutSommet(position, Pvec3(normale.x, normale.y, normale.z));
        scene.ModeleEdition().sommets[index].visible = 0;
        return index;
    }

    // One end face at `w`, facing `sens` along the sweep; returns its first node.
    unsigned int AjouteBouchon(const Bouchon& bouchon, double w, double sens)
    {
        const unsigned int premier = static_cast<unsigned int>(scene.Modele().sommets.size());
        for (const Point2& p : bouchon.points)
        {
            Noeud(p[0], p[1], w, 0.0, 0.0, sens);
        }
        const unsigned int surface = scene.AjoutSurface();
        for (const auto& t : bouchon.triangles)
        {
            const unsigned int a = premier + static_cast<unsigned int>(t[0]);
            const unsigned int b = premier + static_cast<unsigned int>(t[1]);
            const unsigned int c = premier + static_cast<unsigned int>(t[2]);
            if (sens > 0.0)
            {
                scene.AjoutTriangle(surface, a, b, c, couleur);
            }
            else
            {
                scene.AjoutTriangle(surface, a, c, b, couleur);
            }
        }
        return premier;
    }

    // The side face of one piece: its points at the start of the sweep, then
    // at its end; returns its first node.
    unsigned int AjouteCote(const Pas& pas)
    {
        const unsigned int premier = static_cast<unsigned int>(scene.Modele().sommets.size());
        for (double w : {0.0, hauteur})
        {
            for (std::size_t k = 0; k < pas.points.size(); ++k)
            {
                const Point2 n = NormaleCote(pas, k);
                Noeud(pas.points[k][0], pas.points[k][1], w, n[0], n[1], 0.0);
            }
        }
        const unsigned int m = static_cast<unsigned int>(pas.points.size());
        const unsigned int surface = scene.AjoutSurface();
        for (unsigned int k = 0; k + 1 < m; ++k)
        {
            const unsigned int b0 = premier + k, b1 = b0 + 1, h0 = b0 + m, h1 = h0 + 1;
            if (signe > 0.0)
            {
                scene.AjoutTriangle(surface, b0, b1, h1, couleur);
                scene.AjoutTriangle(surface, b0, h1, h0, couleur);
            }
            else
            {
                scene.AjoutTriangle(surface, b0, h1, b1, couleur);
                scene.AjoutTriangle(surface, b0, h0, h1, couleur);
            }
        }
        return premier;
    }

    // Outward normal of a side face at a point: to the right of the loop's
    // direction, the material lying on its left.
    static Point2 NormaleCote(const Pas& pas, std::size_t k)
    {
        const dc::Courbe& c = *pas.courbe;
        if (c.droite)
        {
            return {pas.tangente_debut[1], -pas.tangente_debut[0]};
        }
        const Point2 radiale = Unitaire(pas.points[k][0] - c.cx, pas.points[k][1] - c.cy);
        return pas.avant ? radiale : Point2{-radiale[0], -radiale[1]};
    }

    int id;
    double hauteur;
    double signe;
    double parametre_vif = 0.0;
    PCouleur3D couleur;
    PScene3D& scene;
};

// Box of the mesh's nodes, where the module places the drawn views too.
plan::BoiteModele BoiteNoeuds(const PScene3D& scene)
{
    plan::BoiteModele boite;
    std::fill(std::begin(boite.min), std::end(boite.min), std::numeric_limits<double>::infinity());
    std::fill(std::begin(boite.max), std::end(boite.max), -std::numeric_limits<double>::infinity());
    for (const auto& s : scene.Modele().sommets)
    {
        const double c[3] = {s.position.x, s.position.y, s.position.z};
        for (int k = 0; k < 3; ++k)
        {
            boite.min[k] = std::min(boite.min[k], c[k]);
            boite.max[k] = std::max(boite.max[k], c[k]);
        }
    }
    return boite;
}

} // namespace

bool ExtrusionDirecte(const Dessin& dessin, const ParametresZarvel& parametres, double longueur,
                      PScene3D& scene)
{
    const double tolerance =
        std::isfinite(parametres.tolerance) && parametres.tolerance > 0.0 ? parametres.tolerance : 1e-6;
    const int id = plan::VueProfil(dessin, VueDessus);
    if (id == 0 || parametres.developpes || !std::isfinite(longueur) || std::fabs(longueur) <= tolerance ||
        ParametreVif(parametres) > parametre_vif_max)
    {
        return false;
    }
    dc::Subdivision sub;
    if (!Subdivise(*dessin.Vue(id), tolerance, parametres.elements_max, sub) || PiecesFusionnables(sub))
    {
        return false;
    }
    // The sweep goes up from the floor, back from the front face or right
    // from the side face: along the local Z of the front view's plane
    // backwards, of the others forwards.
    const double hauteur = id == VueFace ? -longueur : longueur;
    Profil profil;
    Mesure(sub, profil);
    const double diagonale = std::sqrt(std::pow(profil.boite[2] - profil.boite[0], 2) +
                                       std::pow(profil.boite[3] - profil.boite[1], 2) + hauteur * hauteur);
    const double h = std::fabs(hauteur);
    const double angle = plan::AngleMaillage(parametres, profil.arc_min);
    const double fleche = plan::FlecheMaillage(diagonale, std::fabs(profil.aire) * h, profil.longueur_courbe * h,
                                               parametres);
    Decoupe(sub, angle, fleche, profil);
    if (AnglesIncertains(profil, ParametreVif(parametres)))
    {
        return false;
    }
    std::vector<Bouchon> bouchons(profil.regions.size());
    for (std::size_t r = 0; r < profil.regions.size(); ++r)
    {
        if (!Triangule(profil.regions[r], bouchons[r]))
        {
            return false;
        }
    }

    scene.Vide();
    Prisme prisme(id, hauteur, parametres, scene);
    prisme.AjouteSommetsSolide(sub);
    for (std::size_t r = 0; r < profil.regions.size(); ++r)
    {
        prisme.AjouteRegion(profil.regions[r], bouchons[r]);
    }
    scene.Recalcule();
    if (!parametres.sans_projections)
    {
        plan::AjouteProjections(dessin, parametres, BoiteNoeuds(scene), scene);
    }
    return true;
}

} // namespace Zarvel3D::moteur
