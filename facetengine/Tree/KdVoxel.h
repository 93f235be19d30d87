#pragma once

#include "LumPoint.h"

#include <vector>

class KorMesh;
class KorRay;
class LumKdTree;
class LumoraDevice;

enum eVoxelSplit
{
    VOXEL_SPLIT_NONE = 0,
    VOXEL_SPLIT_X = 1,
    VOXEL_SPLIT_Y = 2,
    VOXEL_SPLIT_Z = 3
};

// One node of a LumKdTree: an axis-aligned box P1..P2 (P1 the componentwise
// minimum), either a leaf holding face IDs or split by a plane normal to one
// axis into son1 (below the plane) and son2 (above). A voxel owns its sons;
// copying is forbidden. Box faces are numbered 0 = z max, 1 = x max,
// 2 = z min, 3 = x min, 4 = y max, 5 = y min.
class KdVoxel
{
public:
    KdVoxel(KdVoxel* parent, const LumPoint& a, const LumPoint& b);
    KdVoxel(const KdVoxel&) = delete;
    KdVoxel& operator=(const KdVoxel&) = delete;
    // Deletes the whole subtree, iteratively (no recursion on depth).
    ~KdVoxel();

    // Draws this voxel's split rectangle and its sons' (see LumKdTree::Render).
    void Render(LumoraDevice* device, int maxDepth);

    // Stores the split; X, Y or Z create both sons at the position, none
    // creates nothing (position -1). Any other value throws KorException.
    void DefineSplit(int direction, double position, bool planarToSon1);
    double GetSurface() const;
    bool IntersectVoxel(const KdVoxel& other) const;
    // The first box face (x min, x max, y min, y max, z min, z max) whose plane
    // lies within 1e-5 of p, as its number; -1 when none.
    int GetFaceOnPoint(const LumPoint& p) const;
    // Where the ray's line (parameters in [-1e20, 1e20]) enters and leaves the
    // box: faces and points, both faces -1 when it misses. O(1).
    void CheckRayIntersections(const KorRay& ray, int& entryFace, LumPoint& entry, int& exitFace,
                               LumPoint& exit) const;

    KdVoxel* GetParent() const { return mParent; }
    KdVoxel* GetSon1() const { return mSon1; }
    KdVoxel* GetSon2() const { return mSon2; }
    unsigned GetDepth() const { return mDepth; }
    const std::vector<int>& GetLeaves() const { return mLeaves; }
    void SetLeaves(const std::vector<int>& leaves) { mLeaves = leaves; }
    const LumPoint& GetP1() const { return mP1; }
    const LumPoint& GetP2() const { return mP2; }
    int GetSplitDirection() const { return mSplit; }
    double GetSplitPosition() const { return mSplitPosition; }
    bool GetPlanarToSon1() const { return mPlanarToSon1; }
    // A voxel is split when it has a split direction (sons of an abandoned
    // split may stay attached, unused).
    bool IsSplit() const { return mSplit != VOXEL_SPLIT_NONE && mSon1 && mSon2; }

    // Parametric form of CheckRayIntersections: t0 <= t1 on the ray's line,
    // with the faces; false when the line misses the box.
    bool RayRange(const KorRay& ray, double& t0, double& t1, int& face0, int& face1) const;

private:
    KdVoxel* mParent;
    KdVoxel* mSon1 = nullptr;
    KdVoxel* mSon2 = nullptr;
    unsigned mDepth;
    std::vector<int> mLeaves;
    LumPoint mP1, mP2;
    int mSplit = VOXEL_SPLIT_NONE;
    double mSplitPosition = -1.0;
    bool mPlanarToSon1 = true;
};
