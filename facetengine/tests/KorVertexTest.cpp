#include "KorVertex.h"

#include <gtest/gtest.h>

#include <utility>

namespace
{
const char* const kGuardLine =
    "KorVertex::operator/= -> Divide by a number < 1e-06 impossible : Vertex set to 0\n";

KorVertex Tagged(double x, double y, double z)
{
    KorVertex v(x, y, z);
    v.ID = 7;
    v.Edge = 3;
    v.Normal.Define(0, 0, 1);
    v.NormalGiven = true;
    v.Texture.Define(0.25, 0.5, 0);
    return v;
}

void ExpectAt(const KorVertex& v, double x, double y, double z)
{
    EXPECT_EQ(v.X, x);
    EXPECT_EQ(v.Y, y);
    EXPECT_EQ(v.Z, z);
}

void ExpectTagsKept(const KorVertex& v)
{
    EXPECT_EQ(v.ID, 7);
    EXPECT_EQ(v.Edge, 3);
    EXPECT_EQ(v.Normal.z, 1.0);
    EXPECT_TRUE(v.NormalGiven);
    EXPECT_EQ(v.Texture.y, 0.5);
}
} // namespace

TEST(KorVertex, ArithmeticMovesThePositionAndKeepsTheLeftOperandsFields)
{
    const KorVertex a = Tagged(1, 2, 3);
    const KorVertex b(4, 6, 8);
    const std::pair<KorVertex, LumPoint> cases[] = {
        {a + b, {5, 8, 11}}, {a - b, {-3, -4, -5}}, {a * 2.0, {2, 4, 6}}, {a / 2.0, {0.5, 1, 1.5}}};
    for (const auto& [v, p] : cases)
    {
        ExpectAt(v, p.x, p.y, p.z);
        ExpectTagsKept(v);
    }
    EXPECT_DOUBLE_EQ(KorVertex(2, 3, 6).Norm(), 7.0);
}

TEST(KorVertex, DivisionGuardTestsTheMagnitudeOfTheDivisor)
{
    // Negative divisors divide like positive ones.
    testing::internal::CaptureStdout();
    KorVertex v(2, -4, 6);
    v /= -2.0;
    ExpectAt(v, -1, 2, -3);
    KorVertex atThreshold(1, 1, 1);
    atThreshold /= KorVertex::DivisionThreshold;
    EXPECT_DOUBLE_EQ(atThreshold.X, 1.0 / static_cast<double>(1e-6f));
    KorVertex negativeThreshold(1, 1, 1);
    negativeThreshold /= -KorVertex::DivisionThreshold;
    EXPECT_LT(negativeThreshold.X, -1e5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    for (double k : {0.0, 0.5e-6, -0.5e-6})
    {
        testing::internal::CaptureStdout();
        KorVertex w = Tagged(3, 4, 5);
        w /= k;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), kGuardLine) << k;
        ExpectAt(w, 0, 0, 0);
        ExpectTagsKept(w);
    }
}

TEST(KorVertex, NormalizeGivesAUnitVectorAndReportsAtTheOrigin)
{
    KorVertex v(3, 0, 4);
    v.Normalize();
    EXPECT_DOUBLE_EQ(v.X, 0.6);
    EXPECT_DOUBLE_EQ(v.Z, 0.8);
    testing::internal::CaptureStdout();
    KorVertex origin;
    origin.Normalize();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kGuardLine);
    EXPECT_EQ(origin.Norm(), 0.0);
}
