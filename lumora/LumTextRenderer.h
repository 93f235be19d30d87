#pragma once

#include <string>

// Screen-aligned labels for the 3D views: text rasterised once with the
// toolkit's default font into a bitmap, then drawn with glBitmap at the
// current raster position, in the current colour. A bounded number of
// rasterised texts is kept for the labels redrawn at every frame.
class LumTextRenderer
{
public:
    // Draws text (UTF-8) with its baseline starting at the origin of the
    // current model-view matrix. Needs a current context; texturing and
    // lighting are off for the label and restored after it. A label whose
    // origin lies outside the view is not drawn.
    static void Draw(const std::string& text);
    // Drops every rasterised text.
    static void Forget();
};
