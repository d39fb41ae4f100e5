// The library's allocator: every object and scene list of the library is allocated here, so
// that memory created by the library is always released by it. Large blocks are aligned on
// 2 MiB and marked for transparent huge pages: first-touch page faults dominate the cost of
// filling big meshes otherwise.
#include "zarvel3d/zarvel3d.h"

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

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

} // namespace Zarvel3D
