// Binary glTF 2.0 writer of the export-formats module, through tinygltf. tiny_gltf.h is included
// without TINYGLTF_IMPLEMENTATION: the distribution builds the implementation, with its JSON and
// image code, into libtinygltf.so, so neither a JSON nor an image header is needed here.
#include "module_formats/ecritures.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <ostream>
#include <streambuf>
#include <tiny_gltf.h>

namespace Zarvel3D::formats
{

namespace
{

/// A stream buffer that appends to a string, so that tinygltf writes the file's bytes once.
class TamponChaine : public std::streambuf
{
public:
    explicit TamponChaine(std::string& chaine) : sortie(chaine) {}
    bool MemoireEpuisee() const { return memoire_epuisee; }

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
        {
            return traits_type::not_eof(c);
        }
        const char octet = traits_type::to_char_type(c);
        return xsputn(&octet, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* donnees, std::streamsize nombre) override
    {
        try
        {
            sortie.append(donnees, static_cast<std::size_t>(nombre));
        }
        catch (const std::bad_alloc&)
        {
            // The stream would only set its bad bit: keep the reason.
            memoire_epuisee = true;
            return 0;
        }
        return nombre;
    }

private:
    std::string& sortie;
    bool memoire_epuisee = false;
};

/// An sRGB byte as a linear component: glTF's base colour factor is linear.
double Lineaire(std::uint8_t octet)
{
    const double c = octet / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

/// Appends `octets` bytes to the buffer and returns the view that holds them.
int AjouteVue(tinygltf::Model& modele, const void* donnees, std::size_t octets, int cible)
{
    std::vector<unsigned char>& tampon = modele.buffers[0].data;
    tinygltf::BufferView vue;
    vue.buffer = 0;
    vue.byteOffset = tampon.size();
    vue.byteLength = octets;
    vue.target = cible;
    const auto* debut = static_cast<const unsigned char*>(donnees);
    tampon.insert(tampon.end(), debut, debut + octets);
    modele.bufferViews.push_back(vue);
    return static_cast<int>(modele.bufferViews.size() - 1);
}

int AjouteAccesseur(tinygltf::Model& modele, int vue, int composantes, int type, std::size_t nombre)
{
    tinygltf::Accessor a;
    a.bufferView = vue;
    a.byteOffset = 0;
    a.componentType = composantes;
    a.type = type;
    a.count = nombre;
    modele.accessors.push_back(a);
    return static_cast<int>(modele.accessors.size() - 1);
}

} // namespace

ResultatFormat EcritGLB(const MaillageFormat& m, std::string& fichier, std::string& erreur)
{
    const std::size_t sommets = m.positions.size() / 3;
    if (m.normales.size() != m.positions.size())
    {
        erreur = "glTF: one normal per vertex expected";
        return ResultatFormat::Echec;
    }
    tinygltf::Model modele;
    modele.asset.version = "2.0";
    modele.asset.generator = "Zarvel3D";
    modele.buffers.resize(1);
    // Every block is a multiple of 4 bytes, so each view starts aligned for its floats and
    // 32-bit indices.
    modele.buffers[0].data.reserve(4 * (m.positions.size() + m.normales.size() + m.triangles.size()));

    const int vue_positions =
        AjouteVue(modele, m.positions.data(), 4 * m.positions.size(), TINYGLTF_TARGET_ARRAY_BUFFER);
    const int vue_normales =
        AjouteVue(modele, m.normales.data(), 4 * m.normales.size(), TINYGLTF_TARGET_ARRAY_BUFFER);
    const int vue_indices =
        AjouteVue(modele, m.triangles.data(), 4 * m.triangles.size(), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);

    tinygltf::Primitive primitive;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    primitive.attributes["POSITION"] =
        AjouteAccesseur(modele, vue_positions, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, sommets);
    primitive.attributes["NORMAL"] =
        AjouteAccesseur(modele, vue_normales, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, sommets);
    primitive.indices = AjouteAccesseur(modele, vue_indices, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
                                        TINYGLTF_TYPE_SCALAR, m.triangles.size());
    primitive.material = 0;

    // The position accessor must carry its bounds.
    tinygltf::Accessor& positions =
        modele.accessors[static_cast<std::size_t>(primitive.attributes["POSITION"])];
    positions.minValues.assign(3, std::numeric_limits<double>::infinity());
    positions.maxValues.assign(3, -std::numeric_limits<double>::infinity());
    for (std::size_t i = 0; i < m.positions.size(); ++i)
    {
        const double x = m.positions[i];
        positions.minValues[i % 3] = std::min(positions.minValues[i % 3], x);
        positions.maxValues[i % 3] = std::max(positions.maxValues[i % 3], x);
    }

    tinygltf::Material matiere;
    matiere.name = m.colore ? m.nom_couleur : "Zarvel3D";
    if (m.colore)
    {
        matiere.pbrMetallicRoughness.baseColorFactor = {Lineaire(m.rouge), Lineaire(m.vert), Lineaire(m.bleu),
                                                        1.0};
    }
    // A painted or plastic part rather than glTF's default, a rough metal that renders dark.
    matiere.pbrMetallicRoughness.metallicFactor = 0.0;
    matiere.pbrMetallicRoughness.roughnessFactor = 0.5;
    modele.materials.push_back(matiere);

    tinygltf::Mesh maillage;
    maillage.name = m.nom;
    maillage.primitives.push_back(primitive);
    modele.meshes.push_back(maillage);
    tinygltf::Node noeud;
    noeud.name = m.nom;
    noeud.mesh = 0;
    modele.nodes.push_back(noeud);
    tinygltf::Scene scene;
    scene.nodes.push_back(0);
    modele.scenes.push_back(scene);
    modele.defaultScene = 0;

    fichier.clear();
    fichier.reserve(modele.buffers[0].data.size() + 4096);
    TamponChaine tampon(fichier);
    std::ostream flot(&tampon);
    tinygltf::TinyGLTF ecrivain;
    const bool ecrit = ecrivain.WriteGltfSceneToStream(&modele, flot, false, true);
    if (tampon.MemoireEpuisee())
    {
        return ResultatFormat::MemoireInsuffisante;
    }
    if (!ecrit || !flot)
    {
        erreur = "glTF: the writer failed";
        return ResultatFormat::Echec;
    }
    return ResultatFormat::Ecrit;
}

} // namespace Zarvel3D::formats
