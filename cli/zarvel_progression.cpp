// Progress display: a thread reads the library's progress record every tenth of a second and
// redraws one line of standard error in place.
#include "zarvel_progression.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace
{

constexpr auto DelaiAffichage = std::chrono::milliseconds(500);
constexpr auto Periode = std::chrono::milliseconds(100);

Zarvel3D::PProgression& Progression()
{
    static Zarvel3D::PProgression progression;
    static bool donnee = false;
    if (!donnee)
    {
        Zarvel3D::defProgression(&progression);
        donnee = true;
    }
    return progression;
}

} // namespace

std::string LigneProgression(char const* libelle, unsigned long long fait, unsigned long long total,
                             double secondes)
{
    char texte[160];
    if (total > 0)
    {
        const unsigned long long pourcent = (fait >= total) ? 100 : fait * 100 / total;
        std::snprintf(texte, sizeof texte, "%s : %llu %% (%.1f s)", libelle, pourcent, secondes);
    }
    else
    {
        std::snprintf(texte, sizeof texte, "%s (%.1f s)", libelle, secondes);
    }
    return texte;
}

AffichageProgression::AffichageProgression(char const* texte) : libelle(texte)
{
    Progression();
    // Nothing to show on a file or a pipe: no thread at all.
    if (isatty(STDERR_FILENO)) surveillant = std::thread(&AffichageProgression::Surveille, this);
}

AffichageProgression::~AffichageProgression()
{
    if (!surveillant.joinable()) return;
    {
        std::lock_guard<std::mutex> garde(verrou);
        fini = true;
    }
    reveil.notify_one();
    surveillant.join();
    if (affiche)
    {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

void AffichageProgression::Surveille()
{
    Zarvel3D::PProgression& p = Progression();
    const auto debut = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> garde(verrou);
    if (reveil.wait_for(garde, DelaiAffichage, [this] { return fini; })) return;
    do
    {
        const double secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
        const std::string ligne =
            LigneProgression(libelle, p.fait.load(std::memory_order_relaxed), p.total.load(std::memory_order_relaxed),
                             secondes);
        std::fprintf(stderr, "\r%s\033[K", ligne.c_str());
        std::fflush(stderr);
        affiche = true;
    } while (!reveil.wait_for(garde, Periode, [this] { return fini; }));
}
