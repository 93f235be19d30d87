#include "CoucheRecorders.h"

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

LumPoint ReadPoint(const KorAction* action, int position)
{
    return LumPoint(RecordedValue<double>(action, position), RecordedValue<double>(action, position + 1),
                    RecordedValue<double>(action, position + 2));
}

OVXAction* NewPointAction(int layer, int id, const LumPoint& point)
{
    auto* action = new OVXAction;
    action->AddVariable(layer);
    action->AddVariable(id);
    action->AddVariable(point.x);
    action->AddVariable(point.y);
    action->AddVariable(point.z);
    return action;
}

void AddAppearance(OVXAction* action, const Couche::sColour& colour, const std::string& texture, int opacity,
                   bool fronts, const std::vector<std::string>& families)
{
    action->AddVariable(colour.R);
    action->AddVariable(colour.G);
    action->AddVariable(colour.B);
    action->AddVariable(texture);
    action->AddVariable(opacity);
    action->AddVariable(fronts);
    action->AddVariable(static_cast<int>(families.size()));
    for (const std::string& name : families)
        action->AddVariable(name);
}

// Applies the appearance stored from that position on.
void ApplyAppearance(const KorAction* action, int position)
{
    Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 1));
    if (!couche)
        return;
    Couche::sColour colour;
    colour.R = RecordedValue<int>(action, position);
    colour.G = RecordedValue<int>(action, position + 1);
    colour.B = RecordedValue<int>(action, position + 2);
    const std::string texture = RecordedValue<std::string>(action, position + 3);
    const int opacity = RecordedValue<int>(action, position + 4);
    const bool fronts = RecordedValue<bool>(action, position + 5);
    const int n = std::max(0, RecordedValue<int>(action, position + 6));
    std::vector<std::string> families;
    for (int k = 0; k < n; ++k)
        families.push_back(RecordedValue<std::string>(action, position + 7 + k));
    couche->SetAppearance(colour, texture, opacity, fronts, families, false);
}

void AddAddition(OVXAction* action, const Couche::sAddition& addition)
{
    action->AddVariable(addition.Slots);
    action->AddVariable(addition.Types);
    action->AddVariable(static_cast<int>(addition.Old.Type));
    action->AddVariable(static_cast<int>(addition.Old.Param));
}

// The addition of the vertex recorded at idPosition, whose four values
// start at position.
Couche::sAddition ReadAddition(const KorAction* action, int idPosition, int position)
{
    Couche::sAddition addition;
    addition.Id = RecordedValue<int>(action, idPosition);
    addition.Slots = RecordedValue<int>(action, position);
    addition.Types = RecordedValue<int>(action, position + 1);
    addition.Old.Type = static_cast<int8_t>(RecordedValue<int>(action, position + 2));
    addition.Old.Param = RecordedValue<int>(action, position + 3);
    return addition;
}

void MovePoint(const KorAction* action, int position)
{
    Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 1));
    if (!couche)
        return;
    couche->MovePoint(RecordedValue<int>(action, 2), ReadPoint(action, position), false, false, true);
    GetModelUi().RemoveGizmo();
}
} // namespace

void RecordCouchePointAdd(int layer, const LumPoint& point, int type, int param,
                          const Couche::sAddition& addition)
{
    OVXAction* action = NewPointAction(layer, addition.Id, point);
    action->AddVariable(type);
    action->AddVariable(param);
    action->AddVariable(0);
    AddAddition(action, addition);
    AddAction(action, UndoCouchePointAdd, RedoCouchePointAdd);
}

void UndoCouchePointAdd(KorAction* action)
{
    Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 1));
    if (!couche)
        return;
    if (action->GetNombreVariables() >= 12)
        couche->TakeBackPoint(ReadAddition(action, 2, 9));
    else
        couche->DeletePoint(RecordedValue<int>(action, 2), false);
}

void RedoCouchePointAdd(KorAction* action)
{
    Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 1));
    if (!couche)
        return;
    int type = 1, param = 0;
    if (action->GetNombreVariables() >= 7)
    {
        type = RecordedValue<int>(action, 6);
        param = RecordedValue<int>(action, 7);
    }
    LigneNiveau* ligne = type == 2 ? couche->GetLigneNiveau(param) : nullptr;
    // A contour point whose line is gone comes back free, never orphaned.
    if (type == 2 && !ligne)
        type = 1, param = 0;
    const int id =
        couche->AddPoint(ReadPoint(action, 3), type, param, false, false, RecordedValue<int>(action, 2));
    if (ligne && id >= 0)
    {
        const int size = static_cast<int>(ligne->Points.size());
        const int place = std::clamp(RecordedValue<int>(action, 8), 0, size);
        ligne->Points.insert(ligne->Points.begin() + place, id);
    }
    SetRecordedValue(action, 2, id);
}

void RecordCouchePointDelete(Couche* couche, int id)
{
    const KorVertex* v = couche->GetMesh().GetVertex(id);
    if (!v)
        return;
    OVXAction* action = NewPointAction(gProjet.GetCoucheIndex(couche), id, LumPoint(v->X, v->Y, v->Z));
    const Couche::sVertexType kind = couche->GetVertexType(id);
    action->AddVariable(static_cast<int>(kind.Type));
    action->AddVariable(static_cast<int>(kind.Param));
    if (kind.Type == 2)
    {
        const LigneNiveau* ligne = couche->GetLigneNiveau(kind.Param);
        action->AddVariable(ligne ? std::max(0, ligne->Find(id)) : 0);
    }
    AddAction(action, RedoCouchePointAdd, UndoCouchePointAdd);
}

void RecordCouchePointMove(int layer, int id, const LumPoint& from, const LumPoint& to)
{
    OVXAction* action = NewPointAction(layer, id, from);
    action->AddVariable(to.x);
    action->AddVariable(to.y);
    action->AddVariable(to.z);
    AddAction(action, UndoCouchePointMove, RedoCouchePointMove);
}

void UndoCouchePointMove(KorAction* action)
{
    MovePoint(action, 3);
}

void RedoCouchePointMove(KorAction* action)
{
    MovePoint(action, 6);
}

void RecordCouchePointsChange(const std::vector<sAddedPoint>& points)
{
    auto* action = new OVXAction;
    for (const sAddedPoint& added : points)
    {
        action->AddVariable(added.Layer);
        action->AddVariable(added.Id);
        action->AddVariable(added.Point.x);
        action->AddVariable(added.Point.y);
        action->AddVariable(added.Point.z);
        AddAddition(action, added.Addition);
    }
    AddAction(action, UndoCouchePointsChange, RedoCouchePointsChange);
}

// Groups of nine values: layer, identifier, x, y, z, then the addition.
void UndoCouchePointsChange(KorAction* action)
{
    const int groups = action->GetNombreVariables() / 9;
    for (int g = groups - 1; g >= 0; --g)
        if (Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 9 * g + 1)))
            couche->TakeBackPoint(ReadAddition(action, 9 * g + 2, 9 * g + 6));
}

void RedoCouchePointsChange(KorAction* action)
{
    const int groups = action->GetNombreVariables() / 9;
    for (int g = 0; g < groups; ++g)
        if (Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 9 * g + 1)))
            SetRecordedValue(action, 9 * g + 2,
                             couche->AddPoint(ReadPoint(action, 9 * g + 3), 1, 0, false, false,
                                              RecordedValue<int>(action, 9 * g + 2)));
}

void RecordCoucheSideChange(const Couche::sColour& colour, const std::string& texture, int opacity,
                            bool fronts, const std::vector<std::string>& families, Couche* couche)
{
    auto* action = new OVXAction;
    action->AddVariable(gProjet.GetCoucheIndex(couche));
    AddAppearance(action, colour, texture, opacity, fronts, families);
    AddAppearance(action, couche->GetColour(), couche->Texture, couche->Opacite, couche->FrontAffiche,
                  couche->Discontinuites);
    AddAction(action, UndoCoucheSideChange, RedoCoucheSideChange);
}

void UndoCoucheSideChange(KorAction* action)
{
    const int newFamilies = std::max(0, RecordedValue<int>(action, 8));
    ApplyAppearance(action, 9 + newFamilies);
}

void RedoCoucheSideChange(KorAction* action)
{
    ApplyAppearance(action, 2);
}

void RecordOpacitiesReset(const std::vector<int>& couches, const std::vector<int>& opacities)
{
    auto* action = new OVXAction;
    action->AddVariable(static_cast<int>(couches.size()));
    for (size_t i = 0; i < couches.size(); ++i)
    {
        action->AddVariable(couches[i]);
        action->AddVariable(i < opacities.size() ? opacities[i] : 100);
    }
    AddAction(action, UndoOpacitiesReset, RedoOpacitiesReset);
}

namespace
{
// Each recorded layer's opacity: its own recorded value, or the one given.
void ApplyOpacities(const KorAction* action, bool old, int opacity)
{
    const int count = std::max(0, RecordedValue<int>(action, 1));
    for (int i = 0; i < count; ++i)
        if (Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 2 + 2 * i)))
            couche->SetAppearance(couche->GetColour(), couche->Texture,
                                  old ? RecordedValue<int>(action, 3 + 2 * i) : opacity, couche->FrontAffiche,
                                  couche->Discontinuites, false);
}

// Each recorded layer's side flag: its own recorded value, or the new one.
void ApplySidesShown(const KorAction* action, bool old)
{
    const int count = std::max(0, RecordedValue<int>(action, 1));
    const bool shown = RecordedValue<bool>(action, 2 + 2 * count);
    for (int i = 0; i < count; ++i)
        if (Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 2 + 2 * i)))
            couche->SetAppearance(couche->GetColour(), couche->Texture, couche->Opacite,
                                  old ? RecordedValue<bool>(action, 3 + 2 * i) : shown,
                                  couche->Discontinuites, false);
}
} // namespace

void UndoOpacitiesReset(KorAction* action)
{
    ApplyOpacities(action, true, 0);
}

void RedoOpacitiesReset(KorAction* action)
{
    ApplyOpacities(action, false, 100);
}

void RecordSidesShownChange(const std::vector<int>& couches, const std::vector<bool>& shown, bool newShown)
{
    auto* action = new OVXAction;
    action->AddVariable(static_cast<int>(couches.size()));
    for (size_t i = 0; i < couches.size(); ++i)
    {
        action->AddVariable(couches[i]);
        action->AddVariable(i < shown.size() ? static_cast<bool>(shown[i]) : newShown);
    }
    action->AddVariable(newShown);
    AddAction(action, UndoSidesShownChange, RedoSidesShownChange);
}

void UndoSidesShownChange(KorAction* action)
{
    ApplySidesShown(action, true);
}

void RedoSidesShownChange(KorAction* action)
{
    ApplySidesShown(action, false);
}

void RecordCoucheCouranteChange(int from, int to)
{
    auto* action = new OVXAction;
    action->AddVariable(from);
    action->AddVariable(to);
    AddAction(action, UndoCoucheCouranteChange, RedoCoucheCouranteChange);
}

void UndoCoucheCouranteChange(KorAction* action)
{
    gProjet.SetCoucheCourante(RecordedValue<int>(action, 1));
}

void RedoCoucheCouranteChange(KorAction* action)
{
    gProjet.SetCoucheCourante(RecordedValue<int>(action, 2));
}
