#pragma once

#include "LumPoint.h"

// The axis tools' state and the commands of the palettes and menus that
// edit the axis (the events managers join them with the 3D layer's
// events and gizmos).

// The polyline point the axis-points tool selected, -1 for none.
extern int gSelectedAxePoint;
// The selected point where it was selected or last dropped.
extern LumPoint gAxePointDragStart;
// The arc's reference point as last recorded by a parameter change.
extern LumPoint gAxeCentreDragStart;

// The creation palette's radius, orientation and inclination fields
// entered: read in the "C" convention, each rounded to single precision,
// then one recorded change of the parameters.
void OnAxeParametersEntered();
// The context menu's "PM 0" item on the selected polyline point.
void OnSetAxePM();
// The axis polyline replaced by the one polyline of a DXF file (world
// coordinates), in one undo step; a file that cannot be read, or holds no
// polyline or several, is refused with a message and changes nothing.
void ImportAxeDXF();
