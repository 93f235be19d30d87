#include "AxeRecorders.h"
#include "AxeTools.h"

#include "Axe.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"
#include "RecordedValues.h"

namespace
{
void AddPoints(KorAction* action, const std::vector<LumPoint>& points)
{
    action->AddVariable(static_cast<int>(points.size()));
    for (const LumPoint& point : points)
    {
        action->AddVariable(point.x);
        action->AddVariable(point.y);
        action->AddVariable(point.z);
    }
}

double DoubleAt(KorAction* action, int i)
{
    double value = 0.0;
    if (AnyVariable* variable = action->GetVariable(i))
        value << *variable;
    return value;
}

// Reads a count and its points from value i on; false when the action
// holds fewer values than the count says.
bool ReadPoints(KorAction* action, int& i, std::vector<LumPoint>& points)
{
    AnyVariable* count = action->GetVariable(i);
    if (!count)
        return false;
    int n = -1;
    n << *count;
    if (n < 0 || n > (action->GetNombreVariables() - i - 1) / 3)
        return false;
    ++i;
    points.clear();
    for (int k = 0; k < n; ++k, i += 3)
        points.emplace_back(DoubleAt(action, i), DoubleAt(action, i + 1), DoubleAt(action, i + 2));
    return true;
}

// first 0: the old polyline, 1: the new one.
void ApplyPoints(KorAction* action, int which)
{
    std::vector<LumPoint> old, now;
    int i = 0;
    if (!ReadPoints(action, i, old) || !ReadPoints(action, i, now))
        return;
    gProjet.GetAxe().ReplacePolyline(which == 0 ? old : now);
    // The gizmo would stand on a point that may be gone or elsewhere.
    if (LumoraDevice* device = GetModelUi().GetMainDevice())
        device->SetGizmo(nullptr);
    // Nor may a later Delete remove the point that was selected before.
    gSelectedAxePoint = -1;
}

// first 0: the old parameters, 6: the new ones.
void ApplyParameters(KorAction* action, int first)
{
    if (action->GetNombreVariables() < 12)
        return;
    double v[6];
    for (int k = 0; k < 6; ++k)
        v[k] = DoubleAt(action, first + k);
    const LumPoint origin(v[0], v[1], v[2]);
    gProjet.GetAxe().SetParameters(origin, v[3], v[4], v[5], true, false, true);
    GetModelUi().ShowCoordinates(origin);
}
} // namespace

void RecordAxeTypeChange(int type)
{
    auto* action = new OVXAction;
    action->AddVariable(type);
    action->SetUndo(UndoAxeTypeChange);
    action->SetRedo(RedoAxeTypeChange);
    gProjet.GetUndoManager().AddAction(action);
}

void UndoAxeTypeChange(KorAction* action)
{
    AnyVariable* variable = action->GetVariable(0);
    if (!variable)
        return;
    int type = 0;
    type << *variable;
    gProjet.GetAxe().SetType(type == 0 ? 1 : 0, false);
}

void RedoAxeTypeChange(KorAction* action)
{
    AnyVariable* variable = action->GetVariable(0);
    if (!variable)
        return;
    int type = 0;
    type << *variable;
    gProjet.GetAxe().SetType(type, false);
}

void RecordAxeParametersChange(const LumPoint& oldOrigin, double oldRadius, double oldOrientation,
                               double oldInclination, const LumPoint& newOrigin, double newRadius,
                               double newOrientation, double newInclination)
{
    auto* action = new OVXAction;
    for (double value : {oldOrigin.x, oldOrigin.y, oldOrigin.z, oldRadius, oldOrientation, oldInclination,
                         newOrigin.x, newOrigin.y, newOrigin.z, newRadius, newOrientation, newInclination})
        action->AddVariable(value);
    action->SetUndo(UndoAxeParametersChange);
    action->SetRedo(RedoAxeParametersChange);
    gProjet.GetUndoManager().AddAction(action);
}

void UndoAxeParametersChange(KorAction* action)
{
    ApplyParameters(action, 0);
}

void RedoAxeParametersChange(KorAction* action)
{
    ApplyParameters(action, 6);
}

void RecordAxePointsChange(const std::vector<LumPoint>& old)
{
    auto* action = new OVXAction;
    AddPoints(action, old);
    AddPoints(action, gProjet.GetAxe().GetPolyline());
    action->SetUndo(UndoAxePointsChange);
    action->SetRedo(RedoAxePointsChange);
    gProjet.GetUndoManager().AddAction(action);
}

void UndoAxePointsChange(KorAction* action)
{
    ApplyPoints(action, 0);
}

void RedoAxePointsChange(KorAction* action)
{
    ApplyPoints(action, 1);
}

void RecordHeadMove(double distance, int type, double before, double after)
{
    auto* action = new OVXAction;
    action->AddVariable(distance);
    action->AddVariable(type);
    action->AddVariable(before);
    action->AddVariable(after);
    action->SetUndo(UndoHeadMove);
    action->SetRedo(RedoHeadMove);
    gProjet.GetUndoManager().AddAction(action);
}

void UndoHeadMove(KorAction* action)
{
    if (action->GetNombreVariables() >= 4)
        gProjet.GetAxe().SetHeadPositionValue(RecordedValue<int>(action, 2), DoubleAt(action, 2));
    else if (action->GetNombreVariables() > 0)
        gProjet.GetAxe().MoveHead(-DoubleAt(action, 0), false);
}

void RedoHeadMove(KorAction* action)
{
    if (action->GetNombreVariables() >= 4)
        gProjet.GetAxe().SetHeadPositionValue(RecordedValue<int>(action, 2), DoubleAt(action, 3));
    else if (action->GetNombreVariables() > 0)
        gProjet.GetAxe().MoveHead(DoubleAt(action, 0), false);
}

namespace
{
// which 0: the axis before, 1: after.
void ApplyAxeSnapshot(KorAction* action, int which)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (!ovx || ovx->Snapshots1.size() != 2)
        return;
    Axe& axe = gProjet.GetAxe();
    axe.FromXML(ovx->Snapshots1[static_cast<size_t>(which)]);
    axe.SetGeometryChanged();
    GetModelUi().RefreshDisplay();
}
} // namespace

void RecordAxeReplace(const XMLNode& old)
{
    auto* action = new OVXAction;
    action->Snapshots1.push_back(old);
    XMLNode now = OVXAction::NewSnapshot();
    gProjet.GetAxe().ToXML(now);
    action->Snapshots1.push_back(now);
    action->SetUndo(UndoAxeReplace);
    action->SetRedo(RedoAxeReplace);
    gProjet.GetUndoManager().AddAction(action);
}

void UndoAxeReplace(KorAction* action)
{
    ApplyAxeSnapshot(action, 0);
}

void RedoAxeReplace(KorAction* action)
{
    ApplyAxeSnapshot(action, 1);
}
