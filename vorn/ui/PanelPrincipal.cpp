#include "PanelPrincipal.h"

#include "LumoraDevice.h"
#include "ProjetOVX.h"

PanelPrincipal* gPanelPrincipal = nullptr;

PanelPrincipal::PanelPrincipal(wxWindow* parent)
    : GL_Window(parent, 14, wxDefaultPosition, wxDefaultSize, wxSUNKEN_BORDER, "Panel Principal")
{
    gPanelPrincipal = this;
    SetInitialDirectory(gProjet.GetApplicationFolder());
    getDevice()->SetRefreshStyle(2);
    getDevice()->StartRendering();
}

PanelPrincipal::~PanelPrincipal()
{
    if (gPanelPrincipal == this)
        gPanelPrincipal = nullptr;
}
