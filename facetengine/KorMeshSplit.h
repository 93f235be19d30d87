#pragma once

#include "KorMeshCrossing.h"

#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

class KorMesh;

// One of the two meshes of a KorMeshCrossing cut along all its closed lines
// at once, and its faces told apart by the side of the other mesh they
// stand on. Each face a line runs through is replaced by its pieces: its
// ring with the line's points on its edges, split by each run of the line
// across it (a run enters and leaves through the face's edges) and by each
// line wholly inside it; a piece that is not convex is cut into triangles.
// The pieces are made from the line's structure, not from where its points
// fall, so points that coincide (a contact the perturbation settled) give
// flat pieces rather than a wrong split.
class KorMeshSplit
{
public:
    // which: the mesh's place in the crossing (0 first, 1 second).
    KorMeshSplit(KorMesh& mesh, int which);

    // Inserts the closed lines; with tracks the pieces descend from the
    // faces they replace. False when a line cannot be inserted (its runs
    // do not fit the faces): the mesh is then left partly cut.
    bool Insert(const std::vector<KorMeshCrossing::sLine>& lines, bool tracks);

    // Faces joined across half-edges that are not on a line are on one
    // side. The side of such a region is that of one of its vertices that
    // stood before the insertion (vertexSide: true or false), or else the
    // opposite of a neighbour's across a line. False when the sides do not
    // change across every line (the lines and the sides disagree).
    bool Classify(const std::function<bool(int)>& vertexSide);
    // After Classify: the faces on a side, by identifier.
    std::vector<int> FacesOnSide(bool side) const;
    // Whether a face on the side has a half-edge whose twin has no face;
    // cutOff tells whether such twins are all ones isCutOff accepts.
    bool SideReachesBorder(bool side, const std::function<bool(int)>& isCutOff, bool& cutOff) const;

private:
    bool IsNew(int vertex) const
    {
        return vertex >= 0 && static_cast<size_t>(vertex) < mNew.size() && mNew[static_cast<size_t>(vertex)];
    }
    bool IsLineEdge(int a, int b) const;

    KorMesh& mMesh;
    int mWhich;
    std::vector<char> mNew;
    // The pairs of consecutive line vertices, smaller identifier first.
    std::unordered_set<std::uint64_t> mLineEdges;
    std::vector<int> mRegionOf;
    std::vector<char> mRegionSide;
};
