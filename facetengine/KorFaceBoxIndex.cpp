#include "KorFaceBoxIndex.h"

#include "KorMesh.h"

#include <algorithm>
#include <cmath>

namespace
{
// Boxes are widened by this much (plus a relative part) so that crossings
// accepted with the walk's 1e-5 tolerances and single-precision rounding are
// never lost by the index.
double Margin(const LumPoint& p)
{
    return 1e-3 + 1e-6 * std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
}
} // namespace

bool KorFaceBoxIndex::CellRange(const LumPoint& lo, const LumPoint& hi, int& x0, int& y0, int& x1,
                                int& y1) const
{
    auto cell = [](double v, double origin, double size, int n)
    {
        const double c = std::floor((v - origin) / size);
        if (!(c == c))
            return -1;
        return static_cast<int>(std::min<double>(std::max<double>(c, 0.0), n - 1));
    };
    x0 = cell(lo.x, mLo.x, mCellX, mNx);
    y0 = cell(lo.y, mLo.y, mCellY, mNy);
    x1 = cell(hi.x, mLo.x, mCellX, mNx);
    y1 = cell(hi.y, mLo.y, mCellY, mNy);
    return x0 >= 0 && y0 >= 0 && x1 >= 0 && y1 >= 0;
}

bool KorFaceBoxIndex::Build(const KorMesh& mesh)
{
    mBuilt = false;
    const int slots = mesh.GetFaceVectorSize();
    mBoxes.assign(static_cast<size_t>(slots), sBox());
    mStamp.assign(static_cast<size_t>(slots), 0u);
    mQueryCount = 0;
    bool any = false;
    std::vector<LumPoint> points;
    for (int f = 0; f < slots; ++f)
    {
        const KorFace* face = mesh.GetFace(f);
        if (!face)
            continue;
        mesh.GetFacePoints(face, points);
        if (points.empty())
            continue;
        sBox& b = mBoxes[static_cast<size_t>(f)];
        b.Lo = b.Hi = points[0];
        for (const LumPoint& p : points)
        {
            b.Lo = LumPoint(std::min(b.Lo.x, p.x), std::min(b.Lo.y, p.y), std::min(b.Lo.z, p.z));
            b.Hi = LumPoint(std::max(b.Hi.x, p.x), std::max(b.Hi.y, p.y), std::max(b.Hi.z, p.z));
        }
        const double m = Margin(b.Hi) + Margin(b.Lo);
        b.Lo = b.Lo - LumPoint(m, m, m);
        b.Hi = b.Hi + LumPoint(m, m, m);
        if (!(b.Lo.x == b.Lo.x) || !(b.Hi.x == b.Hi.x) || !std::isfinite(b.Hi.x + b.Hi.y + b.Lo.x + b.Lo.y))
            return false;
        b.Live = true;
        mLo = any ? LumPoint(std::min(mLo.x, b.Lo.x), std::min(mLo.y, b.Lo.y), 0) : b.Lo;
        mHi = any ? LumPoint(std::max(mHi.x, b.Hi.x), std::max(mHi.y, b.Hi.y), 0) : b.Hi;
        any = true;
    }
    if (!any)
        return false;
    // About one face per cell, in a grid shaped like the mesh's xy extent.
    const double w = std::max(mHi.x - mLo.x, 1e-9), h = std::max(mHi.y - mLo.y, 1e-9);
    const double cells = std::min<double>(std::max(slots, 1), 4e6);
    mNx = std::max(1, std::min(4096, static_cast<int>(std::sqrt(cells * w / h))));
    mNy = std::max(1, std::min(4096, static_cast<int>(cells / mNx)));
    mCellX = w / mNx;
    mCellY = h / mNy;
    const size_t limit = 16u * static_cast<size_t>(slots) + 4096u;
    std::vector<int> count(static_cast<size_t>(mNx) * mNy + 1, 0);
    size_t total = 0;
    int x0, y0, x1, y1;
    for (int f = 0; f < slots; ++f)
    {
        const sBox& b = mBoxes[static_cast<size_t>(f)];
        if (!b.Live || !CellRange(b.Lo, b.Hi, x0, y0, x1, y1))
            continue;
        total += static_cast<size_t>(x1 - x0 + 1) * static_cast<size_t>(y1 - y0 + 1);
        if (total > limit)
            return false; // vertical walls across the grid and the like: not worth it
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                ++count[static_cast<size_t>(y) * mNx + x];
    }
    mCellStart.assign(count.size(), 0);
    for (size_t c = 1; c < count.size(); ++c)
        mCellStart[c] = mCellStart[c - 1] + count[c - 1];
    mEntries.assign(total, 0);
    std::vector<int> fill(mCellStart.begin(), mCellStart.end() - 1);
    for (int f = 0; f < slots; ++f)
    {
        const sBox& b = mBoxes[static_cast<size_t>(f)];
        if (!b.Live || !CellRange(b.Lo, b.Hi, x0, y0, x1, y1))
            continue;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                mEntries[static_cast<size_t>(fill[static_cast<size_t>(y) * mNx + x]++)] = f;
    }
    mBuilt = true;
    return true;
}

bool KorFaceBoxIndex::Query(const LumPoint& lo, const LumPoint& hi, std::vector<int>& faces)
{
    faces.clear();
    if (!mBuilt)
        return false;
    int x0, y0, x1, y1;
    if (!CellRange(lo, hi, x0, y0, x1, y1))
        return false;
    // A query over most of the grid costs more than the plain loop.
    if (static_cast<double>(x1 - x0 + 1) * (y1 - y0 + 1) > 0.25 * mNx * mNy + 64)
        return false;
    NextStamp();
    Collect(lo, hi, x0, y0, x1, y1, faces);
    std::sort(faces.begin(), faces.end());
    return true;
}

bool KorFaceBoxIndex::Query(const std::vector<LumPoint>& corners, std::vector<int>& faces)
{
    faces.clear();
    if (!mBuilt)
        return false;
    std::vector<int> ranges;
    double cells = 0.0;
    for (size_t k = 0; k + 1 < corners.size(); k += 2)
    {
        int x0, y0, x1, y1;
        if (!CellRange(corners[k], corners[k + 1], x0, y0, x1, y1))
            continue;
        cells += static_cast<double>(x1 - x0 + 1) * (y1 - y0 + 1);
        ranges.insert(ranges.end(), {x0, y0, x1, y1});
    }
    if (cells > 0.25 * mNx * mNy + 64)
        return false;
    NextStamp();
    for (size_t k = 0, r = 0; k + 1 < corners.size(); k += 2)
    {
        int x0, y0, x1, y1;
        if (!CellRange(corners[k], corners[k + 1], x0, y0, x1, y1))
            continue;
        Collect(corners[k], corners[k + 1], ranges[r], ranges[r + 1], ranges[r + 2], ranges[r + 3], faces);
        r += 4;
    }
    std::sort(faces.begin(), faces.end());
    return true;
}

void KorFaceBoxIndex::NextStamp()
{
    if (++mQueryCount == 0)
    {
        std::fill(mStamp.begin(), mStamp.end(), 0u);
        mQueryCount = 1;
    }
}

void KorFaceBoxIndex::Collect(const LumPoint& lo, const LumPoint& hi, int x0, int y0, int x1, int y1,
                              std::vector<int>& faces)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
        {
            const size_t c = static_cast<size_t>(y) * mNx + x;
            for (int k = mCellStart[c]; k < mCellStart[c + 1]; ++k)
            {
                const int f = mEntries[static_cast<size_t>(k)];
                unsigned& s = mStamp[static_cast<size_t>(f)];
                if (s == mQueryCount)
                    continue;
                const sBox& b = mBoxes[static_cast<size_t>(f)];
                if (b.Lo.x <= hi.x && b.Hi.x >= lo.x && b.Lo.y <= hi.y && b.Hi.y >= lo.y && b.Lo.z <= hi.z &&
                    b.Hi.z >= lo.z)
                {
                    s = mQueryCount;
                    faces.push_back(f);
                }
            }
        }
}
