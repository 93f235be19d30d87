#pragma once

#include "KorGeometricStructure.h"

// A half-edge. Every link is an identifier (-1 when absent), never a pointer,
// so the tables may move without invalidating the structure.
//  Vertex: origin vertex.        Face: face on this side, -1 on a border.
//  Opp:    twin half-edge.       Next: following half-edge of the face ring
//                                      (-1 exactly when Face is -1).
//  Turn:   next half-edge leaving the same origin (a closed ring per vertex).
class KorEdge : public KorGeometricStructure
{
public:
    KorEdge() = default;
    KorEdge(const KorEdge&) = default;
    KorEdge& operator=(const KorEdge&) = default;
    ~KorEdge() override = default;

    int Vertex = -1;
    int Face = -1;
    int Opp = -1;
    int Next = -1;
    int Turn = -1;
};
