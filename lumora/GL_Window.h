#pragma once

#include "LumoraContainer.h"

#include <wx/glcanvas.h>

#include <memory>
#include <string>

class wxGLContext;

// A 3D canvas: a wxGLCanvas that owns a rendering device and draws a frame
// on each paint and on RenderFrame. Every canvas draws with one shared GL
// context (created at the first frame of any canvas, deleted with the last
// canvas), so textures loaded through one device serve all. A canvas not
// shown on screen makes no GL call. Without an attribute list the canvas is
// RGBA, double-buffered, with a 24-bit depth buffer; canvases share one
// context, so they must share one pixel format.
class GL_Window : public wxGLCanvas, public LumoraContainer
{
public:
    GL_Window(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& position = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, long style = 0, const wxString& name = "GLCanvas",
              const int* attributes = nullptr, const wxPalette& palette = wxNullPalette);
    ~GL_Window() override;

    LumoraDevice* getDevice() override { return mDevice.get(); }
    void SetInitialDirectory(const std::string& path);
    void GetDimensions(int& width, int& height) const override;
    // One frame now, synchronously; false when the canvas cannot draw.
    bool RenderFrame();

    bool ActivateContext() override;
    void PresentFrame() override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);

    std::unique_ptr<LumoraDevice> mDevice;

    static wxGLContext* sContext;
    static int sCanvases;
};
