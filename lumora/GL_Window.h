#pragma once

#include "LumoraContainer.h"

#include <wx/glcanvas.h>

#include <memory>
#include <string>

class wxGLContext;
struct EventInfo;

// A 3D canvas: a wxGLCanvas that owns a rendering device and draws a frame
// on each paint and on RenderFrame. Every canvas draws with one shared GL
// context (created at the first frame of any canvas, deleted with the last
// canvas), so textures loaded through one device serve all. A canvas not
// shown on screen makes no GL call. Without an attribute list the canvas is
// RGBA, double-buffered, with a 24-bit depth buffer; canvases share one
// context, so they must share one pixel format.
//
// Each mouse event (buttons, motion, wheel) and key press becomes an
// EventInfo that the device handles (LumoraDevice::ProcessEvent). The
// canvas keeps which button is held and whether it moved more than 2
// pixels from its press ("dragged since press", so a click that jitters a
// pixel still opens a context menu); a held button whose release never
// came (a popup menu took it) counts as released at the next motion.
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

    // The key code the events manager sees for a wx key code: both Delete
    // keys give 127, everything else its wx code (Escape 27, '.' 46).
    static int MapKeyCode(int wxKeyCode);

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void Dispatch(const EventInfo& info);

    std::unique_ptr<LumoraDevice> mDevice;
    // The held button (1, 2, 3; 0 none), where it was pressed and whether it
    // has moved since.
    int mHeldButton;
    wxPoint mPressPosition;
    bool mDraggedSincePress;
    // Wheel rotation short of a whole notch, kept for the next wheel event.
    int mWheelRest;

    static wxGLContext* sContext;
    static int sCanvases;
};
