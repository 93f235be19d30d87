// CopyFacesInOrder must give an exact restriction of the mesh: the same
// rings from the same start, every table in the relative order of its
// identifiers, every link (twin, next, Turn ring, a vertex's first
// half-edge) the one of the source as far as the copy holds it.
#include "KorDelaunay.h"
#include "KorEdge.h"
#include "KorFace.h"
#include "KorMesh.h"
#include "KorVertex.h"
#include "MeshChecker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace
{
TEST(KorMeshPatchTest, CopyIsAnExactRestriction)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    KorMesh mesh;
    for (int k = 0; k < 2000; ++k)
        mesh.AddVertex(LumPoint(100.0 * unit(random), 100.0 * unit(random), unit(random)));
    Delaunay2D(mesh);
    // Free face slots and holes, in the copy and beyond it.
    for (int id = 0; id < mesh.GetFaceVectorSize(); id += 97)
        mesh.DeleteFace(id, true);
    std::vector<int> faces;
    std::vector<LumPoint> points;
    for (int id = mesh.GetFaceVectorSize() - 1; id >= 0; --id)
        if (const KorFace* f = mesh.GetFace(id))
        {
            mesh.GetFacePoints(f, points);
            const LumPoint c = (points[0] + points[1] + points[2]) / 3;
            if ((c.x - 40) * (c.x - 40) + (c.y - 55) * (c.y - 55) < 400)
                faces.push_back(id);
        }
    KorMesh patch;
    KorMesh::sCopySources sources;
    ASSERT_TRUE(mesh.CopyFacesInOrder(faces, patch, sources));
    ASSERT_TRUE(CheckMesh(patch));
    std::sort(faces.begin(), faces.end());
    EXPECT_EQ(sources.Faces, faces);
    for (const std::vector<int>* ids : {&sources.Vertices, &sources.Edges})
        EXPECT_TRUE(std::adjacent_find(ids->begin(), ids->end(), std::greater_equal<int>()) == ids->end());

    const auto held = [&](int e)
    { return std::binary_search(sources.Edges.begin(), sources.Edges.end(), e); };
    // The first half-edge of the source's Turn ring from e on that the copy
    // holds.
    const auto firstHeld = [&](int e)
    {
        for (int step = 0, at = e; step < mesh.GetEdgeVectorSize() && at >= 0;
             ++step, at = mesh.GetEdge(at)->Turn)
            if (held(at))
                return at;
        return -1;
    };
    const auto source = [](const std::vector<int>& of, int id) { return id < 0 ? -1 : of[size_t(id)]; };
    for (int k = 0; k < static_cast<int>(sources.Edges.size()); ++k)
    {
        const KorEdge* copy = patch.GetEdge(k);
        const KorEdge* from = mesh.GetEdge(sources.Edges[size_t(k)]);
        ASSERT_TRUE(copy && from);
        EXPECT_EQ(source(sources.Vertices, copy->Vertex), from->Vertex) << k;
        EXPECT_EQ(source(sources.Edges, copy->Opp), from->Opp) << k;
        const bool inside = std::binary_search(faces.begin(), faces.end(), from->Face);
        EXPECT_EQ(source(sources.Faces, copy->Face), inside ? from->Face : -1) << k;
        EXPECT_EQ(source(sources.Edges, copy->Next), inside ? from->Next : -1) << k;
        EXPECT_EQ(source(sources.Edges, copy->Turn), firstHeld(from->Turn)) << k;
    }
    for (int k = 0; k < static_cast<int>(sources.Vertices.size()); ++k)
        EXPECT_EQ(source(sources.Edges, patch.GetVertex(k)->Edge),
                  firstHeld(mesh.GetVertex(sources.Vertices[size_t(k)])->Edge))
            << k;
    for (int k = 0; k < static_cast<int>(faces.size()); ++k)
        EXPECT_EQ(source(sources.Edges, patch.GetFace(k)->Edge), mesh.GetFace(faces[size_t(k)])->Edge) << k;
}
} // namespace
