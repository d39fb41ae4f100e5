#include "test_helpers.h"

#include <fstream>
#include <iterator>

using PGL::Program_GL;

namespace
{

char const* const VertexSimple = "attribute vec3 Vertex;\n"
                                 "void main(void)\n"
                                 "{\n"
                                 "    gl_Position = vec4(Vertex, 1.0);\n"
                                 "}\n";
char const* const PixelUniforme = "uniform vec3 Couleur;\n"
                                  "void main(void)\n"
                                  "{\n"
                                  "    gl_FragColor = vec4(Couleur, 1.0);\n"
                                  "}\n";
char const* const SourceFausse = "void main(void)\n"
                                 "{\n"
                                 "    gl_Position = vec4(1.0\n"
                                 "}\n";
// Compiles (a declared function) but cannot link (never defined).
char const* const PixelSansDefinition = "void absente(void);\n"
                                        "void main(void)\n"
                                        "{\n"
                                        "    absente();\n"
                                        "    gl_FragColor = vec4(1.0);\n"
                                        "}\n";

int ShadersAttaches(Program_GL const& programme)
{
    int nombre = -1;
    PGL::Extensions_GL::glGetProgramiv(programme.Nom(), 0x8B85, &nombre); // GL_ATTACHED_SHADERS
    return nombre;
}

uint32_t Mot(std::vector<char> const& octets, size_t position)
{
    uint32_t mot = 0;
    for (int k = 3; k >= 0; --k)
        mot = (mot << 8) | static_cast<uint8_t>(octets[position + static_cast<size_t>(k)]);
    return mot;
}

std::vector<char> LitFichier(std::string const& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

} // namespace

class Program_GL_Contexte : public TestGL::ContexteGL
{
protected:
    void SetUp() override
    {
        TestGL::ContexteGL::SetUp();
        shaders = PGL::Extensions_GL::SupportShaders();
    }
    bool shaders = false;
};

TEST_F(Program_GL_Contexte, CompilationEchoueeDonneLeJournal)
{
    Program_GL programme;
    if (!shaders)
    {
        EXPECT_EQ(programme.Nom(), 0u);
        EXPECT_FALSE(programme.AjoutVertexShader(VertexSimple));
        EXPECT_FALSE(programme.LinkProgram());
        return;
    }
    EXPECT_FALSE(programme.AjoutVertexShader(SourceFausse));
    EXPECT_FALSE(programme.VertexShader().Compile());
    EXPECT_NE(programme.VertexShader().Journal().find("error"), std::string::npos)
        << programme.VertexShader().Journal();
    EXPECT_EQ(ShadersAttaches(programme), 0);

    // A good source clears the log and attaches the stage.
    EXPECT_TRUE(programme.AjoutVertexShader(VertexSimple));
    EXPECT_TRUE(programme.VertexShader().Journal().empty());
    EXPECT_EQ(ShadersAttaches(programme), 1);
}

TEST_F(Program_GL_Contexte, RecompilationDetacheLeStadePrecedent)
{
    Program_GL programme;
    if (!shaders) return;
    ASSERT_TRUE(programme.AjoutVertexShader(VertexSimple));
    ASSERT_TRUE(programme.AjoutVertexShader(VertexSimple));
    EXPECT_EQ(ShadersAttaches(programme), 1);
    ASSERT_TRUE(programme.AjoutPixelShader(PixelUniforme));
    EXPECT_EQ(ShadersAttaches(programme), 2);
    EXPECT_TRUE(programme.LinkProgram());
    EXPECT_TRUE(programme.Lie());
    EXPECT_TRUE(programme.Journal().empty());

    // A failed recompile leaves the stage detached.
    EXPECT_FALSE(programme.AjoutVertexShader(SourceFausse));
    EXPECT_EQ(ShadersAttaches(programme), 1);
}

TEST_F(Program_GL_Contexte, LiageEchoueDonneLeJournal)
{
    Program_GL programme;
    if (!shaders) return;
    ASSERT_TRUE(programme.AjoutVertexShader(VertexSimple));
    ASSERT_TRUE(programme.AjoutPixelShader(PixelSansDefinition));
    EXPECT_FALSE(programme.LinkProgram());
    EXPECT_FALSE(programme.Lie());
    EXPECT_GT(programme.Journal().size(), 1u);
    EXPECT_FALSE(programme.UseProgram());
    EXPECT_EQ(programme.ReservationUniform("Couleur"), -1);
}

TEST_F(Program_GL_Contexte, UniformsEtAttributsPilotentLeDessin)
{
    Program_GL programme;
    PGL::Uniform_GL couleur(programme);
    PGL::Attribute_GL sommet(programme);
    PGL::PTampon_GL tampon(GL_TRIANGLES);
    TestGL::AjoutScene(tampon);
    if (!shaders)
    {
        EXPECT_FALSE(couleur.Reservation("Couleur"));
        EXPECT_FALSE(sommet.Reservation("Vertex"));
        return;
    }
    EXPECT_FALSE(couleur.Reservation("Couleur")) << "not linked yet";
    ASSERT_TRUE(programme.AjoutVertexShader(VertexSimple));
    ASSERT_TRUE(programme.AjoutPixelShader(PixelUniforme));
    ASSERT_TRUE(programme.LinkProgram());

    ASSERT_TRUE(couleur.Reservation("Couleur"));
    const int location = couleur.Location();
    EXPECT_FALSE(couleur.Reservation("Couleur")) << "a second reservation keeps the first location";
    EXPECT_EQ(couleur.Location(), location);
    PGL::Uniform_GL absente(programme);
    EXPECT_FALSE(absente.Reservation("Absente"));
    EXPECT_EQ(absente.Location(), -1);
    EXPECT_FALSE(absente.Activation(1.0f));
    ASSERT_TRUE(sommet.Reservation("Vertex"));

    ASSERT_TRUE(programme.UseProgram());
    EXPECT_TRUE(couleur.Activation(PGL::PVertex_GL(0.0f, 1.0f, 0.0f)));
    tampon.Affichage(sommet);
    Program_GL::DesactivePrograms();
    const std::vector<uint8_t> image = TestGL::LitPixels();
    EXPECT_EQ(TestGL::Pixel(image, 32, 28), (std::vector<int>{0, 255, 0, 255}));

    // The program-level setters check the location and the link; the caller makes it current.
    ASSERT_TRUE(programme.UseProgram());
    EXPECT_TRUE(programme.ActivationUniformVect(location, PGL::PVertex_GL(1, 1, 1)));
    EXPECT_FALSE(programme.ActivationUniformVect(-1, PGL::PVertex_GL(1, 1, 1)));
    Program_GL::DesactivePrograms();

    // An attribute keeps its location when disabled; a uniform forgets it.
    EXPECT_TRUE(sommet.Desactive());
    EXPECT_NE(sommet.Location(), -1);
    EXPECT_TRUE(couleur.Desactive());
    EXPECT_EQ(couleur.Location(), -1);
    EXPECT_FALSE(couleur.Activation(1));
}

TEST_F(Program_GL_Contexte, TableauxAttributsDeclarentLeurFormat)
{
    Program_GL programme;
    typedef void (*LitAttribut)(unsigned int, unsigned int, int*);
    const auto lit = reinterpret_cast<LitAttribut>(PGL::Extensions_GL::getProcAdress("glGetVertexAttribiv"));
    if (!shaders)
    {
        EXPECT_FALSE(programme.ActivationTableauAttributs3F(-1, nullptr));
        return;
    }
    ASSERT_NE(lit, nullptr);
    const float donnees[8] = {};
    struct Cas
    {
        bool (Program_GL::*activation)(int, void const*) const;
        int taille;
        int type;
    };
    const Cas cas[] = {{&Program_GL::ActivationTableauAttributs2F, 2, GL_FLOAT},
                       {&Program_GL::ActivationTableauAttributs3F, 3, GL_FLOAT},
                       {&Program_GL::ActivationTableauAttributs4F, 4, GL_FLOAT},
                       {&Program_GL::ActivationTableauAttributs3B, 4, GL_BYTE}};
    for (Cas const& c : cas)
    {
        ASSERT_TRUE((programme.*c.activation)(1, donnees));
        int actif = 0, taille = 0, type = 0;
        lit(1, 0x8622, &actif);  // GL_VERTEX_ATTRIB_ARRAY_ENABLED
        lit(1, 0x8623, &taille); // GL_VERTEX_ATTRIB_ARRAY_SIZE
        lit(1, 0x8625, &type);   // GL_VERTEX_ATTRIB_ARRAY_TYPE
        EXPECT_EQ(actif, 1);
        EXPECT_EQ(taille, c.taille);
        EXPECT_EQ(type, c.type);
        EXPECT_TRUE(programme.DesactiveAttribut(1));
        lit(1, 0x8622, &actif);
        EXPECT_EQ(actif, 0);
    }
    EXPECT_FALSE(programme.ActivationTableauAttributs2F(-1, donnees));
    EXPECT_FALSE(programme.DesactiveAttribut(-1));
}

TEST_F(Program_GL_Contexte, DumpBinaireEcritLeBinaireDuProgramme)
{
    Program_GL programme;
    const std::string chemin = ::testing::TempDir() + "zarvel_dump_gl.bin";
    if (!shaders)
    {
        EXPECT_FALSE(programme.DumpBinaire(chemin, 3));
        return;
    }
    ASSERT_TRUE(programme.AjoutVertexShader(VertexSimple));
    ASSERT_TRUE(programme.AjoutPixelShader(PixelUniforme));
    ASSERT_TRUE(programme.LinkProgram());
    GLint formats = 0;
    glGetIntegerv(0x87FE, &formats); // GL_NUM_PROGRAM_BINARY_FORMATS
    const bool resultat = programme.DumpBinaire(chemin, 3);
    const std::vector<char> octets = LitFichier(chemin);
    ASSERT_GE(octets.size(), 40u);
    EXPECT_EQ(Mot(octets, 0), 32u);
    EXPECT_EQ(Mot(octets, 4), 3u);
    for (size_t i = 8; i < 32; i += 4)
        EXPECT_EQ(Mot(octets, i), 0u);
    if (formats == 0)
    {
        // No binary from the driver: two empty sections.
        EXPECT_FALSE(resultat);
        EXPECT_EQ(octets.size(), 40u);
        EXPECT_EQ(Mot(octets, 32), 4u);
        EXPECT_EQ(Mot(octets, 36), 4u);
        return;
    }
    EXPECT_TRUE(resultat);
    const uint32_t section_vertex = Mot(octets, 32);
    ASSERT_GT(section_vertex, 4u);
    const size_t longueur = section_vertex - 4;
    const size_t debut_pixel = 32 + 8 + longueur;
    ASSERT_GE(octets.size(), debut_pixel + 8);
    EXPECT_EQ(Mot(octets, debut_pixel), section_vertex);
    EXPECT_EQ(Mot(octets, 36), Mot(octets, debut_pixel + 4)) << "the binary format";
    EXPECT_EQ(octets.size(), debut_pixel + 8 + longueur);
    EXPECT_TRUE(std::equal(octets.begin() + 40, octets.begin() + 40 + static_cast<long>(longueur),
                           octets.begin() + static_cast<long>(debut_pixel + 8)));
}

TEST_F(Program_GL_Contexte, DesactiveReactiveReconstruitLesObjets)
{
    Program_GL programme;
    if (!shaders)
    {
        EXPECT_FALSE(programme.Reactive());
        return;
    }
    ASSERT_TRUE(programme.AjoutVertexShader(VertexSimple));
    ASSERT_TRUE(programme.AjoutPixelShader(PixelUniforme));
    ASSERT_TRUE(programme.LinkProgram());
    const unsigned int nom = programme.Nom();
    EXPECT_TRUE(programme.Desactive());
    EXPECT_EQ(programme.Nom(), 0u);
    EXPECT_EQ(programme.VertexShader().Nom(), 0u);
    EXPECT_FALSE(programme.Lie());
    EXPECT_FALSE(programme.UseProgram());
    EXPECT_FALSE(PGL::Extensions_GL::glIsProgram(nom));
    EXPECT_FALSE(programme.Desactive());

    EXPECT_TRUE(programme.Reactive());
    EXPECT_NE(programme.Nom(), 0u);
    EXPECT_NE(programme.PixelShader().Nom(), 0u);
    EXPECT_TRUE(programme.AjoutVertexShader(VertexSimple));
    EXPECT_TRUE(programme.AjoutPixelShader(PixelUniforme));
    EXPECT_TRUE(programme.LinkProgram());

    // Reactive on a linked program tears it down first, without GL errors.
    EXPECT_TRUE(programme.Reactive());
    EXPECT_FALSE(programme.Lie());
    EXPECT_EQ(ShadersAttaches(programme), 0);
}
