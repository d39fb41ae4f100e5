#pragma once
// Runs the built Zarvel_cli from the tests and gives scratch folders.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace cli
{
struct Resultat
{
    std::string sortie;
    int statut = -1;
};

/// Runs the program with `arguments` (shell syntax), after the variable
/// assignments of `environnement`; standard output and exit status. Standard
/// error is dropped.
inline Resultat Lance(const std::string& arguments, const std::string& environnement = "")
{
    Resultat r;
    const std::string commande = environnement + (environnement.empty() ? "" : " ") +
                                 std::string(ZARVEL_CLI) + " " + arguments + " 2>/dev/null";
    FILE* f = popen(commande.c_str(), "r");
    if (!f) return r;
    char tampon[4096];
    size_t n;
    while ((n = fread(tampon, 1, sizeof tampon, f)) > 0)
        r.sortie.append(tampon, n);
    const int s = pclose(f);
    r.statut = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    return r;
}

/// A scratch folder removed with its content at the end of its scope.
struct Dossier
{
    std::string chemin;
    Dossier()
    {
        char modele[] = "/tmp/zarvel_cli_XXXXXX";
        chemin = mkdtemp(modele) ? modele : "";
    }
    ~Dossier()
    {
        if (!chemin.empty()) std::system(("rm -rf '" + chemin + "'").c_str());
    }
    Dossier(const Dossier&) = delete;
    Dossier& operator=(const Dossier&) = delete;
    std::string operator/(const std::string& nom) const { return chemin + "/" + nom; }
};

/// True for a non-empty file.
inline bool Existe(const std::string& chemin)
{
    struct stat st;
    return stat(chemin.c_str(), &st) == 0 && st.st_size > 0;
}
} // namespace cli
