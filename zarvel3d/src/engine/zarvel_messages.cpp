#include "zarvel_messages.h"

#include "diagnostic.h"
#include "zarvel3d/zarvel3d.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace Zarvel3D::moteur
{

namespace
{

const interne::Traduction<MessageMoteur> traductions[] = {
    {MessageMoteur::EcartLigne, "Vue %d : trait du plan sans arête du solide en (%g, %g), longueur %g.",
     "View %d: drawn line without an edge of the solid at (%g, %g), length %g."},
    {MessageMoteur::EcartArete, "Vue %d : arête visible du solide absente du plan en (%g, %g), longueur %g.",
     "View %d: visible edge of the solid missing from the plan at (%g, %g), length %g."},
    {MessageMoteur::RienDessine, "Rien n'est dessiné.", "Nothing is drawn."},
    {MessageMoteur::VueSansElement, "La vue %d ne contient aucun élément utilisable.",
     "View %d holds no usable element."},
    {MessageMoteur::ElementsIgnores, "%d élément(s) dégénéré(s) ignoré(s) dans la vue %d.",
     "%d degenerate element(s) ignored in view %d."},
    {MessageMoteur::ContourOuvert, "La vue %d ne contient aucun contour fermé.",
     "View %d holds no closed outline."},
    {MessageMoteur::DecoupeImpossible, "Les contours de la vue %d n'ont pas pu être découpés.",
     "The outlines of view %d could not be split."},
    {MessageMoteur::VueManquante, "La vue %d manque.", "View %d is missing."},
    {MessageMoteur::VueProfilAbsente, "Il faut dessiner la vue %d ou une seule vue.",
     "View %d or a single view must be drawn."},
    {MessageMoteur::LongueurInvalide, "Longueur d'extrusion nulle ou invalide (%g).",
     "Zero or invalid extrusion length (%g)."},
    {MessageMoteur::AngleInvalide, "Angle de révolution nul ou invalide (%g).",
     "Zero or invalid revolution angle (%g)."},
    {MessageMoteur::AxeAbsent, "Aucun axe dessiné : le bord gauche du profil sert d'axe.",
     "No axis drawn: the left edge of the profile is the axis."},
    {MessageMoteur::ProfilTraverseAxe, "Le profil s'étend des deux côtés de l'axe de révolution.",
     "The profile lies on both sides of the revolution axis."},
    {MessageMoteur::VuesIncoherentes, "Les vues ne s'accordent pas sur la %s (%g et %g).",
     "The views disagree on the %s (%g and %g)."},
    {MessageMoteur::SilhouettesDisjointes, "Les silhouettes des vues n'ont aucune partie commune.",
     "The silhouettes of the views have no common part."},
    {MessageMoteur::InterieursIgnores,
     "%d contour(s) intérieur(s) sans profondeur montrée par les autres vues laissé(s) plein(s).",
     "%d inner outline(s) without a depth shown by the other views left solid."},
    {MessageMoteur::TropDeContours, "Trop de contours intérieurs à examiner (%d, au plus %d).",
     "Too many inner outlines to examine (%d, at most %d)."},
    {MessageMoteur::TropDeContoursProfil, "Le profil compte trop de contours fermés (%d, au plus %d).",
     "The profile has too many closed outlines (%d, at most %d)."},
    {MessageMoteur::TropDeCroisements,
     "Les éléments de la vue %d se croisent plus de %d fois : plan trop chargé pour en tirer un solide.",
     "The elements of view %d cross more than %d times: the plan is too busy to make a solid of it."},
    {MessageMoteur::SolideTropComplexe,
     "Le solide construit n'est pas valide et compte trop de faces (%d) pour être corrigé.",
     "The solid built is not valid and has too many faces (%d) to be healed."},
    {MessageMoteur::ProfilPince,
     "Des contours du profil se touchent en %d point(s), ce qui demande une correction du solide, impossible "
     "sur un profil de %d arêtes.",
     "Outlines of the profile touch each other at %d point(s), which needs the solid to be healed, out of "
     "reach "
     "for a profile of %d edges."},
    {MessageMoteur::BalayageImpossible, "Un contour n'a pas pu être balayé.",
     "An outline could not be swept."},
    {MessageMoteur::EchecNoyau, "Échec du noyau de modélisation : %s", "Modelling kernel failure: %s"},
    {MessageMoteur::AucunSolide, "Aucun solide n'a été construit.", "No solid was built."},
    {MessageMoteur::SolideInvalide, "Le solide construit n'est pas valide.", "The solid built is not valid."},
    {MessageMoteur::SolideOuvert, "Le solide construit n'est pas fermé.", "The solid built is not closed."},
    {MessageMoteur::SolideSansVolume, "Le solide construit n'a pas de volume.",
     "The solid built has no volume."},
    {MessageMoteur::EchecMaillage, "Le solide n'a pas pu être maillé.", "The solid could not be meshed."},
    {MessageMoteur::ModeInconnu, "Mode de génération inconnu (%d).", "Unknown generation mode (%d)."},
    {MessageMoteur::Largeur, "largeur", "width"},
    {MessageMoteur::Hauteur, "hauteur", "height"},
    {MessageMoteur::Profondeur, "profondeur", "depth"},
};

} // namespace

std::string Texte(MessageMoteur message, ...)
{
    va_list arguments;
    va_start(arguments, message);
    std::string texte = interne::FormateV(interne::TexteLangue(traductions, message), arguments);
    va_end(arguments);
    return texte;
}

} // namespace Zarvel3D::moteur
