// Solids and scenes generated from the four built-in test drawings.

#include "engine/zarvel_moteur.h"
#include "engine_dessins.h"
#include "occt/zarvel_occt_module.h"

#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <gtest/gtest.h>

#include <GProp_GProps.hxx>
#include <ShapeAnalysis_Shell.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <cmath>
#include <memory>
#include <string>

namespace
{

struct Attendu
{
    const char* nom;
    int (*dessin)(Zarvel3D::Zarvel&);
    int faces;
    double volume;
};

void PrintTo(const Attendu& a, std::ostream* os)
{
    *os << a.nom;
}

using essais::Moteur;

Moteur NouveauMoteur()
{
    return Moteur(Zarvel3D::Zarvel::Construct(essais::ParametresProgramme(), nullptr));
}

int NombreFaces(const TopoDS_Shape& forme)
{
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(forme, TopAbs_FACE, faces);
    return faces.Extent();
}

double Volume(const TopoDS_Shape& forme)
{
    GProp_GProps p;
    BRepGProp::VolumeProperties(forme, p);
    return p.Mass();
}

bool Ferme(const TopoDS_Shape& forme)
{
    ShapeAnalysis_Shell coques;
    for (TopExp_Explorer exp(forme, TopAbs_SHELL); exp.More(); exp.Next())
    {
        coques.LoadShells(exp.Current());
    }
    return !coques.CheckOrientedShells(forme, Standard_True) && !coques.HasFreeEdges();
}

class DessinsEssai : public ::testing::TestWithParam<Attendu>
{
};

TEST_P(DessinsEssai, SolideAttendu)
{
    const Attendu& attendu = GetParam();
    Moteur z = NouveauMoteur();
    ASSERT_NE(z, nullptr);
    ASSERT_EQ(attendu.dessin(*z), 0) << z->Diagnostic();
    const TopoDS_Shape solide = Zarvel3D::moteur::SolideMoteur(*z);
    ASSERT_FALSE(solide.IsNull());
    int solides = 0;
    for (TopExp_Explorer exp(solide, TopAbs_SOLID); exp.More(); exp.Next())
    {
        ++solides;
    }
    EXPECT_EQ(solides, 1);
    EXPECT_EQ(NombreFaces(solide), attendu.faces);
    EXPECT_NEAR(Volume(solide), attendu.volume, attendu.volume * 1e-6);
    EXPECT_TRUE(BRepCheck_Analyzer(solide).IsValid());
    EXPECT_TRUE(Ferme(solide));
}

TEST_P(DessinsEssai, SceneDuSolide)
{
    const Attendu& attendu = GetParam();
    Moteur z = NouveauMoteur();
    ASSERT_EQ(attendu.dessin(*z), 0) << z->Diagnostic();
    const Zarvel3D::PScene3D& scene = z->Scene();
    EXPECT_TRUE(scene.ContientSolide());
    EXPECT_EQ(&scene, z->ScenePtr());
    const Zarvel3D::PModele3D& modele = scene.Modele();
    ASSERT_EQ(modele.surfaces.size(), static_cast<std::size_t>(attendu.faces));

    // Signed volume of the triangles: close to the solid's, and positive
    // only when every triangle faces outwards.
    double volume = 0.0;
    for (const Zarvel3D::PSurface3D& surface : modele.surfaces)
    {
        ASSERT_FALSE(surface.triangles.empty());
        for (const Zarvel3D::PTriangle3D& t : surface.triangles)
        {
            for (const Zarvel3D::Pvec3& coin : t.sommets)
            {
                ASSERT_GE(coin.id, 0);
                ASSERT_LT(static_cast<std::size_t>(coin.id), modele.sommets.size());
                const Zarvel3D::Pvec3& n = modele.sommets[static_cast<std::size_t>(coin.id)].normale;
                // Smoothing normals point the same way as the facet.
                EXPECT_GT(n.x * t.normale.x + n.y * t.normale.y + n.z * t.normale.z, 0.5);
            }
            const Zarvel3D::Pvec3& a = t.sommets[0];
            const Zarvel3D::Pvec3& b = t.sommets[1];
            const Zarvel3D::Pvec3& c = t.sommets[2];
            volume += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
                       a.z * (b.x * c.y - b.y * c.x)) /
                      6.0;
        }
    }
    EXPECT_NEAR(volume, attendu.volume, attendu.volume * 0.03);

    // Edges: every sharp edge at least once, each end on a model vertex.
    EXPECT_GE(modele.segments.size(), 12u);
    for (const Zarvel3D::PSegment3D& s : modele.segments)
    {
        ASSERT_GE(s.p1.id, 0);
        ASSERT_LT(static_cast<std::size_t>(s.p2.id), modele.sommets.size());
    }
    std::size_t visibles = 0;
    for (const Zarvel3D::PSommet3D& s : modele.sommets)
    {
        visibles += s.visible;
    }
    EXPECT_GE(visibles, 2u);
    EXPECT_LT(visibles, modele.sommets.size());

    EXPECT_FALSE(scene.Projections().empty());
    EXPECT_FALSE(scene.Textes().empty());
    EXPECT_TRUE(std::isfinite(scene.EchelleAffichage()));
    EXPECT_GT(scene.EchelleAffichage(), 0.0);
}

const double pi = std::acos(-1.0);

INSTANTIATE_TEST_SUITE_P(Zarvel, DessinsEssai,
                         ::testing::Values(Attendu{"GenCube", essais::GenCube, 6, 3375.0},
                                           Attendu{"GenMod", essais::GenMod, 7, 900.0 - 6.0 * pi * 4.0 * 3.0},
                                           Attendu{"GenExtrusion", essais::GenExtrusion, 6, 500.0},
                                           Attendu{"GenRevolution", essais::GenRevolution, 6,
                                                   0.75 * pi*(13.0 * 13.0 - 3.0 * 3.0) * 10.0}),
                         [](const ::testing::TestParamInfo<Attendu>& info)
                         { return std::string(info.param.nom); });

} // namespace
