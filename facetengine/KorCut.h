#pragma once

#include "KorIntersection.h"

#include <map>
#include <vector>

class KorMesh;
class KorFace;

// Cutting a mesh along a closed intersection line and selecting the faces on
// either side of it. Nothing here prints or throws; failures are false, and
// the mesh keeps the changes made before a failure.

// Inserts the line into the mesh: a vertex per record (split edges for kind
// 9, free vertices for kind 1), then each run from one split edge through the
// interior points of one face to the next split edge is cut into that face.
// vertexIds is cleared and receives one vertex per record, in line order.
// Later records naming an edge just split are redirected to the nearest half
// of it. Cost O(n * (valence + face size)) plus the mesh edits.
bool CutMeshFromIntersectionLine(KorMesh& mesh, std::vector<sBooleanIntersection>& records,
                                 std::vector<LumPoint>& points, std::vector<int>& vertexIds, bool tracks);
// The faces on the side of the closed chain of half-edges (the faces of those
// half-edges), by a flood fill that never crosses the chain; sorted by
// identifier. False (faces empty) for fewer than 3 half-edges or a broken
// mesh. O(faces reached * face size * log).
bool GetFacesInsideLine(KorMesh& mesh, const std::vector<int>& line, std::vector<int>& faces);
// Breadth-first fill from the front, skipping line half-edges (keys of line
// are their twins) and stopping at border twins without face.
bool GetFacesAroundFace(KorMesh& mesh, std::vector<KorFace*>& front, const std::map<int, int>& line,
                        std::map<int, bool>& visited);
// The half-edges between consecutive line vertices (of mesh1), oriented so
// that their faces lie on the side of the line inside mesh2 by a vertical
// crossing count through mesh2 at a point of a line face; flag picks the
// other side. O(F2 * face size).
bool GetMeshToCut(KorMesh& mesh1, KorMesh& mesh2, const std::vector<int>& line,
                  const std::vector<LumPoint>& points, std::vector<int>& halfEdges, bool flag);
