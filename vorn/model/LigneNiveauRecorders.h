#pragma once

class Couche;
class KorAction;
class LigneNiveau;

// Undo of the edits of level lines. Layers and lines are named by their
// indexes at recording time; a callback does nothing when they name none.

// Values: int layer index, int line index, double depth, int closed flag
// (0 for an addition, the line's own for a deletion), then one float per
// coordinate of the line's live points in line order (x1, y1, x2, ...).
// Undo of an addition deletes the line and resets the level-line tool's
// line in progress; its redo adds the line back at its index with its
// points in that order, then sets its closed flag.
void RecordLigneNiveauAdd(int layer, int line, const LigneNiveau& ligne, Couche& couche);
void RecordLigneNiveauDelete(int layer, int line, const LigneNiveau& ligne, Couche& couche);
void UndoLigneNiveauAdd(KorAction* action);
void RedoLigneNiveauAdd(KorAction* action);

// Values: int layer index, int line index, int vertex identifier, double
// x, double y. Undo removes the point; redo adds it by the line's rule for
// a free position and writes its identifier back as value 3.
void RecordLigneNiveauPointAdd(int layer, int line, int id, double x, double y);
void UndoLigneNiveauPointAdd(KorAction* action);
void RedoLigneNiveauPointAdd(KorAction* action);
// The same values, then int the point's position in the line, where the
// undo puts it back.
void RecordLigneNiveauPointDelete(int layer, int line, int id, double x, double y, int position);
void UndoLigneNiveauPointDelete(KorAction* action);

// Values: int layer index, int line index, double old depth, double new.
void RecordLigneNiveauProfondeurChange(int layer, int line, double from, double to);
void UndoLigneNiveauProfondeurChange(KorAction* action);
void RedoLigneNiveauProfondeurChange(KorAction* action);

// Values: int layer index, int line index. Both callbacks flip the line's
// closed flag and mark the layer's geometry changed.
void RecordLigneNiveauFermeeToggle(int layer, int line);
void ToggleLigneNiveauFermee(KorAction* action);
