// Exports that fail or are cut short, through the program: targets that cannot be written, a full
// device, a file size limit, a named pipe without reader, and a process killed while it writes.
// The target is always either intact or complete, devices stay devices, and no temporary file is
// left behind.
#include "cli_outils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace
{
using cli::Dossier;
using cli::Execute;
using cli::Execution;

// A binary STL of a wavy n x n grid: 2 n^2 triangles.
std::string Grille(int n)
{
    std::string s(80, '\0');
    const std::uint32_t triangles = 2u * static_cast<std::uint32_t>(n) * static_cast<std::uint32_t>(n);
    s.append(reinterpret_cast<const char*>(&triangles), 4);
    s.reserve(84 + 50 * std::size_t(triangles));
    auto z = [](int i, int j) { return static_cast<float>((i * j) % 7) * 0.1f; };
    for (int i = 0; i < n; ++i)
    {
        for (int j = 0; j < n; ++j)
        {
            const float x0 = static_cast<float>(i), y0 = static_cast<float>(j);
            const float a[12] = {0,      0,  0,           x0,     y0,     z(i, j),
                                 x0 + 1, y0, z(i + 1, j), x0 + 1, y0 + 1, z(i + 1, j + 1)};
            const float b[12] = {0,  0,      0,          x0, y0, z(i, j), x0 + 1, y0 + 1, z(i + 1, j + 1),
                                 x0, y0 + 1, z(i, j + 1)};
            for (const float* t : {a, b})
            {
                s.append(reinterpret_cast<const char*>(t), 48);
                s.append(2, '\0');
            }
        }
    }
    return s;
}

void Ecrit(const std::string& chemin, const std::string& contenu)
{
    std::ofstream(chemin, std::ios::binary) << contenu;
}

// Names in `dossier` (without . and ..).
std::set<std::string> Entrees(const std::string& dossier)
{
    std::set<std::string> noms;
    if (DIR* d = opendir(dossier.c_str()))
    {
        while (dirent* e = readdir(d))
        {
            const std::string nom = e->d_name;
            if (nom != "." && nom != "..")
            {
                noms.insert(nom);
            }
        }
        closedir(d);
    }
    return noms;
}

std::string LigneExport(const std::string& cible)
{
    return "Erreur lors de l'export du fichier '" + cible + "'\n";
}

// Runs the export of `maillage` to `cible` twice: without -v the driver's line alone, with -v the
// summary, that line and the library's diagnostic, which must hold `attendu`.
void VerifieExportRefuse(const std::string& maillage, const std::string& cible, const std::string& attendu,
                         long long taille_fichier_max = -1)
{
    Execution r = Execute({"-s", maillage, "-o", cible}, 30.0, taille_fichier_max);
    EXPECT_FALSE(r.expire) << cible;
    EXPECT_EQ(r.signal, 0) << cible;
    EXPECT_EQ(r.statut, 1) << cible;
    EXPECT_EQ(r.sortie, LigneExport(cible));
    r = Execute({"-s", maillage, "-o", cible, "-v"}, 30.0, taille_fichier_max);
    EXPECT_EQ(r.statut, 1) << cible;
    const std::size_t ligne = r.sortie.find(LigneExport(cible));
    ASSERT_NE(ligne, std::string::npos) << r.sortie;
    EXPECT_NE(r.sortie.find(attendu, ligne), std::string::npos) << r.sortie;
}

bool PeripheriqueCaractere(const char* chemin, dev_t& numero)
{
    struct stat etat;
    if (stat(chemin, &etat) != 0 || !S_ISCHR(etat.st_mode))
    {
        return false;
    }
    numero = etat.st_rdev;
    return true;
}

// Bytes written so far by process `pid`, from /proc; -1 once it is gone.
long long OctetsEcrits(pid_t pid)
{
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string cle;
    long long valeur;
    while (io >> cle >> valeur)
    {
        if (cle == "wchar:")
        {
            return valeur;
        }
    }
    return -1;
}

} // namespace

TEST(SortiesEnEchec, CiblesImpossibles)
{
    Dossier d;
    Ecrit(d / "grille.stl", Grille(10));
    Ecrit(d / "fichier", "pas un dossier");
    ASSERT_EQ(mkdir((d / "dossier.stl").c_str(), 0755), 0);
    // A folder that does not exist, a parent that is a regular file, a folder as the target.
    VerifieExportRefuse(d / "grille.stl", d / "absent/x.stl",
                        "impossible : " + std::string(std::strerror(ENOENT)));
    VerifieExportRefuse(d / "grille.stl", d / "fichier/x.stl",
                        "impossible : " + std::string(std::strerror(ENOTDIR)));
    VerifieExportRefuse(d / "grille.stl", d / "dossier.stl", "n'est pas un fichier ordinaire");
    EXPECT_EQ(Entrees(d.chemin), (std::set<std::string>{"grille.stl", "fichier", "dossier.stl"}));
    EXPECT_EQ(cli::Contenu(d / "fichier"), "pas un dossier");
    EXPECT_TRUE(Entrees(d / "dossier.stl").empty());

    // A folder without write permission: root writes there anyway.
    ASSERT_EQ(mkdir((d / "lecture_seule").c_str(), 0555), 0);
    if (access((d / "lecture_seule").c_str(), W_OK) == 0)
    {
        std::cout << "[ NOTE     ] running as root: a read-only folder is writable; its case is "
                     "covered by the regular-file parent above\n";
        return;
    }
    VerifieExportRefuse(d / "grille.stl", d / "lecture_seule/x.stl",
                        "impossible : " + std::string(std::strerror(EACCES)));
    EXPECT_TRUE(Entrees(d / "lecture_seule").empty());
}

TEST(SortiesEnEchec, PeripheriquePleinResteUnPeripherique)
{
    dev_t avant = 0;
    if (!PeripheriqueCaractere("/dev/full", avant))
    {
        GTEST_SKIP() << "no /dev/full on this machine";
    }
    Dossier d;
    Ecrit(d / "grille.stl", Grille(10));
    // The device's own name has no format extension: refused before it is opened.
    VerifieExportRefuse(d / "grille.stl", "/dev/full", "extension inconnue");
    // The extension chooses the format: links named after it lead to the device.
    for (const char* extension : {"stl", "obj", "ply", "step"})
    {
        const std::string lien = d / (std::string("plein.") + extension);
        ASSERT_EQ(symlink("/dev/full", lien.c_str()), 0);
        VerifieExportRefuse(d / "grille.stl", lien,
                            "Export vers '/dev/full' : écriture impossible : " +
                                std::string(std::strerror(ENOSPC)));
        dev_t apres = 0;
        EXPECT_TRUE(PeripheriqueCaractere("/dev/full", apres)) << extension;
        EXPECT_EQ(apres, avant) << extension;
        struct stat etat;
        ASSERT_EQ(lstat(lien.c_str(), &etat), 0);
        EXPECT_TRUE(S_ISLNK(etat.st_mode)) << extension;
    }
    // Written in place, a device that takes everything gives success and stays what it is.
    ASSERT_EQ(symlink("/dev/null", (d / "nul.ply").c_str()), 0);
    const Execution r = Execute({"-s", d / "grille.stl", "-o", d / "nul.ply"});
    EXPECT_EQ(r.statut, 0) << r.sortie;
    dev_t nul = 0;
    EXPECT_TRUE(PeripheriqueCaractere("/dev/null", nul));
    EXPECT_EQ(Entrees(d.chemin).size(), 6u);
}

TEST(SortiesEnEchec, CibleExistanteIntacteQuandLEcritureEchoue)
{
    // A file size limit makes the writes fail midway, as a full disk would: the old target stays
    // byte for byte, and the temporary file is gone.
    Dossier d;
    Ecrit(d / "grille.stl", Grille(60)); // 7200 triangles: every format is larger than 64 KiB
    std::string ancien;
    for (int i = 0; i < 3000; ++i)
    {
        ancien.push_back(static_cast<char>(i * 131 % 251));
    }
    for (const char* extension : {"stl", "obj", "ply", "step"})
    {
        const std::string cible = d / (std::string("cible.") + extension);
        Ecrit(cible, ancien);
        VerifieExportRefuse(d / "grille.stl", cible,
                            "écriture impossible : " + std::string(std::strerror(EFBIG)), 64 * 1024);
        EXPECT_EQ(cli::Contenu(cible), ancien) << extension;
        EXPECT_EQ(Entrees(d.chemin), (std::set<std::string>{"grille.stl", std::string("cible.") + extension}))
            << extension;
        unlink(cible.c_str());
    }
    // Without the limit the same export replaces the target.
    Ecrit(d / "cible.stl", ancien);
    const Execution r = Execute({"-s", d / "grille.stl", "-o", d / "cible.stl"});
    EXPECT_EQ(r.statut, 0);
    EXPECT_EQ(cli::Contenu(d / "cible.stl").size(), 84u + 50u * 7200u);
}

TEST(SortiesEnEchec, TubeNommeSansLecteur)
{
    Dossier d;
    Ecrit(d / "grille.stl", Grille(20));
    const std::string tube = d / "tube.stl";
    ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);
    // Nobody reads: refused after the wait, not blocked for ever.
    Execution r = Execute({"-s", d / "grille.stl", "-o", tube, "-v"});
    EXPECT_FALSE(r.expire);
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.sortie.find(LigneExport(tube) + "Export vers '" + tube +
                            "' : aucun programme ne lit ce tube nommé (attendu 2 s)."),
              std::string::npos)
        << r.sortie;
    struct stat etat;
    ASSERT_EQ(stat(tube.c_str(), &etat), 0);
    EXPECT_TRUE(S_ISFIFO(etat.st_mode));

    // A reader that comes late gets the whole file, the same as a regular export. It opens the
    // pipe without blocking and waits a bounded time for the writer, so that it cannot hang the
    // test if the program never comes.
    std::string lu;
    std::thread lecteur(
        [&]()
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const int fd = open(tube.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
            {
                return;
            }
            pollfd attente{fd, POLLIN, 0};
            if (poll(&attente, 1, 20000) > 0)
            {
                fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
                char tampon[65536];
                ssize_t n;
                while ((n = read(fd, tampon, sizeof tampon)) > 0)
                {
                    lu.append(tampon, static_cast<std::size_t>(n));
                }
            }
            close(fd);
        });
    r = Execute({"-s", d / "grille.stl", "-o", tube});
    lecteur.join();
    EXPECT_EQ(r.statut, 0) << r.sortie;
    ASSERT_EQ(Execute({"-s", d / "grille.stl", "-o", d / "ordinaire.stl"}).statut, 0);
    EXPECT_EQ(lu, cli::Contenu(d / "ordinaire.stl"));
}

TEST(SortiesInterrompues, ExportTueEnPleineEcriture)
{
    // SIGKILL while a large export is being written: the target is the old file or absent, never
    // a truncated one. The temporary file is made without a name where the file system allows
    // it (O_TMPFILE), so the killed process leaves nothing; elsewhere a named one is left beside
    // the target, which is still intact.
    Dossier d;
    Ecrit(d / "grille.stl", Grille(710)); // 1 008 200 triangles, 50 MB
    const int essai = open(d.chemin.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    const bool anonyme = essai >= 0;
    if (anonyme)
    {
        close(essai);
    }
    const std::string ancien = "ancien contenu, qui doit survivre\n";
    struct Cas
    {
        const char* cible;
        bool existe;
    };
    for (const Cas& c : {Cas{"cible.stl", true}, Cas{"cible.ply", false}})
    {
        const std::string cible = d / c.cible;
        if (c.existe)
        {
            Ecrit(cible, ancien);
        }
        cli::Enfant e = cli::Demarre({"-s", d / "grille.stl", "-o", cible});
        // The export writes by blocks of 4 MiB: past 8 MiB it is in the middle of the file.
        long long ecrits = 0;
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while ((ecrits = OctetsEcrits(e.pid)) >= 0 && ecrits < (8ll << 20) &&
               std::chrono::steady_clock::now() < limite)
        {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        kill(e.pid, SIGKILL);
        const Execution r = cli::Attend(e, 30.0);
        ASSERT_EQ(r.signal, SIGKILL) << c.cible << ": the export ended before it could be killed (" << ecrits
                                     << " bytes)";
        EXPECT_GE(ecrits, 8ll << 20) << c.cible;
        if (c.existe)
        {
            EXPECT_EQ(cli::Contenu(cible), ancien) << c.cible;
        }
        else
        {
            EXPECT_FALSE(cli::Existe(cible)) << c.cible;
        }
        std::set<std::string> restes = Entrees(d.chemin);
        restes.erase("grille.stl");
        if (c.existe)
        {
            restes.erase(c.cible);
        }
        if (anonyme)
        {
            EXPECT_TRUE(restes.empty()) << c.cible << ": left " << *restes.begin();
        }
        else
        {
            // Acceptable only beside an intact target: the killed process could not remove it.
            std::cout << "[ NOTE     ] no O_TMPFILE here: " << restes.size() << " temporary file(s) left\n";
            EXPECT_LE(restes.size(), 1u);
            for (const std::string& reste : restes)
            {
                EXPECT_EQ(reste.compare(0, std::strlen(c.cible) + 1, std::string(c.cible) + "."), 0) << reste;
                unlink((d / reste).c_str());
            }
        }
        unlink(cible.c_str());
    }
}
