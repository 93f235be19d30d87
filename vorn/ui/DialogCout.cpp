#include "DialogCout.h"

#include "CostVariables.h"
#include "Couche.h"
#include "DialogCourbes.h"
#include "DialogResultats.h"
#include "FenetreTunnel.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "ResultatsOVX.h"
#include "StartupPaths.h"
#include "TeteTranchee.h"
#include "WindowFit.h"

#include <wx/dcbuffer.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace
{
constexpr int IdExpression = 1;
} // namespace

DialogCout::DialogCout()
    : wxDialog(nullptr, wxID_ANY, wxString::FromUTF8("Définition de la fonction de coût"), wxDefaultPosition,
               wxSize(400, 450), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "DialogCout")
{
    // The background is painted with the picture.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    auto* column = new wxBoxSizer(wxVERTICAL);
    mExpression = new wxTextCtrl(this, IdExpression, wxString::FromUTF8(gProjet.EquationCout));
    column->Add(mExpression, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);
    // The top border leaves room for the picture painted above the text.
    mFirstHelp = new wxStaticText(this, wxID_ANY, wxString::FromUTF8("   Faites suivre les variables de : "));
    column->Add(mFirstHelp, 0, wxTOP, 280);
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
    {
        const Couche* layer = gProjet.GetCouche(i);
        const std::string line =
            "     [" + std::to_string(i) + "] pour " + (layer ? layer->Nom : std::string());
        column->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(line)), 0, wxTOP, 2);
    }
    if (const Couche* first = gProjet.GetNumberOfCouches() > 0 ? gProjet.GetCouche(0) : nullptr)
    {
        const std::string example =
            "   Par exemple, S[0] est la surface prise par la tête de tranchée sur la couche " + first->Nom;
        column->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(example)), 0, wxTOP, 10);
    }
    SetSizer(column);
    FitToContent(this);

    mPicture.LoadFile(wxString::FromUTF8(GetPicturePath(GetModelUi().GetTete())), wxBITMAP_TYPE_BMP);
    Bind(wxEVT_CLOSE_WINDOW, &DialogCout::OnClose, this);
    Bind(wxEVT_PAINT, &DialogCout::OnPaint, this);
}

void DialogCout::ShowModalDialog()
{
    DialogCout dialog;
    dialog.ShowModal();
}

std::string DialogCout::GetPicturePath(const TeteTranchee& head)
{
    const char* name = !head.DoubleEntree      ? "/Icons/Variables1.bmp"
                       : head.CoteAvance == 45 ? "/Icons/Variables2.bmp"
                                               : "/Icons/Variables3.bmp";
    return ApplicationPath(name);
}

bool DialogCout::Validate()
{
    const std::string text = mExpression->GetValue().ToUTF8().data();
    const std::string error = StoreCostExpression(text, GetModelUi().GetTete());
    if (!error.empty())
    {
        GetModelUi().MessageBox(error, "Message", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
        return false;
    }
    // The series' costs follow the new function.
    gProjet.GetResultats().EvaluateCosts();
    if (gFenetreTunnel)
    {
        if (DialogResultats* results = gFenetreTunnel->GetResultsDialog())
            results->BuildGrid();
        if (DialogCourbes* curves = gFenetreTunnel->GetCurvesDialog())
            curves->RefreshCurves();
    }
    return true;
}

void DialogCout::OnClose(wxCloseEvent& event)
{
    if (!Validate())
    {
        if (event.CanVeto())
            event.Veto();
        return;
    }
    if (IsModal())
        EndModal(wxID_OK);
    else
        Destroy();
}

void DialogCout::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(mFirstHelp->GetBackgroundColour(), wxBRUSHSTYLE_SOLID));
    dc.Clear();
    if (mPicture.IsOk())
        dc.DrawBitmap(mPicture, 10, 50);
}
