#pragma once

#include "LumPoint.h"

#include <vector>

class KorMesh;

// A uniform grid in xy over the bounding boxes of a mesh's faces, for finding
// the faces a small box may touch. A query returns a superset of the faces
// whose box overlaps the query box (a margin absorbs rounding), sorted by
// identifier, so callers test them in the same order as a loop over all face
// slots would. Build is O(F + entries); a query is O(cells + candidates log
// candidates). The index refuses (Build or Query false) rather than grow: a
// mesh whose faces each span many cells, or a query spanning a large part of
// the grid, is left to the caller's exhaustive loop. It does not follow edits
// of the mesh made after Build.
class KorFaceBoxIndex
{
public:
    bool Build(const KorMesh& mesh);
    bool Query(const LumPoint& lo, const LumPoint& hi, std::vector<int>& faces);
    // The union of the queries of several boxes (corners lo, hi in turn), each
    // face once; refused when the boxes together span a large part of the
    // grid.
    bool Query(const std::vector<LumPoint>& corners, std::vector<int>& faces);

private:
    struct sBox
    {
        LumPoint Lo, Hi;
        bool Live = false;
    };
    bool CellRange(const LumPoint& lo, const LumPoint& hi, int& x0, int& y0, int& x1, int& y1) const;
    // Adds the faces of one box not stamped yet in this query.
    void Collect(const LumPoint& lo, const LumPoint& hi, int x0, int y0, int x1, int y1,
                 std::vector<int>& faces);
    void NextStamp();

    std::vector<sBox> mBoxes;
    std::vector<int> mCellStart; // CSR layout: faces of cell c in mEntries[mCellStart[c] .. mCellStart[c+1])
    std::vector<int> mEntries;
    std::vector<unsigned> mStamp;
    unsigned mQueryCount = 0;
    LumPoint mLo, mHi;
    int mNx = 0, mNy = 0;
    double mCellX = 1, mCellY = 1;
    bool mBuilt = false;
};
