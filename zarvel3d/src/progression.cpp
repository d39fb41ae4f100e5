// Progress of the long operations, for a display that another thread of the caller draws.
#include "progression.h"

namespace Zarvel3D
{

namespace
{

std::atomic<PProgression*> enregistrement{nullptr};

} // namespace

void defProgression(PProgression* progression)
{
    enregistrement.store(progression, std::memory_order_release);
}

namespace interne
{

void ProgressionDebut(unsigned long long total)
{
    PProgression* p = enregistrement.load(std::memory_order_acquire);
    if (!p) return;
    // The total first at 0, so that a reader never sees the new total with the old count.
    p->total.store(0, std::memory_order_relaxed);
    p->fait.store(0, std::memory_order_relaxed);
    p->total.store(total, std::memory_order_relaxed);
    p->operations.fetch_add(1, std::memory_order_release);
}

void ProgressionFait(unsigned long long fait)
{
    PProgression* p = enregistrement.load(std::memory_order_acquire);
    if (p) p->fait.store(fait, std::memory_order_relaxed);
}

void ProgressionPhase(double debut, double fin, unsigned long long i, unsigned long long n)
{
    const double part = (n == 0 || i >= n) ? 1.0 : static_cast<double>(i) / static_cast<double>(n);
    ProgressionFait(static_cast<unsigned long long>(1000.0 * (debut + (fin - debut) * part)));
}

void ProgressionFin()
{
    PProgression* p = enregistrement.load(std::memory_order_acquire);
    if (!p) return;
    // With an unknown total the count stays what the operation reached.
    const unsigned long long total = p->total.load(std::memory_order_relaxed);
    if (total > 0) p->fait.store(total, std::memory_order_relaxed);
}

} // namespace interne
} // namespace Zarvel3D
