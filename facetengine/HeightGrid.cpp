#include "HeightGrid.h"

#include "KorBoundingBox.h"
#include "KorFace.h"
#include "KorFaceBoxIndex.h"
#include "KorMesh.h"
#include "KorParallel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace
{
// The quotient q of a coordinate's offset by a cell's side, floored and
// clamped to the cells 0 .. n - 1; one that is no number (a grid or a box
// of infinite coordinates) clears `number`. A truncation gives the floor
// of the quotients left between the two ends.
inline int ClampedCell(double q, int n, bool& number)
{
    number = number && q == q;
    return !(q >= 0.0) ? 0 : q >= n - 1.0 ? n - 1 : static_cast<int>(q);
}
} // namespace

void HeightGrid::Build(const KorMesh& surface, const KorBoundingBox& box, int cellsPerSide, int threads)
{
    if (!BeginBuild(surface, box, cellsPerSide))
        return;
    const int faces = surface.GetFaceVectorSize();
    std::vector<sFaceRange> ranges(static_cast<size_t>(RangeParts(faces, threads)));
    RunInRanges(faces, static_cast<int>(ranges.size()),
                [&](int part, int from, int to)
                {
                    // Filled here and handed over at the end: ranges side by
                    // side would share cache lines.
                    sFaceRange range;
                    StartRange(range, to - from);
                    std::vector<LumPoint> polygon;
                    for (int id = from; id < to; ++id)
                        if (const KorFace* face = surface.GetFace(id))
                        {
                            surface.GetFacePoints(face, polygon);
                            AddFace(range, id, polygon.data(), polygon.size());
                        }
                    ranges[static_cast<size_t>(part)] = std::move(range);
                });
    EndBuild(ranges, threads);
}

bool HeightGrid::BeginBuild(const KorMesh& surface, const KorBoundingBox& box, int cellsPerSide, bool finite)
{
    // A surface without face has no altitude to bound: no cell, so that a
    // project of many empty layers costs no grid for each.
    if (surface.GetNumberOfFaces() == 0)
    {
        *this = HeightGrid();
        return false;
    }
    mSurface = &surface;
    mLo = box.GetMin();
    mHi = box.GetMax();
    // Blocks of fine cells: about three faces to a fine cell, so that the
    // region stays narrow on a dense surface, while the blocks keep the
    // search of a large head triangle short.
    const int blocks = std::max(cellsPerSide, 1);
    const double perBlock = surface.GetNumberOfFaces() / (3.0 * blocks * blocks);
    mBlock = std::clamp(static_cast<int>(std::lround(std::sqrt(std::max(perBlock, 1.0)))), 1, 8);
    mBlocksX = blocks;
    mNx = mNy = blocks * mBlock;
    mCellX = std::max(mHi.x - mLo.x, 1e-9) / mNx;
    mCellY = std::max(mHi.y - mLo.y, 1e-9) / mNy;
    // Cells are widened by a hair so that a point on an edge counts in both
    // neighbours.
    mHair = 1e-9 * std::max({mCellX, mCellY, std::fabs(mLo.x), std::fabs(mLo.y), 1.0});
    // A face's cells are found by products, not a division each, from a
    // cell's neighbours as far as the hair reaches: one, unless a cell is
    // narrow for its coordinates.
    const auto axis = [this](double origin, double side, int cells)
    {
        const double reach = 1.5 + mHair / side;
        return sAxis{origin, side, 1.0 / side, mHair, cells, reach < cells ? static_cast<int>(reach) : cells};
    };
    mAxisX = axis(mLo.x, mCellX, mNx);
    mAxisY = axis(mLo.y, mCellY, mNy);
    const size_t cells = static_cast<size_t>(mNx) * mNy;
    const double inf = std::numeric_limits<double>::infinity();
    mLow.assign(cells, inf);
    mHigh.assign(cells, -inf);
    const size_t blockCount = static_cast<size_t>(blocks) * blocks;
    mBlockLow.assign(blockCount, inf);
    mBlockHigh.assign(blockCount, -inf);
    mFilled.assign(blockCount, 0);
    // Every face box within the grid's box, widened as the face queries
    // widen it, stays within this margin: the widening grows with the
    // largest coordinate, and the widened box's corners round by a few
    // units of that coordinate's last place. None when a point may lie
    // outside the box, or the box is too large for a sum of its
    // coordinates.
    mTriangleMargin = -1.0;
    const double extent = std::max({std::fabs(mLo.x), std::fabs(mLo.y), std::fabs(mLo.z), std::fabs(mHi.x),
                                    std::fabs(mHi.y), std::fabs(mHi.z)});
    if (finite && extent < 1e300)
    {
        const LumPoint far(extent, extent, extent);
        mTriangleMargin =
            (KorFaceBoxIndex::Margin(far) + KorFaceBoxIndex::Margin(far)) * (1.0 + 1e-12) + 1e-15 * extent;
    }
    mFaceSlots = surface.GetFaceVectorSize();
    mBlockBoxes.clear();
    mBlockStamp.clear();
    mStamp.clear();
    mQueryCount = 0;
    // The block of each column (row) of cells, without a division per face.
    mBlockOf.resize(static_cast<size_t>(mNx));
    for (int i = 0; i < mNx; ++i)
        mBlockOf[static_cast<size_t>(i)] = i / mBlock;
    return true;
}

void HeightGrid::StartRange(sFaceRange& range, int faces) const
{
    const size_t blockCount = mBlockLow.size();
    const double inf = std::numeric_limits<double>::infinity();
    range.Spans.reserve(static_cast<size_t>(std::max(faces, 0)));
    range.Count.assign(blockCount, 0);
    range.Low.assign(blockCount, inf);
    range.High.assign(blockCount, -inf);
}

// Only the cells whose widened extent meets the face's can have it over
// them. Found from the cells of the two ends and as many neighbours as the
// hair and the rounding of the product by the side's reciprocal (off by
// one only next to a whole number) can reach, then narrowed by the widened
// edges themselves.
inline void HeightGrid::AxisCells(const sAxis& axis, double low, double high, int& first, int& last,
                                  bool& number)
{
    int a = std::max(ClampedCell((low - axis.Origin) * axis.PerSide, axis.Cells, number) - axis.Reach, 0);
    int b = std::min(ClampedCell((high - axis.Origin) * axis.PerSide, axis.Cells, number) + axis.Reach,
                     axis.Cells - 1);
    while (a < b && axis.Upper(a) < low)
        ++a;
    while (b > a && axis.Lower(b) > high)
        --b;
    first = a;
    last = b;
}

HeightGrid::sWindow HeightGrid::BoxCells(const LumPoint& low, const LumPoint& high) const
{
    sWindow cells{1, 1, 0, 0};
    if (mNx == 0 || !(high.x >= mLo.x && low.x <= mHi.x && high.y >= mLo.y && low.y <= mHi.y))
        return cells;
    bool number = true;
    AxisCells(mAxisX, low.x, high.x, cells.I0, cells.I1, number);
    AxisCells(mAxisY, low.y, high.y, cells.J0, cells.J1, number);
    return number ? cells : sWindow{1, 1, 0, 0};
}

void HeightGrid::AddFace(sFaceRange& range, int id, const LumPoint* points, size_t n) const
{
    if (n == 0)
        return;
    sWindow cells;
    LumPoint lo, hi;
    // The face's box as the face queries widen it: the plan of the
    // widening, or a face no query can find (one with no cell included).
    const bool any = PointsCells(points, n, lo, hi, cells.I0, cells.J0, cells.I1, cells.J1);
    LumPoint boxLo, boxHi;
    if (!any || KorFaceBoxIndex::WidenBox(lo, hi, boxLo, boxHi) < 0)
        range.Boxless = true;
    else
        range.Margin = std::max({range.Margin, lo.x - boxLo.x, lo.y - boxLo.y, boxHi.x - hi.x, boxHi.y - hi.y});
    if (any)
        AddSpan(range, id, cells, lo.z, hi.z);
}

void HeightGrid::AddTriangle(sFaceRange& range, int id, const LumPoint* corners) const
{
    if (!(mTriangleMargin >= 0.0))
        return AddFace(range, id, corners, 3);
    // Corners within the grid's box, all numbers: the face has cells, and
    // its widening is within the bound worked out once.
    LumPoint lo, hi;
    KorFaceBoxIndex::PointsBox(corners, 3, lo, hi);
    sWindow cells;
    bool number = true;
    AxisCells(mAxisX, lo.x, hi.x, cells.I0, cells.I1, number);
    AxisCells(mAxisY, lo.y, hi.y, cells.J0, cells.J1, number);
    if (!number)
    {
        range.Boxless = true;
        return;
    }
    range.Margin = std::max(range.Margin, mTriangleMargin);
    AddSpan(range, id, cells, lo.z, hi.z);
}

void HeightGrid::AddSpan(sFaceRange& range, int id, sWindow cells, double lowest, double highest) const
{
    const double inf = std::numeric_limits<double>::infinity();
    // A clipped altitude is interpolated between two corners and may round
    // past them by a few units of the last place; a corner that is no
    // number bounds nothing.
    double zLo = lowest - 1e-9 * (1.0 + std::fabs(lowest)), zHi = highest + 1e-9 * (1.0 + std::fabs(highest));
    if (!(std::isfinite(zLo) && std::isfinite(zHi)))
    {
        zLo = -inf;
        zHi = inf;
    }
    // Blocks rather than cells from here on, worked out once.
    const auto block = [this](int cell) { return mBlockOf[static_cast<size_t>(cell)]; };
    const sFaceRange::sSpan span{id, block(cells.I0), block(cells.J0), block(cells.I1), block(cells.J1)};
    for (int bj = span.J0; bj <= span.J1; ++bj)
        for (int bi = span.I0; bi <= span.I1; ++bi)
        {
            const size_t b = static_cast<size_t>(bj) * mBlocksX + bi;
            ++range.Count[b];
            range.Low[b] = std::min(range.Low[b], zLo);
            range.High[b] = std::max(range.High[b], zHi);
        }
    range.Spans.push_back(span);
}

void HeightGrid::EndBuild(std::vector<sFaceRange>& ranges, int threads)
{
    const double inf = std::numeric_limits<double>::infinity();
    const size_t blockCount = mBlockLow.size();
    // The faces of each block, in identifier order as a loop over the
    // faces meets them; each range's counts become where its faces go.
    mMargin = 0.0;
    mBoxed = true;
    for (const sFaceRange& range : ranges)
    {
        mMargin = std::max(mMargin, range.Margin);
        mBoxed = mBoxed && !range.Boxless;
    }
    mBlockStart.assign(blockCount + 1, 0);
    for (size_t b = 0; b < blockCount; ++b)
    {
        int at = mBlockStart[b];
        for (sFaceRange& range : ranges)
        {
            mBlockLow[b] = std::min(mBlockLow[b], range.Low[b]);
            mBlockHigh[b] = std::max(mBlockHigh[b], range.High[b]);
            at += std::exchange(range.Count[b], at);
        }
        mBlockStart[b + 1] = at;
    }
    // Every slot is written once, by the range of its face.
    mBlockFaces.clear();
    mBlockFaces.resize(static_cast<size_t>(mBlockStart[blockCount]));
    const int count = static_cast<int>(ranges.size());
    RunInRanges(count, std::min(count, std::max(threads, 1)),
                [&](int, int from, int to)
                {
                    for (int k = from; k < to; ++k)
                    {
                        sFaceRange& range = ranges[static_cast<size_t>(k)];
                        for (const sFaceRange::sSpan& span : range.Spans)
                            for (int bj = span.J0; bj <= span.J1; ++bj)
                                for (int bi = span.I0; bi <= span.I1; ++bi)
                                    mBlockFaces[static_cast<size_t>(
                                        range.Count[static_cast<size_t>(bj) * mBlocksX + bi]++)] = span.Face;
                    }
                });
    mRowLow.assign(static_cast<size_t>(mNy), inf);
    mRowHigh.assign(static_cast<size_t>(mNy), -inf);
    for (int j = 0; j < mNy; ++j)
        for (int bi = 0; bi < mBlocksX; ++bi)
        {
            const size_t b = static_cast<size_t>(j / mBlock) * mBlocksX + bi;
            mRowLow[static_cast<size_t>(j)] = std::min(mRowLow[static_cast<size_t>(j)], mBlockLow[b]);
            mRowHigh[static_cast<size_t>(j)] = std::max(mRowHigh[static_cast<size_t>(j)], mBlockHigh[b]);
        }
}

bool HeightGrid::FaceCells(const KorFace* f, std::vector<LumPoint>& points, LumPoint& lo, LumPoint& hi, int& i0,
                           int& j0, int& i1, int& j1) const
{
    if (!f)
        return false;
    mSurface->GetFacePoints(f, points);
    return PointsCells(points.data(), points.size(), lo, hi, i0, j0, i1, j1);
}

bool HeightGrid::PointsCells(const LumPoint* points, size_t count, LumPoint& lo, LumPoint& hi, int& i0, int& j0,
                             int& i1, int& j1) const
{
    if (count == 0)
        return false;
    KorFaceBoxIndex::PointsBox(points, count, lo, hi);
    const sWindow cells = BoxCells(lo, hi);
    i0 = cells.I0;
    j0 = cells.J0;
    i1 = cells.I1;
    j1 = cells.J1;
    return cells.I0 <= cells.I1;
}

void HeightGrid::FillBlock(size_t b) const
{
    if (mFilled[b])
        return;
    mFilled[b] = 1;
    const int bi = static_cast<int>(b % static_cast<size_t>(mBlocksX)), bj = static_cast<int>(b / mBlocksX);
    thread_local std::vector<LumPoint> points;
    for (int k = mBlockStart[b]; k < mBlockStart[b + 1]; ++k)
    {
        LumPoint lo, hi;
        int i0, j0, i1, j1;
        if (!FaceCells(mSurface->GetFace(mBlockFaces[static_cast<size_t>(k)]), points, lo, hi, i0, j0, i1, j1))
            continue;
        // The altitudes of the face over each widened cell of the block.
        for (int j = std::max(j0, bj * mBlock); j <= std::min(j1, (bj + 1) * mBlock - 1); ++j)
            for (int i = std::max(i0, bi * mBlock); i <= std::min(i1, (bi + 1) * mBlock - 1); ++i)
            {
                double zLo = lo.z, zHi = hi.z, fanLo = 0.0, fanHi = 0.0;
                // A face wholly within the cell is its own clip.
                const bool within = points.size() >= 3 && lo.x >= CellX0(i) && hi.x <= CellX1(i) &&
                                    lo.y >= CellY0(j) && hi.y <= CellY1(j);
                bool over = within;
                for (size_t n = 1; !within && n + 1 < points.size(); ++n)
                    if (ClipRange(points[0], points[n], points[n + 1], CellX0(i), CellY0(j), CellX1(i), CellY1(j),
                                  fanLo, fanHi))
                    {
                        zLo = over ? std::min(zLo, fanLo) : fanLo;
                        zHi = over ? std::max(zHi, fanHi) : fanHi;
                        over = true;
                    }
                if (!over)
                    continue;
                const size_t c = static_cast<size_t>(j) * mNx + i;
                mLow[c] = std::min(mLow[c], zLo);
                mHigh[c] = std::max(mHigh[c], zHi);
            }
    }
}

bool HeightGrid::QueryFaces(const std::vector<LumPoint>& corners, std::vector<int>& faces) const
{
    faces.clear();
    if (mNx == 0 || !mBoxed)
        return false;
    // The blocks of the cells of each box widened by the faces' widening: a
    // face whose widened box meets the box shares a point, and so a cell,
    // with the widened box, and a face is in the blocks of all its cells.
    // The faces of the blocks met are counted once, however many boxes
    // (one a row of cells, for a region) meet a block.
    if (mStamp.size() != static_cast<size_t>(mFaceSlots))
    {
        mStamp.assign(static_cast<size_t>(mFaceSlots), 0u);
        mBlockStamp.assign(mBlockLow.size(), 0u);
        mBlockBoxes.assign(mBlockLow.size(), {});
        mQueryCount = 0;
    }
    if (++mQueryCount == 0)
    {
        std::fill(mStamp.begin(), mStamp.end(), 0u);
        std::fill(mBlockStamp.begin(), mBlockStamp.end(), 0u);
        mQueryCount = 1;
    }
    std::vector<sWindow> blocks;
    blocks.reserve(corners.size() / 2);
    size_t entries = 0;
    for (size_t k = 0; k + 1 < corners.size(); k += 2)
    {
        const LumPoint widening(mMargin, mMargin, 0.0);
        const sWindow cells = BoxCells(corners[k] - widening, corners[k + 1] + widening);
        if (cells.I0 > cells.I1)
        {
            blocks.push_back(sWindow{1, 1, 0, 0});
            continue;
        }
        const sWindow& r = blocks.emplace_back(sWindow{cells.I0 / mBlock, cells.J0 / mBlock, cells.I1 / mBlock,
                                                       cells.J1 / mBlock});
        for (int bj = r.J0; bj <= r.J1; ++bj)
            for (int bi = r.I0; bi <= r.I1; ++bi)
            {
                const size_t b = static_cast<size_t>(bj) * mBlocksX + bi;
                if (std::exchange(mBlockStamp[b], mQueryCount) != mQueryCount)
                    entries += static_cast<size_t>(mBlockStart[b + 1] - mBlockStart[b]);
            }
    }
    // Boxes over a large part of the surface: the plain loop costs less.
    if (entries > mBlockFaces.size() / 4 + 64)
        return false;
    for (size_t k = 0; k + 1 < corners.size(); k += 2)
    {
        const LumPoint &lo = corners[k], &hi = corners[k + 1];
        const sWindow& r = blocks[k / 2];
        for (int bj = r.J0; bj <= r.J1; ++bj)
            for (int bi = r.I0; bi <= r.I1; ++bi)
            {
                const size_t b = static_cast<size_t>(bj) * mBlocksX + bi;
                const std::vector<sFaceBox>& boxes = BlockBoxes(b);
                for (size_t at = 0; at < boxes.size(); ++at)
                {
                    const int f = mBlockFaces[static_cast<size_t>(mBlockStart[b]) + at];
                    unsigned& stamp = mStamp[static_cast<size_t>(f)];
                    const sFaceBox& box = boxes[at];
                    if (stamp != mQueryCount && box.Lo.x <= hi.x && box.Hi.x >= lo.x && box.Lo.y <= hi.y &&
                        box.Hi.y >= lo.y && box.Lo.z <= hi.z && box.Hi.z >= lo.z)
                    {
                        stamp = mQueryCount;
                        faces.push_back(f);
                    }
                }
            }
    }
    std::sort(faces.begin(), faces.end());
    return true;
}

const std::vector<HeightGrid::sFaceBox>& HeightGrid::BlockBoxes(size_t b) const
{
    std::vector<sFaceBox>& boxes = mBlockBoxes[b];
    const size_t count = static_cast<size_t>(mBlockStart[b + 1] - mBlockStart[b]);
    if (boxes.size() == count)
        return boxes;
    // From the surface as Build read it: the same boxes. A face with none
    // (no point, or one gone) meets no box.
    const double far = std::numeric_limits<double>::infinity();
    boxes.assign(count, sFaceBox{LumPoint(far, far, far), LumPoint(-far, -far, -far)});
    thread_local std::vector<LumPoint> points;
    for (size_t at = 0; at < count; ++at)
    {
        mSurface->GetFacePoints(mSurface->GetFace(mBlockFaces[static_cast<size_t>(mBlockStart[b]) + at]), points);
        sFaceBox box;
        if (KorFaceBoxIndex::FaceBox(points.data(), points.size(), box.Lo, box.Hi) > 0)
            boxes[at] = box;
    }
    return boxes;
}

bool HeightGrid::CellRange(double x0, double y0, double x1, double y1, int& i0, int& j0, int& i1,
                           int& j1) const
{
    if (mNx == 0 || !(x1 >= mLo.x && x0 <= mHi.x && y1 >= mLo.y && y0 <= mHi.y))
        return false;
    // Rounding at a cell's edge is absorbed by the neighbour cell.
    bool number = true;
    i0 = std::max(ClampedCell((x0 - mLo.x) / mCellX, mNx, number) - 1, 0);
    j0 = std::max(ClampedCell((y0 - mLo.y) / mCellY, mNy, number) - 1, 0);
    i1 = std::min(ClampedCell((x1 - mLo.x) / mCellX, mNx, number) + 1, mNx - 1);
    j1 = std::min(ClampedCell((y1 - mLo.y) / mCellY, mNy, number) + 1, mNy - 1);
    return number;
}

namespace
{
// The slopes in x and y of the plane through three points, when it does not
// stand upright: its plan determinant above 1e-6 of the square of `extent`.
bool PlaneSlopes(const LumPoint& p, const LumPoint& q, const LumPoint& r, double extent, double& gx,
                 double& gy)
{
    const LumPoint u = q - p, v = r - p;
    const double det = u.x * v.y - u.y * v.x;
    gx = gy = 0.0;
    if (!(std::fabs(det) > 1e-6 * extent * extent))
        return false;
    gx = (u.z * v.y - v.z * u.y) / det;
    gy = (u.x * v.z - v.x * u.z) / det;
    return true;
}

bool LiftToFirstPlane(std::vector<LumPoint>& polygon);
} // namespace

bool HeightGrid::MeetingRegion(const KorMesh& other, double tolerance, std::vector<LumPoint>& boxes) const
{
    boxes.clear();
    if (mNx == 0)
        return false;
    // Kept zero between calls: only the window of the marked cells is
    // touched, a small part of the grid on a dense surface.
    thread_local std::vector<char> mask, outside;
    const size_t cells = static_cast<size_t>(mNx) * mNy;
    if (mask.size() != cells)
    {
        mask.assign(cells, 0);
        outside.assign(cells, 0);
    }
    sWindow marked{mNx, mNy, -1, -1};
    // Whatever way the call ends, the window of the marked cells (one cell
    // wider, where the flood runs) is wiped for the next one.
    struct sWipe
    {
        const HeightGrid& Grid;
        const sWindow& Marked;
        ~sWipe()
        {
            if (Marked.I0 > Marked.I1)
                return;
            const int i0 = std::max(Marked.I0 - 1, 0), i1 = std::min(Marked.I1 + 1, Grid.mNx - 1);
            for (int j = std::max(Marked.J0 - 1, 0); j <= std::min(Marked.J1 + 1, Grid.mNy - 1); ++j)
            {
                const auto from = static_cast<std::ptrdiff_t>(static_cast<size_t>(j) * Grid.mNx + i0);
                std::fill_n(mask.begin() + from, i1 - i0 + 1, 0);
                std::fill_n(outside.begin() + from, i1 - i0 + 1, 0);
            }
        }
    } wipe{*this, marked};
    std::vector<LumPoint> points, lifted;
    for (int id = 0; id < other.GetFaceVectorSize(); ++id)
    {
        const KorFace* f = other.GetFace(id);
        if (!f)
            continue;
        other.GetFacePoints(f, points);
        // A walk along a face of more than three corners follows the plane
        // of its first three over the face: where the face is not flat that
        // plane stands elsewhere than the fan of triangles from its first
        // corner that covers it. Over the same plan, the two differ in
        // altitude by at most their largest difference at a corner: where
        // that is small, the fan marked with the tolerance widened by it
        // covers both.
        double shift = 0.0;
        if (points.size() > 3)
        {
            lifted = points;
            if (LiftToFirstPlane(lifted))
                for (size_t k = 0; k < points.size(); ++k)
                    shift = std::max(shift, std::fabs(lifted[k].z - points[k].z));
        }
        const bool flat = shift <= 0.1 * tolerance;
        for (size_t k = 1; k + 1 < points.size(); ++k)
            MarkTriangle(points[0], points[k], points[k + 1], tolerance + (flat ? shift : 0.0), mask, marked);
        if (!flat)
            for (size_t k = 1; k + 1 < lifted.size(); ++k)
                MarkTriangle(lifted[0], lifted[k], lifted[k + 1], tolerance, mask, marked);
    }
    if (marked.I0 > marked.I1)
        return false;
    // The cells a closed line may enclose: those that the grid's border
    // cannot reach without crossing a marked cell. Every cell beyond the
    // marked ones is reached, so the flood runs over them and a ring of one
    // cell around, from the ring.
    const int i0 = std::max(marked.I0 - 1, 0), i1 = std::min(marked.I1 + 1, mNx - 1);
    const int j0 = std::max(marked.J0 - 1, 0), j1 = std::min(marked.J1 + 1, mNy - 1);
    std::vector<int> stack;
    const auto push = [&](int i, int j)
    {
        const size_t c = static_cast<size_t>(j) * mNx + i;
        if (!mask[c] && !outside[c])
        {
            outside[c] = 1;
            stack.push_back(static_cast<int>(c));
        }
    };
    for (int i = i0; i <= i1; ++i)
    {
        push(i, j0);
        push(i, j1);
    }
    for (int j = j0; j <= j1; ++j)
    {
        push(i0, j);
        push(i1, j);
    }
    while (!stack.empty())
    {
        const int c = stack.back();
        stack.pop_back();
        const int i = c % mNx, j = c / mNx;
        if (i > i0)
            push(i - 1, j);
        if (i < i1)
            push(i + 1, j);
        if (j > j0)
            push(i, j - 1);
        if (j < j1)
            push(i, j + 1);
    }
    for (int j = j0; j <= j1; ++j)
    {
        for (int i = i0; i <= i1;)
        {
            if (outside[static_cast<size_t>(j) * mNx + i])
            {
                ++i;
                continue;
            }
            const int start = i;
            while (i <= i1 && !outside[static_cast<size_t>(j) * mNx + i])
                ++i;
            boxes.push_back(LumPoint(mLo.x + start * mCellX, mLo.y + j * mCellY, 0.0));
            boxes.push_back(LumPoint(mLo.x + i * mCellX, mLo.y + (j + 1) * mCellY, 0.0));
        }
    }
    return true;
}

namespace
{
// Puts every corner of the polygon on the plane of its first three, at its
// own plan position; false for a plane standing upright.
bool LiftToFirstPlane(std::vector<LumPoint>& polygon)
{
    const LumPoint& p = polygon[0];
    const LumPoint u = polygon[1] - p, v = polygon[2] - p;
    const double extent = std::max({std::fabs(u.x), std::fabs(u.y), std::fabs(v.x), std::fabs(v.y)});
    double gx = 0.0, gy = 0.0;
    if (!PlaneSlopes(p, polygon[1], polygon[2], extent, gx, gy))
        return false;
    for (LumPoint& q : polygon)
        q.z = p.z + gx * (q.x - p.x) + gy * (q.y - p.y);
    return true;
}

// Keeps the part of the polygon on the kept side of one coordinate bound,
// altitudes interpolated along the sides it crosses. A triangle clipped by
// four bounds keeps at most seven corners.
struct sPolygon
{
    LumPoint Points[8];
    int Count = 0;
};

void Clip(const sPolygon& polygon, sPolygon& kept, bool alongX, double bound, bool below)
{
    kept.Count = 0;
    const auto value = [alongX](const LumPoint& p) { return alongX ? p.x : p.y; };
    const auto inside = [&](const LumPoint& p) { return below ? value(p) <= bound : value(p) >= bound; };
    for (int k = 0; k < polygon.Count; ++k)
    {
        const LumPoint& a = polygon.Points[k];
        const LumPoint& b = polygon.Points[k + 1 < polygon.Count ? k + 1 : 0];
        if (inside(a))
            kept.Points[kept.Count++] = a;
        if (inside(a) != inside(b))
        {
            const double t = (bound - value(a)) / (value(b) - value(a));
            kept.Points[kept.Count++] = a + (b - a) * t;
        }
    }
}
} // namespace

namespace
{
// The plan abscissae and the altitudes of the triangle over the band ya <=
// y <= yb: those of its corners in the band and of its sides' crossings of
// the band's edges. False when it has none.
struct sBand
{
    double XLo = 0.0, XHi = 0.0, ZLo = 0.0, ZHi = 0.0;
};

bool BandRange(const LumPoint& p, const LumPoint& q, const LumPoint& r, double ya, double yb, sBand& band)
{
    bool any = false;
    const auto take = [&](double x, double z)
    {
        band.XLo = any ? std::min(band.XLo, x) : x;
        band.XHi = any ? std::max(band.XHi, x) : x;
        band.ZLo = any ? std::min(band.ZLo, z) : z;
        band.ZHi = any ? std::max(band.ZHi, z) : z;
        any = true;
    };
    const LumPoint* corners[3] = {&p, &q, &r};
    for (int k = 0; k < 3; ++k)
    {
        const LumPoint& a = *corners[k];
        const LumPoint& b = *corners[(k + 1) % 3];
        if (a.y >= ya && a.y <= yb)
            take(a.x, a.z);
        for (double bound : {ya, yb})
            if ((a.y < bound) != (b.y < bound))
            {
                const double t = (bound - a.y) / (b.y - a.y);
                take(a.x + (b.x - a.x) * t, a.z + (b.z - a.z) * t);
            }
    }
    return any;
}
} // namespace

bool HeightGrid::ClipRange(const LumPoint& p, const LumPoint& q, const LumPoint& r, double x0, double y0,
                           double x1, double y1, double& zLo, double& zHi)
{
    // Clipped back and forth between two polygons.
    sPolygon polygon, other;
    polygon.Points[0] = p;
    polygon.Points[1] = q;
    polygon.Points[2] = r;
    polygon.Count = 3;
    Clip(polygon, other, true, x0, false);
    Clip(other, polygon, true, x1, true);
    Clip(polygon, other, false, y0, false);
    Clip(other, polygon, false, y1, true);
    if (polygon.Count == 0)
        return false;
    zLo = zHi = polygon.Points[0].z;
    for (int k = 1; k < polygon.Count; ++k)
    {
        zLo = std::min(zLo, polygon.Points[k].z);
        zHi = std::max(zHi, polygon.Points[k].z);
    }
    return true;
}

void HeightGrid::MarkTriangle(const LumPoint& p, const LumPoint& q, const LumPoint& r, double tolerance,
                              std::vector<char>& mask, sWindow& marked) const
{
    const LumPoint flo(std::min({p.x, q.x, r.x}), std::min({p.y, q.y, r.y}), std::min({p.z, q.z, r.z}));
    const LumPoint fhi(std::max({p.x, q.x, r.x}), std::max({p.y, q.y, r.y}), std::max({p.z, q.z, r.z}));
    int i0, j0, i1, j1;
    if (!CellRange(flo.x, flo.y, fhi.x, fhi.y, i0, j0, i1, j1))
        return;
    // Over a cell, a triangle well spread in plan stays between its plane's
    // altitudes at the cell's corners, and always between its lowest and
    // highest corner; a steep one is clipped to the cell. The cells of the
    // surface's bounds already take in their neighbours for rounding.
    double gx = 0.0, gy = 0.0;
    const bool plane = PlaneSlopes(p, q, r, std::max(fhi.x - flo.x, fhi.y - flo.y), gx, gy);
    // The triangle's altitudes over a plan rectangle; false where it has
    // none.
    const auto over = [&](double x0, double y0, double x1, double y1, double& zLo, double& zHi)
    {
        zLo = flo.z;
        zHi = fhi.z;
        if (!plane)
            return ClipRange(p, q, r, x0, y0, x1, y1, zLo, zHi);
        const auto at = [&](double x, double y) { return p.z + gx * (x - p.x) + gy * (y - p.y); };
        const double a = at(x0, y0), b = at(x1, y0), d = at(x0, y1), e = at(x1, y1);
        zLo = std::max(zLo, std::min({a, b, d, e}));
        zHi = std::min(zHi, std::max({a, b, d, e}));
        return true;
    };
    const auto apart = [tolerance](double zLo, double zHi, double low, double high)
    { return low > high || zLo > high + tolerance || zHi < low - tolerance; };
    // Per row: the columns it can be met in and the triangle's altitudes
    // over it. The cheap tests come first: a head's long faces cross many
    // rows and meet few.
    struct sRow
    {
        int First = 1, Last = 0;
        double Low = 0.0, High = 0.0;
    };
    thread_local std::vector<sRow> rows;
    rows.assign(static_cast<size_t>(j1 - j0 + 1), sRow());
    for (int j = j0; j <= j1; ++j)
    {
        sRow& row = rows[static_cast<size_t>(j - j0)];
        const double low = mRowLow[static_cast<size_t>(j)] - tolerance;
        const double high = mRowHigh[static_cast<size_t>(j)] + tolerance;
        if (low > high || flo.z > high || fhi.z < low)
            continue;
        // The triangle's plan and altitudes over the widened row.
        sBand band;
        if (!BandRange(p, q, r, mLo.y + j * mCellY - mHair, mLo.y + (j + 1) * mCellY + mHair, band))
            continue;
        int first = i0, last = i1;
        double zLo = flo.z, zHi = fhi.z;
        if (band.XLo == band.XLo && band.XHi == band.XHi && band.ZLo == band.ZLo && band.ZHi == band.ZHi)
        {
            if (band.ZLo > high || band.ZHi < low)
                continue;
            const auto column = [&](double x)
            { return static_cast<int>(std::clamp(std::floor((x - mLo.x) / mCellX), i0 - 1.0, i1 + 1.0)); };
            first = std::max(first, column(band.XLo) - 1);
            last = std::min(last, column(band.XHi) + 1);
            zLo = std::max(zLo, band.ZLo);
            zHi = std::min(zHi, band.ZHi);
        }
        // On a plane, a row of cells can only be met where the plane comes
        // within the row's altitudes: an interval of x, since the plane is
        // linear (cells one wider on each side for rounding).
        if (plane && gx != 0.0)
        {
            // z over the row at abscissa x lies in [base + gx x, base + gx x
            // + |gy| height] with base the lower of its ends in y.
            const double y0 = mLo.y + j * mCellY;
            const double base = p.z + gx * (0.0 - p.x) + std::min(gy * (y0 - p.y), gy * (y0 + mCellY - p.y));
            const double spread = std::fabs(gy) * mCellY + std::fabs(gx) * mCellX;
            // base + gx x <= high and base + gx x + spread >= low.
            double xa = (high - base) / gx, xb = (low - spread - base) / gx;
            if (xa > xb)
                std::swap(xa, xb);
            // Clamped before the conversion: a plane all but flat in x puts
            // the ends of the interval far outside the grid, or nowhere
            // (NaN).
            const auto column = [&](double x, double shift)
            {
                const double c = std::floor((x - mLo.x) / mCellX) + shift;
                return c == c ? static_cast<int>(std::clamp(c, i0 - 1.0, i1 + 1.0)) : (shift < 0 ? i0 : i1);
            };
            first = std::max(first, column(xa, -2.0));
            last = std::min(last, column(xb, 2.0));
        }
        row = sRow{first, last, zLo, zHi};
    }
    for (int bj = j0 / mBlock; bj <= j1 / mBlock; ++bj)
    {
        // The columns any row of this band of blocks can be met in.
        int first = i1 + 1, last = i0 - 1;
        double bandLo = fhi.z, bandHi = flo.z;
        for (int j = std::max(j0, bj * mBlock); j <= std::min(j1, (bj + 1) * mBlock - 1); ++j)
        {
            const sRow& row = rows[static_cast<size_t>(j - j0)];
            if (row.First > row.Last)
                continue;
            first = std::min(first, row.First);
            last = std::max(last, row.Last);
            bandLo = std::min(bandLo, row.Low);
            bandHi = std::max(bandHi, row.High);
        }
        if (first > last)
            continue;
        for (int bi = first / mBlock; bi <= last / mBlock; ++bi)
        {
            const size_t b = static_cast<size_t>(bj) * mBlocksX + bi;
            double zLo = 0.0, zHi = 0.0;
            if (apart(bandLo, bandHi, mBlockLow[b], mBlockHigh[b]))
                continue;
            const int ci0 = std::max(i0, bi * mBlock), ci1 = std::min(i1, (bi + 1) * mBlock - 1);
            const int cj0 = std::max(j0, bj * mBlock), cj1 = std::min(j1, (bj + 1) * mBlock - 1);
            if (mBlock > 1 && (!over(mLo.x + ci0 * mCellX, mLo.y + cj0 * mCellY, mLo.x + (ci1 + 1) * mCellX,
                                     mLo.y + (cj1 + 1) * mCellY, zLo, zHi) ||
                               apart(zLo, zHi, mBlockLow[b], mBlockHigh[b])))
                continue;
            FillBlock(b);
            for (int j = cj0; j <= cj1; ++j)
            {
                const sRow& row = rows[static_cast<size_t>(j - j0)];
                for (int i = std::max(ci0, row.First), end = std::min(ci1, row.Last); i <= end; ++i)
                {
                    const size_t c = static_cast<size_t>(j) * mNx + i;
                    // No surface over the cell, or none within the triangle's
                    // span over the row.
                    if (apart(row.Low, row.High, mLow[c], mHigh[c]) ||
                        !over(mLo.x + i * mCellX, mLo.y + j * mCellY, mLo.x + (i + 1) * mCellX,
                              mLo.y + (j + 1) * mCellY, zLo, zHi) ||
                        apart(zLo, zHi, mLow[c], mHigh[c]))
                        continue;
                    mask[c] = 1;
                    marked.I0 = std::min(marked.I0, i);
                    marked.J0 = std::min(marked.J0, j);
                    marked.I1 = std::max(marked.I1, i);
                    marked.J1 = std::max(marked.J1, j);
                }
            }
        }
    }
}
