#include "SceneCoordinates.h"
#include "ModelTestSupport.h"

namespace
{
using SceneCoordinatesTest = ModelTest;

// World and scene points that are exact images of each other under a scale
// and an origin: x, y = (world - origin) * 100 / scale, z = z * 100 / scale.
TEST_F(SceneCoordinatesTest, PointsConvertExactlyBothWays)
{
    struct Case
    {
        double echelle, ox, oy;
        LumPoint world, scene;
    };
    const Case cases[] = {
        {100.0, 0.0, 0.0, LumPoint(12.5, -3.25, 7.0), LumPoint(12.5, -3.25, 7.0)},
        {50.0, 1000.0, 2000.0, LumPoint(1010.0, 2020.0, 5.0), LumPoint(20.0, 40.0, 10.0)},
        {200.0, -10.0, 4.0, LumPoint(-6.0, 0.0, -8.0), LumPoint(2.0, -2.0, -4.0)},
        {25.0, 0.5, 0.25, LumPoint(0.5, 0.25, 0.0), LumPoint(0.0, 0.0, 0.0)},
    };
    for (const Case& c : cases)
    {
        gProjet.Echelle = c.echelle;
        gProjet.OrigineX = c.ox;
        gProjet.OrigineY = c.oy;
        const LumPoint scene = WorldToScene(gProjet, c.world);
        const LumPoint world = SceneToWorld(gProjet, c.scene);
        EXPECT_EQ(scene.x, c.scene.x) << c.echelle;
        EXPECT_EQ(scene.y, c.scene.y) << c.echelle;
        EXPECT_EQ(scene.z, c.scene.z) << c.echelle;
        EXPECT_EQ(world.x, c.world.x) << c.echelle;
        EXPECT_EQ(world.y, c.world.y) << c.echelle;
        EXPECT_EQ(world.z, c.world.z) << c.echelle;
        EXPECT_EQ(gProjet.GetOrigine().x, c.ox);
        EXPECT_EQ(gProjet.GetOrigine().z, 0.0);
    }
}

// Lengths and vectors ignore the origin; areas scale by the square and
// volumes by the cube of metres per scene unit, never below 0.
TEST_F(SceneCoordinatesTest, LengthsAreasAndVolumesFollowTheScale)
{
    gProjet.OrigineX = 1000.0;
    gProjet.OrigineY = 2000.0;
    struct Case
    {
        double echelle, sceneValue, length, area, volume;
    };
    const Case cases[] = {
        {200.0, 3.0, 6.0, 12.0, 24.0},     // 2 m per unit: x2, x4, x8
        {50.0, 8.0, 4.0, 2.0, 1.0},        // 0.5 m per unit
        {100.0, -0.001, -0.001, 0.0, 0.0}, // areas and volumes clamp at 0
        {200.0, -5.0, -10.0, 0.0, 0.0},
    };
    for (const Case& c : cases)
    {
        gProjet.Echelle = c.echelle;
        EXPECT_DOUBLE_EQ(SceneToWorldLength(gProjet, c.sceneValue), c.length) << c.echelle;
        EXPECT_DOUBLE_EQ(SceneToWorldArea(gProjet, c.sceneValue), c.area) << c.echelle;
        EXPECT_DOUBLE_EQ(SceneToWorldVolume(gProjet, c.sceneValue), c.volume) << c.echelle;
        EXPECT_DOUBLE_EQ(WorldToSceneLength(gProjet, c.length), c.sceneValue) << c.echelle;
        const LumPoint v = WorldToSceneVector(gProjet, LumPoint(c.length, -c.length, 0.0));
        EXPECT_DOUBLE_EQ(v.x, c.sceneValue);
        EXPECT_DOUBLE_EQ(v.y, -c.sceneValue);
        EXPECT_EQ(v.z, 0.0);
    }
}
} // namespace
