#pragma once

// Disjoint sets over 0..n-1 (union-find), shared by the DXF view detection and the solid module.
// Private to the library.

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <vector>

namespace Zarvel3D
{

/// Disjoint sets of the indices 0..n-1, each named by its smallest member once joined.
struct Ensembles
{
    std::vector<std::size_t> parent;

    explicit Ensembles(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }

    /// The index that names the set of `i`.
    std::size_t Racine(std::size_t i)
    {
        while (parent[i] != i)
        {
            // Halving the path keeps later searches short.
            parent[i] = parent[parent[i]];
            i = parent[i];
        }
        return i;
    }

    /// Joins the sets of `a` and `b`; false when they were one already.
    bool Union(std::size_t a, std::size_t b)
    {
        a = Racine(a);
        b = Racine(b);
        if (a == b)
        {
            return false;
        }
        parent[std::max(a, b)] = std::min(a, b);
        return true;
    }
};

} // namespace Zarvel3D
