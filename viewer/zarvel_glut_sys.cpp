// The viewer's window-system seam: every glut* and X call of the program is in this file. The GL
// client's early set-up, window and context creation, the callbacks' registration, the frame
// loop, pointer warping, the clock, the heads-up display's drawing and the capture of a frame.
#include "zarvel_gl.h"
#include "zarvel_glut.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

namespace
{

constexpr int DelaiTrame = 33;
constexpr int ModeAffichageFenetre = GLUT_DOUBLE | GLUT_DEPTH; // 18, with the RGBA default
constexpr int ProfilCoeur = 1;                                 // GLUT_CORE_PROFILE

// A frame may be captured once the window system has given the window its size.
bool taille_recue = false;

// The GL client's first set-up, on its own thread and its own connection. The connection stays
// open: closing it would unload the driver again.
void PrechauffeGL()
{
    static Display* const connexion = XOpenDisplay(nullptr);
    if (connexion) glXQueryExtensionsString(connexion, DefaultScreen(connexion));
}

// The set-up's thread, waited for before the viewer's first window-system call, or at exit when
// the program ends before the viewer starts.
class Prechauffage
{
public:
    ~Prechauffage() { Attend(); }
    void Lance()
    {
        if (!fil.joinable()) fil = std::thread(PrechauffeGL);
    }
    void Attend()
    {
        if (fil.joinable()) fil.join();
    }

private:
    std::thread fil;
};

Prechauffage& PrechauffageGL()
{
    static Prechauffage prechauffage;
    return prechauffage;
}

// Without a display (or when the window system fails later) the viewer cannot go on.
void ErreurFenetre(char const* format, va_list arguments)
{
    char detail[256];
    std::vsnprintf(detail, sizeof detail, format, arguments);
    std::cout << "Erreur: impossible d'ouvrir la fenêtre du visualiseur (" << detail << ")." << std::endl;
    std::exit(1);
}

void AvertissementFenetre(char const*, va_list)
{
    // The window system's warnings are not the user's business.
}

// The engine draws with fixed-function calls beside its shaders: a context without them (a core
// profile) cannot show anything.
bool PipelineFixeDisponible()
{
    while (glGetError() != GL_NO_ERROR)
    {
    }
    glMatrixMode(GL_MODELVIEW);
    return glGetError() == GL_NO_ERROR;
}

void EcritCaptureEtQuitte()
{
    const int largeur = Parametres.largeur;
    const int hauteur = Parametres.hauteur;
    std::vector<unsigned char> image(static_cast<std::size_t>(largeur) * hauteur * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, largeur, hauteur, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    // GL gives the bottom row first; the file wants the top row first.
    std::vector<unsigned char> lignes(image.size());
    const std::size_t pas = static_cast<std::size_t>(largeur) * 3;
    for (int y = 0; y < hauteur; ++y)
        std::copy(image.begin() + static_cast<long>(y * pas),
                  image.begin() + static_cast<long>((y + 1) * pas),
                  lignes.begin() + static_cast<long>((hauteur - 1 - y) * pas));
    if (!EcritPNG(Zarvel_glut::Capture(), largeur, hauteur, lignes))
    {
        std::cout << "Erreur lors de l'écriture de la capture '" << Zarvel_glut::Capture() << "'"
                  << std::endl;
        std::exit(1);
    }
    // The picture is written, flushed and renamed into place, and nothing else is left to write:
    // the process ends without tearing down the scene, the renderer's buffers and the driver,
    // which for a large mesh takes a noticeable part of a capture's time. The system reclaims
    // the memory.
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace

int CreeFenetreGL(char const* titre)
{
    const int fenetre = glutCreateWindow(titre);
    // The driver stays loaded when the first context goes (sanitizer builds only, for the leak check).
    PGL::Extensions_GL::GardeModulesCharges();
    if (PipelineFixeDisponible()) return fenetre;
    glutDestroyWindow(fenetre);
    glutInitContextVersion(1, 0);
    glutInitContextProfile(GLUT_COMPATIBILITY_PROFILE);
    return glutCreateWindow(titre);
}

void Zarvel_glut::PrepareAffichage()
{
    PrechauffageGL().Lance();
}

void Zarvel_glut::Lance_glut(unsigned int mode, unsigned int couleur)
{
    PrechauffageGL().Attend();
    inst_glut_stat = this;
    int argc = 1;
    static char nom[] = "Zarvel_GL";
    char* argv[] = {nom, nullptr};
    glutInitContextVersion(3, 1);
    glutInitContextProfile(ProfilCoeur);
    glutInitErrorFunc(ErreurFenetre);
    glutInitWarningFunc(AvertissementFenetre);
    glutInit(&argc, argv);
    glutInitDisplayMode(ModeAffichageFenetre);
    glutInitWindowSize(Parametres.largeur, Parametres.hauteur);
    CreeFenetreGL("Zarvel_GL");
    if (Parametres.plein_ecran) glutFullScreen();
    glutSetCursor(GLUT_CURSOR_NONE);
    PGL::Extensions_GL::Init();
    CreeRendu(mode, couleur);
    glutReshapeFunc(gere_redim_fenetre);
    // Redraws asked by the window system between timer ticks draw a frame too.
    glutDisplayFunc(affichage);
    init_affichage();
    glutTimerFunc(DelaiTrame, affichage_tempo, DelaiTrame);
    glutIdleFunc(Chrono);
    glutSetKeyRepeat(GLUT_KEY_REPEAT_OFF);
    glutKeyboardFunc(gestion_clavier_presse);
    glutKeyboardUpFunc(gestion_clavier_relache);
    glutSpecialFunc(gestion_touche_speciale_presse);
    glutSpecialUpFunc(gestion_touche_speciale_relache);
    glutMotionFunc(nullptr);
    glutMouseFunc(gestion_souris);
    glutMotionFunc(gestion_curseur);
    glutPassiveMotionFunc(gestion_curseur);
    std::atexit(Nettoyage);
    glutMainLoop();
}

void init_affichage()
{
    PGL::Zarvel_GL* rendu = Zarvel_glut::ZarvelGL();
    if (!rendu) return;
    rendu->InitialisationAffichage();
    rendu->InitialisationShaders(VShader_Model, FShader_Model, 1);
    rendu->InitialisationShaders(VShader_Post, FShader_Post, 2);
}

void affichage()
{
    PGL::Zarvel_GL* rendu = Zarvel_glut::ZarvelGL();
    if (!inst_glut_stat || !rendu) return;
    rendu->IdentiteMatrices();
    GereCamera();
    rendu->AfficheScene();
    affichage_ATH();
    if (!Zarvel_glut::Capture().empty() && taille_recue) EcritCaptureEtQuitte();
    glutSwapBuffers();
}

void affichage_tempo(int intervalle)
{
    affichage();
    glutTimerFunc(static_cast<unsigned int>(intervalle), affichage_tempo, intervalle);
}

void gere_redim_fenetre(int largeur, int hauteur)
{
    Parametres.largeur = largeur;
    Parametres.hauteur = (hauteur == 0) ? 1 : hauteur;
    taille_recue = true;
    PGL::Zarvel_GL* rendu = Zarvel_glut::ZarvelGL();
    if (rendu) rendu->defTailleAffichage(Parametres.largeur, Parametres.hauteur);
}

void AssigneTailleEcran(int& largeur, int& hauteur)
{
    GLint vue[4] = {0, 0, largeur, hauteur};
    glGetIntegerv(GL_VIEWPORT, vue);
    largeur = vue[2];
    hauteur = vue[3];
}

void RecentrePointeur(int x, int y)
{
    glutWarpPointer(x, y);
}

int TempsEcoule()
{
    return glutGet(GLUT_ELAPSED_TIME);
}

// ---- Arrow keys ---------------------------------------------------------------------------------

namespace
{

// The letter whose slot and steps an arrow key shares; 0 for the other special keys.
unsigned char LettreFleche(int touche)
{
    switch (touche)
    {
    case GLUT_KEY_UP:
        return 'z';
    case GLUT_KEY_DOWN:
        return 's';
    case GLUT_KEY_LEFT:
        return 'q';
    case GLUT_KEY_RIGHT:
        return 'd';
    default:
        return 0;
    }
}

} // namespace

void gestion_touche_speciale_presse(int touche, int x, int y)
{
    const unsigned char lettre = LettreFleche(touche);
    if (lettre) gestion_clavier_presse(lettre, x, y);
}

void gestion_touche_speciale_relache(int touche, int x, int y)
{
    const unsigned char lettre = LettreFleche(touche);
    if (lettre) gestion_clavier_relache(lettre, x, y);
}

// ---- Heads-up display ---------------------------------------------------------------------------

void affiche_texte(int x, int y, char const* texte, unsigned int longueur)
{
    if (x > Parametres.largeur || y > Parametres.hauteur) return;
    if (longueur == 0) longueur = static_cast<unsigned int>(std::strlen(texte));
    glColor3f(0.3f, 1.0f, 0.3f);
    glRasterPos2f(static_cast<float>(x), static_cast<float>(y));
    for (unsigned int i = 0; i < longueur; ++i)
        glutBitmapCharacter(GLUT_BITMAP_9_BY_15, static_cast<signed char>(texte[i]));
}

void affichage_ATH()
{
    if (!inst_glut_stat) return;
    ResumeScene const& resume = inst_glut_stat->ResumeZ3D();
    PGL::Zarvel_GL* rendu = Zarvel_glut::ZarvelGL();
    const int largeur = Parametres.largeur;
    const int hauteur = Parametres.hauteur;
    if (largeur == 0 || hauteur == 0 || !rendu) return;

    // The layer is fixed-function: no program left current by the renderer, no lighting, and no
    // depth test, so that the model never hides it.
    PGL::Program_GL::DesactivePrograms();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, largeur, 0, hauteur, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    const int cx = largeur / 2;
    const int cy = hauteur / 2;
    glColor3ub(130, 130, 130);
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    glVertex2i(cx - 10, cy);
    glVertex2i(cx - 3, cy);
    glVertex2i(cx + 10, cy);
    glVertex2i(cx + 3, cy);
    glVertex2i(cx, cy - 10);
    glVertex2i(cx, cy - 3);
    glVertex2i(cx, cy + 10);
    glVertex2i(cx, cy + 3);
    glEnd();

    const PGL::PVertex_GL axe = rendu->MatriceCamera().AxeZ();
    const float vecteur[3] = {axe.X, axe.Y, axe.Z};
    const int maintenant = TempsEcoule();
    const std::vector<LigneATH> lignes =
        LignesATH(largeur, hauteur, vecteur, resume.echelle, Parametres, maintenant - CptChrono, resume);
    CptChrono = TempsEcoule();
    for (LigneATH const& ligne : lignes)
        affiche_texte(ligne.x, ligne.y, ligne.texte.c_str(), 0);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}
