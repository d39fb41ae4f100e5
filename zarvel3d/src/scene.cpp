// The scene: construction, copies, locking, building and the centre and scale.
#include "diagnostic.h"
#include "formats/maillage.h"
#include "maillage_scene.h"
#include "scene_priv.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Zarvel3D
{

namespace
{

Pvec3 Normale(const Pvec3& a, const Pvec3& b, const Pvec3& c)
{
    double n[3];
    interne::NormaleUnitaire(a, b, c, n);
    return Pvec3(n[0], n[1], n[2]);
}

} // namespace

PScene3D::PScene3D() : impl(new Impl) {}

PScene3D::PScene3D(const PScene3D& autre) : impl(new Impl)
{
    // The copy shares the source's blocks and copies no element: the first change of either
    // scene copies what it changes (PPartage::Modifie).
    std::lock_guard<std::recursive_mutex> verrou(autre.impl->verrou);
    impl->maillage = autre.impl->maillage;
    impl->modele = autre.impl->modele;
    impl->projections = autre.impl->projections;
    impl->divers = autre.impl->divers;
    impl->textes = autre.impl->textes;
    impl->developpes = autre.impl->developpes;
    centre = autre.centre;
    echelle_affichage = autre.echelle_affichage;
    echelle_developpes = autre.echelle_developpes;
    impl->solide = autre.impl->solide;
}

PScene3D& PScene3D::operator=(const PScene3D& autre)
{
    if (this != &autre)
    {
        // The copy locks only `autre`, this scene is locked afterwards: two scenes assigned to
        // each other on two threads never wait for each other. The old blocks go with `copie`,
        // released after this scene's lock.
        PScene3D copie(autre);
        std::lock_guard<std::recursive_mutex> verrou(impl->verrou);
        impl->maillage.swap(copie.impl->maillage);
        impl->modele.Echange(copie.impl->modele);
        impl->projections.Echange(copie.impl->projections);
        impl->divers.Echange(copie.impl->divers);
        impl->textes.Echange(copie.impl->textes);
        impl->developpes.Echange(copie.impl->developpes);
        centre = copie.centre;
        echelle_affichage = copie.echelle_affichage;
        echelle_developpes = copie.echelle_developpes;
        impl->solide = copie.impl->solide;
    }
    return *this;
}

PScene3D::~PScene3D()
{
    delete impl;
}

void PScene3D::Verrouille() const
{
    impl->verrou.lock();
}

void PScene3D::DeVerrouille() const
{
    impl->verrou.unlock();
}

const PModele3D& PScene3D::Modele() const
{
    // An imported mesh derives its model on the first request only: conversions that never
    // ask for it never build it.
    const interne::MaillageScene* maillage = impl->maillage.get();
    return maillage != nullptr ? maillage->Modele() : impl->modele.Lit();
}

bool PScene3D::Maillage(PMaillage3D& maillage) const
{
    const interne::MaillageScene* compact = impl->maillage.get();
    maillage = compact != nullptr ? compact->Vue() : PMaillage3D();
    return compact != nullptr;
}

const PListe<PSegment3D>& PScene3D::Projections() const
{
    return impl->projections.Lit();
}

const PListe<PElement3D>& PScene3D::Divers() const
{
    return impl->divers.Lit();
}

const PListe<PTexte3D>& PScene3D::Textes() const
{
    return impl->textes.Lit();
}

const PListe<PElement3D>& PScene3D::Developpes() const
{
    return impl->developpes.Lit();
}

unsigned long long PScene3D::NombreTriangles() const
{
    if (impl->maillage != nullptr)
    {
        return impl->maillage->NombreTriangles();
    }
    unsigned long long n = 0;
    for (const PSurface3D& s : Modele().surfaces)
    {
        n += s.triangles.size();
    }
    return n;
}

unsigned long long PScene3D::NombreSommets() const
{
    const interne::MaillageScene* compact = impl->maillage.get();
    return compact != nullptr ? compact->NombreSommets() : impl->modele.Lit().sommets.size();
}

unsigned long long PScene3D::NombreSegments() const
{
    const interne::MaillageScene* compact = impl->maillage.get();
    return compact != nullptr ? compact->NombreSegments() : impl->modele.Lit().segments.size();
}

unsigned long long PScene3D::NombreSurfaces() const
{
    const interne::MaillageScene* compact = impl->maillage.get();
    return compact != nullptr ? compact->NombreSurfaces() : impl->modele.Lit().surfaces.size();
}

bool PScene3D::ContientSolide() const
{
    return impl->solide != nullptr;
}

const char* PScene3D::Diagnostic() const
{
    return impl->diagnostic.c_str();
}

void PScene3D::Vide()
{
    std::lock_guard<std::recursive_mutex> verrou(impl->verrou);
    // Content a copy still shares stays with the copy; content of this scene alone is released.
    impl->maillage.reset();
    impl->modele = PPartage<PModele3D>();
    impl->projections = PPartage<PListe<PSegment3D>>();
    impl->divers = PPartage<PListe<PElement3D>>();
    impl->textes = PPartage<PListe<PTexte3D>>();
    impl->developpes = PPartage<PListe<PElement3D>>();
    centre = Pvec3();
    echelle_affichage = 1.0;
    echelle_developpes = 1.0;
    impl->solide.reset();
}

PModele3D& PScene3D::ModeleEdition()
{
    if (impl->maillage != nullptr)
    {
        // The derived model becomes the scene's own content. Its block is shared with the mesh
        // until the mesh goes: when no copy holds the mesh, Modifie then finds it alone and
        // changes it in place, so references taken from Modele() stay valid.
        std::lock_guard<std::recursive_mutex> verrou(impl->verrou);
        impl->modele = impl->maillage->ModelePartage();
        impl->maillage.reset();
    }
    return impl->modele.Modifie(impl->verrou);
}

PListe<PSegment3D>& PScene3D::ProjectionsEdition()
{
    return impl->projections.Modifie(impl->verrou);
}

PListe<PElement3D>& PScene3D::DiversEdition()
{
    return impl->divers.Modifie(impl->verrou);
}

PListe<PTexte3D>& PScene3D::TextesEdition()
{
    return impl->textes.Modifie(impl->verrou);
}

PListe<PElement3D>& PScene3D::DeveloppesEdition()
{
    return impl->developpes.Modifie(impl->verrou);
}

unsigned int PScene3D::AjoutSommet(const Pvec3& position, const Pvec3& normale)
{
    PSommet3D s;
    s.position = position;
    s.position.id = 0;
    s.normale = normale;
    s.normale.id = 0;
    PListe<PSommet3D>& sommets = ModeleEdition().sommets;
    sommets.push_back(s);
    return static_cast<unsigned int>(sommets.size() - 1);
}

bool PScene3D::AjoutSegment(unsigned int sommet1, unsigned int sommet2, PCouleur3D couleur)
{
    // Checked on the shared content: a refused segment leaves a shared model shared.
    const PListe<PSommet3D>& sommets = Modele().sommets;
    if (sommet1 >= sommets.size() || sommet2 >= sommets.size())
    {
        return false;
    }
    PSegment3D s;
    s.p1 = sommets[sommet1].position;
    s.p1.id = static_cast<int>(sommet1);
    s.p2 = sommets[sommet2].position;
    s.p2.id = static_cast<int>(sommet2);
    s.couleur = couleur;
    ModeleEdition().segments.push_back(s);
    return true;
}

unsigned int PScene3D::AjoutSurface()
{
    PListe<PSurface3D>& surfaces = ModeleEdition().surfaces;
    surfaces.emplace_back();
    return static_cast<unsigned int>(surfaces.size() - 1);
}

bool PScene3D::AjoutTriangle(unsigned int surface, unsigned int s1, unsigned int s2, unsigned int s3,
                             PCouleur3D couleur)
{
    // Checked on the shared content: a refused triangle leaves a shared model shared.
    const PListe<PSommet3D>& sommets = Modele().sommets;
    const std::size_t n = sommets.size();
    if (surface >= Modele().surfaces.size() || s1 >= n || s2 >= n || s3 >= n)
    {
        return false;
    }
    PTriangle3D t;
    const unsigned int indices[3] = {s1, s2, s3};
    for (int k = 0; k < 3; ++k)
    {
        t.sommets[k] = sommets[indices[k]].position;
        t.sommets[k].id = static_cast<int>(indices[k]);
    }
    t.normale = Normale(t.sommets[0], t.sommets[1], t.sommets[2]);
    t.couleur = couleur;
    ModeleEdition().surfaces[surface].triangles.push_back(t);
    return true;
}

void PScene3D::AjoutProjection(const Pvec3& p1, const Pvec3& p2, PCouleur3D couleur)
{
    PSegment3D s;
    s.p1 = p1;
    s.p1.id = -1;
    s.p2 = p2;
    s.p2.id = -1;
    s.couleur = couleur;
    ProjectionsEdition().push_back(s);
}

void PScene3D::Recalcule()
{
    std::lock_guard<std::recursive_mutex> verrou(impl->verrou);
    // The surface centres and missing vertex normals are written: a shared model is copied first.
    PModele3D& edite = ModeleEdition();
    // Surface centres: area-weighted centroid; a surface of degenerate triangles takes the plain
    // mean of its corners.
    std::vector<double> somme_normales;
    bool normales_manquantes = false;
    for (const PSommet3D& s : edite.sommets)
    {
        if (s.normale.x == 0.0 && s.normale.y == 0.0 && s.normale.z == 0.0)
        {
            normales_manquantes = true;
            break;
        }
    }
    if (normales_manquantes)
    {
        somme_normales.assign(edite.sommets.size() * 3, 0.0);
    }
    for (PSurface3D& surface : edite.surfaces)
    {
        double cx = 0, cy = 0, cz = 0, aire = 0;
        double mx = 0, my = 0, mz = 0;
        for (const PTriangle3D& t : surface.triangles)
        {
            const Pvec3& a = t.sommets[0];
            const Pvec3& b = t.sommets[1];
            const Pvec3& c = t.sommets[2];
            const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
            const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
            const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
            const double at = 0.5 * std::sqrt(nx * nx + ny * ny + nz * nz);
            cx += at * (a.x + b.x + c.x) / 3.0;
            cy += at * (a.y + b.y + c.y) / 3.0;
            cz += at * (a.z + b.z + c.z) / 3.0;
            aire += at;
            mx += (a.x + b.x + c.x) / 3.0;
            my += (a.y + b.y + c.y) / 3.0;
            mz += (a.z + b.z + c.z) / 3.0;
            if (normales_manquantes)
            {
                for (int k = 0; k < 3; ++k)
                {
                    const int i = t.sommets[k].id;
                    if (i >= 0 && static_cast<std::size_t>(i) < edite.sommets.size())
                    {
                        somme_normales[3 * static_cast<std::size_t>(i)] += t.normale.x;
                        somme_normales[3 * static_cast<std::size_t>(i) + 1] += t.normale.y;
                        somme_normales[3 * static_cast<std::size_t>(i) + 2] += t.normale.z;
                    }
                }
            }
        }
        if (aire > 0.0)
        {
            surface.centre = Pvec3(cx / aire, cy / aire, cz / aire);
        }
        else if (!surface.triangles.empty())
        {
            const double n = static_cast<double>(surface.triangles.size());
            surface.centre = Pvec3(mx / n, my / n, mz / n);
        }
    }
    if (normales_manquantes)
    {
        for (std::size_t i = 0; i < edite.sommets.size(); ++i)
        {
            Pvec3& n = edite.sommets[i].normale;
            if (n.x == 0.0 && n.y == 0.0 && n.z == 0.0)
            {
                const double x = somme_normales[3 * i], y = somme_normales[3 * i + 1],
                             z = somme_normales[3 * i + 2];
                const double l = std::sqrt(x * x + y * y + z * z);
                if (l > 0.0)
                {
                    n = Pvec3(x / l, y / l, z / l);
                }
            }
        }
    }

    // Bounding box of the model's vertices, or of the projections when the model has none.
    double min[3] = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::infinity()};
    double max[3] = {-min[0], -min[1], -min[2]};
    auto etend = [&](const Pvec3& p)
    {
        min[0] = std::min(min[0], p.x);
        min[1] = std::min(min[1], p.y);
        min[2] = std::min(min[2], p.z);
        max[0] = std::max(max[0], p.x);
        max[1] = std::max(max[1], p.y);
        max[2] = std::max(max[2], p.z);
    };
    for (const PSommet3D& s : edite.sommets)
    {
        etend(s.position);
    }
    if (edite.sommets.empty())
    {
        for (const PSurface3D& surface : edite.surfaces)
        {
            for (const PTriangle3D& t : surface.triangles)
            {
                etend(t.sommets[0]);
                etend(t.sommets[1]);
                etend(t.sommets[2]);
            }
        }
        for (const PSegment3D& s : edite.segments)
        {
            etend(s.p1);
            etend(s.p2);
        }
    }
    if (!(min[0] <= max[0]))
    {
        for (const PSegment3D& s : Projections())
        {
            etend(s.p1);
            etend(s.p2);
        }
    }
    if (!(min[0] <= max[0]))
    {
        centre = Pvec3();
        echelle_affichage = 1.0;
        return;
    }
    centre = Pvec3(0.5 * (min[0] + max[0]), 0.5 * (min[1] + max[1]), 0.5 * (min[2] + max[2]));
    const double etendue = std::max({max[0] - min[0], max[1] - min[1], max[2] - min[2]});
    const double echelle = 1.0 / etendue;
    // A single point (zero extent) or an extent so small or large that its inverse does not
    // fit a double keeps the scale 1: the scale must never be zero or infinite.
    echelle_affichage = (etendue > 0.0 && std::isfinite(echelle) && echelle > 0.0) ? echelle : 1.0;
}

bool PScene3D::defEchelleAffichage(double echelle)
{
    if (!(echelle > 0.0) || !std::isfinite(echelle))
    {
        return false;
    }
    echelle_affichage = echelle;
    return true;
}

bool PScene3D::defEchelleDeveloppes(double echelle)
{
    if (!(echelle > 0.0) || !std::isfinite(echelle))
    {
        return false;
    }
    echelle_developpes = echelle;
    return true;
}

double PScene3D::AngleAretesVives()
{
    return 35.0;
}

namespace interne
{

void DefSolide(PScene3D& scene, std::shared_ptr<void> solide)
{
    std::lock_guard<std::recursive_mutex> verrou(scene.ImplPtr()->verrou);
    scene.ImplPtr()->solide = std::move(solide);
}

std::shared_ptr<void> Solide(const PScene3D& scene)
{
    std::lock_guard<std::recursive_mutex> verrou(scene.ImplPtr()->verrou);
    return scene.ImplPtr()->solide;
}

void EchecScene(const PScene3D& scene, const std::string& texte)
{
    scene.ImplPtr()->diagnostic = texte;
    DefDiagnostic(texte);
}

} // namespace interne

} // namespace Zarvel3D
