#include "MaillageTeteDouble.h"

#include "KorGeometry.h"
#include "KorMesh.h"
#include "TeteTranchee.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
const double kEps = 1e-5;

// Levels of a bench stack, bottom to top: top of bench 1, outer edge of
// berm 1, top of bench 2, outer edge of berm 2, top of bench 3.
enum Level
{
    T1 = 0,
    E1 = 1,
    T2 = 2,
    E2 = 3,
    T3 = 4
};

double Single(double v)
{
    return static_cast<float>(v);
}

bool IsFinite(const LumPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

LumPoint WithZ(LumPoint p, double z)
{
    p.z = z;
    return p;
}

// One bench stack standing on a base point, rising outward along a
// horizontal normal: the point of each level and the horizontal run from
// the base to it.
struct Stack
{
    LumPoint At[5];
    double RunSum[5] = {0, 0, 0, 0, 0};
};

Stack BuildStack(const TeteTranchee& p, const LumPoint& base, const LumPoint& n, double lower, double middle,
                 double upper)
{
    const double hm = p.DoubleRisberme ? p.hr2 : p.h2;
    const double d1 = p.hr * std::tan(lower);
    const double d2 = hm * std::tan(middle);
    const double d3 = p.h2 * std::tan(upper);
    Stack s;
    s.At[T1] = base + n * d1 + LumPoint(0, 0, p.hr);
    s.RunSum[T1] = d1;
    s.At[E1] = s.At[T1] + n * p.lr;
    s.RunSum[E1] = d1 + p.lr;
    s.At[T2] = s.At[E1] + n * d2 + LumPoint(0, 0, hm);
    s.RunSum[T2] = s.RunSum[E1] + d2;
    s.At[E2] = s.At[T2] + n * p.lr2;
    s.RunSum[E2] = s.RunSum[T2] + p.lr2;
    s.At[T3] = s.At[E2] + n * d3 + LumPoint(0, 0, p.h2);
    s.RunSum[T3] = s.RunSum[E2] + d3;
    return s;
}

// A base line (far end to near end) with its stack at both ends.
struct Slope
{
    Stack Far;
    Stack Near;
};

Slope BuildSlope(const TeteTranchee& p, const LumPoint& far, const LumPoint& near, const LumPoint& n,
                 double lower, double middle, double upper)
{
    return {BuildStack(p, far, n, lower, middle, upper), BuildStack(p, near, n, lower, middle, upper)};
}

// The horizontal normal of a front skewed by theta; square to x when the
// skew is below the tolerance.
LumPoint FrontNormal(double theta)
{
    return std::fabs(theta) < kEps ? LumPoint(0, 1, 0) : LumPoint(-std::sin(theta), std::cos(theta), 0);
}

// The ends of a front's base line from its square corners: the end on the
// skew's side is raised by r into the hill.
void SkewedEnds(const LumPoint& a, const LumPoint& b, double theta, double r, LumPoint& left, LumPoint& right)
{
    left = a;
    right = b;
    if (std::fabs(theta) < kEps)
        return;
    if (theta >= 0.0)
        right = b + LumPoint(0, r, 0);
    else
        left = a + LumPoint(0, r, 0);
}

class Builder
{
public:
    Builder(TeteTranchee& head, KorMesh& mesh) : mHead(head), mMesh(mesh) {}

    bool Build(std::map<int, sClasseFaces>& classes);

private:
    int Vertex(const LumPoint& p)
    {
        mFinite = mFinite && IsFinite(p);
        return mMesh.AddVertex(p);
    }
    int Face(const std::vector<int>& ids) { return mMesh.AddFace(ids); }
    // Where the level-k edge lines (a.Far to a.Near, b.Far to b.Near, or
    // either reversed by the caller) meet in plan, at the level's height.
    static bool Corner(const LumPoint& a0, const LumPoint& a1, const LumPoint& b0, const LumPoint& b1,
                       LumPoint& out)
    {
        double t = 0.0;
        if (!LinesIntersection(a0, a1, b0, b1, &t))
            return false;
        out = WithZ(a0 + (a1 - a0) * t, a0.z);
        return true;
    }

    TeteTranchee& mHead;
    KorMesh& mMesh;
    bool mFinite = true;
};

bool Builder::Build(std::map<int, sClasseFaces>& classes)
{
    TeteTranchee& p = mHead;
    mMesh.Clear();
    mMesh.FlipFaces(false);
    const bool lrOn = p.lr > kEps;
    const bool twoBerms = p.DoubleRisberme;
    // The t1-level points stand in faces only with a first berm; without
    // it the e1-level points take their place.
    const int t1 = lrOn ? T1 : E1;

    // Derived values and platform 1.
    const double off1 = p.Thetaf1 > kEps ? p.lp1 * std::tan(p.Thetaf1) : 0.0;
    const double s = std::tan(p.Thetar2) * (p.hp2 - off1);
    const double W = s + p.lp1 + p.lp2;
    const double x0 = W * -0.5;
    const double r1 = std::fabs(p.lp1 * std::tan(p.Thetaf1));
    const double r2 = std::fabs(p.lp2 * std::tan(p.Thetaf2));

    const LumPoint A1(x0, 0, 0), B1(x0 + p.lp1, 0, 0), D1(x0, -p.hp1, 0), C1(x0 + p.lp1, -p.hp1, 0);
    LumPoint FL1, FR1;
    SkewedEnds(A1, B1, p.Thetaf1, r1, FL1, FR1);
    const int vA1 = Vertex(A1), vB1 = Vertex(B1), vD1 = Vertex(D1), vC1 = Vertex(C1);
    const bool skew1 = std::fabs(p.Thetaf1) >= kEps;
    int vFL1 = vA1, vFR1 = vB1;
    if (skew1)
    {
        if (p.Thetaf1 >= 0.0)
            vFR1 = Vertex(FR1);
        else
            vFL1 = Vertex(FL1);
    }

    // Front 1, the platform-1 side and their corners.
    const Slope front1 = BuildSlope(p, FL1, FR1, FrontNormal(p.Thetaf1), p.Alphafi1, p.Alphafs1, p.Alphafss1);
    const double l1 = Single((FL1 - D1).Norm());
    const bool side1Skewed = p.Thetar1 > kEps;
    const LumPoint D1p = side1Skewed ? D1 + LumPoint(-std::fabs(std::tan(p.Thetar1) * l1), 0, 0) : D1;
    const int vD1p = side1Skewed ? Vertex(D1p) : vD1;
    const LumPoint nS1 =
        side1Skewed ? LumPoint(-std::cos(p.Thetar1), std::sin(p.Thetar1), 0) : LumPoint(-1, 0, 0);
    const Slope side1 = BuildSlope(p, D1p, FL1, nS1, p.Alphari1, p.Alphars1, p.Alpharss1);
    LumPoint K1[5];
    for (int k = T1; k <= T3; ++k)
        if (!Corner(side1.Far.At[k], side1.Near.At[k], front1.Near.At[k], front1.Far.At[k], K1[k]))
            return false;
    const double tan3 = std::tan(p.Alphar3);
    auto project1 = [&](int k) { return WithZ(side1.Far.At[k], tan3 * side1.Far.RunSum[k]); };
    int S1[5] = {-1, -1, -1, -1, -1}, vK1[5] = {-1, -1, -1, -1, -1}, P1[5] = {-1, -1, -1, -1, -1};
    for (int k : {T2, E1, T1})
    {
        if (k == T1 && !lrOn)
            break;
        S1[k] = Vertex(side1.Far.At[k]);
        vK1[k] = Vertex(K1[k]);
        P1[k] = Vertex(project1(k));
    }
    if (!lrOn)
    {
        S1[T1] = S1[E1];
        vK1[T1] = vK1[E1];
        P1[T1] = P1[E1];
    }
    if (twoBerms)
    {
        S1[E2] = Vertex(side1.Far.At[E2]);
        vK1[E2] = Vertex(K1[E2]);
        S1[T3] = Vertex(side1.Far.At[T3]);
        vK1[T3] = Vertex(K1[T3]);
        P1[E2] = Vertex(project1(E2));
        P1[T3] = Vertex(project1(T3));
    }
    const LumPoint X1 = D1p + LumPoint(-p.h * std::tan(p.Thetar3), -p.h, 0);
    const int vX1 = Vertex(X1);
    const bool exit1Skewed = p.Thetar3 > kEps;
    const LumPoint Ex1 = exit1Skewed ? D1p + LumPoint(0, -p.h, 0) : X1;
    const int vEx1 = exit1Skewed ? Vertex(Ex1) : vX1;

    // Platform 2 and front 2.
    const LumPoint A2(W / 2 - p.lp2, p.hp2, 0), B2(W / 2, p.hp2, 0);
    const bool shoulder = s > kEps;
    const LumPoint M = shoulder ? LumPoint(W / 2 - p.lp2, 0, 0) : B1;
    const LumPoint N(W / 2, 0, 0);
    const LumPoint Mr = off1 > kEps ? LumPoint(W / 2 - p.lp2, off1, 0) : M;
    const int vA2 = Vertex(A2), vB2 = Vertex(B2);
    const int vM = shoulder ? Vertex(M) : vB1;
    const int vN = Vertex(N);
    const int vMr = off1 > kEps ? Vertex(Mr) : vM;
    LumPoint FL2, FR2;
    SkewedEnds(A2, B2, p.Thetaf2, r2, FL2, FR2);
    const bool skew2 = std::fabs(p.Thetaf2) >= kEps;
    int vFL2 = vA2, vFR2 = vB2;
    if (skew2)
    {
        if (p.Thetaf2 >= 0.0)
            vFR2 = Vertex(FR2);
        else
            vFL2 = Vertex(FL2);
    }
    // The platform edge behind front 2 reaches past its raised right end.
    const double e = (FR2 - B2).Norm();
    p.Lf2 = std::max(p.Lf2, e + static_cast<double>(0.1f));
    const LumPoint L = FR2 + LumPoint(0, -p.Lf2, 0);
    const bool lOwn = (L - N).Norm() > kEps;
    const int vL = lOwn ? Vertex(L) : vN;
    const bool lAbove = lOwn && L.y > 0.0;
    const bool lNotBelow = !lOwn || L.y > kEps;

    // Front 2, the step and the corners of front 1 with the step and of
    // the step with front 2.
    const Slope front2 = BuildSlope(p, FL2, FR2, FrontNormal(p.Thetaf2), p.Alphafi2, p.Alphafs2, p.Alphafss2);
    const Slope step = BuildSlope(p, FR1, FL2, LumPoint(-std::cos(p.Thetar2), std::sin(p.Thetar2), 0),
                                  p.Alphari2, p.Alphars2, p.Alpharss2);
    LumPoint K2[5], K3[5];
    int vK2[5] = {-1, -1, -1, -1, -1}, vK3[5] = {-1, -1, -1, -1, -1};
    for (int k = T1; k <= T3; ++k)
        if (!Corner(front1.Far.At[k], front1.Near.At[k], step.Near.At[k], step.Far.At[k], K2[k]))
            return false;
    vK2[T2] = Vertex(K2[T2]);
    vK2[E1] = Vertex(K2[E1]);
    vK2[T1] = lrOn ? Vertex(K2[T1]) : vK2[E1];
    for (int k : {T1, E1, T2})
        if (!Corner(step.Far.At[k], step.Near.At[k], front2.Near.At[k], front2.Far.At[k], K3[k]))
            return false;
    vK3[T2] = Vertex(K3[T2]);
    vK3[E1] = Vertex(K3[E1]);
    vK3[T1] = lrOn ? Vertex(K3[T1]) : vK3[E1];
    if (twoBerms)
    {
        vK2[E2] = Vertex(K2[E2]);
        vK2[T3] = Vertex(K2[T3]);
    }

    // The platform-2 side, its corners with front 2, and the upper corners
    // of the step with front 2.
    const bool side2Skewed = p.Thetaa2 > kEps;
    const double l2 = Single((FR2 - L).Norm());
    const LumPoint Q = side2Skewed ? L + LumPoint(std::tan(p.Thetaa2) * l2, 0, 0) : L;
    const int vQ = side2Skewed ? Vertex(Q) : vL;
    const LumPoint nS2(std::cos(p.Thetaa2), std::sin(p.Thetaa2), 0);
    const Slope side2 = BuildSlope(p, Q, FR2, nS2, p.Alphaai2, p.Alphaas2, p.Alphaass2);
    const double tanA3 = std::tan(p.Alphaa3);
    auto project2 = [&](int k) { return WithZ(side2.Far.At[k], tanA3 * side2.Far.RunSum[k]); };
    int S2[5] = {-1, -1, -1, -1, -1}, P2[5] = {-1, -1, -1, -1, -1}, vK4[5] = {-1, -1, -1, -1, -1};
    S2[T2] = Vertex(side2.Far.At[T2]);
    S2[E1] = Vertex(side2.Far.At[E1]);
    S2[T1] = lrOn ? Vertex(side2.Far.At[T1]) : S2[E1];
    P2[T2] = Vertex(project2(T2));
    P2[E1] = Vertex(project2(E1));
    P2[T1] = lrOn ? Vertex(project2(T1)) : P2[E1];
    LumPoint K4[5];
    for (int k = T1; k <= T3; ++k)
        if (!Corner(front2.Far.At[k], front2.Near.At[k], side2.Far.At[k], side2.Near.At[k], K4[k]))
            return false;
    for (int k : {E2, T3})
        if (!Corner(step.Far.At[k], step.Near.At[k], front2.Near.At[k], front2.Far.At[k], K3[k]))
            return false;
    vK4[T2] = Vertex(K4[T2]);
    vK4[E1] = Vertex(K4[E1]);
    vK4[T1] = lrOn ? Vertex(K4[T1]) : vK4[E1];
    if (twoBerms)
    {
        S2[E2] = Vertex(side2.Far.At[E2]);
        S2[T3] = Vertex(side2.Far.At[T3]);
        P2[E2] = Vertex(project2(E2));
        P2[T3] = Vertex(project2(T3));
        vK4[E2] = Vertex(K4[E2]);
        vK4[T3] = Vertex(K4[T3]);
        vK3[E2] = Vertex(K3[E2]);
        vK3[T3] = Vertex(K3[T3]);
    }

    // Exit.
    const double l3 = Single(Q.y - Ex1.y);
    const LumPoint E2raw = Q + LumPoint(0, -l3, 0);
    const LumPoint X2 = E2raw + LumPoint(l3 * std::tan(p.Thetaa3), 0, 0);
    const int vX2 = Vertex(X2);
    const bool exit2Skewed = p.Thetaa3 > kEps;
    const LumPoint Ex2 = exit2Skewed ? E2raw : X2;
    const int vEx2 = exit2Skewed ? Vertex(Ex2) : vX2;
    const LumPoint E3 = C1 + LumPoint(0, -p.h, 0);
    const int vE3 = Vertex(E3);
    const int vE4 = Vertex(E3 + (N - B1));

    // Tube end points, 3 units past the skewed front's far end.
    const double sign = p.CoteAvance == 46 ? -1.0 : 1.0;
    auto tube = [&](const LumPoint& a, const LumPoint& b, const LumPoint& fl, const LumPoint& fr,
                    LumPoint& start, LumPoint& end)
    {
        const double d = std::max(std::fabs(fr.y - b.y), std::fabs(fl.y - a.y));
        start = (a + b) / 2;
        end = start + LumPoint(0, Single(d + 3.0), 0);
        start.x *= sign;
        end.x *= sign;
    };
    tube(A1, B1, FL1, FR1, p.Point1Tunnel1, p.Point2Tunnel1);
    tube(A2, B2, FL2, FR2, p.Point1Tunnel2, p.Point2Tunnel2);

    // Faces, numbered as added (0 unused).
    int f[53];
    std::fill(std::begin(f), std::end(f), -1);
    f[1] = Face({vA1, vD1, vC1, vB1});
    if (std::fabs(p.Thetaf1) > kEps)
        f[2] = Face(p.Thetaf1 >= 0.0 ? std::vector<int>{vFR1, vA1, vB1} : std::vector<int>{vFL1, vA1, vB1});
    f[3] = Face({vK1[T1], vFL1, vFR1, vK2[T1]});
    if (lrOn)
        f[4] = Face({vK1[E1], vK1[T1], vK2[T1], vK2[E1]});
    f[5] = Face({vK1[T2], vK1[E1], vK2[E1], vK2[T2]});
    if (side1Skewed)
        f[6] = Face({vFL1, vD1p, vD1});
    f[7] = Face({S1[T1], vD1p, vFL1, vK1[T1]});
    if (lrOn)
        f[8] = Face({S1[E1], S1[T1], vK1[T1], vK1[E1]});
    f[9] = Face({S1[T2], S1[E1], vK1[E1], vK1[T2]});
    f[10] = Face({S1[T2], P1[T2], P1[E1], S1[E1]});
    if (lrOn)
        f[11] = Face({S1[E1], P1[E1], P1[T1], S1[T1]});
    f[12] = Face({S1[t1], P1[t1], vD1p});
    if (exit1Skewed)
        f[13] = Face({vX1, vEx1, vD1p});
    f[14] = Face(side1Skewed ? std::vector<int>{vEx1, vE3, vC1, vD1, vD1p}
                             : std::vector<int>{vEx1, vE3, vC1, vD1});
    const bool stepFloor = off1 > kEps && shoulder;
    if (stepFloor)
        f[15] = Face({vFR1, vB1, vM, vMr});
    {
        std::vector<int> platform2;
        if (lAbove)
            platform2 = {vL, vB2, vA2};
        else
            platform2 = {vN, vB2, vA2};
        if (stepFloor)
            platform2.push_back(vMr);
        platform2.push_back(vM);
        if (lAbove)
            platform2.push_back(vN);
        f[16] = Face(platform2);
    }
    if (p.Thetar2 > kEps)
        f[17] = Face({vFR1, vMr, vFL2});
    {
        std::vector<int> floor = lNotBelow ? std::vector<int>{vE4, vN, vM, vB1, vC1, vE3}
                                           : std::vector<int>{vE3, vE4, vL, vN, vM, vB1, vC1};
        if (!shoulder)
            floor.erase(std::find(floor.begin(), floor.end(), vM));
        f[18] = Face(floor);
    }
    f[19] = Face({vK2[T1], vFR1, vFL2, vK3[T1]});
    if (lrOn)
        f[20] = Face({vK2[E1], vK2[T1], vK3[T1], vK3[E1]});
    f[21] = Face({vK2[T2], vK2[E1], vK3[E1], vK3[T2]});
    if (std::fabs(p.Thetaf2) > kEps)
        f[22] = Face(p.Thetaf2 >= 0.0 ? std::vector<int>{vA2, vB2, vFR2} : std::vector<int>{vFL2, vA2, vB2});
    f[23] = Face({vK3[T1], vFL2, vFR2, vK4[T1]});
    if (lrOn)
        f[24] = Face({vK3[E1], vK3[T1], vK4[T1], vK4[E1]});
    f[25] = Face({vK3[T2], vK3[E1], vK4[E1], vK4[T2]});
    if (side2Skewed)
    {
        const bool raised = p.Thetaf2 > 0.0 && skew2;
        std::vector<int> piece = raised ? std::vector<int>{vQ, vFR2, vB2} : std::vector<int>{vQ, vB2};
        if (!lNotBelow)
            piece.push_back(vN);
        piece.push_back(vL);
        f[26] = Face(piece);
    }
    f[27] = Face({vK4[T1], vFR2, vQ, S2[T1]});
    if (lrOn)
        f[28] = Face({vK4[E1], vK4[T1], S2[T1], S2[E1]});
    f[29] = Face({vK4[T2], vK4[E1], S2[E1], S2[T2]});
    f[30] = Face({S2[T2], S2[E1], P2[E1], P2[T2]});
    if (lrOn)
        f[31] = Face({S2[E1], S2[T1], P2[T1], P2[E1]});
    f[32] = Face({S2[t1], vQ, P2[t1]});
    if (exit2Skewed)
        f[33] = Face({vQ, vEx2, vX2});
    {
        std::vector<int> floor{vEx2};
        if (side2Skewed)
            floor.push_back(vQ);
        if (!lOwn)
            floor.push_back(vN);
        else if (lAbove)
            floor.insert(floor.end(), {vL, vN});
        else
            floor.push_back(vL);
        floor.push_back(vE4);
        f[34] = Face(floor);
    }
    if (twoBerms)
    {
        f[35] = Face({S1[E2], S1[T2], vK1[T2], vK1[E2]});
        f[36] = Face({S1[T3], S1[E2], vK1[E2], vK1[T3]});
        f[37] = Face({S1[E2], P1[E2], P1[T2], S1[T2]});
        f[38] = Face({S1[T3], P1[T3], P1[E2], S1[E2]});
        f[39] = Face({vK1[E2], vK1[T2], vK2[T2], vK2[E2]});
        f[40] = Face({vK1[T3], vK1[E2], vK2[E2], vK2[T3]});
        f[41] = Face({vK2[E2], vK2[T2], vK3[T2], vK3[E2]});
        f[42] = Face({vK2[T3], vK2[E2], vK3[E2], vK3[T3]});
        f[43] = Face({vK3[E2], vK3[T2], vK4[T2], vK4[E2]});
        f[44] = Face({vK3[T3], vK3[E2], vK4[E2], vK4[T3]});
        f[45] = Face({vK4[E2], vK4[T2], S2[T2], S2[E2]});
        f[46] = Face({vK4[T3], vK4[E2], S2[E2], S2[T3]});
        f[47] = Face({S2[T2], P2[T2], P2[E2], S2[E2]});
        f[48] = Face({S2[E2], P2[E2], P2[T3], S2[T3]});
    }

    // Extensions and outer slopes: the projections lie on each outer
    // slope's edge from its foot.
    const int top = twoBerms ? T3 : T2;
    const LumPoint Z1 = side1.Far.At[top] + nS1 * p.Prolongement;
    const LumPoint pZ1 = WithZ(Z1, tan3 * Single((Z1 - D1p).Norm2D()));
    const int vZ1 = Vertex(Z1), vpZ1 = Vertex(pZ1), vZ1x = Vertex(pZ1 + (X1 - D1p));
    f[49] = Face({vZ1, vpZ1, P1[top], S1[top]});
    {
        std::vector<int> outer{vZ1x, vX1, vD1p};
        if (lrOn)
            outer.push_back(P1[T1]);
        outer.insert(outer.end(), {P1[E1], P1[T2]});
        if (twoBerms)
            outer.insert(outer.end(), {P1[E2], P1[T3]});
        outer.push_back(vpZ1);
        f[50] = Face(outer);
    }
    const LumPoint Z2 = side2.Far.At[top] + nS2 * p.Prolongement;
    const LumPoint pZ2 = WithZ(Z2, tanA3 * Single((Z2 - Q).Norm2D()));
    const int vZ2 = Vertex(Z2), vpZ2 = Vertex(pZ2), vZ2x = Vertex(pZ2 + (X2 - Q));
    f[51] = Face({S2[top], P2[top], vpZ2, vZ2});
    {
        std::vector<int> outer{vZ2x, vpZ2};
        if (twoBerms)
            outer.insert(outer.end(), {P2[T3], P2[E2]});
        outer.insert(outer.end(), {P2[T2], P2[E1]});
        if (lrOn)
            outer.push_back(P2[T1]);
        outer.insert(outer.end(), {vQ, vX2});
        f[52] = Face(outer);
    }
    if (!mFinite)
        return false;

    // The mirror image for the advanced front on the other side; the flag
    // turns the normals back into the excavation before any is read.
    if (p.CoteAvance == 46)
        for (int id = 0; id < mMesh.GetVertexVectorSize(); ++id)
            if (KorVertex* v = mMesh.GetVertex(id))
                v->X = -v->X;
    mMesh.FlipFaces(p.CoteAvance == 46);

    auto one = [&](int face)
    {
        sClasseFaces c;
        c.Faces[0] = f[face];
        return c;
    };
    auto five = [&](int a, int b, int c, int d, int e5)
    {
        sClasseFaces r;
        const int faces[5] = {a, b, c, d, e5};
        for (int k = 0; k < 5; ++k)
            r.Faces[k] = f[faces[k]];
        return r;
    };
    classes[19] = one(1);
    classes[20] = one(16);
    classes[1] = five(8, 4, 20, 24, 28);
    classes[2] = five(35, 39, 41, 43, 45);
    const int single[][2] = {{21, 2},  {22, 3},  {23, 5},  {24, 40}, {25, 22}, {26, 23}, {27, 25}, {28, 44},
                             {29, 6},  {30, 7},  {31, 9},  {32, 36}, {33, 17}, {34, 19}, {35, 21}, {36, 42},
                             {41, 13}, {42, 50}, {37, 26}, {38, 27}, {39, 29}, {40, 46}, {43, 33}, {44, 52}};
    for (const auto& entry : single)
        classes[entry[0]] = one(entry[1]);
    return true;
}
} // namespace

bool MaillageTeteDouble::Build(TeteTranchee& head, KorMesh& mesh, std::map<int, sClasseFaces>& classes)
{
    return Builder(head, mesh).Build(classes);
}
