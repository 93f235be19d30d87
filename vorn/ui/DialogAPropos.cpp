#include "DialogAPropos.h"

#include "ImageWindow.h"
#include "ProjetOVX.h"
#include "StartupPaths.h"
#include "WindowFit.h"

#include <wx/sizer.h>
#include <wx/stattext.h>

DialogAPropos::DialogAPropos()
    : wxDialog(nullptr, wxID_ANY, wxString::FromUTF8("A propos"), wxPoint(300, 300), wxSize(350, 425))
{
    auto text = [this](const std::string& line)
    { return new wxStaticText(this, wxID_ANY, wxString::FromUTF8(line)); };
    const std::string version = std::string("Version : ") + ProjetOVX::Title;
    const std::string date = std::string("Date : ") + "14/09/09";

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new ImageWindow(this, ApplicationPath("/Icons/vorn.bmp")), 0, wxALIGN_CENTER | wxTOP, 10);
    column->Add(text(version), 0, wxALIGN_CENTER | wxTOP, 10);
    column->Add(text(date), 0, wxALIGN_CENTER | wxTOP | wxBOTTOM, 10);
    column->Add(new ImageWindow(this, ApplicationPath("/Icons/Korvel.bmp")), 0, wxALIGN_CENTER | wxTOP, 10);
    column->Add(text("Développé par Atelier Exemple"), 0, wxLEFT | wxTOP, 5);
    column->Add(text("12 rue des Exemples"), 0, wxLEFT | wxTOP, 5);
    column->Add(text("00000 Villexemple"), 0, wxLEFT | wxTOP, 5);
    column->Add(text("Tel : 00 00 00 00 00"), 0, wxLEFT | wxTOP, 5);
    column->Add(text("Mail : contact@exemple.invalid"), 0, wxLEFT | wxTOP, 5);
    SetSizer(column);
    FitToContent(this);
    // The box has no button for the toolkit's Escape to press: Escape
    // closes it as its close box does.
    Bind(wxEVT_CHAR_HOOK,
         [this](wxKeyEvent& event)
         {
             if (event.GetKeyCode() == WXK_ESCAPE)
                 Close();
             else
                 event.Skip();
         });
}
