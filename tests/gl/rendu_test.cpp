// Scene renderer and scene preparation without a GL context: display modes, colours and the
// contents of the nine buffers prepared from scenes built here with the library's public types.
#include "zarvel_gl.h"

#include "../zarvel3d/maillage_outils.h"
#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <future>

using PGL::PCouleur_GL;
using PGL::PVertex_GL;
using PGL::Zarvel_GL;
using Zarvel3D::Pvec3;

namespace
{

PGL::Params_GL ParamsGL()
{
    return PGL::Params_GL(8.0f, 2.0f, true, false, false, false, false);
}

// The renderer as the viewer builds it: opacity 100, no RAL colour yet, model shown.
PGL::Params_Zarvel_GL ParamsScene(float opacite = 100.0f)
{
    PGL::Params_Zarvel_GL p(opacite, 0, false);
    p.lissage = false;
    return p;
}

unsigned int Ral9010()
{
    return Zarvel3D::RAL::RechercheIndex(9010);
}

Zarvel3D::PCouleur3D Couleur(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    Zarvel3D::PCouleur3D c;
    c.rouge = r;
    c.vert = g;
    c.bleu = b;
    c.definie = 1;
    return c;
}

// Two squares of two triangles each, in the planes z = 0 and x = 4, sharing no vertex; two edges
// and one projection. Centre and scale recomputed by the library.
void ConstruitDeuxFaces(Zarvel3D::PScene3D& scene)
{
    const Pvec3 zero;
    unsigned int s[8];
    s[0] = scene.AjoutSommet(Pvec3(0, 0, 0), zero);
    s[1] = scene.AjoutSommet(Pvec3(4, 0, 0), zero);
    s[2] = scene.AjoutSommet(Pvec3(4, 2, 0), zero);
    s[3] = scene.AjoutSommet(Pvec3(0, 2, 0), zero);
    s[4] = scene.AjoutSommet(Pvec3(4, 0, 0.5), zero);
    s[5] = scene.AjoutSommet(Pvec3(4, 0, 6), zero);
    s[6] = scene.AjoutSommet(Pvec3(4, 2, 6), zero);
    s[7] = scene.AjoutSommet(Pvec3(4, 2, 0.5), zero);
    const unsigned int a = scene.AjoutSurface();
    scene.AjoutTriangle(a, s[0], s[1], s[2]);
    scene.AjoutTriangle(a, s[0], s[2], s[3]);
    const unsigned int b = scene.AjoutSurface();
    scene.AjoutTriangle(b, s[4], s[5], s[6]);
    scene.AjoutTriangle(b, s[4], s[6], s[7], Couleur(10, 20, 30));
    scene.AjoutSegment(s[0], s[1], Couleur(255, 0, 0));
    scene.AjoutSegment(s[1], s[2]);
    scene.AjoutProjection(Pvec3(0, 0, -1), Pvec3(4, 0, -1), Couleur(0, 0, 255));
    scene.Recalcule();
}

void AttendPoint(PVertex_GL const& v, double x, double y, double z)
{
    EXPECT_NEAR(v.X, x, 1e-6);
    EXPECT_NEAR(v.Y, y, 1e-6);
    EXPECT_NEAR(v.Z, z, 1e-6);
}

void AttendCouleur(PCouleur_GL const& c, float r, float g, float b, float a)
{
    EXPECT_NEAR(c.rouge, r, 1e-6f);
    EXPECT_NEAR(c.vert, g, 1e-6f);
    EXPECT_NEAR(c.bleu, b, 1e-6f);
    EXPECT_NEAR(c.alpha, a, 1e-6f);
}

} // namespace

TEST(Zarvel_GL, ModesAffichage)
{
    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    struct Attendu
    {
        bool origine, surfaces_filaire, modele, surfaces, filaire, projections;
    };
    const Attendu table[4] = {{true, false, true, true, true, true},
                              {false, false, true, true, true, false},
                              {false, true, true, false, false, false},
                              {false, false, true, false, true, true}};
    for (int mode = 0; mode < 4; ++mode)
    {
        rendu.defAffichage(mode);
        PGL::PAffichages_GL const& a = rendu.Affichages();
        EXPECT_EQ(a.affiche_origine, table[mode].origine) << mode;
        EXPECT_EQ(a.affiche_surfaces_filaire, table[mode].surfaces_filaire) << mode;
        EXPECT_EQ(a.affiche_modele, table[mode].modele) << mode;
        EXPECT_EQ(a.affiche_surfaces, table[mode].surfaces) << mode;
        EXPECT_EQ(a.affiche_filaire, table[mode].filaire) << mode;
        EXPECT_EQ(a.affiche_projections, table[mode].projections) << mode;
        EXPECT_FALSE(a.affiche_sommets) << mode;
    }
    // Another value changes nothing but the stored mode.
    rendu.defAffichage(2);
    rendu.defAffichage(4);
    EXPECT_EQ(rendu.ParamsScene().mode_affichage, 4);
    EXPECT_TRUE(rendu.Affichages().affiche_surfaces_filaire);
    rendu.defAffichage(-1);
    EXPECT_TRUE(rendu.Affichages().affiche_surfaces_filaire);
    EXPECT_FALSE(rendu.Affichages().affiche_imprimante);
    EXPECT_FALSE(rendu.Affichages().affiche_repere);
}

TEST(Zarvel_GL, DeveloppesEffacentToutMode)
{
    Zarvel_GL rendu(ParamsGL(), PGL::Params_Zarvel_GL(100.0f, 0, true));
    for (int mode : {0, 1, 2, 3, 7})
    {
        rendu.defAffichage(mode);
        PGL::PAffichages_GL const& a = rendu.Affichages();
        EXPECT_TRUE(a.affiche_developpes);
        EXPECT_FALSE(a.affiche_origine || a.affiche_surfaces_filaire || a.affiche_modele || a.affiche_surfaces ||
                     a.affiche_filaire || a.affiche_projections || a.affiche_sommets)
            << mode;
    }
}

TEST(Zarvel_GL, SelectionCouleur)
{
    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    PCouleur_GL c(0.2f, 0.3f, 0.4f, 0.5f);
    EXPECT_FALSE(rendu.SelectionCouleur(c));
    AttendCouleur(c, 0.2f, 0.3f, 0.4f, 0.5f);
    rendu.SelectionCouleur(c, PVertex_GL(0, 0, 1));
    AttendCouleur(c, 0.0f, 0.0f, 1.5f, 0.5f);
    rendu.SelectionCouleur(c, PVertex_GL(0.6f, -0.8f, 0));
    AttendCouleur(c, 0.9f, 1.2f, 0.0f, 0.5f);

    rendu.defIdCouleurScene(Ral9010());
    Zarvel3D::RAL const& blanc = Zarvel3D::RAL::Index(Ral9010());
    ASSERT_EQ(blanc.numero, 9010);
    EXPECT_TRUE(rendu.SelectionCouleur(c));
    AttendCouleur(c, blanc.rouge / 255.0f, blanc.vert / 255.0f, blanc.bleu / 255.0f, 1.0f);
    PCouleur_GL d(0, 0, 0, 0.25f);
    rendu.SelectionCouleur(d, PVertex_GL(0, 0, 1));
    AttendCouleur(d, blanc.rouge / 255.0f, blanc.vert / 255.0f, blanc.bleu / 255.0f, 1.0f);
}

TEST(PrepareScene, SceneNulleVide)
{
    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    Zarvel3D::PScene3D scene;
    ConstruitDeuxFaces(scene);
    rendu.PrepareScene(&scene);
    EXPECT_GT(rendu.TamponSurfaces().NombreVertices(), 0u);
    rendu.PrepareScene(nullptr);
    EXPECT_FALSE(rendu.ReinitEnCours());
    for (PGL::PTampon_GL const* t :
         {&rendu.TamponSommets(), &rendu.TamponFilaire(), &rendu.TamponImprimante(), &rendu.TamponProjections(),
          &rendu.TamponDivers(), &rendu.TamponTextes(), &rendu.TamponDeveloppes(), &rendu.TamponSurfaces(),
          &rendu.TamponCentres()})
        EXPECT_EQ(t->NombreVertices(), 0u);
}

TEST(PrepareScene, SurfacesCentresEtCouleurs)
{
    Zarvel3D::PScene3D scene;
    ConstruitDeuxFaces(scene);
    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    rendu.defIdCouleurScene(Ral9010());
    rendu.PrepareScene(&scene);

    const Pvec3 c = scene.Centre();
    const float s = static_cast<float>(scene.EchelleAffichage());
    EXPECT_FLOAT_EQ(rendu.EchelleScene(), s);
    EXPECT_DOUBLE_EQ(rendu.CentreScene().x, c.x);
    EXPECT_DOUBLE_EQ(rendu.CentreScene().z, c.z);

    PGL::PTampon_GL const& surfaces = rendu.TamponSurfaces();
    ASSERT_EQ(surfaces.NombreVertices(), 12u);
    ASSERT_EQ(surfaces.Normales().size(), 12u);
    // First corner of the first triangle: (0, 0, 0) moved and scaled.
    AttendPoint(surfaces.Vertices()[0], (0 - c.x) * s, (0 - c.y) * s, (0 - c.z) * s);
    AttendPoint(surfaces.Vertices()[4], (4 - c.x) * s, (2 - c.y) * s, (0 - c.z) * s);
    AttendPoint(surfaces.Normales()[0], 0, 0, 1);
    AttendPoint(surfaces.Normales()[6], -1, 0, 0);
    Zarvel3D::RAL const& blanc = Zarvel3D::RAL::Index(Ral9010());
    AttendCouleur(surfaces.Couleurs()[0], blanc.rouge / 255.0f, blanc.vert / 255.0f, blanc.bleu / 255.0f, 1.0f);
    // A triangle's own colour wins over the RAL colour.
    AttendCouleur(surfaces.Couleurs()[9], 10 / 255.0f, 20 / 255.0f, 30 / 255.0f, 1.0f);

    PGL::PTampon_GL const& centres = rendu.TamponCentres();
    ASSERT_EQ(centres.NombreVertices(), 2u);
    const Pvec3 centre_a = scene.Modele().surfaces[0].centre;
    AttendPoint(centres.Vertices()[0], (centre_a.x - c.x) * s, (centre_a.y - c.y) * s, (centre_a.z - c.z) * s);
    PCouleur_GL const& violet = rendu.ParamsScene().couleur_centres;
    AttendCouleur(centres.Couleurs()[1], violet.rouge, violet.vert, violet.bleu, 1.0f);

    // Edges take the edge colour as soon as the model has a surface; projections their own.
    PGL::PTampon_GL const& filaire = rendu.TamponFilaire();
    ASSERT_EQ(filaire.NombreVertices(), 4u);
    PCouleur_GL const& gris = rendu.ParamsScene().couleur_segments;
    AttendCouleur(filaire.Couleurs()[0], gris.rouge, gris.vert, gris.bleu, 1.0f);
    ASSERT_EQ(rendu.TamponProjections().NombreVertices(), 2u);
    AttendCouleur(rendu.TamponProjections().Couleurs()[1], 0, 0, 1, 1);
    AttendPoint(rendu.TamponProjections().Vertices()[0], (0 - c.x) * s, (0 - c.y) * s, (-1 - c.z) * s);

    ASSERT_EQ(rendu.TamponSommets().NombreVertices(), 8u);
    PCouleur_GL const& bleu = rendu.ParamsScene().couleur_sommets;
    AttendCouleur(rendu.TamponSommets().Couleurs()[3], bleu.rouge, bleu.vert, bleu.bleu, 1.0f);
}

TEST(PrepareScene, CouleurFausseDesNormalesSansRal)
{
    Zarvel3D::PScene3D scene;
    ConstruitDeuxFaces(scene);
    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    rendu.PrepareScene(&scene);
    PGL::PTampon_GL const& surfaces = rendu.TamponSurfaces();
    AttendCouleur(surfaces.Couleurs()[0], 0.0f, 0.0f, 1.5f, 1.0f);
    AttendCouleur(surfaces.Couleurs()[6], 1.5f, 0.0f, 0.0f, 1.0f);
    // Choosing a RAL colour afterwards recolours every prepared vertex, own colours included.
    rendu.defIdCouleurScene(Ral9010());
    Zarvel3D::RAL const& blanc = Zarvel3D::RAL::Index(Ral9010());
    for (unsigned int i : {0u, 6u, 9u})
        AttendCouleur(surfaces.Couleurs()[i], blanc.rouge / 255.0f, blanc.vert / 255.0f, blanc.bleu / 255.0f, 1.0f);
    rendu.defIdCouleurScene(0);
    AttendCouleur(surfaces.Couleurs()[9], 1.5f, 0.0f, 0.0f, 1.0f);
}

TEST(PrepareScene, OpaciteDesSurfaces)
{
    Zarvel3D::PScene3D scene;
    ConstruitDeuxFaces(scene);
    Zarvel_GL moitie(ParamsGL(), ParamsScene(50.0f));
    moitie.PrepareScene(&scene);
    for (PCouleur_GL const& c : moitie.TamponSurfaces().Couleurs())
        EXPECT_FLOAT_EQ(c.alpha, 127.0f / 255.0f);

    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    rendu.PrepareScene(&scene);
    EXPECT_FLOAT_EQ(rendu.TamponSurfaces().Couleurs()[5].alpha, 1.0f);
    rendu.defOpaciteSolide(150);
    EXPECT_FLOAT_EQ(rendu.ParamsScene().opacite_solide, 100.0f);
    EXPECT_FLOAT_EQ(rendu.TamponSurfaces().Couleurs()[5].alpha, 1.0f);
    rendu.defOpaciteSolide(-5);
    EXPECT_FLOAT_EQ(rendu.ParamsScene().opacite_solide, 0.0f);
    for (PCouleur_GL const& c : rendu.TamponSurfaces().Couleurs())
        EXPECT_FLOAT_EQ(c.alpha, 0.0f);
}

TEST(PrepareScene, ElementsCachesIgnores)
{
    Zarvel3D::PScene3D scene;
    ConstruitDeuxFaces(scene);
    Zarvel3D::PModele3D& modele = scene.ModeleEdition();
    modele.sommets[2].visible = 0;
    modele.segments[0].visible = 0;
    // Every triangle of the second surface hidden: its centre is still there.
    for (Zarvel3D::PTriangle3D& t : modele.surfaces[1].triangles)
        t.visible = 0;
    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    rendu.PrepareScene(&scene);
    EXPECT_EQ(rendu.TamponSommets().NombreVertices(), 7u);
    EXPECT_EQ(rendu.TamponFilaire().NombreVertices(), 2u);
    EXPECT_EQ(rendu.TamponSurfaces().NombreVertices(), 6u);
    EXPECT_EQ(rendu.TamponCentres().NombreVertices(), 2u);
}

TEST(PrepareScene, SegmentsSansSurfacesGardentLeurCouleur)
{
    Zarvel3D::PScene3D scene;
    const Pvec3 zero;
    scene.AjoutSommet(Pvec3(0, 0, 0), zero);
    scene.AjoutSommet(Pvec3(1, 0, 0), zero);
    scene.AjoutSommet(Pvec3(1, 1, 0), zero);
    Zarvel3D::PCouleur3D rouge = Couleur(255, 0, 0);
    scene.AjoutSegment(0, 1, rouge);
    scene.AjoutSegment(1, 2);
    scene.ModeleEdition().sommets[0].couleur = Couleur(0, 255, 0);
    scene.Recalcule();

    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    rendu.PrepareScene(&scene);
    PGL::PTampon_GL const& filaire = rendu.TamponFilaire();
    ASSERT_EQ(filaire.NombreVertices(), 4u);
    AttendCouleur(filaire.Couleurs()[0], 1, 0, 0, 1);
    PCouleur_GL const& gris = rendu.ParamsScene().couleur_segments;
    AttendCouleur(filaire.Couleurs()[2], gris.rouge, gris.vert, gris.bleu, 1);
    // Vertices keep their own colour only when asked.
    PCouleur_GL const& bleu = rendu.ParamsScene().couleur_sommets;
    AttendCouleur(rendu.TamponSommets().Couleurs()[0], bleu.rouge, bleu.vert, bleu.bleu, 1);
    rendu.PrepareScenePriv(&scene, true, false);
    AttendCouleur(rendu.TamponSommets().Couleurs()[0], 0, 1, 0, 1);
    AttendCouleur(rendu.TamponSommets().Couleurs()[1], bleu.rouge, bleu.vert, bleu.bleu, 1);
}

TEST(PrepareScene, Lissage)
{
    // Two triangles folded along the shared edge (0, 1): the shared corners get the vertices'
    // averaged normals with smoothing, the facets' normals without.
    Zarvel3D::PScene3D scene;
    const Pvec3 zero;
    scene.AjoutSommet(Pvec3(0, 0, 0), zero);
    scene.AjoutSommet(Pvec3(1, 0, 0), zero);
    scene.AjoutSommet(Pvec3(0, 1, 0), zero);
    scene.AjoutSommet(Pvec3(0, -1, 1), zero);
    const unsigned int a = scene.AjoutSurface();
    scene.AjoutTriangle(a, 0, 1, 2);
    scene.AjoutTriangle(a, 1, 0, 3);
    scene.Recalcule();
    Zarvel3D::PModele3D const& modele = scene.Modele();
    const Pvec3 n0 = modele.sommets[0].normale;
    ASSERT_GT(std::fabs(n0.y), 0.1);

    Zarvel_GL plat(ParamsGL(), ParamsScene());
    plat.PrepareScene(&scene);
    AttendPoint(plat.TamponSurfaces().Normales()[0], 0, 0, 1);
    AttendPoint(plat.TamponSurfaces().Normales()[1], 0, 0, 1);

    Zarvel_GL lisse(ParamsGL(), ParamsScene());
    lisse.defEtatLissage(true);
    lisse.PrepareScene(&scene);
    PGL::PTableau_GL<PVertex_GL> const& n = lisse.TamponSurfaces().Normales();
    // Vertex 0 is corner 0 of the first triangle and corner 1 of the second.
    AttendPoint(n[0], n0.x, n0.y, n0.z);
    AttendPoint(n[4], n0.x, n0.y, n0.z);
    const Pvec3 n2 = modele.sommets[2].normale;
    AttendPoint(n[2], n2.x, n2.y, n2.z);
}

TEST(PrepareScene, LissageIndiceHorsModele)
{
    Zarvel3D::PScene3D scene;
    const Pvec3 zero;
    scene.AjoutSommet(Pvec3(0, 0, 0), zero);
    scene.AjoutSommet(Pvec3(1, 0, 0), zero);
    scene.AjoutSommet(Pvec3(0, 1, 0), zero);
    scene.AjoutTriangle(scene.AjoutSurface(), 0, 1, 2);
    scene.Recalcule();
    Zarvel3D::PTriangle3D& t = scene.ModeleEdition().surfaces[0].triangles[0];
    t.sommets[1].id = 1000000;
    t.sommets[2].id = -3;
    t.normale = Pvec3(0, 0, -1);
    scene.ModeleEdition().sommets[0].normale = Pvec3(1, 0, 0);

    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    rendu.PrepareScenePriv(&scene, false, true);
    PGL::PTableau_GL<PVertex_GL> const& n = rendu.TamponSurfaces().Normales();
    ASSERT_EQ(n.size(), 3u);
    AttendPoint(n[0], 1, 0, 0);
    AttendPoint(n[1], 0, 0, -1);
    AttendPoint(n[2], 0, 0, -1);
}

TEST(PrepareScene, ListesDiversTextesEtDeveloppes)
{
    Zarvel3D::PScene3D scene;
    ConstruitDeuxFaces(scene);
    Zarvel3D::PElement3D court;
    court.points.push_back(Pvec3(1, 1, 1));
    Zarvel3D::PElement3D element;
    element.points.push_back(Pvec3(1, 0, 0));
    element.points.push_back(Pvec3(2, 0, 0));
    element.points.push_back(Pvec3(3, 0, 0));
    element.couleur = Couleur(0, 255, 0);
    scene.DiversEdition().push_back(court);
    scene.DiversEdition().push_back(element);
    Zarvel3D::PTexte3D texte;
    Zarvel3D::PSegment3D trait;
    trait.p1 = Pvec3(0, 0, 0);
    trait.p2 = Pvec3(0, 1, 0);
    trait.couleur = Couleur(255, 255, 0);
    texte.traits.push_back(trait);
    texte.traits.push_back(trait);
    scene.TextesEdition().push_back(texte);
    scene.DeveloppesEdition().push_back(element);
    scene.defEchelleDeveloppes(0.5);

    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    rendu.PrepareScene(&scene);
    // Elements of fewer than two points are skipped; only the first two points are drawn.
    ASSERT_EQ(rendu.TamponDivers().NombreVertices(), 2u);
    AttendCouleur(rendu.TamponDivers().Couleurs()[0], 0, 1, 0, 1);
    EXPECT_EQ(rendu.TamponTextes().NombreVertices(), 4u);
    AttendCouleur(rendu.TamponTextes().Couleurs()[3], 1, 1, 0, 1);
    EXPECT_EQ(rendu.TamponDeveloppes().NombreVertices(), 0u);

    // Unfolded patterns only: scaled, not recentred, and nothing else is filled.
    Zarvel_GL developpes(ParamsGL(), PGL::Params_Zarvel_GL(100.0f, 0, true));
    developpes.PrepareScene(&scene);
    ASSERT_EQ(developpes.TamponDeveloppes().NombreVertices(), 2u);
    AttendPoint(developpes.TamponDeveloppes().Vertices()[0], 0.5, 0, 0);
    AttendPoint(developpes.TamponDeveloppes().Vertices()[1], 1.0, 0, 0);
    for (PGL::PTampon_GL const* t : {&developpes.TamponSommets(), &developpes.TamponFilaire(),
                                     &developpes.TamponSurfaces(), &developpes.TamponCentres(),
                                     &developpes.TamponProjections(), &developpes.TamponDivers(),
                                     &developpes.TamponTextes(), &developpes.TamponImprimante()})
        EXPECT_EQ(t->NombreVertices(), 0u);
    // The centre and scale of an earlier preparation are kept.
    EXPECT_FLOAT_EQ(developpes.EchelleScene(), 1.0f);
}

TEST(PrepareScene, VolumeImprimante)
{
    Zarvel3D::PScene3D scene;
    ConstruitDeuxFaces(scene);
    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    rendu.defImprimante3D(true, 200.0f, 100.0f, 50.0f);
    rendu.PrepareScene(&scene);
    EXPECT_TRUE(rendu.Affichages().affiche_imprimante);
    EXPECT_FLOAT_EQ(rendu.EchelleScene(), 1.0f / 200.0f);
    EXPECT_DOUBLE_EQ(rendu.CentreScene().x, scene.Centre().x);
    EXPECT_DOUBLE_EQ(rendu.CentreScene().y, 25.0);
    EXPECT_DOUBLE_EQ(rendu.CentreScene().z, scene.Centre().z);

    PGL::PTampon_GL const& boite = rendu.TamponImprimante();
    ASSERT_EQ(boite.NombreVertices(), 100u);
    PGL::PTableau_GL<PVertex_GL> const& v = boite.Vertices();
    // Floor grid along z: x from -0.5 by 0.05, from z -0.25 to 0.25 at y -0.125.
    AttendPoint(v[0], -0.5, -0.125, -0.25);
    AttendPoint(v[1], -0.5, -0.125, 0.25);
    AttendPoint(v[2], -0.45, -0.125, -0.25);
    AttendPoint(v[40], 0.5, -0.125, -0.25);
    // Floor grid along x: z from -0.25 by 0.025.
    AttendPoint(v[42], -0.5, -0.125, -0.25);
    AttendPoint(v[44], -0.5, -0.125, -0.225);
    AttendPoint(v[83], 0.5, -0.125, 0.25);
    // Top rectangle, then the four uprights.
    AttendPoint(v[84], -0.5, 0.125, -0.25);
    AttendPoint(v[85], 0.5, 0.125, -0.25);
    AttendPoint(v[92], -0.5, -0.125, -0.25);
    AttendPoint(v[93], -0.5, 0.125, -0.25);
    AttendPoint(v[99], -0.5, 0.125, 0.25);
    PCouleur_GL const& gris = rendu.ParamsScene().couleur_imprimante;
    AttendCouleur(boite.Couleurs()[57], gris.rouge, gris.vert, gris.bleu, 1);
}

TEST(PrepareScene, VolumeImprimanteDeTailleNulleIgnore)
{
    Zarvel3D::PScene3D scene;
    ConstruitDeuxFaces(scene);
    for (float d : {0.0f, -10.0f, std::nanf("")})
    {
        Zarvel_GL rendu(ParamsGL(), ParamsScene());
        rendu.defImprimante3D(true, d, d, d);
        rendu.PrepareScene(&scene);
        EXPECT_FALSE(rendu.Affichages().affiche_imprimante);
        EXPECT_EQ(rendu.TamponImprimante().NombreVertices(), 0u);
        EXPECT_FLOAT_EQ(rendu.EchelleScene(), static_cast<float>(scene.EchelleAffichage()));
        for (PVertex_GL const& p : rendu.TamponSurfaces().Vertices())
            EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z));
    }
}

TEST(PrepareScene, LaSceneEstDeverrouillee)
{
    Zarvel3D::PScene3D scene;
    ConstruitDeuxFaces(scene);
    Zarvel_GL rendu(ParamsGL(), ParamsScene());
    rendu.PrepareScene(&scene);
    // Another thread must be able to take the lock at once: the preparation released it.
    auto verrou = std::async(std::launch::async, [&scene] {
        scene.Verrouille();
        scene.DeVerrouille();
    });
    EXPECT_EQ(verrou.wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

namespace
{

// The same array, byte for byte.
template <typename T> ::testing::AssertionResult MemesOctets(PGL::PTableau_GL<T> const& a, PGL::PTableau_GL<T> const& b)
{
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << a.size() << " against " << b.size() << " elements";
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(T)) != 0) return ::testing::AssertionFailure() << "element " << i;
    return ::testing::AssertionSuccess();
}

void AttendMemesTampons(PGL::PTampon_GL const& a, PGL::PTampon_GL const& b, char const* nom)
{
    SCOPED_TRACE(nom);
    EXPECT_TRUE(MemesOctets(a.Vertices(), b.Vertices()));
    EXPECT_TRUE(MemesOctets(a.Couleurs(), b.Couleurs()));
    EXPECT_TRUE(MemesOctets(a.Normales(), b.Normales()));
}

void AttendMemePreparation(Zarvel_GL const& a, Zarvel_GL const& b)
{
    EXPECT_EQ(a.EchelleScene(), b.EchelleScene());
    EXPECT_EQ(a.CentreScene().x, b.CentreScene().x);
    EXPECT_EQ(a.CentreScene().y, b.CentreScene().y);
    EXPECT_EQ(a.CentreScene().z, b.CentreScene().z);
    AttendMemesTampons(a.TamponSommets(), b.TamponSommets(), "sommets");
    AttendMemesTampons(a.TamponFilaire(), b.TamponFilaire(), "filaire");
    AttendMemesTampons(a.TamponImprimante(), b.TamponImprimante(), "imprimante");
    AttendMemesTampons(a.TamponProjections(), b.TamponProjections(), "projections");
    AttendMemesTampons(a.TamponDivers(), b.TamponDivers(), "divers");
    AttendMemesTampons(a.TamponTextes(), b.TamponTextes(), "textes");
    AttendMemesTampons(a.TamponDeveloppes(), b.TamponDeveloppes(), "developpes");
    AttendMemesTampons(a.TamponSurfaces(), b.TamponSurfaces(), "surfaces");
    AttendMemesTampons(a.TamponCentres(), b.TamponCentres(), "centres");
}

} // namespace

// An imported mesh is prepared from its compact arrays; the same scene whose model was taken
// over for editing is prepared from the model. Both give the same nine buffers, whatever the
// settings: smooth or flat, own colours or not, RAL or false colours, opacity, build volume.
TEST(PrepareScene, MaillageCompactCommeLeModele)
{
    outils::Repertoire rep;
    outils::EcritBinaire(rep / "tore.stl", outils::Tore(24, 16));
    outils::Maillage cubes = outils::Cube(2.0);
    const outils::Maillage second = outils::Cube(1.0, {5, 0, 0});
    cubes.insert(cubes.end(), second.begin(), second.end());
    outils::EcritTexte(rep / "cubes.stl", outils::TexteAscii(cubes, false));
    // An open fan with a sharp fold, a degenerate triangle and normals that are not unit length.
    outils::EcritTexte(rep / "ouvert.stl",
                       "solid o\n"
                       "facet normal 0 0 5\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\n"
                       "facet normal 0 0 0\nouter loop\nvertex 0 0 0\nvertex 0 1 0\nvertex -1 0 0.2\nendloop\nendfacet\n"
                       "facet normal 0 -3 0\nouter loop\nvertex 0 0 0\nvertex 0 0 1\nvertex 1 0 0\nendloop\nendfacet\n"
                       "facet normal 0 0 0\nouter loop\nvertex 1 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\n"
                       "endsolid o\n");
    struct Cas
    {
        char const* fichier;
        unsigned int ral_import;
    };
    for (Cas const& cas : {Cas{"tore.stl", 0}, Cas{"cubes.stl", 9010}, Cas{"ouvert.stl", 0}, Cas{"tore.stl", 3020}})
    {
        SCOPED_TRACE(cas.fichier);
        Zarvel3D::PScene3D scene;
        ASSERT_TRUE(scene.ImportSTL((rep / cas.fichier).c_str(), cas.ral_import, false, nullptr, nullptr));
        Zarvel3D::PScene3D modele(scene);
        modele.ModeleEdition();
        Zarvel3D::PMaillage3D vue;
        ASSERT_FALSE(modele.Maillage(vue));
        ASSERT_TRUE(scene.Maillage(vue));

        for (int reglage = 0; reglage < 4; ++reglage)
        {
            SCOPED_TRACE(reglage);
            const bool couleurs_propres = reglage == 1 || reglage == 3;
            const bool lissage = reglage >= 2;
            Zarvel_GL compact(ParamsGL(), ParamsScene(reglage == 3 ? 40.0f : 100.0f));
            Zarvel_GL complet(ParamsGL(), ParamsScene(reglage == 3 ? 40.0f : 100.0f));
            for (Zarvel_GL* rendu : {&compact, &complet})
            {
                if (reglage == 1) rendu->defIdCouleurScene(Ral9010());
                if (reglage == 2) rendu->defImprimante3D(true, 200.0f, 150.0f, 100.0f);
            }
            compact.PrepareScenePriv(&scene, couleurs_propres, lissage);
            complet.PrepareScenePriv(&modele, couleurs_propres, lissage);
            EXPECT_EQ(compact.TamponSurfaces().NombreVertices(), 3 * vue.nombre_triangles);
            EXPECT_EQ(compact.TamponCentres().NombreVertices(), vue.nombre_surfaces);
            AttendMemePreparation(compact, complet);
        }
    }
}

// Without vertices, the vertex and centre buffers stay empty and every other buffer is the one a
// full preparation gives, for a built scene and for an imported mesh.
TEST(PrepareScene, SansSommetsLaisseLeResteIdentique)
{
    outils::Repertoire rep;
    outils::EcritBinaire(rep / "cube.stl", outils::Cube(2.0));
    Zarvel3D::PScene3D importee;
    ASSERT_TRUE(importee.ImportSTL((rep / "cube.stl").c_str(), 0, false, nullptr, nullptr));
    Zarvel3D::PScene3D construite;
    ConstruitDeuxFaces(construite);
    for (Zarvel3D::PScene3D const* scene : {&importee, &construite})
    {
        Zarvel_GL complet(ParamsGL(), ParamsScene());
        complet.PrepareScene(scene);
        PGL::Params_Zarvel_GL params = ParamsScene();
        params.sans_sommets = true;
        Zarvel_GL partiel(ParamsGL(), params);
        partiel.PrepareScene(scene);
        ASSERT_GT(complet.TamponSommets().NombreVertices(), 0u);
        ASSERT_GT(complet.TamponCentres().NombreVertices(), 0u);
        EXPECT_EQ(partiel.TamponSommets().NombreVertices(), 0u);
        EXPECT_EQ(partiel.TamponCentres().NombreVertices(), 0u);
        AttendMemesTampons(partiel.TamponSurfaces(), complet.TamponSurfaces(), "surfaces");
        AttendMemesTampons(partiel.TamponFilaire(), complet.TamponFilaire(), "filaire");
        AttendMemesTampons(partiel.TamponProjections(), complet.TamponProjections(), "projections");
        EXPECT_EQ(partiel.EchelleScene(), complet.EchelleScene());
    }
}
