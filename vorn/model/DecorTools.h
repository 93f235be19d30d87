#pragma once

#include "LumPoint.h"

struct EventInfo;

// The gizmo tools of the 3D view on a scenery object: move, rotate,
// resize. The 3D view sets gPickedDecor (the object under its last right
// click) before its context menu calls a start function. While a tool runs
// the object shows the gizmo's value as a preview; only the end of a drag
// changes the mesh, as one undo step; Escape or a right click drops the
// preview and changes nothing.
enum class DecorTool
{
    Move,
    Rotate,
    Resize
};

extern int gPickedDecor;

// Starts the tool on the picked object: its events manager, and a gizmo
// (masks 7, 0x70, 0x80) at the object's vertex mean on the main device.
// False (and nothing started) when the pick names no object.
bool StartDecorTool(DecorTool tool);
// The context-menu commands of the 3D view.
void OnDecorMove();
void OnDecorRotate();
void OnDecorResize();
// The tools' events managers: they differ only in the gizmo value read.
bool OnDecorMoveEvent(const EventInfo& event);
bool OnDecorRotateEvent(const EventInfo& event);
bool OnDecorResizeEvent(const EventInfo& event);
// The index of the object the running tool transforms, -1 for none.
int GetDecorToolIndex();
// The gizmo's current value while it is dragged: a translation, rotation
// angles in degrees (the drawing's sense), or a scale factor in x.
void DecorToolDrag(const LumPoint& value);
// The end of a drag with the gizmo's value: applied and recorded.
void DecorToolDragEnd(const LumPoint& value);
// Escape, a right click, or an object no longer there.
void DecorToolCancel();
