// Camera: the angle step of the automatic rotation, and GereCamera turning the settings into the
// engine's camera once per frame (angles, absolute translation and advance, negative advance).
#include "test_helpers.h"

#include <ostream>

namespace
{

struct Increment
{
    float angle;
    float increment;
    float attendu;
};

std::ostream& operator<<(std::ostream& os, Increment const& i)
{
    return os << i.angle << " + " << i.increment;
}

class IncCoordCamera_glut : public ::testing::TestWithParam<Increment>
{
};

TEST_P(IncCoordCamera_glut, RevientAZeroAuDelaDe360)
{
    const Increment i = GetParam();
    float angle = i.angle;
    IncCoordCamera(angle, i.increment);
    EXPECT_EQ(angle, i.attendu);
}

INSTANTIATE_TEST_SUITE_P(Angles, IncCoordCamera_glut,
                         ::testing::Values(Increment{10.0f, 2.0f, 12.0f}, Increment{-45.0f, 2.0f, -43.0f},
                                           Increment{358.0f, 2.0f, 360.0f}, Increment{359.0f, 2.0f, 0.0f},
                                           Increment{359.5f, 0.25f, 359.75f},
                                           Increment{200.0f, 200.0f, 0.0f}));

class Camera_glut : public EtatGlutAvecRendu
{
};

TEST_F(Camera_glut, ParametresDeviennentLaCameraDuMoteur)
{
    Parametres.rotation_x = 10.0f;
    Parametres.rotation_y = 20.0f;
    Parametres.rotation_z = 30.0f;
    Parametres.position_x = 0.5f;
    Parametres.position_y = -0.25f;
    Parametres.avance = 3.0f;
    // Twice: the translation and the advance are absolute, not added.
    for (int trame = 0; trame < 2; ++trame)
    {
        GereCamera();
        EXPECT_EQ(Rendu().RotationCamera().X, -10.0f);
        EXPECT_EQ(Rendu().RotationCamera().Y, -20.0f);
        EXPECT_EQ(Rendu().RotationCamera().Z, 30.0f);
        EXPECT_EQ(Rendu().TranslationCamera().X, -0.5f);
        EXPECT_EQ(Rendu().TranslationCamera().Y, 0.25f);
        EXPECT_EQ(Rendu().TranslationCamera().Z, 3.0f);
    }
    EXPECT_EQ(Parametres.rotation_y, 20.0f);
    EXPECT_EQ(Parametres.avance, 3.0f);
}

TEST_F(Camera_glut, RotationAutomatiqueDeDeuxDegresParTrame)
{
    Parametres.rotation_auto = true;
    Parametres.rotation_y = 100.0f;
    GereCamera();
    EXPECT_EQ(Parametres.rotation_y, 102.0f);
    EXPECT_EQ(Rendu().RotationCamera().Y, -102.0f);

    // Up to 360, then back to 0.
    Parametres.rotation_y = 358.0f;
    GereCamera();
    EXPECT_EQ(Parametres.rotation_y, 360.0f);
    GereCamera();
    EXPECT_EQ(Parametres.rotation_y, 0.0f);
    EXPECT_EQ(Rendu().RotationCamera().Y, 0.0f);

    Parametres.rotation_auto = false;
    GereCamera();
    EXPECT_EQ(Parametres.rotation_y, 0.0f);
}

TEST_F(Camera_glut, AvanceNegativeRameneeAZero)
{
    Parametres.avance = 0.25f;
    GereCamera();
    EXPECT_EQ(Rendu().TranslationCamera().Z, 0.25f);

    // The wheel drives the advance below 0: the next frame sets it to 0 and the engine keeps its
    // previous advance for that frame.
    gestion_souris(3, 0, 0, 0);
    ASSERT_LT(Parametres.avance, 0.0f);
    Parametres.position_x = 1.0f;
    GereCamera();
    EXPECT_EQ(Parametres.avance, 0.0f);
    EXPECT_EQ(Rendu().TranslationCamera().Z, 0.25f);
    EXPECT_EQ(Rendu().TranslationCamera().X, -1.0f);

    GereCamera();
    EXPECT_EQ(Rendu().TranslationCamera().Z, 0.0f);
}

} // namespace
