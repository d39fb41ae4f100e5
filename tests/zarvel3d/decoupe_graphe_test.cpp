// The graph of the pieces of a view and its loops (third step of the subdivision): pieces that
// close nothing or are drawn twice, loops around the faces with their signed areas, loops
// through a vertex twice split into simple ones, and pieces that continue each other merged.
#include "decoupe_outils.h"
#include "occt/zarvel_occt_croisements.h"
#include "occt/zarvel_occt_graphe.h"
#include "occt/zarvel_occt_morceaux.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using namespace decoupe_outils;
using namespace Zarvel3D::occt::decoupe;

namespace
{

constexpr double tol = 1e-6;

class GrapheDecoupe : public ::testing::Test
{
protected:
    // The first three steps of the subdivision, as the cutter runs them.
    void Construis(const std::vector<Courbe>& courbes)
    {
        Coupes coupes;
        ASSERT_TRUE(ChercheCroisements(courbes, tol, 0, coupes));
        const std::vector<Courbe> morceaux = Morceaux(courbes, coupes.parametres, tol);
        const std::vector<int> sommet_de = FusionneExtremites(morceaux, tol, sub.sommets);
        graphe.emplace(sub, tol);
        graphe->Construit(morceaux, sommet_de);
    }

    std::size_t Vivantes() const
    {
        std::size_t n = 0;
        for (std::size_t e = 0; e < graphe->NombreAretes(); ++e)
        {
            n += graphe->Vivante(e) ? 1 : 0;
        }
        return n;
    }

    // The loops around every face of the live pieces.
    std::vector<Boucle> Boucles() const
    {
        std::vector<char> gardee(2 * graphe->NombreAretes(), 0);
        for (std::size_t e = 0; e < graphe->NombreAretes(); ++e)
        {
            gardee[2 * e] = gardee[2 * e + 1] = graphe->Vivante(e) ? 1 : 0;
        }
        return graphe->Trace(graphe->Sortantes(), graphe->Rangs(), gardee, nullptr);
    }

    static std::vector<double> Aires(const std::vector<Boucle>& boucles)
    {
        std::vector<double> aires;
        for (const Boucle& b : boucles)
        {
            aires.push_back(b.aire);
        }
        std::sort(aires.begin(), aires.end());
        return aires;
    }

    std::vector<int> Degres() const
    {
        std::vector<int> degre;
        for (const auto& s : graphe->Sortantes())
        {
            degre.push_back(static_cast<int>(s.size()));
        }
        return degre;
    }

    // The loop of positive area (the one inside face) among `boucles`.
    static Boucle Interieure(const std::vector<Boucle>& boucles)
    {
        for (const Boucle& b : boucles)
        {
            if (b.aire > 0.0)
            {
                return b;
            }
        }
        ADD_FAILURE() << "no counter-clockwise loop";
        return {};
    }

    Subdivision sub;
    std::optional<Graphe> graphe;
};

TEST_F(GrapheDecoupe, CarreAvecQueueElaguee)
{
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 1.0, 1.0);
    c.push_back(Segment(1.0, 1.0, 2.0, 2.0));
    c.push_back(Segment(2.0, 2.0, 3.0, 2.0));
    Construis(c);
    EXPECT_EQ(graphe->NombreAretes(), 6u);
    EXPECT_EQ(Vivantes(), 4u);
    const std::vector<Boucle> boucles = Boucles();
    ASSERT_EQ(boucles.size(), 2u);
    // The face inside, counter-clockwise, and the outer boundary, clockwise.
    const std::vector<double> aires = Aires(boucles);
    EXPECT_NEAR(aires[0], -1.0, 1e-12);
    EXPECT_NEAR(aires[1], 1.0, 1e-12);
}

TEST_F(GrapheDecoupe, CoteDessineDeuxFois)
{
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 2.0, 1.0);
    c.push_back(Segment(2.0, 0.0, 0.0, 0.0));
    Construis(c);
    EXPECT_EQ(graphe->NombreAretes(), 4u);
    EXPECT_EQ(Boucles().size(), 2u);
}

TEST_F(GrapheDecoupe, AiresDesArcs)
{
    // A half disc and, apart, a whole circle.
    Construis({Arc(0.0, 0.0, 1.0, 1.0, 0.0, 0.0, M_PI), Segment(-1.0, 0.0, 1.0, 0.0), Cercle(5.0, 0.0, 2.0)});
    const std::vector<double> aires = Aires(Boucles());
    ASSERT_EQ(aires.size(), 4u);
    EXPECT_NEAR(aires[0], -4.0 * M_PI, 1e-9);
    EXPECT_NEAR(aires[1], -M_PI / 2.0, 1e-9);
    EXPECT_NEAR(aires[2], M_PI / 2.0, 1e-9);
    EXPECT_NEAR(aires[3], 4.0 * M_PI, 1e-9);
}

TEST_F(GrapheDecoupe, BoucleParUnSommetDeuxFoisSeparee)
{
    // Two squares touching at one corner: the outer boundary passes that corner twice.
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 1.0, 1.0);
    AjoutRectangle(c, 1.0, 1.0, 1.0, 1.0);
    Construis(c);
    const std::vector<Boucle> boucles = Boucles();
    ASSERT_EQ(boucles.size(), 3u);
    const auto contour =
        std::find_if(boucles.begin(), boucles.end(), [](const Boucle& b) { return b.aire < 0.0; });
    ASSERT_NE(contour, boucles.end());
    EXPECT_EQ(contour->pas.size(), 8u);
    EXPECT_NEAR(contour->aire, -2.0, 1e-12);
    const std::vector<Boucle> simples = graphe->Separe(*contour);
    ASSERT_EQ(simples.size(), 2u);
    EXPECT_EQ(simples[0].pas.size(), 4u);
    EXPECT_NEAR(simples[0].aire, -1.0, 1e-12);
    EXPECT_NEAR(simples[1].aire, -1.0, 1e-12);
}

TEST_F(GrapheDecoupe, SegmentsColineairesFusionnes)
{
    // The bottom side drawn in two pieces: the loop loses the vertex between them.
    std::vector<Courbe> c{Segment(0.0, 0.0, 0.5, 0.0), Segment(0.5, 0.0, 1.0, 0.0),
                          Segment(1.0, 0.0, 1.0, 1.0), Segment(1.0, 1.0, 0.0, 1.0),
                          Segment(0.0, 1.0, 0.0, 0.0)};
    Construis(c);
    Boucle b = Interieure(Boucles());
    ASSERT_EQ(b.pas.size(), 5u);
    graphe->Simplifie(b, Degres());
    ASSERT_EQ(b.pas.size(), 4u);
    EXPECT_NEAR(graphe->Aire(b), 1.0, 1e-12);
    // The merged side is a new piece after the graph's own, from one corner to the next.
    const auto fusion =
        std::find_if(b.pas.begin(), b.pas.end(),
                     [&](const auto& p) { return p.first >= static_cast<int>(graphe->NombreAretes()); });
    ASSERT_NE(fusion, b.pas.end());
    const Arete& a = sub.aretes[static_cast<std::size_t>(fusion->first)];
    EXPECT_NEAR(std::hypot(a.courbe.x2 - a.courbe.x1, a.courbe.y2 - a.courbe.y1), 1.0, 1e-12);
}

TEST_F(GrapheDecoupe, PasDeFusionOuUnTroisiemeMorceauArrive)
{
    // A wall from the middle of the bottom side: its foot has three pieces, and stays.
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 1.0, 1.0);
    c.push_back(Segment(0.5, 0.0, 0.5, 1.0));
    Construis(c);
    std::vector<Boucle> boucles = Boucles();
    const auto contour =
        std::find_if(boucles.begin(), boucles.end(), [](const Boucle& b) { return b.aire < 0.0; });
    ASSERT_NE(contour, boucles.end());
    ASSERT_EQ(contour->pas.size(), 6u);
    graphe->Simplifie(*contour, Degres());
    EXPECT_EQ(contour->pas.size(), 6u);
}

TEST_F(GrapheDecoupe, ArcsDUnCercleRefermes)
{
    // A circle drawn as three arcs becomes one whole circle.
    const double tiers = 2.0 * M_PI / 3.0;
    Construis({Arc(0.0, 0.0, 1.0, 1.0, 0.0, 0.0, tiers), Arc(0.0, 0.0, 1.0, 1.0, 0.0, tiers, 2.0 * tiers),
               Arc(0.0, 0.0, 1.0, 1.0, 0.0, 2.0 * tiers, 3.0 * tiers)});
    Boucle b = Interieure(Boucles());
    ASSERT_EQ(b.pas.size(), 3u);
    graphe->Simplifie(b, Degres());
    ASSERT_EQ(b.pas.size(), 1u);
    const Arete& entiere = sub.aretes[static_cast<std::size_t>(b.pas[0].first)];
    EXPECT_TRUE(entiere.courbe.Fermee());
    EXPECT_EQ(entiere.debut, entiere.fin);
    EXPECT_NEAR(graphe->Aire(b), M_PI, 1e-12);
}

TEST_F(GrapheDecoupe, ArcsNonFusionnesAuDelaDUnTour)
{
    // Two halves would make a whole turn between two vertices: they stay two arcs.
    Construis({Arc(0.0, 0.0, 1.0, 1.0, 0.0, 0.0, M_PI), Arc(0.0, 0.0, 1.0, 1.0, 0.0, M_PI, 2.0 * M_PI)});
    Boucle b = Interieure(Boucles());
    ASSERT_EQ(b.pas.size(), 2u);
    graphe->Simplifie(b, Degres());
    EXPECT_EQ(b.pas.size(), 2u);
    EXPECT_NEAR(graphe->Aire(b), M_PI, 1e-12);
}

} // namespace
