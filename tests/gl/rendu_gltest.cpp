// Frames of the scene renderer drawn in the test window and read back: background, display modes
// on the built-in cube drawing, origin axes, highlights, marker, the post-processing frame buffer,
// the point under the pointer, and an overlay that stops allocating. The CTest runs repeat every
// test with shaders, buffer objects or frame buffers hidden, so each fallback draws them too.
#include "test_helpers.h"

#include "../zarvel3d/engine_dessins.h"
#include "../zarvel3d/maillage_outils.h"

#include <memory>

using PGL::PCouleur_GL;
using PGL::PVertex_GL;
using PGL::Zarvel_GL;

namespace
{

using Image = std::vector<uint8_t>;

struct Options
{
    bool shaders = true;
    bool post = false;
    int mode = 1;
    bool sans_vbo = false;
    unsigned int tranche = 0;
    float opacite = 100.0f;
};

// The renderer as the viewer sets it up, in the 64 x 64 test window.
std::unique_ptr<Zarvel_GL> CreeRendu(Options const& o)
{
    PGL::Params_GL params(8.0f, 2.0f, true, false, false, o.shaders, o.post);
    PGL::Params_Zarvel_GL scene(o.opacite, 0, false);
    scene.mode_affichage = o.mode;
    scene.sans_vbo = o.sans_vbo;
    scene.triangles_par_tranche = o.tranche;
    std::unique_ptr<Zarvel_GL> rendu(new Zarvel_GL(params, scene));
    rendu->InitialisationAffichage();
    rendu->InitialisationShaders(PGL::Shaders_GL::VShaderDefaut(), PGL::Shaders_GL::FShaderDefaut(), 1);
    rendu->InitialisationShaders(PGL::PFrameBuffer_GL::VShaderDefaut(), PGL::PFrameBuffer_GL::FShaderDefaut(), 2);
    rendu->defIdCouleurScene(Zarvel3D::RAL::RechercheIndex(9010));
    rendu->defTailleAffichage(TestGL::Largeur, TestGL::Hauteur);
    return rendu;
}

// One frame with the camera at rest, moved forward by the advance; the window's image.
Image Trame(Zarvel_GL& rendu, double avance)
{
    rendu.IdentiteMatrices();
    rendu.defAvanceCamera(avance, false);
    rendu.AfficheScene();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return TestGL::LitPixels();
}

// The cube of side 15 built from its three views by the library, as the program builds it.
std::unique_ptr<Zarvel3D::Zarvel, void (*)(Zarvel3D::Zarvel*)> CubeDessin()
{
    std::unique_ptr<Zarvel3D::Zarvel, void (*)(Zarvel3D::Zarvel*)> z(
        Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr), [](Zarvel3D::Zarvel* p) { delete p; });
    EXPECT_EQ(essais::GenCube(*z), Zarvel3D::ZARVEL_SUCCES) << z->Diagnostic();
    return z;
}

bool Proche(std::vector<int> const& p, int r, int g, int b, int tolerance)
{
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

int Compte(Image const& image, int r, int g, int b, int tolerance)
{
    int n = 0;
    for (int y = 0; y < TestGL::Hauteur; ++y)
        for (int x = 0; x < TestGL::Largeur; ++x)
            if (Proche(TestGL::Pixel(image, x, y), r, g, b, tolerance)) ++n;
    return n;
}

// Pixels of the lit RAL 9010 surfaces: every channel bright.
int PixelsSolides(Image const& image)
{
    int n = 0;
    for (int y = 0; y < TestGL::Hauteur; ++y)
        for (int x = 0; x < TestGL::Largeur; ++x)
        {
            const std::vector<int> p = TestGL::Pixel(image, x, y);
            if (p[0] > 170 && p[1] > 170 && p[2] > 160) ++n;
        }
    return n;
}

// The default background, (0.117, 0.145, 0.184) in bytes.
constexpr int FondR = 30;
constexpr int FondG = 37;
constexpr int FondB = 47;

class RenduGL : public TestGL::ContexteGL
{
};

} // namespace

TEST_F(RenduGL, FondSeul)
{
    for (bool post : {false, true})
    {
        std::unique_ptr<Zarvel_GL> rendu = CreeRendu({true, post, 1});
        rendu->PrepareScene(nullptr);
        const Image image = Trame(*rendu, 1.5);
        EXPECT_EQ(Compte(image, FondR, FondG, FondB, 1), TestGL::Largeur * TestGL::Hauteur) << "post " << post;
        const PCouleur_GL fond = rendu->CouleurFondReel();
        EXPECT_NEAR(fond.rouge, 0.117f, 0.005f);
        EXPECT_NEAR(fond.bleu, 0.184f, 0.005f);
        EXPECT_EQ(fond.alpha, 1.0f);
    }
}

TEST_F(RenduGL, CubeSelonLesModes)
{
    auto cube = CubeDessin();
    int solides[4];
    int allumes[4];
    for (int mode = 0; mode < 4; ++mode)
    {
        std::unique_ptr<Zarvel_GL> rendu = CreeRendu({true, false, mode});
        rendu->PrepareScene(&cube->Scene());
        const Image image = Trame(*rendu, 1.5);
        solides[mode] = PixelsSolides(image);
        allumes[mode] = TestGL::Largeur * TestGL::Hauteur - Compte(image, FondR, FondG, FondB, 2);
        // The corners stay background in every mode.
        EXPECT_TRUE(Proche(TestGL::Pixel(image, 0, 0), FondR, FondG, FondB, 2)) << mode;
        if (mode <= 1)
        {
            const std::vector<int> centre = TestGL::Pixel(image, 32, 32);
            EXPECT_GT(centre[0], 170) << mode;
            EXPECT_GT(centre[1], 170) << mode;
        }
    }
    // The front face covers about the middle half of the window in modes 0 and 1.
    EXPECT_GT(solides[0], 500);
    EXPECT_GT(solides[1], 500);
    // Mode 2: only the triangles' outlines, in the surface colour; mode 3: no surface at all.
    EXPECT_GT(solides[2], 0);
    EXPECT_LT(solides[2], solides[1] / 2);
    EXPECT_EQ(solides[3], 0);
    EXPECT_GT(allumes[3], 0);
}

TEST_F(RenduGL, AvecEtSansPostTraitement)
{
    auto cube = CubeDessin();
    std::unique_ptr<Zarvel_GL> direct = CreeRendu({true, false, 1});
    direct->PrepareScene(&cube->Scene());
    const Image sans = Trame(*direct, 1.5);
    direct.reset();
    std::unique_ptr<Zarvel_GL> post = CreeRendu({true, true, 1});
    post->PrepareScene(&cube->Scene());
    const Image avec = Trame(*post, 1.5);
    // The default post shader copies the off-screen image: the same picture either way.
    EXPECT_LT(TestGL::PixelsDifferents(sans, avec, 3), 40);
    EXPECT_GT(PixelsSolides(avec), 500);
}

TEST_F(RenduGL, OrigineEnModeZeroSeulement)
{
    // An empty scene and a camera close to the origin: the axes alone are on screen.
    const int axes[3][3] = {{204, 77, 128}, {102, 205, 128}, {25, 205, 205}};
    for (int mode : {0, 1, 2, 3})
    {
        std::unique_ptr<Zarvel_GL> rendu = CreeRendu({true, false, mode});
        rendu->PrepareScene(nullptr);
        const Image image = Trame(*rendu, 0.1);
        int pixels_axes = 0;
        for (auto const& c : axes)
            pixels_axes += Compte(image, c[0], c[1], c[2], 40);
        if (mode == 0)
            EXPECT_GT(pixels_axes, 10);
        else
            EXPECT_EQ(pixels_axes, 0) << mode;
    }
}

TEST_F(RenduGL, SommetSurligneEtRepere)
{
    Zarvel3D::PScene3D scene;
    const Zarvel3D::Pvec3 zero;
    scene.AjoutSommet(Zarvel3D::Pvec3(-1, 0, 0), zero);
    scene.AjoutSommet(Zarvel3D::Pvec3(1, 0, 0), zero);
    scene.Recalcule();
    std::unique_ptr<Zarvel_GL> rendu = CreeRendu({true, false, 1});
    rendu->PrepareScene(&scene);
    PCouleur_GL const& c = rendu->ParamsScene().couleur_point;
    const int r = static_cast<int>(c.rouge * 255), g = static_cast<int>(c.vert * 255), b = static_cast<int>(c.bleu * 255);

    // No mode shows the vertices: only the highlight does.
    EXPECT_EQ(Compte(Trame(*rendu, 1.5), r, g, b, 30), 0);
    rendu->AffichagePoint(1);
    EXPECT_GT(Compte(Trame(*rendu, 1.5), r, g, b, 30), 5);
    // An index past the prepared points is ignored.
    rendu->AffichagePoint(2);
    EXPECT_EQ(Compte(Trame(*rendu, 1.5), r, g, b, 30), 0);

    rendu->defSommetRepere(PVertex_GL(0, 0, 0), true);
    rendu->defSommetRepere(PVertex_GL(0.3f, 0.2f, 0), false);
    const Image repere = Trame(*rendu, 1.5);
    EXPECT_GT(Compte(repere, 0, 255, 0, 60), 5);
    EXPECT_GT(Compte(repere, 255, 0, 0, 60), 5);
    rendu->SupprimeSommetRepere();
    const Image sans_repere = Trame(*rendu, 1.5);
    EXPECT_EQ(Compte(sans_repere, 0, 255, 0, 60), 0);
    EXPECT_EQ(Compte(sans_repere, 255, 0, 0, 60), 0);
}

TEST_F(RenduGL, ProjectionDuCurseur)
{
    auto cube = CubeDessin();
    for (bool post : {false, true})
    {
        std::unique_ptr<Zarvel_GL> rendu = CreeRendu({true, post, 1});
        rendu->PrepareScene(&cube->Scene());
        Trame(*rendu, 1.5);
        EXPECT_TRUE(rendu->CalcProjectionCurseur(32, 32)) << post;
        // The point is in display coordinates: the unit cube's face towards the camera, z = -0.5.
        EXPECT_NEAR(rendu->PositionCurseur().Z, -0.5f, 0.01f);
        EXPECT_NEAR(rendu->PositionCurseur().X, 0.0f, 0.05f);
        EXPECT_FALSE(rendu->CalcProjectionCurseur(1, 1)) << post;
        EXPECT_GT(rendu->PositionCurseur().Z, 100.0f);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(RenduGL, LeDecorNAlloueRienApresLesPremieresTrames)
{
    auto cube = CubeDessin();
    std::unique_ptr<Zarvel_GL> rendu = CreeRendu({true, true, 0});
    rendu->PrepareScene(&cube->Scene());
    rendu->AffichagePoint(0);
    rendu->AffichageCentreSegment(0);
    rendu->AffichageCentreSurface(0);
    rendu->defSommetRepere(PVertex_GL(0, 0, 0), true);
    for (int i = 0; i < 3; ++i)
        Trame(*rendu, 1.5);
    PGL::PTampon_GL const* tampons[2] = {&rendu->TamponPointsDiv(), &rendu->TamponLignesDiv()};
    PVertex_GL const* donnees[2];
    size_t capacites[2];
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_GT(tampons[i]->NombreVertices(), 0u);
        donnees[i] = tampons[i]->Vertices().data();
        capacites[i] = tampons[i]->Vertices().capacity();
    }
    for (int trame = 0; trame < 20; ++trame)
    {
        rendu->defSommetRepere(PVertex_GL(0.01f * trame, 0, 0), false);
        Trame(*rendu, 1.5);
        for (int i = 0; i < 2; ++i)
        {
            EXPECT_EQ(tampons[i]->Vertices().data(), donnees[i]);
            EXPECT_EQ(tampons[i]->Vertices().capacity(), capacites[i]);
            EXPECT_EQ(tampons[i]->Couleurs().capacity(), capacites[i]);
        }
    }
    // Highlights: vertex, segment midpoint, surface centre, marker origin.
    EXPECT_EQ(rendu->TamponPointsDiv().NombreVertices(), 4u);
    // Origin axes (mode 0) and the marker's segment.
    EXPECT_EQ(rendu->TamponLignesDiv().NombreVertices(), 8u);
}

TEST_F(RenduGL, SansVBOLeMemeDessin)
{
    auto cube = CubeDessin();
    std::unique_ptr<Zarvel_GL> avec = CreeRendu({true, true, 0, false});
    avec->PrepareScene(&cube->Scene());
    const Image image_avec = Trame(*avec, 1.5);
    EXPECT_EQ(avec->TamponSurfaces().VBOActif(), PGL::Extensions_GL::SupportVBO());
    avec.reset();
    std::unique_ptr<Zarvel_GL> sans = CreeRendu({true, true, 0, true});
    sans->PrepareScene(&cube->Scene());
    for (PGL::PTampon_GL const* t : {&sans->TamponSurfaces(), &sans->TamponFilaire(), &sans->TamponSommets(),
                                     &sans->TamponProjections(), &sans->TamponTextes(), &sans->TamponCentres()})
        EXPECT_FALSE(t->VBOActif());
    // Drawn from memory, the frame is the same.
    EXPECT_LT(TestGL::PixelsDifferents(image_avec, Trame(*sans, 1.5), 3), 10);
}

// Surfaces drawn slice by slice from the scene give the frame of the prepared surfaces, for a
// built model and for an imported mesh, flat or smooth, opaque or blended (the triangles keep
// their order); the surface buffer then stays empty and the scene may go.
TEST_F(RenduGL, SurfacesParTranchesLeMemeDessin)
{
    auto cube = CubeDessin();
    outils::Repertoire rep;
    outils::EcritBinaire(rep / "tore.stl", outils::Tore(24, 16));
    auto tore = std::make_unique<Zarvel3D::PScene3D>();
    ASSERT_TRUE(tore->ImportSTL((rep / "tore.stl").c_str(), 0, false, nullptr, nullptr));
    struct Cas
    {
        Zarvel3D::PScene3D const* scene;
        unsigned int tranche;
        bool lissage;
        float opacite;
    };
    for (Cas const& cas : {Cas{&cube->Scene(), 5, false, 100.0f}, Cas{tore.get(), 50, false, 100.0f},
                           Cas{tore.get(), 7, true, 40.0f}, Cas{tore.get(), 100000, false, 100.0f}})
    {
        SCOPED_TRACE(cas.tranche);
        Options entiere{true, true, 0, false, 0, cas.opacite};
        std::unique_ptr<Zarvel_GL> reference = CreeRendu(entiere);
        reference->PrepareScenePriv(cas.scene, false, cas.lissage);
        const Image attendue = Trame(*reference, 1.5);
        const unsigned int aretes = reference->TamponFilaire().NombreVertices();
        reference.reset();
        Options tranches = entiere;
        tranches.tranche = cas.tranche;
        std::unique_ptr<Zarvel_GL> rendu = CreeRendu(tranches);
        {
            Zarvel3D::PScene3D copie(*cas.scene);
            rendu->PrepareScenePriv(&copie, false, cas.lissage);
        }
        EXPECT_EQ(rendu->TamponSurfaces().NombreVertices(), 0u);
        EXPECT_EQ(rendu->TamponFilaire().NombreVertices(), aretes);
        EXPECT_EQ(TestGL::PixelsDifferents(attendue, Trame(*rendu, 1.5), 0), 0);
        // The model covers part of the window.
        EXPECT_GT(TestGL::Largeur * TestGL::Hauteur - Compte(attendue, FondR, FondG, FondB, 2), 100);
    }
}
