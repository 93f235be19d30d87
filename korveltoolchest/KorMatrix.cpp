#include "KorMatrix.h"

#include <algorithm>

namespace
{
// C = A B for N x N row-major matrices, through a temporary so that C may
// alias A or B. O(N^3).
template <int N> void MultiplyRowMajor(const double* A, const double* B, double* C)
{
    double r[N * N];
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j)
        {
            double s = 0;
            for (int k = 0; k < N; ++k)
                s += A[N * i + k] * B[N * k + j];
            r[N * i + j] = s;
        }
    std::copy(r, r + N * N, C);
}

double* NewZeroMatrix()
{
    return new double[16]();
}
} // namespace

double CalculateDetMat3x3(const double& a, const double& b, const double& c, const double& d, const double& e,
                          const double& f, const double& g, const double& h, const double& i)
{
    return a * e * i + b * f * g + c * d * h - c * e * g - b * d * i - a * f * h;
}

double CalculateDetMat3x3(const double* m)
{
    return CalculateDetMat3x3(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8]);
}

void MultMatrix3x3(const double* A, const double* B, double* C)
{
    MultiplyRowMajor<3>(A, B, C);
}

void MultMatrix4x4(const double* A, const double* B, double* C)
{
    MultiplyRowMajor<4>(A, B, C);
}

void MultVectorsTo3x3(const LumPoint& u, const LumPoint& v, double* M)
{
    const double us[3] = {u.x, u.y, u.z}, vs[3] = {v.x, v.y, v.z};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            M[3 * r + c] = us[r] * vs[c];
}

// Column-major A B is row-major B A on the same arrays.
void MultGLMatrix(const double* A, const double* B, double* C)
{
    MultiplyRowMajor<4>(B, A, C);
}

double* GetScaleGLMatrix(const double& sx, const double& sy, const double& sz)
{
    double* m = NewZeroMatrix();
    m[0] = sx;
    m[5] = sy;
    m[10] = sz;
    m[15] = 1;
    return m;
}

double* GetTranslationGLMatrix(const double& tx, const double& ty, const double& tz)
{
    double* m = NewZeroMatrix();
    m[0] = m[5] = m[10] = m[15] = 1;
    m[12] = tx;
    m[13] = ty;
    m[14] = tz;
    return m;
}

double* GetRotationGLMatrix(const int& axis, const double& angle)
{
    const double a = angle / 180.0 * 3.14159265;
    const double s = std::sin(a), k = std::cos(a);
    double* m = NewZeroMatrix();
    switch (axis)
    {
    case 0:
        m[0] = 1;
        m[5] = k;
        m[6] = -s;
        m[9] = s;
        m[10] = k;
        m[15] = 1;
        break;
    case 1:
        m[0] = k;
        m[2] = s;
        m[5] = 1;
        m[8] = -s;
        m[10] = k;
        m[15] = 1;
        break;
    case 2:
        m[0] = k;
        m[1] = -s;
        m[4] = s;
        m[5] = k;
        m[10] = 1;
        m[15] = 1;
        break;
    default:
        break;
    }
    return m;
}
