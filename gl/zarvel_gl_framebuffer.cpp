#include "zarvel_gl.h"

namespace PGL
{

namespace GL = Extensions_GL;

namespace
{

constexpr unsigned int CibleFrameBuffer = 0x8D40;
constexpr unsigned int CibleRenderBuffer = 0x8D41;
constexpr unsigned int AttacheCouleur0 = 0x8CE0;
constexpr unsigned int AttacheProfondeur = 0x8D00;
constexpr unsigned int FrameBufferComplet = 0x8CD5;
constexpr unsigned int LiaisonFrameBuffer = 0x8CA6;
constexpr unsigned int Profondeur16 = 0x81A5;
constexpr unsigned int CibleTableau = 0x8892;
constexpr unsigned int UsageStatique = 0x88E4;

char const* const VertexPostDefaut = "attribute vec2 Coords;\n"
                                     "//uniform sampler2D Texture;\n"
                                     "varying vec2 f_texcoord;\n"
                                     "\n"
                                     "void main(void)\n"
                                     "{\n"
                                     "    gl_Position = vec4(Coords, 0.0, 1.0);\n"
                                     "    f_texcoord = (Coords + 1.0) * 0.5;\n"
                                     "}\n";

char const* const PixelPostDefaut = "uniform sampler2D Texture;\n"
                                    "//uniform vec2 Resolution;\n"
                                    "//uniform vec3 BackgroundColor;\n"
                                    "//uniform float Time;\n"
                                    "varying vec2 f_texcoord;\n"
                                    "\n"
                                    "void main(void)\n"
                                    "{\n"
                                    "    gl_FragColor = texture2D(Texture, f_texcoord);\n"
                                    "}\n";

} // namespace

// ---- PTexture_GL -------------------------------------------------------------------------------

PTexture_GL::PTexture_GL(bool filtrage_lineaire, bool repete)
    : nom(0), lineaire(filtrage_lineaire), repetition(repete)
{
    // Without a context the name stays 0; Reactive (which Gen calls) creates it later.
    if (GL::ContexteCourant()) glGenTextures(1, &nom);
}

PTexture_GL::~PTexture_GL()
{
    if (nom != 0) glDeleteTextures(1, &nom);
}

bool PTexture_GL::Valide(bool verifie) const
{
    if (nom == 0) return false;
    return verifie ? glIsTexture(nom) == GL_TRUE : true;
}

bool PTexture_GL::Desactive()
{
    if (!Valide(false)) return false;
    glDeleteTextures(1, &nom);
    nom = 0;
    return true;
}

bool PTexture_GL::Reactive()
{
    if (nom != 0) Desactive();
    glGenTextures(1, &nom);
    return nom != 0;
}

bool PTexture_GL::Bind() const
{
    if (!Valide(false)) return false;
    glBindTexture(GL_TEXTURE_2D, nom);
    return glIsTexture(nom) == GL_TRUE;
}

void PTexture_GL::UnBind() const
{
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool PTexture_GL::TexParameter() const
{
    const GLint filtre = lineaire ? GL_LINEAR : GL_NEAREST;
    const GLint enveloppe = repetition ? GL_REPEAT : 0x812F; // GL_CLAMP_TO_EDGE
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtre);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filtre);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, enveloppe);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, enveloppe);
    return true;
}

bool PTexture_GL::TexImage2D(unsigned int largeur, unsigned int hauteur, char const* donnees, bool alpha,
                             bool bgr) const
{
    if (!Bind()) return false;
    const GLint format_interne = alpha ? GL_RGBA : GL_RGB;
    GLenum format_pixels;
    if (alpha)
        format_pixels = bgr ? 0x80E1 : GL_RGBA; // GL_BGRA
    else
        format_pixels = bgr ? 0x80E0 : GL_RGB; // GL_BGR
    glTexImage2D(GL_TEXTURE_2D, 0, format_interne, static_cast<GLsizei>(largeur),
                 static_cast<GLsizei>(hauteur), 0, format_pixels, GL_FLOAT, donnees);
    TexParameter();
    UnBind();
    return true;
}

bool PTexture_GL::TexImage2D_RGB(unsigned int largeur, unsigned int hauteur, char const* donnees) const
{
    return TexImage2D(largeur, hauteur, donnees, false, false);
}

bool PTexture_GL::TexImage2D_RGBA(unsigned int largeur, unsigned int hauteur, char const* donnees) const
{
    return TexImage2D(largeur, hauteur, donnees, true, false);
}

bool PTexture_GL::TexImage2D_BGR(unsigned int largeur, unsigned int hauteur, char const* donnees) const
{
    return TexImage2D(largeur, hauteur, donnees, false, true);
}

bool PTexture_GL::TexImage2D_BGRA(unsigned int largeur, unsigned int hauteur, char const* donnees) const
{
    return TexImage2D(largeur, hauteur, donnees, true, true);
}

// ---- PRenderBuffer_GL --------------------------------------------------------------------------

PRenderBuffer_GL::PRenderBuffer_GL() : nom(0)
{
    // The context is tested first: before Init, SupportFBO would read the extension string.
    if (GL::ContexteCourant() && GL::SupportFBO()) GL::glGenRenderbuffers(1, &nom);
}

PRenderBuffer_GL::~PRenderBuffer_GL()
{
    if (nom != 0 && GL::SupportFBO()) GL::glDeleteRenderbuffers(1, &nom);
}

bool PRenderBuffer_GL::Valide(bool verifie) const
{
    if (!GL::SupportFBO() || nom == 0) return false;
    return verifie ? GL::glIsRenderbuffer(nom) : true;
}

bool PRenderBuffer_GL::Desactive()
{
    if (!Valide(false)) return false;
    GL::glDeleteRenderbuffers(1, &nom);
    nom = 0;
    return true;
}

bool PRenderBuffer_GL::Reactive()
{
    if (nom != 0) Desactive();
    GL::glGenRenderbuffers(1, &nom);
    return nom != 0;
}

bool PRenderBuffer_GL::Bind() const
{
    if (!Valide(false)) return false;
    GL::glBindRenderbuffer(CibleRenderBuffer, nom);
    return GL::glIsRenderbuffer(nom);
}

void PRenderBuffer_GL::UnBind() const
{
    if (GL::SupportFBO()) GL::glBindRenderbuffer(CibleRenderBuffer, 0);
}

bool PRenderBuffer_GL::Transfert(int largeur, int hauteur) const
{
    if (!Bind()) return false;
    GL::glRenderbufferStorage(CibleRenderBuffer, Profondeur16, largeur, hauteur);
    UnBind();
    return true;
}

// ---- PFrameBuffer_GL ---------------------------------------------------------------------------

PFrameBuffer_GL::PFrameBuffer_GL()
    : framebuffer_initial(0), nom(0), nom_surface(0), texture(true, false), desactive(false), largeur(0),
      hauteur(0), temps(0.0f), temps_utilise(false), couleur_fond(0.117f, 0.145f, 0.176f, 1.0f),
      location_texture(0), location_couleur_fond(0), location_temps(0), location_resolution(0),
      location_coords(0)
{
}

PFrameBuffer_GL::~PFrameBuffer_GL()
{
    Desactive();
}

bool PFrameBuffer_GL::Gen(unsigned int largeur_ecran, unsigned int hauteur_ecran)
{
    if (!GL::SupportFBO()) return false;
    // After a teardown the attachments are gone: create them anew, and never leak the objects of
    // an earlier generation.
    if (texture.Nom() == 0) texture.Reactive();
    if (profondeur.Nom() == 0) profondeur.Reactive();
    if (nom != 0)
    {
        GL::glDeleteFramebuffers(1, &nom);
        nom = 0;
    }
    if (nom_surface != 0)
    {
        GL::glDeleteBuffers(1, &nom_surface);
        nom_surface = 0;
    }

    largeur = largeur_ecran;
    hauteur = hauteur_ecran;
    temps = 0.0f;
    texture.TexImage2D_RGBA(largeur, hauteur, nullptr);
    profondeur.Transfert(static_cast<int>(largeur), static_cast<int>(hauteur));

    GL::glGenFramebuffers(1, &nom);
    GL::glBindFramebuffer(CibleFrameBuffer, nom);
    GL::glFramebufferTexture2D(CibleFrameBuffer, AttacheCouleur0, GL_TEXTURE_2D, texture.Nom(), 0);
    GL::glFramebufferRenderbuffer(CibleFrameBuffer, AttacheProfondeur, CibleRenderBuffer, profondeur.Nom());
    if (GL::glCheckFramebufferStatus(CibleFrameBuffer) != FrameBufferComplet)
    {
        // Deleting the bound frame buffer returns the binding to the window's.
        GL::glDeleteFramebuffers(1, &nom);
        nom = 0;
        return false;
    }

    static const float surface_vertices[8] = {-1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f};
    GL::glGenBuffers(1, &nom_surface);
    GL::glBindBuffer(CibleTableau, nom_surface);
    GL::glBufferData(CibleTableau, sizeof(surface_vertices), surface_vertices, UsageStatique);
    GL::glBindBuffer(CibleTableau, 0);
    GL::glBindFramebuffer(CibleFrameBuffer, 0);
    desactive = false;
    return true;
}

void PFrameBuffer_GL::ReinitLocations()
{
    location_texture = 0;
    location_couleur_fond = 0;
    location_temps = 0;
    location_resolution = 0;
    location_coords = 0;
    temps_utilise = false;
    GL::glBindFramebuffer(CibleFrameBuffer, 0);
}

bool PFrameBuffer_GL::InitialisationShaders(char const* vertex, char const* pixel)
{
    messages.clear();
    if (nom_surface == 0) return false;
    // A program torn down by an earlier failure or by DesactiveProgram gets new objects, so the
    // post-processing can be rebuilt.
    if (programme.Nom() == 0 && GL::SupportShaders()) programme.Reactive();
    GL::glBindFramebuffer(CibleFrameBuffer, nom);
    if (!vertex && !pixel)
    {
        ReinitLocations();
        return false;
    }

    const bool vertex_compile = vertex ? programme.AjoutVertexShader(vertex) : true;
    const bool pixel_compile = pixel ? programme.AjoutPixelShader(pixel) : true;
    if (!vertex_compile || !pixel_compile)
    {
        std::string const& journal_vertex = programme.VertexShader().Journal();
        std::string const& journal_pixel = programme.PixelShader().Journal();
        if (!vertex_compile && journal_vertex.size() > 1) messages += "\nVertex:\n" + journal_vertex + "\n";
        if (!pixel_compile && journal_pixel.size() > 1) messages += "\nFragments:\n" + journal_pixel + "\n";
        if (programme.Nom() != 0 && programme.Lie()) programme.Desactive();
        ReinitLocations();
        return false;
    }

    if (!programme.LinkProgram())
    {
        if (programme.Journal().size() > 1) messages += "\nLinking:\n" + programme.Journal() + "\n";
        ReinitLocations();
        return false;
    }

    location_coords = programme.ReservationAttribut("Coords");
    if (location_coords == -1) messages += "\nWarning : Attribute Coords unused.";
    location_texture = programme.ReservationUniform("Texture");
    if (location_texture == -1) messages += "\nWarning : Uniform Texture unused.";
    location_resolution = programme.ReservationUniform("Resolution");
    location_couleur_fond = programme.ReservationUniform("BackgroundColor");
    location_temps = programme.ReservationUniform("Time");
    temps_utilise = (location_temps != -1);
    GL::glBindFramebuffer(CibleFrameBuffer, 0);
    return true;
}

char const* PFrameBuffer_GL::VShaderDefaut()
{
    return VertexPostDefaut;
}

char const* PFrameBuffer_GL::FShaderDefaut()
{
    return PixelPostDefaut;
}

bool PFrameBuffer_GL::Bind()
{
    if (nom == 0) return false;
    SauvegardeFrameBufferInitial();
    GL::glBindFramebuffer(CibleFrameBuffer, nom);
    return true;
}

void PFrameBuffer_GL::UnBind() const
{
    if (!RestaureFrameBufferInitial()) GL::glBindFramebuffer(CibleFrameBuffer, 0);
}

bool PFrameBuffer_GL::SauvegardeFrameBufferInitial()
{
    GLint courant = 0;
    glGetIntegerv(LiaisonFrameBuffer, &courant);
    framebuffer_initial = static_cast<unsigned int>(courant);
    return framebuffer_initial != 0;
}

bool PFrameBuffer_GL::RestaureFrameBufferInitial() const
{
    if (framebuffer_initial == 0) return false;
    GL::glBindFramebuffer(CibleFrameBuffer, framebuffer_initial);
    return true;
}

bool PFrameBuffer_GL::defTailleEcran(unsigned int largeur_ecran, unsigned int hauteur_ecran)
{
    largeur = largeur_ecran;
    hauteur = hauteur_ecran;
    texture.TexImage2D_RGBA(largeur, hauteur, nullptr);
    return profondeur.Transfert(static_cast<int>(largeur), static_cast<int>(hauteur));
}

void PFrameBuffer_GL::defCouleurFond(PCouleur_GL const& couleur)
{
    couleur_fond = couleur;
}

bool PFrameBuffer_GL::Affichage()
{
    // The clock advances with every displayed frame, drawn or not.
    if (temps_utilise) temps += 0.04f;
    if (!Valide()) return false;
    UnBind();
    glClear(0x4100); // colour and depth
    programme.UseProgram();
    texture.Bind();
    GL::glUniform1i(location_texture, 0);
    GL::glUniform2f(location_resolution, static_cast<float>(largeur), static_cast<float>(hauteur));
    GL::glUniform3f(location_couleur_fond, couleur_fond.rouge, couleur_fond.vert, couleur_fond.bleu);
    GL::glUniform1f(location_temps, temps);
    // A shader without "Coords" still runs; enabling attribute -1 would only raise a GL error.
    const bool coords = location_coords >= 0;
    if (coords) GL::glEnableVertexAttribArray(location_coords);
    GL::glBindBuffer(CibleTableau, nom_surface);
    if (coords)
        GL::glVertexAttribPointer(static_cast<unsigned int>(location_coords), 2, GL_FLOAT, GL_FALSE, 0,
                                  nullptr);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    if (coords) GL::glDisableVertexAttribArray(static_cast<unsigned int>(location_coords));
    GL::glBindBuffer(CibleTableau, 0);
    texture.UnBind();
    Program_GL::DesactivePrograms();
    return true;
}

bool PFrameBuffer_GL::Valide() const
{
    return GL::glCheckFramebufferStatus(CibleFrameBuffer) == FrameBufferComplet && nom != 0 && !desactive &&
           programme.Nom() != 0 && programme.Lie();
}

bool PFrameBuffer_GL::ValideLiageShaders() const
{
    return programme.Nom() != 0 && programme.Lie();
}

void PFrameBuffer_GL::Desactive()
{
    desactive = true;
    profondeur.Desactive();
    texture.Desactive();
    if (nom != 0) GL::glDeleteFramebuffers(1, &nom);
    nom = 0;
    // The quad goes with the frame buffer it serves; a later Gen creates both again.
    if (nom_surface != 0)
    {
        GL::glDeleteBuffers(1, &nom_surface);
        nom_surface = 0;
    }
    programme.Desactive();
}

void PFrameBuffer_GL::DesactiveProgram()
{
    desactive = true;
    programme.Desactive();
}

bool PFrameBuffer_GL::DumpShaderBinaire(std::string const& chemin) const
{
    return programme.DumpBinaire(chemin, 2);
}

} // namespace PGL
