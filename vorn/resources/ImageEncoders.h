#pragma once

#include "RasterImage.h"

#include <string>

// Byte-exact file encoders for RasterImage, written here so that the
// committed resources depend on no library version: the same picture
// always gives the same bytes.

// 24-bit uncompressed BMP; transparency becomes the background white.
std::string EncodeBMP(const RasterImage& image);
// 8-bit RGBA PNG, deflate in stored blocks.
std::string EncodePNG(const RasterImage& image);
// GIF89a with one palette entry per colour (255 at most; transparency as
// one more entry, declared transparent), LZW without table growth.
// Returns an empty string for a picture of more than 255 colours.
std::string EncodeGIF(const RasterImage& image);
