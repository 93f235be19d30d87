#include "KorNumbers.h"
#include "LumHandledMesh.h"
#include "TeteTestHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace
{
using S = SingleSet;

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "tete_" + std::to_string(getpid()) + "_" + name;
}

// The head's saved form as one text per element, in order.
std::vector<std::pair<std::string, std::string>> Form(TeteTranchee& head)
{
    XMLNode node = XMLNode::createXMLTopNode("Tete");
    head.ToXML(node);
    std::vector<std::pair<std::string, std::string>> form;
    for (int k = 0; k < node.nChildNode(); ++k)
    {
        const XMLNode child = node.getChildNode(k);
        form.emplace_back(child.getName(), child.getText() ? child.getText() : "");
    }
    return form;
}

std::vector<LumPoint> Vertices(const TeteTranchee& head)
{
    std::vector<LumPoint> points;
    for (int id = 0; id < head.GetMesh().GetVertexVectorSize(); ++id)
        if (const KorVertex* v = head.GetMesh().GetVertex(id))
            points.emplace_back(v->X, v->Y, v->Z);
    return points;
}

bool SamePoints(const std::vector<LumPoint>& a, const std::vector<LumPoint>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (a[k].x != b[k].x || a[k].y != b[k].y || a[k].z != b[k].z)
            return false;
    return true;
}

const char* const kKeys[] = {"DoubleEntree",
                             "SymetrieGD",
                             "DoubleRisberme",
                             "CoteAvance",
                             "lp",
                             "hp",
                             "AlphaFi",
                             "Thetaf",
                             "AlphaFs",
                             "AlphaFss",
                             "Alphagi1",
                             "Alphags1",
                             "Alphagss1",
                             "Thetag1",
                             "Alphag2",
                             "Thetag2",
                             "Alphadi1",
                             "Alphads1",
                             "Alphadss1",
                             "Thetad1",
                             "Distanced1",
                             "Alphad2",
                             "Thetad2",
                             "lp1",
                             "hp1",
                             "lp2",
                             "hp2",
                             "Thetaf1",
                             "Alphafi1",
                             "Alphafs1",
                             "Thetaf2",
                             "Lf2",
                             "Alphafi2",
                             "Alphafs2",
                             "Thetar1",
                             "Alphari1",
                             "Alphars1",
                             "Thetar2",
                             "Alphari2",
                             "Alphars2",
                             "Thetaa2",
                             "Alphaai2",
                             "Alphaas2",
                             "Thetar3",
                             "Alphar3",
                             "Thetaa3",
                             "Alphaa3",
                             "Prolongement",
                             "hr",
                             "lr",
                             "h2",
                             "h",
                             "hr2",
                             "lr2",
                             "Point1Tunnel1",
                             "Point2Tunnel1",
                             "Point1Tunnel2",
                             "Point2Tunnel2",
                             "HauteurTunnel",
                             "LargeurTunnel",
                             "Alphafss1",
                             "Alphafss2",
                             "Alpharss1",
                             "Alpharss2",
                             "Alphaass2"};
} // namespace

TEST(TeteTranchee, SingleSetterClampsEachArgument)
{
    using F = double TeteTranchee::*;
    struct Case
    {
        const char* Name;
        S::Index Index;
        double Given;
        F Field;
        double Stored; // degrees for angles
    } cases[] = {
        {"negative length", S::lp, -20, &TeteTranchee::lp, 20},
        {"zero length", S::hr2, 0, &TeteTranchee::hr2, 0.1},
        {"zero berm", S::lr, 0, &TeteTranchee::lr, 0.1},
        {"front lower slope at most 70", S::AlphaFi, 80, &TeteTranchee::AlphaFi, 70},
        {"front lower slope has no floor", S::AlphaFi, 0, &TeteTranchee::AlphaFi, 0},
        {"front lower slope absolute", S::AlphaFi, -5, &TeteTranchee::AlphaFi, 5},
        {"front skew keeps its sign", S::Thetaf, -5, &TeteTranchee::Thetaf, -5},
        {"front skew at least -70", S::Thetaf, -80, &TeteTranchee::Thetaf, -70},
        {"front skew may be 0", S::Thetaf, 0, &TeteTranchee::Thetaf, 0},
        {"slope floor", S::AlphaFs, 0, &TeteTranchee::AlphaFs, 0.1},
        {"slope ceiling", S::Alphagss1, -75, &TeteTranchee::Alphagss1, 70},
        {"side skew absolute", S::Thetag1, -30, &TeteTranchee::Thetag1, 30},
        {"side skew ceiling", S::Thetad1, 95, &TeteTranchee::Thetad1, 89},
        {"side skew floor", S::Thetag1, 0, &TeteTranchee::Thetag1, 0.1},
        {"exit skew floor", S::Thetag2, -80, &TeteTranchee::Thetag2, -70},
        {"exit skew ceiling", S::Thetag2, 95, &TeteTranchee::Thetag2, 89},
        {"exit skew near 0", S::Thetag2, 0.05, &TeteTranchee::Thetag2, 0.1},
        {"exit skew near 0 below", S::Thetad2, -0.05, &TeteTranchee::Thetad2, 0.1},
        {"exit skew inward kept", S::Thetad2, -10, &TeteTranchee::Thetad2, -10},
        {"tunnel width absolute", S::LargeurTunnel, -12, &TeteTranchee::LargeurTunnel, 12},
        {"tunnel height may be 0", S::HauteurTunnel, 0, &TeteTranchee::HauteurTunnel, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        TeteTranchee head;
        ASSERT_TRUE(SingleSet().With(c.Index, c.Given).Apply(head));
        const double expected = SingleSet::IsAngle(c.Index) ? Deg(c.Stored) : c.Stored;
        EXPECT_DOUBLE_EQ(head.*c.Field, expected);
    }
}

TEST(TeteTranchee, OuterSlopesAreBoundedThenCappedBelowTheBerms)
{
    struct Case
    {
        const char* Name;
        SingleSet Set;
        double Alphag2, Alphad2; // degrees
    };
    SingleSet twoBerms = SingleSet().With(S::hr2, 5).With(S::lr2, 10).With(S::Alphag2, 80);
    twoBerms.DoubleRisberme = true;
    const double d1 = std::tan(Deg(15)) * 15 + 5;
    const Case cases[] = {
        // The lower bench and the first berm: atan(14.9 / (15 tan 15 + 5)).
        {"capped", SingleSet().With(S::Alphag2, 80).With(S::Alphad2, 80), std::atan(14.9 / d1) / Deg(1),
         std::atan(14.9 / (std::tan(Deg(20)) * 15 + 5)) / Deg(1)},
        // Nearly vertical lower benches and a narrow berm leave the
        // bounds [3, 85] to show.
        {"bounded",
         SingleSet().With(S::Alphag2, 100).With(S::Alphad2, 1).With(S::Alphagi1, 0.1).With(S::lr, 0.1), 85,
         3},
        // A second berm whose line is lower than the first's.
        {"second berm", twoBerms, std::atan(19.9 / (std::tan(Deg(25)) * 5 + 10 + d1)) / Deg(1), 30},
    };
    EXPECT_NEAR(std::atan(14.9 / d1) / Deg(1), 58.81, 0.005);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        TeteTranchee head;
        c.Set.Apply(head);
        EXPECT_NEAR(head.Alphag2, Deg(c.Alphag2), 1e-12);
        EXPECT_NEAR(head.Alphad2, Deg(c.Alphad2), 1e-12);
    }
}

TEST(TeteTranchee, SymmetryCopiesTheLeftSideAndTheExitFollowsTheRightSide)
{
    struct Case
    {
        const char* Name;
        bool Symmetric;
        double Hp, D1, H;
        double StoredH, StoredD1;
    } cases[] = {
        {"floor on the right side", false, 25, 20, 5, 21, 20},
        {"absolute first", false, 25, 20, -30, 30, 20},
        {"symmetric: the right side is as long as the left", true, 25, 10, 5, 26, 25},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        TeteTranchee head;
        SingleSet set = SingleSet().With(S::hp, c.Hp).With(S::Distanced1, c.D1).With(S::h, c.H);
        set.SymetrieGD = c.Symmetric;
        // Right-side values unlike the left ones, ignored when symmetric.
        set.With(S::Alphadi1, 40).With(S::Alphads1, 45).With(S::Alphadss1, 50).With(S::Thetad1, 5);
        set.With(S::Alphad2, 20).With(S::Thetad2, 25);
        ASSERT_TRUE(set.Apply(head));
        EXPECT_DOUBLE_EQ(head.h, c.StoredH);
        EXPECT_DOUBLE_EQ(head.Distanced1, c.StoredD1);
        if (c.Symmetric)
        {
            EXPECT_EQ(head.Alphadi1, head.Alphagi1);
            EXPECT_EQ(head.Alphads1, head.Alphags1);
            EXPECT_EQ(head.Alphadss1, head.Alphagss1);
            EXPECT_EQ(head.Thetad1, head.Thetag1);
            EXPECT_EQ(head.Alphad2, head.Alphag2);
            EXPECT_EQ(head.Thetad2, head.Thetag2);
        }
        else
            EXPECT_DOUBLE_EQ(head.Thetad1, Deg(5));
    }

    TeteTranchee doubled;
    DoubleSet set;
    set.v[DoubleSet::h] = 5;
    set.v[DoubleSet::Lf2] = 30;
    ASSERT_TRUE(set.Apply(doubled));
    EXPECT_TRUE(doubled.DoubleEntree);
    EXPECT_DOUBLE_EQ(doubled.h, 30.1);
}

TEST(TeteTranchee, OnlyAChangeBeyondTheToleranceAppliesTheSet)
{
    for (int k = 0; k < S::Count; ++k)
    {
        SCOPED_TRACE(k);
        // A step of 2e-5 or 0.5e-5 in the stored unit (radians for angles).
        const double unit = SingleSet::IsAngle(k) ? 180.0 / 3.14159265 : 1.0;
        for (double step : {2e-5, 0.5e-5})
        {
            TeteTranchee head;
            head.GetMesh().Clear();
            SingleSet set;
            set.v[k] += step * unit;
            const bool applied = set.Apply(head);
            EXPECT_EQ(applied, step > 1e-5);
            // An unchanged call rebuilds nothing.
            EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), applied ? 27 : 0);
        }
    }
    for (bool flag : {false, true})
    {
        TeteTranchee head;
        SingleSet set;
        (flag ? set.SymetrieGD : set.DoubleRisberme) = true;
        EXPECT_TRUE(set.Apply(head));
    }
}

TEST(TeteTranchee, TheModeCountsInTheUnchangedTest)
{
    TeteTranchee head;
    DoubleSet doubled;
    doubled.v[DoubleSet::hr2] = 25;
    ASSERT_TRUE(doubled.Apply(head));
    EXPECT_TRUE(head.DoubleEntree);
    EXPECT_FALSE(head.IsBuilt());
    EXPECT_FALSE(doubled.Apply(head));
    // The single set is still the stored one; the mode alone switches back.
    EXPECT_TRUE(SingleSet().Apply(head));
    EXPECT_FALSE(head.DoubleEntree);
    EXPECT_TRUE(head.IsBuilt());
    EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), 27);
}

TEST(TeteTranchee, FormHoldsEachKeyOnceInOrder)
{
    TeteTranchee head;
    const auto form = Form(head);
    ASSERT_EQ(form.size(), 65u);
    for (size_t k = 0; k < form.size(); ++k)
        EXPECT_EQ(form[k].first, kKeys[k]) << k;
    // Angles are saved in radians.
    EXPECT_DOUBLE_EQ(KorAtof(form[7].second.c_str()), Deg(10));
}

TEST(TeteTranchee, HeadReadBackFromAFileRebuildsTheSameVertices)
{
    TeteTranchee head;
    DoubleSet doubled;
    doubled.v[DoubleSet::Alphafss1] = 33.3;
    doubled.Apply(head);
    SingleSet set = SingleSet().With(S::Thetaf, 7.3).With(S::lp, 14.123456789).With(S::Thetag1, 23.456789);
    set.DoubleRisberme = true;
    set.With(S::hr2, 12.3456789).With(S::Alphagss1, 11.1111111);
    ASSERT_TRUE(set.Apply(head));

    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode tete = top.addChild("Tete");
    head.ToXML(tete);
    const std::string path = TempPath("head.ovr");
    ASSERT_TRUE(top.writeToFile(path));
    XMLResults r;
    const XMLNode back = XMLNode::parseFile(path, &r);
    ASSERT_TRUE(r) << r.message;
    unlink(path.c_str());

    TeteTranchee read;
    read.FromXML(back.getChildNode("Tete"));
    ASSERT_TRUE(read.BuildMesh());
    EXPECT_EQ(Form(read), Form(head));
    EXPECT_EQ(read.Alphafss1, Deg(33.3));
    EXPECT_EQ(read.lp, head.lp);
    EXPECT_EQ(read.Thetag1, head.Thetag1);
    EXPECT_TRUE(SamePoints(Vertices(read), Vertices(head)));
    EXPECT_EQ(read.GetMesh().GetNumberOfVertices(), 49);
}

TEST(TeteTranchee, FilesWithoutTheFinalSlopesKeepTheHeadsValues)
{
    TeteTranchee changed;
    DoubleSet set;
    for (int k : {7, 12, 16, 20, 24})
        set.v[k] = 40;
    set.Apply(changed);
    XMLNode node = XMLNode::createXMLTopNode("Tete");
    changed.ToXML(node);
    // The same form without its last five elements, as older files are.
    XMLNode old = XMLNode::createXMLTopNode("Tete");
    for (int k = 0; k < 60; ++k)
        old.addChild(node.getChildNode(k).getName()).addText(node.getChildNode(k).getText());

    TeteTranchee fresh;
    fresh.FromXML(old);
    EXPECT_TRUE(fresh.DoubleEntree);
    for (double TeteTranchee::*field :
         {&TeteTranchee::Alphafss1, &TeteTranchee::Alphafss2, &TeteTranchee::Alpharss1,
          &TeteTranchee::Alpharss2, &TeteTranchee::Alphaass2})
        EXPECT_EQ(fresh.*field, Deg(10));
    fresh.FromXML(node);
    EXPECT_EQ(Form(fresh), Form(changed));
}

TEST(TeteTranchee, CopiesHaveTheirOwnRecords)
{
    TeteTranchee source;
    SingleSet().With(S::lp, 12).Apply(source);
    TeteTranchee copy(source);
    TeteTranchee assigned;
    assigned = source;
    for (TeteTranchee* head : {&copy, &assigned})
    {
        EXPECT_EQ(Form(*head), Form(source));
        EXPECT_TRUE(SamePoints(Vertices(*head), Vertices(source)));
        EXPECT_EQ(head->GetClassFaces(12).Faces[0], source.GetClassFaces(12).Faces[0]);
        SingleSet().With(S::lp, 18).Apply(*head);
        EXPECT_EQ(source.lp, 12);
        EXPECT_EQ(Form(*head)[4].second, "18.000000");
    }
    EXPECT_EQ(Form(source)[4].second, "12.000000");
}

TEST(TeteTranchee, CopyAndAdjustReplacesOnlyPositiveValuesAndNeverDisplays)
{
    TeteTranchee source;
    LumHandledMesh display(nullptr, "Tete");
    source.SetDisplayMesh(&display);
    ASSERT_TRUE(source.BuildMesh());
    const std::vector<LumHandledMesh::sRenderVertex> shown = display.GetVertices();
    struct Case
    {
        double H, H2, P;
        double StoredH, StoredH2, StoredP;
    } cases[] = {
        {0, -1, 0, 25, 15, 5},
        {-3, 0, -2, 25, 15, 5},
        {40, 96.3, 40, 40, 96.3, 40},
        {5, 0, 7, 5, 15, 7},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.H);
        TeteTranchee copy;
        ASSERT_TRUE(copy.CopyAndAdjust(source, c.H, c.H2, c.P));
        EXPECT_EQ(copy.h, c.StoredH);
        EXPECT_EQ(copy.h2, c.StoredH2);
        EXPECT_EQ(copy.Prolongement, c.StoredP);
        EXPECT_EQ(copy.lp, source.lp);
        // The copy is rebuilt: its exit lies h behind D'.
        const double dpx = -7.5 - 25 * std::tan(Deg(20));
        EXPECT_GE(VertexAt(copy.GetMesh(), LumPoint(dpx, -25 - c.StoredH, 0)), 0);
        EXPECT_EQ(copy.GetDisplayMesh(), nullptr);
        copy.SetDisplayMesh(&display);
        EXPECT_EQ(copy.GetDisplayMesh(), nullptr);
        copy.BuildMesh();
    }
    // The source's display mesh was not touched by the copies.
    ASSERT_EQ(display.GetVertices().size(), shown.size());
    for (size_t k = 0; k < shown.size(); ++k)
        EXPECT_TRUE(Near(display.GetVertices()[k].Position, shown[k].Position, 0.0));
    EXPECT_EQ(source.GetDisplayMesh(), &display);
}
