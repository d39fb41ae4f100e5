#pragma once
// The library's side of the progress record that a caller gives with defProgression: each long
// operation starts a count, advances it and ends it. Without a record these cost one relaxed load.

#include "zarvel3d/zarvel3d.h"

namespace Zarvel3D
{
namespace interne
{

/// An STL import runs in two phases: reading the file up to this share of the whole, then
/// building the model (which takes about twice as long).
constexpr double FinLectureImport = 0.3;

/// Starts an operation of `total` units (0: unknown): the count goes back to 0.
void ProgressionDebut(unsigned long long total);
/// Sets the units done so far.
void ProgressionFait(unsigned long long fait);
/// For an operation in phases over a total of 1000: sets done to the share of a phase that runs
/// from `debut` to `fin` (fractions of the whole) and has done i of its n steps.
void ProgressionPhase(double debut, double fin, unsigned long long i, unsigned long long n);
/// Ends the operation: done = total when the total is known, else the count is left as it is.
void ProgressionFin();

} // namespace interne
} // namespace Zarvel3D
