#include "KorPreMesh.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

// For every undirected edge (smaller index, larger index), the pre-faces that
// hold it, in the order met (pre-faces in list order; within one, edges 0-1,
// 1-2, ..., then the closing edge). Built as one sorted array of (edge, order
// met) entries: O(E log E) to build, O(log E) per lookup, E the number of
// pre-face corners. A pre-face of one index holds the edge (i, i).
class KorPreMesh::EdgeMap
{
public:
    explicit EdgeMap(const std::vector<sPreFace>& faces)
    {
        size_t corners = 0;
        for (const sPreFace& f : faces)
            corners += f.Indices.size();
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
    }

    static std::uint64_t Key(int a, int b)
    {
        if (b < a)
            std::swap(a, b);
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) |
               static_cast<std::uint32_t>(b);
    }

    // Calls visit(preFace) for each pre-face holding the edge, in order met.
    template <class Visit> void ForEach(int a, int b, Visit visit) const
    {
        const std::uint64_t key = Key(a, b);
        auto it = std::lower_bound(mEntries.begin(), mEntries.end(), key,
                                   [](const Entry& e, std::uint64_t k) { return e.key < k; });
        for (; it != mEntries.end() && it->key == key; ++it)
            visit(it->face);
    }

private:
    struct Entry
    {
        std::uint64_t key;
        size_t order;
        int face;
    };
    std::vector<Entry> mEntries;
};

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

// Breadth-first growth of the group of `start`: each generation is added from
// its last entry back (a pre-face listed twice is added at its last listing
// only), then the next generation is every not-yet-added pre-face sharing an
// edge with it. Each pre-face is added once; the work is the sum, over added
// pre-faces, of the sizes of their edges' lists.
template <class AddOne> bool KorPreMesh::GrowGroup(const EdgeMap& edges, int start, AddOne addOne)
{
    bool result = true;
    std::vector<int> current{start};
    std::vector<int> next;
    while (!current.empty())
    {
        std::vector<int> kept;
        kept.reserve(current.size());
        for (size_t k = current.size(); k-- > 0;)
        {
            sPreFace& f = mPreFaces[static_cast<size_t>(current[k])];
            if (f.Added)
                continue;
            f.Added = true;
            if (!addOne(f.Indices))
                result = false;
            kept.push_back(current[k]);
        }
        std::reverse(kept.begin(), kept.end());

        next.clear();
        for (int fi : kept)
        {
            const std::vector<int>& ids = mPreFaces[static_cast<size_t>(fi)].Indices;
            const size_t n = ids.size();
            for (size_t j = 0; j < n; ++j)
                edges.ForEach(ids[j], ids[(j + 1) % n],
                              [&](int other)
                              {
                                  if (!mPreFaces[static_cast<size_t>(other)].Added)
                                      next.push_back(other);
                              });
        }
        current.swap(next);
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

    const EdgeMap edges(mPreFaces);
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
    const EdgeMap edges(mPreFaces);
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
