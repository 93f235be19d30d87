#include "DialogCourbes.h"

DialogCourbes::DialogCourbes(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("Courbes"), wxDefaultPosition, wxSize(500, 400),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "DialogCourbes")
{
    // Closing only hides it: the frame keeps it for the program's life.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Show(false); });
}
