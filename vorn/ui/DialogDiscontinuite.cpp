#include "DialogDiscontinuite.h"

DialogDiscontinuite::DialogDiscontinuite(wxWindow* parent)
    : wxDialog(parent, 19, wxString::FromUTF8("Discontinuités"), wxPoint(300, 300), wxSize(240, 440),
               wxDEFAULT_DIALOG_STYLE, "DialogDiscontinuite")
{
    // Closing only hides it: the frame keeps it for the program's life.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Show(false); });
}
