// Overlay: the frame start and the marks rebuilt every frame (origin axes, frames of matrices,
// highlights added by the renderer). The overlay is drawn from memory and never gets a VBO.
#include "zarvel_gl.h"

namespace PGL
{

namespace
{

// Built on first use; 8-bit components over 255.
struct CouleursAxes
{
    PCouleur_GL x;
    PCouleur_GL y;
    PCouleur_GL z;
    PCouleur_GL diagonale;
};

CouleursAxes const& Axes()
{
    static const CouleursAxes couleurs = {
        PCouleur_GL(204 / 255.0f, 77 / 255.0f, 128 / 255.0f, 1.0f),
        PCouleur_GL(102 / 255.0f, 205 / 255.0f, 128 / 255.0f, 1.0f),
        PCouleur_GL(25 / 255.0f, 205 / 255.0f, 205 / 255.0f, 1.0f),
        PCouleur_GL(205 / 255.0f, 205 / 255.0f, 205 / 255.0f, 1.0f),
    };
    return couleurs;
}

constexpr float AvantAxe = 0.005f;
constexpr float ApresAxe = 0.05f;
// Unit vector along the first octant's diagonal.
constexpr float Diagonale = 0.57735f;

constexpr unsigned int MasqueEffacement = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;

PVertex_GL Somme(PVertex_GL const& a, PVertex_GL const& b)
{
    return PVertex_GL(a.X + b.X, a.Y + b.Y, a.Z + b.Z);
}

} // namespace

void Moteur_GL::AjoutSommetDiv(PVertex_GL const& v, PCouleur_GL const& couleur)
{
    tampon_points_div.Ajout(v, couleur);
}

void Moteur_GL::AjoutLigneDiv(PVertice2_GL const& segment, PCouleur_GL const& couleur)
{
    tampon_lignes_div.Ajout(segment, couleur);
}

void Moteur_GL::AjoutTriangleDiv(PVertice3_GL const& triangle, PVertex_GL const& normale, PCouleur_GL const& couleur)
{
    tampon_triangles_div.Ajout(triangle, normale, couleur);
}

void Moteur_GL::GenOrigineDiv(PVertex_GL const& origine)
{
    // Coordinates formed as "-0.005 - c" and "0.05 - c", centred on the opposite of the point.
    const float px = -origine.X;
    const float py = -origine.Y;
    const float pz = -origine.Z;
    CouleursAxes const& c = Axes();
    AjoutLigneDiv(PVertice2_GL(PVertex_GL(-AvantAxe - origine.X, py, pz), PVertex_GL(ApresAxe - origine.X, py, pz)),
                  c.x);
    AjoutLigneDiv(PVertice2_GL(PVertex_GL(px, -AvantAxe - origine.Y, pz), PVertex_GL(px, ApresAxe - origine.Y, pz)),
                  c.y);
    AjoutLigneDiv(PVertice2_GL(PVertex_GL(px, py, -AvantAxe - origine.Z), PVertex_GL(px, py, ApresAxe - origine.Z)),
                  c.z);
}

void Moteur_GL::GenDivers(bool origine)
{
    VideDiv();
    if (origine) GenOrigineDiv(matrice_modele.Origine());
}

void Moteur_GL::GenMatriceDiv(PMatriceGL4 const& m)
{
    const PVertex_GL o = m.Origine();
    CouleursAxes const& c = Axes();
    AjoutLigneDiv(PVertice2_GL(o, Somme(o, m * PVertex_GL(1.0f, 0.0f, 0.0f))), c.x);
    AjoutLigneDiv(PVertice2_GL(o, Somme(o, m * PVertex_GL(0.0f, 1.0f, 0.0f))), c.y);
    AjoutLigneDiv(PVertice2_GL(o, Somme(o, m * PVertex_GL(0.0f, 0.0f, 1.0f))), c.z);
    AjoutLigneDiv(PVertice2_GL(o, Somme(o, m * PVertex_GL(Diagonale, Diagonale, Diagonale))), c.diagonale);
}

void Moteur_GL::InitAffichage(bool origine, bool post)
{
    if (reinit_en_cours) return;
    framebuffer_lie = false;
    if (params.post_traitement && post && framebuffer.Nom() != 0 && framebuffer.Valide())
        framebuffer_lie = framebuffer.Bind();

    PCouleur_GL const& fond = params.couleur_fond;
    glClearColor(fond.rouge, fond.vert, fond.bleu, fond.alpha);
    glClear(MasqueEffacement);
    if (params.projection_orthogonale) CalculeMatriceProjections(matrice_projections, largeur, hauteur);
    CalcMatricesAffichage();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(matrice_projections.Donnees());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(matrice_affichage.Donnees());

    if (params.eclairage_dynamique)
    {
        CalcPositionLumiere();
        const float position[4] = {position_lumiere.X, position_lumiere.Y, position_lumiere.Z, 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
    }
    GenDivers(origine);

    if (params.shaders_actifs)
    {
        if (shaders_modele.Programme().Nom() != 0 && shaders_modele.Programme().Lie())
            shaders_modele.Activation(matrice_affichage, matrice_projections, matrice_normales, position_lumiere);
        if (shaders_filaire.Programme().Nom() != 0 && shaders_filaire.Programme().Lie())
            shaders_filaire.Activation(matrice_affichage, matrice_projections);
    }
}

} // namespace PGL
