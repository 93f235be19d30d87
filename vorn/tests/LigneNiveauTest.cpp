#include "LigneNiveau.h"
#include "Couche.h"
#include "CoucheRecorders.h"
#include "ModelTestSupport.h"

namespace
{
using LigneNiveauTest = ModelTest;

// The plan positions of a line's live points, in line order.
std::vector<std::pair<double, double>> Positions(Couche& couche, const LigneNiveau& ligne)
{
    std::vector<std::pair<double, double>> out;
    for (const KorVertex* v : ligne.GetVertices(couche))
        out.emplace_back(v->X, v->Y);
    return out;
}

using Positions_t = std::vector<std::pair<double, double>>;

// A free position goes into the first segment whose diameter circle holds
// it (its boundary too), else before the nearer end (the first on a tie).
TEST_F(LigneNiveauTest, FreePositionFollowsTheCircleRule)
{
    const struct
    {
        double x, y;
        Positions_t expected;
    } cases[] = {
        {5, 1, {{0, 0}, {5, 1}, {10, 0}}},   {5, 5, {{0, 0}, {5, 5}, {10, 0}}},
        {15, 0, {{0, 0}, {10, 0}, {15, 0}}}, {-5, 0, {{-5, 0}, {0, 0}, {10, 0}}},
        {5, 20, {{5, 20}, {0, 0}, {10, 0}}},
    };
    Couche* couche = gProjet.AddCouche("A", 0);
    for (const auto& c : cases)
    {
        const std::vector<float> ab = {0, 0, 10, 0};
        const int index = couche->AddLigneNiveau(0.0f, -1, false, &ab);
        LigneNiveau* ligne = couche->GetLigneNiveau(index);
        ASSERT_GE(ligne->AddPoint(*couche, c.x, c.y, false, -1), 0);
        EXPECT_EQ(Positions(*couche, *ligne), c.expected) << c.x << " " << c.y;
        couche->DeleteLigneNiveau(index, false);
    }
    EXPECT_EQ(couche->GetMesh().GetNumberOfVertices(), 0);
}

// Lines inserted or deleted before others shift their points' Params, so
// that every listed point keeps naming its own line.
TEST_F(LigneNiveauTest, InsertingAndDeletingLinesRenumbersTheirPoints)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    const std::vector<float> a = {0, 0, 10, 0}, b = {0, 5, 10, 5}, c = {0, 9, 10, 9};
    couche->AddLigneNiveau(1.0f, -1, false, &a);
    couche->AddLigneNiveau(2.0f, -1, false, &b);
    auto check = [&](int lines)
    {
        ASSERT_EQ(couche->GetNumberOfLignesNiveau(), lines);
        for (int i = 0; i < lines; ++i)
            for (int id : couche->GetLigneNiveau(i)->Points)
            {
                EXPECT_EQ(couche->GetVertexType(id).Type, 2);
                EXPECT_EQ(couche->GetVertexType(id).Param, i);
            }
    };
    EXPECT_EQ(couche->AddLigneNiveau(3.0f, 0, false, &c), 0);
    check(3);
    EXPECT_EQ(couche->GetLigneNiveau(1)->Profondeur, 1.0);
    couche->DeleteLigneNiveau(0, false);
    check(2);
    EXPECT_EQ(couche->GetLigneNiveau(0)->Profondeur, 1.0);
    // The line follows its points: at scene z = depth under scale 100.
    EXPECT_EQ(couche->GetLigneNiveau(1)->GetVertices(*couche)[0]->Z, 2.0);
}

// A hairpin keeps its given order through a deletion undone and redone;
// the circle rule would have turned A, B, C into A, C, B.
TEST_F(LigneNiveauTest, HairpinKeepsItsOrderThroughUndo)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    const std::vector<float> abc = {0, 0, 10, 0, 5, 1};
    const Positions_t expected = {{0, 0}, {10, 0}, {5, 1}};
    const int index = couche->AddLigneNiveau(0.0f, -1, false, &abc);
    couche->GetLigneNiveau(index)->Fermee = 1;
    EXPECT_EQ(Positions(*couche, *couche->GetLigneNiveau(index)), expected);
    couche->DeleteLigneNiveau(index, true);
    EXPECT_EQ(couche->GetNumberOfLignesNiveau(), 0);
    OVXUndoManager& undo = gProjet.GetUndoManager();
    for (int round = 0; round < 2; ++round)
    {
        undo.Undo();
        ASSERT_EQ(couche->GetNumberOfLignesNiveau(), 1);
        EXPECT_EQ(Positions(*couche, *couche->GetLigneNiveau(0)), expected);
        EXPECT_EQ(couche->GetLigneNiveau(0)->Fermee, 1);
        undo.Redo();
        EXPECT_EQ(couche->GetNumberOfLignesNiveau(), 0);
        EXPECT_EQ(couche->GetMesh().GetNumberOfVertices(), 0);
    }
}

// A contour vertex deleted leaves its line, so a free point given its
// identifier later stays out; undone, it comes back into the line at its
// place, as a contour point.
TEST_F(LigneNiveauTest, DeletedContourPointLeavesItsLineAndComesBack)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    const std::vector<float> abc = {0, 0, 5, 0, 10, 0};
    LigneNiveau* ligne = couche->GetLigneNiveau(couche->AddLigneNiveau(0.0f, -1, false, &abc));
    const int b = ligne->Points[1];
    couche->DeletePoint(b, true);
    EXPECT_EQ(ligne->Points.size(), 2u);
    const int reused = couche->AddPoint(LumPoint(50, 50, 0), 1, 0, false, false);
    ASSERT_EQ(reused, b);
    EXPECT_EQ(ligne->Find(reused), -1);
    couche->DeletePoint(reused, false);

    gProjet.GetUndoManager().Undo();
    ASSERT_EQ(ligne->Points.size(), 3u);
    const int back = ligne->Points[1];
    EXPECT_EQ(couche->GetVertexType(back).Type, 2);
    EXPECT_EQ(couche->GetVertexType(back).Param, 0);
    EXPECT_EQ(Positions(*couche, *ligne), (Positions_t{{0, 0}, {5, 0}, {10, 0}}));
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(Positions(*couche, *ligne), (Positions_t{{0, 0}, {10, 0}}));
}

// A file whose line lists an identifier no vertex stands for: the line
// drops it on reading, so the point next given that free identifier does
// not join two lines.
TEST_F(LigneNiveauTest, ReadLineDropsIdentifiersOfNoVertex)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    const std::vector<float> abc = {0, 0, 5, 0, 10, 0};
    LigneNiveau* ligne = couche->GetLigneNiveau(couche->AddLigneNiveau(0.0f, -1, false, &abc));
    const int b = ligne->Points[1];
    couche->GetMesh().DeleteVertex(b);
    XMLNode node = XMLNode::createXMLTopNode("Couche");
    couche->ToXML(node);

    Couche read("Couche");
    read.FromXML(node);
    ASSERT_EQ(read.GetNumberOfLignesNiveau(), 1);
    EXPECT_EQ(read.GetLigneNiveau(0)->Points.size(), 2u);
    EXPECT_EQ(read.GetLigneNiveau(0)->Find(b), -1);
}

// Point records: an addition undone, redone and undone again deletes its
// point each time; a deleted borehole point comes back a borehole point.
TEST_F(LigneNiveauTest, PointRecordsGiveBackThePointAndItsOrigin)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    OVXUndoManager& undo = gProjet.GetUndoManager();
    couche->AddPoint(LumPoint(1, 2, 3), 1, 0, false, true);
    for (int round = 0; round < 2; ++round)
    {
        undo.Undo();
        EXPECT_EQ(couche->GetMesh().GetNumberOfVertices(), 0);
        undo.Redo();
        EXPECT_EQ(couche->GetMesh().GetNumberOfVertices(), 1);
    }
    undo.Undo();
    EXPECT_EQ(couche->GetMesh().GetNumberOfVertices(), 0);

    const int hole = couche->AddPoint(LumPoint(4, 5, 6), 3, 7, false, false);
    couche->DeletePoint(hole, true);
    undo.Undo();
    ASSERT_EQ(couche->GetMesh().GetNumberOfVertices(), 1);
    const int id = couche->GetMesh().GetVertex(hole) ? hole : couche->GetMesh().GetVertexVectorSize() - 1;
    EXPECT_EQ(couche->GetVertexType(id).Type, 3);
    EXPECT_EQ(couche->GetVertexType(id).Param, 7);
    EXPECT_EQ(couche->GetMesh().GetVertex(id)->Z, 6.0);

    // A moved point goes back and forth.
    couche->MovePoint(id, LumPoint(8, 8, 8), false, true, false);
    undo.Undo();
    EXPECT_EQ(couche->GetMesh().GetVertex(id)->X, 4.0);
    undo.Redo();
    EXPECT_EQ(couche->GetMesh().GetVertex(id)->X, 8.0);
}

// A point removed from a line comes back at its position; a point added
// by hand is removed by the undo and placed again by the rule.
TEST_F(LigneNiveauTest, LinePointRecordsKeepThePlace)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    const std::vector<float> line = {0, 0, 5, 0, 10, 0, 15, 0};
    LigneNiveau* ligne = couche->GetLigneNiveau(couche->AddLigneNiveau(0.0f, -1, false, &line));
    OVXUndoManager& undo = gProjet.GetUndoManager();
    ligne->RemovePoint(*couche, ligne->Points[2], true);
    undo.Undo();
    EXPECT_EQ(Positions(*couche, *ligne), (Positions_t{{0, 0}, {5, 0}, {10, 0}, {15, 0}}));
    undo.Redo();
    EXPECT_EQ(Positions(*couche, *ligne), (Positions_t{{0, 0}, {5, 0}, {15, 0}}));

    ligne->AddPoint(*couche, 7, 1, true, -1);
    EXPECT_EQ(ligne->Points.size(), 4u);
    undo.Undo();
    EXPECT_EQ(ligne->Points.size(), 3u);
    undo.Redo();
    EXPECT_EQ(Positions(*couche, *ligne), (Positions_t{{0, 0}, {5, 0}, {7, 1}, {15, 0}}));

    ligne->SetProfondeur(*couche, 20.0f, true);
    EXPECT_EQ(ligne->GetVertices(*couche)[0]->Z, 20.0);
    undo.Undo();
    EXPECT_EQ(ligne->Profondeur, 0.0);
    EXPECT_EQ(ligne->GetVertices(*couche)[3]->Z, 0.0);
}

// A file's line that lists its points twice keeps each once, at its first
// place: deleted and undone, it gives back its three vertices, no more.
TEST_F(LigneNiveauTest, RepeatedIdentifiersOfAFileLineAreKeptOnce)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    const std::vector<float> abc = {0, 0, 5, 0, 10, 0};
    LigneNiveau* ligne = couche->GetLigneNiveau(couche->AddLigneNiveau(0.0f, -1, false, &abc));
    const std::vector<int> once = ligne->Points;
    ligne->Points = {once[0], once[1], once[0], once[2], once[1]};
    const std::string path = TempPath("repeated.ovx");
    gProjet.Nom = path;
    ASSERT_TRUE(gProjet.Save());
    gProjet.Open(path);
    couche = gProjet.GetCouche(0);
    ASSERT_EQ(couche->GetNumberOfLignesNiveau(), 1);
    EXPECT_EQ(couche->GetLigneNiveau(0)->Points, once);
    couche->DeleteLigneNiveau(0, true);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(couche->GetMesh().GetNumberOfVertices(), 3);
    EXPECT_EQ(Positions(*couche, *couche->GetLigneNiveau(0)), (Positions_t{{0, 0}, {5, 0}, {10, 0}}));
    std::remove(path.c_str());
}
} // namespace
