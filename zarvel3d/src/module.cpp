// Opening of the private modules (why they are modules: see module.h).
#include "module.h"

#include <cstdlib>
#include <dlfcn.h>

namespace Zarvel3D::interne
{

namespace
{

/// Text of the loader's last error (never null).
std::string ErreurChargeur()
{
    const char* erreur = dlerror();
    return erreur != nullptr ? erreur : "?";
}

/// The path of `nom` beside this library, or just `nom` when this library's own path is unknown
/// (the loader's search path then applies).
std::string CheminVoisin(const char* nom)
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&CheminVoisin), &info) != 0 && info.dli_fname != nullptr)
    {
        const std::string bibliotheque = info.dli_fname;
        const std::size_t barre = bibliotheque.rfind('/');
        if (barre != std::string::npos)
        {
            return bibliotheque.substr(0, barre + 1) + nom;
        }
    }
    return nom;
}

} // namespace

void* OuvreModule(const char* nom, const char* variable, const char* entree, std::string& chemin,
                  std::string& raison)
{
    const char* impose = std::getenv(variable);
    chemin = impose != nullptr ? impose : CheminVoisin(nom);
    void* module = dlopen(chemin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr && impose == nullptr && chemin != nom)
    {
        // An installed copy: found through the loader's search path.
        raison = ErreurChargeur();
        module = dlopen(nom, RTLD_NOW | RTLD_LOCAL);
    }
    if (module == nullptr)
    {
        if (raison.empty())
        {
            raison = ErreurChargeur();
        }
        return nullptr;
    }
    void* adresse = dlsym(module, entree);
    raison = adresse == nullptr ? ErreurChargeur() : std::string();
    return adresse;
}

} // namespace Zarvel3D::interne
