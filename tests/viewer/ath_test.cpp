// Heads-up display lines: texts and places of the six lines for a window, from the camera, the
// settings, the time since the previous layer and the scene.
#include "test_helpers.h"

#include <ostream>
#include <string>

namespace
{

const float VecteurNul[3] = {0.0f, 0.0f, 0.0f};

class ATH_glut : public EtatGlut
{
protected:
    void SetUp() override
    {
        EtatGlut::SetUp();
        ConstruitScene(scene);
    }

    std::vector<LigneATH> Lignes(float echelle = 1.0f, int millisecondes = 20) const
    {
        return LignesATH(1024, 768, VecteurNul, echelle, Parametres, millisecondes, scene);
    }

    Zarvel3D::PScene3D scene;
};

TEST_F(ATH_glut, SixLignesPlaceesDansUneFenetre1024x768)
{
    const std::vector<LigneATH> lignes = Lignes();
    ASSERT_EQ(lignes.size(), 6u);
    const int places[6][2] = {{10, 10}, {10, 27}, {924, 743}, {10, 743}, {10, 726}, {10, 709}};
    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(lignes[i].texte);
        EXPECT_EQ(lignes[i].x, places[i][0]);
        EXPECT_EQ(lignes[i].y, places[i][1]);
    }
    // The places follow the window's size.
    const std::vector<LigneATH> petite = LignesATH(300, 200, VecteurNul, 1.0f, Parametres, 20, scene);
    ASSERT_EQ(petite.size(), 6u);
    EXPECT_EQ(petite[2].x, 200);
    EXPECT_EQ(petite[2].y, 175);
    EXPECT_EQ(petite[5].y, 141);
}

TEST_F(ATH_glut, ComptesDuModele)
{
    const std::vector<LigneATH> lignes = Lignes();
    ASSERT_EQ(lignes.size(), 6u);
    EXPECT_EQ(lignes[3].texte, "5 Sommets");
    EXPECT_EQ(lignes[4].texte, "3 Segments");
    EXPECT_EQ(lignes[5].texte, "2 Faces");

    const Zarvel3D::PScene3D vide;
    const std::vector<LigneATH> zero = LignesATH(1024, 768, VecteurNul, 1.0f, Parametres, 20, vide);
    EXPECT_EQ(zero[3].texte, "0 Sommets");
    EXPECT_EQ(zero[4].texte, "0 Segments");
    EXPECT_EQ(zero[5].texte, "0 Faces");
}

TEST_F(ATH_glut, PositionDiviseeParLEchelleDeLaScene)
{
    // The start camera: 0, 0 and 2 / s, with s the scene's display scale (1/4 for this scene).
    const float echelle = static_cast<float>(scene.EchelleAffichage());
    ASSERT_EQ(echelle, 0.25f);
    EXPECT_EQ(Lignes(echelle)[1].texte, "Position: 0.00, 0.00, 8.00");

    Parametres.position_x = -0.5f;
    Parametres.position_y = 0.123f;
    EXPECT_EQ(Lignes(0.3f)[1].texte, "Position: -1.67, 0.41, 6.67");
}

struct Trame
{
    int millisecondes;
    char const* texte;
};

std::ostream& operator<<(std::ostream& os, Trame const& t)
{
    return os << t.millisecondes << " ms";
}

class FPS_glut : public ATH_glut, public ::testing::WithParamInterface<Trame>
{
};

TEST_P(FPS_glut, InverseDeLaDureeDeLaTrame)
{
    EXPECT_EQ(Lignes(1.0f, GetParam().millisecondes)[2].texte, GetParam().texte);
}

// The same millisecond read twice gives an infinite rate.
INSTANTIATE_TEST_SUITE_P(Durees, FPS_glut,
                         ::testing::Values(Trame{20, "50.0 FPS"}, Trame{33, "30.3 FPS"},
                                           Trame{1000, "1.0 FPS"}, Trame{3, "333.3 FPS"},
                                           Trame{0, "inf FPS"}));

TEST_F(ATH_glut, VecteurFormatteATroisDecimales)
{
    const float vecteur[3] = {0.70710678f, -0.5f, 0.0004f};
    const std::vector<LigneATH> lignes = LignesATH(1024, 768, vecteur, 1.0f, Parametres, 20, scene);
    EXPECT_EQ(lignes[0].texte, "Vecteur: 0.707, -0.500, 0.000");
}

class ATHMoteur_glut : public EtatGlutAvecRendu
{
};

TEST_F(ATHMoteur_glut, VecteurDeLaCameraAuxAnglesNuls)
{
    // The frame's camera as affichage computes it, read the way affichage_ATH reads it: the Z axis
    // of the camera matrix, scaled by 0.9.
    Parametres.rotation_x = 0.0f;
    Parametres.rotation_y = 0.0f;
    Parametres.rotation_z = 0.0f;
    Rendu().IdentiteMatrices();
    GereCamera();
    Rendu().CalcMatricesAffichage();
    const PGL::PVertex_GL axe = Rendu().MatriceCamera().AxeZ();
    const float vecteur[3] = {axe.X, axe.Y, axe.Z};
    const float echelle = static_cast<float>(vue->SceneZ3D_GL().EchelleAffichage());
    const std::vector<LigneATH> lignes =
        LignesATH(1024, 768, vecteur, echelle, Parametres, 20, vue->SceneZ3D_GL());
    EXPECT_EQ(lignes[0].texte, "Vecteur: 0.000, 0.000, 0.900");
    EXPECT_EQ(lignes[1].texte, "Position: 0.00, 0.00, 8.00");
    EXPECT_EQ(lignes[3].texte, "5 Sommets");
}

} // namespace
