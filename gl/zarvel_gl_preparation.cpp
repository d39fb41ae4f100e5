// Scene preparation: one library scene into the renderer's nine buffers, once per scene.
#include "zarvel_gl.h"

#include "zarvel3d/zarvel3d.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace PGL
{

namespace
{

constexpr unsigned int Dynamique = 0x88E8; // GL_DYNAMIC_DRAW
constexpr unsigned int Statique = 0x88E4;  // GL_STATIC_DRAW
constexpr int PasGrille = 20;

// The scene's coordinates moved by the centre and scaled, in double, stored as floats.
struct Transformation
{
    Zarvel3D::Pvec3 centre;
    double echelle;

    PVertex_GL operator()(Zarvel3D::Pvec3 const& p) const
    {
        return PVertex_GL(static_cast<float>((p.x - centre.x) * echelle), static_cast<float>((p.y - centre.y) * echelle),
                          static_cast<float>((p.z - centre.z) * echelle));
    }
};

PVertex_GL VersFloat(Zarvel3D::Pvec3 const& v)
{
    return PVertex_GL(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
}

PCouleur_GL CouleurPropre(Zarvel3D::PCouleur3D const& c, float alpha)
{
    return PCouleur_GL(c.rouge / 255.0f, c.vert / 255.0f, c.bleu / 255.0f, alpha);
}

// A build volume that cannot be scaled (a largest size of zero, negative or not finite) is
// switched off for the preparation instead of dividing by it.
float PlusGrandeDimension(float const d[3])
{
    float m = d[0];
    if (d[1] > m) m = d[1];
    if (d[2] > m) m = d[2];
    return m;
}

bool ImprimanteUtilisable(Params_Zarvel_GL const& p)
{
    const float m = PlusGrandeDimension(p.dimensions_imprimante);
    return p.imprimante_3d && std::isfinite(m) && m > 0.0f;
}

// The arrays of a buffer reserved for `vertices`, cut into slices taken in turn from each array,
// in the order in which the buffer's Ajout fills them together.
void AjoutTranches(std::vector<std::pair<void const*, std::size_t>>& blocs, PTampon_GL const& tampon,
                   std::size_t vertices)
{
    constexpr std::size_t Tranches = 64;
    unsigned char const* debuts[3] = {reinterpret_cast<unsigned char const*>(tampon.Vertices().data()),
                                      reinterpret_cast<unsigned char const*>(tampon.Couleurs().data()),
                                      reinterpret_cast<unsigned char const*>(tampon.Normales().data())};
    const std::size_t octets[3] = {vertices * sizeof(PVertex_GL), vertices * sizeof(PCouleur_GL),
                                   tampon.Primitive() == GL_TRIANGLES ? vertices * sizeof(PVertex_GL) : 0};
    for (std::size_t i = 0; i < Tranches; ++i)
        for (int k = 0; k < 3; ++k)
        {
            const std::size_t debut = octets[k] * i / Tranches;
            const std::size_t fin = octets[k] * (i + 1) / Tranches;
            if (fin > debut) blocs.emplace_back(debuts[k] + debut, fin - debut);
        }
}

// The model of a scene built element by element (or whose mesh was changed): its PModele3D.
class SourceModele
{
public:
    explicit SourceModele(Zarvel3D::PModele3D const& m) : modele(m) {}

    std::size_t NombreSurfaces() const { return modele.surfaces.size(); }
    std::size_t NombreTriangles() const
    {
        std::size_t nombre = 0;
        for (Zarvel3D::PSurface3D const& surface : modele.surfaces)
            for (Zarvel3D::PTriangle3D const& triangle : surface.triangles)
                if (triangle.visible) ++nombre;
        return nombre;
    }
    std::size_t NombreSegments() const { return modele.segments.size(); }
    std::size_t NombreSommets() const { return modele.sommets.size(); }

    // centre(point) once per surface, even when all its triangles are hidden.
    template <typename Centre> void Centres(Centre centre) const
    {
        for (Zarvel3D::PSurface3D const& surface : modele.surfaces)
            centre(surface.centre);
    }
    // triangle(a, b, c, normal, corner normals, colour) for each visible triangle, surface after
    // surface; with lissage the corner normals are the vertices' normals.
    template <typename Triangle> void Surfaces(bool lissage, Triangle triangle) const
    {
        Zarvel3D::PListe<Zarvel3D::PSommet3D> const& sommets = modele.sommets;
        for (Zarvel3D::PSurface3D const& surface : modele.surfaces)
        {
            for (Zarvel3D::PTriangle3D const& t : surface.triangles)
            {
                if (!t.visible) continue;
                const PVertex_GL normale = VersFloat(t.normale);
                PVertex_GL normales[3] = {normale, normale, normale};
                if (lissage)
                    for (int k = 0; k < 3; ++k)
                    {
                        // A corner that names no vertex of the model keeps the triangle's normal.
                        const int id = t.sommets[k].id;
                        if (id >= 0 && static_cast<std::size_t>(id) < sommets.size())
                            normales[k] = VersFloat(sommets[id].normale);
                    }
                triangle(t.sommets[0], t.sommets[1], t.sommets[2], normale, normales, t.couleur);
            }
        }
    }
    // segment(p1, p2, colour) for each visible edge.
    template <typename Segment> void Segments(Segment segment) const
    {
        for (Zarvel3D::PSegment3D const& s : modele.segments)
            if (s.visible) segment(s.p1, s.p2, s.couleur);
    }
    // sommet(position, colour) for each visible vertex.
    template <typename Sommet> void Sommets(Sommet sommet) const
    {
        for (Zarvel3D::PSommet3D const& s : modele.sommets)
            if (s.visible) sommet(s.position, s.couleur);
    }

private:
    Zarvel3D::PModele3D const& modele;
};

// An imported mesh read in its compact arrays, in the order and with the values of the model the
// library would derive from them (every element visible, no own colour but the triangles').
class SourceMaillage
{
public:
    explicit SourceMaillage(Zarvel3D::PMaillage3D const& m) : maillage(m) {}

    std::size_t NombreSurfaces() const { return maillage.nombre_surfaces; }
    std::size_t NombreTriangles() const { return maillage.nombre_triangles; }
    std::size_t NombreSegments() const { return maillage.nombre_segments; }
    std::size_t NombreSommets() const { return maillage.nombre_sommets; }

    template <typename Centre> void Centres(Centre centre) const
    {
        for (std::size_t s = 0; s < maillage.nombre_surfaces; ++s)
            centre(Point(maillage.centres + 3 * s));
    }
    template <typename Triangle> void Surfaces(bool lissage, Triangle triangle) const
    {
        for (std::size_t s = 0; s < maillage.nombre_surfaces; ++s)
        {
            for (std::size_t i = maillage.debut_surfaces[s]; i < maillage.debut_surfaces[s + 1]; ++i)
            {
                const std::size_t t = maillage.Triangle(i);
                std::uint32_t const* coins = maillage.triangles + 3 * t;
                double n[3];
                maillage.NormaleTriangle(t, n);
                const PVertex_GL normale = VersFloat(Zarvel3D::Pvec3(n[0], n[1], n[2]));
                PVertex_GL normales[3] = {normale, normale, normale};
                if (lissage)
                    for (int k = 0; k < 3; ++k)
                    {
                        maillage.NormaleSommet(coins[k], n);
                        normales[k] = VersFloat(Zarvel3D::Pvec3(n[0], n[1], n[2]));
                    }
                triangle(Sommet(coins[0]), Sommet(coins[1]), Sommet(coins[2]), normale, normales, maillage.couleur);
            }
        }
    }
    template <typename Segment> void Segments(Segment segment) const
    {
        const Zarvel3D::PCouleur3D sans_couleur;
        for (std::size_t e = 0; e < maillage.nombre_segments; ++e)
            segment(Sommet(maillage.segments[2 * e]), Sommet(maillage.segments[2 * e + 1]), sans_couleur);
    }
    template <typename SommetF> void Sommets(SommetF sommet) const
    {
        const Zarvel3D::PCouleur3D sans_couleur;
        for (std::size_t v = 0; v < maillage.nombre_sommets; ++v)
            sommet(Sommet(v), sans_couleur);
    }

private:
    static Zarvel3D::Pvec3 Point(double const* p) { return Zarvel3D::Pvec3(p[0], p[1], p[2]); }
    Zarvel3D::Pvec3 Sommet(std::size_t v) const { return Point(maillage.positions + 3 * v); }

    Zarvel3D::PMaillage3D const& maillage;
};

// f(source) with the form the scene holds its model in.
template <typename F> void AvecSource(Zarvel3D::PScene3D const& scene, F f)
{
    Zarvel3D::PMaillage3D maillage;
    if (scene.Maillage(maillage))
        f(SourceMaillage(maillage));
    else
        f(SourceModele(scene.Modele()));
}

// The source's visible triangles into `tampon`, coloured by couleur(own colour, normal). With a
// limit, each time the buffer holds that many triangles it is handed to `pleine`, which returns
// the buffer to go on with, emptied here. The buffer filled last.
template <typename Source, typename Couleur, typename Pleine>
PTampon_GL* AjoutSurfaces(Source const& source, Transformation const& t, bool lissage, Couleur couleur,
                          PTampon_GL* tampon, std::size_t limite, Pleine pleine)
{
    source.Surfaces(lissage,
                    [&](Zarvel3D::Pvec3 const& a, Zarvel3D::Pvec3 const& b, Zarvel3D::Pvec3 const& c,
                        PVertex_GL const& normale, PVertex_GL const (&normales)[3],
                        Zarvel3D::PCouleur3D const& couleur_propre)
                    {
                        tampon->Ajout(t(a), t(b), t(c), normales[0], normales[1], normales[2],
                                      couleur(couleur_propre, normale));
                        if (limite != 0 && tampon->NombreVertices() >= 3 * limite)
                        {
                            tampon = &pleine(*tampon);
                            tampon->Reinit(false);
                        }
                    });
    return tampon;
}

// Two slice buffers between the thread that fills them and the one that draws them: a full
// buffer waits to be drawn, a drawn one waits to be filled again.
class RelaisTranches
{
public:
    explicit RelaisTranches(PTampon_GL& libre) : libres{&libre} {}

    // Filler: hands the full buffer over; the buffer to fill next, once one is free.
    PTampon_GL& Pleine(PTampon_GL& tampon)
    {
        std::unique_lock<std::mutex> verrou(mutex);
        pleins.push_back(&tampon);
        signal.notify_all();
        signal.wait(verrou, [&] { return !libres.empty(); });
        PTampon_GL* suivant = libres.front();
        libres.pop_front();
        return *suivant;
    }
    // Filler: the last buffer, possibly empty; nothing follows.
    void Fin(PTampon_GL* dernier)
    {
        std::lock_guard<std::mutex> verrou(mutex);
        if (dernier && dernier->NombreVertices() != 0) pleins.push_back(dernier);
        fini = true;
        signal.notify_all();
    }
    // Drawer: the next full buffer, null when the filler has finished.
    PTampon_GL* Suivante()
    {
        std::unique_lock<std::mutex> verrou(mutex);
        signal.wait(verrou, [&] { return !pleins.empty() || fini; });
        if (pleins.empty()) return nullptr;
        PTampon_GL* tampon = pleins.front();
        pleins.pop_front();
        return tampon;
    }
    // Drawer: the buffer is drawn and may be filled again.
    void Dessinee(PTampon_GL& tampon)
    {
        std::lock_guard<std::mutex> verrou(mutex);
        libres.push_back(&tampon);
        signal.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable signal;
    std::deque<PTampon_GL*> pleins;
    std::deque<PTampon_GL*> libres;
    bool fini = false;
};

float AlphaSurfaces(float opacite)
{
    const int alpha_entier = static_cast<int>(2.55f * opacite);
    return static_cast<float>(alpha_entier) / 255.0f;
}

// A surface vertex's colour: the triangle's own, or the renderer's scene colour; then the
// surfaces' alpha.
struct CouleurSurface
{
    Zarvel_GL const& rendu;
    float alpha;

    PCouleur_GL operator()(Zarvel3D::PCouleur3D const& couleur_propre, PVertex_GL const& normale) const
    {
        PCouleur_GL c;
        if (couleur_propre.definie)
            c = CouleurPropre(couleur_propre, 1.0f);
        else
            rendu.SelectionCouleur(c, normale);
        c.alpha = alpha;
        return c;
    }
};

} // namespace

void Zarvel_GL::PrepareScene(Zarvel3D::PScene3D const* scene)
{
    reinit_en_cours = true;
    SyncAffichage(true);
    PrepareScenePriv(scene, false, params_scene.lissage);
    reinit_en_cours = false;
}

void Zarvel_GL::PrepareScenePriv(Zarvel3D::PScene3D const* scene, bool couleurs_propres, bool lissage)
{
    VideScene();
    if (!scene) return;
    if (!params_scene.sans_vbo)
    {
        tampon_sommets.ActiveVBO(Dynamique);
        tampon_filaire.ActiveVBO(Dynamique);
        tampon_textes.ActiveVBO(Statique);
        tampon_imprimante.ActiveVBO(Statique);
        tampon_projections.ActiveVBO(Statique);
        tampon_divers.ActiveVBO(Statique);
        tampon_surfaces.ActiveVBO(Dynamique);
        tampon_centres.ActiveVBO(Statique);
    }

    // The copy shares the scene's storage: it costs no memory, and the source may change as soon
    // as it is unlocked.
    scene->Verrouille();
    std::unique_ptr<Zarvel3D::PScene3D> copie(new Zarvel3D::PScene3D(*scene));
    scene->DeVerrouille();

    if (affichages.affiche_developpes)
    {
        PrepareDeveloppes(*copie);
        return;
    }
    PrepareModele(*copie, couleurs_propres, lissage);
    PrepareListes(*copie);
    if (ImprimanteUtilisable(params_scene)) PrepareImprimante();
    if (params_scene.triangles_par_tranche != 0)
    {
        scene_tranches = std::move(copie);
        lissage_tranches = lissage;
    }

    tampon_sommets.Transfert();
    tampon_filaire.Transfert();
    tampon_textes.Transfert();
    tampon_imprimante.Transfert();
    tampon_projections.Transfert();
    tampon_divers.Transfert();
    tampon_surfaces.Transfert();
    tampon_centres.Transfert();
}

void Zarvel_GL::PrepareDeveloppes(Zarvel3D::PScene3D const& scene)
{
    // Unfolded patterns are drawn at the unfolding scale, without recentring.
    if (!params_scene.sans_vbo) tampon_developpes.ActiveVBO(Statique);
    const double echelle = static_cast<float>(scene.EchelleDeveloppes());
    Transformation t{Zarvel3D::Pvec3(), echelle};
    for (Zarvel3D::PElement3D const& element : scene.Developpes())
    {
        if (element.points.size() < 2) continue;
        tampon_developpes.Ajout(t(element.points[0]), t(element.points[1]), CouleurPropre(element.couleur, 1.0f));
    }
    tampon_developpes.Transfert();
}

void Zarvel_GL::PrepareModele(Zarvel3D::PScene3D const& scene, bool couleurs_propres, bool lissage)
{
    Zarvel3D::Pvec3 centre;
    double echelle;
    if (ImprimanteUtilisable(params_scene))
    {
        // The model stands on the volume's floor, its horizontal centre on the volume's axis.
        centre = Zarvel3D::Pvec3(scene.Centre().x, params_scene.dimensions_imprimante[2] * 0.5f, scene.Centre().z);
        echelle = 1.0f / PlusGrandeDimension(params_scene.dimensions_imprimante);
    }
    else
    {
        centre = scene.Centre();
        echelle = static_cast<float>(scene.EchelleAffichage());
    }
    centre_scene.x = centre.x;
    centre_scene.y = centre.y;
    centre_scene.z = centre.z;
    echelle_scene = static_cast<float>(echelle);
    const Transformation t{centre, echelle};

    const CouleurSurface couleur{*this, AlphaSurfaces(params_scene.opacite_solide)};

    // The same buffers from either form of the model: an imported mesh is read in its compact
    // arrays, so that the scene never derives its much larger PModele3D for the viewer.
    auto remplit = [&](auto const& source)
    {
        const bool sommets = !params_scene.sans_sommets;
        const bool tranches = params_scene.triangles_par_tranche != 0;
        const std::size_t vertices_surfaces = tranches ? 0 : 3 * source.NombreTriangles();
        const std::size_t vertices_filaire = 2 * source.NombreSegments();
        const std::size_t vertices_sommets = sommets ? source.NombreSommets() : 0;
        if (sommets) tampon_centres.Reserve(static_cast<unsigned int>(source.NombreSurfaces()));
        tampon_surfaces.Reserve(static_cast<unsigned int>(vertices_surfaces));
        tampon_filaire.Reserve(static_cast<unsigned int>(vertices_filaire));
        tampon_sommets.Reserve(static_cast<unsigned int>(vertices_sommets));
        // The buffers' pages are cleared by the kernel on the second processor while this one
        // fills them: for a large mesh that clearing costs as much as the filling.
        Zarvel3D::PreparationPages pages;
        std::vector<std::pair<void const*, std::size_t>> blocs;
        AjoutTranches(blocs, tampon_surfaces, vertices_surfaces);
        AjoutTranches(blocs, tampon_filaire, vertices_filaire);
        AjoutTranches(blocs, tampon_sommets, vertices_sommets);
        pages.Lance(std::move(blocs));
        if (sommets)
            source.Centres([&](Zarvel3D::Pvec3 const& centre_surface)
                           { tampon_centres.Ajout(t(centre_surface), params_scene.couleur_centres); });
        if (!tranches)
            AjoutSurfaces(source, t, lissage, couleur, &tampon_surfaces, 0,
                          [](PTampon_GL& tampon) -> PTampon_GL& { return tampon; });

        // With surfaces, every edge takes the edge colour unless own colours were asked for.
        const bool couleur_unique = !couleurs_propres && source.NombreSurfaces() != 0;
        source.Segments(
            [&](Zarvel3D::Pvec3 const& p1, Zarvel3D::Pvec3 const& p2, Zarvel3D::PCouleur3D const& couleur_propre)
            {
                const PCouleur_GL couleur = (!couleur_unique && couleur_propre.definie)
                                                ? CouleurPropre(couleur_propre, 1.0f)
                                                : params_scene.couleur_segments;
                tampon_filaire.Ajout(t(p1), t(p2), couleur);
            });

        if (sommets)
            source.Sommets(
                [&](Zarvel3D::Pvec3 const& position, Zarvel3D::PCouleur3D const& couleur_propre)
                {
                    const PCouleur_GL couleur = (couleurs_propres && couleur_propre.definie)
                                                    ? CouleurPropre(couleur_propre, 1.0f)
                                                    : params_scene.couleur_sommets;
                    tampon_sommets.Ajout(t(position), couleur);
                });
    };
    AvecSource(scene, remplit);
}

void Zarvel_GL::AfficheSurfacesParTranches() const
{
    const Transformation t{Zarvel3D::Pvec3(centre_scene.x, centre_scene.y, centre_scene.z), echelle_scene};
    const CouleurSurface couleur{*this, AlphaSurfaces(params_scene.opacite_solide)};
    const std::size_t limite = params_scene.triangles_par_tranche;
    // The second processor fills one slice while this one draws the other: only the drawing
    // touches GL.
    RelaisTranches relais(tampons_tranches[1]);
    std::thread remplissage(
        [&]
        {
            PTampon_GL* dernier = nullptr;
            try
            {
                AvecSource(*scene_tranches,
                           [&](auto const& source)
                           {
                               const std::size_t triangles = std::min(limite, source.NombreTriangles());
                               for (PTampon_GL& tampon : tampons_tranches)
                               {
                                   tampon.Reinit(false);
                                   tampon.Reserve(static_cast<unsigned int>(3 * triangles));
                               }
                               dernier = AjoutSurfaces(
                                   source, t, lissage_tranches, couleur, &tampons_tranches[0], limite,
                                   [&](PTampon_GL& pleine) -> PTampon_GL& { return relais.Pleine(pleine); });
                           });
            }
            catch (...)
            {
                // Out of memory, say: what was filled is drawn, the frame lacks the rest, and the
                // drawing thread is never left waiting.
            }
            relais.Fin(dernier);
        });
    while (PTampon_GL* tampon = relais.Suivante())
    {
        AffichageModele(*tampon);
        relais.Dessinee(*tampon);
    }
    remplissage.join();
}

void Zarvel_GL::PrepareListes(Zarvel3D::PScene3D const& scene)
{
    const Transformation t{Zarvel3D::Pvec3(centre_scene.x, centre_scene.y, centre_scene.z), echelle_scene};
    for (Zarvel3D::PSegment3D const& segment : scene.Projections())
        tampon_projections.Ajout(t(segment.p1), t(segment.p2), CouleurPropre(segment.couleur, 1.0f));
    for (Zarvel3D::PElement3D const& element : scene.Divers())
    {
        if (element.points.size() < 2) continue;
        tampon_divers.Ajout(t(element.points[0]), t(element.points[1]), CouleurPropre(element.couleur, 1.0f));
    }
    for (Zarvel3D::PTexte3D const& texte : scene.Textes())
        for (Zarvel3D::PSegment3D const& trait : texte.traits)
            tampon_textes.Ajout(t(trait.p1), t(trait.p2), CouleurPropre(trait.couleur, 1.0f));
}

void Zarvel_GL::PrepareImprimante()
{
    affichages.affiche_imprimante = true;
    float const* d = params_scene.dimensions_imprimante;
    const float s = echelle_scene;
    const float hx = d[0] * 0.5f * s;
    const float hy = d[2] * 0.5f * s;
    const float hz = d[1] * 0.5f * s;
    PCouleur_GL const& c = params_scene.couleur_imprimante;
    PTampon_GL& b = tampon_imprimante;

    float x = -hx;
    for (int i = 0; i <= PasGrille; ++i, x += d[0] * s / PasGrille)
        b.Ajout(PVertex_GL(x, -hy, -hz), PVertex_GL(x, -hy, hz), c);
    float z = -hz;
    for (int i = 0; i <= PasGrille; ++i, z += d[1] * s / PasGrille)
        b.Ajout(PVertex_GL(-hx, -hy, z), PVertex_GL(hx, -hy, z), c);

    const PVertex_GL haut[4] = {PVertex_GL(-hx, hy, -hz), PVertex_GL(hx, hy, -hz), PVertex_GL(hx, hy, hz),
                                PVertex_GL(-hx, hy, hz)};
    for (int i = 0; i < 4; ++i)
        b.Ajout(haut[i], haut[(i + 1) % 4], c);
    for (int i = 0; i < 4; ++i)
        b.Ajout(PVertex_GL(haut[i].X, -hy, haut[i].Z), haut[i], c);
}

} // namespace PGL
