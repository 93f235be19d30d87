#pragma once

#include "ElementOVX.h"
#include "KorMesh.h"
#include "LumGLBuffer.h"
#include "LumPoint.h"
#include "SurfaceShape.h"
#include "XMLable.h"

#include <cstdint>
#include <ctime>
#include <exception>
#include <memory>
#include <string>
#include <vector>

class Discontinuite3D;
class KorMeshXMLReader;
class KorRay;
class LigneNiveau;
class LumHandledMesh;
class LumoraDevice;

// One geological layer: its points are the vertices of the surface mesh
// (pair 0), each with a vertex-type record telling where it comes from, its
// level lines, and the surface triangulated from them on demand. The
// project keeps the layers ordered from the top one down; the neighbour
// rule keeps each point between the layer above and the layer below.
//
// Invariants: the vertex-type list is indexed by vertex identifier and is
// at least as long as the highest live identifier plus one (records read
// from a file may be fewer: every read goes through GetVertexType, which
// answers Type 0 past the end); a deleted vertex keeps its slot with Type 0;
// every identifier a level line lists names a Type 2 vertex whose Param is
// that line's index.
//
// The surface is stale after every point edit until Triangulate runs, which
// GetAltitude does when needed. The face lookup uses a grid of face boxes,
// rebuilt lazily after any change of the mesh; it gives the same face as
// the scan in identifier order.
//
// Discontinuity surfaces: per family shown, the traces on the front walls
// and on the part cut by the trench head, built from the front outline and
// the "_Tete" mesh and kept until the mark says they are stale.
class Couche : public ElementOVX, public XMLable
{
public:
    struct sVertexType
    {
        int8_t Type = 0;
        int32_t Param = 0;
    };
    struct sColour
    {
        int R = 0;
        int G = 0;
        int B = 0;
    };
    // The four mesh pairs: the surface, the part the excavation cuts, the
    // part the trench head cuts, the terrain over the head.
    enum eMesh
    {
        Surface = 0,
        Intersection = 1,
        Tete = 2,
        TerrainSurTete = 3
    };
    using Clock = std::time_t (*)();

    explicit Couche(const std::string& name);
    Couche(const Couche&) = delete;
    Couche& operator=(const Couche&) = delete;
    ~Couche() override;

    // The clock read by the random colour of a new layer (time() when
    // null); tests make the colour repeatable.
    static void SetClock(Clock clock);

    void ToXML(XMLNode& node) override;
    // Throws KorException when the stored surface mesh is corrupt: an empty
    // layer would be saved back over the file's points.
    void FromXML(const XMLNode& node) override;
    // The records of vertex types of a layer's element read apart, so that
    // a project's layers read them side by side: VertexTypeGroups lists the
    // elements that hold them (calling thread: it queries the tree);
    // ReadVertexTypeRecords reads them on any thread (only the parsed
    // text), its exception kept.
    struct sReadVertexTypes
    {
        std::vector<XMLNode> Groups;
        std::vector<sVertexType> Records;
        std::exception_ptr Error;
    };
    static sReadVertexTypes VertexTypeGroups(const XMLNode& node);
    static void ReadVertexTypeRecords(sReadVertexTypes& read);
    // FromXML for a layer just made, its surface mesh taken from a reader
    // that has read the element's "Mesh" (null when it has none) and its
    // vertex types from those read apart (null: read here), so that a
    // project's layers read them side by side: their failure line and
    // exception come here, where reading the element would give them.
    void FromXML(const XMLNode& node, KorMeshXMLReader* mesh, const sReadVertexTypes* types = nullptr);

    // Change notifications that every edit ends with: the surface (or only
    // its display) is stale, the project's geometry flags set, results
    // invalidated, section windows refreshed.
    void SetGeometryChanged();
    void SetDisplayChanged();

    // Points (CouchePoints.cpp). Coordinates are scene coordinates.
    // 1 when the layer above is lower than z at (x, y), -1 when the layer
    // below is higher, 0 otherwise; the offending altitude in altitude.
    int CheckNeighbours(const LumPoint& point, double* altitude = nullptr);
    // A point with a coordinate that is not finite is refused (-1, one
    // reported line), as the file could not be read back.
    // With at >= 0 (an undo or redo giving a point its own identifier back)
    // the vertex takes that identifier, or a new one when it is live.
    int AddPoint(const LumPoint& point, int type, int param, bool check, bool record, int at = -1);
    // Whether AddPoint without check would place the point: the layer is
    // editable and the point finite. Says nothing.
    bool TakesPoint(const LumPoint& point) const;
    void DeletePoint(int id, bool record);
    // What an addition changed: the vertex table's slot count and the
    // type list's length before it, and the slot's type record before it.
    // An undo takes additions back, latest first, with TakeBackPoint: the
    // vertex table, its free queue and the type records are as before.
    struct sAddition
    {
        int Id = -1;
        int Slots = 0;
        int Types = 0;
        sVertexType Old;
    };
    const sAddition& GetLastAddition() const { return mLastAddition; }
    void TakeBackPoint(const sAddition& addition);
    int MovePoint(int id, const LumPoint& point, bool check, bool record, bool retriangulate);
    // The live vertex nearest along the ray among those whose sphere of
    // that radius it hits; null when none.
    KorVertex* PickVertex(const KorRay& ray, double radius);
    // The first vertex within the radius of (x, y) in plan, computed in
    // single precision as the plan view does; null when none.
    KorVertex* PickVertexInPlan(float x, float y, float radius);
    // Fills this new layer from the source (the layer above): each live
    // vertex of the source lowered by depth metres below its mean altitude,
    // its relief damped by damping percent, in single precision, as free
    // points. False at the first point refused; those added stay.
    bool CopyPointsFrom(const Couche& source, float depth, float damping, bool check);
    void ShiftSondagePoints(int index) { ShiftPoints(3, index); }
    void ShiftCoupePoints(int index) { ShiftPoints(4, index); }
    void DeleteSondagePoints(int index) { DeletePoints(3, index); }
    void DeleteCoupePoints(int index) { DeletePoints(4, index); }
    // The points of that type (3 or 4) whose Param names none of the
    // project's count boreholes or sections: a file's, that no element
    // owns. They become free points (the records of deleted vertices Type
    // 0); the number of live points freed.
    int FreeStrayPoints(int type, int count);

    // Vertex types. Past the end of the list: Type 0.
    sVertexType GetVertexType(int id) const;
    int GetNumberOfVertexTypes() const { return static_cast<int>(mVertexTypes.size()); }
    void SetVertexType(int id, int type, int param);

    // Surface (CoucheSurface.cpp).
    // TriangulateSurface then EndTriangulation.
    void Triangulate();
    // The mesh work of Triangulate: the surface, its level lines, its
    // display mesh. Touches nothing but this layer (no GL call, no
    // notification), so that several layers may run it at once, each on
    // its own thread; it may use up to `threads` threads itself.
    void TriangulateSurface(int threads = 1);
    // The rest, on the model's thread: the layer is fresh, the project told.
    void EndTriangulation();
    // Triangulates the stale layers of the list (null entries and fresh
    // layers passed over) as Triangulate on each in list order would: the
    // same surfaces, notifications, report lines and first exception. Dense
    // layers run their mesh work side by side (CoucheTriangulation.cpp).
    static void TriangulateAll(const std::vector<Couche*>& layers);
    // Assembles the pending cut surfaces of the listed layers and refreshes
    // their cut meshes' renderable copies, as their first drawing would, the
    // layers side by side (CoucheTriangulation.cpp).
    static void RefreshCutDisplaysAll(const std::vector<Couche*>& layers);
    bool NeedsTriangulation() const { return mRetriangulate; }
    // The first face in identifier order containing (x, y) in plan, faces
    // of plan area below 1e-10 left out; -1 when none.
    int GetFaceAt(float x, float y);
    // The same by the literal scan of every face, for checks.
    int GetFaceAtByScan(float x, float y) const;
    // The 3D view's pick: the nearest hit, t from the ray's origin, on the
    // surface (with the trench head shown, on the remainder and the cut
    // part instead) and on the shown side walls down to the project's
    // NiveauBas. A layer of opacity 0 is never hit; t = 1e10 on a miss.
    bool IntersectRay(const KorRay& ray, float& t);
    // Triangulates first when stale. False and z = 0 when no face holds
    // (x, y) or the altitude is not finite.
    bool GetAltitude(double x, double y, double& z);
    // Texture coordinates of the display meshes of pairs 0 and 1 over the
    // rectangle of the background plan named Texture (or the layer's box),
    // given the image's size in pixels. Marked valid only when computed.
    void ComputeTextureCoordinates(int imageWidth, int imageHeight);
    bool AreTextureCoordinatesValid() const { return mTextureValid; }
    void InvalidateTextureCoordinates() { mTextureValid = false; }

    // Writes the surface (or, with the head shown and an excavation cut,
    // the cut surface and the part the head takes) to a DXF file in world
    // metres, framed by the templates of the program's Icons folder. The
    // layer itself is not touched. False when any step failed, the file
    // then as it was: it is replaced only once written whole
    // (SafeFileWriter; CoucheDXF.cpp). reason, when given, gets the
    // writer's French reason for a failure (SafeFileWriter::GetReason).
    bool ExportDXF(const std::string& path, std::string* reason = nullptr);

    // Level lines (LigneNiveau.cpp holds the line's own operations).
    int GetNumberOfLignesNiveau() const { return static_cast<int>(mLignes.size()); }
    LigneNiveau* GetLigneNiveau(int index) const;
    int GetLigneNiveauIndex(const LigneNiveau* ligne) const;
    int AddLigneNiveau(float depth, int index, bool interactive, const std::vector<float>* points = nullptr);
    void DeleteLigneNiveau(int index, bool record);

    // Appearance: colour, texture, opacity, fronts and families shown.
    void SetAppearance(const sColour& colour, const std::string& texture, int opacity, bool fronts,
                       const std::vector<std::string>& families, bool record);
    sColour GetColour() const { return {R, G, B}; }
    bool AreDiscontinuitySurfacesBuilt() const { return mDiscontinuitesBuilt; }
    void SetDiscontinuitySurfacesBuilt(bool built) { mDiscontinuitesBuilt = built; }
    bool HasDiscontinuite(const std::string& name) const;
    // Rebuilds both lists of discontinuity traces from the front outline
    // (walls reaching down to the base level niveauBas) and the "_Tete"
    // mesh, and marks them built (CoucheDiscontinuite.cpp).
    void BuildDiscontinuite3D(double niveauBas);

    // Drawing, inside a draw callback with the camera set (CoucheRender.cpp).
    // The layer itself: faces (the cut surface when the head or the works
    // are shown and the cut has a face), wireframe, level lines and points
    // coloured by their origin. device serves the texture and the view
    // width (null: the main device). OpacityOverride is used by this call
    // only, whatever it draws.
    void Render(bool segments, bool points, bool faces, LumoraDevice* device = nullptr);
    // The discontinuity surfaces of the layer's walls, grey at Opacite.
    void RenderDiscontinuites();
    // The part of the head inside the layer ("_Tete"), its wireframe just
    // toward the camera, and with "3DAffichageInfos" the head's labels.
    void RenderIntersection(LumoraDevice* device = nullptr);
    // The terrain removed over the head, never more opaque than 0.75.
    void RenderTerrainOverHead();
    // The plan's lines: every half-edge of the surface from its origin to
    // its end, in identifier order, in the current colour; from a GL buffer
    // kept until the surface changes.
    void RenderEdges();

    // Fronts (CoucheFronts.cpp): the walls standing on FrontPoints down to
    // the project's NiveauBas, and the base quad over the layer's zone
    // rectangle at that level.
    void RenderSide();
    void RenderZoneQuad();
    // The zone rectangle of this layer: the zone widened by its index per
    // cent of its width and height on every side.
    void GetZoneRectangle(const LumPoint& limite1, const LumPoint& limite2, LumPoint& lo, LumPoint& hi) const;
    // The border half-edges of the surface (those without a face) in
    // walking order; true and none for a surface without border. The walk
    // is bounded by the half-edge slots: a border it cannot close is a
    // reported failure (false).
    bool GetContour(std::vector<int>& edges) const;
    // The positions of those half-edges' origins, in the same order.
    bool GetContour(std::vector<LumPoint>& points) const;

    // Queries over the live vertices in identifier order.
    double GetMeanAltitude() const;
    LumPoint GetCentre() const;
    void GetBoundingBox(LumPoint& lo, LumPoint& hi) const;
    void GetHighestAndLowest(LumPoint& highest, LumPoint& lowest) const;
    bool GetHighestAndLowestInZone(const LumPoint& c1, const LumPoint& c2, LumPoint& highest,
                                   LumPoint& lowest) const;

    // A cut surface (pair 1) left pending by a cut made on a patch is
    // assembled here, at its first read.
    KorMesh& GetMesh(eMesh which = Surface)
    {
        if (which == Intersection)
            AssembleCutSurface();
        return mMeshes[which];
    }
    const KorMesh& GetMesh(eMesh which = Surface) const
    {
        // Assembling gives pair 1 the value it stands for; it changes
        // nothing a reader could tell.
        if (which == Intersection)
            const_cast<Couche*>(this)->AssembleCutSurface();
        return mMeshes[which];
    }
    // The faces of the surface whose boxes may meet the box lo-hi (a
    // superset, in identifier order), through the shape's altitude grid.
    // False when it refuses (no face, or a box over most of the surface).
    bool QuerySurfaceFaces(const LumPoint& lo, const LumPoint& hi, std::vector<int>& faces);
    // The same over several boxes (corners lo, hi in turn), each face once.
    bool QuerySurfaceFaces(const std::vector<LumPoint>& corners, std::vector<int>& faces);
    // Built again when the surface has changed.
    const SurfaceShape& GetSurfaceShape();
    // Whether the shape stands built for the surface as it is. Queries
    // write its caches: one thread at a time for a layer.
    bool HasSurfaceCaches() const;
    // A cut made on a patch of the surface gives the cut surface as the
    // surface less the faces `replaced`, with the faces of `patch` in their
    // place; patch vertex k below vertexSources.size() was copied from
    // surface vertex vertexSources[k]. The whole surface is copied only when
    // pair 1 is read, so that a series reading volumes alone stays local.
    // The assembled mesh has other face identifiers than a cut of a copy of
    // the whole surface; nothing stored names them.
    void SetPendingCutSurface(std::vector<int> replaced, std::vector<int> vertexSources, KorMesh&& patch);
    // Forgets a pending cut surface, for a caller about to replace pair 1.
    void DiscardPendingCutSurface();
    // The renderable copies of the cut meshes follow them when next read
    // after SetCutDisplaysStale, so that a computation that nobody draws
    // does not copy the whole cut surface.
    LumHandledMesh* GetDisplayMesh(eMesh which = Surface) const
    {
        if (which != Surface)
            const_cast<Couche*>(this)->RefreshCutDisplays();
        return Display(which);
    }
    void SetCutDisplaysStale() { mCutDisplaysStale = true; }
    int GetPickedVertex() const { return mPickedVertex; }
    void SetPickedVertex(int id) { mPickedVertex = id; }
    // Opacity used by the next drawing only; -1 for Opacite.
    int OpacityOverride = -1;
    std::vector<LumPoint> FrontPoints;
    // One object per family shown, each holding one unnamed trace.
    std::vector<std::unique_ptr<Discontinuite3D>> DiscontinuitesFront;
    std::vector<std::unique_ptr<Discontinuite3D>> DiscontinuitesTete;

    // Registered members, in file order.
    std::string Nom;
    int R = 0;
    int G = 0;
    int B = 0;
    int Opacite = 100;
    std::string Texture;
    std::vector<std::string> Discontinuites;
    bool FrontAffiche = true;
    bool Editable = true;

private:
    friend class LigneNiveau;

    void RegisterXML();
    // Appends the records (a record of no vertex deletes the stored mesh's
    // vertex still at its slot).
    void TakeVertexTypes(const std::vector<sVertexType>& records);
    void ShiftPoints(int type, int index);
    void DeletePoints(int type, int index);
    // Param + delta for every Type 2 record whose Param is at least from.
    void RenumberLignes(int from, int delta);
    // The world point in a message's form: x;y;z, six significant digits.
    static std::string FormatPoint(const LumPoint& point);

    std::vector<sVertexType> mVertexTypes;
    std::vector<LigneNiveau*> mLignes;
    KorMesh mMeshes[4];
    // The display meshes are made at their first use, with the device and
    // name the layer was made with: a layer that is never drawn (most of a
    // project of many layers) holds none. Once made, each stays until the
    // layer goes.
    LumHandledMesh* Display(int which) const;
    mutable LumHandledMesh* mDisplay[4] = {nullptr, nullptr, nullptr, nullptr};
    LumoraDevice* mDisplayDevice = nullptr;
    std::string mDisplayName;
    void AssembleCutSurface();
    void RefreshCutDisplays();
    // What is kept of the surface (texture coordinates, shape and altitude
    // grid, box) is built again at its next use.
    void ForgetSurfaceCaches();

    LumGLBuffer mEdgeBuffer;
    size_t mEdgeVertices = 0;
    bool mEdgeBufferValid = false;
    SurfaceShape mShape;
    bool mShapeValid = false;
    void ComputeBoundingBox(LumPoint& lo, LumPoint& hi) const;
    mutable LumPoint mBoxLo, mBoxHi;
    mutable int mBoxSlots = -1, mBoxCount = -1;
    mutable bool mBoxValid = false;
    bool mCutPending = false;
    bool mCutDisplaysStale = false;
    std::vector<int> mCutReplaced;
    std::vector<int> mCutSources;
    // Made by the first pending cut: a layer never cut on a patch (one
    // without surface) holds no mesh for it.
    std::unique_ptr<KorMesh> mCutPatch;
    bool mTextureValid = false;
    bool mDiscontinuitesBuilt = false;
    bool mRetriangulate = true;
    int mPickedVertex = -1;
    sAddition mLastAddition;
};
