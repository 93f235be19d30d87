#include "DialogPointsCoupe.h"

#include "Couche.h"
#include "Coupe.h"
#include "CoupeTerrain.h"
#include "FenetreTunnel.h"
#include "FrameKeys.h"
#include "ImageCoupe.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace
{
constexpr int IdLayer = 1, IdReferences = 2, IdScale = 3, IdValidate = 4;

// The dialogs opened by "Modifier la coupe", still on screen.
std::vector<DialogPointsCoupe*> gOpenDialogs;

void Refuse(const std::string& text)
{
    GetModelUi().MessageBox(text, "Erreur");
}

wxString TwoDecimals(float value)
{
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(2);
    out << value;
    return wxString::FromUTF8(out.str());
}
} // namespace

DialogPointsCoupe::DialogPointsCoupe(const std::string& imagePath, const LumPoint& first,
                                     const LumPoint& second)
    : wxDialog(gFenetreTunnel, 18, wxString::FromUTF8("Création de points depuis une coupe"),
               wxPoint(300, 300), wxSize(500, 300),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER),
      mFirst(first), mSecond(second)
{
    ForwardFrameKeys(this);
    mLayerNames = gProjet.GetCoucheNames();
    mLayerChoice = new wxComboBox(this, IdLayer, "", wxDefaultPosition, wxDefaultSize, 0, nullptr, 0);
    mLayerChoice->Append("");
    // Entry i is project layer i: the first layer that cannot be edited
    // ends the list.
    for (int i = 1; i < gProjet.GetNumberOfCouches(); ++i)
    {
        const Couche* couche = gProjet.GetCouche(i);
        if (!couche->Editable)
            break;
        mLayerChoice->Append(wxString::FromUTF8(couche->Nom));
    }
    mReferences = new wxButton(this, IdReferences, wxString::FromUTF8("Placer les\nréférences"));
    mScale = new wxButton(this, IdScale, wxString::FromUTF8("Changer l'échelle\nverticale"));
    mValidate = new wxButton(this, IdValidate, "Valider");
    mWidthValue = new wxStaticText(this, wxID_ANY, "");
    mHeightValue = new wxStaticText(this, wxID_ANY, "");
    mName = new wxTextCtrl(this, wxID_ANY, "");
    mFictive = new wxCheckBox(this, wxID_ANY, "Coupe fictive");

    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(mLayerChoice, 0, wxEXPAND);
    left->Add(mReferences, 0, wxEXPAND | wxTOP, 5);
    left->Add(mScale, 0, wxEXPAND | wxTOP, 5);
    left->Add(mValidate, 0, wxEXPAND | wxTOP, 5);
    left->Add(new wxStaticText(this, wxID_ANY, "Largeur de l'image:"), 0, wxTOP, 15);
    left->Add(mWidthValue, 0, wxTOP, 5);
    left->Add(new wxStaticText(this, wxID_ANY, "Hauteur de l'image:"), 0, wxTOP, 5);
    left->Add(mHeightValue, 0, wxTOP, 5);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(new wxStaticText(this, wxID_ANY, "Nom de la coupe"), 0, wxALIGN_CENTER_VERTICAL);
    top->Add(mName, 1, wxLEFT, 5);
    top->Add(mFictive, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 10);
    mPanel = new ImageCoupe(this, first, second);
    auto* right = new wxBoxSizer(wxVERTICAL);
    right->Add(top, 0, wxEXPAND);
    right->Add(mPanel, 1, wxEXPAND | wxTOP, 5);
    auto* main = new wxBoxSizer(wxHORIZONTAL);
    main->Add(left, 0, wxTOP | wxLEFT, 5);
    main->Add(right, 1, wxEXPAND | wxALL, 5);
    SetSizer(main);
    Layout();

    Bind(wxEVT_BUTTON, &DialogPointsCoupe::OnPlaceReferences, this, IdReferences);
    Bind(wxEVT_BUTTON, &DialogPointsCoupe::OnChangeVerticalScale, this, IdScale);
    Bind(wxEVT_BUTTON, &DialogPointsCoupe::OnValidate, this, IdValidate);
    Bind(wxEVT_COMBOBOX, &DialogPointsCoupe::OnLayerSelected, this, IdLayer);
    Bind(wxEVT_CLOSE_WINDOW, &DialogPointsCoupe::OnClose, this);

    mImagePath = imagePath;
    if (mImagePath.empty())
    {
        ModelUi::FileRequest request;
        request.Title = "Sélectionnez une image de coupe";
        request.Wildcard = "Image files (*.bmp,*.jpg,*.png) |*.bmp;*.png;*.jpg";
        mImagePath = GetModelUi().AskFilePath(request);
    }
    if (!mImagePath.empty())
        mPanel->LoadImage(mImagePath);
}

DialogPointsCoupe::~DialogPointsCoupe()
{
    gOpenDialogs.erase(std::remove(gOpenDialogs.begin(), gOpenDialogs.end(), this), gOpenDialogs.end());
    DropTerrainSection();
}

void DialogPointsCoupe::DropTerrainSection()
{
    // Out of the project's windows at once, not at the next idle time.
    if (CoupeTerrain* section = mTerrainSection.get())
    {
        gProjet.RemoveWindow(section);
        section->Destroy();
    }
    mTerrainSection = nullptr;
}

void DialogPointsCoupe::DestroyOpenDialogs()
{
    const std::vector<DialogPointsCoupe*> open = gOpenDialogs;
    for (DialogPointsCoupe* dialog : open)
        dialog->Destroy();
    gOpenDialogs.clear();
}

void DialogPointsCoupe::SetWidthLabel(const float& value)
{
    mWidthValue->SetLabel(TwoDecimals(value));
}

void DialogPointsCoupe::SetHeightLabel(const float& value)
{
    mHeightValue->SetLabel(TwoDecimals(value));
}

void DialogPointsCoupe::ShowTerrainSection()
{
    DropTerrainSection();
    if ((mFirst - mSecond).Norm() < 1e-5)
        return;
    SectionPlane plane;
    plane.First = mFirst;
    plane.Second = mSecond;
    // Never shown: the panel draws its profiles over the image.
    mTerrainSection = new CoupeTerrain(plane, "", false, false);
}

std::string DialogPointsCoupe::GetSectionName() const
{
    return std::string(mName->GetValue().ToUTF8());
}

std::string DialogPointsCoupe::GetSelectedLayer(int i) const
{
    if (i + 1 < static_cast<int>(mLayerChoice->GetCount()))
        return std::string(mLayerChoice->GetString(i + 1).ToUTF8());
    return "";
}

int DialogPointsCoupe::FindLayerIndex(const std::string& name) const
{
    for (unsigned int i = 0; i < mLayerChoice->GetCount(); ++i)
        if (std::string(mLayerChoice->GetString(i).ToUTF8()) == name)
            return static_cast<int>(i);
    return -1;
}

Coupe* DialogPointsCoupe::BuildCoupe() const
{
    auto* coupe = new Coupe(GetSectionName(), mFirst, mSecond);
    coupe->Fictive = mFictive->GetValue();
    coupe->EchelleVerticale = mPanel->VerticalScale;
    if (coupe->EchelleVerticale < 0)
    {
        const LumPoint w1 = SceneToWorld(gProjet, mFirst), w2 = SceneToWorld(gProjet, mSecond);
        const float distance = static_cast<float>(std::hypot(w1.x - w2.x, w1.y - w2.y));
        coupe->EchelleVerticale = mPanel->GetImageProportion() * distance;
    }
    coupe->Image = mPanel->ImagePath;
    coupe->Ref1 = mPanel->Ref1;
    coupe->Ref2 = mPanel->Ref2;
    const int entries = static_cast<int>(mLayerChoice->GetCount());
    for (int i = 0; i < entries; ++i)
    {
        coupe->Couches.push_back(GetSelectedLayer(i));
        coupe->Coordinates.push_back(i + 1 < static_cast<int>(mPanel->Lists.size())
                                         ? mPanel->Lists[i + 1]
                                         : std::vector<CoupeCoord>());
    }
    for (const auto& [name, list] : mKeptLists)
    {
        coupe->Couches.push_back(name);
        coupe->Coordinates.push_back(list);
    }
    return coupe;
}

void DialogPointsCoupe::FillFromCoupe(Coupe* coupe)
{
    mModification = true;
    mFormerName = coupe->Nom;
    mName->SetValue(wxString::FromUTF8(coupe->Nom));
    mFictive->SetValue(false);
    mFictive->Enable(false);
    mPanel->SetReferences(coupe->Ref1.X, coupe->Ref1.Y, coupe->Ref2.X, coupe->Ref2.Y);
    mPanel->VerticalScale = coupe->EchelleVerticale;
    SetHeightLabel(static_cast<float>(coupe->EchelleVerticale));
    ShowTerrainSection();
    mKeptLists.clear();
    for (int k = 0; k < coupe->GetNumberOfCouches(); ++k)
    {
        const std::string name = coupe->GetCoucheName(k);
        if (k >= static_cast<int>(coupe->Coordinates.size()))
            break;
        const int e = name.empty() ? -1 : FindLayerIndex(name);
        if (e >= 0 && e < static_cast<int>(mPanel->Lists.size()))
        {
            std::vector<CoupeCoord>& list = mPanel->Lists[e];
            list.insert(list.end(), coupe->Coordinates[k].begin(), coupe->Coordinates[k].end());
        }
        else if (!name.empty() && !coupe->Coordinates[k].empty())
            mKeptLists.emplace_back(name, coupe->Coordinates[k]);
    }
    if (std::find(gOpenDialogs.begin(), gOpenDialogs.end(), this) == gOpenDialogs.end())
        gOpenDialogs.push_back(this);
}

void DialogPointsCoupe::OnPlaceReferences(wxCommandEvent&)
{
    gImageCoupeClickState = 0;
    mPanel->SetMode(1);
}

void DialogPointsCoupe::OnChangeVerticalScale(wxCommandEvent&)
{
    gImageCoupeClickState = 0;
    mPanel->SetMode(2);
}

void DialogPointsCoupe::OnLayerSelected(wxCommandEvent&)
{
    mPanel->CurrentList = mLayerChoice->GetSelection();
    mPanel->SelectedPoint = -1;
    mPanel->Refresh();
}

void DialogPointsCoupe::OnValidate(wxCommandEvent&)
{
    if (gProjet.GetCoucheNames() != mLayerNames)
    {
        Refuse("La liste des couches a changé depuis l'ouverture de ce dialogue : veuillez le fermer et le "
               "rouvrir.");
        return;
    }
    if (GetSectionName().empty())
    {
        Refuse("Veuillez entrer un nom pour la coupe");
        return;
    }
    if (!mPanel->ImageLoaded)
    {
        Refuse("L'image n'est pas chargée correctement");
        return;
    }
    if (!mPanel->ReferencesPlaced)
    {
        Refuse("Vous devez placer les points de référence de la coupe");
        return;
    }
    size_t points = 0;
    for (int i = 0;
         i < static_cast<int>(mLayerChoice->GetCount()) && i < static_cast<int>(mPanel->Lists.size()); ++i)
        points += mPanel->Lists[i].size();
    if (points == 0)
    {
        Refuse("Vous devez créer au moins 1 point");
        return;
    }
    Coupe* coupe = BuildCoupe();
    if (mModification)
        ValidateModification(coupe);
    else
        ValidateNew(coupe);
}

void DialogPointsCoupe::ValidateNew(Coupe* coupe)
{
    if (!gProjet.CheckCoupe(coupe, "Certains points créent des intersections de couches"))
    {
        delete coupe;
        return;
    }
    // A fictive section only leaves free points in the layers.
    gProjet.SetCoupe(coupe, -1, false, true);
    if (coupe->Fictive)
        delete coupe;
    Finish(wxID_OK);
}

void DialogPointsCoupe::ValidateModification(Coupe* coupe)
{
    if (!gProjet.GetCoupe(mFormerName))
    {
        delete coupe;
        return;
    }
    if (!gProjet.ChangeCoupe(mFormerName, coupe,
                             "Un point ajouté croise une couche voisine : Modification impossible"))
        return;
    Finish(wxID_OK);
}

void DialogPointsCoupe::OnClose(wxCloseEvent&)
{
    // A relocated image is kept even when nothing else is applied.
    if (Coupe* coupe = mFormerName.empty() ? nullptr : gProjet.GetCoupe(mFormerName))
        if (coupe->Image != mPanel->ImagePath)
        {
            coupe->Image = mPanel->ImagePath;
            gProjet.MarkModified();
        }
    Finish(wxID_CANCEL);
}

void DialogPointsCoupe::Finish(int code)
{
    // A modal dialog lives on until its opener returns from ShowModal.
    if (IsModal())
        EndModal(code);
    else
        Destroy();
}
