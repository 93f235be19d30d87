#include "FenetreTunnel.h"

#include "Axe.h"
#include "Dialog3DCoupe.h"
#include "DialogAPropos.h"
#include "DialogCalculs.h"
#include "DialogCourbes.h"
#include "DialogCout.h"
#include "DialogDXF.h"
#include "DialogDiscontinuite.h"
#include "DialogOutilsCreation.h"
#include "DialogResultats.h"
#include "DialogTete.h"
#include "DialogVisualisation.h"
#include "DialogWait.h"
#include "FrameKeys.h"
#include "FrameUi.h"
#include "InterfaceModes.h"
#include "PanelPrincipal.h"
#include "PopupOVX.h"
#include "ProjetOVX.h"
#include "StartupPaths.h"
#include "TypedValues.h"
#include "UndoCommands.h"

#include <wx/cursor.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/mimetype.h>
#include <wx/process.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <clocale>
#include <cmath>
#include <locale>
#include <sstream>

FenetreTunnel* gFenetreTunnel = nullptr;

namespace
{
struct CursorFile
{
    const char* path;
    wxBitmapType type;
    int hotX, hotY;
};
// Hot spots: the pens' tip at the lower left, the borehole's drill tip at
// the bottom, the cutter's blade at the upper left, the others' centre.
const CursorFile CursorFiles[FenetreTunnel::CursorCount] = {
    {"/Icons/Cursor_Pen.gif", wxBITMAP_TYPE_GIF, 1, 30},
    {"/Icons/Cursor_Pen_Rouge.gif", wxBITMAP_TYPE_GIF, 1, 30},
    {"/Icons/Cursor_Geologie.png", wxBITMAP_TYPE_PNG, 16, 16},
    {"/Icons/Cursor_Sondage.png", wxBITMAP_TYPE_PNG, 16, 30},
    {"/Icons/Cursor_Cutter.png", wxBITMAP_TYPE_PNG, 2, 2},
    {"/Icons/Cursor_Target.png", wxBITMAP_TYPE_PNG, 16, 16},
    {"/Icons/Cursor_Echelle.png", wxBITMAP_TYPE_PNG, 16, 16},
    {"/Icons/Cursor_Axe.png", wxBITMAP_TYPE_PNG, 16, 16},
};

enum class Kind
{
    Normal,
    Check,
    Separator
};
struct Item
{
    int id;
    const char* label;
    const char* help; // null: the label
    Kind kind;
};
wxString U(const char* text)
{
    return wxString::FromUTF8(text);
}
wxMenu* MakeMenu(std::initializer_list<Item> items)
{
    auto* menu = new wxMenu;
    for (const Item& item : items)
    {
        if (item.kind == Kind::Separator)
            menu->AppendSeparator();
        else
            menu->Append(item.id, U(item.label), U(item.help ? item.help : item.label),
                         item.kind == Kind::Check ? wxITEM_CHECK : wxITEM_NORMAL);
    }
    return menu;
}
const Item Separator = {-1, "", nullptr, Kind::Separator};

// The number as a default output stream writes it ("8.5"), whatever the
// process locale.
std::string DefaultStreamText(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

// A typed number by the atof prefix rule, a decimal comma read as a point;
// false when the text starts with no number or gives no finite value.
bool ReadFiniteNumber(const std::string& text, double& value)
{
    std::istringstream in(WithDecimalPoints(text));
    in.imbue(std::locale::classic());
    double prefix = 0.0;
    if (!(in >> prefix))
        return false;
    value = TypedNumber(text);
    return std::isfinite(value);
}

// The help could not be shown: the user is told, whatever the cause.
void ShowHelpFailure(const std::string& path)
{
    GetModelUi().MessageBox("Impossible d'ouvrir le document d'aide '" + path +
                                "'.\nVérifiez qu'un lecteur de fichiers PDF est installé.",
                            "Erreur");
}

// The desktop's opener of one document, watched until it ends: xdg-open
// ends in failure when no viewer takes the document. Deletes itself.
class DocumentOpener : public wxProcess
{
public:
    explicit DocumentOpener(std::string path) : mPath(std::move(path)) {}
    void OnTerminate(int, int status) override
    {
        if (status != 0 && gFenetreTunnel)
            ShowHelpFailure(mPath);
        delete this;
    }

private:
    std::string mPath;
};

bool LaunchWithDesktop(const std::string& path)
{
    wxString searchPath, opener;
    if (!wxFileExists(wxString::FromUTF8(path)) || !wxGetEnv("PATH", &searchPath) ||
        !wxFindFileInPath(&opener, searchPath, "xdg-open"))
        return false;
    // No shell: the path is handed over as one argument.
    const wxString document = wxString::FromUTF8(path);
    const wchar_t* argv[] = {opener.wc_str(), document.wc_str(), nullptr};
    auto* watcher = new DocumentOpener(path);
    if (wxExecute(argv, wxEXEC_ASYNC, watcher) == 0)
    {
        delete watcher;
        return false;
    }
    return true;
}
} // namespace

FenetreTunnel::FenetreTunnel(wxWindow* parent, const wxString& title, const wxPoint& position,
                             const wxSize& size)
    : wxFrame(parent, wxID_ANY, title, position, size), mLauncher(LaunchWithDesktop)
{
    LoadCursors();
    wxIcon icon;
    icon.CopyFromBitmap(
        wxBitmap(wxString::FromUTF8(ApplicationPath("/Icons/IconeVorn.png")), wxBITMAP_TYPE_PNG));
    if (icon.IsOk())
        SetIcon(icon);

    CreateStatusBar(3, wxSTB_SIZEGRIP | wxFULL_REPAINT_ON_RESIZE);
    SetStatusText(U("Prêt"), 0);
    BuildMenus();
    GetMenuBar()->EnableTop(3, false);
    BuildToolBar();

    mOutilsCreation = new DialogOutilsCreation(this);
    mVisualisation = new DialogVisualisation(this);
    mDiscontinuite = new DialogDiscontinuite(this);
    mTete = new DialogTete(this);
    mResultats = new DialogResultats(this);
    mCourbes = new DialogCourbes(this);

    SetFrameKeys(this);

    // The palettes show with their mode, once the frame is shown: mapped
    // before it, a window manager would stack them under it.
    mPanelPrincipal = new PanelPrincipal(this);
    mDevice = mPanelPrincipal->getDevice();
    BindCommands();

    gFenetreTunnel = this;
    mUi = new FrameUi(this);
    SetModelUi(mUi);

    // The client area set explicitly: the toolkit then shows the frame at
    // once rather than waiting for a window manager's frame extents, a wait
    // during which GTK lays the frame out 2 pixels wide and its toolbar
    // prints a Gtk-CRITICAL and a Gtk-WARNING. The frame keeps its size
    // (its client area the size it was built with under no window manager) and
    // position.
    SetClientSize(GetClientSize());
}

FenetreTunnel::~FenetreTunnel()
{
    SetModelUi(nullptr);
    delete mUi;
    // The menu goes before the toolkit does.
    DeletePopup();
    DeleteCursors();
    gFenetreTunnel = nullptr;
}

void FenetreTunnel::LoadCursors()
{
    for (int i = 0; i < CursorCount; ++i)
    {
        wxImage image;
        if (!image.LoadFile(wxString::FromUTF8(ApplicationPath(CursorFiles[i].path)), CursorFiles[i].type))
            continue;
        image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_X, CursorFiles[i].hotX);
        image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_Y, CursorFiles[i].hotY);
        mCursors[i] = new wxCursor(image);
    }
}

void FenetreTunnel::DeleteCursors()
{
    for (wxCursor*& cursor : mCursors)
    {
        delete cursor;
        cursor = nullptr;
    }
}

void FenetreTunnel::BuildMenus()
{
    auto* bar = new wxMenuBar;
    bar->Append(MakeMenu({{IdNew, "&Nouveau projet", "Crée un nouveau projet", Kind::Normal},
                          {IdOpen, "&Ouvrir", "Charger un projet", Kind::Normal},
                          {IdSave, "&Enregistrer", "Sauvegarde le projet courant", Kind::Normal},
                          {IdSaveAs, "&Enregistrer sous",
                           "Sauvegarde le projet courant sous un fichier spécifique", Kind::Normal},
                          Separator,
                          {IdQuit, "&Quitter", "Quitte l'application", Kind::Normal}}),
                U("&Fichier"));
    bar->Append(MakeMenu({{IdUndo, "&Annuler", "Annuler", Kind::Normal},
                          {IdRedo, "&Refaire", "Refaire", Kind::Normal}}),
                U("&Edition"));

    auto* creation = new wxMenu;
    creation->Append(wxID_ANY, U("Fond de plan"),
                     MakeMenu({{22, "Changer le fond de plan", nullptr, Kind::Normal},
                               {23, "Ajuster le fond de plan", nullptr, Kind::Normal},
                               {24, "Changer l'échelle", nullptr, Kind::Normal},
                               {25, "Changer l'origine", nullptr, Kind::Normal},
                               {26, "Afficher le Nord", nullptr, Kind::Check}}),
                     U("Fonctions relatives au fond de plan"));
    creation->Append(wxID_ANY, U("Couches"),
                     MakeMenu({{27, "Ajouter une couche", nullptr, Kind::Normal},
                               {28, "Supprimer la couche courante", nullptr, Kind::Normal},
                               {29, "Ajouter des points", nullptr, Kind::Normal},
                               {30, "Ajouter une ligne de niveau", nullptr, Kind::Normal},
                               {31, "Afficher les lignes de niveau", nullptr, Kind::Check},
                               {32, "Afficher les points", nullptr, Kind::Check},
                               {33, "Afficher la triangulation", nullptr, Kind::Check}}),
                     U("Fonctions relatives aux couches géologiques"));
    creation->Append(
        wxID_ANY, U("Axe"),
        MakeMenu(
            {{40, "Afficher l'axe", nullptr, Kind::Check},
             {IdGraduation, "Définir la graduation de l'axe", nullptr, Kind::Normal},
             Separator,
             {42, "Axe avec point de référence", "Définir l'axe comme ayant un seul point de référence",
              Kind::Check},
             {43, "Axe polyligne", "Définir l'axe comme ayant une polyligne comme référence", Kind::Check},
             Separator,
             {44, "Définir depuis un fichier DXF", "Définir l'axe depuis un fichier DXF", Kind::Normal}}),
        U("Fonctions relatives à l'axe"));
    bar->Append(creation, U("&Création"));

    auto* visualisation = new wxMenu;
    visualisation->Append(45, U("Centrer la vue"), U("Centrer la vue"));
    visualisation->Append(wxID_ANY, U("Options de visualisation"),
                          MakeMenu({{46, "Afficher les triangles", nullptr, Kind::Check},
                                    {47, "Afficher les segments", nullptr, Kind::Check},
                                    {48, "Afficher les points", nullptr, Kind::Check},
                                    {49, "Afficher les lignes de niveau", nullptr, Kind::Check},
                                    {50, "Afficher les sondages", nullptr, Kind::Check},
                                    {51, "Afficher l'axe", nullptr, Kind::Check},
                                    {52, "Afficher la tête de tranchée", nullptr, Kind::Check},
                                    {53, "Afficher la ligne d'intersection", nullptr, Kind::Check},
                                    {54, "Afficher les informations de visualisation", nullptr, Kind::Check},
                                    {55, "Afficher les travaux en transparence",
                                     "Afficher la zone des travaux en transparence", Kind::Check}}),
                          U("Fonctions relatives à l'affichage"));
    visualisation->Append(56, U("Editer l'axe"), U("Editer l'axe dans la vue 3D"));
    visualisation->Append(IdGraduation, U("Définir la graduation de l'axe"),
                          U("Définir la graduation de l'axe"));
    visualisation->Append(57, U("Créer une coupe"), U("Créer une coupe"));
    visualisation->Append(58, U("Ajouter un élément de décor"), U("Ajouter un élément de décor"));
    bar->Append(visualisation, U("&Visualisation"));

    bar->Append(MakeMenu({{IdToggleDiscontinuites, "Afficher/Masquer la boîte de dialogue des discontinuités",
                           nullptr, Kind::Normal}}),
                U("&Discontinuités"));
    bar->Append(MakeMenu({{IdToggleTete, "Afficher/Masquer la boîte de dialogue de la tête de tranchée",
                           nullptr, Kind::Normal}}),
                U("&Tête de tranchée"));
    bar->Append(MakeMenu({{35, "Exporter les sondages", nullptr, Kind::Normal},
                          {36, "Définir la fonction de coût", nullptr, Kind::Normal},
                          {37, "Afficher la fenêtre des résultats", nullptr, Kind::Normal},
                          {IdSeries, "Effectuer des calculs en série", nullptr, Kind::Normal},
                          {39, "Afficher les courbes des calculs en série", nullptr, Kind::Normal}}),
                U("&Calculs"));
    bar->Append(MakeMenu({{IdAbout, "A propos", "Ouvre la boite de dialogue 'A propos'", Kind::Normal},
                          {IdHelp, "Aide", "Documentation du logiciel", Kind::Normal}}),
                U("&Aide"));
    SetMenuBar(bar);
}

void FenetreTunnel::BuildToolBar()
{
    wxToolBar* tools = CreateToolBar(wxTB_DEFAULT_STYLE, wxID_ANY);
    tools->SetToolBitmapSize(wxSize(32, 32));
    struct Tool
    {
        int id;
        const char* file;
        const char* text;
        wxItemKind kind;
    };
    const Tool table[] = {
        {IdNew, "/Icons/New.gif", "Nouveau projet", wxITEM_NORMAL},
        {IdOpen, "/Icons/Open.gif", "Ouvrir un projet", wxITEM_NORMAL},
        {IdSave, "/Icons/Save.gif", "Sauvegarder le projet", wxITEM_NORMAL},
        {IdUndo, "/Icons/Undo.gif", "Annuler", wxITEM_NORMAL},
        {IdRedo, "/Icons/Redo.gif", "Refaire", wxITEM_NORMAL},
        {IdModeCreation, "/Icons/Creation.gif", "Mode Création", wxITEM_RADIO},
        {IdModeVisualisation, "/Icons/Visualisation.gif", "Mode Visualisation", wxITEM_RADIO},
        {IdDiscontinuites, "/Icons/Discontinuites.gif", "Edition des Discontinuités", wxITEM_CHECK},
        {IdTranchee, "/Icons/Tranchee.gif", "Edition de la Tête de tranchée", wxITEM_CHECK},
    };
    for (const Tool& tool : table)
    {
        wxBitmap bitmap(wxString::FromUTF8(ApplicationPath(tool.file)), wxBITMAP_TYPE_GIF);
        if (!bitmap.IsOk())
            bitmap = wxBitmap(32, 32);
        tools->AddTool(tool.id, U(tool.text), bitmap, wxNullBitmap, tool.kind, U(tool.text), U(tool.text));
    }
    tools->Realize();
}

void FenetreTunnel::CheckItem(int id, bool checked)
{
    wxMenuBar* bar = GetMenuBar();
    wxMenuItem* item = bar ? bar->FindItem(id) : nullptr;
    if (item && item->IsCheckable())
        item->Check(checked);
}

void FenetreTunnel::EnableItem(int id, bool enabled)
{
    wxMenuBar* bar = GetMenuBar();
    if (bar && bar->FindItem(id))
        bar->Enable(id, enabled);
}

void FenetreTunnel::BindCommands()
{
    auto on = [this](int id, std::function<void(wxCommandEvent&)> handler)
    {
        Bind(
            wxEVT_MENU, [handler](wxCommandEvent& event) { handler(event); }, id);
    };
    on(IdModeCreation, [](wxCommandEvent&) { EnterCreationMode(true); });
    on(IdModeVisualisation, [](wxCommandEvent&) { EnterVisualisationMode(true); });
    on(IdDiscontinuites, [this](wxCommandEvent& event) { mDiscontinuite->Show(event.IsChecked()); });
    on(IdTranchee, [this](wxCommandEvent& event) { mTete->Show(event.IsChecked()); });
    // The one entry point of undo and redo, which refuses them while a DXF
    // import fills its new layer.
    on(IdUndo, OnUndoCommand);
    on(IdRedo, OnRedoCommand);
    on(IdNew, [](wxCommandEvent&) { gProjet.New(); });
    on(IdOpen, [this](wxCommandEvent&) { OnOpen(); });
    on(IdSave, [](wxCommandEvent&) { gProjet.Save(); });
    on(IdSaveAs, [](wxCommandEvent&) { gProjet.SaveAs(); });
    on(IdQuit, [this](wxCommandEvent&) { Close(false); });
    Bind(wxEVT_CLOSE_WINDOW, &FenetreTunnel::OnClose, this);

    // The creation commands are the palette's own handlers, called
    // directly: the palette's ids are not the menu's.
    on(22, [this](wxCommandEvent& event) { mOutilsCreation->OnChooseFond(event); });
    on(23, [this](wxCommandEvent& event) { mOutilsCreation->OnAjusterFond(event); });
    on(24, [this](wxCommandEvent& event) { mOutilsCreation->OnEchelleFond(event); });
    on(25, [this](wxCommandEvent& event) { mOutilsCreation->OnOrigineFond(event); });
    on(26, [this](wxCommandEvent& event) { mOutilsCreation->OnAfficherNord(event); });
    on(27, [this](wxCommandEvent& event) { mOutilsCreation->OnAddCouche(event); });
    on(28, [this](wxCommandEvent& event) { mOutilsCreation->OnDeleteCouche(event); });
    on(29, [this](wxCommandEvent& event) { mOutilsCreation->OnAddPoints(event); });
    on(30, [this](wxCommandEvent& event) { mOutilsCreation->OnAddLigneNiveau(event); });
    on(31, [this](wxCommandEvent& event) { mOutilsCreation->OnAfficherLignes(event); });
    on(32, [this](wxCommandEvent& event) { mOutilsCreation->OnAfficherPoints(event); });
    on(33, [this](wxCommandEvent& event) { mOutilsCreation->OnAfficherTriangulation(event); });
    on(34, [this](wxCommandEvent& event) { mOutilsCreation->OnAddBorehole(event); });
    on(40, [this](wxCommandEvent& event) { mOutilsCreation->OnAfficherAxe(event); });
    on(IdGraduation, [this](wxCommandEvent&) { OnGraduation(); });
    on(42, [this](wxCommandEvent&) { OnAxeType(0); });
    on(43, [this](wxCommandEvent&) { OnAxeType(1); });
    // Axis from a DXF file (44), as the palette's button; the visualisation
    // palette's centring (45), axis editing (56), section (57) and scenery
    // (58).
    on(44, [this](wxCommandEvent& event) { mOutilsCreation->OnAxeDXF(event); });
    on(57, [](wxCommandEvent&) { ShowSectionPicking(); });
    on(45, [](wxCommandEvent&) { DialogVisualisation::CentreView(); });
    on(56, [this](wxCommandEvent& event) { mVisualisation->OnMoveAxePoints(event); });
    on(58, [](wxCommandEvent&) { DialogVisualisation::AddDecor(); });
    for (int id = 46; id <= 55; ++id)
        on(id, [this, id](wxCommandEvent& event) { OnDisplaySwitch(id, event.IsChecked()); });
    on(35, [](wxCommandEvent&) { gProjet.ExportSondagesCSV(); });
    on(36, [](wxCommandEvent&) { DialogCout::ShowModalDialog(); });
    on(37, [this](wxCommandEvent&) { mResultats->Show(); });
    on(IdSeries, [this](wxCommandEvent&) { OnSeries(); });
    on(39, [this](wxCommandEvent&) { mCourbes->Show(); });
    on(IdToggleDiscontinuites, [this](wxCommandEvent&) { mDiscontinuite->Show(!mDiscontinuite->IsShown()); });
    on(IdToggleTete, [this](wxCommandEvent&) { mTete->Show(!mTete->IsShown()); });
    on(IdHelp, [this](wxCommandEvent&) { OnHelp(); });
    on(IdAbout,
       [](wxCommandEvent&)
       {
           DialogAPropos about;
           about.ShowModal();
       });
}

void FenetreTunnel::OnOpen()
{
    ModelUi::FileRequest request;
    request.Title = "Choisissez un fichier";
    request.Wildcard = "Ovalis files (*.ovx)|*.ovx";
    const std::string path = GetModelUi().AskFilePath(request);
    if (!path.empty())
        gProjet.Open(path);
}

void FenetreTunnel::OnDisplaySwitch(int id, bool on)
{
    using Setter = void (ProjetOVX::*)(bool);
    static const Setter setters[] = {
        &ProjetOVX::Set3DTriangles,      &ProjetOVX::Set3DSegments,
        &ProjetOVX::Set3DPoints,         &ProjetOVX::Set3DLignes,
        &ProjetOVX::Set3DSondages,       &ProjetOVX::Set3DAxe,
        &ProjetOVX::Set3DAffichageTete,  &ProjetOVX::Set3DAffichageLigneIntersection,
        &ProjetOVX::Set3DAffichageInfos, &ProjetOVX::SetTravauxTransparence,
    };
    (gProjet.*setters[id - 46])(on);
    RefreshDisplay();
}

void FenetreTunnel::OnGraduation()
{
    std::string text = DefaultStreamText(gProjet.GraduationAxe);
    if (!GetModelUi().AskText("Indiquez '0' pour supprimer les graduation",
                              "Changement de graduation de l'axe", text) ||
        text.empty())
        return;
    double value = 0.0;
    if (!ReadFiniteNumber(text, value))
    {
        ShowNonFiniteValuesMessage();
        return;
    }
    gProjet.GraduationAxe = value;
    // The ticks drawn are those of the former step until made again.
    gProjet.GetAxe().InvalidateGraduation();
    gProjet.MarkModified();
    gProjet.SetGeometryChanged();
    gProjet.InvalidateResults();
    gProjet.RefreshWindows();
    mVisualisation->SetGraduationLabel(gProjet.GraduationAxe);
    RefreshDisplay();
}

void FenetreTunnel::OnAxeType(int type)
{
    EndCurrentTool();
    Axe& axe = gProjet.GetAxe();
    axe.SetType(type, true);
    // The item clicked toggled itself, also when the type stayed: both ticks
    // follow the type.
    CheckItem(42, axe.Type == 0);
    CheckItem(43, axe.Type != 0);
}

void FenetreTunnel::OnSeries()
{
    LumPoint head;
    double direction = 0.0, slope = 0.0;
    if (!gProjet.GetAxe().GetHeadPosition(head, direction, slope))
    {
        GetModelUi().MessageBox(
            "Vous devez déjà placer la tête de tranchée avant de pouvoir lancer des calculs", "Message",
            ModelUi::Buttons::Ok, ModelUi::BoxCentred);
        return;
    }
    SeriesRequest request;
    {
        DialogCalculs dialog(this);
        if (dialog.ShowModal() != wxID_OK)
            return;
        request = dialog.GetRequest();
    }
    // The bounds' dialog is gone before the series starts.
    auto* wait = new DialogWait;
    wait->Show();
    {
        // The series yields to the toolkit between positions so that
        // "Annuler" answers; nothing else may edit or close the project
        // meanwhile.
        wxWindowDisabler others(wait);
        wait->Run(request.Direction, request.Positions, request.Offsets);
    }
    wait->Destroy();
}

void FenetreTunnel::OnHelp()
{
    const std::string path = ApplicationPath("/Aide/Aide.pdf");
    bool opened = false;
    {
        // The toolkit's own failure lines say less than the box below.
        wxLogNull quiet;
        opened = mLauncher(path);
    }
    if (!opened)
        ShowHelpFailure(path);
}

void FenetreTunnel::OnClose(wxCloseEvent& event)
{
    // The layer an import is filling was never validated: it is taken away
    // before the project is saved or dropped.
    if (gDialogDXF)
    {
        wxCommandEvent cancel(wxEVT_BUTTON);
        gDialogDXF->OnAnnuler(cancel);
    }
    const int answer = gProjet.Close();
    if (event.CanVeto() && answer == ModelUi::IdCancel)
    {
        event.Veto();
        return;
    }
    DeleteCursors();
    Destroy();
}
