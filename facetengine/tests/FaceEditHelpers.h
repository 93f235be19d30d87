#pragma once

#include "KorMesh.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Measures computed here, independently of the mesh's own, so that tests of
// face editing can check areas and orientations against analytic answers.

// Half the sum of p[i] x p[i+1] over a face's ring: for a planar simple ring,
// its area along its normal, the sign telling which way the ring turns.
inline LumPoint VectorArea(const KorMesh& mesh, int face)
{
    std::vector<LumPoint> p;
    mesh.GetFacePoints(mesh.GetFace(face), p);
    LumPoint sum;
    for (size_t i = 0; i < p.size(); ++i)
        sum += p[i] ^ p[(i + 1) % p.size()];
    return sum * 0.5;
}

inline LumPoint TotalVectorArea(const KorMesh& mesh)
{
    LumPoint sum;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (mesh.GetFace(id))
            sum += VectorArea(mesh, id);
    return sum;
}

// True when every fan triangle of the face from its first vertex turns the
// way of the whole ring or is degenerate, and the fan covers the ring's area
// exactly once: the face is drawn and measured right by its fan.
inline bool FansFromFirstVertex(const KorMesh& mesh, int face)
{
    std::vector<LumPoint> p;
    mesh.GetFacePoints(mesh.GetFace(face), p);
    const LumPoint whole = VectorArea(mesh, face);
    double fanSum = 0.0;
    for (size_t i = 2; i < p.size(); ++i)
    {
        const LumPoint n = (p[i - 1] - p[0]) ^ (p[i] - p[0]);
        if (n.Norm() < 1e-9)
            continue;
        if (n * whole <= 0.0)
            return false;
        fanSum += n.Norm() * 0.5;
    }
    return std::fabs(fanSum - whole.Norm()) < 1e-9;
}

inline std::vector<int> LiveFaces(const KorMesh& mesh)
{
    std::vector<int> ids;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (mesh.GetFace(id))
            ids.push_back(id);
    return ids;
}

// The ring rotated to start at its smallest identifier.
inline std::vector<int> Canonical(std::vector<int> ring)
{
    std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end()), ring.end());
    return ring;
}
