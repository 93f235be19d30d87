#pragma once

#include <wx/window.h>

#include <string>

class wxImage;

// A plain child window showing one BMP picture at its natural size (fixed
// illustrations: the About box's logos, the results' variable sketches).
// A file that is missing, unreadable or not a BMP gives a 10 x 10 black
// window, without message. SetImage resizes but does not refresh: a
// caller that changes a shown picture refreshes it.
class ImageWindow : public wxWindow
{
public:
    ImageWindow(wxWindow* parent, const std::string& path, wxPoint position = wxDefaultPosition,
                wxSize size = wxDefaultSize);
    ~ImageWindow() override;

    void SetImage(const std::string& path);
    const std::string& GetImagePath() const { return mPath; }
    bool HasImage() const;

private:
    void OnPaint(wxPaintEvent& event);

    std::string mPath;
    wxImage* mImage = nullptr;
};
