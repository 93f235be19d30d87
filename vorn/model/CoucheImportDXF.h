#pragma once

#include "KorDXF.h"
#include "LumPoint.h"

#include <string>
#include <vector>

// What a DXF file gives a new layer: its flat polylines as level lines
// (closed when the drawing closes them) and the points of the others and
// its spot heights as loose points, in scene units, the level lines thinned
// by a simplification from 0 (every point) to 100, and the layer filled
// from them. Of several points at one place (x and y within 1e-5) one is
// kept: a level line's before a loose point, an earlier line's before a
// later one's; a line loses only the points left out, and goes on as the
// pieces between them. A file of polyface meshes alone gives the vertices of
// the mesh the layer becomes as its loose points. The reader is held by
// value; a file that cannot be read leaves both lists empty and IsLoaded
// false.
class CoucheImportDXF
{
public:
    struct sLigne
    {
        std::vector<LumPoint> Points;
        // Sum of the distances between consecutive points, in scene units.
        double Length = 0.0;
        bool Closed = false;
    };

    // Reads the file once; the simplified lines start as the lines read.
    bool Read(const std::string& path);
    bool IsLoaded() const { return mReader.IsOpen(); }
    // Why the file read gives a layer nothing, empty when it gives it
    // something: it could not be read, or it holds no point the import
    // takes (3DFACE entities alone, say), with a second line naming what
    // the file held that was left out, when anything was.
    std::string GetRefusal(const std::string& path) const;

    // Thins the level lines with s (clamped to 0..100); false, with nothing
    // done, when s is the value last applied.
    bool Simplify(int s);
    int GetSimplification() const { return mApplied; }

    // Points of the lines read (or simplified) plus the loose points.
    int CountRead() const;
    // What the file held that the layer does not take, in words ("2 points
    // à une place déjà prise, 1 INSERT"); empty when nothing is left out.
    std::string DescribeLeftOut() const;
    int CountLeftOutPoints() const { return mLeftOutPoints; }
    int CountSimplified() const;

    // Fills the layer at that index. Interactive: every point is checked
    // against the neighbour layers and the first refusal, with its message,
    // makes the build fail. A file of polyface meshes only makes the layer
    // that mesh, no longer editable. False when the layer does not exist.
    bool BuildLayer(int level, bool interactive);

    const std::vector<sLigne>& GetLignes() const { return mLignes; }
    const std::vector<sLigne>& GetLignesSimplifiees() const { return mLignesSimplifiees; }
    const std::vector<LumPoint>& GetPoints() const { return mPoints; }
    const KorDXF& GetReader() const { return mReader; }

    // One line thinned: its two ends always kept, a point between kept when
    // it lies farther than the line's length / (101 - s) from the last point
    // kept, or turns by more than 40 degrees (the point before the last is
    // never examined).
    static sLigne SimplifyLigne(const sLigne& ligne, int s);

private:
    bool FailOnPoint(const LumPoint& scene) const;

    KorDXF mReader;
    int mApplied = 0;
    int mLeftOutPoints = 0;
    // Without a level line, a file holding polyface meshes makes the layer
    // that mesh, built in scene units when the file is read.
    bool mBecomesMesh = false;
    bool mMeshFailed = false;
    KorMesh mMesh;
    std::vector<sLigne> mLignes;
    std::vector<LumPoint> mPoints;
    std::vector<sLigne> mLignesSimplifiees;
};
