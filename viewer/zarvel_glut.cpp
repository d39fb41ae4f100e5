// The viewer's plain part: settings, ownership, key and pointer handling, the camera and the
// heads-up display's lines. No window-system call here: zarvel_glut_sys.cpp has them all.
#include "zarvel_glut.h"

#include "zarvel_gl.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

Zarvel_glut* inst_glut_stat = nullptr;
Params_glut Parametres;
Params_glut Parametres_copie;
int CptChrono = 0;
char const* VShader_Model = PGL::Shaders_GL::VShaderDefaut();
char const* FShader_Model = PGL::Shaders_GL::FShaderDefaut();
char const* VShader_Post = PGL::PFrameBuffer_GL::VShaderDefaut();
char const* FShader_Post = PGL::PFrameBuffer_GL::FShaderDefaut();

namespace
{

constexpr unsigned char ToucheEchap = 27;
constexpr unsigned char ToucheEntree = 13;
constexpr unsigned char ToucheEspace = 32;
// After Enter or Space, this many replays of any key are swallowed.
constexpr unsigned int DelaiTouches = 100000;

// A capture's surfaces are drawn in slices of this many triangles (about 4 MiB of vertices).
constexpr std::uint32_t TrianglesParTranche = 32768;

// The GL driver's per-frame memory, kept on huge pages for the viewer's whole life.
constexpr std::size_t TasPilote = std::size_t(256) << 20;

constexpr int BoutonMilieu = 1;
constexpr int MoletteHaut = 3;
constexpr int MoletteBas = 4;
constexpr int Appui = 0;
constexpr int Relache = 1;

// The steps are floats widened to double.
const double PasRapide = static_cast<double>(2e-5f);
const double PasLent = static_cast<double>(1e-5f);
constexpr double PasMolette = 0.5;

// Input state shared by the callbacks.
unsigned int tempo_ignore = 0;
bool ignore_suivant = false;

std::string& CheminCapture()
{
    static std::string chemin;
    return chemin;
}

// Library objects are released through the library: its allocator for the scene, the virtual
// destructor for the engine.
void LibereScene(Zarvel3D::PScene3D*& scene)
{
    delete scene;
    scene = nullptr;
}

void LibereMoteur(Zarvel3D::Zarvel*& moteur)
{
    delete moteur;
    moteur = nullptr;
}

void Remplace(float& valeur, double nouvelle)
{
    valeur = static_cast<float>(nouvelle);
}

} // namespace

// ---- Viewer object ------------------------------------------------------------------------------

Zarvel_glut::Zarvel_glut(Zarvel3D::Zarvel* moteur, unsigned int largeur, unsigned int hauteur, bool plein_ecran,
                         unsigned int mode, unsigned int couleur)
    : scene(nullptr), moteur_z3d(moteur), rendu(nullptr)
{
    Initialise(largeur, hauteur, plein_ecran);
    Lance_glut(mode, couleur);
}

Zarvel_glut::Zarvel_glut(Zarvel3D::PScene3D* scene_donnee, unsigned int largeur, unsigned int hauteur,
                         bool plein_ecran, unsigned int mode, unsigned int couleur)
    : scene(scene_donnee), moteur_z3d(nullptr), rendu(nullptr)
{
    Initialise(largeur, hauteur, plein_ecran);
    Lance_glut(mode, couleur);
}

void Zarvel_glut::Initialise(unsigned int largeur, unsigned int hauteur, bool plein_ecran)
{
    Parametres.plein_ecran = plein_ecran;
    Parametres.largeur = static_cast<int>(largeur);
    Parametres.hauteur = static_cast<int>(hauteur);
    Parametres_copie = Parametres;
    inst_glut_stat = nullptr;
    PGL::PrepareTasPagesGeantes_GL(TasPilote);
}

Zarvel_glut::~Zarvel_glut()
{
    LibereRenduEtMoteur();
    LibereScene(scene);
    if (inst_glut_stat == this) inst_glut_stat = nullptr;
}

void Zarvel_glut::LibereRenduEtMoteur()
{
    delete rendu;
    rendu = nullptr;
    LibereMoteur(moteur_z3d);
}

Zarvel3D::PScene3D* Zarvel_glut::SceneZ3DPtr_GL() const
{
    if (scene) return scene;
    return moteur_z3d ? moteur_z3d->ScenePtr() : nullptr;
}

Zarvel3D::PScene3D const& Zarvel_glut::SceneZ3D_GL() const
{
    if (scene) return *scene;
    return moteur_z3d->Scene();
}

PGL::Zarvel_GL* Zarvel_glut::ZarvelGL()
{
    return inst_glut_stat ? inst_glut_stat->rendu : nullptr;
}

void Zarvel_glut::CreeRendu(unsigned int mode, unsigned int couleur)
{
    PGL::Params_GL params(8.0f, 2.0f, true, false, false, false, false);
    params.eclairage_dynamique = true;
    params.eclairage_deux_faces = false;
    params.projection_orthogonale = false;
    params.shaders_actifs = true;
    params.post_traitement = true;
    PGL::Params_Zarvel_GL params_scene(100.0f, 0, false);
    // A capture draws the scene once: drawn from memory, it is not copied into VBOs first.
    params_scene.sans_vbo = !Capture().empty();
    // Nor does it highlight anything: the vertices and surface centres are not prepared.
    params_scene.sans_sommets = !Capture().empty();
    // Its surfaces go from the scene to the driver slice by slice, never whole in memory.
    if (!Capture().empty()) params_scene.triangles_par_tranche = TrianglesParTranche;
    delete rendu;
    rendu = new PGL::Zarvel_GL(params, params_scene);
    rendu->defAffichage(static_cast<int>(mode));
    rendu->defIdCouleurScene(Zarvel3D::RAL::RechercheIndex(couleur));
    rendu->PrepareScene(SceneZ3DPtr_GL());
    Zarvel3D::PScene3D const* preparee = SceneZ3DPtr_GL();
    resume = preparee ? Resume(*preparee) : ResumeScene();
    if (!Capture().empty())
    {
        // The renderer keeps what it draws (its buffers, and its copy of the scene for the
        // surfaces' slices): the engine would only raise the capture's peak memory.
        LibereScene(scene);
        LibereMoteur(moteur_z3d);
    }
}

void Zarvel_glut::defCapture(char const* chemin)
{
    CheminCapture() = chemin ? chemin : "";
}

std::string const& Zarvel_glut::Capture()
{
    return CheminCapture();
}

void Nettoyage()
{
    if (!inst_glut_stat) return;
    inst_glut_stat->LibereRenduEtMoteur();
}

// ---- Held keys ----------------------------------------------------------------------------------

void gestion_clavier_presse(unsigned char touche, int, int)
{
    if (Parametres.touche_1 == 0)
        Parametres.touche_1 = touche;
    else
        Parametres.touche_2 = touche;
}

void gestion_clavier_relache(unsigned char touche, int, int)
{
    if (Parametres.touche_1 == touche) Parametres.touche_1 = 0;
    if (Parametres.touche_2 == touche) Parametres.touche_2 = 0;
}

void Chrono()
{
    if (Parametres.touche_1 != 0)
    {
        gestion_touches_clavier(Parametres.touche_1);
        // The first key may have changed the slots (Enter clears them, Space restores them).
        if (Parametres.touche_2 != 0) gestion_touches_clavier(Parametres.touche_2);
    }
    else if (Parametres.touche_2 != 0)
    {
        gestion_touches_clavier(Parametres.touche_2);
    }
}

void gestion_touches_clavier(unsigned char touche)
{
    if (touche == 0) return;
    if (tempo_ignore != 0)
    {
        tempo_ignore = (tempo_ignore < DelaiTouches) ? tempo_ignore + 1 : 0;
        return;
    }
    switch (touche)
    {
    case ToucheEchap:
        std::exit(0);
    case ToucheEntree:
        Parametres = Params_glut();
        AssigneTailleEcran(Parametres.largeur, Parametres.hauteur);
        ++tempo_ignore;
        return;
    case ToucheEspace:
        if (Parametres.rotation_auto)
        {
            Parametres = Parametres_copie;
            Parametres.rotation_auto = false;
        }
        else
        {
            Parametres_copie = Parametres;
            Parametres.rotation_auto = true;
        }
        tempo_ignore = 1;
        return;
    case 'z':
    case 'w':
        deplacement(1, PasRapide);
        return;
    case 'Z':
    case 'W':
        deplacement(1, PasLent);
        return;
    case 's':
        deplacement(2, PasRapide);
        return;
    case 'S':
        deplacement(2, PasLent);
        return;
    case 'q':
    case 'Q':
    case 'a':
    case 'A':
        deplacement(3, PasLent);
        return;
    case 'd':
    case 'D':
        deplacement(4, PasLent);
        return;
    default:
        return;
    }
}

void deplacement(unsigned int direction, double pas)
{
    switch (direction)
    {
    case 1:
        Remplace(Parametres.avance, static_cast<double>(Parametres.avance) - pas);
        break;
    case 2:
        Remplace(Parametres.avance, static_cast<double>(Parametres.avance) + pas);
        break;
    case 3:
        Remplace(Parametres.position_x, static_cast<double>(Parametres.position_x) - pas);
        break;
    case 4:
        Remplace(Parametres.position_x, static_cast<double>(Parametres.position_x) + pas);
        break;
    default:
        break;
    }
}

void ReinitEntrees_glut()
{
    tempo_ignore = 0;
    ignore_suivant = false;
}

// ---- Mouse --------------------------------------------------------------------------------------

void gestion_souris(int bouton, int etat, int x, int y)
{
    // Any press stops the automatic rotation where it is.
    if (Parametres.rotation_auto && etat == Appui) Parametres.rotation_auto = false;
    if (bouton == BoutonMilieu)
    {
        if (etat == Appui)
        {
            Parametres.mode_souris = 1;
            Parametres.curseur_x = x - Parametres.largeur / 2;
            Parametres.curseur_y = y - Parametres.hauteur / 2;
        }
        else if (etat == Relache)
        {
            Parametres.mode_souris = -1;
        }
        return;
    }
    if (etat == Relache) return;
    if (bouton == MoletteHaut)
        deplacement(1, PasMolette);
    else if (bouton == MoletteBas)
        deplacement(2, PasMolette);
}

void gestion_curseur(int x, int y)
{
    // The event that the last warp caused.
    if (ignore_suivant)
    {
        ignore_suivant = false;
        return;
    }
    const int dx = x - Parametres.largeur / 2;
    const int dy = y - Parametres.hauteur / 2;
    if (Parametres.mode_souris == 1)
    {
        ignore_suivant = true;
        Parametres.position_x = Parametres.position_x + static_cast<float>(dx) * 0.01f;
        Parametres.position_y = Parametres.position_y - static_cast<float>(dy) * 0.01f;
    }
    else
    {
        if (Parametres.curseur_x < -9999 || Parametres.curseur_y < -9999) return;
        Parametres.rotation_x = Parametres.rotation_x + static_cast<float>(dy) * 0.08f;
        Parametres.rotation_y = Parametres.rotation_y + static_cast<float>(dx) * 0.08f;
        if (Parametres.rotation_x > 90.0f)
            Parametres.rotation_x = 90.0f;
        else if (Parametres.rotation_x < -90.0f)
            Parametres.rotation_x = -90.0f;
        if (Parametres.rotation_y < -180.0f) Parametres.rotation_y += 360.0f;
        if (Parametres.rotation_y > 180.0f) Parametres.rotation_y -= 360.0f;
        ignore_suivant = true;
    }
    AssigneTailleEcran(Parametres.largeur, Parametres.hauteur);
    RecentrePointeur(Parametres.largeur / 2, Parametres.hauteur / 2);
    Parametres.curseur_x += dx;
    Parametres.curseur_y += dy;
}

// ---- Camera -------------------------------------------------------------------------------------

void IncCoordCamera(float& angle, float increment)
{
    angle = angle + increment;
    if (angle > 360.0f) angle = 0.0f;
}

void GereCamera()
{
    PGL::Zarvel_GL* rendu = Zarvel_glut::ZarvelGL();
    if (Parametres.rotation_auto) IncCoordCamera(Parametres.rotation_y, 2.0f);
    if (!rendu) return;
    rendu->defRotationCamera(PGL::PVertex_GL(-Parametres.rotation_x, -Parametres.rotation_y, Parametres.rotation_z));
    rendu->defTranslationCamera(-Parametres.position_x, -Parametres.position_y, false);
    if (Parametres.avance >= 0.0f)
        rendu->defAvanceCamera(Parametres.avance, false);
    else
        Parametres.avance = 0.0f;
}

// ---- Heads-up display lines ---------------------------------------------------------------------

ResumeScene Resume(Zarvel3D::PScene3D const& scene)
{
    // The counts are read without the model: an imported mesh would otherwise derive it.
    ResumeScene resume;
    resume.sommets = scene.NombreSommets();
    resume.segments = scene.NombreSegments();
    resume.surfaces = scene.NombreSurfaces();
    resume.echelle = static_cast<float>(scene.EchelleAffichage());
    return resume;
}

std::vector<LigneATH> LignesATH(int largeur, int hauteur, float const vecteur[3], float echelle,
                                Params_glut const& p, int millisecondes, Zarvel3D::PScene3D const& scene)
{
    return LignesATH(largeur, hauteur, vecteur, echelle, p, millisecondes, Resume(scene));
}

std::vector<LigneATH> LignesATH(int largeur, int hauteur, float const vecteur[3], float echelle,
                                Params_glut const& p, int millisecondes, ResumeScene const& resume)
{
    char texte[128];
    std::vector<LigneATH> lignes;
    lignes.reserve(6);
    std::snprintf(texte, sizeof texte, "Vecteur: %.3f, %.3f, %.3f", vecteur[0], vecteur[1], vecteur[2]);
    lignes.push_back({10, 10, texte});
    std::snprintf(texte, sizeof texte, "Position: %.2f, %.2f, %.2f", p.position_x / echelle, p.position_y / echelle,
                  p.avance / echelle);
    lignes.push_back({10, 27, texte});
    std::snprintf(texte, sizeof texte, "%.1f FPS", 1.0 / (static_cast<float>(millisecondes) * 0.001));
    lignes.push_back({largeur - 100, hauteur - 25, texte});
    std::snprintf(texte, sizeof texte, "%u Sommets", static_cast<unsigned int>(resume.sommets));
    lignes.push_back({10, hauteur - 25, texte});
    std::snprintf(texte, sizeof texte, "%u Segments", static_cast<unsigned int>(resume.segments));
    lignes.push_back({10, hauteur - 42, texte});
    std::snprintf(texte, sizeof texte, "%u Faces", static_cast<unsigned int>(resume.surfaces));
    lignes.push_back({10, hauteur - 59, texte});
    return lignes;
}
