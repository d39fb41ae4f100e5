// Shader, program, frame-buffer and shader-set wrappers without a GL context: every name is 0 and
// every operation reports failure without reaching GL.
#include "espion_gl.h"
#include "zarvel_gl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

using PGL::Program_GL;

namespace
{

std::string CheminTemporaire(char const* nom)
{
    return ::testing::TempDir() + nom;
}

void EcritFichier(std::string const& chemin, std::string const& contenu)
{
    std::ofstream f(chemin, std::ios::binary);
    f.write(contenu.data(), static_cast<std::streamsize>(contenu.size()));
}

} // namespace

TEST(Program_GL, SansSupportNomZeroEtEchecs)
{
    Program_GL programme;
    EXPECT_EQ(programme.Nom(), 0u);
    EXPECT_EQ(programme.VertexShader().Nom(), 0u);
    EXPECT_EQ(programme.PixelShader().Nom(), 0u);
    EXPECT_EQ(programme.VertexShader().Type(), 0x8B31u);
    EXPECT_EQ(programme.PixelShader().Type(), 0x8B30u);
    EXPECT_FALSE(programme.AjoutVertexShader("void main(void) {}\n"));
    EXPECT_FALSE(programme.AjoutPixelShader("void main(void) {}\n"));
    EXPECT_FALSE(programme.LinkProgram());
    EXPECT_TRUE(programme.Journal().empty());
    EXPECT_FALSE(programme.Lie());
    EXPECT_FALSE(programme.UseProgram());
    EXPECT_EQ(programme.ReservationUniform("matModel"), -1);
    EXPECT_EQ(programme.ReservationAttribut("Vertex"), -1);
    EXPECT_FALSE(programme.ActivationUniformMatrix(0, PGL::PMatriceGL4()));
    EXPECT_FALSE(programme.ActivationUniformVect(0, PGL::PVertex_GL()));
    EXPECT_FALSE(programme.ActivationUniformInt(0, 1));
    EXPECT_FALSE(programme.ActivationUniformFloat(0, 1.0f));
    EXPECT_FALSE(programme.ActivationTableauAttributs3F(-1, nullptr));
    EXPECT_FALSE(programme.DesactiveAttribut(-1));
    EXPECT_FALSE(programme.Desactive());
    EXPECT_FALSE(programme.Reactive());
    EXPECT_EQ(programme.Nom(), 0u);

    const std::string chemin = CheminTemporaire("zarvel_dump_sans_support.bin");
    std::remove(chemin.c_str());
    EXPECT_FALSE(programme.DumpBinaire(chemin, 1));
    EXPECT_FALSE(std::ifstream(chemin).good()) << "no file is created for an unlinked program";
}

TEST(Program_GL, ChargeFichierOctetPourOctet)
{
    const std::string chemin = CheminTemporaire("zarvel_source.glsl");
    const std::string contenu = "void main(void)\r\n{\r\n}\r\n\xC3\xA9";
    EcritFichier(chemin, contenu);
    char* texte = Program_GL::ChargeFichier(chemin.c_str());
    ASSERT_NE(texte, nullptr);
    EXPECT_EQ(std::string(texte), contenu);
    delete[] texte;

    const std::string vide = CheminTemporaire("zarvel_vide.glsl");
    EcritFichier(vide, "");
    texte = Program_GL::ChargeFichier(vide.c_str());
    ASSERT_NE(texte, nullptr);
    EXPECT_EQ(texte[0], '\0');
    delete[] texte;

    EXPECT_EQ(Program_GL::ChargeFichier(nullptr), nullptr);
    EXPECT_EQ(Program_GL::ChargeFichier(CheminTemporaire("zarvel_absent.glsl").c_str()), nullptr);
    EXPECT_EQ(Program_GL::ChargeFichier(::testing::TempDir().c_str()), nullptr) << "a directory";

    Program_GL programme;
    EXPECT_FALSE(programme.AjoutVertexShaderFichier(CheminTemporaire("zarvel_absent.glsl").c_str()));
    EXPECT_FALSE(programme.AjoutPixelShaderFichier(nullptr));
}

TEST(Shader_GL, SansSupportNomZero)
{
    PGL::Shader_GL shader(0x8B30);
    EXPECT_EQ(shader.Nom(), 0u);
    EXPECT_FALSE(shader.ChargeSource("void main(void) {}\n"));
    EXPECT_FALSE(shader.Compile());
    EXPECT_TRUE(shader.Journal().empty());
    EXPECT_FALSE(shader.Desactive());
    EXPECT_FALSE(shader.Reactive());
    EXPECT_FALSE(shader.ChargeSource(nullptr));
}

TEST(Uniform_GL, ProgrammeSansNomNeReserveRien)
{
    Program_GL programme;
    PGL::Uniform_GL uniform(programme);
    PGL::Attribute_GL attribut(programme);
    EXPECT_EQ(uniform.Location(), -1);
    EXPECT_FALSE(uniform.Reservation("matModel"));
    EXPECT_FALSE(uniform.Valide());
    EXPECT_FALSE(uniform.Activation(1.0f));
    EXPECT_FALSE(uniform.Activation(1));
    EXPECT_FALSE(uniform.Activation(PGL::PMatriceGL4()));
    EXPECT_FALSE(uniform.Activation(PGL::PVertex_GL()));
    EXPECT_FALSE(uniform.Desactive());
    EXPECT_FALSE(attribut.Reservation("Vertex"));
    EXPECT_FALSE(attribut.Activation(PGL::PTableau_GL<PGL::PVertex_GL>(3)));
    EXPECT_FALSE(attribut.Activation(PGL::PTableau_GL<PGL::PCouleur_GL>(3)));
    EXPECT_FALSE(attribut.Desactive());
    EXPECT_EQ(attribut.Location(), -1);
}

TEST(Shaders_GL, SansSupportRetombeSurLePipelineFixe)
{
    PGL::Shaders_GL set;
    EXPECT_FALSE(set.EstDesactive());
    EXPECT_FALSE(set.InitialisationShader(nullptr, nullptr));
    EXPECT_TRUE(set.Journal().empty());
    // Both stages fail for want of a program: two empty blocks, nothing linked.
    EXPECT_FALSE(
        set.InitialisationShader(PGL::Shaders_GL::VShaderDefaut(), PGL::Shaders_GL::FShaderDefaut()));
    EXPECT_EQ(set.Journal(), "\nVertex:\n\n\nFragments:\n\n");
    EXPECT_FALSE(set.Programme().Lie());
    EXPECT_FALSE(set.Activation(PGL::PMatriceGL4(), PGL::PMatriceGL4()));
    EXPECT_FALSE(set.DesactivationAttributsShadersModele());
    EXPECT_FALSE(set.DumpShaderBinaire(CheminTemporaire("zarvel_set.bin")));
}

TEST(PFrameBuffer_GL, SansSupportRienNEstValide)
{
    PGL::PFrameBuffer_GL framebuffer;
    EXPECT_FALSE(framebuffer.Gen(256, 256));
    EXPECT_FALSE(framebuffer.InitialisationShaders(PGL::PFrameBuffer_GL::VShaderDefaut(),
                                                   PGL::PFrameBuffer_GL::FShaderDefaut()));
    EXPECT_TRUE(framebuffer.Messages().empty());
    EXPECT_FALSE(framebuffer.Valide());
    EXPECT_FALSE(framebuffer.ValideLiageShaders());
    EXPECT_FALSE(framebuffer.Bind());
    EXPECT_FALSE(framebuffer.RestaureFrameBufferInitial());
    EXPECT_FALSE(framebuffer.Affichage());
    EXPECT_EQ(framebuffer.Temps(), 0.0f);
    EXPECT_FALSE(framebuffer.TempsUtilise());

    PGL::PTexture_GL texture(true, false);
    EXPECT_FALSE(texture.Valide(false));
    EXPECT_FALSE(texture.Bind());
    EXPECT_FALSE(texture.TexImage2D_RGBA(4, 4, nullptr));
    PGL::PRenderBuffer_GL profondeur;
    EXPECT_EQ(profondeur.Nom(), 0u);
    EXPECT_FALSE(profondeur.Transfert(4, 4));
}

// Built and destroyed without a context, every wrapper keeps name 0 and reaches neither the
// client library nor the loader, even with a loader that reports every group and whose functions
// would answer names.
TEST(Wrappers_GL, SansContexteAucunAppelGL)
{
    ASSERT_FALSE(PGL::Extensions_GL::ContexteCourant());
    for (TestGL::EtatChargeur etat :
         {TestGL::EtatChargeur::AvantInit, TestGL::EtatChargeur::FonctionsFausses})
    {
        SCOPED_TRACE(etat == TestGL::EtatChargeur::AvantInit ? "before Init" : "after Init");
        TestGL::ChargeurSimule chargeur(etat);
        const int appels_gl = TestGL::AppelsGL();
        const int appels_charges = TestGL::AppelsCharges();
        {
            PGL::PTexture_GL texture(true, false);
            PGL::PRenderBuffer_GL profondeur;
            PGL::Shader_GL shader(0x8B31);
            Program_GL programme;
            PGL::Shaders_GL set;
            PGL::PFrameBuffer_GL framebuffer;
            PGL::PTampon_GL tampon(4);
            EXPECT_EQ(texture.Nom(), 0u);
            EXPECT_EQ(profondeur.Nom(), 0u);
            EXPECT_EQ(shader.Nom(), 0u);
            EXPECT_EQ(programme.Nom(), 0u);
            EXPECT_EQ(programme.VertexShader().Nom(), 0u);
            EXPECT_EQ(programme.PixelShader().Nom(), 0u);
            EXPECT_EQ(set.Programme().Nom(), 0u);
            EXPECT_EQ(framebuffer.Nom(), 0u);
            EXPECT_EQ(framebuffer.Texture().Nom(), 0u);
            EXPECT_EQ(framebuffer.Programme().Nom(), 0u);
            EXPECT_EQ(tampon.IdVBO(), 0u);
            EXPECT_EQ(TestGL::AppelsGL(), appels_gl) << "a constructor called the client library";
            EXPECT_EQ(TestGL::AppelsCharges(), appels_charges) << "a constructor called a loaded function";
        }
        EXPECT_EQ(TestGL::AppelsGL(), appels_gl) << "a destructor called the client library";
        EXPECT_EQ(TestGL::AppelsCharges(), appels_charges) << "a destructor called a loaded function";
    }
}
