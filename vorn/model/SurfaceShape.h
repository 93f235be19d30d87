#pragma once

#include "HeightGrid.h"
#include "KorBoundingBox.h"
#include "KorMesh.h"

#include <vector>

// What a cut of a layer's surface needs to know of the surface as a whole
// when it works on a patch of it only: its box, its altitude bounds over
// plan cells, whether it is one sheet of
// triangles with no free slot, its vertices by altitude and its border. Built
// in O(n log n) when the surface changes; Matches tells a stale one.
class SurfaceShape
{
public:
    void Build(KorMesh& surface);
    // Whether the shape was built from a surface with these slot counts.
    bool Matches(const KorMesh& surface) const;

    const KorBoundingBox& GetBox() const { return mBox; }
    const HeightGrid& GetHeightGrid() const { return mHeights; }
    // One sheet: every face is a triangle reachable from any other across
    // shared half-edges, the half-edge and face tables have no free slot,
    // and the surface has a border.
    bool IsOneSheet() const { return mOneSheet; }
    // The vertices that have a half-edge, by increasing altitude (ties by
    // identifier).
    const std::vector<int>& GetVerticesByAltitude() const { return mByAltitude; }
    // The half-edges without a face.
    const std::vector<int>& GetBorder() const { return mBorder; }

private:
    // Faces from which the altitude grid is built in a thread of its own.
    static constexpr int kGridApart = 5000;

    KorBoundingBox mBox;
    HeightGrid mHeights;
    bool mOneSheet = false;
    std::vector<int> mByAltitude;
    std::vector<int> mBorder;
    int mVertexSlots = -1, mEdgeSlots = -1, mFaceSlots = -1;
};
