#include "GL_Window.h"

#include "EventInfo.h"
#include "LumTextRenderer.h"
#include "LumTextureCache.h"
#include "LumoraDevice.h"

#include <wx/dcclient.h>

#include <cstdlib>

wxGLContext* GL_Window::sContext = nullptr;
int GL_Window::sCanvases = 0;

namespace
{
const int kDefaultAttributes[] = {WX_GL_RGBA, WX_GL_DOUBLEBUFFER, WX_GL_DEPTH_SIZE, 24, 0};
// A held button that strays no further than this from its press has not
// been dragged.
const int kClickSlack = 2;

int ButtonOf(const wxMouseEvent& event)
{
    switch (event.GetButton())
    {
    case wxMOUSE_BTN_LEFT:
        return 1;
    case wxMOUSE_BTN_MIDDLE:
        return 2;
    case wxMOUSE_BTN_RIGHT:
        return 3;
    default:
        return 0;
    }
}

bool IsHeld(const wxMouseEvent& event, int button)
{
    return (button == 1 && event.LeftIsDown()) || (button == 2 && event.MiddleIsDown()) ||
           (button == 3 && event.RightIsDown());
}
} // namespace

GL_Window::GL_Window(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size, long style,
                     const wxString& name, const int* attributes, const wxPalette& palette)
    : wxGLCanvas(parent, id, attributes ? attributes : kDefaultAttributes, position, size,
                 style | wxFULL_REPAINT_ON_RESIZE, name, palette),
      mDevice(new LumoraDevice(this)), mHeldButton(0), mDraggedSincePress(false), mWheelRest(0)
{
    ++sCanvases;
    // GL paints every pixel: no background erase, no flicker.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &GL_Window::OnPaint, this);
    Bind(wxEVT_SIZE, &GL_Window::OnSize, this);
    for (const wxEventTypeTag<wxMouseEvent>& type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP,
          wxEVT_MIDDLE_DCLICK, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP, wxEVT_RIGHT_DCLICK, wxEVT_MOTION,
          wxEVT_MOUSEWHEEL})
        Bind(type, &GL_Window::OnMouse, this);
    Bind(wxEVT_KEY_DOWN, &GL_Window::OnKeyDown, this);
}

GL_Window::~GL_Window()
{
    // The device may still ask this canvas for the context.
    mDevice.reset();
    if (--sCanvases == 0)
    {
        // The textures go with the context; the next canvas starts afresh.
        delete sContext;
        sContext = nullptr;
        LumTextureCache::Forget();
        LumTextRenderer::Forget();
    }
}

void GL_Window::SetInitialDirectory(const std::string& path)
{
    mDevice->SetInitialDirectory(path);
}

void GL_Window::GetDimensions(int& width, int& height) const
{
    GetClientSize(&width, &height);
}

bool GL_Window::RenderFrame()
{
    return mDevice && mDevice->RenderFrame();
}

bool GL_Window::ActivateContext()
{
    // SetCurrent on a canvas without its X window asserts (and the assert
    // dialog hangs a headless run): a canvas not on screen draws nothing.
    if (!IsShownOnScreen() || GetXWindow() == 0)
        return false;
    if (!sContext)
        sContext = new wxGLContext(this);
    return sContext->IsOK() && SetCurrent(*sContext);
}

void GL_Window::PresentFrame()
{
    SwapBuffers();
}

void GL_Window::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this); // a paint handler must validate the region
    RenderFrame();
}

void GL_Window::OnSize(wxSizeEvent& event)
{
    Refresh(false);
    event.Skip();
}

int GL_Window::MapKeyCode(int wxKeyCode)
{
    if (wxKeyCode == WXK_DELETE || wxKeyCode == WXK_NUMPAD_DELETE)
        return 127;
    return wxKeyCode;
}

void GL_Window::Dispatch(const EventInfo& info)
{
    if (mDevice)
        mDevice->ProcessEvent(info);
}

void GL_Window::OnMouse(wxMouseEvent& event)
{
    // Let the toolkit do its own part too (focus on a click).
    event.Skip();
    EventInfo info;
    info.x = event.GetX();
    info.y = event.GetY();
    info.source = this;
    const wxEventType type = event.GetEventType();

    if (type == wxEVT_MOUSEWHEEL)
    {
        if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || event.GetWheelRotation() == 0)
            return;
        // Fine-grained wheels (touchpads) send parts of a notch: they add up.
        const int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
        mWheelRest += event.GetWheelRotation();
        info.wheel = mWheelRest / delta;
        mWheelRest -= info.wheel * delta;
        if (info.wheel != 0)
            Dispatch(info);
        return;
    }
    if (type == wxEVT_MOTION)
    {
        if (mHeldButton != 0 && !IsHeld(event, mHeldButton))
            mHeldButton = 0; // its release went elsewhere
        if (mHeldButton != 0)
        {
            info.button = mHeldButton;
            info.dragged = true;
            if (std::abs(info.x - mPressPosition.x) > kClickSlack ||
                std::abs(info.y - mPressPosition.y) > kClickSlack)
                mDraggedSincePress = true;
            info.draggedSincePress = mDraggedSincePress;
        }
        else
            info.moved = true;
        Dispatch(info);
        return;
    }

    const int button = ButtonOf(event);
    if (button == 0)
        return;
    if (event.ButtonDown() || event.ButtonDClick())
    {
        // A double click's second press has already come as a press on this
        // toolkit; where it has not, the double click is that press.
        if (event.ButtonDClick() && mHeldButton == button)
            return;
        mHeldButton = button;
        mPressPosition = event.GetPosition();
        mDraggedSincePress = false;
        info.button = button;
        info.pressed = true;
        SetFocus();
        Dispatch(info);
    }
    else if (event.ButtonUp())
    {
        info.button = button;
        info.released = true;
        info.draggedSincePress = button == mHeldButton && mDraggedSincePress;
        if (button == mHeldButton)
        {
            mHeldButton = 0;
            mDraggedSincePress = false;
        }
        Dispatch(info);
    }
}

void GL_Window::OnKeyDown(wxKeyEvent& event)
{
    EventInfo info;
    info.keyCode = MapKeyCode(event.GetKeyCode());
    const wxPoint at = event.GetPosition();
    info.x = at.x;
    info.y = at.y;
    info.source = this;
    if (!(mDevice && mDevice->ProcessEvent(info)))
        event.Skip();
}
