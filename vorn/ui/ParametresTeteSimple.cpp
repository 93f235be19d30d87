#include "ParametresTeteSimple.h"

#include "DialogTete.h"
#include "TeteTranchee.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>

ParametresTeteSimple::ParametresTeteSimple(wxWindow* parent) : ParametresTete(parent, 1, wxSize(500, 10))
{
    using T = TeteTranchee;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    AddSwitches("Deuxième risberme", {21, 17, 18, 20, 22, 23}, 19, {26, 27, 10, 13, 19});
    sizer->Add(GetSymmetryBox(), 0, wxLEFT | wxTOP, 10);
    sizer->Add(GetSecondBermBox(), 0, wxLEFT | wxTOP | wxRIGHT, 10);

    // Fields in screen order, so that the tab key follows the layout.
    const auto row =
        [this](wxFlexGridSizer* grid, const char* label, int id, double T::*parameter, bool angle)
    {
        AddLabel(grid, label);
        AddCell(grid, AddField(id, parameter, angle, OnSimpleFieldFocus));
    };
    wxFlexGridSizer* grid = AddGroup(sizer, "Plateforme / Risbermes", 2);
    row(grid, "Largeur de plateforme", 5, &T::lp, false);
    row(grid, "Longueur de plateforme", 6, &T::hp, false);
    row(grid, "Hauteur des risbermes", 25, &T::hr, false);
    row(grid, "Largeur des risbermes", 24, &T::lr, false);
    row(grid, "Hauteur des risbermes supérieures", 27, &T::hr2, false);
    row(grid, "Largeur des risbermes supérieures", 26, &T::lr2, false);

    grid = AddGroup(sizer, "Front d'attaque", 2);
    row(grid, "Biais Horizontal", 8, &T::Thetaf, true);
    row(grid, "Inclinaison verticale du front inférieur", 7, &T::AlphaFi, true);
    row(grid, "Inclinaison verticale du front supérieur", 9, &T::AlphaFs, true);
    row(grid, "Inclinaison verticale du front final", 10, &T::AlphaFss, true);

    // Three columns: label, left, right.
    const auto sides = [this](wxFlexGridSizer* grid, const char* label, int left, double T::*leftParameter,
                              int right, double T::*rightParameter, bool rightAngle)
    {
        AddLabel(grid, label);
        if (left < 0)
            grid->Add(0, 0);
        else
            AddCell(grid, AddField(left, leftParameter, true, OnSimpleFieldFocus));
        AddCell(grid, AddField(right, rightParameter, rightAngle, OnSimpleFieldFocus));
    };
    const auto headers = [this](wxFlexGridSizer* grid)
    {
        AddLabel(grid, "");
        AddLabel(grid, "Gauche");
        AddLabel(grid, "Droite");
    };
    grid = AddGroup(sizer, "Talus latéraux 1", 3);
    headers(grid);
    sides(grid, "Biais latéral du talus", 14, &T::Thetag1, 20, &T::Thetad1, true);
    sides(grid, "Profondeur du front", -1, nullptr, 21, &T::Distanced1, false);
    sides(grid, "Inclinaison verticale du talus inférieur", 11, &T::Alphagi1, 17, &T::Alphadi1, true);
    sides(grid, "Inclinaison verticale du talus supérieur", 12, &T::Alphags1, 18, &T::Alphads1, true);
    sides(grid, "Inclinaison verticale du talus final", 13, &T::Alphagss1, 19, &T::Alphadss1, true);

    grid = AddGroup(sizer, "Talus latéraux 2", 3);
    headers(grid);
    sides(grid, "Biais latéral du talus", 16, &T::Thetag2, 23, &T::Thetad2, true);
    sides(grid, "Inclinaison verticale du talus", 15, &T::Alphag2, 22, &T::Alphad2, true);

    SetSizer(sizer);
    FitInside();
    SetScrollRate(10, 10);
}

void ParametresTeteSimple::FillFromTete(const TeteTranchee& head)
{
    ShowSecondBerm(head.DoubleRisberme);
    ShowSymmetry(head.SymetrieGD);
    WriteFields(head);
}

void ParametresTeteSimple::ApplyToTete()
{
    TeteTranchee& head = GetTete();
    double width = 0.0, height = 0.0;
    // A typed value that is not finite sends nothing: the fields show the
    // head again.
    if (!ReadTunnelSize(width, height) || !ReadFields(head, false))
    {
        Refill();
        return;
    }
    const auto v = [this](int id) { return Value(id); };
    // h and h2 have no field: every apply sends the platform length and the
    // berm height again, so no hidden value outlives a switch of panels.
    const double h2 = v(25);
    const double h = v(6);
    const bool changed = head.SetSingleParameters(
        GetSymmetryBox()->GetValue(), GetSecondBermBox()->GetValue(), v(5), v(6), v(7), v(8), v(9), v(10),
        v(11), v(12), v(14), v(13), v(15), v(16), v(17), v(18), v(20), v(21), v(19), v(22), v(23), v(25),
        v(24), h2, h, 5.0, v(27), v(26), width, height, true);
    Refill(changed);
}
