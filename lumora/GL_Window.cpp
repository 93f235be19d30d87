#include "GL_Window.h"

#include "LumTextRenderer.h"
#include "LumTextureCache.h"
#include "LumoraDevice.h"

#include <wx/dcclient.h>

wxGLContext* GL_Window::sContext = nullptr;
int GL_Window::sCanvases = 0;

namespace
{
const int kDefaultAttributes[] = {WX_GL_RGBA, WX_GL_DOUBLEBUFFER, WX_GL_DEPTH_SIZE, 24, 0};
}

GL_Window::GL_Window(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size, long style,
                     const wxString& name, const int* attributes, const wxPalette& palette)
    : wxGLCanvas(parent, id, attributes ? attributes : kDefaultAttributes, position, size,
                 style | wxFULL_REPAINT_ON_RESIZE, name, palette),
      mDevice(new LumoraDevice(this))
{
    ++sCanvases;
    // GL paints every pixel: no background erase, no flicker.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &GL_Window::OnPaint, this);
    Bind(wxEVT_SIZE, &GL_Window::OnSize, this);
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
