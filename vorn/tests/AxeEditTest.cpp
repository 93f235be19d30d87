#include "Axe.h"
#include "AxeTools.h"
#include "KorNumbers.h"
#include "ModelTestSupport.h"

namespace
{
using AxeEditTest = ModelTest;

unsigned Actions()
{
    return gProjet.GetUndoManager().GetCount();
}

// A 3D polyline entity of the DXF form.
std::string DXFPolyline(const std::vector<LumPoint>& points)
{
    std::string text = "0\nPOLYLINE\n8\naxe\n66\n1\n70\n8\n";
    for (const LumPoint& p : points)
        text += "0\nVERTEX\n8\naxe\n10\n" + KorFormatDouble(p.x) + "\n20\n" + KorFormatDouble(p.y) +
                "\n30\n" + KorFormatDouble(p.z) + "\n70\n32\n";
    return text + "0\nSEQEND\n";
}

std::string DXFFile(const std::string& entities)
{
    return "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

TEST_F(AxeEditTest, DXFImportReplacesThePolylineInOneStepOrSaysWhy)
{
    gProjet.Echelle = 50.0;
    gProjet.OrigineX = 1000.0;
    Axe& axe = gProjet.GetAxe();
    const std::vector<LumPoint> before = {LumPoint(1, 1, 1), LumPoint(2, 2, 2)};
    axe.ReplacePolyline(before);
    gSelectedAxePoint = 1;

    const std::string dir = TempPath("axe_dxf");
    const struct
    {
        std::string content; // empty: no file at all
        std::string message;
    } refused[] = {
        {"", "Impossible de charger le fichier DXF"},
        {DXFFile("0\nPOINT\n8\n0\n10\n1\n20\n2\n30\n3\n"),
         "Le fichier DXF chargé ne contient pas de polyligne"},
        // A polyline inside a block definition is not in the drawing.
        {"0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n" + DXFPolyline({LumPoint(0, 0, 0), LumPoint(1, 0, 0)}) +
             "0\nENDBLK\n0\nENDSEC\n" + DXFFile("0\nINSERT\n2\nB\n10\n0\n20\n0\n30\n0\n"),
         "Le fichier DXF chargé ne contient pas de polyligne\nNon importés : 1 INSERT"},
        {DXFFile(DXFPolyline({LumPoint(0, 0, 0), LumPoint(1, 0, 0)}) +
                 DXFPolyline({LumPoint(0, 1, 0), LumPoint(1, 1, 0)})),
         "Le fichier DXF chargé contient plus d'une polyligne : choix impossible"},
    };
    for (const auto& r : refused)
    {
        const std::string path = dir + ".dxf";
        std::remove(path.c_str());
        if (!r.content.empty())
            WriteAll(path, r.content);
        ui.ClearLog();
        ui.PathAnswers.push_back(path);
        ImportAxeDXF();
        ASSERT_EQ(ui.Boxes.size(), 1u) << r.message;
        EXPECT_EQ(ui.Boxes[0].Text, r.message);
        EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
        EXPECT_EQ(axe.GetPolyline().size(), 2u);
        EXPECT_EQ(axe.GetPolyline()[1].x, 2.0);
        EXPECT_EQ(Actions(), 0u);
        std::remove(path.c_str());
    }

    // World (1010, 20, 5) is scene (20, 40, 10) at 1:50 from x 1000.
    const std::string path = dir + ".dxf";
    WriteAll(path,
             DXFFile(DXFPolyline({LumPoint(1000, 0, 0), LumPoint(1010, 20, 5), LumPoint(1030, 20, 5)})));
    ui.PathAnswers.push_back(path);
    ImportAxeDXF();
    const std::vector<LumPoint> scene = {LumPoint(0, 0, 0), LumPoint(20, 40, 10), LumPoint(60, 40, 10)};
    auto expectPoints = [&](const std::vector<LumPoint>& expected)
    {
        ASSERT_EQ(axe.GetPolyline().size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ((axe.GetPolyline()[i] - expected[i]).Norm(), 0.0) << i;
    };
    expectPoints(scene);
    EXPECT_EQ(axe.Type, 0);
    EXPECT_EQ(gSelectedAxePoint, -1);
    EXPECT_EQ(Actions(), 1u);
    gProjet.GetUndoManager().Undo();
    expectPoints(before);
    gProjet.GetUndoManager().Redo();
    expectPoints(scene);
    std::remove(path.c_str());
}

// The head 30 along a 100-long polyline.
TEST_F(AxeEditTest, HeadMovesRecordOnlyWhatMoved)
{
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, 0, 0), LumPoint(60, 80, 0)});
    for (bool reversed : {false, true})
    {
        gProjet.GetUndoManager().Clear();
        axe.SetHeadPosition(LumPoint(18, 24, 0), reversed);
        ASSERT_NEAR(axe.GetHeadDistance(), 30.0, 1e-9);
        axe.MoveHead(80.0, true); // past either end
        EXPECT_EQ(Actions(), 0u);
        EXPECT_NEAR(axe.GetHeadDistance(), 30.0, 1e-9);

        axe.MoveHead(20.0, true);
        EXPECT_EQ(Actions(), 1u);
        EXPECT_NEAR(axe.GetHeadDistance(), reversed ? 10.0 : 50.0, 1e-9);
        gProjet.GetUndoManager().Undo();
        EXPECT_NEAR(axe.GetHeadDistance(), 30.0, 1e-9) << reversed;
        gProjet.GetUndoManager().Redo();
        EXPECT_NEAR(axe.GetHeadDistance(), reversed ? 10.0 : 50.0, 1e-9) << reversed;
        EXPECT_EQ(axe.TeteInversee, reversed);
    }
}

TEST_F(AxeEditTest, ArcHeadMovesUndoExactlyAndNoHeadMovesNothing)
{
    Axe& axe = gProjet.GetAxe();
    axe.Type = 0;
    // Whole positions stand on the arc's vertices, where a position turned
    // into a point and back drifts past the vertex.
    for (double start : {60.0, 45.0, 30.0, 44.5})
    {
        gProjet.GetUndoManager().Clear();
        axe.PositionTeteAngle = start;
        const double distance = axe.GetHeadDistance();
        axe.MoveHead(10.0, true);
        ASSERT_EQ(Actions(), 1u) << start;
        EXPECT_NEAR(axe.GetHeadDistance(), distance + 10.0, 1e-3) << start;
        gProjet.GetUndoManager().Undo();
        // The position left is put back, whatever the arc and its chords.
        EXPECT_EQ(axe.PositionTeteAngle, start) << start;
    }

    // Moves by steps that the opposite step would not undo to the metre.
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, 0, 0), LumPoint(600, 800, 0)});
    for (double step : {1.1, 2.7, 3.3, -1.1})
    {
        gProjet.GetUndoManager().Clear();
        axe.PositionTeteMultiligne = 200.0;
        axe.MoveHead(step, true);
        ASSERT_EQ(Actions(), 1u) << step;
        const double moved = axe.PositionTeteMultiligne;
        gProjet.GetUndoManager().Undo();
        EXPECT_EQ(axe.PositionTeteMultiligne, 200.0) << step;
        gProjet.GetUndoManager().Redo();
        EXPECT_EQ(axe.PositionTeteMultiligne, moved) << step;
    }

    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, 0, 0), LumPoint(60, 80, 0)});
    axe.PositionTeteMultiligne = -1.0;
    gProjet.GetUndoManager().Clear();
    axe.MoveHead(10.0, true);
    EXPECT_EQ(Actions(), 0u);
    EXPECT_EQ(axe.PositionTeteMultiligne, -1.0);
}

TEST_F(AxeEditTest, ParametersAndTypeChangesUndo)
{
    Axe& axe = gProjet.GetAxe();
    axe.ComputeGraduation();
    ASSERT_TRUE(axe.IsGraduationValid());
    // Below 1e-5 nothing is recorded, shown or marked.
    axe.SetParameters(LumPoint(0, 0, 4e-6), 1000.0 + 9e-6, 0.0, -9e-6, true, true, true);
    EXPECT_EQ(Actions(), 0u);
    EXPECT_TRUE(axe.IsGraduationValid());
    EXPECT_EQ(ui.Count("ShowAxeParameters"), 0);
    EXPECT_EQ(axe.Origine.z, 0.0);

    // The palette's fields, typed: each value in single precision.
    ui.AxeFieldTexts.push_back({"1000.1", "12.5", "-3"});
    OnAxeParametersEntered();
    EXPECT_EQ(axe.Rayon, static_cast<double>(1000.1f));
    EXPECT_EQ(axe.Orientation, 12.5);
    EXPECT_EQ(axe.Inclinaison, -3.0);
    EXPECT_FALSE(axe.IsGraduationValid());
    EXPECT_EQ(Actions(), 1u);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(axe.Rayon, 1000.0);
    EXPECT_EQ(axe.Orientation, 0.0);
    EXPECT_EQ(ui.Count("ShowCoordinates"), 1);
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(axe.Inclinaison, -3.0);

    ui.ClearLog();
    axe.SetType(1, true);
    EXPECT_EQ(ui.Count("CheckMenuItem 42 0") + ui.Count("CheckMenuItem 43 1"), 2);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(axe.Type, 0);
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(axe.Type, 1);
}

// Points (0,0) (10,0) (20,0) (30,0) in plan.
TEST_F(AxeEditTest, PolylinePointsInsertAndDelete)
{
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    const std::vector<LumPoint> start = {LumPoint(0, 0, 0), LumPoint(10, 0, 0), LumPoint(20, 0, 0),
                                         LumPoint(30, 0, 0)};
    const struct
    {
        LumPoint click;
        int index;
    } inserts[] = {{{15, 4, 0}, 2},      // inside the second segment's circle
                   {{40, 1, 0}, 4},      // beyond the last point
                   {{-9, 1, 0}, 0},      // before the first
                   {{10, 0, 5e-6}, -1}}; // on a point: refused
    for (const auto& c : inserts)
    {
        axe.ReplacePolyline(start);
        gProjet.GetUndoManager().Clear();
        EXPECT_EQ(axe.InsertPoint(c.click), c.index) << c.click.x;
        EXPECT_EQ(axe.GetPointCount(), c.index < 0 ? 4 : 5);
        EXPECT_EQ(Actions(), c.index < 0 ? 0u : 1u);
        if (c.index >= 0)
        {
            EXPECT_EQ(axe.GetPolyline()[c.index].x, c.click.x);
        }
    }

    axe.ReplacePolyline(start);
    axe.MovePoint(7, LumPoint(1, 1, 1), true, true);
    EXPECT_EQ(Actions(), 0u);
    gSelectedAxePoint = 2;
    axe.DeletePoint(gSelectedAxePoint);
    EXPECT_EQ(gSelectedAxePoint, -1);
    EXPECT_EQ(axe.GetPointCount(), 3);
    EXPECT_EQ(axe.GetPolyline()[2].x, 30.0);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(axe.GetPointCount(), 4);
}
} // namespace
