#pragma once

#include <string>
#include <vector>

/// Stateless text and file helpers. Text is a std::string of bytes; no
/// encoding is interpreted. A blank is a space or a horizontal tab.
class PString
{
public:
    // File names
    /// Text after the last '/': the whole text without '/', empty after a final '/'.
    static std::string FichierChemin(std::string const& chemin);
    /// Pointer to the last '/' of the text (the slash itself); null when none.
    static char const* FichierChemin_S(char const* chemin);
    /// Text before the last '/'; empty when there is none.
    static std::string CheminFichier(std::string const& chemin);
    /// Path shortened for display to about `limite` characters as "/..." and
    /// its end, cut at a '/' when one follows the cut point.
    static std::string TronqueChemin(std::string const& chemin, unsigned int limite);
    /// Text after the last '.' of the whole name (case kept); empty when the
    /// name has no '.', is empty or ends with '.'.
    static std::string ExtensionFichier(std::string const& nom);

    // Comparisons
    /// Byte-for-byte equality.
    static bool CompareMotASCII(std::string const& a, std::string const& b);
    /// Byte-for-byte equality with a zero-terminated text (not null).
    static bool CompareMotASCII(std::string const& a, char const* b);
    /// True when `texte` is longer than `prefixe` and begins with it; true
    /// for an empty prefix on a non-empty text; false for an empty text.
    static bool ControleDebutLigneASCII(std::string const& texte, char const* prefixe);
    /// Equality of equal-length texts, exact or without regard to case.
    static bool CompareStr(std::string const& a, std::string const& b, bool exact);
    /// Levenshtein distance with unit costs.
    static long DistanceLevenshtein(unsigned char const* a, long taille_a, unsigned char const* b,
                                    long taille_b);

    // Formatting
    static std::string ULtoaBase10(unsigned long v);
    static std::string LtoaBase10(long v);
    /// Fixed point with five decimals, truncated (0.3 gives 0.29999).
    static std::string DtoaBase10(double d);
    /// Eight '0'/'1' per byte, bytes from last to first, bits 7 to 0.
    static std::string DatatoBin(void const* donnees, unsigned int taille);
    /// Local date as DD-MM-YYYY.
    static std::string DateStr();
    /// Local date and time as YYYY-MM-DDTHH:MM:SS.
    static std::string DateStrISO8601();

    // Parsing
    /// Base-10 conversion with the rules of std::stol (throws
    /// std::invalid_argument / std::out_of_range); true when the whole text
    /// was consumed.
    static bool ConversionLongASCII(std::string const& texte, long& valeur);
    /// One float read in the "C" locale; trailing characters are allowed.
    static bool ConversionFloatASCII(std::string const& texte, float& valeur);
    /// One double read in the "C" locale; trailing characters are allowed.
    static bool ConversionDoubleASCII(std::string const& texte, double& valeur);

    // Scanning
    /// Next line from `position` (leading blanks skipped, CR, LF or CRLF
    /// ending it); counts lines in `compteur`. False at the end of the buffer.
    static bool LigneSuivanteASCII(std::vector<unsigned char> const& tampon, unsigned int& position,
                                   unsigned int& compteur, std::string& ligne);
    /// The line ending at `position`, read backwards; `position` moves before
    /// its line break (-1 at the start). False when `position` is outside.
    static bool LignePrecedenteASCII(std::vector<unsigned char> const& tampon, int& position,
                                     std::string& ligne);
    /// Next word separated by space, tab, CR or LF; true when one was found.
    static bool MotSuivantASCII(std::string const& texte, unsigned int& position, std::string& mot);
    /// Pieces between separator bytes, empty ones included.
    static std::vector<std::string> SplitStr(std::string const& texte, std::string const& separateurs);
    /// Replaces every occurrence of `cherche`; returns their number.
    static int RemplaceStr(std::string& texte, std::string const& cherche, std::string const& remplace);

    // Files
    /// Whole file as text. False (content empty) for a null path, a file that
    /// cannot be opened, an empty file or a read error.
    static bool chargeFichier(char const* chemin, std::string& contenu);
    /// Creates or truncates the file and writes the data. False when the file
    /// cannot be opened or when the write or the close fails.
    static bool EcritureFichier(char const* chemin, std::string const& donnees);
};

class PBinaire
{
public:
    /// Whole file as bytes, same rules as PString::chargeFichier.
    static bool chargeFichier(char const* chemin, std::vector<unsigned char>& contenu);
};
