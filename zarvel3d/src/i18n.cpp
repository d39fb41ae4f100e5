// Language selection and the diagnostic texts.
#include "diagnostic.h"
#include "zarvel3d/zarvel3d.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace Zarvel3D
{

namespace
{

std::atomic<int> langue_courante{i18n::LANG_FR};

thread_local std::string dernier_diagnostic;

// Arguments: %s texts (paths, reasons), %llu counts. The order of the arguments is the same in
// both languages.
const interne::Traduction<interne::Message> traductions[] = {
    {interne::Message::Aucun, "", ""},
    {interne::Message::CheminVide, "Aucun fichier indiqué.", "No file given."},
    {interne::Message::FichierAbsent, "Fichier '%s' introuvable.", "File '%s' not found."},
    {interne::Message::FichierRepertoire, "'%s' est un répertoire, pas un fichier.",
     "'%s' is a directory, not a file."},
    {interne::Message::FichierIllisible, "Lecture du fichier '%s' impossible : %s.",
     "Cannot read file '%s': %s."},
    {interne::Message::FichierVide, "Le fichier '%s' est vide.", "File '%s' is empty."},
    {interne::Message::FichierTropGrand, "Le fichier '%s' est trop grand.", "File '%s' is too large."},
    {interne::Message::FichierTubeSansEcrivain,
     "Aucun programme n'écrit dans le tube nommé '%s' (attendu %d s) : rien à lire.",
     "No program writes to the named pipe '%s' (waited %d s): nothing to read."},
    {interne::Message::StlFormatInconnu,
     "'%s' n'est pas un fichier STL : ni un texte commençant par « solid », ni un binaire dont la "
     "taille correspond au nombre de triangles.",
     "'%s' is not an STL file: neither a text beginning with 'solid' nor a binary file whose size "
     "matches its triangle count."},
    {interne::Message::StlTailleIncoherente,
     "STL binaire '%s' : l'en-tête annonce %llu triangles (%llu octets attendus) mais le fichier "
     "fait %llu octets.",
     "Binary STL '%s': the header announces %llu triangles (%llu bytes expected) but the file has "
     "%llu bytes."},
    {interne::Message::StlBinaireTronque,
     "STL binaire '%s' tronqué au triangle %llu : l'en-tête annonce %llu triangles, le fichier "
     "(%llu octets) n'en contient que %llu.",
     "Binary STL '%s' truncated at triangle %llu: the header announces %llu triangles, the file "
     "(%llu bytes) holds only %llu."},
    {interne::Message::StlAsciiTronque, "STL ASCII '%s' tronqué au triangle %llu (ligne %llu).",
     "ASCII STL '%s' truncated at triangle %llu (line %llu)."},
    {interne::Message::StlAsciiSyntaxe,
     "STL ASCII '%s' : syntaxe invalide au triangle %llu (ligne %llu) : « %s » attendu.",
     "ASCII STL '%s': invalid syntax at triangle %llu (line %llu): '%s' expected."},
    {interne::Message::StlCoordonneeInvalide,
     "STL '%s' : coordonnée non finie (NaN ou infinie) au triangle %llu.",
     "STL '%s': non-finite coordinate (NaN or infinite) at triangle %llu."},
    {interne::Message::StlCoordonneeHorsFlottant,
     "STL '%s' : coordonnée hors de la simple précision du format (au-delà de 3,4e38) au triangle %llu.",
     "STL '%s': coordinate beyond the format's single precision (over 3.4e38) at triangle %llu."},
    {interne::Message::StlAucunTriangle, "STL '%s' : aucun triangle.", "STL '%s': no triangle."},
    {interne::Message::StlTropDeTriangles, "STL '%s' : trop de triangles (%llu).",
     "STL '%s': too many triangles (%llu)."},
    {interne::Message::ImportAnnule, "Import de '%s' annulé.", "Import of '%s' cancelled."},
    {interne::Message::CouleurInconnue, "Couleur RAL %llu inconnue.", "Unknown RAL colour %llu."},
    {interne::Message::ExportSceneVide, "Export vers '%s' : la scène ne contient aucun triangle.",
     "Export to '%s': the scene holds no triangle."},
    {interne::Message::ExportExtensionInconnue,
     "Export vers '%s' : extension inconnue (stl, obj, ply, step, stp, 3mf ou glb attendue).",
     "Export to '%s': unknown extension (stl, obj, ply, step, stp, 3mf or glb expected)."},
    {interne::Message::ExportSansSolide,
     "Export STEP vers '%s' : la scène ne contient ni solide ni triangle utilisable.",
     "STEP export to '%s': the scene holds neither a solid nor a usable triangle."},
    {interne::Message::ExportCreation, "Export : création du fichier temporaire '%s' impossible : %s.",
     "Export: cannot create temporary file '%s': %s."},
    {interne::Message::ExportEcriture, "Export vers '%s' : écriture impossible : %s.",
     "Export to '%s': write failed: %s."},
    {interne::Message::ExportRenommage, "Export : renommage vers '%s' impossible : %s.",
     "Export: cannot rename to '%s': %s."},
    {interne::Message::ExportStep, "Export STEP vers '%s' : échec du traducteur STEP.",
     "STEP export to '%s': the STEP translator failed."},
    {interne::Message::ExportCible, "Export : '%s' n'est pas un fichier ordinaire.",
     "Export: '%s' is not a regular file."},
    {interne::Message::ExportTubeSansLecteur,
     "Export vers '%s' : aucun programme ne lit ce tube nommé (attendu %d s).",
     "Export to '%s': no program reads this named pipe (waited %d s)."},
    {interne::Message::ExportFormat, "Export %s vers '%s' : échec de l'écriture : %s.",
     "%s export to '%s': the writer failed: %s."},
    {interne::Message::ExportTropGrand, "Export %s vers '%s' : la scène est trop grande pour ce format.",
     "%s export to '%s': the scene is too large for this format."},
    {interne::Message::MemoireInsuffisante, "Mémoire insuffisante.", "Out of memory."},
    {interne::Message::ErreurInterne, "Erreur interne : %s.", "Internal error: %s."},
    {interne::Message::ErreurNoyau, "Erreur du noyau géométrique : %s.", "Geometric kernel error: %s."},
    {interne::Message::ModuleSolidesAbsent,
     "Module de modélisation des solides '%s' absent ou inutilisable : %s.",
     "Solid modelling module '%s' missing or unusable: %s."},
    {interne::Message::ModuleFormatsAbsent, "Module d'export 3MF et glTF '%s' absent ou inutilisable : %s.",
     "3MF and glTF export module '%s' missing or unusable: %s."},
    {interne::Message::ModuleStepAbsent, "Module d'export STEP '%s' absent ou inutilisable : %s.",
     "STEP export module '%s' missing or unusable: %s."},
};

} // namespace

void i18n::defLangue(lang_z3d_t langue)
{
    langue_courante.store(langue == LANG_EN ? LANG_EN : LANG_FR, std::memory_order_relaxed);
}

i18n::lang_z3d_t i18n::Langue()
{
    return static_cast<lang_z3d_t>(langue_courante.load(std::memory_order_relaxed));
}

const char* Diagnostic()
{
    return dernier_diagnostic.c_str();
}

namespace interne
{

std::string Texte(Message message, ...)
{
    va_list arguments;
    va_start(arguments, message);
    std::string texte = FormateV(TexteLangue(traductions, message), arguments);
    va_end(arguments);
    return texte;
}

std::string FormateV(const char* format, va_list arguments)
{
    va_list copie;
    va_copy(copie, arguments);
    const int longueur = std::vsnprintf(nullptr, 0, format, copie);
    va_end(copie);
    std::string texte;
    if (longueur > 0)
    {
        std::vector<char> tampon(static_cast<std::size_t>(longueur) + 1);
        std::vsnprintf(tampon.data(), tampon.size(), format, arguments);
        texte.assign(tampon.data(), static_cast<std::size_t>(longueur));
    }
    return texte;
}

void DefDiagnostic(const std::string& texte)
{
    dernier_diagnostic = texte;
}

} // namespace interne

} // namespace Zarvel3D
