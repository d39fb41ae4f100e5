#pragma once

// Shared pieces of the viewer tests: a fixture that starts every test from the program's start
// state, whole-record comparison of the settings, and a count of the key replays that the key
// delay swallows.

#include "sys_factice.h"
#include "zarvel_gl.h"
#include "zarvel_glut.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

/// Every field of a settings record, in declaration order, for whole-record comparisons.
inline auto Champs(Params_glut const& p)
{
    return std::make_tuple(p.position_x, p.position_y, p.avance, p.rotation_x, p.rotation_y, p.rotation_z,
                           p.largeur, p.hauteur, p.rotation_auto, p.curseur_x, p.curseur_y,
                           static_cast<int>(p.touche_1), static_cast<int>(p.touche_2), p.plein_ecran,
                           p.mode_souris);
}

/// A record where every field differs from its start value.
inline Params_glut ParamsModifies()
{
    Params_glut p;
    p.position_x = 1.5f;
    p.position_y = -2.25f;
    p.avance = 7.0f;
    p.rotation_x = -12.0f;
    p.rotation_y = 33.0f;
    p.rotation_z = 4.0f;
    p.largeur = 800;
    p.hauteur = 600;
    p.rotation_auto = false;
    p.curseur_x = 17;
    p.curseur_y = -23;
    p.touche_1 = 'z';
    p.touche_2 = 'd';
    p.plein_ecran = true;
    p.mode_souris = 1;
    return p;
}

/// Replays of a held 'd' that are swallowed before one moves the camera (limite when none does).
inline unsigned int RejeuxAvales(unsigned int limite = 200000)
{
    const float avant = Parametres.position_x;
    for (unsigned int n = 0; n < limite; ++n)
    {
        gestion_touches_clavier('d');
        if (Parametres.position_x != avant) return n;
    }
    return limite;
}

/// The callbacks share file-scope state: each test starts from the program's start values, no
/// running instance, no key delay, no warp echo pending and a fresh window system.
class EtatGlut : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Parametres = Params_glut();
        Parametres_copie = Params_glut();
        CptChrono = 0;
        inst_glut_stat = nullptr;
        ReinitEntrees_glut();
        Factice::Reinitialise();
    }
};

/// A scene of 5 vertices, 2 surfaces (3 triangles) and 3 edges; largest extent 4 along x.
inline void ConstruitScene(Zarvel3D::PScene3D& scene)
{
    const Zarvel3D::Pvec3 zero;
    const unsigned int s0 = scene.AjoutSommet(Zarvel3D::Pvec3(0, 0, 0), zero);
    const unsigned int s1 = scene.AjoutSommet(Zarvel3D::Pvec3(4, 0, 0), zero);
    const unsigned int s2 = scene.AjoutSommet(Zarvel3D::Pvec3(4, 2, 0), zero);
    const unsigned int s3 = scene.AjoutSommet(Zarvel3D::Pvec3(0, 2, 0), zero);
    const unsigned int s4 = scene.AjoutSommet(Zarvel3D::Pvec3(2, 1, 1), zero);
    const unsigned int a = scene.AjoutSurface();
    scene.AjoutTriangle(a, s0, s1, s2);
    scene.AjoutTriangle(a, s0, s2, s3);
    const unsigned int b = scene.AjoutSurface();
    scene.AjoutTriangle(b, s0, s4, s1);
    scene.AjoutSegment(s0, s1);
    scene.AjoutSegment(s1, s2);
    scene.AjoutSegment(s0, s4);
    scene.Recalcule();
}

/// A viewer started on the scene above, 1024 x 768, display mode 0, RAL 9010, with its renderer
/// created by the stand-in Lance_glut (no GL context: the engine issues no GL call).
class EtatGlutAvecRendu : public EtatGlut
{
protected:
    void SetUp() override
    {
        EtatGlut::SetUp();
        Factice::sys.cree_rendu = true;
        auto* scene = new Zarvel3D::PScene3D;
        ConstruitScene(*scene);
        vue = std::make_unique<Zarvel_glut>(scene, 1024, 768, false, 0, 9010);
        ASSERT_NE(Zarvel_glut::ZarvelGL(), nullptr);
    }

    void TearDown() override { vue.reset(); }

    static PGL::Zarvel_GL& Rendu() { return *Zarvel_glut::ZarvelGL(); }

    std::unique_ptr<Zarvel_glut> vue;
};
