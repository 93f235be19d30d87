#pragma once

#include <wx/dialog.h>

#include <memory>

class TeteTranchee;

// The frame's long-lived modeless trench-head dialog, created once with the
// frame as parent and shown or hidden. It owns the project's one trench
// head for the program's life; its fields come with the head's panels.
class DialogTete : public wxDialog
{
public:
    explicit DialogTete(wxWindow* parent);
    ~DialogTete() override;

    TeteTranchee& GetTete() { return *mTete; }

private:
    std::unique_ptr<TeteTranchee> mTete;
};
