// The library's allocator: every object and scene list of the library is allocated here, so
// that memory created by the library is always released by it. Large blocks are aligned on
// 2 MiB and marked for transparent huge pages: first-touch page faults dominate the cost of
// filling big meshes otherwise.
#include "zarvel3d/zarvel3d.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <system_error>

namespace Zarvel3D
{

namespace
{

constexpr std::size_t taille_grande_page = std::size_t(1) << 21;

// The size is kept in a header in front of the block, so that LiberationMemoire needs no size
// and large and small blocks can be told apart. The header is 64 bytes to keep cache-line
// alignment of the data.
constexpr std::size_t taille_entete = 64;

struct Entete
{
    std::size_t octets;
    std::size_t decalage; // distance from the start of the raw block to the data
};

} // namespace

void* AllocationMemoire(std::size_t octets) noexcept
{
    if (octets > (std::size_t(1) << 60))
    {
        return nullptr;
    }
    const bool grand = octets >= taille_grande_page;
    unsigned char* brut = nullptr;
    std::size_t decalage = taille_entete;
    if (grand)
    {
        // Data aligned on a huge page: the header sits in the last 64 bytes of the page before.
        const std::size_t total =
            (octets + taille_grande_page + taille_grande_page - 1) & ~(taille_grande_page - 1);
        brut = static_cast<unsigned char*>(std::aligned_alloc(taille_grande_page, total));
        if (brut == nullptr)
        {
            return nullptr;
        }
        decalage = taille_grande_page;
        madvise(brut + decalage, total - decalage, MADV_HUGEPAGE);
    }
    else
    {
        brut = static_cast<unsigned char*>(
            std::aligned_alloc(64, taille_entete + ((octets + 63) & ~std::size_t(63))));
        if (brut == nullptr)
        {
            return nullptr;
        }
    }
    Entete entete{octets, decalage};
    std::memcpy(brut + decalage - sizeof(Entete), &entete, sizeof(Entete));
    return brut + decalage;
}

void LiberationMemoire(void* bloc) noexcept
{
    if (bloc == nullptr)
    {
        return;
    }
    unsigned char* donnees = static_cast<unsigned char*>(bloc);
    Entete entete;
    std::memcpy(&entete, donnees - sizeof(Entete), sizeof(Entete));
    std::free(donnees - entete.decalage);
}

void* PBase::operator new(std::size_t octets)
{
    void* bloc = AllocationMemoire(octets);
    if (bloc == nullptr)
    {
        throw std::bad_alloc();
    }
    return bloc;
}

void* PBase::operator new[](std::size_t octets)
{
    return PBase::operator new(octets);
}

void* PBase::operator new(std::size_t octets, const std::nothrow_t&) noexcept
{
    return AllocationMemoire(octets);
}

void* PBase::operator new[](std::size_t octets, const std::nothrow_t&) noexcept
{
    return AllocationMemoire(octets);
}

void PBase::operator delete(void* bloc) noexcept
{
    LiberationMemoire(bloc);
}

void PBase::operator delete[](void* bloc) noexcept
{
    LiberationMemoire(bloc);
}

void PBase::operator delete(void* bloc, const std::nothrow_t&) noexcept
{
    LiberationMemoire(bloc);
}

void PBase::operator delete[](void* bloc, const std::nothrow_t&) noexcept
{
    LiberationMemoire(bloc);
}

void PreparationPages::Lance(std::vector<std::pair<const void*, std::size_t>> blocs)
{
    Attend();
    std::size_t total = 0;
    for (const auto& bloc : blocs)
    {
        total += bloc.second;
    }
    // Below a few huge pages a thread costs more than it saves.
    if (total < 4 * taille_grande_page)
    {
        return;
    }
    try
    {
        fil = std::thread(
            [blocs = std::move(blocs)]()
            {
                constexpr std::uintptr_t page = 4096;
                for (const auto& [debut, octets] : blocs)
                {
                    const std::uintptr_t adresse = reinterpret_cast<std::uintptr_t>(debut);
                    const std::uintptr_t premier = (adresse + page - 1) & ~(page - 1);
                    const std::uintptr_t fin = (adresse + octets) & ~(page - 1);
                    // Piece by piece from the start, where the caller begins writing: it soon
                    // finds its pages ready instead of waiting for the whole block.
                    for (std::uintptr_t p = premier; p < fin; p += taille_grande_page)
                    {
                        const std::size_t n =
                            static_cast<std::size_t>(std::min<std::uintptr_t>(taille_grande_page, fin - p));
                        if (madvise(reinterpret_cast<void*>(p), n, MADV_POPULATE_WRITE) != 0)
                        {
                            return; // a kernel without it, or memory short: the caller touches them
                        }
                    }
                }
            });
    }
    catch (const std::system_error&)
    {
        // No thread: the pages come with their first use, as without this helper.
    }
}

void PreparationPages::Attend()
{
    if (fil.joinable())
    {
        fil.join();
    }
}

} // namespace Zarvel3D
