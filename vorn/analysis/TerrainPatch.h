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
    // those they enclose, a margin around and what Grow added. False when
    // the surface is not one sheet (SurfaceShape), the head cannot meet it,
    // or the patch would hold most of it: the whole surface is then cut
    // instead. A patch serves one head and margin: where they can meet is
    // found at the first Take and kept for the next ones.
    bool Take(Couche& layer, const KorMesh& head, double margin);
    // Builds what a first Take of the head reads of the layer's surface
    // (its shape, the cells of its altitude grid and the blocks of its face
    // index there), copying nothing: the first cut after an edit then finds
    // them built. Touches the layer's caches alone, so that layers may be
    // prepared side by side.
    static void Prepare(Couche& layer, const KorMesh& head, double margin);
    // Makes the next Take larger, after a cut the patch could not stand for:
    // a walk that left the patch has it go on along the walk's way, 4, 8,
    // 16... cells further each time; a walk that left where it did before,
    // or sides the patch could not tell, widen it all round as far.
    void Grow();
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
    // patch's border. Keeps where the walk left for Grow.
    bool Reaches(const std::vector<sBooleanIntersection>& records, const std::vector<LumPoint>& line);
    // The lowest altitude (the highest with highest set) of the points of
    // the surface's faces outside the patch; false when there is none.
    bool GetExtremeBeyond(bool highest, double& z) const;
    // Whether a border half-edge of the surface lies outside the patch.
    bool HasBorderBeyond() const;
    // Leaves the cut patch to the layer as its pending cut surface.
    void HandOver(Couche& layer);

private:
    bool IsCopied(int surfaceFace) const;
    // The faces of the surface the head can meet, with the margin and the
    // corridors; false where Take is refused before copying.
    bool FindFaces(Couche& layer, const KorMesh& head, double margin, std::vector<int>& faces);
    // Adds to the next Takes the faces within halfWidth of the plan segment
    // from-to.
    void AddCorridor(const LumPoint& from, const LumPoint& to, double halfWidth);

    const KorMesh* mSurface = nullptr;
    const SurfaceShape* mShape = nullptr;
    KorMesh mPatch;
    KorMesh::sCopySources mSources;
    std::vector<char> mCutOff;
    // Pairs of plan box corners: where the head can meet the surface, and
    // the corridors Grow added.
    std::vector<LumPoint> mRegion, mCorridors;
    bool mRegionFound = false;
    // The last two points of the last walk that left the patch, and where
    // the one before left it.
    std::vector<LumPoint> mExit, mLastExit;
    int mGrowths = 0;
    int mWidening = 0;
    bool mApart = false;
    size_t mCopiedFaces = 0;
};
