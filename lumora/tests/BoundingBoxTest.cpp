#include "BoundingBox.h"
#include "Instance3D.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

TEST(BoundingBox, StartsEmptyAndDefinesFromCornersInAnyOrder)
{
    BoundingBox box;
    EXPECT_TRUE(box.IsEmpty());

    box.Define(LumPoint(3, -1, 5), LumPoint(-2, 4, 5));
    EXPECT_FALSE(box.IsEmpty());
    EXPECT_EQ(box.Min.x, -2);
    EXPECT_EQ(box.Min.y, -1);
    EXPECT_EQ(box.Min.z, 5);
    EXPECT_EQ(box.Max.x, 3);
    EXPECT_EQ(box.Max.y, 4);
    EXPECT_EQ(box.Max.z, 5);

    BoundingBox copy(box);
    EXPECT_FALSE(copy.IsEmpty());
    EXPECT_EQ(copy.Max.y, 4);
}

TEST(Instance3D, RenderModeIsAnOpenGLPolygonMode)
{
    Instance3D filled;
    EXPECT_EQ(filled.GetRenderMode(), GL_FILL);
    EXPECT_EQ(filled.GetObject(), nullptr);

    Instance3D lines(nullptr, GL_LINE);
    EXPECT_EQ(lines.GetRenderMode(), GL_LINE);
    lines.SetRenderMode(GL_POINT);
    EXPECT_EQ(lines.GetRenderMode(), GL_POINT);
}
