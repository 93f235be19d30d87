#include "wxSurface.h"

#include "GuiTestHelpers.h"
#include "PlotTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

// Layout used throughout: a 320 x 240 client area gives the cell area
// x 100..300, y 10..210 (200 x 200 pixels); a 4 x 4 grid has 50-pixel cells
// with column edges 100, 150, 200, 250, 300 and row edges 210, 160, 110, 60,
// 10 (bottom first). Cell (i, j) is centred on (125 + 50i, 185 - 50j).
namespace
{
const wxSize kSize(320, 240);
const double kNaN = std::numeric_limits<double>::quiet_NaN();
typedef std::vector<std::vector<double>> Grid;

wxPoint Centre(int i, int j)
{
    return wxPoint(125 + 50 * i, 185 - 50 * j);
}

bool IsWhite(unsigned char r, unsigned char g, unsigned char b)
{
    return r > 230 && g > 230 && b > 230;
}

// White pixels inside cell (i, j), away from its outline: where the "m" and "M" markers are.
int WhiteInside(const wxImage& image, int i, int j)
{
    const wxPoint c = Centre(i, j);
    return CountPixels(image, wxRect(c.x - 20, c.y - 20, 41, 41), IsWhite);
}

class wxSurfaceTest : public GuiTest::FrameTest
{
protected:
    wxSurface* MakePlot(const Grid& grid)
    {
        auto* plot = new wxSurface(panel, 3, wxPoint(10, 10), kSize);
        plot->SetAxis({0, 1, 2, 3}, {10, 20, 30, 40});
        EXPECT_TRUE(plot->SetSurface(grid));
        return plot;
    }
};
} // namespace

TEST_F(wxSurfaceTest, TheGridMustMatchTheAxesInEveryColumn)
{
    auto* plot = new wxSurface(panel, 3);
    const Grid fiveByThree(5, std::vector<double>{1, 2, 3});
    EXPECT_FALSE(plot->SetSurface(fiveByThree));
    plot->SetAxis({0, 1, 2}, {0, 1, 2, 3, 4});
    EXPECT_FALSE(plot->SetSurface(Grid(3, std::vector<double>(5, 1.0))));
    EXPECT_TRUE(plot->SetSurface(fiveByThree));
    Grid ragged = fiveByThree;
    ragged[3].push_back(4);
    EXPECT_FALSE(plot->SetSurface(ragged));
    EXPECT_EQ(plot->GetSurface(), fiveByThree);

    plot->SetAxis({5, 6, 7}, {5, 6, 7, 8, 9}); // same shape: the grid stays
    EXPECT_EQ(plot->GetSurface(), fiveByThree);
    plot->SetAxis({5, 6}, {5, 6, 7, 8, 9});
    EXPECT_TRUE(plot->GetSurface().empty());
}

TEST_F(wxSurfaceTest, CellColoursRunFromBlueThroughYellowToRed)
{
    wxSurface* plot = MakePlot({{0, 25, 50, 75}, {100, 60, 60, 60}, {60, 60, 60, 60}, {60, 60, 60, 60}});
    const wxImage image = GuiTest::Render(*plot, kSize);
    auto cell = [&](int i, int j) { return GuiTest::PixelAt(image, Centre(i, j).x, Centre(i, j).y); };
    EXPECT_EQ(cell(0, 0), wxColour(0, 0, 255));
    EXPECT_EQ(cell(0, 1), wxColour(127, 127, 127)); // a quarter of the way up
    EXPECT_EQ(cell(0, 2), wxColour(255, 255, 0));
    EXPECT_EQ(cell(0, 3), wxColour(255, 127, 0));
    EXPECT_EQ(cell(1, 0), wxColour(255, 0, 0));
    // Cells are outlined in black; the colour scale runs red, yellow, blue downward.
    EXPECT_EQ(GuiTest::PixelAt(image, 150, 185), *wxBLACK);
    EXPECT_EQ(GuiTest::PixelAt(image, 125, 159), *wxBLACK); // cells span yb[j+1] - 1 .. yb[j] - 1
    const wxColour top = GuiTest::PixelAt(image, 65, 11);
    const wxColour middle = GuiTest::PixelAt(image, 65, 110);
    const wxColour bottom = GuiTest::PixelAt(image, 65, 208);
    EXPECT_TRUE(top.Red() > 240 && top.Green() < 20 && top.Blue() < 20) << top.GetAsString().ToStdString();
    EXPECT_TRUE(middle.Red() > 240 && middle.Green() > 230 && middle.Blue() < 20);
    EXPECT_TRUE(bottom.Red() < 20 && bottom.Green() < 20 && bottom.Blue() > 240);

    // All valid values equal: every cell in the middle colour.
    wxSurface* flat = MakePlot(Grid(4, std::vector<double>(4, 5.0)));
    const wxImage flatImage = GuiTest::Render(*flat, kSize);
    EXPECT_EQ(GuiTest::PixelAt(flatImage, Centre(2, 3).x, Centre(2, 3).y), wxColour(255, 255, 0));

    // Too small a window shows the background only.
    for (const wxSize& small : {wxSize(129, 240), wxSize(320, 49)})
        EXPECT_EQ(CountPixels(GuiTest::Render(*plot, small), wxRect(small), IsWhite), small.x * small.y);
}

// Cells under three pixels either way lose their outline: a series of 2001
// positions (0.1 pixel columns here) or 100 (2 pixels) shows its colours,
// not a black area; 5-pixel cells keep theirs.
TEST_F(wxSurfaceTest, CellsTooSmallForAnOutlineHaveNone)
{
    auto isBlack = [](unsigned char r, unsigned char g, unsigned char b)
    { return r < 40 && g < 40 && b < 40; };
    auto isYellow = [](unsigned char r, unsigned char g, unsigned char b)
    { return r > 240 && g > 240 && b < 20; };
    const wxRect cells(100, 10, 200, 199);
    const struct
    {
        int columns, rows;
        bool outlined;
    } cases[] = {{2001, 21, false}, {100, 4, false}, {4, 100, false}, {40, 4, true}};
    for (const auto& c : cases)
    {
        std::vector<double> axis1(c.rows), axis2(c.columns);
        for (int k = 0; k < c.rows; ++k)
            axis1[k] = k;
        for (int k = 0; k < c.columns; ++k)
            axis2[k] = k * 0.05;
        auto* plot = new wxSurface(panel, 3, wxPoint(10, 10), kSize);
        plot->SetAxis(axis1, axis2);
        ASSERT_TRUE(plot->SetSurface(Grid(c.columns, std::vector<double>(c.rows, 5.0))));
        const wxImage image = GuiTest::Render(*plot, kSize);
        const int black = CountPixels(image, cells, isBlack);
        if (c.outlined)
            EXPECT_GT(black, 1000) << c.columns;
        else
        {
            EXPECT_EQ(black, 0) << c.columns << " x " << c.rows;
            EXPECT_EQ(CountPixels(image, cells, isYellow), cells.width * cells.height) << c.columns;
        }
        plot->Destroy();
    }
}

// Only values strictly inside the valid bounds make the range and the
// markers, whatever cell they sit in; the others are painted white.
TEST_F(wxSurfaceTest, InvalidAndNonFiniteCellsNeitherRangeNorMark)
{
    const Grid grid = {{-1, 10, 15, 20}, {kNaN, 12.5, 20, 0}, {11, 11, 11, 11}, {11, 11, 11, 11}};
    auto* plot = new wxSurface(panel, 3, wxPoint(10, 10), kSize);
    plot->SetMinimumValid(0.0);
    plot->SetAxis({0, 1, 2, 3}, {10, 20, 30, 40});
    ASSERT_TRUE(plot->SetSurface(grid));
    plot->ShowMin(true);
    plot->ShowMax(true);
    const wxImage image = GuiTest::Render(*plot, kSize);
    auto cell = [&](int i, int j)
    { return GuiTest::PixelAt(image, Centre(i, j).x + 15, Centre(i, j).y + 15); };
    EXPECT_EQ(cell(0, 0), *wxWHITE); // below the minimum valid
    EXPECT_EQ(cell(1, 0), *wxWHITE); // not a number
    EXPECT_EQ(cell(0, 1), wxColour(0, 0, 255));
    EXPECT_EQ(cell(1, 1), wxColour(127, 127, 127));
    EXPECT_EQ(cell(0, 2), wxColour(255, 255, 0));
    EXPECT_EQ(cell(0, 3), wxColour(255, 0, 0));
    EXPECT_EQ(cell(1, 3), wxColour(0, 0, 255)); // exactly the minimum valid: painted, not ranged

    EXPECT_GT(WhiteInside(image, 0, 1), 0); // "m" on the first 10
    EXPECT_GT(WhiteInside(image, 0, 3), 0); // "M" on the first 20
    EXPECT_EQ(WhiteInside(image, 1, 2), 0); // a later 20
    EXPECT_EQ(WhiteInside(image, 1, 3), 0); // 0.0 is not a valid minimum
    EXPECT_EQ(WhiteInside(image, 2, 2), 0);

    // With no valid cell at all every cell is white.
    plot->SetMaximumValid(-5.0);
    ASSERT_TRUE(plot->SetSurface(grid));
    const wxImage none = GuiTest::Render(*plot, kSize);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(GuiTest::PixelAt(none, Centre(i, j).x + 15, Centre(i, j).y + 15), *wxWHITE);
}

TEST_F(wxSurfaceTest, ArrowKeysClampAtTheEdgesAndTheSelectionIsOutlinedInWhite)
{
    wxSurface* plot = MakePlot(Grid(4, std::vector<double>{1, 2, 3, 4}));
    std::vector<SeenSelection> seen;
    RecordSelections(panel, seen);
    auto selection = [&] { return std::make_pair(plot->GetSelectionX(), plot->GetSelectionY()); };

    PressKey(plot, WXK_RIGHT);
    EXPECT_EQ(seen.back(), (SeenSelection{nullptr, plot, 0, -1, 0.0})); // only a column yet
    PressKey(plot, WXK_RIGHT);
    for (int i = 0; i < 3; ++i)
        PressKey(plot, WXK_UP);
    EXPECT_EQ(seen.back(), (SeenSelection{nullptr, plot, 1, 2, 3.0}));
    EXPECT_EQ(seen.size(), 5u);

    const wxImage image = GuiTest::Render(*plot, kSize);
    EXPECT_EQ(GuiTest::PixelAt(image, 150, 85), *wxWHITE);  // left edge of cell (1, 2)
    EXPECT_EQ(GuiTest::PixelAt(image, 175, 59), *wxWHITE);  // its top edge
    EXPECT_EQ(GuiTest::PixelAt(image, 150, 135), *wxBLACK); // cell (1, 1) keeps a black outline
    EXPECT_EQ(GuiTest::PixelAt(image, 175, 109), *wxWHITE); // the selected cell's bottom edge

    for (int i = 0; i < 5; ++i)
        PressKey(plot, WXK_UP);
    EXPECT_EQ(selection(), std::make_pair(1, 3));
    for (int i = 0; i < 5; ++i)
        PressKey(plot, WXK_LEFT);
    for (int i = 0; i < 5; ++i)
        PressKey(plot, WXK_DOWN);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
    for (int i = 0; i < 5; ++i)
        PressKey(plot, WXK_RIGHT);
    EXPECT_EQ(selection(), std::make_pair(3, 0));

    // A selection that still names a cell is kept, one that does not is dropped.
    plot->SetAxis({5, 6, 7, 8}, {1, 2, 3, 4});
    EXPECT_EQ(selection(), std::make_pair(3, 0));
    plot->SetAxis({5, 6, 7}, {1, 2, 3});
    EXPECT_EQ(selection(), std::make_pair(-1, -1));
    GuiTest::Render(*plot, kSize);

    // Not selectable: keys still move the selection but nothing is sent.
    ASSERT_TRUE(plot->SetSurface(Grid(3, std::vector<double>{1, 2, 3})));
    plot->SetSelectable(false);
    const size_t before = seen.size();
    PressKey(plot, WXK_UP);
    ClickButton(plot, wxEVT_LEFT_UP, 125, 185);
    EXPECT_EQ(selection(), std::make_pair(-1, 0));
    EXPECT_EQ(seen.size(), before);
}

// Real clicks and keys through the X server; the parent sees each change in order.
TEST_F(wxSurfaceTest, MouseAndKeyboardSelectionsReachTheParentInOrder)
{
    Grid grid(4, std::vector<double>(4));
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            grid[size_t(i)][size_t(j)] = 10 * i + j;
    wxSurface* plot = MakePlot(grid);
    ASSERT_EQ(plot->GetClientSize(), kSize);
    std::vector<SeenSelection> seen;
    RecordSelections(panel, seen);
    ASSERT_TRUE(ShowAndWait(plot));

    auto click = [&](wxPoint at, int button, const SeenSelection& expected)
    { ExpectOneSelection(seen, expected, [&] { GuiTest::ClickAt(plot, at, button); }); };
    auto key = [&](int code, const SeenSelection& expected)
    { ExpectOneSelection(seen, expected, [&] { wxUIActionSimulator().Char(code); }); };

    click(Centre(2, 1), wxMOUSE_BTN_LEFT, {nullptr, plot, 2, 1, 21.0});
    click(wxPoint(150, 185), wxMOUSE_BTN_LEFT, {nullptr, plot, 0, 0, 0.0}); // a shared edge: the lower index
    click(wxPoint(200, 225), wxMOUSE_BTN_LEFT, {nullptr, plot, -1, -1, 0.0}); // below the cells
    click(wxPoint(200, 5), wxMOUSE_BTN_LEFT, {nullptr, plot, -1, -1, 0.0});   // top margin
    click(Centre(3, 3), wxMOUSE_BTN_LEFT, {nullptr, plot, 3, 3, 33.0});
    EXPECT_EQ(wxWindow::FindFocus(), plot);
    key(WXK_RIGHT, {nullptr, plot, 3, 3, 33.0});
    key(WXK_DOWN, {nullptr, plot, 3, 2, 32.0});
    key(WXK_LEFT, {nullptr, plot, 2, 2, 22.0});
    key(WXK_UP, {nullptr, plot, 2, 3, 23.0});
    click(Centre(1, 1), wxMOUSE_BTN_RIGHT, {nullptr, plot, -1, -1, 0.0});

    // The focused plot is framed in grey.
    const wxImage image = GuiTest::Render(*plot, kSize);
    EXPECT_EQ(GuiTest::PixelAt(image, 0, 120), wxColour(150, 150, 150));
    EXPECT_EQ(GuiTest::PixelAt(image, 160, 239), wxColour(150, 150, 150));
}
