#pragma once
// Diagnostic texts of the library (French and English) and the guard that keeps exceptions
// inside the library. Free of the modelling kernel's headers: the solid module catches the
// kernel's own exceptions itself (see solides.h).

#include "zarvel3d/zarvel3d.h"

#include <cstdarg>
#include <exception>
#include <new>
#include <string>

namespace Zarvel3D
{
namespace interne
{

/// Diagnostic messages. Each has a French and an English printf-style text.
enum class Message
{
    Aucun,
    CheminVide,
    FichierAbsent,
    FichierRepertoire,
    FichierIllisible,
    FichierVide,
    FichierTropGrand,
    FichierTubeSansEcrivain,
    StlFormatInconnu,
    StlTailleIncoherente,
    StlBinaireTronque,
    StlAsciiTronque,
    StlAsciiSyntaxe,
    StlCoordonneeInvalide,
    StlCoordonneeHorsFlottant,
    StlAucunTriangle,
    StlTropDeTriangles,
    ImportAnnule,
    CouleurInconnue,
    ExportSceneVide,
    ExportExtensionInconnue,
    ExportSansSolide,
    ExportCreation,
    ExportEcriture,
    ExportRenommage,
    ExportStep,
    ExportCible,
    ExportTubeSansLecteur,
    ExportFormat,
    ExportTropGrand,
    MemoireInsuffisante,
    ErreurInterne,
    ErreurNoyau,
    ModuleSolidesAbsent,
    ModuleFormatsAbsent,
    ModuleStepAbsent,
};

/// Formats the message in the language in force, with printf-style arguments. Exported for the
/// solid module.
ZARVEL3D_EXPORT std::string Texte(Message message, ...);

/// One entry of a message table: a message and its French and English printf-style texts.
template <typename M> struct Traduction
{
    M message;
    const char* francais;
    const char* anglais;
};

/// The text of `message` in the language in force; "" when the table lacks it.
template <typename M, std::size_t N> const char* TexteLangue(const Traduction<M> (&table)[N], M message)
{
    for (const Traduction<M>& t : table)
    {
        if (t.message == message)
        {
            return i18n::Langue() == i18n::LANG_EN ? t.anglais : t.francais;
        }
    }
    return "";
}

/// Formats a printf-style text; the message tables of every part of the library use it.
std::string FormateV(const char* format, va_list arguments);

/// Records `texte` as the calling thread's last diagnostic (Zarvel3D::Diagnostic).
void DefDiagnostic(const std::string& texte);

/// Runs `corps` and turns any exception into `echec`, with a diagnostic written through
/// `diagnostic` (a callable taking the text). Every public entry point runs through it.
template <typename Resultat, typename Corps, typename Rapport>
Resultat Garde(Resultat echec, Corps&& corps, Rapport&& diagnostic)
{
    try
    {
        return corps();
    }
    catch (const std::bad_alloc&)
    {
        diagnostic(Texte(Message::MemoireInsuffisante));
    }
    catch (const std::exception& erreur)
    {
        diagnostic(Texte(Message::ErreurInterne, erreur.what()));
    }
    catch (...)
    {
        diagnostic(Texte(Message::ErreurInterne, "?"));
    }
    return echec;
}

} // namespace interne
} // namespace Zarvel3D
