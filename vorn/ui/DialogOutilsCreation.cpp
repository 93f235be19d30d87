#include "DialogOutilsCreation.h"

#include "Axe.h"
#include "AxeTools.h"
#include "ChampTexte.h"
#include "Couche.h"
#include "CoucheRecorders.h"
#include "Coupe.h"
#include "DialogNouvelleCouche.h"
#include "ElementRecorders.h"
#include "FenetreTunnel.h"
#include "FondPlanTools.h"
#include "FrameKeys.h"
#include "InterfaceModes.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "MoveCoucheTool.h"
#include "PlanView.h"
#include "ProjetOVX.h"
#include "Sondage.h"
#include "StartupPaths.h"
#include "TypedCoordinates.h"
#include "WindowFit.h"
#include "ZoneTool.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/log.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/valtext.h>

#include <locale>
#include <sstream>

namespace
{
wxString U(const char* text)
{
    return wxString::FromUTF8(text);
}

std::string DefaultStreamText(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

// The radius, orientation and inclination fields hand their text to the
// axis when left after an edit.
void OnAxeFieldLeft(ChampTexte*)
{
    OnAxeParametersEntered();
}

wxCommandEvent Ticked(int id)
{
    wxCommandEvent event(wxEVT_CHECKBOX, id);
    event.SetInt(1);
    return event;
}
} // namespace

DialogOutilsCreation::DialogOutilsCreation(wxWindow* parent)
    : wxDialog(parent, 15, U("Terrain"), wxPoint(10, 100), wxSize(200, 630), wxCAPTION,
               "DialogOutilsCreation")
{
    Build();
    SetCoordinateFields(mFields[0], mFields[1], mFields[2]);

    ForwardFrameKeys(this);

    using D = DialogOutilsCreation;
    Bind(wxEVT_BUTTON, &D::OnChooseFond, this, IdFond);
    Bind(wxEVT_SLIDER, &D::OnOpaciteFond, this, IdOpacite);
    Bind(wxEVT_BUTTON, &D::OnAjusterFond, this, IdAjusterFond);
    Bind(wxEVT_BUTTON, &D::OnEchelleFond, this, IdEchelle);
    Bind(wxEVT_BUTTON, &D::OnOrigineFond, this, IdOrigine);
    Bind(wxEVT_CHECKBOX, &D::OnAfficherNord, this, IdNord);
    Bind(wxEVT_COMBOBOX, &D::OnSelectCouche, this, IdCouches);
    Bind(wxEVT_BUTTON, &D::OnAddCouche, this, IdAddCouche);
    Bind(wxEVT_BUTTON, &D::OnDeleteCouche, this, IdDeleteCouche);
    Bind(wxEVT_BUTTON, &D::OnAddPoints, this, IdAddPoints);
    Bind(wxEVT_BUTTON, &D::OnAddBorehole, this, IdSondage);
    Bind(wxEVT_BUTTON, &D::OnAddPointsFromCoupe, this, IdCoupe);
    Bind(wxEVT_BUTTON, &D::OnTiltCouche, this, IdInclinaison);
    Bind(wxEVT_BUTTON, &D::OnAddLigneNiveau, this, IdLigneNiveau);
    Bind(wxEVT_CHECKBOX, &D::OnAfficherLignes, this, IdLignes);
    Bind(wxEVT_CHECKBOX, &D::OnAfficherPoints, this, IdPoints);
    Bind(wxEVT_CHECKBOX, &D::OnAfficherTriangulation, this, IdTriangulation);
    Bind(wxEVT_RADIOBOX, &D::OnAxeType, this, IdAxeType);
    Bind(wxEVT_TEXT_ENTER, &D::OnAxeParametres, this, IdRayon, IdInclin);
    Bind(wxEVT_BUTTON, &D::OnSetAxeCentre, this, IdAxeCentre);
    Bind(wxEVT_BUTTON, &D::OnSetAxePoints, this, IdAxePoints);
    Bind(wxEVT_BUTTON, &D::OnAxeDXF, this, IdAxeDXF);
    Bind(wxEVT_CHECKBOX, &D::OnAfficherAxe, this, IdAxe);
    Bind(wxEVT_BUTTON, &D::OnDefineZone, this, IdZone);
    Bind(wxEVT_CHECKBOX, &D::OnAfficherZone, this, IdAfficherZone);
    Bind(wxEVT_TEXT_ENTER, &D::OnCoordinatesEnter, this, IdX, IdZ);
}

DialogOutilsCreation::~DialogOutilsCreation()
{
    SetCoordinateFields(nullptr, nullptr, nullptr);
}

void DialogOutilsCreation::Build()
{
    auto bitmapButton = [this](wxWindow* parent, int id, const char* file, const char* tip)
    {
        const wxString path = wxString::FromUTF8(ApplicationPath(std::string("/Icons/") + file));
        // A missing picture leaves a blank button, without a log window.
        wxLogNull quiet;
        wxBitmap bitmap(path, wxString(file).EndsWith(".png") ? wxBITMAP_TYPE_PNG : wxBITMAP_TYPE_GIF);
        if (!bitmap.IsOk())
            bitmap = wxBitmap(32, 32);
        auto* button =
            new wxBitmapButton(parent, id, bitmap, wxDefaultPosition, wxSize(32, 32), wxBU_AUTODRAW);
        button->SetToolTip(U(tip));
        mControls[id] = button;
        return button;
    };
    auto checkBox = [this](wxWindow* parent, int id, const char* label, long style)
    {
        auto* box = new wxCheckBox(parent, id, U(label), wxDefaultPosition, wxDefaultSize, style);
        mControls[id] = box;
        return box;
    };
    const wxTextValidator numeric(wxFILTER_NUMERIC);
    auto field = [this, &numeric](wxWindow* parent, int id, const char* label, const char* value, int width,
                                  ChampTexte::FocusCallback onLeft)
    {
        mLabels[id] = new wxStaticText(parent, wxID_ANY, U(label));
        auto* text = new ChampTexte(parent, id, value, wxDefaultPosition, wxSize(width, 20),
                                    wxTE_PROCESS_ENTER | wxTE_RIGHT, numeric, U(label), onLeft, nullptr);
        mControls[id] = text;
        return text;
    };
    auto row = [](std::initializer_list<wxWindow*> windows)
    {
        auto* sizer = new wxBoxSizer(wxHORIZONTAL);
        for (wxWindow* window : windows)
            sizer->Add(window, 0, wxALIGN_CENTER_VERTICAL | wxALL, 1);
        return sizer;
    };

    // Background plan.
    auto* fond = new wxStaticBoxSizer(wxVERTICAL, this, U("Fond de plan"));
    wxWindow* box = fond->GetStaticBox();
    auto* choose =
        new wxButton(box, IdFond, U("Changer le fond de plan"), wxDefaultPosition, wxSize(160, 25));
    choose->SetToolTip(U("Changer le fond de plan"));
    mControls[IdFond] = choose;
    // The toolkit's own height: at 22 pixels GTK draws no trough.
    auto* opacite =
        new wxSlider(box, IdOpacite, 100, 0, 100, wxDefaultPosition, wxSize(50, -1), wxSL_HORIZONTAL);
    opacite->SetToolTip(U("Changer l'opacité du fond de plan"));
    mControls[IdOpacite] = opacite;
    fond->Add(choose, 0, wxALL, 1);
    fond->Add(row({new wxStaticText(box, wxID_ANY, U("Opacité")), opacite,
                   bitmapButton(box, IdAjusterFond, "EditionFond.gif", "Modifier la taille du fond de plan"),
                   bitmapButton(box, IdEchelle, "Echelle.gif", "Modifier l'échelle")}));
    fond->Add(row({bitmapButton(box, IdOrigine, "Origine.gif", "Définir l'origine"),
                   checkBox(box, IdNord, "Afficher le Nord    ", wxALIGN_RIGHT)}));

    // Layers.
    auto* couches = new wxStaticBoxSizer(wxVERTICAL, this, U("Couches"));
    box = couches->GetStaticBox();
    auto* combo = new wxComboBox(box, IdCouches, wxEmptyString, wxDefaultPosition, wxSize(120, 20), 0,
                                 nullptr, wxCB_READONLY);
    mControls[IdCouches] = combo;
    // As narrow as the toolkit draws a labelled button (at 20 x 20 GTK
    // shows no label).
    auto* add = new wxButton(box, IdAddCouche, "+", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    add->SetToolTip(U("Ajouter une couche au terrain"));
    mControls[IdAddCouche] = add;
    auto* remove = new wxButton(box, IdDeleteCouche, "-", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    remove->SetToolTip(U("Supprimer la couche active"));
    mControls[IdDeleteCouche] = remove;
    couches->Add(row({combo, add, remove}));
    couches->Add(row({bitmapButton(box, IdAddPoints, "AddVertex.gif", "Ajouter des points"),
                      bitmapButton(box, IdSondage, "Carottage.gif", "Ajouter des points par carottage"),
                      bitmapButton(box, IdCoupe, "Coupe.gif", "Ajouter des points depuis une coupe"),
                      bitmapButton(box, IdInclinaison, "Inclinaison.gif", "Incliner la couche")}));
    couches->Add(row({bitmapButton(box, IdLigneNiveau, "LigneNiveau.png", "Ajouter une ligne de niveau"),
                      checkBox(box, IdLignes, "Afficher les lignes", 0)}));
    couches->Add(checkBox(box, IdPoints, "Afficher les points", 0), 0, wxALL, 1);
    couches->Add(checkBox(box, IdTriangulation, "Afficher la triangulation", 0), 0, wxALL, 1);

    // Axis.
    auto* axe = new wxStaticBoxSizer(wxVERTICAL, this, U("Axe"));
    box = axe->GetStaticBox();
    const wxString types[] = {U("Courbe"), U("Multiligne")};
    auto* type = new wxRadioBox(box, IdAxeType, U("Type de définition"), wxDefaultPosition, wxDefaultSize, 2,
                                types, 1, wxRA_SPECIFY_ROWS);
    mControls[IdAxeType] = type;
    axe->Add(type, 0, wxALL, 1);
    auto* rayon = field(box, IdRayon, "Rayon", "100", 40, OnAxeFieldLeft);
    auto* orientation = field(box, IdOrientation, "Orient.", "0", 40, OnAxeFieldLeft);
    auto* inclinaison = field(box, IdInclin, "Inclin.", "0", 40, OnAxeFieldLeft);
    axe->Add(row({bitmapButton(box, IdAxeCentre, "CentreAxe.gif", "Définir le centre de l'axe"),
                  mLabels[IdRayon], rayon}));
    axe->Add(row({mLabels[IdOrientation], orientation, mLabels[IdInclin], inclinaison}));
    axe->Add(row({bitmapButton(box, IdAxePoints, "DefinitionAxe.gif", "Définir les points formant l'axe"),
                  bitmapButton(box, IdAxeDXF, "AxeDXF.png", "Définir l'axe depuis un fichier DXF")}));
    axe->Add(checkBox(box, IdAxe, "Afficher l'axe ", wxALIGN_RIGHT), 0, wxALL, 1);
    mControls[IdAxePoints]->Disable();
    mControls[IdAxeDXF]->Disable();

    // Displayed zone.
    auto* zone = new wxStaticBoxSizer(wxVERTICAL, this, U("Zone de visualisation"));
    box = zone->GetStaticBox();
    zone->Add(row({bitmapButton(box, IdZone, "DefZone.gif", "Définir la zone de visualisation"),
                   checkBox(box, IdAfficherZone, "Afficher la zone", 0)}));

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(fond, 0, wxEXPAND | wxALL, 2);
    column->Add(couches, 0, wxEXPAND | wxALL, 2);
    column->Add(axe, 0, wxEXPAND | wxALL, 2);
    column->Add(zone, 0, wxEXPAND | wxALL, 2);
    const char* labels[3] = {"          X ", "        Y ", "        Z "};
    for (int i = 0; i < 3; ++i)
    {
        mFields[i] = field(this, IdX + i, labels[i], "0", 100, OnCoordinateFieldLeft);
        column->Add(row({mLabels[IdX + i], mFields[i]}));
    }
    SetSizer(column);
    FitToContent(this);
}

wxWindow* DialogOutilsCreation::GetControl(int id) const
{
    return id > 0 && id < ControlCount ? mControls[id] : nullptr;
}

wxStaticText* DialogOutilsCreation::GetFieldLabel(int id) const
{
    return id > 0 && id < ControlCount ? mLabels[id] : nullptr;
}

void DialogOutilsCreation::SetLayerNames(const std::vector<std::string>& names)
{
    auto* combo = static_cast<wxComboBox*>(mControls[IdCouches]);
    combo->Clear();
    for (const std::string& name : names)
        combo->Append(wxString::FromUTF8(name));
    // The longest name shows whole.
    FitToContent(this);
}

void DialogOutilsCreation::SelectLayer(int index)
{
    auto* combo = static_cast<wxComboBox*>(mControls[IdCouches]);
    combo->SetSelection(index >= 0 && index < static_cast<int>(combo->GetCount()) ? index : wxNOT_FOUND);
}

void DialogOutilsCreation::EnableLayerTools(bool current)
{
    const Couche* couche = gProjet.GetCouche(gProjet.CoucheCourante);
    // A layer made from a mesh file keeps its faces: no tool edits it.
    const bool editable = current && couche && couche->Editable;
    for (int id = IdAddPoints; id <= IdLigneNiveau; ++id)
        mControls[id]->Enable(editable);
    mControls[IdZone]->Enable(current);
}

void DialogOutilsCreation::ShowAxeType(int type)
{
    static_cast<wxRadioBox*>(mControls[IdAxeType])->SetSelection(type == 0 ? 0 : 1);
    for (int id : {IdAxeCentre, IdRayon, IdOrientation, IdInclin})
        mControls[id]->Enable(type == 0);
    for (int id : {IdAxePoints, IdAxeDXF})
        mControls[id]->Enable(type != 0);
}

void DialogOutilsCreation::ShowAxeParameters(double radius, double orientation, double inclination)
{
    const double values[3] = {radius, orientation, inclination};
    for (int i = 0; i < 3; ++i)
        static_cast<ChampTexte*>(mControls[IdRayon + i])->ChangeValue(DefaultStreamText(values[i]));
}

void DialogOutilsCreation::ReadAxeParameters(std::string& radius, std::string& orientation,
                                             std::string& inclination) const
{
    std::string* texts[3] = {&radius, &orientation, &inclination};
    for (int i = 0; i < 3; ++i)
        *texts[i] = static_cast<ChampTexte*>(mControls[IdRayon + i])->GetValue().ToUTF8().data();
}

void DialogOutilsCreation::ShowZoneAffichee(bool on)
{
    static_cast<wxCheckBox*>(mControls[IdAfficherZone])->SetValue(on);
}

void DialogOutilsCreation::ShowProject()
{
    static_cast<wxSlider*>(mControls[IdOpacite])->SetValue(gProjet.OpaciteFond);
    const std::pair<int, bool> boxes[] = {
        {IdNord, gProjet.AffichageNordCreation}, {IdLignes, gProjet.mLignesNiveauAffichees},
        {IdPoints, gProjet.PointsAffiches},      {IdTriangulation, gProjet.TriangulationAffichee},
        {IdAxe, gProjet.AffichageAxeCreation},   {IdAfficherZone, gProjet.ZoneAffichee}};
    for (const auto& box : boxes)
        static_cast<wxCheckBox*>(mControls[box.first])->SetValue(box.second);
    EnableLayerTools(gProjet.GetCouche(gProjet.CoucheCourante) != nullptr);
    const Axe& axe = gProjet.GetAxe();
    ShowAxeType(axe.Type);
    ShowAxeParameters(axe.Rayon, axe.Orientation, axe.Inclinaison);
    mControls[IdZone]->Enable();
}

bool DialogOutilsCreation::ShowSwitch(wxCommandEvent& event, int box, int menuId)
{
    const bool on = event.GetInt() != 0;
    static_cast<wxCheckBox*>(mControls[box])->SetValue(on);
    if (gFenetreTunnel)
        gFenetreTunnel->CheckItem(menuId, on);
    return on;
}

void DialogOutilsCreation::SelectFirstCouche()
{
    EndCurrentTool();
    RecordCoucheCouranteChange(gProjet.CoucheCourante, 0);
    gProjet.SetCoucheCourante(0);
}

void DialogOutilsCreation::OnChooseFond(wxCommandEvent&)
{
    gProjet.ChooseFondPlan(true);
}

void DialogOutilsCreation::OnOpaciteFond(wxCommandEvent&)
{
    gProjet.OpaciteFond = static_cast<wxSlider*>(mControls[IdOpacite])->GetValue();
    gProjet.MarkModified();
    RefreshDisplay();
}

void DialogOutilsCreation::OnAjusterFond(wxCommandEvent&)
{
    StartFondPlanAdjust();
    RefreshDisplay();
}

void DialogOutilsCreation::OnEchelleFond(wxCommandEvent&)
{
    StartFondPlanCalibration();
    RefreshDisplay();
}

void DialogOutilsCreation::OnOrigineFond(wxCommandEvent&)
{
    StartFondPlanOrigin();
    RefreshDisplay();
}

void DialogOutilsCreation::OnAfficherNord(wxCommandEvent& event)
{
    gProjet.AffichageNordCreation = ShowSwitch(event, IdNord, 26);
    gProjet.MarkModified();
    RefreshDisplay();
}

void DialogOutilsCreation::OnSelectCouche(wxCommandEvent&)
{
    const int index = static_cast<wxComboBox*>(mControls[IdCouches])->GetSelection();
    EndCurrentTool();
    RecordCoucheCouranteChange(gProjet.CoucheCourante, index);
    gProjet.SetCoucheCourante(index);
}

void DialogOutilsCreation::OnAddCouche(wxCommandEvent&)
{
    EndCurrentTool();
    // The dialog destroys itself once its modal loop has ended.
    auto* dialog = new DialogNouvelleCouche(this);
    dialog->ShowModal();
    RefreshDisplay();
}

void DialogOutilsCreation::OnDeleteCouche(wxCommandEvent&)
{
    EndCurrentTool();
    const int index = gProjet.CoucheCourante;
    Couche* couche = gProjet.GetCouche(index);
    if (!couche)
        return;
    bool top = false;
    if (index == 0 && gProjet.GetNumberOfSondages() > 0)
    {
        if (GetModelUi().MessageBox(
                "En supprimant la couche supérieure, vous allez supprimer tous le sondages et "
                "coupes.\nVoulez-vous continuer ?",
                "Information", ModelUi::Buttons::YesNo, 0) != ModelUi::IdYes)
            return;
        top = true;
    }
    RecordCoucheDelete(couche, index, top);
    gProjet.DeleteCouche(index, 0);
    RefreshDisplay();
}

void DialogOutilsCreation::OnAddPoints(wxCommandEvent&)
{
    StartAddPointsTool();
}

void DialogOutilsCreation::OnAddBorehole(wxCommandEvent&)
{
    if (gProjet.GetNumberOfCouches() == 0)
    {
        GetModelUi().MessageBox("Veuillez créer une couche géologique avant de faire un sondage", "Erreur",
                                ModelUi::Buttons::Ok, 0);
        return;
    }
    SelectFirstCouche();
    EndCurrentTool();
    if (!gFenetreTunnel)
        return;
    gFenetreTunnel->GetMainDevice()->SetCustomEventsManager(OnSondageToolEvent);
    gToolPointAction = OnSondageToolPoint;
    gOverlayDrawer = nullptr;
}

void DialogOutilsCreation::OnAddPointsFromCoupe(wxCommandEvent&)
{
    if (gProjet.GetNumberOfCouches() == 0)
    {
        GetModelUi().MessageBox("Veuillez créer une couche géologique avant de faire une coupe", "Erreur",
                                ModelUi::Buttons::Ok, 0);
        return;
    }
    SelectFirstCouche();
    StartCoupeTool();
}

bool DialogOutilsCreation::CheckCoucheMovable(int index)
{
    Couche* couche = gProjet.GetCouche(index);
    if (!couche)
        return false;
    bool held = false;
    for (int k = 0; k < gProjet.GetNumberOfSondages() && !held; ++k)
        held = gProjet.GetSondage(k)->GetPointSondage(couche->Nom) != nullptr;
    for (int k = 0; k < gProjet.GetNumberOfCoupes() && !held; ++k)
    {
        const std::vector<CoupeCoord>* coords = gProjet.GetCoupe(k)->GetCoords(couche->Nom);
        held = coords && !coords->empty();
    }
    if (!held && couche->GetNumberOfLignesNiveau() == 0)
        return true;
    GetModelUi().MessageBox(
        "Impossible de modifier une couche qui contient une ligne de niveau, un sondage ou un point de coupe",
        "Information", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
    return false;
}

void DialogOutilsCreation::OnTiltCouche(wxCommandEvent&)
{
    if (!gProjet.GetCouche(gProjet.CoucheCourante) || !CheckCoucheMovable(gProjet.CoucheCourante))
        return;
    StartMoveCoucheTool();
    // The tool shows the layer's triangles.
    wxCommandEvent shown(wxEVT_CHECKBOX, IdTriangulation);
    shown.SetInt(1);
    OnAfficherTriangulation(shown);
}

void DialogOutilsCreation::OnAddLigneNiveau(wxCommandEvent&)
{
    StartAddLigneNiveauTool(-1);
}

void DialogOutilsCreation::OnAfficherLignes(wxCommandEvent& event)
{
    gProjet.mLignesNiveauAffichees = ShowSwitch(event, IdLignes, 31);
    RefreshDisplay();
    gProjet.MarkModified();
}

void DialogOutilsCreation::OnAfficherPoints(wxCommandEvent& event)
{
    gProjet.PointsAffiches = ShowSwitch(event, IdPoints, 32);
    RefreshDisplay();
    gProjet.MarkModified();
}

void DialogOutilsCreation::OnAfficherTriangulation(wxCommandEvent& event)
{
    gProjet.TriangulationAffichee = ShowSwitch(event, IdTriangulation, 33);
    RefreshDisplay();
    gProjet.MarkModified();
}

void DialogOutilsCreation::OnAxeType(wxCommandEvent&)
{
    EndCurrentTool();
    gProjet.GetAxe().SetType(static_cast<wxRadioBox*>(mControls[IdAxeType])->GetSelection(), true);
}

void DialogOutilsCreation::OnAxeParametres(wxCommandEvent&)
{
    for (int id = IdRayon; id <= IdInclin; ++id)
        static_cast<ChampTexte*>(mControls[id])->DiscardEdits();
    OnAxeParametersEntered();
}

void DialogOutilsCreation::OnSetAxeCentre(wxCommandEvent&)
{
    wxCommandEvent show = Ticked(IdAxe);
    OnAfficherAxe(show);
    EnableCoordinateFields(true, true, true);
    const LumPoint origin = gProjet.GetAxe().Origine;
    ShowCoordinates(origin);
    EndCurrentTool();
    if (!gFenetreTunnel)
        return;
    LumoraDevice* device = gFenetreTunnel->GetMainDevice();
    device->SetCustomEventsManager(OnAxeCentreToolEvent);
    gAxeCentreDragStart = origin;
    gToolPointAction = OnAxeCentreToolPoint;
    gOverlayDrawer = nullptr;
    device->SetGizmo(new LumGizmo(device, 3, origin));
    RefreshDisplay();
}

void DialogOutilsCreation::OnSetAxePoints(wxCommandEvent&)
{
    wxCommandEvent show = Ticked(IdAxe);
    OnAfficherAxe(show);
    gSelectedAxePoint = -1;
    EnableCoordinateFields(true, true, true);
    EndCurrentTool();
    if (!gFenetreTunnel)
        return;
    gFenetreTunnel->GetMainDevice()->SetCustomEventsManager(OnAxePointsToolEvent);
    gToolPointAction = OnAxePointsToolPoint;
    gOverlayDrawer = nullptr;
    RefreshDisplay();
}

void DialogOutilsCreation::OnAxeDXF(wxCommandEvent&)
{
    ImportAxeDXF();
}

void DialogOutilsCreation::OnAfficherAxe(wxCommandEvent& event)
{
    gProjet.AffichageAxeCreation = ShowSwitch(event, IdAxe, 40);
    gProjet.MarkModified();
    RefreshDisplay();
}

void DialogOutilsCreation::OnDefineZone(wxCommandEvent&)
{
    gProjet.SetZoneAffichee(true);
    gProjet.MarkModified();
    if (gProjet.CoucheCourante != 0)
        SelectFirstCouche();
    StartZoneTool();
}

void DialogOutilsCreation::OnAfficherZone(wxCommandEvent& event)
{
    gProjet.SetZoneAffichee(event.GetInt() != 0);
    gProjet.MarkModified();
}

void DialogOutilsCreation::OnCoordinatesEnter(wxCommandEvent&)
{
    // What is typed now is handed over: leaving the field adds nothing.
    for (ChampTexte* field : mFields)
        field->DiscardEdits();
    OnCoordinatesEntered();
}
