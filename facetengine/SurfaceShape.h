#pragma once

#include "HeightGrid.h"
#include "KorBoundingBox.h"
#include "KorMesh.h"
#include "KorParallel.h"

#include <functional>
#include <mutex>
#include <vector>

// What a cut of a layer's surface needs to know of the surface as a whole
// when it works on a patch of it only: its box, its altitude bounds over
// plan cells (which also finds the faces near a place), whether it is one
// sheet of triangles with no free slot, its vertices by altitude and its
// border. Built when the surface changes in one pass over the vertices and
// one over the faces with their rings, O(V + F + E), which the altitude
// grid takes its faces from, into compact lists that the sheet test and
// the order by altitude then walk; a dense surface is read in ranges side
// by side. The order by altitude is worked out a slice at a time, as far
// as a visit goes. Matches tells a stale shape; the surface must outlive
// it and stay unchanged until it is built again.
class SurfaceShape
{
public:
    // Faces from which a surface is dense: read in ranges side by side, the
    // work that waits for no other pass on threads of its own.
    static constexpr int kDenseFaces = 5000;

    void Build(KorMesh& surface);
    // Whether the shape was built from a surface with these slot counts.
    bool Matches(const KorMesh& surface) const;

    const KorBoundingBox& GetBox() const { return mBox; }
    const HeightGrid& GetHeightGrid() const { return mHeights; }
    // One sheet: every face is a triangle reachable from any other across
    // shared half-edges, the half-edge and face tables have no free slot,
    // and the surface has a border.
    bool IsOneSheet() const { return mOneSheet; }
    // Calls visit with the vertices that have a half-edge by increasing
    // altitude, ties by identifier (the exact reverse with highest), until
    // visit returns true; whether it did. A visit that stops early sorts
    // only the few vertices it passes. Safe from several threads.
    bool VisitByAltitude(bool highest, const std::function<bool(int)>& visit) const;
    // The half-edges without a face, by identifier.
    const std::vector<int>& GetBorder() const { return mBorder; }

private:
    // Ranges side by side of each pass over the faces of a dense surface.
    static constexpr int kThreads = 4;
    // Vertices to a slice of the order by altitude, sorted when first
    // reached.
    static constexpr int kSliceVertices = 32;

    // Cuts the vertices with a half-edge (withEdge, in identifier order,
    // their altitudes within zLo..zHi, all finite or not) into slices of
    // altitude.
    void OrderByAltitude(const KorRangeVector<LumPoint>& points, const std::vector<int>& withEdge, double zLo,
                         double zHi, bool finite);
    // Sorts slice s by altitude, once; the caller holds mOrderLock.
    void SortSlice(size_t s) const;
    // The sheet test over the faces' half-edges (three by face slot, their
    // twins in `twins`, which become the faces across them), the border
    // found on the way, in up to `threads` ranges side by side. faceOf
    // holds the face each half-edge of a ring names; the others are read
    // from the surface.
    void FindSheet(KorMesh& surface, KorRangeVector<int>& twins, const KorRangeVector<int>& faceOf,
                   bool triangles, int threads);

    KorBoundingBox mBox;
    HeightGrid mHeights;
    bool mOneSheet = false;
    std::vector<int> mBorder;
    // The vertices with a half-edge by slices of altitude: slice s holds
    // mByAltitude[mSliceStart[s] .. mSliceStart[s + 1]), in identifier
    // order until mSliceSorted[s] is set. Slices follow each other in
    // altitude; with a NaN or an infinite altitude there is one slice.
    mutable std::vector<int> mByAltitude;
    // The altitude of each vertex of mByAltitude, as built.
    mutable std::vector<double> mAltitudes;
    std::vector<int> mSliceStart;
    mutable std::vector<char> mSliceSorted;
    mutable std::mutex mOrderLock;
    int mVertexSlots = -1, mEdgeSlots = -1, mFaceSlots = -1;
};
