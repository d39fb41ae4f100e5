#include "zarvel_dxf_messages.h"

#include "diagnostic.h"
#include "zarvel3d/zarvel3d.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace Zarvel3D::dxf
{

namespace
{

const interne::Traduction<MessageDxf> traductions[] = {
    {MessageDxf::CheminVide, "Aucun plan indiqué.", "No plan given."},
    {MessageDxf::Absent, "Plan '%s' introuvable.", "Plan '%s' not found."},
    {MessageDxf::Repertoire, "'%s' est un répertoire, pas un plan.", "'%s' is a directory, not a plan."},
    {MessageDxf::Illisible, "Lecture du plan '%s' impossible : %s.", "Cannot read plan '%s': %s."},
    {MessageDxf::TubeSansEcrivain,
     "Aucun programme n'écrit dans le tube nommé '%s' (attendu %d s) : rien à lire.",
     "No program writes to the named pipe '%s' (waited %d s): nothing to read."},
    {MessageDxf::Vide, "Le plan '%s' est vide.", "Plan '%s' is empty."},
    {MessageDxf::TropGrand, "Le plan '%s' est trop grand.", "Plan '%s' is too large."},
    {MessageDxf::Binaire,
     "Le plan '%s' est un DXF binaire, non pris en charge : enregistrez-le en DXF ASCII.",
     "Plan '%s' is a binary DXF, which is not supported: save it as ASCII DXF."},
    {MessageDxf::PasDxf, "'%s' n'est pas un fichier DXF (ligne %lu).", "'%s' is not a DXF file (line %lu)."},
    {MessageDxf::Corrompu, "Plan DXF '%s' endommagé : code de groupe invalide ligne %lu.",
     "DXF plan '%s' is damaged: invalid group code at line %lu."},
    {MessageDxf::Tronque, "Plan DXF '%s' tronqué : la fin de fichier (EOF) manque après la ligne %lu.",
     "DXF plan '%s' is truncated: the end of file (EOF) is missing after line %lu."},
    {MessageDxf::SectionOuverte,
     "Plan DXF '%s' tronqué : une section n'est pas fermée (ENDSEC manque) avant la fin de fichier "
     "(EOF) ligne %lu.",
     "DXF plan '%s' is truncated: a section is not closed (ENDSEC is missing) before the end of file "
     "(EOF) at line %lu."},
    {MessageDxf::TropDElements,
     "Plan '%s' trop grand pour être converti : plus de %lu éléments (points des entités, courbes "
     "et copies de blocs une fois les blocs développés).",
     "Plan '%s' is too large to convert: more than %lu elements (points of its entities, curves and "
     "block copies once its blocks are expanded)."},
    {MessageDxf::ExceptionLecture, "Lecture DXF interrompue : %s.", "DXF reading interrupted: %s."},
    {MessageDxf::Invalides,
     "Le plan contient %lu entités aux coordonnées invalides (NaN, infinies ou au-delà de 1e9 mm).",
     "The plan holds %lu entities with invalid coordinates (NaN, infinite or beyond 1e9 mm)."},
    {MessageDxf::RienDessine, "Aucune géométrie dans l'espace objet du plan.",
     "No geometry in the plan's model space."},
    {MessageDxf::UneSeuleVue,
     "Une seule vue trouvée (%g x %g mm) : la conversion en trois vues en demande au moins deux alignées.",
     "Only one view found (%g x %g mm): three-view conversion needs at least two aligned views."},
    {MessageDxf::NonAlignees,
     "%lu groupes d'éléments trouvés, mais aucune paire de vues alignées (face et dessus de même largeur, "
     "face "
     "et côté de même hauteur).",
     "%lu groups of elements found, but no pair of aligned views (front and top of the same width, front and "
     "side of the same height)."},
    {MessageDxf::Incoherentes,
     "Vues incohérentes : la largeur de la vue de côté (%g mm) diffère de la hauteur de la vue de dessus (%g "
     "mm).",
     "Views do not agree: the side view's width (%g mm) differs from the top view's height (%g mm)."},
    {MessageDxf::TroisiemeDecalee,
     "Deux vues alignées, mais d'autres éléments ne s'alignent pas sur elles (groupes à l'écart : %lu) : "
     "alignez la troisième vue sur les deux autres, ou effacez ce qui n'en est pas une.",
     "Two aligned views, but other elements do not line up with them (groups aside: %lu): align the third "
     "view with the other two, or remove what is not a view."},
    {MessageDxf::TropDeGroupes, "Trop d'éléments séparés (%lu groupes) pour y chercher des vues.",
     "Too many separate elements (%lu groups) to look for views."},
    {MessageDxf::ModeInconnu, "Mode de conversion inconnu : %d.", "Unknown conversion mode: %d."},
    {MessageDxf::ParametreInvalide, "Paramètre de génération invalide : %g.",
     "Invalid generation parameter: %g."},
    {MessageDxf::NonCharge, "Plan non chargé : génération impossible.", "Plan not loaded: no generation."},
    {MessageDxf::MoteurRefuse, "Le moteur de conversion a refusé %lu éléments du plan.",
     "The conversion engine refused %lu elements of the plan."},
    {MessageDxf::EchecGeneration, "Échec de la génération (statut %d) : %s",
     "Generation failed (status %d): %s"},
    {MessageDxf::Interne, "Erreur interne : %s.", "Internal error: %s."},
    {MessageDxf::Fichier, "Plan '%s' : DXF %s, unités $INSUNITS %d (%g mm par unité).",
     "Plan '%s': DXF %s, units $INSUNITS %d (%g mm per unit)."},
    {MessageDxf::Lus, "Éléments lus : %s.", "Elements read: %s."},
    {MessageDxf::Traits, "Traits cachés : %lu ; traits d'axe : %lu.",
     "Hidden lines: %lu; centre lines: %lu."},
    {MessageDxf::Insertions, "Blocs insérés : %lu.", "Blocks inserted: %lu."},
    {MessageDxf::Ignores, "Ignorés (pas de la géométrie) : %s.", "Ignored (not geometry): %s."},
    {MessageDxf::NonPrisEnCharge, "Non pris en charge : %s.", "Not supported: %s."},
    {MessageDxf::EspacePapier, "Ignorées (espace papier) : %lu entités.",
     "Ignored (paper space): %lu entities."},
    {MessageDxf::CalquesEteints, "Ignorées (calques éteints ou gelés) : %lu entités.",
     "Ignored (layers off or frozen): %lu entities."},
    {MessageDxf::CalquesEteintsLus,
     "Seuls des calques éteints ou gelés portent de la géométrie : ils sont lus.",
     "Only layers that are off or frozen hold geometry: they are read."},
    {MessageDxf::HorsPlan, "Ignorées (hors du plan XY) : %lu entités.",
     "Ignored (outside the XY plane): %lu entities."},
    {MessageDxf::InvalidesRapport, "Coordonnées invalides : %lu entités.",
     "Invalid coordinates: %lu entities."},
    {MessageDxf::Degeneres, "Ignorés (longueur ou rayon nul) : %lu éléments.",
     "Ignored (zero length or radius): %lu elements."},
    {MessageDxf::BlocsAbsents, "Ignorées (bloc absent ou imbrication trop profonde) : %lu insertions.",
     "Ignored (missing block or nesting too deep): %lu inserts."},
    {MessageDxf::SplinesApprochees, "Splines tracées par leurs points de passage : %lu.",
     "Splines drawn through their fit points: %lu."},
    {MessageDxf::Corrompues, "Ignorées (entités endommagées) : %lu.", "Ignored (damaged entities): %lu."},
    {MessageDxf::Cadre, "Cadre et cartouche reconnus et écartés : %lu éléments.",
     "Frame and title block recognised and left out: %lu elements."},
    {MessageDxf::Groupes, "Groupes d'éléments : %lu, dont %lu ignorés.",
     "Groups of elements: %lu, %lu of them ignored."},
    {MessageDxf::DispositionProfil, "Disposition : profil unique.", "Layout: single profile."},
    {MessageDxf::DispositionPremier, "Disposition : premier dièdre (vue de dessus sous la vue de face).",
     "Layout: first angle (top view below the front view)."},
    {MessageDxf::DispositionTroisieme,
     "Disposition : troisième dièdre (vue de dessus au-dessus de la vue de face).",
     "Layout: third angle (top view above the front view)."},
    {MessageDxf::Vue, "Vue %s : %g x %g mm en (%g, %g), %lu éléments",
     "%s view: %g x %g mm at (%g, %g), %lu elements"},
    {MessageDxf::VueMiroir, " (vue de gauche, retournée)", " (left view, mirrored)"},
    {MessageDxf::VueDeduite, " (déduite de la vue %s)", " (deduced from the %s view)"},
    {MessageDxf::VueAbsente, "Vue %s : absente, la pièce est lue sans contour dans cette direction.",
     "%s view: not drawn, the part is read without an outline in that direction."},
    {MessageDxf::NomFace, "de face", "front"},
    {MessageDxf::NomCote, "de côté", "side"},
    {MessageDxf::NomDessus, "de dessus", "top"},
    {MessageDxf::Profil, "profil", "profile"},
    {MessageDxf::Extrusion, "Longueur d'extrusion : %g mm (%s).", "Extrusion length: %g mm (%s)."},
    {MessageDxf::Revolution, "Angle de révolution : %g degrés (%s).", "Revolution angle: %g degrees (%s)."},
    {MessageDxf::OrigineDonnee, "donnée", "given"},
    {MessageDxf::OrigineSecondeVue, "hauteur de la seconde vue", "height of the second view"},
    {MessageDxf::OrigineProfil, "plus petite dimension du profil", "smaller extent of the profile"},
    {MessageDxf::OrigineTour, "tour complet par défaut", "whole turn by default"},
    {MessageDxf::Genere, "Modèle généré : %lu surfaces, %llu triangles.",
     "Model generated: %lu surfaces, %llu triangles."},
};

} // namespace

std::string TexteDxf(MessageDxf message, ...)
{
    va_list arguments;
    va_start(arguments, message);
    std::string texte = interne::FormateV(interne::TexteLangue(traductions, message), arguments);
    va_end(arguments);
    return texte;
}

} // namespace Zarvel3D::dxf
