#pragma once

#include "LumPoint.h"

class Couche;
class LumoraDevice;
struct EventInfo;

// The creation mode's plan view: its drawing, its default events manager and
// point action (picking and editing the current layer's points), and the
// callbacks of its context menu. Positions are scene points.

// The draw callback: background plan, current layer (or the tool's overlay),
// displayed zone, north arrow and scale bar.
void RenderPlanView(LumoraDevice* device);
// The north arrow turned by north degrees, its tip inside the view's
// top-right corner; draws with the device being rendered.
void DrawNorthArrow(const int& north);
// The scale bar of the plan scale at the bottom left.
void DrawScaleBar(float scale);

// The scale bar's figures for a view of extent E scene units over h pixels
// at scale S: the length in metres it stands for and its length in pixels,
// cut to a whole number. False when no bar is drawn (S below 1e-5 or h 0).
bool ComputeScaleBar(float scale, double extent, int height, double& metres, int& pixels);

// Default events manager of the plan view; true when it consumed the event.
bool OnPlanViewEvent(const EventInfo& event);
// Moves the picked point to a typed scene point.
void OnPlanViewPoint(LumPoint point);

// Context-menu callbacks: each acts on the current layer's picked vertex.
void OnDeletePoint();
void OnPlacePointUnderUpperCouche();
void OnPlacePointOnLowerCouche();
void OnAddPointsToLigne();
void OnChangeLigneProfondeur();
void OnToggleLigneFermee();
void OnDeleteLigne();
// Delete, with undo, the borehole or section owning the picked point.
void OnDeleteSondage();
void OnDeleteCoupe();
// Opens the borehole dialog, modeless, on the borehole owning the picked
// point.
void OnModifySondage();

// The drawing tools of the current layer: free points, and the points of
// a level line (ligne < 0 asks the depth of a new line).
void StartAddPointsTool();
bool OnAddPointsEvent(const EventInfo& event);
void StartAddLigneNiveauTool(int ligne);
bool OnAddLigneNiveauEvent(const EventInfo& event);
// The borehole tool: a left click on the top layer opens the borehole
// dialog, modal, on the surface point under the mouse, then ends the tool.
bool OnSondageToolEvent(const EventInfo& event);
void OnSondageToolPoint(LumPoint world);
// The section tool: two clicks on the top layer give the section line, then
// the section-points dialog opens on it, modal.
void StartCoupeTool();
bool OnCoupeToolEvent(const EventInfo& event);
void OnCoupeToolPoint(LumPoint point);
void DrawCoupeToolOverlay(LumoraDevice* device);
extern int gCoupeToolClicks;
// The layer as the plan view draws it: edges, level lines, points.
void DrawPlanCouche(Couche& couche, bool segments, bool points);
// Opens the section-points dialog, modeless, on the section owning the
// picked point.
void OnModifyCoupe();

// Asks the depth of a level line; false on Cancel and, with a message, on
// a value that is not finite. No number reads as 0.
bool AskLigneDepth(double& depth);

// Where the picked vertex was when picked or last committed.
extern LumPoint gPickedVertexStart;
// The level line the level-line tool extends; -1 starts a new one.
extern int gCurrentLigneNiveau;
