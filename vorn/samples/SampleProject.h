#pragma once

#include <string>

// The sample project that ./run.sh opens: two layers of inclined planes
// over [-100, 100]^2, "Terrain naturel" z = 0.5 (y + 10) and "Altération"
// z = 0.5 (y + 4), sampled on a 41 x 41 grid of step 5 moved off the grid
// by (0.37, 0.61) so that no terrain point lies on an edge of the head; the
// polyline axis (0, -200, 0)-(0, 200, 0) with the default head at distance
// 200 (the origin), bearing and slope 0; scale 100, origin 0; the displayed
// zone (-90, 90)-(90, -90) with the north arrow, the plan camera over the
// whole zone, the 3D camera on the head, head and intersection lines shown.
// Its excavation is known without the program: 829.45 m3 in all, 166.73
// of them in "Altération".

// Resets gProjet and builds the sample in it; the head is the interface's.
void BuildSampleProject();

// Builds the sample and saves it into the folder as "exemple.ovx", a name
// relative to the folder so that the file holds no machine path. False
// when the folder cannot be entered or the save failed.
bool WriteSampleProject(const std::string& folder);
