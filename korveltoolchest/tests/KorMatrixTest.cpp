#include "KorMatrix.h"

#include "GeometryTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

namespace
{
using Owned = std::unique_ptr<double[]>;

void Fill(std::mt19937& rng, double* m, int n)
{
    std::uniform_real_distribution<double> d(-3, 3);
    for (int i = 0; i < n; ++i)
        m[i] = d(rng);
}

// Rodrigues' formula: p turned by angle (radians) about the unit axis.
LumPoint Rotate(const LumPoint& p, const LumPoint& axis, double angle)
{
    return p * std::cos(angle) + (axis ^ p) * std::sin(angle) + axis * ((axis * p) * (1 - std::cos(angle)));
}
} // namespace

TEST(KorMatrix, Determinants)
{
    EXPECT_EQ(CalculateDetMat3x3(2, 0, 0, 0, 3, 0, 0, 0, 4), 24.0);
    // The first row is (a, b, c): swapping two rows flips the sign.
    EXPECT_EQ(CalculateDetMat3x3(0, 1, 0, 1, 0, 0, 0, 0, 1), -1.0);
    const double m[9] = {2, -1, 0, 1, 3, 5, -2, 0, 4};
    EXPECT_DOUBLE_EQ(CalculateDetMat3x3(m), 2 * 12 + 1 * (4 + 10));

    double outer[9];
    MultVectorsTo3x3({1, 2, 3}, {4, 5, 6}, outer);
    EXPECT_EQ(outer[1], 5.0);
    EXPECT_EQ(outer[3], 8.0);
    EXPECT_EQ(outer[8], 18.0);
    EXPECT_EQ(CalculateDetMat3x3(outer), 0.0);
}

TEST(KorMatrix, ProductsFollowTheirLayouts)
{
    std::mt19937 rng(3);
    for (int i = 0; i < 1000; ++i)
    {
        double A[9], B[9], AB[9];
        Fill(rng, A, 9);
        Fill(rng, B, 9);
        MultMatrix3x3(A, B, AB);
        ASSERT_NEAR(CalculateDetMat3x3(AB), CalculateDetMat3x3(A) * CalculateDetMat3x3(B), 1e-9);
        // Row-major: the first entry is row 0 of A times column 0 of B.
        ASSERT_DOUBLE_EQ(AB[1], A[0] * B[1] + A[1] * B[4] + A[2] * B[7]);

        double P[16], Q[16], PQ[16], QP[16], GL[16];
        Fill(rng, P, 16);
        Fill(rng, Q, 16);
        MultMatrix4x4(P, Q, PQ);
        MultMatrix4x4(Q, P, QP);
        MultGLMatrix(P, Q, GL);
        for (int k = 0; k < 16; ++k)
            ASSERT_EQ(GL[k], QP[k]);
        ASSERT_DOUBLE_EQ(PQ[4 * 2 + 3], P[8] * Q[3] + P[9] * Q[7] + P[10] * Q[11] + P[11] * Q[15]);
    }
}

TEST(KorMatrix, ProductsMayOverwriteAnOperand)
{
    using Product = void (*)(const double*, const double*, double*);
    std::mt19937 rng(8);
    for (auto [mult, n] :
         {std::pair<Product, int>{MultMatrix3x3, 9}, {MultMatrix4x4, 16}, {MultGLMatrix, 16}})
    {
        double A[16], B[16], expected[16], left[16], right[16], square[16];
        Fill(rng, A, n);
        Fill(rng, B, n);
        std::copy(A, A + n, left);
        std::copy(B, B + n, right);
        std::copy(A, A + n, square);
        mult(A, B, expected);
        mult(left, B, left);
        mult(A, right, right);
        for (int k = 0; k < n; ++k)
        {
            EXPECT_EQ(left[k], expected[k]);
            EXPECT_EQ(right[k], expected[k]);
        }
        mult(A, A, expected);
        mult(square, square, square);
        for (int k = 0; k < n; ++k)
            EXPECT_EQ(square[k], expected[k]);
    }
}

TEST(KorMatrix, GLTransforms)
{
    const Owned rz(GetRotationGLMatrix(2, 90));
    // cos of the eight-decimal pi is not exactly 0.
    ExpectPoint(MultMatrixGLxLumPoint(rz.get(), {1, 0, 0}), 0, -1, 0, 1e-8);

    const Owned none(GetRotationGLMatrix(3, 45));
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(none[k], 0.0);
    ExpectPoint(MultMatrixGLxLumPoint(none.get(), {4, 5, 6}), 0, 0, 0);

    const Owned tr(GetTranslationGLMatrix(1, 2, 3));
    const Owned sc(GetScaleGLMatrix(2, 2, 2));
    double m[16];
    MultGLMatrix(tr.get(), sc.get(), m);
    ExpectPoint(MultMatrixGLxLumPoint(m, {1, 1, 1}), 3, 4, 5);
    MultGLMatrix(sc.get(), tr.get(), m);
    ExpectPoint(MultMatrixGLxLumPoint(m, {1, 1, 1}), 4, 6, 8);

    // The in-place form reads all three coordinates before writing any.
    double x = 1, y = 2, z = 3;
    const Owned rx(GetRotationGLMatrix(0, 90));
    const LumPoint expected = MultMatrixGLxLumPoint(rx.get(), {x, y, z});
    MultMatrixGLxLumPoint(rx.get(), x, y, z);
    ExpectPoint({x, y, z}, expected.x, expected.y, expected.z, 0);

    // The fourth row is ignored: no perspective division.
    double proj[16] = {1, 0, 0, 5, 0, 1, 0, 5, 0, 0, 1, 5, 0, 0, 0, 5};
    ExpectPoint(MultMatrixGLxLumPoint(proj, {1, 2, 3}), 1, 2, 3);
}

TEST(KorMatrix, RotationsTurnByMinusTheAngle)
{
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> deg(-360, 360);
    const LumPoint axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3000; ++i)
    {
        const int axis = i % 3;
        const double a = deg(rng), b = deg(rng);
        double p3[3];
        Fill(rng, p3, 3);
        const LumPoint p(p3[0], p3[1], p3[2]);
        const Owned r(GetRotationGLMatrix(axis, a));
        const LumPoint ref = Rotate(p, axes[axis], -a / 180 * 3.14159265);
        const LumPoint got = MultMatrixGLxLumPoint(r.get(), p);
        ASSERT_NEAR(got.x, ref.x, 1e-12);
        ASSERT_NEAR(got.y, ref.y, 1e-12);
        ASSERT_NEAR(got.z, ref.z, 1e-12);
        // Composing two turns about one axis adds the angles.
        const Owned rb(GetRotationGLMatrix(axis, b)), rab(GetRotationGLMatrix(axis, a + b));
        double both[16];
        MultGLMatrix(r.get(), rb.get(), both);
        for (int k = 0; k < 16; ++k)
            ASSERT_NEAR(both[k], rab[k], 1e-12);
    }
}
