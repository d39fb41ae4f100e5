// 3MF writer of the export-formats module, through lib3mf's C interface.
#include "module_formats/ecritures.h"

#include <Model/COM/NMR_DLLInterfaces.h>
#include <cstring>
#include <new>

namespace Zarvel3D::formats
{

namespace
{

using namespace NMR;

static_assert(sizeof(MODELMESHVERTEX) == 3 * sizeof(float), "a lib3mf vertex is three floats");
static_assert(sizeof(MODELMESHTRIANGLE) == 3 * sizeof(std::uint32_t), "a lib3mf triangle is three indices");

/// An object of lib3mf, released with it. lib3mf's handles are pointers to an opaque pointer.
class Objet3MF
{
public:
    Objet3MF() = default;
    Objet3MF(const Objet3MF&) = delete;
    Objet3MF& operator=(const Objet3MF&) = delete;
    ~Objet3MF()
    {
        if (objet != nullptr)
        {
            lib3mf_release(objet);
        }
    }
    PLib3MFBase* objet = nullptr;
};

/// The 3MF package as it is written: lib3mf's zip writer seeks back to complete the entries'
/// headers, so the bytes are gathered in memory and handed to the library's atomic file.
struct Paquet
{
    std::string& octets;
    std::size_t position = 0;
    bool memoire_epuisee = false;
};

// The callbacks' types are lib3mf's ExportStream_WriteCallbackType and ExportStream_SeekCallbackType;
// a non-zero result makes lib3mf stop with an error.
std::uint32_t EcritOctets(unsigned char* donnees, std::uint32_t nombre, void* utilisateur)
{
    Paquet& p = *static_cast<Paquet*>(utilisateur);
    try
    {
        if (p.position + nombre > p.octets.size())
        {
            p.octets.resize(p.position + nombre);
        }
    }
    catch (const std::bad_alloc&)
    {
        // The exception must not cross lib3mf's frames.
        p.memoire_epuisee = true;
        return 1;
    }
    std::memcpy(&p.octets[p.position], donnees, nombre);
    p.position += nombre;
    return 0;
}

std::uint32_t Positionne(std::uint64_t position, void* utilisateur)
{
    Paquet& p = *static_cast<Paquet*>(utilisateur);
    if (position > p.octets.size())
    {
        return 1;
    }
    p.position = static_cast<std::size_t>(position);
    return 0;
}

/// False with lib3mf's text of the failure of `objet` (or of the call, when it has none).
bool Verifie(LIB3MFRESULT resultat, PLib3MFBase* objet, const char* appel, std::string& erreur)
{
    if (resultat == LIB3MF_OK)
    {
        return true;
    }
    DWORD code = 0;
    LPCSTR message = nullptr;
    if (objet != nullptr && lib3mf_getlasterror(objet, &code, &message) == LIB3MF_OK && message != nullptr &&
        message[0] != '\0')
    {
        erreur = std::string(appel) + ": " + message;
    }
    else
    {
        erreur = std::string(appel) + ": lib3mf error " + std::to_string(resultat);
    }
    return false;
}

bool Colore(PLib3MFModel* modele, PLib3MFModelMeshObject* objet, const MaillageFormat& m, std::string& erreur)
{
    // The colour goes in a base material, which every 3MF consumer reads (a colour group would
    // need the materials extension); the object's default property points to it.
    Objet3MF groupe;
    if (!Verifie(lib3mf_model_addbasematerialgroup(modele, &groupe.objet), modele, "addbasematerialgroup",
                 erreur))
    {
        return false;
    }
    DWORD index = 0;
    DWORD identifiant = 0;
    Objet3MF proprietes;
    // addmaterial leaves the display colour's alpha at 0 (transparent): it is set again, opaque.
    return Verifie(lib3mf_basematerial_addmaterialutf8(groupe.objet, m.nom_couleur.c_str(), m.rouge, m.vert,
                                                       m.bleu, &index),
                   groupe.objet, "addmaterial", erreur) &&
           Verifie(lib3mf_basematerial_setdisplaycolorrgba(groupe.objet, index, m.rouge, m.vert, m.bleu, 255),
                   groupe.objet, "setdisplaycolor", erreur) &&
           Verifie(lib3mf_resource_getresourceid(groupe.objet, &identifiant), groupe.objet, "getresourceid",
                   erreur) &&
           Verifie(lib3mf_object_createdefaultpropertyhandler(objet, &proprietes.objet), objet,
                   "createdefaultpropertyhandler", erreur) &&
           Verifie(lib3mf_defaultpropertyhandler_setbasematerial(proprietes.objet, identifiant, index),
                   proprietes.objet, "setbasematerial", erreur);
}

} // namespace

ResultatFormat Ecrit3MF(const MaillageFormat& m, std::string& fichier, std::string& erreur)
{
    Objet3MF modele;
    if (!Verifie(lib3mf_createmodel(&modele.objet), nullptr, "createmodel", erreur) ||
        !Verifie(lib3mf_model_setunit(modele.objet, MODELUNIT_MILLIMETER), modele.objet, "setunit", erreur))
    {
        return ResultatFormat::Echec;
    }
    Objet3MF objet;
    if (!Verifie(lib3mf_model_addmeshobject(modele.objet, &objet.objet), modele.objet, "addmeshobject",
                 erreur) ||
        !Verifie(lib3mf_object_setnameutf8(objet.objet, m.nom.c_str()), objet.objet, "setname", erreur))
    {
        return ResultatFormat::Echec;
    }
    // lib3mf copies the arrays; its interface takes them as writable.
    auto* sommets = reinterpret_cast<MODELMESHVERTEX*>(const_cast<float*>(m.positions.data()));
    auto* triangles = reinterpret_cast<MODELMESHTRIANGLE*>(const_cast<std::uint32_t*>(m.triangles.data()));
    if (!Verifie(lib3mf_meshobject_setgeometry(objet.objet, sommets,
                                               static_cast<DWORD>(m.positions.size() / 3), triangles,
                                               static_cast<DWORD>(m.triangles.size() / 3)),
                 objet.objet, "setgeometry", erreur) ||
        (m.colore && !Colore(modele.objet, objet.objet, m, erreur)))
    {
        return ResultatFormat::Echec;
    }
    Objet3MF element;
    Objet3MF ecrivain;
    if (!Verifie(lib3mf_model_addbuilditem(modele.objet, objet.objet, nullptr, &element.objet), modele.objet,
                 "addbuilditem", erreur) ||
        !Verifie(lib3mf_model_querywriter(modele.objet, "3mf", &ecrivain.objet), modele.objet, "querywriter",
                 erreur))
    {
        return ResultatFormat::Echec;
    }
    fichier.clear();
    Paquet paquet{fichier};
    if (!Verifie(lib3mf_writer_writetocallback(ecrivain.objet, reinterpret_cast<void*>(&EcritOctets),
                                               reinterpret_cast<void*>(&Positionne), &paquet),
                 ecrivain.objet, "writetocallback", erreur))
    {
        return paquet.memoire_epuisee ? ResultatFormat::MemoireInsuffisante : ResultatFormat::Echec;
    }
    // lib3mf's own archive stays when it cannot be rewritten: it is valid, if less widely read.
    SansZip64(fichier);
    return ResultatFormat::Ecrit;
}

} // namespace Zarvel3D::formats
