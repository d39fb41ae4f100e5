#pragma once
// The export-formats module libZarvel3D_formats.so.1: the 3MF writer (lib3mf) and the binary
// glTF writer (tinygltf), and what the library hands them.
//
// lib3mf brings libzip and libcrypto with it; linked into libZarvel3D.so.1 it made every program
// start 4 to 9 ms later (symbol relocation), even one that only prints its usage. The library
// loads the module with dlopen on the first 3MF or glTF export (module.h). The module
// only turns a prepared mesh into the bytes of a file: the geometry (welding, vertex sharing,
// units, colour) is chosen in the library (export_formats.cpp), and the file is written there
// too, atomically like the other formats. It uses neither the library's symbols nor its
// message tables: it reports the writers' own texts, which the library wraps.

#include "zarvel3d/zarvel3d.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Zarvel3D::formats
{

/// File name (and soname) of the module, looked for beside libZarvel3D.so.1 first.
constexpr const char* nom_module = "libZarvel3D_formats.so.1";
/// Environment variable that, when set, gives the only path tried (for the tests).
constexpr const char* variable_module = "ZARVEL3D_MODULE_FORMATS";
/// Name of the module's entry point, a `const TableFormats* (*)()`.
constexpr const char* entree_module = "ZarvelTableFormats";
/// Raised whenever the table's layout or meaning changes.
constexpr int version_table = 1;

/// A triangle mesh prepared for one file format.
struct MaillageFormat
{
    /// x, y, z of each vertex, in the file format's unit.
    std::vector<float> positions;
    /// x, y, z of each vertex's unit normal; empty for a format without normals.
    std::vector<float> normales;
    /// Three vertex indices per triangle, counter-clockwise seen from outside.
    std::vector<std::uint32_t> triangles;
    /// Name of the object (the file name without folder and extension).
    std::string nom;
    /// True: the whole object has the colour below; false: no colour is written.
    bool colore = false;
    std::uint8_t rouge = 0; ///< sRGB bytes of the colour
    std::uint8_t vert = 0;
    std::uint8_t bleu = 0;
    /// Name of the colour ("RAL 9010"), for the formats that name their materials.
    std::string nom_couleur;
};

/// Result of a writer of the module.
enum class ResultatFormat : int
{
    Ecrit,              ///< the file's bytes are complete
    Echec,              ///< the writer refused; the reason is in `erreur`
    MemoireInsuffisante ///< memory ran out
};

/// What the module offers. No function throws.
struct TableFormats
{
    /// sizeof(TableFormats) and version_table, as the module was built.
    std::size_t taille;
    int version;

    /// Writes `maillage` (positions in millimetres) as a 3MF package into `fichier`: one mesh
    /// object, in millimetres, with one base material of the colour when it is set.
    ResultatFormat (*ecrit_3mf)(const MaillageFormat& maillage, std::string& fichier, std::string& erreur);

    /// Writes `maillage` (positions in metres, normals required) as binary glTF 2.0 into
    /// `fichier`: one mesh of one indexed triangle primitive and one material.
    ResultatFormat (*ecrit_glb)(const MaillageFormat& maillage, std::string& fichier, std::string& erreur);
};

/// The module's table, loaded on the first call (thread-safe; later calls return at once). Null
/// when the module cannot be loaded or does not match this library; `diagnostic` then receives
/// the reason, naming the module. Defined in the library only.
const TableFormats* Module(std::string& diagnostic);

} // namespace Zarvel3D::formats

extern "C"
{
    /// Entry point of the module (defined by libZarvel3D_formats.so.1 only).
    ZARVEL3D_EXPORT const Zarvel3D::formats::TableFormats* ZarvelTableFormats();
}
