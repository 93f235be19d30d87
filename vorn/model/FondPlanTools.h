#pragma once

#include "LumPoint.h"

struct EventInfo;
class LumoraDevice;

// The background plan tools of the plan view: the north direction, the
// scale calibration from a known distance, the placement of the world
// origin and the adjustment of the plan's position and size. Each start
// function ends the current tool and installs the tool's hooks; the
// functions below it are what the tool's events manager does with a scene
// point under the mouse.

// North: the mouse direction d from the view centre as whole degrees
// measured clockwise from the top of the view (up 0, right 90, down 180,
// left 270).
int NordToolAngle(const LumPoint& d);
// Puts the main camera in its top view, lighting off, and disables the
// interface while the tool runs.
void StartNordTool();
int GetNordToolAngle();
void NordToolMove(const LumPoint& d);
// Stores the angle in progress as the project's north and ends the tool;
// Escape keeps the north as it was. Either way the project's interface
// comes back in the creation mode.
void NordToolClick();
void NordToolCancel();
bool OnNordToolEvent(const EventInfo& event);
// The tool's overlay: a grey circle around the view centre, the line
// through it along the angle in progress, the north arrow so turned and
// the angle as text.
void DrawNordToolOverlay(LumoraDevice* device);

// Calibration. The scale is 0 while the tool runs (no scale bar, nothing
// rescaled); however the tool ends (Escape, a refused or cancelled
// distance, another tool, a mode switch, Save) the exact old scale comes
// back before anything else, without an undo step. A completed calibration
// then applies the new scale as one undo step.
void StartFondPlanCalibration();
bool IsFondPlanCalibrationRunning();
void FondPlanCalibrationClick(const LumPoint& scenePoint);
void FondPlanCalibrationMove(const LumPoint& scenePoint);
void FondPlanCalibrationCancel();
// The points clicked so far; false before the first one.
bool GetFondPlanCalibrationSegment(LumPoint& first, LumPoint& second);
bool OnFondPlanCalibrationEvent(const EventInfo& event);
// The tool's overlay: the red segment from the first point to the second
// (or to the mouse), over everything; nothing before the first point.
void DrawFondPlanCalibrationOverlay(LumoraDevice* device);

// Origin: asks the world coordinates of the clicked scene point and moves
// the origin so that the point gets them (one undo step).
void StartFondPlanOrigin();
void FondPlanOriginClick(const LumPoint& scenePoint);
bool OnFondPlanOriginEvent(const EventInfo& event);

// Adjustment: a drag moves and resizes the plan in use without undo; its
// end makes the whole drag one undo step. The tool shows a plan gizmo
// (mask 0x0b) on the main device at the plan's position.
void StartFondPlanAdjust();
bool IsFondPlanAdjustRunning();
void FondPlanAdjustDrag(double x, double y, double size);
void FondPlanAdjustDragEnd(double x, double y, double size);
bool OnFondPlanAdjustEvent(const EventInfo& event);
// Called by ProjetOVX::SetFondPlanPlacement: while the adjustment runs its
// gizmo follows the plan, and with sync (a drag's end, an undo) the
// gizmo's transformation and the remembered placement start again from it.
void FondPlanAdjustFollowPlacement(double x, double y, double size, bool sync);
