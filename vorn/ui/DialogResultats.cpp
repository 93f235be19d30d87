#include "DialogResultats.h"

DialogResultats::DialogResultats(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("Résultats"), wxDefaultPosition, wxSize(400, 300),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "DialogResultats")
{
    // Closing only hides it: the frame keeps it for the program's life.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Show(false); });
}
