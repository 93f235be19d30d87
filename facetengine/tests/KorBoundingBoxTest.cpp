#include "KorBoundingBox.h"
#include "KorMatrix.h"
#include "KorMesh.h"
#include "KorRay.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
void ExpectPoint(const LumPoint& p, double x, double y, double z)
{
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
}

void ExpectCorners(const KorBoundingBox& box, const LumPoint& lo, const LumPoint& hi)
{
    ExpectPoint(box.GetMin(), lo.x, lo.y, lo.z);
    ExpectPoint(box.GetMax(), hi.x, hi.y, hi.z);
}

KorBoundingBox Box(const LumPoint& a, const LumPoint& b)
{
    KorBoundingBox box;
    box += a;
    box += b;
    return box;
}
} // namespace

TEST(KorBoundingBox, NewBoxIsNullAndStillContainsTheOrigin)
{
    KorBoundingBox box;
    EXPECT_TRUE(box.IsNull());
    EXPECT_TRUE(box.ContainsPoint(LumPoint(0, 0, 0)));
    EXPECT_FALSE(box.ContainsPoint(LumPoint(0, 0, 1e-12)));

    // Corners from two points leave the box marked empty.
    box.Define(LumPoint(2, -1, 3), LumPoint(-2, 1, 0));
    EXPECT_TRUE(box.IsNull());
    ExpectCorners(box, LumPoint(-2, -1, 0), LumPoint(2, 1, 3));

    box.Init();
    ExpectPoint(box.GetMax(), 0, 0, 0);
}

TEST(KorBoundingBox, MergingPointsAndBoxes)
{
    KorBoundingBox box;
    box += LumPoint(1, 2, 3);
    EXPECT_FALSE(box.IsNull());
    ExpectCorners(box, LumPoint(1, 2, 3), LumPoint(1, 2, 3));
    box += LumPoint(-1, 5, 3);
    ExpectCorners(box, LumPoint(-1, 2, 3), LumPoint(1, 5, 3));

    // A box merged into a new box is taken as it is, not stretched to the
    // new box's origin corners.
    KorBoundingBox merged;
    merged += Box(LumPoint(1, 1, 1), LumPoint(2, 2, 2));
    ExpectCorners(merged, LumPoint(1, 1, 1), LumPoint(2, 2, 2));

    // An empty box merged in changes nothing.
    merged += KorBoundingBox();
    ExpectCorners(merged, LumPoint(1, 1, 1), LumPoint(2, 2, 2));

    merged += Box(LumPoint(-3, 1.5, 1.5), LumPoint(0, 1.5, 7));
    ExpectCorners(merged, LumPoint(-3, 1, 1), LumPoint(2, 2, 7));
}

TEST(KorBoundingBox, DefineFromMeshTakesLiveVerticesOnly)
{
    KorMesh mesh;
    KorBoundingBox box;
    box.Define(mesh);
    EXPECT_TRUE(box.IsNull()); // no vertex: left as it was

    mesh.AddVertex(100.0, 100.0, 100.0);
    mesh.AddVertex(1.0, -2.0, 3.0);
    mesh.AddVertex(-4.0, 5.0, 0.5);
    mesh.DeleteVertex(0);
    box.Define(mesh);
    EXPECT_FALSE(box.IsNull());
    ExpectCorners(box, LumPoint(-4, -2, 0.5), LumPoint(1, 5, 3));

    // An emptied mesh leaves the box as it was.
    mesh.Clear();
    box.Define(mesh);
    ExpectPoint(box.GetMax(), 1, 5, 3);
}

TEST(KorBoundingBox, PointAndBoxContactsCountAsInside)
{
    const KorBoundingBox box = Box(LumPoint(0, 0, 0), LumPoint(1, 1, 1));
    EXPECT_TRUE(box.ContainsPoint(LumPoint(1, 0.5, 0.5)));
    EXPECT_TRUE(box.ContainsPoint(LumPoint(0, 0, 0)));
    EXPECT_FALSE(box.ContainsPoint(LumPoint(1.0000001, 0.5, 0.5)));

    const KorBoundingBox face = Box(LumPoint(1, 0, 0), LumPoint(2, 1, 1));
    const KorBoundingBox corner = Box(LumPoint(1, 1, 1), LumPoint(2, 2, 2));
    const KorBoundingBox apart = Box(LumPoint(0, 0, 1.5), LumPoint(1, 1, 2));
    for (const KorBoundingBox* other : {&face, &corner})
    {
        EXPECT_TRUE(box.IntersectBB(*other));
        EXPECT_TRUE(other->IntersectBB(box));
    }
    EXPECT_FALSE(box.IntersectBB(apart));
    EXPECT_FALSE(apart.IntersectBB(box));
}

TEST(KorBoundingBox, SegmentRejectionIsPerFacePlane)
{
    const KorBoundingBox box = Box(LumPoint(0, 0, 0), LumPoint(1, 1, 1));
    // Both ends beyond the same face: rejected, in either order.
    EXPECT_FALSE(box.CanContainSegment(LumPoint(2, 0, 0), LumPoint(3, 1, 1)));
    EXPECT_FALSE(box.CanContainSegment(LumPoint(0.5, 0.5, -1), LumPoint(0.2, 0.1, -0.1)));
    // Straddling every slab but passing outside a corner: not rejected.
    EXPECT_TRUE(box.CanContainSegment(LumPoint(-1, 1.5, 0.5), LumPoint(1.5, -1, 0.5)));
    EXPECT_TRUE(box.CanContainSegment(LumPoint(0.5, 0.5, 0.5), LumPoint(9, 9, 9)));
}

TEST(KorBoundingBox, RayAgainstPlainAndTransformedBox)
{
    const KorBoundingBox box = Box(LumPoint(0, 0, 0), LumPoint(1, 1, 1));
    const KorRay down(LumPoint(0.5, 0.5, 5), LumPoint(0, 0, -1));
    const KorRay beside(LumPoint(3.5, 0.5, 5), LumPoint(0, 0, -1));
    EXPECT_TRUE(box.IntersectRay(down, 0.0, 1e10, nullptr));
    EXPECT_FALSE(box.IntersectRay(down, 0.0, 3.0, nullptr)); // top face at distance 4
    EXPECT_FALSE(box.IntersectRay(beside, 0.0, 1e10, nullptr));

    // Moved by (3, 0, 0), the box lies under the second ray only.
    std::unique_ptr<double[]> move(GetTranslationGLMatrix(3.0, 0.0, 0.0));
    EXPECT_FALSE(box.IntersectRay(down, 0.0, 1e10, move.get()));
    EXPECT_TRUE(box.IntersectRay(beside, 0.0, 1e10, move.get()));

    // From inside, leaving through the face y = Min.y.
    const KorRay out(LumPoint(0.5, 0.5, 0.5), LumPoint(0, -1, 0));
    EXPECT_TRUE(box.IntersectRay(out, 0.0, 1e10, nullptr));
    std::unique_ptr<double[]> identity(GetTranslationGLMatrix(0.0, 0.0, 0.0));
    EXPECT_TRUE(box.IntersectRay(out, 0.0, 1e10, identity.get()));
}
