#pragma once

#include <wx/dialog.h>

// The frame's long-lived modeless trench-head dialog, created once
// with the frame as parent and shown or hidden; for now its window only.
class DialogTete : public wxDialog
{
public:
    explicit DialogTete(wxWindow* parent);
};
