#include "test_helpers.h"

namespace GL = PGL::Extensions_GL;
namespace priv = PGL::Extensions_GL_priv;

namespace
{

char const* Extensions()
{
    return reinterpret_cast<char const*>(glGetString(GL_EXTENSIONS));
}

bool GroupeDansLaChaine(char const* groupe)
{
    char const* const chaine = Extensions();
    const std::string g = groupe;
    if (g == "shaders")
        return GL::ValideExtension("GL_ARB_shading_language_100", chaine) &&
               GL::ValideExtension("GL_ARB_shader_objects", chaine) &&
               GL::ValideExtension("GL_ARB_fragment_shader", chaine) &&
               GL::ValideExtension("GL_ARB_vertex_shader", chaine);
    if (g == "vbo") return GL::ValideExtension("GL_ARB_vertex_buffer_object", chaine);
    if (g == "vba") return GL::ValideExtension("GL_ARB_vertex_array_object", chaine);
    return GL::ValideExtension("GL_ARB_framebuffer_object", chaine);
}

} // namespace

// A context exists but the loader has not run: the suite that must come first in the process.
class Extensions_GL_AvantInit : public ::testing::Test
{
public:
    static void SetUpTestSuite() { TestGL::CreeContexte(); }

protected:
    void SetUp() override
    {
        if (priv::valide_init) GTEST_SKIP() << "Init already ran in this process; run this suite on its own";
    }
};

TEST_F(Extensions_GL_AvantInit, WrappersRepliMemeAvecLesFonctions)
{
    // The context has these functions, but the wrappers wait for Init.
    ASSERT_NE(GL::getProcAdress("glCreateProgram"), nullptr);
    EXPECT_EQ(GL::glCreateProgram(), 0u);
    EXPECT_EQ(GL::glCreateShader(0x8B31), 0u);
    EXPECT_EQ(GL::glGetUniformLocation(1, "matModel"), -1);
    EXPECT_EQ(GL::glGetAttribLocation(1, "Vertex"), -1);
    EXPECT_EQ(GL::glCheckFramebufferStatus(0x8D40), 0u);
    int longueur = 3;
    GL::glGetProgramBinary(1, 0, &longueur, nullptr, nullptr);
    EXPECT_EQ(longueur, 0);
    int valeur = 42;
    GL::glGetProgramiv(1, 0x8B82, &valeur);
    EXPECT_EQ(valeur, 42);

    // Buffer objects are linked directly and already work.
    unsigned int tampon = 0;
    GL::glGenBuffers(1, &tampon);
    EXPECT_NE(tampon, 0u);
    GL::glBindBuffer(0x8892, tampon);
    EXPECT_TRUE(GL::glIsBuffer(tampon));
    GL::glBindBuffer(0x8892, 0);
    GL::glDeleteBuffers(1, &tampon);
    EXPECT_FALSE(GL::glIsBuffer(tampon));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Extensions_GL_AvantInit, SupportLitLaChaineAChaqueAppel)
{
    EXPECT_EQ(GL::SupportShaders(), GroupeDansLaChaine("shaders"));
    EXPECT_EQ(GL::SupportVBO(), GroupeDansLaChaine("vbo"));
    EXPECT_EQ(GL::SupportVBA(), GroupeDansLaChaine("vba"));
    EXPECT_EQ(GL::SupportFBO(), GroupeDansLaChaine("fbo"));
    EXPECT_FALSE(priv::valide_init);
}

TEST_F(Extensions_GL_AvantInit, ProgrammeConstruitAvantInitReactiveApres)
{
    PGL::Program_GL programme;
    // Before Init glCreateProgram answers 0 even where shaders are supported.
    EXPECT_EQ(programme.Nom(), 0u);
    EXPECT_FALSE(programme.AjoutVertexShader(PGL::Shaders_GL::VShaderDefaut()));
    TestGL::InitialiseChargeur();
    EXPECT_EQ(programme.Reactive(), GL::SupportShaders());
    EXPECT_EQ(programme.Nom() != 0, GL::SupportShaders());
    EXPECT_EQ(programme.AjoutVertexShader(PGL::Shaders_GL::VShaderDefaut()), GL::SupportShaders());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

class Extensions_GL_Init : public TestGL::ContexteGL
{
};

TEST_F(Extensions_GL_Init, DrapeauxSuiventLaChaineEtLesAttentes)
{
    TestGL::EtatInit const& etat = TestGL::Initial();
    const bool drapeaux[4] = {etat.shaders, etat.vbo, etat.vba, etat.fbo};
    const bool* supports[4] = {&priv::valide_support_shaders, &priv::valide_support_vbo,
                               &priv::valide_support_vba, &priv::valide_support_fbo};
    bool (*const requetes[4])() = {GL::SupportShaders, GL::SupportVBO, GL::SupportVBA, GL::SupportFBO};
    char const* const groupes[4] = {"shaders", "vbo", "vba", "fbo"};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(groupes[i]);
        // What Init stored is what the extension string says.
        EXPECT_EQ(drapeaux[i], GroupeDansLaChaine(groupes[i]));
        // After Init the query answers the stored flag, not the string.
        EXPECT_EQ(requetes[i](), *supports[i]);
        if (TestGL::ListeContient("ZARVEL_GL_SANS", groupes[i]))
        {
            EXPECT_FALSE(requetes[i]()) << "this run hides the group: its fallback must be taken";
        }
        if (TestGL::ListeContient("ZARVEL_GL_AVEC", groupes[i]))
        {
            EXPECT_TRUE(requetes[i]());
        }
    }
}

TEST_F(Extensions_GL_Init, NombreDeFonctionsChargees)
{
    TestGL::EtatInit const& etat = TestGL::Initial();
    const int attendues = (etat.shaders ? 30 : 0) + (etat.vba ? 4 : 0) + (etat.fbo ? 17 : 0);
    EXPECT_EQ(priv::nombre_fonctions_attendues, attendues);
    EXPECT_LE(priv::nombre_fonctions_chargees, attendues);
    EXPECT_EQ(etat.resultat, priv::nombre_fonctions_chargees >= 1 &&
                                 priv::nombre_fonctions_chargees == priv::nombre_fonctions_attendues);
    if (etat.shaders && etat.vba && etat.fbo)
    {
        EXPECT_EQ(attendues, 51);
        // Every name of the list resolves where every group is present.
        EXPECT_TRUE(etat.resultat);
        EXPECT_EQ(priv::nombre_fonctions_chargees, 51);
    }
    // A second Init answers true and reloads nothing.
    const int chargees = priv::nombre_fonctions_chargees;
    EXPECT_TRUE(GL::Init());
    EXPECT_EQ(priv::nombre_fonctions_chargees, chargees);

    // The pointers of a group are loaded exactly when the group was found.
    EXPECT_EQ(priv::_glCreateShader != nullptr, etat.shaders);
    EXPECT_EQ(priv::_glGetProgramInfoLog != nullptr, etat.shaders);
    EXPECT_EQ(priv::_glBindVertexArrayARB != nullptr, etat.vba);
    EXPECT_EQ(priv::_glGenerateMipmap != nullptr, etat.fbo);
}

TEST_F(Extensions_GL_Init, WrappersTransmettentOuRetombent)
{
    const unsigned int shader = GL::glCreateShader(0x8B31);
    if (TestGL::Initial().shaders)
    {
        EXPECT_NE(shader, 0u);
        EXPECT_TRUE(GL::glIsShader(shader));
        GL::glDeleteShader(shader);
    }
    else
    {
        EXPECT_EQ(shader, 0u);
        EXPECT_EQ(GL::glCreateProgram(), 0u);
        EXPECT_EQ(GL::glGetUniformLocation(1, "x"), -1);
    }
    unsigned int framebuffer = 0;
    GL::glGenFramebuffers(1, &framebuffer);
    EXPECT_EQ(framebuffer != 0, TestGL::Initial().fbo);
    GL::glDeleteFramebuffers(1, &framebuffer);
    unsigned int tableau = 0;
    GL::glGenVertexArrays(1, &tableau);
    if (tableau != 0)
    {
        GL::glBindVertexArray(tableau);
        EXPECT_TRUE(GL::glIsVertexArray(tableau));
        GL::glBindVertexArray(0);
        GL::glDeleteVertexArrays(1, &tableau);
    }
    EXPECT_EQ(tableau != 0, TestGL::Initial().vba);
}

TEST_F(Extensions_GL_Init, ControleErreursLitUneErreur)
{
    EXPECT_FALSE(ControleErreursGL());
    glEnable(0xFFFF); // not a capability: GL_INVALID_ENUM
    EXPECT_TRUE(ControleErreursGL());
    EXPECT_FALSE(ControleErreursGL());
}
