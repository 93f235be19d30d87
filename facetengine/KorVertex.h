#pragma once

#include "KorGeometricStructure.h"

#include "LumPoint.h"

// A mesh vertex: position, one leaving half-edge (the most recently attached,
// -1 when isolated), normal and texture coordinate. The arithmetic acts on the
// position only; every other field is carried from the left operand.
class KorVertex : public KorGeometricStructure
{
public:
    KorVertex() = default;
    KorVertex(const double& x, const double& y, const double& z) : X(x), Y(y), Z(z) {}
    KorVertex(const KorVertex&) = default;
    KorVertex& operator=(const KorVertex&) = default;
    ~KorVertex() override = default;

    void Define(const double& x, const double& y, const double& z)
    {
        X = x;
        Y = y;
        Z = z;
    }

    KorVertex& operator*=(double k);
    // Divides when |k| is at least DivisionThreshold (negative k included);
    // otherwise reports one line and puts the vertex at the origin.
    KorVertex& operator/=(double k);
    KorVertex& operator+=(const KorVertex& v);
    KorVertex& operator-=(const KorVertex& v);

    double Norm() const;
    // Through operator/=, so a vertex at the origin reports and stays there.
    void Normalize();

    // The single-precision 1e-6, widened: the smallest divisor accepted.
    static const double DivisionThreshold;

    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    int Edge = -1;
    LumPoint Normal;
    bool NormalGiven = false;
    LumPoint Texture;
};

KorVertex operator+(const KorVertex& a, const KorVertex& b);
KorVertex operator-(const KorVertex& a, const KorVertex& b);
KorVertex operator*(const KorVertex& v, double k);
KorVertex operator/(const KorVertex& v, double k);
