#include "zarvel_args.h"

#include <iostream>

Zarvel_args::Zarvel_args(int argc, const char** argv)
{
    nombre_libres = 0;
    texte_vide[0] = '\0';
    ReinitParams();
    if (argc < 2 || !argv) return;

    int i = 1;
    while (i < argc)
    {
        const char* t = argv[i];
        if (!t)
        {
            ++i;
            continue;
        }
        if (t[0] == '-')
        {
            // Only the second character counts: "-output" is "-o"; "--x" and
            // a lone "-" carry no valid letter and are skipped.
            const unsigned char c = static_cast<unsigned char>(t[1]);
            if (!ValideCharParam(c))
            {
                ++i;
                continue;
            }
            const unsigned int index = c - 'a';
            drapeaux[index] = true;
            const char* suivant = (i + 1 < argc) ? argv[i + 1] : nullptr;
            if (suivant && suivant[0] != '-')
            {
                valeurs[index] = suivant;
                i += 2;
            }
            else
                ++i;
        }
        else
        {
            // A bare token right after an ignored option (-A, --, -) is dropped,
            // as it would have been that option's value.
            const char* precedent = argv[i - 1];
            const bool apres_option = precedent && precedent[0] == '-';
            if (!apres_option && nombre_libres < NombreLibresMax) libres[nombre_libres++] = t;
            ++i;
        }
    }
}

void Zarvel_args::ReinitParams()
{
    for (unsigned int i = 0; i < NombreLettres; ++i)
    {
        drapeaux[i] = false;
        valeurs[i] = nullptr;
    }
    for (unsigned int i = 0; i < NombreLibresMax; ++i)
        libres[i] = nullptr;
    nombre_libres = 0;
}

void Zarvel_args::ForceParam(unsigned char c, const char* valeur)
{
    std::cout << "ForceParam :: '" << static_cast<char>(c) << "' :: " << (valeur ? valeur : "") << std::endl;
    if (!ValideCharParam(c)) return;
    drapeaux[c - 'a'] = true;
    valeurs[c - 'a'] = valeur;
}

bool Zarvel_args::ValideCharParam(unsigned char c) const
{
    return c >= 'a' && c <= 'z';
}

bool Zarvel_args::ParamDefini(unsigned char c) const
{
    return ValideCharParam(c) && drapeaux[c - 'a'];
}

bool Zarvel_args::ParamValDefini(unsigned char c) const
{
    return ValideCharParam(c) && valeurs[c - 'a'] != nullptr;
}

const char* Zarvel_args::ValParam(unsigned char c) const
{
    if (!ParamValDefini(c)) return texte_vide;
    return valeurs[c - 'a'];
}

char Zarvel_args::ValParamChar(unsigned char c) const
{
    return ValParam(c)[0];
}

uint32_t Zarvel_args::NombreParametresIndefinis() const
{
    return nombre_libres;
}

const char* Zarvel_args::ParametreIndefini(unsigned int k) const
{
    if (k >= nombre_libres) return nullptr;
    return libres[k];
}
