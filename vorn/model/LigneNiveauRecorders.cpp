#include "LigneNiveauRecorders.h"

#include "Couche.h"
#include "LigneNiveau.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"
#include "RecordedValues.h"

#include <algorithm>

namespace
{
void AddAction(OVXAction* action, KorAction::Callback undo, KorAction::Callback redo)
{
    action->SetUndo(undo);
    action->SetRedo(redo);
    gProjet.GetUndoManager().AddAction(action);
}

OVXAction* NewLineAction(int layer, int line)
{
    auto* action = new OVXAction;
    action->AddVariable(layer);
    action->AddVariable(line);
    return action;
}

// The recorded layer and line; false when either is gone.
bool Find(const KorAction* action, Couche*& couche, LigneNiveau*& ligne)
{
    couche = gProjet.GetCouche(RecordedValue<int>(action, 1));
    ligne = couche ? couche->GetLigneNiveau(RecordedValue<int>(action, 2)) : nullptr;
    return ligne != nullptr;
}

// Values: int layer, int line, double depth, int closed flag, int n, then
// per point double x, y, z, int vertex identifier: the points come back at
// their exact places (a layer move may have taken them off the line's
// depth) under their own identifiers; then, for an addition, per point the
// four values of its addition.
void RecordLine(int layer, int line, const LigneNiveau& ligne, Couche& couche, int fermee,
                const std::vector<Couche::sAddition>& additions, KorAction::Callback undo,
                KorAction::Callback redo)
{
    OVXAction* action = NewLineAction(layer, line);
    action->AddVariable(ligne.Profondeur);
    action->AddVariable(fermee);
    const std::vector<KorVertex*> vertices = ligne.GetVertices(couche);
    action->AddVariable(static_cast<int>(vertices.size()));
    for (const KorVertex* v : vertices)
    {
        action->AddVariable(v->X);
        action->AddVariable(v->Y);
        action->AddVariable(v->Z);
        action->AddVariable(v->ID);
    }
    if (additions.size() == vertices.size())
        for (const Couche::sAddition& addition : additions)
        {
            action->AddVariable(addition.Slots);
            action->AddVariable(addition.Types);
            action->AddVariable(static_cast<int>(addition.Old.Type));
            action->AddVariable(static_cast<int>(addition.Old.Param));
        }
    AddAction(action, undo, redo);
}

// The number of points of a line record, and whether it holds their
// additions.
int LinePoints(const KorAction* action)
{
    return std::max(0, RecordedValue<int>(action, 5));
}

bool HoldsAdditions(const KorAction* action)
{
    const int n = LinePoints(action);
    return n > 0 && action->GetNombreVariables() == 5 + 8 * n;
}

// The addition of point k of a line record.
Couche::sAddition LineAddition(const KorAction* action, int k)
{
    const int at = 6 + 4 * LinePoints(action) + 4 * k;
    Couche::sAddition addition;
    addition.Id = RecordedValue<int>(action, 9 + 4 * k);
    addition.Slots = RecordedValue<int>(action, at);
    addition.Types = RecordedValue<int>(action, at + 1);
    addition.Old.Type = static_cast<int8_t>(RecordedValue<int>(action, at + 2));
    addition.Old.Param = RecordedValue<int>(action, at + 3);
    return addition;
}

void SetLineAddition(KorAction* action, int k, const Couche::sAddition& addition)
{
    const int at = 6 + 4 * LinePoints(action) + 4 * k;
    SetRecordedValue(action, at, addition.Slots);
    SetRecordedValue(action, at + 1, addition.Types);
    SetRecordedValue(action, at + 2, static_cast<int>(addition.Old.Type));
    SetRecordedValue(action, at + 3, static_cast<int>(addition.Old.Param));
}

// Values 7 to 10 of a point addition: the addition taken back by its undo.
Couche::sAddition ReadAddition(const KorAction* action)
{
    Couche::sAddition addition;
    addition.Id = RecordedValue<int>(action, 3);
    addition.Slots = RecordedValue<int>(action, 7);
    addition.Types = RecordedValue<int>(action, 8);
    addition.Old.Type = static_cast<int8_t>(RecordedValue<int>(action, 9));
    addition.Old.Param = RecordedValue<int>(action, 10);
    return addition;
}

// The point added at its recorded altitude when it had one of its own.
void PlaceAt(Couche& couche, int id, const LumPoint& p)
{
    const KorVertex* v = couche.GetMesh().GetVertex(id);
    if (v && v->Z != p.z)
        couche.MovePoint(id, p, false, false, true);
}

// Values 4 and 5 the plan point, value 7 (when recorded) its altitude.
void AddPointAt(KorAction* action, int position)
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = nullptr;
    if (!Find(action, couche, ligne))
        return;
    const double x = RecordedValue<double>(action, 4), y = RecordedValue<double>(action, 5);
    const int id = ligne->AddPoint(*couche, x, y, false, position, RecordedValue<int>(action, 3));
    if (action->GetNombreVariables() == 7)
        PlaceAt(*couche, id, LumPoint(x, y, RecordedValue<double>(action, 7)));
    SetRecordedValue(action, 3, id);
}

void SetDepth(const KorAction* action, int position)
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = nullptr;
    if (!Find(action, couche, ligne))
        return;
    ligne->SetProfondeur(*couche, static_cast<float>(RecordedValue<double>(action, position)), false);
    // The undo gives the points their own altitudes back (values 5 on: n,
    // then n pairs of int identifier and double z).
    const int n = position == 3 ? RecordedValue<int>(action, 5) : 0;
    for (int k = 0; k < n; ++k)
        if (KorVertex* v = couche->GetMesh().GetVertex(RecordedValue<int>(action, 6 + 2 * k)))
            v->Z = RecordedValue<double>(action, 7 + 2 * k);
    if (const KorVertex* v = couche->GetMesh().GetVertex(couche->GetPickedVertex()))
        GetModelUi().ShowCoordinates(LumPoint(v->X, v->Y, v->Z));
    GetModelUi().RefreshDisplay();
}
} // namespace

void RecordLigneNiveauAdd(int layer, int line, const LigneNiveau& ligne, Couche& couche,
                          const std::vector<Couche::sAddition>& additions)
{
    RecordLine(layer, line, ligne, couche, 0, additions, UndoLigneNiveauAdd, RedoLigneNiveauAdd);
}

void RecordLigneNiveauDelete(int layer, int line, const LigneNiveau& ligne, Couche& couche)
{
    RecordLine(layer, line, ligne, couche, ligne.Fermee, {}, RedoLigneNiveauAdd, UndoLigneNiveauAdd);
}

// Also the redo of a line's deletion, which holds no additions: its points
// are deleted with it, as the deletion did.
void UndoLigneNiveauAdd(KorAction* action)
{
    Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 1));
    if (couche && couche->GetLigneNiveau(RecordedValue<int>(action, 2)))
    {
        if (HoldsAdditions(action))
            for (int k = LinePoints(action) - 1; k >= 0; --k)
                couche->TakeBackPoint(LineAddition(action, k));
        couche->DeleteLigneNiveau(RecordedValue<int>(action, 2), false);
    }
    GetModelUi().ResetLevelLineInProgress();
}

void RedoLigneNiveauAdd(KorAction* action)
{
    Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 1));
    if (!couche)
        return;
    const int index = couche->AddLigneNiveau(static_cast<float>(RecordedValue<double>(action, 3)),
                                             RecordedValue<int>(action, 2), false);
    LigneNiveau* ligne = couche->GetLigneNiveau(index);
    if (!ligne)
        return;
    const bool additions = HoldsAdditions(action);
    for (int k = 0; k < LinePoints(action); ++k)
    {
        const int at = 6 + 4 * k;
        const LumPoint p(RecordedValue<double>(action, at), RecordedValue<double>(action, at + 1),
                         RecordedValue<double>(action, at + 2));
        const int id = ligne->AddPoint(*couche, p.x, p.y, false, static_cast<int>(ligne->Points.size()),
                                       RecordedValue<int>(action, at + 3));
        if (additions)
            SetLineAddition(action, k, id >= 0 ? couche->GetLastAddition() : Couche::sAddition());
        PlaceAt(*couche, id, p);
        SetRecordedValue(action, at + 3, id);
    }
    ligne->Fermee = RecordedValue<int>(action, 4);
}

void RecordLigneNiveauPointAdd(int layer, int line, double x, double y, int position,
                               const Couche::sAddition& addition)
{
    OVXAction* action = NewLineAction(layer, line);
    action->AddVariable(addition.Id);
    action->AddVariable(x);
    action->AddVariable(y);
    action->AddVariable(position);
    action->AddVariable(addition.Slots);
    action->AddVariable(addition.Types);
    action->AddVariable(static_cast<int>(addition.Old.Type));
    action->AddVariable(static_cast<int>(addition.Old.Param));
    AddAction(action, UndoLigneNiveauPointAdd, RedoLigneNiveauPointAdd);
}

// Also the redo of a point's removal, which holds six values only.
void UndoLigneNiveauPointAdd(KorAction* action)
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = nullptr;
    if (!Find(action, couche, ligne))
        return;
    if (action->GetNombreVariables() >= 10)
        couche->TakeBackPoint(ReadAddition(action));
    else
        ligne->RemovePoint(*couche, RecordedValue<int>(action, 3), false);
}

// The point goes back where it was put, not where the line's rule for a
// free place would put it now.
void RedoLigneNiveauPointAdd(KorAction* action)
{
    AddPointAt(action, action->GetNombreVariables() >= 6 ? RecordedValue<int>(action, 6) : -1);
}

void RecordLigneNiveauPointDelete(int layer, int line, int id, const LumPoint& point, int position)
{
    OVXAction* action = NewLineAction(layer, line);
    action->AddVariable(id);
    action->AddVariable(point.x);
    action->AddVariable(point.y);
    action->AddVariable(position);
    action->AddVariable(point.z);
    AddAction(action, UndoLigneNiveauPointDelete, UndoLigneNiveauPointAdd);
}

void UndoLigneNiveauPointDelete(KorAction* action)
{
    AddPointAt(action, RecordedValue<int>(action, 6));
}

void RecordLigneNiveauProfondeurChange(int layer, int line, double from, double to,
                                       const std::vector<std::pair<int, double>>& heights)
{
    OVXAction* action = NewLineAction(layer, line);
    action->AddVariable(from);
    action->AddVariable(to);
    action->AddVariable(static_cast<int>(heights.size()));
    for (const auto& [id, z] : heights)
    {
        action->AddVariable(id);
        action->AddVariable(z);
    }
    AddAction(action, UndoLigneNiveauProfondeurChange, RedoLigneNiveauProfondeurChange);
}

void UndoLigneNiveauProfondeurChange(KorAction* action)
{
    SetDepth(action, 3);
}

void RedoLigneNiveauProfondeurChange(KorAction* action)
{
    SetDepth(action, 4);
}

void RecordLigneNiveauFermeeToggle(int layer, int line)
{
    AddAction(NewLineAction(layer, line), ToggleLigneNiveauFermee, ToggleLigneNiveauFermee);
}

void ToggleLigneNiveauFermee(KorAction* action)
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = nullptr;
    if (!Find(action, couche, ligne))
        return;
    ligne->Fermee = ligne->Fermee == 0 ? 1 : 0;
    couche->SetGeometryChanged();
    GetModelUi().RefreshDisplay();
}
