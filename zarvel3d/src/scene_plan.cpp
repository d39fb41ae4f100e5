// The drawn views beside a generated model, the solid's colour and the profile's view.

#include "scene_plan.h"

#include "geometrie_plane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace Zarvel3D::plan
{

namespace
{

using Point = std::array<double, 3>;

// Segments of the stroke letters, on a grid 4 wide and 6 high.
struct Glyphe
{
    char lettre;
    std::vector<std::array<double, 4>> traits;
};

const std::vector<Glyphe>& Police()
{
    static const std::vector<Glyphe> police = {
        {'A', {{0, 0, 2, 6}, {2, 6, 4, 0}, {1, 3, 3, 3}}},
        {'C', {{4, 6, 0, 6}, {0, 6, 0, 0}, {0, 0, 4, 0}}},
        {'D', {{0, 0, 0, 6}, {0, 6, 3, 6}, {3, 6, 4, 5}, {4, 5, 4, 1}, {4, 1, 3, 0}, {3, 0, 0, 0}}},
        {'E', {{4, 6, 0, 6}, {0, 6, 0, 0}, {0, 0, 4, 0}, {0, 3, 3, 3}}},
        {'F', {{4, 6, 0, 6}, {0, 6, 0, 0}, {0, 3, 3, 3}}},
        {'I', {{2, 0, 2, 6}, {1, 0, 3, 0}, {1, 6, 3, 6}}},
        {'N', {{0, 0, 0, 6}, {0, 6, 4, 0}, {4, 0, 4, 6}}},
        {'O', {{0, 0, 4, 0}, {4, 0, 4, 6}, {4, 6, 0, 6}, {0, 6, 0, 0}}},
        {'P', {{0, 0, 0, 6}, {0, 6, 4, 6}, {4, 6, 4, 3}, {4, 3, 0, 3}}},
        {'R', {{0, 0, 0, 6}, {0, 6, 4, 6}, {4, 6, 4, 3}, {4, 3, 0, 3}, {1, 3, 4, 0}}},
        {'S', {{4, 6, 0, 6}, {0, 6, 0, 3}, {0, 3, 4, 3}, {4, 3, 4, 0}, {4, 0, 0, 0}}},
        {'T', {{0, 6, 4, 6}, {2, 6, 2, 0}}},
        {'U', {{0, 6, 0, 0}, {0, 0, 4, 0}, {4, 0, 4, 6}}},
    };
    return police;
}

// origine + u droite + v haut.
Point Combine(const Point& origine, const Point& droite, double u, const Point& haut, double v)
{
    return {origine[0] + u * droite[0] + v * haut[0], origine[1] + u * droite[1] + v * haut[1],
            origine[2] + u * droite[2] + v * haut[2]};
}

Pvec3 Vers(const Point& p)
{
    return Pvec3(p[0], p[1], p[2], -1);
}

// A stroke text along `droite`, letters standing along `haut`, starting at `origine`.
PTexte3D Texte3D(const char* texte, const Point& origine, const Point& droite, const Point& haut, double hauteur,
                 PCouleur3D couleur)
{
    PTexte3D resultat;
    const double echelle = hauteur / 6.0;
    double avance = 0.0;
    for (const char* c = texte; *c != '\0'; ++c)
    {
        for (const Glyphe& g : Police())
        {
            if (g.lettre != *c)
            {
                continue;
            }
            for (const auto& t : g.traits)
            {
                PSegment3D s;
                s.p1 = Vers(Combine(origine, droite, (avance + t[0]) * echelle, haut, t[1] * echelle));
                s.p2 = Vers(Combine(origine, droite, (avance + t[2]) * echelle, haut, t[3] * echelle));
                s.couleur = couleur;
                resultat.traits.push_back(s);
            }
        }
        avance += 6.0;
    }
    return resultat;
}

// Points of a drawn element in its view's plane.
std::vector<std::array<double, 2>> PointsElement(const moteur::ElementDessin& e, int divisions_tour,
                                                 int divisions_min)
{
    std::vector<std::array<double, 2>> points;
    if (e.type == moteur::TypeElement::Ligne)
    {
        points.push_back({e.x1, e.y1});
        points.push_back({e.x2, e.y2});
        return points;
    }
    const double ecart = e.fin - e.debut;
    const double etendue = std::fabs(ecart) >= 360.0 ? 360.0 : geometrie::Ramene(ecart, 0.0, 360.0);
    const int n = std::max(divisions_min, static_cast<int>(std::ceil(divisions_tour * etendue / 360.0)));
    const double rot = e.rotation * M_PI / 180.0;
    for (int i = 0; i <= n; ++i)
    {
        const double t = (e.debut + etendue * i / n) * M_PI / 180.0;
        const double lx = 0.5 * e.largeur * std::cos(t);
        const double ly = 0.5 * e.hauteur * std::sin(t);
        points.push_back(
            {e.cx + lx * std::cos(rot) - ly * std::sin(rot), e.cy + lx * std::sin(rot) + ly * std::cos(rot)});
    }
    return points;
}

PCouleur3D CouleurProjection(const moteur::ElementDessin& e)
{
    PCouleur3D c;
    c.definie = 1;
    if (e.axe)
    {
        // Construction lines in blue, hidden lines lighter than visible ones.
        c.rouge = 0;
        c.vert = 0;
        c.bleu = 160;
    }
    else if (e.cache)
    {
        const bool noir = e.couleur[0] == 0 && e.couleur[1] == 0 && e.couleur[2] == 0;
        c.rouge = noir ? 128 : static_cast<std::uint8_t>(e.couleur[0] / 2);
        c.vert = noir ? 128 : static_cast<std::uint8_t>(e.couleur[1] / 2);
        c.bleu = noir ? 128 : static_cast<std::uint8_t>(e.couleur[2] / 2);
    }
    else
    {
        c.rouge = e.couleur[0];
        c.vert = e.couleur[1];
        c.bleu = e.couleur[2];
    }
    return c;
}

// The label of a view: its name, where it starts and its directions.
struct Etiquette
{
    const char* nom;
    Point origine;
    Point droite;
    Point haut;
};

Etiquette EtiquetteVue(int id, const BoiteModele& boite, double ecart, double h)
{
    const bool anglais = i18n::Langue() == i18n::LANG_EN;
    switch (id)
    {
    case moteur::VueFace:
        return {anglais ? "FRONT" : "FACE",
                {boite.min[0], boite.min[1] - 1.5 * h, boite.min[2] - ecart},
                {1, 0, 0},
                {0, 1, 0}};
    case moteur::VueCote:
        return {anglais ? "SIDE" : "COTE",
                {boite.min[0] - ecart, boite.min[1] - 1.5 * h, boite.max[2]},
                {0, 0, -1},
                {0, 1, 0}};
    default:
        return {anglais ? "TOP" : "DESSUS",
                {boite.min[0], boite.min[1] - ecart, boite.max[2] + 1.5 * h},
                {1, 0, 0},
                {0, 0, -1}};
    }
}

} // namespace

int VueProfil(const moteur::Dessin& dessin, int preferee)
{
    const moteur::VueDessin* vue = dessin.Vue(preferee);
    if (vue != nullptr && !vue->elements.empty())
    {
        return preferee;
    }
    int trouvee = 0;
    int nombre = 0;
    for (int id : {moteur::VueFace, moteur::VueCote, moteur::VueDessus})
    {
        if (!dessin.Vue(id)->elements.empty())
        {
            trouvee = id;
            ++nombre;
        }
    }
    return nombre == 1 ? trouvee : 0;
}

double AngleMaillage(const ParametresZarvel& p, double arc_min)
{
    const int tour = std::max(3, p.divisions_tour);
    const int minimum = std::max(1, p.divisions_min);
    const double angle = std::min(2.0 * M_PI / tour, arc_min / minimum);
    // A sliver arc must not blow up the whole mesh: the finer angle it asks
    // for applies to every curve, and a surface of revolution is meshed as a
    // grid of (turn / angle) by (profile arc / angle) nodes. Curves get at
    // most twice a full turn's divisions (64 at least); a sliver then gets
    // fewer than divisions_min segments.
    const double plus_fin = 2.0 * M_PI / std::min(1024, std::max(64, 2 * tour));
    return std::min(std::max(angle, plus_fin), angle_max_maillage);
}

// A facet whose chords stray by at most f from a curve lies on average 2/3 f
// from it (parabolic segments), in each direction the face is curved, so
// faceting a face of area A moves at most 2/3 f A of volume per curved
// direction; the curved faces share the budget, a quarter of it kept in
// reserve for the approximation. Planar faces cost nothing: a plate with
// small holes gets the finesse its holes need, not the one a radius-based
// rule would give every curve.
double FlecheMaillage(double diagonale, double volume, double aire_courbee, const ParametresZarvel& p)
{
    if (std::isfinite(p.fleche) && p.fleche > 0.0f)
    {
        return p.fleche;
    }
    // Share of the solid's volume the faceted mesh may gain or lose.
    constexpr double ecart_volume_max = 1e-3;
    double fleche = 1.5e-4 * diagonale;
    if (aire_courbee > 0.0 && volume > 0.0)
    {
        fleche = std::min(fleche, 0.75 * ecart_volume_max * volume / (2.0 / 3.0 * aire_courbee));
    }
    // A thin shell must not fill the whole part with triangles.
    return std::max(fleche, std::max(1e-5 * diagonale, 1e-7));
}

int SegmentsArc(double rayon, double etendue, double angle, double fleche, int minimum)
{
    double pas = angle;
    if (rayon > fleche)
    {
        pas = std::min(pas, 2.0 * std::acos(1.0 - fleche / rayon));
    }
    return std::max(minimum, static_cast<int>(std::ceil(etendue / pas - 1e-9)));
}

PCouleur3D CouleurSolide(const ParametresZarvel& p)
{
    const unsigned int index_ral = RAL::RechercheIndex(p.couleur_ral);
    if (index_ral == 0)
    {
        return PCouleur3D();
    }
    const RAL& ral = RAL::Index(index_ral);
    return PCouleur3D{ral.rouge, ral.vert, ral.bleu, 1};
}

void AjouteProjections(const moteur::Dessin& dessin, const ParametresZarvel& p, const BoiteModele& boite,
                       PScene3D& scene)
{
    const double etendue =
        std::max({boite.max[0] - boite.min[0], boite.max[1] - boite.min[1], boite.max[2] - boite.min[2]});
    const double ecart = 0.25 * etendue;
    PCouleur3D couleur_texte;
    couleur_texte.definie = 1;
    couleur_texte.bleu = 160;
    for (int id : {moteur::VueFace, moteur::VueCote, moteur::VueDessus})
    {
        const moteur::VueDessin& vue = *dessin.Vue(id);
        if ((p.vues_ignorees & id) != 0 || vue.elements.empty())
        {
            continue;
        }
        std::vector<std::vector<std::array<double, 2>>> traces;
        double umin = 1e300;
        double vmin = 1e300;
        for (const moteur::ElementDessin& e : vue.elements)
        {
            traces.push_back(PointsElement(e, std::max(3, p.divisions_tour), std::max(1, p.divisions_min)));
            for (const auto& q : traces.back())
            {
                umin = std::min(umin, q[0]);
                vmin = std::min(vmin, q[1]);
            }
        }
        // Each view stands on its own plane beside the model: the front view
        // behind it, the side view to its left, the top view under it.
        auto place = [&](const std::array<double, 2>& q) -> Point
        {
            const double u = q[0] - umin;
            const double v = q[1] - vmin;
            switch (id)
            {
            case moteur::VueFace:
                return {boite.min[0] + u, boite.min[1] + v, boite.min[2] - ecart};
            case moteur::VueCote:
                return {boite.min[0] - ecart, boite.min[1] + v, boite.max[2] - u};
            default:
                return {boite.min[0] + u, boite.min[1] - ecart, boite.max[2] - v};
            }
        };
        for (std::size_t i = 0; i < traces.size(); ++i)
        {
            const PCouleur3D couleur = CouleurProjection(vue.elements[i]);
            for (std::size_t k = 1; k < traces[i].size(); ++k)
            {
                scene.AjoutProjection(Vers(place(traces[i][k - 1])), Vers(place(traces[i][k])), couleur);
            }
        }
        if (p.taille_textes > 0)
        {
            const double h = etendue * p.taille_textes / 100.0;
            const Etiquette e = EtiquetteVue(id, boite, ecart, h);
            scene.TextesEdition().push_back(Texte3D(e.nom, e.origine, e.droite, e.haut, h, couleur_texte));
        }
    }
}

} // namespace Zarvel3D::plan
