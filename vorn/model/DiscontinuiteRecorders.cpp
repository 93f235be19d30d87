#include "DiscontinuiteRecorders.h"

#include "Discontinuite.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"

namespace
{
// Value i (from 0) read into target; target unchanged when the action
// holds no such value.
template <typename T> void Read(KorAction* action, int i, T& target)
{
    if (const AnyVariable* variable = action->GetVariable(i))
        target << *variable;
}

void AddFamilyValues(OVXAction* action, const Discontinuite& family)
{
    action->AddVariable(family.Nom);
    action->AddVariable(family.Azimut);
    action->AddVariable(family.Pendage);
    action->AddVariable(family.Espace);
    action->AddVariable(family.EcartType);
    action->AddVariable(family.Origine);
    action->AddVariable(family.OrigineAffichee);
}

// The seven values from position first on, applied to the family they
// name.
void ApplyFamilyValues(KorAction* action, int first)
{
    std::string name;
    Read(action, first, name);
    Discontinuite* family = gProjet.GetDiscontinuite(name);
    if (!family)
        return;
    double values[4] = {family->Azimut, family->Pendage, family->Espace, family->EcartType};
    for (int k = 0; k < 4; ++k)
        Read(action, first + 1 + k, values[k]);
    family->SetValues(values[0], values[1], values[2], values[3]);
    Read(action, first + 5, family->Origine);
    Read(action, first + 6, family->OrigineAffichee);
    GetModelUi().UpdateDiscontinuityDialog();
}

void ApplyOrigine(KorAction* action, int i)
{
    std::string name;
    Read(action, 0, name);
    if (Discontinuite* family = gProjet.GetDiscontinuite(name))
        Read(action, i, family->Origine);
}
} // namespace

void RecordDiscontinuiteAdd(const std::string& name)
{
    auto* action = new OVXAction;
    action->AddVariable(name);
    for (int k = 0; k < 4; ++k)
        action->AddVariable(0.0f);
    action->AddVariable(LumPoint());
    action->AddVariable(false);
    action->AddVariable(0);
    action->SetUndo(UndoDiscontinuiteAdd);
    action->SetRedo(RedoDiscontinuiteAdd);
    gProjet.GetUndoManager().AddAction(action);
}

void RecordDiscontinuiteDelete(const Discontinuite& family, const std::vector<int>& couches)
{
    auto* action = new OVXAction;
    AddFamilyValues(action, family);
    action->AddVariable(static_cast<int>(couches.size()));
    for (const int index : couches)
        action->AddVariable(index);
    action->SetUndo(RedoDiscontinuiteAdd);
    action->SetRedo(UndoDiscontinuiteAdd);
    gProjet.GetUndoManager().AddAction(action);
}

void RecordDiscontinuiteChange(const Discontinuite& before, const Discontinuite& after)
{
    auto* action = new OVXAction;
    AddFamilyValues(action, before);
    AddFamilyValues(action, after);
    action->SetUndo(UndoDiscontinuiteChange);
    action->SetRedo(RedoDiscontinuiteChange);
    gProjet.GetUndoManager().AddAction(action);
}

void RecordDiscontinuiteOrigineChange(const std::string& name, const LumPoint& oldOrigine,
                                      const LumPoint& newOrigine)
{
    auto* action = new OVXAction;
    action->AddVariable(name);
    action->AddVariable(oldOrigine);
    action->AddVariable(newOrigine);
    action->SetUndo(UndoDiscontinuiteOrigineChange);
    action->SetRedo(RedoDiscontinuiteOrigineChange);
    gProjet.GetUndoManager().AddAction(action);
}

void UndoDiscontinuiteAdd(KorAction* action)
{
    std::string name;
    Read(action, 0, name);
    gProjet.DeleteDiscontinuite(name, false);
}

void RedoDiscontinuiteAdd(KorAction* action)
{
    std::string name;
    Read(action, 0, name);
    Discontinuite* family = gProjet.AddDiscontinuite(name, false, true);
    if (!family)
        return;
    double values[4] = {0.0, 0.0, 0.0, 0.0};
    for (int k = 0; k < 4; ++k)
        Read(action, 1 + k, values[k]);
    family->SetValues(values[0], values[1], values[2], values[3]);
    Read(action, 5, family->Origine);
    Read(action, 6, family->OrigineAffichee);
    int n = 0;
    Read(action, 7, n);
    std::vector<int> couches;
    for (int k = 0; k < n && 8 + k < action->GetNombreVariables(); ++k)
    {
        int index = -1;
        Read(action, 8 + k, index);
        couches.push_back(index);
    }
    gProjet.GiveDiscontinuiteBackToCouches(name, couches);
    GetModelUi().UpdateDiscontinuityDialog();
}

void UndoDiscontinuiteChange(KorAction* action)
{
    ApplyFamilyValues(action, 0);
}

void RedoDiscontinuiteChange(KorAction* action)
{
    ApplyFamilyValues(action, 7);
}

void UndoDiscontinuiteOrigineChange(KorAction* action)
{
    ApplyOrigine(action, 1);
}

void RedoDiscontinuiteOrigineChange(KorAction* action)
{
    ApplyOrigine(action, 2);
}
