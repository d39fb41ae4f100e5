// Reading of DXF plans and naming of their views, checked on what ZarvelAuto draws into a
// recording engine: entity kinds, line kinds and colours, units, blocks, layouts, view
// coordinates and the default generation parameters.
#include "dxf_plans_outils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

using plans::Enregistre;
using plans::Enregistrement;

namespace
{

// The first horizontal line at height y in the view, left of x = xmax.
const plans::LigneEnregistree* LigneHorizontale(const Enregistrement& e, int vue, double y,
                                                double xmax = HUGE_VAL)
{
    for (const auto& l : e.lignes)
    {
        if (l.vue == vue && std::fabs(l.y1 - y) < 1e-9 && std::fabs(l.y2 - y) < 1e-9 && l.x1 <= xmax &&
            l.x2 <= xmax)
        {
            return &l;
        }
    }
    return nullptr;
}

// Extent of the lines and ellipse centres drawn into a view.
void Etendue(const Enregistrement& e, int vue, double& largeur, double& hauteur)
{
    double xmin = HUGE_VAL, ymin = HUGE_VAL, xmax = -HUGE_VAL, ymax = -HUGE_VAL;
    for (const auto& l : e.lignes)
    {
        if (l.vue == vue && l.attributs.construction == 0)
        {
            xmin = std::min({xmin, l.x1, l.x2});
            xmax = std::max({xmax, l.x1, l.x2});
            ymin = std::min({ymin, l.y1, l.y2});
            ymax = std::max({ymax, l.y1, l.y2});
        }
    }
    EXPECT_NEAR(xmin, 0.0, 1e-9);
    EXPECT_NEAR(ymin, 0.0, 1e-9);
    largeur = xmax - xmin;
    hauteur = ymax - ymin;
}

} // namespace

TEST(LectureDxf, ToutesLesEntitesDuPlan)
{
    plans::Langue anglais(Zarvel3D::i18n::LANG_EN);
    std::shared_ptr<Enregistrement> e;
    auto a = Enregistre("toutes_entites.dxf", Zarvel3D::ZARVEL_EXTRUSION, e);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    const std::string rapport = a->Rapport();
    EXPECT_NE(rapport.find("LINE 7, ARC 1, CIRCLE 1, ELLIPSE 2, POLYLINE 2, SPLINE 1, POINT 1"),
              std::string::npos)
        << rapport;
    EXPECT_NE(rapport.find("Ignored (not geometry): MTEXT 1, TEXT 1."), std::string::npos) << rapport;
    EXPECT_NE(rapport.find("Not supported: BODY 1, REGION 1."), std::string::npos) << rapport;
    EXPECT_NE(rapport.find("Ignored (layers off or frozen): 2 entities."), std::string::npos) << rapport;

    // The profile's lower left corner is (0, -5) on the sheet (bottom of the circle).
    const double dy = 5.0;
    const auto* continu = LigneHorizontale(*e, 8, 0.0 + dy, 10.0);
    const auto* cache_calque = LigneHorizontale(*e, 8, 5.0 + dy, 10.0);
    const auto* cache_type = LigneHorizontale(*e, 8, 10.0 + dy, 10.0);
    const auto* axe_calque = LigneHorizontale(*e, 8, 15.0 + dy, 10.0);
    const auto* axe_type = LigneHorizontale(*e, 8, 20.0 + dy, 10.0);
    ASSERT_TRUE(continu && cache_calque && cache_type && axe_calque && axe_type);
    EXPECT_EQ(LigneHorizontale(*e, 8, 25.0 + dy, 10.0), nullptr); // layer off
    EXPECT_EQ(LigneHorizontale(*e, 8, 30.0 + dy, 10.0), nullptr); // layer frozen
    EXPECT_EQ(continu->attributs.visible, 1);
    EXPECT_EQ(continu->attributs.construction, 0);
    EXPECT_EQ(continu->attributs.rouge, 255); // ACI 1
    EXPECT_EQ(continu->attributs.vert, 0);
    EXPECT_EQ(cache_calque->attributs.visible, 0);
    EXPECT_EQ(cache_calque->attributs.rouge, 255); // red layer, colour BYLAYER
    EXPECT_EQ(cache_type->attributs.visible, 0);
    EXPECT_EQ(axe_calque->attributs.construction, 1);
    EXPECT_EQ(axe_type->attributs.construction, 1);
    EXPECT_EQ(axe_type->attributs.rouge, 0x12); // true colour 0x123456
    EXPECT_EQ(axe_type->attributs.vert, 0x34);
    EXPECT_EQ(axe_type->attributs.bleu, 0x56);
    EXPECT_NE(continu->calque, cache_calque->calque);

    auto ellipse = [&](double cx, double cy) -> const plans::EllipseEnregistree*
    {
        for (const auto& el : e->ellipses)
        {
            if (std::fabs(el.cx - cx) < 1e-6 && std::fabs(el.cy - cy) < 1e-6)
            {
                return &el;
            }
        }
        return nullptr;
    };
    const auto* arc = ellipse(30.0, dy);
    const auto* cercle = ellipse(50.0, dy);
    const auto* entiere = ellipse(70.0, dy);
    const auto* partielle = ellipse(90.0, dy);
    const auto* bulge = ellipse(110.0, 5.0 + dy);
    ASSERT_TRUE(arc && cercle && entiere && partielle && bulge) << e->ellipses.size();
    EXPECT_NEAR(arc->largeur, 10.0, 1e-9);
    EXPECT_NEAR(arc->debut, 0.0, 1e-9);
    EXPECT_NEAR(arc->fin, 90.0, 1e-9);
    EXPECT_NEAR(cercle->hauteur, 10.0, 1e-9);
    EXPECT_NEAR(cercle->fin - cercle->debut, 360.0, 1e-9);
    EXPECT_NEAR(entiere->largeur, 12.0, 1e-9);
    EXPECT_NEAR(entiere->hauteur, 6.0, 1e-9);
    EXPECT_NEAR(std::fmod(partielle->rotation + 360.0, 360.0), 90.0, 1e-9);
    EXPECT_NEAR(partielle->fin - partielle->debut, 90.0, 1e-9);
    // Bulge 1 from (110, 0) to (110, 10): the right half circle, counter-clockwise.
    EXPECT_NEAR(bulge->largeur, 10.0, 1e-9);
    EXPECT_NEAR(std::fmod(bulge->debut, 360.0), 270.0, 1e-9);
    EXPECT_NEAR(bulge->fin - bulge->debut, 180.0, 1e-9);

    // The rational spline is an exact quarter circle of radius 9 about (150, 0): every point
    // of its segments lies on it within the tolerance.
    std::size_t segments_spline = 0;
    for (const auto& l : e->lignes)
    {
        const double r1 = std::hypot(l.x1 - 150.0, l.y1 - dy);
        const double r2 = std::hypot(l.x2 - 150.0, l.y2 - dy);
        if (l.x1 >= 149.9 && l.x1 <= 159.1 && l.y1 >= dy - 0.1)
        {
            ++segments_spline;
            EXPECT_NEAR(r1, 9.0, 1e-9);
            EXPECT_NEAR(r2, 9.0, 1e-9);
            const double rm = std::hypot(0.5 * (l.x1 + l.x2) - 150.0, 0.5 * (l.y1 + l.y2) - dy);
            EXPECT_LE(9.0 - rm, 0.01 + 1e-9);
        }
    }
    EXPECT_GE(segments_spline, 8u);
    ASSERT_EQ(e->points.size(), 1u);
    EXPECT_NEAR(e->points[0].x, 170.0, 1e-9);
    EXPECT_NEAR(e->points[0].y, dy, 1e-9);
}

TEST(LectureDxf, VuesNommeesDansLesDeuxDispositions)
{
    plans::Langue anglais(Zarvel3D::i18n::LANG_EN);
    for (const char* fichier : {"piece_percages_iso.dxf", "piece_percages_ansi.dxf"})
    {
        std::shared_ptr<Enregistrement> e;
        auto a = Enregistre(fichier, Zarvel3D::ZARVEL_TROIS_VUES, e);
        ASSERT_TRUE(a->ValideInit()) << fichier << a->Rapport();
        double l, h;
        Etendue(*e, 2, l, h);
        EXPECT_NEAR(l, 60.0, 1e-9);
        EXPECT_NEAR(h, 40.0, 1e-9);
        Etendue(*e, 4, l, h);
        EXPECT_NEAR(l, 50.0, 1e-9);
        EXPECT_NEAR(h, 40.0, 1e-9);
        Etendue(*e, 8, l, h);
        EXPECT_NEAR(l, 60.0, 1e-9);
        EXPECT_NEAR(h, 50.0, 1e-9);
        // The vertical hole is 15 from the front face: its hidden sides in the side view are at
        // depths 9 and 21 whichever side of the front view the side view was drawn on.
        std::vector<double> profondeurs;
        for (const auto& li : e->lignes)
        {
            if (li.vue == 4 && li.attributs.visible == 0 && std::fabs(li.x1 - li.x2) < 1e-9)
            {
                profondeurs.push_back(li.x1);
            }
        }
        std::sort(profondeurs.begin(), profondeurs.end());
        ASSERT_EQ(profondeurs.size(), 2u) << fichier;
        EXPECT_NEAR(profondeurs[0], 9.0, 1e-9) << fichier;
        EXPECT_NEAR(profondeurs[1], 21.0, 1e-9) << fichier;
        ASSERT_EQ(e->ellipses.size(), 2u);
        for (const auto& el : e->ellipses)
        {
            if (el.vue == 8)
            {
                EXPECT_NEAR(el.cy, 15.0, 1e-9);
            }
        }
        const std::string rapport = a->Rapport();
        const bool iso = std::string(fichier).find("iso") != std::string::npos;
        EXPECT_NE(rapport.find(iso ? "first angle" : "third angle"), std::string::npos) << rapport;
    }
}

TEST(LectureDxf, CadreCartoucheEtPouces)
{
    plans::Langue anglais(Zarvel3D::i18n::LANG_EN);
    std::shared_ptr<Enregistrement> e;
    auto a = Enregistre("cadre_cartouche_pouces.dxf", Zarvel3D::ZARVEL_TROIS_VUES, e);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    // Only the three views are drawn, in millimetres; the frame, its title block, the texts, the
    // dimension, the hatch, the solid and the paper space line are left out and reported.
    EXPECT_EQ(e->Lignes(2), 6u);
    EXPECT_EQ(e->Lignes(4), 5u);
    EXPECT_EQ(e->Lignes(8), 5u);
    EXPECT_EQ(e->lignes.size(), 16u);
    double l, h;
    Etendue(*e, 2, l, h);
    EXPECT_NEAR(l, 40.0, 1e-9);
    EXPECT_NEAR(h, 30.0, 1e-9);
    const std::string rapport = a->Rapport();
    EXPECT_NE(rapport.find("25.4 mm per unit"), std::string::npos) << rapport;
    EXPECT_NE(rapport.find("Frame and title block recognised and left out: 12 elements."), std::string::npos)
        << rapport;
    EXPECT_NE(rapport.find("Not supported: 3DSOLID 1."), std::string::npos) << rapport;
    EXPECT_NE(rapport.find("DIMENSION 1, HATCH 1, TEXT 2"), std::string::npos) << rapport;
    EXPECT_NE(rapport.find("Ignored (paper space): 1 entities."), std::string::npos) << rapport;
}

TEST(LectureDxf, BlocsDecalesMisAEchelleImbriques)
{
    std::shared_ptr<Enregistrement> e;
    auto a = Enregistre("blocs_insertions.dxf", Zarvel3D::ZARVEL_TROIS_VUES, e);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    double l, h;
    Etendue(*e, 2, l, h); // half-size block around a base point, inserted at scale 2
    EXPECT_NEAR(l, 40.0, 1e-9);
    EXPECT_NEAR(h, 30.0, 1e-9);
    EXPECT_EQ(e->Lignes(2), 6u);
    Etendue(*e, 8, l, h); // block of two blocks, one of them turned half a turn
    EXPECT_NEAR(l, 40.0, 1e-9);
    EXPECT_NEAR(h, 25.0, 1e-9);
    EXPECT_EQ(e->Lignes(8), 5u);
    ASSERT_NE(LigneHorizontale(*e, 8, 25.0), nullptr);
    EXPECT_NE(std::string(a->Rapport()).find("Blocs insérés : 4."), std::string::npos) << a->Rapport();
}

TEST(LectureDxf, DeuxVuesLaTroisiemeDeduite)
{
    std::shared_ptr<Enregistrement> e;
    auto a = Enregistre("deux_vues_cylindre.dxf", Zarvel3D::ZARVEL_TROIS_VUES, e);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    EXPECT_EQ(e->Lignes(2), 4u);
    EXPECT_EQ(e->Lignes(4), 4u);
    EXPECT_EQ(e->Lignes(8), 0u);
    ASSERT_EQ(e->ellipses.size(), 1u);
    EXPECT_EQ(e->ellipses[0].vue, 8);
    // A tube drawn with front and top views.
    auto b = Enregistre("deux_vues_tube.dxf", Zarvel3D::ZARVEL_TROIS_VUES, e);
    ASSERT_TRUE(b->ValideInit()) << b->Rapport();
    EXPECT_EQ(e->Lignes(4), e->Lignes(2));
    // A U-channel drawn with front and side views only: its top view repeats neither, so it is left
    // undrawn, and the report says so.
    auto c = Enregistre("deux_vues_fs_profil_u_iso.dxf", Zarvel3D::ZARVEL_TROIS_VUES, e);
    ASSERT_TRUE(c->ValideInit()) << c->Rapport();
    EXPECT_EQ(e->Lignes(2), 8u);
    EXPECT_EQ(e->Lignes(4), 5u);
    EXPECT_EQ(e->Lignes(8), 0u);
    EXPECT_NE(std::string(c->Rapport()).find("Vue de dessus : absente, la pièce est lue sans contour dans cette "
                                             "direction."),
              std::string::npos)
        << c->Rapport();
    // A plate from its front and top views: the side view is the one left out.
    auto d = Enregistre("deux_vues_ft_plaque_trous_iso.dxf", Zarvel3D::ZARVEL_TROIS_VUES, e);
    ASSERT_TRUE(d->ValideInit()) << d->Rapport();
    EXPECT_EQ(e->Lignes(4), 0u);
    EXPECT_NE(std::string(d->Rapport()).find("Vue de côté : absente"), std::string::npos) << d->Rapport();
}

TEST(LectureDxf, ExtremitesProchesJointes)
{
    std::shared_ptr<Enregistrement> e;
    auto a = Enregistre("profil_jeux.dxf", Zarvel3D::ZARVEL_EXTRUSION, e, 1.0);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    ASSERT_EQ(e->lignes.size(), 4u);
    // Every end is exactly the end of another line.
    for (std::size_t i = 0; i < 4; ++i)
    {
        const auto& l = e->lignes[i];
        const auto& suivante = e->lignes[(i + 1) % 4];
        EXPECT_EQ(l.x2, suivante.x1);
        EXPECT_EQ(l.y2, suivante.y1);
    }
}

TEST(LectureDxf, ParametresDeGenerationParDefaut)
{
    std::shared_ptr<Enregistrement> e;
    // Extrusion of a three-view plan: the top view only, over the front view's height.
    auto a = Enregistre("piece_coin_iso.dxf", Zarvel3D::ZARVEL_EXTRUSION, e);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    EXPECT_EQ(e->Lignes(8), 4u);
    EXPECT_EQ(e->Lignes(2) + e->Lignes(4), 0u);
    ASSERT_TRUE(a->Genere());
    ASSERT_EQ(e->generations.size(), 1u);
    EXPECT_EQ(e->generations[0].first, 2);
    EXPECT_DOUBLE_EQ(e->generations[0].second, 30.0);
    // A lone profile: its smaller extent; a given length wins.
    auto b = Enregistre("profil_plaque_trou.dxf", Zarvel3D::ZARVEL_EXTRUSION, e);
    ASSERT_TRUE(b->Genere());
    EXPECT_DOUBLE_EQ(e->generations.at(0).second, 30.0);
    auto c = Enregistre("profil_plaque_trou.dxf", Zarvel3D::ZARVEL_EXTRUSION, e, 7.5);
    ASSERT_TRUE(c->Genere());
    EXPECT_DOUBLE_EQ(e->generations.at(0).second, 7.5);
    EXPECT_NE(std::string(c->Rapport()).find("Longueur d'extrusion : 7.5 mm (donnée)."), std::string::npos)
        << c->Rapport();
    // Revolution: a whole turn, the profile in the side view, the axis from the centre line.
    auto d = Enregistre("profil_revolution_axe.dxf", Zarvel3D::ZARVEL_REVOLUTION, e);
    ASSERT_TRUE(d->Genere());
    EXPECT_EQ(e->generations.at(0).first, 3);
    EXPECT_DOUBLE_EQ(e->generations.at(0).second, 360.0);
    EXPECT_EQ(e->Lignes(4), 5u);
    ASSERT_EQ(e->points.size(), 1u);
    EXPECT_NEAR(e->points[0].x, -3.0, 1e-9);
    // A negative extrusion length is refused.
    auto f = Enregistre("profil_plaque_trou.dxf", Zarvel3D::ZARVEL_EXTRUSION, e, -2.0);
    EXPECT_TRUE(f->ValideInit());
    EXPECT_FALSE(f->Genere());
    EXPECT_TRUE(e->generations.empty());
    EXPECT_NE(std::string(f->Diagnostic()).find("-2"), std::string::npos);
}

TEST(LectureDxf, RapportDansLaLangueEnVigueur)
{
    std::shared_ptr<Enregistrement> e;
    auto a = Enregistre("piece_equerre_iso.dxf", Zarvel3D::ZARVEL_TROIS_VUES, e);
    ASSERT_TRUE(a->ValideInit());
    EXPECT_NE(std::string(a->Rapport()).find("Vue de face : 40 x 30 mm"), std::string::npos) << a->Rapport();
    plans::Langue anglais(Zarvel3D::i18n::LANG_EN);
    EXPECT_NE(std::string(a->Rapport()).find("front view: 40 x 30 mm"), std::string::npos) << a->Rapport();
}

TEST(LectureDxf, CalquesEteintsLusQuandRienDAutre)
{
    plans::Langue anglais(Zarvel3D::i18n::LANG_EN);
    std::shared_ptr<Enregistrement> e;
    auto a = Enregistre("calque_eteint_seul.dxf", Zarvel3D::ZARVEL_TROIS_VUES, e);
    ASSERT_TRUE(a->ValideInit()) << a->Rapport();
    EXPECT_EQ(e->lignes.size(), 12u);
    EXPECT_NE(std::string(a->Rapport()).find("Only layers that are off or frozen hold geometry"),
              std::string::npos);
    // Beside other geometry, a layer that is off stays out (see ToutesLesEntitesDuPlan).
}
