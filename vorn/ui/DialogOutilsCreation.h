#pragma once

#include <wx/dialog.h>

// The frame's long-lived modeless creation palette: background plan, layers, axis and displayed zone, created
// once with the frame as parent and shown or hidden; for now its window only.
class DialogOutilsCreation : public wxDialog
{
public:
    explicit DialogOutilsCreation(wxWindow* parent);
};
