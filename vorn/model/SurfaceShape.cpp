#include "SurfaceShape.h"

#include "KorEdge.h"
#include "KorFace.h"
#include "KorVertex.h"

#include <algorithm>
#include <future>
#include <utility>

void SurfaceShape::Build(KorMesh& surface)
{
    mBox.Init();
    mBox.Define(surface);
    // The altitude grid is a pass over the faces of its own: on a dense
    // surface it is built beside the rest, which writes nothing it reads.
    // Should the rest throw, the future's end waits for the grid.
    std::future<void> grid;
    if (surface.GetNumberOfFaces() >= kGridApart)
        grid = std::async(std::launch::async, [this, &surface] { mHeights.Build(surface, mBox); });
    else
        mHeights.Build(surface, mBox);
    mVertexSlots = surface.GetVertexVectorSize();
    mEdgeSlots = surface.GetEdgeVectorSize();
    mFaceSlots = surface.GetFaceVectorSize();
    mByAltitude.clear();
    mBorder.clear();
    // By altitude, ties by identifier: a stable sort of the pairs, without a
    // lookup per comparison (and safe with a NaN altitude, which a plain
    // sort is not).
    std::vector<std::pair<double, int>> heights;
    for (int id = 0; id < mVertexSlots; ++id)
        if (const KorVertex* v = surface.GetVertex(id))
            if (v->Edge >= 0)
                heights.emplace_back(v->Z, id);
    std::stable_sort(heights.begin(), heights.end(),
                     [](const std::pair<double, int>& a, const std::pair<double, int>& b)
                     { return a.first < b.first; });
    mByAltitude.reserve(heights.size());
    for (const auto& height : heights)
        mByAltitude.push_back(height.second);
    for (int id = 0; id < mEdgeSlots; ++id)
        if (const KorEdge* e = surface.GetEdge(id))
            if (e->Face < 0)
                mBorder.push_back(id);

    mOneSheet = surface.GetNumberOfEdges() == mEdgeSlots && surface.GetNumberOfFaces() == mFaceSlots &&
                mFaceSlots > 0 && !mBorder.empty();
    // Triangles, and a flood across twins from face 0 reaches them all.
    std::vector<char> reached(static_cast<size_t>(std::max(mFaceSlots, 0)), 0);
    std::vector<int> front;
    if (mOneSheet)
    {
        reached[0] = 1;
        front.push_back(0);
    }
    int count = mOneSheet ? 1 : 0;
    while (mOneSheet && !front.empty())
    {
        const KorFace* f = surface.GetFace(front.back());
        front.pop_back();
        const KorEdge* e = f ? surface.GetEdge(f->Edge) : nullptr;
        for (int k = 0; k < 3 && e; ++k)
        {
            const KorEdge* twin = surface.GetEdge(e->Opp);
            if (twin && twin->Face >= 0 && !reached[static_cast<size_t>(twin->Face)])
            {
                reached[static_cast<size_t>(twin->Face)] = 1;
                front.push_back(twin->Face);
                ++count;
            }
            e = surface.GetEdge(e->Next);
        }
        if (!e || e->GetID() != f->Edge)
            mOneSheet = false;
    }
    mOneSheet = mOneSheet && count == mFaceSlots;
    if (grid.valid())
        grid.get();
}

bool SurfaceShape::Matches(const KorMesh& surface) const
{
    return mVertexSlots == surface.GetVertexVectorSize() && mEdgeSlots == surface.GetEdgeVectorSize() &&
           mFaceSlots == surface.GetFaceVectorSize();
}
