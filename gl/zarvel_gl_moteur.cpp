// Engine core: parameters, GL set-up, lighting, background, shader sets and drawing.
#include "zarvel_gl.h"

namespace PGL
{

namespace
{

const PCouleur_GL CouleurFondDefaut(0.117f, 0.145f, 0.184f, 1.0f);

// Light 0 and the materials of the full lighting.
const float ambient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
const float diffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
const float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float front_mat_shininess[1] = {20.0f};
const float front_mat_specular[4] = {0.4f, 0.4f, 0.4f, 1.0f};
const float front_mat_diffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
const float back_mat_shininess[1] = {10.0f};
const float back_mat_specular[4] = {0.05f, 0.05f, 0.05f, 1.0f};
const float back_mat_diffuse[4] = {0.05f, 0.05f, 0.05f, 1.0f};
const float lmodel_twoside[1] = {1.0f};

// The simple lighting: one grey for light and material, a fixed directional light.
const float simple_gris[4] = {0.6f, 0.6f, 0.6f, 1.0f};
const float simple_position[4] = {-5.0f, -5.0f, -5.0f, 0.0f};

constexpr unsigned int HintCorrectionInterpolation = 0x0C50; // GL_PERSPECTIVE_CORRECTION_HINT
constexpr unsigned int Multiechantillonnage = 0x809D;        // GL_MULTISAMPLE

// Both live until the program ends: callers keep the reference.
std::string const& ChaineVide()
{
    static const std::string* const str_vide = new std::string();
    return *str_vide;
}

std::string const& ChaineNil()
{
    static const std::string* const str_nil = new std::string("(nil)");
    return *str_nil;
}

} // namespace

Params_GL::Params_GL(float points, float lignes, bool dynamique, bool deux_faces, bool orthogonale, bool shaders,
                     bool post)
    : taille_points(points), epaisseur_lignes(lignes), eclairage_dynamique(dynamique),
      eclairage_deux_faces(deux_faces), projection_orthogonale(orthogonale), shaders_actifs(shaders),
      post_traitement(post), couleur_fond(CouleurFondDefaut)
{
}

Moteur_GL::Moteur_GL(Params_GL const& parametres)
    : params(parametres), reinit_en_cours(false), framebuffer_lie(false), largeur(0), hauteur(0),
      champ_vue(90.0f), echelle_affichage(0.9f), tampon_points_div(GL_POINTS), tampon_lignes_div(GL_LINES),
      tampon_triangles_div(GL_TRIANGLES)
{
}

Moteur_GL::~Moteur_GL()
{
    if (shaders_filaire.Programme().Nom() != 0 && shaders_filaire.Programme().Lie()) shaders_filaire.Desactive();
    if (shaders_modele.Programme().Nom() != 0 && shaders_modele.Programme().Lie()) shaders_modele.Desactive();
    if (framebuffer.Nom() != 0 && framebuffer.Valide()) framebuffer.Desactive();
    tampon_points_div.DesactiveVBO();
    tampon_lignes_div.DesactiveVBO();
    tampon_triangles_div.DesactiveVBO();
}

void Moteur_GL::InitialisationGL()
{
    ReinitEtatGL();
    ReinitCouleurFond();
    glClearStencil(0);
    if (params.shaders_actifs)
    {
        defEtatShaders(true, true);
        InitialisationShaders(Shaders_GL::VShaderDefaut(), Shaders_GL::FShaderDefaut(), 0);
    }
    else
    {
        defEtatShaders(false, true);
    }
    // The real size follows with the next defTailleAffichage.
    if (params.post_traitement) framebuffer.Gen(256, 256);
    if (params.eclairage_dynamique) InitialisationEclairage(false);
}

void Moteur_GL::ReinitEtatGL()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_POINT_SMOOTH);
    glHint(HintCorrectionInterpolation, GL_NICEST);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(1.0f, 2.0f);
    // The offset is one piece of state: this second one is in force afterwards.
    glEnable(GL_POLYGON_OFFSET_POINT);
    glPolygonOffset(1.0f, 2.5f);
    glEnable(Multiechantillonnage);
    glFrontFace(GL_CCW);
}

void Moteur_GL::SyncAffichage(bool flush) const
{
    if (flush) glFlush();
    glFinish();
}

// ---- Background and lighting -------------------------------------------------------------------

void Moteur_GL::defCouleurFond(PCouleur_GL const& couleur)
{
    params.couleur_fond = couleur;
    framebuffer.defCouleurFond(couleur);
}

void Moteur_GL::ReinitCouleurFond()
{
    defCouleurFond(CouleurFondDefaut);
}

PCouleur_GL Moteur_GL::CouleurFondReel() const
{
    float rgb[3] = {0.0f, 0.0f, 0.0f};
    glReadPixels(0, hauteur - 1, 1, 1, GL_RGB, GL_FLOAT, rgb);
    return PCouleur_GL(rgb[0], rgb[1], rgb[2], 1.0f);
}

void Moteur_GL::InitialisationEclairage(bool simple) const
{
    glEnable(GL_LIGHTING);
    if (simple)
    {
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glLightfv(GL_LIGHT0, GL_AMBIENT, simple_gris);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, simple_gris);
        glLightfv(GL_LIGHT0, GL_POSITION, simple_position);
        glEnable(GL_LIGHT0);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, simple_gris);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, simple_gris);
    }
    else
    {
        glEnable(GL_LIGHT0);
        glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
        glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
        // A directional light along the stored position, through the current model-view matrix.
        const float position[4] = {position_lumiere.X, position_lumiere.Y, position_lumiere.Z, 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glMaterialfv(GL_FRONT, GL_SHININESS, front_mat_shininess);
        glMaterialfv(GL_FRONT, GL_SPECULAR, front_mat_specular);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, front_mat_diffuse);
        glMaterialfv(GL_BACK, GL_SHININESS, back_mat_shininess);
        glMaterialfv(GL_BACK, GL_SPECULAR, back_mat_specular);
        glMaterialfv(GL_BACK, GL_DIFFUSE, back_mat_diffuse);
        if (params.eclairage_deux_faces) glLightModelfv(GL_LIGHT_MODEL_TWO_SIDE, lmodel_twoside);
    }
    // Each lit draw enables lighting around itself.
    glDisable(GL_LIGHTING);
}

void Moteur_GL::defEclairageDynamique(bool actif)
{
    if (actif == params.eclairage_dynamique) return;
    params.eclairage_dynamique = actif;
    if (actif)
    {
        InitialisationEclairage(false);
        return;
    }
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHTING);
}

// ---- Shader sets -------------------------------------------------------------------------------

std::string const& Moteur_GL::InitialisationShaders(char const* vertex, char const* fragment, unsigned int numero)
{
    if (!vertex && !fragment) return ChaineVide();
    const std::string source_vertex = vertex ? vertex : "";
    const std::string source_fragment = fragment ? fragment : "";
    char const* v = source_vertex.c_str();
    char const* f = source_fragment.c_str();

    std::string const* journal = nullptr;
    if ((numero == 0 || numero == 1) && params.shaders_actifs)
    {
        Shaders_GL& set = (numero == 0) ? shaders_filaire : shaders_modele;
        reinit_en_cours = true;
        SyncAffichage(true);
        set.InitialisationShader(v, f);
        reinit_en_cours = false;
        journal = &set.Journal();
    }
    else if (numero == 2 && params.post_traitement)
    {
        reinit_en_cours = true;
        SyncAffichage(true);
        framebuffer.InitialisationShaders(v, f);
        reinit_en_cours = false;
        journal = &framebuffer.Messages();
    }
    if (!journal) return ChaineNil();
    // The frame buffer gets its real size back, the projection and viewport are refreshed.
    defTailleAffichage(largeur, hauteur);
    return *journal;
}

bool Moteur_GL::defEtatShaders(bool actif, bool force)
{
    if (params.shaders_actifs == actif && !force) return false;
    const bool etait_actif = params.shaders_actifs;
    params.shaders_actifs = actif;
    if (force || !etait_actif) return true;
    if (shaders_filaire.Programme().Nom() != 0 && shaders_filaire.Programme().Lie()) shaders_filaire.Desactive();
    if (shaders_modele.Programme().Nom() != 0 && shaders_modele.Programme().Lie()) shaders_modele.Desactive();
    if (framebuffer.ValideLiageShaders()) framebuffer.DesactiveProgram();
    return true;
}

bool Moteur_GL::DumpShaderBin(std::string const& chemin, unsigned int numero) const
{
    switch (numero)
    {
    case 0:
        return shaders_filaire.DumpShaderBinaire(chemin);
    case 1:
        return shaders_modele.DumpShaderBinaire(chemin);
    case 2:
        return framebuffer.DumpShaderBinaire(chemin);
    default:
        return false;
    }
}

// ---- Drawing -----------------------------------------------------------------------------------

bool Moteur_GL::AffichageFilaire(PTampon_GL const& tampon) const
{
    if (reinit_en_cours) return false;
    return shaders_filaire.Affichage(tampon);
}

bool Moteur_GL::AffichageModele(PTampon_GL const& tampon) const
{
    if (reinit_en_cours) return false;
    return shaders_modele.Affichage(tampon);
}

void Moteur_GL::AffichageDivers() const
{
    if (tampon_points_div.NombreVertices() > 0)
    {
        glEnable(GL_POLYGON_OFFSET_POINT);
        glPolygonOffset(1.0f, 1.5f);
        glPointSize(1.5f * params.taille_points);
        AffichageFilaire(tampon_points_div);
        glDisable(GL_POLYGON_OFFSET_POINT);
    }
    if (tampon_lignes_div.NombreVertices() > 0)
    {
        glEnable(GL_POLYGON_OFFSET_LINE);
        glPolygonOffset(1.0f, 2.0f);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glLineWidth(1.5f * params.epaisseur_lignes);
        AffichageFilaire(tampon_lignes_div);
        glDisable(GL_BLEND);
        glDisable(GL_POLYGON_OFFSET_LINE);
    }
    if (tampon_triangles_div.NombreVertices() > 0)
    {
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 0.00001f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        if (params.eclairage_dynamique)
        {
            glEnable(GL_LIGHTING);
            glEnable(GL_LIGHT0);
            glShadeModel(GL_SMOOTH);
        }
        glColorMaterial(params.eclairage_deux_faces ? GL_FRONT_AND_BACK : GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_BLEND);
        AffichageModele(tampon_triangles_div);
        glDisable(GL_BLEND);
        glDisable(GL_POLYGON_OFFSET_FILL);
        if (params.eclairage_dynamique)
        {
            glDisable(GL_LIGHT0);
            glDisable(GL_LIGHTING);
        }
    }
}

bool Moteur_GL::ExecShaderPost(bool force)
{
    if (!params.shaders_actifs) return false;
    if (!force && !framebuffer.TempsUtilise()) return false;
    if (!params.post_traitement || !framebuffer_lie) return false;
    if (!framebuffer.Valide() || reinit_en_cours) return false;
    return framebuffer.Affichage();
}

void Moteur_GL::FinAffichage()
{
    if (!reinit_en_cours) ExecShaderPost(true);
}

void Moteur_GL::VideDiv()
{
    tampon_points_div.Reinit(true);
    tampon_lignes_div.Reinit(true);
    tampon_triangles_div.Reinit(true);
}

} // namespace PGL
