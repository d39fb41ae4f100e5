// The viewer through the program: captures (-c) of the built-in cube, of a plan and of a mesh, in
// the four display modes (-a), read back and probed; the errors of a capture. Needs a display
// (xvfb-run -a) with a screen of at least 1024 x 768.
#include "cli_outils.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace
{

struct Image
{
    int largeur = 0;
    int hauteur = 0;
    std::vector<unsigned char> rgb; // top row first

    std::vector<int> Pixel(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * largeur + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

// Reads an 8-bit RGB PNG; an empty image when it cannot.
Image LitPNG(std::string const& chemin)
{
    Image image;
    png_image lecture;
    std::memset(&lecture, 0, sizeof lecture);
    lecture.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&lecture, chemin.c_str())) return image;
    lecture.format = PNG_FORMAT_RGB;
    image.rgb.resize(PNG_IMAGE_SIZE(lecture));
    if (!png_image_finish_read(&lecture, nullptr, image.rgb.data(), 0, nullptr))
    {
        image.rgb.clear();
        return image;
    }
    image.largeur = static_cast<int>(lecture.width);
    image.hauteur = static_cast<int>(lecture.height);
    return image;
}

bool Proche(std::vector<int> const& p, int r, int g, int b, int tolerance)
{
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

// Pixels of a rectangle (x0, y0 from the top left, width, height) satisfying a test.
template <typename Test> int Compte(Image const& image, int x0, int y0, int l, int h, Test test)
{
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + l; ++x)
            if (test(image.Pixel(x, y))) ++n;
    return n;
}

bool Fond(std::vector<int> const& p)
{
    return Proche(p, 30, 37, 47, 2);
}

bool TexteVert(std::vector<int> const& p)
{
    return p[1] > 180 && p[0] < 140 && p[2] < 140;
}

bool Solide(std::vector<int> const& p)
{
    return p[0] > 200 && p[1] > 200 && p[2] > 190;
}

bool Noir(std::vector<int> const& p)
{
    return p[0] < 15 && p[1] < 15 && p[2] < 15;
}

// A capture of the program with these arguments; the image is empty when it failed.
Image Capture(cli::Dossier const& d, std::string const& arguments, std::string const& nom = "capture.png")
{
    const cli::Resultat r = cli::Lance(arguments + " -c " + (d / nom));
    EXPECT_EQ(r.statut, 0) << arguments << "\n" << r.sortie;
    return LitPNG(d / nom);
}

void EcritTetraedre(std::string const& chemin)
{
    std::ofstream f(chemin);
    f << "solid t\n";
    const float p[4][3] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 10}};
    const int faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    for (auto const& t : faces)
    {
        f << "facet normal 0 0 0\nouter loop\n";
        for (int k : t)
            f << "vertex " << p[k][0] << " " << p[k][1] << " " << p[k][2] << "\n";
        f << "endloop\nendfacet\n";
    }
    f << "endsolid t\n";
}

} // namespace

TEST(Visualiseur, CaptureDuCube)
{
    cli::Dossier d;
    const Image image = Capture(d, "");
    ASSERT_EQ(image.largeur, 1024);
    ASSERT_EQ(image.hauteur, 768);
    // Background in the corners, away from the text lines.
    for (auto const& coin : {std::make_pair(1000, 60), std::make_pair(500, 5), std::make_pair(1020, 760),
                             std::make_pair(300, 700)})
        EXPECT_TRUE(Fond(image.Pixel(coin.first, coin.second))) << coin.first << "," << coin.second;
    // The RAL 9010 surfaces fill the middle, around the cross-hair.
    EXPECT_GT(Compte(image, 412, 284, 200, 200, Solide), 30000);
    // The grey cross-hair's horizontal arms, 3 to 10 pixels either side of the centre, over the
    // white faces (the cube's front edge runs vertically through the centre).
    auto gris = [](std::vector<int> const& p) { return Proche(p, 130, 130, 130, 25); };
    EXPECT_GT(Compte(image, 502, 382, 7, 5, gris), 5);
    EXPECT_GT(Compte(image, 515, 382, 7, 5, gris), 5);
    EXPECT_EQ(Compte(image, 470, 382, 20, 5, gris), 0);
    // Green text: the counts at the top left, camera at the bottom left, frame rate at the top right.
    EXPECT_GT(Compte(image, 0, 0, 200, 70, TexteVert), 100);
    EXPECT_GT(Compte(image, 0, 720, 300, 48, TexteVert), 100);
    EXPECT_GT(Compte(image, 920, 0, 104, 30, TexteVert), 20);
}

TEST(Visualiseur, ModesAffichage)
{
    cli::Dossier d;
    Image modes[4];
    for (int m = 0; m < 4; ++m)
    {
        modes[m] = Capture(d, "-a " + std::to_string(m), "mode" + std::to_string(m) + ".png");
        ASSERT_EQ(modes[m].largeur, 1024) << m;
    }
    auto solides = [](Image const& i) { return Compte(i, 312, 184, 400, 400, Solide); };
    auto noirs = [](Image const& i) { return Compte(i, 0, 0, 1024, 768, Noir); };
    // Solids in modes 0 and 1; the wire mesh of mode 2 and the edges of mode 3 leave the faces open.
    EXPECT_GT(solides(modes[0]), 60000);
    EXPECT_GT(solides(modes[1]), 60000);
    EXPECT_LT(solides(modes[2]), 10000);
    EXPECT_GT(solides(modes[2]), 500);
    EXPECT_LT(solides(modes[3]), 10000);
    // The plan's views (black lines) in modes 0 and 3 only.
    EXPECT_GT(noirs(modes[0]), 500);
    EXPECT_GT(noirs(modes[3]), 500);
    EXPECT_LT(noirs(modes[1]), 50);
    EXPECT_LT(noirs(modes[2]), 50);
    // Mode 2 draws the triangles' diagonals across the faces, mode 3 only the cube's edges.
    EXPECT_GT(solides(modes[2]), solides(modes[3]));
    // The heads-up text stays in its places in every mode, with or without the post-processing
    // pass (mode 2 has none, and leaves the renderer's program current).
    for (int m = 0; m < 4; ++m)
    {
        EXPECT_GT(Compte(modes[m], 0, 0, 200, 70, TexteVert), 100) << m;
        EXPECT_GT(Compte(modes[m], 0, 720, 300, 48, TexteVert), 100) << m;
    }
}

TEST(Visualiseur, PlanEtMaillage)
{
    cli::Dossier d;
    const Image plan = Capture(d, std::string(ZARVEL_DONNEES) + "/dxf/piece_equerre_iso.dxf", "plan.png");
    ASSERT_EQ(plan.largeur, 1024);
    EXPECT_GT(Compte(plan, 312, 184, 400, 400, Solide), 5000);
    EcritTetraedre(d / "tetra.stl");
    const Image maillage = Capture(d, d / "tetra.stl", "maillage.png");
    ASSERT_EQ(maillage.largeur, 1024);
    EXPECT_GT(Compte(maillage, 312, 184, 400, 400, Solide), 5000);
    EXPECT_TRUE(Fond(maillage.Pixel(1000, 60)));
}

TEST(Visualiseur, ErreursDeCapture)
{
    cli::Dossier d;
    const std::string cible = (d / "absent") + "/capture.png";
    cli::Resultat r = cli::Lance("-c " + cible);
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, "Erreur lors de l'écriture de la capture '" + cible + "'\n");
    EXPECT_FALSE(cli::Existe(cible));

    // No display at all: no window, status 1 and the reason.
    r = cli::Lance("-c " + (d / "sans.png"), "DISPLAY=");
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie.rfind("Erreur: impossible d'ouvrir la fenêtre du visualiseur", 0), 0u) << r.sortie;
    EXPECT_FALSE(cli::Existe(d / "sans.png"));

    // -c without a file and a display mode out of range are usage errors.
    r = cli::Lance("-x -c");
    EXPECT_EQ(r.statut, 2);
    EXPECT_EQ(r.sortie, "Erreur: -c attend le nom du fichier PNG de la capture.\n\n");
    for (char const* mode : {"4", "-1", "x", "01"})
    {
        r = cli::Lance(std::string("-x -a ") + mode);
        EXPECT_EQ(r.statut, 2) << mode;
        EXPECT_EQ(r.sortie, "Erreur: Mode d'affichage invalide (0, 1, 2 ou 3 attendu).\n\n") << mode;
    }
}
