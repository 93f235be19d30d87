#pragma once

#include <wx/dialog.h>

// The frame's long-lived modeless discontinuity editor, created once
// with the frame as parent and shown or hidden; for now its window only.
class DialogDiscontinuite : public wxDialog
{
public:
    explicit DialogDiscontinuite(wxWindow* parent);
};
