// The trench-head dialog as the engineer uses it, through the real frame:
// the two panels, the reset, the "Double front" switch, the preview's
// highlight and the ".ovr" file. Boxes and file dialogs are answered by
// the test through the model's interface.

#include "DialogTete.h"
#include "AnsweringUi.h"
#include "ChampTexte.h"
#include "DialogResultats.h"
#include "DialogVisualisation.h"
#include "FenetreTunnel.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "KorSinglePrecision.h"
#include "KorString.h"
#include "LumoraDevice.h"
#include "PanelPrincipal.h"
#include "ParametresTeteDouble.h"
#include "ParametresTeteSimple.h"
#include "ProjetOVX.h"
#include "TeteTranchee.h"
#include "TypedValues.h"
#include "XMLNode.h"

#include <GL/gl.h>
#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/grid.h>
#include <wx/radiobox.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace
{
// The head's saved form, element by element.
std::map<std::string, std::string> Form(const TeteTranchee& head)
{
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode tete = top.addChild("Tete");
    const_cast<TeteTranchee&>(head).ToXML(tete);
    std::map<std::string, std::string> form;
    for (int i = 0; i < tete.nChildNode(); ++i)
    {
        const XMLNode child = tete.getChildNode(i);
        std::ostringstream text;
        for (int k = 0; k < child.nText(); ++k)
            text << child.getText(k);
        for (int k = 0; k < child.nChildNode(); ++k)
            text << "/" << child.getChildNode(k).getText();
        form[child.getName()] = text.str();
    }
    return form;
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void Type(ChampTexte* field, const std::string& text)
{
    field->ChangeValue(wxString::FromUTF8(text));
    field->MarkDirty();
}

void Focus(ChampTexte* field, wxEventType type)
{
    wxFocusEvent event(type, field->GetId());
    event.SetEventObject(field);
    field->GetEventHandler()->ProcessEvent(event);
}

void Leave(ChampTexte* field)
{
    Focus(field, wxEVT_KILL_FOCUS);
}

std::string Text(const ChampTexte* field)
{
    return std::string(field->GetValue().ToUTF8().data());
}

// A click on a check box or a radio choice, as the toolkit reports it.
void Click(wxCheckBox* box, bool checked)
{
    box->SetValue(checked);
    wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
    event.SetEventObject(box);
    event.SetInt(checked ? 1 : 0);
    box->GetEventHandler()->ProcessEvent(event);
}

void Choose(wxRadioBox* box, int choice)
{
    box->SetSelection(choice);
    wxCommandEvent event(wxEVT_RADIOBOX, box->GetId());
    event.SetEventObject(box);
    event.SetInt(choice);
    box->GetEventHandler()->ProcessEvent(event);
}

// Red pixels of the preview's last frame.
std::vector<unsigned char> gPixels;
int gWidth = 0, gHeight = 0;
void DrawAndRead(LumoraDevice* device)
{
    RenderTetePreview(device);
    glFinish();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    gWidth = viewport[2];
    gHeight = viewport[3];
    gPixels.assign(static_cast<size_t>(gWidth) * gHeight * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, gWidth, gHeight, GL_RGB, GL_UNSIGNED_BYTE, gPixels.data());
}
int RedPixels()
{
    int red = 0;
    for (size_t i = 0; i + 2 < gPixels.size(); i += 3)
        red += gPixels[i] > 200 && gPixels[i + 1] < 60 && gPixels[i + 2] < 60;
    return red;
}

class DialogTeteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gProjet.SetApplicationFolder(GetFolderFromPath(VORN_PROGRAM));
        frame = new FenetreTunnel(nullptr, "Ovalis 1.0.5", wxPoint(50, 50), wxSize(800, 600));
        frame->Show();
        ui = std::make_unique<AnsweringUi>(frame);
        SetModelUi(ui.get());
        EnterCreationMode(false);
        GuiTest::WaitFor([this] { return frame->IsShownOnScreen(); });
        dialog = frame->GetHeadDialog();
        simple = dialog->GetSinglePanel();
        twin = dialog->GetDoublePanel();
        gProjet.GetUndoManager().Clear();
    }
    void TearDown() override
    {
        gProjet.GetUndoManager().SetSaved(true);
        frame->Close(true);
        GuiTest::WaitFor([] { return gFenetreTunnel == nullptr; });
        GuiTest::Pump(20);
        SetModelUi(nullptr);
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        for (const std::string& path : files)
            std::remove(path.c_str());
    }

    std::string TempPath()
    {
        files.push_back(wxFileName::CreateTempFileName("vorn").ToUTF8().data());
        return files.back();
    }
    // A ".ovr" file of a head made by `make` from the defaults.
    template <class Make> std::string HeadFile(Make make)
    {
        TeteTranchee head;
        make(head);
        gProjet.GetUndoManager().Clear();
        XMLNode top = XMLNode::createXMLTopNode("xml", 1);
        XMLNode tete = top.addChild("Tete");
        head.ToXML(tete);
        const std::string path = TempPath();
        EXPECT_TRUE(top.writeToFile(path));
        return path;
    }
    unsigned Steps() const { return gProjet.GetUndoManager().GetCount(); }
    TeteTranchee& Head() { return dialog->GetTete(); }
    void Press(int id)
    {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(dialog->FindWindow(id));
        dialog->GetEventHandler()->ProcessEvent(event);
    }
    std::vector<ChampTexte*> EnabledFields(const ParametresTete* panel)
    {
        std::vector<ChampTexte*> fields;
        for (wxWindow* child : panel->GetChildren())
            if (auto* field = dynamic_cast<ChampTexte*>(child); field && field->IsEnabled())
                fields.push_back(field);
        fields.push_back(dialog->GetWidthField());
        fields.push_back(dialog->GetHeightField());
        return fields;
    }
    // Leaves every field untouched, then each again with its own text
    // typed over it: nothing may be recorded nor stored.
    void TabThrough(const ParametresTete* panel)
    {
        const auto form = Form(Head());
        const unsigned steps = Steps();
        for (ChampTexte* field : EnabledFields(panel))
            Leave(field);
        for (ChampTexte* field : EnabledFields(panel))
        {
            Type(field, Text(field));
            Leave(field);
        }
        EXPECT_EQ(Steps(), steps);
        EXPECT_EQ(Form(Head()), form);
    }

    FenetreTunnel* frame = nullptr;
    std::unique_ptr<AnsweringUi> ui;
    DialogTete* dialog = nullptr;
    ParametresTeteSimple* simple = nullptr;
    ParametresTeteDouble* twin = nullptr;
    std::vector<std::string> files;
};

TEST_F(DialogTeteTest, ResetGivesTheDefaultsOfTheShownKindInOneStep)
{
    Type(simple->GetField(5), "18");
    Type(simple->GetField(22), "40");
    Leave(simple->GetField(22));
    EXPECT_EQ(Steps(), 1u);
    Type(dialog->GetWidthField(), "9");
    Leave(dialog->GetWidthField());
    ASSERT_EQ(Steps(), 2u);
    Press(32);
    Press(32);
    EXPECT_EQ(Steps(), 3u);
    const std::pair<int, const char*> shown[] = {
        {5, "15"},  {6, "25"},  {25, "15"}, {24, "5"},  {27, "25"}, {26, "3"},  {8, "10"},  {7, "25"},
        {9, "20"},  {10, "10"}, {14, "20"}, {20, "30"}, {21, "20"}, {11, "15"}, {17, "20"}, {12, "25"},
        {18, "20"}, {13, "10"}, {19, "10"}, {16, "15"}, {23, "30"}, {15, "30"}, {22, "30"}};
    for (const auto& [id, text] : shown)
        EXPECT_EQ(Text(simple->GetField(id)), text) << id;
    EXPECT_EQ(Text(dialog->GetWidthField()), "12");
    EXPECT_EQ(Text(dialog->GetHeightField()), "8.5");

    // Checked, the box resets a double head, its two swapped slopes
    // included.
    Click(dialog->GetDoubleFrontBox(), true);
    Type(twin->GetField(34), "50");
    Leave(twin->GetField(34));
    const unsigned steps = Steps();
    Press(32);
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_TRUE(Head().DoubleEntree);
    EXPECT_EQ(Head().lp1, 30.0);
    EXPECT_EQ(Head().hr2, 15.0);
    EXPECT_DOUBLE_EQ(Head().Alphaas2, ToRadian(10.0));
    EXPECT_DOUBLE_EQ(Head().Alphaass2, ToRadian(25.0));
    EXPECT_EQ(Text(twin->GetField(34)), "30");
}

TEST_F(DialogTeteTest, DoubleFrontSwitchesTheHeadInOneStepAndUndoBringsTheSingleBack)
{
    const auto single = Form(Head());
    Click(dialog->GetDoubleFrontBox(), true);
    EXPECT_EQ(Steps(), 1u);
    EXPECT_TRUE(Head().DoubleEntree);
    EXPECT_EQ(Head().lp1, 30.0);
    EXPECT_TRUE(twin->IsShown());
    EXPECT_FALSE(simple->IsShown());
    // Ctrl+Z and Ctrl+Y in the dialog: the main window's undo and redo.
    ASSERT_TRUE(GuiTest::PressAccelerator(dialog, 'Z'));
    EXPECT_FALSE(Head().DoubleEntree);
    EXPECT_EQ(Form(Head()), single);
    EXPECT_FALSE(dialog->GetDoubleFrontBox()->GetValue());
    EXPECT_TRUE(simple->IsShown());
    EXPECT_FALSE(twin->IsShown());
    ASSERT_TRUE(GuiTest::PressAccelerator(dialog, 'Y'));
    EXPECT_TRUE(Head().DoubleEntree);
    EXPECT_TRUE(twin->IsShown());
}

// h and h2 have no field: every apply sends the shown platform length and
// berm height, whichever panel had them typed last.
TEST_F(DialogTeteTest, EveryApplySendsThePlatformLengthAsHAndTheBermHeightAsH2)
{
    Click(dialog->GetDoubleFrontBox(), true);
    Type(twin->GetField(35), "40");
    Leave(twin->GetField(35));
    EXPECT_EQ(Head().h, 40.0);
    Click(dialog->GetDoubleFrontBox(), false);
    EXPECT_NE(Head().hp, 40.0);
    EXPECT_EQ(Head().h, Head().hp);
    EXPECT_EQ(Head().h2, Head().hr);
}

TEST_F(DialogTeteTest, SymmetryAndSecondBermEnableTheirFieldsAndStillSendThem)
{
    const double hr2 = Head().hr2;
    Click(simple->GetSymmetryBox(), true);
    EXPECT_EQ(Steps(), 1u);
    for (int id = 17; id <= 23; ++id)
        EXPECT_FALSE(simple->GetField(id)->IsEnabled()) << id;
    // The right-hand side shows the left-hand values the head copied.
    EXPECT_EQ(Text(simple->GetField(21)), Text(simple->GetField(6)));
    for (const auto& [right, left] : {std::pair{17, 11}, {18, 12}, {20, 14}, {22, 15}, {23, 16}})
        EXPECT_EQ(Text(simple->GetField(right)), Text(simple->GetField(left))) << right;
    Click(simple->GetSecondBermBox(), true);
    EXPECT_FALSE(simple->GetField(19)->IsEnabled());
    for (int id : {26, 27, 10, 13})
        EXPECT_TRUE(simple->GetField(id)->IsEnabled()) << id;
    Click(simple->GetSymmetryBox(), false);
    EXPECT_TRUE(simple->GetField(19)->IsEnabled());
    // Disabled, the upper berm's fields still send the stored values.
    Click(simple->GetSecondBermBox(), false);
    for (int id : {26, 27, 10, 13, 19})
        EXPECT_FALSE(simple->GetField(id)->IsEnabled()) << id;
    EXPECT_EQ(Head().hr2, hr2);
    EXPECT_EQ(Steps(), 4u);
}

TEST_F(DialogTeteTest, DoublePanelSendsItsSideAndSinglePrecisionValues)
{
    Click(dialog->GetDoubleFrontBox(), true);
    Choose(twin->GetSideBox(), 0);
    EXPECT_EQ(Head().CoteAvance, 46);
    EXPECT_EQ(twin->GetFirstSlopeTitle(), wxString::FromUTF8("Talus latéral droite 1"));
    for (int group = 0; group < 2; ++group)
    {
        EXPECT_EQ(twin->GetHeader(0, group), "Droite");
        EXPECT_EQ(twin->GetHeader(1, group), "Gauche");
    }
    // A side the dialog does not know reads as the right.
    dialog->LoadTete(HeadFile(
        [](TeteTranchee& head)
        {
            head.CoteAvance = 44;
            head.DoubleEntree = true;
        }));
    EXPECT_EQ(twin->GetSideBox()->GetSelection(), 1);
    EXPECT_EQ(twin->GetFirstSlopeTitle(), wxString::FromUTF8("Talus latéral gauche 1"));
    EXPECT_EQ(twin->GetHeader(0, 1), "Gauche");
    Type(twin->GetField(36), "0.1");
    Leave(twin->GetField(36));
    EXPECT_EQ(Head().CoteAvance, 45);
    EXPECT_EQ(Head().lp2, KorToSingle(0.1));
    EXPECT_NE(Head().lp2, 0.1);
    // The bias length is a length.
    Type(twin->GetField(43), "40");
    Leave(twin->GetField(43));
    EXPECT_EQ(Head().Lf2, 40.0);
    EXPECT_EQ(Text(twin->GetField(43)), "40");
    Click(twin->GetSymmetryBox(), true);
    for (int id : {55, 56, 57, 58, 61, 62})
        EXPECT_FALSE(twin->GetField(id)->IsEnabled()) << id;
    EXPECT_EQ(Text(twin->GetField(55)), Text(twin->GetField(51)));
}

TEST_F(DialogTeteTest, FocusedFieldShowsItsFacesRedInThePreview)
{
    // Wide enough for the preview to show the whole head.
    dialog->SetSize(1100, 500);
    dialog->Show();
    GL_Window* preview = dialog->GetPreview();
    ASSERT_TRUE(GuiTest::WaitFor([&] { return preview->IsShownOnScreen(); }));
    GuiTest::Pump(50);
    preview->getDevice()->SetDrawCallback(DrawAndRead);
    ASSERT_TRUE(preview->RenderFrame());
    EXPECT_EQ(RedPixels(), 0);
    Focus(simple->GetField(22), wxEVT_SET_FOCUS);
    EXPECT_EQ(Head().GetSelectedFaceClass(), 18);
    EXPECT_GT(RedPixels(), 50);
    Leave(simple->GetField(22));
    EXPECT_EQ(Head().GetSelectedFaceClass(), -1);
    EXPECT_EQ(RedPixels(), 0);
    preview->getDevice()->SetDrawCallback(RenderTetePreview);
}

TEST_F(DialogTeteTest, UntouchedFieldsSendTheStoredValues)
{
    // A single head read from a file with an angle shown rounded.
    ASSERT_TRUE(dialog->LoadTete(HeadFile([](TeteTranchee& head) { head.AlphaFi = ToRadian(10.04); })));
    EXPECT_EQ(Text(simple->GetField(7)), "10");
    TabThrough(simple);
    Click(simple->GetSymmetryBox(), true);
    TabThrough(simple);

    // One typed field is one step; the rest stays as stored.
    auto form = Form(Head());
    unsigned steps = Steps();
    Type(simple->GetField(5), "16");
    Leave(simple->GetField(5));
    EXPECT_EQ(Steps(), steps + 1);
    auto after = Form(Head());
    EXPECT_NE(after["lp"], form["lp"]);
    for (const auto& [name, text] : form)
    {
        if (name != "lp" && name.rfind("Point", 0) != 0)
        {
            EXPECT_EQ(after[name], text) << name;
        }
    }

    // A value within the setter's tolerance records nothing and shows the
    // stored one; an emptied field sends 0, limited by the head.
    Type(simple->GetField(5), "16.000001");
    Leave(simple->GetField(5));
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_EQ(Text(simple->GetField(5)), "16");
    Type(simple->GetField(5), "");
    Leave(simple->GetField(5));
    EXPECT_EQ(Head().lp, 0.1);
    EXPECT_EQ(Text(simple->GetField(5)), "0.1");
    Type(dialog->GetWidthField(), "12.3");
    Leave(dialog->GetWidthField());
    EXPECT_EQ(Head().LargeurTunnel, KorToSingle(12.3));
    EXPECT_EQ(Text(dialog->GetWidthField()), "12.3");
    // A decimal comma, as a French user types it.
    Type(dialog->GetWidthField(), "12,5");
    Leave(dialog->GetWidthField());
    EXPECT_EQ(Head().LargeurTunnel, 12.5);
    EXPECT_EQ(Text(dialog->GetWidthField()), "12.5");

    // A value that is not finite sends nothing.
    steps = Steps();
    form = Form(Head());
    Type(simple->GetField(9), "1e999");
    Leave(simple->GetField(9));
    EXPECT_EQ(Steps(), steps);
    EXPECT_EQ(Form(Head()), form);
    EXPECT_EQ(Text(simple->GetField(9)), "20");
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0], "Erreur: Les valeurs saisies doivent être des nombres réels finis");

    // A double head with final inclinations of its own, both ways.
    ASSERT_TRUE(dialog->LoadTete(HeadFile(
        [](TeteTranchee& head)
        {
            head.DoubleEntree = true;
            head.DoubleRisberme = true;
            // h as every apply makes it: the first platform's length,
            // raised past the bias length.
            head.h = std::max(head.hp1, head.Lf2 + 0.1);
            head.Alphafss1 = ToRadian(12.34);
            head.Alphafss2 = ToRadian(13);
            head.Alpharss1 = ToRadian(14);
            head.Alpharss2 = ToRadian(15.06);
            head.Alphaass2 = ToRadian(16);
        })));
    EXPECT_TRUE(twin->IsShown());
    EXPECT_EQ(Text(twin->GetField(41)), "12.3");
    TabThrough(twin);
    Click(twin->GetSymmetryBox(), true);
    TabThrough(twin);
    EXPECT_DOUBLE_EQ(Head().Alphafss1, ToRadian(12.34));
}

TEST_F(DialogTeteTest, OvrFileSavesLoadsAndUndoes)
{
    const std::string saved = TempPath(), again = TempPath();
    Type(simple->GetField(12), "33.3");
    Leave(simple->GetField(12));
    ui->paths = {saved};
    Press(66);
    const auto form = Form(Head());
    Press(32);
    const auto reset = Form(Head());
    const unsigned steps = Steps();
    ui->paths = {saved};
    Press(65);
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_EQ(Form(Head()), form);
    EXPECT_EQ(Text(simple->GetField(12)), "33.3");
    ui->paths = {again};
    Press(66);
    EXPECT_EQ(FileText(again), FileText(saved));
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(Form(Head()), reset);
    EXPECT_EQ(Text(simple->GetField(12)), "25");
    // Cancelled dialogs do nothing.
    Press(65);
    Press(66);
    EXPECT_TRUE(ui->boxes.empty());

    const char* unreadable[] = {"<?xml version=\"1.0\"?>\n<Autre><lp>3</lp></Autre>\n",
                                "<?xml version=\"1.0\"?>\n<Tete><lp>3</lp><hp>4",
                                "\x01\x00\xff\xfe<Tete>\x00\x9d", ""};
    for (const char* content : unreadable)
    {
        const std::string path = TempPath();
        std::ofstream(path, std::ios::binary).write(content, content == unreadable[2] ? 12 : strlen(content));
        ui->boxes.clear();
        ui->paths = {path};
        Press(65);
        ASSERT_EQ(ui->boxes.size(), 1u) << content;
        EXPECT_EQ(ui->boxes[0],
                  "Message: Impossible de charger une tête de tranchée depuis le fichier choisi : "
                  "\n     Pas de noeud XML 'Tete'");
        EXPECT_EQ(Form(Head()), reset);
        EXPECT_EQ(Steps(), steps + 1);
    }

    // A number the fields would refuse typed leaves the head; another reads
    // as typed (an angle of 1e308, radians or degrees, is 70 degrees).
    for (const char* number : {"nan", "1e400", "-inf", "1e308"})
    {
        const std::string path = TempPath();
        std::ofstream(path) << "<?xml version=\"1.0\"?>\n<Tete><AlphaFi>" << number << "</AlphaFi></Tete>\n";
        ui->boxes.clear();
        ui->paths = {path};
        Press(65);
        if (number == std::string("1e308"))
            break;
        EXPECT_EQ(ui->boxes, std::vector<std::string>{std::string("Erreur: ") + NonFiniteValuesText()});
        EXPECT_EQ(Form(Head()), reset);
        EXPECT_EQ(Steps(), steps + 1);
    }
    const auto loaded = Form(Head());
    gProjet.GetUndoManager().Undo();
    Type(simple->GetField(7), "1e308");
    Leave(simple->GetField(7));
    EXPECT_EQ(Form(Head()), loaded);

    // A file that cannot be written says so.
    ui->boxes.clear();
    const std::string missing = "/nonexistent-vorn-folder/tete.ovr";
    ui->paths = {missing};
    Press(66);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0],
              "Erreur: Impossible d'enregistrer la tête de tranchée dans le fichier '" + missing + "'");
}

TEST_F(DialogTeteTest, CloseBoxHidesUnticksAndRefreshes)
{
    dialog->Show();
    frame->GetToolBar()->ToggleTool(FenetreTunnel::IdTranchee, true);
    const unsigned long frames = frame->GetMainDevice()->GetFrameCount();
    dialog->Close();
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_FALSE(frame->GetToolBar()->GetToolState(FenetreTunnel::IdTranchee));
    EXPECT_TRUE(gProjet.IsExcavationStale());
    EXPECT_GT(frame->GetMainDevice()->GetFrameCount(), frames);
}

TEST_F(DialogTeteTest, OpeningAProjectShowsItsHead)
{
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode projet = top.addChild("Projet");
    projet.addChild("Echelle").addText("100");
    projet.addChild("Couche").addChild("Nom").addText("A");
    TeteTranchee head;
    head.DoubleEntree = true;
    head.lp1 = 41.5;
    head.LargeurTunnel = 10.25;
    XMLNode tete = projet.addChild("Tete");
    head.ToXML(tete);
    const std::string path = TempPath();
    ASSERT_TRUE(top.writeToFile(path));
    gProjet.Open(path);
    ASSERT_FALSE(gProjet.Nom.empty());
    EXPECT_TRUE(dialog->GetDoubleFrontBox()->GetValue());
    EXPECT_TRUE(twin->IsShown());
    EXPECT_EQ(Text(twin->GetField(34)), "41.5");
    EXPECT_EQ(Text(dialog->GetWidthField()), "10.25");
}
} // namespace

namespace
{
// The sample in the 3D view: its platform 20 m wide instead of 15 excavates
// 1143 m3 instead of 829. The palette and the results window say so as soon
// as the field is left, the dialog still open, and follow Ctrl+Z and Ctrl+Y
// typed in the dialog. 100 m further the head leaves the terrain: both say
// "non calculé", the palette before the box comes, and the exported grid
// keeps its -1.
TEST_F(DialogTeteTest, HeadChangeShowsItsVolumeAtOnceAndUndoTheFormerOne)
{
    gProjet.Open(std::string(VORN_SOURCE_DIR) + "/samples/exemple.ovx");
    EnterVisualisationMode(false);
    ASSERT_TRUE(GuiTest::WaitFor([this] { return frame->GetCanvas()->IsShownOnScreen(); }));
    dialog->Show();
    GuiTest::Pump(20);
    RefreshDisplay();
    const auto shown = [this]
    {
        return std::string(frame->GetVisualisationPalette()->GetVolumeLabel()->GetLabel().ToUTF8()) + " | " +
               frame->GetResultsDialog()->GetLabelText(2);
    };
    EXPECT_EQ(shown(), "829 m3 | Volume excavé : 829");
    Type(simple->GetField(5), "20");
    Leave(simple->GetField(5));
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_EQ(shown(), "1143 m3 | Volume excavé : 1143");
    ASSERT_TRUE(GuiTest::PressAccelerator(dialog, 'Z'));
    EXPECT_EQ(shown(), "829 m3 | Volume excavé : 829");
    ASSERT_TRUE(GuiTest::PressAccelerator(dialog, 'Y'));
    EXPECT_EQ(shown(), "1143 m3 | Volume excavé : 1143");

    std::string behindBox;
    ui->onBox = [&] { behindBox = shown(); };
    DialogVisualisation* palette = frame->GetVisualisationPalette();
    palette->GetStepField()->ChangeValue("100");
    wxCommandEvent plus(wxEVT_BUTTON, 9);
    palette->GetEventHandler()->ProcessEvent(plus);
    ui->onBox = nullptr;
    ASSERT_EQ(ui->Count("Erreur de calcul"), 1);
    EXPECT_EQ(behindBox, "non calculé | Volume excavé : non calculé");
    EXPECT_EQ(shown(), behindBox);
    DialogResultats* results = frame->GetResultsDialog();
    EXPECT_EQ(results->GetLabelText(1), "Coût calculé : non calculé");
    EXPECT_EQ(results->GetLabelText(3), "Surface totale : non calculé");
    wxGrid* grid = results->GetGrid();
    ASSERT_NE(grid, nullptr);
    for (int r = 0; r < grid->GetNumberRows(); ++r)
        for (int c = 0; c < grid->GetNumberCols(); ++c)
            EXPECT_NE(grid->GetCellValue(r, c), "-1") << r << " " << c;
    const std::string csv = TempPath();
    ui->paths.push_back(csv);
    wxCommandEvent exportCSV(wxEVT_BUTTON, 1);
    results->GetEventHandler()->ProcessEvent(exportCSV);
    const std::string written = FileText(csv);
    EXPECT_NE(written.find(";-1;"), std::string::npos) << written;
    EXPECT_EQ(written.find("non calcul"), std::string::npos) << written;
}
} // namespace
