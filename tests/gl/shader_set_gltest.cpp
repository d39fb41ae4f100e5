#include "test_helpers.h"

#include <clocale>

using PGL::PMatriceGL4;
using PGL::Shaders_GL;

namespace
{

char const* const VertexFaux = "void main(void)\n{\n    gl_Position = vec4(1.0\n}\n";
char const* const FragmentFaux = "void main(void)\n{\n    gl_FragColor = \n}\n";
char const* const FragmentSansDefinition = "void absente(void);\n"
                                           "void main(void)\n"
                                           "{\n"
                                           "    absente();\n"
                                           "    gl_FragColor = vec4(1.0);\n"
                                           "}\n";
// Every input of the set, used.
char const* const VertexComplet = "uniform mat4 matModel;\n"
                                  "uniform mat4 matProjections;\n"
                                  "uniform mat4 matNormals;\n"
                                  "uniform vec3 LightPos;\n"
                                  "attribute vec3 Vertex;\n"
                                  "attribute vec3 Normal;\n"
                                  "varying vec4 color;\n"
                                  "void main(void)\n"
                                  "{\n"
                                  "    vec3 n = (matNormals * vec4(Normal, 0.0)).xyz;\n"
                                  "    color = gl_Color * (0.5 + 0.5 * max(dot(n, LightPos), 0.0));\n"
                                  "    gl_Position = matProjections * matModel * vec4(Vertex, 1.0);\n"
                                  "}\n";
char const* const VertexSansModele = "uniform mat4 matProjections;\n"
                                     "attribute vec3 Vertex;\n"
                                     "void main(void)\n"
                                     "{\n"
                                     "    gl_FrontColor = gl_Color;\n"
                                     "    gl_Position = matProjections * vec4(Vertex, 1.0);\n"
                                     "}\n";
char const* const FragmentInverse = "varying vec4 color;\n"
                                    "void main(void)\n"
                                    "{\n"
                                    "    gl_FragColor = vec4(1.0 - color.rgb, 1.0);\n"
                                    "}\n";
char const* const FragmentCouleur = "void main(void)\n"
                                    "{\n"
                                    "    gl_FragColor = gl_Color;\n"
                                    "}\n";

// The camera used by the drawing tests: a rotation and a translation under an orthographic box,
// loaded into the fixed pipeline and handed to the shaders alike.
struct Matrices
{
    PMatriceGL4 modele;
    PMatriceGL4 projections;
    Matrices()
    {
        modele.RotationZ(20.0f);
        modele.Translation(0.1f, -0.05f, 0.0f);
        projections.defOrtho(-1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f);
    }
    void ChargeFixe() const
    {
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(projections.Donnees());
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(modele.Donnees());
    }
};

} // namespace

class Shaders_GL_Contexte : public TestGL::ContexteGL
{
protected:
    void SetUp() override
    {
        TestGL::ContexteGL::SetUp();
        shaders = PGL::Extensions_GL::SupportShaders();
    }
    bool shaders = false;
};

TEST_F(Shaders_GL_Contexte, SourcesParDefautCommeLePipelineFixe)
{
    Shaders_GL set;
    // Three inputs exist only in comments: false, without a warning.
    EXPECT_FALSE(set.InitialisationShader(Shaders_GL::VShaderDefaut(), Shaders_GL::FShaderDefaut()));
    EXPECT_EQ(set.Programme().Lie(), shaders);
    if (shaders)
    {
        EXPECT_EQ(set.Journal(), "");
        EXPECT_TRUE(set.UniformModele().Valide());
        EXPECT_TRUE(set.AttributSommet().Valide());
        EXPECT_FALSE(set.AttributNormale().Valide());
    }

    PGL::PTampon_GL tampon(GL_TRIANGLES);
    TestGL::AjoutScene(tampon);
    tampon.ActiveVBO(0x88E4);
    tampon.Transfert();
    const Matrices m;
    m.ChargeFixe();
    // With the default sources only the two matrices exist: the four-argument form is false
    // although they are in place.
    EXPECT_FALSE(set.Activation(m.modele, m.projections, PMatriceGL4(), PGL::PVertex_GL(0, 0, 1)));
    EXPECT_EQ(set.Activation(m.modele, m.projections), shaders);
    EXPECT_TRUE(set.Affichage(tampon));
    PGL::Program_GL::DesactivePrograms();
    const std::vector<uint8_t> par_shaders = TestGL::LitPixels();

    TestGL::ReinitEtat();
    m.ChargeFixe();
    tampon.Affichage();
    const std::vector<uint8_t> fixe = TestGL::LitPixels();
    EXPECT_GT(TestGL::PixelsAllumes(fixe), 500);
    EXPECT_EQ(TestGL::PixelsDifferents(par_shaders, fixe), 0);
}

TEST_F(Shaders_GL_Contexte, EntreesCompletesEtReconstruction)
{
    Shaders_GL set;
    if (!shaders)
    {
        EXPECT_FALSE(set.InitialisationShader(VertexComplet, Shaders_GL::FShaderDefaut()));
        return;
    }
    EXPECT_TRUE(set.InitialisationShader(VertexComplet, Shaders_GL::FShaderDefaut())) << set.Journal();
    EXPECT_EQ(set.Journal(), "");
    EXPECT_TRUE(set.Activation(PMatriceGL4(), PMatriceGL4(), PMatriceGL4(), PGL::PVertex_GL(0, 0, 1)));
    EXPECT_TRUE(set.Activation(PMatriceGL4(), PMatriceGL4(), PMatriceGL4()));

    // Rebuilding with other sources looks every input up again: no stale location, no warning.
    EXPECT_FALSE(set.InitialisationShader(Shaders_GL::VShaderDefaut(), Shaders_GL::FShaderDefaut()));
    EXPECT_EQ(set.Journal(), "");
    EXPECT_TRUE(set.AttributSommet().Valide());
    EXPECT_FALSE(set.AttributNormale().Valide());
    EXPECT_FALSE(set.InitialisationShader(Shaders_GL::VShaderDefaut(), Shaders_GL::FShaderDefaut()));
    EXPECT_EQ(set.Journal(), "");
}

TEST_F(Shaders_GL_Contexte, JournalDesEchecs)
{
    Shaders_GL set;
    if (!shaders) return;
    // Vertex stage fails, fragment compiles: one block, nothing linked.
    EXPECT_FALSE(set.InitialisationShader(VertexFaux, Shaders_GL::FShaderDefaut()));
    const std::string journal_vertex = set.Programme().VertexShader().Journal();
    EXPECT_FALSE(journal_vertex.empty());
    EXPECT_EQ(set.Journal(), "\nVertex:\n" + journal_vertex + "\n");
    EXPECT_FALSE(set.Programme().Lie());

    // Both fail: the vertex block, then the fragment block.
    EXPECT_FALSE(set.InitialisationShader(VertexFaux, FragmentFaux));
    EXPECT_EQ(set.Journal(), "\nVertex:\n" + set.Programme().VertexShader().Journal() + "\n\nFragments:\n" +
                                 set.Programme().PixelShader().Journal() + "\n");
    EXPECT_FALSE(set.Programme().PixelShader().Journal().empty());

    // Both compile, the link fails: only the linking block; the set keeps its flag.
    const bool desactive = set.EstDesactive();
    EXPECT_FALSE(set.InitialisationShader(Shaders_GL::VShaderDefaut(), FragmentSansDefinition));
    EXPECT_FALSE(set.Programme().Journal().empty());
    EXPECT_EQ(set.Journal(), "\nLinking:\n" + set.Programme().Journal() + "\n");
    EXPECT_EQ(set.EstDesactive(), desactive);

    // A program without matModel: the warning comes first, and the result is false.
    EXPECT_FALSE(set.InitialisationShader(VertexSansModele, FragmentCouleur));
    EXPECT_TRUE(set.Programme().Lie());
    EXPECT_EQ(set.Journal().rfind("\nWarning : Uniform matModel unused.", 0), 0u) << set.Journal();

    // Two null sources: false, empty log, nothing compiled.
    EXPECT_FALSE(set.InitialisationShader(nullptr, nullptr));
    EXPECT_EQ(set.Journal(), "");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Shaders_GL_Contexte, EnsembleDesactiveDessineParLePipelineFixe)
{
    Shaders_GL inverse;
    Shaders_GL set;
    PGL::PTampon_GL tampon(GL_TRIANGLES);
    TestGL::AjoutScene(tampon);
    const Matrices m;
    m.ChargeFixe();
    tampon.Affichage();
    const std::vector<uint8_t> fixe = TestGL::LitPixels();

    inverse.InitialisationShader(Shaders_GL::VShaderDefaut(), FragmentInverse);
    set.InitialisationShader(Shaders_GL::VShaderDefaut(), Shaders_GL::FShaderDefaut());
    set.Desactive();
    EXPECT_TRUE(set.EstDesactive());
    EXPECT_FALSE(set.Activation(m.modele, m.projections));

    // Another set's program is current; the switched-off set must still draw without it.
    TestGL::ReinitEtat();
    m.ChargeFixe();
    const bool inverse_actif = inverse.Activation(m.modele, m.projections);
    EXPECT_EQ(inverse_actif, shaders);
    EXPECT_TRUE(set.Affichage(tampon));
    EXPECT_EQ(TestGL::PixelsDifferents(TestGL::LitPixels(), fixe), 0);

    // The inverting set really inverts.
    TestGL::ReinitEtat();
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    m.ChargeFixe();
    inverse.Activation(m.modele, m.projections);
    inverse.Affichage(tampon);
    PGL::Program_GL::DesactivePrograms();
    const std::vector<uint8_t> image = TestGL::LitPixels();
    if (shaders)
    {
        const std::vector<int> centre = TestGL::Pixel(image, 32, 28);
        EXPECT_NEAR(centre[0], 255 - 230, 1);
        EXPECT_NEAR(centre[1], 255 - 51, 1);
        EXPECT_NEAR(centre[2], 255 - 26, 1);
    }

    // Reactive gives new empty objects; a new initialisation brings the set back.
    set.Reactive();
    EXPECT_FALSE(set.EstDesactive());
    EXPECT_EQ(set.Programme().Nom() != 0, shaders);
    EXPECT_EQ(set.InitialisationShader(VertexComplet, Shaders_GL::FShaderDefaut()), shaders);
}

TEST_F(Shaders_GL_Contexte, LocaleRemiseACelleDeLEnvironnement)
{
    std::setlocale(LC_ALL, "C.UTF-8");
    const std::string environnement = std::setlocale(LC_ALL, "");
    std::setlocale(LC_ALL, "POSIX");
    std::setlocale(LC_NUMERIC, "C.UTF-8");
    Shaders_GL set;
    set.InitialisationShader(Shaders_GL::VShaderDefaut(), Shaders_GL::FShaderDefaut());
    EXPECT_EQ(std::string(std::setlocale(LC_ALL, nullptr)), environnement);
    set.InitialisationShader(nullptr, nullptr);
    EXPECT_EQ(std::string(std::setlocale(LC_ALL, nullptr)), environnement);
    std::setlocale(LC_ALL, "C");
}

TEST_F(Shaders_GL_Contexte, DumpShaderBinaireEcritLeTagUn)
{
    Shaders_GL set;
    const std::string chemin = ::testing::TempDir() + "zarvel_set_gl.bin";
    std::remove(chemin.c_str());
    set.InitialisationShader(Shaders_GL::VShaderDefaut(), Shaders_GL::FShaderDefaut());
    GLint formats = 0;
    if (shaders) glGetIntegerv(0x87FE, &formats);
    EXPECT_EQ(set.DumpShaderBinaire(chemin), formats > 0);
    FILE* f = std::fopen(chemin.c_str(), "rb");
    ASSERT_EQ(f != nullptr, shaders);
    if (!f) return;
    unsigned char entete[8] = {};
    EXPECT_EQ(std::fread(entete, 1, 8, f), 8u);
    std::fclose(f);
    EXPECT_EQ(entete[0], 32);
    EXPECT_EQ(entete[4], 1);
}
