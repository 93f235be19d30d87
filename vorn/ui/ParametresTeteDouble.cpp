#include "ParametresTeteDouble.h"

#include "DialogTete.h"
#include "TeteTranchee.h"

#include <wx/checkbox.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

namespace
{
// CoteAvance of an advanced front on the left; any other value reads as
// the right (45).
constexpr int kGauche = 46;
constexpr int kDroite = 45;
} // namespace

ParametresTeteDouble::ParametresTeteDouble(wxWindow* parent) : ParametresTete(parent, 2, wxDefaultSize)
{
    using T = TeteTranchee;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    const wxString sides[] = {"Gauche", "Droite"};
    mCote = new wxRadioBox(this, 33, wxString::FromUTF8("Choix du front avancé"), wxDefaultPosition,
                           wxDefaultSize, 2, sides, 1, wxRA_SPECIFY_ROWS);
    mCote->SetSelection(1);
    AddSwitches("Risberme supplémentaire", {55, 56, 57, 61, 62}, 58, {26, 27, 41, 46, 50, 54, 58});
    for (wxWindow* control : {static_cast<wxWindow*>(mCote), static_cast<wxWindow*>(GetSymmetryBox()),
                              static_cast<wxWindow*>(GetSecondBermBox())})
        sizer->Add(control, 0, wxLEFT | wxTOP, 10);

    const auto row =
        [this](wxFlexGridSizer* grid, const char* label, int id, double T::*parameter, bool angle)
    {
        AddLabel(grid, label);
        AddCell(grid, AddField(id, parameter, angle, OnDoubleFieldFocus));
    };
    wxFlexGridSizer* grid = AddGroup(sizer, "Plateformes / Risbermes", 2);
    row(grid, "Largeur de la plateforme 1", 34, &T::lp1, false);
    row(grid, "Longueur de la plateforme 1", 35, &T::hp1, false);
    row(grid, "Largeur de la plateforme 2", 36, &T::lp2, false);
    row(grid, "Longueur de la plateforme 2", 37, &T::hp2, false);
    row(grid, "Hauteur des risbermes", 25, &T::hr, false);
    row(grid, "Largeur des risbermes", 24, &T::lr, false);
    row(grid, "Hauteur des risbermes supérieures", 27, &T::hr2, false);
    row(grid, "Largeur des risbermes supérieures", 26, &T::lr2, false);

    grid = AddGroup(sizer, "Front d'attaque reculé", 2);
    row(grid, "Biais Horizontal", 38, &T::Thetaf1, true);
    row(grid, "Inclinaison verticale du front inférieur", 39, &T::Alphafi1, true);
    row(grid, "Inclinaison verticale du front supérieur", 40, &T::Alphafs1, true);
    row(grid, "Inclinaison verticale du front final", 41, &T::Alphafss1, true);

    grid = AddGroup(sizer, "Front d'attaque avancé", 2);
    row(grid, "Biais Horizontal", 42, &T::Thetaf2, true);
    row(grid, "Longueur du biais", 43, &T::Lf2, false);
    row(grid, "Inclinaison verticale du front inférieur", 44, &T::Alphafi2, true);
    row(grid, "Inclinaison verticale du front supérieur", 45, &T::Alphafs2, true);
    row(grid, "Inclinaison verticale du front final", 46, &T::Alphafss2, true);

    grid = AddGroup(sizer, "Talus latéral gauche 1", 2, &mFirstSlope);
    row(grid, "Biais latéral du talus", 47, &T::Thetar1, true);
    row(grid, "Inclinaison verticale du talus inférieur", 48, &T::Alphari1, true);
    row(grid, "Inclinaison verticale du talus supérieur", 49, &T::Alphars1, true);
    row(grid, "Inclinaison verticale du talus final", 50, &T::Alpharss1, true);

    const auto both = [this](wxFlexGridSizer* grid, const char* label, int recessed,
                             double T::*recessedParameter, int advanced, double T::*advancedParameter)
    {
        AddLabel(grid, label);
        AddCell(grid, AddField(recessed, recessedParameter, true, OnDoubleFieldFocus));
        AddCell(grid, AddField(advanced, advancedParameter, true, OnDoubleFieldFocus));
    };
    const auto headers = [this](wxFlexGridSizer* grid, int group)
    {
        AddLabel(grid, "");
        mHeaders[0][group] = static_cast<wxStaticText*>(AddLabel(grid, "Gauche"));
        mHeaders[1][group] = static_cast<wxStaticText*>(AddLabel(grid, "Droite"));
    };
    grid = AddGroup(sizer, "Talus latéraux 2", 3);
    headers(grid, 0);
    both(grid, "Biais latéral du talus", 51, &T::Thetar2, 55, &T::Thetaa2);
    both(grid, "Inclinaison verticale du talus inférieur", 52, &T::Alphari2, 56, &T::Alphaai2);
    both(grid, "Inclinaison verticale du talus supérieur", 53, &T::Alphars2, 57, &T::Alphaas2);
    both(grid, "Inclinaison verticale du talus final", 54, &T::Alpharss2, 58, &T::Alphaass2);

    grid = AddGroup(sizer, "Talus latéraux 3", 3);
    headers(grid, 1);
    both(grid, "Biais latéral du talus", 59, &T::Thetar3, 61, &T::Thetaa3);
    both(grid, "Inclinaison verticale du talus", 60, &T::Alphar3, 62, &T::Alphaa3);

    SetSizer(sizer);
    FitInside();
    SetScrollRate(10, 10);

    Bind(wxEVT_RADIOBOX, &ParametresTeteDouble::OnAdvancedSideSelected, this, 33);
}

wxString ParametresTeteDouble::GetFirstSlopeTitle() const
{
    return mFirstSlope->GetStaticBox()->GetLabel();
}

wxString ParametresTeteDouble::GetHeader(int column, int group) const
{
    return mHeaders[column][group]->GetLabel();
}

void ParametresTeteDouble::ShowSide(int coteAvance)
{
    const bool left = coteAvance == kGauche;
    // Selecting by program sends no event.
    mCote->SetSelection(left ? 0 : 1);
    mFirstSlope->GetStaticBox()->SetLabel(
        wxString::FromUTF8(left ? "Talus latéral droite 1" : "Talus latéral gauche 1"));
    for (int group = 0; group < 2; ++group)
    {
        mHeaders[0][group]->SetLabel(left ? "Droite" : "Gauche");
        mHeaders[1][group]->SetLabel(left ? "Gauche" : "Droite");
    }
}

void ParametresTeteDouble::OnAdvancedSideSelected(wxCommandEvent&)
{
    ApplyToTete();
}

void ParametresTeteDouble::FillFromTete(const TeteTranchee& head)
{
    ShowSecondBerm(head.DoubleRisberme);
    ShowSymmetry(head.SymetrieGD);
    WriteFields(head);
    ShowSide(head.CoteAvance);
}

void ParametresTeteDouble::ApplyToTete()
{
    TeteTranchee& head = GetTete();
    double width = 0.0, height = 0.0;
    if (!ReadTunnelSize(width, height) || !ReadFields(head, true))
    {
        Refill();
        return;
    }
    const auto v = [this](int id) { return Value(id); };
    const int cote = mCote->GetSelection() == 0 ? kGauche : kDroite;
    // h and h2: the first platform's length and the berm height again.
    const double h2 = v(25);
    const double h = v(35);
    const bool changed = head.SetDoubleParameters(
        GetSymmetryBox()->GetValue(), cote, GetSecondBermBox()->GetValue(), v(34), v(35), v(36), v(37), v(38),
        v(39), v(40), v(41), v(42), v(43), v(44), v(45), v(46), v(47), v(48), v(49), v(50), v(51), v(52),
        v(53), v(54), v(55), v(56), v(57), v(58), v(59), v(60), v(61), v(62), v(25), v(24), h2, h, 5.0, v(27),
        v(26), width, height, true);
    Refill(changed);
}
