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

PFN_glCreateShader _glCreateShader = nullptr;
PFN_glDeleteShader _glDeleteShader = nullptr;
PFN_glShaderSource _glShaderSource = nullptr;
PFN_glCompileShader _glCompileShader = nullptr;
PFN_glGetShaderiv _glGetShaderiv = nullptr;
PFN_glGetShaderInfoLog _glGetShaderInfoLog = nullptr;
PFN_glCreateProgram _glCreateProgram = nullptr;
PFN_glDeleteProgram _glDeleteProgram = nullptr;
PFN_glLinkProgram _glLinkProgram = nullptr;
PFN_glProgramParameteri _glProgramParameteri = nullptr;
PFN_glValidateProgram _glValidateProgram = nullptr;
PFN_glAttachShader _glAttachShader = nullptr;
PFN_glDetachShader _glDetachShader = nullptr;
PFN_glGetProgramiv _glGetProgramiv = nullptr;
PFN_glGetProgramInfoLog _glGetProgramInfoLog = nullptr;
PFN_glGetProgramBinary _glGetProgramBinary = nullptr;
PFN_glProgramBinary _glProgramBinary = nullptr;
PFN_glUseProgram _glUseProgram = nullptr;
PFN_glIsShader _glIsShader = nullptr;
PFN_glIsProgram _glIsProgram = nullptr;
PFN_glGetUniformLocation _glGetUniformLocation = nullptr;
PFN_glUniformMatrix4fv _glUniformMatrix4fv = nullptr;
PFN_glUniform2f _glUniform2f = nullptr;
PFN_glUniform3f _glUniform3f = nullptr;
PFN_glUniform1i _glUniform1i = nullptr;
PFN_glUniform1f _glUniform1f = nullptr;
PFN_glGetAttribLocation _glGetAttribLocation = nullptr;
PFN_glEnableVertexAttribArray _glEnableVertexAttribArray = nullptr;
PFN_glVertexAttribPointer _glVertexAttribPointer = nullptr;
PFN_glDisableVertexAttribArray _glDisableVertexAttribArray = nullptr;
PFN_glBindVertexArray _glBindVertexArrayARB = nullptr;
PFN_glDeleteVertexArrays _glDeleteVertexArraysARB = nullptr;
PFN_glGenVertexArrays _glGenVertexArraysARB = nullptr;
PFN_glIsVertexArray _glIsVertexArrayARB = nullptr;
PFN_glIsRenderbuffer _glIsRenderbuffer = nullptr;
PFN_glBindRenderbuffer _glBindRenderbuffer = nullptr;
PFN_glDeleteRenderbuffers _glDeleteRenderbuffers = nullptr;
PFN_glGenRenderbuffers _glGenRenderbuffers = nullptr;
PFN_glRenderbufferStorage _glRenderbufferStorage = nullptr;
PFN_glGetRenderbufferParameteriv _glGetRenderbufferParameteriv = nullptr;
PFN_glIsFramebuffer _glIsFramebuffer = nullptr;
PFN_glBindFramebuffer _glBindFramebuffer = nullptr;
PFN_glDeleteFramebuffers _glDeleteFramebuffers = nullptr;
PFN_glGenFramebuffers _glGenFramebuffers = nullptr;
PFN_glCheckFramebufferStatus _glCheckFramebufferStatus = nullptr;
PFN_glFramebufferTexture1D _glFramebufferTexture1D = nullptr;
PFN_glFramebufferTexture2D _glFramebufferTexture2D = nullptr;
PFN_glFramebufferTexture3D _glFramebufferTexture3D = nullptr;
PFN_glFramebufferRenderbuffer _glFramebufferRenderbuffer = nullptr;
PFN_glGetFramebufferAttachmentParameteriv _glGetFramebufferAttachmentParameteriv = nullptr;
PFN_glGenerateMipmap _glGenerateMipmap = nullptr;
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
    priv::valide_support_shaders = SupportShaders();
    priv::valide_support_vbo = SupportVBO();
    priv::valide_support_vba = SupportVBA();
    priv::valide_support_fbo = SupportFBO();

    int chargees = 0;
    int attendues = 0;
    if (priv::valide_support_shaders)
    {
        attendues += 30;
        Charge(priv::_glCreateShader, "glCreateShader", chargees);
        Charge(priv::_glDeleteShader, "glDeleteShader", chargees);
        Charge(priv::_glShaderSource, "glShaderSource", chargees);
        Charge(priv::_glCompileShader, "glCompileShader", chargees);
        Charge(priv::_glGetShaderiv, "glGetShaderiv", chargees);
        Charge(priv::_glGetShaderInfoLog, "glGetShaderInfoLog", chargees);
        Charge(priv::_glCreateProgram, "glCreateProgram", chargees);
        Charge(priv::_glDeleteProgram, "glDeleteProgram", chargees);
        Charge(priv::_glLinkProgram, "glLinkProgram", chargees);
        Charge(priv::_glValidateProgram, "glValidateProgram", chargees);
        Charge(priv::_glAttachShader, "glAttachShader", chargees);
        Charge(priv::_glDetachShader, "glDetachShader", chargees);
        Charge(priv::_glProgramParameteri, "glProgramParameteri", chargees);
        Charge(priv::_glGetProgramiv, "glGetProgramiv", chargees);
        Charge(priv::_glGetProgramBinary, "glGetProgramBinary", chargees);
        Charge(priv::_glProgramBinary, "glProgramBinary", chargees);
        Charge(priv::_glUseProgram, "glUseProgram", chargees);
        Charge(priv::_glGetUniformLocation, "glGetUniformLocation", chargees);
        Charge(priv::_glUniformMatrix4fv, "glUniformMatrix4fv", chargees);
        Charge(priv::_glUniform2f, "glUniform2f", chargees);
        Charge(priv::_glUniform3f, "glUniform3f", chargees);
        Charge(priv::_glUniform1i, "glUniform1i", chargees);
        Charge(priv::_glUniform1f, "glUniform1f", chargees);
        Charge(priv::_glGetAttribLocation, "glGetAttribLocation", chargees);
        Charge(priv::_glEnableVertexAttribArray, "glEnableVertexAttribArray", chargees);
        Charge(priv::_glVertexAttribPointer, "glVertexAttribPointer", chargees);
        Charge(priv::_glDisableVertexAttribArray, "glDisableVertexAttribArray", chargees);
        Charge(priv::_glIsShader, "glIsShader", chargees);
        Charge(priv::_glIsProgram, "glIsProgram", chargees);
        Charge(priv::_glGetProgramInfoLog, "glGetProgramInfoLog", chargees);
    }
    if (priv::valide_support_vba)
    {
        attendues += 4;
        // GL_ARB_vertex_array_object defines its functions without a suffix; the suffixed names
        // exist nowhere, and a lookup of them can still return a stub that does nothing.
        Charge(priv::_glBindVertexArrayARB, "glBindVertexArray", chargees);
        Charge(priv::_glDeleteVertexArraysARB, "glDeleteVertexArrays", chargees);
        Charge(priv::_glGenVertexArraysARB, "glGenVertexArrays", chargees);
        Charge(priv::_glIsVertexArrayARB, "glIsVertexArray", chargees);
    }
    if (priv::valide_support_fbo)
    {
        attendues += 17;
        Charge(priv::_glIsRenderbuffer, "glIsRenderbuffer", chargees);
        Charge(priv::_glBindRenderbuffer, "glBindRenderbuffer", chargees);
        Charge(priv::_glDeleteRenderbuffers, "glDeleteRenderbuffers", chargees);
        Charge(priv::_glGenRenderbuffers, "glGenRenderbuffers", chargees);
        Charge(priv::_glRenderbufferStorage, "glRenderbufferStorage", chargees);
        Charge(priv::_glGetRenderbufferParameteriv, "glGetRenderbufferParameteriv", chargees);
        Charge(priv::_glIsFramebuffer, "glIsFramebuffer", chargees);
        Charge(priv::_glBindFramebuffer, "glBindFramebuffer", chargees);
        Charge(priv::_glDeleteFramebuffers, "glDeleteFramebuffers", chargees);
        Charge(priv::_glGenFramebuffers, "glGenFramebuffers", chargees);
        Charge(priv::_glCheckFramebufferStatus, "glCheckFramebufferStatus", chargees);
        Charge(priv::_glFramebufferTexture1D, "glFramebufferTexture1D", chargees);
        Charge(priv::_glFramebufferTexture2D, "glFramebufferTexture2D", chargees);
        Charge(priv::_glFramebufferTexture3D, "glFramebufferTexture3D", chargees);
        Charge(priv::_glFramebufferRenderbuffer, "glFramebufferRenderbuffer", chargees);
        Charge(priv::_glGetFramebufferAttachmentParameteriv, "glGetFramebufferAttachmentParameteriv",
               chargees);
        Charge(priv::_glGenerateMipmap, "glGenerateMipmap", chargees);
    }
    priv::nombre_fonctions_chargees = chargees;
    priv::nombre_fonctions_attendues = attendues;
    priv::valide_init = true;
    return chargees >= 1 && chargees == attendues;
}

// ---- Shaders and programs --------------------------------------------------------------------

unsigned int glCreateShader(unsigned int type)
{
    return Disponible(priv::_glCreateShader) ? priv::_glCreateShader(type) : 0;
}

void glDeleteShader(unsigned int shader)
{
    if (Disponible(priv::_glDeleteShader)) priv::_glDeleteShader(shader);
}

void glShaderSource(unsigned int shader, int nombre, char const* const* textes, int const* longueurs)
{
    if (Disponible(priv::_glShaderSource)) priv::_glShaderSource(shader, nombre, textes, longueurs);
}

void glCompileShader(unsigned int shader)
{
    if (Disponible(priv::_glCompileShader)) priv::_glCompileShader(shader);
}

void glGetShaderiv(unsigned int shader, unsigned int parametre, int* valeur)
{
    if (Disponible(priv::_glGetShaderiv)) priv::_glGetShaderiv(shader, parametre, valeur);
}

void glGetShaderInfoLog(unsigned int shader, int taille, int* longueur, char* texte)
{
    if (Disponible(priv::_glGetShaderInfoLog)) priv::_glGetShaderInfoLog(shader, taille, longueur, texte);
}

unsigned int glCreateProgram()
{
    return Disponible(priv::_glCreateProgram) ? priv::_glCreateProgram() : 0;
}

void glDeleteProgram(unsigned int programme)
{
    if (Disponible(priv::_glDeleteProgram)) priv::_glDeleteProgram(programme);
}

void glLinkProgram(unsigned int programme)
{
    if (Disponible(priv::_glLinkProgram)) priv::_glLinkProgram(programme);
}

void glProgramParameteri(unsigned int programme, unsigned int parametre, int valeur)
{
    if (Disponible(priv::_glProgramParameteri)) priv::_glProgramParameteri(programme, parametre, valeur);
}

void glValidateProgram(unsigned int programme)
{
    if (Disponible(priv::_glValidateProgram)) priv::_glValidateProgram(programme);
}

void glAttachShader(unsigned int programme, unsigned int shader)
{
    if (Disponible(priv::_glAttachShader)) priv::_glAttachShader(programme, shader);
}

void glDetachShader(unsigned int programme, unsigned int shader)
{
    if (Disponible(priv::_glDetachShader)) priv::_glDetachShader(programme, shader);
}

void glGetProgramiv(unsigned int programme, unsigned int parametre, int* valeur)
{
    if (Disponible(priv::_glGetProgramiv)) priv::_glGetProgramiv(programme, parametre, valeur);
}

void glGetProgramInfoLog(unsigned int programme, int taille, int* longueur, char* texte)
{
    if (Disponible(priv::_glGetProgramInfoLog))
        priv::_glGetProgramInfoLog(programme, taille, longueur, texte);
}

void glGetProgramBinary(unsigned int programme, int taille, int* longueur, unsigned int* format,
                        void* binaire)
{
    if (Disponible(priv::_glGetProgramBinary))
        priv::_glGetProgramBinary(programme, taille, longueur, format, binaire);
    else if (longueur)
        *longueur = 0;
}

void glProgramBinary(unsigned int programme, unsigned int format, void const* binaire, int longueur)
{
    if (Disponible(priv::_glProgramBinary)) priv::_glProgramBinary(programme, format, binaire, longueur);
}

void glUseProgram(unsigned int programme)
{
    if (Disponible(priv::_glUseProgram)) priv::_glUseProgram(programme);
}

bool glIsShader(unsigned int shader)
{
    return Disponible(priv::_glIsShader) && priv::_glIsShader(shader) != 0;
}

bool glIsProgram(unsigned int programme)
{
    return Disponible(priv::_glIsProgram) && priv::_glIsProgram(programme) != 0;
}

// ---- Uniforms and attributes -----------------------------------------------------------------

int glGetUniformLocation(unsigned int programme, char const* nom)
{
    return Disponible(priv::_glGetUniformLocation) ? priv::_glGetUniformLocation(programme, nom) : -1;
}

void glUniformMatrix4fv(int location, int nombre, unsigned char transpose, float const* valeurs)
{
    if (Disponible(priv::_glUniformMatrix4fv))
        priv::_glUniformMatrix4fv(location, nombre, transpose, valeurs);
}

void glUniform2f(int location, float x, float y)
{
    if (Disponible(priv::_glUniform2f)) priv::_glUniform2f(location, x, y);
}

void glUniform3f(int location, float x, float y, float z)
{
    if (Disponible(priv::_glUniform3f)) priv::_glUniform3f(location, x, y, z);
}

void glUniform1i(int location, int valeur)
{
    if (Disponible(priv::_glUniform1i)) priv::_glUniform1i(location, valeur);
}

void glUniform1f(int location, float valeur)
{
    if (Disponible(priv::_glUniform1f)) priv::_glUniform1f(location, valeur);
}

int glGetAttribLocation(int programme, char const* nom)
{
    return Disponible(priv::_glGetAttribLocation) ? priv::_glGetAttribLocation(programme, nom) : -1;
}

void glEnableVertexAttribArray(int index)
{
    if (Disponible(priv::_glEnableVertexAttribArray)) priv::_glEnableVertexAttribArray(index);
}

void glVertexAttribPointer(unsigned int index, int taille, unsigned int type, unsigned char normalise,
                           int pas, void const* donnees)
{
    if (Disponible(priv::_glVertexAttribPointer))
        priv::_glVertexAttribPointer(index, taille, type, normalise, pas, donnees);
}

void glDisableVertexAttribArray(unsigned int index)
{
    if (Disponible(priv::_glDisableVertexAttribArray)) priv::_glDisableVertexAttribArray(index);
}

// ---- Vertex array objects (the ARB entry points) ---------------------------------------------

void glBindVertexArray(unsigned int tableau)
{
    if (Disponible(priv::_glBindVertexArrayARB)) priv::_glBindVertexArrayARB(tableau);
}

void glDeleteVertexArrays(int nombre, unsigned int const* tableaux)
{
    if (Disponible(priv::_glDeleteVertexArraysARB)) priv::_glDeleteVertexArraysARB(nombre, tableaux);
}

void glGenVertexArrays(int nombre, unsigned int* tableaux)
{
    if (Disponible(priv::_glGenVertexArraysARB)) priv::_glGenVertexArraysARB(nombre, tableaux);
}

bool glIsVertexArray(unsigned int tableau)
{
    return Disponible(priv::_glIsVertexArrayARB) && priv::_glIsVertexArrayARB(tableau) != 0;
}

// ---- Render and frame buffers ----------------------------------------------------------------

bool glIsRenderbuffer(unsigned int tampon)
{
    return Disponible(priv::_glIsRenderbuffer) && priv::_glIsRenderbuffer(tampon) != 0;
}

void glBindRenderbuffer(unsigned int cible, unsigned int tampon)
{
    if (Disponible(priv::_glBindRenderbuffer)) priv::_glBindRenderbuffer(cible, tampon);
}

void glDeleteRenderbuffers(int nombre, unsigned int const* tampons)
{
    if (Disponible(priv::_glDeleteRenderbuffers)) priv::_glDeleteRenderbuffers(nombre, tampons);
}

void glGenRenderbuffers(int nombre, unsigned int* tampons)
{
    if (Disponible(priv::_glGenRenderbuffers)) priv::_glGenRenderbuffers(nombre, tampons);
}

void glRenderbufferStorage(unsigned int cible, unsigned int format, int largeur, int hauteur)
{
    if (Disponible(priv::_glRenderbufferStorage))
        priv::_glRenderbufferStorage(cible, format, largeur, hauteur);
}

void glGetRenderbufferParameteriv(unsigned int cible, unsigned int parametre, int* valeur)
{
    if (Disponible(priv::_glGetRenderbufferParameteriv))
        priv::_glGetRenderbufferParameteriv(cible, parametre, valeur);
}

bool glIsFramebuffer(unsigned int tampon)
{
    return Disponible(priv::_glIsFramebuffer) && priv::_glIsFramebuffer(tampon) != 0;
}

void glBindFramebuffer(unsigned int cible, unsigned int tampon)
{
    if (Disponible(priv::_glBindFramebuffer)) priv::_glBindFramebuffer(cible, tampon);
}

void glDeleteFramebuffers(int nombre, unsigned int const* tampons)
{
    if (Disponible(priv::_glDeleteFramebuffers)) priv::_glDeleteFramebuffers(nombre, tampons);
}

void glGenFramebuffers(int nombre, unsigned int* tampons)
{
    if (Disponible(priv::_glGenFramebuffers)) priv::_glGenFramebuffers(nombre, tampons);
}

unsigned int glCheckFramebufferStatus(unsigned int cible)
{
    return Disponible(priv::_glCheckFramebufferStatus) ? priv::_glCheckFramebufferStatus(cible) : 0;
}

void glFramebufferTexture1D(unsigned int cible, unsigned int attache, unsigned int type_texture,
                            unsigned int texture, int niveau)
{
    if (Disponible(priv::_glFramebufferTexture1D))
        priv::_glFramebufferTexture1D(cible, attache, type_texture, texture, niveau);
}

void glFramebufferTexture2D(unsigned int cible, unsigned int attache, unsigned int type_texture,
                            unsigned int texture, int niveau)
{
    if (Disponible(priv::_glFramebufferTexture2D))
        priv::_glFramebufferTexture2D(cible, attache, type_texture, texture, niveau);
}

void glFramebufferTexture3D(unsigned int cible, unsigned int attache, unsigned int type_texture,
                            unsigned int texture, int niveau, int couche)
{
    if (Disponible(priv::_glFramebufferTexture3D))
        priv::_glFramebufferTexture3D(cible, attache, type_texture, texture, niveau, couche);
}

void glFramebufferRenderbuffer(unsigned int cible, unsigned int attache, unsigned int cible_tampon,
                               unsigned int tampon)
{
    if (Disponible(priv::_glFramebufferRenderbuffer))
        priv::_glFramebufferRenderbuffer(cible, attache, cible_tampon, tampon);
}

void glGetFramebufferAttachmentParameteriv(unsigned int cible, unsigned int attache, unsigned int parametre,
                                           int* valeur)
{
    if (Disponible(priv::_glGetFramebufferAttachmentParameteriv))
        priv::_glGetFramebufferAttachmentParameteriv(cible, attache, parametre, valeur);
}

void glGenerateMipmap(unsigned int cible)
{
    if (Disponible(priv::_glGenerateMipmap)) priv::_glGenerateMipmap(cible);
}

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
