// PNG captures: what EcritPNG writes reads back with libpng as the same image; failures leave
// neither a partial file nor a damaged old one.
#include "test_helpers.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <png.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{

struct Image
{
    bool lue = false;
    int largeur = 0;
    int hauteur = 0;
    png_uint_32 format = 0;
    std::vector<unsigned char> rgb;
};

// Reads a PNG file as 8-bit RGB, top row first; format is the file's own.
Image LitPNG(std::string const& chemin)
{
    Image image;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, chemin.c_str())) return image;
    image.format = png.format;
    png.format = PNG_FORMAT_RGB;
    image.rgb.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr))
    {
        png_image_free(&png);
        return image;
    }
    image.lue = true;
    image.largeur = static_cast<int>(png.width);
    image.hauteur = static_cast<int>(png.height);
    return image;
}

std::string Contenu(fs::path const& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::vector<std::string> Noms(fs::path const& dossier)
{
    std::vector<std::string> noms;
    for (auto const& entree : fs::directory_iterator(dossier))
        noms.push_back(entree.path().filename().string());
    return noms;
}

// An image whose every byte differs from its neighbours: rows and channels cannot be mixed up
// without the comparison seeing it.
std::vector<unsigned char> Motif(int largeur, int hauteur)
{
    std::vector<unsigned char> rgb(static_cast<std::size_t>(largeur) * hauteur * 3);
    unsigned int graine = 12345;
    for (unsigned char& octet : rgb)
    {
        graine = graine * 1103515245u + 12345u;
        octet = static_cast<unsigned char>(graine >> 16);
    }
    return rgb;
}

class EcritPNG_glut : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string modele = ::testing::TempDir() + "viewer_png_XXXXXX";
        ASSERT_NE(mkdtemp(modele.data()), nullptr);
        dossier = modele;
    }

    void TearDown() override
    {
        std::error_code erreur;
        fs::remove_all(dossier, erreur);
    }

    fs::path dossier;
};

TEST_F(EcritPNG_glut, RelueIdentiqueLaLigneDuHautEnPremier)
{
    // Width 3: rows of 9 bytes, not a multiple of 4.
    const std::string chemin = (dossier / "capture.png").string();
    // Top row red, bottom row blue.
    std::vector<unsigned char> rgb = Motif(3, 2);
    for (int x = 0; x < 3; ++x)
    {
        rgb[x * 3 + 0] = 255;
        rgb[x * 3 + 1] = 0;
        rgb[x * 3 + 2] = 0;
        rgb[9 + x * 3 + 0] = 0;
        rgb[9 + x * 3 + 1] = 0;
        rgb[9 + x * 3 + 2] = 255;
    }
    rgb[4] = 7; // one pixel of the top row slightly different
    ASSERT_TRUE(EcritPNG(chemin, 3, 2, rgb));
    const Image image = LitPNG(chemin);
    ASSERT_TRUE(image.lue);
    EXPECT_EQ(image.largeur, 3);
    EXPECT_EQ(image.hauteur, 2);
    EXPECT_EQ(image.format, static_cast<png_uint_32>(PNG_FORMAT_RGB));
    EXPECT_EQ(image.rgb, rgb);
    EXPECT_EQ(Noms(dossier), std::vector<std::string>{"capture.png"});
}

TEST_F(EcritPNG_glut, GrandeImageRelueIdentique)
{
    const std::string chemin = (dossier / "grande.png").string();
    const std::vector<unsigned char> rgb = Motif(257, 131);
    ASSERT_TRUE(EcritPNG(chemin, 257, 131, rgb));
    const Image image = LitPNG(chemin);
    ASSERT_TRUE(image.lue);
    EXPECT_EQ(image.largeur, 257);
    EXPECT_EQ(image.hauteur, 131);
    EXPECT_EQ(image.rgb, rgb);
}

TEST_F(EcritPNG_glut, RemplaceUnFichierExistant)
{
    const fs::path chemin = dossier / "capture.png";
    std::ofstream(chemin) << "ancien contenu";
    const std::vector<unsigned char> rgb = Motif(4, 4);
    ASSERT_TRUE(EcritPNG(chemin.string(), 4, 4, rgb));
    EXPECT_EQ(LitPNG(chemin.string()).rgb, rgb);
    EXPECT_EQ(Noms(dossier), std::vector<std::string>{"capture.png"});
}

TEST_F(EcritPNG_glut, RefuseUnDossierAbsent)
{
    const fs::path chemin = dossier / "absent" / "capture.png";
    EXPECT_FALSE(EcritPNG(chemin.string(), 2, 2, Motif(2, 2)));
    EXPECT_FALSE(fs::exists(dossier / "absent"));
    EXPECT_TRUE(Noms(dossier).empty());
}

TEST_F(EcritPNG_glut, RefuseUnFichierSpecial)
{
    // A pipe or a device in the target's place is not replaced by a plain file.
    const fs::path tube = dossier / "tube";
    ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);
    EXPECT_FALSE(EcritPNG(tube.string(), 2, 2, Motif(2, 2)));
    EXPECT_TRUE(fs::is_fifo(tube));
    EXPECT_EQ(Noms(dossier), std::vector<std::string>{"tube"});

    // A directory neither.
    fs::create_directory(dossier / "sous_dossier");
    EXPECT_FALSE(EcritPNG((dossier / "sous_dossier").string(), 2, 2, Motif(2, 2)));
    EXPECT_TRUE(fs::is_directory(dossier / "sous_dossier"));
    EXPECT_EQ(Noms(dossier).size(), 2u);
}

TEST_F(EcritPNG_glut, RefuseLesArgumentsInvalides)
{
    const std::string chemin = (dossier / "capture.png").string();
    const std::vector<unsigned char> rgb = Motif(4, 4);
    EXPECT_FALSE(EcritPNG("", 4, 4, rgb));
    EXPECT_FALSE(EcritPNG(chemin, 0, 4, rgb));
    EXPECT_FALSE(EcritPNG(chemin, 4, 0, rgb));
    EXPECT_FALSE(EcritPNG(chemin, -4, -4, rgb));
    // One byte short of 4 x 4 pixels.
    EXPECT_FALSE(EcritPNG(chemin, 4, 4, std::vector<unsigned char>(rgb.begin(), rgb.end() - 1)));
    EXPECT_TRUE(Noms(dossier).empty());
}

// EcritPNG with files limited to limite bytes: writes beyond fail instead of raising SIGXFSZ.
bool EcritAvecLimite(std::string const& chemin, int largeur, int hauteur,
                     std::vector<unsigned char> const& rgb, rlim_t limite)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit taille;
    taille.rlim_cur = limite;
    taille.rlim_max = limite;
    if (setrlimit(RLIMIT_FSIZE, &taille) != 0) return true;
    return EcritPNG(chemin, largeur, hauteur, rgb);
}

class EcritPNG_glutDeathTest : public EcritPNG_glut
{
};

TEST_F(EcritPNG_glutDeathTest, EchecDEcritureGardeLAncienFichier)
{
    // A file size limit makes the writes fail part-way, as on a full disk; it is set in a child
    // process only. Status 0: refused, 1: reported written.
    const fs::path chemin = dossier / "capture.png";
    std::ofstream(chemin) << "ancien contenu";
    const std::vector<unsigned char> rgb = Motif(128, 128);
    EXPECT_EXIT(std::_Exit(EcritAvecLimite(chemin.string(), 128, 128, rgb, 512) ? 1 : 0),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Contenu(chemin), "ancien contenu");
    EXPECT_EQ(Noms(dossier), std::vector<std::string>{"capture.png"});
}

} // namespace
