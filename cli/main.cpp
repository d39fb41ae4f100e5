// Zarvel_cli: converts a DXF plan, imports an STL mesh or builds a built-in
// test drawing, then exports the scene or shows it in the viewer.
#include "zarvel3d/zarvel3d.h"
#include "zarvel_args.h"
#include "zarvel_glut.h"
#include "zarvel_progression.h"
#include "zarvel_string.h"

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <locale>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using Zarvel3D::AttributsLigne;
using Zarvel3D::Point2D;

namespace
{
// Exit statuses of the program.
enum StatutSortie : int
{
    SORTIE_SUCCES = 0,
    SORTIE_ECHEC = 1,
    SORTIE_USAGE = 2
};

const unsigned int largeur_fenetre = 1024;
const unsigned int hauteur_fenetre = 768;
const unsigned int couleur_ral_defaut = 9010;

// Every line and ellipse of the test drawings: opaque black, visible.
AttributsLigne AttributsTrait()
{
    AttributsLigne a;
    a.rouge = 0;
    a.vert = 0;
    a.bleu = 0;
    a.alpha = 255;
    a.visible = 1;
    a.construction = 0;
    return a;
}

void Ligne(Zarvel3D::Zarvel& z, int vue, double x1, double y1, double x2, double y2)
{
    z.AjoutLigne(vue, Point2D(x1, y1), Point2D(x2, y2), AttributsTrait(), 0, 0);
}

void Rectangle(Zarvel3D::Zarvel& z, int vue, double largeur, double hauteur)
{
    Ligne(z, vue, 0, 0, largeur, 0);
    Ligne(z, vue, largeur, 0, largeur, hauteur);
    Ligne(z, vue, largeur, hauteur, 0, hauteur);
    Ligne(z, vue, 0, hauteur, 0, 0);
}

// What the viewer is started with, from the options.
struct OptionsVisualiseur
{
    bool plein_ecran = false;
    unsigned int mode = 0;
};

// Hands the engine or the scene to the viewer, which owns it from then on and ends the process
// itself; the status is returned only if its loop ever comes back.
int DemarreVisualiseur(Zarvel3D::Zarvel* zarvel, Zarvel3D::PScene3D* scene, OptionsVisualiseur const& options,
                       unsigned int couleur)
{
    if (zarvel)
        Zarvel_glut visualiseur(zarvel, largeur_fenetre, hauteur_fenetre, options.plein_ecran, options.mode,
                                couleur);
    else
        Zarvel_glut visualiseur(scene, largeur_fenetre, hauteur_fenetre, options.plein_ecran, options.mode,
                                couleur);
    return SORTIE_SUCCES;
}

void LigneErreurExport(const char* chemin)
{
    std::cout << "Erreur lors de l'export du fichier '" << chemin << "'" << std::endl;
}

// With -v: the library's own lines, as it wrote them, each on its line.
void AfficheRapport(bool bavard, const char* texte)
{
    if (!bavard || !texte || !*texte) return;
    std::string t(texte);
    if (t.back() != '\n') t.push_back('\n');
    std::cout << t << std::flush;
}

void AfficheResume(bool bavard, const Zarvel3D::PScene3D& scene)
{
    if (!bavard) return;
    const Zarvel3D::PModele3D& m = scene.Modele();
    std::cout << "Zarvel_cli :: " << m.surfaces.size() << " surfaces, " << scene.NombreTriangles()
              << " triangles, " << m.segments.size() << " arêtes, " << m.sommets.size() << " sommets."
              << std::endl;
}

// The value of -l: a finite positive number written with a decimal point,
// nothing after it.
bool LectureParametre(const char* texte, double& valeur)
{
    std::istringstream flux(texte);
    flux.imbue(std::locale::classic());
    flux >> valeur;
    if (flux.fail() || !std::isfinite(valeur) || valeur <= 0.0) return false;
    flux >> std::ws;
    return flux.eof();
}
} // namespace

/// Cube of side 15 given by its three views.
int GenCube(Zarvel3D::Zarvel& z)
{
    Rectangle(z, Zarvel3D::ZARVEL_VUE_FACE, 15, 15);
    Rectangle(z, Zarvel3D::ZARVEL_VUE_COTE, 15, 15);
    Rectangle(z, Zarvel3D::ZARVEL_VUE_DESSUS, 15, 15);
    return z.Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0);
}

/// Block 15 x 10 x 6 pierced front to back by an elliptic hole 8 x 6.
int GenMod(Zarvel3D::Zarvel& z)
{
    Rectangle(z, Zarvel3D::ZARVEL_VUE_FACE, 15, 10);
    z.AjoutEllipse(Zarvel3D::ZARVEL_VUE_FACE, Point2D(7.5, 5), 8, 6, 0, 360, 0, AttributsTrait(), 0);
    Rectangle(z, Zarvel3D::ZARVEL_VUE_COTE, 6, 10);
    Ligne(z, Zarvel3D::ZARVEL_VUE_COTE, 0, 8, 6, 8);
    Ligne(z, Zarvel3D::ZARVEL_VUE_COTE, 0, 2, 6, 2);
    Rectangle(z, Zarvel3D::ZARVEL_VUE_DESSUS, 15, 6);
    Ligne(z, Zarvel3D::ZARVEL_VUE_DESSUS, 11.5, 0, 11.5, 6);
    Ligne(z, Zarvel3D::ZARVEL_VUE_DESSUS, 3.5, 0, 3.5, 6);
    return z.Generation(Zarvel3D::ZARVEL_TROIS_VUES, 0);
}

/// Square of side 10 in the top view, extruded by 5.
int GenExtrusion(Zarvel3D::Zarvel& z)
{
    Rectangle(z, Zarvel3D::ZARVEL_VUE_DESSUS, 10, 10);
    const int statut = z.Generation(Zarvel3D::ZARVEL_EXTRUSION, 5);
    std::cout << "GenExtrusion :: Modèle à " << static_cast<unsigned long>(z.Scene().Modele().surfaces.size())
              << " surfaces généré." << std::endl;
    return statut;
}

/// Square of side 10 in the side view, turned through 270 degrees about the
/// vertical axis through (-3, 0).
int GenRevolution(Zarvel3D::Zarvel& z)
{
    Rectangle(z, Zarvel3D::ZARVEL_VUE_COTE, 10, 10);
    z.AjoutPoint(Zarvel3D::ZARVEL_VUE_COTE, Point2D(-3, 0));
    return z.Generation(Zarvel3D::ZARVEL_REVOLUTION, 270);
}

/// Writes the scene to `chemin`; the format follows the extension.
bool ExportScene(const Zarvel3D::PScene3D& scene, const char* chemin)
{
    return scene.Export(chemin);
}

/// Writes the engine's scene to `chemin`; false for a null engine.
bool ExportZarvel(const Zarvel3D::Zarvel* zarvel, const char* chemin)
{
    if (!zarvel) return false;
    return ExportScene(zarvel->Scene(), chemin);
}

/// Usage text, in French like every console message of the program.
void Aide()
{
    std::cout << std::endl
              << "Zarvel_cli : conversion de plans 2D (DXF) en modèles 3D, import de maillages STL,\n"
                 "export ou affichage interactif du résultat.\n"
                 "\n"
                 "Usage : Zarvel_cli [plan.dxf | maillage.stl] [options]\n"
                 "\n"
                 "Options :\n"
                 "  -i FICHIER   plan DXF à convertir\n"
                 "  -s FICHIER   maillage STL à importer (prioritaire sur -i)\n"
                 "  -o FICHIER   exporte la scène (STL, OBJ, PLY, STEP, 3MF ou GLB selon\n"
                 "               l'extension) au lieu d'ouvrir le visualiseur\n"
                 "  -m LETTRE    avec un plan : z ou p trois vues, e extrusion, r révolution ;\n"
                 "               sans fichier : dessin de test z cube, p bloc percé,\n"
                 "               e carré extrudé, r carré en révolution\n"
                 "  -l VALEUR    avec un plan : longueur d'extrusion (unités du dessin) ou angle\n"
                 "               de révolution en degrés ; par défaut la hauteur d'une seconde vue\n"
                 "               (extrusion) ou 360 (révolution)\n"
                 "  -v           affiche le rapport de la bibliothèque (vues trouvées, éléments lus\n"
                 "               et ignorés, cause d'un échec, écarts entre le modèle et les vues)\n"
                 "  -e           trois vues exactes : un modèle qui ne reproduit pas les vues du\n"
                 "               plan est un échec (aucun fichier écrit)\n"
                 "  -t VALEUR    écart maximal du maillage aux surfaces courbes (unités du dessin) ;\n"
                 "               par défaut : volume juste à 0,1 % près, au plus 0,015 % de la\n"
                 "               diagonale du modèle\n"
                 "  -f           visualiseur en plein écran\n"
                 "  -a MODE      mode d'affichage du visualiseur : 0 tout (défaut), 1 solides\n"
                 "               et arêtes, 2 maillage filaire, 3 arêtes et projections\n"
                 "  -c FICHIER   capture : affiche la première image dans le visualiseur,\n"
                 "               l'écrit dans FICHIER (PNG) et quitte\n"
                 "  -x           dessins de test : génère le modèle sans ouvrir de fenêtre\n"
                 "  -h           affiche cette aide\n"
                 "\n"
                 "Un argument se terminant par .dxf ou .stl vaut -i ou -s.\n"
                 "\n"
                 "Visualiseur :\n"
                 "  souris             tourne la caméra (le pointeur reste caché au centre)\n"
                 "  bouton du milieu   maintenu : déplace la caméra latéralement\n"
                 "  molette            avance / recule\n"
                 "  z w flèche haut    avance (Z W : plus lentement)\n"
                 "  s flèche bas       recule (S : plus lentement)\n"
                 "  q a flèche gauche  gauche\n"
                 "  d flèche droite    droite\n"
                 "  Espace             rotation automatique ; de nouveau : vue d'origine\n"
                 "  Entrée             vue de départ\n"
                 "  Échap              quitte\n"
                 "\n"
                 "Exemples :\n"
                 "  Zarvel_cli piece.dxf -o piece.step\n"
                 "  Zarvel_cli -i profil.dxf -m e -l 25 -o profil.stl -v\n"
                 "  Zarvel_cli -m e -x\n"
                 "  xvfb-run -a Zarvel_cli piece.dxf -a 1 -c piece.png\n"
              << std::flush;
}

namespace
{

// Bare arguments named *.dxf / *.stl stand for -i / -s; every match is forced in turn, so the last
// one wins.
// Options that are flags only (-e, -f, -v, -x) take the next word as their value: a file name
// there is a bare argument too ("Zarvel_cli -v piece.dxf").
void ForceFichiers(Zarvel_args& args)
{
    std::vector<const char*> libres;
    for (unsigned int k = 0; k < args.NombreParametresIndefinis(); ++k)
        libres.push_back(args.ParametreIndefini(k));
    for (unsigned char drapeau : {'e', 'f', 'v', 'x'})
        if (args.ParamValDefini(drapeau)) libres.push_back(args.ValParam(drapeau));
    for (const auto& [option, extension] : {std::pair<unsigned char, const char*>{'i', "dxf"}, {'s', "stl"}})
        if (!args.ParamDefini(option))
            for (const char* libre : libres)
                if (PString::CompareStr(PString::ExtensionFichier(libre), extension, false))
                    args.ForceParam(option, libre);
}

// -f, -a MODE (0 to 3) and -c FILE.png; false, with its message, for a bad -a or a -c without file.
bool LectureOptionsVisualiseur(Zarvel_args const& args, OptionsVisualiseur& options)
{
    options.plein_ecran = args.ParamDefini('f');
    if (args.ParamDefini('a'))
    {
        const std::string mode = args.ValParam('a');
        if (mode.size() != 1 || mode[0] < '0' || mode[0] > '3')
        {
            std::cout << "Erreur: Mode d'affichage invalide (0, 1, 2 ou 3 attendu)." << std::endl
                      << std::endl;
            return false;
        }
        options.mode = static_cast<unsigned int>(mode[0] - '0');
    }
    if (args.ParamDefini('c'))
    {
        if (!args.ParamValDefini('c'))
        {
            std::cout << "Erreur: -c attend le nom du fichier PNG de la capture." << std::endl << std::endl;
            return false;
        }
        Zarvel_glut::defCapture(args.ValParam('c'));
    }
    return true;
}

// True when the program needs the generated mesh only: the viewer shows it and every output
// format but STEP, which carries the solid itself, writes it.
bool MaillageSeul(Zarvel_args const& args)
{
    if (!args.ParamValDefini('o'))
    {
        return true;
    }
    const std::string extension = PString::ExtensionFichier(PString::FichierChemin(args.ValParam('o')));
    return !PString::CompareStr(extension, "step", false) && !PString::CompareStr(extension, "stp", false);
}

// The exports, with the progress display.
bool Exporte(Zarvel3D::PScene3D const& scene, char const* chemin)
{
    AffichageProgression progression("Export de la scène");
    return ExportScene(scene, chemin);
}

bool Exporte(Zarvel3D::Zarvel const* zarvel, char const* chemin)
{
    AffichageProgression progression("Export de la scène");
    return ExportZarvel(zarvel, chemin);
}

int CheminMaillage(Zarvel_args const& args, OptionsVisualiseur const& options)
{
    const bool bavard = args.ParamDefini('v');
    if (!args.ParamValDefini('o')) Zarvel_glut::PrepareAffichage();
    Zarvel3D::PScene3D* scene = new Zarvel3D::PScene3D();
    bool importe = false;
    {
        AffichageProgression progression("Import du maillage");
        importe = scene->ImportSTL(args.ValParam('s'), couleur_ral_defaut, false, nullptr, nullptr);
    }
    if (!importe)
    {
        std::cout << "Erreur lors de l'import du fichier '" << args.ValParam('s') << "'" << std::endl;
        AfficheRapport(bavard, scene->Diagnostic());
        delete scene;
        return SORTIE_ECHEC;
    }
    AfficheResume(bavard, *scene);
    if (!args.ParamValDefini('o')) return DemarreVisualiseur(nullptr, scene, options, couleur_ral_defaut);
    const bool ok = Exporte(*scene, args.ValParam('o'));
    if (!ok)
    {
        LigneErreurExport(args.ValParam('o'));
        AfficheRapport(bavard, Zarvel3D::Diagnostic());
    }
    delete scene;
    return ok ? SORTIE_SUCCES : SORTIE_ECHEC;
}

// Says when the solid does not reproduce the plan's views (with -v, where); false when that must
// stop the program (-e).
bool SolideConforme(const Zarvel3D::Zarvel& moteur, bool bavard, bool exact)
{
    const char* ecarts = moteur.Ecarts();
    if (ecarts == nullptr || *ecarts == '\0') return true;
    std::cout << "Zarvel_cli :: Attention : le modèle ne reproduit pas exactement les vues du plan."
              << std::endl;
    AfficheRapport(bavard, ecarts);
    return !exact;
}

int CheminPlan(Zarvel_args const& args, OptionsVisualiseur const& options, char mode)
{
    const bool bavard = args.ParamDefini('v');
    Zarvel3D::modezarvel_t mode_conversion = Zarvel3D::ZARVEL_TROIS_VUES;
    if (mode == 'e')
        mode_conversion = Zarvel3D::ZARVEL_EXTRUSION;
    else if (mode == 'r')
        mode_conversion = Zarvel3D::ZARVEL_REVOLUTION;

    // -l: extrusion length or revolution angle; 0 lets the library choose its default.
    double parametre = 0.0;
    if (args.ParamDefini('l') && !LectureParametre(args.ValParam('l'), parametre))
    {
        std::cout << "Erreur: Valeur de -l invalide (nombre positif attendu)." << std::endl << std::endl;
        return SORTIE_USAGE;
    }

    // Plans drawn in CAD programs carry real circles and arcs: 64 segments a turn at least, finer
    // where the chord deviation asks for it (-t, or the library's default share of the size).
    Zarvel3D::ParametresZarvel parametres_plan;
    parametres_plan.divisions_tour = 64;
    parametres_plan.maillage_seul = MaillageSeul(args);
    double fleche = 0.0;
    if (args.ParamDefini('t'))
    {
        if (!LectureParametre(args.ValParam('t'), fleche))
        {
            std::cout << "Erreur: Valeur de -t invalide (nombre positif attendu)." << std::endl << std::endl;
            return SORTIE_USAGE;
        }
        parametres_plan.fleche = static_cast<float>(fleche);
    }
    if (!args.ParamValDefini('o')) Zarvel_glut::PrepareAffichage();
    Zarvel3D::ZarvelAuto* zauto = nullptr;
    {
        AffichageProgression progression("Lecture du plan");
        zauto =
            Zarvel3D::ZarvelAuto::Construct(args.ValParam('i'), mode_conversion, parametres_plan, parametre);
    }
    if (!zauto || !zauto->ValideInit())
    {
        std::cout << "Zarvel_cli :: Erreur initialisation Zarvel_auto (il a probablement été impossible "
                     "d'extraire les vues dans le plan)."
                  << std::endl;
        if (zauto) AfficheRapport(bavard, zauto->Rapport());
        delete zauto;
        return SORTIE_ECHEC;
    }
    bool genere = false;
    {
        AffichageProgression progression("Génération du modèle");
        genere = zauto->Genere();
    }
    if (!genere)
    {
        std::cout << "Zarvel_cli :: Erreur génération Zarvel3D !" << std::endl;
        AfficheRapport(bavard, zauto->Rapport());
        delete zauto;
        return SORTIE_ECHEC;
    }
    AfficheRapport(bavard, zauto->Rapport());
    if (!SolideConforme(*zauto->ZarvelConst(), bavard, args.ParamDefini('e')))
    {
        delete zauto;
        return SORTIE_ECHEC;
    }
    if (!args.ParamValDefini('o'))
    {
        // The viewer takes the engine; the factory is released without it.
        Zarvel3D::Zarvel* moteur = zauto->ZarvelPtr();
        delete zauto;
        return DemarreVisualiseur(moteur, nullptr, options, couleur_ral_defaut);
    }
    const bool ok = Exporte(zauto->ZarvelConst(), args.ValParam('o'));
    if (!ok)
    {
        LigneErreurExport(args.ValParam('o'));
        AfficheRapport(bavard, Zarvel3D::Diagnostic());
    }
    delete zauto;
    return ok ? SORTIE_SUCCES : SORTIE_ECHEC;
}

Zarvel3D::ParametresZarvel ParametresDessinTest()
{
    Zarvel3D::ParametresZarvel parametres;
    parametres.tolerance = 0.01;
    parametres.divisions_min = 4;
    parametres.divisions_tour = 16;
    parametres.taille_textes = 14;
    parametres.vues_ignorees = 0;
    parametres.angle_aretes = 35;
    parametres.taches = 0;
    parametres.sans_projections = false;
    parametres.developpes = false;
    parametres.passes_correction = 3;
    parametres.elements_max = 256;
    parametres.echelle_developpes = 1;
    parametres.couleur_ral = couleur_ral_defaut;
    return parametres;
}

int GenereDessinTest(Zarvel3D::Zarvel& zarvel, char mode)
{
    switch (mode)
    {
    case 'p':
        return GenMod(zarvel);
    case 'e':
        return GenExtrusion(zarvel);
    case 'r':
        return GenRevolution(zarvel);
    default:
        return GenCube(zarvel);
    }
}

int CheminDessinTest(Zarvel_args const& args, OptionsVisualiseur const& options, char mode)
{
    const bool bavard = args.ParamDefini('v');
    const Zarvel3D::ParametresZarvel parametres = ParametresDessinTest();
    if (!args.ParamDefini('x')) Zarvel_glut::PrepareAffichage();
    Zarvel3D::Zarvel* zarvel = Zarvel3D::Zarvel::Construct(parametres, nullptr);
    int statut = 0;
    if (zarvel)
    {
        {
            AffichageProgression progression("Génération du modèle");
            statut = GenereDessinTest(*zarvel, mode);
        }
        // The built-in drawings always convert; a failure means the library itself is broken (its
        // modelling module missing, say): say so rather than report success.
        if (statut != 0)
        {
            std::cout << "Zarvel_cli :: Erreur génération Zarvel3D !" << std::endl;
            AfficheRapport(bavard, zarvel->Diagnostic());
        }
        else
            AfficheResume(bavard, zarvel->Scene());
    }
    if (args.ParamDefini('x'))
    {
        delete zarvel;
        return statut == 0 ? SORTIE_SUCCES : SORTIE_ECHEC;
    }
    return DemarreVisualiseur(zarvel, nullptr, options, parametres.couleur_ral);
}

} // namespace

int main(int argc, const char** argv)
{
    Zarvel_args args(argc, argv);
    ForceFichiers(args);
    Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_FR);
    if (args.ParamDefini('h'))
    {
        Aide();
        return SORTIE_SUCCES;
    }
    OptionsVisualiseur options;
    if (!LectureOptionsVisualiseur(args, options)) return SORTIE_USAGE;
    if (args.ParamDefini('s')) return CheminMaillage(args, options);

    const char mode = args.ValParamChar('m');
    if (mode != '\0' && mode != 'e' && mode != 'p' && mode != 'r' && mode != 'z')
    {
        std::cout << "Erreur: Mode de génération invalide." << std::endl << std::endl;
        return SORTIE_USAGE;
    }
    if (args.ParamDefini('i')) return CheminPlan(args, options, mode);
    return CheminDessinTest(args, options, mode);
}
