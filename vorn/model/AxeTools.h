#pragma once

#include "LumPoint.h"

struct EventInfo;

// The axis tools' state, their events managers and point actions on the
// main rendering device, and the commands of the palettes and menus that
// edit the axis. A drag changes the axis without undo while it runs; only
// its drop records, as one change from where the drag began.

// The polyline point the axis-points tool selected, -1 for none.
extern int gSelectedAxePoint;
// The selected point where it was selected or last dropped.
extern LumPoint gAxePointDragStart;
// The arc's reference point as last recorded by a parameter change.
extern LumPoint gAxeCentreDragStart;

// The axis-centre tool: a gizmo on Origine drags the arc's reference
// point; a typed or clicked point moves it there. Escape or a right-button
// release ends the tool.
bool OnAxeCentreToolEvent(const EventInfo& event);
void OnAxeCentreToolPoint(LumPoint point);
// The axis-points tool: a click selects the polyline point under the
// cursor (7 pixels) or inserts one, which a gizmo then drags; Delete
// removes the selected point; a right click on a point offers "PM 0".
bool OnAxePointsToolEvent(const EventInfo& event);
void OnAxePointsToolPoint(LumPoint point);

// The gizmo of the main device when the axis-centre tool runs: put at the
// origin with no transformation (a parameter change moved the arc).
void PlaceAxeCentreGizmo(const LumPoint& origin);

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
