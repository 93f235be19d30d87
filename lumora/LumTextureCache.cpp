#include "LumTextureCache.h"

#include "KorException.h"
#include "KorInputFile.h"

#include <GL/gl.h>
#include <wx/image.h>
#include <wx/log.h>

#include <algorithm>
#include <map>
#include <vector>

namespace
{
struct Entry
{
    GLuint name = 0;
    int width = 0;
    int height = 0;
};

// Keyed by path; an entry of name 0 is a path that could not be read.
std::map<std::string, Entry>& Entries()
{
    static std::map<std::string, Entry> entries;
    return entries;
}

Entry Load(const std::string& path)
{
    Entry entry;
    const wxString file = wxString::FromUTF8(path.c_str());
    wxImage image;
    {
        wxLogNull quiet; // reported below in one line, not in a message box
        // Only a regular file is handed to the toolkit: a FIFO would block
        // its open, a device never end.
        if (!KorInputFile::IsRegularFile(path) || !image.LoadFile(file) || !image.IsOk())
        {
            KorReport("LumoraDevice::LoadTexture", "cannot read the image '" + path + "'");
            return entry;
        }
    }
    entry.width = image.GetWidth();
    entry.height = image.GetHeight();

    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    if (limit > 0 && (entry.width > limit || entry.height > limit))
    {
        const double k = static_cast<double>(limit) / std::max(entry.width, entry.height);
        image.Rescale(std::max(1, static_cast<int>(entry.width * k)),
                      std::max(1, static_cast<int>(entry.height * k)), wxIMAGE_QUALITY_HIGH);
    }

    // RGBA rows from the bottom up, so that texture coordinate t = 1 is the
    // image's top.
    const int w = image.GetWidth(), h = image.GetHeight();
    const unsigned char* rgb = image.GetData();
    const unsigned char* alpha = image.HasAlpha() ? image.GetAlpha() : nullptr;
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    for (int row = 0; row < h; ++row)
    {
        const size_t source = static_cast<size_t>(h - 1 - row) * w;
        unsigned char* out = &pixels[static_cast<size_t>(row) * w * 4];
        for (int col = 0; col < w; ++col)
        {
            const size_t i = source + col;
            out[col * 4 + 0] = rgb[i * 3 + 0];
            out[col * 4 + 1] = rgb[i * 3 + 1];
            out[col * 4 + 2] = rgb[i * 3 + 2];
            out[col * 4 + 3] = alpha ? alpha[i] : 255;
        }
    }

    glGenTextures(1, &entry.name);
    glBindTexture(GL_TEXTURE_2D, entry.name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // A zoomed-out plan image stays smooth.
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return entry;
}
} // namespace

unsigned int LumTextureCache::Bind(const std::string& path, int& width, int& height)
{
    auto found = Entries().find(path);
    if (found == Entries().end())
        found = Entries().emplace(path, Load(path)).first;
    const Entry& entry = found->second;
    width = entry.width;
    height = entry.height;
    // Name 0 unbinds: a missing image must not show the previous one.
    glBindTexture(GL_TEXTURE_2D, entry.name);
    return entry.name;
}

void LumTextureCache::Forget()
{
    Entries().clear();
}

size_t LumTextureCache::GetNumberOfEntries()
{
    return Entries().size();
}
