#pragma once

#include "GL_Window.h"

// The main 3D canvas of the frame: the plan view in the creation mode, the
// 3D view in the visualisation mode (the mode switches set its device's
// draw callback and events manager). It draws on demand only.
class PanelPrincipal : public GL_Window
{
public:
    explicit PanelPrincipal(wxWindow* parent);
    ~PanelPrincipal() override;
};

// The main canvas, or null when there is none.
extern PanelPrincipal* gPanelPrincipal;
