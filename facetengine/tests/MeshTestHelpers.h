#pragma once

#include "KorMesh.h"

#include <gtest/gtest.h>

#include <vector>

// A mesh of the given vertices (identifiers in order) and faces.
inline KorMesh MeshOf(const std::vector<LumPoint>& points, const std::vector<std::vector<int>>& faces = {})
{
    KorMesh m;
    for (const LumPoint& p : points)
        m.AddVertex(p);
    for (const std::vector<int>& f : faces)
        m.AddFace(f);
    return m;
}

// Identifier views of a mesh, so that tests can assert whole rings at once.
inline std::vector<int> TurnRing(KorMesh& mesh, int vertex)
{
    std::vector<KorEdge*> edges;
    mesh.GetEdgesAroundVertex(mesh.GetVertex(vertex), edges);
    std::vector<int> ids;
    for (const KorEdge* e : edges)
        ids.push_back(e->ID);
    return ids;
}

inline std::vector<int> FaceEdgeRing(KorMesh& mesh, int face)
{
    std::vector<KorEdge*> edges;
    mesh.GetFaceEdges(mesh.GetFace(face), edges);
    std::vector<int> ids;
    for (const KorEdge* e : edges)
        ids.push_back(e->ID);
    return ids;
}

inline std::vector<int> FaceVertexRing(const KorMesh& mesh, int face)
{
    std::vector<int> ids;
    mesh.GetFaceVertices(mesh.GetFace(face), ids);
    return ids;
}

inline void ExpectPointNear(const LumPoint& p, double x, double y, double z, double tol = 1e-12)
{
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}
