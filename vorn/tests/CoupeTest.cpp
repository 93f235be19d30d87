#include "ElementRecorders.h"
#include "ElementTestSupport.h"

#include <cmath>

namespace
{
class CoupeTest : public ElementTest
{
};

// The image-to-scene mapping on its analytic values, and the fixed form of
// a position in the file.
TEST_F(CoupeTest, ImagePositionsMapToScenePoints)
{
    Coupe coupe("C", LumPoint(0, 0, 50), LumPoint(1000, 0, 50));
    coupe.Ref1 = CoupeCoord(0.1, 0.5);
    coupe.Ref2 = CoupeCoord(0.3, 0.5);
    coupe.EchelleVerticale = 20.0;
    struct Case
    {
        double x, y;
        LumPoint expected;
    } cases[] = {{0.2, 0.5, {500, 0, 50}},
                 {0.2, 0.55, {500, 0, 49}},
                 {0.1, 0.5, {0, 0, 50}},
                 {0.3, 0.0, {1000, 0, 60}}};
    for (const Case& c : cases)
    {
        const LumPoint p = coupe.GetScenePoint(CoupeCoord(c.x, c.y));
        EXPECT_NEAR(p.x, c.expected.x, 1e-3) << c.x << " " << c.y;
        EXPECT_NEAR(p.y, c.expected.y, 1e-3) << c.x << " " << c.y;
        EXPECT_NEAR(p.z, c.expected.z, 1e-4) << c.x << " " << c.y;
    }

    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    CoupeCoord(0.25, 1.0 / 3.0).ToXML(top);
    EXPECT_STREQ(top.getChildNode("X").getText(), "0.25000");
    EXPECT_STREQ(top.getChildNode("Y").getText(), "0.33333");
}

// A section inserted at 0 renumbers the others, deleting section 0 takes
// its points and renumbers back; a fictive section leaves free points only;
// each undo step gives the model back.
TEST_F(CoupeTest, StoringDeletingAndUndo)
{
    AddSquare("Haut", 20.0);
    AddSquare("Bas", 0.0);
    Couche& haut = *gProjet.GetCouche(0);
    OVXUndoManager& undo = gProjet.GetUndoManager();
    gProjet.SetCoupe(Section("A", {{"Haut", {{0.2, 0.52}, {0.4, 0.52}}}, {"Absente", {{0.5, 0.5}}}}), -1,
                     true, true);
    const auto one = Model();
    Coupe* b =
        gProjet.SetCoupe(Section("B", {{"Haut", {{0.6, 0.53}}}, {"Bas", {{0.6, 0.66}}}}), 0, true, true);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(gProjet.GetCoupeIndex("B"), 0);
    EXPECT_EQ(Count(haut, 4, 1), 2);
    EXPECT_EQ(Count(haut, 4, 0), 1);
    EXPECT_EQ(Count(*gProjet.GetCouche(1), 4, 0), 1);
    const auto two = Model();

    gProjet.DeleteCoupe("B", true);
    EXPECT_EQ(Count(haut, 4, 0), 2);
    EXPECT_EQ(Count(*gProjet.GetCouche(1), 4), 0);
    EXPECT_EQ(Model(), one);
    undo.Undo();
    EXPECT_EQ(Model(), two);
    undo.Undo();
    EXPECT_EQ(Model(), one);
    undo.Redo();
    EXPECT_EQ(Model(), two);

    Coupe* fictive = Section("F", {{"Haut", {{0.7, 0.51}}}});
    fictive->Fictive = true;
    ASSERT_EQ(gProjet.SetCoupe(fictive, -1, true, true), fictive);
    delete fictive;
    EXPECT_EQ(gProjet.GetNumberOfCoupes(), 2);
    EXPECT_EQ(Count(haut, 1), 5);
    EXPECT_EQ(Count(haut, 4), 3);
    undo.Undo();
    EXPECT_EQ(Model(), two);
}

// The check: its messages, nothing changed; a point 5 % past the layer
// above passes it though the point rule refuses it; a section without
// usable references or scale is refused, never leaving NaN in a layer.
TEST_F(CoupeTest, CheckRefusals)
{
    AddSquare("Haut", 20.0);
    AddSquare("Bas", 0.0);
    gProjet.SetCoupe(Section("A", {}), -1, false, false);
    const auto before = Model();
    Coupe* sameX = Section("W", {{"Haut", {{0.5, 0.52}}}});
    sameX->Ref2 = sameX->Ref1;
    Coupe* noScale = Section("E", {{"Haut", {{0.5, 0.52}}}});
    noScale->EchelleVerticale = 0.0;
    Coupe* nanScale = Section("N", {{"Haut", {{0.5, 0.52}}}});
    nanScale->EchelleVerticale = std::nan("");
    struct Case
    {
        Coupe* coupe;
        const char* text;
    } cases[] = {
        {Section("A", {}), "Une autre coupe porte déjà ce nom"},
        {Section("S$1", {}), "Le nom d'une coupe ne peut pas contenir le caractère '$'."},
        {sameX, "Les deux points de référence doivent avoir des abscisses différentes sur l'image"},
        {noScale, "L'échelle verticale doit être un réel > 0"},
        {nanScale, "L'échelle verticale doit être un réel > 0"},
        {Section("Bas trop haut", {{"Bas", {{0.5, 0.3}}}}), nullptr},
    };
    for (const Case& c : cases)
    {
        ui.Boxes.clear();
        EXPECT_EQ(gProjet.SetCoupe(c.coupe, -1, true, true), nullptr);
        ASSERT_EQ(ui.Boxes.size(), c.text ? 1u : 0u);
        if (c.text)
        {
            EXPECT_EQ(ui.Boxes[0].Text, c.text);
        }
        EXPECT_EQ(Model(), before);
    }

    // Bas at 21: 5 % above Haut.
    Coupe* tolerated = Section("T", {{"Bas", {{0.5, 0.49}}}});
    EXPECT_TRUE(gProjet.CheckCoupe(tolerated));
    EXPECT_EQ(gProjet.GetCouche(1)->AddPoint(LumPoint(50, 50, 21), 1, 0, true, false), -1);
    delete tolerated;

    // Unvalidated placement (as undo and redo do) of a section with an
    // infinite scale skips its non-finite points.
    Coupe* unchecked = Section("U", {{"Haut", {{0.5, 0.52}}}});
    unchecked->EchelleVerticale = HUGE_VAL;
    gProjet.SetCoupe(unchecked, -1, false, false);
    for (int c = 0; c < gProjet.GetNumberOfCouches(); ++c)
        for (const std::string& p : Points(*gProjet.GetCouche(c)))
            EXPECT_EQ(p.find("nan"), std::string::npos) << p;
    EXPECT_EQ(Count(*gProjet.GetCouche(0), 4), 0);
}

// A section reads back from the file with its references and positions.
TEST_F(CoupeTest, FileRoundTrip)
{
    AddSquare("Haut", 20.0);
    Coupe* coupe = Section("Coupe 1", {{"Haut", {{0.25, 0.52}, {0.75, 0.51}}}});
    coupe->Image = "img.png";
    gProjet.SetCoupe(coupe, -1, false, false);
    const auto before = Model();
    const std::string path = TempPath("coupe.ovx");
    gProjet.Nom = path;
    ASSERT_TRUE(gProjet.Save());
    gProjet.Open(path);
    EXPECT_EQ(Model(), before);
    Coupe* read = gProjet.GetCoupe(0);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Image, "img.png");
    EXPECT_DOUBLE_EQ(read->Ref2.X, 1.0);
    EXPECT_DOUBLE_EQ(read->Reference2.x, 100.0);
    std::remove(path.c_str());
}
// A section point the layer refuses (not finite) holds no identifier: the
// undone deletion gives each placed point its own vertex back, even when a
// freed slot of another point comes first.
TEST_F(CoupeTest, RefusedPointTakesNoIdentifierBack)
{
    Couche& haut = *AddSquare("Haut", 20.0);
    gProjet.SetCoupe(Section("A", {{"Haut", {{0.2, 0.52}, {1e307, 0.5}, {0.4, 0.52}}}}), -1, false, true);
    std::vector<std::pair<int, LumPoint>> placed;
    const KorMesh& mesh = haut.GetMesh();
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id); v && haut.GetVertexType(id).Type == 4)
            placed.emplace_back(id, LumPoint(v->X, v->Y, v->Z));
    ASSERT_EQ(placed.size(), 2u);
    haut.DeletePoint(0, true);
    gProjet.DeleteCoupe("A", true);
    gProjet.GetUndoManager().Undo();
    for (const auto& [id, p] : placed)
    {
        const KorVertex* v = mesh.GetVertex(id);
        ASSERT_NE(v, nullptr) << id;
        EXPECT_EQ(v->X, p.x) << id;
        EXPECT_EQ(v->Y, p.y) << id;
        EXPECT_EQ(v->Z, p.z) << id;
    }
}
} // namespace
