// The viewer object: what construction does to the settings, which scene it shows, the renderer
// that Lance_glut creates, and the release of the scene, the engine and the renderer, each once,
// by Nettoyage (the exit handler) and the destructor.
#include "test_helpers.h"

namespace
{

const float VecteurNul[3] = {0.0f, 0.0f, 0.0f};

// An engine that counts its destructions; its scene is its own member.
class MoteurCompte : public Zarvel3D::Zarvel
{
public:
    explicit MoteurCompte(int& compteur) : detruits(compteur) {}
    ~MoteurCompte() override { ++detruits; }
    MoteurCompte(MoteurCompte const&) = delete;
    MoteurCompte& operator=(MoteurCompte const&) = delete;

    bool AjoutLigne(int, const Zarvel3D::Point2D&, const Zarvel3D::Point2D&, const Zarvel3D::AttributsLigne&,
                    int, int) override
    {
        return false;
    }
    bool AjoutEllipse(int, const Zarvel3D::Point2D&, double, double, double, double, double,
                      const Zarvel3D::AttributsLigne&, int) override
    {
        return false;
    }
    bool AjoutPoint(int, const Zarvel3D::Point2D&) override { return false; }
    int Generation(Zarvel3D::modezarvel_t, double) override { return Zarvel3D::ZARVEL_ERREUR_MODE; }
    Zarvel3D::PScene3D* ScenePtr() override { return &scene; }
    const Zarvel3D::PScene3D& Scene() const override { return scene; }
    const char* Diagnostic() const override { return ""; }

private:
    Zarvel3D::PScene3D scene;
    int& detruits;
};

class Instance_glut : public EtatGlut
{
};

TEST_F(Instance_glut, ConstructionAvecUneScene)
{
    Parametres = ParamsModifies();
    auto* scene = new Zarvel3D::PScene3D;
    {
        Zarvel_glut vue(scene, 1024, 768, false, 2, 9010);
        // Only the size and the full-screen flag change; the copy is taken after them.
        Params_glut attendu = ParamsModifies();
        attendu.largeur = 1024;
        attendu.hauteur = 768;
        attendu.plein_ecran = false;
        EXPECT_EQ(Champs(Parametres), Champs(attendu));
        EXPECT_EQ(Champs(Parametres_copie), Champs(Parametres));

        EXPECT_EQ(Factice::sys.lancements, 1);
        EXPECT_EQ(Factice::sys.mode, 2u);
        EXPECT_EQ(Factice::sys.couleur, 9010u);
        EXPECT_EQ(inst_glut_stat, &vue);
        EXPECT_EQ(vue.SceneZ3DPtr_GL(), scene);
        EXPECT_EQ(&vue.SceneZ3D_GL(), scene);
        EXPECT_EQ(Zarvel_glut::ZarvelGL(), nullptr);
    }
    EXPECT_EQ(inst_glut_stat, nullptr);
}

TEST_F(Instance_glut, ConstructionAvecUnMoteur)
{
    Zarvel3D::Zarvel* moteur = Zarvel3D::Zarvel::Construct(Zarvel3D::ParametresZarvel(), nullptr);
    ASSERT_NE(moteur, nullptr);
    Zarvel3D::PScene3D* scene_moteur = moteur->ScenePtr();
    Zarvel_glut vue(moteur, 640, 480, true, 1, 0);
    Params_glut attendu;
    attendu.largeur = 640;
    attendu.hauteur = 480;
    attendu.plein_ecran = true;
    EXPECT_EQ(Champs(Parametres), Champs(attendu));
    EXPECT_EQ(Champs(Parametres_copie), Champs(attendu));
    EXPECT_EQ(Factice::sys.mode, 1u);
    EXPECT_EQ(vue.SceneZ3DPtr_GL(), scene_moteur);
    EXPECT_EQ(&vue.SceneZ3D_GL(), &moteur->Scene());
}

TEST_F(Instance_glut, RenduCreeAvecLeModeEtLaCouleur)
{
    Factice::sys.cree_rendu = true;
    auto* scene = new Zarvel3D::PScene3D;
    ConstruitScene(*scene);
    Zarvel_glut vue(scene, 1024, 768, false, 2, 9010);
    PGL::Zarvel_GL* rendu = Zarvel_glut::ZarvelGL();
    ASSERT_NE(rendu, nullptr);
    EXPECT_EQ(rendu->ParamsScene().mode_affichage, 2);
    EXPECT_NE(rendu->IdRal(), 0u);
    EXPECT_EQ(rendu->IdRal(), Zarvel3D::RAL::RechercheIndex(9010));
    EXPECT_EQ(rendu->ParamsScene().opacite_solide, 100.0f);
    EXPECT_TRUE(rendu->Params().eclairage_dynamique);
    EXPECT_FALSE(rendu->Params().eclairage_deux_faces);
    EXPECT_FALSE(rendu->Params().projection_orthogonale);
    EXPECT_TRUE(rendu->Params().shaders_actifs);
    EXPECT_TRUE(rendu->Params().post_traitement);
    // The scene was prepared once: its three triangles are in the surface buffer.
    EXPECT_EQ(rendu->TamponSurfaces().NombreVertices(), 9u);

    // A number missing from the RAL table gives no RAL colour.
    Zarvel_glut autre(new Zarvel3D::PScene3D, 1024, 768, false, 0, 1234);
    EXPECT_EQ(Zarvel_glut::ZarvelGL()->IdRal(), 0u);
}

TEST_F(Instance_glut, NettoyagePuisDestructeurLiberentUneFois)
{
    Factice::sys.cree_rendu = true;
    int detruits = 0;
    {
        Zarvel_glut vue(new MoteurCompte(detruits), 1024, 768, false, 0, 0);
        ASSERT_NE(Zarvel_glut::ZarvelGL(), nullptr);
        Nettoyage();
        EXPECT_EQ(detruits, 1);
        EXPECT_EQ(Zarvel_glut::ZarvelGL(), nullptr);
        EXPECT_EQ(vue.SceneZ3DPtr_GL(), nullptr);
        // A second run finds nothing left to release.
        Nettoyage();
        EXPECT_EQ(detruits, 1);
    }
    EXPECT_EQ(detruits, 1);
    // No instance any more: nothing to do.
    Nettoyage();
    EXPECT_EQ(detruits, 1);
}

TEST_F(Instance_glut, DestructeurSeulLibereUneFois)
{
    Factice::sys.cree_rendu = true;
    int detruits = 0;
    {
        Zarvel_glut vue(new MoteurCompte(detruits), 1024, 768, false, 0, 0);
        EXPECT_EQ(detruits, 0);
    }
    EXPECT_EQ(detruits, 1);
}

TEST_F(Instance_glut, NettoyageGardeLaScene)
{
    // The scene outlives the exit handler: the destructor releases it.
    Factice::sys.cree_rendu = true;
    auto* scene = new Zarvel3D::PScene3D;
    ConstruitScene(*scene);
    Zarvel_glut vue(scene, 1024, 768, false, 0, 0);
    Nettoyage();
    EXPECT_EQ(Zarvel_glut::ZarvelGL(), nullptr);
    ASSERT_EQ(vue.SceneZ3DPtr_GL(), scene);
    EXPECT_EQ(vue.SceneZ3D_GL().Modele().sommets.size(), 5u);
}

TEST_F(Instance_glut, ResumeGardeDeLaScenePreparee)
{
    // The interactive viewer keeps its scene beside the summary that its display shows.
    Factice::sys.cree_rendu = true;
    auto* scene = new Zarvel3D::PScene3D;
    ConstruitScene(*scene);
    ASSERT_TRUE(scene->defEchelleAffichage(0.25));
    Zarvel_glut vue(scene, 1024, 768, false, 0, 0);
    EXPECT_EQ(vue.SceneZ3DPtr_GL(), scene);
    EXPECT_EQ(vue.ResumeZ3D().sommets, 5u);
    EXPECT_EQ(vue.ResumeZ3D().segments, 3u);
    EXPECT_EQ(vue.ResumeZ3D().surfaces, 2u);
    EXPECT_EQ(vue.ResumeZ3D().echelle, 0.25f);
}

TEST_F(Instance_glut, CaptureLibereSceneEtMoteurApresLaPreparation)
{
    // A capture draws from the prepared buffers, the renderer's copy of the scene and the
    // summary: the scene and the engine go as soon as the scene is prepared, each once.
    Factice::sys.cree_rendu = true;
    struct GardeCapture
    {
        GardeCapture() { Zarvel_glut::defCapture("capture.png"); }
        ~GardeCapture() { Zarvel_glut::defCapture(nullptr); }
    } garde;
    int detruits = 0;
    {
        auto* moteur = new MoteurCompte(detruits);
        ConstruitScene(*moteur->ScenePtr());
        Zarvel_glut vue(moteur, 1024, 768, false, 0, 0);
        EXPECT_EQ(detruits, 1);
        EXPECT_EQ(vue.SceneZ3DPtr_GL(), nullptr);
        ASSERT_NE(Zarvel_glut::ZarvelGL(), nullptr);
        // The surfaces are drawn in slices from the renderer's own copy of the scene.
        EXPECT_EQ(Zarvel_glut::ZarvelGL()->TamponSurfaces().NombreVertices(), 0u);
        EXPECT_EQ(Zarvel_glut::ZarvelGL()->TamponFilaire().NombreVertices(), 6u);
        EXPECT_EQ(vue.ResumeZ3D().sommets, 5u);
        EXPECT_EQ(vue.ResumeZ3D().surfaces, 2u);
        const std::vector<LigneATH> lignes =
            LignesATH(1024, 768, VecteurNul, vue.ResumeZ3D().echelle, Parametres, 20, vue.ResumeZ3D());
        ASSERT_EQ(lignes.size(), 6u);
        EXPECT_EQ(lignes[3].texte, "5 Sommets");
        Nettoyage();
    }
    EXPECT_EQ(detruits, 1);
}

} // namespace
