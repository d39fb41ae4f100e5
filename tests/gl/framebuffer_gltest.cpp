#include "test_helpers.h"

#include <GL/glx.h>

#include <memory>

using PGL::PFrameBuffer_GL;

namespace
{

char const* const PixelInverse = "uniform sampler2D Texture;\n"
                                 "varying vec2 f_texcoord;\n"
                                 "void main(void)\n"
                                 "{\n"
                                 "    vec4 c = texture2D(Texture, f_texcoord);\n"
                                 "    gl_FragColor = vec4(1.0 - c.rgb, 1.0);\n"
                                 "}\n";
// Writes its uniforms as colours: Resolution / 255 in red and green, the clock in blue.
char const* const PixelUniformes = "uniform sampler2D Texture;\n"
                                   "uniform vec2 Resolution;\n"
                                   "uniform float Time;\n"
                                   "varying vec2 f_texcoord;\n"
                                   "void main(void)\n"
                                   "{\n"
                                   "    gl_FragColor = vec4(Resolution / 255.0, Time, 1.0)\n"
                                   "                 + 0.0 * texture2D(Texture, f_texcoord);\n"
                                   "}\n";
char const* const PixelFond =
    "uniform sampler2D Texture;\n"
    "uniform vec3 BackgroundColor;\n"
    "varying vec2 f_texcoord;\n"
    "void main(void)\n"
    "{\n"
    "    gl_FragColor = vec4(BackgroundColor, 1.0) + 0.0 * texture2D(Texture, f_texcoord);\n"
    "}\n";
char const* const PixelConstant = "void main(void)\n{\n    gl_FragColor = vec4(1.0);\n}\n";
char const* const VertexFixe = "void main(void)\n{\n    gl_Position = gl_Vertex;\n}\n";
char const* const SourceFausse = "void main(void)\n{\n    gl_FragColor = \n}\n";
char const* const PixelSansDefinition = "uniform sampler2D Texture;\n"
                                        "void absente(void);\n"
                                        "void main(void)\n"
                                        "{\n"
                                        "    absente();\n"
                                        "    gl_FragColor = vec4(1.0);\n"
                                        "}\n";

void DessineScene()
{
    PGL::PTampon_GL tampon(GL_TRIANGLES);
    TestGL::AjoutScene(tampon);
    tampon.Affichage();
}

// The scene drawn straight to the window.
std::vector<uint8_t> ImageDirecte()
{
    TestGL::ReinitEtat();
    DessineScene();
    return TestGL::LitPixels();
}

// The scene drawn as the engine does: into the frame buffer when it is usable, then finished by
// the post-processing pass; otherwise straight to the window.
std::vector<uint8_t> ImagePostTraitee(PFrameBuffer_GL& framebuffer)
{
    TestGL::ReinitEtat();
    const bool lie = framebuffer.Valide() && framebuffer.Bind();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DessineScene();
    if (lie)
    {
        EXPECT_TRUE(framebuffer.Affichage());
    }
    return TestGL::LitPixels();
}

// No context is current on the calling thread while it lives; then the same context is made
// current again on the same window.
class ContexteRelache
{
public:
    ContexteRelache()
        : affichage(glXGetCurrentDisplay()), fenetre(glXGetCurrentDrawable()),
          contexte(glXGetCurrentContext())
    {
        glXMakeCurrent(affichage, None, nullptr);
    }
    ~ContexteRelache() { glXMakeCurrent(affichage, fenetre, contexte); }
    ContexteRelache(ContexteRelache const&) = delete;
    ContexteRelache& operator=(ContexteRelache const&) = delete;

private:
    Display* affichage;
    GLXDrawable fenetre;
    GLXContext contexte;
};

} // namespace

class PFrameBuffer_GL_Contexte : public TestGL::ContexteGL
{
protected:
    void SetUp() override
    {
        TestGL::ContexteGL::SetUp();
        fbo = PGL::Extensions_GL::SupportFBO();
        post = fbo && PGL::Extensions_GL::SupportShaders();
    }
    // Builds a frame buffer of the window's size with the given post shaders; true when usable.
    bool Prepare(PFrameBuffer_GL& framebuffer, char const* vertex, char const* pixel)
    {
        EXPECT_EQ(framebuffer.Gen(TestGL::Largeur, TestGL::Hauteur), fbo);
        EXPECT_EQ(framebuffer.InitialisationShaders(vertex, pixel), post) << framebuffer.Messages();
        EXPECT_EQ(framebuffer.Valide(), post);
        return post;
    }
    bool fbo = false;
    bool post = false;
};

TEST_F(PFrameBuffer_GL_Contexte, ShadersParDefautReproduisentLImage)
{
    PFrameBuffer_GL framebuffer;
    Prepare(framebuffer, PFrameBuffer_GL::VShaderDefaut(), PFrameBuffer_GL::FShaderDefaut());
    EXPECT_EQ(framebuffer.Messages(), "");
    EXPECT_FALSE(framebuffer.TempsUtilise());
    const std::vector<uint8_t> directe = ImageDirecte();
    const std::vector<uint8_t> post_traitee = ImagePostTraitee(framebuffer);
    EXPECT_GT(TestGL::PixelsAllumes(directe), 500);
    EXPECT_EQ(TestGL::PixelsDifferents(directe, post_traitee), 0);
    // The pass leaves the window bound and no program current.
    GLint lie = -1;
    if (fbo)
    {
        glGetIntegerv(0x8CA6, &lie);
        EXPECT_EQ(lie, 0);
    }
}

TEST_F(PFrameBuffer_GL_Contexte, ShaderInverseInverseLesCouleurs)
{
    PFrameBuffer_GL framebuffer;
    const bool actif = Prepare(framebuffer, PFrameBuffer_GL::VShaderDefaut(), PixelInverse);
    const std::vector<uint8_t> directe = ImageDirecte();
    const std::vector<uint8_t> post_traitee = ImagePostTraitee(framebuffer);
    if (!actif)
    {
        // No off-screen rendering: the window shows the scene as drawn.
        EXPECT_EQ(TestGL::PixelsDifferents(directe, post_traitee), 0);
        return;
    }
    std::vector<uint8_t> inversee = directe;
    for (size_t i = 0; i < inversee.size(); i += 4)
        for (size_t k = 0; k < 3; ++k)
            inversee[i + k] = static_cast<uint8_t>(255 - inversee[i + k]);
    EXPECT_EQ(TestGL::PixelsDifferents(inversee, post_traitee, 1), 0);
    EXPECT_EQ(TestGL::Pixel(post_traitee, 63, 0), (std::vector<int>{255, 255, 255, 255}));
}

TEST_F(PFrameBuffer_GL_Contexte, UniformsResolutionTempsEtFond)
{
    PFrameBuffer_GL framebuffer;
    if (!Prepare(framebuffer, PFrameBuffer_GL::VShaderDefaut(), PixelUniformes))
    {
        EXPECT_FALSE(framebuffer.Affichage());
        return;
    }
    EXPECT_TRUE(framebuffer.TempsUtilise());
    framebuffer.defTailleEcran(40, 20);
    ImagePostTraitee(framebuffer);
    const std::vector<uint8_t> image = ImagePostTraitee(framebuffer);
    // Two frames: the clock went up by 0.04 twice.
    EXPECT_FLOAT_EQ(framebuffer.Temps(), 0.08f);
    const std::vector<int> p = TestGL::Pixel(image, 10, 10);
    EXPECT_EQ(p[0], 40);
    EXPECT_EQ(p[1], 20);
    EXPECT_NEAR(p[2], 20, 1); // 0.08 x 255

    PFrameBuffer_GL fond;
    ASSERT_TRUE(Prepare(fond, PFrameBuffer_GL::VShaderDefaut(), PixelFond));
    EXPECT_FALSE(fond.TempsUtilise());
    fond.defCouleurFond(PGL::PCouleur_GL(0.2f, 0.4f, 0.6f, 0.0f));
    const std::vector<uint8_t> colore = ImagePostTraitee(fond);
    EXPECT_EQ(TestGL::Pixel(colore, 5, 50), (std::vector<int>{51, 102, 153, 255}));
    EXPECT_EQ(fond.Temps(), 0.0f) << "without Time the clock stays at 0";
}

TEST_F(PFrameBuffer_GL_Contexte, MessagesDesEchecs)
{
    PFrameBuffer_GL framebuffer;
    EXPECT_FALSE(
        framebuffer.InitialisationShaders(PFrameBuffer_GL::VShaderDefaut(), PFrameBuffer_GL::FShaderDefaut()))
        << "no Gen yet";
    if (!framebuffer.Gen(TestGL::Largeur, TestGL::Hauteur) || !post) return;
    EXPECT_FALSE(framebuffer.InitialisationShaders(nullptr, nullptr));
    EXPECT_EQ(framebuffer.Messages(), "");

    EXPECT_FALSE(framebuffer.InitialisationShaders(PFrameBuffer_GL::VShaderDefaut(), SourceFausse));
    const std::string journal_pixel = framebuffer.Programme().PixelShader().Journal();
    EXPECT_GT(journal_pixel.size(), 1u);
    EXPECT_EQ(framebuffer.Messages(), "\nFragments:\n" + journal_pixel + "\n");
    EXPECT_FALSE(framebuffer.Valide());

    EXPECT_FALSE(framebuffer.InitialisationShaders(SourceFausse, SourceFausse));
    EXPECT_EQ(framebuffer.Messages(), "\nVertex:\n" + framebuffer.Programme().VertexShader().Journal() +
                                          "\n\nFragments:\n" +
                                          framebuffer.Programme().PixelShader().Journal() + "\n");

    EXPECT_FALSE(framebuffer.InitialisationShaders(PFrameBuffer_GL::VShaderDefaut(), PixelSansDefinition));
    EXPECT_EQ(framebuffer.Messages(), "\nLinking:\n" + framebuffer.Programme().Journal() + "\n");

    // Missing inputs are warnings only.
    EXPECT_TRUE(framebuffer.InitialisationShaders(VertexFixe, PixelConstant));
    EXPECT_EQ(framebuffer.Messages(),
              "\nWarning : Attribute Coords unused.\nWarning : Uniform Texture unused.");
    EXPECT_TRUE(framebuffer.Valide());
    EXPECT_TRUE(framebuffer.Bind());
    EXPECT_TRUE(framebuffer.Affichage());
}

TEST_F(PFrameBuffer_GL_Contexte, DesactivationPuisNouvelleGeneration)
{
    PFrameBuffer_GL framebuffer;
    if (!Prepare(framebuffer, PFrameBuffer_GL::VShaderDefaut(), PFrameBuffer_GL::FShaderDefaut())) return;
    const std::vector<uint8_t> directe = ImageDirecte();

    // Shaders switched off: the frame buffer stays but is no longer used.
    framebuffer.DesactiveProgram();
    EXPECT_FALSE(framebuffer.Valide());
    EXPECT_FALSE(framebuffer.ValideLiageShaders());
    EXPECT_NE(framebuffer.Nom(), 0u);
    EXPECT_TRUE(framebuffer.InitialisationShaders(PFrameBuffer_GL::VShaderDefaut(),
                                                  PFrameBuffer_GL::FShaderDefaut()));
    EXPECT_FALSE(framebuffer.Valide()) << "only a new Gen enables it again";

    // Full teardown, then a new generation and new shaders.
    framebuffer.Desactive();
    EXPECT_EQ(framebuffer.Nom(), 0u);
    EXPECT_EQ(framebuffer.Texture().Nom(), 0u);
    EXPECT_TRUE(framebuffer.Gen(TestGL::Largeur, TestGL::Hauteur));
    EXPECT_TRUE(framebuffer.InitialisationShaders(PFrameBuffer_GL::VShaderDefaut(),
                                                  PFrameBuffer_GL::FShaderDefaut()));
    EXPECT_TRUE(framebuffer.Valide());
    EXPECT_EQ(TestGL::PixelsDifferents(directe, ImagePostTraitee(framebuffer)), 0);

    const std::string chemin = ::testing::TempDir() + "zarvel_post_gl.bin";
    GLint formats = 0;
    glGetIntegerv(0x87FE, &formats);
    EXPECT_EQ(framebuffer.DumpShaderBinaire(chemin), formats > 0);
}

TEST_F(PFrameBuffer_GL_Contexte, LiaisonSauvegardeEtRestaure)
{
    PFrameBuffer_GL framebuffer;
    framebuffer.UnBind(); // nothing saved: binds the window's frame buffer
    if (!framebuffer.Gen(16, 16))
    {
        EXPECT_FALSE(framebuffer.Bind());
        return;
    }
    GLint lie = -1;
    ASSERT_TRUE(framebuffer.Bind());
    EXPECT_EQ(framebuffer.FrameBufferInitial(), 0u);
    glGetIntegerv(0x8CA6, &lie);
    EXPECT_EQ(static_cast<unsigned int>(lie), framebuffer.Nom());
    // Bound again while bound: it saves itself, so UnBind leaves it bound.
    ASSERT_TRUE(framebuffer.Bind());
    EXPECT_EQ(framebuffer.FrameBufferInitial(), framebuffer.Nom());
    framebuffer.UnBind();
    glGetIntegerv(0x8CA6, &lie);
    EXPECT_EQ(static_cast<unsigned int>(lie), framebuffer.Nom());
    PGL::Extensions_GL::glBindFramebuffer(0x8D40, 0);
    ASSERT_TRUE(framebuffer.Bind());
    framebuffer.UnBind();
    glGetIntegerv(0x8CA6, &lie);
    EXPECT_EQ(lie, 0);
}

TEST_F(PFrameBuffer_GL_Contexte, TexturesFormatsEtParametres)
{
    PGL::PTexture_GL texture(false, true);
    ASSERT_NE(texture.Nom(), 0u);
    // BGR floats: blue first in memory.
    const float bgr[3] = {1.0f, 0.5f, 0.0f};
    ASSERT_TRUE(texture.TexImage2D_BGR(1, 1, reinterpret_cast<char const*>(bgr)));
    ASSERT_TRUE(texture.Bind());
    GLint format = 0, filtre = 0, enveloppe = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filtre);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &enveloppe);
    float rgb[3] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, rgb);
    texture.UnBind();
    EXPECT_EQ(format, GL_RGB);
    EXPECT_EQ(filtre, GL_NEAREST);
    EXPECT_EQ(enveloppe, GL_REPEAT);
    EXPECT_EQ(rgb[0], 0.0f);
    EXPECT_NEAR(rgb[1], 0.5f, 0.01f);
    EXPECT_EQ(rgb[2], 1.0f);

    EXPECT_TRUE(texture.Valide(true));
    EXPECT_TRUE(texture.Reactive());
    EXPECT_TRUE(texture.Desactive());
    EXPECT_FALSE(texture.Valide(false));
    EXPECT_FALSE(texture.Bind());

    PGL::PRenderBuffer_GL profondeur;
    EXPECT_EQ(profondeur.Nom() != 0, fbo);
    EXPECT_EQ(profondeur.Transfert(8, 8), fbo);
    EXPECT_EQ(profondeur.Valide(true), fbo);
}

// Built while no context is current, the frame buffer and the shader set hold no GL name; once a
// context is current again, Gen creates the attachments and the shader initialisations create
// the programs, so both work as if built with the context.
TEST_F(PFrameBuffer_GL_Contexte, ConstruitSansContexteUtilisableEnsuite)
{
    std::unique_ptr<PFrameBuffer_GL> framebuffer;
    std::unique_ptr<PGL::Shaders_GL> set;
    {
        ContexteRelache relache;
        ASSERT_FALSE(PGL::Extensions_GL::ContexteCourant());
        framebuffer = std::make_unique<PFrameBuffer_GL>();
        set = std::make_unique<PGL::Shaders_GL>();
    }
    ASSERT_TRUE(PGL::Extensions_GL::ContexteCourant());
    EXPECT_EQ(framebuffer->Texture().Nom(), 0u);
    EXPECT_EQ(framebuffer->Programme().Nom(), 0u);
    EXPECT_EQ(set->Programme().Nom(), 0u);

    Prepare(*framebuffer, PFrameBuffer_GL::VShaderDefaut(), PFrameBuffer_GL::FShaderDefaut());
    EXPECT_EQ(framebuffer->Texture().Nom() != 0, fbo);
    EXPECT_EQ(TestGL::PixelsDifferents(ImageDirecte(), ImagePostTraitee(*framebuffer)), 0);

    const bool shaders = PGL::Extensions_GL::SupportShaders();
    set->InitialisationShader(PGL::Shaders_GL::VShaderDefaut(), PGL::Shaders_GL::FShaderDefaut());
    EXPECT_EQ(set->Programme().Nom() != 0, shaders);
    EXPECT_EQ(set->Programme().Lie(), shaders) << set->Journal();
    EXPECT_EQ(set->Activation(PGL::PMatriceGL4(), PGL::PMatriceGL4()), shaders);
    PGL::Program_GL::DesactivePrograms();
}
