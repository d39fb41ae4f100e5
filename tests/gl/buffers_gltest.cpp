#include "test_helpers.h"

using PGL::PCouleur_GL;
using PGL::PTampon_GL;
using PGL::PVertex_GL;

namespace
{

constexpr unsigned int Statique = 0x88E4;
constexpr unsigned int Dynamique = 0x88E8;

std::vector<uint8_t> Dessine(PTampon_GL const& tampon)
{
    TestGL::ReinitEtat();
    glPointSize(3.0f);
    tampon.Affichage();
    return TestGL::LitPixels();
}

} // namespace

class PTampon_GL_Dessin : public TestGL::ContexteGL, public ::testing::WithParamInterface<int>
{
};

TEST_P(PTampon_GL_Dessin, VBOEtMemoireDonnentLesMemesPixels)
{
    PTampon_GL memoire(GetParam());
    PTampon_GL vbo(GetParam());
    TestGL::AjoutScene(memoire);
    TestGL::AjoutScene(vbo);
    EXPECT_EQ(vbo.ActiveVBO(Statique), PGL::Extensions_GL::SupportVBO());
    EXPECT_TRUE(vbo.Transfert());
    EXPECT_EQ(vbo.VBOActif(), PGL::Extensions_GL::SupportVBO());

    const std::vector<uint8_t> image_memoire = Dessine(memoire);
    const std::vector<uint8_t> image_vbo = Dessine(vbo);
    EXPECT_GT(TestGL::PixelsAllumes(image_memoire), GetParam() == GL_TRIANGLES ? 500 : 5);
    EXPECT_EQ(TestGL::PixelsDifferents(image_memoire, image_vbo), 0);
    if (GetParam() == GL_TRIANGLES)
    {
        // The middle of the large triangle carries its colour (0.9, 0.2, 0.1).
        const std::vector<int> centre = TestGL::Pixel(image_vbo, 32, 28);
        EXPECT_NEAR(centre[0], 230, 1);
        EXPECT_NEAR(centre[1], 51, 1);
        EXPECT_NEAR(centre[2], 26, 1);
    }
    // Drawing leaves no buffer bound, so client arrays that follow read memory.
    GLint lie = -1;
    glGetIntegerv(0x8894, &lie); // GL_ARRAY_BUFFER_BINDING
    EXPECT_EQ(lie, 0);
}

INSTANTIATE_TEST_SUITE_P(Primitives, PTampon_GL_Dessin, ::testing::Values(GL_POINTS, GL_LINES, GL_TRIANGLES),
                         [](::testing::TestParamInfo<int> const& info)
                         {
                             return info.param == GL_POINTS  ? std::string("Points")
                                    : info.param == GL_LINES ? std::string("Lignes")
                                                             : std::string("Triangles");
                         });

class PTampon_GL_VBO : public TestGL::ContexteGL
{
};

TEST_F(PTampon_GL_VBO, ActiveVBODeuxFoisGardeLePremierUsage)
{
    PTampon_GL tampon(GL_TRIANGLES);
    if (!PGL::Extensions_GL::SupportVBO())
    {
        EXPECT_FALSE(tampon.ActiveVBO(Dynamique));
        EXPECT_EQ(tampon.IdVBO(), 0u);
        return;
    }
    ASSERT_TRUE(tampon.ActiveVBO(Dynamique));
    const unsigned int id = tampon.IdVBO();
    EXPECT_NE(id, 0u);
    EXPECT_TRUE(tampon.VBOActif()) << "a new VBO is live before its first upload";
    EXPECT_TRUE(tampon.ActiveVBO(Statique));
    EXPECT_EQ(tampon.IdVBO(), id);
    EXPECT_EQ(tampon.UsageVBO(), Dynamique);

    EXPECT_TRUE(tampon.DesactiveVBO());
    EXPECT_FALSE(PGL::Extensions_GL::glIsBuffer(id));
    EXPECT_EQ(tampon.IdVBO(), 0u);
    EXPECT_EQ(tampon.UsageVBO(), 0u);
    EXPECT_FALSE(tampon.DesactiveVBO());
}

TEST_F(PTampon_GL_VBO, LeDestructeurLibereLeVBO)
{
    unsigned int id = 0;
    {
        PTampon_GL tampon(GL_LINES);
        if (tampon.ActiveVBO(Statique)) id = tampon.IdVBO();
    }
    if (id != 0)
    {
        EXPECT_FALSE(PGL::Extensions_GL::glIsBuffer(id));
    }
    else
    {
        EXPECT_FALSE(PGL::Extensions_GL::SupportVBO());
    }
}

TEST_F(PTampon_GL_VBO, LeVBOMontreLeDernierTransfert)
{
    PTampon_GL tampon(GL_TRIANGLES);
    TestGL::AjoutScene(tampon);
    const bool vbo = tampon.ActiveVBO(Statique);
    tampon.Transfert();
    const std::vector<uint8_t> avant = Dessine(tampon);

    // New contents without an upload: a VBO keeps drawing the old store, memory the new arrays.
    tampon.Reinit(false);
    tampon.Ajout(PVertex_GL(-1, -1, 0), PVertex_GL(1, -1, 0), PVertex_GL(-1, 1, 0), PVertex_GL(0, 0, 1),
                 PCouleur_GL(0, 0, 1, 1));
    tampon.Ajout(PVertex_GL(1, -1, 0), PVertex_GL(1, 1, 0), PVertex_GL(-1, 1, 0), PVertex_GL(0, 0, 1),
                 PCouleur_GL(0, 0, 1, 1));
    const std::vector<uint8_t> sans_transfert = Dessine(tampon);
    tampon.Transfert();
    const std::vector<uint8_t> apres = Dessine(tampon);

    EXPECT_EQ(TestGL::Pixel(apres, 60, 60)[2], 255);
    EXPECT_EQ(TestGL::PixelsDifferents(apres, sans_transfert) == 0, !vbo);
    if (vbo)
    {
        EXPECT_EQ(TestGL::PixelsDifferents(avant, sans_transfert), 0);
    }
}

TEST_F(PTampon_GL_VBO, ReinitSansTransfertNeDessineRien)
{
    PTampon_GL tampon(GL_TRIANGLES);
    TestGL::AjoutScene(tampon);
    const bool vbo = tampon.ActiveVBO(Statique);
    tampon.Transfert();
    tampon.Reinit(false);
    EXPECT_EQ(tampon.VBOActif(), vbo);
    // The store still holds the triangles, but the count comes from the emptied arrays.
    EXPECT_EQ(TestGL::PixelsAllumes(Dessine(tampon)), 0);
    EXPECT_TRUE(tampon.Transfert()); // an empty buffer uploads a zero-byte store
    EXPECT_EQ(TestGL::PixelsAllumes(Dessine(tampon)), 0);
    tampon.Reinit(true);
    EXPECT_FALSE(tampon.VBOActif());
}

TEST_F(PTampon_GL_VBO, TypeNonGereNeTransfereNiNeDessine)
{
    PTampon_GL tampon(GL_LINE_STRIP);
    if (!tampon.ActiveVBO(Statique))
    {
        EXPECT_TRUE(tampon.Transfert());
        return;
    }
    EXPECT_FALSE(tampon.Transfert());
    EXPECT_EQ(TestGL::PixelsAllumes(Dessine(tampon)), 0);
}

TEST_F(PTampon_GL_VBO, TamponFlottantsCycleDeVie)
{
    PGL::PTamponF_GL tampon;
    const float donnees[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    if (!PGL::Extensions_GL::SupportVBO())
    {
        EXPECT_FALSE(tampon.Active());
        EXPECT_FALSE(tampon.Transfert(donnees, sizeof(donnees)));
        return;
    }
    ASSERT_TRUE(tampon.Active());
    const unsigned int id = tampon.Id();
    EXPECT_TRUE(tampon.Valide(true));
    EXPECT_FALSE(tampon.Active()) << "an existing buffer is kept";
    EXPECT_EQ(tampon.Id(), id);
    ASSERT_TRUE(tampon.Transfert(donnees, sizeof(donnees)));
    ASSERT_TRUE(tampon.Bind());
    GLint taille = 0;
    PGL::Extensions_GL::glGetBufferParameteriv(0x8892, 0x8764, &taille); // GL_BUFFER_SIZE
    EXPECT_EQ(taille, 16);
    tampon.UnBind();
    EXPECT_TRUE(tampon.Reactive());
    EXPECT_NE(tampon.Id(), id);
    EXPECT_FALSE(PGL::Extensions_GL::glIsBuffer(id));
    EXPECT_TRUE(tampon.Desactive());
    EXPECT_EQ(tampon.Id(), 0u);
}
