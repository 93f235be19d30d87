#include "DialogDiscontinuite.h"

#include "ChampTexte.h"
#include "Discontinuite.h"
#include "Discontinuite3D.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "FrameKeys.h"
#include "GL_Window.h"
#include "InterfaceModes.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "OVXUndoManager.h"
#include "PanelPrincipal.h"
#include "ProjetOVX.h"
#include "StartupPaths.h"
#include "TypedValues.h"
#include "WindowFit.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>
#include <wx/valtext.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>

namespace
{
// The one editor (the frame's), for the plain callbacks.
DialogDiscontinuite* sDialog = nullptr;
// The family whose reference point the tool moves, and its point before
// the drag in progress.
std::string sReferenceFamily;
LumPoint sRememberedOrigin;

wxString U(const std::string& text)
{
    return wxString::FromUTF8(text);
}

// As a default output stream writes it, six significant digits.
std::string DefaultText(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

LumoraDevice* MainDevice()
{
    return gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
}

void StoreMainCamera()
{
    LumoraDevice* device = MainDevice();
    if (!device)
        return;
    gProjet.CameraPosition = device->GetCamera()->GetPosition();
    gProjet.CameraTarget = device->GetCamera()->GetTarget();
}

void OnFieldEdited(ChampTexte*)
{
    if (sDialog)
        sDialog->ApplyFields();
}
// The preview and the family's surfaces work in single precision: a value
// beyond its range would make them infinite.
constexpr double kLargestValue = std::numeric_limits<float>::max();

float Narrowed(double value)
{
    return static_cast<float>(std::clamp(value, -kLargestValue, kLargestValue));
}
} // namespace

DialogDiscontinuite::DialogDiscontinuite(wxWindow* parent)
    : wxDialog(parent, 19, U("Discontinuités"), wxPoint(300, 300), wxSize(240, 440), wxDEFAULT_DIALOG_STYLE,
               "DialogDiscontinuite"),
      mCube(std::make_unique<Discontinuite3D>())
{
    sDialog = this;
    mCube->AddTrace("");

    mFamilies = new wxComboBox(this, 1, "", wxDefaultPosition, wxSize(160, 20), 0, nullptr, wxCB_READONLY);
    // Borderless: the toolkit's button frame leaves no room for the sign at
    // this size.
    auto* add = new wxButton(this, 2, "+", wxDefaultPosition, wxSize(20, 20), wxBU_EXACTFIT | wxBORDER_NONE);
    add->SetToolTip(U("Ajouter une famille de discontinuités"));
    auto* remove =
        new wxButton(this, 3, "-", wxDefaultPosition, wxSize(20, 20), wxBU_EXACTFIT | wxBORDER_NONE);
    remove->SetToolTip(U("Supprimer une famille de discontinuités"));
    const char* names[4] = {"Azimut", "Pendage", "Espace", "EcartType"};
    for (int i = 0; i < 4; ++i)
        mFields[i] = new ChampTexte(this, 4 + i, "0", wxDefaultPosition, wxSize(40, 20), wxTE_RIGHT,
                                    wxTextValidator(wxFILTER_NUMERIC), names[i], OnFieldEdited, nullptr);
    mShowPlane = new wxCheckBox(this, 8, U("Afficher le plan de référence"), wxDefaultPosition, wxDefaultSize,
                                wxALIGN_RIGHT);
    wxBitmap picture(U(ApplicationPath("/Icons/DeplacePlan.gif")), wxBITMAP_TYPE_GIF);
    if (!picture.IsOk())
        picture = wxBitmap(32, 32);
    auto* move = new wxBitmapButton(this, 9, picture, wxDefaultPosition, wxSize(32, 32));
    move->SetToolTip(U("Déplacement du point de référence du plan"));
    mPreview = new GL_Window(this, 10, wxDefaultPosition, wxSize(200, 200), wxSUNKEN_BORDER, "GLCanvas");
    mCubeLabel = new wxStaticText(this, wxID_ANY, CubeLabel(10.0));

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, wxID_ANY, U("Discontinuité")), 0, wxLEFT | wxTOP, 10);
    auto* familyRow = new wxBoxSizer(wxHORIZONTAL);
    familyRow->Add(mFamilies, 0, wxLEFT, 10);
    familyRow->Add(add, 0, wxLEFT, 5);
    familyRow->Add(remove, 0, wxLEFT, 3);
    column->Add(familyRow, 0, wxTOP | wxBOTTOM, 3);
    const char* labels[4] = {"Azimut            ", "Pendage  ", "Espac. moyen", "Ecart type"};
    for (int row = 0; row < 2; ++row)
    {
        auto* sizer = new wxBoxSizer(wxHORIZONTAL);
        for (int i = 2 * row; i < 2 * row + 2; ++i)
        {
            sizer->Add(new wxStaticText(this, wxID_ANY, labels[i]), 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 10);
            sizer->Add(mFields[i], 0, wxLEFT, 3);
        }
        column->Add(sizer, 0, wxTOP, 10);
    }
    auto* planeRow = new wxBoxSizer(wxHORIZONTAL);
    planeRow->Add(mShowPlane, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 10);
    planeRow->Add(move, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 20);
    column->Add(planeRow, 0, wxTOP, 15);
    column->Add(mPreview, 0, wxALIGN_CENTER_HORIZONTAL | wxTOP, 20);
    column->Add(mCubeLabel, 0, wxLEFT | wxTOP, 10);
    SetSizer(column);
    // Never narrower than its rows: with the toolkit's fonts the given
    // size would hide the dip and deviation fields.
    FitToContent(this);

    LumoraDevice* device = mPreview->getDevice();
    device->SetRefreshStyle(2);
    device->StartRendering();
    LumCamera* camera = device->GetCamera();
    camera->ChangeCameraMode(1);
    camera->SetTarget(0.0, 0.0, 0.0);
    camera->SetPosition(0.0, -30.0, 0.0);
    camera->SetZoomable(false);
    camera->SetMovable(false);
    device->SetDrawCallback(RenderCubePreview);

    ForwardFrameKeys(this);

    Bind(wxEVT_CLOSE_WINDOW,
         [this](wxCloseEvent&)
         {
             // Closing only hides it: the frame keeps it for the program's
             // life.
             Show(false);
             if (gFenetreTunnel && gFenetreTunnel->GetToolBar())
                 gFenetreTunnel->GetToolBar()->ToggleTool(FenetreTunnel::IdDiscontinuites, false);
         });
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddFamily(); }, 2);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnDeleteFamily(); }, 3);
    Bind(
        wxEVT_COMBOBOX, [this](wxCommandEvent&) { UpdateFromFamily(); }, 1);
    Bind(
        wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnShowPlane(); }, 8);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnMoveReferencePoint(); }, 9);
}

DialogDiscontinuite::~DialogDiscontinuite()
{
    if (sDialog == this)
        sDialog = nullptr;
}

double DialogDiscontinuite::CubeSize(double espace)
{
    const double size = Round(10.0 * espace, 0);
    // Written so that a size that is not a number gives the smallest cube;
    // a spacing read from a file may be past any cube the preview can show.
    return size > 1.0 ? std::min(size, kLargestValue) : 1.0;
}

std::string DialogDiscontinuite::CubeLabel(double size)
{
    const std::string c = DefaultText(size);
    return "Dimensions du cube : " + c + "x" + c + "x" + c;
}

Discontinuite* DialogDiscontinuite::GetSelectedFamily() const
{
    const std::string name = mFamilies->GetValue().ToUTF8().data();
    return name.empty() ? nullptr : gProjet.GetDiscontinuite(name);
}

void DialogDiscontinuite::WriteFields(const std::string& text)
{
    for (ChampTexte* field : mFields)
        field->ChangeValue(U(text));
}

void DialogDiscontinuite::Reset()
{
    mFamilies->Clear();
    mFamilies->SetValue("");
    WriteFields("0");
    mShowPlane->SetValue(false);
}

void DialogDiscontinuite::FillFamilyList()
{
    Reset();
    std::string first;
    for (int i = 0; i < gProjet.GetNumberOfDiscontinuites(); ++i)
        if (const Discontinuite* family = gProjet.GetDiscontinuite(i))
        {
            mFamilies->Append(U(family->Nom));
            if (first.empty())
                first = family->Nom;
        }
    if (mFamilies->GetCount() > 0)
        SelectFamily(first);
    else
        UpdateFromFamily();
    // The reference-point tool ends with its family.
    if (!sReferenceFamily.empty() && !gProjet.GetDiscontinuite(sReferenceFamily) && MainDevice() &&
        MainDevice()->GetCustomEventsManager() == OnReferencePointEvent)
    {
        StoreMainCamera();
        EndCurrentTool();
    }
}

void DialogDiscontinuite::SelectFamily(const std::string& name)
{
    for (unsigned i = 0; i < mFamilies->GetCount(); ++i)
        if (mFamilies->GetString(i).ToUTF8().data() == name)
        {
            mFamilies->SetSelection(static_cast<int>(i));
            UpdateFromFamily();
            return;
        }
}

void DialogDiscontinuite::UpdateFromFamily()
{
    const Discontinuite* family = GetSelectedFamily();
    mCube->ClearTrace("");
    mCube->Box.Define(LumPoint(-5, -5, -5), LumPoint(5, 5, 5));
    mCube->ComputeGeometry();
    if (!family)
    {
        mFamilies->SetValue("");
        WriteFields("0");
        mCubeSize = 10.0;
        mCubeLabel->SetLabel(U(CubeLabel(mCubeSize)));
    }
    else
    {
        const double values[4] = {family->Azimut, family->Pendage, family->Espace, family->EcartType};
        for (int i = 0; i < 4; ++i)
            mFields[i]->ChangeValue(U(DefaultText(values[i])));
        mShowPlane->SetValue(family->OrigineAffichee);
        mCube->DipDirection = Narrowed(family->Azimut);
        mCube->Dip = Narrowed(family->Pendage);
        mCube->Spacing = Narrowed(family->Espace);
        mCube->Spread = Narrowed(family->EcartType);
        mCubeSize = CubeSize(family->Espace);
        mCubeLabel->SetLabel(U(CubeLabel(mCubeSize)));
        const double c = mCubeSize, h = c / 2.0;
        mCube->Box.Define(LumPoint(-c, -c, -c), LumPoint(c, c, c));
        mCube->ComputeGeometry();
        const int k = mCube->FindTrace("");
        if (k >= 0)
        {
            const LumPoint p[8] = {LumPoint(-h, -h, -h), LumPoint(h, -h, -h), LumPoint(h, h, -h),
                                   LumPoint(-h, h, -h),  LumPoint(-h, -h, h), LumPoint(h, -h, h),
                                   LumPoint(h, h, h),    LumPoint(-h, h, h)};
            const int faces[6][4] = {{4, 5, 6, 7}, {1, 2, 6, 5}, {0, 3, 2, 1},
                                     {0, 4, 7, 3}, {3, 7, 6, 2}, {0, 1, 5, 4}};
            for (const auto& f : faces)
                mCube->ComputeFaceTraces(k, p[f[0]], p[f[1]], p[f[2]], p[f[3]]);
        }
    }
    LumCamera* camera = mPreview->getDevice()->GetCamera();
    LumPoint position = camera->GetPosition();
    Normalize(position);
    // Written so that a position that is not a number starts again from the
    // side the camera faces at first.
    if (!(position.Norm() > 0.5))
        position = LumPoint(0.0, -1.0, 0.0);
    camera->SetPosition(position * (3.0 * mCubeSize));
    mPreview->RenderFrame();
}

void DialogDiscontinuite::OnAddFamily()
{
    std::string name;
    ModelUi& ui = GetModelUi();
    if (!ui.AskText("Entrez le nom de la nouvelle discontinuité", "Choix du nom", name))
        return;
    const std::string refusal = Discontinuite::NameRefusal(name);
    if (name.empty())
        ui.MessageBox("Impossible de créer une discontinuité sans nom", "Erreur", ModelUi::Buttons::Ok,
                      ModelUi::BoxCentred);
    else if (!refusal.empty())
        ui.MessageBox(refusal, "Erreur", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
    else if (!gProjet.AddDiscontinuite(name, true, true))
        ui.MessageBox("Une discontinuité porte déjà ce nom", "Erreur", ModelUi::Buttons::Ok,
                      ModelUi::BoxCentred);
}

void DialogDiscontinuite::OnDeleteFamily()
{
    const std::string name = mFamilies->GetValue().ToUTF8().data();
    if (!name.empty())
        gProjet.DeleteDiscontinuite(name, true);
}

void DialogDiscontinuite::OnShowPlane()
{
    Discontinuite* family = GetSelectedFamily();
    if (!family)
        return;
    if (family->OrigineAffichee == mShowPlane->GetValue())
        return;
    family->OrigineAffichee = mShowPlane->GetValue();
    gProjet.MarkModified();
    RefreshDisplay();
}

void DialogDiscontinuite::ApplyFields()
{
    Discontinuite* family = GetSelectedFamily();
    if (!family)
        return;
    double values[4];
    for (int i = 0; i < 4; ++i)
    {
        values[i] = TypedNumber(std::string(mFields[i]->GetValue().ToUTF8().data()));
        if (!(std::fabs(values[i]) <= kLargestValue))
        {
            ShowNonFiniteValuesMessage();
            UpdateFromFamily();
            return;
        }
    }
    if (family->ApplyEdit(values[0], values[1], values[2], values[3], mShowPlane->GetValue()))
        UpdateFromFamily();
}

void DialogDiscontinuite::OnMoveReferencePoint()
{
    LumoraDevice* device = MainDevice();
    if (!device)
        return;
    if (gMode != 2)
    {
        GetModelUi().MessageBox("Vous devez être en mode Visualisation pour éditer le plan de référence",
                                "Information", ModelUi::Buttons::Ok, 0);
        return;
    }
    StoreMainCamera();
    mShowPlane->SetValue(true);
    OnShowPlane();
    sReferenceFamily = mFamilies->GetValue().ToUTF8().data();
    const Discontinuite* family = gProjet.GetDiscontinuite(sReferenceFamily);
    if (!family)
        return;
    EndCurrentTool();
    device->SetCustomEventsManager(OnReferencePointEvent);
    gToolPointAction = nullptr;
    gOverlayDrawer = DrawReferencePoint;
    sRememberedOrigin = family->Origine;
    device->SetGizmo(new LumGizmo(device, 7, family->Origine));
    RefreshDisplay();
}

bool DialogDiscontinuite::OnReferencePointEvent(const EventInfo& event)
{
    Discontinuite* family = gProjet.GetDiscontinuite(sReferenceFamily);
    if (!family)
    {
        StoreMainCamera();
        EndCurrentTool();
        return true;
    }
    if ((event.pressed && event.button == 3) || event.keyCode == 27)
    {
        StoreMainCamera();
        family->Origine = sRememberedOrigin;
        EndCurrentTool();
        return true;
    }
    if (gFenetreTunnel)
        gFenetreTunnel->GetCanvas()->SetFocus();
    LumoraDevice* device = MainDevice();
    LumGizmo* gizmo = device ? device->GetGizmo() : nullptr;
    if (!gizmo || !gizmo->IsInUse())
        return false;
    const LumPoint p = gizmo->GetStartPosition() + gizmo->GetTranslation();
    if (gizmo->IsReleased())
    {
        family->Origine = sRememberedOrigin;
        family->SetOrigine(p, true);
        sRememberedOrigin = p;
        RefreshDisplay();
        return true;
    }
    if (gizmo->IsMoving())
    {
        family->Origine = p;
        RefreshDisplay();
        return true;
    }
    return false;
}

void DialogDiscontinuite::DrawReferencePoint(LumoraDevice*)
{
    const Discontinuite* family = gProjet.GetDiscontinuite(sReferenceFamily);
    if (!family)
    {
        EndCurrentTool();
        return;
    }
    glPointSize(5.0f);
    glColor3f(1.0f, 1.0f, 0.0f);
    glBegin(GL_POINTS);
    glVertex3d(family->Origine.x, family->Origine.y, family->Origine.z);
    glEnd();
}

void DialogDiscontinuite::RenderCubePreview(LumoraDevice*)
{
    if (!sDialog)
        return;
    const double c = sDialog->mCubeSize;
    const float h = static_cast<float>(c / 2.0);
    // Unlit: the cube reads as one yellow, whatever the view.
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 0.0f);
    const float faces[6][4][3] = {
        {{-h, -h, h}, {h, -h, h}, {h, h, h}, {-h, h, h}},
        {{h, -h, -h}, {h, h, -h}, {h, h, h}, {h, -h, h}},
        {{-h, -h, -h}, {-h, h, -h}, {h, h, -h}, {h, -h, -h}},
        {{-h, -h, -h}, {-h, -h, h}, {-h, h, h}, {-h, h, -h}},
        {{-h, h, -h}, {-h, h, h}, {h, h, h}, {h, h, -h}},
        {{-h, -h, -h}, {h, -h, -h}, {h, -h, h}, {-h, -h, h}},
    };
    const float normals[6][3] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    glBegin(GL_QUADS);
    for (int f = 0; f < 6; ++f)
    {
        glNormal3fv(normals[f]);
        for (const auto& v : faces[f])
            glVertex3fv(v);
    }
    glEnd();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glScalef(1.01f, 1.01f, 1.01f);
    glColor3f(0.0f, 0.0f, 0.0f);
    sDialog->mCube->Render();
    glPopMatrix();
    glColor3f(1.0f, 0.0f, 0.0f);
    glPointSize(5.0f);
    glBegin(GL_POINTS);
    glVertex3f(0.0f, -h - 0.2f, 0.0f);
    glEnd();
}
