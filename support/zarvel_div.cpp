#include "zarvel_div.h"

#include <cmath>
#include <ctime>

bool ControleDate(int jour, int mois, int annee)
{
    const std::time_t maintenant = std::time(nullptr);
    std::tm local{};
    localtime_r(&maintenant, &local);
    if (jour >= 0 && local.tm_mday != jour) return false;
    if (mois >= 0 && local.tm_mon + 1 != mois) return false;
    if (annee >= 0 && local.tm_year + 1900 != annee) return false;
    return true;
}

int flgInt(long long v)
{
    // The magnitude is taken unsigned so that the most negative value has one.
    const unsigned long long a =
        v < 0 ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    unsigned long long limite = 9;
    for (int chiffres = 1; chiffres <= 8; ++chiffres)
    {
        if (a <= limite) return chiffres;
        limite = limite * 10 + 9;
    }
    unsigned long long puissance = 1000000000ull;
    for (int chiffres = 9; chiffres < 19; ++chiffres)
    {
        if (a < puissance) return chiffres;
        puissance *= 10;
    }
    return 19;
}

int EnumToID_MIN(int v)
{
    if (v == 0) return -1;
    unsigned int x = static_cast<unsigned int>(v);
    int index = 0;
    while (!(x & 1u))
    {
        x >>= 1;
        ++index;
    }
    return index;
}

int EnumToID_MAX(int v)
{
    // Shifting the value as unsigned keeps the loop finite for negative
    // values, whose highest set bit is the sign bit.
    unsigned int x = static_cast<unsigned int>(v);
    int index = -1;
    while (x)
    {
        x >>= 1;
        ++index;
    }
    return index;
}

double logN(double valeur, double base)
{
    return std::log(valeur) / std::log(base);
}
