// Planar subdivision of a view (see the header). The crossings
// (zarvel_occt_croisements), the pieces and vertices (zarvel_occt_morceaux)
// and the graph with its loops (zarvel_occt_graphe) come first; here, the
// cells: each outer boundary of a connected part is placed in the smallest
// cell of another part around it, the nesting depth of every cell comes from
// a breadth-first walk from the outside, odd depths being material, and the
// material cells are merged by tracing only the pieces with material on one
// side.

#include "zarvel_occt_decoupe.h"

#include "ensembles.h"
#include "geometrie_plane.h"
#include "zarvel_occt_croisements.h"
#include "zarvel_occt_graphe.h"
#include "zarvel_occt_morceaux.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numeric>

namespace Zarvel3D::occt::decoupe
{

using geometrie::Boite;

std::array<double, 2> Courbe::Point(double t) const
{
    if (droite)
    {
        return {{x1 + t * (x2 - x1), y1 + t * (y2 - y1)}};
    }
    const double c = std::cos(rotation);
    const double s = std::sin(rotation);
    const double lx = a * std::cos(t);
    const double ly = b * std::sin(t);
    return {{cx + lx * c - ly * s, cy + lx * s + ly * c}};
}

std::array<double, 2> Courbe::Derivee(double t) const
{
    if (droite)
    {
        return {{x2 - x1, y2 - y1}};
    }
    const double c = std::cos(rotation);
    const double s = std::sin(rotation);
    const double lx = -a * std::sin(t);
    const double ly = b * std::cos(t);
    return {{lx * c - ly * s, lx * s + ly * c}};
}

double Courbe::Courbure(double t) const
{
    if (droite)
    {
        return 0.0;
    }
    const auto d = Derivee(t);
    const double n = std::hypot(d[0], d[1]);
    return n > 0.0 ? a * b / (n * n * n) : 0.0;
}

double Courbe::Longueur(double u0, double u1) const
{
    if (droite)
    {
        return std::fabs(u1 - u0) * std::hypot(x2 - x1, y2 - y1);
    }
    return std::fabs(u1 - u0) * std::max(a, b);
}

bool Courbe::Fermee() const
{
    return !droite && geometrie::TourComplet(t0, t1);
}

namespace
{

// Even-odd test of a point against a polygon.
bool Dedans(const std::vector<std::array<double, 2>>& poly, const std::array<double, 2>& p)
{
    bool dedans = false;
    const std::size_t n = poly.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
    {
        const auto& a = poly[i];
        const auto& b = poly[j];
        if ((a[1] > p[1]) != (b[1] > p[1]) && p[0] < (b[0] - a[0]) * (p[1] - a[1]) / (b[1] - a[1]) + a[0])
        {
            dedans = !dedans;
        }
    }
    return dedans;
}

// Regions from simple loops: each clockwise loop becomes a hole of the
// smallest counter-clockwise loop around it; holes inside none are left
// out.
std::vector<Region> Regions(const Graphe& graphe, double tolerance, std::vector<Boucle> boucles)
{
    std::vector<Region> regions;
    std::vector<std::size_t> exterieurs;
    std::vector<std::size_t> trous;
    for (std::size_t i = 0; i < boucles.size(); ++i)
    {
        (boucles[i].aire > 0.0 ? exterieurs : trous).push_back(i);
    }
    std::sort(exterieurs.begin(), exterieurs.end(),
              [&](std::size_t a, std::size_t b) { return boucles[a].aire < boucles[b].aire; });
    std::vector<std::vector<std::array<double, 2>>> polygones(exterieurs.size());
    std::vector<Boite> boites(exterieurs.size());
    for (std::size_t k = 0; k < exterieurs.size(); ++k)
    {
        polygones[k] = graphe.Polygone(boucles[exterieurs[k]]);
        boites[k] = geometrie::BoitePoints(polygones[k]);
    }
    std::vector<std::vector<std::size_t>> trous_de(exterieurs.size());
    for (std::size_t t : trous)
    {
        const Boite bt = geometrie::BoitePoints(graphe.Polygone(boucles[t]));
        const auto temoin = graphe.PointTemoin(boucles[t]);
        for (std::size_t k = 0; k < exterieurs.size(); ++k)
        {
            if (-boucles[t].aire <= boucles[exterieurs[k]].aire && boites[k].Contient(bt, tolerance) &&
                Dedans(polygones[k], temoin))
            {
                trous_de[k].push_back(t);
                break;
            }
        }
    }
    for (std::size_t k = 0; k < exterieurs.size(); ++k)
    {
        Region r;
        r.exterieur = std::move(boucles[exterieurs[k]]);
        for (std::size_t t : trous_de[k])
        {
            r.trous.push_back(std::move(boucles[t]));
        }
        regions.push_back(std::move(r));
    }
    return regions;
}

// The loops of the whole subdivision and the cells they bound:
// counter-clockwise loops bound cells, clockwise ones are the outer
// boundaries of connected parts.
struct Cellules
{
    std::vector<Boucle> boucles;
    std::vector<int> boucle_de;        // loop of each half-edge
    std::vector<std::size_t> cellules; // the loops that bound a cell
    // Cell of each loop: its own, or for an outer boundary the cell it lies in
    // (Dehors() when none).
    std::vector<int> cellule_de;
    std::vector<std::vector<std::size_t>> enfants; // outer boundaries lying in each cell
    std::vector<std::size_t> contours_dehors;      // outer boundaries lying in no cell
    std::vector<int> profondeur;                   // nesting depth of each cell, then of the outside

    int Dehors() const { return static_cast<int>(cellules.size()); }
    int CelluleDemi(std::size_t h) const { return cellule_de[static_cast<std::size_t>(boucle_de[h])]; }
    bool Matiere(int c) const { return profondeur[static_cast<std::size_t>(c)] % 2 == 1; }
};

// Traces the loops of the live pieces and numbers the cells.
Cellules TraceCellules(const Graphe& graphe, const std::vector<char>& vivantes)
{
    Cellules c;
    c.boucles = graphe.Trace(graphe.Sortantes(), graphe.Rangs(), vivantes, &c.boucle_de);
    c.cellule_de.assign(c.boucles.size(), -1);
    for (std::size_t i = 0; i < c.boucles.size(); ++i)
    {
        if (c.boucles[i].aire > 0.0)
        {
            c.cellule_de[i] = static_cast<int>(c.cellules.size());
            c.cellules.push_back(i);
        }
    }
    c.enfants.resize(c.cellules.size());
    return c;
}

// Places each outer boundary in the smallest cell of another connected part
// around it (never inside its own part's loops), or outside everything.
void PlaceContours(const Graphe& graphe, const Subdivision& sub, Cellules& c)
{
    Ensembles parties(sub.sommets.size());
    for (std::size_t e = 0; e < graphe.NombreAretes(); ++e)
    {
        if (graphe.Vivante(e))
        {
            parties.Union(static_cast<std::size_t>(sub.aretes[e].debut),
                          static_cast<std::size_t>(sub.aretes[e].fin));
        }
    }
    auto partie = [&](const Boucle& b)
    {
        return parties.Racine(
            static_cast<std::size_t>(sub.aretes[static_cast<std::size_t>(b.pas.front().first)].debut));
    };

    const std::size_t n = c.cellules.size();
    std::vector<std::size_t> par_aire(n);
    std::iota(par_aire.begin(), par_aire.end(), 0);
    std::sort(par_aire.begin(), par_aire.end(),
              [&](std::size_t a, std::size_t b)
              { return c.boucles[c.cellules[a]].aire < c.boucles[c.cellules[b]].aire; });
    std::vector<std::vector<std::array<double, 2>>> polygones(n);
    std::vector<Boite> boites(n);
    std::vector<std::size_t> parties_cellules(n);
    for (std::size_t k = 0; k < n; ++k)
    {
        polygones[k] = graphe.Polygone(c.boucles[c.cellules[k]]);
        boites[k] = geometrie::BoitePoints(polygones[k]);
        parties_cellules[k] = partie(c.boucles[c.cellules[k]]);
    }
    for (std::size_t i = 0; i < c.boucles.size(); ++i)
    {
        if (c.cellule_de[i] >= 0)
        {
            continue;
        }
        const std::size_t p = partie(c.boucles[i]);
        const Boite b = geometrie::BoitePoints(graphe.Polygone(c.boucles[i]));
        const auto temoin = graphe.PointTemoin(c.boucles[i]);
        int parent = c.Dehors();
        for (std::size_t k : par_aire)
        {
            if (parties_cellules[k] != p && boites[k].Contient(b, 0.0) && Dedans(polygones[k], temoin))
            {
                parent = static_cast<int>(k);
                break;
            }
        }
        c.cellule_de[i] = parent;
        if (parent == c.Dehors())
        {
            c.contours_dehors.push_back(i);
        }
        else
        {
            c.enfants[static_cast<std::size_t>(parent)].push_back(i);
        }
    }
}

// Nesting depth of every cell, breadth-first from the outside across the
// pieces between two cells.
void Profondeurs(const Graphe& graphe, Cellules& c)
{
    std::vector<std::vector<int>> voisines(c.cellules.size() + 1);
    for (std::size_t e = 0; e < graphe.NombreAretes(); ++e)
    {
        if (!graphe.Vivante(e))
        {
            continue;
        }
        const int a = c.CelluleDemi(2 * e);
        const int b = c.CelluleDemi(2 * e + 1);
        if (a != b)
        {
            voisines[static_cast<std::size_t>(a)].push_back(b);
            voisines[static_cast<std::size_t>(b)].push_back(a);
        }
    }
    c.profondeur.assign(c.cellules.size() + 1, -1);
    std::deque<int> file{c.Dehors()};
    c.profondeur[static_cast<std::size_t>(c.Dehors())] = 0;
    while (!file.empty())
    {
        const int k = file.front();
        file.pop_front();
        for (int v : voisines[static_cast<std::size_t>(k)])
        {
            if (c.profondeur[static_cast<std::size_t>(v)] < 0)
            {
                c.profondeur[static_cast<std::size_t>(v)] = c.profondeur[static_cast<std::size_t>(k)] + 1;
                file.push_back(v);
            }
        }
    }
}

// The outer outlines of the drawing, turned counter-clockwise.
void AjouteSilhouettes(Graphe& graphe, const Cellules& c, const std::vector<int>& degre, Subdivision& sub)
{
    for (std::size_t i : c.contours_dehors)
    {
        for (Boucle& b : graphe.Separe(c.boucles[i]))
        {
            Boucle inverse;
            for (auto it = b.pas.rbegin(); it != b.pas.rend(); ++it)
            {
                inverse.pas.emplace_back(it->first, !it->second);
            }
            inverse.aire = -b.aire;
            graphe.Simplifie(inverse, degre);
            sub.silhouettes.push_back(std::move(inverse));
        }
    }
}

// The cells enclosed at an even depth of at least 2 (inside an inner
// outline), each with the outer boundaries lying in it as holes.
void AjouteInterieurs(Graphe& graphe, const Cellules& c, const std::vector<int>& degre, double tolerance,
                      Subdivision& sub)
{
    for (std::size_t k = 0; k < c.cellules.size(); ++k)
    {
        const int p = c.profondeur[k];
        if (p < 2 || p % 2 != 0)
        {
            continue;
        }
        std::vector<Boucle> simples = graphe.Separe(c.boucles[c.cellules[k]]);
        for (std::size_t enfant : c.enfants[k])
        {
            for (Boucle& b : graphe.Separe(c.boucles[enfant]))
            {
                simples.push_back(std::move(b));
            }
        }
        for (Boucle& b : simples)
        {
            graphe.Simplifie(b, degre);
        }
        for (Region& r : Regions(graphe, tolerance, std::move(simples)))
        {
            sub.interieurs.push_back(std::move(r));
        }
    }
}

// The material merged into regions: only the pieces between material and
// void remain, traced with the material on their left.
std::vector<Region> RegionsMatiere(Graphe& graphe, const Cellules& c, double tolerance)
{
    const std::vector<std::vector<int>>& sortantes = graphe.Sortantes();
    std::vector<std::vector<int>> bord(sortantes.size());
    std::vector<int> rang_bord(2 * graphe.NombreAretes(), -1);
    std::vector<char> gauche_matiere(2 * graphe.NombreAretes(), 0);
    for (std::size_t v = 0; v < bord.size(); ++v)
    {
        for (int h : sortantes[v])
        {
            const bool ma = c.Matiere(c.CelluleDemi(static_cast<std::size_t>(h)));
            const bool mb = c.Matiere(c.CelluleDemi(static_cast<std::size_t>(h ^ 1)));
            if (ma != mb)
            {
                rang_bord[static_cast<std::size_t>(h)] = static_cast<int>(bord[v].size());
                bord[v].push_back(h);
                gauche_matiere[static_cast<std::size_t>(h)] = ma ? 1 : 0;
            }
        }
    }
    std::vector<int> degre_bord(bord.size(), 0);
    for (std::size_t v = 0; v < bord.size(); ++v)
    {
        degre_bord[v] = static_cast<int>(bord[v].size());
    }
    std::vector<Boucle> contours;
    for (const Boucle& b : graphe.Trace(bord, rang_bord, gauche_matiere, nullptr))
    {
        for (Boucle& s : graphe.Separe(b))
        {
            graphe.Simplifie(s, degre_bord);
            contours.push_back(std::move(s));
        }
    }
    return Regions(graphe, tolerance, std::move(contours));
}

} // namespace

EtatDecoupe Decoupe(const std::vector<Courbe>& courbes, double tolerance, std::size_t croisements_max,
                    Subdivision& resultat)
{
    resultat = Subdivision();
    Coupes coupes;
    const bool complet = ChercheCroisements(courbes, tolerance, croisements_max, coupes);
    resultat.croisements = coupes.croisements;
    if (!complet)
    {
        return EtatDecoupe::TropDeCroisements;
    }
    const std::vector<Courbe> morceaux = Morceaux(courbes, coupes.parametres, tolerance);
    const std::vector<int> sommet_de = FusionneExtremites(morceaux, tolerance, resultat.sommets);

    Graphe graphe(resultat, tolerance);
    graphe.Construit(morceaux, sommet_de);
    std::vector<char> vivantes(2 * graphe.NombreAretes(), 0);
    bool une = false;
    for (std::size_t e = 0; e < graphe.NombreAretes(); ++e)
    {
        vivantes[2 * e] = vivantes[2 * e + 1] = graphe.Vivante(e) ? 1 : 0;
        une = une || graphe.Vivante(e);
    }
    if (!une)
    {
        return EtatDecoupe::Ouvert;
    }

    Cellules cellules = TraceCellules(graphe, vivantes);
    PlaceContours(graphe, resultat, cellules);
    Profondeurs(graphe, cellules);

    // Pieces merge only across vertices where nothing else meets.
    std::vector<int> degre(resultat.sommets.size(), 0);
    for (std::size_t v = 0; v < degre.size(); ++v)
    {
        degre[v] = static_cast<int>(graphe.Sortantes()[v].size());
    }
    AjouteSilhouettes(graphe, cellules, degre, resultat);
    AjouteInterieurs(graphe, cellules, degre, tolerance, resultat);
    resultat.matiere = RegionsMatiere(graphe, cellules, tolerance);
    if (resultat.matiere.empty() || resultat.silhouettes.empty())
    {
        return EtatDecoupe::Ouvert;
    }
    return EtatDecoupe::Correct;
}

bool CourbeElement(const moteur::ElementDessin& e, double tolerance, std::size_t index, Courbe& c)
{
    c = Courbe();
    c.source = index;
    if (e.type == moteur::TypeElement::Ligne)
    {
        c.droite = true;
        c.x1 = e.x1;
        c.y1 = e.y1;
        c.x2 = e.x2;
        c.y2 = e.y2;
        return std::isfinite(e.x1) && std::isfinite(e.y1) && std::isfinite(e.x2) && std::isfinite(e.y2) &&
               std::hypot(e.x2 - e.x1, e.y2 - e.y1) > tolerance;
    }
    c.droite = false;
    c.cx = e.cx;
    c.cy = e.cy;
    c.a = e.largeur * 0.5;
    c.b = e.hauteur * 0.5;
    if (!std::isfinite(e.cx) || !std::isfinite(e.cy) || !std::isfinite(c.a) || !std::isfinite(c.b) ||
        !std::isfinite(e.debut) || !std::isfinite(e.fin) || !std::isfinite(e.rotation) || c.a <= tolerance ||
        c.b <= tolerance)
    {
        return false;
    }
    c.rotation = e.rotation * M_PI / 180.0;
    double debut = e.debut * M_PI / 180.0;
    if (std::fabs(c.a - c.b) <= tolerance * 1e-3)
    {
        // A circle: its own rotation only shifts the parameter.
        c.a = c.b = std::max(c.a, c.b);
        debut += c.rotation;
        c.rotation = 0.0;
    }
    debut = geometrie::Ramene(debut, 0.0);
    double etendue = e.fin - e.debut;
    if (std::fabs(etendue) >= 360.0 - 1e-9)
    {
        c.t0 = debut;
        c.t1 = debut + 2.0 * M_PI;
        return true;
    }
    etendue = geometrie::Ramene(etendue, 0.0, 360.0);
    c.t0 = debut;
    c.t1 = debut + etendue * M_PI / 180.0;
    return (c.t1 - c.t0) * std::min(c.a, c.b) > tolerance;
}

} // namespace Zarvel3D::occt::decoupe
