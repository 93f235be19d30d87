#pragma once

#include <wx/dialog.h>

#include <string>
#include <vector>

class ChampTexte;
class wxCheckBox;
class wxComboBox;
class wxRadioBox;
class wxSlider;
class wxStaticText;

// The creation mode's modeless tool palette ("Terrain"), created once with
// the frame as parent and shown or hidden by the mode switches: the
// background plan, the layer list and the layer tools, the tunnel axis, the
// displayed zone, and the X, Y and Z fields through which the current tool
// receives typed points. It holds no model state: every handler reads and
// writes the project and the tool hooks. The main menu hands several of its
// commands to the handlers below, so each check-box handler also ticks the
// matching menu item.
class DialogOutilsCreation : public wxDialog
{
public:
    // Ids of the controls, also those of their commands.
    enum
    {
        IdFond = 1,
        IdOpacite = 2,
        IdAjusterFond = 3,
        IdEchelle = 4,
        IdOrigine = 5,
        IdNord = 6,
        IdCouches = 7,
        IdAddCouche = 8,
        IdDeleteCouche = 9,
        IdAddPoints = 10,
        IdSondage = 11,
        IdCoupe = 12,
        IdInclinaison = 13,
        IdLigneNiveau = 14,
        IdLignes = 15,
        IdTriangulation = 16,
        IdPoints = 17,
        IdAxeType = 18,
        IdAxeCentre = 19,
        IdRayon = 20,
        IdOrientation = 21,
        IdInclin = 22,
        IdAxePoints = 23,
        IdAxeDXF = 24,
        IdAxe = 25,
        IdZone = 26,
        IdAfficherZone = 27,
        IdX = 28,
        IdY = 29,
        IdZ = 30,
        ControlCount = 31
    };

    explicit DialogOutilsCreation(wxWindow* parent);
    ~DialogOutilsCreation() override;

    // The control of that id (1 to 30), null for another id.
    wxWindow* GetControl(int id) const;
    // The text beside a text field (20-22, 28-30), null for another id.
    wxStaticText* GetFieldLabel(int id) const;
    ChampTexte* GetCoordinateField(int axis) const { return mFields[axis]; }

    // What the project sets on the palette.
    void SetLayerNames(const std::vector<std::string>& names);
    void SelectLayer(int index);
    // Buttons 10-14 need a current, editable layer; 26 any current layer.
    void EnableLayerTools(bool current);
    void ShowAxeType(int type);
    void ShowAxeParameters(double radius, double orientation, double inclination);
    void ReadAxeParameters(std::string& radius, std::string& orientation, std::string& inclination) const;
    void ShowZoneAffichee(bool on);
    // The creation mode's copy of the project into the controls.
    void ShowProject();

    // Handlers, also called by the main menu's commands.
    void OnChooseFond(wxCommandEvent& event);
    void OnOpaciteFond(wxCommandEvent& event);
    void OnAjusterFond(wxCommandEvent& event);
    void OnEchelleFond(wxCommandEvent& event);
    void OnOrigineFond(wxCommandEvent& event);
    void OnAfficherNord(wxCommandEvent& event);
    void OnSelectCouche(wxCommandEvent& event);
    void OnAddCouche(wxCommandEvent& event);
    void OnDeleteCouche(wxCommandEvent& event);
    void OnAddPoints(wxCommandEvent& event);
    void OnAddBorehole(wxCommandEvent& event);
    void OnAddPointsFromCoupe(wxCommandEvent& event);
    void OnTiltCouche(wxCommandEvent& event);
    void OnAddLigneNiveau(wxCommandEvent& event);
    void OnAfficherLignes(wxCommandEvent& event);
    void OnAfficherPoints(wxCommandEvent& event);
    void OnAfficherTriangulation(wxCommandEvent& event);
    void OnAxeType(wxCommandEvent& event);
    void OnAxeParametres(wxCommandEvent& event);
    void OnSetAxeCentre(wxCommandEvent& event);
    void OnSetAxePoints(wxCommandEvent& event);
    void OnAxeDXF(wxCommandEvent& event);
    void OnAfficherAxe(wxCommandEvent& event);
    void OnDefineZone(wxCommandEvent& event);
    void OnAfficherZone(wxCommandEvent& event);
    void OnCoordinatesEnter(wxCommandEvent& event);

    // Whether the layer at that index may be moved or tilted: no point of
    // it comes from a borehole, a section or a level line. Otherwise the
    // refusal is shown (boreholes tested first, then sections, then level
    // lines) and false.
    static bool CheckCoucheMovable(int index);

private:
    void Build();
    // A check box and its menu item set to the event's state.
    bool ShowSwitch(wxCommandEvent& event, int box, int menuId);
    // The first layer made current, as one undo step.
    static void SelectFirstCouche();

    wxWindow* mControls[ControlCount] = {};
    wxStaticText* mLabels[ControlCount] = {};
    ChampTexte* mFields[3] = {nullptr, nullptr, nullptr};
};
