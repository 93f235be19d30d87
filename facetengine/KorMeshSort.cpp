#include "KorMesh.h"

#include "KorComparators.h"
#include "KorException.h"
#include "KorSort.h"

#include <cmath>
#include <numeric>

// O(n log n). The pair (first, second) picks one of six exact comparators; an
// unknown first axis reports and leaves the identifier order.
void KorMesh::SortVertices(std::vector<KorVertex>& out, eOrientation first, eOrientation second) const
{
    GetAllVertices(out);
    int (*compare)(const KorVertex&, const KorVertex&) = nullptr;
    switch (first)
    {
    case X_AXIS:
        compare = (second == X_AXIS || second == Y_AXIS) ? CompareVerticesXY : CompareVerticesXZ;
        break;
    case Y_AXIS:
        compare = (second == X_AXIS || second == Y_AXIS) ? CompareVerticesYX : CompareVerticesYZ;
        break;
    case Z_AXIS:
        compare = (second == X_AXIS || second == Z_AXIS) ? CompareVerticesZX : CompareVerticesZY;
        break;
    default:
        KorReport("KorMesh::SortVertices", "Impossible to find the orientation : sorting impossible");
        return;
    }
    KorMergeSort(out, compare);
}

namespace
{
// Sorts the items by a key computed once per item (n square roots rather than
// n log n). Exact keys make a strict weak order; the merge sort stays safe
// should a NaN position slip in.
template <class T> void SortByKeys(std::vector<T>& items, const std::vector<double>& keys)
{
    std::vector<size_t> order(items.size());
    std::iota(order.begin(), order.end(), size_t(0));
    KorMergeSort(order, [&keys](size_t a, size_t b)
                 { return keys[a] < keys[b] ? -1 : (keys[b] < keys[a] ? 1 : 0); });
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (size_t i : order)
        sorted.push_back(items[i]);
    items.swap(sorted);
}
} // namespace

// O(n log n).
void KorMesh::SortVerticesFromPoint(std::vector<KorVertex>& out, const LumPoint& p) const
{
    GetAllVertices(out);
    if (out.size() < 2)
        return;
    std::vector<double> distances;
    distances.reserve(out.size());
    for (const KorVertex& v : out)
        distances.push_back((LumPoint(v.X, v.Y, v.Z) - p).Norm());
    SortByKeys(out, distances);
}

// O(n log n). A half-edge whose origin is missing sorts last.
void KorMesh::SortEdgesFromPoint(std::vector<KorEdge*>& out, const LumPoint& p)
{
    GetAllEdges(out);
    if (out.size() < 2)
        return;
    std::vector<double> distances;
    distances.reserve(out.size());
    for (const KorEdge* e : out)
    {
        const KorVertex* v = mVertices.Get(e->Vertex);
        distances.push_back(v ? (LumPoint(v->X, v->Y, v->Z) - p).Norm() : HUGE_VAL);
    }
    SortByKeys(out, distances);
}
