// Mouse: the wheel, presses stopping the automatic rotation, the middle button's translation mode,
// pointer rotation with its limits, the warp back to the centre and its echo, and the stop once
// the summed offsets fall below -9999.
#include "test_helpers.h"

#include <ostream>
#include <utility>
#include <vector>

namespace
{

constexpr int Gauche = 0;
constexpr int Milieu = 1;
constexpr int Droit = 2;
constexpr int MoletteHaut = 3;
constexpr int MoletteBas = 4;
constexpr int Appui = 0;
constexpr int Relache = 1;

using Recentrages = std::vector<std::pair<int, int>>;

class Souris_glut : public EtatGlut
{
};

struct Evenement
{
    int bouton;
    int etat;
    float avance; // expected from the start value 2
};

std::ostream& operator<<(std::ostream& os, Evenement const& e)
{
    return os << "bouton " << e.bouton << (e.etat == Appui ? " appui" : " relache");
}

class Molette_glut : public EtatGlut, public ::testing::WithParamInterface<Evenement>
{
};

TEST_P(Molette_glut, DemiUniteParCran)
{
    const Evenement e = GetParam();
    Params_glut attendu = Parametres;
    attendu.avance = e.avance;
    gestion_souris(e.bouton, e.etat, 100, 200);
    EXPECT_EQ(Champs(Parametres), Champs(attendu));
}

INSTANTIATE_TEST_SUITE_P(Boutons, Molette_glut,
                         ::testing::Values(Evenement{MoletteHaut, Appui, 1.5f},
                                           Evenement{MoletteHaut, Relache, 2.0f},
                                           Evenement{MoletteBas, Appui, 2.5f},
                                           Evenement{MoletteBas, Relache, 2.0f},
                                           Evenement{Gauche, Appui, 2.0f}, Evenement{Droit, Appui, 2.0f},
                                           Evenement{Gauche, Relache, 2.0f}));

TEST_F(Souris_glut, MoletteMeneLAvanceSousZero)
{
    Parametres.avance = 0.1f;
    gestion_souris(MoletteHaut, Appui, 0, 0);
    EXPECT_EQ(Parametres.avance, static_cast<float>(static_cast<double>(0.1f) - 0.5));
    gestion_souris(MoletteHaut, Appui, 0, 0);
    EXPECT_LT(Parametres.avance, 0.0f);
}

TEST_F(Souris_glut, AppuiArreteLaRotationAutomatiqueSurLAngleCourant)
{
    for (const int bouton : {Gauche, Milieu, Droit, MoletteHaut, MoletteBas})
    {
        SCOPED_TRACE(bouton);
        Parametres = Params_glut();
        Parametres_copie.rotation_y = -45.0f;
        Parametres.rotation_auto = true;
        Parametres.rotation_y = 123.0f;
        gestion_souris(bouton, Relache, 0, 0);
        EXPECT_TRUE(Parametres.rotation_auto);
        gestion_souris(bouton, Appui, 0, 0);
        EXPECT_FALSE(Parametres.rotation_auto);
        // Unlike Space, the saved view does not come back.
        EXPECT_EQ(Parametres.rotation_y, 123.0f);
    }
}

TEST_F(Souris_glut, BoutonMilieuPasseEnTranslation)
{
    Parametres.largeur = 1024;
    Parametres.hauteur = 768;
    gestion_souris(Milieu, Appui, 600, 300);
    EXPECT_EQ(Parametres.mode_souris, 1);
    EXPECT_EQ(Parametres.curseur_x, 88);
    EXPECT_EQ(Parametres.curseur_y, -84);
    gestion_souris(Milieu, Relache, 10, 10);
    EXPECT_EQ(Parametres.mode_souris, -1);
    EXPECT_EQ(Parametres.curseur_x, 88);

    // Odd sizes: the centre is the truncated half.
    Parametres.largeur = 1023;
    Parametres.hauteur = 767;
    gestion_souris(Milieu, Appui, 600, 300);
    EXPECT_EQ(Parametres.curseur_x, 89);
    EXPECT_EQ(Parametres.curseur_y, -83);
}

// Pointer motion in a 1024 x 768 window whose viewport reads back the same size.
class Curseur_glut : public EtatGlut
{
protected:
    static constexpr int cx = 512;
    static constexpr int cy = 384;

    void SetUp() override
    {
        EtatGlut::SetUp();
        Parametres.largeur = 1024;
        Parametres.hauteur = 768;
        Factice::sys.largeur_vue = 1024;
        Factice::sys.hauteur_vue = 768;
    }

    // One motion by (dx, dy) from the centre, then the echo of the warp that follows it.
    static void Deplace(int dx, int dy)
    {
        gestion_curseur(cx + dx, cy + dy);
        gestion_curseur(cx, cy);
    }
};

TEST_F(Curseur_glut, TranslationDUnCentiemeParPixel)
{
    gestion_souris(Milieu, Appui, cx, cy);
    Params_glut attendu = Parametres;
    gestion_curseur(cx + 10, cy - 10);
    attendu.position_x = 10.0f * 0.01f;
    // Moving up raises the camera.
    attendu.position_y = 0.0f - (-10.0f) * 0.01f;
    attendu.curseur_x = 10;
    attendu.curseur_y = -10;
    EXPECT_EQ(Champs(Parametres), Champs(attendu));
    EXPECT_GT(Parametres.position_y, 0.0f);
    EXPECT_EQ(Factice::sys.recentrages, (Recentrages{{cx, cy}}));

    // The warp's echo is ignored wherever it lands, and warps nothing.
    gestion_curseur(cx + 300, cy + 200);
    EXPECT_EQ(Champs(Parametres), Champs(attendu));
    EXPECT_EQ(Factice::sys.recentrages.size(), 1u);

    // The sums go on from there.
    gestion_curseur(cx - 3, cy + 7);
    EXPECT_EQ(Parametres.curseur_x, 7);
    EXPECT_EQ(Parametres.curseur_y, -3);
    EXPECT_EQ(Parametres.position_x, attendu.position_x + (-3.0f) * 0.01f);
    EXPECT_EQ(Parametres.position_y, attendu.position_y - 7.0f * 0.01f);
    EXPECT_EQ(Parametres.rotation_x, 25.0f);
    EXPECT_EQ(Parametres.rotation_y, -45.0f);
}

TEST_F(Curseur_glut, RotationDeHuitCentiemesDeDegreParPixel)
{
    Params_glut attendu = Parametres;
    gestion_curseur(cx + 10, cy + 5);
    // Down raises the pitch, right raises the yaw.
    attendu.rotation_x = 25.0f + 5.0f * 0.08f;
    attendu.rotation_y = -45.0f + 10.0f * 0.08f;
    attendu.curseur_x = -1 + 10;
    attendu.curseur_y = -1 + 5;
    EXPECT_EQ(Champs(Parametres), Champs(attendu));
    EXPECT_EQ(Factice::sys.recentrages, (Recentrages{{cx, cy}}));

    gestion_curseur(cx - 100, cy - 100);
    EXPECT_EQ(Champs(Parametres), Champs(attendu));
    EXPECT_EQ(Factice::sys.recentrages.size(), 1u);
}

struct Rotation
{
    float rotation_x;
    float rotation_y;
    int dx;
    int dy;
    float attendu_x;
    float attendu_y;
};

std::ostream& operator<<(std::ostream& os, Rotation const& r)
{
    return os << "(" << r.rotation_x << ", " << r.rotation_y << ") de (" << r.dx << ", " << r.dy << ")";
}

class LimitesRotation_glut : public Curseur_glut, public ::testing::WithParamInterface<Rotation>
{
};

TEST_P(LimitesRotation_glut, TangageBorneLacetReplie)
{
    const Rotation r = GetParam();
    Parametres.rotation_x = r.rotation_x;
    Parametres.rotation_y = r.rotation_y;
    gestion_curseur(cx + r.dx, cy + r.dy);
    EXPECT_EQ(Parametres.rotation_x, r.attendu_x);
    EXPECT_EQ(Parametres.rotation_y, r.attendu_y);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, LimitesRotation_glut,
    ::testing::Values(Rotation{25.0f, 0.0f, 0, 1000, 90.0f, 0.0f},
                      Rotation{25.0f, 0.0f, 0, -1500, -90.0f, 0.0f},
                      Rotation{80.0f, 0.0f, 0, 125, 90.0f, 0.0f},
                      Rotation{-80.0f, 0.0f, 0, -125, -90.0f, 0.0f},
                      Rotation{0.0f, 176.0f, 50, 0, 0.0f, 180.0f},
                      Rotation{0.0f, 176.0f, 51, 0, 0.0f, (176.0f + 51.0f * 0.08f) - 360.0f},
                      Rotation{0.0f, -176.0f, -50, 0, 0.0f, -180.0f},
                      Rotation{0.0f, -176.0f, -51, 0, 0.0f, (-176.0f - 51.0f * 0.08f) + 360.0f},
                      Rotation{0.0f, 170.0f, 200, 0, 0.0f, (170.0f + 200.0f * 0.08f) - 360.0f}));

TEST_F(Curseur_glut, RotationResteDansLesBornesEnMouvementContinu)
{
    for (int i = 0; i < 50; ++i)
    {
        Deplace(300, -250);
        ASSERT_LE(Parametres.rotation_x, 90.0f);
        ASSERT_GE(Parametres.rotation_x, -90.0f);
        ASSERT_LE(Parametres.rotation_y, 180.0f);
        ASSERT_GE(Parametres.rotation_y, -180.0f);
    }
    EXPECT_EQ(Parametres.rotation_x, -90.0f);
}

TEST_F(Curseur_glut, TailleRelueAvantLeRecentrage)
{
    // The offset uses the stored size; the warp uses the size read back from the viewport.
    Factice::sys.largeur_vue = 800;
    Factice::sys.hauteur_vue = 600;
    gestion_curseur(cx + 10, cy);
    EXPECT_EQ(Parametres.rotation_y, -45.0f + 10.0f * 0.08f);
    EXPECT_EQ(Parametres.rotation_x, 25.0f);
    EXPECT_EQ(Parametres.largeur, 800);
    EXPECT_EQ(Parametres.hauteur, 600);
    EXPECT_EQ(Factice::sys.recentrages, (Recentrages{{400, 300}}));
}

TEST_F(Curseur_glut, ArretSousMoins9999)
{
    for (const bool sur_x : {true, false})
    {
        SCOPED_TRACE(sur_x);
        Parametres.curseur_x = sur_x ? -10000 : 0;
        Parametres.curseur_y = sur_x ? 0 : -10000;
        const Params_glut avant = Parametres;
        // No rotation, no warp, so no echo is awaited either: every later motion is ignored too.
        gestion_curseur(cx + 40, cy + 40);
        gestion_curseur(cx - 40, cy - 40);
        EXPECT_EQ(Champs(Parametres), Champs(avant));
        EXPECT_TRUE(Factice::sys.recentrages.empty());
    }

    // -9999 itself still turns.
    Parametres.curseur_x = -9999;
    Parametres.curseur_y = -9999;
    gestion_curseur(cx + 10, cy);
    EXPECT_EQ(Parametres.rotation_y, -45.0f + 10.0f * 0.08f);
    EXPECT_EQ(Parametres.curseur_x, -9989);
}

TEST_F(Curseur_glut, ArretApresDixMillePixelsVersLaGauche)
{
    // From the start sum -1, twenty motions of 512 pixels to the left are accepted (the twentieth
    // starts at -9729); the sum is then -10241 and pointer rotation stops.
    for (int i = 0; i < 20; ++i)
        Deplace(-cx, 0);
    EXPECT_EQ(Parametres.curseur_x, -1 - 20 * 512);
    EXPECT_EQ(Factice::sys.recentrages.size(), 20u);
    const Params_glut arrete = Parametres;
    Deplace(-cx, 0);
    EXPECT_EQ(Champs(Parametres), Champs(arrete));
    EXPECT_EQ(Factice::sys.recentrages.size(), 20u);

    // A long middle-button drag is not stopped by the sums.
    Parametres.mode_souris = 1;
    gestion_curseur(cx + 10, cy);
    EXPECT_EQ(Parametres.position_x, 10.0f * 0.01f);
    EXPECT_EQ(Factice::sys.recentrages.size(), 21u);
    gestion_curseur(cx, cy);

    // A middle-button press at the centre sets the sums again: rotation works once released.
    gestion_souris(Milieu, Appui, cx, cy);
    gestion_souris(Milieu, Relache, cx, cy);
    const float lacet = Parametres.rotation_y;
    gestion_curseur(cx + 10, cy);
    EXPECT_EQ(Parametres.rotation_y, lacet + 10.0f * 0.08f);
}

} // namespace
