#pragma once
// A one-line progress display on standard error for the library's long work: shown only when
// standard error is a terminal and the work has lasted more than half a second, erased when it
// ends. Standard output is never touched.

#include "zarvel3d/zarvel3d.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

/// The line for a label, the units done and in all (0: unknown) and the elapsed seconds, e.g.
/// "Import du maillage : 45 % (1.2 s)" or, without a total, "Génération du modèle (3.4 s)".
std::string LigneProgression(char const* libelle, unsigned long long fait, unsigned long long total,
                             double secondes);

/// Watches the library's progress record while one operation runs (from construction to
/// destruction). Gives the record to the library on first use.
class AffichageProgression
{
public:
    explicit AffichageProgression(char const* libelle);
    /// Stops watching and erases the line when one was shown.
    ~AffichageProgression();
    AffichageProgression(AffichageProgression const&) = delete;
    AffichageProgression& operator=(AffichageProgression const&) = delete;

private:
    void Surveille();

    char const* libelle;
    std::mutex verrou;
    std::condition_variable reveil;
    bool fini = false;
    bool affiche = false;
    std::thread surveillant;
};
