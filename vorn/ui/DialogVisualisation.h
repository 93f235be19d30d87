#pragma once

#include <wx/dialog.h>

// The frame's long-lived modeless visualisation palette: 3D display switches, trench head and sections,
// created once with the frame as parent and shown or hidden; for now its window only.
class DialogVisualisation : public wxDialog
{
public:
    explicit DialogVisualisation(wxWindow* parent);
};
