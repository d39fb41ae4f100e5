#include "zarvel_dxf_vues.h"

#include "ensembles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace Zarvel3D::dxf
{

namespace
{

using geometrie::DistanceBoites;

constexpr std::size_t groupes_max = 20000;

struct Groupe
{
    std::vector<std::size_t> courbes; // geometry (no centre lines)
    std::vector<std::size_t> axes;    // centre lines given to this group
    std::vector<std::size_t> points;
    Boite boite;
    bool retire = false;
    double Aire() const { return boite.Largeur() * boite.Hauteur(); }
};

bool Proche(double a, double b, double tol)
{
    return std::fabs(a - b) <= tol;
}

// Joins curves whose ends meet within `tol`. The grid's cells are tol / 2 wide, so that the ends
// in one cell are all within tol of each other and join the cell's first curve at once: ends
// piled up in one spot (tiny entities, lines drawn many times over) cost a constant each instead
// of a comparison with every other. A neighbouring cell is searched only while it is not joined
// yet and its box comes within tol.
void JointExtremites(const Dessin& d, const std::vector<std::size_t>& indices, double tol, Ensembles& ens)
{
    const double pas = std::max(tol, 1e-9) / 2.0;
    struct Case
    {
        std::size_t premiere; // curve of the first end put in the cell
        Boite boite;          // of the ends put in the cell
        std::vector<std::array<double, 2>> extremites;
    };
    struct HachageCase
    {
        std::size_t operator()(const std::pair<std::int64_t, std::int64_t>& c) const
        {
            return static_cast<std::size_t>(static_cast<std::uint64_t>(c.first) * 0x9E3779B97F4A7C15ULL ^
                                            static_cast<std::uint64_t>(c.second));
        }
    };
    std::unordered_map<std::pair<std::int64_t, std::int64_t>, Case, HachageCase> grille;
    for (std::size_t k = 0; k < indices.size(); ++k)
    {
        const Courbe& c = d.courbes[indices[k]];
        if (c.Complete())
        {
            continue;
        }
        for (const auto& p : {c.Debut(), c.Fin()})
        {
            Boite point;
            point.Ajout(p[0], p[1]);
            const auto ix = static_cast<std::int64_t>(std::floor(p[0] / pas));
            const auto iy = static_cast<std::int64_t>(std::floor(p[1] / pas));
            // Ends within tol lie at most two cells away on each axis.
            for (std::int64_t dx = -2; dx <= 2; ++dx)
            {
                for (std::int64_t dy = -2; dy <= 2; ++dy)
                {
                    auto it = grille.find({ix + dx, iy + dy});
                    if (it == grille.end())
                    {
                        continue;
                    }
                    const Case& voisine = it->second;
                    if (ens.Racine(voisine.premiere) == ens.Racine(k))
                    {
                        continue;
                    }
                    if (dx == 0 && dy == 0)
                    {
                        ens.Union(k, voisine.premiere);
                        continue;
                    }
                    if (DistanceBoites(voisine.boite, point) > tol)
                    {
                        continue;
                    }
                    for (const auto& autre : voisine.extremites)
                    {
                        if (std::hypot(autre[0] - p[0], autre[1] - p[1]) <= tol)
                        {
                            ens.Union(k, voisine.premiere);
                            break;
                        }
                    }
                }
            }
            Case& maison = grille.try_emplace({ix, iy}, Case{k, {}, {}}).first->second;
            maison.boite.Ajout(point);
            maison.extremites.push_back(p);
        }
    }
}

// Merges groups whose boxes overlap (nested outlines, holes, features inside a view).
void FusionneChevauchements(std::vector<Groupe>& groupes, double tol)
{
    bool change = true;
    while (change)
    {
        change = false;
        std::vector<std::size_t> ordre;
        for (std::size_t i = 0; i < groupes.size(); ++i)
        {
            if (!groupes[i].retire)
            {
                ordre.push_back(i);
            }
        }
        std::sort(ordre.begin(), ordre.end(),
                  [&](std::size_t a, std::size_t b)
                  { return groupes[a].boite.xmin < groupes[b].boite.xmin; });
        for (std::size_t a = 0; a < ordre.size(); ++a)
        {
            Groupe& ga = groupes[ordre[a]];
            if (ga.retire)
            {
                continue;
            }
            for (std::size_t b = a + 1; b < ordre.size(); ++b)
            {
                Groupe& gb = groupes[ordre[b]];
                if (gb.boite.xmin > ga.boite.xmax + tol)
                {
                    break;
                }
                if (gb.retire || !ga.boite.Touche(gb.boite, tol))
                {
                    continue;
                }
                ga.courbes.insert(ga.courbes.end(), gb.courbes.begin(), gb.courbes.end());
                ga.boite.Ajout(gb.boite);
                gb.retire = true;
                gb.courbes.clear();
                change = true;
            }
        }
    }
}

// Length of the side [debut, fin] covered by the segments of `g` lying on the line
// coordinate = valeur (horizontal when `horizontal`).
double Couverture(const Dessin& d, const Groupe& g, bool horizontal, double valeur, double debut, double fin,
                  double tol)
{
    std::vector<std::pair<double, double>> morceaux;
    for (std::size_t i : g.courbes)
    {
        const Courbe& c = d.courbes[i];
        if (!c.segment)
        {
            continue;
        }
        if (horizontal && Proche(c.y1, valeur, tol) && Proche(c.y2, valeur, tol))
        {
            morceaux.push_back({std::min(c.x1, c.x2), std::max(c.x1, c.x2)});
        }
        else if (!horizontal && Proche(c.x1, valeur, tol) && Proche(c.x2, valeur, tol))
        {
            morceaux.push_back({std::min(c.y1, c.y2), std::max(c.y1, c.y2)});
        }
    }
    std::sort(morceaux.begin(), morceaux.end());
    double couvert = 0.0;
    double position = debut;
    for (const auto& m : morceaux)
    {
        const double a = std::max(m.first, position);
        const double b = std::min(m.second, fin);
        if (b > a)
        {
            couvert += b - a;
            position = b;
        }
    }
    return couvert;
}

// A frame: a rectangle of horizontal and vertical segments around every other group.
bool EstCadre(const Dessin& d, const std::vector<Groupe>& groupes, std::size_t i, double tol, bool exige_plus,
              std::size_t& segments_interieurs)
{
    const Groupe& g = groupes[i];
    bool autre = false;
    for (std::size_t j = 0; j < groupes.size(); ++j)
    {
        if (j == i || groupes[j].retire)
        {
            continue;
        }
        if (!g.boite.Contient(groupes[j].boite, tol))
        {
            return false;
        }
        autre = true;
    }
    if (!autre || g.courbes.size() < 4)
    {
        return false;
    }
    const Boite& b = g.boite;
    segments_interieurs = 0;
    for (std::size_t k : g.courbes)
    {
        const Courbe& c = d.courbes[k];
        if (!c.segment || (!Proche(c.x1, c.x2, tol) && !Proche(c.y1, c.y2, tol)))
        {
            return false;
        }
        const bool bord =
            (Proche(c.x1, c.x2, tol) && (Proche(c.x1, b.xmin, tol) || Proche(c.x1, b.xmax, tol))) ||
            (Proche(c.y1, c.y2, tol) && (Proche(c.y1, b.ymin, tol) || Proche(c.y1, b.ymax, tol)));
        if (!bord)
        {
            ++segments_interieurs;
        }
    }
    const double w = b.Largeur();
    const double h = b.Hauteur();
    const bool ferme = Couverture(d, g, true, b.ymin, b.xmin, b.xmax, tol) >= 0.98 * w &&
                       Couverture(d, g, true, b.ymax, b.xmin, b.xmax, tol) >= 0.98 * w &&
                       Couverture(d, g, false, b.xmin, b.ymin, b.ymax, tol) >= 0.98 * h &&
                       Couverture(d, g, false, b.xmax, b.ymin, b.ymax, tol) >= 0.98 * h;
    if (!ferme)
    {
        return false;
    }
    if (!exige_plus || segments_interieurs > 0)
    {
        return true;
    }
    // A title block drawn as its own lines, ending on the border without sharing its ends, is
    // a small separate group in one corner of the border, beside a drawing that keeps clear of
    // the border. A part's inner edges end on its outline too, but they span it or follow one
    // side: they are not tucked in a corner with something else standing free inside.
    bool cartouche = false;
    bool dessin_libre = false;
    for (std::size_t j = 0; j < groupes.size(); ++j)
    {
        const Boite& a = groupes[j].boite;
        if (j == i || groupes[j].retire)
        {
            continue;
        }
        const bool gauche = Proche(a.xmin, b.xmin, tol), droite = Proche(a.xmax, b.xmax, tol);
        const bool bas = Proche(a.ymin, b.ymin, tol), haut = Proche(a.ymax, b.ymax, tol);
        if (!gauche && !droite && !bas && !haut)
        {
            dessin_libre = true;
        }
        else if ((gauche != droite) && (bas != haut) && a.Largeur() < 0.6 * w && a.Hauteur() < 0.4 * h)
        {
            cartouche = true;
        }
    }
    if (cartouche && dessin_libre)
    {
        return true;
    }
    // A double border: the inner border, nearly as large, must show that evidence itself.
    for (std::size_t j = 0; j < groupes.size(); ++j)
    {
        const Boite& a = groupes[j].boite;
        if (j != i && !groupes[j].retire && a.Largeur() >= 0.9 * w && a.Hauteur() >= 0.9 * h)
        {
            std::vector<Groupe> sans_bord = groupes;
            sans_bord[i].retire = true;
            std::size_t interieurs = 0;
            if (EstCadre(d, sans_bord, j, tol, true, interieurs))
            {
                return true;
            }
        }
    }
    return false;
}

// Index of the group that takes a centre line or a point of box `b`.
std::size_t GroupeProche(const std::vector<Groupe>& groupes, const Boite& b)
{
    std::size_t meilleur = groupes.size();
    double meilleure_distance = HUGE_VAL;
    double meilleur_recouvrement = -1.0;
    for (std::size_t i = 0; i < groupes.size(); ++i)
    {
        const Groupe& g = groupes[i];
        if (g.retire)
        {
            continue;
        }
        const double rx = std::min(g.boite.xmax, b.xmax) - std::max(g.boite.xmin, b.xmin);
        const double ry = std::min(g.boite.ymax, b.ymax) - std::max(g.boite.ymin, b.ymin);
        if (rx >= 0.0 && ry >= 0.0)
        {
            const double r = std::max(rx, 0.0) + std::max(ry, 0.0);
            if (r > meilleur_recouvrement)
            {
                meilleur_recouvrement = r;
                meilleur = i;
                meilleure_distance = 0.0;
            }
            continue;
        }
        if (meilleur_recouvrement < 0.0)
        {
            const double dist = DistanceBoites(g.boite, b);
            if (dist < meilleure_distance)
            {
                meilleure_distance = dist;
                meilleur = i;
            }
        }
    }
    return meilleur;
}

Vue VueDeGroupe(const Groupe& g, int id, bool miroir)
{
    Vue v;
    v.id = id;
    v.courbes = g.courbes;
    v.courbes.insert(v.courbes.end(), g.axes.begin(), g.axes.end());
    v.points = g.points;
    v.boite = g.boite;
    v.largeur = g.boite.Largeur();
    v.hauteur = g.boite.Hauteur();
    v.miroir = miroir;
    if (miroir)
    {
        v.locale = Affine{-1.0, 0.0, 0.0, 1.0, g.boite.xmax, -g.boite.ymin};
    }
    else
    {
        v.locale = Affine{1.0, 0.0, 0.0, 1.0, -g.boite.xmin, -g.boite.ymin};
    }
    return v;
}

// The same drawing with its axes swapped (u = y, v = x), for a view deduced from another.
Vue VueTransposee(const Vue& source, int id)
{
    Vue v = source;
    v.id = id;
    v.copie_de = source.id;
    v.locale = Affine{0.0, 1.0, 1.0, 0.0, 0.0, 0.0}.Compose(source.locale);
    std::swap(v.largeur, v.hauteur);
    return v;
}

// Whether view `v` shows a whole circle about the centre of its extent.
bool CercleCentre(const Dessin& d, const Vue& v, double tol)
{
    const double cx = 0.5 * (v.boite.xmin + v.boite.xmax);
    const double cy = 0.5 * (v.boite.ymin + v.boite.ymax);
    return std::any_of(v.courbes.begin(), v.courbes.end(),
                       [&](std::size_t i)
                       {
                           const Courbe& c = d.courbes[i];
                           return c.Complete() && c.trait != Trait::Axe && c.ratio > 1.0 - 1e-9 &&
                                  Proche(c.cx, cx, tol) && Proche(c.cy, cy, tol);
                       });
}

// The third view of a two-view plan that repeats neither, left out when nothing else is drawn.
void LaisseAbsente(ResultatVues& r, int id)
{
    if (r.groupes_ignores > 0)
    {
        r.echec = EchecVues::TroisiemeDecalee;
        return;
    }
    r.vue_absente = id;
}

} // namespace

ResultatVues DetecteVues(const Dessin& d, int mode, double tolerance)
{
    ResultatVues r;
    const double tol = tolerance > 0.0 ? tolerance : 0.01;
    std::vector<std::size_t> geometrie;
    std::vector<std::size_t> axes;
    for (std::size_t i = 0; i < d.courbes.size(); ++i)
    {
        (d.courbes[i].trait == Trait::Axe ? axes : geometrie).push_back(i);
    }
    if (geometrie.empty())
    {
        r.echec = EchecVues::RienDessine;
        return r;
    }

    // 1. Groups of curves joined end to end.
    Ensembles ens(geometrie.size());
    JointExtremites(d, geometrie, tol, ens);
    std::vector<Groupe> groupes;
    {
        std::unordered_map<std::size_t, std::size_t> numero;
        for (std::size_t k = 0; k < geometrie.size(); ++k)
        {
            const std::size_t racine = ens.Racine(k);
            auto it = numero.find(racine);
            if (it == numero.end())
            {
                it = numero.emplace(racine, groupes.size()).first;
                groupes.emplace_back();
            }
            Groupe& g = groupes[it->second];
            g.courbes.push_back(geometrie[k]);
            g.boite.Ajout(BoiteCourbe(d.courbes[geometrie[k]]));
        }
    }
    if (groupes.size() > groupes_max)
    {
        r.echec = EchecVues::TropDeGroupes;
        r.groupes = groupes.size();
        return r;
    }

    // 2. Frame: a rectangle around everything else, with its title block; a double border is
    //    two nested frames. In three-view mode a rectangle around the other groups cannot be a
    //    view, elsewhere it may be a plate with holes unless it carries more than its border.
    for (int tour = 0; tour < 3; ++tour)
    {
        std::size_t cadre = groupes.size();
        double aire = -1.0;
        for (std::size_t i = 0; i < groupes.size(); ++i)
        {
            if (!groupes[i].retire && groupes[i].Aire() > aire)
            {
                aire = groupes[i].Aire();
                cadre = i;
            }
        }
        std::size_t interieurs = 0;
        if (cadre == groupes.size() || !EstCadre(d, groupes, cadre, tol, mode != 1 && tour == 0, interieurs))
        {
            break;
        }
        Groupe& g = groupes[cadre];
        g.retire = true;
        r.cadre += g.courbes.size();
        // What touches the frame's border belongs to it (title block, zone marks), and so does
        // what lies inside those (the inner lines and marks of the title block). Merely touching
        // them is not enough: a view drawn against the title block stays a view.
        std::vector<Boite> attaches;
        for (Groupe& autre : groupes)
        {
            const Boite& a = autre.boite;
            if (!autre.retire && (Proche(a.xmin, g.boite.xmin, tol) || Proche(a.xmax, g.boite.xmax, tol) ||
                                  Proche(a.ymin, g.boite.ymin, tol) || Proche(a.ymax, g.boite.ymax, tol)))
            {
                autre.retire = true;
                r.cadre += autre.courbes.size();
                attaches.push_back(a);
            }
        }
        for (bool change = true; change;)
        {
            change = false;
            for (Groupe& autre : groupes)
            {
                if (autre.retire)
                {
                    continue;
                }
                for (std::size_t k = 0; k < attaches.size() && !autre.retire; ++k)
                {
                    if (attaches[k].Contient(autre.boite, tol))
                    {
                        autre.retire = true;
                        r.cadre += autre.courbes.size();
                        attaches.push_back(autre.boite);
                        change = true;
                    }
                }
            }
        }
    }

    // 3. Nested and overlapping groups are one view.
    FusionneChevauchements(groupes, tol);
    std::vector<Groupe> vues;
    for (Groupe& g : groupes)
    {
        if (g.retire)
        {
            continue;
        }
        if (g.boite.Largeur() <= tol || g.boite.Hauteur() <= tol)
        {
            ++r.groupes_ignores; // a lone line or point-like group
            continue;
        }
        vues.push_back(std::move(g));
    }
    r.groupes = vues.size();
    if (vues.empty())
    {
        r.echec = EchecVues::RienDessine;
        return r;
    }
    for (std::size_t a : axes)
    {
        const std::size_t i = GroupeProche(vues, BoiteCourbe(d.courbes[a]));
        if (i < vues.size())
        {
            vues[i].axes.push_back(a);
        }
    }
    for (std::size_t p = 0; p < d.points.size(); ++p)
    {
        Boite b;
        b.Ajout(d.points[p].x, d.points[p].y);
        const std::size_t i = GroupeProche(vues, b);
        if (i < vues.size())
        {
            vues[i].points.push_back(p);
        }
    }

    // 4. Names by alignment.
    Boite tout;
    for (const Groupe& g : vues)
    {
        tout.Ajout(g.boite);
    }
    const double tol_alignement = std::max(10.0 * tol, 1e-3 * std::max(tout.Largeur(), tout.Hauteur()));
    auto alignes_h = [&](const Groupe& a, const Groupe& b)
    {
        return Proche(a.boite.ymin, b.boite.ymin, tol_alignement) &&
               Proche(a.boite.ymax, b.boite.ymax, tol_alignement) &&
               (b.boite.xmin > a.boite.xmax || a.boite.xmin > b.boite.xmax);
    };
    auto alignes_v = [&](const Groupe& a, const Groupe& b)
    {
        return Proche(a.boite.xmin, b.boite.xmin, tol_alignement) &&
               Proche(a.boite.xmax, b.boite.xmax, tol_alignement) &&
               (b.boite.ymin > a.boite.ymax || a.boite.ymin > b.boite.ymax);
    };
    std::size_t face = vues.size(), cote = vues.size(), dessus = vues.size();
    int meilleur_score = 0;
    double meilleure_aire = -1.0;
    for (std::size_t i = 0; i < vues.size(); ++i)
    {
        std::size_t h = vues.size(), v = vues.size();
        for (std::size_t j = 0; j < vues.size(); ++j)
        {
            if (j == i)
            {
                continue;
            }
            const double dist = DistanceBoites(vues[i].boite, vues[j].boite);
            if (alignes_h(vues[i], vues[j]) &&
                (h == vues.size() || dist < DistanceBoites(vues[i].boite, vues[h].boite)))
            {
                h = j;
            }
            if (alignes_v(vues[i], vues[j]) &&
                (v == vues.size() || dist < DistanceBoites(vues[i].boite, vues[v].boite)))
            {
                v = j;
            }
        }
        // With only a side view, the front view is the left one of the pair.
        if (v == vues.size() && h < vues.size() && vues[h].boite.xmin < vues[i].boite.xmin)
        {
            h = vues.size();
        }
        // With only a top view, the front view is the upper one (first angle).
        if (h == vues.size() && v < vues.size() && vues[v].boite.ymin > vues[i].boite.ymin)
        {
            v = vues.size();
        }
        const int score = (h < vues.size() ? 1 : 0) + (v < vues.size() ? 1 : 0);
        if (score > meilleur_score ||
            (score == meilleur_score && score > 0 && vues[i].Aire() > meilleure_aire))
        {
            meilleur_score = score;
            meilleure_aire = vues[i].Aire();
            face = i;
            cote = h;
            dessus = v;
        }
    }

    const bool nommees = meilleur_score > 0;
    if (nommees)
    {
        if (dessus < vues.size())
        {
            r.disposition = vues[dessus].boite.ymax < vues[face].boite.ymin ? Disposition::PremierDiedre
                                                                            : Disposition::TroisiemeDiedre;
        }
        else
        {
            r.disposition = Disposition::PremierDiedre;
        }
    }

    // Profile modes: the top view (extrusion) or the side view (revolution) of a plan, or every
    // group of a plan without aligned views.
    if (mode == 2 || mode == 3)
    {
        Groupe g;
        if (nommees)
        {
            // Extrusion: the top view, else the front view (swept across the side view's depth).
            // Revolution: the side view, else the front view.
            std::size_t profil = face;
            if (mode == 2)
            {
                profil = dessus < vues.size() ? dessus : face;
                r.hauteur_seconde_vue =
                    dessus < vues.size() ? vues[face].boite.Hauteur() : vues[cote].boite.Largeur();
            }
            else if (cote < vues.size())
            {
                profil = cote;
            }
            g = vues[profil];
            r.groupes_ignores += vues.size() - 1;
        }
        else
        {
            for (const Groupe& v : vues)
            {
                g.courbes.insert(g.courbes.end(), v.courbes.begin(), v.courbes.end());
                g.axes.insert(g.axes.end(), v.axes.begin(), v.axes.end());
                g.points.insert(g.points.end(), v.points.begin(), v.points.end());
                g.boite.Ajout(v.boite);
            }
        }
        r.disposition = Disposition::Profil;
        r.vues.push_back(VueDeGroupe(g, mode == 2 ? 8 : 4, false));
        return r;
    }

    // Three views.
    if (!nommees)
    {
        r.echec = vues.size() == 1 ? EchecVues::UneSeuleVue : EchecVues::NonAlignees;
        return r;
    }
    const bool premier = r.disposition == Disposition::PremierDiedre;
    Vue vf = VueDeGroupe(vues[face], 2, false);
    r.vues.push_back(vf);
    if (cote < vues.size())
    {
        // The view on the right of the front view is the left view in first angle, seen from the
        // other side than the engine's side view: it is mirrored.
        const bool a_droite = vues[cote].boite.xmin > vues[face].boite.xmax;
        r.vues.push_back(VueDeGroupe(vues[cote], 4, premier == a_droite));
    }
    if (dessus < vues.size())
    {
        r.vues.push_back(VueDeGroupe(vues[dessus], 8, false));
    }
    r.groupes_ignores += vues.size() - r.vues.size();

    if (r.vues.size() == 3)
    {
        const double largeur_cote = r.vues[1].largeur;
        const double hauteur_dessus = r.vues[2].hauteur;
        if (!Proche(largeur_cote, hauteur_dessus, tol_alignement))
        {
            r.echec = EchecVues::Incoherentes;
            r.valeur1 = largeur_cote;
            r.valeur2 = hauteur_dessus;
        }
        return r;
    }

    // Two views: the third is deduced when it repeats one of them (parts of revolution, the view
    // seen along the axis showing a circle about its centre); otherwise it is left out, and the part
    // is read without an outline in that direction, unless other groups are drawn, which may be that
    // view out of line.
    const Vue& f = r.vues[0];
    const Vue& autre = r.vues[1];
    const bool axe = CercleCentre(d, autre, tol_alignement);
    if (autre.id == 8)
    {
        if (axe && Proche(f.largeur, autre.hauteur, tol_alignement))
        {
            Vue s = f;
            s.id = 4;
            s.copie_de = 2;
            r.vues.push_back(s);
        }
        else if (CercleCentre(d, f, tol_alignement) && Proche(autre.largeur, f.hauteur, tol_alignement))
        {
            r.vues.push_back(VueTransposee(autre, 4));
        }
        else
        {
            LaisseAbsente(r, 4);
        }
    }
    else
    {
        if (Proche(f.largeur, autre.hauteur, tol_alignement))
        {
            r.vues.push_back(VueTransposee(autre, 8));
        }
        else if (axe && Proche(f.hauteur, autre.largeur, tol_alignement))
        {
            Vue t = f;
            t.id = 8;
            t.copie_de = 2;
            r.vues.push_back(t);
        }
        else
        {
            LaisseAbsente(r, 8);
        }
    }
    return r;
}

} // namespace Zarvel3D::dxf
