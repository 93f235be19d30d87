#pragma once

class Couche;
class LumoraDevice;

// How the 3D view draws a layer until the layer draws itself: its surface
// (or, with the head shown, its remainder), wireframe and points; its side
// walls down to the project's NiveauBas; the zone floor; the part the
// trench head cuts and the terrain over it. Immediate-mode GL inside the
// device's frame; the model-view is left as found.
void DrawCouche3D(Couche& couche, bool segments, bool points, bool faces);
void DrawCoucheSide(Couche& couche);
void DrawCoucheZoneQuad(Couche& couche);
void DrawCoucheIntersection(Couche& couche, LumoraDevice* device);
void DrawCoucheTerrainOverHead(Couche& couche);
