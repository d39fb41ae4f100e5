#pragma once

// Choice among the readings of a drawing: each candidate solid is checked
// against the views and the one with the fewest mismatches is kept; the first
// one tried wins a tie, so the simpler readings go first. A candidate that
// the kernel cannot build is passed over. Private to the module.

#include "zarvel_occt_generation.h"

#include <functional>

namespace Zarvel3D::occt
{

class Selection
{
public:
    /// Finishes and checks a raw solid (status, diagnostic, mismatches).
    using Verification = std::function<ResultatSolide(const TopoDS_Shape&)>;

    Selection(ResultatSolide depart, Verification verification);

    /// Builds a candidate (a null shape: none) and keeps it when it is valid
    /// and has fewer mismatches than the best so far. Kernel failures while
    /// building or checking it leave the best as it was.
    void Essaie(const std::function<TopoDS_Shape()>& construction);
    /// Runs a step that gathers candidates, under the same guard: a kernel
    /// failure ends the step and leaves what it gathered so far.
    void Prepare(const std::function<void()>& etape);
    /// True when the best so far reproduces the drawing (or failed).
    bool Termine() const;
    const ResultatSolide& Meilleur() const { return meilleur; }

private:
    ResultatSolide meilleur;
    Verification verification;
};

} // namespace Zarvel3D::occt
