#include "KorMatrix.h"
#include "KorMesh.h"
#include "KorRay.h"
#include "LumTree.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"
#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
// A tree that builds nothing, to see whether an operation drops the mesh's.
class NullTree : public LumTree
{
public:
    explicit NullTree(KorMesh& mesh) : LumTree(mesh) {}
    void Render(LumoraDevice*, int) override {}
    bool IntersectRay(const KorRay&, KorMesh&, const double&, const double&, double&, bool, int&,
                      int&) const override
    {
        return false;
    }
    void ClearTree() override {}
    bool Build(KorMesh&) override { return true; }
};

const double kPi = 3.14159265358979323846;

// Distance from the origin to the nearest face plane: the ball of that
// radius lies inside a closed convex mesh around the origin.
double InnerRadius(KorMesh& mesh)
{
    double inner = 1e300;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
    {
        std::vector<LumPoint> ring;
        mesh.GetFacePoints(mesh.GetFace(id), ring);
        LumPoint n = (ring[1] - ring[0]) ^ (ring[2] - ring[0]);
        Normalize(n);
        inner = std::min(inner, std::fabs(n * ring[0]));
    }
    return inner;
}
} // namespace

TEST(KorMeshVolume, UnitCubeIsOneWhereverItLies)
{
    KorMesh cube;
    BuildUnitCube(cube);
    EXPECT_TRUE(CheckMesh(cube));
    EXPECT_NEAR(cube.GetVolume(), 1.0, 1e-12);
    EXPECT_NEAR(cube.GetSurface(), 6.0, 1e-12);

    cube.MoveMesh(LumPoint(1000.0, 1000.0, 1000.0));
    EXPECT_NEAR(cube.GetVolume(), 1.0, 1e-9);
    cube.MoveMesh(LumPoint(-2.5e5, 3.75e5, -1e3));
    EXPECT_NEAR(cube.GetVolume(), 1.0, 1e-9);

    KorMesh reversed;
    BuildUnitCube(reversed, true);
    EXPECT_TRUE(CheckMesh(reversed));
    EXPECT_NEAR(reversed.GetVolume(), -1.0, 1e-12);
    reversed.MoveMesh(LumPoint(1000.0, 1000.0, 1000.0));
    EXPECT_NEAR(reversed.GetVolume(), -1.0, 1e-9);
}

TEST(KorMeshVolume, OpenCubeDependsOnTheOrigin)
{
    KorMesh cube;
    BuildUnitCube(cube);
    cube.DeleteFace(1, false); // the top
    EXPECT_TRUE(CheckMesh(cube));
    // Without its top at height z the cube misses the cone z / 3 over it.
    EXPECT_NEAR(cube.GetVolume(), 1.0 - 1.0 / 3.0, 1e-12);
    cube.MoveMesh(LumPoint(0.0, 0.0, 3.0));
    EXPECT_NEAR(cube.GetVolume(), 1.0 - 4.0 / 3.0, 1e-12);
}

TEST(KorMeshVolume, TetrahedronAndSphereAgainstAnalyticValues)
{
    KorMesh tetra;
    BuildTetrahedron(tetra, 2.0, 3.0, 4.0);
    EXPECT_TRUE(CheckMesh(tetra));
    EXPECT_NEAR(tetra.GetVolume(), 4.0, 1e-12);
    EXPECT_NEAR(tetra.GetSurface(), 0.5 * (6.0 + 8.0 + 12.0 + std::sqrt(12.0 * 12 + 8.0 * 8 + 6.0 * 6)),
                1e-12);
    tetra.MoveMesh(LumPoint(1000.0, -1000.0, 1000.0));
    EXPECT_NEAR(tetra.GetVolume(), 4.0, 1e-9);

    // An inscribed polyhedron lies between the inner ball and the sphere,
    // and its volume tends to 4/3 pi from below.
    double previous = 0.0;
    for (int levels = 1; levels <= 4; ++levels)
    {
        KorMesh sphere;
        BuildIcosphere(sphere, levels);
        EXPECT_TRUE(CheckMesh(sphere));
        const double v = sphere.GetVolume();
        const double rin = InnerRadius(sphere);
        EXPECT_LT(v, 4.0 / 3.0 * kPi) << levels;
        EXPECT_GT(v, 4.0 / 3.0 * kPi * rin * rin * rin) << levels;
        EXPECT_GT(v, previous) << levels;
        previous = v;
        sphere.MoveMesh(LumPoint(1000.0, 1000.0, 1000.0));
        EXPECT_NEAR(sphere.GetVolume(), v, 1e-9) << levels;
    }
    EXPECT_NEAR(previous, 4.0 / 3.0 * kPi, 0.01);
}

TEST(KorMeshVolume, DifferenceOfOpenMeshesWithOneBoundaryIsTheVolumeBetween)
{
    // A unit square at z = 0 and a pyramid cap of height h over it, both
    // turning counterclockwise seen from above: the cap's volume is h / 3.
    const double h = 2.5;
    for (const LumPoint& shift : {LumPoint(0, 0, 0), LumPoint(1000, 1000, 1000), LumPoint(-7e4, 3e4, 12)})
    {
        KorMesh floor = MeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}});
        KorMesh cap = MeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 0.5, h}},
                             {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}});
        floor.MoveMesh(shift);
        cap.MoveMesh(shift);
        EXPECT_NEAR(cap.GetVolume() - floor.GetVolume(), h / 3.0, 1e-9);
    }
}

TEST(KorMeshSurface, FanOfTheRingFromItsFirstCorner)
{
    KorMesh mesh;
    EXPECT_EQ(mesh.GetSurface(), 0.0);
    EXPECT_EQ(mesh.GetFaceSurface(nullptr), 0.0);

    // The L of area 3; its fan from (2, 1, 0) sticks out of it (4.0), its
    // fan from the reflex corner (1, 1, 0) does not (3.0).
    const double l[6][2] = {{2, 1}, {1, 1}, {1, 2}, {0, 2}, {0, 0}, {2, 0}};
    for (const auto& p : l)
        mesh.AddVertex(p[0], p[1], 0.0);
    const int face = mesh.AddFace(6, 0, 1, 2, 3, 4, 5);
    ASSERT_GE(face, 0);
    EXPECT_NEAR(mesh.GetFaceSurface(mesh.GetFace(face)), 4.0, 1e-12);
    mesh.DeleteFace(face, false);
    const int again = mesh.AddFace(6, 1, 2, 3, 4, 5, 0);
    ASSERT_GE(again, 0);
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_NEAR(mesh.GetFaceSurface(mesh.GetFace(again)), 3.0, 1e-12);
    EXPECT_NEAR(mesh.GetSurface(), 3.0, 1e-12);
}

TEST(KorMeshTransform, MatrixMovesPositionsAndOptionallyNormals)
{
    KorMesh mesh;
    BuildTetrahedron(mesh, 1.0, 1.0, 1.0);
    mesh.GetVertex(1)->Normal = LumPoint(0, 0, 1);
    const LumPoint meanBefore = mesh.GetVerticesMean();

    std::unique_ptr<double[]> identity(GetTranslationGLMatrix(0.0, 0.0, 0.0));
    mesh.SetTree(new NullTree(mesh));
    mesh.GLTransform(identity.get(), nullptr);
    EXPECT_EQ(mesh.GetTree(), nullptr);
    EXPECT_EQ(mesh.GetVertex(1)->X, 1.0);
    EXPECT_EQ(mesh.GetVertex(1)->Normal.z, 1.0);

    // Rotation by -90 degrees about z (the matrix's column-major reading),
    // then a translation; the normal matrix holds a translation and shifts
    // the normal by it, unnormalised.
    std::unique_ptr<double[]> rotate(GetRotationGLMatrix(2, 90.0));
    std::unique_ptr<double[]> move(GetTranslationGLMatrix(10.0, 20.0, 30.0));
    double m[16];
    MultGLMatrix(move.get(), rotate.get(), m);
    mesh.GLTransform(m, move.get());
    const KorVertex* v = mesh.GetVertex(1); // was (1, 0, 0)
    EXPECT_NEAR(v->X, 10.0, 1e-8);
    EXPECT_NEAR(v->Y, 19.0, 1e-8);
    EXPECT_NEAR(v->Z, 30.0, 1e-12);
    EXPECT_EQ(v->Normal.x, 10.0);
    EXPECT_EQ(v->Normal.y, 20.0);
    EXPECT_EQ(v->Normal.z, 31.0);
    // The cached mean was dropped: it follows the vertices.
    EXPECT_NEAR(mesh.GetVerticesMean().z, meanBefore.z + 30.0, 1e-12);
    EXPECT_NEAR(mesh.GetVolume(), 1.0 / 6.0, 1e-9);

    mesh.MoveMesh(LumPoint(-10.0, -20.0, -30.0));
    EXPECT_NEAR(mesh.GetVertex(1)->Y, -1.0, 1e-8);
    EXPECT_EQ(mesh.GetVertex(1)->Normal.z, 31.0);

    const double x = mesh.GetVertex(2)->X;
    LumTree* tree = new NullTree(mesh);
    mesh.SetTree(tree);
    mesh.RotateAround(LumPoint(0, 0, 0), LumPoint(0, 0, 1), 45.0);
    EXPECT_EQ(mesh.GetVertex(2)->X, x);
    EXPECT_EQ(mesh.GetTree(), tree);
    EXPECT_TRUE(CheckMesh(mesh));
}

TEST(KorMeshRay, NearestHitAndMissLeaveTheRightResults)
{
    // Two unit squares, at z = 0 (faces 0, 1) and z = 1 (faces 2, 3).
    KorMesh mesh =
        MeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
               {{0, 1, 2}, {0, 2, 3}, {4, 5, 6}, {4, 6, 7}});
    const KorRay down(LumPoint(0.25, 0.75, 5.0), LumPoint(0, 0, -1));
    double t = -7.0;
    int face = 99;
    EXPECT_TRUE(mesh.IntersectRay(down, 0.0, 1e10, t, &face));
    EXPECT_NEAR(t, 4.0, 1e-12);
    EXPECT_EQ(face, 3);

    // Only the lower square is beyond 4.5.
    EXPECT_TRUE(mesh.IntersectRay(down, 4.5, 1e10, t, &face));
    EXPECT_NEAR(t, 5.0, 1e-12);
    EXPECT_EQ(face, 1);

    t = 123.0;
    face = 99;
    EXPECT_FALSE(mesh.IntersectRay(down, 0.0, 3.0, t, &face));
    EXPECT_EQ(t, 123.0);
    EXPECT_EQ(face, -1);
    EXPECT_FALSE(mesh.IntersectRay(down, 0.0, 3.0, t, nullptr));

    // Through a matrix the faces are moved, the mesh is not.
    std::unique_ptr<double[]> up(GetTranslationGLMatrix(0.0, 0.0, 2.0));
    EXPECT_TRUE(mesh.IntersectRay(down, 0.0, 1e10, up.get(), t, &face));
    EXPECT_NEAR(t, 2.0, 1e-12);
    EXPECT_EQ(face, 3);
    EXPECT_EQ(mesh.GetVertex(4)->Z, 1.0);
}
