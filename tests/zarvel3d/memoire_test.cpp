#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using Zarvel3D::AllocationMemoire;
using Zarvel3D::LiberationMemoire;

// Large blocks start on a huge page; small ones on a cache line. Both keep what is written.
TEST(AllocationMemoire, AlignementSelonLaTaille)
{
    for (const std::size_t octets : {std::size_t(24), std::size_t(4096), std::size_t(3) << 20})
    {
        SCOPED_TRACE(octets);
        unsigned char* bloc = static_cast<unsigned char*>(AllocationMemoire(octets));
        ASSERT_NE(bloc, nullptr);
        const std::uintptr_t adresse = reinterpret_cast<std::uintptr_t>(bloc);
        EXPECT_EQ(adresse % (octets >= (std::size_t(2) << 20) ? (std::size_t(2) << 20) : 64), 0u);
        std::memset(bloc, 0x5A, octets);
        EXPECT_EQ(bloc[octets - 1], 0x5A);
        LiberationMemoire(bloc);
    }
    EXPECT_EQ(AllocationMemoire(std::size_t(1) << 62), nullptr);
    LiberationMemoire(nullptr);
}

// The pages are made resident while the caller writes the same blocks: every value written
// stays, the part written before the start keeps its content too, and several starts in a row
// wait for each other.
TEST(PreparationPages, ContenuInchangePendantLesEcritures)
{
    const std::size_t n = std::size_t(6) << 20; // 24 MiB of 32-bit values
    std::uint32_t* a = static_cast<std::uint32_t*>(AllocationMemoire(n * sizeof(std::uint32_t)));
    std::uint32_t* b = static_cast<std::uint32_t*>(AllocationMemoire(n * sizeof(std::uint32_t)));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    for (std::size_t i = 0; i < 1000; ++i)
    {
        a[i] = static_cast<std::uint32_t>(3 * i + 1);
    }
    {
        Zarvel3D::PreparationPages pages;
        pages.Lance({{a, n * sizeof(std::uint32_t)}, {b, n * sizeof(std::uint32_t)}});
        for (std::size_t i = 1000; i < n; ++i)
        {
            a[i] = static_cast<std::uint32_t>(3 * i + 1);
            b[i] = static_cast<std::uint32_t>(i ^ 0x9E3779B9u);
        }
        pages.Lance({{b, n * sizeof(std::uint32_t)}});
        pages.Attend();
        pages.Attend();
    }
    bool intacts = true;
    for (std::size_t i = 0; i < n; ++i)
    {
        intacts = intacts && a[i] == static_cast<std::uint32_t>(3 * i + 1) &&
                  (i < 1000 || b[i] == static_cast<std::uint32_t>(i ^ 0x9E3779B9u));
    }
    EXPECT_TRUE(intacts);
    LiberationMemoire(a);
    LiberationMemoire(b);
}
