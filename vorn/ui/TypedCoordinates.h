#pragma once

#include "LumPoint.h"

class ChampTexte;
struct EventInfo;

// The creation palette's X, Y and Z fields, in world units: they show where
// the mouse or the picked point is, and a typed value goes to the current
// tool's point action. Numbers are read in the C notation whatever the
// locale, a decimal comma read as the point; X and Y are written with 7
// decimals and a decimal comma, Z with 6 significant digits.

// The palette hands its three fields over (null when it goes).
void SetCoordinateFields(ChampTexte* x, ChampTexte* y, ChampTexte* z);
// The three fields as typed (TypedNumber); no number reads as 0.
LumPoint ReadCoordinates();
// The world point under the event's pixel, written to X and Y; its z is the
// one typed in Z.
LumPoint GetCursorWorldPoint(const EventInfo& event);
// A scene point shown in world units in the three fields.
void ShowCoordinates(const LumPoint& scenePoint);
// The typed point to the current point action, if any; a value that is not
// finite is refused with a message and nothing moves.
void OnCoordinatesEntered();
// Enables or greys each of the three fields.
void EnableCoordinateFields(bool x, bool y, bool z);
// Writes a world altitude into Z (7 decimals).
void ShowDepth(double depth);
// The fields' lose-focus callback.
void OnCoordinateFieldLeft(ChampTexte* field);
