#include "LumCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
const double kTol = 1e-9;

// The top view as the program sets it up: mode, zoom, then the eye above
// the centre and the target below it.
LumCamera TopView(double extent, double cx, double cy)
{
    LumCamera camera;
    camera.ChangeCameraMode(LumCamera::TopView);
    camera.SetCanvasSize(800, 600);
    camera.SetDistance(extent);
    camera.SetPosition(cx, cy, 10000);
    camera.SetTarget(cx, cy, 0);
    return camera;
}

// Where the camera's own matrix puts a scene point, in pixels from the
// top-left corner: the route OpenGL takes, against GetPosition's.
void Project(const LumCamera& camera, const LumPoint& p, double& px, double& py)
{
    double m[16];
    camera.GetProjectionMatrix(m);
    const double v[4] = {p.x, p.y, p.z, 1.0};
    double clip[4] = {0, 0, 0, 0};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k)
            clip[row] += m[k * 4 + row] * v[k];
    px = (clip[0] / clip[3] + 1.0) / 2.0 * camera.GetCanvasWidth();
    py = (1.0 - clip[1] / clip[3]) / 2.0 * camera.GetCanvasHeight();
}
} // namespace

TEST(LumCamera, TopViewPixelsMapOntoTheSceneWithoutContext)
{
    const double E = 123.4, cx = 1000.5, cy = -250.25;
    const LumCamera camera = TopView(E, cx, cy);
    EXPECT_EQ(camera.GetMode(), 3);
    EXPECT_NEAR(camera.GetExtent(), E, kTol); // the eye's z left the zoom alone
    EXPECT_NEAR(camera.GetViewWidth(), 4 * E / 3, kTol);

    struct Case
    {
        double px, py, x, y;
    } cases[] = {
        {400, 300, cx, cy},
        {0, 0, cx - 2 * E / 3, cy + E / 2},
        {800, 600, cx + 2 * E / 3, cy - E / 2},
        {800, 0, cx + 2 * E / 3, cy + E / 2},
        {200, 450, cx - E / 3, cy - E / 4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "pixel " << c.px << "," << c.py);
        const LumPoint p = camera.GetPosition(c.px, c.py);
        EXPECT_NEAR(p.x, c.x, kTol);
        EXPECT_NEAR(p.y, c.y, kTol);
        EXPECT_NEAR(p.z, 0.0, kTol);
        const KorRay ray = camera.GetRay(c.px, c.py);
        EXPECT_NEAR(ray.GetDirection().x, 0.0, kTol);
        EXPECT_NEAR(ray.GetDirection().y, 0.0, kTol);
        EXPECT_NEAR(ray.GetDirection().z, -1.0, kTol);
        EXPECT_NEAR(ray.GetOrigin().x, c.x, kTol);
        EXPECT_NEAR(ray.GetOrigin().y, c.y, kTol);
        EXPECT_GT(ray.GetOrigin().z, 10000.0);
        double px, py;
        Project(camera, p, px, py);
        EXPECT_NEAR(px, c.px, 1e-6);
        EXPECT_NEAR(py, c.py, 1e-6);
    }
}

TEST(LumCamera, FreeCameraRaysLeaveTheEyeWithinTheFieldOfView)
{
    LumCamera camera;
    camera.SetCanvasSize(640, 480);
    camera.SetTarget(10, 20, 0);
    camera.SetPosition(10, -30, 50);
    EXPECT_NEAR(camera.GetDistance(), 50 * std::sqrt(2.0), kTol);

    const KorRay centre = camera.GetRay(320, 240);
    EXPECT_NEAR((centre.GetOrigin() - LumPoint(10, -30, 50)).Norm(), 0, kTol);
    EXPECT_NEAR(centre.GetDirection().x, 0, kTol);
    EXPECT_NEAR(centre.GetDirection().y, std::sqrt(0.5), kTol);
    EXPECT_NEAR(centre.GetDirection().z, -std::sqrt(0.5), kTol);
    // The centre pixel looks at the target, which lies on z = 0.
    const LumPoint hit = camera.GetPosition(320, 240);
    EXPECT_NEAR(hit.x, 10, 1e-9);
    EXPECT_NEAR(hit.y, 20, 1e-9);
    EXPECT_NEAR(hit.z, 0, 1e-9);

    // The top edge's ray is half the 45° field above the centre's.
    const KorRay top = camera.GetRay(320, 0);
    EXPECT_NEAR(std::acos(top.GetDirection() * centre.GetDirection()) * 180 / M_PI, 22.5, 1e-9);
    // A ray above the horizon never reaches z = 0: its point lies at the
    // target's distance along it.
    camera.SetPosition(10, -30, 0.5);
    const LumPoint far = camera.GetPosition(320, 0);
    EXPECT_NEAR((far - camera.GetPosition()).Norm(), camera.GetDistance(), 1e-9);

    // The GL matrix sends each unprojected point back to its pixel.
    camera.SetPosition(10, -30, 50);
    for (const double px : {0.0, 100.0, 320.0, 639.0})
        for (const double py : {200.0, 300.0, 479.0})
        {
            double qx, qy;
            Project(camera, camera.GetPosition(px, py), qx, qy);
            EXPECT_NEAR(qx, px, 1e-6);
            EXPECT_NEAR(qy, py, 1e-6);
        }
}

TEST(LumCamera, ModesDistancesAndRefusals)
{
    LumCamera camera;
    camera.SetTarget(5, 5, 0);
    camera.SetPosition(5, 5, 30);
    EXPECT_TRUE(camera.SetDistance(10)); // the eye slides along its line
    EXPECT_NEAR(camera.GetPosition().z, 10, kTol);
    EXPECT_NEAR(camera.GetPosition().x, 5, kTol);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const double bad : {0.0, -3.0, 1e-6, nan, inf})
    {
        EXPECT_FALSE(camera.SetDistance(bad)) << bad;
        EXPECT_NEAR(camera.GetDistance(), 10, kTol);
    }
    for (const int bad : {0, 2, 5, 6})
    {
        EXPECT_FALSE(camera.ChangeCameraMode(bad)) << bad;
        EXPECT_EQ(camera.GetMode(), 1);
    }

    // The top view keeps the zoom, centred above the target.
    ASSERT_TRUE(camera.ChangeCameraMode(3));
    EXPECT_NEAR(camera.GetExtent(), 10, kTol);
    EXPECT_NEAR(camera.GetPosition().x, 5, kTol);
    EXPECT_NEAR(camera.GetPosition().z, 10000, kTol);
    // A zero-sized canvas neither divides by zero nor moves the centre.
    camera.SetCanvasSize(0, 0);
    const LumPoint p = camera.GetPosition(0, 0);
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}
