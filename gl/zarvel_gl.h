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
//   (the engine core, camera, overlay, renderer and scene preparation follow the shader set)
//
// Conventions shared by every section:
//   - angles are in degrees, matrices are 16 floats in column-major order (element 4 x column + row);
//   - GL object wrappers own one GL name, 0 meaning none; they can be built and destroyed without
//     a context, delete only a non-zero name and cannot be copied;
//   - failures are reported by bool or int results and by text logs; nothing throws or prints;
//   - every GL entry point beyond OpenGL 1.1 and buffer objects goes through the null-safe wrappers
//     of Extensions_GL, so a context without a capability falls back instead of failing.

#include <GL/gl.h>

#include <string>
#include <vector>

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

// ===================================================================================================
// [SECTION] Loader
// ===================================================================================================

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

typedef unsigned int (*PFN_glCreateShader)(unsigned int);
typedef void (*PFN_glDeleteShader)(unsigned int);
typedef void (*PFN_glShaderSource)(unsigned int, int, char const* const*, int const*);
typedef void (*PFN_glCompileShader)(unsigned int);
typedef void (*PFN_glGetShaderiv)(unsigned int, unsigned int, int*);
typedef void (*PFN_glGetShaderInfoLog)(unsigned int, int, int*, char*);
typedef unsigned int (*PFN_glCreateProgram)();
typedef void (*PFN_glDeleteProgram)(unsigned int);
typedef void (*PFN_glLinkProgram)(unsigned int);
typedef void (*PFN_glProgramParameteri)(unsigned int, unsigned int, int);
typedef void (*PFN_glValidateProgram)(unsigned int);
typedef void (*PFN_glAttachShader)(unsigned int, unsigned int);
typedef void (*PFN_glDetachShader)(unsigned int, unsigned int);
typedef void (*PFN_glGetProgramiv)(unsigned int, unsigned int, int*);
typedef void (*PFN_glGetProgramInfoLog)(unsigned int, int, int*, char*);
typedef void (*PFN_glGetProgramBinary)(unsigned int, int, int*, unsigned int*, void*);
typedef void (*PFN_glProgramBinary)(unsigned int, unsigned int, void const*, int);
typedef void (*PFN_glUseProgram)(unsigned int);
typedef unsigned char (*PFN_glIsShader)(unsigned int);
typedef unsigned char (*PFN_glIsProgram)(unsigned int);
typedef int (*PFN_glGetUniformLocation)(unsigned int, char const*);
typedef void (*PFN_glUniformMatrix4fv)(int, int, unsigned char, float const*);
typedef void (*PFN_glUniform2f)(int, float, float);
typedef void (*PFN_glUniform3f)(int, float, float, float);
typedef void (*PFN_glUniform1i)(int, int);
typedef void (*PFN_glUniform1f)(int, float);
typedef int (*PFN_glGetAttribLocation)(int, char const*);
typedef void (*PFN_glEnableVertexAttribArray)(int);
typedef void (*PFN_glVertexAttribPointer)(unsigned int, int, unsigned int, unsigned char, int, void const*);
typedef void (*PFN_glDisableVertexAttribArray)(unsigned int);
typedef void (*PFN_glBindVertexArray)(unsigned int);
typedef void (*PFN_glDeleteVertexArrays)(int, unsigned int const*);
typedef void (*PFN_glGenVertexArrays)(int, unsigned int*);
typedef unsigned char (*PFN_glIsVertexArray)(unsigned int);
typedef unsigned char (*PFN_glIsRenderbuffer)(unsigned int);
typedef void (*PFN_glBindRenderbuffer)(unsigned int, unsigned int);
typedef void (*PFN_glDeleteRenderbuffers)(int, unsigned int const*);
typedef void (*PFN_glGenRenderbuffers)(int, unsigned int*);
typedef void (*PFN_glRenderbufferStorage)(unsigned int, unsigned int, int, int);
typedef void (*PFN_glGetRenderbufferParameteriv)(unsigned int, unsigned int, int*);
typedef unsigned char (*PFN_glIsFramebuffer)(unsigned int);
typedef void (*PFN_glBindFramebuffer)(unsigned int, unsigned int);
typedef void (*PFN_glDeleteFramebuffers)(int, unsigned int const*);
typedef void (*PFN_glGenFramebuffers)(int, unsigned int*);
typedef unsigned int (*PFN_glCheckFramebufferStatus)(unsigned int);
typedef void (*PFN_glFramebufferTexture1D)(unsigned int, unsigned int, unsigned int, unsigned int, int);
typedef void (*PFN_glFramebufferTexture2D)(unsigned int, unsigned int, unsigned int, unsigned int, int);
typedef void (*PFN_glFramebufferTexture3D)(unsigned int, unsigned int, unsigned int, unsigned int, int, int);
typedef void (*PFN_glFramebufferRenderbuffer)(unsigned int, unsigned int, unsigned int, unsigned int);
typedef void (*PFN_glGetFramebufferAttachmentParameteriv)(unsigned int, unsigned int, unsigned int, int*);
typedef void (*PFN_glGenerateMipmap)(unsigned int);

/// One pointer per loaded function, null until Init resolves it.
extern PFN_glCreateShader _glCreateShader;
extern PFN_glDeleteShader _glDeleteShader;
extern PFN_glShaderSource _glShaderSource;
extern PFN_glCompileShader _glCompileShader;
extern PFN_glGetShaderiv _glGetShaderiv;
extern PFN_glGetShaderInfoLog _glGetShaderInfoLog;
extern PFN_glCreateProgram _glCreateProgram;
extern PFN_glDeleteProgram _glDeleteProgram;
extern PFN_glLinkProgram _glLinkProgram;
extern PFN_glProgramParameteri _glProgramParameteri;
extern PFN_glValidateProgram _glValidateProgram;
extern PFN_glAttachShader _glAttachShader;
extern PFN_glDetachShader _glDetachShader;
extern PFN_glGetProgramiv _glGetProgramiv;
extern PFN_glGetProgramInfoLog _glGetProgramInfoLog;
extern PFN_glGetProgramBinary _glGetProgramBinary;
extern PFN_glProgramBinary _glProgramBinary;
extern PFN_glUseProgram _glUseProgram;
extern PFN_glIsShader _glIsShader;
extern PFN_glIsProgram _glIsProgram;
extern PFN_glGetUniformLocation _glGetUniformLocation;
extern PFN_glUniformMatrix4fv _glUniformMatrix4fv;
extern PFN_glUniform2f _glUniform2f;
extern PFN_glUniform3f _glUniform3f;
extern PFN_glUniform1i _glUniform1i;
extern PFN_glUniform1f _glUniform1f;
extern PFN_glGetAttribLocation _glGetAttribLocation;
extern PFN_glEnableVertexAttribArray _glEnableVertexAttribArray;
extern PFN_glVertexAttribPointer _glVertexAttribPointer;
extern PFN_glDisableVertexAttribArray _glDisableVertexAttribArray;
extern PFN_glBindVertexArray _glBindVertexArrayARB;
extern PFN_glDeleteVertexArrays _glDeleteVertexArraysARB;
extern PFN_glGenVertexArrays _glGenVertexArraysARB;
extern PFN_glIsVertexArray _glIsVertexArrayARB;
extern PFN_glIsRenderbuffer _glIsRenderbuffer;
extern PFN_glBindRenderbuffer _glBindRenderbuffer;
extern PFN_glDeleteRenderbuffers _glDeleteRenderbuffers;
extern PFN_glGenRenderbuffers _glGenRenderbuffers;
extern PFN_glRenderbufferStorage _glRenderbufferStorage;
extern PFN_glGetRenderbufferParameteriv _glGetRenderbufferParameteriv;
extern PFN_glIsFramebuffer _glIsFramebuffer;
extern PFN_glBindFramebuffer _glBindFramebuffer;
extern PFN_glDeleteFramebuffers _glDeleteFramebuffers;
extern PFN_glGenFramebuffers _glGenFramebuffers;
extern PFN_glCheckFramebufferStatus _glCheckFramebufferStatus;
extern PFN_glFramebufferTexture1D _glFramebufferTexture1D;
extern PFN_glFramebufferTexture2D _glFramebufferTexture2D;
extern PFN_glFramebufferTexture3D _glFramebufferTexture3D;
extern PFN_glFramebufferRenderbuffer _glFramebufferRenderbuffer;
extern PFN_glGetFramebufferAttachmentParameteriv _glGetFramebufferAttachmentParameteriv;
extern PFN_glGenerateMipmap _glGenerateMipmap;
} // namespace Extensions_GL_priv

/// Run-time loading of the programmable-pipeline entry points and the capability queries that
/// choose between a GL path and its fallback. Single-threaded, on the context's thread.
namespace Extensions_GL
{
/// Address of a GL function by exact name, null when the platform does not have it. The only
/// place that knows how addresses are obtained (GLX here).
typedef void (*Fonction_GL)();
Fonction_GL getProcAdress(char const* nom);

/// True when the name is in the current context's extension string (false without a context).
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

/// Stores the four group flags and loads the functions of the groups found (30 for shaders,
/// 4 for vertex arrays, 17 for frame buffers). Needs a current context; runs once: later calls
/// return true. Returns true when at least one function was expected and all were found.
bool Init();

// Null-safe wrappers, one per function. Before Init, or when the function was not found, they
// call nothing and return 0, -1 (locations) or false; outputs are left as the caller set them,
// except glGetProgramBinary, which writes 0 to the length.
unsigned int glCreateShader(unsigned int type);
void glDeleteShader(unsigned int shader);
void glShaderSource(unsigned int shader, int nombre, char const* const* textes, int const* longueurs);
void glCompileShader(unsigned int shader);
void glGetShaderiv(unsigned int shader, unsigned int parametre, int* valeur);
void glGetShaderInfoLog(unsigned int shader, int taille, int* longueur, char* texte);
unsigned int glCreateProgram();
void glDeleteProgram(unsigned int programme);
void glLinkProgram(unsigned int programme);
void glProgramParameteri(unsigned int programme, unsigned int parametre, int valeur);
void glValidateProgram(unsigned int programme);
void glAttachShader(unsigned int programme, unsigned int shader);
void glDetachShader(unsigned int programme, unsigned int shader);
void glGetProgramiv(unsigned int programme, unsigned int parametre, int* valeur);
void glGetProgramInfoLog(unsigned int programme, int taille, int* longueur, char* texte);
void glGetProgramBinary(unsigned int programme, int taille, int* longueur, unsigned int* format,
                        void* binaire);
void glProgramBinary(unsigned int programme, unsigned int format, void const* binaire, int longueur);
void glUseProgram(unsigned int programme);
bool glIsShader(unsigned int shader);
bool glIsProgram(unsigned int programme);
int glGetUniformLocation(unsigned int programme, char const* nom);
void glUniformMatrix4fv(int location, int nombre, unsigned char transpose, float const* valeurs);
void glUniform2f(int location, float x, float y);
void glUniform3f(int location, float x, float y, float z);
void glUniform1i(int location, int valeur);
void glUniform1f(int location, float valeur);
int glGetAttribLocation(int programme, char const* nom);
void glEnableVertexAttribArray(int index);
void glVertexAttribPointer(unsigned int index, int taille, unsigned int type, unsigned char normalise,
                           int pas, void const* donnees);
void glDisableVertexAttribArray(unsigned int index);
void glBindVertexArray(unsigned int tableau);
void glDeleteVertexArrays(int nombre, unsigned int const* tableaux);
void glGenVertexArrays(int nombre, unsigned int* tableaux);
bool glIsVertexArray(unsigned int tableau);
bool glIsRenderbuffer(unsigned int tampon);
void glBindRenderbuffer(unsigned int cible, unsigned int tampon);
void glDeleteRenderbuffers(int nombre, unsigned int const* tampons);
void glGenRenderbuffers(int nombre, unsigned int* tampons);
void glRenderbufferStorage(unsigned int cible, unsigned int format, int largeur, int hauteur);
void glGetRenderbufferParameteriv(unsigned int cible, unsigned int parametre, int* valeur);
bool glIsFramebuffer(unsigned int tampon);
void glBindFramebuffer(unsigned int cible, unsigned int tampon);
void glDeleteFramebuffers(int nombre, unsigned int const* tampons);
void glGenFramebuffers(int nombre, unsigned int* tampons);
unsigned int glCheckFramebufferStatus(unsigned int cible);
void glFramebufferTexture1D(unsigned int cible, unsigned int attache, unsigned int type_texture,
                            unsigned int texture, int niveau);
void glFramebufferTexture2D(unsigned int cible, unsigned int attache, unsigned int type_texture,
                            unsigned int texture, int niveau);
void glFramebufferTexture3D(unsigned int cible, unsigned int attache, unsigned int type_texture,
                            unsigned int texture, int niveau, int couche);
void glFramebufferRenderbuffer(unsigned int cible, unsigned int attache, unsigned int cible_tampon,
                               unsigned int tampon);
void glGetFramebufferAttachmentParameteriv(unsigned int cible, unsigned int attache, unsigned int parametre,
                                           int* valeur);
void glGenerateMipmap(unsigned int cible);

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
    /// Stores the stage; creates the shader object when shaders are supported, else name 0.
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
    /// Builds both stages and, when shaders are supported, the program object (else name 0).
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
    /// and deleted, not linked. False when there was no program object.
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
    bool Activation(std::vector<PVertex_GL> const& sommets) const;
    /// Enables the attribute on the colours (4 floats each); false when not valid.
    bool Activation(std::vector<PCouleur_GL> const& couleurs) const;
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
    std::vector<PVertex_GL> const& Vertices() const { return vertices; }
    /// One colour per vertex.
    std::vector<PCouleur_GL> const& Couleurs() const { return couleurs; }
    /// One normal per vertex in a triangles buffer, empty otherwise.
    std::vector<PVertex_GL> const& Normales() const { return normales; }
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
    std::vector<PVertex_GL> vertices;
    std::vector<PCouleur_GL> couleurs;
    std::vector<PVertex_GL> normales;
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
    /// generates a name.
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
    /// Generates a name when frame buffers are supported, else 0.
    PRenderBuffer_GL();
    /// Deletes the render buffer when frame buffers are supported.
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

} // namespace PGL

/// Reads one pending GL error; true when there was one.
bool ControleErreursGL();
