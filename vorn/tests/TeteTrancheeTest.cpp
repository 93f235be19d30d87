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

TEST(TeteTranchee, SingleSetterClampsCapsAndFloors)
{
    using F = double TeteTranchee::*;
    const double d1 = std::tan(Deg(15)) * 15 + 5; // run of the left lower bench and first berm
    const SingleSet steep = SingleSet().With(S::Alphagi1, 0.1).With(S::lr, 0.1);
    const SingleSet twoBerms =
        SingleSet().Flags(false, true).With(S::hr2, 5).With(S::lr2, 10).With(S::Alphag2, 80);
    const SingleSet symmetric =
        SingleSet().Flags(true, false).With(S::Distanced1, 10).With(S::h, 5).With(S::Thetad1, 5);
    const struct Case
    {
        const char* Name;
        SingleSet Set;
        F Field;
        double Stored; // degrees for angles
        bool Angle;
    } cases[] = {
        {"negative length", SingleSet().With(S::lp, -20), &TeteTranchee::lp, 20, false},
        {"zero length", SingleSet().With(S::hr2, 0), &TeteTranchee::hr2, 0.1, false},
        {"zero berm", SingleSet().With(S::lr, 0), &TeteTranchee::lr, 0.1, false},
        {"front lower slope at most 70", SingleSet().With(S::AlphaFi, 80), &TeteTranchee::AlphaFi, 70, true},
        {"front lower slope, no floor", SingleSet().With(S::AlphaFi, 0), &TeteTranchee::AlphaFi, 0, true},
        {"front lower slope absolute", SingleSet().With(S::AlphaFi, -5), &TeteTranchee::AlphaFi, 5, true},
        {"front skew keeps its sign", SingleSet().With(S::Thetaf, -5), &TeteTranchee::Thetaf, -5, true},
        {"front skew at least -70", SingleSet().With(S::Thetaf, -80), &TeteTranchee::Thetaf, -70, true},
        {"slope floor", SingleSet().With(S::AlphaFs, 0), &TeteTranchee::AlphaFs, 0.1, true},
        {"slope ceiling", SingleSet().With(S::Alphagss1, -75), &TeteTranchee::Alphagss1, 70, true},
        {"side skew absolute", SingleSet().With(S::Thetag1, -30), &TeteTranchee::Thetag1, 30, true},
        {"side skew ceiling", SingleSet().With(S::Thetad1, 95), &TeteTranchee::Thetad1, 89, true},
        {"side skew floor", SingleSet().With(S::Thetag1, 0), &TeteTranchee::Thetag1, 0.1, true},
        {"exit skew floor", SingleSet().With(S::Thetag2, -80), &TeteTranchee::Thetag2, -70, true},
        {"exit skew ceiling", SingleSet().With(S::Thetag2, 95), &TeteTranchee::Thetag2, 89, true},
        {"exit skew near 0", SingleSet().With(S::Thetag2, 0.05), &TeteTranchee::Thetag2, 0.1, true},
        {"exit skew near 0, negative", SingleSet().With(S::Thetad2, -0.05), &TeteTranchee::Thetad2, 0.1,
         true},
        {"exit skew inward kept", SingleSet().With(S::Thetad2, -10), &TeteTranchee::Thetad2, -10, true},
        {"tunnel width absolute", SingleSet().With(S::LargeurTunnel, -12), &TeteTranchee::LargeurTunnel, 12,
         false},
        // The outer slopes: [3, 85] (shown with a cap above 85), then capped
        // below the line over the first berm's edge, atan(14.9 / d1), and
        // with a second berm below the line over its edge too.
        {"outer slope ceiling", SingleSet(steep).With(S::Alphag2, 100), &TeteTranchee::Alphag2, 85, true},
        {"outer slope floor", SingleSet(steep).With(S::Alphag2, 1), &TeteTranchee::Alphag2, 3, true},
        {"left cap", SingleSet().With(S::Alphag2, 80), &TeteTranchee::Alphag2, std::atan(14.9 / d1) / Deg(1),
         true},
        {"right cap", SingleSet().With(S::Alphad2, 80), &TeteTranchee::Alphad2,
         std::atan(14.9 / (std::tan(Deg(20)) * 15 + 5)) / Deg(1), true},
        {"second berm cap", twoBerms, &TeteTranchee::Alphag2,
         std::atan(19.9 / (std::tan(Deg(25)) * 5 + 10 + d1)) / Deg(1), true},
        // The exit lies at least 1 beyond the right platform side, which
        // symmetry makes as long as the left one.
        {"exit floor", SingleSet().With(S::h, 5), &TeteTranchee::h, 21, false},
        {"exit absolute", SingleSet().With(S::h, -30), &TeteTranchee::h, 30, false},
        {"symmetric side length", symmetric, &TeteTranchee::Distanced1, 25, false},
        {"symmetric exit floor", symmetric, &TeteTranchee::h, 26, false},
        {"symmetric skew", symmetric, &TeteTranchee::Thetad1, 20, true},
    };
    EXPECT_NEAR(std::atan(14.9 / d1) / Deg(1), 58.81, 0.005);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        TeteTranchee head;
        ASSERT_TRUE(c.Set.Apply(head));
        EXPECT_NEAR(head.*c.Field, c.Angle ? Deg(c.Stored) : c.Stored, 1e-12);
    }
    // Symmetry copies every right-side value from the left.
    TeteTranchee head;
    SingleSet(symmetric)
        .With(S::Alphadi1, 40)
        .With(S::Alphads1, 45)
        .With(S::Alphadss1, 50)
        .With(S::Alphad2, 20)
        .With(S::Thetad2, 25)
        .Apply(head);
    const F pairs[][2] = {{&TeteTranchee::Alphadi1, &TeteTranchee::Alphagi1},
                          {&TeteTranchee::Alphads1, &TeteTranchee::Alphags1},
                          {&TeteTranchee::Alphadss1, &TeteTranchee::Alphagss1},
                          {&TeteTranchee::Alphad2, &TeteTranchee::Alphag2},
                          {&TeteTranchee::Thetad2, &TeteTranchee::Thetag2}};
    for (const auto& pair : pairs)
        EXPECT_EQ(head.*pair[0], head.*pair[1]);
    // The double head's exit lies beyond Lf2.
    DoubleSet doubled;
    doubled.v[DoubleSet::h] = 5;
    doubled.v[DoubleSet::Lf2] = 30;
    ASSERT_TRUE(doubled.Apply(head));
    EXPECT_DOUBLE_EQ(head.h, 30.1);
}

TEST(TeteTranchee, OnlyAChangeBeyondTheToleranceOrOfTheModeAppliesTheSet)
{
    // A step of 2e-5 or 0.5e-5 in each stored value (radians for angles).
    for (int k = 0; k < S::Count; ++k)
        for (double step : {2e-5, 0.5e-5})
        {
            TeteTranchee head;
            head.GetMesh().Clear();
            SingleSet set;
            set.v[k] += step * (SingleSet::IsAngle(k) ? 180.0 / 3.14159265 : 1.0);
            EXPECT_EQ(set.Apply(head), step > 1e-5) << k;
            // An unchanged call rebuilds nothing.
            EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), step > 1e-5 ? 27 : 0) << k;
        }
    for (bool symmetric : {false, true})
    {
        TeteTranchee head;
        EXPECT_TRUE(SingleSet().Flags(symmetric, !symmetric).Apply(head));
    }
    // The single set applied to a double head makes it single again.
    TeteTranchee head;
    DoubleSet doubled;
    doubled.v[DoubleSet::hr2] = 25; // the common values stay the single set's
    ASSERT_TRUE(doubled.Apply(head));
    EXPECT_TRUE(head.DoubleEntree && head.IsBuilt());
    EXPECT_FALSE(doubled.Apply(head));
    EXPECT_TRUE(SingleSet().Apply(head));
    EXPECT_TRUE(!head.DoubleEntree && head.IsBuilt());
}

TEST(TeteTranchee, FormOfSixtyFiveKeysReadsBackExactly)
{
    TeteTranchee head;
    DoubleSet doubled;
    doubled.v[DoubleSet::Alphafss1] = 33.3;
    doubled.Apply(head);
    SingleSet set = SingleSet().Flags(false, true).With(S::Thetaf, 7.3).With(S::lp, 14.123456789);
    ASSERT_TRUE(
        set.With(S::Thetag1, 23.456789).With(S::hr2, 12.3456789).With(S::Alphagss1, 11.1111111).Apply(head));
    const auto form = Form(head);
    ASSERT_EQ(form.size(), 65u);
    for (size_t k = 0; k < form.size(); ++k)
        EXPECT_EQ(form[k].first, kKeys[k]) << k;
    EXPECT_DOUBLE_EQ(KorAtof(form[7].second), Deg(7.3)); // radians

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
    EXPECT_EQ(Form(read), form);
    EXPECT_EQ(read.Alphafss1, Deg(33.3));
    EXPECT_EQ(read.GetMesh().GetNumberOfVertices(), 49);
    EXPECT_TRUE(SamePoints(Vertices(read), Vertices(head)));

    // Older files lack the five final slopes: a head reading one keeps its own.
    XMLNode old = XMLNode::createXMLTopNode("Tete");
    for (int k = 0; k < 60; ++k)
        old.addChild(tete.getChildNode(k).getName()).addText(tete.getChildNode(k).getText());
    TeteTranchee fresh;
    fresh.FromXML(old);
    EXPECT_EQ(fresh.lp, head.lp);
    for (double TeteTranchee::*field :
         {&TeteTranchee::Alphafss1, &TeteTranchee::Alphafss2, &TeteTranchee::Alpharss1,
          &TeteTranchee::Alpharss2, &TeteTranchee::Alphaass2})
        EXPECT_EQ(fresh.*field, Deg(10));
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
    const double cases[][6] = {
        // given h, h2, Prolongement; kept h, h2, Prolongement
        {0, -1, 0, 25, 15, 5},
        {-3, 0, -2, 25, 15, 5},
        {40, 40 * std::tan(86.0), 40, 40, 40 * 2.4067297,
         40}, // the axis's placement: the argument in radians
        {5, 0, 7, 5, 15, 7},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c[0]);
        TeteTranchee copy;
        ASSERT_TRUE(copy.CopyAndAdjust(source, c[0], c[1], c[2]));
        EXPECT_TRUE(copy.h == c[3] && copy.Prolongement == c[5] && copy.lp == source.lp);
        EXPECT_NEAR(copy.h2, c[4], 1e-5);
        // Rebuilt: the exit lies h behind D'.
        EXPECT_GE(VertexAt(copy.GetMesh(), LumPoint(-7.5 - 25 * std::tan(Deg(20)), -25 - c[3], 0)), 0);
        EXPECT_EQ(copy.GetDisplayMesh(), nullptr);
        copy.SetDisplayMesh(&display);
        EXPECT_EQ(copy.GetDisplayMesh(), nullptr);
        copy.BuildMesh();
    }
    // The source's display mesh was not touched by the copies.
    ASSERT_EQ(display.GetVertices().size(), shown.size());
    for (size_t k = 0; k < shown.size(); ++k)
        EXPECT_TRUE(Near(display.GetVertices()[k].Position, shown[k].Position, 0.0));
}
