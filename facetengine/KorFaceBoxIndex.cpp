#include "KorFaceBoxIndex.h"

#include "KorEdge.h"
#include "KorFace.h"
#include "KorMesh.h"
#include "KorVertex.h"

#include <algorithm>
#include <cmath>

bool KorFaceBoxIndex::CellRange(const LumPoint& lo, const LumPoint& hi, int& x0, int& y0, int& x1,
                                int& y1) const
{
    // floor((v - origin) / size) clamped to the grid, -1 for no number; a
    // truncation gives the floor of the quotients left between the two
    // ends.
    auto cell = [](double v, double origin, double size, int n)
    {
        const double q = (v - origin) / size;
        if (!(q == q))
            return -1;
        return q < 0.0 ? 0 : q >= n - 1.0 ? n - 1 : static_cast<int>(q);
    };
    x0 = cell(lo.x, mLo.x, mCellX, mNx);
    y0 = cell(lo.y, mLo.y, mCellY, mNy);
    x1 = cell(hi.x, mLo.x, mCellX, mNx);
    y1 = cell(hi.y, mLo.y, mCellY, mNy);
    return x0 >= 0 && y0 >= 0 && x1 >= 0 && y1 >= 0;
}

void KorFaceBoxIndex::ReadTriangles(const KorMesh& mesh, std::vector<LumPoint>& points, std::vector<int>& corners)
{
    const int vertexSlots = mesh.GetVertexVectorSize(), faceSlots = mesh.GetFaceVectorSize();
    points.assign(static_cast<size_t>(vertexSlots), LumPoint());
    std::vector<char> live(static_cast<size_t>(vertexSlots), 0);
    for (int id = 0; id < vertexSlots; ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
        {
            points[static_cast<size_t>(id)] = LumPoint(v->X, v->Y, v->Z);
            live[static_cast<size_t>(id)] = 1;
        }
    const auto isLive = [&](int id) { return id >= 0 && id < vertexSlots && live[static_cast<size_t>(id)]; };
    corners.assign(3 * static_cast<size_t>(faceSlots), -1);
    for (int id = 0; id < faceSlots; ++id)
    {
        const KorFace* face = mesh.GetFace(id);
        const KorEdge* e0 = face ? mesh.GetEdge(face->Edge) : nullptr;
        const KorEdge* e1 = e0 ? mesh.GetEdge(e0->Next) : nullptr;
        const KorEdge* e2 = e1 ? mesh.GetEdge(e1->Next) : nullptr;
        if (e2 && mesh.GetEdge(e2->Next) == e0 && isLive(e0->Vertex) && isLive(e1->Vertex) && isLive(e2->Vertex))
        {
            int* corner = &corners[3 * static_cast<size_t>(id)];
            corner[0] = e0->Vertex;
            corner[1] = e1->Vertex;
            corner[2] = e2->Vertex;
        }
    }
}

int KorFaceBoxIndex::FaceBox(const LumPoint* points, size_t n, LumPoint& boxLo, LumPoint& boxHi)
{
    if (n == 0)
        return 0;
    LumPoint lo, hi;
    PointsBox(points, n, lo, hi);
    return WidenBox(lo, hi, boxLo, boxHi);
}

bool KorFaceBoxIndex::Build(const KorMesh& mesh)
{
    std::vector<LumPoint> vertexPoints;
    std::vector<int> corners;
    ReadTriangles(mesh, vertexPoints, corners);
    mBuilt = false;
    const int slots = mesh.GetFaceVectorSize();
    mBoxes.assign(static_cast<size_t>(slots), sBox());
    mStamp.assign(static_cast<size_t>(slots), 0u);
    mQueryCount = 0;
    bool any = false;
    std::vector<LumPoint> polygon;
    for (int f = 0; f < slots; ++f)
    {
        const int* corner = &corners[3 * static_cast<size_t>(f)];
        LumPoint triangle[3];
        const LumPoint* points = triangle;
        size_t n = 3;
        if (corner[0] >= 0)
            for (int k = 0; k < 3; ++k)
                triangle[k] = vertexPoints[static_cast<size_t>(corner[k])];
        else if (const KorFace* face = mesh.GetFace(f))
        {
            mesh.GetFacePoints(face, polygon);
            points = polygon.data();
            n = polygon.size();
        }
        else
            continue;
        sBox& b = mBoxes[static_cast<size_t>(f)];
        const int boxed = FaceBox(points, n, b.Lo, b.Hi);
        if (boxed == 0)
            continue;
        if (boxed < 0)
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
    size_t total = 0;
    // Each face's cells (x0 > x1 for none), and the faces of each block of
    // cells in identifier order; a block's cells are filled at its first
    // query.
    mBlocksX = (mNx + kBlockSide - 1) / kBlockSide;
    mBlocksY = (mNy + kBlockSide - 1) / kBlockSide;
    const size_t blocks = static_cast<size_t>(mBlocksX) * mBlocksY;
    std::vector<int> count(blocks + 1, 0);
    mRanges.assign(static_cast<size_t>(slots), sRange());
    for (int f = 0; f < slots; ++f)
    {
        const sBox& b = mBoxes[static_cast<size_t>(f)];
        sRange& r = mRanges[static_cast<size_t>(f)];
        if (!b.Live || !CellRange(b.Lo, b.Hi, r.X0, r.Y0, r.X1, r.Y1))
        {
            r = sRange();
            continue;
        }
        total += static_cast<size_t>(r.X1 - r.X0 + 1) * static_cast<size_t>(r.Y1 - r.Y0 + 1);
        if (total > limit)
            return false; // vertical walls across the grid and the like: not worth it
        for (int y = r.Y0 / kBlockSide; y <= r.Y1 / kBlockSide; ++y)
            for (int x = r.X0 / kBlockSide; x <= r.X1 / kBlockSide; ++x)
                ++count[static_cast<size_t>(y) * mBlocksX + x];
    }
    mBlockStart.assign(blocks + 1, 0);
    for (size_t b = 0; b < blocks; ++b)
        mBlockStart[b + 1] = mBlockStart[b] + count[b];
    mBlockFaces.assign(static_cast<size_t>(mBlockStart[blocks]), 0);
    std::copy(mBlockStart.begin(), mBlockStart.end() - 1, count.begin());
    for (int f = 0; f < slots; ++f)
    {
        const sRange& r = mRanges[static_cast<size_t>(f)];
        for (int y = r.Y0 / kBlockSide; y <= r.Y1 / kBlockSide && r.X0 <= r.X1; ++y)
            for (int x = r.X0 / kBlockSide; x <= r.X1 / kBlockSide; ++x)
                mBlockFaces[static_cast<size_t>(count[static_cast<size_t>(y) * mBlocksX + x]++)] = f;
    }
    mBlockCells.assign(blocks, sBlockCells());
    mBuilt = true;
    return true;
}

const KorFaceBoxIndex::sBlockCells& KorFaceBoxIndex::BlockCells(int x, int y)
{
    const int bx = x / kBlockSide, by = y / kBlockSide;
    const size_t b = static_cast<size_t>(by) * mBlocksX + bx;
    sBlockCells& cells = mBlockCells[b];
    if (cells.Filled)
        return cells;
    // The cells of the block, kBlockSide to a row, each with its faces in
    // identifier order.
    const int x0 = bx * kBlockSide, y0 = by * kBlockSide;
    const auto local = [&](int cx, int cy) { return static_cast<size_t>(cy - y0) * kBlockSide + (cx - x0); };
    cells.Start.assign(kBlockSide * kBlockSide + 1, 0);
    for (int k = mBlockStart[b]; k < mBlockStart[b + 1]; ++k)
    {
        const sRange& r = mRanges[static_cast<size_t>(mBlockFaces[static_cast<size_t>(k)])];
        for (int cy = std::max(r.Y0, y0); cy <= std::min(r.Y1, y0 + kBlockSide - 1); ++cy)
            for (int cx = std::max(r.X0, x0); cx <= std::min(r.X1, x0 + kBlockSide - 1); ++cx)
                ++cells.Start[local(cx, cy) + 1];
    }
    for (size_t c = 0; c + 1 < cells.Start.size(); ++c)
        cells.Start[c + 1] += cells.Start[c];
    cells.Entries.assign(static_cast<size_t>(cells.Start.back()), 0);
    std::vector<int> fill(cells.Start.begin(), cells.Start.end() - 1);
    for (int k = mBlockStart[b]; k < mBlockStart[b + 1]; ++k)
    {
        const int f = mBlockFaces[static_cast<size_t>(k)];
        const sRange& r = mRanges[static_cast<size_t>(f)];
        for (int cy = std::max(r.Y0, y0); cy <= std::min(r.Y1, y0 + kBlockSide - 1); ++cy)
            for (int cx = std::max(r.X0, x0); cx <= std::min(r.X1, x0 + kBlockSide - 1); ++cx)
                cells.Entries[static_cast<size_t>(fill[local(cx, cy)]++)] = f;
    }
    cells.Filled = true;
    return cells;
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
            const sBlockCells& cells = BlockCells(x, y);
            const size_t c = static_cast<size_t>(y % kBlockSide) * kBlockSide + x % kBlockSide;
            for (int k = cells.Start[c]; k < cells.Start[c + 1]; ++k)
            {
                const int f = cells.Entries[static_cast<size_t>(k)];
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
