#include "KorVertex.h"

#include "KorException.h"

#include <cmath>

const double KorVertex::DivisionThreshold = static_cast<double>(1e-6f);

KorVertex& KorVertex::operator*=(double k)
{
    X *= k;
    Y *= k;
    Z *= k;
    return *this;
}

KorVertex& KorVertex::operator/=(double k)
{
    // The magnitude is tested so that a negative divisor divides like any other.
    // NaN fails the test and zeroes too.
    if (std::fabs(k) >= DivisionThreshold)
    {
        X /= k;
        Y /= k;
        Z /= k;
        return *this;
    }
    KorReport("KorVertex::operator/=", "Divide by a number < 1e-06 impossible : Vertex set to 0");
    X = Y = Z = 0.0;
    return *this;
}

KorVertex& KorVertex::operator+=(const KorVertex& v)
{
    X += v.X;
    Y += v.Y;
    Z += v.Z;
    return *this;
}

KorVertex& KorVertex::operator-=(const KorVertex& v)
{
    X -= v.X;
    Y -= v.Y;
    Z -= v.Z;
    return *this;
}

double KorVertex::Norm() const
{
    return std::sqrt(X * X + Y * Y + Z * Z);
}

void KorVertex::Normalize()
{
    *this /= Norm();
}

KorVertex operator+(const KorVertex& a, const KorVertex& b)
{
    KorVertex r(a);
    r += b;
    return r;
}

KorVertex operator-(const KorVertex& a, const KorVertex& b)
{
    KorVertex r(a);
    r -= b;
    return r;
}

KorVertex operator*(const KorVertex& v, double k)
{
    KorVertex r(v);
    r *= k;
    return r;
}

KorVertex operator/(const KorVertex& v, double k)
{
    KorVertex r(v);
    r /= k;
    return r;
}
