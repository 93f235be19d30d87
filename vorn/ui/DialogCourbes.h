#pragma once

#include <wx/dialog.h>

// The frame's long-lived modeless series-curves dialog, created once
// with the frame as parent and shown or hidden; for now its window only.
class DialogCourbes : public wxDialog
{
public:
    explicit DialogCourbes(wxWindow* parent);
};
