#pragma once

#include "KorBoundingBox.h"
#include "KorMesh.h"

#include <vector>

class Couche;
class SurfaceShape;

// A patch of a layer's surface: the faces that a head within a box can
// touch, copied in order (KorMesh::CopyFacesInOrder), so that the search of
// the lines, their insertion and the sides of the pieces come out on the
// patch as they would on a copy of the whole surface, as long as nothing
// reaches the patch's own border.
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
    // a line that left the patch (NoteExit) has it go on along the line's
    // way, 4, 8, 16... cells further each time; a line that left where one
    // did before, or a removed part that reached the patch's border, widen
    // it all round as far.
    void Grow();
    // Where a line left the patch: its last two points, the last on the
    // patch's border.
    void NoteExit(const LumPoint& before, const LumPoint& at) { mExit = {before, at}; }
    // After a refused Take: whether the head cannot come within the margin
    // of the surface anywhere, so that no search can find a line.
    bool IsApart() const { return mApart; }

    KorMesh& GetMesh() { return mPatch; }
    // The number of faces copied, kept after HandOver.
    size_t GetCopiedFaces() const { return mCopiedFaces; }
    // Whether the patch half-edge has no face in the patch but had one in
    // the surface: the patch's own border.
    bool IsCutOff(int edge) const;
    // The surface vertex each patch vertex was copied from, by patch
    // identifier, until HandOver.
    const std::vector<int>& GetVertexSources() const { return mSources.Vertices; }
    // Leaves the cut patch to the layer as its pending cut surface.
    void HandOver(Couche& layer);

private:
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
    // The last two points of the last line that left the patch, and where
    // the one before left it.
    std::vector<LumPoint> mExit, mLastExit;
    int mGrowths = 0;
    int mWidening = 0;
    bool mApart = false;
    size_t mCopiedFaces = 0;
};
