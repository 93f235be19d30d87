#include "KorPreMesh.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

// For every undirected edge (smaller index, larger index), the pre-faces that
// hold it, in the order met (pre-faces in list order; within one, edges 0-1,
// 1-2, ..., then the closing edge). Built as one sorted array of (edge, order
// met) entries, with each corner's place in it: O(E log E) to build, E the
// number of pre-face corners, then O(1) to reach a corner's edge. A pre-face
// of one index holds the edge (i, i).
class KorPreMesh::EdgeMap
{
public:
    explicit EdgeMap(const std::vector<sPreFace>& faces)
    {
        size_t corners = 0;
        mFirstCorner.reserve(faces.size());
        for (const sPreFace& f : faces)
        {
            mFirstCorner.push_back(corners);
            corners += f.Indices.size();
        }
        mEntries.reserve(corners);
        for (size_t fi = 0; fi < faces.size(); ++fi)
        {
            const std::vector<int>& ids = faces[fi].Indices;
            // Empty pre-faces have no first or last index.
            const int last = ids.at(ids.size() - 1);
            for (size_t k = 0; k + 1 < ids.size(); ++k)
                mEntries.push_back({Key(ids[k], ids[k + 1]), mEntries.size(), static_cast<int>(fi)});
            mEntries.push_back({Key(last, ids.at(0)), mEntries.size(), static_cast<int>(fi)});
        }
        std::sort(mEntries.begin(), mEntries.end(),
                  [](const Entry& a, const Entry& b)
                  { return a.key != b.key ? a.key < b.key : a.order < b.order; });
        // Corner (order met) -> first entry of its edge's run.
        mRunOf.resize(corners);
        mScanned.assign(corners, false);
        size_t run = 0;
        for (size_t k = 0; k < mEntries.size(); ++k)
        {
            if (mEntries[k].key != mEntries[run].key)
                run = k;
            mRunOf[mEntries[k].order] = run;
        }
    }

    static std::uint64_t Key(int a, int b)
    {
        if (b < a)
            std::swap(a, b);
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) |
               static_cast<std::uint32_t>(b);
    }

    // Calls visit(preFace) for each pre-face holding edge j of pre-face face
    // (from its index j to index j + 1, or the closing edge), last met first;
    // only the first time that edge is asked for, from whichever pre-face.
    template <class Visit> void ForEachOnce(int face, size_t j, Visit visit)
    {
        const size_t run = mRunOf[mFirstCorner[static_cast<size_t>(face)] + j];
        if (mScanned[run])
            return;
        mScanned[run] = true;
        size_t end = run;
        while (end < mEntries.size() && mEntries[end].key == mEntries[run].key)
            ++end;
        while (end-- > run)
            visit(mEntries[end].face);
    }

private:
    struct Entry
    {
        std::uint64_t key;
        size_t order;
        int face;
    };
    std::vector<Entry> mEntries;
    std::vector<size_t> mFirstCorner;
    std::vector<size_t> mRunOf;
    std::vector<bool> mScanned;
};

namespace
{
// The mesh's edge index allowed for the span of a conversion's AddFace calls,
// and freed after, also when a range error cuts them short: a book of faces
// on one edge, or any vertex shared by very many faces, leaves long Turn
// rings that every half-edge lookup would walk otherwise.
class EdgeIndexScope
{
public:
    explicit EdgeIndexScope(KorMesh& mesh) : mMesh(mesh) { mMesh.AllowEdgeIndex(true); }
    ~EdgeIndexScope() { mMesh.AllowEdgeIndex(false); }
    EdgeIndexScope(const EdgeIndexScope&) = delete;
    EdgeIndexScope& operator=(const EdgeIndexScope&) = delete;

private:
    KorMesh& mMesh;
};
} // namespace

int KorPreMesh::AddVertex(const LumPoint& point)
{
    mPoints.push_back(point);
    return static_cast<int>(mPoints.size()) - 1;
}

int KorPreMesh::AddPreFace(const std::vector<int>& indices)
{
    mPreFaces.push_back({false, indices});
    return static_cast<int>(mPreFaces.size()) - 1;
}

int KorPreMesh::AddPreFace(int a, int b, int c, int d)
{
    sPreFace face;
    face.Indices = {a, b, c};
    if (d >= 0)
        face.Indices.push_back(d);
    mPreFaces.push_back(std::move(face));
    return static_cast<int>(mPreFaces.size()) - 1;
}

// Breadth-first growth of the group of `start`, by generations: the next
// generation lists, for each face of this one and each of its edges, every
// not-yet-added pre-face of that edge, and is added from its last listing
// back, each pre-face at its last listing. Read backwards, that listing is:
// this generation in the order it was added, each face's edges from the last
// one, each edge's pre-faces from the last met; so the next generation is
// added in one such backward walk, each pre-face when first met. Once an
// edge has been walked every pre-face on it is added, so walking it again
// adds nothing and is skipped: duplicates, books of faces on one edge and
// corners repeated around one face cost this walk no more than distinct
// faces. O(E) for E corners of the group, whatever the sharing, besides the
// calls to addOne.
template <class AddOne> bool KorPreMesh::GrowGroup(EdgeMap& edges, int start, AddOne addOne)
{
    bool result = true;
    std::vector<int> current;
    std::vector<int> next;
    const auto add = [&](int fi)
    {
        sPreFace& f = mPreFaces[static_cast<size_t>(fi)];
        f.Added = true;
        if (!addOne(f.Indices))
            result = false;
        next.push_back(fi);
    };
    add(start);
    while (!next.empty())
    {
        current.swap(next);
        next.clear();
        for (int fi : current)
        {
            const size_t n = mPreFaces[static_cast<size_t>(fi)].Indices.size();
            for (size_t j = n; j-- > 0;)
                edges.ForEachOnce(fi, j,
                                  [&](int other)
                                  {
                                      if (!mPreFaces[static_cast<size_t>(other)].Added)
                                          add(other);
                                  });
        }
    }
    return result;
}

bool KorPreMesh::ConvertToKorMesh(KorMesh& mesh)
{
    mesh.Clear();
    if (mPreFaces.empty())
        return true;
    for (const LumPoint& p : mPoints)
        mesh.AddVertex(p);

    EdgeMap edges(mPreFaces);
    const EdgeIndexScope index(mesh);
    bool result = true;
    // The next group starts at the first pre-face not added yet; a running
    // index keeps the search linear over all groups.
    for (size_t s = 0; s < mPreFaces.size(); ++s)
    {
        if (mPreFaces[s].Added)
            continue;
        if (!GrowGroup(edges, static_cast<int>(s),
                       [&](const std::vector<int>& ids) { return mesh.AddFace(ids) >= 0; }))
            result = false;
    }
    return result;
}

bool KorPreMesh::ConvertToKorMeshes(std::vector<KorMesh>& meshes)
{
    if (mPreFaces.empty())
        return true;
    EdgeMap edges(mPreFaces);
    bool result = true;
    // Point index -> vertex of the current group's mesh; only the entries a
    // group set are reset after it, so many small groups stay linear.
    std::vector<int> vertexOf(mPoints.size(), -1);
    std::vector<int> touched;
    std::vector<int> ids;
    for (size_t s = 0; s < mPreFaces.size(); ++s)
    {
        if (mPreFaces[s].Added)
            continue;
        meshes.emplace_back();
        KorMesh& mesh = meshes.back();
        const EdgeIndexScope index(mesh);
        const bool ok = GrowGroup(edges, static_cast<int>(s),
                                  [&](const std::vector<int>& indices)
                                  {
                                      ids.clear();
                                      for (int i : indices)
                                      {
                                          if (i < 0 || static_cast<size_t>(i) >= mPoints.size())
                                              throw std::out_of_range(
                                                  "KorPreMesh::ConvertToKorMeshes: point index out of range");
                                          int& v = vertexOf[static_cast<size_t>(i)];
                                          if (v < 0)
                                          {
                                              v = mesh.AddVertex(mPoints[static_cast<size_t>(i)]);
                                              touched.push_back(i);
                                          }
                                          ids.push_back(v);
                                      }
                                      return mesh.AddFace(ids) >= 0;
                                  });
        if (!ok)
            result = false;
        for (int i : touched)
            vertexOf[static_cast<size_t>(i)] = -1;
        touched.clear();
    }
    return result;
}
