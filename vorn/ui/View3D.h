#pragma once

class Couche;
class Decor;
class LumoraDevice;
struct EventInfo;

// The 3D view of the visualisation mode: the draw callback of the main
// device, its default events manager (the right-click context menu over
// layers and scenery) and the tools that edit layer and axis points with
// the gizmo. GUI thread only.

// Draws the whole project scene (the excavation computed first when it is
// out of date and the head shown), running the placement hook before the
// scene and the overlay hook after the layers.
void RenderView3D(LumoraDevice* device);
void RenderSondages();
// The lines where the head met the layers, closed, over the scene.
void RenderExcavation();
// Opens the context menu on a right click without drag; never consumes an
// event, so the camera keeps its own navigation.
bool OnView3DEvent(const EventInfo& event);
// The nearest layer (surface or shown side) and the nearest scenery object
// under the event's pixel; null and 1e10 when none.
Couche* PickCoucheSide(const EventInfo& event, double& distance);
Decor* PickDecor(const EventInfo& event, double& distance);

// What the last right click picked, read by the menu callbacks.
extern int gPickedCouche;
extern int gPickedDecor;

// Menu callbacks (View3DMenu.cpp); each does nothing when the picked index
// names no element any more.
void OnChangeCoucheColour();
void OnChangeCoucheOpacity();
void OnOpacityPreview(int value);
void OnChangeCoucheTexture();
void OnRemoveCoucheTexture();
void OnToggleCoucheSide();
void OnToggleDiscontinuite();
void OnResetOpacities();
void OnShowAllSides();
void OnHideAllSides();
void OnExportCoucheDXF();
void OnChangeDecorColour();
void OnChangeDecorTexture();
void OnRemoveDecorTexture();
void OnDeleteDecor();

// The layer-point tool (View3DEdit.cpp), started from the layer menu, and
// the axis-point tool, started from the visualisation palette.
void OnEditCouchePoints();
bool OnEditCouchePointsEvent(const EventInfo& event);
void DrawEditCouchePointsOverlay(LumoraDevice* device);
bool OnAxePoints3DEvent(const EventInfo& event);
void DrawAxePoints3DOverlay(LumoraDevice* device);
extern int gEditedCouche;
