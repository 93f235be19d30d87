#include "HeadLabels.h"

#include "KorMesh.h"
#include "TeteTranchee.h"

#include <cmath>
#include <locale>
#include <sstream>

namespace
{
// The label on the first piece of the cut that stems from a face of the
// class, its entries tried in the order 1, 2, 3, 0, 4: at the mean of the
// piece's points. False when no entry has a piece, or the piece no point.
bool BermLabelPosition(const TeteTranchee& head, int faceClass, const KorMesh& cutHead, LumPoint& position)
{
    const sClasseFaces record = head.GetClassFaces(faceClass);
    for (int entry : {1, 2, 3, 0, 4})
    {
        if (record.Faces[entry] < 0)
            continue;
        std::vector<int> pieces;
        cutHead.GetNewFacesFrom(record.Faces[entry], pieces);
        if (pieces.empty())
            continue;
        std::vector<LumPoint> points;
        if (const KorFace* face = cutHead.GetFace(pieces.front()))
            cutHead.GetFacePoints(face, points);
        if (points.empty())
            return false;
        LumPoint sum;
        for (const LumPoint& p : points)
            sum = sum + p;
        position = sum / static_cast<double>(points.size());
        return true;
    }
    return false;
}
} // namespace

std::string FormatLabelNumber(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

std::vector<sHeadLabel> ComputeHeadLabels(const TeteTranchee& head, const sHeadFrame& frame,
                                          const KorMesh& cutHead)
{
    constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
    const double a = (90.0 - frame.Direction) * kDegToRad;
    // Along the axis, and across it a quarter turn clockwise.
    LumPoint D(std::cos(a), std::sin(a), 0.0);
    LumPoint N(std::sin(a), -std::cos(a), 0.0);
    if (frame.Inverted)
    {
        D = D * -1.0;
        N = N * -1.0;
    }
    const double k = frame.Metre;
    const LumPoint& P = frame.Point;
    std::vector<sHeadLabel> labels;
    auto add = [&](const LumPoint& at, double value) { labels.push_back({at, FormatLabelNumber(value)}); };
    if (!head.DoubleEntree)
    {
        add(P, head.lp);
        add(P - N * (k * head.lp / 2) - D * (k * head.hp / 2), head.hp);
    }
    else
    {
        if (head.CoteAvance == 46)
            N = N * -1.0;
        const double W =
            head.lp1 + head.lp2 + (head.hp2 - head.lp1 * std::tan(head.Thetaf1)) * std::tan(head.Thetar2);
        add(P + N * (k * (head.lp1 - W) / 2), head.lp1);
        add(P - N * (k * W / 2) - D * (k * head.hp1 / 2), head.hp1);
        add(P + N * (k * (W - head.lp2) / 2), head.lp2);
        add(P + N * (k * (W / 2 - head.lp2)) + D * (k * head.hp2 / 2), head.hp2);
    }
    LumPoint at;
    if (BermLabelPosition(head, 1, cutHead, at))
        labels.push_back({at, "h=" + FormatLabelNumber(head.hr)});
    if (BermLabelPosition(head, 2, cutHead, at))
        labels.push_back({at, "h=" + FormatLabelNumber(head.hr + head.hr2)});
    return labels;
}
