#include "zarvel_args.h"
#include "zarvel_string.h"

#include <iostream>

int main(int argc, const char** argv)
{
    Zarvel_args args(argc, argv);
    for (unsigned int k = 0; k < args.NombreParametresIndefinis(); ++k)
    {
        const char* libre = args.ParametreIndefini(k);
        if (!args.ParamDefini('i') && PString::CompareStr(PString::ExtensionFichier(libre), "dxf", false))
            args.ForceParam('i', libre);
    }
    if (args.ParamDefini('h'))
    {
        std::cout << std::endl;
        return 0;
    }
    std::cout << "Zarvel_cli :: bibliothèque de conversion absente de cette construction." << std::endl;
    return 3;
}
