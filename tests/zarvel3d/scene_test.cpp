#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

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
