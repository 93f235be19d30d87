#include "ImageEncoders.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{
void Put16(std::string& out, uint32_t v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Put32BE(std::string& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((v >> shift) & 0xFF);
}

uint32_t Crc32(const std::string& data, size_t from)
{
    static uint32_t table[256];
    static bool ready = false;
    if (!ready)
    {
        for (uint32_t n = 0; n < 256; ++n)
        {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < data.size(); ++i)
        c = table[(c ^ uint8_t(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void PngChunk(std::string& out, const char* type, const std::string& body)
{
    Put32BE(out, uint32_t(body.size()));
    const size_t start = out.size();
    out += type;
    out += body;
    Put32BE(out, Crc32(out, start));
}

// A zlib stream of stored deflate blocks.
std::string ZlibStored(const std::string& data)
{
    std::string out("\x78\x01", 2);
    size_t pos = 0;
    do
    {
        const size_t n = std::min<size_t>(65535, data.size() - pos);
        const bool last = pos + n == data.size();
        out += char(last ? 1 : 0);
        Put16(out, uint32_t(n));
        Put16(out, uint32_t(~n & 0xFFFF));
        out.append(data, pos, n);
        pos += n;
    } while (pos < data.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : data)
    {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32BE(out, (b << 16) | a);
    return out;
}
} // namespace

std::string EncodeBMP(const RasterImage& image)
{
    const int w = image.Width(), h = image.Height();
    const int row = (w * 3 + 3) / 4 * 4;
    std::string out = "BM";
    Put32(out, 54 + row * h);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, row * h);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y)
    {
        for (int x = 0; x < w; ++x)
        {
            RasterImage::Colour c = image.At(x, y);
            if (c.a == 0)
                c = {255, 255, 255, 255};
            out += char(c.b);
            out += char(c.g);
            out += char(c.r);
        }
        out.append(row - w * 3, '\0');
    }
    return out;
}

std::string EncodePNG(const RasterImage& image)
{
    const int w = image.Width(), h = image.Height();
    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    Put32BE(header, w);
    Put32BE(header, h);
    header += char(8); // bit depth
    header += char(6); // RGBA
    header.append(3, '\0');
    PngChunk(out, "IHDR", header);
    std::string raw;
    for (int y = 0; y < h; ++y)
    {
        raw += '\0'; // filter: none
        for (int x = 0; x < w; ++x)
        {
            const RasterImage::Colour c = image.At(x, y);
            raw += char(c.r);
            raw += char(c.g);
            raw += char(c.b);
            raw += char(c.a);
        }
    }
    PngChunk(out, "IDAT", ZlibStored(raw));
    PngChunk(out, "IEND", std::string());
    return out;
}

std::string EncodeGIF(const RasterImage& image)
{
    const int w = image.Width(), h = image.Height();
    // Palette in order of first appearance; transparent pixels share one
    // entry.
    std::vector<RasterImage::Colour> palette;
    std::vector<uint8_t> indexes;
    int transparent = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            RasterImage::Colour c = image.At(x, y);
            if (c.a == 0)
                c = RasterImage::Clear;
            else
                c.a = 255;
            size_t i = 0;
            while (i < palette.size() && !(palette[i] == c))
                ++i;
            if (i == palette.size())
            {
                if (palette.size() == 256)
                    return std::string();
                palette.push_back(c);
                if (c.a == 0)
                    transparent = int(i);
            }
            indexes.push_back(uint8_t(i));
        }

    std::string out = "GIF89a";
    Put16(out, w);
    Put16(out, h);
    out += char(0xF7); // global table of 256 entries, 8 bits
    out += '\0';
    out += '\0';
    for (int i = 0; i < 256; ++i)
    {
        const RasterImage::Colour c =
            i < int(palette.size()) ? palette[i] : RasterImage::Colour{0, 0, 0, 255};
        out += char(c.r);
        out += char(c.g);
        out += char(c.b);
    }
    if (transparent >= 0)
    {
        out += "\x21\xF9\x04";
        out += char(0x01);
        Put16(out, 0);
        out += char(transparent);
        out += '\0';
    }
    out += ',';
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, w);
    Put16(out, h);
    out += '\0';

    // LZW with 9-bit codes only: a clear code every 200 literals keeps the
    // decoder's table below 512 entries.
    out += char(8);
    std::string codes;
    uint32_t bits = 0;
    int count = 0;
    auto emit = [&](uint32_t code)
    {
        bits |= code << count;
        count += 9;
        while (count >= 8)
        {
            codes += char(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    };
    for (size_t i = 0; i < indexes.size(); ++i)
    {
        if (i % 200 == 0)
            emit(256);
        emit(indexes[i]);
    }
    emit(257);
    if (count > 0)
        codes += char(bits & 0xFF);
    for (size_t pos = 0; pos < codes.size(); pos += 255)
    {
        const size_t n = std::min<size_t>(255, codes.size() - pos);
        out += char(n);
        out.append(codes, pos, n);
    }
    out += '\0';
    out += ';';
    return out;
}
