#pragma once

#include "Excavation.h"
#include "LumPoint.h"
#include "ModelUi.h"

class LumoraDevice;

// The two working modes of the main canvas, the hooks through which tools
// plug into it, and the one global refresh. A tool calls EndCurrentTool,
// installs its events manager, point action and overlay, and leaves through
// EndCurrentTool, which puts the current mode's default hooks back. Nothing
// renders on a timer: each change ends with RefreshDisplay. Every routine
// here does nothing while the main frame does not exist; GUI thread only.

// 1 creation (plan view), 2 visualisation (3D view).
extern int gMode;
// The current tool's action on a typed or picked scene point; null for none.
extern ModelUi::PointAction gToolPointAction;
// The current tool's overlay; null for none.
extern ModelUi::OverlayDrawer gOverlayDrawer;
// Drawn first by the 3D view while the trench-head placement dialog is open.
extern ModelUi::OverlayDrawer gPlacementDrawer;
// The plan view's own drawings; a tool may switch some off while it runs.
extern bool gPlanDrawFondPlan;
extern bool gPlanDrawNord;
extern bool gPlanDrawEchelle;
extern bool gPlanDrawZone;

void EnterCreationMode(bool recordUndo);
void EnterVisualisationMode(bool recordUndo);
void EndCurrentTool();
void RefreshDisplay();
// Called by the 3D view's frame that has just computed the excavation: the
// global refresh shows its results after that frame; any other frame (a
// repaint) has them shown right after it, once.
void NoteExcavationComputed();
void DisableInterface();
void EnableModeTools();
void SetNoProjectInterface();
// The main camera to and from the current mode's saved view.
void SaveModeCamera();
void RestoreModeCamera();
