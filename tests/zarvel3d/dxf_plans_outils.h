#pragma once

// Helpers of the plan tests: paths of the test plans, the volume of a scene, and an engine that
// records what a plan draws into it.

#include "zarvel3d/zarvel3d.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace plans
{

inline std::string Chemin(const std::string& nom)
{
    return std::string(ZARVEL_TEST_DATA) + "/dxf/" + nom;
}

/// Volume enclosed by the scene's triangles (sum of signed tetrahedra from the origin).
inline double Volume(const Zarvel3D::PScene3D& scene)
{
    double v = 0.0;
    for (const Zarvel3D::PSurface3D& s : scene.Modele().surfaces)
    {
        for (const Zarvel3D::PTriangle3D& t : s.triangles)
        {
            const Zarvel3D::Pvec3& a = t.sommets[0];
            const Zarvel3D::Pvec3& b = t.sommets[1];
            const Zarvel3D::Pvec3& c = t.sommets[2];
            v += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
                  a.z * (b.x * c.y - b.y * c.x)) /
                 6.0;
        }
    }
    return v;
}

/// Parameters with a fine mesh, so that the triangulated volume of curved parts is within a
/// small fraction of the exact one.
inline Zarvel3D::ParametresZarvel ParametresFins()
{
    Zarvel3D::ParametresZarvel p;
    p.divisions_min = 16;
    p.divisions_tour = 512;
    return p;
}

struct LigneEnregistree
{
    int vue;
    double x1, y1, x2, y2;
    Zarvel3D::AttributsLigne attributs;
    int calque;
};

struct EllipseEnregistree
{
    int vue;
    double cx, cy, largeur, hauteur, debut, fin, rotation;
    Zarvel3D::AttributsLigne attributs;
};

struct PointEnregistre
{
    int vue;
    double x, y;
};

/// What an engine received.
struct Enregistrement
{
    std::vector<LigneEnregistree> lignes;
    std::vector<EllipseEnregistree> ellipses;
    std::vector<PointEnregistre> points;
    std::vector<std::pair<int, double>> generations;

    std::size_t Lignes(int vue) const
    {
        std::size_t n = 0;
        for (const auto& l : lignes)
        {
            n += l.vue == vue ? 1 : 0;
        }
        return n;
    }
};

/// An engine that only records the drawing calls (into a record the test keeps).
class MoteurEnregistreur final : public Zarvel3D::Zarvel
{
public:
    explicit MoteurEnregistreur(std::shared_ptr<Enregistrement> e) : enregistrement(std::move(e)) {}
    bool AjoutLigne(int vue, const Zarvel3D::Point2D& p1, const Zarvel3D::Point2D& p2,
                    const Zarvel3D::AttributsLigne& a, int calque, int) override
    {
        enregistrement->lignes.push_back({vue, p1.x, p1.y, p2.x, p2.y, a, calque});
        return true;
    }
    bool AjoutEllipse(int vue, const Zarvel3D::Point2D& c, double largeur, double hauteur, double debut,
                      double fin, double rotation, const Zarvel3D::AttributsLigne& a, int) override
    {
        enregistrement->ellipses.push_back({vue, c.x, c.y, largeur, hauteur, debut, fin, rotation, a});
        return true;
    }
    bool AjoutPoint(int vue, const Zarvel3D::Point2D& p) override
    {
        enregistrement->points.push_back({vue, p.x, p.y});
        return true;
    }
    int Generation(Zarvel3D::modezarvel_t mode, double parametre) override
    {
        enregistrement->generations.push_back({static_cast<int>(mode), parametre});
        return Zarvel3D::ZARVEL_SUCCES;
    }
    Zarvel3D::PScene3D* ScenePtr() override { return &scene; }
    const Zarvel3D::PScene3D& Scene() const override { return scene; }
    const char* Diagnostic() const override { return ""; }

private:
    std::shared_ptr<Enregistrement> enregistrement;
    Zarvel3D::PScene3D scene;
};

/// Loads a plan into a recording engine.
inline std::unique_ptr<Zarvel3D::ZarvelAuto> Enregistre(const std::string& nom, Zarvel3D::modezarvel_t mode,
                                                        std::shared_ptr<Enregistrement>& e,
                                                        double parametre = 0.0)
{
    e = std::make_shared<Enregistrement>();
    return std::unique_ptr<Zarvel3D::ZarvelAuto>(Zarvel3D::ZarvelAuto::Construct(
        Chemin(nom).c_str(), mode, Zarvel3D::ParametresZarvel(), parametre, new MoteurEnregistreur(e)));
}

/// Selects a language for the life of a test and restores French after it.
struct Langue
{
    explicit Langue(Zarvel3D::i18n::lang_z3d_t l) { Zarvel3D::i18n::defLangue(l); }
    ~Langue() { Zarvel3D::i18n::defLangue(Zarvel3D::i18n::LANG_FR); }
};

} // namespace plans
