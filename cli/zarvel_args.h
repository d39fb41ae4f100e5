#pragma once

#include <cstdint>

/// Command-line options: single lower-case letters, each optionally followed by
/// one value, plus the free arguments (bare tokens that are neither). Nothing is
/// copied: every text handed out points into the argument vector, into a text
/// given to ForceParam, or to the parser's own empty text. The object must not
/// outlive those texts.
class Zarvel_args
{
public:
    static constexpr unsigned int NombreLettres = 64;
    static constexpr unsigned int NombreLibresMax = 32;

    /// Scans argv[1..argc-1]; with argc below 2 nothing is scanned.
    Zarvel_args(int argc, const char** argv);

    /// Clears every flag, value and free argument (the empty text stays).
    void ReinitParams();

    /// Prints "ForceParam :: 'c' :: value" and, for a letter a..z, sets the
    /// option with that value (replacing any earlier one).
    void ForceParam(unsigned char c, const char* valeur);

    /// True exactly for 'a'..'z'.
    bool ValideCharParam(unsigned char c) const;
    /// True when the option was given (with or without value) or forced.
    bool ParamDefini(unsigned char c) const;
    /// True when the option holds a value.
    bool ParamValDefini(unsigned char c) const;
    /// The option's value; the parser's empty text when none. Never null.
    const char* ValParam(unsigned char c) const;
    /// First character of the option's value; '\0' when none.
    char ValParamChar(unsigned char c) const;
    /// Number of free arguments kept (at most 32; later ones are dropped).
    uint32_t NombreParametresIndefinis() const;
    /// The k-th free argument in command-line order; null when k >= count.
    const char* ParametreIndefini(unsigned int k) const;

private:
    bool drapeaux[NombreLettres];
    const char* valeurs[NombreLettres];
    const char* libres[NombreLibresMax];
    uint32_t nombre_libres;
    char texte_vide[1];
};
