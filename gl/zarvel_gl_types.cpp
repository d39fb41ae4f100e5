#include "zarvel_gl.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace PGL
{

static_assert(sizeof(PVertex_GL) == 12, "vertex arrays are packed 3-float arrays");
static_assert(sizeof(PCouleur_GL) == 16, "colour arrays are packed 4-float arrays");
static_assert(sizeof(PVertice2_GL) == 24, "a segment is six packed floats");
static_assert(sizeof(PVertice3_GL) == 36, "a triangle is nine packed floats");
static_assert(sizeof(PMatriceGL4) == 64, "a matrix is the 16 floats handed to GL");

namespace
{

// Degrees to radians in double, rounded to float, then sine and cosine in double, each rounded
// to float: every rotation of the engine uses exactly these values.
void SinusCosinus(float angle, float& sinus, float& cosinus)
{
    const float radians = static_cast<float>(static_cast<double>(angle) * 0.017453292519943295);
    sinus = static_cast<float>(std::sin(static_cast<double>(radians)));
    cosinus = static_cast<float>(std::cos(static_cast<double>(radians)));
}

float Decale(float composante, double seuil, double ecart)
{
    const double valeur = static_cast<double>(composante);
    return static_cast<float>(valeur > seuil ? valeur - ecart : valeur + ecart);
}

constexpr double SeuilRougeVert = 190.0 / 255.0;
constexpr double SeuilBleu = 205.0 / 255.0;
constexpr double EcartRougeVert = 65.0 / 255.0;
constexpr double EcartBleu = 50.0 / 255.0;

} // namespace

PVertex_GL& PVertex_GL::Normalise()
{
    const float longueur2 = X * X + Y * Y + Z * Z;
    if (static_cast<double>(longueur2) < 0.0001)
    {
        X = Y = Z = 0.0f;
        return *this;
    }
    // Integer estimate of 1/sqrt refined by one Newton step: unit length within about 0.2 %.
    int32_t i;
    std::memcpy(&i, &longueur2, sizeof(i));
    i = 0x5F3759DF - (i >> 1);
    float y;
    std::memcpy(&y, &i, sizeof(y));
    y = y * (1.5f - (0.5f * longueur2) * y * y);
    X *= y;
    Y *= y;
    Z *= y;
    return *this;
}

PCouleur_GL PCouleur_GL::Div() const
{
    return PCouleur_GL(Decale(rouge, SeuilRougeVert, EcartRougeVert),
                       Decale(vert, SeuilRougeVert, EcartRougeVert), Decale(bleu, SeuilBleu, EcartBleu),
                       alpha);
}

PCouleur_GL PCouleur_GL::Div2() const
{
    return PCouleur_GL(Decale(rouge, SeuilRougeVert, -EcartRougeVert),
                       Decale(vert, SeuilRougeVert, -EcartRougeVert), Decale(bleu, SeuilBleu, -EcartBleu),
                       alpha);
}

PVertex_GL PVertice3_GL::VecteurNormal() const
{
    const PVertex_GL& p0 = sommets[0];
    const PVertex_GL a(sommets[1].X - p0.X, sommets[1].Y - p0.Y, sommets[1].Z - p0.Z);
    const PVertex_GL b(sommets[2].X - p0.X, sommets[2].Y - p0.Y, sommets[2].Z - p0.Z);
    PVertex_GL n(a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X);
    n.Normalise();
    return n;
}

PMatriceGL4::PMatriceGL4()
{
    Identite();
}

PMatriceGL4::PMatriceGL4(float e0, float e1, float e2, float e3, float e4, float e5, float e6, float e7,
                         float e8, float e9, float e10, float e11, float e12, float e13, float e14, float e15)
    : valeurs{e0, e1, e2, e3, e4, e5, e6, e7, e8, e9, e10, e11, e12, e13, e14, e15}
{
}

PMatriceGL4::PMatriceGL4(float const* tableau)
{
    std::memcpy(valeurs, tableau, sizeof(valeurs));
}

void PMatriceGL4::Copie(float* destination) const
{
    std::memcpy(destination, valeurs, sizeof(valeurs));
}

void PMatriceGL4::Copie(double* destination) const
{
    for (int i = 0; i < 16; ++i)
        destination[i] = static_cast<double>(valeurs[i]);
}

void PMatriceGL4::Identite()
{
    for (int i = 0; i < 16; ++i)
        valeurs[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void PMatriceGL4::defOrtho(float gauche, float droite, float bas, float haut, float proche, float loin)
{
    valeurs[0] = 2.0f / (droite - gauche);
    valeurs[5] = 2.0f / (haut - bas);
    valeurs[10] = -2.0f / (loin - proche);
    valeurs[12] = -(droite + gauche) / (droite - gauche);
    valeurs[13] = -(haut + bas) / (haut - bas);
    valeurs[14] = -(loin + proche) / (loin - proche);
}

void PMatriceGL4::Translation(float x, float y, float z)
{
    for (int c = 0; c < 4; ++c)
    {
        float* colonne = valeurs + 4 * c;
        colonne[0] += x * colonne[3];
        colonne[1] += y * colonne[3];
        colonne[2] += z * colonne[3];
    }
}

void PMatriceGL4::Rotation(float angle, float x, float y, float z)
{
    float s, c;
    SinusCosinus(angle, s, c);
    const float t = 1.0f - c;
    const float r[3][3] = {{x * x * t + c, x * y * t - z * s, x * z * t + y * s},
                           {x * y * t + z * s, y * y * t + c, y * z * t - x * s},
                           {x * z * t - y * s, y * z * t + x * s, z * z * t + c}};
    for (int j = 0; j < 4; ++j)
    {
        float* colonne = valeurs + 4 * j;
        const float v0 = colonne[0], v1 = colonne[1], v2 = colonne[2];
        for (int ligne = 0; ligne < 3; ++ligne)
            colonne[ligne] = r[ligne][0] * v0 + r[ligne][1] * v1 + r[ligne][2] * v2;
    }
}

void PMatriceGL4::RotationX(float angle)
{
    float s, c;
    SinusCosinus(angle, s, c);
    for (int j = 0; j < 4; ++j)
    {
        float* colonne = valeurs + 4 * j;
        const float r1 = colonne[1], r2 = colonne[2];
        colonne[1] = c * r1 - s * r2;
        colonne[2] = s * r1 + c * r2;
    }
}

void PMatriceGL4::RotationY(float angle)
{
    float s, c;
    SinusCosinus(angle, s, c);
    for (int j = 0; j < 4; ++j)
    {
        float* colonne = valeurs + 4 * j;
        const float r0 = colonne[0], r2 = colonne[2];
        colonne[0] = c * r0 + s * r2;
        colonne[2] = -s * r0 + c * r2;
    }
}

void PMatriceGL4::RotationZ(float angle)
{
    float s, c;
    SinusCosinus(angle, s, c);
    for (int j = 0; j < 4; ++j)
    {
        float* colonne = valeurs + 4 * j;
        const float r0 = colonne[0], r1 = colonne[1];
        colonne[0] = c * r0 - s * r1;
        colonne[1] = s * r0 + c * r1;
    }
}

void PMatriceGL4::RotationXYZ(float ax, float ay, float az)
{
    float sx, cx, sy, cy, sz, cz;
    SinusCosinus(ax, sx, cx);
    SinusCosinus(ay, sy, cy);
    SinusCosinus(az, sz, cz);
    // The rows of Rx Ry Rz stored as columns: the inverse rotation Rz(-az) Ry(-ay) Rx(-ax).
    valeurs[0] = cy * cz;
    valeurs[1] = -cy * sz;
    valeurs[2] = sy;
    valeurs[3] = 0.0f;
    valeurs[4] = sx * sy * cz + cx * sz;
    valeurs[5] = cx * cz - sx * sy * sz;
    valeurs[6] = -sx * cy;
    valeurs[7] = 0.0f;
    valeurs[8] = sx * sz - cx * sy * cz;
    valeurs[9] = cx * sy * sz + sx * cz;
    valeurs[10] = cx * cy;
    valeurs[11] = 0.0f;
    valeurs[12] = 0.0f;
    valeurs[13] = 0.0f;
    valeurs[14] = 0.0f;
    valeurs[15] = 1.0f;
}

void PMatriceGL4::Echelle(float s)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 3; ++r)
            valeurs[4 * c + r] *= s;
}

void PMatriceGL4::Echelle(float x, float y, float z)
{
    for (int r = 0; r < 3; ++r)
    {
        valeurs[r] *= x;
        valeurs[4 + r] *= y;
        valeurs[8 + r] *= z;
    }
}

float PMatriceGL4::facteur(float a, float b, float c, float d, float e, float f, float g, float h, float i)
{
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

namespace
{

// Determinant of the 3 x 3 matrix left after deleting row `ligne` and column `colonne`, its nine
// elements handed to facteur column by column in element order.
float Mineur(float const* m, int ligne, int colonne)
{
    float e[9];
    int n = 0;
    for (int c = 0; c < 4; ++c)
    {
        if (c == colonne) continue;
        for (int r = 0; r < 4; ++r)
        {
            if (r == ligne) continue;
            e[n++] = m[4 * c + r];
        }
    }
    return PMatriceGL4::facteur(e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
}

} // namespace

void PMatriceGL4::Inverse()
{
    float mineurs[4][4]; // mineurs[ligne][colonne]
    for (int r = 0; r < 4; ++r)
        mineurs[r][0] = Mineur(valeurs, r, 0);
    const double determinant =
        static_cast<double>(valeurs[0]) * mineurs[0][0] - static_cast<double>(valeurs[1]) * mineurs[1][0] +
        static_cast<double>(valeurs[2]) * mineurs[2][0] - static_cast<double>(valeurs[3]) * mineurs[3][0];
    if (std::fabs(determinant) <= 0.0001)
    {
        // A singular matrix has no inverse: the identity is the defined answer.
        Identite();
        return;
    }
    for (int c = 1; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            mineurs[r][c] = Mineur(valeurs, r, c);
    const double q = 1.0 / determinant;
    float resultat[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
        {
            const double signe = ((r + c) % 2 == 0) ? 1.0 : -1.0;
            resultat[4 * c + r] = static_cast<float>(signe * mineurs[c][r] * q);
        }
    std::memcpy(valeurs, resultat, sizeof(valeurs));
}

void PMatriceGL4::Transpose()
{
    for (int c = 0; c < 4; ++c)
        for (int r = c + 1; r < 4; ++r)
        {
            const float t = valeurs[4 * c + r];
            valeurs[4 * c + r] = valeurs[4 * r + c];
            valeurs[4 * r + c] = t;
        }
}

void PMatriceGL4::defAxeX(float x, float y, float z)
{
    valeurs[0] = x;
    valeurs[1] = y;
    valeurs[2] = z;
}

void PMatriceGL4::defAxeY(float x, float y, float z)
{
    valeurs[4] = x;
    valeurs[5] = y;
    valeurs[6] = z;
}

void PMatriceGL4::defAxeZ(float x, float y, float z)
{
    valeurs[8] = x;
    valeurs[9] = y;
    valeurs[10] = z;
}

void PMatriceGL4::defOrigine(float x, float y, float z)
{
    valeurs[12] = x;
    valeurs[13] = y;
    valeurs[14] = z;
}

void PMatriceGL4::Position(float x, float y, float z)
{
    defOrigine(x, y, z);
}

PVertex_GL PMatriceGL4::AxeX() const
{
    return PVertex_GL(valeurs[0], valeurs[1], valeurs[2]);
}

PVertex_GL PMatriceGL4::AxeY() const
{
    return PVertex_GL(valeurs[4], valeurs[5], valeurs[6]);
}

PVertex_GL PMatriceGL4::AxeZ() const
{
    return PVertex_GL(valeurs[8], valeurs[9], valeurs[10]);
}

PVertex_GL PMatriceGL4::Origine() const
{
    return PVertex_GL(valeurs[12], valeurs[13], valeurs[14]);
}

PVertex_GL PMatriceGL4::operator*(PVertex_GL const& v) const
{
    return PVertex_GL(valeurs[0] * v.X + valeurs[4] * v.Y + valeurs[8] * v.Z,
                      valeurs[1] * v.X + valeurs[5] * v.Y + valeurs[9] * v.Z,
                      valeurs[2] * v.X + valeurs[6] * v.Y + valeurs[10] * v.Z);
}

float PMatriceGL4::CalcW(PVertex_GL const& v) const
{
    return valeurs[3] * v.X + valeurs[7] * v.Y + valeurs[11] * v.Z + valeurs[15];
}

PMatriceGL4 PMatriceGL4::operator*(PMatriceGL4 const& b) const
{
    PMatriceGL4 resultat;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
        {
            float somme = valeurs[r] * b.valeurs[4 * c];
            for (int k = 1; k < 4; ++k)
                somme += valeurs[4 * k + r] * b.valeurs[4 * c + k];
            resultat.valeurs[4 * c + r] = somme;
        }
    return resultat;
}

} // namespace PGL
