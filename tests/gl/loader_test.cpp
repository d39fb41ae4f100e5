#include "espion_gl.h"
#include "zarvel_gl.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

namespace GL = PGL::Extensions_GL;
namespace priv = PGL::Extensions_GL_priv;

namespace
{

constexpr int Marque = 0x5A5A5A5A;

// A zero of the parameter's type, except that an output (a pointer to something writable) points
// into the marked block.
template <typename T> T Argument(int* sortie)
{
    if constexpr (std::is_pointer_v<T> && !std::is_const_v<std::remove_pointer_t<T>>)
        return static_cast<T>(static_cast<void*>(sortie));
    else
        return T{};
}

// Calls a wrapper and checks the fallback its return type promises: false for a query, -1 for a
// location (the only int results), 0 for a name or a status. No output may be written, except the
// length of glGetProgramBinary, which is set to 0.
template <typename Retour, typename... Parametres>
void VerifieRepli(std::string const& nom, Retour (*enveloppe)(Parametres...))
{
    SCOPED_TRACE(nom);
    int sortie[4] = {Marque, Marque, Marque, Marque};
    if constexpr (std::is_void_v<Retour>)
        enveloppe(Argument<Parametres>(sortie)...);
    else if constexpr (std::is_same_v<Retour, bool>)
        EXPECT_FALSE(enveloppe(Argument<Parametres>(sortie)...));
    else if constexpr (std::is_same_v<Retour, int>)
        EXPECT_EQ(enveloppe(Argument<Parametres>(sortie)...), -1);
    else
        EXPECT_EQ(enveloppe(Argument<Parametres>(sortie)...), 0u);
    EXPECT_EQ(sortie[0], nom == "glGetProgramBinary" ? 0 : Marque);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(sortie[i], Marque);
}

} // namespace

struct CasExtension
{
    char const* extensions;
    char const* nom;
    bool present;
};

class ValideExtension : public ::testing::TestWithParam<CasExtension>
{
};

TEST_P(ValideExtension, RegleDeCorrespondance)
{
    EXPECT_EQ(GL::ValideExtension(GetParam().nom, GetParam().extensions), GetParam().present)
        << "'" << (GetParam().nom ? GetParam().nom : "(null)") << "' in '"
        << (GetParam().extensions ? GetParam().extensions : "(null)") << "'";
}

INSTANTIATE_TEST_SUITE_P(
    ChainesConstruites, ValideExtension,
    ::testing::Values(
        // Found at its second occurrence, after a longer name that starts with it.
        CasExtension{"GL_ARB_framebuffer_object_sRGB GL_ARB_framebuffer_object ", "GL_ARB_framebuffer_object",
                     true},
        // Alone at the end of the string, without a following space: not found.
        CasExtension{"GL_ARB_framebuffer_object", "GL_ARB_framebuffer_object", false},
        CasExtension{"GL_A GL_ARB_framebuffer_object", "GL_ARB_framebuffer_object", false},
        // Only as the end of a longer name, followed by a space: reported present.
        CasExtension{"GL_EXT_GL_ARB_framebuffer_object GL_B ", "GL_ARB_framebuffer_object", true},
        // Only as the start of a longer name.
        CasExtension{"GL_ARB_vertex_buffer_object_x ", "GL_ARB_vertex_buffer_object", false},
        // Another separator than a space does not count.
        CasExtension{"GL_ARB_vertex_shader\tGL_B ", "GL_ARB_vertex_shader", false},
        CasExtension{"GL_A GL_ARB_vertex_shader GL_B", "GL_ARB_vertex_shader", true},
        CasExtension{"", "GL_ARB_vertex_shader", false}, CasExtension{nullptr, "GL_ARB_vertex_shader", false},
        CasExtension{"GL_A ", nullptr, false},
        // An empty name would match everywhere: it is never present.
        CasExtension{"GL_A ", "", false}));

TEST(Extensions_GL, FonctionsAttenduesParGroupe)
{
    EXPECT_EQ(priv::NombreFonctionsGroupe(priv::Groupe_GL::Shaders), 30);
    EXPECT_EQ(priv::NombreFonctionsGroupe(priv::Groupe_GL::VBA), 4);
    EXPECT_EQ(priv::NombreFonctionsGroupe(priv::Groupe_GL::FBO), 17);
}

TEST(Extensions_GL, ChaqueWrapperRetombeSansSaFonction)
{
    ASSERT_FALSE(GL::ContexteCourant());
    for (TestGL::EtatChargeur etat :
         {TestGL::EtatChargeur::AvantInit, TestGL::EtatChargeur::FonctionsAbsentes})
    {
        SCOPED_TRACE(etat == TestGL::EtatChargeur::AvantInit ? "before Init" : "functions not found");
        TestGL::ChargeurSimule chargeur(etat);
#define ZARVEL_GL_VERIFIE(groupe, nom, ...) VerifieRepli(#nom, &GL::nom);
        ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_VERIFIE)
#undef ZARVEL_GL_VERIFIE
    }
}

TEST(Extensions_GL, SansContexteLaChaineNEstPasLue)
{
    ASSERT_FALSE(GL::ContexteCourant());
    TestGL::ChargeurSimule chargeur(TestGL::EtatChargeur::AvantInit);
    const int appels = TestGL::AppelsGL();
    EXPECT_FALSE(GL::ValideExtension("GL_ARB_shader_objects"));
    EXPECT_FALSE(GL::SupportShaders());
    EXPECT_FALSE(GL::SupportVBO());
    EXPECT_FALSE(GL::SupportVBA());
    EXPECT_FALSE(GL::SupportFBO());
    EXPECT_EQ(TestGL::AppelsGL(), appels) << "glGetString called without a context";
}

TEST(Extensions_GL, SansContexteToutRetombe)
{
    // No context: no extension string.
    EXPECT_FALSE(GL::ValideExtension("GL_ARB_shader_objects"));
    ASSERT_FALSE(priv::valide_init) << "this test must run before any Init in its process";

    // Before Init every loaded-pointer wrapper answers its fallback.
    EXPECT_EQ(GL::glCreateShader(0x8B31), 0u);
    EXPECT_EQ(GL::glCreateProgram(), 0u);
    EXPECT_EQ(GL::glGetUniformLocation(1, "matModel"), -1);
    EXPECT_EQ(GL::glGetAttribLocation(1, "Vertex"), -1);
    EXPECT_FALSE(GL::glIsShader(1));
    EXPECT_FALSE(GL::glIsProgram(1));
    EXPECT_FALSE(GL::glIsVertexArray(1));
    EXPECT_FALSE(GL::glIsRenderbuffer(1));
    EXPECT_FALSE(GL::glIsFramebuffer(1));
    EXPECT_EQ(GL::glCheckFramebufferStatus(0x8D40), 0u);
    int longueur = 7;
    unsigned int format = 5;
    GL::glGetProgramBinary(1, 16, &longueur, &format, nullptr);
    EXPECT_EQ(longueur, 0);
    EXPECT_EQ(format, 5u);
    int statut = 42;
    GL::glGetShaderiv(1, 0x8B81, &statut);
    EXPECT_EQ(statut, 42);
    GL::glGetProgramBinary(1, 16, nullptr, &format, nullptr); // a null length output is tolerated

    EXPECT_FALSE(GL::SupportShaders());
    EXPECT_FALSE(GL::SupportVBO());
    EXPECT_FALSE(GL::SupportVBA());
    EXPECT_FALSE(GL::SupportFBO());

    // Init without a context finds nothing, loads nothing and fails; a second Init succeeds.
    EXPECT_FALSE(GL::Init());
    EXPECT_TRUE(priv::valide_init);
    EXPECT_EQ(priv::nombre_fonctions_chargees, 0);
    EXPECT_EQ(priv::nombre_fonctions_attendues, 0);
    EXPECT_EQ(priv::_glCreateShader, nullptr);
    EXPECT_TRUE(GL::Init());
    EXPECT_FALSE(GL::SupportShaders());
    EXPECT_FALSE(GL::SupportFBO());
    EXPECT_EQ(GL::glCreateProgram(), 0u);
}
