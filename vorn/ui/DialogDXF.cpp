#include "DialogDXF.h"

#include "Couche.h"
#include "DXFLeftOut.h"
#include "ElementRecorders.h"
#include "FenetreTunnel.h"
#include "FrameKeys.h"
#include "InterfaceModes.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"
#include "WindowFit.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>

#include <GL/gl.h>

#include <algorithm>

DialogDXF* gDialogDXF = nullptr;
int gPendingDXFCouche = -1;
int gPendingDXFPrevious = -1;

namespace
{
wxString CountText(const char* prefix, int count, const char* suffix)
{
    return wxString::FromUTF8(prefix + std::to_string(count) + suffix);
}
} // namespace

DialogDXF::DialogDXF(const std::string& path)
    : wxDialog(gFenetreTunnel, wxID_ANY, wxString::FromUTF8("Simplification du modèle"), wxDefaultPosition,
               wxSize(200, 160), wxCAPTION)
{
    ForwardFrameKeys(this);
    mImport.Read(path);
    const int count = mImport.CountRead();
    mSlider = new wxSlider(this, 1, 0, 0, 100, wxDefaultPosition, wxDefaultSize, wxSL_HORIZONTAL);
    mBefore = new wxStaticText(this, wxID_ANY, CountText("Avant simplification : ", count, "points"));
    mAfter = new wxStaticText(this, wxID_ANY, CountText("Après simplification : ", count, " points"));
    // What the layer takes beside its level lines, and what it does not
    // take, before the user validates.
    mLoose = new wxStaticText(
        this, wxID_ANY, CountText("Points isolés : ", static_cast<int>(mImport.GetPoints().size()), ""));
    const std::string leftOut = mImport.DescribeLeftOut();
    mLeftOut = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(LeftOutLine(leftOut)));
    mLeftOut->Wrap(320);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, 2, wxString::FromUTF8("Valider")), 0, wxALL, 2);
    buttons->Add(new wxButton(this, 3, wxString::FromUTF8("Annuler")), 0, wxALL, 2);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(mSlider, 0, wxEXPAND | wxALL, 4);
    column->Add(mBefore, 0, wxLEFT | wxRIGHT, 4);
    column->Add(mAfter, 0, wxLEFT | wxRIGHT, 4);
    column->Add(mLoose, 0, wxLEFT | wxRIGHT | wxTOP, 4);
    column->Add(mLeftOut, 0, wxLEFT | wxRIGHT, 4);
    column->Add(buttons, 0, wxALIGN_CENTER | wxALL, 4);
    SetSizer(column);
    FitToContent(this);

    Bind(wxEVT_SLIDER, &DialogDXF::OnSimplification, this, 1);
    Bind(wxEVT_BUTTON, &DialogDXF::OnValider, this, 2);
    Bind(wxEVT_BUTTON, &DialogDXF::OnAnnuler, this, 3);
    Bind(wxEVT_CLOSE_WINDOW, &DialogDXF::OnClose, this);
}

DialogDXF::~DialogDXF()
{
    if (gDialogDXF == this)
        gDialogDXF = nullptr;
}

void DialogDXF::SetSimplification(const int& value)
{
    const int s = std::clamp(value, 0, 100);
    mSlider->SetValue(s);
    wxCommandEvent event(wxEVT_SLIDER, 1);
    event.SetInt(s);
    OnSimplification(event);
}

bool DialogDXF::BuildLayer(int level, bool interactive)
{
    return mImport.BuildLayer(level, interactive);
}

void DialogDXF::OnSimplification(wxCommandEvent&)
{
    if (!mImport.Simplify(mSlider->GetValue()))
        return;
    mAfter->SetLabel(CountText("Après simplification : ", mImport.CountSimplified(), "points"));
    RefreshDisplay();
}

void DialogDXF::OnValider(wxCommandEvent&)
{
    // A second click queued before the destruction must not build again.
    if (mEnded)
        return;
    mEnded = true;
    const int level = gPendingDXFCouche;
    const bool withBoreholes = level == 0 && gProjet.GetNumberOfSondages() > 0;
    if (!BuildLayer(level, true))
        gProjet.DeleteCouche(level, gPendingDXFPrevious);
    else if (const Couche* couche = gProjet.GetCouche(level))
        RecordCoucheAdd(couche->Nom, level, 1, mImport.GetReader().FileName, mSlider->GetValue(), 0.0,
                        gPendingDXFPrevious, withBoreholes);
    gDialogDXF = nullptr;
    Destroy();
    EndCurrentTool();
}

void DialogDXF::OnAnnuler(wxCommandEvent&)
{
    if (mEnded)
        return;
    mEnded = true;
    gProjet.DeleteCouche(gPendingDXFCouche, gPendingDXFPrevious);
    gDialogDXF = nullptr;
    Destroy();
    EndCurrentTool();
}

void DialogDXF::OnClose(wxCloseEvent&)
{
    // A caption-only window can still be closed by the window manager: only
    // hiding it would leave the interface disabled and the hooks in place.
    wxCommandEvent event(wxEVT_BUTTON, 3);
    OnAnnuler(event);
}

void DrawDXFImportOverlay(LumoraDevice*)
{
    if (!gDialogDXF)
        return;
    const CoucheImportDXF& import = gDialogDXF->GetImport();
    glPointSize(5.0f);
    glColor3f(1.0f, 0.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (const CoucheImportDXF::sLigne& ligne : import.GetLignesSimplifiees())
    {
        glBegin(GL_LINE_STRIP);
        for (const LumPoint& p : ligne.Points)
            glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        glEnd();
    }
    glBegin(GL_POINTS);
    for (const CoucheImportDXF::sLigne& ligne : import.GetLignesSimplifiees())
        for (const LumPoint& p : ligne.Points)
            glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
    glColor3f(0.0f, 0.0f, 1.0f);
    for (const LumPoint& p : import.GetPoints())
        glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
    glEnd();
    glPointSize(1.0f);
}

bool OnDXFImportEvent(const EventInfo&)
{
    return false;
}

bool ImportCoucheDXF(const ModelUi::CoucheImport& import, bool interactive)
{
    if (!gFenetreTunnel)
        return false;
    auto* dialog = new DialogDXF(import.Path);
    const std::string refusal = dialog->GetImport().GetRefusal(import.Path);
    if (!refusal.empty())
    {
        delete dialog;
        // Interactive, the new-layer dialog stays open; replayed by a redo,
        // the step is not made: either way the user is told why.
        GetModelUi().MessageBox(refusal, "Erreur");
        return false;
    }
    if (!interactive)
    {
        dialog->SetSimplification(static_cast<int>(import.Value));
        const bool built = dialog->BuildLayer(import.Index, false);
        delete dialog;
        return built;
    }
    gPendingDXFPrevious = import.Previous;
    gPendingDXFCouche = import.Index;
    EndCurrentTool();
    gFenetreTunnel->GetMainDevice()->SetCustomEventsManager(OnDXFImportEvent);
    gToolPointAction = nullptr;
    gOverlayDrawer = DrawDXFImportOverlay;
    DisableInterface();
    gDialogDXF = dialog;
    dialog->Show();
    RefreshDisplay();
    return true;
}
