// The progress record that a caller gives the library: every long operation restarts its count,
// and ends with its work done; the import's two phases only move forwards.
#include "maillage_outils.h"

#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace
{

// The record given for the length of one test.
struct Enregistrement
{
    Zarvel3D::PProgression p;
    Enregistrement() { Zarvel3D::defProgression(&p); }
    ~Enregistrement() { Zarvel3D::defProgression(nullptr); }
};


} // namespace

TEST(PProgression, ImportEtExportTerminesAvecLeurTotal)
{
    outils::Repertoire d;
    const std::string stl = d / "tore.stl";
    outils::EcritBinaire(stl, outils::Tore(40, 20));
    Enregistrement e;
    Zarvel3D::PScene3D scene;
    ASSERT_TRUE(scene.ImportSTL(stl.c_str(), 0, false, nullptr, nullptr));
    EXPECT_EQ(e.p.operations.load(), 1u);
    EXPECT_EQ(e.p.total.load(), 1000u);
    EXPECT_EQ(e.p.fait.load(), 1000u);

    // A binary STL export counts its bytes against the size it will have.
    const std::string sortie = d / "sortie.stl";
    ASSERT_TRUE(scene.Export(sortie.c_str()));
    EXPECT_EQ(e.p.operations.load(), 2u);
    EXPECT_EQ(e.p.total.load(), 84u + 50u * scene.NombreTriangles());
    EXPECT_EQ(e.p.fait.load(), e.p.total.load());
    // Other formats have no size known beforehand: the total stays unknown.
    const std::string ply = d / "sortie.ply";
    ASSERT_TRUE(scene.Export(ply.c_str()));
    EXPECT_EQ(e.p.operations.load(), 3u);
    EXPECT_EQ(e.p.total.load(), 0u);
    EXPECT_GT(e.p.fait.load(), 0u);
}

TEST(PProgression, ImportNeReculeJamais)
{
    // A mesh big enough for many updates, read while another thread samples the record.
    outils::Repertoire d;
    const std::string stl = d / "grand.stl";
    outils::EcritBinaire(stl, outils::Tore(800, 400));
    Enregistrement e;
    std::atomic<bool> fini{false};
    std::vector<unsigned long long> releves;
    std::thread lecteur(
        [&]
        {
            while (!fini.load())
            {
                if (e.p.operations.load() > 0) releves.push_back(e.p.fait.load());
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
    Zarvel3D::PScene3D scene;
    const bool lu = scene.ImportSTL(stl.c_str(), 0, false, nullptr, nullptr);
    fini = true;
    lecteur.join();
    ASSERT_TRUE(lu);
    for (std::size_t i = 1; i < releves.size(); ++i)
        ASSERT_LE(releves[i - 1], releves[i]) << "sample " << i;
    for (unsigned long long r : releves)
        EXPECT_LE(r, 1000u);
    EXPECT_EQ(e.p.fait.load(), 1000u);
}

TEST(PProgression, PlanEtGenerationSansTotal)
{
    Enregistrement e;
    Zarvel3D::ZarvelAuto* plan = Zarvel3D::ZarvelAuto::Construct(ZARVEL_TEST_DATA "/dxf/piece_cube15_iso.dxf",
                                                                 Zarvel3D::ZARVEL_TROIS_VUES);
    ASSERT_TRUE(plan->ValideInit());
    EXPECT_EQ(e.p.operations.load(), 1u);
    EXPECT_EQ(e.p.total.load(), 0u);
    ASSERT_TRUE(plan->Genere());
    EXPECT_EQ(e.p.operations.load(), 2u);
    EXPECT_EQ(e.p.total.load(), 0u);
    delete plan;
    // Without a record the library runs as before.
    Zarvel3D::defProgression(nullptr);
    Zarvel3D::ZarvelAuto* autre = Zarvel3D::ZarvelAuto::Construct(ZARVEL_TEST_DATA "/dxf/piece_cube15_iso.dxf",
                                                                  Zarvel3D::ZARVEL_TROIS_VUES);
    EXPECT_TRUE(autre->ValideInit() && autre->Genere());
    EXPECT_EQ(e.p.operations.load(), 2u);
    delete autre;
}
