#pragma once

// Exact checks of a triangulation in X-Y, independent of the code under test.
// Test points lie on the lattice of step 2^-16 within |x|, |y| < 2048, so that
// every coordinate is an integer number of steps and orientations, areas and
// in-circle determinants are computed exactly in 128-bit integers.

#include "KorMesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

namespace tri
{
constexpr double kStep = 1.0 / 65536.0;

using Int = __int128;

inline double Snap(double v)
{
    return std::round(v / kStep) * kStep;
}

inline int64_t Steps(double v)
{
    return static_cast<int64_t>(std::llround(v / kStep));
}

struct Corner
{
    int64_t x, y;
};

inline Corner At(const KorMesh& mesh, int id)
{
    const KorVertex* v = mesh.GetVertex(id);
    return Corner{Steps(v->X), Steps(v->Y)};
}

inline Int Orient(const Corner& a, const Corner& b, const Corner& c)
{
    return Int(b.x - a.x) * Int(c.y - a.y) - Int(b.y - a.y) * Int(c.x - a.x);
}

// The in-circle determinant of the rows (a - d, |a - d|^2), ... in steps^4.
inline Int InCircle(const Corner& a, const Corner& b, const Corner& c, const Corner& d)
{
    const Int adx = a.x - d.x, ady = a.y - d.y, bdx = b.x - d.x, bdy = b.y - d.y, cdx = c.x - d.x,
              cdy = c.y - d.y;
    const Int al = adx * adx + ady * ady, bl = bdx * bdx + bdy * bdy, cl = cdx * cdx + cdy * cdy;
    return al * (bdx * cdy - bdy * cdx) - bl * (adx * cdy - ady * cdx) + cl * (adx * bdy - ady * bdx);
}

// 1e-12 in steps^4, rounded down: det <= this  <=>  det * 2^-64 <= 1e-12.
constexpr int64_t kThresholdSteps = 18446744;

inline std::vector<int> Corners(const KorMesh& mesh, int face)
{
    std::vector<int> ids;
    mesh.GetFaceVertices(mesh.GetFace(face), ids);
    return ids;
}

// Each face as its set of corner identifiers.
inline std::set<std::set<int>> Triangles(const KorMesh& mesh)
{
    std::set<std::set<int>> out;
    for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
        if (mesh.GetFace(f))
        {
            const std::vector<int> c = Corners(mesh, f);
            out.insert(std::set<int>(c.begin(), c.end()));
        }
    return out;
}

inline bool HasEdge(KorMesh& mesh, int a, int b)
{
    return mesh.GetEdgeBetween(mesh.GetVertex(a), mesh.GetVertex(b));
}

struct Summary
{
    int faces = 0;
    int clockwise = 0;
    int flat = 0;
    int notTriangles = 0;
    int usedVertices = 0;
    int boundaryVertices = 0;
    int illegalEdges = 0;
    Int doubledArea = 0;
};

// Orientation of every face, the signed area, the vertices in use and on the
// border, and the local Delaunay test of every interior edge.
inline Summary Summarise(const KorMesh& mesh)
{
    Summary s;
    for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
    {
        if (!mesh.GetFace(f))
            continue;
        ++s.faces;
        const std::vector<int> c = Corners(mesh, f);
        if (c.size() != 3)
        {
            ++s.notTriangles;
            continue;
        }
        const Int o = Orient(At(mesh, c[0]), At(mesh, c[1]), At(mesh, c[2]));
        s.clockwise += o < 0;
        s.flat += o == 0;
        s.doubledArea += o;
    }
    std::set<int> border;
    for (int e = 0; e < mesh.GetEdgeVectorSize(); ++e)
    {
        const KorEdge* h = mesh.GetEdge(e);
        if (!h)
            continue;
        if (h->Face < 0)
        {
            border.insert(h->Vertex);
            continue;
        }
        const KorEdge* t = mesh.GetEdge(h->Opp);
        if (!t || t->Face < 0 || t->ID < h->ID)
            continue;
        const KorEdge* n = mesh.GetEdge(h->Next);
        const KorEdge* nn = mesh.GetEdge(n->Next);
        const KorEdge* tn = mesh.GetEdge(t->Next);
        const KorEdge* tnn = mesh.GetEdge(tn->Next);
        const Int det =
            InCircle(At(mesh, h->Vertex), At(mesh, n->Vertex), At(mesh, nn->Vertex), At(mesh, tnn->Vertex));
        s.illegalEdges += det > kThresholdSteps;
    }
    for (int v = 0; v < mesh.GetVertexVectorSize(); ++v)
        if (const KorVertex* vx = mesh.GetVertex(v))
            s.usedVertices += vx->Edge != -1;
    s.boundaryVertices = static_cast<int>(border.size());
    return s;
}

// Every face a counter-clockwise triangle, each interior edge locally
// Delaunay, and the face count of a triangulated disk: 2n - b - 2.
inline ::testing::AssertionResult IsDelaunayDisk(const KorMesh& mesh)
{
    const Summary s = Summarise(mesh);
    const int expected = 2 * s.usedVertices - s.boundaryVertices - 2;
    if (s.notTriangles || s.clockwise || s.flat || s.illegalEdges || s.faces != expected)
        return ::testing::AssertionFailure()
               << s.faces << " faces (" << expected << " expected from " << s.usedVertices << " vertices, "
               << s.boundaryVertices << " on the border), " << s.notTriangles << " not triangles, "
               << s.clockwise << " clockwise, " << s.flat << " flat, " << s.illegalEdges
               << " edges not locally Delaunay";
    return ::testing::AssertionSuccess();
}

// Lattice points of the test sets, coordinates of order 10^3.
inline void AddRandom(KorMesh& mesh, int n, unsigned seed, double size = 1000.0)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, size);
    for (int i = 0; i < n; ++i)
        mesh.AddVertex(Snap(u(rng)), Snap(u(rng)), 0.0);
}
} // namespace tri
