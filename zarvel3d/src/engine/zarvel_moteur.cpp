// The conversion engine: records the drawing, then has the solid module
// (loaded on the first generation, see solides.h) build a solid with the
// modelling kernel and fill the scene from it; an extrusion whose mesh alone
// is wanted is meshed here when it can be (zarvel_extrusion.h). A failed
// generation leaves the scene exactly as it was.

#include "zarvel_moteur.h"

#include "../diagnostic.h"
#include "../progression.h"
#include "../scene_priv.h"
#include "../solides.h"
#include "zarvel_extrusion.h"
#include "zarvel_messages.h"

#include <cmath>

namespace Zarvel3D
{

namespace moteur
{

namespace
{

ElementDessin Attributs(ElementDessin e, const AttributsLigne& attributs)
{
    e.couleur = {attributs.rouge, attributs.vert, attributs.bleu, attributs.alpha};
    e.cache = attributs.visible == 0;
    e.axe = attributs.construction != 0;
    return e;
}

bool Fini(double a)
{
    return std::isfinite(a);
}

} // namespace

template <typename Liste, typename Element>
bool ZarvelMoteur::Enregistre(Liste& liste, const Element& element)
{
    // Running out of memory is the only failure here; it must not escape.
    return interne::Garde(
        false,
        [&]()
        {
            liste.push_back(element);
            return true;
        },
        [&](const std::string& texte) { DefDiagnostic(texte); });
}

ZarvelMoteur::ZarvelMoteur(const ParametresZarvel& p, PScene3D* scene)
    : parametres(p), externe(scene), propre(scene == nullptr ? new PScene3D() : nullptr)
{
}

ZarvelMoteur::~ZarvelMoteur()
{
    delete propre;
}

bool ZarvelMoteur::AjoutLigne(int vue, const Point2D& p1, const Point2D& p2, const AttributsLigne& attributs,
                              int /*calque*/, int /*groupe*/)
{
    // Layers and contour groups are not needed: outlines are found from the
    // geometry itself, wherever lines cross or meet.
    VueDessin* cible = dessin.Vue(vue);
    if (cible == nullptr || !Fini(p1.x) || !Fini(p1.y) || !Fini(p2.x) || !Fini(p2.y))
    {
        return false;
    }
    ElementDessin e;
    e.type = TypeElement::Ligne;
    e.x1 = p1.x;
    e.y1 = p1.y;
    e.x2 = p2.x;
    e.y2 = p2.y;
    return Enregistre(cible->elements, Attributs(e, attributs));
}

bool ZarvelMoteur::AjoutEllipse(int vue, const Point2D& centre, double largeur, double hauteur,
                                double angle_debut, double angle_fin, double rotation,
                                const AttributsLigne& attributs, int /*calque*/)
{
    VueDessin* cible = dessin.Vue(vue);
    if (cible == nullptr || !Fini(centre.x) || !Fini(centre.y) || !Fini(largeur) || !Fini(hauteur) ||
        !Fini(angle_debut) || !Fini(angle_fin) || !Fini(rotation) || !(largeur > 0.0) || !(hauteur > 0.0))
    {
        return false;
    }
    ElementDessin e;
    e.type = TypeElement::Ellipse;
    e.cx = centre.x;
    e.cy = centre.y;
    e.largeur = largeur;
    e.hauteur = hauteur;
    e.debut = angle_debut;
    e.fin = angle_fin;
    e.rotation = rotation;
    return Enregistre(cible->elements, Attributs(e, attributs));
}

bool ZarvelMoteur::AjoutPoint(int vue, const Point2D& point)
{
    VueDessin* cible = dessin.Vue(vue);
    if (cible == nullptr || !Fini(point.x) || !Fini(point.y))
    {
        return false;
    }
    return Enregistre(cible->points, PointDessin{point.x, point.y});
}

int ZarvelMoteur::Generation(modezarvel_t mode, double parametre)
{
    // The modelling kernel gives no measure of its progress: the time alone is shown.
    interne::ProgressionDebut(0);
    const int statut = interne::Garde(
        static_cast<int>(ZARVEL_ERREUR_INTERNE), [&]() { return GenerationProtegee(mode, parametre); },
        [&](const std::string& texte) { DefDiagnostic(texte); });
    interne::ProgressionFin();
    return statut;
}

int ZarvelMoteur::GenerationProtegee(modezarvel_t mode, double parametre)
{
    // Views the parameters leave out take no part.
    Dessin utilise = dessin;
    for (int id : {VueFace, VueCote, VueDessus})
    {
        if ((parametres.vues_ignorees & id) != 0)
        {
            *utilise.Vue(id) = VueDessin();
        }
    }
    if (mode != ZARVEL_TROIS_VUES && mode != ZARVEL_EXTRUSION && mode != ZARVEL_REVOLUTION)
    {
        DefDiagnostic(Texte(MessageMoteur::ModeInconnu, static_cast<int>(mode)));
        return ZARVEL_ERREUR_MODE;
    }
    if (mode == ZARVEL_EXTRUSION && parametres.maillage_seul)
    {
        PScene3D directe;
        if (ExtrusionDirecte(utilise, parametres, parametre, directe))
        {
            PScene3D& cible = *ScenePtr();
            cible.Verrouille();
            cible = directe;
            cible.DeVerrouille();
            diagnostic.clear();
            ecarts.clear();
            return ZARVEL_SUCCES;
        }
    }
    std::string diag_module;
    const solides::TableSolides* module = solides::Module(diag_module);
    if (module == nullptr)
    {
        DefDiagnostic(diag_module);
        return ZARVEL_ERREUR_INTERNE;
    }

    // The new model is built aside and replaces the old one only when
    // complete, so that a failure never leaves half a model in the scene.
    PScene3D nouvelle;
    void* brut = nullptr;
    std::string diag_scene;
    std::string ecarts_solide;
    const int statut =
        module->generation(utilise, parametres, mode, parametre, nouvelle, brut, diag_scene, ecarts_solide);
    if (brut != nullptr)
    {
        interne::DefSolide(nouvelle, std::shared_ptr<void>(brut, module->liberation));
    }
    if (statut != ZARVEL_SUCCES)
    {
        DefDiagnostic(diag_scene);
        return statut;
    }
    PScene3D& cible = *ScenePtr();
    cible.Verrouille();
    cible = nouvelle;
    cible.DeVerrouille();
    // Warnings (ignored elements, axis fallback) stay readable after success.
    diagnostic = diag_scene;
    ecarts = ecarts_solide;
    return ZARVEL_SUCCES;
}

PScene3D* ZarvelMoteur::ScenePtr()
{
    return externe != nullptr ? externe : propre;
}

const PScene3D& ZarvelMoteur::Scene() const
{
    return externe != nullptr ? *externe : *propre;
}

const char* ZarvelMoteur::Diagnostic() const
{
    return diagnostic.c_str();
}

const char* ZarvelMoteur::Ecarts() const
{
    return ecarts.c_str();
}

void ZarvelMoteur::DefDiagnostic(const std::string& texte)
{
    diagnostic = texte;
    interne::DefDiagnostic(texte);
}

} // namespace moteur

Zarvel::~Zarvel() = default;

Zarvel* Zarvel::Construct(const ParametresZarvel& parametres, PScene3D* scene)
{
    return new moteur::ZarvelMoteur(parametres, scene);
}

} // namespace Zarvel3D
