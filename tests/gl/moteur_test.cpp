// Engine core, camera, overlay and display modes without a GL context: everything here is CPU-side.
#include "zarvel_gl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

using PGL::Moteur_GL;
using PGL::Params_GL;
using PGL::PCouleur_GL;
using PGL::PMatriceGL4;
using PGL::PVertex_GL;

namespace
{

Params_GL ParamsProgramme()
{
    return Params_GL(8.0f, 2.0f, true, false, false, false, false);
}

std::uint32_t Bits(float valeur)
{
    std::uint32_t bits;
    std::memcpy(&bits, &valeur, sizeof bits);
    return bits;
}

void AttendSegment(PGL::PTampon_GL const& tampon, int segment, PVertex_GL const& a, PVertex_GL const& b)
{
    PGL::PTableau_GL<PVertex_GL> const& v = tampon.Vertices();
    ASSERT_LT(static_cast<size_t>(2 * segment + 1), v.size());
    PVertex_GL const& p = v[2 * segment];
    PVertex_GL const& q = v[2 * segment + 1];
    EXPECT_FLOAT_EQ(p.X, a.X);
    EXPECT_FLOAT_EQ(p.Y, a.Y);
    EXPECT_FLOAT_EQ(p.Z, a.Z);
    EXPECT_FLOAT_EQ(q.X, b.X);
    EXPECT_FLOAT_EQ(q.Y, b.Y);
    EXPECT_FLOAT_EQ(q.Z, b.Z);
}

// The camera matrix of the start state is the uniform scale s (translation 0).
void AttendEchelle(PMatriceGL4 const& m, float s)
{
    for (int i = 0; i < 16; ++i)
    {
        const float attendu = (i == 15) ? 1.0f : ((i % 5 == 0) ? s : 0.0f);
        EXPECT_NEAR(m[i], attendu, 1e-6f) << "element " << i;
    }
}

} // namespace

TEST(Params_GL, FondParDefautQuelsQueSoientLesArguments)
{
    const Params_GL a(1.0f, 1.0f, false, false, false, false, false);
    const Params_GL b(3.0f, 7.0f, true, true, true, true, true);
    for (Params_GL const* p : {&a, &b})
    {
        EXPECT_FLOAT_EQ(p->couleur_fond.rouge, 0.117f);
        EXPECT_FLOAT_EQ(p->couleur_fond.vert, 0.145f);
        EXPECT_FLOAT_EQ(p->couleur_fond.bleu, 0.184f);
        EXPECT_FLOAT_EQ(p->couleur_fond.alpha, 1.0f);
    }
    EXPECT_TRUE(b.projection_orthogonale);
    EXPECT_FLOAT_EQ(b.epaisseur_lignes, 7.0f);
}

TEST(Moteur_GL, EtatInitial)
{
    const Moteur_GL moteur(ParamsProgramme());
    EXPECT_FALSE(moteur.ReinitEnCours());
    EXPECT_FALSE(moteur.FrameBufferLie());
    EXPECT_EQ(moteur.Largeur(), 0);
    EXPECT_FLOAT_EQ(moteur.ChampVue(), 90.0f);
    EXPECT_FLOAT_EQ(moteur.EchelleAffichage(), 0.9f);
    EXPECT_EQ(moteur.TamponPointsDiv().Primitive(), GL_POINTS);
    EXPECT_EQ(moteur.TamponLignesDiv().Primitive(), GL_LINES);
    EXPECT_EQ(moteur.TamponTrianglesDiv().Primitive(), GL_TRIANGLES);
}

TEST(Moteur_GL, ProjectionPerspective1024x768)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.defTailleAffichage(1024, 768);
    PMatriceGL4 const& m = moteur.MatriceProjections();
    EXPECT_FLOAT_EQ(m[0], 1.0f);
    EXPECT_FLOAT_EQ(m[5], 4.0f / 3.0f);
    EXPECT_EQ(Bits(m[10]), 0x3F8000A8u);
    EXPECT_EQ(Bits(m[14]), 0xBCA3D776u);
    EXPECT_FLOAT_EQ(m[11], 1.0f);
    EXPECT_FLOAT_EQ(m[15], 0.0f);
    EXPECT_TRUE(std::signbit(m[8]));
    EXPECT_TRUE(std::signbit(m[9]));

    // Eye-space z from 0.01 to 1000 maps to normalised depth -1 to 1 (clip w = z).
    for (float z : {0.01f, 1000.0f})
    {
        const float profondeur = (m[10] * z + m[14]) / (m[11] * z);
        EXPECT_NEAR(profondeur, z < 1.0f ? -1.0f : 1.0f, 1e-4f);
    }
    EXPECT_EQ(moteur.Largeur(), 1024);
    EXPECT_EQ(moteur.Hauteur(), 768);
}

TEST(Moteur_GL, ProjectionOrthogonale)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.defTypeProjection(true);
    // Nothing is recomputed until the next size.
    EXPECT_FLOAT_EQ(moteur.MatriceProjections()[10], 1.0f);
    moteur.defTailleAffichage(1024, 768);
    PMatriceGL4 const& m = moteur.MatriceProjections();
    EXPECT_FLOAT_EQ(m[0], 1.0f);
    EXPECT_FLOAT_EQ(m[5], 1.0f);
    EXPECT_FLOAT_EQ(m[11], 0.0f);
    EXPECT_FLOAT_EQ(m[15], 1.0f);
    EXPECT_EQ(Bits(m[10]), 0x3F8000A8u);
    EXPECT_EQ(Bits(m[14]), 0xBCA3D776u);
}

TEST(Moteur_GL, ChampVueEtEchelleRelatifsOuAbsolus)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.defTailleAffichage(1024, 768);
    moteur.defChampVue(10.0f, true);
    EXPECT_FLOAT_EQ(moteur.ChampVue(), 100.0f);
    // The projection waits for the next size.
    EXPECT_FLOAT_EQ(moteur.MatriceProjections()[0], 1.0f);
    moteur.defTailleAffichage(1024, 768);
    EXPECT_LT(moteur.MatriceProjections()[0], 1.0f);
    moteur.defChampVue(10.0f, false);
    EXPECT_FLOAT_EQ(moteur.ChampVue(), 10.0f);

    moteur.defEchelleAffichage(0.1f, true);
    EXPECT_FLOAT_EQ(moteur.EchelleAffichage(), 1.0f);
    moteur.defEchelleAffichage(2.0f, false);
    EXPECT_FLOAT_EQ(moteur.EchelleAffichage(), 2.0f);
}

TEST(Moteur_GL, TranslationEtAvanceRelativesOuAbsolues)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.defAvanceCamera(3.0, false);
    moteur.defTranslationCamera(0.5, 0.25, true);
    moteur.defTranslationCamera(0.5, 0.25, true);
    EXPECT_FLOAT_EQ(moteur.TranslationCamera().X, 1.0f);
    EXPECT_FLOAT_EQ(moteur.TranslationCamera().Y, 0.5f);
    EXPECT_FLOAT_EQ(moteur.TranslationCamera().Z, 3.0f);
    moteur.defAvanceCamera(-1.0, true);
    EXPECT_FLOAT_EQ(moteur.TranslationCamera().Z, 2.0f);
    moteur.defTranslationCamera(-4.0, 7.0, false);
    EXPECT_FLOAT_EQ(moteur.TranslationCamera().X, -4.0f);
    EXPECT_FLOAT_EQ(moteur.TranslationCamera().Y, 7.0f);
    EXPECT_FLOAT_EQ(moteur.TranslationCamera().Z, 2.0f);
}

TEST(Moteur_GL, CameraDeDepartEchelleEtNormales)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.IdentiteMatrices();
    moteur.CalcMatricesAffichage();
    AttendEchelle(moteur.MatriceCamera(), 0.9f);
    AttendEchelle(moteur.MatriceAffichage(), 0.9f);
    AttendEchelle(moteur.MatriceNormales(), 1.0f / 0.9f);
}

TEST(Moteur_GL, RotationsSousLeSeuilIgnorees)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.defRotationCamera(PVertex_GL(0.00005f, 0.00005f, 0.00005f));
    moteur.IdentiteMatrices();
    moteur.CalcMatricesAffichage();
    // Exactly the scale: not even a rounding trace of a rotation.
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(moteur.MatriceCamera()[i], (i == 15) ? 1.0f : ((i % 5 == 0) ? 0.9f : 0.0f));

    for (int axe = 0; axe < 3; ++axe)
    {
        Moteur_GL tourne(ParamsProgramme());
        PVertex_GL angles;
        (axe == 0 ? angles.X : axe == 1 ? angles.Y : angles.Z) = -0.0001f;
        tourne.defRotationCamera(angles);
        tourne.IdentiteMatrices();
        tourne.CalcMatricesAffichage();
        int differents = 0;
        for (int i = 0; i < 16; ++i)
            if (tourne.MatriceCamera()[i] != moteur.MatriceCamera()[i]) ++differents;
        EXPECT_GT(differents, 0) << "axis " << axe;
    }
}

TEST(Moteur_GL, OrdreEchelleTranslationRotations)
{
    // Rz(90) first, then the translation, then the scale: (1, 0, 0) -> (0, 1, 0) -> (0, 1, 5) -> x 0.9.
    Moteur_GL moteur(ParamsProgramme());
    moteur.defRotationCameraZ(90.0f);
    moteur.defAvanceCamera(5.0, false);
    moteur.IdentiteMatrices();
    moteur.CalcMatricesAffichage();
    PMatriceGL4 const& m = moteur.MatriceAffichage();
    const PVertex_GL direction = m * PVertex_GL(1.0f, 0.0f, 0.0f);
    const PVertex_GL origine = m.Origine();
    EXPECT_NEAR(direction.X + origine.X, 0.0f, 1e-6f);
    EXPECT_NEAR(direction.Y + origine.Y, 0.9f, 1e-6f);
    EXPECT_NEAR(direction.Z + origine.Z, 4.5f, 1e-6f);

    // A second pass without IdentiteMatrices applies everything again.
    moteur.CalcMatricesAffichage();
    PMatriceGL4 attendue;
    attendue.Rotation(90.0f, 0.0f, 0.0f, 1.0f);
    attendue.Translation(0.0f, 0.0f, 5.0f);
    attendue.Echelle(0.9f);
    attendue.Rotation(90.0f, 0.0f, 0.0f, 1.0f);
    attendue.Translation(0.0f, 0.0f, 5.0f);
    attendue.Echelle(0.9f);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(moteur.MatriceCamera()[i], attendue[i], 1e-5f) << "element " << i;

    // The projection and the normals survive IdentiteMatrices.
    moteur.defTailleAffichage(1024, 768);
    const PMatriceGL4 normales = moteur.MatriceNormales();
    moteur.IdentiteMatrices();
    EXPECT_FLOAT_EQ(moteur.MatriceProjections()[0], 1.0f);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(moteur.MatriceNormales()[i], normales[i]);
    AttendEchelle(moteur.MatriceCamera(), 1.0f);
}

TEST(Moteur_GL, DeProjInverseLaProjection)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.defTailleAffichage(1024, 768);
    moteur.IdentiteMatrices();
    moteur.CalcMatricesAffichage();
    // The window centre at the near plane lies on the viewing axis at eye z 0.01 (scaled by 0.9).
    const PVertex_GL p = moteur.DeProj(512.0f, 384.0f, 0.0f);
    EXPECT_NEAR(p.X, 0.0f, 1e-6f);
    EXPECT_NEAR(p.Y, 0.0f, 1e-6f);
    EXPECT_NEAR(p.Z, 0.01f / 0.9f, 1e-6f);
    // Window y grows downwards: the top edge is the positive y side.
    EXPECT_GT(moteur.DeProj(512.0f, 0.0f, 0.5f).Y, 0.0f);
    // The light sits on the axis, on the viewer's side of the near plane.
    moteur.CalcPositionLumiere();
    EXPECT_NEAR(moteur.PositionLumiere().X, 0.0f, 1e-5f);
    EXPECT_NEAR(moteur.PositionLumiere().Y, 0.0f, 1e-5f);
    EXPECT_LT(moteur.PositionLumiere().Z, 0.01f / 0.9f);
}

TEST(Moteur_GL, DeProjMatricesSingulieresDonneZero)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.defTailleAffichage(1024, 768);
    moteur.defEchelleAffichage(0.0f, false);
    moteur.IdentiteMatrices();
    moteur.CalcMatricesAffichage();
    const PVertex_GL p = moteur.DeProj(100.0f, 200.0f, 0.5f);
    EXPECT_EQ(p.X, 0.0f);
    EXPECT_EQ(p.Y, 0.0f);
    EXPECT_EQ(p.Z, 0.0f);
}

TEST(Moteur_GL, GenOrigineDiv)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.GenOrigineDiv(PVertex_GL(0.0f, 0.0f, 0.0f));
    PGL::PTampon_GL const& lignes = moteur.TamponLignesDiv();
    ASSERT_EQ(lignes.NombreVertices(), 6u);
    AttendSegment(lignes, 0, PVertex_GL(-0.005f, 0, 0), PVertex_GL(0.05f, 0, 0));
    AttendSegment(lignes, 1, PVertex_GL(0, -0.005f, 0), PVertex_GL(0, 0.05f, 0));
    AttendSegment(lignes, 2, PVertex_GL(0, 0, -0.005f), PVertex_GL(0, 0, 0.05f));
    PGL::PTableau_GL<PCouleur_GL> const& c = lignes.Couleurs();
    EXPECT_FLOAT_EQ(c[0].rouge, 204 / 255.0f);
    EXPECT_FLOAT_EQ(c[0].vert, 77 / 255.0f);
    EXPECT_FLOAT_EQ(c[2].vert, 205 / 255.0f);
    EXPECT_FLOAT_EQ(c[4].rouge, 25 / 255.0f);
    EXPECT_FLOAT_EQ(c[5].bleu, 205 / 255.0f);

    moteur.GenDivers(false);
    EXPECT_EQ(lignes.NombreVertices(), 0u);
    moteur.GenOrigineDiv(PVertex_GL(1.0f, 2.0f, 3.0f));
    AttendSegment(lignes, 0, PVertex_GL(-1.005f, -2, -3), PVertex_GL(-0.95f, -2, -3));
    AttendSegment(lignes, 2, PVertex_GL(-1, -2, -3.005f), PVertex_GL(-1, -2, -2.95f));
    // GenDivers with the origin: the model matrix is the identity, so the axes sit at 0.
    moteur.GenDivers(true);
    AttendSegment(lignes, 1, PVertex_GL(0, -0.005f, 0), PVertex_GL(0, 0.05f, 0));
}

TEST(Moteur_GL, GenMatriceDiv)
{
    Moteur_GL moteur(ParamsProgramme());
    moteur.GenMatriceDiv(PMatriceGL4());
    PGL::PTampon_GL const& lignes = moteur.TamponLignesDiv();
    ASSERT_EQ(lignes.NombreVertices(), 8u);
    const PVertex_GL o;
    AttendSegment(lignes, 0, o, PVertex_GL(1, 0, 0));
    AttendSegment(lignes, 1, o, PVertex_GL(0, 1, 0));
    AttendSegment(lignes, 2, o, PVertex_GL(0, 0, 1));
    AttendSegment(lignes, 3, o, PVertex_GL(0.57735f, 0.57735f, 0.57735f));
    EXPECT_FLOAT_EQ(lignes.Couleurs()[6].rouge, 205 / 255.0f);

    // A translated and scaled frame: the segments start at its origin, along its scaled axes.
    PMatriceGL4 m;
    m.Echelle(2.0f);
    m.Translation(1.0f, 2.0f, 3.0f);
    moteur.VideDiv();
    moteur.GenMatriceDiv(m);
    AttendSegment(lignes, 0, PVertex_GL(1, 2, 3), PVertex_GL(3, 2, 3));
    AttendSegment(lignes, 2, PVertex_GL(1, 2, 3), PVertex_GL(1, 2, 5));
}

TEST(Moteur_GL, AjoutsDivEtVideDiv)
{
    Moteur_GL moteur(ParamsProgramme());
    const PCouleur_GL rouge(1, 0, 0, 1);
    moteur.AjoutSommetDiv(PVertex_GL(1, 2, 3), rouge);
    moteur.AjoutLigneDiv(PGL::PVertice2_GL(PVertex_GL(), PVertex_GL(1, 1, 1)), rouge);
    moteur.AjoutTriangleDiv(PGL::PVertice3_GL(PVertex_GL(), PVertex_GL(1, 0, 0), PVertex_GL(0, 1, 0)),
                            PVertex_GL(0, 0, 1), rouge);
    EXPECT_EQ(moteur.TamponPointsDiv().NombreVertices(), 1u);
    EXPECT_EQ(moteur.TamponLignesDiv().NombreVertices(), 2u);
    EXPECT_EQ(moteur.TamponTrianglesDiv().NombreVertices(), 3u);
    EXPECT_FLOAT_EQ(moteur.TamponTrianglesDiv().Normales()[2].Z, 1.0f);
    const size_t capacite = moteur.TamponLignesDiv().Vertices().capacity();
    moteur.VideDiv();
    EXPECT_EQ(moteur.TamponPointsDiv().NombreVertices(), 0u);
    EXPECT_EQ(moteur.TamponLignesDiv().NombreVertices(), 0u);
    EXPECT_EQ(moteur.TamponTrianglesDiv().NombreVertices(), 0u);
    EXPECT_EQ(moteur.TamponLignesDiv().Vertices().capacity(), capacite);
}

TEST(Moteur_GL, InitialisationShadersSansSources)
{
    Moteur_GL sans(ParamsProgramme());
    Moteur_GL avec(Params_GL(8.0f, 2.0f, true, false, false, true, true));
    for (unsigned int n = 0; n < 5; ++n)
    {
        EXPECT_EQ(sans.InitialisationShaders(nullptr, nullptr, n), "");
        EXPECT_EQ(avec.InitialisationShaders(nullptr, nullptr, n), "");
    }
    // Sets 0 and 1 without shaders, set 2 without post-processing, any set above 2: "(nil)".
    char const* v = PGL::Shaders_GL::VShaderDefaut();
    char const* f = PGL::Shaders_GL::FShaderDefaut();
    EXPECT_EQ(sans.InitialisationShaders(v, f, 0), "(nil)");
    EXPECT_EQ(sans.InitialisationShaders(v, nullptr, 1), "(nil)");
    EXPECT_EQ(sans.InitialisationShaders(v, f, 2), "(nil)");
    EXPECT_EQ(avec.InitialisationShaders(v, f, 3), "(nil)");
    EXPECT_FALSE(sans.ReinitEnCours());
    // Post-processing on, shaders off: set 2 is rebuilt (here without a context it yields no log).
    Moteur_GL post(Params_GL(8.0f, 2.0f, true, false, false, false, true));
    EXPECT_NE(post.InitialisationShaders(v, f, 2), "(nil)");
    EXPECT_FALSE(post.ReinitEnCours());
}

TEST(Moteur_GL, DefEtatShaders)
{
    Moteur_GL moteur(ParamsProgramme());
    EXPECT_FALSE(moteur.defEtatShaders(false, false));
    EXPECT_TRUE(moteur.defEtatShaders(true, false));
    EXPECT_TRUE(moteur.Params().shaders_actifs);
    EXPECT_FALSE(moteur.defEtatShaders(true, false));
    EXPECT_TRUE(moteur.defEtatShaders(true, true));
    EXPECT_TRUE(moteur.defEtatShaders(false, true));
    EXPECT_FALSE(moteur.Params().shaders_actifs);
    EXPECT_TRUE(moteur.defEtatShaders(true, true));
    EXPECT_TRUE(moteur.defEtatShaders(false, false));
    EXPECT_FALSE(moteur.Params().shaders_actifs);
    EXPECT_FALSE(moteur.DumpShaderBin("/nonexistent/dump", 3));
}

TEST(Moteur_GL, ExecShaderPostSansCadre)
{
    Moteur_GL moteur(Params_GL(8.0f, 2.0f, true, false, false, true, true));
    // No frame buffer was bound for a frame: nothing runs, forced or not.
    EXPECT_FALSE(moteur.ExecShaderPost(true));
    EXPECT_FALSE(moteur.ExecShaderPost(false));
}

TEST(PAllocateur_GL, GrandsBlocsAlignesEtUtilisables)
{
    // A block of 3 MiB and one byte: aligned on 2 MiB, every byte of it writable and kept.
    const std::size_t octets = (std::size_t(3) << 20) + 1;
    unsigned char* bloc = static_cast<unsigned char*>(PGL::AllocationTableau_GL(octets));
    ASSERT_NE(bloc, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bloc) % (std::size_t(2) << 20), 0u);
    for (std::size_t i = 0; i < octets; i += 4093)
        bloc[i] = static_cast<unsigned char>(i);
    bloc[octets - 1] = 0xAB;
    for (std::size_t i = 0; i < octets - 1; i += 4093)
        ASSERT_EQ(bloc[i], static_cast<unsigned char>(i));
    EXPECT_EQ(bloc[octets - 1], 0xAB);
    PGL::LiberationTableau_GL(bloc, octets);

    // An array growing across the threshold keeps its contents.
    PGL::PTableau_GL<PVertex_GL> sommets;
    for (int i = 0; i < 400000; ++i)
        sommets.push_back(PVertex_GL(static_cast<float>(i), 0.0f, 1.0f));
    EXPECT_GE(sommets.capacity() * sizeof(PVertex_GL), std::size_t(2) << 20);
    EXPECT_EQ(sommets[123456].X, 123456.0f);
    EXPECT_EQ(sommets.back().X, 399999.0f);
    EXPECT_THROW(PGL::AllocationTableau_GL(static_cast<std::size_t>(-1) / 2), std::bad_alloc);
}
