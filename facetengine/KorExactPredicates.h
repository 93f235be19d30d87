#pragma once

// Orientation and in-circle tests in the xy plane whose answers are those of
// exact real arithmetic on the given doubles. A plain floating-point
// evaluation first; only when its rounding error bound does not settle the
// answer is the determinant evaluated exactly with floating-point expansions
// (sums of non-overlapping doubles). The fast path is O(1); the exact path
// is O(1) too, with a few hundred operations, and is taken only for nearly
// degenerate inputs (collinear or co-circular within rounding).
//
// Exactness is what keeps a flip cascade finite: with rounded determinants
// both diagonals of a nearly co-circular quadrilateral can test "illegal", and
// the flips then undo each other for ever.
//
// Coordinates must be finite and far from overflow (|x| below about 1e60).

// Sign (-1, 0, 1) of ((b - a) x (c - a)).z: 1 when a, b, c turn
// counter-clockwise, 0 when they are collinear.
int Orient2DSign(double ax, double ay, double bx, double by, double cx, double cy);

// Whether the determinant of the rows (a - d, |a - d|^2), (b - d, |b - d|^2),
// (c - d, |c - d|^2), taken on x and y, is strictly greater than threshold.
// For a counter-clockwise a, b, c and a threshold of 0 this is "d strictly
// inside the circle through a, b, c".
bool InCircleAbove(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy,
                   double threshold);
