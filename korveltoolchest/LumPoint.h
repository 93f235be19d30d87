#pragma once

#include <cmath>

// A 3D point or vector: the one geometric value type of the system.
// Three contiguous doubles (an array of LumPoint is an array of x, y, z
// triples). 1e-5 is the one "nearly zero" threshold for points: divisions by
// a smaller factor and normalisations of a shorter vector give the origin.
struct LumPoint
{
    double x;
    double y;
    double z;

    LumPoint() : x(0.0), y(0.0), z(0.0) {}
    LumPoint(const double& px, const double& py, const double& pz) : x(px), y(py), z(pz) {}

    void Init() { x = y = z = 0.0; }
    void Define(const double& px, const double& py, const double& pz)
    {
        x = px;
        y = py;
        z = pz;
    }

    LumPoint& operator*=(double k)
    {
        x *= k;
        y *= k;
        z *= k;
        return *this;
    }
    LumPoint& operator/=(double k)
    {
        if (std::fabs(k) < 1e-5)
            Init();
        else
        {
            x /= k;
            y /= k;
            z /= k;
        }
        return *this;
    }
    LumPoint& operator+=(const LumPoint& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    LumPoint& operator-=(const LumPoint& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    LumPoint& operator^=(const LumPoint& b)
    {
        const double nx = y * b.z - z * b.y;
        const double ny = z * b.x - x * b.z;
        const double nz = x * b.y - y * b.x;
        x = nx;
        y = ny;
        z = nz;
        return *this;
    }

    double Norm() const { return std::sqrt(x * x + y * y + z * z); }
    double Norm2D() const { return std::sqrt(x * x + y * y); }
    // The sum of absolute values, not the length, is compared.
    bool IsNull() const { return std::fabs(x) + std::fabs(y) + std::fabs(z) < 1e-5; }
};

inline LumPoint operator+(const LumPoint& a, const LumPoint& b)
{
    return LumPoint(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline LumPoint operator-(const LumPoint& a, const LumPoint& b)
{
    return LumPoint(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline LumPoint operator*(const LumPoint& a, double k)
{
    return LumPoint(a.x * k, a.y * k, a.z * k);
}
inline LumPoint operator/(const LumPoint& a, double k)
{
    if (std::fabs(k) < 1e-5)
        return LumPoint();
    return LumPoint(a.x / k, a.y / k, a.z / k);
}
// Dot product.
inline double operator*(const LumPoint& a, const LumPoint& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
// Cross product.
inline LumPoint operator^(const LumPoint& a, const LumPoint& b)
{
    return LumPoint(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// Ordering for qsort/bsearch: x, then y, then z, each equal within 1e-5.
// Not transitive for chains of nearly equal points.
int CompareLumPoints(const void* a, const void* b);

// 1 when n < 1; otherwise v^n in wrapping 32-bit arithmetic.
int power(int v, int n);
// 1 when n == 0; a product of n factors for n > 0; exp(n log v) for n < 0.
double power(const double& v, int n);
// v rounded to n decimals, halves away from zero; n <= 0 rounds to units.
double Round(const double& v, const int& n);

inline void Normalize(LumPoint& p)
{
    const double len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    if (len < 1e-5)
        p.Init();
    else
    {
        p.x /= len;
        p.y /= len;
        p.z /= len;
    }
}

inline LumPoint VectorialProduct(const LumPoint& a, const LumPoint& b)
{
    return a ^ b;
}

// The library's pi has eight decimals everywhere, so angles converted there
// and back come out as they went in.
inline double ToRadian(const double& deg)
{
    return deg / 180.0 * 3.14159265;
}
inline double ToDegrees(const double& rad)
{
    return rad / 3.14159265 * 180.0;
}
