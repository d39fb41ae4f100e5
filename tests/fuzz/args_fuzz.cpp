// Fuzz target of the argument parser: each line of the input is one argument after the program's
// name.
#include "fuzz_outils.h"
#include "zarvel_args.h"

#include <cstring>
#include <string>
#include <vector>

namespace
{

// True when `texte` is the very text of one of the arguments (the parser copies nothing).
bool DansArguments(const char* texte, const std::vector<const char*>& arguments)
{
    for (std::size_t i = 1; i < arguments.size(); ++i)
    {
        if (texte == arguments[i])
        {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    // Every argument in a buffer of its own, so that a read past its end is seen by the sanitizer.
    std::vector<std::string> lignes(1);
    for (std::size_t i = 0; i < taille; ++i)
    {
        if (donnees[i] == '\n')
        {
            lignes.emplace_back();
        }
        else
        {
            lignes.back().push_back(static_cast<char>(donnees[i]));
        }
    }
    std::vector<const char*> arguments;
    arguments.push_back("Zarvel_cli");
    for (const std::string& l : lignes)
    {
        arguments.push_back(l.c_str());
    }
    const int argc = taille == 0 ? 1 : static_cast<int>(arguments.size());
    Zarvel_args args(argc, arguments.data());

    std::size_t options = 0;
    for (unsigned int c = 0; c < 256; ++c)
    {
        const unsigned char lettre = static_cast<unsigned char>(c);
        const bool valide = lettre >= 'a' && lettre <= 'z';
        ZARVEL_FUZZ_VERIFIE(args.ValideCharParam(lettre) == valide);
        const char* valeur = args.ValParam(lettre);
        ZARVEL_FUZZ_VERIFIE(valeur != nullptr);
        ZARVEL_FUZZ_VERIFIE(args.ValParamChar(lettre) == valeur[0]);
        if (!valide)
        {
            ZARVEL_FUZZ_VERIFIE(!args.ParamDefini(lettre) && !args.ParamValDefini(lettre) &&
                                valeur[0] == '\0');
            continue;
        }
        if (args.ParamValDefini(lettre))
        {
            // A value is the argument right after its option, never an option itself.
            ZARVEL_FUZZ_VERIFIE(args.ParamDefini(lettre));
            ZARVEL_FUZZ_VERIFIE(DansArguments(valeur, arguments) && valeur[0] != '-');
        }
        else
        {
            ZARVEL_FUZZ_VERIFIE(valeur[0] == '\0');
        }
        if (args.ParamDefini(lettre))
        {
            ++options;
        }
    }
    const unsigned int libres = args.NombreParametresIndefinis();
    ZARVEL_FUZZ_VERIFIE(libres <= Zarvel_args::NombreLibresMax);
    ZARVEL_FUZZ_VERIFIE(libres + options <= static_cast<std::size_t>(argc - 1));
    for (unsigned int k = 0; k < libres; ++k)
    {
        const char* libre = args.ParametreIndefini(k);
        ZARVEL_FUZZ_VERIFIE(libre != nullptr && DansArguments(libre, arguments) && libre[0] != '-');
    }
    ZARVEL_FUZZ_VERIFIE(args.ParametreIndefini(libres) == nullptr);

    args.ReinitParams();
    for (unsigned int c = 'a'; c <= 'z'; ++c)
    {
        ZARVEL_FUZZ_VERIFIE(!args.ParamDefini(static_cast<unsigned char>(c)));
        ZARVEL_FUZZ_VERIFIE(args.ValParam(static_cast<unsigned char>(c))[0] == '\0');
    }
    ZARVEL_FUZZ_VERIFIE(args.NombreParametresIndefinis() == 0 && args.ParametreIndefini(0) == nullptr);
    return 0;
}
