#pragma once
// Memory helpers of the library besides its allocator (AllocationMemoire, in memoire.cpp).

#include "zarvel3d/zarvel3d.h"

#include <cstddef>
#include <thread>
#include <utility>
#include <vector>

namespace Zarvel3D
{
namespace interne
{

/// Makes blocks of memory resident ahead of their first use, on a thread of its own. The kernel
/// clears each page at its first touch, which here costs about as much as the work that fills a
/// large array; populated from another thread, that clearing runs on the second processor while
/// the caller computes. Pages are populated without being written, so the caller may write the
/// blocks meanwhile. The blocks must stay allocated until Attend returns (the destructor waits).
/// Exported for the tests; not part of the public interface.
class ZARVEL3D_EXPORT PreparationPages
{
public:
    PreparationPages() = default;
    PreparationPages(const PreparationPages&) = delete;
    PreparationPages& operator=(const PreparationPages&) = delete;
    PreparationPages(PreparationPages&&) = delete;
    PreparationPages& operator=(PreparationPages&&) = delete;
    ~PreparationPages() { Attend(); }

    /// Starts populating `blocs` (start, bytes), in order. Does nothing when the blocks are small,
    /// when no thread can start, or, on the thread, once the kernel refuses to populate.
    void Lance(std::vector<std::pair<const void*, std::size_t>> blocs);
    /// Waits until the thread is done.
    void Attend();

private:
    std::thread fil;
};

} // namespace interne
} // namespace Zarvel3D
