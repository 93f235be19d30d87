#pragma once

#include "LumPoint.h"

class ProjetOVX;

// World coordinates (metres, as typed and saved) and scene coordinates (the
// units of the background plan, in which meshes are built and drawn):
// scene x, y = (world - origin) * 100 / Echelle, scene z = z * 100 /
// Echelle. Every call reads the project's current scale and origin. The
// operations run in the order written (multiply, then divide) so that
// round values convert exactly. An Echelle of 0 is not guarded against.

LumPoint WorldToScene(const ProjetOVX& projet, const LumPoint& world);
LumPoint SceneToWorld(const ProjetOVX& projet, const LumPoint& scene);
// Lengths, vectors, areas and volumes take their factor from the
// conversion of (0, 0, 1), so they follow the z axis exactly.
double WorldToSceneLength(const ProjetOVX& projet, double length);
LumPoint WorldToSceneVector(const ProjetOVX& projet, const LumPoint& vector);
double SceneToWorldLength(const ProjetOVX& projet, double length);
// Clamped at 0 from below.
double SceneToWorldArea(const ProjetOVX& projet, double area);
double SceneToWorldVolume(const ProjetOVX& projet, double volume);
