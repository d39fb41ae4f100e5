#include "zarvel_gl.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace PGL
{

namespace GL = Extensions_GL;

namespace
{

constexpr unsigned int CibleTableau = 0x8892;  // GL_ARRAY_BUFFER
constexpr unsigned int UsageStatique = 0x88E4; // GL_STATIC_DRAW
constexpr long TailleSommet = sizeof(PVertex_GL);
constexpr long TailleCouleur = sizeof(PCouleur_GL);

// The normal given to points and segments stored in a triangle buffer.
const PVertex_GL NormaleFixe(0.0f, 0.0f, -1.0f);

void const* Decalage(long octets)
{
    return reinterpret_cast<void const*>(static_cast<intptr_t>(octets));
}

// Names from glGenBuffers become buffer objects at their first binding; binding once at creation
// makes glIsBuffer recognise them from the start.
unsigned int NouveauTampon()
{
    unsigned int id = 0;
    GL::glGenBuffers(1, &id);
    if (id != 0)
    {
        GL::glBindBuffer(CibleTableau, id);
        GL::glBindBuffer(CibleTableau, 0);
    }
    return id;
}

} // namespace

// ---- Array memory ------------------------------------------------------------------------------

namespace
{

constexpr std::size_t PageGeante = std::size_t(2) << 20;

std::size_t ArrondiPageGeante(std::size_t octets)
{
    return (octets + PageGeante - 1) & ~(PageGeante - 1);
}

} // namespace

void* AllocationTableau_GL(std::size_t octets)
{
    if (octets < PageGeante)
    {
        void* bloc = std::malloc(octets == 0 ? 1 : octets);
        if (!bloc) throw std::bad_alloc();
        return bloc;
    }
    // Map one huge page more than needed, keep the aligned part and give the rest back.
    const std::size_t taille = ArrondiPageGeante(octets);
    void* carte = mmap(nullptr, taille + PageGeante, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (carte == MAP_FAILED) throw std::bad_alloc();
    const std::uintptr_t debut = reinterpret_cast<std::uintptr_t>(carte);
    const std::uintptr_t aligne = (debut + PageGeante - 1) & ~(PageGeante - 1);
    if (aligne > debut) munmap(carte, aligne - debut);
    const std::size_t reste = PageGeante - (aligne - debut);
    if (reste > 0) munmap(reinterpret_cast<void*>(aligne + taille), reste);
    void* bloc = reinterpret_cast<void*>(aligne);
    madvise(bloc, taille, MADV_HUGEPAGE);
    return bloc;
}

void LiberationTableau_GL(void* bloc, std::size_t octets) noexcept
{
    if (!bloc) return;
    if (octets < PageGeante)
        std::free(bloc);
    else
        munmap(bloc, ArrondiPageGeante(octets));
}

bool PrepareTasPagesGeantes_GL(std::size_t octets)
{
    // Blocks below the threshold come from the heap, and the heap's top is never given back.
    constexpr int Seuil = 32 << 20;
    constexpr std::size_t Bloc = std::size_t(16) << 20;
    mallopt(M_MMAP_THRESHOLD, Seuil);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    char* const debut = static_cast<char*>(sbrk(0));
    // The first blocks may come from free room already on the heap: take blocks until the top
    // has moved far enough, or stops moving (an allocator that does not use the heap).
    std::vector<void*> blocs;
    char* fin = debut;
    while (static_cast<std::size_t>(fin - debut) < octets)
    {
        void* bloc = std::malloc(Bloc);
        if (!bloc) break;
        blocs.push_back(bloc);
        char* const haut = static_cast<char*>(sbrk(0));
        if (haut == fin && blocs.size() * Bloc > octets + Bloc) break;
        fin = haut;
    }
    const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t aligne = (reinterpret_cast<std::uintptr_t>(debut) + page - 1) & ~(page - 1);
    const std::uintptr_t haut = reinterpret_cast<std::uintptr_t>(fin) & ~(page - 1);
    const bool conseille = haut > aligne && haut - aligne >= octets &&
                           madvise(reinterpret_cast<void*>(aligne), haut - aligne, MADV_HUGEPAGE) == 0;
    // Freed, the blocks join the heap's top, which keeps its pages' advice.
    for (void* bloc : blocs)
        std::free(bloc);
    return conseille;
}

// ---- PTampon_GL --------------------------------------------------------------------------------

PTampon_GL::PTampon_GL(int type_primitive)
    : primitive(type_primitive), vbo_actif(false), id_vbo(0), cible_vbo(0), usage_vbo(0)
{
}

PTampon_GL::~PTampon_GL()
{
    if (VBOActif()) GL::glDeleteBuffers(1, &id_vbo);
}

bool PTampon_GL::VBOActif() const
{
    return vbo_actif && id_vbo != 0 && GL::glIsBuffer(id_vbo);
}

bool PTampon_GL::ActiveVBO(unsigned int usage)
{
    if (!GL::SupportVBO()) return false;
    if (VBOActif()) return true;
    const unsigned int id = NouveauTampon();
    if (id == 0) return false;
    id_vbo = id;
    cible_vbo = CibleTableau;
    usage_vbo = usage;
    vbo_actif = true;
    return true;
}

bool PTampon_GL::Bind() const
{
    if (!vbo_actif || id_vbo == 0) return false;
    GL::glBindBuffer(cible_vbo, id_vbo);
    return GL::glIsBuffer(id_vbo);
}

void PTampon_GL::UnBind() const
{
    // Before ActiveVBO there is no target: binding to target 0 would be a GL error.
    if (cible_vbo != 0) GL::glBindBuffer(cible_vbo, 0);
}

bool PTampon_GL::DesactiveVBO()
{
    if (!VBOActif()) return false;
    GL::glDeleteBuffers(1, &id_vbo);
    vbo_actif = false;
    id_vbo = 0;
    cible_vbo = 0;
    usage_vbo = 0;
    return true;
}

void PTampon_GL::Reinit(bool desactive_vbo)
{
    if (desactive_vbo) DesactiveVBO();
    vertices.clear();
    couleurs.clear();
    normales.clear();
}

void PTampon_GL::Reserve(unsigned int nombre_vertices)
{
    vertices.reserve(nombre_vertices);
    couleurs.reserve(nombre_vertices);
    if (primitive == GL_TRIANGLES) normales.reserve(nombre_vertices);
}

void PTampon_GL::defCouleur(unsigned int i, PCouleur_GL const& couleur)
{
    if (i < couleurs.size()) couleurs[i] = couleur;
}

bool PTampon_GL::Transfert() const
{
    // Without a usable VBO the buffer is drawn from memory: nothing to upload.
    if (!Bind()) return true;
    const long taille_sommets = TailleSommet * static_cast<long>(vertices.size());
    const long taille_couleurs = TailleCouleur * static_cast<long>(couleurs.size());
    if (primitive == GL_POINTS || primitive == GL_LINES)
    {
        GL::glBufferData(cible_vbo, taille_sommets + taille_couleurs, nullptr, usage_vbo);
        GL::glBufferSubData(cible_vbo, 0, taille_sommets, vertices.data());
        GL::glBufferSubData(cible_vbo, taille_sommets, taille_couleurs, couleurs.data());
    }
    else if (primitive == GL_TRIANGLES)
    {
        const long taille_normales = TailleSommet * static_cast<long>(normales.size());
        GL::glBufferData(cible_vbo, taille_sommets + taille_couleurs + taille_normales, nullptr, usage_vbo);
        GL::glBufferSubData(cible_vbo, 0, taille_sommets, vertices.data());
        GL::glBufferSubData(cible_vbo, taille_sommets, taille_couleurs, couleurs.data());
        GL::glBufferSubData(cible_vbo, taille_sommets + taille_couleurs, taille_normales, normales.data());
    }
    else
    {
        UnBind();
        return false;
    }
    UnBind();
    return true;
}

void PTampon_GL::Affichage() const
{
    if (primitive != GL_POINTS && primitive != GL_LINES && primitive != GL_TRIANGLES) return;
    const bool vbo = Bind();
    const long taille_sommets = TailleSommet * static_cast<long>(vertices.size());
    const long taille_couleurs = TailleCouleur * static_cast<long>(couleurs.size());
    void const* pointeur_sommets = vbo ? Decalage(0) : vertices.data();
    void const* pointeur_couleurs = vbo ? Decalage(taille_sommets) : couleurs.data();
    void const* pointeur_normales = vbo ? Decalage(taille_sommets + taille_couleurs) : normales.data();
    const GLsizei nombre = static_cast<GLsizei>(vertices.size());

    if (primitive == GL_TRIANGLES)
    {
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
        glNormalPointer(GL_FLOAT, 0, pointeur_normales);
        glColorPointer(4, GL_FLOAT, 0, pointeur_couleurs);
        glVertexPointer(3, GL_FLOAT, 0, pointeur_sommets);
        glDrawArrays(GL_TRIANGLES, 0, nombre);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    else
    {
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
        glColorPointer(4, GL_FLOAT, 0, pointeur_couleurs);
        glVertexPointer(3, GL_FLOAT, 0, pointeur_sommets);
        glDrawArrays(static_cast<GLenum>(primitive), 0, nombre);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
    }
    if (vbo) UnBind();
}

void PTampon_GL::Affichage(Attribute_GL const& vertex) const
{
    vertex.Activation(vertices);
    Affichage();
    vertex.Desactive();
}

void PTampon_GL::Affichage(Attribute_GL const& vertex, Attribute_GL const& normale) const
{
    vertex.Activation(vertices);
    normale.Activation(normales);
    Affichage();
    vertex.Desactive();
    normale.Desactive();
}

void PTampon_GL::Affichage3(Attribute_GL const& vertex, Attribute_GL const& couleur) const
{
    vertex.Activation(vertices);
    couleur.Activation(couleurs);
    Affichage();
    vertex.Desactive();
    couleur.Desactive();
}

void PTampon_GL::Affichage3(Attribute_GL const& vertex, Attribute_GL const& normale,
                            Attribute_GL const& couleur) const
{
    vertex.Activation(vertices);
    normale.Activation(normales);
    couleur.Activation(couleurs);
    Affichage();
    vertex.Desactive();
    normale.Desactive();
    couleur.Desactive();
}

void PTampon_GL::AjoutSommet(PVertex_GL const& v, PCouleur_GL const& couleur)
{
    vertices.push_back(v);
    couleurs.push_back(couleur);
}

void PTampon_GL::AjoutSommet(PVertex_GL const& v, PVertex_GL const& normale, PCouleur_GL const& couleur)
{
    vertices.push_back(v);
    normales.push_back(normale);
    couleurs.push_back(couleur);
}

bool PTampon_GL::Ajout(PVertex_GL const& a, PVertex_GL const& b, PVertex_GL const& c, PVertex_GL const& na,
                       PVertex_GL const& nb, PVertex_GL const& nc, PCouleur_GL const& couleur)
{
    switch (primitive)
    {
    case GL_POINTS:
        // A points buffer keeps the corners but cannot hold the triangle itself.
        AjoutSommet(a, couleur);
        AjoutSommet(b, couleur);
        AjoutSommet(c, couleur);
        return false;
    case GL_LINES:
        AjoutSommet(a, couleur);
        AjoutSommet(b, couleur);
        AjoutSommet(b, couleur);
        AjoutSommet(c, couleur);
        AjoutSommet(c, couleur);
        AjoutSommet(a, couleur);
        return true;
    case GL_TRIANGLES:
        AjoutSommet(a, na, couleur);
        AjoutSommet(b, nb, couleur);
        AjoutSommet(c, nc, couleur);
        return true;
    default:
        return false;
    }
}

bool PTampon_GL::Ajout(PVertex_GL const& a, PVertex_GL const& b, PVertex_GL const& c,
                       PVertex_GL const& normale, PCouleur_GL const& couleur)
{
    return Ajout(a, b, c, normale, normale, normale, couleur);
}

bool PTampon_GL::Ajout(PVertice3_GL const& triangle, PVertex_GL const& normale, PCouleur_GL const& couleur)
{
    return Ajout(triangle.sommets[0], triangle.sommets[1], triangle.sommets[2], normale, couleur);
}

bool PTampon_GL::Ajout(PVertice3_GL const& triangle, PCouleur_GL const& couleur)
{
    return Ajout(triangle, triangle.VecteurNormal(), couleur);
}

bool PTampon_GL::Ajout(PVertex_GL const& v, PCouleur_GL const& couleur)
{
    switch (primitive)
    {
    case GL_POINTS:
        AjoutSommet(v, couleur);
        return true;
    case GL_LINES:
        AjoutSommet(v, couleur);
        AjoutSommet(v, couleur);
        return true;
    case GL_TRIANGLES:
        AjoutSommet(v, NormaleFixe, couleur);
        AjoutSommet(v, NormaleFixe, couleur);
        AjoutSommet(v, NormaleFixe, couleur);
        return true;
    default:
        return false;
    }
}

bool PTampon_GL::Ajout(PVertex_GL const& a, PVertex_GL const& b, PCouleur_GL const& couleur)
{
    switch (primitive)
    {
    case GL_POINTS:
        AjoutSommet(a, couleur);
        AjoutSommet(b, couleur);
        return false;
    case GL_LINES:
        AjoutSommet(a, couleur);
        AjoutSommet(b, couleur);
        return true;
    case GL_TRIANGLES:
        AjoutSommet(a, NormaleFixe, couleur);
        AjoutSommet(b, NormaleFixe, couleur);
        AjoutSommet(b, NormaleFixe, couleur);
        return true;
    default:
        return false;
    }
}

bool PTampon_GL::Ajout(PVertice2_GL const& segment, PCouleur_GL const& couleur)
{
    return Ajout(segment.sommets[0], segment.sommets[1], couleur);
}

// ---- PTamponF_GL -------------------------------------------------------------------------------

bool PTamponF_GL::ValideSupport() const
{
    return GL::SupportVBO();
}

bool PTamponF_GL::Valide(bool verifie) const
{
    if (!ValideSupport() || id == 0) return false;
    return verifie ? GL::glIsBuffer(id) : true;
}

bool PTamponF_GL::GenereNom()
{
    id = NouveauTampon();
    return id != 0;
}

bool PTamponF_GL::Active()
{
    if (!ValideSupport() || Valide(false)) return false;
    return GenereNom();
}

bool PTamponF_GL::Desactive()
{
    if (!Valide(false)) return false;
    GL::glDeleteBuffers(1, &id);
    id = 0;
    return true;
}

bool PTamponF_GL::Reactive()
{
    Desactive();
    if (!ValideSupport()) return false;
    return GenereNom();
}

bool PTamponF_GL::Bind() const
{
    if (!Valide(false)) return false;
    GL::glBindBuffer(CibleTableau, id);
    return true;
}

void PTamponF_GL::UnBind() const
{
    GL::glBindBuffer(CibleTableau, 0);
}

bool PTamponF_GL::Transfert(float const* donnees, unsigned int taille) const
{
    if (!Bind()) return false;
    GL::glBufferData(CibleTableau, static_cast<long>(taille), donnees, UsageStatique);
    UnBind();
    return true;
}

} // namespace PGL
