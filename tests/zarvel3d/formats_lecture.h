#pragma once
// Readers of the 3MF and binary glTF files for the export tests, through lib3mf and tinygltf
// themselves: the triangles (in millimetres), the vertex count, the units and the colour.

#include "maillage_outils.h"

#include <gtest/gtest.h>

#include <Model/COM/NMR_DLLInterfaces.h>
#include <cstdint>
#include <string>
#include <tiny_gltf.h>
#include <vector>

namespace lecture
{

/// What a 3MF file holds, read with lib3mf. `lu` is false (and `erreur` says why) when lib3mf
/// refuses the file or it holds no mesh object.
struct Fichier3MF
{
    bool lu = false;
    std::string erreur;
    unsigned int objets = 0;  ///< mesh objects in the file
    unsigned int unite = ~0u; ///< lib3mf's MODELUNIT_*
    std::string nom;          ///< the first object's name
    outils::Maillage maillage;
    std::vector<std::uint32_t> indices; ///< three vertex indices per triangle
    std::size_t sommets = 0;
    bool colore = false; ///< the object's default property is a base material
    std::uint8_t rouge = 0, vert = 0, bleu = 0, alpha = 0;
    std::string nom_couleur;
};

/// A lib3mf object, released with it.
struct Objet3MF
{
    Objet3MF() = default;
    Objet3MF(const Objet3MF&) = delete;
    Objet3MF& operator=(const Objet3MF&) = delete;
    ~Objet3MF()
    {
        if (p != nullptr)
        {
            NMR::lib3mf_release(p);
        }
    }
    NMR::PLib3MFBase* p = nullptr;
};

inline Fichier3MF Lit3MF(const std::string& chemin)
{
    using namespace NMR;
    Fichier3MF f;
    Objet3MF modele, lecteur, objets, objet;
    BOOL suivant = 0;
    if (lib3mf_createmodel(&modele.p) != LIB3MF_OK ||
        lib3mf_model_queryreader(modele.p, "3mf", &lecteur.p) != LIB3MF_OK)
    {
        f.erreur = "lib3mf: no reader";
        return f;
    }
    if (lib3mf_reader_readfromfileutf8(lecteur.p, chemin.c_str()) != LIB3MF_OK)
    {
        DWORD code = 0;
        LPCSTR message = nullptr;
        lib3mf_getlasterror(lecteur.p, &code, &message);
        f.erreur = message != nullptr ? message : "lib3mf: unreadable";
        return f;
    }
    DWORD unite = 0;
    lib3mf_model_getunit(modele.p, &unite);
    f.unite = unite;
    if (lib3mf_model_getmeshobjects(modele.p, &objets.p) != LIB3MF_OK)
    {
        f.erreur = "lib3mf: no mesh objects";
        return f;
    }
    while (lib3mf_resourceiterator_movenext(objets.p, &suivant) == LIB3MF_OK && suivant)
    {
        if (++f.objets > 1)
        {
            continue;
        }
        lib3mf_resourceiterator_getcurrent(objets.p, &objet.p);
    }
    if (objet.p == nullptr)
    {
        f.erreur = "lib3mf: no mesh object";
        return f;
    }
    char nom[256] = {};
    ULONG longueur = 0;
    lib3mf_object_getnameutf8(objet.p, nom, sizeof nom, &longueur);
    f.nom = nom;
    DWORD nv = 0, nt = 0;
    lib3mf_meshobject_getvertexcount(objet.p, &nv);
    lib3mf_meshobject_gettrianglecount(objet.p, &nt);
    std::vector<MODELMESHVERTEX> sommets(nv);
    std::vector<MODELMESHTRIANGLE> triangles(nt);
    if ((nv > 0 && lib3mf_meshobject_getvertices(objet.p, sommets.data(), nv, nullptr) != LIB3MF_OK) ||
        (nt > 0 && lib3mf_meshobject_gettriangleindices(objet.p, triangles.data(), nt, nullptr) != LIB3MF_OK))
    {
        f.erreur = "lib3mf: mesh unreadable";
        return f;
    }
    f.sommets = nv;
    for (const MODELMESHTRIANGLE& t : triangles)
    {
        outils::Triangle r;
        for (int c = 0; c < 3; ++c)
        {
            const MODELMESHVERTEX& s = sommets.at(t.m_nIndices[c]);
            r[c] = {s.m_fPosition[0], s.m_fPosition[1], s.m_fPosition[2]};
            f.indices.push_back(t.m_nIndices[c]);
        }
        f.maillage.push_back(r);
    }
    Objet3MF proprietes, groupe;
    eModelPropertyType type = MODELPROPERTYTYPE_NONE;
    DWORD identifiant = 0, index = 0;
    if (lib3mf_object_createdefaultpropertyhandler(objet.p, &proprietes.p) == LIB3MF_OK &&
        lib3mf_defaultpropertyhandler_getpropertytype(proprietes.p, &type) == LIB3MF_OK &&
        type == MODELPROPERTYTYPE_BASEMATERIALS &&
        lib3mf_defaultpropertyhandler_getbasematerial(proprietes.p, &identifiant, &index) == LIB3MF_OK &&
        lib3mf_model_getbasematerialbyid(modele.p, identifiant, &groupe.p) == LIB3MF_OK)
    {
        f.colore = lib3mf_basematerial_getdisplaycolor(groupe.p, index, &f.rouge, &f.vert, &f.bleu,
                                                       &f.alpha) == LIB3MF_OK;
        char couleur[64] = {};
        lib3mf_basematerial_getnameutf8(groupe.p, index, couleur, sizeof couleur, &longueur);
        f.nom_couleur = couleur;
    }
    f.lu = true;
    return f;
}

/// What a binary glTF file holds, read with tinygltf: the model itself, and the triangles of its
/// first primitive scaled back to millimetres.
struct FichierGLB
{
    bool lu = false;
    std::string erreur;
    tinygltf::Model modele;
    outils::Maillage maillage;                   ///< millimetres
    std::vector<std::array<float, 3>> positions; ///< metres, as stored
    std::vector<std::array<float, 3>> normales;
    std::vector<std::uint32_t> indices;
};

/// The elements of accessor `a` (floats VEC3 or 32-bit indices), checked against its view.
template <typename T, std::size_t N> std::vector<std::array<T, N>> Elements(const tinygltf::Model& m, int a)
{
    std::vector<std::array<T, N>> r;
    if (a < 0 || static_cast<std::size_t>(a) >= m.accessors.size())
    {
        ADD_FAILURE() << "accessor " << a << " missing";
        return r;
    }
    const tinygltf::Accessor& accesseur = m.accessors[static_cast<std::size_t>(a)];
    const tinygltf::BufferView& vue = m.bufferViews.at(static_cast<std::size_t>(accesseur.bufferView));
    const std::vector<unsigned char>& donnees = m.buffers.at(static_cast<std::size_t>(vue.buffer)).data;
    const std::size_t pas = vue.byteStride != 0 ? vue.byteStride : sizeof(T) * N;
    const std::size_t debut = vue.byteOffset + accesseur.byteOffset;
    EXPECT_LE(debut + pas * (accesseur.count - 1) + sizeof(T) * N, vue.byteOffset + vue.byteLength);
    EXPECT_LE(vue.byteOffset + vue.byteLength, donnees.size());
    r.resize(accesseur.count);
    for (std::size_t i = 0; i < accesseur.count; ++i)
    {
        std::memcpy(r[i].data(), donnees.data() + debut + pas * i, sizeof(T) * N);
    }
    return r;
}

inline FichierGLB LitGLB(const std::string& chemin)
{
    FichierGLB f;
    tinygltf::TinyGLTF lecteur;
    std::string avertissement;
    if (!lecteur.LoadBinaryFromFile(&f.modele, &f.erreur, &avertissement, chemin))
    {
        return f;
    }
    if (f.modele.meshes.size() != 1 || f.modele.meshes[0].primitives.size() != 1)
    {
        f.erreur = "one mesh of one primitive expected";
        return f;
    }
    const tinygltf::Primitive& p = f.modele.meshes[0].primitives[0];
    const auto position = p.attributes.find("POSITION");
    const auto normale = p.attributes.find("NORMAL");
    if (p.mode != TINYGLTF_MODE_TRIANGLES || position == p.attributes.end() ||
        normale == p.attributes.end() ||
        f.modele.accessors.at(static_cast<std::size_t>(p.indices)).componentType !=
            TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
    {
        f.erreur = "indexed triangles with positions and normals expected";
        return f;
    }
    f.positions = Elements<float, 3>(f.modele, position->second);
    f.normales = Elements<float, 3>(f.modele, normale->second);
    for (const auto& i : Elements<std::uint32_t, 1>(f.modele, p.indices))
    {
        f.indices.push_back(i[0]);
    }
    for (std::size_t t = 0; t + 2 < f.indices.size(); t += 3)
    {
        outils::Triangle r;
        for (int c = 0; c < 3; ++c)
        {
            const auto& s = f.positions.at(f.indices[t + static_cast<std::size_t>(c)]);
            r[c] = {1000.0 * s[0], 1000.0 * s[1], 1000.0 * s[2]};
        }
        f.maillage.push_back(r);
    }
    f.lu = true;
    return f;
}

} // namespace lecture
