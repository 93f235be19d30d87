#pragma once

#include "Couche.h"
#include "LumPoint.h"

#include <string>
#include <vector>

class KorAction;

// Undo of the edits of a layer's points, of its appearance and of the
// current layer. Layers are named by their index at recording time; every
// callback does nothing when that index names no layer.

// Values: int layer index, int vertex identifier, double x, y, z (scene),
// int Type, int Param, int 0, then the addition (int slot count, int type
// list length, int old Type, int old Param). The undo takes the addition
// back, so that the layer is as before it; the redo adds the point again
// under its identifier.
void RecordCouchePointAdd(int layer, const LumPoint& point, int type, int param,
                          const Couche::sAddition& addition);
void UndoCouchePointAdd(KorAction* action);
void RedoCouchePointAdd(KorAction* action);
// The same five values, then int Type, int Param and, for a level-line
// point, int its place in the line: the undo gives a borehole, section or
// contour point back its origin (and its place in the contour) rather than
// a free point. Undo RedoCouchePointAdd, redo UndoCouchePointAdd.
void RecordCouchePointDelete(Couche* couche, int id);
// Values: int layer index, int vertex identifier, double old x, y, z,
// double new x, y, z.
void RecordCouchePointMove(int layer, int id, const LumPoint& from, const LumPoint& to);
void UndoCouchePointMove(KorAction* action);
void RedoCouchePointMove(KorAction* action);

// Free points placed together (a fictitious borehole's or section's): for
// each, int layer index, int vertex identifier, double x, y, z, and its
// addition's four values. The undo takes them back, latest first; the redo
// adds them again under their identifiers.
struct sAddedPoint
{
    int Layer = -1;
    int Id = -1;
    LumPoint Point;
    Couche::sAddition Addition;
};
void RecordCouchePointsChange(const std::vector<sAddedPoint>& points);
void UndoCouchePointsChange(KorAction* action);
void RedoCouchePointsChange(KorAction* action);

// Values: int layer index, then the new and the old appearance (the old
// one read from the layer), each as int R, G, B, string texture, int
// opacity, bool fronts, int n, n family names. The callbacks apply one of
// them with record off.
void RecordCoucheSideChange(const Couche::sColour& colour, const std::string& texture, int opacity,
                            bool fronts, const std::vector<std::string>& families, Couche* couche);
void UndoCoucheSideChange(KorAction* action);
void RedoCoucheSideChange(KorAction* action);

// Values: int n, then n pairs of int layer index and int old opacity. The
// undo gives each layer its old opacity, the redo 100; record off.
void RecordOpacitiesReset(const std::vector<int>& couches, const std::vector<int>& opacities);
void UndoOpacitiesReset(KorAction* action);
void RedoOpacitiesReset(KorAction* action);

// Values: int n, then n pairs of int layer index and bool old side flag,
// then bool the new flag given to every one of them; record off.
void RecordSidesShownChange(const std::vector<int>& couches, const std::vector<bool>& shown, bool newShown);
void UndoSidesShownChange(KorAction* action);
void RedoSidesShownChange(KorAction* action);

// Values: int old current layer index, int new one.
void RecordCoucheCouranteChange(int from, int to);
void UndoCoucheCouranteChange(KorAction* action);
void RedoCoucheCouranteChange(KorAction* action);
