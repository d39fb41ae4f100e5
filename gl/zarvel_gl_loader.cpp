// The buffer-object wrappers call the client library's exported functions, declared only with
// the prototypes of glext.h.
#define GL_GLEXT_PROTOTYPES 1

#include "zarvel_gl.h"

#include <GL/glext.h>

#include <cstring>

namespace PGL
{

namespace Extensions_GL_priv
{
bool valide_init = false;
bool valide_support_shaders = false;
bool valide_support_vbo = false;
bool valide_support_vba = false;
bool valide_support_fbo = false;
int nombre_fonctions_chargees = 0;
int nombre_fonctions_attendues = 0;

// The loaded pointers, all null until Init.
#define ZARVEL_GL_DEFINITION(groupe, nom, pointeur, ...) PFN_##nom pointeur = nullptr;
ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_DEFINITION)
#undef ZARVEL_GL_DEFINITION
} // namespace Extensions_GL_priv

namespace Extensions_GL
{

namespace priv = Extensions_GL_priv;

namespace
{

// Both tables list the group's extensions in the order they are tested.
char const* const ExtensionsShaders[] = {"GL_ARB_shading_language_100", "GL_ARB_shader_objects",
                                         "GL_ARB_fragment_shader", "GL_ARB_vertex_shader"};

bool ValideGroupe(char const* const* noms, int nombre)
{
    for (int i = 0; i < nombre; ++i)
        if (!ValideExtension(noms[i])) return false;
    return true;
}

// Resolves one name into its pointer unless it is already set; counts what was resolved now.
template <typename Pointeur> void Charge(Pointeur& pointeur, char const* nom, int& chargees)
{
    if (pointeur) return;
    pointeur = reinterpret_cast<Pointeur>(getProcAdress(nom));
    if (pointeur) ++chargees;
}

// A wrapper may forward only once Init has run and its function was found.
template <typename Pointeur> bool Disponible(Pointeur pointeur)
{
    return priv::valide_init && pointeur != nullptr;
}

// The flag Init stored for a group of the entry list.
bool GroupeTrouve(priv::Groupe_GL groupe)
{
    switch (groupe)
    {
    case priv::Groupe_GL::Shaders:
        return priv::valide_support_shaders;
    case priv::Groupe_GL::VBA:
        return priv::valide_support_vba;
    case priv::Groupe_GL::FBO:
        return priv::valide_support_fbo;
    }
    return false;
}

} // namespace

bool ValideExtension(char const* nom, char const* extensions)
{
    if (!nom || !extensions || nom[0] == '\0') return false;
    const size_t longueur = std::strlen(nom);
    char const* recherche = extensions;
    while ((recherche = std::strstr(recherche, nom)) != nullptr)
    {
        // Only the character after the match decides: the name must be followed by a space.
        if (recherche[longueur] == ' ') return true;
        recherche += longueur;
    }
    return false;
}

bool ValideExtension(char const* nom)
{
    // Without a context there is no extension string to read, and no GL call may be made.
    if (!ContexteCourant()) return false;
    return ValideExtension(nom, reinterpret_cast<char const*>(::glGetString(GL_EXTENSIONS)));
}

bool SupportShaders()
{
    if (priv::valide_init) return priv::valide_support_shaders;
    return ValideGroupe(ExtensionsShaders, 4);
}

bool SupportVBO()
{
    if (priv::valide_init) return priv::valide_support_vbo;
    return ValideExtension("GL_ARB_vertex_buffer_object");
}

bool SupportVBA()
{
    if (priv::valide_init) return priv::valide_support_vba;
    return ValideExtension("GL_ARB_vertex_array_object");
}

bool SupportFBO()
{
    if (priv::valide_init) return priv::valide_support_fbo;
    return ValideExtension("GL_ARB_framebuffer_object");
}

bool Init()
{
    if (priv::valide_init) return true;
    GardeModulesCharges();
    priv::valide_support_shaders = SupportShaders();
    priv::valide_support_vbo = SupportVBO();
    priv::valide_support_vba = SupportVBA();
    priv::valide_support_fbo = SupportFBO();

    int attendues = 0;
    for (priv::Groupe_GL groupe : {priv::Groupe_GL::Shaders, priv::Groupe_GL::VBA, priv::Groupe_GL::FBO})
        if (GroupeTrouve(groupe)) attendues += priv::NombreFonctionsGroupe(groupe);
    int chargees = 0;
#define ZARVEL_GL_CHARGE(groupe, nom, pointeur, ...)                                                         \
    if (GroupeTrouve(priv::Groupe_GL::groupe)) Charge(priv::pointeur, #nom, chargees);
    ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_CHARGE)
#undef ZARVEL_GL_CHARGE
    priv::nombre_fonctions_chargees = chargees;
    priv::nombre_fonctions_attendues = attendues;
    priv::valide_init = true;
    return chargees >= 1 && chargees == attendues;
}

// The null-safe wrappers. The cast turns a GL boolean into bool and is a no-op elsewhere; a void
// call may be returned as it is.
#define ZARVEL_GL_ENVELOPPE(groupe, nom, pointeur, retour_gl, retour, parametres, arguments, repli)          \
    retour nom parametres                                                                                    \
    {                                                                                                        \
        if (Disponible(priv::pointeur)) return static_cast<retour>(priv::pointeur arguments);                \
        repli;                                                                                               \
    }
ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_ENVELOPPE)
#undef ZARVEL_GL_ENVELOPPE

// ---- Buffer objects: linked directly, no test of Init or of any flag -------------------------

void glGenBuffers(int nombre, unsigned int* tampons)
{
    ::glGenBuffers(nombre, tampons);
}

void glBindBuffer(unsigned int cible, unsigned int tampon)
{
    ::glBindBuffer(cible, tampon);
}

void glBufferData(unsigned int cible, long taille, void const* donnees, unsigned int usage)
{
    ::glBufferData(cible, taille, donnees, usage);
}

void glBufferSubData(unsigned int cible, long decalage, long taille, void const* donnees)
{
    ::glBufferSubData(cible, decalage, taille, donnees);
}

void glDeleteBuffers(int nombre, unsigned int const* tampons)
{
    ::glDeleteBuffers(nombre, tampons);
}

void glGetBufferParameteriv(unsigned int cible, unsigned int parametre, int* valeur)
{
    ::glGetBufferParameteriv(cible, parametre, valeur);
}

void* glMapBuffer(unsigned int cible, unsigned int acces)
{
    return ::glMapBuffer(cible, acces);
}

bool glUnmapBuffer(unsigned int cible)
{
    return ::glUnmapBuffer(cible) != 0;
}

bool glIsBuffer(unsigned int tampon)
{
    return ::glIsBuffer(tampon) != 0;
}

} // namespace Extensions_GL

} // namespace PGL

bool ControleErreursGL()
{
    return ::glGetError() != GL_NO_ERROR;
}
