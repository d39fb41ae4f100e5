#pragma once

// The interactive viewer: a GLUT window showing one library scene through the scene renderer, a
// first-person camera steered with the keyboard and the mouse, and a heads-up display.
//
// The viewer is split in two: this header's plain functions (settings, key and pointer handling,
// the camera, the heads-up display's lines, PNG writing) run without a window, and the window
// system seam (every glut* call, the frame loop and the drawing) lives in zarvel_glut_sys.cpp.
// Everything runs on the main thread, one callback at a time; the state below is shared by the
// callbacks without locks.

#include "zarvel3d/zarvel3d.h"

#include <string>
#include <vector>

namespace PGL
{
class Zarvel_GL;
}

/// The viewer settings: camera position and angles, window size and input state.
struct Params_glut
{
    float position_x = 0.0f;  ///< camera position across the view (translation X is its negation)
    float position_y = 0.0f;  ///< camera position up the view (translation Y is its negation)
    float avance = 2.0f;      ///< distance of the scene along the viewing axis; never left negative
    float rotation_x = 25.0f; ///< pitch in degrees, within -90 to 90
    float rotation_y = -45.0f; ///< yaw in degrees
    float rotation_z = 0.0f;  ///< roll in degrees; no input changes it
    int largeur = 0;          ///< window width in pixels
    int hauteur = 0;          ///< window height in pixels
    bool rotation_auto = false; ///< automatic rotation about the vertical axis
    int curseur_x = -1;       ///< pointer offsets summed since the last middle-button press
    int curseur_y = -1;
    unsigned char touche_1 = 0; ///< first key held down, 0 for none
    unsigned char touche_2 = 0; ///< second key held down, 0 for none
    bool plein_ecran = false;   ///< the window is made full-screen at start
    int mode_souris = -1;       ///< 1 while the middle button is held (translation), -1 otherwise
};

class Zarvel_glut;

/// What the heads-up display shows of the scene: the model's counts and the display scale.
struct ResumeScene
{
    unsigned long long sommets = 0;
    unsigned long long segments = 0;
    unsigned long long surfaces = 0;
    float echelle = 1.0f; ///< the scene's display scale as a float
};

/// The summary of a scene, read without deriving its model.
ResumeScene Resume(Zarvel3D::PScene3D const& scene);

/// The running viewer, set by Lance_glut; the callbacks reach the renderer through it.
extern Zarvel_glut* inst_glut_stat;
/// The settings, and the copy saved by the constructor and by the space key.
extern Params_glut Parametres;
extern Params_glut Parametres_copie;
/// Elapsed milliseconds at the previous heads-up display.
extern int CptChrono;
/// Sources of the model shader set (1) and of the post-processing shader (2).
extern char const* VShader_Model;
extern char const* FShader_Model;
extern char const* VShader_Post;
extern char const* FShader_Post;

/// The viewer. Owns the scene or the engine it is given and the renderer it creates; each is
/// released once, by Nettoyage at exit or by the destructor, whichever runs first. The
/// constructors open the window and enter the main loop, from which they do not return: the
/// process ends through exit (Escape) or when the window system closes the window.
class Zarvel_glut
{
public:
    /// Starts the viewer on a conversion engine: width, height, full screen, display mode 0 to 3,
    /// RAL colour number of the model.
    Zarvel_glut(Zarvel3D::Zarvel* moteur, unsigned int largeur, unsigned int hauteur, bool plein_ecran,
                unsigned int mode, unsigned int couleur);
    /// The same with a scene.
    Zarvel_glut(Zarvel3D::PScene3D* scene, unsigned int largeur, unsigned int hauteur, bool plein_ecran,
                unsigned int mode, unsigned int couleur);
    /// Releases the renderer, the scene and the engine that are still held.
    ~Zarvel_glut();
    Zarvel_glut(Zarvel_glut const&) = delete;
    Zarvel_glut& operator=(Zarvel_glut const&) = delete;

    /// The start-up sequence: window and context, loader, renderer, scene preparation,
    /// callbacks, then the main loop.
    void Lance_glut(unsigned int mode, unsigned int couleur);
    /// The scene given, or the engine's.
    Zarvel3D::PScene3D* SceneZ3DPtr_GL() const;
    Zarvel3D::PScene3D const& SceneZ3D_GL() const;
    /// The running instance's renderer (null before Lance_glut).
    static PGL::Zarvel_GL* ZarvelGL();
    /// Releases the renderer and the engine (not the scene): the exit handler's share.
    void LibereRenduEtMoteur();
    /// Creates the renderer from the viewer's fixed parameters, with the display mode and the
    /// colour, prepares the scene and keeps its summary. For a capture, the scene and the engine
    /// are then released: the frame needs only the prepared buffers, the renderer's own copy of
    /// the scene (its surfaces are drawn in slices from it) and the summary.
    void CreeRendu(unsigned int mode, unsigned int couleur);
    /// The summary of the scene kept by the last CreeRendu (zero counts before).
    ResumeScene const& ResumeZ3D() const { return resume; }

    /// Sets up the window system's GL client on another thread while the caller goes on (it
    /// converts or imports what the viewer will show): the first set-up loads and links the GL
    /// driver, which the viewer's own connection then finds ready. Lance_glut waits for it;
    /// without a display it does nothing.
    static void PrepareAffichage();
    /// With a path, the viewer writes its first complete frame to that PNG file and ends the
    /// process: status 0 when written, 1 with an error line otherwise.
    static void defCapture(char const* chemin);
    static std::string const& Capture();

private:
    void Initialise(unsigned int largeur, unsigned int hauteur, bool plein_ecran);

    Zarvel3D::PScene3D* scene;
    Zarvel3D::Zarvel* moteur_z3d;
    PGL::Zarvel_GL* rendu;
    ResumeScene resume;
};

// ---- Frame loop (window system) -------------------------------------------------------------------

/// Creates the window with the context version and profile requested beforehand; when the granted
/// context lacks the fixed-function pipeline (a core profile), the window is created again with a
/// compatibility context. Returns the window's number.
int CreeFenetreGL(char const* titre);
/// One-time GL set-up of the renderer and its shader sets.
void init_affichage();
/// One frame: camera, scene, heads-up display, buffer swap (and the capture when asked).
void affichage();
/// Timer callback: one frame, then re-armed with the same interval.
void affichage_tempo(int intervalle);
/// Reshape callback: the size is stored (a height of 0 becomes 1) and given to the renderer.
void gere_redim_fenetre(int largeur, int hauteur);
/// Width and height of the current GL viewport.
void AssigneTailleEcran(int& largeur, int& hauteur);
/// Moves the pointer to the window point (x, y).
void RecentrePointeur(int x, int y);
/// Milliseconds since the window system started counting.
int TempsEcoule();
/// The exit handler: releases the renderer and the engine of the running instance.
void Nettoyage();

// ---- Keyboard, mouse and camera -------------------------------------------------------------------

/// Keyboard callback: the key takes the first free slot, else the second slot.
void gestion_clavier_presse(unsigned char touche, int x, int y);
/// Keyboard-up callback: every slot holding the key is freed.
void gestion_clavier_relache(unsigned char touche, int x, int y);
/// Idle callback: replays the held keys.
void Chrono();
/// The action of one key replay (Escape, Enter, Space, movement keys).
void gestion_touches_clavier(unsigned char touche);
/// Moves the camera: 1 forwards, 2 backwards, 3 left, 4 right; sums formed in double.
void deplacement(unsigned int direction, double pas);
/// Mouse callback: middle button translation mode, wheel advance, any press stops the rotation.
void gestion_souris(int bouton, int etat, int x, int y);
/// Motion callback (button held or not): turns or translates the camera by the pointer's offset
/// from the window centre, then brings the pointer back there.
void gestion_curseur(int x, int y);
/// angle + increment, or 0 past 360.
void IncCoordCamera(float& angle, float increment);
/// The settings become the engine's camera (once per frame).
void GereCamera();
/// Back to the start of the input state: no key delay running, no warp echo expected.
void ReinitEntrees_glut();

/// Special keys (arrows) in the same held-key slots as the letters they stand for.
void gestion_touche_speciale_presse(int touche, int x, int y);
void gestion_touche_speciale_relache(int touche, int x, int y);

// ---- Heads-up display -----------------------------------------------------------------------------

/// One line of the heads-up display: its text and its position in pixels from the bottom left.
struct LigneATH
{
    int x;
    int y;
    std::string texte;
};

/// The six lines for a window of the given size: the camera's viewing vector and position, the
/// frame rate from the milliseconds since the previous layer, and the model's counts.
std::vector<LigneATH> LignesATH(int largeur, int hauteur, float const vecteur[3], float echelle,
                                Params_glut const& p, int millisecondes, Zarvel3D::PScene3D const& scene);
/// The same with the counts of a scene's summary.
std::vector<LigneATH> LignesATH(int largeur, int hauteur, float const vecteur[3], float echelle,
                                Params_glut const& p, int millisecondes, ResumeScene const& resume);
/// Draws the cross-hair and the six lines (nothing for a window of 0 width or height).
void affichage_ATH();
/// Draws text at (x, y) in pixels from the bottom left; a length of 0 takes the whole text.
void affiche_texte(int x, int y, char const* texte, unsigned int longueur);

// ---- Captures -------------------------------------------------------------------------------------

/// Writes an RGB image, top row first, as an 8-bit PNG file. False when the file cannot be
/// written (nothing is left behind).
bool EcritPNG(std::string const& chemin, int largeur, int hauteur, std::vector<unsigned char> const& rgb);
