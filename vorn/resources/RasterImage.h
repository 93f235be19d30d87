#pragma once

#include <cstdint>
#include <vector>

// A small RGBA picture drawn from code, for the program's own icons,
// cursors and illustrations: filled shapes and thick lines, no
// anti-aliasing, so that the same code always gives the same pixels.
class RasterImage
{
public:
    struct Colour
    {
        uint8_t r = 0, g = 0, b = 0, a = 255;
        bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    };
    static constexpr Colour Clear{0, 0, 0, 0};

    RasterImage(int width, int height, Colour background = Clear);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    Colour At(int x, int y) const { return mPixels[y * mWidth + x]; }
    // Pixels outside the picture are ignored.
    void Set(int x, int y, Colour colour);

    void FillRect(int x0, int y0, int x1, int y1, Colour colour);
    void Rect(int x0, int y0, int x1, int y1, Colour colour, int width = 1);
    // A line of the given width (a square pen) from one end to the other.
    void Line(int x0, int y0, int x1, int y1, Colour colour, int width = 1);
    void FillCircle(int cx, int cy, int radius, Colour colour);
    void Ring(int cx, int cy, int radius, Colour colour, int width = 1);
    // A convex or concave polygon, filled by the even-odd rule at pixel
    // centres.
    void FillPolygon(const std::vector<std::pair<int, int>>& points, Colour colour);

private:
    int mWidth;
    int mHeight;
    std::vector<Colour> mPixels;
};
