#include "FrameUi.h"

#include "Dialog2Coordonnees.h"
#include "DialogCarottage.h"
#include "DialogCourbes.h"
#include "DialogDiscontinuite.h"
#include "DialogDXF.h"
#include "DialogOutilsCreation.h"
#include "DialogPointsCoupe.h"
#include "DialogResultats.h"
#include "DialogTete.h"
#include "DialogVisualisation.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "KorInputFile.h"
#include "LumoraDevice.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "TeteTranchee.h"
#include "TypedCoordinates.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/textdlg.h>

void FrameUi::RefreshDisplay()
{
    ::RefreshDisplay();
}

void FrameUi::EndCurrentTool()
{
    ::EndCurrentTool();
}

void FrameUi::EnterCreationMode(bool record)
{
    ::EnterCreationMode(record);
}

void FrameUi::EnterVisualisationMode(bool record)
{
    ::EnterVisualisationMode(record);
}

int FrameUi::GetMode() const
{
    return gMode;
}

void FrameUi::SaveModeCamera()
{
    ::SaveModeCamera();
}

void FrameUi::EnableModeTools()
{
    ::EnableModeTools();
}

void FrameUi::DisableInterface()
{
    ::DisableInterface();
}

void FrameUi::SetNoProjectInterface()
{
    ::SetNoProjectInterface();
}

LumoraDevice* FrameUi::GetMainDevice()
{
    return mFrame->GetMainDevice();
}

ModelUi::EventsManager FrameUi::GetEventsManager() const
{
    return mFrame->GetMainDevice()->GetCustomEventsManager();
}

void FrameUi::SetEventsManager(EventsManager manager)
{
    mFrame->GetMainDevice()->SetCustomEventsManager(manager);
}

void FrameUi::SetToolPointAction(PointAction action)
{
    gToolPointAction = action;
}

void FrameUi::SetOverlayDrawer(OverlayDrawer drawer)
{
    gOverlayDrawer = drawer;
}

void FrameUi::SetTitle(const std::string& title)
{
    mFrame->SetTitle(wxString::FromUTF8(title));
}

void FrameUi::FocusMainCanvas()
{
    mFrame->GetCanvas()->SetFocus();
}

void FrameUi::SetCursor(Cursor cursor)
{
    PanelPrincipal* canvas = mFrame->GetCanvas();
    const wxCursor* tool = nullptr;
    switch (cursor)
    {
    case Cursor::Arrow:
        canvas->SetCursor(*wxSTANDARD_CURSOR);
        return;
    case Cursor::Wait:
        canvas->SetCursor(*wxHOURGLASS_CURSOR);
        return;
    case Cursor::Borehole:
        tool = mFrame->GetToolCursor(FenetreTunnel::CursorSondage);
        break;
    case Cursor::AxisPoint:
        tool = mFrame->GetToolCursor(FenetreTunnel::CursorTarget);
        break;
    case Cursor::AxisTool:
        tool = mFrame->GetToolCursor(FenetreTunnel::CursorAxe);
        break;
    }
    canvas->SetCursor(tool ? *tool : *wxSTANDARD_CURSOR);
}

void FrameUi::SetStatusText(const std::string& text, int)
{
    // What the model writes are its tools' prompts: they go to the prompt
    // field, which EndCurrentTool clears, whatever field the tool names.
    mFrame->SetStatusText(wxString::FromUTF8(text), 2);
}

void FrameUi::CheckMenuItem(int id, bool checked)
{
    mFrame->CheckItem(id, checked);
    // The zone's switch is also the palette's box.
    if (id == 60)
        if (DialogOutilsCreation* palette = mFrame->GetCreationPalette())
            palette->ShowZoneAffichee(checked);
}

void FrameUi::EnableMenuItem(int id, bool enabled)
{
    mFrame->EnableItem(id, enabled);
}

void FrameUi::ShowDisplaySwitch(int menuId, bool on)
{
    mFrame->CheckItem(menuId, on);
    if (DialogVisualisation* palette = mFrame->GetVisualisationPalette())
        palette->ShowSwitch(menuId, on);
}

int FrameUi::MessageBox(const std::string& text, const std::string& caption, Buttons buttons, int flags)
{
    long style = wxOK;
    if (buttons == Buttons::YesNo)
        style = wxYES_NO;
    else if (buttons == Buttons::YesNoCancel)
        style = wxYES_NO | wxCANCEL;
    if (flags & BoxCentred)
        style |= wxCENTRE;
    wxWindow* parent = (flags & BoxParented) ? mFrame : nullptr;
    wxMessageDialog box(parent, wxString::FromUTF8(text), wxString::FromUTF8(caption), style);
    // The dialog answers the toolkit's identifiers, which ModelUi uses.
    return box.ShowModal();
}

std::string FrameUi::AskFilePath(const FileRequest& request)
{
    const long style = request.Save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT | wxFD_CHANGE_DIR)
                                    : (wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_CHANGE_DIR);
    wxFileDialog dialog(mFrame, wxString::FromUTF8(request.Title), wxEmptyString, wxEmptyString,
                        wxString::FromUTF8(request.Wildcard), style);
    if (dialog.ShowModal() != wxID_OK)
        return std::string();
    return std::string(dialog.GetPath().ToUTF8().data());
}

bool FrameUi::AskTwoValues(const std::string& caption, const std::string& label1, const std::string& label2,
                           double& value1, double& value2)
{
    Dialog2Coordonnees dialog(caption, label1, label2);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    value1 = dialog.GetX();
    value2 = dialog.GetY();
    return true;
}

bool FrameUi::AskText(const std::string& message, const std::string& caption, std::string& text)
{
    const wxString title =
        caption.empty() ? wxString(wxGetTextFromUserPromptStr) : wxString::FromUTF8(caption);
    wxTextEntryDialog dialog(nullptr, wxString::FromUTF8(message), title, wxString::FromUTF8(text),
                             wxOK | wxCANCEL | wxCENTRE);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    text = dialog.GetValue().ToUTF8().data();
    return true;
}

bool FrameUi::GetImageSize(const std::string& path, int& width, int& height)
{
    // A FIFO, a device or a folder is no image: never handed to the toolkit.
    if (!KorInputFile::IsRegularFile(path))
        return false;
    wxLogNull quiet;
    wxImage image;
    if (!image.LoadFile(wxString::FromUTF8(path)))
        return false;
    width = image.GetWidth();
    height = image.GetHeight();
    return true;
}

void FrameUi::YieldEvents()
{
    wxTheApp->Yield(true);
}

void FrameUi::ResetResultViews()
{
    if (DialogResultats* results = mFrame->GetResultsDialog())
    {
        results->UpdateSummary();
        results->Show(false);
    }
    if (DialogCourbes* curves = mFrame->GetCurvesDialog())
        curves->Clear();
}

void FrameUi::FillCurveVariables()
{
    if (DialogCourbes* curves = mFrame->GetCurvesDialog())
        curves->FillVariables();
}

void FrameUi::CloseElementDialogs()
{
    DialogCarottage::DestroyOpenDialogs();
    DialogPointsCoupe::DestroyOpenDialogs();
}

void FrameUi::ShowPopupMenu(const std::vector<PopupItem>& items, int x, int y)
{
    wxMenu menu;
    for (size_t i = 0; i < items.size(); ++i)
    {
        const PopupItem& item = items[i];
        const int id = wxID_HIGHEST + 1 + static_cast<int>(i);
        wxMenuItem* line = item.Check ? menu.AppendCheckItem(id, wxString::FromUTF8(item.Label))
                                      : menu.Append(id, wxString::FromUTF8(item.Label));
        line->Enable(item.Enabled);
        if (item.Check)
            line->Check(true);
    }
    // The callbacks run after the menu closed, so one that opens a dialog
    // or changes the model meets no open menu.
    int chosen = -1;
    menu.Bind(wxEVT_MENU, [&chosen](wxCommandEvent& event) { chosen = event.GetId() - wxID_HIGHEST - 1; });
    mFrame->GetCanvas()->PopupMenu(&menu, x, y);
    if (chosen >= 0 && chosen < static_cast<int>(items.size()) && items[static_cast<size_t>(chosen)].Callback)
        items[static_cast<size_t>(chosen)].Callback();
}

void FrameUi::RemoveGizmo()
{
    mFrame->GetMainDevice()->SetGizmo(nullptr);
}

TeteTranchee& FrameUi::GetTete()
{
    return mFrame->GetHeadDialog()->GetTete();
}

void FrameUi::LoadTeteXML(const XMLNode& node)
{
    mFrame->GetHeadDialog()->LoadTeteXML(node);
}

void FrameUi::FillHeadFields()
{
    DialogTete* dialog = mFrame->GetHeadDialog();
    dialog->FillFields(dialog->GetTete());
}

void FrameUi::ResetLevelLineInProgress()
{
    gCurrentLigneNiveau = -1;
}

LumPoint FrameUi::ReadCoordinates()
{
    return ::ReadCoordinates();
}

void FrameUi::ShowCoordinates(const LumPoint& scenePoint)
{
    ::ShowCoordinates(scenePoint);
}

void FrameUi::ResetDiscontinuityDialog()
{
    if (DialogDiscontinuite* dialog = mFrame->GetDiscontinuityDialog())
        dialog->Reset();
}

void FrameUi::FillDiscontinuityFamilies()
{
    if (DialogDiscontinuite* dialog = mFrame->GetDiscontinuityDialog())
        dialog->FillFamilyList();
}

void FrameUi::UpdateDiscontinuityDialog()
{
    if (DialogDiscontinuite* dialog = mFrame->GetDiscontinuityDialog())
        dialog->UpdateFromFamily();
}

void FrameUi::SelectDiscontinuityFamily(const std::string& name)
{
    if (DialogDiscontinuite* dialog = mFrame->GetDiscontinuityDialog())
        dialog->SelectFamily(name);
}

void FrameUi::SetLayerChoice(const std::vector<std::string>& names)
{
    if (DialogOutilsCreation* palette = mFrame->GetCreationPalette())
        palette->SetLayerNames(names);
}

void FrameUi::SelectLayerChoice(int index)
{
    if (DialogOutilsCreation* palette = mFrame->GetCreationPalette())
        palette->SelectLayer(index);
}

void FrameUi::EnableLayerTools(bool enabled)
{
    if (DialogOutilsCreation* palette = mFrame->GetCreationPalette())
        palette->EnableLayerTools(enabled);
}

void FrameUi::ShowAxeType(int type)
{
    if (DialogOutilsCreation* palette = mFrame->GetCreationPalette())
        palette->ShowAxeType(type);
}

void FrameUi::ShowAxeParameters(double radius, double orientation, double inclination)
{
    if (DialogOutilsCreation* palette = mFrame->GetCreationPalette())
        palette->ShowAxeParameters(radius, orientation, inclination);
}

bool FrameUi::ReadAxeParameters(std::string& radius, std::string& orientation, std::string& inclination)
{
    DialogOutilsCreation* palette = mFrame->GetCreationPalette();
    if (!palette)
        return false;
    palette->ReadAxeParameters(radius, orientation, inclination);
    return true;
}

bool FrameUi::ImportCoucheDXF(Couche*, const CoucheImport& import, bool interactive)
{
    return ::ImportCoucheDXF(import, interactive);
}
