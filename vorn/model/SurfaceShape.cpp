#include "SurfaceShape.h"

#include "KorEdge.h"
#include "KorFace.h"
#include "KorVertex.h"

#include <algorithm>

void SurfaceShape::Build(KorMesh& surface)
{
    mBox.Init();
    mBox.Define(surface);
    mHeights.Build(surface, mBox);
    mVertexSlots = surface.GetVertexVectorSize();
    mEdgeSlots = surface.GetEdgeVectorSize();
    mFaceSlots = surface.GetFaceVectorSize();
    mByAltitude.clear();
    mBorder.clear();
    for (int id = 0; id < mVertexSlots; ++id)
        if (const KorVertex* v = surface.GetVertex(id))
            if (v->Edge >= 0)
                mByAltitude.push_back(id);
    std::stable_sort(mByAltitude.begin(), mByAltitude.end(),
                     [&surface](int a, int b) { return surface.GetVertex(a)->Z < surface.GetVertex(b)->Z; });
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
}

bool SurfaceShape::Matches(const KorMesh& surface) const
{
    return mVertexSlots == surface.GetVertexVectorSize() && mEdgeSlots == surface.GetEdgeVectorSize() &&
           mFaceSlots == surface.GetFaceVectorSize();
}
