#include "DialogCarottage.h"

#include "Couche.h"
#include "FenetreTunnel.h"
#include "FrameKeys.h"
#include "ImageSondage.h"
#include "KorNumbers.h"
#include "ModelUi.h"
#include "PointSondage.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "Sondage.h"
#include "TypedValues.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/panel.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <algorithm>
#include <cmath>

namespace
{
constexpr int IdValider = 1002;
constexpr int IdLayerBox = 1003;
constexpr int IdDepth = 1004;

// The dialogs opened by "Modifier le sondage", still on screen.
std::vector<DialogCarottage*> gOpenDialogs;

std::string Utf8(const wxString& text)
{
    return std::string(text.ToUTF8());
}

wxString Fixed(double value)
{
    return wxString::FromUTF8(KorFormatFixed(value, 3));
}

void Refuse(const std::string& text)
{
    GetModelUi().MessageBox(text, "Erreur", ModelUi::Buttons::Ok, 0);
}

// The field's number; false, after telling the user, when it is not finite.
bool Read(const wxTextCtrl* field, double& value)
{
    return ReadFiniteValue(Utf8(field->GetValue()), value);
}
} // namespace

DialogCarottage::DialogCarottage(const LumPoint& point)
    : wxDialog(gFenetreTunnel, 17, "Sondage", wxDefaultPosition, wxSize(400, 400),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER, "Sondage")
{
    ForwardFrameKeys(this);
    const int n = gProjet.GetNumberOfCouches();
    mLayerNames = gProjet.GetCoucheNames();
    auto* main = new wxBoxSizer(wxHORIZONTAL);

    auto* scrolled = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                          wxHSCROLL | wxVSCROLL | wxTAB_TRAVERSAL);
    scrolled->SetScrollRate(10, 10);
    auto* grid = new wxFlexGridSizer(n + 8, 2, 3, 3);
    const wxTextValidator numeric(wxFILTER_NUMERIC);
    auto label = [&](const char* text) {
        grid->Add(new wxStaticText(scrolled, wxID_ANY, wxString::FromUTF8(text)), 0, wxALIGN_CENTER_VERTICAL,
                  0);
    };
    auto field = [&](int id, const wxString& text, long style, bool isNumeric)
    {
        auto* f = new wxTextCtrl(scrolled, id, text, wxDefaultPosition, wxSize(75, 20), style,
                                 isNumeric ? numeric : wxDefaultValidator);
        grid->Add(f, 0, wxALIGN_CENTER_VERTICAL, 0);
        return f;
    };
    label("Nom");
    mName = field(wxID_ANY, "", wxTE_CENTRE, false);
    label("X");
    mX = field(wxID_ANY, Fixed(point.x), wxTE_RIGHT, true);
    label("Y");
    mY = field(wxID_ANY, Fixed(point.y), wxTE_RIGHT, true);
    label("Z");
    mZ = field(wxID_ANY, Fixed(point.z), wxTE_RIGHT, true);
    label("Azimut");
    mAzimut = field(wxID_ANY, "0", wxTE_RIGHT, true);
    label("Pendage");
    mPendage = field(wxID_ANY, "90", wxTE_RIGHT, true);
    label("");
    grid->Add(new wxStaticText(scrolled, wxID_ANY, "Profondeurs"), 0, wxALIGN_CENTER_VERTICAL | wxTOP, 5);
    label("Profondeur du forage");
    mDepth = field(IdDepth, "100", wxTE_RIGHT, true);
    for (int k = 0; k < n; ++k)
    {
        const Couche* couche = gProjet.GetCouche(k);
        if (!couche)
            continue;
        auto* box = new wxCheckBox(scrolled, IdLayerBox, wxString::FromUTF8(couche->Nom));
        grid->Add(box, 0, wxALIGN_CENTER_VERTICAL, 0);
        wxTextCtrl* depth = field(IdDepth, "0", wxTE_RIGHT, true);
        // The top layer is the head's own; a layer that cannot be edited
        // takes no point.
        if (k == 0 || !couche->Editable)
        {
            box->SetValue(couche->Editable);
            box->Enable(false);
            depth->Enable(false);
        }
        mBoxes.push_back(box);
        mDepths.push_back(depth);
    }
    scrolled->SetSizer(grid);
    main->Add(scrolled, 1, wxEXPAND | wxALL, 5);

    auto* right = new wxBoxSizer(wxVERTICAL);
    mFictif = new wxCheckBox(this, wxID_ANY, "Sondage fictif");
    right->Add(mFictif, 0, wxLEFT | wxRIGHT | wxTOP, 5);
    auto* panel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(130, 10), wxSUNKEN_BORDER);
    panel->SetBackgroundColour(wxColour(255, 255, 255));
    panel->SetMaxSize(wxSize(130, 1000));
    right->Add(panel, 1, wxLEFT | wxRIGHT | wxTOP, 5);
    mValider = new wxButton(this, IdValider, "Valider");
    right->Add(mValider, 0, wxEXPAND | wxALL, 5);
    main->Add(right, 0, wxEXPAND | wxALL, 5);
    SetSizer(main);
    mPicture = new ImageSondage(panel, this);

    Bind(wxEVT_CHECKBOX, &DialogCarottage::OnValueChanged, this, IdLayerBox);
    Bind(wxEVT_TEXT, &DialogCarottage::OnValueChanged, this, IdDepth);
    Bind(wxEVT_BUTTON, &DialogCarottage::OnValider, this, IdValider);
    Bind(wxEVT_SIZE, &DialogCarottage::OnSize, this);
    Bind(wxEVT_CLOSE_WINDOW, &DialogCarottage::OnClose, this);
}

DialogCarottage::~DialogCarottage()
{
    gOpenDialogs.erase(std::remove(gOpenDialogs.begin(), gOpenDialogs.end(), this), gOpenDialogs.end());
}

wxTextCtrl* DialogCarottage::GetField(int row) const
{
    wxTextCtrl* const fields[] = {mName, mX, mY, mZ, mAzimut, mPendage, mDepth};
    return row >= 0 && row < 7 ? fields[row] : nullptr;
}

void DialogCarottage::DestroyOpenDialogs()
{
    // Destroy takes the dialog out of the list.
    const std::vector<DialogCarottage*> open = gOpenDialogs;
    for (DialogCarottage* dialog : open)
        dialog->Destroy();
    gOpenDialogs.clear();
}

void DialogCarottage::LoadSondage(Sondage* sondage)
{
    mModification = true;
    mFormerName = sondage->Nom;
    mName->SetValue(wxString::FromUTF8(sondage->Nom));
    mFictif->SetValue(false);
    mFictif->Enable(false);
    const LumPoint head = sondage->GetPosition();
    mX->SetValue(Fixed(head.x));
    mY->SetValue(Fixed(head.y));
    mZ->SetValue(Fixed(head.z));
    mAzimut->SetValue(Fixed(sondage->Azimut));
    mPendage->SetValue(Fixed(sondage->Pendage));
    mDepth->SetValue(Fixed(sondage->Profondeur));
    for (size_t k = 1; k < mBoxes.size(); ++k)
    {
        const PointSondage* point = sondage->GetPointSondage(Utf8(mBoxes[k]->GetLabel()));
        mBoxes[k]->SetValue(point != nullptr);
        mDepths[k]->SetValue(point ? Fixed(point->Profondeur) : wxString("0"));
        const Couche* couche = gProjet.GetCouche(static_cast<int>(k));
        if (couche && !couche->Editable)
        {
            mBoxes[k]->SetValue(false);
            mBoxes[k]->Enable(false);
        }
    }
    // Opened modeless: the project's New, Open and Close must find it.
    if (std::find(gOpenDialogs.begin(), gOpenDialogs.end(), this) == gOpenDialogs.end())
        gOpenDialogs.push_back(this);
    mPicture->Refresh(true);
}

Sondage* DialogCarottage::BuildSondage()
{
    const bool fictif = mFictif->GetValue();
    const std::string name = Utf8(mName->GetValue());
    if (name.empty())
    {
        Refuse("Veuillez entrer un nom pour le sondage");
        return nullptr;
    }
    double a = 0, p = 0, D = 0;
    if (!Read(mAzimut, a))
        return nullptr;
    if (a < -1e-5 || a > 360.00001)
    {
        Refuse("L'azimut doit être compris entre 0 et 360°");
        return nullptr;
    }
    if (!Read(mPendage, p))
        return nullptr;
    if (p < -1e-5 || p > 90.00001)
    {
        Refuse("Le pendage doit être compris entre 0 et 90°");
        return nullptr;
    }
    if (!Read(mDepth, D))
        return nullptr;
    if (D <= 0)
    {
        Refuse("La profondeur du sondage doit être positive");
        return nullptr;
    }
    double x = 0, y = 0, z = 0;
    if (!Read(mX, x) || !Read(mY, y) || !Read(mZ, z))
        return nullptr;
    Couche* top = gProjet.GetCouche(0);
    if (!top)
        return nullptr;
    // The head lies on the top layer, whatever Z says.
    const LumPoint scene = WorldToScene(gProjet, LumPoint(x, y, z));
    double altitude = 0.0;
    if (!top->GetAltitude(scene.x, scene.y, altitude))
    {
        Refuse("Le point se situe en dehors des limites du modèle de terrain");
        return nullptr;
    }
    const LumPoint head = SceneToWorld(gProjet, LumPoint(scene.x, scene.y, altitude));
    auto* sondage = new Sondage(name, head, fictif);
    sondage->Azimut = a;
    sondage->Pendage = p;
    sondage->Profondeur = D;
    double running = 0.0;
    for (size_t k = 0; k < mBoxes.size(); ++k)
    {
        if (!mBoxes[k]->GetValue())
            continue;
        double d = 0.0;
        const char* refusal = nullptr;
        if (!Read(mDepths[k], d))
        {
            delete sondage;
            return nullptr;
        }
        if (d > D)
            refusal = "Une couche a une profondeur supérieure à la profondeur du sondage";
        else if (d < running)
            refusal =
                "Vérifiez les profondeurs de couches : l'une d'elle est au-dessus de sa couche supérieure";
        if (refusal)
        {
            Refuse(refusal);
            delete sondage;
            return nullptr;
        }
        sondage->SetPointSondage(Utf8(mBoxes[k]->GetLabel()), d);
        running = d;
    }
    return sondage;
}

bool DialogCarottage::LayersUnchanged() const
{
    if (gProjet.GetCoucheNames() == mLayerNames)
        return true;
    Refuse("La liste des couches a changé depuis l'ouverture de ce dialogue : veuillez le fermer et le "
           "rouvrir.");
    return false;
}

void DialogCarottage::OnValider(wxCommandEvent&)
{
    if (gProjet.GetNumberOfCouches() == 0 || !LayersUnchanged())
        return;
    if (mModification)
        ValiderModification();
    else
        ValiderCreation();
}

void DialogCarottage::ValiderCreation()
{
    Sondage* sondage = BuildSondage();
    if (!sondage)
        return;
    if (!gProjet.CheckSondage(sondage))
    {
        delete sondage;
        return;
    }
    // A fictitious borehole only leaves free points in the layers.
    gProjet.SetSondage(sondage, -1, true, false);
    if (sondage->Fictif)
        delete sondage;
    Finish(wxID_OK);
}

void DialogCarottage::ValiderModification()
{
    Sondage* sondage = BuildSondage();
    if (!sondage)
        return;
    // A refusal has shown its message and left the old borehole as it was.
    if (gProjet.ChangeSondage(mFormerName, sondage))
        Finish(wxID_OK);
}

void DialogCarottage::Finish(int code)
{
    // A modal dialog lives on until its opener returns from ShowModal.
    if (IsModal())
        EndModal(code);
    else
        Destroy();
}

void DialogCarottage::OnClose(wxCloseEvent&)
{
    Finish(wxID_CANCEL);
}

void DialogCarottage::OnValueChanged(wxCommandEvent&)
{
    if (mPicture)
        mPicture->Refresh(true);
}

void DialogCarottage::OnSize(wxSizeEvent&)
{
    Layout();
    if (mPicture)
        mPicture->Refresh(true);
}
