#pragma once

#include "DoubleIndex.h"
#include "KorEdge.h"
#include "KorFace.h"
#include "KorIDVector.h"
#include "KorVertex.h"
#include "LumPoint.h"
#include "LumVertex.h"
#include "XMLable.h"

#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class KorRay;
class XMLRecord;
class LumTree;

// The polygon mesh of the system: a half-edge structure over three identifier
// tables (vertices, half-edges, faces). Every link is an identifier; a pointer
// from GetVertex/GetEdge/GetFace stays valid only until the next element of
// the same kind is added, so look elements up again by identifier after an add.
//
// Invariants kept by every operation:
// - half-edges come in twin pairs (a.Opp == b.ID, b.Opp == a.ID), at most one
//   half-edge from a given vertex to a given other vertex;
// - the half-edges leaving a vertex form one closed ring through Turn, in
//   insertion order; the vertex's Edge is in it, or -1 when it is empty;
// - a half-edge with Face -1 has Next -1; the half-edges of a face form one
//   closed ring through Next, all naming that face.
//
// Walk a mesh by looping over identifiers 0 .. Get*VectorSize() - 1 and
// skipping those whose lookup is null. The cached vertex mean and the search
// tree are dropped by every edit; vertex and face normals, once computed, are
// kept in the elements. A saved object: it derives from XMLable.
class KorMesh : public XMLable
{
public:
    enum eOrientation : int
    {
        X_AXIS = 0,
        Y_AXIS = 1,
        Z_AXIS = 2
    };

    KorMesh();
    KorMesh(const KorMesh& other);
    KorMesh& operator=(const KorMesh& other);
    ~KorMesh() override;

    // The mesh's own XML and text forms (KorMeshXML.cpp, KorMeshASCII.cpp):
    // every slot of the three tables in identifier order, free ones
    // included, so identifiers and links survive without renumbering. A
    // read replaces the whole content; outside data whose links could not
    // be walked safely leaves the mesh empty (see LastReadFailed).
    void ToXML(XMLNode& node) override;
    void FromXML(const XMLNode& node) override;
    void ToASCII(std::ostream& stream) override;
    // False when the form is truncated or corrupt.
    bool FromASCII(std::istream& stream) override;
    // Whether the last FromXML or FromASCII found a truncated or corrupt
    // form (and so left the mesh empty), or FromXML was handed no element
    // (and so left the mesh as it was).
    bool LastReadFailed() const { return mLastReadFailed; }

    // The nearest hit of the ray on the faces between tmin and tmax, the
    // faces optionally moved by an OpenGL matrix (KorMeshMeasures.cpp). t and
    // face are written only on a hit; face becomes -1 first.
    virtual bool IntersectRay(const KorRay& ray, const double& tmin, const double& tmax,
                              const double* glMatrix, double& t, int* face);
    virtual bool IntersectRay(const KorRay& ray, const double& tmin, const double& tmax, double& t,
                              int* face);

    // Transforms and measures (KorMeshMeasures.cpp). The matrices are 16
    // doubles in OpenGL column-major layout; the normal matrix may be null.
    void GLTransform(const double* m, const double* n = nullptr);
    void MoveMesh(const LumPoint& v);
    // Without effect.
    void RotateAround(const LumPoint& centre, const LumPoint& axis, const double& angle);
    double GetFaceSurface(const KorFace* f) const;
    double GetSurface() const;
    // Signed volume of the cones from the origin over the faces.
    double GetVolume() const;

    // Copies the tables whole (identifiers and their reuse order preserved),
    // the cached mean, the flip flag and the face tracks; not the tree.
    void Clone(const KorMesh& other);
    // Exchanges the whole content with other in O(1); the trees are dropped.
    void Swap(KorMesh& other);
    // Empties the three tables; the tracks of faces are kept.
    void Clear();
    // Empties the face table and unlinks every half-edge from its face.
    void ClearFaces();
    // Empties the faces and the half-edges; vertices stay, with no edge.
    void ClearEdges();
    void ClearTracksOfFaces() { mTracksOfFaces.clear(); }
    // Face normals computed from now on are negated; stored ones are kept.
    void FlipFaces(bool flip) { mFlipFaces = flip; }
    bool AreFacesFlipped() const { return mFlipFaces; }

    // Live elements.
    int GetNumberOfVertices() const { return mVertices.GetNumberOfItems(); }
    int GetNumberOfEdges() const { return mEdges.GetNumberOfItems(); }
    int GetNumberOfFaces() const { return mFaces.GetNumberOfItems(); }
    // Slot counts, freed slots included: the bounds of an identifier loop.
    int GetVertexVectorSize() const { return mVertices.GetVectorSize(); }
    int GetEdgeVectorSize() const { return mEdges.GetVectorSize(); }
    int GetFaceVectorSize() const { return mFaces.GetVectorSize(); }

    // Vertices (KorMesh.cpp).
    int AddVertex(const double& x, const double& y, const double& z);
    int AddVertex(const LumPoint& p);
    // Position, texture coordinate and a given normal, never recomputed.
    int AddVertex(const LumVertex& v);
    KorVertex* GetVertex(const int& id) { return mVertices.Get(id); }
    const KorVertex* GetVertex(const int& id) const { return mVertices.Get(id); }
    // Deletes the vertex, its half-edges with their twins, and every face
    // that used them.
    void DeleteVertex(const int& id);
    // For an undo or redo: a vertex given its own identifier back (-1 when
    // that identifier is live), and the latest AddVertex taken back so that
    // the vertex table is as before it (see KorIDVector::AddAt, TakeBack).
    int AddVertexAt(int id, const LumPoint& p);
    void TakeBackVertex(int id, bool appended);
    void GetAllVertices(std::vector<KorVertex>& out) const;
    const LumPoint& GetVerticesMean();

    // Half-edges (KorMeshEdges.cpp).
    // The half-edge from a to b, created with its twin when missing. Returns 0
    // when a or b is null or both are the same vertex (0 is also a valid
    // identifier: AddFace refuses the rings where it could end up).
    int AddEdge(KorVertex* a, KorVertex* b);
    KorEdge* GetEdge(const int& id) { return mEdges.Get(id); }
    const KorEdge* GetEdge(const int& id) const { return mEdges.Get(id); }
    // Deletes the half-edge and its twin and the faces on both sides; with
    // deleteLonelyVertices, an end vertex left with no edge is deleted too.
    void DeleteEdge(const int& id, bool deleteLonelyVertices);
    bool GetEdgePoints(const KorEdge* e, LumPoint& first, LumPoint& second) const;
    bool GetEdgePoints(const KorEdge* e, int& first, int& second) const;
    void GetAllEdges(std::vector<KorEdge*>& out);
    KorEdge* GetEdgeBetween(const KorVertex* a, const KorVertex* b);
    const KorEdge* GetEdgeBetween(const KorVertex* a, const KorVertex* b) const;
    // For building a mesh in bulk. While allowed, the first AddEdge whose
    // duplicate check walks a Turn ring of more than 64 half-edges (a vertex
    // shared by very many faces) builds an index of vertex pairs; from then
    // on GetEdgeBetween, and so AddEdge and AddFace, answer from it in O(1),
    // with the walk's answers (there is at most one half-edge from a vertex to
    // another). AddEdge and DeleteEdge (so every face and vertex operation)
    // keep it in step. Clear, ClearEdges, Clone and the reads, which replace
    // the half-edges whole, end the allowance and free the index, as
    // AllowEdgeIndex(false) does. Not allowed at construction nor in copies.
    void AllowEdgeIndex(bool allow);
    // Whether the index has been built, and so answers the lookups.
    bool HasEdgeIndex() const { return mEdgeIndex != nullptr; }

    // Walks around a vertex through Turn, starting at its Edge.
    void GetEdgesAroundVertex(const KorVertex* v, std::vector<KorEdge*>& out);
    // The faces of that walk; a border vertex yields fewer faces than edges.
    void GetFacesAroundVertex(const KorVertex* v, std::vector<KorFace*>& out);

    // Mean of the normals of the faces around, cached in the vertex while it
    // is not null; a given normal is returned as it is.
    const LumPoint& GetNormal(KorVertex* v);
    // Every face's normal, then every vertex's, as GetNormal gives and keeps
    // them, the faces and then the vertices shared out in ranges among up
    // to `threads` threads, each writing only its own range. Unlike
    // GetNormal on every vertex, it also gives its normal to a face that no
    // vertex's walk reaches (none in a sound mesh). A thread's exception is
    // thrown here once every thread has ended.
    void ComputeNormals(int threads);
    const LumPoint& GetTextureCoord(const KorVertex* v) const;

    // Faces (KorMeshFaces.cpp).
    // A face on the vertices given in order. When one of its half-edges
    // already bounds a face, the face is built on the twins in reverse order,
    // consistently with its neighbours. Returns the face identifier or -1.
    int AddFace(int count, ...);
    int AddFace(const std::vector<int>& ids);
    // Builds triangles in bulk on a mesh with no half-edge and no face slot
    // (after ClearEdges, say): corners holds 3 vertex identifiers per
    // triangle, twins for its half-edge k (corner k to corner k + 1) the index
    // 3u + j of the opposite half-edge in the same arrays, or -1 on the
    // border. Triangle t becomes face t, its half-edge k half-edge 3t + k and
    // the face's Edge its half-edge 0; the border twins follow in the order
    // of their half-edges; each vertex's Turn ring takes its half-edges in
    // identifier order from its Edge, the first of them. O(n), the tables sized once. The caller guarantees
    // at most one half-edge from a vertex to another. Refused, with a message and nothing added, when the
    // mesh has half-edges or faces, a corner is missing, a triangle repeats a corner or a twin link is not
    // mutual between the same two vertices.
    bool AddTriangles(const std::vector<int>& corners, const std::vector<int>& twins);
    // The same on arrays it may spend: they are freed once the half-edges are
    // made, so that building the faces needs no room beyond the mesh's own.
    bool AddTriangles(std::vector<int>&& corners, std::vector<int>&& twins);
    // Stitches a strip of triangles between two polylines. 1, or -1 when a
    // line is empty, a vertex is missing or a triangle is refused.
    int AddFacesAlongLines(const std::vector<int>& lineA, const std::vector<int>& lineB);
    // Unlinks the face's ring; with deleteLonelyEdges, the half-edge pairs
    // left with no face on either side are deleted, and vertices left alone.
    void DeleteFace(const int& id, bool deleteLonelyEdges);
    KorFace* GetFace(const int& id) { return mFaces.Get(id); }
    const KorFace* GetFace(const int& id) const { return mFaces.Get(id); }
    const LumPoint& GetNormal(KorFace* f);
    void GetFaceTriangle(const KorFace* f, LumPoint& a, LumPoint& b, LumPoint& c) const;
    void GetFacePoints(const KorFace* f, std::vector<LumPoint>& out) const;
    void GetFaceVertices(const KorFace* f, std::vector<int>& out) const;
    void GetFaceEdges(const KorFace* f, std::vector<KorEdge*>& out);
    // The half-edges of the face's ring from its Edge, at most one lap; false
    // when the ring does not close or holds fewer than three.
    bool GetClosedFaceRing(const KorFace* f, std::vector<const KorEdge*>& ring) const;
    KorVertex* GetFaceVertex(const KorFace* f, const int& index);
    KorEdge* GetFaceEdge(const KorFace* f, const int& index);
    bool IsVertexOnFace(const KorFace* f, const int& vertexId) const;

    // Sorting (KorMeshSort.cpp). Copies of the live vertices, or the live
    // half-edges, in a geometric order; see KorComparators.h.
    void SortVertices(std::vector<KorVertex>& out, eOrientation first, eOrientation second) const;
    // Increasing exact distance from p: a valid order for the rule "farther
    // after, distances within 1e-5 in any order", and a strict weak one.
    void SortVerticesFromPoint(std::vector<KorVertex>& out, const LumPoint& p) const;
    // Increasing distance of each half-edge's origin from p.
    void SortEdgesFromPoint(std::vector<KorEdge*>& out, const LumPoint& p);

    // Face editing and repair: polygon crossing and cutting (KorMeshPolygon.cpp),
    // local editing and face tracks (KorMeshEdit.cpp), concave faces
    // (KorMeshConcave.cpp), vertex fusion (KorMeshFusion.cpp), holes
    // (KorMeshHoles.cpp).
    // The first pair of non-adjacent sides whose lines meet strictly inside
    // both sides; point is on the first side's line; edgeA and edgeB are the
    // sides' half-edges. False (edges -1) for a polygon that does not cross.
    bool GetIntersectionPointOfPolygon(const std::vector<int>& ids, LumPoint& point, int& edgeA, int& edgeB);
    // Replaces the face by the polygon (a loop inside it) and a band of faces
    // between the two; the polygon's face identifier, or -1.
    int CutPolygonIntoFace(KorFace* face, const std::vector<int>& polygon);
    // Fans every face of more than three vertices from its first vertex.
    bool TriangulateMesh();

    // With tracks set, every face made here records in the tracks of faces the
    // face it descends from, as that face was when the tracks were last emptied.
    int AddVertexOnEdge(const int& edge, const LumPoint& p, bool tracks);
    bool CutFaceFromEdges(const std::vector<int>& path, bool tracks);
    // The face a face descends from in the tracks (itself when it has no
    // track); read it before deleting the face, which drops its track.
    int GetFaceOrigin(int face) const;
    // A face on the vertices given in order (AddFace) that, with tracks,
    // descends from `origin`. The face identifier, or -1.
    int AddFaceFrom(const std::vector<int>& ids, int origin, bool tracks);
    bool CopyFacesToMesh(const std::vector<int>& faces, KorMesh& destination, bool tracks) const;
    // Replaces destination by the given faces of this mesh, with their
    // vertices and half-edges and the twins of those, as an exact restriction
    // of this mesh (KorMeshPatch.cpp): each table keeps the relative order of
    // its identifiers, every link and Turn ring its order, each vertex and
    // face its first half-edge where the copy holds it. A twin whose face is
    // not copied is a border half-edge of the copy. So an operation that
    // breaks ties by identifier or walks rings from their start does on the
    // copy what it does on this mesh, as long as it stays away from the
    // copy's border. sources receives, per copied vertex, half-edge and face,
    // the identifier it was copied from. False, destination empty, when a
    // face is missing. O(k log k) for k copied elements.
    struct sCopySources
    {
        std::vector<int> Vertices, Edges, Faces;
    };
    bool CopyFacesInOrder(const std::vector<int>& faces, KorMesh& destination, sCopySources& sources) const;
    void GetNewFacesFrom(const int& origin, std::vector<int>& out) const;

    // How the fan of each step is looked for. Both give the same faces in the
    // same order: Pruned skips the apexes that cannot beat the best fan found
    // and makes each diagonal test once per polygon; Exhaustive tests every
    // diagonal of every apex and stays as the reference of tests and
    // benchmarks.
    enum class eFanSearch
    {
        Pruned,
        Exhaustive
    };
    // A possibly concave or self-crossing polygon as faces each fanned from one
    // vertex; the last face's identifier (the smaller result over the two
    // loops of a crossing), or -1.
    int AddConcaveFace(int count, ...);
    int AddConcaveFace(std::vector<int>& ids, std::vector<int>* outFaces,
                       eFanSearch search = eFanSearch::Pruned);
    bool ToConcaveMesh(bool tracks, eFanSearch search = eFanSearch::Pruned);
    bool ToConcaveMesh(const std::vector<int>& faces, bool tracks, eFanSearch search = eFanSearch::Pruned);

    // Merges vertices less than 1e-5 apart (the tolerance argument is not
    // read); report, when given, maps replaced faces to their successors.
    bool FuseVertices(const double& tolerance, std::vector<DoubleIndex>* report);
    int FuseVertices(KorVertex* kept, KorVertex* removed, std::vector<DoubleIndex>* report);
    int FuseEmptyFace(KorFace* face, std::vector<DoubleIndex>* report);

    bool IsClosed();
    bool ContainsNULLSurface();
    bool GetEdgesAlongHole(KorEdge* start, std::vector<KorEdge*>& out);
    bool CloseMesh();

    // DXF export (KorMeshDXF.cpp), into a stream (a file goes through a
    // SafeFileWriter's, so that it is replaced only whole). WriteDXFHeader
    // copies a header template, ToDXF appends the mesh as one polyface-mesh
    // POLYLINE whose entities take handles from `handle` on (owner 1F, the
    // model-space block record of the template), WriteDXFCloser copies a
    // closer template. Each face is written as a fan of triangles from its
    // first corner, the fan's inner diagonals marked invisible. Coordinates
    // are written in the shortest form that reads back exactly. False when
    // a template cannot be read whole (missing, not a regular file, a read
    // error) or the stream has failed.
    static bool WriteDXFHeader(const std::string& headerPath, std::ostream& out);
    bool ToDXF(std::ostream& out, int& handle) const;
    static bool WriteDXFCloser(const std::string& closerPath, std::ostream& out);

    // The search tree over the faces: null until set, deleted by every edit.
    LumTree* GetTree() const { return mTree; }
    // Takes ownership; a tree already held is deleted.
    void SetTree(LumTree* tree);

    static bool mSaveNormals;
    static bool mSaveTextureCoordinates;

private:
    template <class FaceNormal> LumPoint MeanAround(const KorVertex* v, FaceNormal faceNormal);
    // visit(face) for each face around v, in turn order from v's half-edge
    // (at most one lap, however broken the links).
    template <class Visit> void ForFacesAround(const KorVertex* v, const Visit& visit)
    {
        const KorEdge* first = mEdges.Get(v->Edge);
        const KorEdge* e = first;
        for (int steps = mEdges.GetVectorSize(); e && steps > 0; --steps)
        {
            if (KorFace* f = mFaces.Get(e->Face))
                visit(f);
            e = mEdges.Get(e->Turn);
            if (e == first)
                break;
        }
    }
    // Fills the tables from the XML form (FromXML reads through it).
    friend class KorMeshXMLReader;

    // Face editing helpers (KorMeshConcave.cpp, KorMeshFusion.cpp).
    bool SplitAtCrossing(const std::vector<int>& poly, std::vector<int>* outFaces, std::vector<int>& loopA,
                         std::vector<int>& loopB);
    int InsertCrossingVertex(int edge, const LumPoint& p, std::vector<int>* outFaces);
    bool ReplaceByConcaveFaces(int faceId, bool tracks, eFanSearch search);

    // Deletes the half-edges (and their faces) at a vertex.
    void DeleteEdgesAround(int vertexId);
    // Drops the derived state (mean, tree) after any add, delete or relink.
    void SetModified();
    int AddFace(std::vector<KorEdge*>& ring);
    // GetEdgeBetween's ring walk; steps is the number of half-edges visited.
    const KorEdge* WalkToEdge(const KorVertex* a, const KorVertex* b, int& steps) const;
    void BuildEdgeIndex();
    // The half-edges of a face's ring from its Edge, at most one lap; false
    // when the first three half-edges do not all exist.
    bool GetFaceRing(const KorFace* f, std::vector<int>& ring) const;

    LumPoint mNullPoint;
    LumPoint mVerticesMean;
    bool mMeanValid = false;
    KorIDVector<KorVertex> mVertices;
    KorIDVector<KorEdge> mEdges;
    KorIDVector<KorFace> mFaces;
    bool mFlipFaces = false;
    // A face cut from an existing one -> the face it was cut from.
    std::map<int, int> mTracksOfFaces;
    LumTree* mTree = nullptr;
    bool mLastReadFailed = false;
    bool mEdgeIndexAllowed = false;
    // (smaller vertex, larger vertex) -> the half-edge of the pair that leaves
    // the smaller one; null until built.
    std::unique_ptr<std::unordered_map<std::uint64_t, int>> mEdgeIndex;
};
