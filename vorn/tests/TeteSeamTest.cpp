#include "LumHandledMesh.h"
#include "LumoraDevice.h"
#include "ModelTestSupport.h"
#include "TeteTestHelpers.h"

#include <algorithm>

namespace
{
using TeteSeam = ModelTest;

std::string FormText(TeteTranchee& head)
{
    XMLNode node = XMLNode::createXMLTopNode("Tete");
    head.ToXML(node);
    std::string text;
    for (int k = 0; k < node.nChildNode(); ++k)
        text += std::string(node.getChildNode(k).getName()) + "=" + node.getChildNode(k).getText() + ";";
    return text;
}

long CountOf(const std::vector<std::string>& calls, const std::string& call)
{
    return std::count(calls.begin(), calls.end(), call);
}
} // namespace

TEST_F(TeteSeam, AChangeIsOneStepUndoneAndRedoneThroughTheInterface)
{
    TeteTranchee& head = ui.GetTete();
    OVXUndoManager& undo = gProjet.GetUndoManager();
    const std::string constructed = FormText(head);
    // An unchanged call records nothing; an unrecorded change neither.
    EXPECT_FALSE(SingleSet().Apply(head, true));
    EXPECT_TRUE(SingleSet().With(SingleSet::lp, 16).Apply(head, false));
    EXPECT_EQ(undo.GetCount(), 0u);
    SingleSet().Apply(head);

    // The double setter records whatever it is told: a change of a final
    // slope of the double head, saved since, is undone too.
    DoubleSet set;
    set.v[DoubleSet::Alphafss1] = 33.0;
    EXPECT_TRUE(set.Apply(head));
    const std::string changed = FormText(head);
    ASSERT_EQ(undo.GetCount(), 1u);
    EXPECT_TRUE(SingleSet().With(SingleSet::Thetaf, -10).Apply(head, true));
    ASSERT_EQ(undo.GetCount(), 2u);
    const std::vector<LumPoint> skewed = FacePoints(head.GetMesh(), head.GetClassFaces(3).Faces[0]);

    ui.ClearLog();
    undo.Undo();
    EXPECT_EQ(FormText(head), changed);
    EXPECT_TRUE(head.DoubleEntree);
    undo.Undo();
    EXPECT_EQ(FormText(head), constructed);
    EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), 27);
    EXPECT_EQ(CountOf(ui.Calls, "LoadTeteXML"), 2);
    EXPECT_EQ(CountOf(ui.Calls, "FillHeadFields"), 2);

    undo.Redo();
    undo.Redo();
    EXPECT_EQ(head.Alphafss1, Deg(33.0));
    EXPECT_FALSE(head.DoubleEntree);
    EXPECT_EQ(FacePoints(head.GetMesh(), head.GetClassFaces(3).Faces[0]).size(), skewed.size());
    EXPECT_TRUE(RingIs(head.GetMesh(), head.GetClassFaces(3).Faces[0], skewed));
    EXPECT_EQ(CountOf(ui.Calls, "LoadTeteXML"), 4);
    // Replaying never records.
    EXPECT_EQ(undo.GetCount(), 2u);
}

TEST_F(TeteSeam, OpeningAProjectRebuildsTheInterfacesHead)
{
    TeteTranchee& head = ui.GetTete();
    SingleSet().With(SingleSet::Thetaf, -10).Apply(head);
    const std::vector<LumPoint> skewed = FacePoints(head.GetMesh(), head.GetClassFaces(3).Faces[0]);
    const std::string path = TempPath("tete.ovx");
    gProjet.Nom = path;
    ASSERT_TRUE(gProjet.Save());
    SingleSet().Apply(head);
    head.GetMesh().Clear();
    ui.ClearLog();

    gProjet.Open(path);
    std::remove(path.c_str());
    EXPECT_EQ(head.Thetaf, Deg(-10));
    EXPECT_TRUE(head.IsBuilt());
    EXPECT_TRUE(RingIs(head.GetMesh(), head.GetClassFaces(3).Faces[0], skewed));
    EXPECT_EQ(CountOf(ui.Calls, "FillHeadFields"), 1);
}

TEST_F(TeteSeam, TheHeadIsShownInTheMainSceneAndItsPlacedCopiesNever)
{
    LumoraDevice device; // a 3D scene without canvas
    ui.MainDevice = &device;
    TeteTranchee& head = ui.GetTete();
    ASSERT_TRUE(head.BuildMesh());
    ASSERT_EQ(device.GetNumberOfObjects(), 1u);
    ASSERT_EQ(head.GetDisplayMesh(), device.FindObject("Tete"));
    EXPECT_EQ(head.GetDisplayMesh()->GetNumberOfVertices(), 37);
    SingleSet().Flags(false, true).Apply(head);
    EXPECT_EQ(head.GetDisplayMesh()->GetNumberOfVertices(), 49);

    // The axis places a copy for every excavation.
    TeteTranchee placed;
    for (int k = 0; k < 100; ++k)
        ASSERT_TRUE(placed.CopyAndAdjust(head, 30.0 + k, (30.0 + k) * std::tan(86.0), 30.0 + k));
    EXPECT_EQ(device.GetNumberOfObjects(), 1u);
    EXPECT_EQ(placed.GetDisplayMesh(), nullptr);
    EXPECT_EQ(head.GetDisplayMesh()->GetNumberOfVertices(), 49);
    ui.MainDevice = nullptr;
}
