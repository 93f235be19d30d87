#pragma once

#include "CoucheRecorders.h"
#include "XMLNode.h"

#include <string>
#include <vector>

class Couche;
class Coupe;
class KorAction;
class Sondage;

// Undo of whole elements: layers created or deleted, boreholes and sections
// added, deleted or replaced. Elements are kept as snapshots of the action
// (each written into an "xml" top node) and found again by index or name;
// a callback whose element no longer exists skips it.

// Values: string name, int level index, int method, string DXF path, double
// value, double depth, int index of the layer current before, int R, G, B
// of the new layer's colour, which the redo gives it back. With
// takeAway (a layer inserted on top after the user accepted to lose them)
// every borehole and section is snapshot into lists 1 and 2 and removed;
// their points follow in groups of nine values as for a deletion (layers
// counted without the new one), so that they come back under their
// identifiers. The undo deletes the layer only when the one at the index
// still bears the name, then stores the snapshots again; the redo creates
// it again without interaction and removes the boreholes and sections only
// when it could.
void RecordCoucheAdd(const std::string& name, int index, int method, const std::string& path, double value,
                     double depth, int previous, bool takeAway);
void UndoCoucheAdd(KorAction* action);
void RedoCoucheAdd(KorAction* action);

// Before the deletion of the layer at index. Values: int index, string
// name; node: the layer. With top (the top layer, its loss of boreholes
// accepted): lists 1 and 2 take every borehole and section, which are
// removed, then int 0, int 0 and their points in groups of nine values.
// Otherwise the boreholes' depths on the layer (int B, B pairs string name,
// double depth) and the sections' positions on it (int S, per section
// string name, int n, 2n doubles X, Y) are stored and removed from them.
void RecordCoucheDelete(Couche* couche, int index, bool top);
void UndoCoucheDelete(KorAction* action);
void RedoCoucheDelete(KorAction* action);

// Values: string name, int index; node: the element. The add's undo deletes
// it by name, its redo stores a copy at the index (appended past the end).
// Then int 1 for an addition (0 for a deletion) and, for each point the
// element has on the layers in the order they are placed, nine values: int
// layer index, int vertex identifier, double x, y, z, and the addition's
// four (Couche::sAddition, zero for a deletion). The points come back under
// their identifiers, and the undo of an addition takes its points back, so
// that the layers are exactly as before.
void RecordSondageAdd(Sondage* sondage);
void RecordSondageDelete(Sondage* sondage);
void UndoSondageAdd(KorAction* action);
void RedoSondageAdd(KorAction* action);
// After ProjetOVX::ChangeSondage stored the new state. List 1: the new
// state (written from the borehole), the old state (taken before the
// edit). Values: int N, then nine values for each of the N points the new
// state placed (as for an addition), then nine for each point the old state
// had (as for a deletion). Each callback replaces the borehole found by the
// other state's name, in place; the undo takes the new points back and both
// give the points their own identifiers back.
void RecordSondageChange(Sondage* sondage, const XMLNode& old, const std::vector<sAddedPoint>& oldPoints);
void UndoSondageChange(KorAction* action);
void RedoSondageChange(KorAction* action);

void RecordCoupeAdd(Coupe* coupe);
void RecordCoupeDelete(Coupe* coupe);
void UndoCoupeAdd(KorAction* action);
void RedoCoupeAdd(KorAction* action);
void RecordCoupeChange(Coupe* coupe, const XMLNode& old, const std::vector<sAddedPoint>& oldPoints);
void UndoCoupeChange(KorAction* action);
void RedoCoupeChange(KorAction* action);

// The points the latest borehole or section stored placed on the layers, in
// the order placed (SetSondage and SetCoupe fill it): its addition recorder
// keeps them.
std::vector<sAddedPoint>& StoredElementPoints();
// The vertex identifier the next point a borehole or section places on the
// layer at that index takes back (-1: a new one). An undo or redo plans the
// identifiers of the points it stores again, in the order they are placed.
int TakePlannedIdentifier(int layer);

// The points a stored borehole or section has on the layers, in the order
// storing it places them (its layers, then its positions on each).
std::vector<sAddedPoint> SondagePoints(Sondage* sondage);
std::vector<sAddedPoint> CoupePoints(Coupe* coupe);
// Stores a borehole or section read from its snapshot at the index, its
// points under the identifiers and at the positions of `points`.
void StoreSondageAgain(const XMLNode& node, int index, const std::vector<sAddedPoint>& points);
void StoreCoupeAgain(const XMLNode& node, int index, const std::vector<sAddedPoint>& points);
