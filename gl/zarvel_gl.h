#pragma once

// Rendering engine, namespace PGL: the one header of the library zarvel_gl.
//
// Index
//   [SECTION] Value types      PVertex_GL, PCouleur_GL, PVertice2_GL, PVertice3_GL, PMatriceGL4
//   [SECTION] Loader           Extensions_GL, Extensions_GL_priv, ControleErreursGL
//   [SECTION] Shaders          Shader_GL, Program_GL, Uniform_GL, Attribute_GL
//   [SECTION] Buffers          PTampon_GL, PTamponF_GL
//   [SECTION] Frame buffer     PTexture_GL, PRenderBuffer_GL, PFrameBuffer_GL
//   [SECTION] Shader set       Shaders_GL
//   [SECTION] Engine core      Params_GL, Moteur_GL (set-up, lighting, shader sets, drawing)
//   [SECTION] Camera           Moteur_GL: projection, camera matrices, un-projection
//   [SECTION] Overlay          Moteur_GL: frame start and the per-frame marks ("Div")
//   [SECTION] Renderer         Params_Zarvel_GL, Zarvel_GL: display modes, colours, one frame
//   [SECTION] Preparation      Zarvel_GL::PrepareScene: a library scene into the nine buffers
//
// Conventions shared by every section:
//   - angles are in degrees, matrices are 16 floats in column-major order (element 4 x column + row);
//   - GL object wrappers own one GL name, 0 meaning none; they can be built and destroyed without
//     a context, delete only a non-zero name and cannot be copied;
//   - failures are reported by bool or int results and by text logs; nothing throws or prints;
//   - every GL entry point beyond OpenGL 1.1 and buffer objects goes through the null-safe wrappers
//     of Extensions_GL, so a context without a capability falls back instead of failing.

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace Zarvel3D
{
class PScene3D;
}

namespace PGL
{

// ===================================================================================================
// [SECTION] Value types
// ===================================================================================================

/// A point, direction or normal: three packed floats (12 bytes), uploaded as a 3-float attribute.
struct PVertex_GL
{
    float X;
    float Y;
    float Z;

    /// The origin (0, 0, 0).
    PVertex_GL() : X(0.0f), Y(0.0f), Z(0.0f) {}
    /// The vector (x, y, z).
    PVertex_GL(float x, float y, float z) : X(x), Y(y), Z(z) {}

    /// Scales the vector to unit length (integer inverse square root, within about 0.2 %), or sets
    /// it to (0, 0, 0) when its squared length is below 0.0001. Returns the vector itself.
    PVertex_GL& Normalise();
};

/// An RGBA colour: four packed floats (16 bytes), nominally 0 to 1, never clamped by the type.
struct PCouleur_GL
{
    float rouge;
    float vert;
    float bleu;
    float alpha;

    /// Opaque black (0, 0, 0, 1).
    PCouleur_GL() : rouge(0.0f), vert(0.0f), bleu(0.0f), alpha(1.0f) {}
    /// The colour (r, g, b, a).
    PCouleur_GL(float r, float g, float b, float a = 1.0f) : rouge(r), vert(g), bleu(b), alpha(a) {}

    /// A contrasting colour: red and green above 190/255 lose 65/255, others gain it; blue above
    /// 205/255 loses 50/255, otherwise gains it. Alpha is kept. The result is not clamped.
    PCouleur_GL Div() const;
    /// The opposite shift of Div: components above their threshold gain the amount, others lose it.
    PCouleur_GL Div2() const;
};

/// A segment: start and end, six packed floats.
struct PVertice2_GL
{
    PVertex_GL sommets[2];

    /// A segment from the origin to the origin.
    PVertice2_GL() = default;
    /// The segment from a to b.
    PVertice2_GL(PVertex_GL const& a, PVertex_GL const& b) : sommets{a, b} {}
};

/// A triangle: three corners, nine packed floats. The winding decides the normal's direction.
struct PVertice3_GL
{
    PVertex_GL sommets[3];

    /// A triangle with three corners at the origin.
    PVertice3_GL() = default;
    /// The triangle (a, b, c).
    PVertice3_GL(PVertex_GL const& a, PVertex_GL const& b, PVertex_GL const& c) : sommets{a, b, c} {}

    /// Unit normal (b - a) x (c - a), normalised with PVertex_GL::Normalise; counter-clockwise
    /// corners seen from the viewer give a normal towards the viewer; (0, 0, 0) when degenerate.
    PVertex_GL VecteurNormal() const;
};

/// A 4 x 4 float transform in column-major order (element 4 x column + row), handed to OpenGL
/// unchanged with the transpose flag false. Vectors are columns; transforms left-multiply.
/// Angles are in degrees. Default construction gives the identity.
class PMatriceGL4
{
public:
    /// The identity.
    PMatriceGL4();
    /// The sixteen arguments become elements 0 to 15 in order (the first four are column 0).
    PMatriceGL4(float e0, float e1, float e2, float e3, float e4, float e5, float e6, float e7, float e8,
                float e9, float e10, float e11, float e12, float e13, float e14, float e15);
    /// Copies 16 floats from the array.
    explicit PMatriceGL4(float const* tableau);

    /// Writes the 16 elements in element order to the caller's array.
    void Copie(float* destination) const;
    /// Writes the 16 elements in element order, widened to double, to the caller's array.
    void Copie(double* destination) const;
    /// Sets the identity.
    void Identite();
    /// Writes the six orthographic-projection terms (elements 0, 5, 10, 12, 13, 14) for the box
    /// left, right, bottom, top, near, far; the ten other elements keep their values.
    void defOrtho(float gauche, float droite, float bas, float haut, float proche, float loin);

    /// M becomes T M, T the translation by (x, y, z).
    void Translation(float x, float y, float z);
    /// M becomes R M, R the rotation by the angle (degrees) about the axis (x, y, z), which is used
    /// as given, not normalised.
    void Rotation(float angle, float x, float y, float z);
    /// M becomes Rx M (right-handed, degrees).
    void RotationX(float angle);
    /// M becomes Ry M (right-handed, degrees).
    void RotationY(float angle);
    /// M becomes Rz M (right-handed, degrees).
    void RotationZ(float angle);
    /// Overwrites the whole matrix with the transpose of Rx(ax) Ry(ay) Rz(az) and no translation.
    void RotationXYZ(float ax, float ay, float az);
    /// M becomes diag(s, s, s, 1) M: the translation is scaled too.
    void Echelle(float s);
    /// Scales the three axis columns by x, y and z; the translation and row 3 are kept.
    void Echelle(float x, float y, float z);
    /// Replaces M by its inverse (adjugate method, determinant in double), or by the identity when
    /// the determinant's magnitude is 0.0001 or less.
    void Inverse();
    /// Transposes in place.
    void Transpose();

    /// Sets elements 0 to 2 (the image of the X axis).
    void defAxeX(float x, float y, float z);
    /// Sets elements 4 to 6 (the image of the Y axis).
    void defAxeY(float x, float y, float z);
    /// Sets elements 8 to 10 (the image of the Z axis).
    void defAxeZ(float x, float y, float z);
    /// Sets elements 12 to 14 (the translation).
    void defOrigine(float x, float y, float z);
    /// Same as defOrigine.
    void Position(float x, float y, float z);
    /// Elements 0 to 2.
    PVertex_GL AxeX() const;
    /// Elements 4 to 6.
    PVertex_GL AxeY() const;
    /// Elements 8 to 10.
    PVertex_GL AxeZ() const;
    /// Elements 12 to 14.
    PVertex_GL Origine() const;

    /// The 3 x 3 block times v: a direction, no translation added and no division by w.
    PVertex_GL operator*(PVertex_GL const& v) const;
    /// The w that M gives to the point v (with w = 1): e3 X + e7 Y + e11 Z + e15.
    float CalcW(PVertex_GL const& v) const;
    /// The product A B (A this matrix): B is applied first.
    PMatriceGL4 operator*(PMatriceGL4 const& b) const;
    /// Determinant of the 3 x 3 matrix with rows (a, b, c), (d, e, f), (g, h, i), in float, as
    /// a(ei - fh) - b(di - fg) + c(dh - eg).
    static float facteur(float a, float b, float c, float d, float e, float f, float g, float h, float i);

    /// Element i (0 to 15).
    float operator[](int i) const { return valeurs[i]; }
    /// Element i (0 to 15), writable.
    float& operator[](int i) { return valeurs[i]; }
    /// The 16 elements, for glLoadMatrixf and glUniformMatrix4fv.
    float const* Donnees() const { return valeurs; }

private:
    float valeurs[16];
};

/// Memory of the engine's vertex arrays. Blocks of 2 MiB and more are mapped on their own, aligned
/// on 2 MiB and marked for transparent huge pages: a big scene's arrays are touched for the first
/// time when they are filled, and huge pages make that touch hundreds of times cheaper than 4 KiB
/// pages. Smaller blocks come from the ordinary heap. Throws std::bad_alloc like operator new.
void* AllocationTableau_GL(std::size_t octets);
/// Releases a block of AllocationTableau_GL given with its size in bytes.
void LiberationTableau_GL(void* bloc, std::size_t octets) noexcept;

/// Grows the process's main heap by at least `octets`, asks for huge pages on it and keeps it
/// when blocks are freed. A software GL driver allocates every frame's triangle data there and
/// frees it at the frame's end: faulted in 4 KiB pages again at each frame, that memory costs more
/// than the drawing. Blocks of up to 32 MiB come from the heap from then on. True when the heap
/// grew and was advised (false under an allocator that does not use the heap, as a sanitizer's).
bool PrepareTasPagesGeantes_GL(std::size_t octets);

/// Standard allocator over AllocationTableau_GL.
template <typename T> struct PAllocateur_GL
{
    using value_type = T;
    PAllocateur_GL() noexcept = default;
    template <typename U> PAllocateur_GL(PAllocateur_GL<U> const&) noexcept {}
    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(AllocationTableau_GL(n * sizeof(T)));
    }
    void deallocate(T* bloc, std::size_t n) noexcept { LiberationTableau_GL(bloc, n * sizeof(T)); }
    template <typename U> bool operator==(PAllocateur_GL<U> const&) const noexcept { return true; }
    template <typename U> bool operator!=(PAllocateur_GL<U> const&) const noexcept { return false; }
};

/// A growable array of the engine's geometry.
template <typename T> using PTableau_GL = std::vector<T, PAllocateur_GL<T>>;

// ===================================================================================================
// [SECTION] Loader
// ===================================================================================================

/// Every entry point the loader resolves at run time, one X(...) per function, in the order Init
/// loads them, group after group:
///   X(groupe, nom, pointeur, retour_gl, retour, parametres, arguments, repli)
///   groupe      Shaders, VBA or FBO (Groupe_GL): the capability whose presence loads the function
///   nom         the name looked up, which also names the PFN_ typedef and the wrapper
///   pointeur    the loaded pointer in Extensions_GL_priv. The vertex-array pointers carry the
///               suffix ARB, but GL_ARB_vertex_array_object defines its functions without one:
///               the suffixed names exist nowhere, and a lookup of them can still return a stub
///               that does nothing, so the names looked up have no suffix
///   retour_gl   the driver's return type (unsigned char for a GL boolean)
///   retour      the wrapper's return type (bool for a GL boolean)
///   parametres  the parameter list, named; arguments: the same names as a call
///   repli       what the wrapper does instead of the call before Init or when the function was
///               not found: return 0, -1 (locations) or false; nothing when empty
/// The typedefs, the pointers, their loading, the wrappers and the number of functions Init
/// expects per group all come from this list.
// clang-format off
#define ZARVEL_GL_POINTS_ENTREE(X)                                                                           \
    X(Shaders, glCreateShader, _glCreateShader, unsigned int, unsigned int,                                  \
      (unsigned int type), (type), return 0)                                                                 \
    X(Shaders, glDeleteShader, _glDeleteShader, void, void, (unsigned int shader), (shader), )               \
    X(Shaders, glShaderSource, _glShaderSource, void, void,                                                  \
      (unsigned int shader, int nombre, char const* const* textes, int const* longueurs),                    \
      (shader, nombre, textes, longueurs), )                                                                 \
    X(Shaders, glCompileShader, _glCompileShader, void, void, (unsigned int shader), (shader), )             \
    X(Shaders, glGetShaderiv, _glGetShaderiv, void, void,                                                    \
      (unsigned int shader, unsigned int parametre, int* valeur), (shader, parametre, valeur), )             \
    X(Shaders, glGetShaderInfoLog, _glGetShaderInfoLog, void, void,                                          \
      (unsigned int shader, int taille, int* longueur, char* texte), (shader, taille, longueur, texte), )    \
    X(Shaders, glCreateProgram, _glCreateProgram, unsigned int, unsigned int, (), (), return 0)              \
    X(Shaders, glDeleteProgram, _glDeleteProgram, void, void, (unsigned int programme), (programme), )       \
    X(Shaders, glLinkProgram, _glLinkProgram, void, void, (unsigned int programme), (programme), )           \
    X(Shaders, glValidateProgram, _glValidateProgram, void, void, (unsigned int programme), (programme), )   \
    X(Shaders, glAttachShader, _glAttachShader, void, void,                                                  \
      (unsigned int programme, unsigned int shader), (programme, shader), )                                  \
    X(Shaders, glDetachShader, _glDetachShader, void, void,                                                  \
      (unsigned int programme, unsigned int shader), (programme, shader), )                                  \
    X(Shaders, glProgramParameteri, _glProgramParameteri, void, void,                                        \
      (unsigned int programme, unsigned int parametre, int valeur), (programme, parametre, valeur), )        \
    X(Shaders, glGetProgramiv, _glGetProgramiv, void, void,                                                  \
      (unsigned int programme, unsigned int parametre, int* valeur), (programme, parametre, valeur), )       \
    X(Shaders, glGetProgramBinary, _glGetProgramBinary, void, void,                                          \
      (unsigned int programme, int taille, int* longueur, unsigned int* format, void* binaire),              \
      (programme, taille, longueur, format, binaire), if (longueur) *longueur = 0)                           \
    X(Shaders, glProgramBinary, _glProgramBinary, void, void,                                                \
      (unsigned int programme, unsigned int format, void const* binaire, int longueur),                      \
      (programme, format, binaire, longueur), )                                                              \
    X(Shaders, glUseProgram, _glUseProgram, void, void, (unsigned int programme), (programme), )             \
    X(Shaders, glGetUniformLocation, _glGetUniformLocation, int, int,                                        \
      (unsigned int programme, char const* nom), (programme, nom), return -1)                                \
    X(Shaders, glUniformMatrix4fv, _glUniformMatrix4fv, void, void,                                          \
      (int location, int nombre, unsigned char transpose, float const* valeurs),                             \
      (location, nombre, transpose, valeurs), )                                                              \
    X(Shaders, glUniform2f, _glUniform2f, void, void, (int location, float x, float y), (location, x, y), )  \
    X(Shaders, glUniform3f, _glUniform3f, void, void,                                                        \
      (int location, float x, float y, float z), (location, x, y, z), )                                      \
    X(Shaders, glUniform1i, _glUniform1i, void, void, (int location, int valeur), (location, valeur), )      \
    X(Shaders, glUniform1f, _glUniform1f, void, void, (int location, float valeur), (location, valeur), )    \
    X(Shaders, glGetAttribLocation, _glGetAttribLocation, int, int,                                          \
      (int programme, char const* nom), (programme, nom), return -1)                                         \
    X(Shaders, glEnableVertexAttribArray, _glEnableVertexAttribArray, void, void, (int index), (index), )    \
    X(Shaders, glVertexAttribPointer, _glVertexAttribPointer, void, void,                                    \
      (unsigned int index, int taille, unsigned int type, unsigned char normalise, int pas,                  \
       void const* donnees),                                                                                 \
      (index, taille, type, normalise, pas, donnees), )                                                      \
    X(Shaders, glDisableVertexAttribArray, _glDisableVertexAttribArray, void, void,                          \
      (unsigned int index), (index), )                                                                       \
    X(Shaders, glIsShader, _glIsShader, unsigned char, bool, (unsigned int shader), (shader), return false)  \
    X(Shaders, glIsProgram, _glIsProgram, unsigned char, bool,                                               \
      (unsigned int programme), (programme), return false)                                                   \
    X(Shaders, glGetProgramInfoLog, _glGetProgramInfoLog, void, void,                                        \
      (unsigned int programme, int taille, int* longueur, char* texte),                                      \
      (programme, taille, longueur, texte), )                                                                \
    X(VBA, glBindVertexArray, _glBindVertexArrayARB, void, void, (unsigned int tableau), (tableau), )        \
    X(VBA, glDeleteVertexArrays, _glDeleteVertexArraysARB, void, void,                                       \
      (int nombre, unsigned int const* tableaux), (nombre, tableaux), )                                      \
    X(VBA, glGenVertexArrays, _glGenVertexArraysARB, void, void,                                             \
      (int nombre, unsigned int* tableaux), (nombre, tableaux), )                                            \
    X(VBA, glIsVertexArray, _glIsVertexArrayARB, unsigned char, bool,                                        \
      (unsigned int tableau), (tableau), return false)                                                       \
    X(FBO, glIsRenderbuffer, _glIsRenderbuffer, unsigned char, bool,                                         \
      (unsigned int tampon), (tampon), return false)                                                         \
    X(FBO, glBindRenderbuffer, _glBindRenderbuffer, void, void,                                              \
      (unsigned int cible, unsigned int tampon), (cible, tampon), )                                          \
    X(FBO, glDeleteRenderbuffers, _glDeleteRenderbuffers, void, void,                                        \
      (int nombre, unsigned int const* tampons), (nombre, tampons), )                                        \
    X(FBO, glGenRenderbuffers, _glGenRenderbuffers, void, void,                                              \
      (int nombre, unsigned int* tampons), (nombre, tampons), )                                              \
    X(FBO, glRenderbufferStorage, _glRenderbufferStorage, void, void,                                        \
      (unsigned int cible, unsigned int format, int largeur, int hauteur),                                   \
      (cible, format, largeur, hauteur), )                                                                   \
    X(FBO, glGetRenderbufferParameteriv, _glGetRenderbufferParameteriv, void, void,                          \
      (unsigned int cible, unsigned int parametre, int* valeur), (cible, parametre, valeur), )               \
    X(FBO, glIsFramebuffer, _glIsFramebuffer, unsigned char, bool,                                           \
      (unsigned int tampon), (tampon), return false)                                                         \
    X(FBO, glBindFramebuffer, _glBindFramebuffer, void, void,                                                \
      (unsigned int cible, unsigned int tampon), (cible, tampon), )                                          \
    X(FBO, glDeleteFramebuffers, _glDeleteFramebuffers, void, void,                                          \
      (int nombre, unsigned int const* tampons), (nombre, tampons), )                                        \
    X(FBO, glGenFramebuffers, _glGenFramebuffers, void, void,                                                \
      (int nombre, unsigned int* tampons), (nombre, tampons), )                                              \
    X(FBO, glCheckFramebufferStatus, _glCheckFramebufferStatus, unsigned int, unsigned int,                  \
      (unsigned int cible), (cible), return 0)                                                               \
    X(FBO, glFramebufferTexture1D, _glFramebufferTexture1D, void, void,                                      \
      (unsigned int cible, unsigned int attache, unsigned int type_texture, unsigned int texture,            \
       int niveau),                                                                                          \
      (cible, attache, type_texture, texture, niveau), )                                                     \
    X(FBO, glFramebufferTexture2D, _glFramebufferTexture2D, void, void,                                      \
      (unsigned int cible, unsigned int attache, unsigned int type_texture, unsigned int texture,            \
       int niveau),                                                                                          \
      (cible, attache, type_texture, texture, niveau), )                                                     \
    X(FBO, glFramebufferTexture3D, _glFramebufferTexture3D, void, void,                                      \
      (unsigned int cible, unsigned int attache, unsigned int type_texture, unsigned int texture,            \
       int niveau, int couche),                                                                              \
      (cible, attache, type_texture, texture, niveau, couche), )                                             \
    X(FBO, glFramebufferRenderbuffer, _glFramebufferRenderbuffer, void, void,                                \
      (unsigned int cible, unsigned int attache, unsigned int cible_tampon, unsigned int tampon),            \
      (cible, attache, cible_tampon, tampon), )                                                              \
    X(FBO, glGetFramebufferAttachmentParameteriv, _glGetFramebufferAttachmentParameteriv, void, void,        \
      (unsigned int cible, unsigned int attache, unsigned int parametre, int* valeur),                       \
      (cible, attache, parametre, valeur), )                                                                 \
    X(FBO, glGenerateMipmap, _glGenerateMipmap, void, void, (unsigned int cible), (cible), )
// clang-format on

/// Process-wide state of the entry-point loader. Everything is zero before Extensions_GL::Init.
namespace Extensions_GL_priv
{
/// Init has run.
extern bool valide_init;
/// Feature groups found by Init (read them through the Support functions).
extern bool valide_support_shaders;
extern bool valide_support_vbo;
extern bool valide_support_vba;
extern bool valide_support_fbo;
/// Functions Init resolved and functions it looked for (diagnostics).
extern int nombre_fonctions_chargees;
extern int nombre_fonctions_attendues;

/// The groups of loaded functions: shader objects, vertex array objects, frame buffer objects.
enum class Groupe_GL
{
    Shaders,
    VBA,
    FBO
};

/// Number of entries of the list in a group: the functions Init expects when it finds the group.
constexpr int NombreFonctionsGroupe(Groupe_GL groupe)
{
    int nombre = 0;
#define ZARVEL_GL_COMPTE(groupe_entree, ...) nombre += Groupe_GL::groupe_entree == groupe ? 1 : 0;
    ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_COMPTE)
#undef ZARVEL_GL_COMPTE
    return nombre;
}

/// PFN_<name>: the driver's signature of each loaded function.
#define ZARVEL_GL_TYPE(groupe, nom, pointeur, retour_gl, retour, parametres, ...)                            \
    typedef retour_gl(*PFN_##nom) parametres;
ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_TYPE)
#undef ZARVEL_GL_TYPE

/// One pointer per loaded function, null until Init resolves it.
#define ZARVEL_GL_POINTEUR(groupe, nom, pointeur, ...) extern PFN_##nom pointeur;
ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_POINTEUR)
#undef ZARVEL_GL_POINTEUR
} // namespace Extensions_GL_priv

/// Run-time loading of the programmable-pipeline entry points and the capability queries that
/// choose between a GL path and its fallback. Single-threaded, on the context's thread.
namespace Extensions_GL
{
/// Address of a GL function by exact name, null when the platform does not have it. The only
/// place that knows how addresses are obtained (GLX here).
typedef void (*Fonction_GL)();
Fonction_GL getProcAdress(char const* nom);

/// True when a GL context is current on the calling thread. The GL object wrappers create
/// their names only then, so they can be built before a context exists.
bool ContexteCourant();

/// In a build with AddressSanitizer, keeps every shared object loaded now (the GL driver
/// among them) loaded until the process ends: the leak check at exit names a leak by the
/// library it comes from, and a driver unloaded before then leaves its leaks nameless and
/// impossible to suppress. Does nothing in other builds. `Init` calls it.
void GardeModulesCharges();

/// True when the name is in the current context's extension string; false without a current
/// context, where the string is not queried.
bool ValideExtension(char const* nom);
/// The same rule on a given extension string: the name must occur followed by a space; the
/// character before a match is not looked at. False for a null or empty string or name.
bool ValideExtension(char const* nom, char const* extensions);

/// Shader objects and GLSL ("GL_ARB_shading_language_100", "GL_ARB_shader_objects",
/// "GL_ARB_fragment_shader", "GL_ARB_vertex_shader"). Before Init: tests the extension string at
/// every call; after Init: the stored flag.
bool SupportShaders();
/// Vertex buffer objects ("GL_ARB_vertex_buffer_object"); same rule.
bool SupportVBO();
/// Vertex array objects ("GL_ARB_vertex_array_object"); same rule.
bool SupportVBA();
/// Frame buffer objects ("GL_ARB_framebuffer_object"); same rule.
bool SupportFBO();

/// Stores the four group flags and loads the functions of the groups found, in the list's order
/// (NombreFonctionsGroupe: 30 for shaders, 4 for vertex arrays, 17 for frame buffers). Needs a
/// current context; runs once: later calls return true. Returns true when at least one function
/// was expected and all were found.
bool Init();

// Null-safe wrappers, one per entry of ZARVEL_GL_POINTS_ENTREE, declared with its parameters and
// the wrapper's return type. Before Init, or when the function was not found, they call nothing
// and return 0, -1 (locations) or false; outputs are left as the caller set them, except
// glGetProgramBinary, which writes 0 to the length.
#define ZARVEL_GL_DECLARATION(groupe, nom, pointeur, retour_gl, retour, parametres, ...)                     \
    retour nom parametres;
ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_DECLARATION)
#undef ZARVEL_GL_DECLARATION

// Buffer objects: the client library's own functions, called directly whatever Init found.
// Callers test SupportVBO first.
void glGenBuffers(int nombre, unsigned int* tampons);
void glBindBuffer(unsigned int cible, unsigned int tampon);
void glBufferData(unsigned int cible, long taille, void const* donnees, unsigned int usage);
void glBufferSubData(unsigned int cible, long decalage, long taille, void const* donnees);
void glDeleteBuffers(int nombre, unsigned int const* tampons);
void glGetBufferParameteriv(unsigned int cible, unsigned int parametre, int* valeur);
void* glMapBuffer(unsigned int cible, unsigned int acces);
bool glUnmapBuffer(unsigned int cible);
bool glIsBuffer(unsigned int tampon);
} // namespace Extensions_GL

// ===================================================================================================
// [SECTION] Shaders
// ===================================================================================================

class Program_GL;

/// One shader object of one stage (0x8B31 vertex, 0x8B30 fragment) with the log of its last failed
/// compilation. Owns its GL name.
class Shader_GL
{
public:
    /// Stores the stage; creates the shader object when a context is current and shaders are
    /// supported, else name 0.
    explicit Shader_GL(unsigned int type);
    /// Deletes the shader object when there is one.
    ~Shader_GL();
    Shader_GL(Shader_GL const&) = delete;
    Shader_GL& operator=(Shader_GL const&) = delete;

    /// Deletes the shader object; false when there was none. The compiled flag and log are kept.
    bool Desactive();
    /// Replaces the shader object by a new, never compiled one when shaders are supported (name 0
    /// otherwise). Returns whether shaders are supported.
    bool Reactive();
    /// Compiles the zero-terminated source. False when there is no shader object, the source is
    /// null, or the compile fails; the driver's message (when longer than one character) is then
    /// in the log. A context that cannot report the status counts as success.
    bool ChargeSource(char const* source);

    /// The stage.
    unsigned int Type() const { return type; }
    /// The GL name, 0 for none.
    unsigned int Nom() const { return nom; }
    /// The last compilation succeeded.
    bool Compile() const { return compile; }
    /// The driver's log of the last failed compilation, else empty.
    std::string const& Journal() const { return journal; }

private:
    friend class Program_GL;

    unsigned int type;
    unsigned int nom;
    bool compile;
    std::string journal;
};

/// A GLSL program owning one vertex and one pixel stage: compile, attach, link and validate, use,
/// look up and set inputs, dump the binary. Owns its GL names.
class Program_GL
{
public:
    /// Builds both stages and, when a context is current and shaders are supported, the program
    /// object (else name 0).
    Program_GL();
    /// Deletes the program, then the pixel and the vertex stage.
    ~Program_GL();
    Program_GL(Program_GL const&) = delete;
    Program_GL& operator=(Program_GL const&) = delete;

    /// Compiles the source into the vertex stage (detaching a previously compiled one first) and
    /// attaches it. False without a program, or when the compile fails (the stage stays detached).
    bool AjoutVertexShader(char const* source);
    /// The same for the pixel stage.
    bool AjoutPixelShader(char const* source);
    /// AjoutVertexShader with the whole text of the named file; false when it cannot be read.
    bool AjoutVertexShaderFichier(char const* chemin);
    /// AjoutPixelShader with the whole text of the named file; false when it cannot be read.
    bool AjoutPixelShaderFichier(char const* chemin);
    /// The whole file, byte for byte, as a zero-terminated array the caller frees with delete[];
    /// null for a null path or a file that cannot be read.
    static char* ChargeFichier(char const* chemin);
    /// Links (asking for a retrievable binary) and validates. On a link failure the driver's
    /// message is in the log; a validation failure leaves the log empty. Returns the linked flag.
    bool LinkProgram();
    /// Writes the linked program's binary to a file: a 32-byte header (32, the tag, six zeros),
    /// then a vertex and a pixel section, each the word n + 4, the binary format and the n bytes,
    /// or the single word 4 when the driver gives no binary; every word 32-bit little-endian. The
    /// driver keeps binaries per program, so both sections hold the linked program's binary.
    /// False without a linked program (no file is touched), when the file cannot be created, or
    /// when neither section holds a binary.
    bool DumpBinaire(std::string const& chemin, int tag) const;
    /// Makes the program current; false when it is not linked or has no name.
    bool UseProgram() const;
    /// Makes no program current (fixed-function pipeline).
    static void DesactivePrograms();
    /// Tears the GL objects down, keeping this object: no program current, both stages detached
    /// and deleted, not linked. False when there was no program object (no program is unbound).
    bool Desactive();
    /// Desactive, then new empty stage and program objects when shaders are supported (name 0
    /// otherwise). Returns whether shaders are supported. Sources are not kept.
    bool Reactive();

    /// Location of a uniform of the linked program; -1 when not linked or unknown.
    int ReservationUniform(char const* nom_uniform) const;
    /// Location of an attribute of the linked program; -1 when not linked or unknown.
    int ReservationAttribut(char const* nom_attribut) const;
    /// Sets a 4 x 4 matrix uniform (no transpose); false for location -1 or an unlinked program.
    bool ActivationUniformMatrix(int location, PMatriceGL4 const& matrice) const;
    /// Sets a 3-float uniform; false for location -1 or an unlinked program.
    bool ActivationUniformVect(int location, PVertex_GL const& vecteur) const;
    /// Sets an int uniform; false for location -1 or an unlinked program.
    bool ActivationUniformInt(int location, int valeur) const;
    /// Sets a float uniform; false for location -1 or an unlinked program.
    bool ActivationUniformFloat(int location, float valeur) const;
    /// Enables a generic attribute array of 2 floats per vertex (client memory, or an offset in
    /// the bound buffer); false for a negative location.
    bool ActivationTableauAttributs2F(int location, void const* tableau) const;
    /// The same with 3 floats per vertex.
    bool ActivationTableauAttributs3F(int location, void const* tableau) const;
    /// The same with 4 floats per vertex.
    bool ActivationTableauAttributs4F(int location, void const* tableau) const;
    /// The same with 4 signed bytes per vertex, not normalised.
    bool ActivationTableauAttributs3B(int location, void const* tableau) const;
    /// Disables a generic attribute array; false for a negative location.
    bool DesactiveAttribut(int location) const;

    /// The GL name, 0 for none.
    unsigned int Nom() const { return nom; }
    /// The last link and validation succeeded.
    bool Lie() const { return lie; }
    /// The driver's log of the last failed link, else empty.
    std::string const& Journal() const { return journal; }
    /// The vertex stage, with its compile log.
    Shader_GL const& VertexShader() const { return vertex_shader; }
    /// The pixel stage, with its compile log.
    Shader_GL const& PixelShader() const { return pixel_shader; }

private:
    bool AjoutShader(Shader_GL& etage, char const* source);
    bool AjoutShaderFichier(Shader_GL& etage, char const* chemin);
    bool ActivationTableauAttributs(int location, int composantes, unsigned int type,
                                    void const* tableau) const;

    unsigned int nom;
    Shader_GL vertex_shader;
    Shader_GL pixel_shader;
    std::string journal;
    bool lie;
};

/// A named uniform of a program, reserved once then set. Holds the program without owning it.
class Uniform_GL
{
public:
    /// Remembers the program; location -1.
    explicit Uniform_GL(Program_GL const& programme);

    /// The program has a name, is linked, and the location is not -1.
    bool Valide() const;
    /// Looks the name up in the linked program. False when the program has no name or is not
    /// linked, when a location is already held (it is kept), or when the name is unknown.
    bool Reservation(char const* nom);
    /// Forgets the location; false when the uniform was not valid.
    bool Desactive();
    /// Sets a 4 x 4 matrix; false when not valid.
    bool Activation(PMatriceGL4 const& matrice) const;
    /// Sets a 3-vector; false when not valid.
    bool Activation(PVertex_GL const& vecteur) const;
    /// Sets a float; false when not valid.
    bool Activation(float valeur) const;
    /// Sets an int; false when not valid.
    bool Activation(int valeur) const;

    /// The location, -1 when none.
    int Location() const { return location; }

private:
    Program_GL const* programme;
    int location;
};

/// A named vertex attribute of a program, reserved once then enabled on arrays. Holds the
/// program without owning it.
class Attribute_GL
{
public:
    /// Remembers the program; location -1.
    explicit Attribute_GL(Program_GL const& programme);

    /// The program has a name, is linked, and the location is not -1.
    bool Valide() const;
    /// As Uniform_GL::Reservation, for an attribute.
    bool Reservation(char const* nom);
    /// Enables the attribute on the vertices (3 floats each); false when not valid.
    bool Activation(PTableau_GL<PVertex_GL> const& sommets) const;
    /// Enables the attribute on the colours (4 floats each); false when not valid.
    bool Activation(PTableau_GL<PCouleur_GL> const& couleurs) const;
    /// Disables the attribute array, keeping the location; false when not valid.
    bool Desactive() const;

    /// The location, -1 when none.
    int Location() const { return location; }

private:
    Program_GL const* programme;
    int location;
};

// ===================================================================================================
// [SECTION] Buffers
// ===================================================================================================

/// Drawable geometry of one primitive type (0 points, 1 lines, 4 triangles): CPU-side vertices
/// with one colour each (and one normal each for triangles), drawn with one glDrawArrays from
/// memory or from a vertex buffer object. Owns its arrays and its VBO.
class PTampon_GL
{
public:
    /// An empty buffer of the given primitive type, without a VBO.
    explicit PTampon_GL(int primitive);
    /// Deletes the VBO when it is live.
    ~PTampon_GL();
    PTampon_GL(PTampon_GL const&) = delete;
    PTampon_GL& operator=(PTampon_GL const&) = delete;

    /// A VBO was created and GL still knows its name.
    bool VBOActif() const;
    /// Creates the VBO with a usage hint (GL_STATIC_DRAW or GL_DYNAMIC_DRAW); uploads nothing.
    /// True at once when it is already live (the first hint is kept); false without VBO support
    /// or when no name can be generated.
    bool ActiveVBO(unsigned int usage);
    /// Binds the VBO; false (nothing bound) when there is none.
    bool Bind() const;
    /// Binds buffer 0 to the VBO's target.
    void UnBind() const;
    /// Deletes the live VBO and forgets it; false when there was none.
    bool DesactiveVBO();
    /// Empties the arrays (capacity kept), first deleting the VBO when asked.
    void Reinit(bool desactive_vbo);
    /// Rewrites the whole VBO store: vertices, colours, then normals, back to back. True when
    /// there is no usable VBO (nothing to do) and after an upload; false for an unsupported type.
    bool Transfert() const;

    /// Draws the whole buffer through the fixed-function client arrays (from the VBO when live).
    void Affichage() const;
    /// Draws with the shader attribute fed from the vertices.
    void Affichage(Attribute_GL const& vertex) const;
    /// Draws with the shader attributes fed from the vertices and the normals.
    void Affichage(Attribute_GL const& vertex, Attribute_GL const& normale) const;
    /// Draws with the shader attributes fed from the vertices and the colours.
    void Affichage3(Attribute_GL const& vertex, Attribute_GL const& couleur) const;
    /// Draws with the shader attributes fed from the vertices, normals and colours.
    void Affichage3(Attribute_GL const& vertex, Attribute_GL const& normale,
                    Attribute_GL const& couleur) const;

    /// A triangle with one normal per corner. Triangles buffer: the three corners, true; lines
    /// buffer: the three edges a-b, b-c, c-a, true; points buffer: the three corners, false.
    bool Ajout(PVertex_GL const& a, PVertex_GL const& b, PVertex_GL const& c, PVertex_GL const& na,
               PVertex_GL const& nb, PVertex_GL const& nc, PCouleur_GL const& couleur);
    /// A triangle with one normal for its three corners.
    bool Ajout(PVertex_GL const& a, PVertex_GL const& b, PVertex_GL const& c, PVertex_GL const& normale,
               PCouleur_GL const& couleur);
    /// A triangle with one normal for its three corners.
    bool Ajout(PVertice3_GL const& triangle, PVertex_GL const& normale, PCouleur_GL const& couleur);
    /// A triangle with its own unit normal (VecteurNormal).
    bool Ajout(PVertice3_GL const& triangle, PCouleur_GL const& couleur);
    /// A point: a point, a zero-length segment, or a degenerate triangle with normal (0, 0, -1).
    /// True for the three supported types.
    bool Ajout(PVertex_GL const& v, PCouleur_GL const& couleur);
    /// A segment: two points (false), a segment (true), or the degenerate triangle a, b, b with
    /// normal (0, 0, -1) (true).
    bool Ajout(PVertex_GL const& a, PVertex_GL const& b, PCouleur_GL const& couleur);
    /// A segment.
    bool Ajout(PVertice2_GL const& segment, PCouleur_GL const& couleur);

    /// The primitive type.
    int Primitive() const { return primitive; }
    /// Number of vertices (the count handed to glDrawArrays).
    unsigned int NombreVertices() const { return static_cast<unsigned int>(vertices.size()); }
    /// The positions.
    PTableau_GL<PVertex_GL> const& Vertices() const { return vertices; }
    /// One colour per vertex.
    PTableau_GL<PCouleur_GL> const& Couleurs() const { return couleurs; }
    /// One normal per vertex in a triangles buffer, empty otherwise.
    PTableau_GL<PVertex_GL> const& Normales() const { return normales; }
    /// Reserves room for the given number of vertices in every array, so that a buffer whose
    /// size is known beforehand is filled without reallocation.
    void Reserve(unsigned int nombre_vertices);
    /// Replaces the colour of vertex i (nothing for an index past the end); the VBO keeps the
    /// old colour until the next Transfert.
    void defCouleur(unsigned int i, PCouleur_GL const& couleur);
    /// The VBO's name, 0 when none.
    unsigned int IdVBO() const { return id_vbo; }
    /// The usage hint given to ActiveVBO, 0 when none.
    unsigned int UsageVBO() const { return usage_vbo; }

private:
    void AjoutSommet(PVertex_GL const& v, PCouleur_GL const& couleur);
    void AjoutSommet(PVertex_GL const& v, PVertex_GL const& normale, PCouleur_GL const& couleur);

    int primitive;
    bool vbo_actif;
    unsigned int id_vbo;
    unsigned int cible_vbo;
    unsigned int usage_vbo;
    PTableau_GL<PVertex_GL> vertices;
    PTableau_GL<PCouleur_GL> couleurs;
    PTableau_GL<PVertex_GL> normales;
};

/// One VBO holding a raw block of floats (GL_ARRAY_BUFFER, GL_STATIC_DRAW). The owner releases it
/// with Desactive: the destructor does not.
class PTamponF_GL
{
public:
    /// No buffer.
    PTamponF_GL() : id(0) {}
    PTamponF_GL(PTamponF_GL const&) = delete;
    PTamponF_GL& operator=(PTamponF_GL const&) = delete;

    /// VBOs are supported.
    bool ValideSupport() const;
    /// A buffer exists; with verifie, GL must also know it.
    bool Valide(bool verifie) const;
    /// Creates the buffer; false without support or when one already exists (it is kept).
    bool Active();
    /// Deletes the buffer; false when there was none.
    bool Desactive();
    /// Replaces the buffer by a new one; false without support.
    bool Reactive();
    /// Binds the buffer to GL_ARRAY_BUFFER; false when there is none.
    bool Bind() const;
    /// Binds 0 to GL_ARRAY_BUFFER.
    void UnBind() const;
    /// Replaces the whole store with taille bytes (not floats) read from donnees; false when
    /// there is no buffer.
    bool Transfert(float const* donnees, unsigned int taille) const;

    /// The GL name, 0 when none.
    unsigned int Id() const { return id; }

private:
    bool GenereNom();

    unsigned int id;
};

// ===================================================================================================
// [SECTION] Frame buffer
// ===================================================================================================

/// A 2D texture (core GL). Owns its name.
class PTexture_GL
{
public:
    /// Stores the filtering (linear or nearest) and wrapping (repeat or clamp to edge), then
    /// generates a name when a context is current (else 0).
    PTexture_GL(bool lineaire, bool repetition);
    /// Deletes the texture when it has a name.
    ~PTexture_GL();
    PTexture_GL(PTexture_GL const&) = delete;
    PTexture_GL& operator=(PTexture_GL const&) = delete;

    /// A name exists; with verifie, GL must also know it.
    bool Valide(bool verifie) const;
    /// Deletes the texture; false when there was none.
    bool Desactive();
    /// Replaces the texture by a new name; true when it is not 0.
    bool Reactive();
    /// Binds to GL_TEXTURE_2D; false when there is no name or GL does not know it.
    bool Bind() const;
    /// Binds 0 to GL_TEXTURE_2D.
    void UnBind() const;
    /// Sets the filters and wrapping of the bound 2D texture.
    bool TexParameter() const;
    /// Specifies level 0 from float pixels (null data only allocates): internal format RGBA or
    /// RGB by alpha, pixel order BGR(A) or RGB(A) by bgr. False when the texture cannot be bound.
    bool TexImage2D(unsigned int largeur, unsigned int hauteur, char const* donnees, bool alpha,
                    bool bgr) const;
    /// TexImage2D without alpha, RGB order.
    bool TexImage2D_RGB(unsigned int largeur, unsigned int hauteur, char const* donnees) const;
    /// TexImage2D with alpha, RGBA order.
    bool TexImage2D_RGBA(unsigned int largeur, unsigned int hauteur, char const* donnees) const;
    /// TexImage2D without alpha, BGR order.
    bool TexImage2D_BGR(unsigned int largeur, unsigned int hauteur, char const* donnees) const;
    /// TexImage2D with alpha, BGRA order.
    bool TexImage2D_BGRA(unsigned int largeur, unsigned int hauteur, char const* donnees) const;

    /// The GL name, 0 when none.
    unsigned int Nom() const { return nom; }

private:
    unsigned int nom;
    bool lineaire;
    bool repetition;
};

/// A 16-bit depth render buffer (through the loader). Owns its name.
class PRenderBuffer_GL
{
public:
    /// Generates a name when a context is current and frame buffers are supported, else 0.
    PRenderBuffer_GL();
    /// Deletes the render buffer when it has a name and frame buffers are supported.
    ~PRenderBuffer_GL();
    PRenderBuffer_GL(PRenderBuffer_GL const&) = delete;
    PRenderBuffer_GL& operator=(PRenderBuffer_GL const&) = delete;

    /// Frame buffers are supported and a name exists; with verifie, GL must also know it.
    bool Valide(bool verifie) const;
    /// Deletes the render buffer; false when there was none.
    bool Desactive();
    /// Replaces the render buffer by a new name; true when it is not 0.
    bool Reactive();
    /// Binds to GL_RENDERBUFFER; false when there is no valid name.
    bool Bind() const;
    /// Binds 0 to GL_RENDERBUFFER when frame buffers are supported.
    void UnBind() const;
    /// Allocates width x height 16-bit depth storage; false when it cannot be bound.
    bool Transfert(int largeur, int hauteur) const;

    /// The GL name, 0 when none.
    unsigned int Nom() const { return nom; }

private:
    unsigned int nom;
};

/// Off-screen rendering finished by a post-processing shader: a frame buffer object with a colour
/// texture and a depth render buffer, a screen-filling quad and the post program, whose inputs are
/// the attribute "Coords" and the uniforms "Texture", "Resolution", "BackgroundColor" and "Time".
class PFrameBuffer_GL
{
public:
    /// No GL object besides the texture, render buffer and program names.
    PFrameBuffer_GL();
    /// Desactive, then the members.
    ~PFrameBuffer_GL();
    PFrameBuffer_GL(PFrameBuffer_GL const&) = delete;
    PFrameBuffer_GL& operator=(PFrameBuffer_GL const&) = delete;

    /// Creates the frame buffer of the given size and the quad; false without frame-buffer support
    /// or when the frame buffer is incomplete (it is then deleted). Re-creates the texture and
    /// render buffer when a teardown released them.
    bool Gen(unsigned int largeur, unsigned int hauteur);
    /// Compiles and links the post-processing pair (either may be null) and looks its inputs up.
    /// Diagnostics go to the messages, headed "\nVertex:\n", "\nFragments:\n", "\nLinking:\n";
    /// a missing "Coords" or "Texture" adds a warning without failing. False before a Gen has
    /// succeeded, with two null sources, or on a compile or link failure.
    bool InitialisationShaders(char const* vertex, char const* pixel);
    /// The default vertex source: the quad corner c samples the texture at (c + 1) / 2.
    static char const* VShaderDefaut();
    /// The default pixel source: copies the texture unchanged.
    static char const* FShaderDefaut();

    /// Saves the current frame-buffer binding, then binds this one; false when there is none.
    bool Bind();
    /// Restores the saved binding, or binds the window's frame buffer when none was saved.
    void UnBind() const;
    /// Reads the current frame-buffer binding into the saved one; true when it is not 0.
    bool SauvegardeFrameBufferInitial();
    /// Binds the saved frame buffer; false (nothing bound) when it is 0.
    bool RestaureFrameBufferInitial() const;
    /// Resizes the colour texture (RGBA, no data) and the depth storage.
    bool defTailleEcran(unsigned int largeur, unsigned int hauteur);
    /// The colour given to the shader as "BackgroundColor" (red, green, blue).
    void defCouleurFond(PCouleur_GL const& couleur);
    /// Advances the clock by 0.04 when the shader has "Time", then, when valid, draws the frame to
    /// the saved frame buffer (or the window's) through the post program. False when not valid
    /// (this frame buffer then stays bound).
    bool Affichage();
    /// The bound frame buffer is complete, this one exists, is enabled and its program is linked.
    bool Valide() const;
    /// The post program has a name and is linked.
    bool ValideLiageShaders() const;
    /// Teardown: disabled; texture, render buffer, frame buffer object, quad and program deleted.
    void Desactive();
    /// Disabled and program deleted; the frame buffer stays.
    void DesactiveProgram();
    /// The program's DumpBinaire with tag 2.
    bool DumpShaderBinaire(std::string const& chemin) const;

    /// The diagnostics of the last InitialisationShaders.
    std::string const& Messages() const { return messages; }
    /// The linked shader has a "Time" uniform.
    bool TempsUtilise() const { return temps_utilise; }
    /// The "Time" clock.
    float Temps() const { return temps; }
    /// The colour texture.
    PTexture_GL const& Texture() const { return texture; }
    /// The post program.
    Program_GL const& Programme() const { return programme; }
    /// The frame buffer object's name, 0 when none.
    unsigned int Nom() const { return nom; }
    /// The saved frame-buffer binding.
    unsigned int FrameBufferInitial() const { return framebuffer_initial; }

private:
    void ReinitLocations();

    unsigned int framebuffer_initial;
    unsigned int nom;
    unsigned int nom_surface;
    PTexture_GL texture;
    PRenderBuffer_GL profondeur;
    bool desactive;
    unsigned int largeur;
    unsigned int hauteur;
    float temps;
    bool temps_utilise;
    PCouleur_GL couleur_fond;
    int location_texture;
    int location_couleur_fond;
    int location_temps;
    int location_resolution;
    int location_coords;
    Program_GL programme;
    std::string messages;
};

// ===================================================================================================
// [SECTION] Shader set
// ===================================================================================================

/// One GLSL program with the engine's inputs: uniforms "matModel", "matProjections", "matNormals"
/// (4 x 4) and "LightPos" (3-vector), attributes "Vertex" and "Normal" (3 floats). Draws a buffer
/// through the program, or through the fixed-function pipeline when the program is not usable.
class Shaders_GL
{
public:
    /// Empty set; no GL call.
    Shaders_GL();
    /// Releases the inputs and the program.
    ~Shaders_GL();
    Shaders_GL(Shaders_GL const&) = delete;
    Shaders_GL& operator=(Shaders_GL const&) = delete;

    /// The default vertex source: "Vertex" transformed by matProjections x matModel, the
    /// fixed-function colour passed through.
    static char const* VShaderDefaut();
    /// The default fragment source: the interpolated colour.
    static char const* FShaderDefaut();

    /// Rebuilds the program from the sources (null or empty ones are skipped) under the "C"
    /// numeric locale, then resets the locale to the environment's. The log receives the compile
    /// and link diagnostics ("\nVertex:\n", "\nFragments:\n", "\nLinking:\n" blocks) and the
    /// warnings for missing inputs. True only when it linked and every input was found.
    bool InitialisationShader(char const* vertex, char const* fragment);
    /// Looks the six inputs up in the linked program; true when none is missing.
    bool AssignationAttributsShaderModele();
    /// Releases the six inputs; true when all six were valid.
    bool DesactivationAttributsShadersModele();
    /// Switches the set off: inputs released and program deleted.
    void Desactive();
    /// Switches the set back on with empty program objects (the owner compiles again).
    void Reactive();
    /// Makes the program current and sets matModel and matProjections; true when both were set.
    bool Activation(PMatriceGL4 const& modele, PMatriceGL4 const& projections);
    /// The same plus matNormals.
    bool Activation(PMatriceGL4 const& modele, PMatriceGL4 const& projections, PMatriceGL4 const& normales);
    /// The same plus LightPos.
    bool Activation(PMatriceGL4 const& modele, PMatriceGL4 const& projections, PMatriceGL4 const& normales,
                    PVertex_GL const& lumiere);
    /// Draws the buffer through the program when it is usable and has "Vertex", otherwise through
    /// the fixed-function pipeline. Always true.
    bool Affichage(PTampon_GL const& tampon) const;
    /// The program's DumpBinaire with tag 1.
    bool DumpShaderBinaire(std::string const& chemin) const;

    /// The log of the last InitialisationShader.
    std::string const& Journal() const { return journal; }
    /// The set was switched off.
    bool EstDesactive() const { return desactive; }
    /// The program.
    Program_GL const& Programme() const { return programme; }
    /// Inputs, for inspection.
    Uniform_GL const& UniformModele() const { return uniform_modele; }
    Uniform_GL const& UniformProjections() const { return uniform_projections; }
    Uniform_GL const& UniformNormales() const { return uniform_normales; }
    Uniform_GL const& UniformLumiere() const { return uniform_lumiere; }
    Attribute_GL const& AttributSommet() const { return attribut_sommet; }
    Attribute_GL const& AttributNormale() const { return attribut_normale; }

private:
    bool Utilisable() const;

    bool desactive;
    Program_GL programme;
    Uniform_GL uniform_modele;
    Uniform_GL uniform_projections;
    Uniform_GL uniform_normales;
    Uniform_GL uniform_lumiere;
    Attribute_GL attribut_sommet;
    Attribute_GL attribut_normale;
    std::string journal;
};

// ===================================================================================================
// [SECTION] Engine core
// ===================================================================================================

/// The engine's parameters, a plain value record copied into the engine.
struct Params_GL
{
    /// Point size in pixels: overlay points are drawn at 1.5 times it, model vertices at 1 time.
    float taille_points;
    /// Line width in pixels: overlay lines are drawn at 1.5 times it.
    float epaisseur_lignes;
    /// Fixed-function lighting with light 0 around lit draws; the light follows the camera.
    bool eclairage_dynamique;
    /// Two-sided lighting: two-sided light model, colour material on front and back faces.
    bool eclairage_deux_faces;
    /// Orthographic projection instead of the frustum.
    bool projection_orthogonale;
    /// The GLSL shader sets are used.
    bool shaders_actifs;
    /// Frames are drawn off-screen and finished by the post-processing shader.
    bool post_traitement;
    /// Background colour, RGBA.
    PCouleur_GL couleur_fond;

    /// Fields in declaration order; the background is always (0.117, 0.145, 0.184, 1).
    Params_GL(float taille_points, float epaisseur_lignes, bool eclairage_dynamique,
              bool eclairage_deux_faces, bool projection_orthogonale, bool shaders_actifs,
              bool post_traitement);
};

/// The core of the rendering engine: parameters, display size, camera and its matrices, light 0,
/// background, the wire (0) and model (1) shader sets, the post-processing frame buffer (2) and the
/// three overlay buffers. Single-threaded, on the thread that owns the context. Construction issues
/// no GL call; everything else that draws needs the context current. Nothing throws or prints.
class Moteur_GL
{
public:
    /// Copies the parameters; camera at rest, identity matrices, empty shader sets and overlay.
    explicit Moteur_GL(Params_GL const& params);
    /// Switches the linked shader sets and the valid frame buffer off and releases the overlay's
    /// VBOs, through whatever context is current.
    virtual ~Moteur_GL();
    Moteur_GL(Moteur_GL const&) = delete;
    Moteur_GL& operator=(Moteur_GL const&) = delete;

    /// One-time set-up once a context is current and the loader ran: standing state, background,
    /// stencil clear value, the wire shader set (default sources) when shaders are on, the frame
    /// buffer at 256 x 256 when post-processing is on, and the lighting when it is dynamic.
    void InitialisationGL();
    /// Blending, smoothing hints, depth test (less or equal), polygon offsets, multisampling,
    /// counter-clockwise front faces.
    void ReinitEtatGL();
    /// glFlush then glFinish with true, glFinish alone with false.
    void SyncAffichage(bool flush) const;

    /// Sets the background and hands it to the frame buffer's post shader.
    void defCouleurFond(PCouleur_GL const& couleur);
    /// Back to the default background (0.117, 0.145, 0.184, 1).
    void ReinitCouleurFond();
    /// The colour of the top-left pixel of the bound frame buffer, read as floats; alpha 1.
    PCouleur_GL CouleurFondReel() const;
    /// Light 0 and the materials: the simple set-up (true) or the full one (false). Lighting is
    /// left disabled: each lit draw enables it around itself.
    void InitialisationEclairage(bool simple) const;
    /// Switches dynamic lighting; nothing when it already has that state.
    void defEclairageDynamique(bool actif);

    /// Rebuilds shader set 0, 1 or 2 from a vertex and a fragment source and returns its log
    /// (empty when all went well). Two null sources: the empty string, nothing rebuilt. A set that
    /// is switched off (0 and 1 without shaders, 2 without post-processing) or a number above 2:
    /// "(nil)", nothing rebuilt. Drawing is suspended during the rebuild.
    std::string const& InitialisationShaders(char const* vertex, char const* fragment, unsigned int numero);
    /// Switches the shader sets on or off. Without force: false when nothing changes; switching
    /// off tears the linked sets and the post program down. With force: only the flag changes.
    bool defEtatShaders(bool actif, bool force);
    /// Writes the binary of shader set 0, 1 or 2 to a file; false for another number or failure.
    bool DumpShaderBin(std::string const& chemin, unsigned int numero) const;

    /// Draws a buffer through the wire set (or the fixed-function pipeline); false during a rebuild.
    bool AffichageFilaire(PTampon_GL const& tampon) const;
    /// Draws a buffer through the model set (or the fixed-function pipeline); false during a rebuild.
    bool AffichageModele(PTampon_GL const& tampon) const;
    /// Draws the overlay's points, lines and triangles, each only when it holds a vertex.
    void AffichageDivers() const;
    /// Runs the post-processing pass when shaders and post-processing are on, the frame buffer was
    /// bound for this frame and is valid, no rebuild runs, and force is true or the post shader
    /// is animated. True when it ran.
    bool ExecShaderPost(bool force);
    /// Ends a frame: the forced post-processing pass, unless a rebuild runs.
    void FinAffichage();
    /// Empties the three overlay buffers, their storage kept.
    void VideDiv();

    // ---- [SECTION] Camera: projection, camera matrices, un-projection -------------------------

    /// Stores the display size, recomputes the projection and viewport and resizes the frame
    /// buffer when post-processing is on and it is valid.
    void defTailleAffichage(int largeur, int hauteur);
    /// Writes the projection for the size into m and sets the GL viewport: a frustum with the
    /// horizontal field of view (near 0.01, far 1000, left-handed), or in orthographic mode a
    /// centred square viewport on the larger side.
    void CalculeMatriceProjections(PMatriceGL4& m, int largeur, int hauteur) const;
    /// Orthographic (true) or frustum projection; applied at the next projection computation.
    void defTypeProjection(bool orthogonale);
    /// Horizontal field of view in degrees, set or added (relatif); used at the next
    /// defTailleAffichage.
    void defChampVue(float valeur, bool relatif);
    /// Uniform scale applied last to the camera, set or added (relatif).
    void defEchelleAffichage(float valeur, bool relatif);
    /// Camera angles about X, Y and Z in degrees.
    void defRotationCamera(PVertex_GL const& angles);
    void defRotationCameraX(float angle);
    void defRotationCameraY(float angle);
    void defRotationCameraZ(float angle);
    /// Lateral translation, set or added (relatif); sums formed in double.
    void defTranslationCamera(double x, double y, bool relatif);
    /// Advance along the viewing axis, set or added (relatif).
    void defAvanceCamera(double avance, bool relatif);
    /// X and Y: lateral translation; Z: the advance.
    PVertex_GL const& TranslationCamera() const { return translation_camera; }
    /// Model, camera and model-view matrices back to the identity (projection and normals kept).
    void IdentiteMatrices();
    /// Camera = S T Rx Ry Rz applied to the current camera matrix (rotations below 0.0001 degree
    /// skipped), model-view = model x camera, normals = transpose of the model-view's inverse.
    void CalcMatricesAffichage();
    /// Window point (origin top-left, y down; depth 0 near, 1 far) to model-view space; (0, 0, 0)
    /// when the matrices cannot be inverted.
    PVertex_GL DeProj(float x, float y, float z) const;
    /// Stores the point under the pointer; true when something was drawn there. False and nothing
    /// stored during a rebuild.
    bool CalcProjectionCurseur(int x, int y);
    /// The light position: the viewing axis at window depth -0.5.
    void CalcPositionLumiere();

    // ---- [SECTION] Overlay: frame start and per-frame marks -----------------------------------

    /// A point of the overlay.
    void AjoutSommetDiv(PVertex_GL const& v, PCouleur_GL const& couleur);
    /// A segment of the overlay.
    void AjoutLigneDiv(PVertice2_GL const& segment, PCouleur_GL const& couleur);
    /// A triangle of the overlay with one normal for its corners.
    void AjoutTriangleDiv(PVertice3_GL const& triangle, PVertex_GL const& normale,
                          PCouleur_GL const& couleur);
    /// The three origin axes, centred on the point opposite to the given one (display units).
    void GenOrigineDiv(PVertex_GL const& origine);
    /// Empties the overlay, then adds the origin axes of the model matrix when asked.
    void GenDivers(bool origine);
    /// Four segments showing the frame of m: its three axes and its diagonal.
    void GenMatriceDiv(PMatriceGL4 const& m);
    /// Starts a frame (nothing during a rebuild): frame buffer when post-processing applies and
    /// post allows it, clear, matrices, light, overlay (origin axes when asked), shader uniforms.
    void InitAffichage(bool origine, bool post);

    // ---- Read access ---------------------------------------------------------------------------

    Params_GL const& Params() const { return params; }
    bool ReinitEnCours() const { return reinit_en_cours; }
    bool FrameBufferLie() const { return framebuffer_lie; }
    int Largeur() const { return largeur; }
    int Hauteur() const { return hauteur; }
    float ChampVue() const { return champ_vue; }
    float EchelleAffichage() const { return echelle_affichage; }
    PVertex_GL const& RotationCamera() const { return rotation_camera; }
    PMatriceGL4 const& MatriceModele() const { return matrice_modele; }
    PMatriceGL4 const& MatriceCamera() const { return matrice_camera; }
    PMatriceGL4 const& MatriceProjections() const { return matrice_projections; }
    PMatriceGL4 const& MatriceAffichage() const { return matrice_affichage; }
    PMatriceGL4 const& MatriceNormales() const { return matrice_normales; }
    PVertex_GL const& PositionCurseur() const { return position_curseur; }
    PVertex_GL const& PositionLumiere() const { return position_lumiere; }
    Shaders_GL const& ShadersFilaire() const { return shaders_filaire; }
    Shaders_GL const& ShadersModele() const { return shaders_modele; }
    PFrameBuffer_GL const& FrameBuffer() const { return framebuffer; }
    PTampon_GL const& TamponPointsDiv() const { return tampon_points_div; }
    PTampon_GL const& TamponLignesDiv() const { return tampon_lignes_div; }
    PTampon_GL const& TamponTrianglesDiv() const { return tampon_triangles_div; }

protected:
    Params_GL params;
    /// True while buffers or a shader set are rewritten: drawing and the frame start do nothing.
    bool reinit_en_cours;
    bool framebuffer_lie;
    int largeur;
    int hauteur;
    float champ_vue;
    float echelle_affichage;
    Shaders_GL shaders_filaire;
    Shaders_GL shaders_modele;
    PFrameBuffer_GL framebuffer;
    PVertex_GL rotation_camera;
    PVertex_GL translation_camera;
    PMatriceGL4 matrice_modele;
    PMatriceGL4 matrice_camera;
    PMatriceGL4 matrice_projections;
    PMatriceGL4 matrice_affichage;
    PMatriceGL4 matrice_normales;
    PVertex_GL position_curseur;
    PVertex_GL position_lumiere;
    PTampon_GL tampon_points_div;
    PTampon_GL tampon_lignes_div;
    PTampon_GL tampon_triangles_div;
};

// ===================================================================================================
// [SECTION] Renderer
// ===================================================================================================

/// Construction record of the scene renderer.
struct Params_Zarvel_GL
{
    /// Opacity of the solid surfaces in percent, 0 to 100.
    float opacite_solide;
    /// Index into the RAL colour table; 0: no RAL colour.
    std::int32_t id_couleur_ral;
    /// Show the unfolded patterns instead of the model.
    bool affiche_developpes;
    /// Smooth shading: per-corner normals from the scene's vertices.
    bool lissage;
    /// Show the printer's build volume and place the model in it.
    bool imprimante_3d;
    /// Build volume sizes in scene units: along display x, along display z, along display y.
    float dimensions_imprimante[3];
    /// Display mode 0 to 3 (see Zarvel_GL::defAffichage).
    std::int32_t mode_affichage;
    PCouleur_GL couleur_sommets;        ///< vertices without a colour of their own
    PCouleur_GL couleur_segments;       ///< model edges
    PCouleur_GL couleur_imprimante;     ///< build volume lines
    PCouleur_GL couleur_point;          ///< highlighted vertex
    PCouleur_GL couleur_centre_segment; ///< midpoint of the highlighted segment
    PCouleur_GL couleur_centres;        ///< surface centres and the highlighted centre
    /// The prepared buffers get no VBO and are drawn from memory: for a scene drawn once, the
    /// upload would only copy it (false by default).
    bool sans_vbo;
    /// The vertex and surface-centre buffers stay empty: no display mode draws them, so a renderer
    /// that highlights no vertex or surface (a capture) needs neither (false by default).
    bool sans_sommets;
    /// 0 (default): the surfaces are prepared once into their buffer. Otherwise they are not
    /// prepared: the renderer keeps its copy of the scene, and each frame draws them in slices of
    /// at most this many triangles, a second thread filling one slice while the other is drawn.
    /// The picture is the same; for a scene drawn once (a capture) the surfaces' vertices never
    /// fill memory.
    std::uint32_t triangles_par_tranche;

    /// Opacity, RAL index and unfolded patterns; every other field at its default.
    Params_Zarvel_GL(float opacite, int id_couleur, bool developpes);
    /// Switches the build volume and sets its three sizes.
    void defImprimante3D(bool actif, float d1, float d2, float d3);
};

/// What the renderer draws; set by the display mode, except the build volume and the marker.
struct PAffichages_GL
{
    bool affiche_origine = true;
    bool affiche_surfaces_filaire = false;
    bool affiche_modele = true;
    bool affiche_surfaces = true;
    bool affiche_filaire = true;
    bool affiche_projections = true;
    bool affiche_developpes = false;
    bool affiche_sommets = false;
    bool affiche_imprimante = false;
    bool affiche_repere = false;
};

/// The scene point that the last preparation moved to the display origin (double precision).
struct PCentre_GL
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

/// The engine specialised for the conversion library's scenes: nine buffers holding one prepared
/// scene, display modes, scene colours (RAL or false colour of the normals), highlights, a
/// two-point measuring marker and a printer's build volume. Needs a current context from
/// construction to destruction.
class Zarvel_GL : public Moteur_GL
{
public:
    /// The engine from params_gl, a copy of params, empty buffers; then the RAL index and the
    /// display mode of params are applied.
    Zarvel_GL(Params_GL const& params_gl, Params_Zarvel_GL const& params);
    /// Releases the nine buffers' VBOs, then the buffers and the engine.
    ~Zarvel_GL() override;

    /// Moteur_GL::InitialisationGL.
    void InitialisationAffichage();
    /// Moteur_GL::ReinitEtatGL.
    void InitialisationEtatAffichage();
    /// Empties the nine buffers (VBOs released) and the overlay.
    void VideScene();

    /// Build volume switch and sizes; shown from the next preparation.
    void defImprimante3D(bool actif, float d1, float d2, float d3);
    /// Smooth shading; applied at the next preparation.
    void defEtatLissage(bool lissage);
    /// Surface opacity in percent, clamped to 0..100; rewrites the prepared surfaces' alpha.
    void defOpaciteSolide(int pourcent);
    /// RAL index (0: none); recolours every prepared surface vertex (RAL colour, or the false
    /// colour of its normal without one).
    void defIdCouleurScene(unsigned int id);
    /// Display mode 0 (everything, with the origin), 1 (solids and edges), 2 (triangles as
    /// wires), 3 (edges, texts and projections); another value changes nothing but the stored
    /// mode. With the unfolded patterns shown, every switch is cleared.
    void defAffichage(int mode);
    /// Uploads again the selected buffers that have a VBO: 1 vertices, 2 edges, 4 surfaces.
    void MiseaJourVBO(unsigned int masque);
    /// The six scene colours, in the order of Params_Zarvel_GL.
    void defCouleursScene(PCouleur_GL const& sommets, PCouleur_GL const& segments,
                          PCouleur_GL const& imprimante, PCouleur_GL const& point,
                          PCouleur_GL const& centre_segment, PCouleur_GL const& centres);
    /// With a RAL index: c takes its colour (alpha 1), true. Without: c unchanged, false.
    bool SelectionCouleur(PCouleur_GL& c) const;
    /// The RAL colour, or without one the false colour 1.5 |n| per component (alpha kept).
    void SelectionCouleur(PCouleur_GL& c, PVertex_GL const& normale) const;

    /// Marker: nouveau restarts it at v; otherwise the segment moves to (last point, v).
    void defSommetRepere(PVertex_GL const& v, bool nouveau);
    /// Hides the marker; its points are kept.
    void SupprimeSommetRepere();
    /// Highlighted vertex, segment and surface (entries of the prepared buffers); -1: none.
    void AffichagePoint(int id);
    void AffichageCentreSegment(int id);
    void AffichageCentreSurface(int id);

    /// Group drawing, each with its own GL state.
    void AfficheSurfaces(bool filaire) const;
    void AfficheFilaire() const;
    void AfficheDivers() const;
    void AfficheProjections() const;
    void AfficheTextes() const;
    void AfficheDeveloppes() const;
    void AfficheImprimante() const;
    void AfficheSommets() const;
    /// One frame: frame start, highlights, marker, the groups of the display mode, overlay and
    /// post-processing. Nothing during a rebuild.
    void AfficheScene();

    // ---- [SECTION] Preparation ------------------------------------------------------------------

    /// Prepares a scene with drawing suspended: PrepareScenePriv(scene, false, lissage).
    void PrepareScene(Zarvel3D::PScene3D const* scene);
    /// Fills the nine buffers from a copy of the scene taken under its lock: centre and scale (or
    /// the build volume's placement), surfaces with centres and normals, edges, projections,
    /// miscellaneous elements, texts, vertices, the build volume; or the unfolded patterns alone.
    /// couleurs_propres lets edges and vertices keep their own colours; lissage takes the
    /// corners' normals from the scene's vertices. A null scene leaves everything empty.
    void PrepareScenePriv(Zarvel3D::PScene3D const* scene, bool couleurs_propres, bool lissage);

    // ---- Read access ---------------------------------------------------------------------------

    Params_Zarvel_GL const& ParamsScene() const { return params_scene; }
    PAffichages_GL const& Affichages() const { return affichages; }
    float EchelleScene() const { return echelle_scene; }
    PCentre_GL const& CentreScene() const { return centre_scene; }
    unsigned int IdRal() const { return id_ral; }
    PTampon_GL const& TamponSommets() const { return tampon_sommets; }
    PTampon_GL const& TamponFilaire() const { return tampon_filaire; }
    PTampon_GL const& TamponImprimante() const { return tampon_imprimante; }
    PTampon_GL const& TamponProjections() const { return tampon_projections; }
    PTampon_GL const& TamponDivers() const { return tampon_divers; }
    PTampon_GL const& TamponTextes() const { return tampon_textes; }
    PTampon_GL const& TamponDeveloppes() const { return tampon_developpes; }
    PTampon_GL const& TamponSurfaces() const { return tampon_surfaces; }
    PTampon_GL const& TamponCentres() const { return tampon_centres; }

private:
    void AjoutSurlignages();
    void AfficheLignes(PTampon_GL const& tampon, float facteur_epaisseur, bool melange) const;
    void PrepareDeveloppes(Zarvel3D::PScene3D const& scene);
    void PrepareModele(Zarvel3D::PScene3D const& scene, bool couleurs_propres, bool lissage);
    void PrepareListes(Zarvel3D::PScene3D const& scene);
    void PrepareImprimante();
    void AfficheSurfacesParTranches() const;

    Params_Zarvel_GL params_scene;
    float echelle_scene;
    PCentre_GL centre_scene;
    unsigned int id_ral;
    int id_point;
    int id_segment;
    int id_surface;
    PAffichages_GL affichages;
    PVertex_GL repere_origine;
    PVertex_GL repere_precedent;
    PVertex_GL repere_courant;
    PTampon_GL tampon_sommets;
    PTampon_GL tampon_filaire;
    PTampon_GL tampon_imprimante;
    PTampon_GL tampon_projections;
    PTampon_GL tampon_divers;
    PTampon_GL tampon_textes;
    PTampon_GL tampon_developpes;
    PTampon_GL tampon_surfaces;
    PTampon_GL tampon_centres;
    /// The scene whose surfaces are drawn by slices, and the two slices, one filled while the
    /// other is drawn (see Params_Zarvel_GL::triangles_par_tranche).
    std::unique_ptr<Zarvel3D::PScene3D const> scene_tranches;
    bool lissage_tranches;
    mutable PTampon_GL tampons_tranches[2];
};

} // namespace PGL

/// Reads one pending GL error; true when there was one.
bool ControleErreursGL();
