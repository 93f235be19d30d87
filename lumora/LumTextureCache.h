#pragma once

#include <string>

// The textures of image files, one per path, for the one GL context that
// every canvas shares: a path is read once (wxImage, so the toolkit's image
// handlers must be installed) and later only bound. A failed read is kept
// too, so a missing file is reported once rather than at every frame.
class LumTextureCache
{
public:
    // Binds the texture of the image at path (UTF-8) as GL_TEXTURE_2D and
    // answers its name and the image's size in pixels; 0 and sizes 0 when
    // the image cannot be read. Needs the shared context current. An image
    // larger than the GL limit is scaled down for the texture; the size
    // answered stays the image's own.
    static unsigned int Bind(const std::string& path, int& width, int& height);
    // The shared context is gone, and its textures with it: forget them all.
    static void Forget();
    static size_t GetNumberOfEntries();
};
