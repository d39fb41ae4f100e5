#pragma once

// Shared builders of the GL-context tests: one freeglut window per process, created on first use
// (never at static initialisation, so listing the tests needs no display), pixel read-back, and
// the expectations that CTest passes through the environment for the runs with hidden extensions:
//   ZARVEL_GL_SANS   groups that must be reported missing ("shaders vbo vba fbo")
//   ZARVEL_GL_AVEC   groups that must be reported present
//   ZARVEL_GL_EFFACE groups whose flags the test clears after Init, to force their fallback

#include "zarvel_gl.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace TestGL
{

constexpr int Largeur = 64;
constexpr int Hauteur = 64;

/// glutInit, retried for a few seconds when the display refuses the connection; false when it
/// never succeeds.
bool InitialiseGlut(int* argc, char** argv);

/// Creates the process's window and context once; exits with a message without a display.
inline void CreeContexte()
{
    static bool cree = false;
    if (cree) return;
    if (!std::getenv("DISPLAY"))
    {
        std::fprintf(stderr, "GL tests need a display: run them under xvfb-run -a\n");
        std::exit(1);
    }
    int argc = 1;
    char nom[] = "gl_gltests";
    char* argv[] = {nom, nullptr};
    if (!InitialiseGlut(&argc, argv))
    {
        std::fprintf(stderr, "GL tests: cannot open display %s\n", std::getenv("DISPLAY"));
        std::exit(1);
    }
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(Largeur, Hauteur);
    glutCreateWindow("gl_gltests");
    PGL::Extensions_GL::GardeModulesCharges();
    cree = true;
}

/// True when the space-separated list in the environment variable holds the word.
inline bool ListeContient(char const* variable, char const* mot)
{
    char const* liste = std::getenv(variable);
    if (!liste) return false;
    const std::string texte = std::string(" ") + liste + " ";
    return texte.find(std::string(" ") + mot + " ") != std::string::npos;
}

/// What Init answered and stored, before any flag was cleared by ZARVEL_GL_EFFACE.
struct EtatInit
{
    bool resultat = false;
    bool shaders = false;
    bool vbo = false;
    bool vba = false;
    bool fbo = false;
};

inline EtatInit& Initial()
{
    static EtatInit etat;
    return etat;
}

/// Runs the loader once, then clears the flags named in ZARVEL_GL_EFFACE.
inline void InitialiseChargeur()
{
    namespace priv = PGL::Extensions_GL_priv;
    if (priv::valide_init) return;
    EtatInit& etat = Initial();
    etat.resultat = PGL::Extensions_GL::Init();
    etat.shaders = priv::valide_support_shaders;
    etat.vbo = priv::valide_support_vbo;
    etat.vba = priv::valide_support_vba;
    etat.fbo = priv::valide_support_fbo;
    if (ListeContient("ZARVEL_GL_EFFACE", "shaders")) priv::valide_support_shaders = false;
    if (ListeContient("ZARVEL_GL_EFFACE", "vbo")) priv::valide_support_vbo = false;
    if (ListeContient("ZARVEL_GL_EFFACE", "vba")) priv::valide_support_vba = false;
    if (ListeContient("ZARVEL_GL_EFFACE", "fbo")) priv::valide_support_fbo = false;
}

/// Neutral GL state: full viewport, identity matrices, no depth test, lighting, blending or
/// program, window frame buffer, black background.
inline void ReinitEtat()
{
    PGL::Program_GL::DesactivePrograms();
    if (PGL::Extensions_GL::SupportFBO()) PGL::Extensions_GL::glBindFramebuffer(0x8D40, 0);
    glViewport(0, 0, Largeur, Hauteur);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glPointSize(1.0f);
    glLineWidth(1.0f);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

/// The whole colour buffer of the bound frame buffer, RGBA, 8 bits per channel, bottom row first.
inline std::vector<uint8_t> LitPixels()
{
    std::vector<uint8_t> pixels(static_cast<size_t>(Largeur) * Hauteur * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Largeur, Hauteur, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

/// One pixel (RGBA) of a read-back image.
inline std::vector<int> Pixel(std::vector<uint8_t> const& image, int x, int y)
{
    const size_t i = (static_cast<size_t>(y) * Largeur + x) * 4;
    return {image[i], image[i + 1], image[i + 2], image[i + 3]};
}

/// Number of pixels whose RGB differs from black.
inline int PixelsAllumes(std::vector<uint8_t> const& image)
{
    int nombre = 0;
    for (size_t i = 0; i < image.size(); i += 4)
        if (image[i] != 0 || image[i + 1] != 0 || image[i + 2] != 0) ++nombre;
    return nombre;
}

/// Number of pixels where some channel of a and b differs by more than the tolerance.
inline int PixelsDifferents(std::vector<uint8_t> const& a, std::vector<uint8_t> const& b, int tolerance = 0)
{
    int nombre = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        for (size_t k = 0; k < 3; ++k)
            if (std::abs(int(a[i + k]) - int(b[i + k])) > tolerance)
            {
                ++nombre;
                break;
            }
    return nombre;
}

/// Two triangles of different colours, one large in the middle and one small in a corner,
/// in clip coordinates (z = 0); any primitive type takes them through Ajout.
inline void AjoutScene(PGL::PTampon_GL& tampon)
{
    const PGL::PVertex_GL n(0.0f, 0.0f, 1.0f);
    tampon.Ajout(PGL::PVertex_GL(-0.8f, -0.8f, 0.0f), PGL::PVertex_GL(0.8f, -0.8f, 0.0f),
                 PGL::PVertex_GL(0.0f, 0.8f, 0.0f), n, PGL::PCouleur_GL(0.9f, 0.2f, 0.1f, 1.0f));
    tampon.Ajout(PGL::PVertex_GL(-0.9f, 0.9f, 0.0f), PGL::PVertex_GL(-0.9f, 0.2f, 0.0f),
                 PGL::PVertex_GL(-0.2f, 0.9f, 0.0f), n, PGL::PCouleur_GL(0.1f, 0.7f, 0.3f, 1.0f));
}

/// Fixture of the tests that need a context and a loaded loader.
class ContexteGL : public ::testing::Test
{
public:
    static void SetUpTestSuite()
    {
        CreeContexte();
        InitialiseChargeur();
    }

protected:
    void SetUp() override
    {
        while (glGetError() != GL_NO_ERROR)
        {
        }
        ReinitEtat();
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }
};

} // namespace TestGL
