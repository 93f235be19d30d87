#include "ResourceFiles.h"

#include "HelpDocument.h"
#include "ImageEncoders.h"
#include "RasterImage.h"

#include <functional>

namespace
{
using C = RasterImage::Colour;
const C Ink{40, 40, 40, 255};
const C Blue{30, 90, 180, 255};
const C Sky{150, 190, 240, 255};
const C Yellow{240, 200, 60, 255};
const C Green{60, 150, 60, 255};
const C Brown{150, 100, 50, 255};
const C Sand{220, 190, 130, 255};
const C Red{200, 40, 40, 255};
const C Grey{150, 150, 150, 255};
const C White{255, 255, 255, 255};
const C Orange{240, 130, 30, 255};

using Drawing = std::function<void(RasterImage&)>;

RasterImage Icon(const Drawing& draw)
{
    RasterImage image(32, 32);
    draw(image);
    return image;
}

void Plus(RasterImage& i, int cx, int cy, C c)
{
    i.Line(cx - 5, cy, cx + 5, cy, c, 3);
    i.Line(cx, cy - 5, cx, cy + 5, c, 3);
}

void Arrow(RasterImage& i, int x0, int y0, int x1, int y1, C c)
{
    i.Line(x0, y0, x1, y1, c, 3);
    const int dx = x1 > x0 ? -6 : x1 < x0 ? 6 : 0;
    const int dy = y1 > y0 ? -6 : y1 < y0 ? 6 : 0;
    if (dx != 0 && dy == 0)
        i.FillPolygon({{x1 + (dx > 0 ? -2 : 2), y1}, {x1 + dx, y1 - 6}, {x1 + dx, y1 + 6}}, c);
    else if (dy != 0 && dx == 0)
        i.FillPolygon({{x1, y1 + (dy > 0 ? -2 : 2)}, {x1 - 6, y1 + dy}, {x1 + 6, y1 + dy}}, c);
}

void Cube(RasterImage& i, int x, int y, int s, C face, C edge)
{
    const int d = s / 3;
    i.FillPolygon({{x, y + d}, {x + s, y + d}, {x + s, y + d + s}, {x, y + d + s}}, face);
    i.FillPolygon({{x, y + d}, {x + d, y}, {x + s + d, y}, {x + s, y + d}}, Sky);
    i.Rect(x, y + d, x + s, y + d + s, edge);
    i.Line(x, y + d, x + d, y, edge);
    i.Line(x + s, y + d, x + s + d, y, edge);
    i.Line(x + d, y, x + s + d, y, edge);
    i.Line(x + s + d, y, x + s + d, y + s, edge);
    i.Line(x + s + d, y + s, x + s, y + d + s, edge);
}

// The trench-head outline: a tunnel arch in a cut slope.
void Trench(RasterImage& i, int top)
{
    i.FillPolygon({{2, top}, {10, top}, {13, 30}, {19, 30}, {22, top}, {30, top}, {30, 31}, {2, 31}}, Sand);
    i.FillCircle(16, 25, 4, Ink);
    i.FillRect(12, 25, 20, 30, Ink);
}

void Pen(RasterImage& i, C body)
{
    i.Line(6, 25, 26, 5, body, 5);
    i.Line(24, 3, 28, 7, Ink, 3);
    i.FillPolygon({{1, 30}, {4, 22}, {9, 27}}, Sand);
    i.Line(1, 30, 3, 28, Ink, 2);
}

// Layer bands, as in a geological section.
void Layers(RasterImage& i)
{
    i.FillRect(2, 6, 29, 13, Green);
    i.FillRect(2, 14, 29, 21, Sand);
    i.FillRect(2, 22, 29, 29, Brown);
}

RasterImage Picture(int w, int h, const Drawing& draw)
{
    RasterImage image(w, h, White);
    draw(image);
    return image;
}

// A sketch of the trench head in cross-section with its dimension lines;
// which lines are drawn tells the three variable sets apart.
RasterImage Variables(int set)
{
    return Picture(
        300, 180,
        [set](RasterImage& i)
        {
            i.FillPolygon(
                {{10, 40}, {90, 40}, {120, 160}, {180, 160}, {210, 40}, {290, 40}, {290, 175}, {10, 175}},
                Sand);
            i.Line(10, 40, 90, 40, Green, 3);
            i.Line(210, 40, 290, 40, Green, 3);
            i.FillCircle(150, 140, 20, Ink);
            i.FillRect(130, 140, 170, 160, Ink);
            if (set == 1)
            {
                i.Line(90, 25, 210, 25, Blue, 2);
                i.Line(90, 18, 90, 32, Blue, 2);
                i.Line(210, 18, 210, 32, Blue, 2);
            }
            if (set == 2)
            {
                i.Line(230, 40, 230, 160, Red, 2);
                i.Line(222, 160, 238, 160, Red, 2);
                i.Line(222, 40, 238, 40, Red, 2);
            }
            if (set == 3)
            {
                i.Line(90, 40, 120, 160, Orange, 3);
                i.Line(180, 160, 210, 40, Orange, 3);
            }
        });
}

void Add(std::vector<ResourceFile>& files, const std::string& path, const std::string& bytes)
{
    files.push_back({path, bytes});
}
} // namespace

std::vector<ResourceFile> BuildResourceFiles()
{
    std::vector<ResourceFile> files;
    auto gif = [&files](const char* name, const Drawing& draw)
    { Add(files, std::string("Icons/") + name + ".gif", EncodeGIF(Icon(draw))); };
    auto png = [&files](const char* name, const Drawing& draw)
    { Add(files, std::string("Icons/") + name + ".png", EncodePNG(Icon(draw))); };

    // Toolbar.
    gif("New",
        [](RasterImage& i)
        {
            i.FillPolygon({{6, 2}, {20, 2}, {26, 8}, {26, 30}, {6, 30}}, White);
            i.Line(6, 2, 20, 2, Ink);
            i.Line(20, 2, 26, 8, Ink);
            i.Line(26, 8, 26, 30, Ink);
            i.Line(26, 30, 6, 30, Ink);
            i.Line(6, 30, 6, 2, Ink);
            i.Line(20, 2, 20, 8, Ink);
            i.Line(20, 8, 26, 8, Ink);
            i.Line(10, 14, 22, 14, Grey);
            i.Line(10, 18, 22, 18, Grey);
            i.Line(10, 22, 22, 22, Grey);
        });
    gif("Open",
        [](RasterImage& i)
        {
            i.FillRect(2, 8, 14, 12, Yellow);
            i.FillRect(2, 11, 28, 28, Yellow);
            i.FillPolygon({{6, 16}, {31, 16}, {27, 28}, {2, 28}}, Orange);
            i.Rect(2, 11, 28, 28, Ink);
        });
    gif("Save",
        [](RasterImage& i)
        {
            i.FillRect(3, 3, 28, 28, Blue);
            i.FillRect(8, 3, 23, 12, White);
            i.FillRect(18, 5, 21, 10, Ink);
            i.FillRect(7, 17, 24, 28, Sky);
            i.Rect(3, 3, 28, 28, Ink);
        });
    // An arch over the top, its arrowhead down at the left (undo) or the
    // right (redo) end.
    gif("Undo",
        [](RasterImage& i)
        {
            i.Ring(16, 20, 11, Blue, 3);
            i.FillRect(0, 21, 31, 31, RasterImage::Clear);
            i.FillPolygon({{0, 18}, {12, 18}, {6, 26}}, Blue);
        });
    gif("Redo",
        [](RasterImage& i)
        {
            i.Ring(16, 20, 11, Blue, 3);
            i.FillRect(0, 21, 31, 31, RasterImage::Clear);
            i.FillPolygon({{20, 18}, {32, 18}, {26, 26}}, Blue);
        });
    gif("Creation",
        [](RasterImage& i)
        {
            i.FillRect(2, 2, 29, 29, White);
            for (int k = 2; k <= 29; k += 9)
            {
                i.Line(k, 2, k, 29, Sky);
                i.Line(2, k, 29, k, Sky);
            }
            i.Line(5, 24, 13, 12, Green, 2);
            i.Line(13, 12, 26, 8, Green, 2);
            i.Rect(2, 2, 29, 29, Ink);
        });
    gif("Visualisation", [](RasterImage& i) { Cube(i, 3, 5, 18, Blue, Ink); });
    gif("Discontinuites",
        [](RasterImage& i)
        {
            i.FillRect(2, 2, 29, 29, Sand);
            for (int k = -20; k <= 30; k += 8)
                i.Line(2, 29 - (k + 20) / 2, 29, 16 - (k + 20) / 2, Brown, 2);
            i.Rect(2, 2, 29, 29, Ink);
        });
    gif("Tranchee", [](RasterImage& i) { Trench(i, 8); });

    // Palettes.
    gif("AddElement",
        [](RasterImage& i)
        {
            Cube(i, 2, 10, 14, Grey, Ink);
            Plus(i, 24, 8, Green);
        });
    gif("AddVertex",
        [](RasterImage& i)
        {
            i.FillCircle(12, 20, 5, Blue);
            Plus(i, 24, 8, Green);
        });
    gif("Carottage",
        [](RasterImage& i)
        {
            Layers(i);
            i.FillRect(13, 1, 18, 30, Ink);
            i.FillRect(14, 6, 17, 29, White);
        });
    gif("CentreAxe",
        [](RasterImage& i)
        {
            i.Ring(16, 16, 11, Red, 2);
            i.Line(16, 1, 16, 31, Ink);
            i.Line(1, 16, 31, 16, Ink);
        });
    gif("Centrer",
        [](RasterImage& i)
        {
            Arrow(i, 16, 1, 16, 12, Blue);
            Arrow(i, 16, 31, 16, 20, Blue);
            Arrow(i, 1, 16, 12, 16, Blue);
            Arrow(i, 31, 16, 20, 16, Blue);
        });
    gif("Coupe",
        [](RasterImage& i)
        {
            i.FillPolygon({{1, 14}, {8, 10}, {16, 13}, {24, 6}, {31, 9}, {31, 30}, {1, 30}}, Sand);
            i.Line(1, 14, 8, 10, Green, 2);
            i.Line(8, 10, 16, 13, Green, 2);
            i.Line(16, 13, 24, 6, Green, 2);
            i.Line(24, 6, 31, 9, Green, 2);
        });
    gif("CreerCoupe",
        [](RasterImage& i)
        {
            i.FillPolygon({{1, 22}, {10, 18}, {20, 21}, {31, 16}, {31, 31}, {1, 31}}, Sand);
            i.Line(1, 22, 10, 18, Green, 2);
            i.Line(10, 18, 20, 21, Green, 2);
            i.Line(20, 21, 31, 16, Green, 2);
            Plus(i, 8, 8, Green);
        });
    gif("Cursor_Pen", [](RasterImage& i) { Pen(i, Blue); });
    gif("Cursor_Pen_Rouge", [](RasterImage& i) { Pen(i, Red); });
    gif("DefZone",
        [](RasterImage& i)
        {
            for (int k = 3; k < 28; k += 6)
            {
                i.Line(k, 4, k + 3, 4, Ink, 2);
                i.Line(k, 27, k + 3, 27, Ink, 2);
                i.Line(4, k, 4, k + 3, Ink, 2);
                i.Line(27, k, 27, k + 3, Ink, 2);
            }
            i.FillRect(8, 8, 23, 23, Sky);
        });
    gif("DefinitionAxe",
        [](RasterImage& i)
        {
            i.Line(3, 28, 28, 3, Red, 3);
            for (int k = 6; k < 28; k += 6)
                i.Line(k - 3, 31 - k - 3, k + 3, 31 - k + 3, Ink);
        });
    gif("DeplacePlan",
        [](RasterImage& i)
        {
            i.FillRect(7, 7, 24, 24, Sky);
            Arrow(i, 16, 16, 16, 1, Ink);
            Arrow(i, 16, 16, 16, 30, Ink);
            Arrow(i, 16, 16, 1, 16, Ink);
            Arrow(i, 16, 16, 30, 16, Ink);
        });
    gif("DeplacerAxe",
        [](RasterImage& i)
        {
            i.Line(3, 20, 20, 3, Red, 3);
            Arrow(i, 12, 26, 29, 26, Ink);
        });
    gif("Echelle",
        [](RasterImage& i)
        {
            i.FillRect(2, 14, 15, 19, Ink);
            i.FillRect(16, 14, 29, 19, White);
            i.Rect(2, 14, 29, 19, Ink);
            i.Line(2, 10, 2, 22, Ink);
            i.Line(29, 10, 29, 22, Ink);
        });
    gif("EditionFond",
        [](RasterImage& i)
        {
            i.FillRect(2, 4, 29, 27, Sky);
            i.FillPolygon({{2, 27}, {11, 14}, {18, 21}, {23, 16}, {29, 27}}, Green);
            i.FillCircle(22, 9, 3, Yellow);
            i.Rect(2, 4, 29, 27, Brown, 2);
        });
    gif("Inclinaison",
        [](RasterImage& i)
        {
            i.FillPolygon({{2, 24}, {22, 28}, {30, 14}, {10, 10}}, Sand);
            i.Line(2, 24, 22, 28, Ink);
            i.Line(22, 28, 30, 14, Ink);
            i.Line(30, 14, 10, 10, Ink);
            i.Line(10, 10, 2, 24, Ink);
            Arrow(i, 16, 18, 16, 2, Red);
        });
    gif("Origine",
        [](RasterImage& i)
        {
            Arrow(i, 5, 27, 5, 3, Ink);
            Arrow(i, 5, 27, 29, 27, Ink);
            i.FillCircle(5, 27, 3, Red);
        });
    gif("chantier",
        [](RasterImage& i)
        {
            i.FillPolygon({{16, 2}, {25, 27}, {7, 27}}, Orange);
            i.Line(11, 15, 21, 15, White, 3);
            i.Line(9, 21, 23, 21, White, 3);
            i.FillRect(4, 27, 28, 30, Ink);
        });

    // Cursors and palette pictures in PNG.
    png("AxeDXF",
        [](RasterImage& i)
        {
            i.Line(3, 28, 12, 16, Red, 3);
            i.Line(12, 16, 28, 10, Red, 3);
            i.FillRect(17, 18, 30, 30, White);
            i.Rect(17, 18, 30, 30, Ink);
            i.Line(20, 22, 27, 22, Grey);
            i.Line(20, 26, 27, 26, Grey);
        });
    png("Cursor_Axe",
        [](RasterImage& i)
        {
            i.Line(16, 4, 16, 28, Ink);
            i.Line(4, 16, 28, 16, Ink);
            i.Line(20, 12, 30, 2, Red, 3);
        });
    png("Cursor_Cutter",
        [](RasterImage& i)
        {
            i.FillPolygon({{2, 2}, {16, 9}, {9, 16}}, Grey);
            i.Line(2, 2, 16, 9, Ink);
            i.Line(2, 2, 9, 16, Ink);
            i.Line(12, 12, 28, 28, Orange, 5);
        });
    png("Cursor_Echelle",
        [](RasterImage& i)
        {
            i.Line(16, 6, 16, 26, Ink);
            i.Line(6, 16, 26, 16, Ink);
            i.FillRect(4, 26, 15, 29, Ink);
            i.FillRect(16, 26, 28, 29, White);
            i.Rect(4, 26, 28, 29, Ink);
        });
    png("Cursor_Geologie",
        [](RasterImage& i)
        {
            i.Line(16, 8, 16, 24, Ink);
            i.Line(8, 16, 24, 16, Ink);
            i.FillRect(20, 2, 30, 5, Green);
            i.FillRect(20, 6, 30, 9, Sand);
            i.FillRect(20, 10, 30, 13, Brown);
        });
    png("Cursor_Sondage",
        [](RasterImage& i)
        {
            i.FillRect(13, 2, 19, 24, Ink);
            i.FillRect(14, 3, 18, 23, Grey);
            i.FillPolygon({{12, 24}, {21, 24}, {16, 31}}, Ink);
        });
    png("Cursor_Target",
        [](RasterImage& i)
        {
            i.Ring(16, 16, 10, Red, 2);
            i.Ring(16, 16, 4, Red, 2);
            i.Line(16, 1, 16, 9, Ink);
            i.Line(16, 23, 16, 31, Ink);
            i.Line(1, 16, 9, 16, Ink);
            i.Line(23, 16, 31, 16, Ink);
        });
    png("LigneNiveau",
        [](RasterImage& i)
        {
            i.Ring(16, 16, 14, Brown, 2);
            i.Ring(16, 16, 9, Brown, 2);
            i.Ring(16, 16, 4, Brown, 2);
        });
    png("IconeVorn",
        [](RasterImage& i)
        {
            i.FillRect(0, 0, 31, 31, Sky);
            Trench(i, 10);
            i.Line(0, 10, 10, 10, Green, 2);
            i.Line(22, 10, 31, 10, Green, 2);
        });

    // Illustrations of the About box and the results dialog.
    Add(files, "Icons/vorn.bmp",
        EncodeBMP(Picture(
            180, 70,
            [](RasterImage& i)
            {
                i.FillRect(0, 0, 179, 69, Sky);
                i.FillPolygon(
                    {{0, 30}, {60, 30}, {75, 69}, {105, 69}, {120, 30}, {179, 30}, {179, 69}, {0, 69}}, Sand);
                i.Line(0, 30, 60, 30, Green, 3);
                i.Line(120, 30, 179, 30, Green, 3);
                i.FillCircle(90, 58, 11, Ink);
                i.FillRect(79, 58, 101, 69, Ink);
            })));
    Add(files, "Icons/Korvel.bmp",
        EncodeBMP(Picture(180, 50,
                          [](RasterImage& i)
                          {
                              for (int k = 0; k < 4; ++k)
                                  i.FillRect(10 + 22 * k, 10 + 6 * k, 28 + 22 * k, 40, k % 2 ? Blue : Grey);
                              i.Line(100, 40, 170, 10, Orange, 4);
                          })));
    for (int set = 1; set <= 3; ++set)
        Add(files, "Icons/Variables" + std::to_string(set) + ".bmp", EncodeBMP(Variables(set)));

    Add(files, "Aide/Aide.pdf", BuildHelpPdf());
    return files;
}
