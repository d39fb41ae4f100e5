// Regions of the subdivision of a view (last step): material at odd nesting depths, holes placed
// in the outline around them, touching cells merged, and the open and over-crossed drawings.
#include "decoupe_outils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace decoupe_outils;
using namespace Zarvel3D::occt::decoupe;

namespace
{

constexpr double tol = 1e-6;

// The subdivision of a drawing that must close.
Subdivision Correcte(const std::vector<Courbe>& courbes)
{
    Subdivision s;
    EXPECT_EQ(Decoupe(courbes, tol, 0, s), EtatDecoupe::Correct);
    return s;
}

// One region of `aire` with holes of the given (negative) areas.
void ExpectRegion(const Region& r, double aire, const std::vector<double>& trous)
{
    EXPECT_NEAR(r.exterieur.aire, aire, 1e-9);
    ASSERT_EQ(r.trous.size(), trous.size());
    for (std::size_t i = 0; i < trous.size(); ++i)
    {
        EXPECT_NEAR(r.trous[i].aire, trous[i], 1e-9) << i;
    }
}

double AireMatiere(const Subdivision& s)
{
    double aire = 0.0;
    for (const Region& r : s.matiere)
    {
        aire += r.exterieur.aire;
        for (const Boucle& t : r.trous)
        {
            aire += t.aire;
        }
    }
    return aire;
}

TEST(Decoupe, CarreAvecUnTrouCarre)
{
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 4.0, 4.0);
    AjoutRectangle(c, 1.0, 1.0, 2.0, 2.0);
    const Subdivision s = Correcte(c);
    ASSERT_EQ(s.matiere.size(), 1u);
    ExpectRegion(s.matiere[0], 16.0, {-4.0});
    ASSERT_EQ(s.silhouettes.size(), 1u);
    EXPECT_NEAR(s.silhouettes[0].aire, 16.0, 1e-12);
    // The hole is a cell at depth 2.
    ASSERT_EQ(s.interieurs.size(), 1u);
    EXPECT_NEAR(s.interieurs[0].exterieur.aire, 4.0, 1e-12);
}

TEST(Decoupe, DeuxCarresAccolesFusionnes)
{
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 1.0, 1.0);
    AjoutRectangle(c, 1.0, 0.0, 1.0, 1.0);
    const Subdivision s = Correcte(c);
    // One region without the common side: its bottom and top sides are merged.
    ASSERT_EQ(s.matiere.size(), 1u);
    ExpectRegion(s.matiere[0], 2.0, {});
    EXPECT_EQ(s.matiere[0].exterieur.pas.size(), 4u);
    ASSERT_EQ(s.silhouettes.size(), 1u);
    EXPECT_NEAR(s.silhouettes[0].aire, 2.0, 1e-12);
    EXPECT_TRUE(s.interieurs.empty());
}

TEST(Decoupe, DeuxCarresParUnCoin)
{
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 1.0, 1.0);
    AjoutRectangle(c, 1.0, 1.0, 1.0, 1.0);
    const Subdivision s = Correcte(c);
    ASSERT_EQ(s.matiere.size(), 2u);
    ExpectRegion(s.matiere[0], 1.0, {});
    ExpectRegion(s.matiere[1], 1.0, {});
    EXPECT_EQ(s.silhouettes.size(), 2u);
}

TEST(Decoupe, CercleDansUnRectangle)
{
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 10.0, 6.0);
    c.push_back(Cercle(5.0, 3.0, 2.0));
    const Subdivision s = Correcte(c);
    ASSERT_EQ(s.matiere.size(), 1u);
    ExpectRegion(s.matiere[0], 60.0, {-4.0 * M_PI});
    // The hole is one whole circle.
    ASSERT_EQ(s.matiere[0].trous[0].pas.size(), 1u);
    const Arete& trou = s.aretes[static_cast<std::size_t>(s.matiere[0].trous[0].pas[0].first)];
    EXPECT_TRUE(trou.courbe.Fermee());
    EXPECT_EQ(s.interieurs.size(), 1u);
}

TEST(Decoupe, RectanglesQuiSeChevauchentPairImpair)
{
    // The common part is at depth 2: void between two L-shaped regions of material.
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 2.0, 2.0);
    AjoutRectangle(c, 1.0, 1.0, 2.0, 2.0);
    const Subdivision s = Correcte(c);
    // Corners count as curves touching: 8 corners and 2 crossings, two split points each.
    EXPECT_EQ(s.croisements, 20u);
    EXPECT_NEAR(AireMatiere(s), 6.0, 1e-12);
    ASSERT_EQ(s.interieurs.size(), 1u);
    EXPECT_NEAR(s.interieurs[0].exterieur.aire, 1.0, 1e-12);
    ASSERT_EQ(s.silhouettes.size(), 1u);
    EXPECT_NEAR(s.silhouettes[0].aire, 7.0, 1e-12);
}

TEST(Decoupe, ChaineOuverte)
{
    Subdivision s;
    EXPECT_EQ(Decoupe({Segment(0.0, 0.0, 1.0, 0.0), Segment(1.0, 0.0, 1.0, 1.0), Segment(1.0, 1.0, 0.0, 1.0)},
                      tol, 0, s),
              EtatDecoupe::Ouvert);
    EXPECT_TRUE(s.matiere.empty());
    // Two arcs of a circle that do not meet close nothing either.
    EXPECT_EQ(
        Decoupe({Arc(0.0, 0.0, 1.0, 1.0, 0.0, 0.0, 3.0), Arc(0.0, 0.0, 1.0, 1.0, 0.0, 3.1, 6.0)}, tol, 0, s),
        EtatDecoupe::Ouvert);
}

TEST(Decoupe, QueueOuverteIgnoree)
{
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 1.0, 1.0);
    c.push_back(Segment(0.5, 0.5, 3.0, 0.5)); // from inside, across a side, out
    const Subdivision s = Correcte(c);
    ASSERT_EQ(s.matiere.size(), 1u);
    ExpectRegion(s.matiere[0], 1.0, {});
}

TEST(Decoupe, TropDeCroisements)
{
    std::vector<Courbe> c;
    AjoutRectangle(c, 0.0, 0.0, 2.0, 2.0);
    AjoutRectangle(c, 1.0, 1.0, 2.0, 2.0);
    Subdivision s;
    EXPECT_EQ(Decoupe(c, tol, 19, s), EtatDecoupe::TropDeCroisements);
    EXPECT_GT(s.croisements, 19u);
    EXPECT_TRUE(s.matiere.empty());
    EXPECT_EQ(Decoupe(c, tol, 20, s), EtatDecoupe::Correct);
    EXPECT_EQ(s.croisements, 20u);
}

} // namespace
