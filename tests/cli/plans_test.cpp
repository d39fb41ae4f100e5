// Plans converted through the program itself: the model is exported to a
// binary STL and its volume measured from the file.
#include "cli_outils.h"
#include "sous_sanitizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace
{
const std::string avertissement =
    "Zarvel_cli :: Attention : le modèle ne reproduit pas exactement les vues du plan.";

std::string Plan(const std::string& nom)
{
    return std::string(ZARVEL_DONNEES) + "/dxf/" + nom;
}

// Volume enclosed by a binary STL (sum of signed tetrahedra); NaN when the
// file is not a complete binary STL.
double VolumeSTL(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    std::vector<char> o((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (o.size() < 84) return NAN;
    uint32_t n = 0;
    std::memcpy(&n, o.data() + 80, 4);
    if (o.size() != 84 + 50ull * n) return NAN;
    double v = 0;
    for (uint32_t t = 0; t < n; ++t)
    {
        float p[9];
        std::memcpy(p, o.data() + 84 + 50ull * t + 12, 36);
        v += (p[0] * (p[4] * p[8] - p[5] * p[7]) - p[1] * (p[3] * p[8] - p[5] * p[6]) +
              p[2] * (p[3] * p[7] - p[4] * p[6])) /
             6.0;
    }
    return v;
}

// The surface count from a -v report line such as "... : 6 surfaces, ...".
long Surfaces(const std::string& sortie)
{
    std::smatch m;
    if (std::regex_search(sortie, m, std::regex("([0-9]+) surfaces"))) return std::stol(m[1]);
    return -1;
}

// Shape of the mesh of a binary STL: its box, whether it is closed (every edge
// between two corners, taken by position, is run as often in each direction,
// degenerate triangles aside) and how many shells it has (triangles joined
// through shared corners).
struct Forme
{
    std::array<double, 6> boite{{INFINITY, INFINITY, INFINITY, -INFINITY, -INFINITY, -INFINITY}};
    bool fermee = false;
    int coques = 0;
};

Forme FormeSTL(const std::string& chemin)
{
    using Point = std::array<float, 3>;
    Forme forme;
    std::ifstream f(chemin, std::ios::binary);
    std::vector<char> o((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    uint32_t n = 0;
    if (o.size() < 84 || (std::memcpy(&n, o.data() + 80, 4), o.size() != 84 + 50ull * n)) return forme;
    std::map<Point, int> indices;
    std::vector<int> parent;
    auto racine = [&parent](int i)
    {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    std::map<std::pair<int, int>, int> aretes;
    for (uint32_t t = 0; t < n; ++t)
    {
        int id[3];
        for (int k = 0; k < 3; ++k)
        {
            Point p;
            std::memcpy(p.data(), o.data() + 84 + 50ull * t + 12 + 12 * k, 12);
            const auto [it, nouveau] = indices.emplace(p, static_cast<int>(parent.size()));
            if (nouveau) parent.push_back(it->second);
            id[k] = it->second;
            for (int c = 0; c < 3; ++c)
            {
                forme.boite[c] = std::min(forme.boite[c], static_cast<double>(p[c]));
                forme.boite[3 + c] = std::max(forme.boite[3 + c], static_cast<double>(p[c]));
            }
        }
        if (id[0] == id[1] || id[1] == id[2] || id[2] == id[0]) continue;
        for (int k = 0; k < 3; ++k)
        {
            ++aretes[{id[k], id[(k + 1) % 3]}];
            parent[racine(id[k])] = racine(id[(k + 1) % 3]);
        }
    }
    forme.fermee = n > 0;
    for (const auto& [a, nombre] : aretes)
    {
        const auto retour = aretes.find({a.second, a.first});
        forme.fermee = forme.fermee && retour != aretes.end() && retour->second == nombre;
    }
    for (std::size_t i = 0; i < parent.size(); ++i)
    {
        forme.coques += racine(static_cast<int>(i)) == static_cast<int>(i) ? 1 : 0;
    }
    return forme;
}

struct Conversion
{
    cli::Resultat r;
    double volume = NAN;
    Forme forme;
};

Conversion Convertit(const std::string& plan, const std::string& options)
{
    cli::Dossier d;
    const std::string sortie = d / "modele.stl";
    Conversion c;
    c.r = cli::Lance("-i " + Plan(plan) + " " + options + " -v -o " + sortie);
    c.volume = VolumeSTL(sortie);
    c.forme = FormeSTL(sortie);
    return c;
}

// The part's box is its width, height and depth (faceted curves may fall
// short of them by their chord deviation); its mesh is closed, in `coques`
// shells.
void ExpectForme(const Conversion& c, const std::array<double, 3>& taille, int coques, const std::string& nom)
{
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_NEAR(c.forme.boite[3 + k] - c.forme.boite[k], taille[k], 0.005 * taille[k])
            << nom << " axis " << k;
    }
    EXPECT_TRUE(c.forme.fermee) << nom;
    EXPECT_EQ(c.forme.coques, coques) << nom;
}

// A conversion that succeeds without the warning, to the part's volume within 0.5 %.
void ExpectExacte(const Conversion& c, double volume, const std::string& plan)
{
    EXPECT_EQ(c.r.statut, 0) << plan << "\n" << c.r.sortie;
    EXPECT_NEAR(c.volume, volume, 0.005 * volume) << plan << "\n" << c.r.sortie;
    EXPECT_EQ(c.r.sortie.find(avertissement), std::string::npos) << plan << "\n" << c.r.sortie;
}

// With -e, a plan that no solid reproduces fails with status 1, the warning and no file.
cli::Resultat ExpectEchecAvecE(const std::string& plan)
{
    cli::Dossier d;
    const std::string sortie = d / "modele.stl";
    const cli::Resultat e = cli::Lance("-i " + Plan(plan) + " -e -o " + sortie);
    EXPECT_EQ(e.statut, 1) << plan << "\n" << e.sortie;
    EXPECT_NE(e.sortie.find(avertissement), std::string::npos) << plan << "\n" << e.sortie;
    EXPECT_FALSE(cli::Existe(sortie)) << plan;
    return e;
}

const char* const dispositions[] = {"iso", "ansi"};

// A minimal DXF holding only LINE entities (x1, y1, x2, y2 each).
void EcritLignes(const std::string& chemin, const std::vector<std::array<double, 4>>& lignes)
{
    std::ofstream f(chemin);
    f << "0\nSECTION\n2\nENTITIES\n";
    for (const auto& l : lignes)
        f << "0\nLINE\n8\n0\n10\n"
          << l[0] << "\n20\n"
          << l[1] << "\n30\n0\n11\n"
          << l[2] << "\n21\n"
          << l[3] << "\n31\n0\n";
    f << "0\nENDSEC\n0\nEOF\n";
}
} // namespace

TEST(Zarvel_cli_plans, ProfilAvecAretesInterieuresNEstPasUnCadre)
{
    // A 100 x 190 profile crossed by two edges that end on its sides, the
    // band between them closed by segments lying on the outline: the band
    // touches the border but is no title block.
    cli::Dossier d;
    EcritLignes(d / "bande.dxf", {{{100, 190, 100, 0}},
                                  {{0, 0, 0, 190}},
                                  {{0, 144, 0, 46}},
                                  {{100, 190, 0, 190}},
                                  {{100, 0, 0, 0}},
                                  {{100, 46, 0, 46}},
                                  {{100, 144, 0, 144}},
                                  {{100, 144, 100, 46}}});
    const cli::Resultat r = cli::Lance("-i " + (d / "bande.dxf") + " -m e -l 2 -v -o " + (d / "bande.stl"));
    EXPECT_EQ(r.statut, 0) << r.sortie;
    EXPECT_EQ(r.sortie.find("Cadre"), std::string::npos) << r.sortie;
    EXPECT_NEAR(VolumeSTL(d / "bande.stl"), 100 * 190 * 2.0, 1e-3) << r.sortie;
}

TEST(Zarvel_cli_plans, VueContreLeCartoucheResteUneVue)
{
    // An L-section bar (30 long, L of 20 x 30 with a 12 x 20 notch) in three
    // views, third angle, inside a frame whose title block, in the lower
    // right corner, has the side view standing on its top line. The frame
    // and the block go; the side view, the only one showing the L, stays.
    cli::Dossier d;
    std::vector<std::array<double, 4>> lignes = {
        {{0, 0, 300, 0}},    {{300, 0, 300, 200}}, {{300, 200, 0, 200}}, {{0, 200, 0, 0}},
        {{200, 0, 200, 40}}, {{200, 40, 300, 40}}, {{250, 0, 250, 40}},
    };
    const auto contour = [&lignes](double x, double y, std::vector<std::array<double, 2>> points)
    {
        for (size_t k = 0; k < points.size(); ++k)
        {
            const auto& a = points[k];
            const auto& b = points[(k + 1) % points.size()];
            lignes.push_back({{x + a[0], y + a[1], x + b[0], y + b[1]}});
        }
    };
    contour(150, 40, {{{0, 0}}, {{30, 0}}, {{30, 30}}, {{0, 30}}});                       // front
    lignes.push_back({{150, 50, 180, 50}});                                               // step edge
    contour(220, 40, {{{0, 0}}, {{20, 0}}, {{20, 10}}, {{8, 10}}, {{8, 30}}, {{0, 30}}}); // side
    contour(150, 90, {{{0, 0}}, {{30, 0}}, {{30, 20}}, {{0, 20}}});                       // top
    lignes.push_back({{150, 98, 180, 98}});                                               // step edge
    EcritLignes(d / "cadre.dxf", lignes);
    const cli::Resultat r = cli::Lance("-i " + (d / "cadre.dxf") + " -v -o " + (d / "barre.stl"));
    EXPECT_EQ(r.statut, 0) << r.sortie;
    EXPECT_NEAR(VolumeSTL(d / "barre.stl"), 30 * (20 * 10 + 8 * 20.0), 1e-3) << r.sortie;
}

TEST(Zarvel_cli_plans, DessinsDeTestEnDXF)
{
    const double pi = M_PI;
    struct Cas
    {
        const char* plan;
        const char* options;
        const char* dessin;
        double volume;
        double tolerance;
    };
    // Plane faces only: the mesh holds the exact volume. The curved parts
    // are faceted, so their volume is compared within the mesh's error.
    const Cas cas[] = {
        {"piece_cube15_iso.dxf", "-m z", "-m z", 3375.0, 1e-6},
        {"piece_cube15_ansi.dxf", "-m z", "-m z", 3375.0, 1e-6},
        {"profil_carre10.dxf", "-m e -l 5", "-m e", 500.0, 1e-6},
        {"piece_mod_iso.dxf", "-m p", "-m p", 900.0 - 6 * pi * 4 * 3, 5e-3},
        {"profil_revolution_point.dxf", "-m r -l 270", "-m r", 0.75 * pi * (169 - 9) * 10, 5e-3},
    };
    for (const Cas& c : cas)
    {
        const Conversion plan = Convertit(c.plan, c.options);
        EXPECT_EQ(plan.r.statut, 0) << c.plan << "\n" << plan.r.sortie;
        EXPECT_NEAR(plan.volume, c.volume, c.tolerance * c.volume) << c.plan;
        const cli::Resultat dessin = cli::Lance(std::string(c.dessin) + " -x -v");
        EXPECT_EQ(dessin.statut, 0);
        EXPECT_GT(Surfaces(dessin.sortie), 0) << dessin.sortie;
        EXPECT_EQ(Surfaces(plan.r.sortie), Surfaces(dessin.sortie)) << c.plan << "\n"
                                                                    << plan.r.sortie << dessin.sortie;
    }
}

TEST(Zarvel_cli_plans, PiecesReellesAuDemiPourCentPres)
{
    const double pi = M_PI;
    struct Cas
    {
        const char* plan;
        const char* options;
        double volume;
    };
    const Cas cas[] = {
        {"piece_equerre_iso.dxf", "", 12400.0},
        {"piece_profil_u_ansi.dxf", "", 26560.0},
        {"piece_escalier_iso.dxf", "", 36000.0},
        {"piece_rainure_iso.dxf", "", 39000.0},
        {"piece_percages_iso.dxf", "", 120000.0 - pi * 25 * 50 - pi * 36 * 40},
        {"piece_bride_iso.dxf", "", 12 * pi * (2500 - 400 - 100)},
        {"piece_tube_iso.dxf", "", pi * (225 - 100) * 50},
        {"piece_coin_ansi.dxf", "", 16000.0},
        {"piece_poche_iso.dxf", "", 43200.0},
        {"piece_trou_borgne_iso.dxf", "", 60000.0 - pi * 36 * 15},
        {"piece_te_iso.dxf", "", 18900.0},
        {"deux_vues_cylindre.dxf", "", pi * 100 * 30},
        {"cadre_cartouche_pouces.dxf", "", 12400.0},
        {"blocs_insertions.dxf", "", 12400.0},
        {"profil_plaque_trou.dxf", "-m e -l 6", 6 * (1500 - 64 * pi)},
        {"profil_oblong.dxf", "-m e -l 5", 5 * (24 * 16 + 64 * pi)},
        {"profil_arbre.dxf", "-m r", pi * (100 * 20 + 36 * 20)},
    };
    for (const Cas& c : cas)
    {
        const Conversion plan = Convertit(c.plan, c.options);
        EXPECT_EQ(plan.r.statut, 0) << c.plan << "\n" << plan.r.sortie;
        EXPECT_NEAR(plan.volume, c.volume, 0.005 * c.volume) << c.plan << "\n" << plan.r.sortie;
        // Each of these solids reproduces its drawing.
        EXPECT_EQ(plan.r.sortie.find(avertissement), std::string::npos) << c.plan << "\n" << plan.r.sortie;
    }
}

TEST(Zarvel_cli_plans, TrousSansTraitsCachesEtRevolutionsEnPremierEtTroisiemeDiedre)
{
    const double pi = M_PI;
    struct Piece
    {
        const char* nom;
        double volume;
        std::array<double, 3> taille; // width, height, depth
        int coques;
    };
    const Piece pieces[] = {
        {"plaque_trous", 60 * 8 * 40 - 4 * pi * 16 * 8, {60, 8, 40}, 1},
        {"trous_croises", 40 * 30 * 30 - pi * 16 * 30 - pi * 9 * 40, {40, 30, 30}, 1},
        {"cone", pi * 100 * 25 / 3, {20, 25, 20}, 1},
        {"demi_sphere", 2.0 / 3.0 * pi * 15 * 15 * 15, {30, 15, 30}, 1},
        {"boule", 4.0 / 3.0 * pi * 1000, {20, 20, 20}, 1},
        {"arbre_epaule", pi * 25 * 20 + pi * 100 * 30, {50, 20, 20}, 1},
        {"chambrage", 40 * 20 * 40 - pi * 16 * 20 - pi * 33 * 6, {40, 20, 40}, 1},
        {"fraisure", 40 * 10 * 40 - pi * 16 * 10 - pi * 45, {40, 10, 40}, 1},
        {"pointe_foret", 40 * 30 * 40 - pi * 25 * 20 - pi * 25, {40, 30, 40}, 1},
        {"bride_tournee", pi * 900 * 8 + pi * 225 * 20 - pi * 64 * 28, {60, 28, 60}, 1},
        {"cylindre_facettes", pi * 100 * 30, {20, 30, 20}, 1},
        {"equerre_arrondie", 25 * (1100 + 25 * pi), {40, 30, 25}, 1},
        {"coin_coupe", 24000 - 800.0 / 6, {40, 30, 20}, 1},
        {"coins_coupes", 24000 - 1600.0 / 6, {40, 30, 20}, 1},
        {"equerre_nervure", 6000 + 3750 + 1000, {40, 30, 30}, 1},
        {"equerre_deux_nervures", 6000 + 3750 + 1600, {40, 30, 30}, 1},
        {"poche_pyramide", 32000 - 4000.0 / 3, {40, 20, 40}, 1},
        // The cavity is a void inside the block: a second shell.
        {"cavite", 36000 - 2000, {40, 30, 30}, 2},
        // Less the two holes, plus their common part (208.905 mm3, integrated numerically).
        {"trous_internes", 36000 - 580 * pi + 208.905, {40, 30, 30}, 1},
    };
    for (int p = 0; p < static_cast<int>(std::size(pieces)); ++p)
    {
        const auto& [nom, volume, taille, coques] = pieces[p];
        for (int k = 0; k < 2; ++k)
        {
            if (!essais::UneDisposition(p, k)) continue;
            const char* disposition = dispositions[k];
            const std::string plan = std::string("piece_") + nom + "_" + disposition + ".dxf";
            const Conversion c = Convertit(plan, "");
            ExpectExacte(c, volume, plan);
            ExpectForme(c, taille, coques, plan);
            // Front and top views alone determine the parts of revolution and the counterbored plate.
            const std::string deux_vues = std::string("deux_vues_") + nom + "_" + disposition + ".dxf";
            if (!cli::Existe(Plan(deux_vues))) continue;
            const Conversion d = Convertit(deux_vues, "");
            EXPECT_EQ(d.r.statut, 0) << deux_vues << "\n" << d.r.sortie;
            EXPECT_NEAR(d.volume, volume, 0.005 * volume) << deux_vues << "\n" << d.r.sortie;
            // Two views carry no sign of their layout: they are read as first angle, so the upper
            // view of a third-angle pair is taken for the front: the part comes out lying on its
            // back, height and depth exchanged (the report says which layout was assumed).
            const bool ansi = std::string(disposition) == "ansi";
            ExpectForme(d, ansi ? std::array<double, 3>{taille[0], taille[2], taille[1]} : taille, coques,
                        deux_vues);
        }
    }
}

TEST(Zarvel_cli_plans, DeuxVuesQuiNeSeRepetentPasSuffisentALaPiecePrismatique)
{
    struct Piece
    {
        const char* nom;
        double volume;
        std::array<double, 3> taille; // width, height, depth
    };
    const Piece pieces[] = {
        {"fs_profil_u", (50 * 30 - 38 * 22) * 40.0, {50, 30, 40}},
        {"fs_equerre", 12400, {40, 30, 25}},
        {"fs_te", 35 * 540.0, {40, 30, 35}},
        // Front and side views whose extents would let the front view repeat as the top view.
        {"fs_escalier", 36000, {60, 30, 30}},
        {"fs_equerre_nervure", 6000 + 3750 + 1000, {40, 30, 30}},
        {"ft_poche", 60 * 20 * 40 - 30 * 20 * 8.0, {60, 20, 40}},
        {"ft_plaque_trous", 60 * 8 * 40 - 4 * M_PI * 16 * 8, {60, 8, 40}},
        // As high as wide, but no circle about the front view's centre: no turned copy of the top view.
        {"ft_plaque_carree", 40 * 40 * 10 - 16 * M_PI * 10, {40, 40, 10}},
    };
    for (int p = 0; p < static_cast<int>(std::size(pieces)); ++p)
    {
        const auto& [nom, volume, taille] = pieces[p];
        for (int k = 0; k < 2; ++k)
        {
            if (!essais::UneDisposition(p, k)) continue;
            const char* disposition = dispositions[k];
            const std::string plan = std::string("deux_vues_") + nom + "_" + disposition + ".dxf";
            const Conversion c = Convertit(plan, "");
            ExpectExacte(c, volume, plan);
            const bool dessus = nom[1] == 't';
            EXPECT_NE(c.r.sortie.find(dessus ? "Vue de côté : absente" : "Vue de dessus : absente"),
                      std::string::npos)
                << plan << "\n"
                << c.r.sortie;
            // Read as first angle: a third-angle front and top pair comes out lying on its back, a
            // front and side pair mirrored front to back (the same box).
            const bool couchee = dessus && std::string(disposition) == "ansi";
            ExpectForme(c, couchee ? std::array<double, 3>{taille[0], taille[2], taille[1]} : taille, 1,
                        plan);
        }
    }
}

TEST(Zarvel_cli_plans, PocheOuverteSurLeContourCommeLaFenteDUneChape)
{
    // A clevis: its slot, open at the top between two prongs, goes from the front face to a wall
    // whose hole shows through it. The slot is no inner outline of the front view; the side and top
    // views tell its depth. Its rounded bottom meets the sides tangentially, edges the other views
    // leave out.
    const double volume = (1200 + 200 * M_PI) * 30 - (600 + 50 * M_PI) * 20 - 16 * M_PI * 10;
    for (const char* plan : {"piece_chape_iso.dxf", "piece_chape_ansi.dxf", "deux_vues_fs_chape_iso.dxf",
                             "deux_vues_fs_chape_ansi.dxf"})
    {
        const Conversion c = Convertit(plan, "");
        ExpectExacte(c, volume, plan);
        ExpectForme(c, {40, 50, 30}, 1, plan);
    }
    // The top view draws the slot deeper than the side view: no solid reproduces both.
    const Conversion presque = Convertit("presque_chape_iso.dxf", "");
    EXPECT_EQ(presque.r.statut, 0) << presque.r.sortie;
    EXPECT_NE(presque.r.sortie.find(avertissement), std::string::npos) << presque.r.sortie;
    ExpectEchecAvecE("presque_chape_iso.dxf");
}

TEST(Zarvel_cli_plans, TeDeTubesPasEncoreLuMaisJamaisEnSilence)
{
    // Two pipes meeting at right angles are not read yet: the solid written is too big, and the
    // program says so, in both layouts, within the test's time limit (its curves are many short
    // lines, which must not each cut the part into cells). The best reading found is within 4 % of
    // the true volume (13501.17 mm3, integrated numerically by the plan's generator): it needs a
    // candidate whose finishing merge trips in the kernel, and which is kept with its faces split.
    const double pi = M_PI;
    for (int k = 0; k < 2; ++k)
    {
        if (!essais::UneDisposition(0, k)) continue;
        const std::string plan = std::string("piece_te_tubes_") + dispositions[k] + ".dxf";
        const Conversion c = Convertit(plan, "");
        EXPECT_EQ(c.r.statut, 0) << plan << "\n" << c.r.sortie;
        EXPECT_GT(c.volume, 3840 * pi) << plan;
        EXPECT_LT(c.volume, 1.04 * 13501.17) << plan;
        EXPECT_NE(c.r.sortie.find(avertissement), std::string::npos) << plan << "\n" << c.r.sortie;
    }
}

TEST(Zarvel_cli_plans, VuesDecaleesDUnMillemeSontUneSeuleTaille)
{
    // A top view 0.05 narrower than the front view: converted, with the warning.
    const Conversion presque = Convertit("presque_largeur.dxf", "");
    EXPECT_EQ(presque.r.statut, 0) << presque.r.sortie;
    EXPECT_NEAR(presque.volume, 100 * 20 * 30, 0.005 * 60000) << presque.r.sortie;
    EXPECT_NE(presque.r.sortie.find(avertissement), std::string::npos) << presque.r.sortie;
    // 1 narrower: no views that fit together, and no file. The front and side views alone are
    // not read as a two-view plan while a view out of line is drawn beside them.
    const Conversion mauvais = Convertit("mauvais_largeur.dxf", "");
    EXPECT_EQ(mauvais.r.statut, 1) << mauvais.r.sortie;
    EXPECT_TRUE(std::isnan(mauvais.volume)) << mauvais.r.sortie;
    EXPECT_NE(mauvais.r.sortie.find("Deux vues alignées, mais d'autres éléments ne s'alignent pas sur elles "
                                    "(groupes à l'écart : 1)"),
              std::string::npos)
        << mauvais.r.sortie;
}

TEST(Zarvel_cli_plans, VuesQuAucunSolideNeReproduitAvertissentOuEchouentAvecE)
{
    // Each near miss and the start of the report line, after the warning, that -v gives for it.
    const std::string sans_arete = "trait du plan sans arête du solide en (";
    const std::string absente = "arête visible du solide absente du plan en (";
    const std::pair<const char*, std::string> pieces[] = {
        // The stray line of the front view (view 2).
        {"plaque_trous", "Vue 2 : " + sans_arete + "20"},
        // The crossing hole's sides without its circle.
        {"trous_croises", "Vue 2 : " + sans_arete + "20"},
        // The cone's extra circle in the top view (8).
        {"cone", "Vue 8 : " + sans_arete},
        // The counterbore's hidden lines and the cut corner's oblique in the front view.
        {"chambrage", "Vue 2 : " + sans_arete + "13, 14"},
        {"coin_coupe", "Vue 2 : " + sans_arete + "30"},
        // The rib's edges in the side view (4).
        {"equerre_nervure", "Vue 4 : " + absente},
        // The pocket's missing diagonal in the top view.
        {"poche_pyramide", "Vue 8 : " + absente + "20"},
        // The cavity's disagreeing depth.
        {"cavite", "Vue 8 : " + sans_arete},
        {"trous_internes", "Vue 2 : " + sans_arete + "22"},
    };
    for (int p = 0; p < static_cast<int>(std::size(pieces)); ++p)
    {
        for (int k = 0; k < 2; ++k)
        {
            if (!essais::UneDisposition(p, k)) continue;
            const auto& [piece, attendu] = pieces[p];
            const std::string nom = std::string("presque_") + piece + "_" + dispositions[k] + ".dxf";
            // The best solid is still written, with the warning right after the conversion.
            const Conversion c = Convertit(nom, "");
            EXPECT_EQ(c.r.statut, 0) << nom << "\n" << c.r.sortie;
            EXPECT_GT(c.volume, 0.0) << nom;
            const std::size_t ligne = c.r.sortie.find(avertissement);
            ASSERT_NE(ligne, std::string::npos) << nom << "\n" << c.r.sortie;
            EXPECT_NE(c.r.sortie.find(attendu, ligne), std::string::npos) << nom << "\n" << c.r.sortie;

            // -e: a failure, and no file; without -v, the warning alone.
            const cli::Resultat e = ExpectEchecAvecE(nom);
            EXPECT_EQ(e.sortie.find("trait du plan"), std::string::npos) << nom << "\n" << e.sortie;
        }
    }
}

TEST(Zarvel_cli_plans, FormatsDExport)
{
    cli::Dossier d;
    for (const char* nom : {"equerre.step", "equerre.STP", "equerre.obj", "equerre.ply", "equerre.stl"})
    {
        const cli::Resultat r = cli::Lance("-i " + Plan("piece_equerre_iso.dxf") + " -o " + (d / nom));
        EXPECT_EQ(r.statut, 0) << nom << "\n" << r.sortie;
        // The export says nothing on success (the modelling kernel's own
        // reports included).
        EXPECT_EQ(r.sortie, "") << nom;
        EXPECT_TRUE(cli::Existe(d / nom)) << nom;
    }
    std::ifstream step(d / "equerre.step");
    std::string premiere;
    std::getline(step, premiere);
    EXPECT_EQ(premiere.rfind("ISO-10303-21", 0), 0u) << premiere;
}

TEST(Zarvel_cli_plans, ParametreEtRapport)
{
    // -l sets the extrusion length; without it the default applies.
    Conversion c = Convertit("profil_carre10.dxf", "-m e -l 2.5");
    EXPECT_NEAR(c.volume, 250.0, 1e-6);
    c = Convertit("profil_revolution_point.dxf", "-m r");
    EXPECT_NEAR(c.volume, M_PI * (169 - 9) * 10, 5e-3 * c.volume);

    // A framed plan in inches: the frame and title block are left out, the
    // top view is extruded over the front view's height, and -l counts in
    // the plan's unit.
    c = Convertit("cadre_cartouche_pouces.dxf", "-m e");
    EXPECT_NEAR(c.volume, 40 * 25 * 30.0, 1e-6 * 30000) << c.r.sortie;
    c = Convertit("cadre_cartouche_pouces.dxf", "-m e -l 1");
    EXPECT_NEAR(c.volume, 40 * 25 * 25.4, 1e-6 * 25400) << c.r.sortie;

    // Bad values are usage errors.
    for (const char* mauvais : {"-l", "-l 0", "-l abc", "-l 5mm", "-l nan", "-l inf"})
    {
        const cli::Resultat r = cli::Lance("-i " + Plan("profil_carre10.dxf") + " -m e " + mauvais);
        EXPECT_EQ(r.statut, 2) << mauvais;
        EXPECT_EQ(r.sortie, "Erreur: Valeur de -l invalide (nombre positif attendu).\n\n") << mauvais;
    }

    // Without -v the output is the driver's line alone; with it the
    // library's reasons follow.
    cli::Dossier d;
    const std::string cible = " -o " + (d / "x.stl");
    const std::string ligne =
        "Zarvel_cli :: Erreur initialisation Zarvel_auto (il a probablement été impossible "
        "d'extraire les vues dans le plan).\n";
    cli::Resultat r = cli::Lance("-i " + Plan("mauvais_vues_non_alignees.dxf") + cible);
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, ligne);
    r = cli::Lance("-i " + Plan("mauvais_vues_non_alignees.dxf") + cible + " -v");
    EXPECT_EQ(r.statut, 1);
    ASSERT_GT(r.sortie.size(), ligne.size());
    EXPECT_EQ(r.sortie.compare(0, ligne.size(), ligne), 0);

    r = cli::Lance("-i " + Plan("mauvais_ouvert.dxf") + " -m e" + cible);
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, "Zarvel_cli :: Erreur génération Zarvel3D !\n");
    r = cli::Lance("-i " + Plan("mauvais_ouvert.dxf") + " -m e" + cible + " -v");
    EXPECT_GT(r.sortie.size(), std::string("Zarvel_cli :: Erreur génération Zarvel3D !\n").size());
    EXPECT_FALSE(cli::Existe(d / "x.stl"));
}

TEST(Zarvel_cli_plans, MauvaisPlansSansPlantage)
{
    for (const char* nom :
         {"mauvais_vide.dxf", "mauvais_pas_dxf.dxf", "mauvais_tronque.dxf", "mauvais_code.dxf",
          "mauvais_nan.dxf", "mauvais_1e300.dxf", "mauvais_rien_modele.dxf", "mauvais_binaire.dxf",
          "mauvais_vues_incoherentes.dxf"})
    {
        cli::Dossier d;
        const cli::Resultat r = cli::Lance("-i " + Plan(nom) + " -o " + (d / "x.stl"));
        EXPECT_EQ(r.statut, 1) << nom << "\n" << r.sortie;
        EXPECT_FALSE(cli::Existe(d / "x.stl")) << nom;
    }
}
