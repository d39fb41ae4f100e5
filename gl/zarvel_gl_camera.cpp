// Camera and projection: the projection and viewport, the camera matrices, un-projection of window
// points, the point under the pointer and the light that follows the camera.
#include "zarvel_gl.h"

#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace PGL
{

namespace
{

// Near 0.01 and far 1000: (far + near) / (far - near) and -2 far near / (far - near), by their
// exact float bits.
float FloatDeBits(std::uint32_t bits)
{
    float valeur;
    std::memcpy(&valeur, &bits, sizeof valeur);
    return valeur;
}

const float ProfondeurA = FloatDeBits(0x3F8000A8u);
const float ProfondeurB = FloatDeBits(0xBCA3D776u);

constexpr double DegresVersRadians = 0.017453292519943295;
// The threshold is the float 0.0001: an angle of -0.0001 degree given as a float still turns.
const double AngleMinimal = static_cast<double>(0.0001f);

// The relative setters form their sums in double before rounding to float.
float Applique(float actuelle, double valeur, bool relatif)
{
    return static_cast<float>(relatif ? static_cast<double>(actuelle) + valeur : valeur);
}

} // namespace

void Moteur_GL::defTailleAffichage(int nouvelle_largeur, int nouvelle_hauteur)
{
    largeur = nouvelle_largeur;
    hauteur = nouvelle_hauteur;
    CalculeMatriceProjections(matrice_projections, largeur, hauteur);
    if (params.post_traitement && framebuffer.Nom() != 0 && framebuffer.Valide())
        framebuffer.defTailleEcran(static_cast<unsigned int>(largeur), static_cast<unsigned int>(hauteur));
}

void Moteur_GL::CalculeMatriceProjections(PMatriceGL4& m, int l, int h) const
{
    m.Identite();
    if (!params.projection_orthogonale)
    {
        const float aspect = static_cast<float>(l) / static_cast<float>(h);
        glViewport(0, 0, l, h);
        const double proche = static_cast<double>(0.01f);
        const float t = static_cast<float>(std::tan(champ_vue * 0.5 * DegresVersRadians) * proche);
        const double numerateur = static_cast<double>(0.02f);
        m[0] = static_cast<float>(numerateur / static_cast<double>(2.0f * t));
        m[5] = static_cast<float>(numerateur / static_cast<double>(2.0f * t / aspect));
        m[8] = -0.0f;
        m[9] = -0.0f;
        m[10] = ProfondeurA;
        m[11] = 1.0f;
        m[14] = ProfondeurB;
        m[15] = 0.0f;
        return;
    }
    // A centred square viewport covering the window: eye-space x and y from -1 to 1 fill it.
    const int cote = (h > l) ? h : l;
    glViewport((l - cote) / 2, (h - cote) / 2, cote, cote);
    m[10] = ProfondeurA;
    m[14] = ProfondeurB;
}

void Moteur_GL::defTypeProjection(bool orthogonale)
{
    params.projection_orthogonale = orthogonale;
}

void Moteur_GL::defChampVue(float valeur, bool relatif)
{
    champ_vue = relatif ? champ_vue + valeur : valeur;
}

void Moteur_GL::defEchelleAffichage(float valeur, bool relatif)
{
    echelle_affichage = relatif ? echelle_affichage + valeur : valeur;
}

void Moteur_GL::defRotationCamera(PVertex_GL const& angles)
{
    rotation_camera = angles;
}

void Moteur_GL::defRotationCameraX(float angle)
{
    rotation_camera.X = angle;
}

void Moteur_GL::defRotationCameraY(float angle)
{
    rotation_camera.Y = angle;
}

void Moteur_GL::defRotationCameraZ(float angle)
{
    rotation_camera.Z = angle;
}

void Moteur_GL::defTranslationCamera(double x, double y, bool relatif)
{
    translation_camera.X = Applique(translation_camera.X, x, relatif);
    translation_camera.Y = Applique(translation_camera.Y, y, relatif);
}

void Moteur_GL::defAvanceCamera(double avance, bool relatif)
{
    translation_camera.Z = Applique(translation_camera.Z, avance, relatif);
}

void Moteur_GL::IdentiteMatrices()
{
    matrice_modele.Identite();
    matrice_camera.Identite();
    matrice_affichage.Identite();
}

void Moteur_GL::CalcMatricesAffichage()
{
    // Transforms left-multiply: the camera becomes S T Rx Ry Rz.
    if (std::fabs(static_cast<double>(rotation_camera.Z)) >= AngleMinimal)
        matrice_camera.Rotation(rotation_camera.Z, 0.0f, 0.0f, 1.0f);
    if (std::fabs(static_cast<double>(rotation_camera.Y)) >= AngleMinimal)
        matrice_camera.Rotation(rotation_camera.Y, 0.0f, 1.0f, 0.0f);
    if (std::fabs(static_cast<double>(rotation_camera.X)) >= AngleMinimal)
        matrice_camera.Rotation(rotation_camera.X, 1.0f, 0.0f, 0.0f);
    matrice_camera.Translation(translation_camera.X, translation_camera.Y, translation_camera.Z);
    matrice_camera.Echelle(echelle_affichage);
    matrice_affichage = matrice_modele * matrice_camera;
    matrice_normales = matrice_affichage;
    matrice_normales.Inverse();
    matrice_normales.Transpose();
}

PVertex_GL Moteur_GL::DeProj(float x, float y, float z) const
{
    double modele[16];
    double projection[16];
    matrice_affichage.Copie(modele);
    matrice_projections.Copie(projection);
    // Origin at the top-left corner, y downwards: pointer coordinates pass as they come.
    const GLint vue[4] = {0, hauteur, largeur, -hauteur};
    double rx = 0.0;
    double ry = 0.0;
    double rz = 0.0;
    if (gluUnProject(x, y, z, modele, projection, vue, &rx, &ry, &rz) != GL_TRUE) return PVertex_GL();
    return PVertex_GL(static_cast<float>(rx), static_cast<float>(ry), static_cast<float>(rz));
}

bool Moteur_GL::CalcProjectionCurseur(int x, int y)
{
    if (reinit_en_cours) return false;
    float profondeur = 1000.0f;
    // The depth of the off-screen image when the frame is drawn there.
    if (framebuffer_lie) framebuffer.Bind();
    glReadPixels(x, hauteur - 1 - y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &profondeur);
    if (framebuffer_lie) framebuffer.UnBind();
    position_curseur = DeProj(static_cast<float>(x), static_cast<float>(y), profondeur);
    return profondeur < 1.0f;
}

void Moteur_GL::CalcPositionLumiere()
{
    position_lumiere = DeProj(0.5f * static_cast<float>(largeur), 0.5f * static_cast<float>(hauteur), -0.5f);
}

} // namespace PGL
