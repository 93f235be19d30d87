#pragma once

#include "KorParallel.h"
#include "LumPoint.h"

#include <algorithm>
#include <cstddef>
#include <vector>

class KorBoundingBox;
class KorFace;
class KorMesh;

// Altitude bounds of a surface over a grid of plan cells: a cell holds the
// lowest and the highest altitude of the faces over it, so that every point
// of the surface over the cell lies between the two. It
// tells, without looking at the faces, where in plan another mesh can meet
// the surface. It does not follow edits of the surface made after Build.
//
// Build is one pass over the faces, O(F): it sorts them into blocks of
// cells and bounds each block by its faces' corners. The cells of a block
// are worked out from its faces (clipped to each cell) the first time a
// query looks into it, so a query near a head on a dense surface costs the
// few blocks it meets; the cells are the same as if all were worked out at
// once. The surface must therefore outlive the grid and stay unchanged
// until it is built again; queries are not for concurrent use.
class HeightGrid
{
public:
    // The blocks a side of a grid built without saying.
    static constexpr int kBlocksPerSide = 128;

    // A grid of cellsPerSide x cellsPerSide blocks over the plan of the box
    // (the surface's), each of 1 to 8 cells a side as the surface is dense;
    // none for a surface without face. A dense surface is read in up to
    // `threads` ranges side by side, to the same grid.
    void Build(const KorMesh& surface, const KorBoundingBox& box, int cellsPerSide = kBlocksPerSide,
               int threads = 1);

    // What a range of faces adds to a grid being built.
    struct sFaceRange
    {
        struct sSpan
        {
            int Face, I0, J0, I1, J1;
        };
        std::vector<sSpan> Spans;
        std::vector<int> Count;
        std::vector<double> Low, High;
        double Margin = 0.0;
        bool Boxless = false;
    };
    // Build in steps, for a caller that reads the faces anyway: BeginBuild
    // (false, with an empty grid, for a surface without face), then for
    // contiguous ranges of face slots side by side StartRange and AddFace
    // with the points of each face of the range by increasing identifier
    // (as KorMesh::GetFacePoints gives them), then EndBuild with the ranges
    // in order. The grid is the one Build makes (with `finite`, its face
    // queries may look into a few more blocks, for the same faces).
    // `finite` tells that every live vertex of the surface has finite
    // coordinates, which the box then holds.
    bool BeginBuild(const KorMesh& surface, const KorBoundingBox& box, int cellsPerSide = kBlocksPerSide,
                    bool finite = false);
    void StartRange(sFaceRange& range, int faces) const;
    void AddFace(sFaceRange& range, int id, const LumPoint* points, size_t n) const;
    // The same for a triangle of three live vertices, its corners within
    // the box BeginBuild was given.
    void AddTriangle(sFaceRange& range, int id, const LumPoint* corners) const;
    void EndBuild(std::vector<sFaceRange>& ranges, int threads = 1);
    // The plan region where the faces of `other` may come within
    // `tolerance` of the surface in altitude, with every cell it encloses:
    // every point where they meet, and the plan inside any closed line they
    // meet along, lies in it. Given as pairs of corners (lo, hi) of boxes,
    // one per run of cells along a row. False when there is none.
    bool MeetingRegion(const KorMesh& other, double tolerance, std::vector<LumPoint>& boxes) const;
    // The faces whose box, widened as KorFaceBoxIndex widens it, meets one
    // of the boxes (pairs of corners lo <= hi in turn), by identifier, each
    // once: what a KorFaceBoxIndex of the surface answers. False, with no
    // face, when the boxes together hold a large part of the surface's
    // faces, or when a face has no finite box. The boxes of a block's faces
    // are worked out at the first query that meets it: not for concurrent
    // use, as MeetingRegion.
    bool QueryFaces(const std::vector<LumPoint>& corners, std::vector<int>& faces) const;
    // The larger side of a fine cell.
    double GetCellSize() const { return std::max(mCellX, mCellY); }
    // No cell: built from a surface without face, or never built.
    bool IsEmpty() const { return mNx == 0; }

private:
    // The cell range covering the plan box lo-hi; false when it lies
    // outside the grid.
    bool CellRange(double x0, double y0, double x1, double y1, int& i0, int& j0, int& i1, int& j1) const;

    // A range of cells, empty while I0 > I1 (that of the cells marked so
    // far, for MarkTriangle).
    struct sWindow
    {
        int I0, J0, I1, J1;
    };

    // What face `id` over `cells` adds to a range: its altitudes
    // lowest..highest to the bounds of its blocks, and its span of blocks.
    void AddSpan(sFaceRange& range, int id, sWindow cells, double lowest, double highest) const;
    // Marks the cells where one triangle may meet the surface, and widens
    // the window to them.
    void MarkTriangle(const LumPoint& p, const LumPoint& q, const LumPoint& r, double tolerance,
                      std::vector<char>& mask, sWindow& marked) const;

    // The face's points and plan box, and the cells whose widened
    // rectangle meets that box; false for a face with no cell.
    bool FaceCells(const KorFace* f, std::vector<LumPoint>& points, LumPoint& lo, LumPoint& hi, int& i0, int& j0,
                   int& i1, int& j1) const;
    // The same for a face's points.
    bool PointsCells(const LumPoint* points, size_t count, LumPoint& lo, LumPoint& hi, int& i0, int& j0, int& i1,
                     int& j1) const;
    // The same for the box low-high of a face's points: none (I0 > I1)
    // when it lies outside the grid or has no number.
    sWindow BoxCells(const LumPoint& low, const LumPoint& high) const;
    // A side of the grid: where its cells start, their side and its
    // reciprocal, the hair each is widened by, how many cells there are
    // and how many neighbours the hair and rounding can reach.
    struct sAxis
    {
        double Origin, Side, PerSide, Hair;
        int Cells, Reach;
        // The widened edges of cell i.
        double Lower(int i) const { return Origin + i * Side - Hair; }
        double Upper(int i) const { return Origin + (i + 1) * Side + Hair; }
    };
    // The cells first..last along a side whose widened extent meets
    // low..high; `number` cleared for an end that is no number.
    static void AxisCells(const sAxis& axis, double low, double high, int& first, int& last, bool& number);
    struct sFaceBox
    {
        LumPoint Lo, Hi;
    };
    // The widened boxes of block b's faces, worked out once.
    const std::vector<sFaceBox>& BlockBoxes(size_t b) const;
    // Works out the cells of block b, once.
    void FillBlock(size_t b) const;
    // The widened edges of cell column i and row j.
    double CellX0(int i) const { return mAxisX.Lower(i); }
    double CellX1(int i) const { return mAxisX.Upper(i); }
    double CellY0(int j) const { return mAxisY.Lower(j); }
    double CellY1(int j) const { return mAxisY.Upper(j); }

    // The altitudes of the part of the triangle over the plan box; false
    // when there is none.
    static bool ClipRange(const LumPoint& p, const LumPoint& q, const LumPoint& r, double x0, double y0,
                          double x1, double y1, double& zLo, double& zHi);

    // The cells' bounds, worked out by block (mFilled).
    mutable std::vector<double> mLow, mHigh;
    mutable std::vector<char> mFilled;
    // The faces over each block, block b's in mBlockFaces[mBlockStart[b]
    // .. mBlockStart[b + 1]).
    std::vector<int> mBlockStart;
    KorRangeVector<int> mBlockFaces;
    const KorMesh* mSurface = nullptr;
    // A plan widening of the faces' boxes for the face queries that none
    // goes past (the widest, or a bound of it), and whether every face has
    // a box in the grid.
    double mMargin = 0.0;
    bool mBoxed = false;
    // A widening no triangle of live vertices goes past; negative for
    // none known, when each face's is worked out.
    double mTriangleMargin = -1.0;
    // The face queries' caches: the boxes of the blocks met so far (one
    // list a block, in the order of mBlockFaces), and the faces found in
    // the current query (mStamp == mQueryCount), both made at the first.
    mutable std::vector<std::vector<sFaceBox>> mBlockBoxes;
    mutable std::vector<unsigned> mStamp, mBlockStamp;
    mutable unsigned mQueryCount = 0;
    int mFaceSlots = 0;
    // Bounds of each row of cells and of each block that hold those of
    // their cells (wider, from the faces' corners).
    std::vector<double> mRowLow, mRowHigh;
    // Blocks of mBlock x mBlock cells, mBlocksX to a side.
    std::vector<double> mBlockLow, mBlockHigh;
    int mBlock = 1, mBlocksX = 0;
    // The block of each column (row) of cells.
    std::vector<int> mBlockOf;
    LumPoint mLo, mHi;
    double mCellX = 1.0, mCellY = 1.0, mHair = 0.0;
    // The same by side, for a face's cells.
    sAxis mAxisX{}, mAxisY{};
    int mNx = 0, mNy = 0;
};
