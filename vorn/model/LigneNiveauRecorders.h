#pragma once

#include "Couche.h"

#include <utility>
#include <vector>

class Couche;
class KorAction;
class LigneNiveau;

// Undo of the edits of level lines. Layers and lines are named by their
// indexes at recording time; a callback does nothing when they name none.

// Values: int layer index, int line index, double depth, int closed flag
// (0 for an addition, the line's own for a deletion), int n, then per live
// point of the line, in line order, double x, y, z, int vertex identifier;
// for an addition, then per point its addition (int slot count, int type
// list length, int old Type, int old Param). Undo of an addition takes its
// points back, latest first, so that the layer's tables are as before it,
// deletes the line and resets the level-line tool's line in progress; its
// redo adds the line back at its index with its points in that order, each
// under its own identifier, then sets its closed flag.
void RecordLigneNiveauAdd(int layer, int line, const LigneNiveau& ligne, Couche& couche,
                          const std::vector<Couche::sAddition>& additions);
void RecordLigneNiveauDelete(int layer, int line, const LigneNiveau& ligne, Couche& couche);
void UndoLigneNiveauAdd(KorAction* action);
void RedoLigneNiveauAdd(KorAction* action);

// Values: int layer index, int line index, int vertex identifier, double
// x, double y, int the point's place in the line, then the addition (int
// slot count, int type list length, int old Type, int old Param). Undo
// takes the addition back; redo puts the point at its place again under its
// identifier.
void RecordLigneNiveauPointAdd(int layer, int line, double x, double y, int position,
                               const Couche::sAddition& addition);
void UndoLigneNiveauPointAdd(KorAction* action);
void RedoLigneNiveauPointAdd(KorAction* action);
// Values: int layer index, int line index, int vertex identifier, double x,
// double y, int the point's position in the line, double z. The undo puts
// the point back there, at its altitude, under its identifier.
void RecordLigneNiveauPointDelete(int layer, int line, int id, const LumPoint& point, int position);
void UndoLigneNiveauPointDelete(KorAction* action);

// Values: int layer index, int line index, double old depth, double new,
// int n, then n pairs of int vertex identifier and double old z (the
// line's points, which a layer move may have taken off the old depth).
void RecordLigneNiveauProfondeurChange(int layer, int line, double from, double to,
                                       const std::vector<std::pair<int, double>>& heights);
void UndoLigneNiveauProfondeurChange(KorAction* action);
void RedoLigneNiveauProfondeurChange(KorAction* action);

// Values: int layer index, int line index. Both callbacks flip the line's
// closed flag and mark the layer's geometry changed.
void RecordLigneNiveauFermeeToggle(int layer, int line);
void ToggleLigneNiveauFermee(KorAction* action);
