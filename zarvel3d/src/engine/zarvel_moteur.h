#pragma once

// The conversion engine behind Zarvel::Construct. Private to the library.

#include "zarvel3d/zarvel3d.h"
#include "zarvel_dessin.h"

#include <string>

namespace Zarvel3D::moteur
{

/// Keeps the drawing view by view and generates the solid and its scene.
class ZarvelMoteur final : public Zarvel
{
public:
    ZarvelMoteur(const ParametresZarvel& parametres, PScene3D* scene);
    ~ZarvelMoteur() override;
    ZarvelMoteur(const ZarvelMoteur&) = delete;
    ZarvelMoteur& operator=(const ZarvelMoteur&) = delete;

    bool AjoutLigne(int vue, const Point2D& p1, const Point2D& p2, const AttributsLigne& attributs,
                    int calque, int groupe) override;
    bool AjoutEllipse(int vue, const Point2D& centre, double largeur, double hauteur, double angle_debut,
                      double angle_fin, double rotation, const AttributsLigne& attributs,
                      int calque) override;
    bool AjoutPoint(int vue, const Point2D& point) override;
    int Generation(modezarvel_t mode, double parametre) override;
    PScene3D* ScenePtr() override;
    const PScene3D& Scene() const override;
    const char* Diagnostic() const override;
    const char* Ecarts() const override;

    /// The drawing received so far.
    const Dessin& DessinCourant() const { return dessin; }

private:
    int GenerationProtegee(modezarvel_t mode, double parametre);
    template <typename Liste, typename Element> bool Enregistre(Liste& liste, const Element& element);
    void DefDiagnostic(const std::string& texte);

    ParametresZarvel parametres;
    PScene3D* externe;
    PScene3D* propre;
    Dessin dessin;
    std::string diagnostic;
    std::string ecarts;
};

} // namespace Zarvel3D::moteur
