#include "wxCurve.h"

#include "GuiTestHelpers.h"
#include "PlotTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

// Layout used throughout: a 370 x 240 client area gives the plot area
// x 50..350, y 10..210 (300 x 200 pixels). With abscissae 0, 10, ... 100 the
// graduations run 0..100 and x(v) = 50 + 3v. Curve B below runs -100..100 in
// steps of 20, so the value graduations run -100..100 and y(v) = 110 - v;
// curve A is constant at 50, y = 60.
namespace
{
const wxSize kSize(370, 240);
const wxColour kGreen(0, 160, 0);

std::vector<double> Steps(double first, double step, int count)
{
    std::vector<double> v;
    for (int i = 0; i < count; ++i)
        v.push_back(first + step * i);
    return v;
}

bool IsGrid(unsigned char r, unsigned char g, unsigned char b)
{
    return r == 200 && g == 200 && b == 200;
}
bool IsReddish(unsigned char r, unsigned char g, unsigned char b)
{
    return r > 150 && g < 110 && b < 110;
}

class wxCurveTest : public GuiTest::FrameTest
{
protected:
    wxCurve* MakePlot()
    {
        auto* plot = new wxCurve(panel, 3, wxPoint(10, 10), kSize);
        plot->SetAxis(Steps(0, 10, 11));
        EXPECT_EQ(plot->AddCurve(std::vector<double>(11, 50.0), "A", *wxBLUE, wxPENSTYLE_SOLID), 0);
        EXPECT_EQ(plot->AddCurve(Steps(-100, 20, 11), "B", kGreen, wxPENSTYLE_SOLID), 1);
        return plot;
    }
};
} // namespace

TEST_F(wxCurveTest, CurvesNeedAnAxisAndOneValuePerAbscissa)
{
    auto* plot = new wxCurve(panel, 3, wxDefaultPosition, kSize);
    EXPECT_EQ(plot->AddCurve({1, 2}, "a", *wxBLUE, wxPENSTYLE_SOLID), -1);
    plot->SetAxis({0, 1, 2});
    EXPECT_EQ(plot->AddCurve({1, 2}, "a", *wxBLUE, wxPENSTYLE_SOLID), -1);
    EXPECT_EQ(plot->AddCurve({1, 2, 3}, "a", *wxBLUE, wxPENSTYLE_SOLID), 0);
    EXPECT_EQ(plot->AddCurve({3, 2, 1}, "b", *wxRED, wxPENSTYLE_DOT), 1);
    EXPECT_EQ(plot->GetCurveNumber(), 2);
    EXPECT_EQ(plot->GetCurve("b").values, (std::vector<double>{3, 2, 1}));
    EXPECT_EQ(plot->GetCurve(1).pen.GetColour(), *wxRED);
    EXPECT_EQ(plot->GetCurve(1).pen.GetStyle(), wxPENSTYLE_DOT);
    EXPECT_EQ(&plot->GetCurve("c"), &wxCurve::msEmptyCurve);
    EXPECT_EQ(&plot->GetCurve(2), &wxCurve::msEmptyCurve);
    EXPECT_EQ(&plot->GetCurve(-1), &wxCurve::msEmptyCurve);

    plot->SetAxis({5, 6, 7});
    EXPECT_EQ(plot->GetCurveNumber(), 2);
    plot->SetAxis({5, 6});
    EXPECT_EQ(plot->GetCurveNumber(), 0);
}

TEST_F(wxCurveTest, TheValueRangeCoversEveryFiniteValueOfEveryCurve)
{
    // The first curve's range starts from its own values: 5..7 fills the height.
    auto* own = new wxCurve(panel, 3, wxDefaultPosition, kSize);
    own->SetAxis({0, 100});
    own->AddCurve({5, 7}, "", *wxBLUE, wxPENSTYLE_SOLID);
    GuiTest::Render(*own, kSize);
    EXPECT_EQ(own->GetCurve(0).screenY, (std::vector<int>{210, 10}));

    // A constant first curve keeps its place: 3 then 10..20 graduate 2..20
    // (step 2), so y(3) = 210 - 200 / 18 = 199 and y(20) = 10.
    auto* constant = new wxCurve(panel, 3, wxDefaultPosition, kSize);
    constant->SetAxis({0, 50, 100});
    constant->AddCurve({3, 3, 3}, "", *wxBLUE, wxPENSTYLE_SOLID);
    constant->AddCurve({10, 15, 20}, "", kGreen, wxPENSTYLE_SOLID);
    wxImage image = GuiTest::Render(*constant, kSize);
    EXPECT_EQ(constant->GetCurve(0).screenY, (std::vector<int>{199, 199, 199}));
    EXPECT_EQ(constant->GetCurve(1).screenY.back(), 10);
    EXPECT_EQ(GuiTest::PixelAt(image, 200, 199), *wxBLUE);

    // Non-finite values widen nothing and break the line: A at 1 is the
    // bottom, B at 3 the top, and nothing is drawn next to the gaps.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    auto* gaps = new wxCurve(panel, 3, wxDefaultPosition, kSize);
    gaps->SetAxis({0, 1, 2, 3, 4}); // x = 50 + 75k
    gaps->AddCurve({1, 1, nan, 1, 1}, "", *wxBLUE, wxPENSTYLE_SOLID);
    gaps->AddCurve({3, 3, 3, inf, 3}, "", kGreen, wxPENSTYLE_SOLID);
    image = GuiTest::Render(*gaps, kSize);
    EXPECT_EQ(gaps->GetCurve(0).screenY[0], 210);
    EXPECT_EQ(gaps->GetCurve(1).screenY[0], 10);
    EXPECT_EQ(GuiTest::PixelAt(image, 90, 210), *wxBLUE);
    EXPECT_NE(GuiTest::PixelAt(image, 200, 210), *wxBLUE);
    EXPECT_EQ(GuiTest::PixelAt(image, 300, 210), *wxBLUE);
    EXPECT_EQ(GuiTest::PixelAt(image, 100, 10), kGreen);
    EXPECT_EQ(GuiTest::PixelAt(image, 275, 10), *wxWHITE);
}

TEST_F(wxCurveTest, PixelsOfCurvesZeroLineMarkersAndSelection)
{
    wxCurve* plot = MakePlot();
    wxImage image = GuiTest::Render(*plot, kSize);
    EXPECT_EQ(GuiTest::PixelAt(image, 200, 60), *wxBLUE); // A
    // B at 30 is -40, (140, 150), on a slanted, smoothed line.
    const wxColour onB = GuiTest::PixelAt(image, 140, 150);
    EXPECT_TRUE(onB.Red() < 60 && onB.Green() > 140 && onB.Blue() < 60) << onB.GetAsString().ToStdString();
    EXPECT_GT(CountPixels(image, wxRect(60, 110, 280, 1), IsGrid), 50); // dashed zero line
    EXPECT_EQ(CountPixels(image, wxRect(51, 10, 299, 200), IsReddish), 0);

    plot->ShowMin(true);
    plot->ShowMax(true);
    // Up selects curve 0 at point 0, right three times point 3, up curve 1: B at 30, (140, 150).
    for (int key : {WXK_UP, WXK_RIGHT, WXK_RIGHT, WXK_RIGHT, WXK_UP})
        PressKey(plot, key);
    image = GuiTest::Render(*plot, kSize);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            EXPECT_EQ(GuiTest::PixelAt(image, 140 + dx, 150 + dy), kGreen);
    EXPECT_EQ(GuiTest::PixelAt(image, 140, 147), *wxWHITE); // the square is 5 x 5
    // B's maximum (350, 10) gets an inverted V above it, its minimum (50, 210) a V below.
    EXPECT_GT(CountPixels(image, wxRect(346, 5, 9, 5), IsReddish), 0);
    EXPECT_GT(CountPixels(image, wxRect(46, 211, 9, 4), IsReddish), 0);

    // No zero line where 0 is off the graduated span.
    auto* positive = new wxCurve(panel, 3, wxDefaultPosition, kSize);
    positive->SetAxis({10, 20});
    positive->AddCurve({10, 20}, "", *wxBLUE, wxPENSTYLE_SOLID);
    EXPECT_EQ(CountPixels(GuiTest::Render(*positive, kSize), wxRect(51, 10, 299, 200), IsGrid), 0);

    // Too small a window shows the background only.
    for (const wxSize& small : {wxSize(79, 240), wxSize(370, 49)})
    {
        image = GuiTest::Render(*plot, small);
        EXPECT_EQ(CountPixels(image, wxRect(small),
                              [](unsigned char r, unsigned char g, unsigned char b)
                              { return r == 255 && g == 255 && b == 255; }),
                  small.x * small.y);
    }
}

TEST_F(wxCurveTest, ArrowKeysStopAtTheEndsWrapOverCurvesAndKeepOnlyLiveSelections)
{
    wxCurve* plot = MakePlot();
    std::vector<SeenSelection> seen;
    RecordSelections(panel, seen);
    auto selection = [&] { return std::make_pair(plot->GetCurveSelected(), plot->GetPointSelected()); };

    PressKey(plot, WXK_LEFT);
    EXPECT_EQ(selection(), std::make_pair(0, 0)); // left on point 0 stays there
    PressKey(plot, WXK_DOWN);
    EXPECT_EQ(selection(), std::make_pair(1, 0)); // down on curve 0 wraps to the last
    PressKey(plot, WXK_UP);
    EXPECT_EQ(selection(), std::make_pair(0, 0)); // up on the last wraps to curve 0
    for (int i = 0; i < 12; ++i)
        PressKey(plot, WXK_RIGHT);
    EXPECT_EQ(selection(), std::make_pair(0, 10)); // right on the last point stays there
    EXPECT_EQ(seen.size(), 15u);
    EXPECT_EQ(seen.back(), (SeenSelection{plot, nullptr, 0, 10, 50.0}));
    PressKey(plot, 'a'); // other keys pass on and send nothing
    EXPECT_EQ(seen.size(), 15u);

    plot->SetAxis(Steps(100, 10, 11)); // same count: curves and selection stay
    EXPECT_EQ(selection(), std::make_pair(0, 10));
    plot->SetAxis(Steps(0, 10, 5)); // curves removed: the selection goes with them
    EXPECT_EQ(selection(), std::make_pair(-1, -1));
    plot->AddCurve(Steps(0, 1, 5), "", *wxBLUE, wxPENSTYLE_SOLID);
    GuiTest::Render(*plot, kSize);
    PressKey(plot, WXK_RIGHT);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
    plot->Clear();
    EXPECT_EQ(selection(), std::make_pair(-1, -1));

    // Not selectable: the selection is cleared and keys and clicks do nothing.
    plot->SetAxis(Steps(0, 10, 11));
    plot->AddCurve(Steps(0, 1, 11), "", *wxBLUE, wxPENSTYLE_SOLID);
    PressKey(plot, WXK_RIGHT);
    plot->SetSelectable(false);
    EXPECT_EQ(selection(), std::make_pair(-1, -1));
    const size_t before = seen.size();
    PressKey(plot, WXK_RIGHT);
    ClickButton(plot, wxEVT_LEFT_UP, 50, 210);
    ClickButton(plot, wxEVT_RIGHT_UP, 50, 210);
    EXPECT_EQ(selection(), std::make_pair(-1, -1));
    EXPECT_EQ(seen.size(), before);
}

// Real clicks and keys through the X server; the parent sees each change in order.
TEST_F(wxCurveTest, MouseAndKeyboardSelectionsReachTheParentInOrder)
{
    wxCurve* plot = MakePlot();
    ASSERT_EQ(plot->GetClientSize(), kSize);
    std::vector<SeenSelection> seen;
    RecordSelections(panel, seen);
    ASSERT_TRUE(ShowAndWait(plot));

    auto click = [&](int x, int y, int button, const SeenSelection& expected)
    { ExpectOneSelection(seen, expected, [&] { GuiTest::ClickAt(plot, wxPoint(x, y), button); }); };
    auto key = [&](int code, const SeenSelection& expected)
    { ExpectOneSelection(seen, expected, [&] { wxUIActionSimulator().Char(code); }); };

    click(140, 79, wxMOUSE_BTN_LEFT, {plot, nullptr, 0, 3, 50.0});  // 19 pixels below A's point 3
    click(140, 80, wxMOUSE_BTN_LEFT, {plot, nullptr, -1, -1, 0.0}); // 20 pixels: too far
    click(231, 91, wxMOUSE_BTN_LEFT, {plot, nullptr, 1, 6, 20.0});  // next to B's point 6, (230, 90)
    EXPECT_EQ(wxWindow::FindFocus(), plot);
    key(WXK_RIGHT, {plot, nullptr, 1, 7, 40.0});
    key(WXK_UP, {plot, nullptr, 0, 7, 50.0});
    key(WXK_DOWN, {plot, nullptr, 1, 7, 40.0});
    key(WXK_LEFT, {plot, nullptr, 1, 6, 20.0});
    click(231, 91, wxMOUSE_BTN_RIGHT, {plot, nullptr, -1, -1, 0.0});

    // The focused plot is framed in grey.
    const wxImage image = GuiTest::Render(*plot, kSize);
    EXPECT_EQ(GuiTest::PixelAt(image, 0, 120), wxColour(150, 150, 150));
    EXPECT_EQ(GuiTest::PixelAt(image, 369, 120), wxColour(150, 150, 150));
}
