// Scene renderer: display modes, scene colours, highlights, marker and the drawing of one frame.
#include "zarvel_gl.h"

#include "zarvel3d/zarvel3d.h"

#include <cmath>

namespace PGL
{

namespace
{

constexpr unsigned int MasqueSommets = 1;
constexpr unsigned int MasqueFilaire = 2;
constexpr unsigned int MasqueSurfaces = 4;

const PCouleur_GL VertRepere(0.0f, 1.0f, 0.0f, 1.0f);
const PCouleur_GL RougeRepere(1.0f, 0.0f, 0.0f, 1.0f);

// The switches a display mode sets; the others keep their state.
struct ModeAffichage
{
    bool origine;
    bool surfaces_filaire;
    bool modele;
    bool surfaces;
    bool filaire;
    bool projections;
    bool sommets;
};

const ModeAffichage Modes[4] = {
    {true, false, true, true, true, true, false},    // everything, with the origin axes
    {false, false, true, true, true, false, false},  // solids and edges
    {false, true, true, false, false, false, false}, // the surfaces' triangles as wires
    {false, false, true, false, true, true, false},  // edges, texts and projections
};

PVertex_GL Milieu(PVertex_GL const& a, PVertex_GL const& b)
{
    return PVertex_GL((a.X + b.X) * 0.5f, (a.Y + b.Y) * 0.5f, (a.Z + b.Z) * 0.5f);
}

} // namespace

Params_Zarvel_GL::Params_Zarvel_GL(float opacite, int id_couleur, bool developpes)
    : opacite_solide(opacite), id_couleur_ral(id_couleur), affiche_developpes(developpes), lissage(false),
      imprimante_3d(false), dimensions_imprimante{0.0f, 0.0f, 0.0f}, mode_affichage(0),
      couleur_sommets(0.488f, 0.703f, 0.859f, 1.0f), couleur_segments(0.508f, 0.508f, 0.508f, 1.0f),
      couleur_imprimante(0.4f, 0.4f, 0.4f, 1.0f), couleur_point(0.101f, 0.449f, 0.687f, 1.0f),
      couleur_centre_segment(0.0f, 0.0f, 0.0f, 1.0f), couleur_centres(0.508f, 0.156f, 0.781f, 1.0f), sans_vbo(false),
      sans_sommets(false), triangles_par_tranche(0)
{
}

void Params_Zarvel_GL::defImprimante3D(bool actif, float d1, float d2, float d3)
{
    imprimante_3d = actif;
    dimensions_imprimante[0] = d1;
    dimensions_imprimante[1] = d2;
    dimensions_imprimante[2] = d3;
}

Zarvel_GL::Zarvel_GL(Params_GL const& params_gl, Params_Zarvel_GL const& params)
    : Moteur_GL(params_gl), params_scene(params), echelle_scene(1.0f), id_ral(0), id_point(-1), id_segment(-1),
      id_surface(-1), tampon_sommets(GL_POINTS), tampon_filaire(GL_LINES), tampon_imprimante(GL_LINES),
      tampon_projections(GL_LINES), tampon_divers(GL_LINES), tampon_textes(GL_LINES), tampon_developpes(GL_LINES),
      tampon_surfaces(GL_TRIANGLES), tampon_centres(GL_POINTS), lissage_tranches(false),
      tampons_tranches{PTampon_GL(GL_TRIANGLES), PTampon_GL(GL_TRIANGLES)}
{
    affichages.affiche_developpes = params.affiche_developpes;
    defIdCouleurScene(static_cast<unsigned int>(params.id_couleur_ral));
    defAffichage(params.mode_affichage);
}

Zarvel_GL::~Zarvel_GL()
{
    tampon_sommets.DesactiveVBO();
    tampon_filaire.DesactiveVBO();
    tampon_imprimante.DesactiveVBO();
    tampon_projections.DesactiveVBO();
    tampon_divers.DesactiveVBO();
    tampon_textes.DesactiveVBO();
    tampon_developpes.DesactiveVBO();
    tampon_surfaces.DesactiveVBO();
    tampon_centres.DesactiveVBO();
}

void Zarvel_GL::InitialisationAffichage()
{
    InitialisationGL();
}

void Zarvel_GL::InitialisationEtatAffichage()
{
    ReinitEtatGL();
}

void Zarvel_GL::VideScene()
{
    tampon_sommets.Reinit(true);
    tampon_filaire.Reinit(true);
    tampon_imprimante.Reinit(true);
    tampon_projections.Reinit(true);
    tampon_divers.Reinit(true);
    tampon_developpes.Reinit(true);
    tampon_surfaces.Reinit(true);
    tampon_centres.Reinit(true);
    tampon_textes.Reinit(true);
    scene_tranches.reset();
    for (PTampon_GL& tampon : tampons_tranches)
        tampon.Reinit(true);
    VideDiv();
}

// ---- Settings ----------------------------------------------------------------------------------

void Zarvel_GL::defImprimante3D(bool actif, float d1, float d2, float d3)
{
    params_scene.defImprimante3D(actif, d1, d2, d3);
}

void Zarvel_GL::defEtatLissage(bool lissage)
{
    params_scene.lissage = lissage;
}

void Zarvel_GL::defOpaciteSolide(int pourcent)
{
    if (pourcent < 0) pourcent = 0;
    if (pourcent > 100) pourcent = 100;
    params_scene.opacite_solide = static_cast<float>(pourcent);
    const float alpha = static_cast<float>(pourcent) / 100.0f;
    PTableau_GL<PCouleur_GL> const& couleurs = tampon_surfaces.Couleurs();
    for (unsigned int i = 0; i < couleurs.size(); ++i)
    {
        PCouleur_GL c = couleurs[i];
        c.alpha = alpha;
        tampon_surfaces.defCouleur(i, c);
    }
    MiseaJourVBO(MasqueSurfaces);
}

void Zarvel_GL::defIdCouleurScene(unsigned int id)
{
    id_ral = id;
    PTableau_GL<PCouleur_GL> const& couleurs = tampon_surfaces.Couleurs();
    PTableau_GL<PVertex_GL> const& normales = tampon_surfaces.Normales();
    for (unsigned int i = 0; i < couleurs.size() && i < normales.size(); ++i)
    {
        PCouleur_GL c = couleurs[i];
        SelectionCouleur(c, normales[i]);
        tampon_surfaces.defCouleur(i, c);
    }
    MiseaJourVBO(MasqueSurfaces);
}

void Zarvel_GL::defAffichage(int mode)
{
    params_scene.mode_affichage = mode;
    // With the unfolded patterns shown, nothing else is, whatever the mode.
    static const ModeAffichage rien = {false, false, false, false, false, false, false};
    if (!affichages.affiche_developpes && (mode < 0 || mode > 3)) return;
    ModeAffichage const& m = affichages.affiche_developpes ? rien : Modes[mode];
    affichages.affiche_origine = m.origine;
    affichages.affiche_surfaces_filaire = m.surfaces_filaire;
    affichages.affiche_modele = m.modele;
    affichages.affiche_surfaces = m.surfaces;
    affichages.affiche_filaire = m.filaire;
    affichages.affiche_projections = m.projections;
    affichages.affiche_sommets = m.sommets;
}

void Zarvel_GL::MiseaJourVBO(unsigned int masque)
{
    if (masque == 0) return;
    reinit_en_cours = true;
    // The card must be done with the old contents before they are rewritten.
    SyncAffichage(true);
    if ((masque & MasqueSommets) && tampon_sommets.VBOActif()) tampon_sommets.Transfert();
    if ((masque & MasqueFilaire) && tampon_filaire.VBOActif()) tampon_filaire.Transfert();
    if ((masque & MasqueSurfaces) && tampon_surfaces.VBOActif()) tampon_surfaces.Transfert();
    reinit_en_cours = false;
}

void Zarvel_GL::defCouleursScene(PCouleur_GL const& sommets, PCouleur_GL const& segments,
                                 PCouleur_GL const& imprimante, PCouleur_GL const& point,
                                 PCouleur_GL const& centre_segment, PCouleur_GL const& centres)
{
    params_scene.couleur_sommets = sommets;
    params_scene.couleur_segments = segments;
    params_scene.couleur_imprimante = imprimante;
    params_scene.couleur_point = point;
    params_scene.couleur_centre_segment = centre_segment;
    params_scene.couleur_centres = centres;
}

bool Zarvel_GL::SelectionCouleur(PCouleur_GL& c) const
{
    if (id_ral == 0) return false;
    Zarvel3D::RAL const& entree = Zarvel3D::RAL::Index(id_ral);
    c = PCouleur_GL(entree.rouge / 255.0f, entree.vert / 255.0f, entree.bleu / 255.0f, 1.0f);
    return true;
}

void Zarvel_GL::SelectionCouleur(PCouleur_GL& c, PVertex_GL const& normale) const
{
    if (SelectionCouleur(c)) return;
    // A false colour of the normal; components above 1 saturate when drawn.
    c.rouge = 1.5f * std::fabs(normale.X);
    c.vert = 1.5f * std::fabs(normale.Y);
    c.bleu = 1.5f * std::fabs(normale.Z);
}

// ---- Highlights and marker ---------------------------------------------------------------------

void Zarvel_GL::defSommetRepere(PVertex_GL const& v, bool nouveau)
{
    affichages.affiche_repere = true;
    if (nouveau)
    {
        repere_origine = v;
        repere_precedent = v;
    }
    else
    {
        repere_precedent = repere_courant;
    }
    repere_courant = v;
}

void Zarvel_GL::SupprimeSommetRepere()
{
    affichages.affiche_repere = false;
}

void Zarvel_GL::AffichagePoint(int id)
{
    id_point = id;
}

void Zarvel_GL::AffichageCentreSegment(int id)
{
    id_segment = id;
}

void Zarvel_GL::AffichageCentreSurface(int id)
{
    id_surface = id;
}

void Zarvel_GL::AjoutSurlignages()
{
    // Indices count entries of the prepared buffers; out of range, nothing this frame.
    if (id_point >= 0 && static_cast<unsigned int>(id_point) < tampon_sommets.NombreVertices())
        AjoutSommetDiv(tampon_sommets.Vertices()[id_point], params_scene.couleur_point);
    if (id_segment >= 0 && static_cast<unsigned int>(id_segment) < tampon_filaire.NombreVertices() / 2)
    {
        PTableau_GL<PVertex_GL> const& v = tampon_filaire.Vertices();
        AjoutSommetDiv(Milieu(v[2 * id_segment], v[2 * id_segment + 1]), params_scene.couleur_centre_segment);
    }
    if (id_surface >= 0 && static_cast<unsigned int>(id_surface) < tampon_centres.NombreVertices())
        AjoutSommetDiv(tampon_centres.Vertices()[id_surface], params_scene.couleur_centres);
    if (affichages.affiche_repere)
    {
        AjoutSommetDiv(repere_origine, VertRepere);
        AjoutLigneDiv(PVertice2_GL(repere_precedent, repere_courant), RougeRepere);
    }
}

// ---- Drawing -----------------------------------------------------------------------------------

void Zarvel_GL::AfficheLignes(PTampon_GL const& tampon, float facteur_epaisseur, bool melange) const
{
    if (melange)
    {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glLineWidth(params.epaisseur_lignes * facteur_epaisseur);
    AffichageFilaire(tampon);
    if (melange) glDisable(GL_BLEND);
}

void Zarvel_GL::AfficheSurfaces(bool filaire) const
{
    if (params.eclairage_dynamique)
    {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glShadeModel(GL_SMOOTH);
    }
    if (filaire)
    {
        glLineWidth(1.0f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
    else
    {
        // Filled triangles move slightly back so that the edges on them pass the depth test.
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 0.00001f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glEnable(GL_BLEND);
    }
    glColorMaterial(params.eclairage_deux_faces ? GL_FRONT_AND_BACK : GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    if (scene_tranches)
        AfficheSurfacesParTranches();
    else
        AffichageModele(tampon_surfaces);
    glPointSize(params.taille_points);
    if (!filaire)
    {
        glDisable(GL_POLYGON_OFFSET_FILL);
        glDisable(GL_BLEND);
    }
    if (params.eclairage_dynamique)
    {
        glDisable(GL_LIGHT0);
        glDisable(GL_LIGHTING);
    }
}

void Zarvel_GL::AfficheFilaire() const
{
    AfficheLignes(tampon_filaire, 1.0f, true);
}

void Zarvel_GL::AfficheDivers() const
{
    AfficheLignes(tampon_divers, 1.2f, true);
}

void Zarvel_GL::AfficheProjections() const
{
    AfficheLignes(tampon_projections, 1.2f, true);
}

void Zarvel_GL::AfficheTextes() const
{
    AfficheLignes(tampon_textes, 1.2f, false);
}

void Zarvel_GL::AfficheDeveloppes() const
{
    AfficheLignes(tampon_developpes, 1.0f, false);
}

void Zarvel_GL::AfficheImprimante() const
{
    glLineWidth(1.0f);
    AffichageFilaire(tampon_imprimante);
}

void Zarvel_GL::AfficheSommets() const
{
    glPointSize(params.taille_points);
    AffichageFilaire(tampon_sommets);
    AffichageFilaire(tampon_centres);
}

void Zarvel_GL::AfficheScene()
{
    if (reinit_en_cours) return;
    PAffichages_GL const& a = affichages;
    // Wire-mesh frames are drawn straight to the screen.
    const bool post = a.affiche_surfaces_filaire ? false : a.affiche_modele;
    InitAffichage(a.affiche_origine, post);
    AjoutSurlignages();
    if (a.affiche_modele && a.affiche_surfaces) AfficheSurfaces(false);
    if (a.affiche_developpes) AfficheDeveloppes();
    if (a.affiche_imprimante) AfficheImprimante();
    if (a.affiche_surfaces_filaire) AfficheSurfaces(true);
    if (a.affiche_modele)
    {
        if (a.affiche_filaire)
        {
            AfficheDivers();
            AfficheFilaire();
        }
        if (a.affiche_projections)
        {
            AfficheTextes();
            AfficheProjections();
        }
        if (a.affiche_sommets) AfficheSommets();
    }
    AffichageDivers();
    FinAffichage();
}

} // namespace PGL
