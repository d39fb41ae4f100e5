#pragma once

// Test doubles of gl_tests, the tests without a GL context:
//   - espion_gl.cpp replaces, in this executable only, the core functions glGetString,
//     glGenTextures and glDeleteTextures with stand-ins that act as the client library does
//     without a current context (nothing done, a null string) and count their calls;
//   - ChargeurSimule puts the loader in a chosen state, optionally with every loaded pointer on a
//     counting stand-in, and gives the previous state back when it goes out of scope.
// Together they tell whether code run without a context made any GL call.

#include "zarvel_gl.h"

#include <type_traits>

namespace TestGL
{

/// Calls of the replaced core functions since the process started.
int AppelsGL();

/// Calls that reached a stand-in installed by ChargeurSimule.
inline int& AppelsCharges()
{
    static int appels = 0;
    return appels;
}

template <typename Pointeur> struct FonctionFausse;

/// Stand-in of a loaded function: counts the call and answers 1 (a name, a location, true), so a
/// caller that keeps the answer shows it.
template <typename Retour, typename... Parametres> struct FonctionFausse<Retour (*)(Parametres...)>
{
    static Retour Appel(Parametres...)
    {
        ++AppelsCharges();
        if constexpr (std::is_void_v<Retour>)
            return;
        else
            return static_cast<Retour>(1);
    }
};

enum class EtatChargeur
{
    /// Init has not run: no flag, no pointer.
    AvantInit,
    /// Init has run and reported every group, but found none of the functions.
    FonctionsAbsentes,
    /// Init has run and reported every group; every pointer is a counting stand-in.
    FonctionsFausses
};

/// The loader in a chosen state for the lifetime of the object.
class ChargeurSimule
{
public:
    explicit ChargeurSimule(EtatChargeur etat)
    {
        namespace priv = PGL::Extensions_GL_priv;
        const bool init = etat != EtatChargeur::AvantInit;
        priv::valide_init = init;
        priv::valide_support_shaders = init;
        priv::valide_support_vbo = init;
        priv::valide_support_vba = init;
        priv::valide_support_fbo = init;
        const bool faux = etat == EtatChargeur::FonctionsFausses;
#define ZARVEL_GL_INSTALLE(groupe, nom, pointeur, ...)                                                       \
    priv::pointeur = faux ? &FonctionFausse<priv::PFN_##nom>::Appel : nullptr;
        ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_INSTALLE)
#undef ZARVEL_GL_INSTALLE
    }

    ~ChargeurSimule()
    {
        namespace priv = PGL::Extensions_GL_priv;
        priv::valide_init = sauvegarde.init;
        priv::valide_support_shaders = sauvegarde.shaders;
        priv::valide_support_vbo = sauvegarde.vbo;
        priv::valide_support_vba = sauvegarde.vba;
        priv::valide_support_fbo = sauvegarde.fbo;
#define ZARVEL_GL_RESTAURE(groupe, nom, pointeur, ...) priv::pointeur = sauvegarde.pointeur;
        ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_RESTAURE)
#undef ZARVEL_GL_RESTAURE
    }

    ChargeurSimule(ChargeurSimule const&) = delete;
    ChargeurSimule& operator=(ChargeurSimule const&) = delete;

private:
    // Taken before the constructor's body changes anything.
    struct Sauvegarde
    {
        bool init = PGL::Extensions_GL_priv::valide_init;
        bool shaders = PGL::Extensions_GL_priv::valide_support_shaders;
        bool vbo = PGL::Extensions_GL_priv::valide_support_vbo;
        bool vba = PGL::Extensions_GL_priv::valide_support_vba;
        bool fbo = PGL::Extensions_GL_priv::valide_support_fbo;
#define ZARVEL_GL_SAUVE(groupe, nom, pointeur, ...)                                                          \
    PGL::Extensions_GL_priv::PFN_##nom pointeur = PGL::Extensions_GL_priv::pointeur;
        ZARVEL_GL_POINTS_ENTREE(ZARVEL_GL_SAUVE)
#undef ZARVEL_GL_SAUVE
    } sauvegarde;
};

} // namespace TestGL
