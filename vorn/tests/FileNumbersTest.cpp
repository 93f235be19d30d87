#include "Axe.h"
#include "AxeTools.h"
#include "KorNumbers.h"
#include "ModelTestSupport.h"
#include "TeteFieldText.h"
#include "TeteTestHelpers.h"
#include "TypedValues.h"

#include <cfloat>
#include <iterator>
#include <sstream>

namespace
{
using FileNumbersTest = ModelTest;

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}
} // namespace

// Each number of the axis and of the head (the ".ovr" form) that a project
// holds, at values no field takes and at its field's bounds: the file is
// refused with the box the same value typed gets, or reads as the typed
// road stores it.
TEST_F(FileNumbersTest, ReadAsTyped)
{
    // clang-format off
    const std::vector<std::string> heads[2] = {Words("lp hp AlphaFi Thetaf AlphaFs AlphaFss Alphagi1 Alphags1 Thetag1 "
        "Alphagss1 Alphag2 Thetag2 Alphadi1 Alphads1 Thetad1 Distanced1 Alphadss1 Alphad2 Thetad2 hr lr h2 h "
        "Prolongement hr2 lr2 LargeurTunnel HauteurTunnel"), Words("lp1 hp1 lp2 hp2 Thetaf1 Alphafi1 Alphafs1 "
        "Alphafss1 Thetaf2 Lf2 Alphafi2 Alphafs2 Alphafss2 Thetar1 Alphari1 Alphars1 Alpharss1 Thetar2 Alphari2 "
        "Alphars2 Alpharss2 Thetaa2 Alphaai2 Alphaas2 Alphaass2 Thetar3 Alphar3 Thetaa3 Alphaa3 hr lr h2 h "
        "Prolongement hr2 lr2 LargeurTunnel HauteurTunnel")};
    std::vector<std::string> values = Words("nan inf -inf 1e308 -1e308 0 1e400 -1 0.1 1e-50 3.5e38 45 90 1 0.5 101 100");
    // clang-format on
    for (double degrees : {95.0, -95.0, 2.0, 0.05}) // past 89, 85, 70, 3 and 0.1
        values.push_back(KorFormatDouble(Deg(degrees)));
    const std::string path = TempPath("numbers.ovx");
    const std::string refused = "Impossible de charger un projet depuis '" + path + "'\n";
    const auto tag = [](const std::string& name, const std::string& text)
    { return "<" + name + ">" + text + "</" + name + ">"; };
    const auto open = [&](const std::string& element, const std::string& content)
    {
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        WriteAll(path, "<?xml version=\"1.0\"?>" + tag("Projet", tag(element, content)));
        ui.ClearLog();
        gProjet.Open(path);
        return gProjet.Nom.empty() ? ui.Boxes.back().Text : "";
    };
    // The parameters as saved; the tube points are the builders' output.
    const auto form = [](TeteTranchee& head)
    {
        XMLNode top = XMLNode::createXMLTopNode("Tete");
        head.ToXML(top);
        std::string text;
        for (int k = 0; k < top.nChildNode(); ++k)
            if (std::string key = top.getChildNode(k).getName(); key.rfind("Point", 0) != 0)
                text += key + "=" + top.getChildNode(k).getText() + "\n";
        return text;
    };
    Axe& axe = gProjet.GetAxe();
    for (const std::string& text : values)
    {
        SCOPED_TRACE(text);
        const double v = KorAtof(text);
        const std::string nonFinite = std::isfinite(v) ? "" : refused + NonFiniteValuesText();
        for (int twin = 0; twin < 2; ++twin)
            for (int i = 0; i < static_cast<int>(heads[twin].size()); ++i)
            {
                // A field sends an angle in the degrees that give it back.
                const bool angle = twin ? i >= 4 && i <= 28 && i != 9 : SingleSet::IsAngle(i);
                const double sent = angle ? TeteSetterValue(v, true) : v;
                TeteTranchee typed;
                DoubleSet doubled;
                doubled.v[i % 38] = std::isfinite(sent) ? sent : std::copysign(DBL_MAX, sent);
                twin ? doubled.Apply(typed)
                     : SingleSet().With(SingleSet::Index(i), doubled.v[i]).Apply(typed);
                twin ? DoubleSet().Apply(ui.GetTete()) : SingleSet().Apply(ui.GetTete());
                const std::string held = form(ui.GetTete());
                EXPECT_EQ(open("Tete", tag(heads[twin][i], text)), nonFinite) << heads[twin][i];
                EXPECT_EQ(form(ui.GetTete()), std::isfinite(v) ? form(typed) : held) << heads[twin][i];
            }
        for (int k = 0; k < 3; ++k)
        {
            std::vector<std::string> fields = {"1000", "0", "0"};
            fields[k] = text;
            open("Axe", "");
            ui.AxeFieldTexts = {fields};
            OnAxeParametersEntered();
            const std::string typedWhy = ui.Boxes.empty() ? "" : refused + ui.Boxes.back().Text;
            const double typed[3] = {axe.Rayon, axe.Orientation, axe.Inclinaison};
            EXPECT_EQ(open("Axe", tag(Words("Rayon Orientation Inclinaison")[k], text)), typedWhy) << k;
            for (int j = 0; j < 3 && typedWhy.empty(); ++j)
                EXPECT_FLOAT_EQ(j == 0 ? axe.Rayon : j == 1 ? axe.Orientation : axe.Inclinaison, typed[j]);
        }
        // Points as typed coordinates; Type as the palette's radio box gives it.
        for (const std::string& point : {tag("Origine", text + "|0|0"), tag("PM", "0|" + text + "|0"),
                                         tag("Multiligne", tag("Point", "0|0|" + text))})
            EXPECT_EQ(open("Axe", point), nonFinite) << point;
        EXPECT_EQ(open("Axe", tag("Type", text)), std::isfinite(v) && v != 0 && v != 1
                                                      ? refused + "Le type de l'axe doit valoir 0 ou 1"
                                                      : nonFinite);

        // Head positions: on a polyline of 100 where the same distance typed
        // puts the head; on the arc, a whole position is that arc point; off
        // the axis (below 0 too, but for -1, the saved "no head") there is
        // none, and the user is told.
        Axe road;
        road.Type = 1;
        road.ReplacePolyline({LumPoint(0, 0, 0), LumPoint(0, 100, 0)});
        bool found = false;
        road.SetHeadPositionAtDistance(v, &found);
        LumPoint typedHead, head;
        double direction = 0.0, slope = 0.0;
        found = found && road.GetHeadPosition(typedHead, direction, slope);
        for (const std::string& content :
             {tag("Type", "1") + tag("Multiligne", tag("Point", "0|0|0") + tag("Point", "0|100|0")) +
                  tag("PositionTeteMultiligne", text),
              tag("PositionTeteAngle", text)})
        {
            ASSERT_EQ(open("Axe", content), nonFinite);
            const bool placed = axe.GetHeadPosition(head, direction, slope), arc = axe.Type == 0;
            EXPECT_EQ(placed, arc ? v >= 1 && v <= 90 : found);
            const bool told = std::isfinite(v) && v != -1.0 && !placed;
            EXPECT_EQ(ui.Count("MessageBox Information La position de la tête"), told ? 1 : 0);
            EXPECT_EQ(gProjet.IsModified(), told);
            std::vector<LumPoint> points;
            axe.GetPoints(points);
            if (placed && (!arc || v == std::floor(v)))
            {
                EXPECT_LT((head - (arc ? points[size_t(90 - v)] : typedHead)).Norm(), 1e-6);
            }
        }
    }
    gProjet.GetUndoManager().Clear();
    std::remove(path.c_str());
}
