// Bad inputs through the program: every file of tests/data/bad (written by its genere_mauvais.py),
// special files (folders, pipes, unreadable files) and huge plans written here at run time. Each
// ends with status 1, the driver's French line, a diagnostic naming the cause with -v, within
// its time and memory bounds, and never on a signal.
#include "cli_outils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

const std::string corpus = std::string(ZARVEL_DONNEES) + "/bad";
const std::string ligne_stl = "Erreur lors de l'import du fichier '";
const std::string ligne_dxf = "Zarvel_cli :: Erreur initialisation Zarvel_auto (il a probablement été "
                              "impossible d'extraire les vues dans le plan).\n";

// The sanitizers' shadow memory, quarantine and checks make the program slower and larger.
#if defined(__SANITIZE_ADDRESS__)
constexpr double facteur_temps = 4.0;
constexpr long facteur_memoire = 3;
constexpr long supplement_memoire_mo = 512;
#else
constexpr double facteur_temps = 1.0;
constexpr long facteur_memoire = 1;
constexpr long supplement_memoire_mo = 0;
#endif

long BorneMemoireKo(long mo)
{
    return (facteur_memoire * mo + supplement_memoire_mo) * 1024;
}

bool EstStl(const std::string& nom)
{
    return nom.size() > 4 && nom.compare(nom.size() - 4, 4, ".stl") == 0;
}

// The line the driver writes when the mesh at `chemin` is refused.
std::string LigneStl(const std::string& chemin)
{
    return ligne_stl + chemin + "'\n";
}

// The line for the file of a bare argument or of the corpus, after its extension.
std::string LigneEchec(const std::string& chemin)
{
    return EstStl(chemin) ? LigneStl(chemin) : ligne_dxf;
}

// What holds for every refused input: status 1, `debut` (the driver's French line, after a
// forced option's line) first, nothing written, before the deadline, no signal.
void VerifieRefus(const Execution& r, const std::string& debut, const std::string& sortie,
                  const std::string& contexte)
{
    EXPECT_FALSE(r.expire) << contexte << ": still running after " << r.duree_s << " s";
    EXPECT_EQ(r.signal, 0) << contexte;
    EXPECT_EQ(r.statut, 1) << contexte << "\n" << r.sortie;
    EXPECT_EQ(r.sortie.compare(0, debut.size(), debut), 0) << contexte << "\n" << r.sortie;
    EXPECT_FALSE(cli::Existe(sortie)) << contexte;
}

// One file of the corpus and a piece of the diagnostic that -v prints for it.
struct Mauvais
{
    const char* fichier;
    const char* attendu;
};

const Mauvais corpus_attendu[] = {
    // STL: empty, random, not STL, truncated binary files at many offsets.
    {"vide.stl", "est vide"},
    {"octets_aleatoires.stl", "tronqué au triangle 59"},
    {"octets_aleatoires_1084.stl", "tronqué au triangle 21"},
    {"page_html.stl", "n'est pas un fichier STL"},
    {"binaire_tronque_1.stl", "n'est pas un fichier STL"},
    {"binaire_tronque_40.stl", "n'est pas un fichier STL"},
    {"binaire_tronque_83.stl", "n'est pas un fichier STL"},
    {"binaire_tronque_84.stl", "tronqué au triangle 1 : l'en-tête annonce 12 triangles"},
    {"binaire_tronque_85.stl", "tronqué au triangle 1 :"},
    {"binaire_tronque_100.stl", "tronqué au triangle 1 :"},
    {"binaire_tronque_133.stl", "tronqué au triangle 1 :"},
    {"binaire_tronque_134.stl", "tronqué au triangle 2 :"},
    {"binaire_tronque_400.stl", "tronqué au triangle 7 :"},
    {"binaire_tronque_683.stl", "tronqué au triangle 12 :"},
    // STL: counts that disagree with the size, coordinates that are not numbers.
    {"binaire_compte_ffffffff.stl", "l'en-tête annonce 4294967295 triangles"},
    {"binaire_compte_trop_petit.stl",
     "l'en-tête annonce 3 triangles (234 octets attendus) mais le fichier fait 684"},
    {"binaire_compte_zero.stl", "l'en-tête annonce 0 triangles"},
    {"binaire_nan.stl", "coordonnée non finie (NaN ou infinie) au triangle 6"},
    {"binaire_infini.stl", "coordonnée non finie (NaN ou infinie) au triangle 6"},
    {"binaire_moins_infini.stl", "coordonnée non finie (NaN ou infinie) au triangle 6"},
    // ASCII STL: cut in a word, a number, after a loop, before and inside "endsolid".
    {"ascii_tronque_mot.stl", "« outer loop » attendu"},
    {"ascii_tronque_nombre.stl", "tronqué au triangle 3"},
    {"ascii_tronque_apres_outer_loop.stl", "tronqué au triangle 5"},
    {"ascii_tronque_apres_endloop.stl", "tronqué au triangle 7"},
    {"ascii_tronque_sans_endsolid.stl", "tronqué au triangle 13"},
    {"ascii_tronque_dans_endsolid.stl", "« facet » attendu"},
    {"ascii_sans_endloop.stl", "au triangle 2 (ligne 7) : « endloop » attendu"},
    {"ascii_nan.stl", "non finie"},
    {"ascii_infini.stl", "non finie"},
    {"ascii_1e999.stl", "non finie"},
    {"ascii_1e308.stl", "hors de la simple précision du format"},
    {"ascii_1e39.stl", "hors de la simple précision du format"},
    // DXF: empty, random, not DXF, cut inside an entity.
    {"vide.dxf", "est vide"},
    {"octets_aleatoires.dxf", "n'est pas un fichier DXF (ligne 1)"},
    {"page_html.dxf", "n'est pas un fichier DXF (ligne 1)"},
    {"coupe_apres_code.dxf", "tronqué : la fin de fichier (EOF) manque"},
    {"coupe_dans_valeur.dxf", "tronqué : la fin de fichier (EOF) manque"},
    {"coupe_apres_nom.dxf", "tronqué : la fin de fichier (EOF) manque"},
    // DXF: wrong and shifted group codes, sections never closed.
    {"code_decimal.dxf", "code de groupe invalide ligne"},
    {"codes_decales.dxf", "code de groupe invalide ligne"},
    {"code_hors_bornes.dxf", "code de groupe invalide ligne"},
    {"section_sans_endsec.dxf", "une section n'est pas fermée (ENDSEC manque)"},
    {"section_entete_ouverte.dxf", "la fin de fichier (EOF) manque après la ligne 15"},
    {"sans_eof.dxf", "la fin de fichier (EOF) manque"},
    // DXF: absurd coordinates, blocks that insert themselves or multiply, an empty spline.
    {"coordonnees_1e308.dxf", "1 entités aux coordonnées invalides"},
    {"coordonnees_1e309.dxf", "1 entités aux coordonnées invalides"},
    {"bloc_insere_en_lui_meme.dxf", "(bloc absent ou imbrication trop profonde) : 1 insertions"},
    {"blocs_en_eventail.dxf", "trop grand pour être converti : plus de 500000 éléments"},
    {"insertion_matrice_geante.dxf", "trop grand pour être converti : plus de 500000 éléments"},
    {"spline_sans_point.dxf", "Ignorées (entités endommagées) : 1."},
};

std::vector<std::string> FichiersDuCorpus()
{
    std::vector<std::string> noms;
    if (DIR* d = opendir(corpus.c_str()))
    {
        while (dirent* e = readdir(d))
        {
            const std::string nom = e->d_name;
            if (nom.size() > 4 && (EstStl(nom) || nom.compare(nom.size() - 4, 4, ".dxf") == 0))
            {
                noms.push_back(nom);
            }
        }
        closedir(d);
    }
    return noms;
}

// A valid closed tetrahedron, binary.
std::string Tetraedre()
{
    const float p[4][3] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 10}};
    const int faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    std::string s(80, '\0');
    const std::uint32_t n = 4;
    s.append(reinterpret_cast<const char*>(&n), 4);
    for (const auto& t : faces)
    {
        s.append(12, '\0');
        for (int k = 0; k < 3; ++k)
        {
            s.append(reinterpret_cast<const char*>(p[t[k]]), 12);
        }
        s.append(2, '\0');
    }
    return s;
}

void Ecrit(const std::string& chemin, const std::string& contenu)
{
    std::ofstream(chemin, std::ios::binary) << contenu;
}

// A plan of the given blocks (name, content) and entities, written as group pairs.
class Plan
{
public:
    explicit Plan(const std::string& chemin) : f(chemin, std::ios::binary) {}
    void Section(const char* nom) { f << "0\nSECTION\n2\n" << nom << "\n"; }
    void FinSection() { f << "0\nENDSEC\n"; }
    void Bloc(const std::string& nom)
    {
        f << "0\nBLOCK\n8\n0\n2\n" << nom << "\n70\n0\n10\n0\n20\n0\n30\n0\n";
    }
    void FinBloc() { f << "0\nENDBLK\n8\n0\n"; }
    void Insertion(const std::string& nom)
    {
        f << "0\nINSERT\n8\n0\n2\n" << nom << "\n10\n0\n20\n0\n30\n0\n";
    }
    void Ligne(double x1, double y1, double x2, double y2)
    {
        char t[160];
        std::snprintf(t, sizeof t, "0\nLINE\n8\n0\n10\n%.9g\n20\n%.9g\n11\n%.9g\n21\n%.9g\n", x1, y1, x2, y2);
        f << t;
    }
    void Carre(double cote)
    {
        Ligne(0, 0, cote, 0);
        Ligne(cote, 0, cote, cote);
        Ligne(cote, cote, 0, cote);
        Ligne(0, cote, 0, 0);
    }
    std::ofstream& Flux() { return f; }
    void Termine()
    {
        f << "0\nEOF\n";
        f.close();
    }

private:
    std::ofstream f;
};

// The program on a generated plan, with -v: status, report, time and memory.
Execution Convertit(const Dossier& d, const std::string& plan, double delai_s)
{
    return Execute({"-i", plan, "-o", d / "sortie.stl", "-v"}, delai_s * facteur_temps);
}

} // namespace

TEST(EntreesMauvaises, ChaqueFichierDuCorpusALaSaLigne)
{
    // A file added to the folder without its row, or a row without its file, fails here.
    std::set<std::string> lignes;
    for (const Mauvais& m : corpus_attendu)
    {
        EXPECT_TRUE(lignes.insert(m.fichier).second) << "twice: " << m.fichier;
    }
    const std::vector<std::string> fichiers = FichiersDuCorpus();
    EXPECT_EQ(std::set<std::string>(fichiers.begin(), fichiers.end()), lignes)
        << "tests/data/bad and the table disagree: run genere_mauvais.py and update the table";
}

TEST(EntreesMauvaises, CorpusParOptionEtArgumentNu)
{
    Dossier d;
    const std::string sortie = d / "sortie.stl";
    for (const Mauvais& m : corpus_attendu)
    {
        const std::string chemin = corpus + "/" + m.fichier;
        const std::string option = EstStl(chemin) ? "-s" : "-i";
        // With -v: the diagnostic names the fault.
        Execution r = Execute({option, chemin, "-o", sortie, "-v"});
        VerifieRefus(r, LigneEchec(chemin), sortie, option + " " + m.fichier);
        EXPECT_NE(r.sortie.find(m.attendu), std::string::npos) << m.fichier << "\n" << r.sortie;
        // As a bare argument, without -v: the forced option's line, then only the driver's line.
        r = Execute({chemin, "-o", sortie});
        const std::string force =
            std::string("ForceParam :: '") + (EstStl(chemin) ? 's' : 'i') + "' :: " + chemin + "\n";
        VerifieRefus(r, force + LigneEchec(chemin), sortie, std::string("bare ") + m.fichier);
        EXPECT_EQ(r.sortie, force + LigneEchec(chemin)) << m.fichier;
    }
}

TEST(EntreesMauvaises, ErreursDUsageAvantLaLecture)
{
    // A usage error ends with 2 before the bad file is looked at.
    struct Cas
    {
        std::vector<std::string> arguments;
        const char* ligne;
    };
    const std::string stl = corpus + "/binaire_nan.stl";
    const std::string dxf = corpus + "/blocs_en_eventail.dxf";
    const Cas cas[] = {
        {{"-s", stl, "-a", "9", "-o", "x.stl"},
         "Erreur: Mode d'affichage invalide (0, 1, 2 ou 3 attendu).\n\n"},
        {{"-i", dxf, "-m", "q", "-o", "x.stl"}, "Erreur: Mode de génération invalide.\n\n"},
        {{"-i", dxf, "-l", "abc", "-o", "x.stl"},
         "Erreur: Valeur de -l invalide (nombre positif attendu).\n\n"},
        {{"-i", dxf, "-c"}, "Erreur: -c attend le nom du fichier PNG de la capture.\n\n"},
    };
    for (const Cas& c : cas)
    {
        const Execution r = Execute(c.arguments);
        EXPECT_EQ(r.statut, 2) << c.ligne;
        EXPECT_EQ(r.sortie, c.ligne);
        EXPECT_LT(r.duree_s, 5.0 * facteur_temps) << c.ligne;
    }
}

TEST(EntreesMauvaises, FichiersSpeciaux)
{
    Dossier d;
    const std::string sortie = d / "sortie.stl";
    // Folders, one of them named like a mesh and one like a plan.
    ASSERT_EQ(mkdir((d / "dossier.stl").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((d / "dossier.dxf").c_str(), 0755), 0);
    struct Cas
    {
        std::vector<std::string> arguments;
        std::string debut;
        const char* attendu;
    };
    const Cas cas[] = {
        {{"-s", d.chemin}, LigneStl(d.chemin), "est un répertoire, pas un fichier"},
        {{"-i", d.chemin}, ligne_dxf, "est un répertoire, pas un plan"},
        {{d / "dossier.stl"},
         "ForceParam :: 's' :: " + (d / "dossier.stl") + "\n" + LigneStl(d / "dossier.stl"),
         "est un répertoire, pas un fichier"},
        {{d / "dossier.dxf"},
         "ForceParam :: 'i' :: " + (d / "dossier.dxf") + "\n" + ligne_dxf,
         "est un répertoire, pas un plan"},
    };
    for (const Cas& c : cas)
    {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"-o", sortie, "-v"});
        const Execution r = Execute(arguments);
        VerifieRefus(r, c.debut, sortie, arguments[0]);
        EXPECT_NE(r.sortie.find(c.attendu), std::string::npos) << r.sortie;
    }
}

TEST(EntreesMauvaises, FichierSansDroitDeLecture)
{
    Dossier d;
    const std::string stl = d / "interdit.stl";
    const std::string dxf = d / "interdit.dxf";
    Ecrit(stl, Tetraedre());
    Ecrit(dxf, cli::Contenu(std::string(ZARVEL_DONNEES) + "/dxf/profil_carre10.dxf"));
    ASSERT_EQ(chmod(stl.c_str(), 0), 0);
    ASSERT_EQ(chmod(dxf.c_str(), 0), 0);
    if (access(stl.c_str(), R_OK) == 0)
    {
        // Root (as in CI) reads whatever the permissions say: the files are read like any other.
        std::cout << "[ NOTE     ] running as root: permissions do not stop reads; the files are "
                     "checked to be read normally instead\n";
        Execution r = Execute({"-s", stl, "-o", d / "sortie.ply"});
        EXPECT_EQ(r.statut, 0) << r.sortie;
        EXPECT_TRUE(cli::Existe(d / "sortie.ply"));
        r = Execute({"-i", dxf, "-m", "e", "-l", "5", "-o", d / "profil.stl"}, 60);
        EXPECT_EQ(r.statut, 0) << r.sortie;
        EXPECT_TRUE(cli::Existe(d / "profil.stl"));
        return;
    }
    const std::string raison = std::strerror(EACCES);
    Execution r = Execute({"-s", stl, "-o", d / "sortie.stl", "-v"});
    VerifieRefus(r, LigneStl(stl), d / "sortie.stl", "-s");
    EXPECT_NE(r.sortie.find("Lecture du fichier '" + stl + "' impossible : " + raison), std::string::npos)
        << r.sortie;
    r = Execute({"-i", dxf, "-o", d / "sortie.stl", "-v"});
    VerifieRefus(r, ligne_dxf, d / "sortie.stl", "-i");
    EXPECT_NE(r.sortie.find("Lecture du plan '" + dxf + "' impossible : " + raison), std::string::npos)
        << r.sortie;
}

TEST(EntreesMauvaises, TubeNommeSansEcrivainRefuse)
{
    // Opening a named pipe that nobody writes to must not wait for ever: after its wait the
    // program refuses it. The three runs wait side by side.
    Dossier d;
    const std::string stl = d / "tube.stl";
    const std::string dxf = d / "tube.dxf";
    ASSERT_EQ(mkfifo(stl.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(dxf.c_str(), 0600), 0);
    const std::vector<std::vector<std::string>> lancements = {{"-s", stl, "-o", d / "a.stl", "-v"},
                                                              {"-i", dxf, "-o", d / "b.stl", "-v"},
                                                              {stl, "-o", d / "c.stl", "-v"}};
    std::vector<cli::Enfant> enfants;
    for (const auto& arguments : lancements)
    {
        enfants.push_back(cli::Demarre(arguments));
    }
    for (std::size_t i = 0; i < enfants.size(); ++i)
    {
        const Execution r = cli::Attend(enfants[i], 10.0);
        const std::string& chemin = i == 1 ? dxf : stl;
        const std::string force = i == 2 ? "ForceParam :: 's' :: " + stl + "\n" : "";
        VerifieRefus(r, force + (i == 1 ? ligne_dxf : LigneStl(stl)), d / "a.stl", chemin);
        EXPECT_NE(r.sortie.find("Aucun programme n'écrit dans le tube nommé '" + chemin + "' (attendu 2 s)"),
                  std::string::npos)
            << r.sortie;
        EXPECT_GE(r.duree_s, 1.5) << "refused before its writer had a chance";
    }
    // The pipes are still pipes.
    struct stat etat;
    ASSERT_EQ(stat(stl.c_str(), &etat), 0);
    EXPECT_TRUE(S_ISFIFO(etat.st_mode));
}

TEST(EntreesMauvaises, TubeNommeAvecEcrivainLu)
{
    // A writer that opens the pipe after the program is read to its end.
    Dossier d;
    struct Cas
    {
        const char* option;
        const char* nom;
        std::string contenu;
        std::vector<std::string> extra;
    };
    const Cas cas[] = {
        {"-s", "tube.stl", Tetraedre(), {}},
        {"-i",
         "tube.dxf",
         cli::Contenu(std::string(ZARVEL_DONNEES) + "/dxf/profil_carre10.dxf"),
         {"-m", "e", "-l", "5"}},
    };
    for (const Cas& c : cas)
    {
        const std::string tube = d / c.nom;
        ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);
        std::vector<std::string> arguments = {c.option, tube, "-o", d / "sortie.stl"};
        arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
        cli::Enfant e = cli::Demarre(arguments);
        std::thread ecrivain(
            [&]()
            {
                // Late, but within the program's wait; never blocked if the program has gone.
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                int fd = -1;
                while (fd < 0 && std::chrono::steady_clock::now() < limite)
                {
                    fd = open(tube.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                    if (fd < 0)
                    {
                        std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    }
                }
                if (fd < 0)
                {
                    return;
                }
                fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
                std::size_t ecrits = 0;
                while (ecrits < c.contenu.size())
                {
                    const ssize_t n = write(fd, c.contenu.data() + ecrits, c.contenu.size() - ecrits);
                    if (n <= 0)
                    {
                        break;
                    }
                    ecrits += static_cast<std::size_t>(n);
                }
                close(fd);
            });
        const Execution r = cli::Attend(e, 60.0);
        ecrivain.join();
        EXPECT_EQ(r.statut, 0) << c.nom << "\n" << r.sortie;
        EXPECT_TRUE(cli::Existe(d / "sortie.stl")) << c.nom;
        unlink((d / "sortie.stl").c_str());
    }
}

TEST(EntreesMauvaises, PlansGeantsEcritsALaVolee)
{
    // Huge plans, refused or read within bounds. Measured on a loaded two-core machine: 100 000
    // nested inserts 2.8 s / 70 MB, a million-vertex polyline 1.3 s / 92 MB, two million tiny
    // lines 1 s / 40 MB (read up to the 500 000 element limit only), 240 000 tiny lines piled in
    // 5 micrometres 3.5 s / 175 MB.
    Dossier d;
    struct Cas
    {
        const char* nom;
        void (*ecrit)(Plan&);
        std::vector<const char*> attendus;
        double delai_s;
        long memoire_mo;
    };
    const Cas cas[] = {
        {"imbrications.dxf",
         [](Plan& p)
         {
             p.Section("BLOCKS");
             const int n = 100000;
             for (int k = 0; k < n; ++k)
             {
                 p.Bloc("B" + std::to_string(k));
                 if (k + 1 < n)
                 {
                     p.Insertion("B" + std::to_string(k + 1));
                 }
                 else
                 {
                     p.Carre(10);
                 }
                 p.FinBloc();
             }
             p.FinSection();
             p.Section("ENTITIES");
             p.Insertion("B0");
             p.FinSection();
         },
         {"Ignorées (bloc absent ou imbrication trop profonde) : 1 insertions.",
          "Aucune géométrie dans l'espace objet du plan."},
         15.0,
         256},
        {"polyligne_million.dxf",
         [](Plan& p)
         {
             p.Section("ENTITIES");
             const int n = 1000000;
             p.Flux() << "0\nLWPOLYLINE\n8\n0\n90\n" << n << "\n70\n1\n";
             char t[80];
             for (int i = 0; i < n; ++i)
             {
                 const double a = 2 * M_PI * i / n;
                 std::snprintf(t, sizeof t, "10\n%.9f\n20\n%.9f\n", 50 * std::cos(a), 50 * std::sin(a));
                 p.Flux() << t;
             }
             p.FinSection();
         },
         {"trop grand pour être converti : plus de 500000 éléments"},
         10.0,
         256},
        {"millions_de_lignes.dxf",
         [](Plan& p)
         {
             p.Section("ENTITIES");
             for (int i = 0; i < 2000000; ++i)
             {
                 const double x = (i % 1000) * 0.01, y = (i / 1000) * 0.01;
                 p.Ligne(x, y, x + 0.001, y);
             }
             p.FinSection();
         },
         {"trop grand pour être converti : plus de 500000 éléments"},
         10.0,
         256},
        {"lignes_entassees.dxf",
         [](Plan& p)
         {
             // Just under the limit (two points a line), every end within 5 micrometres.
             p.Section("ENTITIES");
             for (long long i = 0; i < 240000; ++i)
             {
                 const double x = (i * 7919 % 1000) * 5e-6, y = (i * 104729 % 1000) * 5e-6;
                 p.Ligne(x, y, x + 1e-4, y);
             }
             p.FinSection();
         },
         {"Éléments lus : LINE 240000."},
         30.0,
         512},
    };
    for (const Cas& c : cas)
    {
        const std::string chemin = d / c.nom;
        {
            Plan p(chemin);
            c.ecrit(p);
            p.Termine();
        }
        const Execution r = Convertit(d, chemin, c.delai_s);
        VerifieRefus(r, ligne_dxf, d / "sortie.stl", c.nom);
        for (const char* attendu : c.attendus)
        {
            EXPECT_NE(r.sortie.find(attendu), std::string::npos) << c.nom << "\n" << r.sortie;
        }
        EXPECT_LT(r.memoire_ko, BorneMemoireKo(c.memoire_mo)) << c.nom;
        std::cout << "[ MESURE   ] " << c.nom << ": " << r.duree_s << " s, " << r.memoire_ko / 1024
                  << " MiB\n";
        unlink(chemin.c_str());
    }
}

TEST(EntreesMauvaises, CompteBinaireTropGrandSansAllocation)
{
    // A header that claims far more triangles than the file holds is refused from the size alone:
    // memory stays that of the file, not of the claim (4294967295 triangles would need hundreds
    // of GiB, 10 000 000 about 500 MiB).
    Dossier d;
    std::string triangles;
    const float v[12] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0};
    for (int i = 0; i < 200000; ++i)
    {
        triangles.append(reinterpret_cast<const char*>(v), sizeof v);
        triangles.append(2, '\0');
    }
    struct Cas
    {
        std::uint32_t annonce;
        const char* attendu;
    };
    for (const Cas& c : {Cas{0xFFFFFFFFu, "l'en-tête annonce 4294967295 triangles"},
                         Cas{10000000u, "l'en-tête annonce 10000000 triangles"}})
    {
        std::string s(80, ' ');
        s.append(reinterpret_cast<const char*>(&c.annonce), 4);
        Ecrit(d / "annonce.stl", s + triangles);
        const Execution r = Execute({"-s", d / "annonce.stl", "-o", d / "sortie.stl", "-v"});
        VerifieRefus(r, LigneStl(d / "annonce.stl"), d / "sortie.stl", c.attendu);
        EXPECT_NE(r.sortie.find(c.attendu), std::string::npos) << r.sortie;
        // The file is 10 MB; the program alone about 8.
        EXPECT_LT(r.memoire_ko, BorneMemoireKo(48)) << c.attendu;
    }
    const Execution r = Execute({"-s", corpus + "/binaire_compte_ffffffff.stl", "-o", d / "sortie.stl"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_LT(r.memoire_ko, BorneMemoireKo(24));
}
