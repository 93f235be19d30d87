// The borehole dialog as the engineer fills it: what it refuses, what it
// writes into the layers with one undo step, and the core log it draws.

#include "DialogCarottage.h"
#include "Couche.h"
#include "FenetreTunnel.h"
#include "GuiTestHelpers.h"
#include "ImageSondage.h"
#include "PlanView.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"
#include "Sondage.h"
#include "XMLNode.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <fstream>
#include <regex>

namespace
{
// The main frame on three flat layers over (-100..100)², at 10, 0 and -10
// metres (scale 100: scene and world agree).
class DialogCarottageTest : public ProjectFrameTest
{
protected:
    void SetUp() override
    {
        OpenProjectFrame();
        const char* names[] = {"Haut", "Milieu", "Bas"};
        for (int k = 0; k < 3; ++k)
            AddSquareLayer(names[k], k, 10 - 10 * k);
        gProjet.GetUndoManager().Clear();
    }
    void TearDown() override { CloseProjectFrame(); }
    // Fills the form: name, azimuth, dip, total depth, then the depth of
    // each checked layer below the top one ("" leaves it unchecked).
    static void Fill(DialogCarottage& d, const char* name, const char* az, const char* dip, const char* depth,
                     const std::vector<const char*>& layers)
    {
        d.GetNameField()->SetValue(wxString::FromUTF8(name));
        d.GetField(4)->SetValue(az);
        d.GetField(5)->SetValue(dip);
        d.GetField(6)->SetValue(depth);
        for (size_t k = 0; k < layers.size(); ++k)
        {
            d.GetLayerBoxes()[k + 1]->SetValue(*layers[k] != '\0');
            d.GetLayerDepths()[k + 1]->SetValue(layers[k]);
        }
    }
    static int Count(int layer, int type)
    {
        const Couche* couche = gProjet.GetCouche(layer);
        int n = 0;
        for (int id = 0; id < couche->GetNumberOfVertexTypes(); ++id)
            n += couche->GetVertexType(id).Type == type;
        return n;
    }
    // The project's file text but the layers' meshes and dead vertex slots:
    // checking a borehole places and removes a temporary point, which
    // leaves the slots renumbered, the surface the same.
    static std::string ProjectXML()
    {
        XMLNode top = XMLNode::createXMLTopNode("xml", 1);
        XMLNode node = top.addChild("Projet");
        gProjet.ToXML(node);
        const std::string file = wxFileName::CreateTempFileName("vorn").ToUTF8().data();
        top.writeToFile(file, nullptr, 1);
        std::ifstream in(file);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::remove(file.c_str());
        const std::string meshless = std::regex_replace(text, std::regex("<Mesh>[^]*?</Mesh>"), "");
        return std::regex_replace(meshless, std::regex("\\s*<TV Type=\"0\"[^>]*>"), "");
    }
    // Runs the borehole tool's point action, the modal dialog answered by
    // the action.
    static void RunTool(const LumPoint& world, std::function<void(DialogCarottage&)> answer)
    {
        GuiTest::OneShot shot(
            [answer]
            {
                for (wxWindow* w : wxTopLevelWindows)
                    if (auto* d = dynamic_cast<DialogCarottage*>(w); d && d->IsModal())
                        answer(*d);
            });
        shot.StartOnce(100);
        OnSondageToolPoint(world);
    }
    static void Valider(DialogCarottage& d)
    {
        wxCommandEvent click(wxEVT_BUTTON, 1002);
        d.OnValider(click);
    }
};

TEST_F(DialogCarottageTest, FormIsRefusedInTheOrderOfItsRules)
{
    const struct
    {
        const char *name, *az, *dip, *depth;
        std::vector<const char*> layers;
        double x;
        const char* message; // null: accepted
    } cases[] = {
        {"", "400", "90", "100", {}, 0, "Veuillez entrer un nom pour le sondage"},
        {"S", "360", "90", "100", {}, 0, nullptr},
        {"S", "360.1", "90", "100", {}, 0, "L'azimut doit être compris entre 0 et 360°"},
        {"S", "-0.1", "90", "100", {}, 0, "L'azimut doit être compris entre 0 et 360°"},
        {"S", "0", "90.1", "100", {}, 0, "Le pendage doit être compris entre 0 et 90°"},
        {"S", "0", "45", "0", {}, 0, "La profondeur du sondage doit être positive"},
        {"S", "0", "90", "nan", {}, 0, "Les valeurs saisies doivent être des nombres réels finis"},
        {"S", "0", "90", "20", {"10", "20"}, 0, nullptr},
        {"S", "0", "90", "20", {"10", "10"}, 0, nullptr},
        {"S",
         "0",
         "90",
         "20",
         {"25", ""},
         0,
         "Une couche a une profondeur supérieure à la profondeur du sondage"},
        {"S",
         "0",
         "90",
         "20",
         {"12", "8"},
         0,
         "Vérifiez les profondeurs de couches : l'une d'elle est au-dessus de sa couche supérieure"},
        {"S", "0", "90", "20", {}, 150, "Le point se situe en dehors des limites du modèle de terrain"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.name) + " " + c.az + " " + c.dip + " " + c.depth);
        DialogCarottage d(LumPoint(c.x, 5, 999));
        Fill(d, c.name, c.az, c.dip, c.depth, c.layers);
        ui->boxes.clear();
        std::unique_ptr<Sondage> s(d.BuildSondage());
        if (c.message)
        {
            EXPECT_FALSE(s);
            EXPECT_EQ(ui->boxes, std::vector<std::string>{std::string("Erreur: ") + c.message});
            continue;
        }
        ASSERT_TRUE(s);
        EXPECT_TRUE(ui->boxes.empty());
        // The head stands on the top layer whatever Z said.
        EXPECT_DOUBLE_EQ(s->GetPosition().z, 10.0);
        EXPECT_EQ(s->GetPointsSondage().size(), 1 + c.layers.size() - (c.layers.size() && !*c.layers[1]));
    }
}

TEST_F(DialogCarottageTest, ToolStoresARealOrAFictitiousBoreholeInOneStep)
{
    RunTool(LumPoint(20, 30, 0),
            [](DialogCarottage& d)
            {
                Fill(d, "S1", "0", "90", "30", {"10", "20"});
                Valider(d);
            });
    ASSERT_EQ(gProjet.GetNumberOfSondages(), 1);
    EXPECT_EQ(Count(0, 3) + Count(1, 3) + Count(2, 3), 3);
    EXPECT_EQ(gProjet.GetUndoManager().GetPosition(), 1);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.GetNumberOfSondages(), 0);
    EXPECT_EQ(Count(0, 3) + Count(1, 3) + Count(2, 3), 0);

    gProjet.GetUndoManager().Clear();
    RunTool(LumPoint(-20, 30, 0),
            [](DialogCarottage& d)
            {
                Fill(d, "F", "0", "90", "30", {"10", ""});
                d.GetFictifBox()->SetValue(true);
                Valider(d);
            });
    EXPECT_EQ(gProjet.GetNumberOfSondages(), 0);
    EXPECT_EQ(Count(0, 1), 5);
    EXPECT_EQ(Count(1, 1), 5);
    EXPECT_EQ(gProjet.GetUndoManager().GetPosition(), 1);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(Count(0, 1) + Count(1, 1), 8);

    // The close box stores nothing and ends the tool's dialog.
    RunTool(LumPoint(0, 0, 0),
            [](DialogCarottage& d)
            {
                Fill(d, "S2", "0", "90", "30", {});
                d.Close();
            });
    EXPECT_EQ(gProjet.GetNumberOfSondages(), 0);
}

TEST_F(DialogCarottageTest, EditsAreOneStepAndRefusalsLeaveTheProjectAsItWas)
{
    for (const char* name : {"A", "B"})
    {
        auto* s = new Sondage(name, LumPoint(name[0] == 'A' ? 10 : -10, 0, 10), false);
        s->SetPointSondage("Milieu", 10);
        gProjet.SetSondage(s, -1, false, true);
    }
    gProjet.GetUndoManager().Clear();
    const std::string before = ProjectXML();

    auto* d = new DialogCarottage(gProjet.GetSondage("B")->GetPosition());
    d->LoadSondage(gProjet.GetSondage("B"));
    EXPECT_EQ(d->GetLayerDepths()[1]->GetValue(), "10.000");
    for (const char* name : {"A", "C$1"})
    {
        d->GetNameField()->SetValue(name);
        ui->boxes.clear();
        Valider(*d);
        EXPECT_EQ(ProjectXML(), before) << name;
        EXPECT_EQ(gProjet.GetSondageIndex("B"), 1);
        EXPECT_EQ(ui->boxes.size(), 1u);
    }
    EXPECT_EQ(ui->boxes[0], "Erreur: Le nom d'un sondage ne peut pas contenir le caractère '$'.");

    // A layer list changed under the dialog: nothing is written.
    d->GetNameField()->SetValue("B2");
    gProjet.AddCouche("Nouvelle", 3);
    ui->boxes.clear();
    Valider(*d);
    EXPECT_EQ(ui->boxes,
              std::vector<std::string>{"Erreur: La liste des couches a changé depuis l'ouverture de ce "
                                       "dialogue : veuillez le fermer et le rouvrir."});
    gProjet.DeleteCouche(3, 2);
    EXPECT_EQ(ProjectXML(), before);

    d->GetLayerDepths()[1]->SetValue("12");
    Valider(*d);
    ASSERT_TRUE(gProjet.GetSondage("B2"));
    EXPECT_EQ(gProjet.GetSondageIndex("B2"), 1);
    EXPECT_EQ(gProjet.GetUndoManager().GetPosition(), 1);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(ProjectXML(), before);

    // An edit dialog does not outlive its project.
    auto* open = new DialogCarottage(gProjet.GetSondage("A")->GetPosition());
    open->LoadSondage(gProjet.GetSondage("A"));
    auto destroyed = std::make_shared<bool>(false);
    open->Bind(wxEVT_DESTROY,
               [destroyed](wxWindowDestroyEvent& e)
               {
                   *destroyed = true;
                   e.Skip();
               });
    gProjet.GetUndoManager().SetSaved(true);
    gProjet.Open(projectPath);
    GuiTest::Pump(20);
    EXPECT_TRUE(*destroyed);
    EXPECT_EQ(gProjet.GetNumberOfSondages(), 0);
}

TEST_F(DialogCarottageTest, CoreLogBandsTakeTheColourOfTheLayerCrossed)
{
    gProjet.GetCouche(0)->R = 255, gProjet.GetCouche(0)->G = 0, gProjet.GetCouche(0)->B = 0;
    gProjet.GetCouche(1)->R = 0, gProjet.GetCouche(1)->G = 0, gProjet.GetCouche(1)->B = 255;
    DialogCarottage d(LumPoint(0, 0, 0));
    const wxSize size(110, 230); // column height B = 220
    const auto column = [&](int y)
    { return GuiTest::PixelAt(GuiTest::Render(*d.GetPicture(), size), 12, y); };

    Fill(d, "S", "0", "90", "100", {"50", ""});
    EXPECT_EQ(column(50), wxColour(255, 0, 0));  // above 50 m: the top layer
    EXPECT_EQ(column(160), wxColour(0, 0, 255)); // below: the layer met
    EXPECT_EQ(column(109), wxColour(0, 0, 0));   // the shared boundary, above y = 220 * 0.5

    // No total depth: the outline only, white inside.
    Fill(d, "S", "0", "90", "", {"50", ""});
    EXPECT_EQ(column(160), wxColour(255, 255, 255));
    // A depth below the hole gives no band but the last checked layer's
    // colour fills the bottom.
    Fill(d, "S", "0", "90", "100", {"150", ""});
    EXPECT_EQ(column(50), wxColour(0, 0, 255));
    // Nor does a depth with no row in an int: -1e300, or -inf against an
    // infinite total.
    Fill(d, "S", "0", "90", "100", {"-1e300", ""});
    EXPECT_EQ(column(50), wxColour(0, 0, 255));
    Fill(d, "S", "0", "90", "inf", {"-inf", ""});
    EXPECT_EQ(column(50), wxColour(0, 0, 255));

    // Shrunk below the picture's margins, the dialog leaves it no room
    // rather than a negative height (a GTK critical on standard error).
    d.Show();
    GuiTest::Pump(20);
    d.SetSize(400, 60);
    GuiTest::Pump(20);
    EXPECT_GE(d.GetPicture()->GetSize().y, 0);
}
} // namespace
