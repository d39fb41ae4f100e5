// The progress display: its line, and through the program with standard error on a
// pseudo-terminal (shown, then erased, nothing on standard output) and on a pipe (nothing).
#include "cli_outils.h"
#include "zarvel_progression.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>

namespace
{

// A flat square grid of n x n quads, two triangles each, as binary STL: big enough a mesh takes
// the import past the display's half second.
void EcritGrille(std::string const& chemin, int n)
{
    std::ofstream f(chemin, std::ios::binary);
    char entete[80] = {};
    f.write(entete, 80);
    const std::uint32_t nombre = static_cast<std::uint32_t>(2 * n * n);
    f.write(reinterpret_cast<char const*>(&nombre), 4);
    std::vector<char> ligne(static_cast<std::size_t>(n) * 100);
    for (int i = 0; i < n; ++i)
    {
        char* p = ligne.data();
        for (int j = 0; j < n; ++j)
        {
            const float x0 = static_cast<float>(i), x1 = x0 + 1, y0 = static_cast<float>(j), y1 = y0 + 1;
            const float triangles[2][12] = {{0, 0, 1, x0, y0, 0, x1, y0, 0, x1, y1, 0},
                                            {0, 0, 1, x0, y0, 0, x1, y1, 0, x0, y1, 0}};
            for (auto const& t : triangles)
            {
                std::memcpy(p, t, 48);
                std::memset(p + 48, 0, 2);
                p += 50;
            }
        }
        f.write(ligne.data(), p - ligne.data());
    }
}

// What the terminal shows once every line redrawn in place (from a carriage return to the
// erase sequence) is taken out.
std::string SansLignesDeProgression(std::string texte)
{
    std::size_t debut;
    while ((debut = texte.find('\r')) != std::string::npos)
    {
        const std::size_t fin = texte.find("\033[K", debut);
        if (fin == std::string::npos)
        {
            texte.erase(debut, 1); // the terminal's own carriage return before a newline
            continue;
        }
        texte.erase(debut, fin + 3 - debut);
    }
    return texte;
}

} // namespace

TEST(LigneProgression, AvecEtSansTotal)
{
    EXPECT_EQ(LigneProgression("Import du maillage", 450, 1000, 1.23), "Import du maillage : 45 % (1.2 s)");
    EXPECT_EQ(LigneProgression("Export de la scène", 7, 7, 0.5), "Export de la scène : 100 % (0.5 s)");
    // A count past its total never shows more than 100.
    EXPECT_EQ(LigneProgression("Export", 9, 7, 2.0), "Export : 100 % (2.0 s)");
    EXPECT_EQ(LigneProgression("Génération du modèle", 0, 0, 3.45), "Génération du modèle (3.5 s)");
}

TEST(AffichageProgression, TerminalSeulementEtJamaisSurLaSortie)
{
    cli::Dossier d;
    EcritGrille(d / "grille.stl", 1300);

    // Standard error on a pseudo-terminal: the line appears, then is erased; nothing else is
    // written, as without the display.
    const std::string commande = std::string(ZARVEL_CLI) + " -s " + (d / "grille.stl") + " -o " + (d / "a.ply");
    const std::string script = "script -qec '" + commande + "' /dev/null > " + (d / "terminal.txt");
    ASSERT_EQ(std::system(script.c_str()), 0);
    std::ifstream lu(d / "terminal.txt", std::ios::binary);
    const std::string texte((std::istreambuf_iterator<char>(lu)), std::istreambuf_iterator<char>());
    EXPECT_NE(texte.find("\rImport du maillage : "), std::string::npos) << texte;
    EXPECT_NE(texte.find(" %"), std::string::npos);
    // The last thing written is the erasure.
    ASSERT_GE(texte.size(), 4u);
    EXPECT_EQ(texte.substr(texte.size() - 4), "\r\033[K");
    EXPECT_EQ(SansLignesDeProgression(texte), "");
    EXPECT_TRUE(cli::Existe(d / "a.ply"));

    // Standard error on a file: nothing at all, and standard output as always.
    const std::string fichier = commande + " > " + (d / "sortie.txt") + " 2> " + (d / "erreur.txt");
    ASSERT_EQ(std::system(fichier.c_str()), 0);
    EXPECT_FALSE(cli::Existe(d / "erreur.txt"));
    EXPECT_FALSE(cli::Existe(d / "sortie.txt"));
}
