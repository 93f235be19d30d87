#include "LumTextRenderer.h"

#include <GL/gl.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/settings.h>

#include <map>
#include <vector>

namespace
{
// One rasterised text: glBitmap rows from the bottom up, one bit a pixel,
// most significant bit first, rows of whole bytes.
struct Label
{
    int width = 0;
    int height = 0;
    int descent = 0;
    std::vector<GLubyte> bits;
};

const size_t kMaxLabels = 512;

std::map<std::string, Label>& Labels()
{
    static std::map<std::string, Label> labels;
    return labels;
}

Label Rasterise(const std::string& text)
{
    Label label;
    const wxString s = wxString::FromUTF8(text.c_str());
    wxBitmap bitmap(1, 1, 24);
    wxMemoryDC dc(bitmap);
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    wxCoord w = 0, h = 0, descent = 0;
    dc.GetTextExtent(s, &w, &h, &descent);
    dc.SelectObject(wxNullBitmap);
    if (w <= 0 || h <= 0)
        return label;

    bitmap.Create(w, h, 24);
    dc.SelectObject(bitmap);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    dc.SetTextForeground(*wxWHITE);
    dc.DrawText(s, 0, 0);
    dc.SelectObject(wxNullBitmap);
    const wxImage image = bitmap.ConvertToImage();

    label.width = w;
    label.height = h;
    label.descent = descent;
    const int rowBytes = (w + 7) / 8;
    label.bits.assign(static_cast<size_t>(rowBytes) * h, 0);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            if (image.GetRed(col, h - 1 - row) >= 128) // anti-aliased edges: half covered or more
                label.bits[static_cast<size_t>(row) * rowBytes + col / 8] |= GLubyte(0x80 >> (col % 8));
    return label;
}
} // namespace

void LumTextRenderer::Draw(const std::string& text)
{
    auto found = Labels().find(text);
    if (found == Labels().end())
    {
        if (Labels().size() >= kMaxLabels)
            Labels().clear();
        found = Labels().emplace(text, Rasterise(text)).first;
    }
    const Label& label = found->second;
    if (label.bits.empty())
        return;

    glPushAttrib(GL_ENABLE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glRasterPos3d(0.0, 0.0, 0.0);
    glBitmap(label.width, label.height, 0.0f, static_cast<GLfloat>(label.descent), 0.0f, 0.0f,
             label.bits.data());
    glPopClientAttrib();
    glPopAttrib();
}

void LumTextRenderer::Forget()
{
    Labels().clear();
}
