#pragma once

#include "KorBoundingBox.h"
#include "KorIntersection.h"
#include "KorMesh.h"

#include <vector>

class Couche;
class SurfaceShape;

// A patch of a layer's surface: the faces that a head within a box can
// touch, copied in order (KorMesh::CopyFacesInOrder), so that the search of
// a line, its insertion and the split of the sides do on the patch what they
// would do on a copy of the whole surface. What the split needs to know of
// the surface beyond the patch is answered here.
class TerrainPatch
{
public:
    // Copies the faces of the layer's surface that the head can meet, with
    // those they enclose, a margin around and the corridors added, widened
    // by `widening` cells of the surface's altitude grid. False when the
    // surface is not one sheet (SurfaceShape), the head cannot meet it, or
    // the patch would hold most of it: the whole surface is then cut
    // instead.
    bool Take(Couche& layer, const KorMesh& head, double margin, int widening = 0);
    // Where the last walk that Reaches found left the patch: its last point
    // and the one before. False when none did since the last Take.
    bool GetExit(LumPoint& before, LumPoint& last) const;
    // Adds to the next Takes the faces within halfWidth of the plan segment
    // from-to: the way a walk that strayed from the head went on beyond the
    // patch.
    void AddCorridor(const LumPoint& from, const LumPoint& to, double halfWidth);
    // After a refused Take: whether the head cannot come within the margin
    // of the surface anywhere, so that no search can find a line.
    bool IsApart() const { return mApart; }

    KorMesh& GetMesh() { return mPatch; }
    // The number of faces copied, kept after HandOver.
    size_t GetCopiedFaces() const { return mCopiedFaces; }
    // The box of the whole surface.
    const KorBoundingBox& GetSurfaceBox() const;
    // Whether the patch half-edge has no face in the patch but had one in
    // the surface: the patch's own border.
    bool IsCutOff(int edge) const;
    // Whether a walk over the patch may have gone otherwise over the whole
    // surface: one of its records on the patch names a half-edge of the
    // patch's border. Keeps the walk's exit for GetExit.
    bool Reaches(const std::vector<sBooleanIntersection>& records, const std::vector<LumPoint>& line);
    // Whether every vertex copied stands where its source does: a search
    // moves the meshes there and back, and keeps a move that found a line.
    bool IsPristine() const;
    // The lowest altitude (the highest with highest set) of the points of
    // the surface's faces outside the patch; false when there is none.
    bool GetExtremeBeyond(bool highest, double& z) const;
    // Whether a border half-edge of the surface lies outside the patch.
    bool HasBorderBeyond() const;
    // Leaves the cut patch to the layer as its pending cut surface.
    void HandOver(Couche& layer);

private:
    bool IsCopied(int surfaceFace) const;

    const KorMesh* mSurface = nullptr;
    const SurfaceShape* mShape = nullptr;
    KorMesh mPatch;
    KorMesh::sCopySources mSources;
    std::vector<char> mCutOff;
    // Pairs of plan box corners.
    std::vector<LumPoint> mCorridors;
    std::vector<LumPoint> mExit;
    bool mApart = false;
    size_t mCopiedFaces = 0;
};
