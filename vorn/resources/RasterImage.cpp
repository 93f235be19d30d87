#include "RasterImage.h"

#include <algorithm>
#include <cstdlib>

RasterImage::RasterImage(int width, int height, Colour background)
    : mWidth(width), mHeight(height), mPixels(static_cast<size_t>(width) * height, background)
{
}

void RasterImage::Set(int x, int y, Colour colour)
{
    if (x >= 0 && y >= 0 && x < mWidth && y < mHeight)
        mPixels[y * mWidth + x] = colour;
}

void RasterImage::FillRect(int x0, int y0, int x1, int y1, Colour colour)
{
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
        for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
            Set(x, y, colour);
}

void RasterImage::Rect(int x0, int y0, int x1, int y1, Colour colour, int width)
{
    Line(x0, y0, x1, y0, colour, width);
    Line(x1, y0, x1, y1, colour, width);
    Line(x1, y1, x0, y1, colour, width);
    Line(x0, y1, x0, y0, colour, width);
}

void RasterImage::Line(int x0, int y0, int x1, int y1, Colour colour, int width)
{
    // Bresenham, each step stamping a width x width square.
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    const int lo = -(width - 1) / 2, hi = width / 2;
    int err = dx + dy;
    for (;;)
    {
        for (int v = lo; v <= hi; ++v)
            for (int u = lo; u <= hi; ++u)
                Set(x0 + u, y0 + v, colour);
        if (x0 == x1 && y0 == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy)
        {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx)
        {
            err += dx;
            y0 += sy;
        }
    }
}

void RasterImage::FillCircle(int cx, int cy, int radius, Colour colour)
{
    for (int y = -radius; y <= radius; ++y)
        for (int x = -radius; x <= radius; ++x)
            if (x * x + y * y <= radius * radius + radius)
                Set(cx + x, cy + y, colour);
}

void RasterImage::Ring(int cx, int cy, int radius, Colour colour, int width)
{
    const int inner = radius - width;
    for (int y = -radius; y <= radius; ++y)
        for (int x = -radius; x <= radius; ++x)
        {
            const int d = x * x + y * y;
            if (d <= radius * radius + radius && d > inner * inner + inner)
                Set(cx + x, cy + y, colour);
        }
}

void RasterImage::FillPolygon(const std::vector<std::pair<int, int>>& points, Colour colour)
{
    const size_t n = points.size();
    for (int y = 0; y < mHeight; ++y)
    {
        const double py = y + 0.5;
        for (int x = 0; x < mWidth; ++x)
        {
            const double px = x + 0.5;
            bool inside = false;
            for (size_t i = 0, j = n - 1; i < n; j = i++)
            {
                const double xi = points[i].first, yi = points[i].second;
                const double xj = points[j].first, yj = points[j].second;
                if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                    inside = !inside;
            }
            if (inside)
                Set(x, y, colour);
        }
    }
}
