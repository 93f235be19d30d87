#pragma once

#include "KorMesh.h"
#include "LumPoint.h"

#include <vector>

// A polygon soup as a file reader gathers it: points, and polygons given by
// point indices. A conversion decides the order in which polygons reach
// KorMesh::AddFace: each polygon after the first of its connected group shares
// an edge with one added before it, which lets AddFace orient it consistently
// with its neighbours. Readers fill one pre-mesh per conversion; a pre-face
// once added stays added, so a second conversion adds no face.
struct sPreFace
{
    bool Added = false;
    std::vector<int> Indices;
};

class KorPreMesh
{
public:
    KorPreMesh() = default;

    int AddVertex(const LumPoint& point);
    int AddPreFace(const std::vector<int>& indices);
    // A triangle when d is negative, otherwise the quadrilateral a, b, c, d.
    int AddPreFace(int a, int b, int c, int d);

    const std::vector<LumPoint>& GetPoints() const { return mPoints; }
    const std::vector<sPreFace>& GetPreFaces() const { return mPreFaces; }

    // Replaces the mesh's content: every point becomes the vertex of the same
    // index, then the faces are added group by group. Indices are not checked
    // here: one without a point reaches AddFace as a missing vertex. False when
    // AddFace refused a face (the others are still added). A pre-face with no
    // index throws std::out_of_range.
    bool ConvertToKorMesh(KorMesh& mesh);
    // Appends one mesh per edge-connected group, holding only the points its
    // faces use, numbered in order of first use. An index with no point, or a
    // pre-face with no index, throws std::out_of_range.
    bool ConvertToKorMeshes(std::vector<KorMesh>& meshes);

private:
    class EdgeMap;
    template <class AddOne> bool GrowGroup(EdgeMap& edges, int start, AddOne addOne);

    std::vector<LumPoint> mPoints;
    std::vector<sPreFace> mPreFaces;
};
