// Replays inputs through a fuzz target without libFuzzer, so that any compiler can build it: every
// regular file of the folders named on the command line (or the file itself) is given once to
// LLVMFuzzerTestOneInput, in name order. A broken invariant or a crash ends the process; an input
// that takes longer than the fuzzers' time limit fails the replay too.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille);

namespace
{

// The time limit the fuzzers run with (lance_fuzz.sh: -timeout=10).
constexpr double secondes_max = 10.0;

bool EstFichier(const std::string& chemin)
{
    struct stat etat;
    return stat(chemin.c_str(), &etat) == 0 && S_ISREG(etat.st_mode);
}

// The regular files of `chemin` in name order, or `chemin` itself when it is a file. False when it
// is neither a readable folder nor a file.
bool Liste(const std::string& chemin, std::vector<std::string>& fichiers)
{
    if (EstFichier(chemin))
    {
        fichiers.push_back(chemin);
        return true;
    }
    DIR* dossier = opendir(chemin.c_str());
    if (dossier == nullptr)
    {
        return false;
    }
    std::vector<std::string> trouves;
    while (const dirent* entree = readdir(dossier))
    {
        const std::string nom = chemin + "/" + entree->d_name;
        if (entree->d_name[0] != '.' && EstFichier(nom))
        {
            trouves.push_back(nom);
        }
    }
    closedir(dossier);
    std::sort(trouves.begin(), trouves.end());
    fichiers.insert(fichiers.end(), trouves.begin(), trouves.end());
    return true;
}

// The whole content of the file `chemin`; false when it cannot be read.
bool Lit(const std::string& chemin, std::vector<char>& contenu)
{
    std::FILE* fichier = std::fopen(chemin.c_str(), "rb");
    if (fichier == nullptr)
    {
        return false;
    }
    char tampon[65536];
    std::size_t lus;
    while ((lus = std::fread(tampon, 1, sizeof tampon, fichier)) > 0)
    {
        contenu.insert(contenu.end(), tampon, tampon + lus);
    }
    const bool erreur = std::ferror(fichier) != 0;
    std::fclose(fichier);
    return !erreur;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> fichiers;
    for (int i = 1; i < argc; ++i)
    {
        if (!Liste(argv[i], fichiers))
        {
            std::fprintf(stderr, "rejeu : '%s' n'est ni un dossier ni un fichier lisible\n", argv[i]);
            return 1;
        }
    }
    if (fichiers.empty())
    {
        std::fprintf(stderr, "rejeu : aucune entrée à rejouer\n");
        return 1;
    }
    int lents = 0;
    for (const std::string& chemin : fichiers)
    {
        std::vector<char> contenu;
        if (!Lit(chemin, contenu))
        {
            std::fprintf(stderr, "rejeu : lecture impossible de '%s'\n", chemin.c_str());
            return 1;
        }
        // A buffer of the input's exact size, so that a sanitizer build sees a read past its end.
        const std::size_t taille = contenu.size();
        const std::unique_ptr<std::uint8_t[]> donnees(new std::uint8_t[taille > 0 ? taille : 1]);
        std::memcpy(donnees.get(), contenu.data(), taille);
        std::fprintf(stderr, "rejeu : %s (%zu octets)\n", chemin.c_str(), taille);
        const auto debut = std::chrono::steady_clock::now();
        LLVMFuzzerTestOneInput(donnees.get(), taille);
        const double duree = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
        if (duree > secondes_max)
        {
            std::fprintf(stderr, "rejeu : '%s' a pris %.1f s (limite %.0f s)\n", chemin.c_str(), duree,
                         secondes_max);
            ++lents;
        }
    }
    std::fprintf(stderr, "rejeu : %zu entrées, %d trop lentes\n", fichiers.size(), lents);
    return lents == 0 ? 0 : 1;
}
