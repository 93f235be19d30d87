#pragma once

#include "LumPoint.h"

#include <algorithm>
#include <vector>

class KorBoundingBox;
class KorMesh;

// Altitude bounds of a surface over a grid of plan cells: a cell holds the
// lowest and the highest altitude of the faces over it, so that every point
// of the surface over the cell lies between the two. It
// tells, without looking at the faces, where in plan another mesh can meet
// the surface. It does not follow edits of the surface made after Build.
class HeightGrid
{
public:
    // A grid of cellsPerSide x cellsPerSide blocks over the plan of the box
    // (the surface's), each of 1 to 8 cells a side as the surface is dense;
    // none for a surface without face.
    void Build(const KorMesh& surface, const KorBoundingBox& box, int cellsPerSide = 128);
    // The plan region where the faces of `other` may come within
    // `tolerance` of the surface in altitude, with every cell it encloses:
    // every point where they meet, and the plan inside any closed line they
    // meet along, lies in it. Given as pairs of corners (lo, hi) of boxes,
    // one per run of cells along a row. False when there is none.
    bool MeetingRegion(const KorMesh& other, double tolerance, std::vector<LumPoint>& boxes) const;
    // The larger side of a fine cell.
    double GetCellSize() const { return std::max(mCellX, mCellY); }
    // No cell: built from a surface without face, or never built.
    bool IsEmpty() const { return mNx == 0; }

private:
    // The cell range covering the plan box lo-hi; false when it lies
    // outside the grid.
    bool CellRange(double x0, double y0, double x1, double y1, int& i0, int& j0, int& i1, int& j1) const;

    // The cell range of the cells marked so far, empty while I0 > I1.
    struct sWindow
    {
        int I0, J0, I1, J1;
    };

    // Marks the cells where one triangle may meet the surface, and widens
    // the window to them.
    void MarkTriangle(const LumPoint& p, const LumPoint& q, const LumPoint& r, double tolerance,
                      std::vector<char>& mask, sWindow& marked) const;

    // The altitudes of the part of the triangle over the plan box; false
    // when there is none.
    static bool ClipRange(const LumPoint& p, const LumPoint& q, const LumPoint& r, double x0, double y0,
                          double x1, double y1, double& zLo, double& zHi);

    std::vector<double> mLow, mHigh;
    // The bounds of each row of cells.
    std::vector<double> mRowLow, mRowHigh;
    // The bounds of blocks of mBlock x mBlock cells, mBlocksX to a side.
    std::vector<double> mBlockLow, mBlockHigh;
    int mBlock = 1, mBlocksX = 0;
    LumPoint mLo, mHi;
    double mCellX = 1.0, mCellY = 1.0, mHair = 0.0;
    int mNx = 0, mNy = 0;
};
