#include "LigneNiveauRecorders.h"

#include "Couche.h"
#include "LigneNiveau.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"
#include "RecordedValues.h"

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

void RecordLine(int layer, int line, const LigneNiveau& ligne, Couche& couche, int fermee,
                KorAction::Callback undo, KorAction::Callback redo)
{
    OVXAction* action = NewLineAction(layer, line);
    action->AddVariable(ligne.Profondeur);
    action->AddVariable(fermee);
    for (const KorVertex* v : ligne.GetVertices(couche))
    {
        action->AddVariable(static_cast<float>(v->X));
        action->AddVariable(static_cast<float>(v->Y));
    }
    AddAction(action, undo, redo);
}

void AddPointAt(KorAction* action, int position)
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = nullptr;
    if (!Find(action, couche, ligne))
        return;
    const int id = ligne->AddPoint(*couche, RecordedValue<double>(action, 4),
                                   RecordedValue<double>(action, 5), false, position);
    SetRecordedValue(action, 3, id);
}

void SetDepth(const KorAction* action, int position)
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = nullptr;
    if (!Find(action, couche, ligne))
        return;
    ligne->SetProfondeur(*couche, static_cast<float>(RecordedValue<double>(action, position)), false);
    if (const KorVertex* v = couche->GetMesh().GetVertex(couche->GetPickedVertex()))
        GetModelUi().ShowCoordinates(LumPoint(v->X, v->Y, v->Z));
    GetModelUi().RefreshDisplay();
}
} // namespace

void RecordLigneNiveauAdd(int layer, int line, const LigneNiveau& ligne, Couche& couche)
{
    RecordLine(layer, line, ligne, couche, 0, UndoLigneNiveauAdd, RedoLigneNiveauAdd);
}

void RecordLigneNiveauDelete(int layer, int line, const LigneNiveau& ligne, Couche& couche)
{
    RecordLine(layer, line, ligne, couche, ligne.Fermee, RedoLigneNiveauAdd, UndoLigneNiveauAdd);
}

void UndoLigneNiveauAdd(KorAction* action)
{
    if (Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 1)))
        couche->DeleteLigneNiveau(RecordedValue<int>(action, 2), false);
    GetModelUi().ResetLevelLineInProgress();
}

void RedoLigneNiveauAdd(KorAction* action)
{
    Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 1));
    if (!couche)
        return;
    std::vector<float> points;
    for (int k = 5; k <= action->GetNombreVariables(); ++k)
        points.push_back(RecordedValue<float>(action, k));
    const int index = couche->AddLigneNiveau(static_cast<float>(RecordedValue<double>(action, 3)),
                                             RecordedValue<int>(action, 2), false, &points);
    if (LigneNiveau* ligne = couche->GetLigneNiveau(index))
        ligne->Fermee = RecordedValue<int>(action, 4);
}

void RecordLigneNiveauPointAdd(int layer, int line, int id, double x, double y)
{
    OVXAction* action = NewLineAction(layer, line);
    action->AddVariable(id);
    action->AddVariable(x);
    action->AddVariable(y);
    AddAction(action, UndoLigneNiveauPointAdd, RedoLigneNiveauPointAdd);
}

void UndoLigneNiveauPointAdd(KorAction* action)
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = nullptr;
    if (Find(action, couche, ligne))
        ligne->RemovePoint(*couche, RecordedValue<int>(action, 3), false);
}

void RedoLigneNiveauPointAdd(KorAction* action)
{
    AddPointAt(action, -1);
}

void RecordLigneNiveauPointDelete(int layer, int line, int id, double x, double y, int position)
{
    OVXAction* action = NewLineAction(layer, line);
    action->AddVariable(id);
    action->AddVariable(x);
    action->AddVariable(y);
    action->AddVariable(position);
    AddAction(action, UndoLigneNiveauPointDelete, UndoLigneNiveauPointAdd);
}

void UndoLigneNiveauPointDelete(KorAction* action)
{
    AddPointAt(action, RecordedValue<int>(action, 6));
}

void RecordLigneNiveauProfondeurChange(int layer, int line, double from, double to)
{
    OVXAction* action = NewLineAction(layer, line);
    action->AddVariable(from);
    action->AddVariable(to);
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
