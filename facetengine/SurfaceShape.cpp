#include "SurfaceShape.h"

#include "KorEdge.h"
#include "KorFace.h"
#include "KorParallel.h"
#include "KorVertex.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>
#include <limits>
#include <memory>
#include <utility>

namespace
{
// A half-edge no face's ring was read through.
constexpr int kUnread = std::numeric_limits<int>::min();

// The pieces the faces of a triangle table make across their twins (three
// by face slot, each a face slot or negative for none), joined in up to
// `parts` ranges side by side; -1 when a link is not mutual (g across a
// twin of f, f across none of g's), where pieces do not tell what a flood
// from one face reaches.
int CountPieces(const KorRangeVector<int>& twins, int faces, int parts)
{
    // A forest over the faces: a union links the higher of two roots under
    // the lower, so that a parent is always below its child and a tree's
    // root its lowest face, and a link only ever joins two trees (one
    // thread wins a root). A find halves the path it walks, a shortcut to
    // an ancestor whatever other threads do.
    constexpr auto relaxed = std::memory_order_relaxed;
    std::unique_ptr<std::atomic<int>[]> parent(new std::atomic<int>[static_cast<size_t>(faces)]);
    RunInRanges(faces, parts,
                [&parent](int, int from, int to)
                {
                    for (int f = from; f < to; ++f)
                        parent[static_cast<size_t>(f)].store(f, relaxed);
                });
    const auto find = [&parent](int x)
    {
        for (;;)
        {
            const int up = parent[static_cast<size_t>(x)].load(relaxed);
            if (up == x)
                return x;
            const int above = parent[static_cast<size_t>(up)].load(relaxed);
            if (above != up)
                parent[static_cast<size_t>(x)].store(above, relaxed);
            x = above;
        }
    };
    std::vector<int> joined(static_cast<size_t>(parts), 0);
    std::vector<char> mutual(static_cast<size_t>(parts), 1);
    RunInRanges(faces, parts,
                [&](int part, int from, int to)
                {
                    int links = 0;
                    bool both = true;
                    for (int f = from; f < to; ++f)
                        for (size_t k = 3 * static_cast<size_t>(f); k < 3 * static_cast<size_t>(f) + 3; ++k)
                        {
                            const int g = twins[k];
                            if (g < 0)
                                continue;
                            const size_t back = 3 * static_cast<size_t>(g);
                            both = both && (twins[back] == f || twins[back + 1] == f || twins[back + 2] == f);
                            if (g <= f)
                                continue;
                            for (int a = f, b = g;;)
                            {
                                a = find(a);
                                b = find(b);
                                if (a == b)
                                    break;
                                if (a < b)
                                    std::swap(a, b);
                                int root = a;
                                if (parent[static_cast<size_t>(a)].compare_exchange_weak(root, b, relaxed))
                                {
                                    ++links;
                                    break;
                                }
                            }
                        }
                    joined[static_cast<size_t>(part)] = links;
                    mutual[static_cast<size_t>(part)] = both;
                });
    if (std::find(mutual.begin(), mutual.end(), 0) != mutual.end())
        return -1;
    int pieces = faces;
    for (int links : joined)
        pieces -= links;
    return pieces;
}
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
    // half-edge. On a dense surface in ranges side by side, each with its
    // own bounds, merged as one loop gives them: a bound of the box is no
    // number where the first live vertex's coordinate is none, else the
    // bound of the coordinates that are numbers.
    struct sVertexRange
    {
        LumPoint First, Lo, Hi;
        bool Any = false;
        std::vector<int> WithEdge;
        double ZLo = std::numeric_limits<double>::infinity(), ZHi = -std::numeric_limits<double>::infinity();
        bool Finite = true;
        // Every live vertex's three coordinates are finite numbers.
        bool AllFinite = true;
    };
    const bool dense = surface.GetNumberOfFaces() >= kDenseFaces;
    KorRangeVector<LumPoint> points(vertexSlots);
    KorRangeVector<char> live(vertexSlots);
    // The face each half-edge of a face's ring names, for the sheet test,
    // unread until the faces' pass: marked in the same ranges.
    KorRangeVector<int> faceOf(static_cast<size_t>(mEdgeSlots));
    const int threads = dense ? kThreads : 1;
    const int vertexParts = RangeParts(std::max(mVertexSlots, mEdgeSlots), threads);
    std::vector<sVertexRange> vertexRanges(static_cast<size_t>(vertexParts));
    RunInRanges(mVertexSlots, vertexParts,
                [&](int part, int from, int to)
                {
                    std::fill(faceOf.begin() + RangeBegin(mEdgeSlots, vertexParts, part),
                              faceOf.begin() + RangeBegin(mEdgeSlots, vertexParts, part + 1), kUnread);
                    // Filled here and handed over at the end: ranges side by
                    // side would share cache lines.
                    sVertexRange range;
                    const double far = std::numeric_limits<double>::infinity();
                    range.Lo = LumPoint(far, far, far);
                    range.Hi = LumPoint(-far, -far, -far);
                    range.WithEdge.reserve(static_cast<size_t>(to - from));
                    for (int id = from; id < to; ++id)
                    {
                        const KorVertex* v = surface.GetVertex(id);
                        live[static_cast<size_t>(id)] = v != nullptr;
                        points[static_cast<size_t>(id)] = v ? LumPoint(v->X, v->Y, v->Z) : LumPoint();
                        if (v)
                        {
                            const LumPoint& p = points[static_cast<size_t>(id)];
                            if (!range.Any)
                                range.First = p;
                            range.Any = true;
                            range.AllFinite = range.AllFinite && std::isfinite(p.x) && std::isfinite(p.y) &&
                                              std::isfinite(p.z);
                            // std::min and std::max keep their first
                            // argument against a NaN.
                            range.Lo = LumPoint(std::min(range.Lo.x, p.x), std::min(range.Lo.y, p.y),
                                                std::min(range.Lo.z, p.z));
                            range.Hi = LumPoint(std::max(range.Hi.x, p.x), std::max(range.Hi.y, p.y),
                                                std::max(range.Hi.z, p.z));
                            if (v->Edge < 0)
                                continue;
                            range.WithEdge.push_back(id);
                            range.Finite = range.Finite && std::isfinite(p.z);
                            range.ZLo = std::min(range.ZLo, p.z);
                            range.ZHi = std::max(range.ZHi, p.z);
                        }
                    }
                    vertexRanges[static_cast<size_t>(part)] = std::move(range);
                });
    mBox.Init();
    std::vector<int> withEdge;
    double zLo = std::numeric_limits<double>::infinity(), zHi = -zLo;
    bool finite = true, allFinite = true;
    const sVertexRange* first = nullptr;
    LumPoint lo, hi;
    for (sVertexRange& range : vertexRanges)
    {
        if (range.Any && !first)
        {
            first = &range;
            lo = range.Lo;
            hi = range.Hi;
        }
        else if (range.Any)
        {
            lo = LumPoint(std::min(lo.x, range.Lo.x), std::min(lo.y, range.Lo.y), std::min(lo.z, range.Lo.z));
            hi = LumPoint(std::max(hi.x, range.Hi.x), std::max(hi.y, range.Hi.y), std::max(hi.z, range.Hi.z));
        }
        if (withEdge.empty())
            withEdge = std::move(range.WithEdge);
        else
            withEdge.insert(withEdge.end(), range.WithEdge.begin(), range.WithEdge.end());
        zLo = std::min(zLo, range.ZLo);
        zHi = std::max(zHi, range.ZHi);
        finite = finite && range.Finite;
        allFinite = allFinite && range.AllFinite;
    }
    if (first)
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        if (std::isnan(first->First.x))
            lo.x = hi.x = nan;
        if (std::isnan(first->First.y))
            lo.y = hi.y = nan;
        if (std::isnan(first->First.z))
            lo.z = hi.z = nan;
        mBox += lo;
        mBox += hi;
    }
    // The order by altitude reads only the vertices: on a dense surface it
    // is made beside the faces' passes. Should anything throw, the
    // future's end waits for it, before the lists it reads go.
    const auto orderByAltitude = [this, &points, &withEdge, zLo, zHi, finite]
    { OrderByAltitude(points, withEdge, zLo, zHi, finite); };
    std::future<void> order;
    if (dense)
        order = RunBeside(orderByAltitude);
    else
        orderByAltitude();

    // The faces once, with the half-edges of their rings: each face's
    // points go to the altitude grid (a triangle of live corners from the
    // compact list, any other face as KorMesh::GetFacePoints reads it), the
    // twins of its half-edges and the face each half-edge read names to
    // the sheet test. On a dense surface the faces are read in ranges side
    // by side; each writes the slots of its own faces, and a half-edge's
    // face only from the ring of the face it names (FindSheet reads the
    // others).
    KorRangeVector<int> opposites(3 * faceSlots);
    const bool gridded = mHeights.BeginBuild(surface, mBox, HeightGrid::kBlocksPerSide, allFinite);
    const int parts = RangeParts(mFaceSlots, threads);
    std::vector<HeightGrid::sFaceRange> gridRanges(static_cast<size_t>(parts));
    std::vector<char> rangeTriangles(static_cast<size_t>(parts), 1);
    const auto isLive = [&](int id) { return id >= 0 && id < mVertexSlots && live[static_cast<size_t>(id)]; };
    RunInRanges(mFaceSlots, parts,
                [&](int part, int from, int to)
                {
                    // Filled here and handed over at the end: ranges side by
                    // side would share cache lines.
                    HeightGrid::sFaceRange gridRange;
                    if (gridded)
                        mHeights.StartRange(gridRange, to - from);
                    std::vector<LumPoint> polygon;
                    const auto readFace = [&](int id, const KorFace* f)
                    {
                        surface.GetFacePoints(f, polygon);
                        mHeights.AddFace(gridRange, id, polygon.data(), polygon.size());
                    };
                    std::fill(opposites.begin() + 3 * from, opposites.begin() + 3 * to, -1);
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
                            if (gridded)
                                readFace(id, f);
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
                        if (!gridded)
                            continue;
                        if (isLive(e0->Vertex) && isLive(e1->Vertex) && isLive(e2->Vertex))
                        {
                            const LumPoint triangle[3] = {points[static_cast<size_t>(e0->Vertex)],
                                                          points[static_cast<size_t>(e1->Vertex)],
                                                          points[static_cast<size_t>(e2->Vertex)]};
                            mHeights.AddTriangle(gridRange, id, triangle);
                        }
                        else
                            readFace(id, f);
                    }
                    gridRanges[static_cast<size_t>(part)] = std::move(gridRange);
                });
    const bool triangles = std::find(rangeTriangles.begin(), rangeTriangles.end(), 0) == rangeTriangles.end();
    live = KorRangeVector<char>();

    // The grid's faces sorted into its blocks beside the sheet test.
    // Should anything throw, the future's end waits for it, before the
    // ranges it reads go.
    std::future<void> grid;
    if (gridded && dense)
        grid = RunBeside([this, &gridRanges] { mHeights.EndBuild(gridRanges, kThreads); });
    else if (gridded)
        mHeights.EndBuild(gridRanges);
    FindSheet(surface, opposites, faceOf, triangles, threads);

    if (grid.valid())
        grid.get();
    if (order.valid())
        order.get();
}

void SurfaceShape::OrderByAltitude(const KorRangeVector<LumPoint>& points, const std::vector<int>& withEdge,
                                   double zLo, double zHi, bool finite)
{
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
}

void SurfaceShape::FindSheet(KorMesh& surface, KorRangeVector<int>& twins, const KorRangeVector<int>& faceOf,
                             bool triangles, int threads)
{
    // The border, the half-edges without a face, and the face across each
    // half-edge of each face, in the same ranges side by side (faceOf only
    // read: a half-edge no ring went through, the border itself on a
    // sound surface, is read from the surface). A half-edge naming a face
    // past the table is no sheet.
    // The face half-edge id names; false for no half-edge.
    const auto faceOfEdge = [&](int id, int& face)
    {
        face = faceOf[static_cast<size_t>(id)];
        if (face != kUnread)
            return true;
        const KorEdge* e = surface.GetEdge(id);
        face = e ? e->Face : -1;
        return e != nullptr;
    };
    const int parts = RangeParts(std::max(mEdgeSlots, mFaceSlots), threads);
    std::vector<std::vector<int>> borders(static_cast<size_t>(parts));
    std::vector<char> past(static_cast<size_t>(parts), 0);
    RunInRanges(mEdgeSlots, parts,
                [&](int part, int from, int to)
                {
                    std::vector<int> border;
                    int face;
                    for (int id = from; id < to; ++id)
                        if (faceOfEdge(id, face) && face < 0)
                            border.push_back(id);
                    borders[static_cast<size_t>(part)] = std::move(border);
                    const size_t first = 3 * static_cast<size_t>(RangeBegin(mFaceSlots, parts, part)),
                                 last = 3 * static_cast<size_t>(RangeBegin(mFaceSlots, parts, part + 1));
                    for (size_t k = first; k < last; ++k)
                    {
                        const int twin = twins[k];
                        int g = -1;
                        if (twin >= 0 && twin < mEdgeSlots)
                            faceOfEdge(twin, g);
                        if (g >= mFaceSlots)
                            past[static_cast<size_t>(part)] = 1;
                        twins[k] = g;
                    }
                });
    mBorder.clear();
    for (const std::vector<int>& border : borders)
        mBorder.insert(mBorder.end(), border.begin(), border.end());
    mOneSheet = triangles && surface.GetNumberOfEdges() == mEdgeSlots &&
                surface.GetNumberOfFaces() == mFaceSlots && mFaceSlots > 0 && !mBorder.empty() &&
                std::find(past.begin(), past.end(), 1) == past.end();
    if (!mOneSheet)
        return;
    // Every face is a triangle: a flood across twins from face 0 must
    // reach them all. Where every link across a twin is mutual, that is
    // whether the faces make one piece, which unions find in ranges side
    // by side; where one is not, the flood says.
    const int pieces = CountPieces(twins, mFaceSlots, RangeParts(mFaceSlots, threads));
    if (pieces >= 0)
    {
        mOneSheet = pieces == 1;
        return;
    }
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
            const int g = twins[k];
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
