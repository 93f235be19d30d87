#pragma once

#include "LumPoint.h"

#include <algorithm>
#include <cmath>
#include <vector>

class KorMesh;

// A uniform grid in xy over the bounding boxes of a mesh's faces, for finding
// the faces a small box may touch. A query returns a superset of the faces
// whose box overlaps the query box (a margin absorbs rounding), sorted by
// identifier, so callers test them in the same order as a loop over all face
// slots would. Build is O(F): it sorts the faces into blocks of 8 x 8 cells,
// whose cells are filled at the first query that looks into them; a query
// is O(cells + candidates log candidates), the blocks it opens aside. The
// index refuses (Build or Query false) rather than grow: a mesh whose faces
// each span many cells, or a query spanning a large part of the grid, is
// left to the caller's exhaustive loop. It does not follow edits of the mesh
// made after Build.
class KorFaceBoxIndex
{
public:
    bool Build(const KorMesh& mesh);

    // The box of n > 0 points, unwidened.
    static void PointsBox(const LumPoint* points, size_t n, LumPoint& lo, LumPoint& hi)
    {
        // Worked out in locals: the box could share memory with the
        // points, which would have each step stored and read back.
        LumPoint low = points[0], high = points[0];
        for (size_t k = 1; k < n; ++k)
        {
            const LumPoint& p = points[k];
            low = LumPoint(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
            high = LumPoint(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
        }
        lo = low;
        hi = high;
    }
    // The box the index gives a face of these n points, widened so that
    // crossings found within the walks' tolerances are not lost: 1, or 0
    // for no point, -1 for a box whose plan is not finite (the index then
    // refuses the mesh).
    static int FaceBox(const LumPoint* points, size_t n, LumPoint& lo, LumPoint& hi);
    // The same from the box lo-hi of a face's points.
    static int WidenBox(const LumPoint& lo, const LumPoint& hi, LumPoint& boxLo, LumPoint& boxHi)
    {
        const double m = Margin(hi) + Margin(lo);
        boxLo = lo - LumPoint(m, m, m);
        boxHi = hi + LumPoint(m, m, m);
        if (!(boxLo.x == boxLo.x) || !(boxHi.x == boxHi.x) || !std::isfinite(boxHi.x + boxHi.y + boxLo.x + boxLo.y))
            return -1;
        return 1;
    }
    // A box is widened by the sum of this at its two corners (a fixed part
    // and one that grows with the coordinates) so that crossings accepted
    // with the walk's 1e-5 tolerances and single-precision rounding are
    // never lost by the index.
    static double Margin(const LumPoint& p)
    {
        return 1e-3 + 1e-6 * std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    }
    bool Query(const LumPoint& lo, const LumPoint& hi, std::vector<int>& faces);

private:
    // The points of the mesh's vertices by identifier, and the corners of
    // each face slot that holds a triangle of live corners, in the order
    // KorMesh::GetFacePoints gives them; -1 first for any other slot, whose
    // points are read from the mesh. One pass over each table, so that the
    // pass over the faces that follows reads the triangles' points from a
    // compact list.
    static void ReadTriangles(const KorMesh& mesh, std::vector<LumPoint>& points, std::vector<int>& corners);

    struct sBox
    {
        LumPoint Lo, Hi;
        bool Live = false;
    };
    // A face's cells; x0 > x1 for none.
    struct sRange
    {
        int X0 = 1, Y0 = 0, X1 = 0, Y1 = 0;
    };
    // The faces of each cell of a block, once filled: cell (x, y) of the
    // block is Start[y * kBlockSide + x].
    struct sBlockCells
    {
        std::vector<int> Start, Entries;
        bool Filled = false;
    };
    static constexpr int kBlockSide = 8;
    // The cells of the block holding cell (x, y), filled at the first call.
    const sBlockCells& BlockCells(int x, int y);
    bool CellRange(const LumPoint& lo, const LumPoint& hi, int& x0, int& y0, int& x1, int& y1) const;
    // Adds the faces of one box not stamped yet in this query.
    void Collect(const LumPoint& lo, const LumPoint& hi, int x0, int y0, int x1, int y1,
                 std::vector<int>& faces);
    void NextStamp();

    std::vector<sBox> mBoxes;
    std::vector<sRange> mRanges;
    // CSR layout: the faces of block b in mBlockFaces[mBlockStart[b] ..
    // mBlockStart[b + 1]).
    std::vector<int> mBlockStart, mBlockFaces;
    std::vector<sBlockCells> mBlockCells;
    int mBlocksX = 0, mBlocksY = 0;
    std::vector<unsigned> mStamp;
    unsigned mQueryCount = 0;
    LumPoint mLo, mHi;
    int mNx = 0, mNy = 0;
    double mCellX = 1, mCellY = 1;
    bool mBuilt = false;
};
