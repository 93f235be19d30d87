#pragma once

#include "KorGeometricStructure.h"

#include "LumPoint.h"

// A polygon of the mesh: one of its half-edges; following Next from it walks
// the face's ring. Normal caches the last computed normal ((0, 0, 0) until
// then) and is never reset by later edits.
class KorFace : public KorGeometricStructure
{
public:
    KorFace() = default;
    KorFace(const KorFace&) = default;
    KorFace& operator=(const KorFace&) = default;
    ~KorFace() override = default;

    int Edge = -1;
    LumPoint Normal;
};
