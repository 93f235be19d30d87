#pragma once

#include "LumPoint.h"

// Small dense matrices on plain arrays of doubles (9 for 3 x 3, 16 for
// 4 x 4); no function checks its arrays. Two storage orders are in use, each
// function tied to one:
//  - row-major, (r, c) at N r + c: MultMatrix3x3, MultMatrix4x4,
//    MultVectorsTo3x3 and the array form of CalculateDetMat3x3;
//  - column-major, the OpenGL layout, (r, c) at 4 c + r with the translation
//    at 12, 13, 14: MultGLMatrix, MultMatrixGLxLumPoint and the Get...GLMatrix
//    builders.
// Products go through a temporary, so the result may be one of the operands.
// The Get...GLMatrix builders return a new double[16] that the caller frees
// with delete[].

// The determinant of the rows (a b c), (d e f), (g h i).
double CalculateDetMat3x3(const double& a, const double& b, const double& c, const double& d, const double& e,
                          const double& f, const double& g, const double& h, const double& i);
double CalculateDetMat3x3(const double* m);

// C = A B, row-major.
void MultMatrix3x3(const double* A, const double* B, double* C);
void MultMatrix4x4(const double* A, const double* B, double* C);
// M = u v^T, row-major: M[3 r + c] = u_r v_c.
void MultVectorsTo3x3(const LumPoint& u, const LumPoint& v, double* M);

// C = A B in column-major layout: applied to a point, B acts first.
void MultGLMatrix(const double* A, const double* B, double* C);

// The affine part of M applied to p; the fourth row is ignored, nothing is
// divided.
inline LumPoint MultMatrixGLxLumPoint(const double* M, const LumPoint& p)
{
    return LumPoint(M[0] * p.x + M[4] * p.y + M[8] * p.z + M[12],
                    M[1] * p.x + M[5] * p.y + M[9] * p.z + M[13],
                    M[2] * p.x + M[6] * p.y + M[10] * p.z + M[14]);
}
inline void MultMatrixGLxLumPoint(const double* M, double& x, double& y, double& z)
{
    const LumPoint r = MultMatrixGLxLumPoint(M, LumPoint(x, y, z));
    x = r.x;
    y = r.y;
    z = r.z;
}

double* GetScaleGLMatrix(const double& sx, const double& sy, const double& sz);
double* GetTranslationGLMatrix(const double& tx, const double& ty, const double& tz);
// Axis 0, 1 or 2 (X, Y, Z) and an angle in degrees (pi = 3.14159265). Read
// column-major, as MultMatrixGLxLumPoint does, the matrix turns points by
// -angle about the axis; read row-major it is the usual rotation by +angle.
// Any other axis gives the all-zero matrix.
double* GetRotationGLMatrix(const int& axis, const double& angle);
