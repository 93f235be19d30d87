#pragma once

#include <wx/dialog.h>

#include <string>

class GL_Window;
class LumoraDevice;
struct EventInfo;

// A dialog hosting its own 3D canvas, framed on the project's first layer,
// with the events manager and draw callback its builder gives. The canvas
// renders on demand; a derived dialog places it in its own sizer.
//
// Closing clears the placement hook. A modal dialog lives on its opener's
// stack: closing ends its modal loop and never destroys it; a modeless one
// (on the heap) destroys itself.
class BaseDialog3D : public wxDialog
{
public:
    BaseDialog3D(wxWindow* parent, const std::string& title, int cameraMode,
                 bool (*eventsManager)(const EventInfo&), void (*drawCallback)(LumoraDevice*));
    ~BaseDialog3D() override;

    GL_Window* GetCanvas() const { return mCanvas; }
    LumoraDevice* GetDevice() const;
    // One frame of the dialog's canvas now (nothing while it is not shown).
    void RenderView();

    // The dialog whose canvas an event came from, or null.
    static BaseDialog3D* FromEvent(const EventInfo& event);

protected:
    void OnClose(wxCloseEvent& event);

    GL_Window* mCanvas;
};
