#include "KorSinglePrecision.h"
#include "KorPlane.h"

#include <gtest/gtest.h>

#include <functional>

// Every operation whose result passes through single precision, on scenes
// whose exact answer is (0.1, 0.2, 0.3) (or 1.3 above it): none of these is a
// float, so each coordinate shows whether its own rounding was kept, and the
// three are checked together because an optimiser may drop one lane of a pair.
TEST(KorSinglePrecision, EveryOperationRoundsXYAndZ)
{
    const KorPlane z03({0, 0, 0.3}, {1, 0, 0.3}, {0, 1, 0.3});
    // x + 2y = 0.5: its line with z = 0.3 runs along (2, -1, 0), nearest the
    // origin at (0.1, 0.2, 0.3).
    const KorPlane slanted({0.5, 0, 0}, {0.1, 0.2, 0}, {0.1, 0.2, 1});
    const KorPlucker alongX({-0.9, 0.2, 0.3}, {1.1, 0.2, 0.3});
    const KorPlucker alongYAbove({0.1, -0.8, 1.3}, {0.1, 1.2, 1.3});
    struct Case
    {
        const char* name;
        std::function<LumPoint()> run;
        double zExact;
    };
    const Case cases[] = {
        {"KorToSingle", [] { return KorToSingle(LumPoint(0.1, 0.2, 0.3)); }, 0.3},
        {"Projection",
         [&] {
             return z03.Projection({0.1, 0.2, 7});
         },
         0.3},
        {"Intersection", [&] { return z03.Intersection(slanted).GetPoint1(); }, 0.3},
        {"PlaneIntersection",
         [&]
         {
             LumPoint out;
             EXPECT_TRUE(KorPlucker({0.1, 0.2, -1}, {0.1, 0.2, 1}).PlaneIntersection(z03, out));
             return out;
         },
         0.3},
        {"LineDistance first point",
         [&]
         {
             LumPoint pa, pb;
             EXPECT_NEAR(alongX.LineDistance(alongYAbove, pa, pb), 1.0, 1e-6);
             return pa;
         },
         0.3},
        {"LineDistance second point",
         [&]
         {
             LumPoint pa, pb;
             alongX.LineDistance(alongYAbove, pa, pb);
             return pb;
         },
         1.3},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const LumPoint p = c.run();
        EXPECT_EQ(p.x, static_cast<double>(0.1f));
        EXPECT_EQ(p.y, static_cast<double>(0.2f));
        EXPECT_EQ(p.z, static_cast<double>(static_cast<float>(c.zExact)));
    }
}
