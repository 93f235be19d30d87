#include "DialogTete.h"

#include "TeteTranchee.h"

DialogTete::DialogTete(wxWindow* parent)
    : wxDialog(parent, 20, wxString::FromUTF8("Tête de tranchée"), wxPoint(300, 300), wxSize(700, 400),
               wxDEFAULT_DIALOG_STYLE | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER, "DialogTete"),
      mTete(std::make_unique<TeteTranchee>())
{
    // Closing only hides it: the frame keeps it for the program's life.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Show(false); });
}

DialogTete::~DialogTete() = default;
