// The graph of the pieces of a view and the loops around its faces. The
// half-edges leaving a vertex are sorted by the angle of their tangent; where
// curves touch, the tangents tie and the curvature decides.

#include "zarvel_occt_graphe.h"

#include "geometrie_plane.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <unordered_map>

namespace Zarvel3D::occt::decoupe
{

using geometrie::Croix;
using geometrie::deux_pi;
using geometrie::Ramene;

// Pieces between vertices, without repeats and without degenerate ones.
void Graphe::Construit(const std::vector<Courbe>& morceaux, const std::vector<int>& sommet_de)
{
    std::unordered_map<std::uint64_t, std::vector<int>> entre;
    for (std::size_t i = 0; i < morceaux.size(); ++i)
    {
        const int a = sommet_de[2 * i];
        const int b = sommet_de[2 * i + 1];
        const Courbe& c = morceaux[i];
        if (a == b && (c.droite || c.Longueur(c.t0, c.t1) <= 4.0 * tolerance))
        {
            continue;
        }
        const std::uint64_t cle =
            (static_cast<std::uint64_t>(std::min(a, b)) << 32) | static_cast<std::uint32_t>(std::max(a, b));
        std::vector<int>& deja = entre[cle];
        const auto milieu = c.Point(0.5 * (c.t0 + c.t1));
        bool double_ = false;
        for (int k : deja)
        {
            const Courbe& d = sub.aretes[static_cast<std::size_t>(k)].courbe;
            const auto m = d.Point(0.5 * (d.t0 + d.t1));
            if (std::hypot(m[0] - milieu[0], m[1] - milieu[1]) <= 2.0 * tolerance)
            {
                double_ = true;
                break;
            }
        }
        if (double_)
        {
            continue;
        }
        deja.push_back(static_cast<int>(sub.aretes.size()));
        sub.aretes.push_back(Arete{c, a, b});
    }
    nombre_aretes = sub.aretes.size();
    vivante.assign(nombre_aretes, true);
    Elague();
    Trie();
}

// Pieces with a free end close nothing: they go, repeatedly.
void Graphe::Elague()
{
    std::vector<int> degre(sub.sommets.size(), 0);
    std::vector<std::vector<int>> incidentes(sub.sommets.size());
    for (std::size_t e = 0; e < nombre_aretes; ++e)
    {
        const Arete& a = sub.aretes[e];
        degre[static_cast<std::size_t>(a.debut)] += 1;
        degre[static_cast<std::size_t>(a.fin)] += 1;
        incidentes[static_cast<std::size_t>(a.debut)].push_back(static_cast<int>(e));
        if (a.fin != a.debut)
        {
            incidentes[static_cast<std::size_t>(a.fin)].push_back(static_cast<int>(e));
        }
    }
    std::deque<int> file;
    for (std::size_t v = 0; v < degre.size(); ++v)
    {
        if (degre[v] == 1)
        {
            file.push_back(static_cast<int>(v));
        }
    }
    while (!file.empty())
    {
        const std::size_t v = static_cast<std::size_t>(file.front());
        file.pop_front();
        for (int e : incidentes[v])
        {
            if (!vivante[static_cast<std::size_t>(e)])
            {
                continue;
            }
            vivante[static_cast<std::size_t>(e)] = false;
            const Arete& a = sub.aretes[static_cast<std::size_t>(e)];
            for (int w : {a.debut, a.fin})
            {
                if (--degre[static_cast<std::size_t>(w)] == 1)
                {
                    file.push_back(w);
                }
            }
        }
    }
}

// Half-edge h: piece h / 2, forwards when h is even.
int Graphe::Origine(int h) const
{
    const Arete& a = sub.aretes[static_cast<std::size_t>(h / 2)];
    return h % 2 == 0 ? a.debut : a.fin;
}

// The half-edges leaving each vertex, counter-clockwise. Tangent
// directions tie where curves touch: the curvature then decides.
void Graphe::Trie()
{
    sortantes.assign(sub.sommets.size(), {});
    angle.assign(2 * nombre_aretes, 0.0);
    double etendue = 0.0;
    for (const Sommet& s : sub.sommets)
    {
        etendue = std::max({etendue, std::fabs(s.x), std::fabs(s.y)});
    }
    const double delta = 1e-6 * std::max(etendue, tolerance);
    for (std::size_t e = 0; e < nombre_aretes; ++e)
    {
        if (!vivante[e])
        {
            continue;
        }
        const Courbe& c = sub.aretes[e].courbe;
        auto d0 = c.Derivee(c.t0);
        auto d1 = c.Derivee(c.t1);
        angle[2 * e] = std::atan2(d0[1], d0[0]) + 0.5 * c.Courbure(c.t0) * delta;
        angle[2 * e + 1] = std::atan2(-d1[1], -d1[0]) - 0.5 * c.Courbure(c.t1) * delta;
        sortantes[static_cast<std::size_t>(sub.aretes[e].debut)].push_back(static_cast<int>(2 * e));
        sortantes[static_cast<std::size_t>(sub.aretes[e].fin)].push_back(static_cast<int>(2 * e + 1));
    }
    rang.assign(2 * nombre_aretes, -1);
    for (std::vector<int>& liste : sortantes)
    {
        std::sort(liste.begin(), liste.end(),
                  [&](int a, int b)
                  { return angle[static_cast<std::size_t>(a)] < angle[static_cast<std::size_t>(b)]; });
        for (std::size_t k = 0; k < liste.size(); ++k)
        {
            rang[static_cast<std::size_t>(liste[k])] = static_cast<int>(k);
        }
    }
}

// Traces the loops of the half-edges `gardee` accepts, around vertices
// whose half-edges are listed (in order) by `liste` and ranked by `rangs`.
std::vector<Boucle> Graphe::Trace(const std::vector<std::vector<int>>& liste, const std::vector<int>& rangs,
                                  const std::vector<char>& gardee, std::vector<int>* boucle_de) const
{
    std::vector<Boucle> boucles;
    std::vector<char> vue(2 * nombre_aretes, 0);
    if (boucle_de != nullptr)
    {
        boucle_de->assign(2 * nombre_aretes, -1);
    }
    for (std::size_t depart = 0; depart < 2 * nombre_aretes; ++depart)
    {
        if (!gardee[depart] || vue[depart])
        {
            continue;
        }
        Boucle b;
        int h = static_cast<int>(depart);
        std::size_t garde_fou = 0;
        while (!vue[static_cast<std::size_t>(h)] && garde_fou++ <= 2 * nombre_aretes)
        {
            vue[static_cast<std::size_t>(h)] = 1;
            if (boucle_de != nullptr)
            {
                (*boucle_de)[static_cast<std::size_t>(h)] = static_cast<int>(boucles.size());
            }
            b.pas.emplace_back(h / 2, h % 2 == 0);
            const std::vector<int>& autour = liste[static_cast<std::size_t>(Destination(h))];
            const int n = static_cast<int>(autour.size());
            h = autour[static_cast<std::size_t>((rangs[static_cast<std::size_t>(h ^ 1)] + n - 1) % n)];
        }
        b.aire = Aire(b);
        boucles.push_back(std::move(b));
    }
    return boucles;
}

double Graphe::Aire(const Boucle& b) const
{
    double aire = 0.0;
    for (const auto& [e, avant] : b.pas)
    {
        const Arete& a = sub.aretes[static_cast<std::size_t>(e)];
        double contribution;
        if (a.courbe.droite)
        {
            const Sommet& p = sub.sommets[static_cast<std::size_t>(a.debut)];
            const Sommet& q = sub.sommets[static_cast<std::size_t>(a.fin)];
            contribution = 0.5 * Croix(p.x, p.y, q.x, q.y);
        }
        else
        {
            const Courbe& c = a.courbe;
            const auto p = c.Point(c.t0);
            const auto q = c.Point(c.t1);
            contribution = 0.5 * (Croix(c.cx, c.cy, q[0] - p[0], q[1] - p[1]) + c.a * c.b * (c.t1 - c.t0));
        }
        aire += avant ? contribution : -contribution;
    }
    return aire;
}

// Splits a loop that passes a vertex twice into simple loops.
std::vector<Boucle> Graphe::Separe(const Boucle& boucle) const
{
    std::vector<Boucle> simples;
    std::vector<std::pair<int, bool>> pile;
    std::unordered_map<int, std::size_t> position;
    if (boucle.pas.empty())
    {
        return simples;
    }
    auto origine = [&](const std::pair<int, bool>& p) { return Origine(2 * p.first + (p.second ? 0 : 1)); };
    auto destination = [&](const std::pair<int, bool>& p)
    { return Destination(2 * p.first + (p.second ? 0 : 1)); };
    position[origine(boucle.pas.front())] = 0;
    for (const auto& p : boucle.pas)
    {
        pile.push_back(p);
        const int d = destination(p);
        auto it = position.find(d);
        if (it == position.end())
        {
            position[d] = pile.size();
            continue;
        }
        Boucle b;
        b.pas.assign(pile.begin() + static_cast<std::ptrdiff_t>(it->second), pile.end());
        for (std::size_t k = it->second; k < pile.size(); ++k)
        {
            const int o = origine(pile[k]);
            if (o != d)
            {
                position.erase(o);
            }
        }
        pile.resize(it->second);
        b.aire = Aire(b);
        simples.push_back(std::move(b));
    }
    return simples;
}

// A point on the loop's first piece, away from its ends.
std::array<double, 2> Graphe::PointTemoin(const Boucle& b) const
{
    const Arete& a = sub.aretes[static_cast<std::size_t>(b.pas.front().first)];
    if (a.courbe.droite)
    {
        const Sommet& p = sub.sommets[static_cast<std::size_t>(a.debut)];
        const Sommet& q = sub.sommets[static_cast<std::size_t>(a.fin)];
        return {{p.x + 0.4387 * (q.x - p.x), p.y + 0.4387 * (q.y - p.y)}};
    }
    return a.courbe.Point(a.courbe.t0 + 0.4387 * (a.courbe.t1 - a.courbe.t0));
}

// A polygon close to the loop (arcs divided finely), for inside tests.
std::vector<std::array<double, 2>> Graphe::Polygone(const Boucle& b) const
{
    std::vector<std::array<double, 2>> points;
    for (const auto& [e, avant] : b.pas)
    {
        const Arete& a = sub.aretes[static_cast<std::size_t>(e)];
        const Sommet& o = sub.sommets[static_cast<std::size_t>(avant ? a.debut : a.fin)];
        points.push_back({{o.x, o.y}});
        if (!a.courbe.droite)
        {
            const Courbe& c = a.courbe;
            const double r = std::max(c.a, c.b);
            const double pas = tolerance < r ? 2.0 * std::acos(1.0 - 0.25 * tolerance / r) : M_PI / 4.0;
            const int n = static_cast<int>(std::clamp(std::ceil((c.t1 - c.t0) / pas), 2.0, 1024.0));
            for (int k = 1; k < n; ++k)
            {
                const double t = avant ? c.t0 + (c.t1 - c.t0) * k / n : c.t1 - (c.t1 - c.t0) * k / n;
                points.push_back(c.Point(t));
            }
        }
    }
    return points;
}

// A loop of arcs of one ellipse, each continuing the previous one, becomes
// one whole ellipse starting where the loop starts.
void Graphe::EllipseEntiere(Boucle& b)
{
    const Arete& premiere = sub.aretes[static_cast<std::size_t>(b.pas.front().first)];
    if (premiere.courbe.droite)
    {
        return;
    }
    Arete entiere = premiere;
    const int v = Origine(2 * b.pas.front().first + (b.pas.front().second ? 0 : 1));
    entiere.courbe.t0 = b.pas.front().second ? premiere.courbe.t0 : premiere.courbe.t1 - deux_pi;
    entiere.courbe.t1 = entiere.courbe.t0 + deux_pi;
    entiere.debut = v;
    entiere.fin = v;
    const bool sens = b.pas.front().second;
    b.pas.assign(1, {static_cast<int>(sub.aretes.size()), sens});
    sub.aretes.push_back(entiere);
}

// Merges pieces only across vertices where nothing else meets.
void Graphe::Simplifie(Boucle& b, const std::vector<int>& degre)
{
    const std::size_t n = b.pas.size();
    if (n < 2)
    {
        return;
    }
    std::size_t depart = n;
    for (std::size_t i = 0; i < n; ++i)
    {
        if (!Continue(b.pas[(i + n - 1) % n], b.pas[i], degre))
        {
            depart = i;
            break;
        }
    }
    if (depart == n)
    {
        // Every junction continues: a whole ellipse cut into arcs.
        EllipseEntiere(b);
        return;
    }
    std::vector<std::pair<int, bool>> pas;
    pas.reserve(n);
    std::pair<int, bool> courant = b.pas[depart];
    Arete fusion;
    bool fusionne = false;
    for (std::size_t k = 1; k <= n; ++k)
    {
        const auto& suivant = b.pas[(depart + k) % n];
        if (k < n && Continue(courant, suivant, degre))
        {
            fusion = Joint(fusionne ? fusion : sub.aretes[static_cast<std::size_t>(courant.first)],
                           courant.second, sub.aretes[static_cast<std::size_t>(suivant.first)]);
            fusionne = true;
            courant.first = suivant.first; // the direction is shared
            continue;
        }
        if (fusionne)
        {
            pas.emplace_back(static_cast<int>(sub.aretes.size()), courant.second);
            sub.aretes.push_back(fusion);
        }
        else
        {
            pas.push_back(courant);
        }
        fusionne = false;
        courant = suivant;
    }
    b.pas = std::move(pas);
}

// Whether step q continues step p across their common vertex.
bool Graphe::Continue(const std::pair<int, bool>& p, const std::pair<int, bool>& q,
                      const std::vector<int>& degre) const
{
    const int v = Destination(2 * p.first + (p.second ? 0 : 1));
    if (degre[static_cast<std::size_t>(v)] != 2 || p.second != q.second)
    {
        return false;
    }
    const Arete& a = sub.aretes[static_cast<std::size_t>(p.first)];
    const Arete& b = sub.aretes[static_cast<std::size_t>(q.first)];
    if (a.courbe.droite != b.courbe.droite || a.debut == a.fin || b.debut == b.fin)
    {
        return false;
    }
    if (a.courbe.droite)
    {
        const Sommet& s0 = sub.sommets[static_cast<std::size_t>(p.second ? a.debut : a.fin)];
        const Sommet& s1 = sub.sommets[static_cast<std::size_t>(v)];
        const Sommet& s2 = sub.sommets[static_cast<std::size_t>(q.second ? b.fin : b.debut)];
        const double l = std::hypot(s2.x - s0.x, s2.y - s0.y);
        const double dot = (s1.x - s0.x) * (s2.x - s1.x) + (s1.y - s0.y) * (s2.y - s1.y);
        return l > tolerance && dot > 0.0 &&
               std::fabs(Croix(s2.x - s0.x, s2.y - s0.y, s1.x - s0.x, s1.y - s0.y)) / l <= tolerance;
    }
    const Courbe& c = a.courbe;
    const Courbe& d = b.courbe;
    const double e = 0.1 * tolerance;
    const bool meme = std::fabs(c.cx - d.cx) <= e && std::fabs(c.cy - d.cy) <= e &&
                      std::fabs(c.a - d.a) <= e && std::fabs(c.b - d.b) <= e &&
                      (c.a == c.b || c.source == d.source);
    if (!meme)
    {
        return false;
    }
    // Together they must not exceed a turn.
    return (c.t1 - c.t0) + (d.t1 - d.t0) < deux_pi - 1e-9;
}

// The piece made of `a` (run in direction `avant`) followed by `b`.
Arete Graphe::Joint(const Arete& a, bool avant, const Arete& b) const
{
    Arete r = a;
    if (a.courbe.droite)
    {
        const int debut = avant ? a.debut : b.debut;
        const int fin = avant ? b.fin : a.fin;
        const Sommet& p = sub.sommets[static_cast<std::size_t>(debut)];
        const Sommet& q = sub.sommets[static_cast<std::size_t>(fin)];
        r.courbe.x1 = p.x;
        r.courbe.y1 = p.y;
        r.courbe.x2 = q.x;
        r.courbe.y2 = q.y;
        r.debut = debut;
        r.fin = fin;
        return r;
    }
    if (avant)
    {
        // b starts where a ends, one turn apart at most.
        const double debut_b = Ramene(b.courbe.t0, a.courbe.t1 - M_PI);
        r.courbe.t1 = debut_b + (b.courbe.t1 - b.courbe.t0);
        r.fin = b.fin;
    }
    else
    {
        // Running backwards, b comes before a along the parameter.
        const double fin_b = Ramene(b.courbe.t1, a.courbe.t0 - M_PI);
        r.courbe.t0 = fin_b - (b.courbe.t1 - b.courbe.t0);
        r.debut = b.debut;
    }
    return r;
}

} // namespace Zarvel3D::occt::decoupe
