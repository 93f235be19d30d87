#pragma once

#include "KdVoxel.h"
#include "LumTree.h"

#include <vector>

class KorMesh;
class KorRay;

// Kd-tree over the (triangular) faces of one KorMesh, built top-down with the
// surface area heuristic; answers nearest-hit ray casts, point-in-closed-mesh
// tests and mesh-against-mesh overlap. Failures throw KorException (ERROR),
// each level adding its context. The tree does not follow later mesh edits
// (the mesh deletes it on every change). Copying is forbidden.
//
// Build: O(n log^2 n) expected (events sorted per voxel per axis), depth at
// most maxDepth + 1; a voxel whose box has surface below 1e-5 (every face in
// one point or segment) cannot be split and makes the build throw.
// Ray query: O(depth + faces in the leaves the ray crosses), front to back.
class LumKdTree : public LumTree
{
public:
    struct sPlaneEvent
    {
        int Face;
        double Position;
        int Type; // 1 the face ends here, 2 it lies in a plane here, 3 it starts here
    };
    // Exact order: position, then type, then face. Positions within 1e-5 are
    // grouped by the sweep, never by the comparator.
    struct sEventCompare
    {
        bool operator()(const sPlaneEvent& a, const sPlaneEvent& b) const
        {
            if (a.Position != b.Position)
                return a.Position < b.Position;
            if (a.Type != b.Type)
                return a.Type < b.Type;
            return a.Face < b.Face;
        }
    };

    LumKdTree(KorMesh& mesh, unsigned maxLeafFaces = 5, unsigned maxDepth = 15);
    LumKdTree(const LumKdTree&) = delete;
    LumKdTree& operator=(const LumKdTree&) = delete;
    ~LumKdTree() override;

    // The mesh's kd-tree, made (with 5 faces a leaf, depth 15) and handed to
    // the mesh when it holds none or a tree of another kind. Throws what the
    // build throws.
    static LumKdTree* GetOrCreate(KorMesh& mesh);

    void Render(LumoraDevice* device, int maxDepth) override;
    // Nearest hit in [tmin, tmax]: face (-1 when none), t (1e20 when none),
    // hits (with countAll, the number of distinct crossings, parameters within
    // 1e-5 merged; else 0 or 1). False without tree or on a miss.
    bool IntersectRay(const KorRay& ray, KorMesh& mesh, const double& tmin, const double& tmax, double& t,
                      bool countAll, int& hits, int& face) const override;
    void ClearTree() override;
    bool Build(KorMesh& mesh) override;

    // Odd crossing count along (1, 2, 3), the point not on the surface.
    bool PointInsideMesh(const LumPoint& point, KorMesh& mesh) const;
    // Whether mesh1 (this tree's mesh) and mesh2 overlap or touch.
    bool IntersectMesh(KorMesh& mesh1, KorMesh& mesh2);

    KdVoxel* GetMainVoxel() const { return mMainVoxel; }
    unsigned GetMaxLeafFaces() const { return mMaxLeafFaces; }
    unsigned GetMaxDepth() const { return mMaxDepth; }

    // The event list of the faces along one axis (0 X, 1 Y, 2 Z), clipped to
    // the voxel's range, sorted with sEventCompare.
    static void SortEvents(KorMesh& mesh, const KdVoxel& voxel, int axis, std::vector<sPlaneEvent>& events,
                           const std::vector<int>* faces);
    static double GetSAHCost(double inv, double SL, double SP, double SR, int nL, int nP, int nR, int& side);

private:
    void BuildVoxel(KdVoxel* voxel, KorMesh& mesh, std::vector<int>* faces, double surface);
    bool EdgesCrossOther(KdVoxel* voxel, KorMesh& mesh, const LumKdTree& other, KorMesh& otherMesh,
                         std::vector<char>& flags) const;

    KdVoxel* mMainVoxel = nullptr;
    unsigned mMaxLeafFaces;
    unsigned mMaxDepth;
};
