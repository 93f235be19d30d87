#include "Discontinuite.h"
#include "ModelTestSupport.h"

namespace
{
using DiscontinuiteTest = ModelTest;

std::vector<double> Values(const Discontinuite* f)
{
    return {f->Azimut,    f->Pendage,   f->Espace,    f->EcartType,
            f->Origine.x, f->Origine.y, f->Origine.z, f->OrigineAffichee ? 1.0 : 0.0};
}

// Families come in name order whatever the order of creation; a taken name
// and a name holding '|' or '$' give null and leave no trace.
TEST_F(DiscontinuiteTest, NamesAreKeysInNameOrder)
{
    for (const char* name : {"Schistosité", "F2", "F 1", "A"})
        ASSERT_NE(gProjet.AddDiscontinuite(name, true, true), nullptr) << name;
    EXPECT_EQ(gProjet.GetDiscontinuiteNames(), (std::vector<std::string>{"A", "F 1", "F2", "Schistosité"}));
    EXPECT_EQ(gProjet.GetDiscontinuite(1)->Nom, "F 1");
    EXPECT_EQ(gProjet.GetDiscontinuite(4), nullptr);
    EXPECT_EQ(gProjet.GetDiscontinuite(-1), nullptr);
    EXPECT_EQ(gProjet.GetDiscontinuite("F2"), gProjet.GetDiscontinuite(2));
    EXPECT_EQ(ui.Calls.back(), "SelectDiscontinuityFamily A");

    const unsigned actions = gProjet.GetUndoManager().GetCount();
    const struct
    {
        const char* name;
        const char* refusal;
    } refused[] = {
        {"F2", ""},
        {"a|b", "Le nom d'une discontinuité ne peut pas contenir le caractère '|'."},
        {"S$1", "Le nom d'une discontinuité ne peut pas contenir le caractère '$'."},
    };
    for (const auto& c : refused)
    {
        EXPECT_EQ(gProjet.AddDiscontinuite(c.name, true, true), nullptr) << c.name;
        EXPECT_EQ(Discontinuite::NameRefusal(c.name), c.refusal);
    }
    EXPECT_EQ(gProjet.GetNumberOfDiscontinuites(), 4);
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), actions);
    gProjet.DeleteDiscontinuite("absent", true);
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), actions);
}

// Creation undone deletes the family; redone, it comes back with every
// value 0. A deletion undone gives every value back, and the name goes
// back to exactly the layers' lists that held it.
TEST_F(DiscontinuiteTest, CreationAndDeletionUndo)
{
    OVXUndoManager& undo = gProjet.GetUndoManager();
    Discontinuite* f = gProjet.AddDiscontinuite("F", true, false);
    ASSERT_TRUE(f);
    f->SetValues(120.0, 35.5, 2.0, 0.25);
    f->Origine = LumPoint(1.5, -2.0, 3.0);
    f->OrigineAffichee = true;
    undo.Undo();
    EXPECT_EQ(gProjet.GetNumberOfDiscontinuites(), 0);
    undo.Redo();
    ASSERT_TRUE(gProjet.GetDiscontinuite("F"));
    EXPECT_EQ(Values(gProjet.GetDiscontinuite("F")), std::vector<double>(8, 0.0));

    f = gProjet.GetDiscontinuite("F");
    f->SetValues(120.0, 35.5, 2.0, 0.25);
    f->SetOrigine(LumPoint(1.5, -2.0, 3.0), false);
    f->OrigineAffichee = true;
    const std::vector<double> before = Values(f);
    gProjet.DeleteDiscontinuite("F", true);
    EXPECT_EQ(gProjet.GetDiscontinuite("F"), nullptr);
    undo.Undo();
    ASSERT_TRUE(gProjet.GetDiscontinuite("F"));
    EXPECT_EQ(Values(gProjet.GetDiscontinuite("F")), before);
    EXPECT_EQ(ui.Count("UpdateDiscontinuityDialog"), 2);
    undo.Redo();
    EXPECT_EQ(gProjet.GetDiscontinuite("F"), nullptr);
    // A name an older file holds comes back too.
    ASSERT_TRUE(gProjet.AddDiscontinuite("a|b", false, false));
    gProjet.DeleteDiscontinuite("a|b", true);
    undo.Undo();
    EXPECT_NE(gProjet.GetDiscontinuite("a|b"), nullptr);

    // The layer side, on the layers' name lists.
    std::vector<std::string> top{"F", "G"}, middle{"G"}, bottom{"F"};
    const std::vector<std::vector<std::string>*> lists{&top, &middle, &bottom};
    const std::vector<int> held = Discontinuite::RemoveFromLists("F", lists);
    EXPECT_EQ(held, (std::vector<int>{0, 2}));
    EXPECT_EQ(top, std::vector<std::string>{"G"});
    EXPECT_TRUE(bottom.empty());
    bottom.push_back("F");
    EXPECT_EQ(Discontinuite::GiveBackToLists("F", lists, {0, 2, 7, -1}), std::vector<int>{0});
    EXPECT_EQ(top, (std::vector<std::string>{"G", "F"}));
    EXPECT_EQ(middle, std::vector<std::string>{"G"});
    EXPECT_EQ(bottom, std::vector<std::string>{"F"});
}

// The editor records only a change of 1e-5 or more; its undo and redo,
// and those of the reference point, put each value back.
TEST_F(DiscontinuiteTest, EditsAndTheirThreshold)
{
    OVXUndoManager& undo = gProjet.GetUndoManager();
    Discontinuite* f = gProjet.AddDiscontinuite("F", false, false);
    ASSERT_TRUE(f);
    const struct
    {
        double azimut, pendage;
        bool applied;
    } edits[] = {{0.5e-5, 0.0, false}, {0.0, -0.9e-5, false}, {1e-5, 0.0, true},
                 {1e-5, 3e-5, true},   {1e-5, NAN, false},    {INFINITY, 3e-5, false}};
    for (const auto& e : edits)
    {
        const unsigned count = undo.GetCount();
        const double azimut = f->Azimut;
        EXPECT_EQ(f->ApplyEdit(e.azimut, e.pendage, 0.0, 0.0, true), e.applied)
            << e.azimut << " " << e.pendage;
        EXPECT_EQ(undo.GetCount(), count + (e.applied ? 1 : 0));
        EXPECT_EQ(f->Azimut, e.applied ? e.azimut : azimut);
    }
    EXPECT_EQ(f->Pendage, 3e-5);
    undo.Undo();
    EXPECT_EQ(f->Pendage, 0.0);
    EXPECT_EQ(f->Azimut, 1e-5);
    undo.Redo();
    EXPECT_EQ(f->Pendage, 3e-5);

    f->SetOrigine(LumPoint(4.0, 5.0, 6.0), true);
    undo.Undo();
    EXPECT_EQ(f->Origine.x, 0.0);
    undo.Redo();
    EXPECT_EQ(f->Origine.z, 6.0);
}
} // namespace
