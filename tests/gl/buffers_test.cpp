#include "zarvel_gl.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using PGL::PCouleur_GL;
using PGL::PTampon_GL;
using PGL::PVertex_GL;
using PGL::PVertice2_GL;
using PGL::PVertice3_GL;

namespace
{

const PVertex_GL A(1, 0, 0), B(0, 2, 0), C(0, 0, 3);
const PVertex_GL NA(1, 0, 0), NB(0, 1, 0), NC(0, 0, 1);
const PVertex_GL FIXE(0, 0, -1);
const PCouleur_GL K(0.25f, 0.5f, 0.75f, 1.0f);

bool Egal(PVertex_GL const& u, PVertex_GL const& v)
{
    return u.X == v.X && u.Y == v.Y && u.Z == v.Z;
}

struct CasAjout
{
    std::string nom;
    int primitive;
    std::function<bool(PTampon_GL&)> ajout;
    PGL::PTableau_GL<PVertex_GL> vertices;
    PGL::PTableau_GL<PVertex_GL> normales;
    bool resultat;
};

void PrintTo(CasAjout const& cas, std::ostream* os)
{
    *os << cas.nom;
}

bool Triangle1(PTampon_GL& t)
{
    return t.Ajout(A, B, C, NA, NB, NC, K);
}
bool Triangle2(PTampon_GL& t)
{
    return t.Ajout(A, B, C, NB, K);
}
bool Triangle3(PTampon_GL& t)
{
    return t.Ajout(PVertice3_GL(A, B, C), NB, K);
}
bool Triangle4(PTampon_GL& t)
{
    return t.Ajout(PVertice3_GL(A, B, C), K);
}
bool Point(PTampon_GL& t)
{
    return t.Ajout(A, K);
}
bool Segment6(PTampon_GL& t)
{
    return t.Ajout(A, B, K);
}
bool Segment7(PTampon_GL& t)
{
    return t.Ajout(PVertice2_GL(A, B), K);
}

const PVertex_GL NormaleABC = PVertice3_GL(A, B, C).VecteurNormal();

} // namespace

class PTampon_GL_Ajout : public ::testing::TestWithParam<CasAjout>
{
};

TEST_P(PTampon_GL_Ajout, ConversionSelonLeType)
{
    CasAjout const& cas = GetParam();
    PTampon_GL tampon(cas.primitive);
    EXPECT_EQ(cas.ajout(tampon), cas.resultat);
    ASSERT_EQ(tampon.Vertices().size(), cas.vertices.size());
    for (size_t i = 0; i < cas.vertices.size(); ++i)
        EXPECT_TRUE(Egal(tampon.Vertices()[i], cas.vertices[i])) << "vertex " << i;
    ASSERT_EQ(tampon.Normales().size(), cas.normales.size());
    for (size_t i = 0; i < cas.normales.size(); ++i)
        EXPECT_TRUE(Egal(tampon.Normales()[i], cas.normales[i])) << "normal " << i;
    // One colour per vertex, always the given one.
    ASSERT_EQ(tampon.Couleurs().size(), tampon.Vertices().size());
    for (PCouleur_GL const& k : tampon.Couleurs())
        EXPECT_TRUE(k.rouge == K.rouge && k.vert == K.vert && k.bleu == K.bleu && k.alpha == K.alpha);
    EXPECT_EQ(tampon.NombreVertices(), cas.vertices.size());
}

INSTANTIATE_TEST_SUITE_P(
    Tableau, PTampon_GL_Ajout,
    ::testing::Values(
        CasAjout{"TrianglePoints", GL_POINTS, Triangle1, {A, B, C}, {}, false},
        CasAjout{"TriangleLignes", GL_LINES, Triangle1, {A, B, B, C, C, A}, {}, true},
        CasAjout{"TriangleTriangles", GL_TRIANGLES, Triangle1, {A, B, C}, {NA, NB, NC}, true},
        CasAjout{"TriangleAutreType", GL_LINE_STRIP, Triangle1, {}, {}, false},
        CasAjout{"TriangleUneNormale", GL_TRIANGLES, Triangle2, {A, B, C}, {NB, NB, NB}, true},
        CasAjout{"Vertice3UneNormale", GL_TRIANGLES, Triangle3, {A, B, C}, {NB, NB, NB}, true},
        CasAjout{"Vertice3UneNormaleLignes", GL_LINES, Triangle3, {A, B, B, C, C, A}, {}, true},
        CasAjout{"Vertice3NormaleCalculee",
                 GL_TRIANGLES,
                 Triangle4,
                 {A, B, C},
                 {NormaleABC, NormaleABC, NormaleABC},
                 true},
        CasAjout{"Vertice3Points", GL_POINTS, Triangle4, {A, B, C}, {}, false},
        CasAjout{"PointPoints", GL_POINTS, Point, {A}, {}, true},
        CasAjout{"PointLignes", GL_LINES, Point, {A, A}, {}, true},
        CasAjout{"PointTriangles", GL_TRIANGLES, Point, {A, A, A}, {FIXE, FIXE, FIXE}, true},
        CasAjout{"PointAutreType", GL_QUADS, Point, {}, {}, false},
        CasAjout{"SegmentPoints", GL_POINTS, Segment6, {A, B}, {}, false},
        CasAjout{"SegmentLignes", GL_LINES, Segment6, {A, B}, {}, true},
        CasAjout{"SegmentTriangles", GL_TRIANGLES, Segment6, {A, B, B}, {FIXE, FIXE, FIXE}, true},
        CasAjout{"SegmentAutreType", GL_LINE_LOOP, Segment6, {}, {}, false},
        CasAjout{"Vertice2Lignes", GL_LINES, Segment7, {A, B}, {}, true},
        CasAjout{"Vertice2Triangles", GL_TRIANGLES, Segment7, {A, B, B}, {FIXE, FIXE, FIXE}, true}),
    [](::testing::TestParamInfo<CasAjout> const& info) { return info.param.nom; });

TEST(PTampon_GL, ReinitGardeLaCapacite)
{
    PTampon_GL tampon(GL_TRIANGLES);
    for (int i = 0; i < 100; ++i)
        tampon.Ajout(A, B, C, NA, K);
    const size_t capacite = tampon.Vertices().capacity();
    tampon.Reinit(false);
    EXPECT_EQ(tampon.NombreVertices(), 0u);
    EXPECT_TRUE(tampon.Couleurs().empty());
    EXPECT_TRUE(tampon.Normales().empty());
    EXPECT_EQ(tampon.Vertices().capacity(), capacite);
}

TEST(PTampon_GL, SansSupportVBOToutSeFaitEnMemoire)
{
    // No context here: VBOs are not supported.
    PTampon_GL tampon(GL_LINES);
    tampon.Ajout(A, B, K);
    EXPECT_FALSE(tampon.ActiveVBO(0x88E4));
    EXPECT_FALSE(tampon.VBOActif());
    EXPECT_FALSE(tampon.Bind());
    EXPECT_FALSE(tampon.DesactiveVBO());
    EXPECT_TRUE(tampon.Transfert()); // nothing to upload
    EXPECT_EQ(tampon.IdVBO(), 0u);
    EXPECT_EQ(tampon.UsageVBO(), 0u);
    // Without a VBO even an unsupported type has nothing to upload.
    PTampon_GL autre(GL_LINE_STRIP);
    EXPECT_TRUE(autre.Transfert());
}

TEST(PTamponF_GL, SansSupportRienNeSeCree)
{
    PGL::PTamponF_GL tampon;
    const float donnees[2] = {1.0f, 2.0f};
    EXPECT_FALSE(tampon.ValideSupport());
    EXPECT_FALSE(tampon.Active());
    EXPECT_FALSE(tampon.Valide(false));
    EXPECT_FALSE(tampon.Bind());
    EXPECT_FALSE(tampon.Transfert(donnees, sizeof(donnees)));
    EXPECT_FALSE(tampon.Desactive());
    EXPECT_FALSE(tampon.Reactive());
    EXPECT_EQ(tampon.Id(), 0u);
}

namespace
{

// The flags of the heap mapping that holds the given address ("hg" marks huge-page advice), and
// its size; empty when no heap mapping holds it.
std::string DrapeauxTas(void const* adresse, std::size_t& taille)
{
    std::ifstream cartes("/proc/self/smaps");
    const auto a = reinterpret_cast<std::uintptr_t>(adresse);
    std::string ligne;
    bool dedans = false;
    while (std::getline(cartes, ligne))
    {
        unsigned long debut = 0, fin = 0;
        if (std::sscanf(ligne.c_str(), "%lx-%lx", &debut, &fin) == 2 && ligne.find("[heap]") != std::string::npos)
        {
            dedans = a >= debut && a < fin;
            taille = fin - debut;
        }
        else if (dedans && ligne.rfind("VmFlags:", 0) == 0)
            return ligne;
    }
    return "";
}

} // namespace

TEST(TasPagesGeantes, LeSommetDuTasEstConseilleEtGarde)
{
    constexpr std::size_t Demande = std::size_t(64) << 20;
    char* const avant = static_cast<char*>(sbrk(0));
    if (!PGL::PrepareTasPagesGeantes_GL(Demande)) GTEST_SKIP() << "the allocator does not use the heap";
    char* const apres = static_cast<char*>(sbrk(0));
    ASSERT_GE(static_cast<std::size_t>(apres - avant), Demande);
    std::size_t taille = 0;
    const std::string drapeaux = DrapeauxTas(apres - 1, taille);
    EXPECT_NE(drapeaux.find(" hg"), std::string::npos) << drapeaux;
    EXPECT_GE(taille, Demande);
    // Blocks below 32 MiB now come from the freed room, and freeing them gives nothing back.
    constexpr std::size_t Moyen = std::size_t(20) << 20;
    char* bloc = static_cast<char*>(std::malloc(Moyen));
    ASSERT_NE(bloc, nullptr);
    EXPECT_NE(DrapeauxTas(bloc, taille), "");
    EXPECT_LE(bloc + Moyen, apres);
    std::free(bloc);
    EXPECT_EQ(static_cast<char*>(sbrk(0)), apres);
}
