#include "zarvel_gl.h"

#include <gtest/gtest.h>

#include <cmath>

using PGL::PCouleur_GL;
using PGL::PMatriceGL4;
using PGL::PVertex_GL;
using PGL::PVertice3_GL;

namespace
{

void ExpectIdentite(PMatriceGL4 const& m)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << "element " << i;
}

void ExpectProche(PMatriceGL4 const& a, PMatriceGL4 const& b, float tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], tolerance) << "element " << i;
}

// A point transformed with its translation, as callers of the vector product do.
PVertex_GL Transforme(PMatriceGL4 const& m, PVertex_GL const& p)
{
    const PVertex_GL v = m * p;
    const PVertex_GL o = m.Origine();
    return PVertex_GL(v.X + o.X, v.Y + o.Y, v.Z + o.Z);
}

} // namespace

TEST(PMatriceGL4, ConstructionEtCopieSuiventLOrdreDesElements)
{
    ExpectIdentite(PMatriceGL4());
    const PMatriceGL4 m(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    float f[16];
    double d[16];
    m.Copie(f);
    m.Copie(d);
    const PMatriceGL4 copie(f);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(m[i], float(i));
        EXPECT_EQ(d[i], double(i));
        EXPECT_EQ(copie[i], float(i));
    }
    // The first four arguments are column 0: the image of the X axis.
    EXPECT_EQ(m.AxeX().Y, 1.0f);
    EXPECT_EQ(m.AxeY().X, 4.0f);
    EXPECT_EQ(m.AxeZ().Z, 10.0f);
    EXPECT_EQ(m.Origine().X, 12.0f);
}

TEST(PMatriceGL4, AngleEnDegresElargiEnDouble)
{
    // 0.3 degree: a float multiplication would give radians one ulp lower and a sine of
    // 0.0052359639666974545; the widened path gives the values below.
    PMatriceGL4 m;
    m.RotationZ(0.3f);
    EXPECT_EQ(m[0], 0.9999862909317017f);
    EXPECT_EQ(m[1], 0.005235964432358742f);
    EXPECT_EQ(m[4], -0.005235964432358742f);

    PMatriceGL4 x;
    x.RotationX(90.0f);
    EXPECT_EQ(x[5], -4.371138828673793e-08f);
    EXPECT_EQ(x[6], 1.0f); // the Y axis goes to +Z
    EXPECT_EQ(x[9], -1.0f);
}

TEST(PMatriceGL4, RotationsUnAxeSontDroites)
{
    PMatriceGL4 y;
    y.RotationY(90.0f);
    const PVertex_GL z = y * PVertex_GL(0, 0, 1); // Z goes to +X
    EXPECT_NEAR(z.X, 1.0f, 1e-6f);
    EXPECT_NEAR(z.Z, 0.0f, 1e-6f);

    PMatriceGL4 r;
    r.RotationZ(90.0f);
    const PVertex_GL x = r * PVertex_GL(1, 0, 0); // X goes to +Y
    EXPECT_NEAR(x.X, 0.0f, 1e-6f);
    EXPECT_NEAR(x.Y, 1.0f, 1e-6f);

    // The axis-angle form agrees with the one-axis forms about unit axes.
    PMatriceGL4 a, b;
    a.Rotation(37.0f, 0, 1, 0);
    b.RotationY(37.0f);
    ExpectProche(a, b, 1e-7f);
}

TEST(PMatriceGL4, RotationAxeNonNormalise)
{
    // About (0, 0, 2): the block is scaled, not a pure rotation.
    PMatriceGL4 m;
    m.Rotation(90.0f, 0, 0, 2);
    EXPECT_NEAR(m[4], -2.0f, 1e-6f);
    EXPECT_NEAR(m[1], 2.0f, 1e-6f);
    EXPECT_NEAR(m[10], 4.0f, 1e-6f);
}

TEST(PMatriceGL4, TransformationsMultiplientAGauche)
{
    // Rotation then Translation on the identity yields T R: rotate first, then translate.
    PMatriceGL4 m;
    m.RotationZ(90.0f);
    m.Translation(1, 2, 3);
    const PVertex_GL p = Transforme(m, PVertex_GL(1, 0, 0));
    EXPECT_NEAR(p.X, 1.0f, 1e-6f);
    EXPECT_NEAR(p.Y, 3.0f, 1e-6f);
    EXPECT_NEAR(p.Z, 3.0f, 1e-6f);

    // A * B applies B first.
    PMatriceGL4 t, r;
    t.Translation(1, 0, 0);
    r.RotationZ(90.0f);
    const PVertex_GL tr = (t * r).Origine();
    const PVertex_GL rt = (r * t).Origine();
    EXPECT_NEAR(tr.X, 1.0f, 1e-6f);
    EXPECT_NEAR(tr.Y, 0.0f, 1e-6f);
    EXPECT_NEAR(rt.X, 0.0f, 1e-6f);
    EXPECT_NEAR(rt.Y, 1.0f, 1e-6f);
    PMatriceGL4 t123;
    t123.Translation(1, 2, 3);
    ExpectProche(m, t123 * r, 0.0f);
}

TEST(PMatriceGL4, TranslationUtiliseLaLigneTrois)
{
    // Row 3 (0, 0, 2, 1): column 2 gains 2 x (x, y, z), the translation column 1 x (x, y, z).
    PMatriceGL4 m;
    m[11] = 2.0f;
    m.Translation(1, 2, 3);
    EXPECT_EQ(m[8], 2.0f);
    EXPECT_EQ(m[9], 4.0f);
    EXPECT_EQ(m[10], 7.0f);
    EXPECT_EQ(m[12], 1.0f);
    EXPECT_EQ(m[13], 2.0f);
    EXPECT_EQ(m[14], 3.0f);
    EXPECT_EQ(m[11], 2.0f);
}

TEST(PMatriceGL4, ProduitMatriciel)
{
    const PMatriceGL4 a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const PMatriceGL4 b(1, 0, 2, 0, 0, 1, 0, 3, 0, 0, 1, 0, 1, 1, 1, 1);
    const PMatriceGL4 p = a * b;
    // Column 0 of the product = A (1, 0, 2, 0) = column 0 + 2 column 2.
    EXPECT_EQ(p[0], 19.0f);
    EXPECT_EQ(p[1], 22.0f);
    EXPECT_EQ(p[2], 25.0f);
    EXPECT_EQ(p[3], 28.0f);
    // Column 1 = column 1 + 3 column 3.
    EXPECT_EQ(p[4], 44.0f);
    EXPECT_EQ(p[7], 56.0f);
    // Column 3 = sum of the four columns.
    EXPECT_EQ(p[12], 28.0f);
    EXPECT_EQ(p[15], 40.0f);
}

TEST(PMatriceGL4, RotationXYZRemplaceLaMatrice)
{
    PMatriceGL4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    m.RotationXYZ(0, 0, 0);
    ExpectIdentite(m);

    m.RotationXYZ(90.0f, 0, 0);
    EXPECT_NEAR(m[4], 0.0f, 1e-6f);
    EXPECT_NEAR(m[5], 0.0f, 1e-6f);
    EXPECT_NEAR(m[6], -1.0f, 1e-6f);
    EXPECT_NEAR(m[8], 0.0f, 1e-6f);
    EXPECT_NEAR(m[9], 1.0f, 1e-6f);
    EXPECT_NEAR(m[10], 0.0f, 1e-6f);

    // The transpose of Rx Ry Rz, composed here from the one-axis rotations.
    PMatriceGL4 xyz;
    xyz.RotationXYZ(30.0f, 40.0f, 50.0f);
    PMatriceGL4 compose;
    compose.RotationZ(50.0f);
    compose.RotationY(40.0f);
    compose.RotationX(30.0f);
    compose.Transpose();
    ExpectProche(xyz, compose, 1e-6f);
}

TEST(PMatriceGL4, EchelleUnOuTroisArguments)
{
    PMatriceGL4 m;
    m.defOrigine(1, 2, 3);
    PMatriceGL4 n = m;
    m.Echelle(2.0f);
    EXPECT_EQ(m.Origine().X, 2.0f);
    EXPECT_EQ(m.Origine().Y, 4.0f);
    EXPECT_EQ(m.Origine().Z, 6.0f);
    EXPECT_EQ(m[0], 2.0f);
    EXPECT_EQ(m[15], 1.0f);

    n.Echelle(2.0f, 3.0f, 4.0f);
    EXPECT_EQ(n.Origine().X, 1.0f);
    EXPECT_EQ(n.Origine().Y, 2.0f);
    EXPECT_EQ(n.Origine().Z, 3.0f);
    EXPECT_EQ(n[0], 2.0f);
    EXPECT_EQ(n[5], 3.0f);
    EXPECT_EQ(n[10], 4.0f);
}

TEST(PMatriceGL4, defOrthoEcritSixElements)
{
    PMatriceGL4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    m.defOrtho(0.0f, 4.0f, 0.0f, 2.0f, 1.0f, 5.0f);
    EXPECT_EQ(m[0], 0.5f);
    EXPECT_EQ(m[5], 1.0f);
    EXPECT_EQ(m[10], -0.5f);
    EXPECT_EQ(m[12], -1.0f);
    EXPECT_EQ(m[13], -1.0f);
    EXPECT_EQ(m[14], -1.5f);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 11, 15})
        EXPECT_EQ(m[i], float(i + 1)) << "element " << i;
}

TEST(PMatriceGL4, InverseMethodeDesCofacteurs)
{
    PMatriceGL4 identite;
    identite.Inverse();
    ExpectIdentite(identite);

    // diag(2, 4, 8) with translation (1, 2, 3): inverse diag(0.5, 0.25, 0.125), translation
    // (-0.5, -0.5, -0.375); every step is exact in binary.
    PMatriceGL4 m(2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 8, 0, 1, 2, 3, 1);
    m.Inverse();
    const PMatriceGL4 attendue(0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.125f, 0, -0.5f, -0.5f, -0.375f, 1);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], attendue[i]) << "element " << i;

    // A general matrix: M times its inverse is the identity.
    PMatriceGL4 g;
    g.RotationXYZ(10.0f, 20.0f, 30.0f);
    g.Translation(4, -2, 7);
    g[3] = 0.25f; // projective row
    PMatriceGL4 inverse = g;
    inverse.Inverse();
    ExpectProche(g * inverse, PMatriceGL4(), 1e-5f);
}

TEST(PMatriceGL4, InverseSinguliereDonneLIdentite)
{
    PMatriceGL4 zero(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    zero.Inverse();
    ExpectIdentite(zero);

    // det = 0.04^3 = 6.4e-5: below the threshold although the matrix is invertible.
    PMatriceGL4 petite;
    petite.Echelle(0.04f);
    petite.Inverse();
    ExpectIdentite(petite);

    // det = 0.05^3 = 1.25e-4: inverted.
    PMatriceGL4 limite;
    limite.Echelle(0.05f);
    limite.Inverse();
    EXPECT_NEAR(limite[0], 20.0f, 1e-4f);

    // Two equal columns.
    PMatriceGL4 colonnes(1, 2, 3, 0, 1, 2, 3, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    colonnes.Inverse();
    ExpectIdentite(colonnes);
}

TEST(PMatriceGL4, TransposeEchangeLesElements)
{
    PMatriceGL4 m(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    m.Transpose();
    const float attendus[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], attendus[i]);
}

TEST(PMatriceGL4, ProduitVecteurEtCalcW)
{
    PMatriceGL4 t;
    t.Translation(5, 6, 7);
    const PVertex_GL v = t * PVertex_GL(1, 2, 3);
    EXPECT_EQ(v.X, 1.0f);
    EXPECT_EQ(v.Y, 2.0f);
    EXPECT_EQ(v.Z, 3.0f);
    EXPECT_EQ(t.CalcW(PVertex_GL(1, 2, 3)), 1.0f);

    const PMatriceGL4 p(1, 0, 0, 2, 0, 1, 0, 3, 0, 0, 1, 4, 0, 0, 0, 5);
    EXPECT_EQ(p.CalcW(PVertex_GL(1, 1, 1)), 14.0f);
}

TEST(PMatriceGL4, AccesseursDesAxes)
{
    PMatriceGL4 m;
    m.defAxeX(1, 2, 3);
    m.defAxeY(4, 5, 6);
    m.defAxeZ(7, 8, 9);
    m.Position(10, 11, 12);
    EXPECT_EQ(m[2], 3.0f);
    EXPECT_EQ(m[6], 6.0f);
    EXPECT_EQ(m[10], 9.0f);
    EXPECT_EQ(m[14], 12.0f);
    EXPECT_EQ(m.AxeY().Y, 5.0f);
}

TEST(PMatriceGL4, FacteurDeterminantTroisParTrois)
{
    EXPECT_EQ(PMatriceGL4::facteur(1, 2, 3, 4, 5, 6, 7, 8, 10), -3.0f);
    EXPECT_EQ(PMatriceGL4::facteur(1, 0, 0, 0, 1, 0, 0, 0, 1), 1.0f);
    EXPECT_EQ(PMatriceGL4::facteur(1, 2, 3, 2, 4, 6, 7, 8, 9), 0.0f);
}

TEST(PVertex_GL, NormaliseRacineInverseEntiere)
{
    PVertex_GL v(3, 4, 0);
    PVertex_GL& r = v.Normalise();
    EXPECT_EQ(&r, &v);
    // One Newton step from the integer estimate: about 0.16 % short of unit length.
    EXPECT_EQ(v.X, 0.5990692973136902f);
    EXPECT_EQ(v.Y, 0.7987590432167053f);
    EXPECT_EQ(v.Z, 0.0f);

    PVertex_GL petit(0.005f, 0.005f, 0.005f);
    petit.Normalise();
    EXPECT_EQ(petit.X, 0.0f);
    EXPECT_EQ(petit.Y, 0.0f);
    EXPECT_EQ(petit.Z, 0.0f);

    // 0.01 squared in float lies just below 0.0001: zero. Slightly longer is normalised.
    PVertex_GL seuil(0.01f, 0, 0);
    seuil.Normalise();
    EXPECT_EQ(seuil.X, 0.0f);
    PVertex_GL dessus(0.0101f, 0, 0);
    dessus.Normalise();
    EXPECT_EQ(dessus.X, 0.9984331130981445f);
}

TEST(PVertice3_GL, VecteurNormalSuitLeSensDesSommets)
{
    const PVertex_GL o(0, 0, 0), x(1, 0, 0), y(0, 1, 0);
    const PVertex_GL n = PVertice3_GL(o, x, y).VecteurNormal();
    EXPECT_EQ(n.X, 0.0f);
    EXPECT_EQ(n.Y, 0.0f);
    EXPECT_EQ(n.Z, 0.9983071684837341f);
    EXPECT_EQ(PVertice3_GL(o, y, x).VecteurNormal().Z, -0.9983071684837341f);
    const PVertex_GL d = PVertice3_GL(o, x, PVertex_GL(2, 0, 0)).VecteurNormal();
    EXPECT_EQ(d.X, 0.0f);
    EXPECT_EQ(d.Y, 0.0f);
    EXPECT_EQ(d.Z, 0.0f);
}

TEST(PCouleur_GL, DivEtDiv2DecalentLesComposantes)
{
    const PCouleur_GL blanc = PCouleur_GL(1, 1, 1, 1).Div();
    EXPECT_EQ(blanc.rouge, 0.7450980544090271f);
    EXPECT_EQ(blanc.vert, 0.7450980544090271f);
    EXPECT_EQ(blanc.bleu, 0.8039215803146362f);
    EXPECT_EQ(blanc.alpha, 1.0f);

    const PCouleur_GL noir = PCouleur_GL(0, 0, 0, 0.5f).Div();
    EXPECT_EQ(noir.rouge, 0.2549019753932953f);
    EXPECT_EQ(noir.vert, 0.2549019753932953f);
    EXPECT_EQ(noir.bleu, 0.19607843458652496f);
    EXPECT_EQ(noir.alpha, 0.5f);

    // The float nearest 190/255 lies above the double threshold: darkened.
    const float seuil = 0.7450980544090271f;
    EXPECT_EQ(PCouleur_GL(seuil, 0, 0).Div().rouge, 0.4901960790157318f);

    const PCouleur_GL oppose = PCouleur_GL(1, 1, 1, 1).Div2();
    EXPECT_EQ(oppose.rouge, 1.2549020051956177f);
    EXPECT_EQ(oppose.bleu, 1.1960784196853638f);
    EXPECT_EQ(PCouleur_GL(0, 0, 0).Div2().rouge, -0.2549019753932953f);
}
