// Three-view parts that the outlines' common part overfills: the cells that the views do not
// show are taken away (ribs), and a drawing that no set of cells reproduces keeps its warning.

#include "engine_dessins.h"
#include "maillage_outils.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{

using essais::Moteur;

// An angle bracket 40 wide, 30 high and 30 deep (a base 5 thick, an upright 5 thick) with a
// triangular rib of legs 20 at each depth range given; `sommet_cote` draws the line where a rib
// meets the upright in the side view.
void EquerreNervures(Zarvel3D::Zarvel& z, const std::vector<std::pair<double, double>>& nervures,
                     bool sommet_cote = true)
{
    const double face[][4] = {{0, 0, 40, 0},  {40, 0, 40, 5}, {40, 5, 25, 5}, {25, 5, 5, 25}, {5, 25, 5, 30},
                              {5, 30, 0, 30}, {0, 30, 0, 0},  {5, 5, 5, 25},  {5, 5, 25, 5}};
    for (const auto& s : face)
    {
        essais::Ligne(z, 2, s[0], s[1], s[2], s[3]);
    }
    essais::Rectangle(z, 4, 30, 30);
    essais::Ligne(z, 4, 0, 5, 30, 5);
    essais::Rectangle(z, 8, 40, 30);
    essais::Ligne(z, 8, 5, 0, 5, 30);
    for (const auto& [d0, d1] : nervures)
    {
        essais::Ligne(z, 4, d0, 5, d0, 25);
        essais::Ligne(z, 4, d1, 5, d1, 25);
        if (sommet_cote)
        {
            essais::Ligne(z, 4, d0, 25, d1, 25);
        }
        essais::Ligne(z, 8, 5, d0, 25, d0);
        essais::Ligne(z, 8, 5, d1, 25, d1);
        essais::Ligne(z, 8, 25, d0, 25, d1);
    }
}

double VolumeGenere(Moteur& z)
{
    return outils::Volume(outils::Triangles(z->Scene()));
}

} // namespace

TEST(Cellules, NervuresRetrouveesEntreLesContours)
{
    // The outlines alone fill the whole triangle between base and upright (15 750 mm3).
    const double equerre = 40 * 5 * 30 + 5 * 25 * 30;
    const std::pair<std::vector<std::pair<double, double>>, double> cas[] = {
        {{{12.5, 17.5}}, equerre + 200 * 5},
        {{{3, 7}, {23, 27}}, equerre + 2 * 200 * 4},
    };
    for (const auto& [nervures, volume] : cas)
    {
        SCOPED_TRACE(nervures.size());
        Moteur z(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
        EquerreNervures(*z, nervures);
        ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0), 0) << z->Diagnostic();
        EXPECT_STREQ(z->Ecarts(), "");
        EXPECT_NEAR(VolumeGenere(z), volume, 0.005 * volume);
    }
}

TEST(Cellules, SansLaLigneDuSommetLAvertissementReste)
{
    // No solid draws the rib's sides without the edge where it meets the upright.
    Moteur z(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    EquerreNervures(*z, {{12.5, 17.5}}, false);
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0), 0) << z->Diagnostic();
    const std::string ecarts = z->Ecarts();
    EXPECT_NE(ecarts.find("Vue 4 : "), std::string::npos) << ecarts;
    EXPECT_GT(VolumeGenere(z), 0.0);
}
