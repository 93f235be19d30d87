#include "ElementRecorders.h"
#include "ElementTestSupport.h"

namespace
{
class CoucheCreationTest : public ElementTest
{
protected:
    OVXUndoManager& undo = gProjet.GetUndoManager();

    // Haut at 20 and Bas at 0 with two boreholes and a section on both.
    void Stack()
    {
        AddSquare("Haut", 20.0);
        AddSquare("Bas", 0.0);
        gProjet.SetSondage(Vertical("S1", 50, 50, {{"Haut", 12}, {"Bas", 25}}), -1, false, false);
        gProjet.SetSondage(Vertical("S2", 30, 30, {{"Haut", 15}, {"Bas", 28}}), -1, false, false);
        gProjet.SetCoupe(Section("C1", {{"Haut", {{0.7, 0.52}, {0.2, 0.53}}}, {"Bas", {{0.7, 0.66}}}}), -1,
                         false, false);
    }
    std::vector<std::string> Names() { return gProjet.GetCoucheNames(); }
};

// Every refusal shows its message and leaves the layers and the history as
// they were.
TEST_F(CoucheCreationTest, RefusalsLeaveNothing)
{
    AddSquare("Haut", 20.0);
    struct Case
    {
        std::string name;
        int index, method;
        const char* text;
    } cases[] = {
        {"", 1, 0, "Veuillez entrer un nom pour la couche."},
        {"a|b", 1, 0, "Le nom d'une couche ne peut pas contenir le caractère '|'."},
        {"C$1", 1, 0, "Le nom d'une couche ne peut pas contenir le caractère '$'."},
        {"Haut", 1, 0, "Une autre couche porte déjà ce nom.\nVeuillez le modifier."},
        {"N", 5, 0, "Impossible de créer une couche à ce niveau."},
        {"N", 0, 2, "Pour copier une couche, vous devez sélectionner la couche supérieure."},
        {"N", 1, 7, nullptr},
        {"N", 1, 1, nullptr}, // the import could not read the file
    };
    for (const Case& c : cases)
    {
        ui.Boxes.clear();
        EXPECT_FALSE(gProjet.CreateCouche(c.name, c.index, c.method, true, "x.dxf", 0, 0)) << c.name;
        ASSERT_EQ(ui.Boxes.size(), c.text ? 1u : 0u) << c.name;
        if (c.text)
        {
            EXPECT_EQ(ui.Boxes[0].Text, c.text);
            EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
        }
        EXPECT_EQ(Names(), std::vector<std::string>{"Haut"});
        EXPECT_EQ(gProjet.CoucheCourante, 0);
    }
    EXPECT_EQ(undo.GetCount(), 0u);
}

// The copy lowers the mean altitude by the depth and damps the relief:
// 100 % flattens it, 0 % keeps it (scale 50: two scene units a metre).
TEST_F(CoucheCreationTest, CopyDampsTheRelief)
{
    const double corners[4][3] = {{0, 0, 10}, {100, 0, 20}, {0, 100, 30}, {100, 100, 40}};
    struct Case
    {
        double damping, depth;
        double expected[4];
    } cases[] = {{100, 3, {19, 19, 19, 19}}, {0, 3, {4, 14, 24, 34}}, {50, 0, {17.5, 22.5, 27.5, 32.5}}};
    for (const Case& c : cases)
    {
        gProjet.Reset();
        undo.Clear();
        gProjet.Echelle = 50.0;
        Couche* haut = gProjet.AddCouche("Haut", 0);
        for (const auto& p : corners)
            haut->AddPoint(LumPoint(p[0], p[1], p[2]), 1, 0, false, false);
        ASSERT_TRUE(gProjet.CreateCouche("Copie", 1, 2, false, "", c.damping, c.depth));
        const Couche& copie = *gProjet.GetCouche(1);
        int n = 0;
        for (int id = 0; id < copie.GetMesh().GetVertexVectorSize(); ++id)
            if (const KorVertex* v = copie.GetMesh().GetVertex(id))
            {
                const int corner = (v->X > 50 ? 1 : 0) + (v->Y > 50 ? 2 : 0);
                EXPECT_NEAR(v->Z, c.expected[corner], 1e-5) << c.damping;
                EXPECT_EQ(copie.GetVertexType(id).Type, 1);
                ++n;
            }
        EXPECT_EQ(n, 4);
    }
    // Interactive, the copy obeys the point rule: the flat copy at 19 stands
    // above Haut's corner at 10, and nothing is left.
    gProjet.DeleteCouche(1, 0);
    ui.Boxes.clear();
    EXPECT_FALSE(gProjet.CreateCouche("Copie", 1, 2, true, "", 100, 3));
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text.rfind("Impossible de positionner un point", 0), 0u);
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 1);
    EXPECT_EQ(undo.GetCount(), 0u);
    // Damping 0 passes, and its undo and redo remove and copy it again.
    ASSERT_TRUE(gProjet.CreateCouche("Copie", 1, 2, true, "", 0, 3));
    const auto created = Model();
    undo.Undo();
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 1);
    undo.Redo();
    EXPECT_EQ(Model(), created);
}

// The import: a cancelled interactive import leaves no action (the dialog
// records on completion), a redo of a recorded import fills the layer
// again without the dialog.
TEST_F(CoucheCreationTest, ImportRecordsOnlyWhenCompleted)
{
    AddSquare("Haut", 20.0);
    int built = 0;
    ui.ImportHook = [&](Couche* couche, const ModelUi::CoucheImport& import, bool interactive)
    {
        if (!interactive)
        {
            ++built;
            couche->AddPoint(LumPoint(50, 50, import.Value), 1, 0, false, false);
        }
        return true;
    };
    ASSERT_TRUE(gProjet.CreateCouche("Dxf", 1, 1, true, "terrain.dxf", 4, 0));
    EXPECT_EQ(undo.GetCount(), 0u);
    EXPECT_EQ(built, 0);
    // The user confirms: the dialog builds and records.
    gProjet.GetCouche(1)->AddPoint(LumPoint(50, 50, 4), 1, 0, false, false);
    RecordCoucheAdd("Dxf", 1, 1, "terrain.dxf", 4, 0, 0, false);
    const auto created = Model();
    undo.Undo();
    EXPECT_EQ(Names(), std::vector<std::string>{"Haut"});
    EXPECT_EQ(gProjet.CoucheCourante, 0);
    undo.Redo();
    EXPECT_EQ(built, 1);
    EXPECT_EQ(ui.Count("ImportCoucheDXF terrain.dxf 0"), 1);
    EXPECT_EQ(Model(), created);
}

// A layer inserted on top after Yes takes the boreholes and sections away;
// undo gives them back in order, each point once; redo takes them again.
// No leaves everything.
TEST_F(CoucheCreationTest, TopInsertionTakesBoreholesAndSectionsAway)
{
    Stack();
    const auto before = Model();
    ui.BoxAnswers = {ModelUi::IdNo};
    EXPECT_FALSE(gProjet.CreateCouche("Dessus", 0, 0, true, "", 0, 0));
    EXPECT_EQ(Model(), before);
    ui.BoxAnswers = {ModelUi::IdYes};
    ASSERT_TRUE(gProjet.CreateCouche("Dessus", 0, 0, true, "", 0, 0));
    EXPECT_EQ(ui.Boxes.back().Caption, "Information");
    EXPECT_EQ(gProjet.GetNumberOfSondages(), 0);
    EXPECT_EQ(gProjet.GetNumberOfCoupes(), 0);
    for (int c = 1; c < 3; ++c)
        EXPECT_EQ(Count(*gProjet.GetCouche(c), 3) + Count(*gProjet.GetCouche(c), 4), 0);
    const auto after = Model();
    undo.Undo();
    EXPECT_EQ(Model(), before);
    undo.Redo();
    EXPECT_EQ(Model(), after);
}

// A redo that can no longer create its layer (the name is taken) removes
// nothing and is not counted as redone: the next undo deletes no other
// layer, and once the name is free the redo makes the layer.
TEST_F(CoucheCreationTest, FailedRedoRemovesNothing)
{
    Stack();
    ui.BoxAnswers = {ModelUi::IdYes};
    ASSERT_TRUE(gProjet.CreateCouche("N", 0, 0, true, "", 0, 0));
    undo.Undo();
    gProjet.AddCouche("N", 2);
    const auto before = Model();
    undo.Redo();
    EXPECT_EQ(Model(), before);
    EXPECT_EQ(undo.GetPosition(), 0u);
    undo.Undo();
    EXPECT_EQ(Model(), before);
    gProjet.DeleteCouche(2, 0);
    undo.Redo();
    EXPECT_EQ(undo.GetPosition(), 1u);
    EXPECT_EQ(gProjet.GetCoucheIndex(gProjet.GetCouche("N")), 0);
}

// Deleting the top layer with the boreholes and sections, undone: the layer
// at index 0 and every borehole and section in order, each point once;
// redone: the model after the deletion. A lower layer: its depths and
// positions come back.
TEST_F(CoucheCreationTest, WholeLayerDeletionUndo)
{
    for (const bool top : {true, false})
    {
        gProjet.Reset();
        undo.Clear();
        Stack();
        const int index = top ? 0 : 1;
        const auto before = Model();
        RecordCoucheDelete(gProjet.GetCouche(index), index, top);
        gProjet.DeleteCouche(index, 0);
        const auto deleted = Model();
        if (top)
            EXPECT_EQ(gProjet.GetNumberOfSondages() + gProjet.GetNumberOfCoupes(), 0);
        else
        {
            EXPECT_EQ(gProjet.GetSondage(0)->GetPointSondage("Bas"), nullptr);
            EXPECT_TRUE(gProjet.GetCoupe(0)->GetCoords("Bas")->empty());
        }
        undo.Undo();
        EXPECT_EQ(Model(), before) << top;
        undo.Redo();
        EXPECT_EQ(Model(), deleted) << top;
        undo.Undo();
        EXPECT_EQ(Model(), before) << top;
    }
}
} // namespace
