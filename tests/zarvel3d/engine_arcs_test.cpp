// Curves drawn as chains of short lines in three-view plans: read as the arcs
// and circles they stand for, and only those.

#include "engine_dessins.h"
#include "maillage_outils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace
{

using essais::Moteur;

struct Point
{
    double x, y;
};

std::vector<Point> PolygoneCercle(double cx, double cy, double r, int n, double a0 = 0.0, double a1 = 360.0)
{
    std::vector<Point> p;
    for (int k = 0; k <= n; ++k)
    {
        const double a = (a0 + (a1 - a0) * k / n) * M_PI / 180.0;
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return p;
}

void Chaine(Zarvel3D::Zarvel& z, int vue, const std::vector<Point>& p)
{
    for (std::size_t k = 1; k < p.size(); ++k)
    {
        essais::Ligne(z, vue, p[k - 1].x, p[k - 1].y, p[k].x, p[k].y);
    }
}

struct Solide
{
    double volume;
    std::size_t surfaces;
};

// `complet`: the views draw every edge of the solid, which then reproduces them.
Solide Genere(const std::function<void(Zarvel3D::Zarvel&)>& dessine, bool complet = true)
{
    Moteur z(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
    dessine(*z);
    EXPECT_EQ(z->Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0.0), 0) << z->Diagnostic();
    if (complet)
    {
        EXPECT_STREQ(z->Ecarts(), "");
    }
    return {outils::Volume(outils::Triangles(z->Scene())), z->Scene().Modele().surfaces.size()};
}

// A cylinder of radius 10 and height 30 standing on the top view's circle.
void Cylindre(Zarvel3D::Zarvel& z, const std::function<void(Zarvel3D::Zarvel&)>& cercle_dessus)
{
    essais::Rectangle(z, 2, 20, 30);
    essais::Rectangle(z, 4, 20, 30);
    cercle_dessus(z);
}

TEST(ArcsEnTraits, UnCercleDe24TraitsEstUnCercle)
{
    const Solide vrai = Genere(
        [](Zarvel3D::Zarvel& z)
        {
            Cylindre(z,
                     [](Zarvel3D::Zarvel& w) {
                         w.AjoutEllipse(8, {10, 10}, 20, 20, 0, 360, 0, essais::Trait(), 0);
                     });
        });
    const Solide traits =
        Genere([](Zarvel3D::Zarvel& z)
               { Cylindre(z, [](Zarvel3D::Zarvel& w) { Chaine(w, 8, PolygoneCercle(10, 10, 10, 24)); }); });
    EXPECT_NEAR(traits.volume, vrai.volume, 1e-6 * vrai.volume);
    EXPECT_EQ(traits.surfaces, vrai.surfaces);
}

TEST(ArcsEnTraits, UnCoinArrondiDeSixTraitsEstUnArcEntreDeuxDroites)
{
    // Bracket 40 x 30 x 25, its top right corner rounded with a radius of 10.
    auto equerre = [](const std::function<void(Zarvel3D::Zarvel&)>& arrondi)
    {
        return [arrondi](Zarvel3D::Zarvel& z)
        {
            essais::Ligne(z, 2, 0, 0, 40, 0);
            essais::Ligne(z, 2, 40, 0, 40, 20);
            arrondi(z);
            essais::Ligne(z, 2, 30, 30, 0, 30);
            essais::Ligne(z, 2, 0, 30, 0, 0);
            essais::Rectangle(z, 4, 25, 30);
            essais::Rectangle(z, 8, 40, 25);
        };
    };
    const Solide vrai = Genere(equerre(
        [](Zarvel3D::Zarvel& z) {
            z.AjoutEllipse(2, {30, 20}, 20, 20, 0, 90, 0, essais::Trait(), 0);
        }));
    const Solide traits =
        Genere(equerre([](Zarvel3D::Zarvel& z) { Chaine(z, 2, PolygoneCercle(30, 20, 10, 6, 0, 90)); }));
    EXPECT_NEAR(vrai.volume, 25 * (1100 + 25 * M_PI), 1e-3 * vrai.volume);
    EXPECT_NEAR(traits.volume, vrai.volume, 1e-6 * vrai.volume);
    EXPECT_EQ(traits.surfaces, vrai.surfaces);
}

TEST(ArcsEnTraits, LesPolygonesQuiNeSontPasDesCerclesRestentDesPolygones)
{
    // An hexagon turns by 60 degrees a corner; a 24-sided polygon with one
    // corner pushed out by 0.1 (ten tolerances) lies on no circle.
    std::vector<Point> hexagone = PolygoneCercle(10, 10, 10, 6);
    std::vector<Point> bosse = PolygoneCercle(10, 10, 10, 24);
    bosse[3] = {10 + 10.1 * std::cos(M_PI / 4), 10 + 10.1 * std::sin(M_PI / 4)};
    for (const auto& polygone : {hexagone, bosse})
    {
        double aire = 0.0;
        for (std::size_t k = 1; k < polygone.size(); ++k)
        {
            aire += 0.5 * (polygone[k - 1].x * polygone[k].y - polygone[k].x * polygone[k - 1].y);
        }
        const Solide s = Genere(
            [&](Zarvel3D::Zarvel& z)
            {
                // Front and side views as wide as the polygon, its side edges left out.
                double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
                for (const Point& p : polygone)
                {
                    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y),
                    y1 = std::max(y1, p.y);
                }
                essais::Rectangle(z, 2, x1 - x0, 30);
                essais::Rectangle(z, 4, y1 - y0, 30);
                Chaine(z, 8, polygone);
            },
            false);
        EXPECT_NEAR(s.volume, aire * 30, 1e-6 * aire * 30) << polygone.size();
    }
}

} // namespace
