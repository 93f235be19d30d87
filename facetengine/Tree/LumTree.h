#pragma once

class KorMesh;
class KorRay;
class LumoraDevice;

// Abstract base of the search trees built over the faces of one KorMesh. The
// mesh owns its tree and deletes it on every change; a tree never follows
// later edits. A tree counts as created only after a successful Build.
class LumTree
{
public:
    // The mesh is not kept: a tree is built by CreateFromMesh.
    explicit LumTree(KorMesh& mesh);
    LumTree(const LumTree&) = default;
    LumTree& operator=(const LumTree&) = default;
    virtual ~LumTree();

    virtual void Render(LumoraDevice* device, int maxDepth) = 0;
    virtual bool IntersectRay(const KorRay& ray, KorMesh& mesh, const double& tmin, const double& tmax,
                              double& t, bool countAll, int& hits, int& face) const = 0;
    virtual void ClearTree() = 0;
    virtual bool Build(KorMesh& mesh) = 0;

    bool IsCreated() const { return mCreated; }
    void Clear();
    // Rebuilds from scratch; a failed build leaves the tree empty.
    bool CreateFromMesh(KorMesh& mesh);

protected:
    bool mCreated = false;
};
