// The check of three-view solids against their drawing, through the engine:
// every consistent drawing reproduces, and a drawing that lacks a line the
// solid shows, or holds one the solid cannot show, reports where.

#include "engine_dessins.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using essais::Moteur;

struct Ecart
{
    int vue;
    std::string genre;
    double x, y, longueur;
};

// The report's lines in French: "Vue V : GENRE en (X, Y), longueur L."
std::vector<Ecart> Lit(const std::string& rapport)
{
    std::vector<Ecart> ecarts;
    std::istringstream flux(rapport);
    for (std::string ligne; std::getline(flux, ligne);)
    {
        Ecart e{};
        const std::size_t debut = ligne.find(" : "), en = ligne.rfind(" en (");
        if (debut == std::string::npos || en == std::string::npos ||
            std::sscanf(ligne.c_str(), "Vue %d", &e.vue) != 1 ||
            std::sscanf(ligne.c_str() + en, " en (%lf, %lf), longueur %lf.", &e.x, &e.y, &e.longueur) != 3)
        {
            ADD_FAILURE() << "unreadable line: " << ligne;
            continue;
        }
        e.genre = ligne.substr(debut + 3, en - debut - 3);
        ecarts.push_back(e);
    }
    return ecarts;
}

// Within a few tolerances (0.01): a run's ends close to another edge count as explained.
bool Proche(const Ecart& e, int vue, const std::string& genre, double x, double y, double longueur)
{
    return e.vue == vue && e.genre == genre && std::abs(e.x - x) < 0.1 && std::abs(e.y - y) < 0.1 &&
           std::abs(e.longueur - longueur) < 0.2;
}

Moteur NouveauMoteur()
{
    return Moteur(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
}

// The bracket of 40 x 30 x 25: an L in the front view, the step's edge in
// the two others.
void Equerre(Zarvel3D::Zarvel& z, bool arete_dessus)
{
    const double l[][4] = {{0, 0, 40, 0}, {40, 0, 40, 8}, {40, 8, 8, 8},
                           {8, 8, 8, 30}, {8, 30, 0, 30}, {0, 30, 0, 0}};
    for (const auto& s : l)
    {
        essais::Ligne(z, 2, s[0], s[1], s[2], s[3]);
    }
    essais::Rectangle(z, 4, 25, 30);
    essais::Ligne(z, 4, 0, 8, 25, 8);
    essais::Rectangle(z, 8, 40, 25);
    if (arete_dessus)
    {
        essais::Ligne(z, 8, 8, 0, 8, 25);
    }
}

TEST(VerificationProjections, LesDessinsCoherentsSontReproduits)
{
    for (auto dessine : {essais::GenCube, essais::GenMod})
    {
        Moteur z = NouveauMoteur();
        ASSERT_EQ(dessine(*z), 0) << z->Diagnostic();
        EXPECT_STREQ(z->Ecarts(), "");
    }
    Moteur z = NouveauMoteur();
    Equerre(*z, true);
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0), 0) << z->Diagnostic();
    EXPECT_STREQ(z->Ecarts(), "");
}

TEST(VerificationProjections, UneAreteVisibleAbsenteDuPlanEstSignalee)
{
    // The step's edge left out of the top view: the solid shows it there.
    Moteur z = NouveauMoteur();
    Equerre(*z, false);
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0), 0) << z->Diagnostic();
    const std::vector<Ecart> ecarts = Lit(z->Ecarts());
    ASSERT_EQ(ecarts.size(), 1u) << z->Ecarts();
    EXPECT_TRUE(Proche(ecarts[0], 8, "arête visible du solide absente du plan", 8, 0, 25)) << z->Ecarts();

    // In English too.
    Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_EN);
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0), 0) << z->Diagnostic();
    Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_FR);
    EXPECT_EQ(
        std::string(z->Ecarts()).rfind("View 8: visible edge of the solid missing from the plan at (8, ", 0),
        0u)
        << z->Ecarts();
}

TEST(VerificationProjections, UneVueNonDessineeNEstPasVerifiee)
{
    // The bracket from its front and side views: its top view, which would show the step's edge,
    // is not drawn, and the part is read without an outline in that direction.
    const double l[][4] = {{0, 0, 40, 0}, {40, 0, 40, 8}, {40, 8, 8, 8}, {8, 8, 8, 30}, {8, 30, 0, 30}, {0, 30, 0, 0}};
    for (bool arete_cote : {true, false})
    {
        Moteur z = NouveauMoteur();
        for (const auto& s : l)
        {
            essais::Ligne(*z, 2, s[0], s[1], s[2], s[3]);
        }
        essais::Rectangle(*z, 4, 25, 30);
        if (arete_cote)
        {
            essais::Ligne(*z, 4, 0, 8, 25, 8);
        }
        ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0), 0) << z->Diagnostic();
        if (arete_cote)
        {
            EXPECT_STREQ(z->Ecarts(), "");
            continue;
        }
        // The views drawn are still checked: the side view lacks the step's edge.
        const std::vector<Ecart> ecarts = Lit(z->Ecarts());
        ASSERT_EQ(ecarts.size(), 1u) << z->Ecarts();
        EXPECT_TRUE(Proche(ecarts[0], 4, "arête visible du solide absente du plan", 0, 8, 25)) << z->Ecarts();
    }
}

TEST(VerificationProjections, UnTraitSansAreteEstSignaleAvecSaVueEtSaLongueur)
{
    // The block with the elliptic hole, its ellipse left out of the front
    // view: the hole's lines in the other views explain nothing of the solid.
    Moteur z = NouveauMoteur();
    essais::Rectangle(*z, 2, 15, 10);
    essais::Rectangle(*z, 4, 6, 10);
    essais::Ligne(*z, 4, 0, 8, 6, 8);
    essais::Ligne(*z, 4, 0, 2, 6, 2);
    essais::Rectangle(*z, 8, 15, 6);
    essais::Ligne(*z, 8, 11.5, 0, 11.5, 6);
    essais::Ligne(*z, 8, 3.5, 0, 3.5, 6);
    ASSERT_EQ(z->Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0), 0) << z->Diagnostic();
    const std::vector<Ecart> ecarts = Lit(z->Ecarts());
    ASSERT_EQ(ecarts.size(), 4u) << z->Ecarts();
    const std::string genre = "trait du plan sans arête du solide";
    const double attendus[][3] = {{4, 0, 8}, {4, 0, 2}, {8, 11.5, 0}, {8, 3.5, 0}};
    for (const auto& a : attendus)
    {
        bool trouve = false;
        for (const Ecart& e : ecarts)
        {
            trouve = trouve || Proche(e, static_cast<int>(a[0]), genre, a[1], a[2], 6);
        }
        EXPECT_TRUE(trouve) << a[0] << " " << a[1] << " " << a[2] << "\n" << z->Ecarts();
    }
}

TEST(VerificationProjections, LesAutresModesNeSontPasVerifies)
{
    Moteur z = NouveauMoteur();
    ASSERT_EQ(essais::GenExtrusion(*z), 0);
    EXPECT_STREQ(z->Ecarts(), "");
}

} // namespace
