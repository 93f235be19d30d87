#include "MaillageTeteSimple.h"

#include "KorGeometry.h"
#include "KorMesh.h"
#include "TeteTranchee.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
const double kEps = 1e-5;

// Levels of a bench stack, bottom to top: top of bench 1, edge of berm 1,
// top of bench 2, edge of berm 2, top of bench 3.
enum Level
{
    T1 = 0,
    B1 = 1,
    T2 = 2,
    B2 = 3,
    T3 = 4
};

// Horizontal run of a bench of height t whose slope is a from the vertical.
double Run(double t, double a)
{
    const double c = std::cos(a);
    return c > kEps ? std::sin(a) * (t / c) : std::sin(a) * t;
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

// The points of one bench stack rising from a base point along an outward
// horizontal direction: at each level the point and the horizontal run
// from the base to it.
struct Stack
{
    LumPoint At[5];
    double RunSum[5] = {0, 0, 0, 0, 0};
};

Stack BuildStack(const TeteTranchee& head, const LumPoint& base, const LumPoint& n, double lower,
                 double middle, double upper)
{
    const double t2 = head.DoubleRisberme ? head.hr2 : head.h2;
    const double d1 = Run(head.hr, lower);
    const double d2 = Run(t2, middle);
    const double d3 = Run(head.h2, upper);
    Stack s;
    s.At[T1] = base + n * d1 + LumPoint(0, 0, head.hr);
    s.RunSum[T1] = d1;
    s.At[B1] = s.At[T1] + n * head.lr;
    s.RunSum[B1] = d1 + head.lr;
    s.At[T2] = s.At[B1] + n * d2 + LumPoint(0, 0, t2);
    s.RunSum[T2] = s.RunSum[B1] + d2;
    s.At[B2] = s.At[T2] + n * head.lr2;
    s.RunSum[B2] = s.RunSum[T2] + head.lr2;
    s.At[T3] = s.At[B2] + n * d3 + LumPoint(0, 0, head.h2);
    s.RunSum[T3] = s.RunSum[B2] + d3;
    return s;
}

// One side of the head (left or right): its bench stack from the far end of
// the platform side, the same stack from the front's foot, the outer slope's
// rise, and the vertices of the corners, far points and projections.
struct Side
{
    Stack Far;
    Stack Near;
    LumPoint Normal;
    double OuterTan = 0.0;
    LumPoint Corner[5];
    int CornerId[5] = {-1, -1, -1, -1, -1};
    int FarId[5] = {-1, -1, -1, -1, -1};
    int ProjId[5] = {-1, -1, -1, -1, -1};

    LumPoint Projection(int level) const { return WithZ(Far.At[level], OuterTan * Far.RunSum[level]); }
};

class Builder
{
public:
    Builder(TeteTranchee& head, KorMesh& mesh) : mHead(head), mMesh(mesh) {}

    bool Build(std::map<int, sClasseFaces>& classes);

private:
    int Vertex(const LumPoint& p) { return mMesh.AddVertex(p); }
    int Face(const std::vector<int>& ids) { return mMesh.AddFace(ids); }
    // The corner of a side at a level: where the side's edge line (far to
    // near point) meets the front's edge line of the same level.
    bool FindCorner(Side& side, int level);

    TeteTranchee& mHead;
    KorMesh& mMesh;
    Stack mFront[2]; // from FL and from FR
};

bool Builder::FindCorner(Side& side, int level)
{
    const LumPoint& far = side.Far.At[level];
    const LumPoint& near = side.Near.At[level];
    double t = 0.0;
    if (!LinesIntersection(far, near, mFront[0].At[level], mFront[1].At[level], &t))
        return false;
    side.Corner[level] = WithZ(far + (near - far) * t, far.z);
    return IsFinite(side.Corner[level]);
}

bool Builder::Build(std::map<int, sClasseFaces>& classes)
{
    const TeteTranchee& p = mHead;
    mMesh.Clear();
    mMesh.FlipFaces(false);

    // Platform and front.
    const LumPoint A(-p.lp / 2, 0, 0), B(p.lp / 2, 0, 0);
    const LumPoint D(-p.lp / 2, -p.hp, 0), C(p.lp / 2, -p.hp, 0);
    LumPoint FL = A, FR = B;
    if (p.Thetaf >= 0.0)
        FR = B + LumPoint(0, std::fabs(p.lp * std::tan(p.Thetaf)), 0);
    else
        FL = A + LumPoint(0, std::fabs(p.lp * std::tan(-p.Thetaf)), 0);
    const LumPoint nF(-std::sin(p.Thetaf), std::cos(p.Thetaf), 0);
    mHead.Point1Tunnel1 = (A + B) / 2;
    mHead.Point2Tunnel1 =
        mHead.Point1Tunnel1 + LumPoint(0, std::max(std::fabs(FR.y - B.y), std::fabs(FL.y - A.y)) + 3.0, 0);
    mFront[0] = BuildStack(p, FL, nF, p.AlphaFi, p.AlphaFs, p.AlphaFss);
    mFront[1] = BuildStack(p, FR, nF, p.AlphaFi, p.AlphaFs, p.AlphaFss);

    // Left side, from D' toward -x.
    Side left;
    const double L = (D - FL).Norm();
    const LumPoint Dp = D - LumPoint(L * std::tan(p.Thetag1), 0, 0);
    left.Normal = LumPoint(-std::cos(p.Thetag1), std::sin(p.Thetag1), 0);
    left.Far = BuildStack(p, Dp, left.Normal, p.Alphagi1, p.Alphags1, p.Alphagss1);
    left.Near = BuildStack(p, FL, left.Normal, p.Alphagi1, p.Alphags1, p.Alphagss1);
    left.OuterTan = std::tan(p.Alphag2);

    // Right side, from C' toward +x.
    Side right;
    const LumPoint C2 = B + LumPoint(0, -p.Distanced1, 0);
    const double Lr = (C2 - FR).Norm();
    const LumPoint Cp = C2 + LumPoint(Lr * std::tan(p.Thetad1), 0, 0);
    right.Normal = LumPoint(std::cos(p.Thetad1), std::sin(p.Thetad1), 0);
    right.Far = BuildStack(p, Cp, right.Normal, p.Alphadi1, p.Alphads1, p.Alphadss1);
    right.Near = BuildStack(p, FR, right.Normal, p.Alphadi1, p.Alphads1, p.Alphadss1);
    right.OuterTan = std::tan(p.Alphad2);

    // The topmost far point of each side, carried outward by the extension.
    const int top = p.DoubleRisberme ? T3 : T2;
    const LumPoint LX = left.Far.At[top] + left.Normal * p.Prolongement;
    const LumPoint LXp = WithZ(LX, left.OuterTan * (left.Far.RunSum[top] + p.Prolongement));
    const LumPoint RX = right.Far.At[top] + right.Normal * p.Prolongement;
    const LumPoint RXp = WithZ(RX, right.OuterTan * (right.Far.RunSum[top] + p.Prolongement));

    // Exit.
    const LumPoint E1 = Dp + LumPoint(0, -p.h, 0);
    const LumPoint E2 = E1 + (C - Dp);
    const LumPoint E3 = E2 + (Cp - C2);
    const LumPoint XL = E1 + LumPoint(-p.h * std::tan(p.Thetag2), 0, 0);
    const LumPoint XR = E3 + LumPoint(p.h * std::tan(p.Thetad2), 0, 0);
    const LumPoint LXe = LXp + (XL - Dp);
    const LumPoint RXe = RXp + (XR - Cp);

    // Levels above the top one are computed but never used.
    for (const Side* side : {&left, &right})
        for (int k = T1; k <= top; ++k)
            if (!IsFinite(side->Far.At[k]) || !IsFinite(side->Near.At[k]) || !IsFinite(side->Projection(k)))
                return false;
    for (const LumPoint& q : {FL, FR, C2, Dp, Cp, LX, LXp, RX, RXp, E1, E2, E3, XL, XR, LXe, RXe,
                              mFront[0].At[top], mFront[1].At[top]})
        if (!IsFinite(q))
            return false;

    // Which points stand on their own and which take another's vertex.
    const double dHp = p.hp - p.Distanced1;
    const bool lrOn = p.lr > kEps;
    const bool straightRight = dHp > kEps && std::fabs(p.Thetad1) < kEps && std::fabs(p.Thetad2) < kEps;

    const int vA = Vertex(A), vB = Vertex(B), vC = Vertex(C), vD = Vertex(D);
    const int vFL = (FL - A).Norm() > kEps ? Vertex(FL) : vA;
    const int vFR = (FR - B).Norm() > kEps ? Vertex(FR) : vB;
    const int vXL = Vertex(XL), vXR = Vertex(XR);
    const int vE2 = (E2 - XR).Norm() > kEps ? Vertex(E2) : vXR;
    const int vC2 = std::fabs(dHp) > kEps ? Vertex(C2) : vC;

    int row[46];
    for (int& r : row)
        r = -1;
    row[1] = Face(dHp >= kEps ? std::vector<int>{vA, vD, vC, vC2, vB} : std::vector<int>{vA, vD, vC, vB});
    if (std::fabs(p.Thetaf) >= kEps)
        row[2] = Face({vA, vB, p.Thetaf >= 0.0 ? vFR : vFL});

    // Left side.
    for (int level : {T1, B1, T2})
        if (!FindCorner(left, level))
            return false;
    const int vDp = p.Thetag1 > kEps ? Vertex(Dp) : vD;
    if (p.Thetag1 > kEps)
        row[3] = Face(p.Thetaf >= -kEps ? std::vector<int>{vA, vDp, vD} : std::vector<int>{vDp, vD, vA, vFL});
    for (int level : {T1, B1, T2})
        left.FarId[level] = Vertex(left.Far.At[level]);
    for (int level : {T1, B1, T2})
        left.CornerId[level] = Vertex(left.Corner[level]);
    for (int level : {T1, B1, T2})
        left.ProjId[level] = Vertex(left.Projection(level));
    int *LT = left.FarId, *KL = left.CornerId, *LP = left.ProjId;
    row[4] =
        Face(lrOn ? std::vector<int>{LT[T1], vDp, vFL, KL[T1]} : std::vector<int>{LT[B1], vDp, vFL, KL[B1]});
    if (lrOn)
    {
        row[5] = Face({LT[B1], LT[T1], KL[T1], KL[B1]});
        row[6] = Face({vDp, LT[T1], LP[T1]});
        row[7] = Face({LT[T1], LT[B1], LP[B1], LP[T1]});
    }
    else
        row[8] = Face({vDp, LT[B1], LP[B1]});
    row[9] = Face({LT[T2], LT[B1], KL[B1], KL[T2]});
    row[10] = Face({LT[B1], LT[T2], LP[T2], LP[B1]});

    // Right side.
    for (int level : {T1, B1, T2})
        if (!FindCorner(right, level))
            return false;
    const int vCp = p.Thetad1 > kEps ? Vertex(Cp) : vC2;
    if (p.Thetad1 > kEps)
        row[11] =
            Face(dHp > kEps ? std::vector<int>{vCp, vFR, vB, vC2} : std::vector<int>{vCp, vFR, vB, vC, vC2});
    for (int level : {T1, B1, T2})
        right.FarId[level] = Vertex(right.Far.At[level]);
    for (int level : {T1, B1, T2})
        right.CornerId[level] = Vertex(right.Corner[level]);
    for (int level : {T1, B1, T2})
        right.ProjId[level] = Vertex(right.Projection(level));
    int *RT = right.FarId, *KR = right.CornerId, *RP = right.ProjId;
    {
        // Without the first berm the lower slope ends at the berm's edge.
        const int rt = lrOn ? RT[T1] : RT[B1];
        const int kr = lrOn ? KR[T1] : KR[B1];
        if (p.Thetad1 > kEps)
            row[12] = Face({vCp, rt, kr, vFR});
        else if (dHp > kEps)
            row[12] = Face({vFR, vB, vC2, vCp, rt, kr});
        else
            row[12] = Face({vFR, vB, vC, vC2, vCp, rt, kr});
    }
    if (lrOn)
    {
        row[13] = Face({RT[T1], RT[B1], KR[B1], KR[T1]});
        row[14] = Face({vCp, RP[T1], RT[T1]});
        row[15] = Face({RP[T1], RP[B1], RT[B1], RT[T1]});
    }
    else
        row[16] = Face({vCp, RP[B1], RT[B1]});
    row[17] = Face({RT[T2], KR[T2], KR[B1], RT[B1]});
    row[18] = Face({RP[B1], RP[T2], RT[T2], RT[B1]});

    // Front, then the exit floor.
    row[19] =
        Face(lrOn ? std::vector<int>{KL[T1], vFL, vFR, KR[T1]} : std::vector<int>{KL[B1], vFL, vFR, KR[B1]});
    if (lrOn)
        row[20] = Face({KL[B1], KL[T1], KR[T1], KR[B1]});
    row[21] = Face({KL[T2], KL[B1], KR[B1], KR[T2]});
    const int vE1 = p.Thetag2 > kEps ? Vertex(E1) : vXL;
    if (p.Thetag2 > kEps)
        row[22] = Face({vDp, vXL, vE1});
    const int vE3 = p.Thetad2 > kEps ? Vertex(E3) : vXR;
    if (p.Thetad2 > kEps)
        row[23] = Face(dHp > kEps && std::fabs(p.Thetad1) < kEps ? std::vector<int>{vC2, vC, vE3, vXR}
                                                                 : std::vector<int>{vCp, vE3, vXR});
    if (dHp > kEps)
    {
        row[24] = Face({vE2, vC, vD, vDp, vE1});
        if (p.Thetad1 > kEps)
            row[25] = Face({vE2, vE3, vCp, vC2, vC});
    }
    else
    {
        row[26] = Face({vE1, vE2, vC2, vC, vD, vDp});
        if (p.Thetad1 > kEps)
            row[27] = Face({vE3, vCp, vC2, vE2});
    }

    // Extensions.
    const int vLX = Vertex(LX), vLXp = Vertex(LXp), vLXe = Vertex(LXe);
    const int vRX = Vertex(RX), vRXp = Vertex(RXp), vRXe = Vertex(RXe);

    // The outer slopes: the projections lie on their edge from the foot.
    std::vector<int> outerLeft = {vXL, vDp};
    std::vector<int> outerRight;
    if (p.DoubleRisberme)
    {
        for (int level : {B2, T3})
            if (!FindCorner(left, level))
                return false;
        left.FarId[B2] = Vertex(left.Far.At[B2]);
        KL[B2] = Vertex(left.Corner[B2]);
        LT[T3] = Vertex(left.Far.At[T3]);
        KL[T3] = Vertex(left.Corner[T3]);
        LP[B2] = Vertex(left.Projection(B2));
        LP[T3] = Vertex(left.Projection(T3));
        row[28] = Face({LT[B2], LT[T2], KL[T2], KL[B2]});
        row[29] = Face({LT[B2], KL[B2], KL[T3], LT[T3]});
        row[30] = Face({LT[B2], LP[B2], LP[T2], LT[T2]});
        row[31] = Face({LT[T3], LP[T3], LP[B2], LT[B2]});

        for (int level : {B2, T3})
            if (!FindCorner(right, level))
                return false;
        KR[B2] = Vertex(right.Corner[B2]);
        RT[B2] = Vertex(right.Far.At[B2]);
        KR[T3] = Vertex(right.Corner[T3]);
        RT[T3] = Vertex(right.Far.At[T3]);
        RP[B2] = Vertex(right.Projection(B2));
        RP[T3] = Vertex(right.Projection(T3));
        row[32] = Face({KL[B2], KL[T2], KR[T2], KR[B2]});
        row[33] = Face({KL[T3], KL[B2], KR[B2], KR[T3]});
        row[34] = Face({KR[B2], KR[T2], RT[T2], RT[B2]});
        row[35] = Face({KR[T3], KR[B2], RT[B2], RT[T3]});
        row[36] = Face({RT[T2], RP[T2], RP[B2], RT[B2]});
        row[37] = Face({RT[B2], RP[B2], RP[T3], RT[T3]});
        row[38] = Face({vLX, vLXp, LP[T3], LT[T3]});
        row[39] = Face({RT[T3], RP[T3], vRXp, vRX});
    }
    else
    {
        row[42] = Face({vLX, vLXp, LP[T2], LT[T2]});
        row[43] = Face({vRX, RT[T2], RP[T2], vRXp});
    }
    // Left outer slope: foot, projections upward, extension, exit.
    if (lrOn)
        outerLeft.push_back(LP[T1]);
    for (int level = B1; level <= top; ++level)
        outerLeft.push_back(LP[level]);
    outerLeft.push_back(vLXp);
    outerLeft.push_back(vLXe);
    // Right outer slope: exit, extension, projections downward, foot; a
    // straight right side runs down the platform edge to the exit corner.
    if (!straightRight)
        outerRight.push_back(vXR);
    outerRight.push_back(vRXe);
    outerRight.push_back(vRXp);
    for (int level = top; level >= B1; --level)
        outerRight.push_back(RP[level]);
    if (lrOn)
        outerRight.push_back(RP[T1]);
    if (straightRight)
        outerRight.insert(outerRight.end(), {vC2, vC, vXR});
    else
        outerRight.push_back(vCp);
    const int outerLeftRow = p.DoubleRisberme ? 40 : 44;
    const int outerRightRow = p.DoubleRisberme ? 41 : 45;
    row[outerLeftRow] = Face(outerLeft);
    row[outerRightRow] = Face(outerRight);

    // Face classes: the rows of each class; classes 1 and 2 hold their
    // left, front and right berms in that order.
    auto single = [&](int r)
    {
        sClasseFaces c;
        c.Faces[0] = row[r];
        return c;
    };
    auto triple = [&](int l, int f, int r)
    {
        sClasseFaces c;
        c.Faces[0] = row[l];
        c.Faces[1] = row[f];
        c.Faces[2] = row[r];
        return c;
    };
    classes[0] = single(1);
    classes[1] = triple(5, 20, 13);
    classes[2] = triple(28, 32, 34);
    classes[3] = single(2);
    classes[4] = single(19);
    classes[5] = single(21);
    classes[6] = single(33);
    classes[7] = single(3);
    classes[8] = single(4);
    classes[9] = single(9);
    classes[10] = single(29);
    classes[11] = single(22);
    classes[12] = single(outerLeftRow);
    classes[13] = single(11);
    classes[14] = single(12);
    classes[15] = single(17);
    classes[16] = single(35);
    classes[17] = single(23);
    classes[18] = single(outerRightRow);
    return true;
}
} // namespace

bool MaillageTeteSimple::Build(TeteTranchee& head, KorMesh& mesh, std::map<int, sClasseFaces>& classes)
{
    return Builder(head, mesh).Build(classes);
}
