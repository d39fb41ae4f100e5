#pragma once

// Third step of the subdivision of a view (zarvel_occt_decoupe.h): the graph of the pieces
// between the vertices and the loops around its faces. Private to the module.

#include "zarvel_occt_decoupe.h"

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace Zarvel3D::occt::decoupe
{

/// The pieces between the vertices of a subdivision, seen as half-edges: half-edge h is piece
/// h / 2, run from its `debut` to its `fin` when h is even, backwards when odd. The half-edges
/// leaving each vertex are sorted counter-clockwise, so that turning to the next one clockwise at
/// each vertex traces the loop around a face with the face on its left.
class Graphe
{
public:
    /// A graph that adds its pieces to `s.aretes`, between the vertices `s.sommets`.
    Graphe(Subdivision& s, double tol) : sub(s), tolerance(tol) {}

    /// Adds the pieces `morceaux`, whose ends are the vertices `sommet_de` (2 i and 2 i + 1 for
    /// piece i), leaving out pieces drawn twice (same ends, middles within twice the tolerance)
    /// and pieces that shrink to a vertex. Then drops the pieces that close no loop (a free end,
    /// repeatedly) and sorts the half-edges around each vertex.
    void Construit(const std::vector<Courbe>& morceaux, const std::vector<int>& sommet_de);

    /// Pieces added by Construit; those appended later by Simplifie come after them.
    std::size_t NombreAretes() const { return nombre_aretes; }
    /// False for a piece that closes no loop.
    bool Vivante(std::size_t e) const { return vivante[e]; }
    /// The live half-edges leaving each vertex, counter-clockwise.
    const std::vector<std::vector<int>>& Sortantes() const { return sortantes; }
    /// The place of each live half-edge in its vertex's list; -1 for the others.
    const std::vector<int>& Rangs() const { return rang; }

    int Origine(int h) const;
    int Destination(int h) const { return Origine(h ^ 1); }

    /// Traces the loops of the half-edges that `gardee` accepts, around vertices whose accepted
    /// half-edges are listed counter-clockwise by `liste` and ranked in it by `rangs`. When
    /// `boucle_de` is given, it receives the loop of every half-edge (-1 for the others).
    std::vector<Boucle> Trace(const std::vector<std::vector<int>>& liste, const std::vector<int>& rangs,
                              const std::vector<char>& gardee, std::vector<int>* boucle_de) const;

    /// Signed area of a loop (arcs included): positive when counter-clockwise.
    double Aire(const Boucle& b) const;

    /// Splits a loop that passes a vertex twice into simple loops.
    std::vector<Boucle> Separe(const Boucle& boucle) const;

    /// A point on the loop's first piece, away from its ends.
    std::array<double, 2> PointTemoin(const Boucle& b) const;

    /// A polygon close to the loop (arcs divided finely, within a quarter of the tolerance), for
    /// inside tests.
    std::vector<std::array<double, 2>> Polygone(const Boucle& b) const;

    /// Merges, along a loop, consecutive pieces that continue each other (collinear segments,
    /// arcs of one ellipse) at vertices of degree 2 in `degre`; the merged pieces are appended to
    /// the subdivision's pieces.
    void Simplifie(Boucle& b, const std::vector<int>& degre);

private:
    void Elague();
    void EllipseEntiere(Boucle& b);
    void Trie();
    bool Continue(const std::pair<int, bool>& p, const std::pair<int, bool>& q,
                  const std::vector<int>& degre) const;
    Arete Joint(const Arete& a, bool avant, const Arete& b) const;

    Subdivision& sub;
    double tolerance;
    std::size_t nombre_aretes = 0;
    std::vector<bool> vivante;
    std::vector<std::vector<int>> sortantes;
    std::vector<double> angle;
    std::vector<int> rang;
};

} // namespace Zarvel3D::occt::decoupe
