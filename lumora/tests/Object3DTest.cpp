#include "Object3D.h"
#include "Instance3D.h"
#include "KorHashTable.h"
#include "KorRay.h"

#include <gtest/gtest.h>

namespace
{
// A box-shaped object that counts how often its box is computed.
class Counted : public Object3D
{
public:
    explicit Counted(const std::string& name) : Object3D(nullptr, name) {}
    void Grow(double size)
    {
        mSize = size;
        mBoundingBoxValid = false;
    }
    mutable int mCalculations = 0;

protected:
    BoundingBox CalculateBB() const override
    {
        ++mCalculations;
        BoundingBox box;
        if (mSize > 0.0)
            box.Define(LumPoint(0, 0, 0), LumPoint(mSize, mSize, mSize));
        return box;
    }

private:
    double mSize = 0.0;
};
} // namespace

TEST(Object3D, BoxIsComputedOnceUntilTheContentChanges)
{
    Counted object("box");
    EXPECT_TRUE(object.GetBoundingBox().IsEmpty());
    EXPECT_EQ(object.mCalculations, 1);

    object.Grow(2.0);
    EXPECT_EQ(object.mCalculations, 1);
    EXPECT_EQ(object.GetBoundingBox().Max.x, 2.0);
    EXPECT_EQ(object.GetBoundingBox().Max.z, 2.0);
    EXPECT_EQ(object.mCalculations, 2);

    object.Finalize(); // computes now
    EXPECT_EQ(object.mCalculations, 3);
    object.GetBoundingBox();
    EXPECT_EQ(object.mCalculations, 3);

    object.InitObject3D();
    object.GetBoundingBox();
    EXPECT_EQ(object.mCalculations, 4);
}

TEST(Object3D, RayMeetsTheBoxOnly)
{
    Counted object("box");
    const KorRay down(LumPoint(1, 1, 10), LumPoint(0, 0, -1));
    EXPECT_FALSE(object.IsIntersectedByRay(down, 0.0, 1e20)); // no box yet
    object.Grow(2.0);
    EXPECT_TRUE(object.IsIntersectedByRay(down, 0.0, 1e20));
    EXPECT_FALSE(object.IsIntersectedByRay(down, 0.0, 5.0));
    const KorRay beside(LumPoint(3, 1, 10), LumPoint(0, 0, -1));
    EXPECT_FALSE(object.IsIntersectedByRay(beside, 0.0, 1e20));
}

TEST(Object3D, CopyTakesNameDeviceAndBoxButNoDictionary)
{
    KorHashTable scene;
    Counted object("terrain");
    object.Grow(1.0);
    object.GetBoundingBox();
    scene.AddElement(&object);
    {
        Object3D copy(object);
        EXPECT_EQ(copy.GetName(), "terrain");
        EXPECT_EQ(copy.GetDevice(), nullptr);
        EXPECT_EQ(copy.GetBoundingBox().Max.y, 1.0);
        EXPECT_TRUE(copy.GetParentDictionaries().empty());
    }
    // Destroying the copy left the dictionary alone.
    EXPECT_EQ(scene.Search("terrain"), &object);
    EXPECT_EQ(scene.GetNumberOfWords(), 1u);

    // The base draws nothing and needs no context.
    Instance3D instance(&object);
    object.Render(&instance);
    object.RenderVertices(&instance);
    object.CloseRenderingContext();
    object.RenderingContextChanged();
}
