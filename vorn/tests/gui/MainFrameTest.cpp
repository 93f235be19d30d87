// The main frame as a user meets it: the state after start-up, the commands
// of its menus and toolbar, the two modes and the close question. Boxes and
// dialogs are answered by the test through the model's interface.

#include "../DXFTestFiles.h"
#include "AnsweringUi.h"
#include "CalculSeries.h"
#include "DialogAPropos.h"
#include "DialogCalculs.h"
#include "DialogCourbes.h"
#include "DialogDiscontinuite.h"
#include "DialogOutilsCreation.h"
#include "DialogVisualisation.h"
#include "Excavation.h"
#include "FenetreTunnel.h"
#include "FrameUi.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "KorString.h"
#include "LumCamera.h"
#include "LumGLBuffer.h"
#include "LumoraDevice.h"
#include "OVXUndoManager.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "ProgramFrameTest.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"
#include "ResultatsOVX.h"
#include "View3D.h"
#include "XMLNode.h"

#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/toolbar.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace
{
std::string ProgramFolder()
{
    return GetFolderFromPath(VORN_PROGRAM);
}

class MainFrameTest : public ProgramFrameTest
{
protected:
    void SetUp() override
    {
        ProgramFrameTest::SetUp();
        ui->otherwise = ModelUi::IdCancel;
    }
    void TearDown() override
    {
        ProgramFrameTest::TearDown();
        std::remove(projectPath.c_str());
    }

    // Runs a command as its menu item would; false when nothing handled it.
    bool Command(int id, int checked = -1) { return RunCommand(frame, id, checked); }

    // Opens a project of one layer whose displayed zone is as given.
    void OpenProject(const LumPoint& l1, const LumPoint& l2)
    {
        projectPath = WriteTempProject("<Couche><Nom>A</Nom></Couche>");
        gProjet.Open(projectPath);
        gProjet.Limite1 = l1;
        gProjet.Limite2 = l2;
    }

    bool TopEnabled(const char* label) const
    {
        wxMenuBar* bar = frame->GetMenuBar();
        return bar->IsEnabledTop(bar->FindMenu(wxString::FromUTF8(label)));
    }

    std::string projectPath;
};

TEST_F(MainFrameTest, StartsAloneWithOnlyFileAndHelp)
{
    EXPECT_EQ(frame->GetTitle(), "Ovalis 1.0.5");
    EXPECT_TRUE(frame->GetIcon().IsOk());
    EXPECT_EQ(frame->GetStatusBar()->GetFieldsCount(), 3);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), wxString::FromUTF8("Prêt"));
    const char* tops[] = {"&Fichier",        "&Edition",          "&Création", "&Visualisation",
                          "&Discontinuités", "&Tête de tranchée", "&Calculs",  "&Aide"};
    for (const char* top : tops)
        EXPECT_EQ(TopEnabled(top), std::string(top) == "&Fichier" || std::string(top) == "&Aide") << top;
    wxToolBar* tools = frame->GetToolBar();
    EXPECT_EQ(tools->GetToolsCount(), 9u);
    for (int id : {1, 2, 4})
        EXPECT_TRUE(tools->GetToolEnabled(id)) << id;
    for (int id : {6, 7, 10, 11, 12, 13})
        EXPECT_FALSE(tools->GetToolEnabled(id)) << id;
    EXPECT_FALSE(frame->GetCreationPalette()->IsShown());
    EXPECT_FALSE(frame->GetVisualisationPalette()->IsShown());
    for (int i = 0; i < FenetreTunnel::CursorCount; ++i)
        EXPECT_NE(frame->GetToolCursor(FenetreTunnel::ToolCursor(i)), nullptr) << i;
    // Every tool's bitmap was read: none is the blank stand-in.
    EXPECT_TRUE(tools->FindById(4)->GetNormalBitmap().IsOk());
    EXPECT_EQ(tools->FindById(4)->GetNormalBitmap().GetWidth(), 32);
}

TEST_F(MainFrameTest, OpenedProjectShowsCreationModeAndItsHooks)
{
    OpenProject(LumPoint(-90, 90, 0), LumPoint(90, -90, 0));
    EXPECT_EQ(frame->GetTitle(), "Ovalis 1.0.5 - " + GetFileRadical(projectPath));
    EXPECT_EQ(gMode, 1);
    EXPECT_TRUE(TopEnabled("&Création"));
    EXPECT_FALSE(TopEnabled("&Visualisation"));
    EXPECT_TRUE(frame->GetCreationPalette()->IsShown());
    EXPECT_TRUE(frame->GetToolBar()->GetToolState(10));
    LumoraDevice* device = frame->GetMainDevice();
    EXPECT_EQ(device->GetDrawCallback(), &RenderPlanView);
    EXPECT_EQ(device->GetCustomEventsManager(), &OnPlanViewEvent);
    EXPECT_EQ(gToolPointAction, &OnPlanViewPoint);

    // A tool's prompt and hooks go with the tool; a second ending changes
    // nothing.
    GetModelUi().SetStatusText("Cliquez pour définir l'origine", 0);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(2), wxString::FromUTF8("Cliquez pour définir l'origine"));
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), wxString::FromUTF8("Prêt"));
    gOverlayDrawer = [](LumoraDevice*) {};
    EndCurrentTool();
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(2), "");
    EXPECT_EQ(gOverlayDrawer, nullptr);
    EndCurrentTool();
    EXPECT_EQ(device->GetCustomEventsManager(), &OnPlanViewEvent);
    EXPECT_EQ(gToolPointAction, &OnPlanViewPoint);
    EXPECT_EQ(gMode, 1);
}

TEST_F(MainFrameTest, ModeSwitchesRestoreBothCameras)
{
    OpenProject(LumPoint(-90, 90, 0), LumPoint(90, -90, 0));
    gProjet.PosXDessus = 12.5;
    gProjet.PosYDessus = -7.25;
    gProjet.ZoomDessus = 333.0;
    gProjet.CameraPosition = LumPoint(10, -20, 30);
    gProjet.CameraTarget = LumPoint(1, 2, 3);
    RestoreModeCamera();
    LumCamera* camera = frame->GetMainDevice()->GetCamera();

    Command(11);
    ASSERT_EQ(gMode, 2);
    EXPECT_EQ(camera->GetMode(), 1);
    EXPECT_EQ(camera->GetPosition().x, 10.0);
    EXPECT_EQ(camera->GetTarget().z, 3.0);
    EXPECT_TRUE(frame->GetVisualisationPalette()->IsShown());
    EXPECT_FALSE(frame->GetCreationPalette()->IsShown());
    EXPECT_EQ(frame->GetMainDevice()->GetDrawCallback(), &RenderView3D);
    EXPECT_EQ(gToolPointAction, nullptr);
    // The 3D display switches are ticked from the project.
    EXPECT_EQ(frame->GetMenuBar()->IsChecked(46), gProjet.m3DTriangles);
    // The user moves the 3D camera, goes back to the plan and to 3D again.
    camera->SetPosition(LumPoint(40, 50, 60));
    camera->SetTarget(LumPoint(4, 5, 6));
    Command(10);
    ASSERT_EQ(gMode, 1);
    EXPECT_EQ(camera->GetMode(), 3);
    EXPECT_EQ(camera->GetPosition().x, 12.5);
    EXPECT_EQ(camera->GetPosition().y, -7.25);
    EXPECT_EQ(camera->GetPosition().z, 10000.0);
    EXPECT_EQ(camera->GetDistance(), 333.0);
    Command(11);
    EXPECT_EQ(camera->GetPosition().x, 40.0);
    EXPECT_EQ(camera->GetPosition().z, 60.0);
    EXPECT_EQ(camera->GetTarget().y, 5.0);
    Command(10);
    EXPECT_EQ(gProjet.PosXDessus, 12.5);
    EXPECT_EQ(gProjet.ZoomDessus, 333.0);
    // Each switch recorded one undo step; undo goes back to 3D.
    Command(6);
    EXPECT_EQ(gMode, 2);
    EXPECT_TRUE(ui->boxes.empty());
}

TEST_F(MainFrameTest, InvalidZoneRefusesTheThreeDimensionalView)
{
    OpenProject(LumPoint(5, 5, 0), LumPoint(5, 5, 0));
    Command(11);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(
        ui->boxes[0],
        "Information: Impossible de passer en mode Visualisation : la zone de visualisation est mal définie");
    EXPECT_EQ(gMode, 1);
    EXPECT_TRUE(frame->GetToolBar()->GetToolState(10));
    EXPECT_EQ(frame->GetMainDevice()->GetDrawCallback(), &RenderPlanView);
}

TEST_F(MainFrameTest, CommandsOfTheMenus)
{
    OpenProject(LumPoint(-90, 90, 0), LumPoint(90, -90, 0));
    wxMenuBar* bar = frame->GetMenuBar();

    // A display switch sets the project and ticks its item.
    Command(46, 0);
    EXPECT_FALSE(gProjet.m3DTriangles);
    EXPECT_FALSE(bar->IsChecked(46));
    Command(46, 1);
    EXPECT_TRUE(gProjet.m3DTriangles);
    EXPECT_TRUE(bar->IsChecked(46));

    // The axis graduation stands in both menus under one id.
    int graduationItems = 0;
    for (size_t m = 0; m < bar->GetMenuCount(); ++m)
        for (wxMenuItem* item : bar->GetMenu(m)->GetMenuItems())
        {
            wxMenu* sub = item->GetSubMenu();
            for (wxMenuItem* inner : sub ? sub->GetMenuItems() : wxMenuItemList())
                graduationItems += inner->GetId() == 41;
            graduationItems += item->GetId() == 41;
        }
    EXPECT_EQ(graduationItems, 2);
    gProjet.GraduationAxe = 10.0;
    const struct
    {
        const char* typed;
        double stored;
        bool refused;
    } graduations[] = {{"8.5", 8.5, false}, {"abc", 8.5, true}, {"1e999", 8.5, true},
                       {"nan", 8.5, true},  {"", 8.5, false},   {"0", 0.0, false}};
    for (const auto& g : graduations)
    {
        ui->boxes.clear();
        ui->texts = {g.typed};
        Command(41);
        EXPECT_EQ(gProjet.GraduationAxe, g.stored) << g.typed;
        ASSERT_EQ(ui->boxes.size(), g.refused ? 1u : 0u) << g.typed;
        if (g.refused)
        {
            EXPECT_EQ(ui->boxes[0], "Erreur: Les valeurs saisies doivent être des nombres réels finis");
        }
    }
    EXPECT_EQ(ui->asked[0], "Changement de graduation de l'axe | 10");
    EXPECT_EQ(ui->asked[1], "Changement de graduation de l'axe | 8.5");

    // The menu's toggle of the discontinuity editor leaves the tool alone.
    Command(61);
    EXPECT_TRUE(frame->GetDiscontinuityDialog()->IsShown());
    EXPECT_FALSE(frame->GetToolBar()->GetToolState(12));
    Command(61);
    EXPECT_FALSE(frame->GetDiscontinuityDialog()->IsShown());

    // No head placed: the series says so.
    ui->boxes.clear();
    Command(38);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0],
              "Message: Vous devez déjà placer la tête de tranchée avant de pouvoir lancer des calculs");

    // Every other item of every menu changes what its command is about
    // (Quit and the modal About box, cost-function and new-layer dialogs
    // apart: they have their tests). A check item is clicked as the toolkit
    // does it: ticked or unticked first.
    enum Seen
    {
        Projet,
        Historique,
        Enregistre,
        Outil,
        Boite,
        Texte,
        Fichier,
        Fenetre,
        Camera,
        Document
    };
    const std::map<int, Seen> effects = {
        {4, Projet},   {1, Fichier},  {2, Enregistre}, {3, Fichier},  {6, Historique}, {7, Historique},
        {22, Fichier}, {23, Outil},   {24, Outil},     {25, Outil},   {26, Projet},    {28, Projet},
        {29, Outil},   {30, Texte},   {31, Projet},    {32, Projet},  {33, Projet},    {40, Projet},
        {41, Projet},  {42, Projet},  {43, Projet},    {44, Projet},  {45, Camera},    {46, Projet},
        {47, Projet},  {48, Projet},  {49, Projet},    {50, Projet},  {51, Projet},    {52, Projet},
        {53, Projet},  {54, Projet},  {55, Projet},    {56, Outil},   {57, Fenetre},   {58, Fichier},
        {61, Fenetre}, {62, Fenetre}, {35, Fichier},   {37, Fenetre}, {38, Boite},     {39, Fenetre},
        {63, Document}};
    // What the command needs to have an effect at all.
    const std::map<int, std::function<void()>> before = {
        {2, [] { gProjet.MarkModified(); }},
        {35, [this] { ui->paths = {projectPath + ".csv"}; }},
        {44, [this] { ui->paths = {projectPath + ".dxf"}; }},
        {4, [this] { ui->answers = {ModelUi::IdNo}; }},
        {6, [] { gProjet.GetAxe().SetType(1 - gProjet.GetAxe().Type, true); }},
        {23, [] { gProjet.SetFondPlan(ProgramFolder() + "/Icons/New.gif"); }},
        {28, [] { gProjet.SetCoucheCourante(0); }},
        {41, [this] { ui->texts = {std::to_string(gProjet.GraduationAxe + 1)}; }},
        {42, [] { gProjet.GetAxe().SetType(1, false); }},
        {45, [this] { frame->GetMainDevice()->GetCamera()->SetTarget(LumPoint(30, 40, 50)); }}};
    gProjet.AddCouche("B", 1);
    std::ofstream(projectPath + ".dxf") << DXFTest::File(DXFTest::Polyline3D({{0, 0, 1}, {50, 0, 2}}));
    // The 3D switches ticked from the project.
    Command(FenetreTunnel::IdModeVisualisation);
    Command(FenetreTunnel::IdModeCreation);
    int launched = 0;
    frame->SetDocumentLauncher([&launched](const std::string&) { return ++launched > 0; });
    int modals = 0;
    // A command that opens a modal dialog (the section picking) is ended
    // by the user closing it.
    GuiTest::OneShot closer(
        [&modals]
        {
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* dialog = dynamic_cast<wxDialog*>(window))
                    if (dialog->IsModal())
                    {
                        ++modals;
                        dialog->Close();
                    }
        });
    const std::string xml = projectPath + ".seen";
    auto observe = [&](Seen seen)
    {
        std::ostringstream out;
        const OVXUndoManager& undo = gProjet.GetUndoManager();
        LumCamera* camera = frame->GetMainDevice()->GetCamera();
        switch (seen)
        {
        case Projet:
        {
            XMLNode top = XMLNode::createXMLTopNode("xml", 1);
            XMLNode projet = top.addChild("Projet");
            gProjet.ToXML(projet);
            top.writeToFile(xml);
            out << std::ifstream(xml).rdbuf();
            break;
        }
        case Historique:
            out << undo.GetPosition() << ' ' << undo.GetCount();
            break;
        case Enregistre:
            out << gProjet.IsModified();
            break;
        case Outil:
            out << reinterpret_cast<std::uintptr_t>(frame->GetMainDevice()->GetCustomEventsManager());
            break;
        case Boite:
            out << ui->boxes.size();
            break;
        case Texte:
            out << ui->asked.size();
            break;
        case Fichier:
            out << ui->files.size();
            break;
        case Fenetre:
            for (wxWindow* window : wxTopLevelWindows)
                out << window->IsShown();
            out << ' ' << modals;
            break;
        case Camera:
            out << camera->GetPosition().x << camera->GetTarget().x << camera->GetTarget().z;
            break;
        case Document:
            out << launched;
            break;
        }
        return out.str();
    };
    std::vector<int> ids;
    for (size_t m = 0; m < bar->GetMenuCount(); ++m)
        for (wxMenuItem* item : bar->GetMenu(m)->GetMenuItems())
        {
            wxMenu* sub = item->GetSubMenu();
            for (wxMenuItem* inner : sub ? sub->GetMenuItems() : wxMenuItemList())
                ids.push_back(inner->GetId());
            ids.push_back(item->GetId());
        }
    // New last: it empties the project.
    std::stable_partition(ids.begin(), ids.end(), [](int id) { return id != FenetreTunnel::IdNew; });
    for (int id : ids)
    {
        if (id <= 0 || id == FenetreTunnel::IdQuit || id == FenetreTunnel::IdAbout || id == 27 || id == 36)
            continue;
        const auto effect = effects.find(id);
        ASSERT_NE(effect, effects.end()) << id;
        if (const auto setup = before.find(id); setup != before.end())
            setup->second();
        const std::string seen = observe(effect->second);
        closer.StartOnce(500);
        wxMenuItem* item = bar->FindItem(id);
        if (item->IsCheckable())
        {
            item->Check(!item->IsChecked());
            Command(id, item->IsChecked());
        }
        else
            Command(id);
        closer.Stop();
        EXPECT_NE(observe(effect->second), seen) << id;
    }
    std::ifstream csv(projectPath + ".csv");
    std::string header;
    EXPECT_TRUE(std::getline(csv, header));
    EXPECT_EQ(header, "Sondage;X;Y;Z;Azimut;Pendage;Profondeur totale;Couche;Profondeur");
    for (const char* written : {".seen", ".csv", ".dxf"})
        std::remove((projectPath + written).c_str());
    EXPECT_EQ(gFenetreTunnel, frame);
}

TEST_F(MainFrameTest, RealModalDialogsAnswerTheCommands)
{
    OpenProject(LumPoint(-90, 90, 0), LumPoint(90, -90, 0));
    FrameUi real(frame);
    SetModelUi(&real);

    // The graduation typed into the toolkit's own text dialog.
    gProjet.GraduationAxe = 10.0;
    std::string shownDefault;
    GuiTest::OneShot typeIt(
        [&shownDefault]
        {
            if (auto* dialog = GuiTest::FindShown<wxTextEntryDialog>())
            {
                shownDefault = dialog->GetValue().ToUTF8().data();
                dialog->SetValue("2.5");
                dialog->EndModal(wxID_OK);
            }
        });
    typeIt.StartOnce(300);
    Command(41);
    EXPECT_EQ(shownDefault, "10");
    EXPECT_EQ(gProjet.GraduationAxe, 2.5);

    // The About box opens modal and ends with its close box.
    bool aboutShown = false;
    GuiTest::OneShot closeIt(
        [&aboutShown]
        {
            if (auto* about = GuiTest::FindShown<DialogAPropos>())
            {
                aboutShown = true;
                about->EndModal(wxID_CANCEL);
            }
        });
    closeIt.StartOnce(300);
    Command(FenetreTunnel::IdAbout);
    EXPECT_TRUE(aboutShown);
    SetModelUi(ui.get());
}

TEST_F(MainFrameTest, HelpHandsTheDocumentToTheViewerWithoutShell)
{
    // A folder whose name a shell would run.
    const std::string folder = ProgramFolder() + "/aide \"x\" $(touch vorn-pwned)";
    gProjet.SetApplicationFolder(folder);
    std::vector<std::string> opened;
    frame->SetDocumentLauncher(
        [&opened](const std::string& path)
        {
            opened.push_back(path);
            return false;
        });
    Command(63);
    gProjet.SetApplicationFolder(ProgramFolder());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], folder + "/Aide/Aide.pdf");
    EXPECT_EQ(opened[0][0], '/');
    EXPECT_FALSE(wxFileExists("vorn-pwned"));
    // The viewer could not open it: the user is told.
    EXPECT_EQ(ui->boxes,
              std::vector<std::string>{"Erreur: Impossible d'ouvrir le document d'aide '" + opened[0] +
                                       "'.\nVérifiez qu'un lecteur de fichiers PDF est installé."});
}

TEST_F(MainFrameTest, ClosingAModifiedProjectAsks)
{
    OpenProject(LumPoint(-90, 90, 0), LumPoint(90, -90, 0));
    gProjet.MarkModified();

    // Cancel keeps the frame, the project and the cursors.
    ui->answers = {ModelUi::IdCancel};
    frame->Close(false);
    GuiTest::Pump(20);
    ASSERT_EQ(gFenetreTunnel, frame);
    EXPECT_TRUE(gProjet.IsModified());
    EXPECT_NE(frame->GetToolCursor(FenetreTunnel::CursorPen), nullptr);
    EXPECT_EQ(ui->boxes.back(), "Information: Le projet a été modifié : Voulez-vous l'enregistrer ?");

    // A close that cannot be vetoed closes on Cancel too.
    ui->answers = {ModelUi::IdCancel};
    frame->Close(true);
    EXPECT_TRUE(GuiTest::WaitFor([] { return gFenetreTunnel == nullptr; }));
}

TEST_F(MainFrameTest, AnsweringNoClosesWithoutSaving)
{
    OpenProject(LumPoint(-90, 90, 0), LumPoint(90, -90, 0));
    gProjet.GraduationAxe = 3.0;
    gProjet.MarkModified();
    ui->answers = {ModelUi::IdNo};
    Command(FenetreTunnel::IdQuit);
    EXPECT_TRUE(GuiTest::WaitFor([] { return gFenetreTunnel == nullptr; }));
    std::ifstream file(projectPath);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("GraduationAxe"), std::string::npos);
}

// The frame read back right after the 3D view drew.
std::vector<unsigned char> sFrame;
wxSize sFrameSize;

void RenderAndKeep(LumoraDevice* device)
{
    RenderView3D(device);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    sFrameSize = wxSize(viewport[2], viewport[3]);
    sFrame.assign(static_cast<size_t>(viewport[2]) * viewport[3] * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGB, GL_UNSIGNED_BYTE, sFrame.data());
}

// The sample opened through the menu and shown in the 3D view, each frame
// kept in sFrame; the main view's device.
LumoraDevice* OpenSampleIn3D(FenetreTunnel* frame, AnsweringUi& ui)
{
    ui.paths.push_back(std::string(VORN_SOURCE_DIR) + "/samples/exemple.ovx");
    RunCommand(frame, FenetreTunnel::IdOpen);
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 2);
    EXPECT_EQ(frame->GetTitle(), "Ovalis 1.0.5 - exemple");
    RunCommand(frame, FenetreTunnel::IdModeVisualisation);
    EXPECT_EQ(GetModelUi().GetMode(), 2);
    LumoraDevice* device = frame->GetMainDevice();
    device->SetDrawCallback(RenderAndKeep);
    RefreshDisplay();
    GuiTest::Pump(50);
    return device;
}

// What a new user does first: open the sample, look at the cut head and its
// volume, run a series along the axis and export its volumes. The sample's
// head excavates 829.45 m3 in all (166.73 in the lower layer), each layer
// rounded before the difference: 829.
TEST_F(MainFrameTest, SampleOpenedCutSeriesAndExportedAsAUserWould)
{
    OpenSampleIn3D(frame, *ui);
    ASSERT_EQ(gProjet.GetNumberOfCouches(), 2);
    ASSERT_FALSE(sFrame.empty());
    EXPECT_EQ(frame->GetVisualisationPalette()->GetVolumeLabel()->GetLabel(), "829 m3");
    EXPECT_EQ(gCalculationErrors, 0);
    wxImage shot(sFrameSize.x, sFrameSize.y, sFrame.data(), true);
    shot.Mirror(false).SaveFile("vorn_sample_frame.png", wxBITMAP_TYPE_PNG);
    const std::vector<unsigned char> withHead = sFrame;
    gProjet.Set3DAffichageTete(false);
    RefreshDisplay();
    GuiTest::Pump(50);
    ASSERT_EQ(sFrame.size(), withHead.size());
    size_t differ = 0;
    for (size_t i = 0; i < sFrame.size(); i += 3)
        differ +=
            sFrame[i] != withHead[i] || sFrame[i + 1] != withHead[i + 1] || sFrame[i + 2] != withHead[i + 2];
    EXPECT_GE(differ, sFrame.size() / 3 / 100);
    gProjet.Set3DAffichageTete(true);

    // Menu 38: five positions along the axis, none across it.
    GuiTest::OneShot launch(
        []
        {
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* dialog = dynamic_cast<DialogCalculs*>(w); dialog && dialog->IsModal())
                {
                    dialog->GetDirectionBox()->SetValue(false);
                    dialog->GetField(0)->SetValue("-2");
                    dialog->GetField(1)->SetValue("1");
                    dialog->GetField(2)->SetValue("2");
                    wxCommandEvent click(wxEVT_BUTTON, 2);
                    click.SetEventObject(dialog);
                    dialog->GetEventHandler()->ProcessEvent(click);
                }
        });
    launch.StartOnce(200);
    Command(38);
    const ResultatsOVX& results = gProjet.GetResultats();
    size_t records = 0;
    for (const auto& row : results.Values)
        records += row.size();
    ASSERT_EQ(records, 5u);

    // Menu 39, "V", then the CSV.
    Command(39);
    DialogCourbes* curves = frame->GetCurvesDialog();
    curves->SelectVariable("V");
    const std::string csv = wxFileName::CreateTempFileName("vorn").ToUTF8().data();
    ui->paths.push_back(csv);
    curves->ExportCSV();
    std::ifstream in(csv);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::remove(csv.c_str());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Position;V");
    std::vector<double> volumes;
    for (size_t i = 1; i < lines.size(); ++i)
        volumes.push_back(std::stod(lines[i].substr(lines[i].find(';') + 1)));
    EXPECT_EQ(lines[3], "0;829");
    // Into the hill, deeper cut.
    for (size_t i = 1; i < volumes.size(); ++i)
        EXPECT_GT(volumes[i], volumes[i - 1]) << lines[i + 1];
}

void RenderPlanAndKeep(LumoraDevice* device)
{
    RenderPlanView(device);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    sFrame.assign(static_cast<size_t>(viewport[2]) * viewport[3] * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGB, GL_UNSIGNED_BYTE, sFrame.data());
}

// The pixels of one frame drawn from GL buffers and in immediate mode, and
// how many of them differ.
size_t PixelsChangedByBuffers(LumoraDevice* device)
{
    LumGLBuffer::SetEnabled(false);
    device->RenderFrame();
    const std::vector<unsigned char> immediate = sFrame;
    LumGLBuffer::SetEnabled(true);
    device->RenderFrame();
    // Drawn again from the buffers made by the frame before.
    device->RenderFrame();
    EXPECT_EQ(sFrame.size(), immediate.size());
    size_t differ = 0;
    for (size_t i = 0; i + 2 < std::min(sFrame.size(), immediate.size()); i += 3)
        differ += sFrame[i] != immediate[i] || sFrame[i + 1] != immediate[i + 1] || sFrame[i + 2] != immediate[i + 2];
    return differ;
}

// The sample's 3D view (the cut terrain, the head's part in each layer, with
// and without the wireframe, flat and smooth, from two sides) and its plan
// view are the same pixels drawn from buffers as in immediate mode.
TEST_F(MainFrameTest, SampleDrawnFromBuffersAsInImmediateMode)
{
    LumoraDevice* device = OpenSampleIn3D(frame, *ui);
    ASSERT_EQ(gProjet.GetNumberOfCouches(), 2);
    ASSERT_TRUE(gProjet.HasExcavationResults());
    // Something of the terrain is drawn: not all white.
    EXPECT_NE(std::count(sFrame.begin(), sFrame.end(), 255), static_cast<long>(sFrame.size()));
    EXPECT_EQ(PixelsChangedByBuffers(device), 0u);
    gProjet.Set3DSegments(true);
    EXPECT_EQ(PixelsChangedByBuffers(device), 0u);
    device->GetCamera()->Orbit(150.0, -20.0);
    EXPECT_EQ(PixelsChangedByBuffers(device), 0u);
    gProjet.Set3DSegments(false);
    gProjet.Set3DPoints(true);
    glShadeModel(GL_FLAT);
    EXPECT_EQ(PixelsChangedByBuffers(device), 0u);
    glShadeModel(GL_SMOOTH);

    Command(FenetreTunnel::IdModeCreation);
    ASSERT_EQ(GetModelUi().GetMode(), 1);
    device->SetDrawCallback(RenderPlanAndKeep);
    gProjet.TriangulationAffichee = true;
    gProjet.PointsAffiches = true;
    EXPECT_EQ(PixelsChangedByBuffers(device), 0u);
}
} // namespace
