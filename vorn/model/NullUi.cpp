#include "NullUi.h"

#include "OVXUndoManager.h"
#include "ProjetOVX.h"
#include "ViewRecorders.h"

void NullUi::EndCurrentTool()
{
    RunEndToolHook();
    gUndoLightRefresh = false;
    SetEventsManager(nullptr);
    SetToolPointAction(nullptr);
    SetOverlayDrawer(nullptr);
    RefreshDisplay();
}

void NullUi::EnterCreationMode(bool record)
{
    mMode = 1;
    EndCurrentTool();
    if (record)
        RecordViewChange(0);
    RefreshDisplay();
}

void NullUi::EnterVisualisationMode(bool record)
{
    if (gProjet.Is3DGeometryChanged() && !gProjet.ComputeAllFronts())
    {
        MessageBox("Impossible de passer en mode Visualisation : la zone de visualisation est mal définie",
                   "Information", Buttons::Ok, BoxParented);
        EnterCreationMode(false);
        return;
    }
    mMode = 2;
    EndCurrentTool();
    if (record)
        RecordViewChange(1);
    RefreshDisplay();
}

int NullUi::MessageBox(const std::string&, const std::string&, Buttons buttons, int)
{
    return DefaultAnswer(buttons);
}

int NullUi::DefaultAnswer(Buttons buttons)
{
    switch (buttons)
    {
    case Buttons::YesNo:
        return IdNo;
    case Buttons::YesNoCancel:
        return IdCancel;
    default:
        return IdOk;
    }
}

void NullUi::LoadTeteXML(const XMLNode& node)
{
    ApplyTeteXML(mTete, node);
    FillHeadFields();
}
