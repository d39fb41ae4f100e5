#include "maillage_outils.h"
#include "scene_priv.h"
#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

using Zarvel3D::PScene3D;
using Zarvel3D::Pvec3;

namespace
{

// A unit tetrahedron spread over two surfaces, scaled by `k` and moved by `d`.
void Tetraedre(PScene3D& scene, double k, const Pvec3& d)
{
    const unsigned int a = scene.AjoutSommet(Pvec3(d.x, d.y, d.z), Pvec3());
    const unsigned int b = scene.AjoutSommet(Pvec3(d.x + k, d.y, d.z), Pvec3());
    const unsigned int c = scene.AjoutSommet(Pvec3(d.x, d.y + 2 * k, d.z), Pvec3());
    const unsigned int e = scene.AjoutSommet(Pvec3(d.x, d.y, d.z + 4 * k), Pvec3());
    const unsigned int s0 = scene.AjoutSurface();
    const unsigned int s1 = scene.AjoutSurface();
    ASSERT_TRUE(scene.AjoutTriangle(s0, a, c, b));
    ASSERT_TRUE(scene.AjoutTriangle(s1, a, b, e));
    ASSERT_TRUE(scene.AjoutTriangle(s1, b, c, e));
    ASSERT_TRUE(scene.AjoutTriangle(s1, c, a, e));
    ASSERT_TRUE(scene.AjoutSegment(a, b));
    scene.Recalcule();
}

// The tetrahedron, then content Recalcule has not seen yet (a vertex without normal and a
// surface without centre), one element in each list and a stand-in solid: every kind of content.
void ScenePleine(PScene3D& scene)
{
    Tetraedre(scene, 1.0, Pvec3());
    const unsigned int f = scene.AjoutSommet(Pvec3(0, 3, 3), Pvec3());
    const unsigned int s = scene.AjoutSurface();
    ASSERT_TRUE(scene.AjoutTriangle(s, 0, 1, f));
    scene.AjoutProjection(Pvec3(-1, 0, 0), Pvec3(-1, 2, 0), Zarvel3D::PCouleur3D{1, 2, 3, 1});
    Zarvel3D::PElement3D element;
    element.points.push_back(Pvec3(1, 1, 1));
    element.points.push_back(Pvec3(2, 1, 1));
    scene.DiversEdition().push_back(element);
    Zarvel3D::PTexte3D texte;
    Zarvel3D::PSegment3D trait;
    trait.p2 = Pvec3(0, 1, 0);
    texte.traits.push_back(trait);
    scene.TextesEdition().push_back(texte);
    element.points[1].y = 4;
    scene.DeveloppesEdition().push_back(element);
    Zarvel3D::interne::DefSolide(scene, std::make_shared<int>(7));
}

void Ajoute(std::vector<double>& v, const Pvec3& p)
{
    v.insert(v.end(), {p.x, p.y, p.z, static_cast<double>(p.id)});
}

void Ajoute(std::vector<double>& v, const Zarvel3D::PCouleur3D& c, std::uint8_t visible)
{
    v.insert(v.end(), {double(c.rouge), double(c.vert), double(c.bleu), double(c.definie), double(visible)});
}

void Ajoute(std::vector<double>& v, const Zarvel3D::PListe<Zarvel3D::PSegment3D>& segments)
{
    v.push_back(static_cast<double>(segments.size()));
    for (const Zarvel3D::PSegment3D& s : segments)
    {
        Ajoute(v, s.p1);
        Ajoute(v, s.p2);
        Ajoute(v, s.couleur, s.visible);
    }
}

void Ajoute(std::vector<double>& v, const Zarvel3D::PListe<Zarvel3D::PElement3D>& elements)
{
    v.push_back(static_cast<double>(elements.size()));
    for (const Zarvel3D::PElement3D& e : elements)
    {
        v.push_back(static_cast<double>(e.points.size()));
        for (const Pvec3& p : e.points)
        {
            Ajoute(v, p);
        }
        Ajoute(v, e.couleur, 1);
    }
}

// Everything a scene holds, field by field and with the list sizes: two scenes hold the same
// content exactly when their values are equal.
std::vector<double> Contenu(const PScene3D& scene)
{
    std::vector<double> v;
    const Zarvel3D::PModele3D& m = scene.Modele();
    v.push_back(static_cast<double>(m.sommets.size()));
    for (const Zarvel3D::PSommet3D& s : m.sommets)
    {
        Ajoute(v, s.position);
        Ajoute(v, s.normale);
        Ajoute(v, s.couleur, s.visible);
    }
    Ajoute(v, m.segments);
    v.push_back(static_cast<double>(m.surfaces.size()));
    for (const Zarvel3D::PSurface3D& surface : m.surfaces)
    {
        v.push_back(static_cast<double>(surface.triangles.size()));
        for (const Zarvel3D::PTriangle3D& t : surface.triangles)
        {
            for (const Pvec3& p : t.sommets)
            {
                Ajoute(v, p);
            }
            Ajoute(v, t.normale);
            Ajoute(v, t.couleur, t.visible);
        }
        Ajoute(v, surface.centre);
    }
    Ajoute(v, scene.Projections());
    Ajoute(v, scene.Divers());
    v.push_back(static_cast<double>(scene.Textes().size()));
    for (const Zarvel3D::PTexte3D& t : scene.Textes())
    {
        Ajoute(v, t.traits);
    }
    Ajoute(v, scene.Developpes());
    Ajoute(v, scene.Centre());
    v.insert(v.end(),
             {scene.EchelleAffichage(), scene.EchelleDeveloppes(), scene.ContientSolide() ? 1.0 : 0.0});
    return v;
}

// True when the two scenes read the very same model and lists (no element was copied).
bool PartagentLeContenu(const PScene3D& a, const PScene3D& b)
{
    return &a.Modele() == &b.Modele() && a.Modele().sommets.data() == b.Modele().sommets.data() &&
           a.Modele().surfaces[0].triangles.data() == b.Modele().surfaces[0].triangles.data() &&
           a.Projections().data() == b.Projections().data() && a.Divers().data() == b.Divers().data() &&
           a.Textes().data() == b.Textes().data() && a.Developpes().data() == b.Developpes().data();
}

} // namespace

TEST(ParametresZarvel, ValeursParDefautAuxPositionsDuRecord)
{
    Zarvel3D::ParametresZarvel p;
    unsigned char octets[sizeof p];
    std::memcpy(octets, &p, sizeof p);
    double tolerance;
    std::memcpy(&tolerance, octets, 8);
    EXPECT_EQ(tolerance, 0.01);
    std::int32_t i32;
    std::memcpy(&i32, octets + 12, 4);
    EXPECT_EQ(i32, 16);
    std::int16_t i16;
    std::memcpy(&i16, octets + 30, 2);
    EXPECT_EQ(i16, 3);
    std::uint32_t ral;
    std::memcpy(&ral, octets + 40, 4);
    EXPECT_EQ(ral, 9010u);
}

TEST(PScene3D, SceneVideEchelleUnCentreOrigine)
{
    PScene3D* scene = new PScene3D;
    EXPECT_EQ(scene->EchelleAffichage(), 1.0);
    EXPECT_EQ(scene->EchelleDeveloppes(), 1.0);
    EXPECT_EQ(scene->Centre().x, 0.0);
    EXPECT_TRUE(scene->Modele().surfaces.empty());
    scene->Recalcule();
    EXPECT_EQ(scene->EchelleAffichage(), 1.0);
    EXPECT_STREQ(scene->Diagnostic(), "");
    delete scene;
}

TEST(PScene3D, CentreDeBoiteEtPlusGrandeEtendueUn)
{
    PScene3D scene;
    Tetraedre(scene, 2.0, Pvec3(10, -5, 1));
    EXPECT_DOUBLE_EQ(scene.Centre().x, 11.0);
    EXPECT_DOUBLE_EQ(scene.Centre().y, -3.0);
    EXPECT_DOUBLE_EQ(scene.Centre().z, 5.0);
    EXPECT_DOUBLE_EQ(scene.EchelleAffichage(), 1.0 / 8.0);
    // Vertex normals were zero: they become the mean of the adjacent facets' normals.
    const Pvec3& n = scene.Modele().sommets[0].normale;
    EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0, 1e-12);
    // Triangle corners carry their vertex index, segments their end vertices.
    const auto& t = scene.Modele().surfaces[1].triangles[1];
    EXPECT_EQ(t.sommets[0].id, 1);
    EXPECT_EQ(t.sommets[2].id, 3);
    EXPECT_EQ(scene.Modele().segments[0].p2.id, 1);
    // Normal of the base, wound a-c-b, points down.
    EXPECT_NEAR(scene.Modele().surfaces[0].triangles[0].normale.z, -1.0, 1e-12);
}

TEST(PScene3D, EchelleJamaisNulle)
{
    PScene3D scene;
    const unsigned int a = scene.AjoutSommet(Pvec3(3, 3, 3), Pvec3());
    scene.AjoutSurface();
    ASSERT_TRUE(scene.AjoutTriangle(0, a, a, a));
    scene.Recalcule();
    EXPECT_EQ(scene.EchelleAffichage(), 1.0);
    EXPECT_EQ(scene.Centre().x, 3.0);
    EXPECT_FALSE(scene.defEchelleAffichage(0.0));
    EXPECT_FALSE(scene.defEchelleAffichage(-1.0));
    EXPECT_FALSE(scene.defEchelleAffichage(std::nan("")));
    EXPECT_FALSE(scene.defEchelleDeveloppes(INFINITY));
    EXPECT_EQ(scene.EchelleAffichage(), 1.0);
    EXPECT_TRUE(scene.defEchelleAffichage(0.5));
    EXPECT_EQ(scene.EchelleAffichage(), 0.5);
    // Indices outside the model are refused.
    EXPECT_FALSE(scene.AjoutTriangle(0, a, a, 7));
    EXPECT_FALSE(scene.AjoutTriangle(3, a, a, a));
    EXPECT_FALSE(scene.AjoutSegment(a, 1));
}

TEST(PScene3D, CopieIndependante)
{
    PScene3D* origine = new PScene3D;
    Tetraedre(*origine, 1.0, Pvec3());
    PScene3D copie(*origine);
    EXPECT_EQ(copie.NombreTriangles(), 4u);
    origine->ModeleEdition().surfaces[1].triangles[0].sommets[0].x = 99.0;
    origine->Vide();
    delete origine;
    EXPECT_EQ(copie.NombreTriangles(), 4u);
    EXPECT_EQ(copie.Modele().surfaces[1].triangles[0].sommets[0].x, 0.0);
    EXPECT_DOUBLE_EQ(copie.EchelleAffichage(), 0.25);

    PScene3D affectee;
    affectee = copie;
    copie.Vide();
    EXPECT_EQ(affectee.NombreTriangles(), 4u);
    EXPECT_EQ(affectee.Modele().sommets.size(), 4u);
}

TEST(PScene3D, CopieSousVerrouSansInterblocage)
{
    PScene3D scene;
    Tetraedre(scene, 1.0, Pvec3());
    scene.Verrouille();
    PScene3D* copie = new PScene3D(scene);
    scene.DeVerrouille();
    EXPECT_EQ(copie->NombreTriangles(), 4u);
    delete copie;

    // While one thread holds the lock, a copy on another thread waits for its release.
    std::atomic<bool> copiee{false};
    scene.Verrouille();
    std::thread autre(
        [&]
        {
            PScene3D c(scene);
            copiee = c.NombreTriangles() == 4u;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(copiee.load());
    scene.DeVerrouille();
    autre.join();
    EXPECT_TRUE(copiee.load());
}

TEST(PScene3D, CopiePartageLeContenuJusquAuPremierChangement)
{
    PScene3D source;
    ScenePleine(source);
    PScene3D copie(source);
    EXPECT_TRUE(PartagentLeContenu(copie, source));
    PScene3D copie_de_copie(copie);
    EXPECT_TRUE(PartagentLeContenu(copie_de_copie, source));
    PScene3D affectee;
    Tetraedre(affectee, 2.0, Pvec3());
    affectee = copie;
    EXPECT_TRUE(PartagentLeContenu(affectee, source));

    // A refused addition changes nothing: the content stays shared.
    EXPECT_FALSE(copie.AjoutTriangle(0, 0, 1, 99));
    EXPECT_FALSE(copie.AjoutTriangle(9, 0, 1, 2));
    EXPECT_FALSE(copie.AjoutSegment(0, 99));
    EXPECT_TRUE(PartagentLeContenu(copie, source));

    // A change copies only the list it changes, for the changed scene only.
    copie.ProjectionsEdition()[0].p1.x = 5.0;
    EXPECT_NE(copie.Projections().data(), source.Projections().data());
    EXPECT_EQ(source.Projections().data(), copie_de_copie.Projections().data());
    EXPECT_EQ(&copie.Modele(), &source.Modele());
    EXPECT_EQ(copie.Divers().data(), source.Divers().data());
    EXPECT_EQ(source.Projections()[0].p1.x, -1.0);
}

TEST(PScene3D, CopieDeCopieIndependante)
{
    PScene3D source;
    ScenePleine(source);
    const std::vector<double> avant = Contenu(source);
    PScene3D copie(source);
    PScene3D copie_de_copie(copie);
    copie.AjoutSommet(Pvec3(5, 5, 5), Pvec3());
    copie.ModeleEdition().surfaces[0].triangles[0].couleur.definie = 1;
    EXPECT_EQ(Contenu(source), avant);
    EXPECT_EQ(Contenu(copie_de_copie), avant);
    EXPECT_TRUE(PartagentLeContenu(source, copie_de_copie));
    source.Vide();
    copie_de_copie.TextesEdition().clear();
    EXPECT_EQ(copie.Modele().sommets.size(), 6u);
    EXPECT_EQ(copie.Textes().size(), 1u);
    EXPECT_TRUE(copie.ContientSolide());
    EXPECT_EQ(copie_de_copie.Modele().sommets.size(), 5u);
}

TEST(PScene3D, CopieValideApresLaSourceEtSeuleDetentrice)
{
    PScene3D* source = new PScene3D;
    ScenePleine(*source);
    const std::vector<double> avant = Contenu(*source);
    PScene3D copie(*source);
    PScene3D affectee;
    affectee = *source;
    delete source;
    EXPECT_EQ(Contenu(copie), avant);
    EXPECT_EQ(Contenu(affectee), avant);

    // The copies share with each other only: a change of one leaves the other.
    affectee.ModeleEdition().sommets[0].position.x = 8.0;
    EXPECT_EQ(Contenu(copie), avant);

    // Content held by one scene alone is changed in place, not copied again: the model of
    // `affectee` is its own since the change above.
    const Zarvel3D::PSommet3D* sommets = affectee.Modele().sommets.data();
    affectee.ModeleEdition().sommets[1].position.x = 9.0;
    EXPECT_EQ(affectee.Modele().sommets.data(), sommets);
    EXPECT_EQ(affectee.Modele().sommets[1].position.x, 9.0);
    EXPECT_EQ(affectee.Projections().data(), copie.Projections().data());
}

namespace
{

// One way of changing a scene's content.
struct Changement
{
    const char* nom;
    void (*applique)(PScene3D& scene);
};

void PrintTo(const Changement& changement, std::ostream* sortie)
{
    *sortie << changement.nom;
}

class PScene3DChangement : public ::testing::TestWithParam<Changement>
{
public:
    static void SetUpTestSuite()
    {
        repertoire = new outils::Repertoire;
        outils::EcritBinaire(CheminCube(), outils::Cube(3.0, {1, 2, 3}));
    }
    static void TearDownTestSuite()
    {
        delete repertoire;
        repertoire = nullptr;
    }
    static std::string CheminCube() { return *repertoire / "cube.stl"; }

private:
    static outils::Repertoire* repertoire;
};

outils::Repertoire* PScene3DChangement::repertoire = nullptr;

} // namespace

// Whichever scene of a copy changes, and however, the other keeps exactly what it held.
TEST_P(PScene3DChangement, LaSourceChangeeLaisseLaCopie)
{
    PScene3D source;
    ScenePleine(source);
    const std::vector<double> avant = Contenu(source);
    PScene3D copie(source);
    GetParam().applique(source);
    EXPECT_NE(Contenu(source), avant);
    EXPECT_EQ(Contenu(copie), avant);
}

TEST_P(PScene3DChangement, LaCopieChangeeLaisseLaSource)
{
    PScene3D source;
    ScenePleine(source);
    const std::vector<double> avant = Contenu(source);
    PScene3D copie(source);
    GetParam().applique(copie);
    EXPECT_NE(Contenu(copie), avant);
    EXPECT_EQ(Contenu(source), avant);
}

INSTANTIATE_TEST_SUITE_P(
    ToutesLesEditions, PScene3DChangement,
    ::testing::Values(
        Changement{"AjoutSommet", [](PScene3D& s) { s.AjoutSommet(Pvec3(7, 7, 7), Pvec3()); }},
        Changement{"AjoutSegment", [](PScene3D& s) { ASSERT_TRUE(s.AjoutSegment(0, 2)); }},
        Changement{"AjoutSurface", [](PScene3D& s) { s.AjoutSurface(); }},
        Changement{"AjoutTriangle", [](PScene3D& s) { ASSERT_TRUE(s.AjoutTriangle(0, 0, 1, 3)); }},
        Changement{"AjoutProjection",
                   [](PScene3D& s) { s.AjoutProjection(Pvec3(), Pvec3(1, 1, 1), Zarvel3D::PCouleur3D()); }},
        Changement{"ModeleEditionSommet",
                   [](PScene3D& s) { s.ModeleEdition().sommets[1].position.x = 42.0; }},
        Changement{"ModeleEditionTriangle",
                   [](PScene3D& s) { s.ModeleEdition().surfaces[1].triangles[0].sommets[0].x = 99.0; }},
        Changement{"ModeleEditionRemplace", [](PScene3D& s) { s.ModeleEdition() = Zarvel3D::PModele3D(); }},
        Changement{"ProjectionsEdition", [](PScene3D& s) { s.ProjectionsEdition()[0].p1.x = -3.0; }},
        Changement{"DiversEdition", [](PScene3D& s) { s.DiversEdition()[0].points.push_back(Pvec3()); }},
        Changement{"TextesEdition", [](PScene3D& s) { s.TextesEdition()[0].traits.clear(); }},
        Changement{"DeveloppesEdition", [](PScene3D& s) { s.DeveloppesEdition()[0].points[0].y = 5.0; }},
        Changement{"Recalcule", [](PScene3D& s) { s.Recalcule(); }},
        Changement{"Vide", [](PScene3D& s) { s.Vide(); }},
        Changement{"ImportSTLRemplace",
                   [](PScene3D& s) {
                       ASSERT_TRUE(
                           s.ImportSTL(PScene3DChangement::CheminCube().c_str(), 0, false, nullptr, nullptr));
                   }},
        Changement{"ImportSTLAjout",
                   [](PScene3D& s) {
                       ASSERT_TRUE(s.ImportSTL(PScene3DChangement::CheminCube().c_str(), 3020, true, nullptr,
                                               nullptr));
                   }},
        Changement{"Affectation",
                   [](PScene3D& s)
                   {
                       PScene3D autre;
                       Tetraedre(autre, 3.0, Pvec3(1, 1, 1));
                       s = autre;
                   }},
        Changement{"SolideRetire", [](PScene3D& s) { Zarvel3D::interne::DefSolide(s, nullptr); }}),
    [](const ::testing::TestParamInfo<Changement>& info) { return std::string(info.param.nom); });

// A thread copies the scene under its lock while another changes it under the lock: every copy
// shows a whole state, and keeps it while the scene goes on changing.
TEST(PScene3D, CopiesPendantLesChangementsDUnAutreFil)
{
    PScene3D scene;
    constexpr int changements = 1500;
    std::atomic<bool> fini{false};
    std::thread redacteur(
        [&]
        {
            for (int i = 0; i < changements; ++i)
            {
                scene.Verrouille();
                scene.AjoutSommet(Pvec3(i, 0, 0), Pvec3());
                scene.AjoutProjection(Pvec3(i, 1, 0), Pvec3(i, 2, 0), Zarvel3D::PCouleur3D());
                scene.DeVerrouille();
            }
            fini = true;
        });
    struct Releve
    {
        std::unique_ptr<PScene3D> copie;
        std::size_t sommets;
    };
    std::vector<Releve> releves;
    bool entieres = true;
    while (!fini.load())
    {
        scene.Verrouille();
        std::unique_ptr<PScene3D> copie(new PScene3D(scene));
        scene.DeVerrouille();
        const std::size_t n = copie->Modele().sommets.size();
        entieres = entieres && copie->Projections().size() == n &&
                   (n == 0 || (copie->Modele().sommets[n - 1].position.x == double(n - 1) &&
                               copie->Projections()[n - 1].p1.x == double(n - 1)));
        if (releves.size() < 100)
        {
            releves.push_back(Releve{std::move(copie), n});
        }
    }
    redacteur.join();
    EXPECT_TRUE(entieres);
    EXPECT_EQ(scene.Modele().sommets.size(), std::size_t(changements));
    for (const Releve& r : releves)
    {
        ASSERT_EQ(r.copie->Modele().sommets.size(), r.sommets);
        EXPECT_EQ(r.copie->Projections().size(), r.sommets);
    }
}
