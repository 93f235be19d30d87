#include "SurfaceShape.h"

#include "KorEdge.h"
#include "KorFace.h"
#include "KorParallel.h"
#include "KorVertex.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <limits>
#include <utility>

namespace
{
// A half-edge no face's ring was read through.
constexpr int kUnread = std::numeric_limits<int>::min();
} // namespace

void SurfaceShape::Build(KorMesh& surface)
{
    mVertexSlots = surface.GetVertexVectorSize();
    mEdgeSlots = surface.GetEdgeVectorSize();
    mFaceSlots = surface.GetFaceVectorSize();
    const size_t vertexSlots = static_cast<size_t>(mVertexSlots), faceSlots = static_cast<size_t>(mFaceSlots);

    // The vertices once, in identifier order: the box of the live ones (as
    // KorBoundingBox::Define makes it), their points in a compact list for
    // the faces' pass, and the range of altitudes of those with a
    // half-edge.
    mBox.Init();
    std::vector<LumPoint> points(vertexSlots);
    std::vector<char> live(vertexSlots, 0);
    std::vector<int> withEdge;
    withEdge.reserve(vertexSlots);
    double zLo = std::numeric_limits<double>::infinity(), zHi = -zLo;
    bool finite = true;
    for (int id = 0; id < mVertexSlots; ++id)
        if (const KorVertex* v = surface.GetVertex(id))
        {
            const LumPoint p(v->X, v->Y, v->Z);
            points[static_cast<size_t>(id)] = p;
            live[static_cast<size_t>(id)] = 1;
            mBox += p;
            if (v->Edge < 0)
                continue;
            withEdge.push_back(id);
            finite = finite && std::isfinite(p.z);
            zLo = std::min(zLo, p.z);
            zHi = std::max(zHi, p.z);
        }

    // The faces once, with the half-edges of their rings: the corners of
    // each triangle of live corners as KorMesh::GetFacePoints reads them
    // (-1 where the face itself is read), the twins of its half-edges, and
    // the face each half-edge read names, for the sheet test. On a dense
    // surface the faces are read in ranges side by side; each writes the
    // slots of its own faces, and a half-edge's face only from the ring of
    // the face it names (FindSheet reads the others).
    std::vector<int> corners(3 * faceSlots, -1), opposites(3 * faceSlots, -1);
    std::vector<int> faceOf(static_cast<size_t>(mEdgeSlots), kUnread);
    const int threads = surface.GetNumberOfFaces() >= kGridApart ? kThreads : 1;
    const int parts = RangeParts(mFaceSlots, threads);
    std::vector<char> rangeTriangles(static_cast<size_t>(parts), 1);
    const auto isLive = [&](int id) { return id >= 0 && id < mVertexSlots && live[static_cast<size_t>(id)]; };
    RunInRanges(mFaceSlots, parts,
                [&](int part, int from, int to)
                {
                    for (int id = from; id < to; ++id)
                    {
                        const KorFace* f = surface.GetFace(id);
                        if (!f)
                            continue;
                        const KorEdge* e0 = surface.GetEdge(f->Edge);
                        const KorEdge* e1 = e0 ? surface.GetEdge(e0->Next) : nullptr;
                        const KorEdge* e2 = e1 ? surface.GetEdge(e1->Next) : nullptr;
                        if (!e2 || surface.GetEdge(e2->Next) != e0)
                        {
                            rangeTriangles[static_cast<size_t>(part)] = 0;
                            continue;
                        }
                        const size_t at = 3 * static_cast<size_t>(id);
                        const KorEdge* ring[3] = {e0, e1, e2};
                        for (size_t k = 0; k < 3; ++k)
                        {
                            opposites[at + k] = ring[k]->Opp;
                            if (ring[k]->Face == id)
                                faceOf[static_cast<size_t>(ring[k]->GetID())] = id;
                        }
                        if (isLive(e0->Vertex) && isLive(e1->Vertex) && isLive(e2->Vertex))
                            for (size_t k = 0; k < 3; ++k)
                                corners[at + k] = ring[k]->Vertex;
                    }
                });
    const bool triangles = std::find(rangeTriangles.begin(), rangeTriangles.end(), 0) == rangeTriangles.end();
    live = std::vector<char>();

    // The altitude grid is a pass over the compact lists of its own: on a
    // dense surface it is built beside the rest, which writes nothing it
    // reads. Should anything throw, the future's end waits for it, before
    // the lists it reads go.
    std::future<void> grid;
    if (surface.GetNumberOfFaces() >= kGridApart)
        grid = std::async(std::launch::async, [this, &surface, &points, &corners]
                          { mHeights.Build(surface, mBox, points, corners, HeightGrid::kBlocksPerSide, kThreads); });
    else
        mHeights.Build(surface, mBox, points, corners);
    FindSheet(surface, opposites, faceOf, triangles);

    // Slices of altitude, each holding its vertices in identifier order: a
    // slice sorted on its own gives the vertices of the whole stable sort
    // (the slice of an altitude never decreases with it). A NaN or an
    // infinite altitude leaves one slice, the whole sort.
    const size_t n = withEdge.size();
    size_t slices = finite && zHi > zLo ? std::max<size_t>(1, n / kSliceVertices) : 1;
    double scale = slices / (zHi - zLo);
    // Altitudes whose range overflows a double have no slices either: a
    // product of an infinite difference and a zero scale is NaN.
    if (!std::isfinite(scale) || !std::isfinite(zHi - zLo))
    {
        slices = 1;
        scale = 0.0;
    }
    const auto sliceOf = [&](int id)
    {
        if (slices == 1)
            return size_t{0};
        const double s = std::floor((points[static_cast<size_t>(id)].z - zLo) * scale);
        return !(s > 0.0) ? size_t{0} : static_cast<size_t>(std::min(s, static_cast<double>(slices - 1)));
    };
    mSliceStart.assign(slices + 1, 0);
    for (int id : withEdge)
        ++mSliceStart[sliceOf(id) + 1];
    for (size_t s = 0; s < slices; ++s)
        mSliceStart[s + 1] += mSliceStart[s];
    std::vector<int> fill(mSliceStart.begin(), mSliceStart.end() - 1);
    mByAltitude.assign(n, 0);
    mAltitudes.assign(n, 0.0);
    for (int id : withEdge)
    {
        const size_t k = static_cast<size_t>(fill[sliceOf(id)]++);
        mByAltitude[k] = id;
        mAltitudes[k] = points[static_cast<size_t>(id)].z;
    }
    mSliceSorted.assign(slices, 0);

    if (grid.valid())
        grid.get();
}

void SurfaceShape::FindSheet(KorMesh& surface, const std::vector<int>& opposites, std::vector<int>& faceOf,
                             bool triangles)
{
    // The border: the half-edges without a face. Those no ring went
    // through (the border itself, on a sound surface) are read now.
    mBorder.clear();
    for (int id = 0; id < mEdgeSlots; ++id)
    {
        int& face = faceOf[static_cast<size_t>(id)];
        if (face == kUnread)
        {
            const KorEdge* e = surface.GetEdge(id);
            face = e ? e->Face : -1;
            if (!e)
                continue;
        }
        if (face < 0)
            mBorder.push_back(id);
    }
    mOneSheet = triangles && surface.GetNumberOfEdges() == mEdgeSlots &&
                surface.GetNumberOfFaces() == mFaceSlots && mFaceSlots > 0 && !mBorder.empty();
    if (!mOneSheet)
        return;
    // Every face is a triangle: a flood across twins from face 0 must
    // reach them all. A half-edge naming a face past the table is no sheet.
    std::vector<char> reached(static_cast<size_t>(mFaceSlots), 0);
    std::vector<int> front{0};
    reached[0] = 1;
    int count = 1;
    while (!front.empty())
    {
        const size_t f = static_cast<size_t>(front.back());
        front.pop_back();
        for (size_t k = 3 * f; k < 3 * f + 3; ++k)
        {
            const int twin = opposites[k];
            const int g = twin >= 0 && twin < mEdgeSlots ? faceOf[static_cast<size_t>(twin)] : -1;
            if (g >= mFaceSlots)
            {
                mOneSheet = false;
                return;
            }
            if (g >= 0 && !reached[static_cast<size_t>(g)])
            {
                reached[static_cast<size_t>(g)] = 1;
                front.push_back(g);
                ++count;
            }
        }
    }
    mOneSheet = count == mFaceSlots;
}

void SurfaceShape::SortSlice(size_t s) const
{
    if (mSliceSorted[s])
        return;
    mSliceSorted[s] = 1;
    const size_t begin = static_cast<size_t>(mSliceStart[s]), end = static_cast<size_t>(mSliceStart[s + 1]);
    // Pairs of the altitudes the shape was built with (the surface may have
    // moved since), without a lookup per comparison; stable, ties by
    // identifier (and safe with a NaN altitude, which a plain sort is not).
    std::vector<std::pair<double, int>> heights;
    heights.reserve(end - begin);
    for (size_t k = begin; k < end; ++k)
        heights.emplace_back(mAltitudes[k], mByAltitude[k]);
    std::stable_sort(heights.begin(), heights.end(),
                     [](const std::pair<double, int>& a, const std::pair<double, int>& b)
                     { return a.first < b.first; });
    for (size_t k = 0; k < heights.size(); ++k)
    {
        mAltitudes[begin + k] = heights[k].first;
        mByAltitude[begin + k] = heights[k].second;
    }
}

bool SurfaceShape::VisitByAltitude(bool highest, const std::function<bool(int)>& visit) const
{
    std::lock_guard<std::mutex> lock(mOrderLock);
    const size_t slices = mSliceSorted.size();
    for (size_t k = 0; k < slices; ++k)
    {
        const size_t s = highest ? slices - 1 - k : k;
        SortSlice(s);
        const int first = mSliceStart[s], last = mSliceStart[s + 1];
        for (int i = 0; i < last - first; ++i)
            if (visit(mByAltitude[static_cast<size_t>(highest ? last - 1 - i : first + i)]))
                return true;
    }
    return false;
}

bool SurfaceShape::Matches(const KorMesh& surface) const
{
    return mVertexSlots == surface.GetVertexVectorSize() && mEdgeSlots == surface.GetEdgeVectorSize() &&
           mFaceSlots == surface.GetFaceVectorSize();
}
