#include "TerrainPatch.h"

#include "Couche.h"
#include "KorEdge.h"
#include "SurfaceShape.h"

#include <algorithm>
#include <cmath>
#include <limits>

bool TerrainPatch::Take(Couche& layer, const KorMesh& head, double margin)
{
    mPatch.Clear();
    mCutOff.clear();
    mSources = KorMesh::sCopySources();
    mApart = false;
    mCopiedFaces = 0;
    mExit.clear();
    mSurface = &layer.GetMesh(Couche::Surface);
    std::vector<int> faces;
    if (!FindFaces(layer, head, margin, faces))
        return false;
    if (faces.empty())
        return false;
    // Most of the surface: the whole copy costs less.
    if (faces.size() * 2 > static_cast<size_t>(mSurface->GetNumberOfFaces()))
        return false;
    if (!mSurface->CopyFacesInOrder(faces, mPatch, mSources))
        return false;
    mCopiedFaces = faces.size();
    mCutOff.assign(mSources.Edges.size(), 0);
    for (size_t k = 0; k < mSources.Edges.size(); ++k)
    {
        const KorEdge* copied = mPatch.GetEdge(static_cast<int>(k));
        mCutOff[k] = copied->Face < 0 && mSurface->GetEdge(mSources.Edges[k])->Face >= 0;
    }
    return true;
}

bool TerrainPatch::FindFaces(Couche& layer, const KorMesh& head, double margin, std::vector<int>& faces)
{
    mShape = &layer.GetSurfaceShape();
    if (!mShape->IsOneSheet())
        return false;
    // Every point where the head meets the surface, and the plan inside a
    // closed line they meet along, lies in the region the altitude bounds
    // give; the faces over it, with a margin, are the patch.
    if (!mRegionFound)
    {
        mApart = !mShape->GetHeightGrid().MeetingRegion(head, margin, mRegion);
        mRegionFound = true;
    }
    if (mApart)
        return false;
    std::vector<LumPoint> boxes(mRegion);
    const double far = std::numeric_limits<double>::max();
    const double wide = margin + mWidening * mShape->GetHeightGrid().GetCellSize();
    for (size_t k = 0; k + 1 < boxes.size(); k += 2)
    {
        boxes[k] = LumPoint(boxes[k].x - wide, boxes[k].y - wide, -far);
        boxes[k + 1] = LumPoint(boxes[k + 1].x + wide, boxes[k + 1].y + wide, far);
    }
    boxes.insert(boxes.end(), mCorridors.begin(), mCorridors.end());
    return layer.QuerySurfaceFaces(boxes, faces);
}

void TerrainPatch::Prepare(Couche& layer, const KorMesh& head, double margin)
{
    TerrainPatch patch;
    std::vector<int> faces;
    patch.FindFaces(layer, head, margin, faces);
}

bool TerrainPatch::IsCutOff(int edge) const
{
    return edge >= 0 && static_cast<size_t>(edge) < mCutOff.size() && mCutOff[static_cast<size_t>(edge)];
}

void TerrainPatch::Grow()
{
    if (!mShape)
        return;
    const double cell = mShape->GetHeightGrid().GetCellSize();
    const int reach = 4 << std::min(mGrowths++, 20);
    const bool left = mExit.size() == 2;
    const LumPoint way = left ? LumPoint(mExit[1].x - mExit[0].x, mExit[1].y - mExit[0].y, 0.0) : LumPoint();
    const double length = std::hypot(way.x, way.y);
    const bool again = left && mLastExit.size() == 2 &&
                       std::hypot(mExit[1].x - mLastExit[1].x, mExit[1].y - mLastExit[1].y) < cell;
    if (left && length > 0.0 && !again)
    {
        const LumPoint& last = mExit[1];
        AddCorridor(last - way * (cell / length), last + way * (cell * reach / length), 2.0 * cell);
    }
    else
        mWidening = reach;
    mLastExit = mExit;
}

void TerrainPatch::AddCorridor(const LumPoint& from, const LumPoint& to, double halfWidth)
{
    // A chain of squares along the segment, each as wide as the corridor:
    // a slanted corridor is not one box.
    const double far = std::numeric_limits<double>::max();
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    const int steps = std::max(1, static_cast<int>(std::ceil(length / std::max(halfWidth, 1e-9))));
    for (int k = 0; k <= steps; ++k)
    {
        const double t = static_cast<double>(k) / steps;
        const double x = from.x + (to.x - from.x) * t, y = from.y + (to.y - from.y) * t;
        mCorridors.push_back(LumPoint(x - halfWidth, y - halfWidth, -far));
        mCorridors.push_back(LumPoint(x + halfWidth, y + halfWidth, far));
    }
}

void TerrainPatch::HandOver(Couche& layer)
{
    layer.SetPendingCutSurface(std::move(mSources.Faces), std::move(mSources.Vertices), std::move(mPatch));
    mSources = KorMesh::sCopySources();
    mCutOff.clear();
}
