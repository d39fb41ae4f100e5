// How much of a long test a build under AddressSanitizer runs.
//
// The sanitizers check memory, not results: a path run once is checked as well as a path run
// forty times, and each run costs five to fifteen times more under them. Tests that repeat one
// path over many inputs take a sample there, so that the sanitizer suite stays short.
#pragma once

namespace essais
{
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool sous_sanitizer = true;
#else
inline constexpr bool sous_sanitizer = false;
#endif

/// Whether the input numbered `rang` of a long series runs: all of them normally, one in `pas`
/// under the sanitizers.
constexpr bool Echantillon(int rang, int pas)
{
    return !sous_sanitizer || rang % pas == 0;
}

/// Whether part number `piece` of a series runs in layout `disposition` (0 or 1): in both
/// normally, in one under the sanitizers, the layouts in turn from part to part.
constexpr bool UneDisposition(int piece, int disposition)
{
    return Echantillon(piece + disposition, 2);
}
} // namespace essais
