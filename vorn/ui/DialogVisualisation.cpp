#include "DialogVisualisation.h"

#include "Axe.h"
#include "AxeTools.h"
#include "Couche.h"
#include "Dialog3D.h"
#include "Excavation.h"
#include "FenetreTunnel.h"
#include "FrameKeys.h"
#include "InterfaceModes.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "ShownValues.h"
#include "StartupPaths.h"
#include "TypedValues.h"
#include "View3D.h"
#include "WindowFit.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <cmath>
#include <locale>
#include <sstream>

namespace
{
std::string DefaultText(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

// The check boxes by id, with the menu item each follows: the palette's ids
// 2..6, 8, 11..14 are the menu's 46..55 in order.
constexpr int SwitchIds[10] = {2, 3, 4, 5, 6, 8, 11, 12, 13, 14};
const char* const SwitchLabels[10] = {"Triangles",
                                      "Segments",
                                      "Points",
                                      "Afficher les lignes de niveau",
                                      "Afficher les sondages",
                                      "Afficher l'axe",
                                      "Afficher la tête ",
                                      "Ligne d'intersection ",
                                      "Informations ",
                                      "Travaux en transparence"};

wxBitmapButton* IconButton(wxWindow* parent, int id, const char* file, const char* tip)
{
    wxBitmap bitmap(wxString::FromUTF8(ApplicationPath(std::string("/Icons/") + file)), wxBITMAP_TYPE_GIF);
    if (!bitmap.IsOk())
        bitmap = wxBitmap(24, 24);
    auto* button = new wxBitmapButton(parent, id, bitmap);
    button->SetToolTip(wxString::FromUTF8(tip));
    return button;
}
} // namespace

DialogVisualisation::DialogVisualisation(wxWindow* parent)
    : wxDialog(parent, 16, wxString::FromUTF8("Composition"), wxPoint(300, 300), wxSize(185, 460), wxCAPTION,
               "DialogVisualisation")
{
    ForwardFrameKeys(this);
    auto group = [this](const char* label)
    { return new wxStaticBoxSizer(wxVERTICAL, this, wxString::FromUTF8(label)); };
    auto check = [this](int index)
    {
        mSwitches[index] = new wxCheckBox(this, SwitchIds[index], wxString::FromUTF8(SwitchLabels[index]));
        return mSwitches[index];
    };

    wxStaticBoxSizer* options = group("Options de visualisation");
    options->Add(IconButton(this, 1, "Centrer.gif", "Centrer la vue"));
    for (int i = 0; i < 5; ++i)
        options->Add(check(i));

    wxStaticBoxSizer* axe = group("Axe");
    axe->Add(IconButton(this, 7, "DeplacerAxe.gif", "Déplacer les points de l'axe"));
    axe->Add(check(5));
    mGraduationLabel = new wxStaticText(this, wxID_ANY, "Graduation : ");
    axe->Add(mGraduationLabel);

    wxStaticBoxSizer* tete = group("Tête de tranchée");
    tete->Add(IconButton(this, 15, "chantier.gif", "Positionner la tête de tranchée"));
    for (int i = 6; i < 9; ++i)
        tete->Add(check(i));
    mVolumeLabel = new wxStaticText(this, wxID_ANY, wxString::FromUTF8("Volume excavé : 534878 m3"));
    tete->Add(mVolumeLabel);
    tete->Add(check(9));
    auto* stepRow = new wxBoxSizer(wxHORIZONTAL);
    stepRow->Add(new wxStaticText(this, wxID_ANY, "Pas"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 3);
    mStep = new wxTextCtrl(this, wxID_ANY, "10", wxDefaultPosition, wxSize(40, 20), wxTE_RIGHT,
                           wxTextValidator(wxFILTER_NUMERIC));
    stepRow->Add(mStep);
    stepRow->Add(new wxButton(this, 9, "+", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT));
    stepRow->Add(new wxButton(this, 10, "-", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT));
    tete->Add(stepRow);

    wxStaticBoxSizer* coupes = group("Coupes");
    coupes->Add(IconButton(this, 16, "CreerCoupe.gif", "Créer une coupe"));
    wxStaticBoxSizer* decor = group("Décor");
    decor->Add(IconButton(this, 17, "AddElement.gif", "Ajouter un élément de décor"));

    auto* column = new wxBoxSizer(wxVERTICAL);
    for (wxSizer* box :
         {static_cast<wxSizer*>(options), static_cast<wxSizer*>(axe), static_cast<wxSizer*>(tete),
          static_cast<wxSizer*>(coupes), static_cast<wxSizer*>(decor)})
        column->Add(box, 0, wxEXPAND | wxALL, 2);
    SetSizer(column);
    FitToContent(this);

    // The switches run the same commands as the menu items 46..55.
    for (int i = 0; i < 10; ++i)
        Bind(
            wxEVT_CHECKBOX,
            [i](wxCommandEvent& event)
            {
                if (gFenetreTunnel)
                {
                    wxCommandEvent command(wxEVT_MENU, 46 + i);
                    command.SetInt(event.IsChecked() ? 1 : 0);
                    gFenetreTunnel->GetEventHandler()->ProcessEvent(command);
                }
            },
            SwitchIds[i]);
    Bind(
        wxEVT_BUTTON, [](wxCommandEvent&) { CentreView(); }, 1);
    Bind(wxEVT_BUTTON, &DialogVisualisation::OnMoveAxePoints, this, 7);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnStep(true); }, 9);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnStep(false); }, 10);
    Bind(wxEVT_BUTTON, &DialogVisualisation::OnPlaceTete, this, 15);
    Bind(
        wxEVT_BUTTON,
        [](wxCommandEvent&)
        {
            wxCommandEvent command(wxEVT_MENU, 57);
            if (gFenetreTunnel)
                gFenetreTunnel->GetEventHandler()->ProcessEvent(command);
        },
        16);
    Bind(
        wxEVT_BUTTON, [](wxCommandEvent&) { AddDecor(); }, 17);
}

void DialogVisualisation::SetVolumeLabel(double volume)
{
    const std::string text = ShownResult(volume, DefaultText(volume));
    mVolumeLabel->SetLabel(wxString::FromUTF8(volume == FailedResult ? text : text + " m3"));
}

void DialogVisualisation::SetGraduationLabel(double step)
{
    mGraduationLabel->SetLabel(wxString::FromUTF8(step >= 1e-5 ? "Graduation : " + DefaultText(step)
                                                               : std::string("Pas de graduation")));
    FitToContent(this);
}

wxCheckBox* DialogVisualisation::GetSwitch(int menuId) const
{
    return menuId >= 46 && menuId <= 55 ? mSwitches[menuId - 46] : nullptr;
}

void DialogVisualisation::ShowSwitch(int menuId, bool on)
{
    if (wxCheckBox* box = GetSwitch(menuId))
        box->SetValue(on);
}

void DialogVisualisation::CentreView()
{
    LumoraDevice* device = gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
    if (!device)
        return;
    device->GetCamera()->SetTarget((gProjet.Limite1.x + gProjet.Limite2.x) / 2.0,
                                   (gProjet.Limite1.y + gProjet.Limite2.y) / 2.0,
                                   (gProjet.NiveauBas + gProjet.NiveauHaut) / 2.0);
    RefreshDisplay();
}

void DialogVisualisation::OnMoveAxePoints(wxCommandEvent&)
{
    LumoraDevice* device = gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
    if (!device)
        return;
    gProjet.CameraPosition = device->GetCamera()->GetPosition();
    gProjet.CameraTarget = device->GetCamera()->GetTarget();
    gSelectedAxePoint = -1;
    EndCurrentTool();
    device->SetCustomEventsManager(OnAxePoints3DEvent);
    gToolPointAction = nullptr;
    gOverlayDrawer = DrawAxePoints3DOverlay;
    if (gProjet.GetAxe().Type == 0)
        device->SetGizmo(new LumGizmo(device, 7, gProjet.GetAxe().Origine));
    RefreshDisplay();
}

void DialogVisualisation::OnPlaceTete(wxCommandEvent&)
{
    LumoraDevice* device = gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
    if (!device)
        return;
    gProjet.CameraPosition = device->GetCamera()->GetPosition();
    gProjet.CameraTarget = device->GetCamera()->GetTarget();
    EndCurrentTool();
    gPlacementDrawer = DrawTeteAtPlacement;
    {
        Dialog3D dialog(gFenetreTunnel, "Placement de la tête", 3);
        dialog.ShowModal();
        RefreshDisplay();
    }
}

bool DialogVisualisation::ReadHeadStep(const std::string& text, double echelle, double& sceneStep)
{
    std::istringstream in(WithDecimalPoints(text));
    in.imbue(std::locale::classic());
    double prefix = 0.0;
    if (!(in >> prefix))
        return false;
    sceneStep = TypedNumber(text) * 100.0 / echelle;
    return std::isfinite(sceneStep);
}

void DialogVisualisation::OnStep(bool forward)
{
    double step = 0.0;
    if (!ReadHeadStep(mStep->GetValue().ToStdString(wxConvUTF8), gProjet.Echelle, step))
    {
        ShowNonFiniteValuesMessage();
        return;
    }
    // The axis turns the move round for an inverted head, records it only
    // when the head moved, and moves nothing without a placed head.
    gProjet.GetAxe().MoveHead(forward ? step : -step, true);
    RefreshDisplay();
}

void DialogVisualisation::AddDecor()
{
    SaveModeCamera();
    EndCurrentTool();
    ModelUi::FileRequest request;
    request.Title = "Sélectionnez un maillage";
    request.Wildcard = "Mesh files (*.dxf,*.obj) |*.dxf;*.obj";
    const std::string path = GetModelUi().AskFilePath(request);
    if (path.empty())
        return;
    gProjet.LoadDecor(path);
    RefreshDisplay();
}
