#pragma once
// Runs the built Zarvel_cli from the tests and gives scratch folders.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

/// How a run of the program ended, as its parent saw it.
struct Execution
{
    std::string sortie;   ///< standard output
    int statut = -1;      ///< exit status; -1 when it did not exit
    int signal = 0;       ///< the signal that ended it; 0 when it exited
    bool expire = false;  ///< still running at the deadline: killed then
    long memoire_ko = 0;  ///< its peak resident memory (ru_maxrss), in KiB
    double duree_s = 0.0; ///< from the start to its end
};

/// A running program, started by Demarre.
struct Enfant
{
    pid_t pid = -1;
    int sortie = -1; ///< read end of its standard output
    std::chrono::steady_clock::time_point debut;
};

/// Starts the program with `arguments` (no shell), standard error dropped. With
/// `taille_fichier_max` >= 0 the program may not write files beyond that many bytes: writes past
/// it fail with EFBIG (SIGXFSZ is ignored), like those to a full disk.
inline Enfant Demarre(const std::vector<std::string>& arguments, long long taille_fichier_max = -1)
{
    Enfant e;
    std::vector<std::string> mots{ZARVEL_CLI};
    mots.insert(mots.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& m : mots)
    {
        argv.push_back(&m[0]);
    }
    argv.push_back(nullptr);
    int tube[2];
    if (pipe2(tube, O_CLOEXEC) != 0)
    {
        return e;
    }
    e.debut = std::chrono::steady_clock::now();
    e.pid = fork();
    if (e.pid == 0)
    {
        // Only async-signal-safe calls from here to exec.
        dup2(tube[1], 1);
        const int nul = open("/dev/null", O_WRONLY);
        if (nul >= 0)
        {
            dup2(nul, 2);
        }
        if (taille_fichier_max >= 0)
        {
            const rlimit limite{static_cast<rlim_t>(taille_fichier_max),
                                static_cast<rlim_t>(taille_fichier_max)};
            setrlimit(RLIMIT_FSIZE, &limite);
            signal(SIGXFSZ, SIG_IGN);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(tube[1]);
    if (e.pid < 0)
    {
        close(tube[0]);
        return e;
    }
    e.sortie = tube[0];
    return e;
}

/// Reads the program's output until it ends; past `delai_s` seconds it is killed (SIGKILL).
inline Execution Attend(Enfant& e, double delai_s = 10.0)
{
    Execution r;
    if (e.pid <= 0)
    {
        return r;
    }
    const auto limite = e.debut + std::chrono::duration<double>(delai_s);
    int etat = 0;
    rusage ressources{};
    bool fini = false;
    while (!fini)
    {
        if (e.sortie >= 0)
        {
            pollfd p{e.sortie, POLLIN, 0};
            if (poll(&p, 1, 20) > 0)
            {
                char tampon[4096];
                const ssize_t n = read(e.sortie, tampon, sizeof tampon);
                if (n > 0)
                {
                    r.sortie.append(tampon, static_cast<std::size_t>(n));
                }
                else if (n == 0 || errno != EINTR)
                {
                    close(e.sortie);
                    e.sortie = -1;
                }
            }
        }
        else
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (wait4(e.pid, &etat, WNOHANG, &ressources) == e.pid)
        {
            fini = true;
        }
        else if (std::chrono::steady_clock::now() > limite)
        {
            kill(e.pid, SIGKILL);
            r.expire = true;
            wait4(e.pid, &etat, 0, &ressources);
            fini = true;
        }
    }
    r.duree_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - e.debut).count();
    // What it wrote just before it ended.
    while (e.sortie >= 0)
    {
        char tampon[4096];
        const ssize_t n = read(e.sortie, tampon, sizeof tampon);
        if (n > 0)
        {
            r.sortie.append(tampon, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        close(e.sortie);
        e.sortie = -1;
    }
    e.pid = -1;
    r.statut = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
    r.signal = WIFSIGNALED(etat) ? WTERMSIG(etat) : 0;
    r.memoire_ko = ressources.ru_maxrss;
    return r;
}

/// Runs the program to its end (see Demarre and Attend).
inline Execution Execute(const std::vector<std::string>& arguments, double delai_s = 10.0,
                         long long taille_fichier_max = -1)
{
    Enfant e = Demarre(arguments, taille_fichier_max);
    return Attend(e, delai_s);
}

/// The whole content of a file; empty when it cannot be read.
inline std::string Contenu(const std::string& chemin)
{
    std::string s;
    FILE* f = std::fopen(chemin.c_str(), "rb");
    if (!f)
    {
        return s;
    }
    char tampon[65536];
    size_t n;
    while ((n = std::fread(tampon, 1, sizeof tampon, f)) > 0)
    {
        s.append(tampon, n);
    }
    std::fclose(f);
    return s;
}

/// True for a non-empty file.
inline bool Existe(const std::string& chemin)
{
    struct stat st;
    return stat(chemin.c_str(), &st) == 0 && st.st_size > 0;
}
} // namespace cli
