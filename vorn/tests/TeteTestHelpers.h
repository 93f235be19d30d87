#pragma once

#include "KorGeometry.h"
#include "TeteTranchee.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// The arguments of TeteTranchee::SetSingleParameters as one value, from the
// constructor's single set (angles in degrees), so that a test changes only
// what it is about.
struct SingleSet
{
    // clang-format off
    enum Index { lp, hp, AlphaFi, Thetaf, AlphaFs, AlphaFss, Alphagi1, Alphags1, Thetag1, Alphagss1, Alphag2,
                 Thetag2, Alphadi1, Alphads1, Thetad1, Distanced1, Alphadss1, Alphad2, Thetad2, hr, lr, h2, h,
                 Prolongement, hr2, lr2, LargeurTunnel, HauteurTunnel, Count };
    // clang-format on
    bool SymetrieGD = false;
    bool DoubleRisberme = false;
    double v[Count] = {15, 25, 25, 10, 20, 10, 15, 25, 20, 10, 30, 15, 20, 20,
                       30, 20, 10, 30, 30, 15, 5,  15, 25, 5,  25, 3,  12, 8.5};

    SingleSet& With(Index i, double value)
    {
        v[i] = value;
        return *this;
    }
    SingleSet& Flags(bool symetrieGD, bool doubleRisberme)
    {
        SymetrieGD = symetrieGD;
        DoubleRisberme = doubleRisberme;
        return *this;
    }
    bool Apply(TeteTranchee& t, bool record = false) const
    {
        return t.SetSingleParameters(SymetrieGD, DoubleRisberme, v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                                     v[7], v[8], v[9], v[10], v[11], v[12], v[13], v[14], v[15], v[16], v[17],
                                     v[18], v[19], v[20], v[21], v[22], v[23], v[24], v[25], v[26], v[27],
                                     record);
    }
    static bool IsAngle(int i) { return i >= AlphaFi && i <= Thetad2 && i != Distanced1; }
};

// The same for SetDoubleParameters: the constructor's double set with the
// dialog reset's common values.
struct DoubleSet
{
    enum Index
    {
        lp2 = 2,
        Thetaf1 = 4,
        Alphafss1 = 7,
        Thetaf2 = 8,
        Lf2 = 9,
        Thetar1 = 13,
        h = 32,
        hr2 = 34
    };
    bool SymetrieGD = false;
    int CoteAvance = 45;
    bool DoubleRisberme = false;
    double v[38] = {30, 15, 10, 35, 10, 30, 20, 10, 15, 20, 30, 20, 10, 15, 30, 20, 10, 20, 35,
                    15, 10, 33, 20, 25, 10, 10, 30, 15, 30, 15, 5,  15, 25, 5,  15, 3,  12, 8.5};

    bool Apply(TeteTranchee& t) const
    {
        return t.SetDoubleParameters(SymetrieGD, CoteAvance, DoubleRisberme, v[0], v[1], v[2], v[3], v[4],
                                     v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13], v[14], v[15],
                                     v[16], v[17], v[18], v[19], v[20], v[21], v[22], v[23], v[24], v[25],
                                     v[26], v[27], v[28], v[29], v[30], v[31], v[32], v[33], v[34], v[35],
                                     v[36], v[37], true);
    }
};

inline double Deg(double degrees)
{
    return ToRadian(degrees);
}

inline bool Near(const LumPoint& a, const LumPoint& b, double tolerance = 1e-9)
{
    return (a - b).Norm() <= tolerance;
}

// The identifier of the live vertex at p, or -1.
inline int VertexAt(const KorMesh& mesh, const LumPoint& p)
{
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id); v && Near(LumPoint(v->X, v->Y, v->Z), p))
            return id;
    return -1;
}

inline std::vector<LumPoint> FacePoints(const KorMesh& mesh, int face)
{
    std::vector<LumPoint> points;
    if (const KorFace* f = mesh.GetFace(face))
        mesh.GetFacePoints(f, points);
    return points;
}

// Whether the face's ring is the given points, from some start.
inline bool RingIs(const KorMesh& mesh, int face, const std::vector<LumPoint>& expected)
{
    const std::vector<LumPoint> ring = FacePoints(mesh, face);
    for (size_t start = 0; start < ring.size() && ring.size() == expected.size(); ++start)
    {
        size_t k = 0;
        while (k < ring.size() && Near(ring[(start + k) % ring.size()], expected[k], 1e-7))
            ++k;
        if (k == ring.size())
            return true;
    }
    return false;
}

// Inside the plan polygon by more than 1e-7 (crossing count).
inline bool InsideInPlan(const std::vector<LumPoint>& poly, double x, double y)
{
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
    {
        LumPoint nearest;
        if (std::fabs(DistancePointSegment2D(LumPoint(x, y, 0), poly[i], poly[j], nearest)) <= 1e-7)
            return false;
        const LumPoint &a = poly[i], &b = poly[j];
        if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y))
            inside = !inside;
    }
    return inside;
}

// Points of the plan grid from lo to hi, step apart, that two rising faces
// cover when seen from above: 0 for a height field.
inline int PlanOverlaps(KorMesh& mesh, const LumPoint& lo, const LumPoint& hi, double step)
{
    std::vector<std::vector<LumPoint>> up;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (KorFace* f = mesh.GetFace(id); f && mesh.GetNormal(f).z > 1e-6)
            up.push_back(FacePoints(mesh, id));
    int overlaps = 0;
    for (double x = lo.x; x <= hi.x; x += step)
        for (double y = lo.y; y <= hi.y; y += step)
        {
            int covering = 0;
            for (const std::vector<LumPoint>& poly : up)
                covering += InsideInPlan(poly, x, y) ? 1 : 0;
            overlaps += covering > 1 ? 1 : 0;
        }
    return overlaps;
}
