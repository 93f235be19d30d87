#pragma once

#include "KorVertex.h"

// Three-way vertex comparators (negative: a first, 0: equal, positive: b
// first). The axis pairs compare exactly: the first coordinate, then the
// second. Give them to KorMergeSort: NaN coordinates make even the exact ones
// fall short of a strict weak order.
int CompareVerticesXY(const KorVertex& a, const KorVertex& b);
int CompareVerticesXZ(const KorVertex& a, const KorVertex& b);
int CompareVerticesYX(const KorVertex& a, const KorVertex& b);
int CompareVerticesYZ(const KorVertex& a, const KorVertex& b);
int CompareVerticesZX(const KorVertex& a, const KorVertex& b);
int CompareVerticesZY(const KorVertex& a, const KorVertex& b);

// X, then Y, then Z, differences within 1e-5 counting as equal, so that
// coincident vertices end side by side. Not transitive: only for KorMergeSort,
// never for std::sort, qsort or std::set.
int CompareVerticesForFusion(const KorVertex& a, const KorVertex& b);
