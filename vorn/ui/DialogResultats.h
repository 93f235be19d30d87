#pragma once

#include <wx/dialog.h>

// The frame's long-lived modeless results dialog, created once
// with the frame as parent and shown or hidden; for now its window only.
class DialogResultats : public wxDialog
{
public:
    explicit DialogResultats(wxWindow* parent);
    // Rebuilds the results grid from the current results.
    void BuildGrid() {}
};
