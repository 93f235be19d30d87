#pragma once

#include "KorExactPredicates.h"
#include "KorIntersection.h"
#include "LumPoint.h"

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

class KorMesh;

// Every line along which two surfaces cross, found whole: each pair of
// faces whose boxes meet is met exactly, on points moved by one symbolic
// perturbation (PerturbedOrient3D), so that a contact on a vertex, an edge
// or in a face's plane is settled the same way by every test that sees it
// and no crossing is missed or found twice. A face of more than three
// corners is taken as the fan of triangles from its first corner. The
// segments where two faces meet are then chained into lines, each closed
// or ending on the border of one of the meshes.
//
// The first mesh's vertices rank before the second's: where the two touch,
// the first stands a little higher (a head laid on level ground stays
// above it). Nothing is printed; a failure is the result.
class KorMeshCrossing
{
public:
    // How the vertices of a mesh rank for the perturbation: vertex id
    // ranks as Sources[id] (the vertex it stands for in a larger mesh, so
    // that a patch settles contacts as the whole surface does) or id, plus
    // Offset.
    struct sRanks
    {
        const std::vector<int>* Sources = nullptr;
        std::int64_t Offset = 0;
        std::int64_t Of(int id) const
        {
            return Offset + (Sources && id >= 0 && static_cast<size_t>(id) < Sources->size()
                                 ? (*Sources)[static_cast<size_t>(id)]
                                 : id);
        }
    };
    // The faces of the second mesh whose boxes may meet the box lo-hi, by
    // increasing identifier (a superset will do); false to have every face
    // tried.
    using FaceQuery = std::function<bool(const LumPoint& lo, const LumPoint& hi, std::vector<int>& faces)>;

    // A point of a line: where it lies and, on each mesh, on which
    // half-edge (Kind 9, the half-edge of the pair leaving its end of lower
    // rank) or in which face (Kind 1); one record of each kind. Order is
    // the place of the point among the line points on the same edge, from
    // the origin of that half-edge.
    struct sLinePoint
    {
        LumPoint P;
        sBooleanIntersection On[2];
        int Order = 0;
    };
    // A line, in walking order. Faces[m][i] is the face of mesh m the line
    // runs in from point i to the next (the last to the first on a closed
    // line). An open line ends, at either end, on a half-edge without face
    // of mesh EndMesh[k] (EndEdge[k]).
    struct sLine
    {
        std::vector<sLinePoint> Points;
        std::vector<int> Faces[2];
        bool Closed = true;
        int EndMesh[2] = {-1, -1};
        int EndEdge[2] = {-1, -1};
    };

    KorMeshCrossing(const KorMesh& first, const sRanks& firstRanks, const KorMesh& second,
                    const sRanks& secondRanks);

    // Finds the lines, the second mesh's faces near each triangle of the
    // first given by query. False when the segments do not chain (meshes
    // whose half-edges are not in twin pairs or whose faces are broken, or
    // a query that misses faces).
    bool Find(const FaceQuery& query);
    const std::vector<sLine>& GetLines() const { return mLines; }

    // Whether a vertical ray from p (upward with up, else downward) crosses
    // the faces of mesh an odd number of times, with p and the faces'
    // corners perturbed as in the search: for a surface seen once from
    // above, whether p stands under it (up) or over it. Only the given faces
    // are looked at; every face when faces is null.
    static bool OddCrossings(const KorMesh& mesh, const sRanks& ranks, const std::vector<int>* faces,
                             const sRankedPoint& p, bool up);

private:
    struct sTriangle
    {
        int Face;
        LumPoint P[3];
        std::int64_t Rank[3];
        // The edge of side k, from corner k to corner k + 1.
        int Edge[3];
        LumPoint Lo, Hi;
    };
    // An edge of a mesh: a face's (HalfEdge, one of its half-edges) or a
    // diagonal of a fan (HalfEdge -1). Triangles on each side, -1 when not
    // built or none.
    struct sEdge
    {
        LumPoint P[2];
        std::int64_t Rank[2];
        int HalfEdge;
        int Triangles[2];
        // The faces on its two sides (one of them -1 on a border).
        int Faces[2];
    };
    struct sEvent
    {
        int Mesh, Edge, Triangle;
        LumPoint P;
        int Segments[2];
    };
    struct sSegment
    {
        int Triangles[2];
        int Events[2];
    };
    struct sSide
    {
        const KorMesh* Mesh;
        sRanks Ranks;
        std::vector<sTriangle> Triangles;
        std::vector<sEdge> Edges;
        // The first triangle of each face slot and how many (-1 unbuilt).
        std::vector<int> FaceFirst, FaceCount;
        // The edge of each half-edge slot's pair, -1 unbuilt.
        std::vector<int> EdgeOfHalfEdge;
        // The plane of each built face (normal, point), for the points.
        std::unordered_map<int, std::pair<LumPoint, LumPoint>> Planes;
    };

    // Builds the fan triangles of face f of mesh m once; false for a face
    // that is missing or broken.
    bool BuildFace(int m, int f);
    int EdgeOf(int m, int halfEdge, int face, int triangle);
    // The segment where triangle a of the first mesh meets triangle b of
    // the second, if any; false when the two give other than 0 or 2 events.
    bool Meet(int a, int b);
    int EventOf(int mesh, int edge, int triangle);
    LumPoint CrossingPoint(int mesh, int edge, int triangle) const;
    bool Chain();
    void OrderAlongEdges();

    sSide mSides[2];
    std::vector<sEvent> mEvents;
    std::unordered_map<std::uint64_t, int> mEventIndex;
    std::vector<sSegment> mSegments;
    std::vector<sLine> mLines;
    // For each line point, the event it stands for.
    std::vector<std::vector<int>> mLineEvents;
};
