#pragma once

#include <wx/textctrl.h>

#include <string>

// A text field that tells its owner when it loses or gets the keyboard
// focus. The lose-focus callback runs only when the user edited the text
// since the program last wrote it or since the last callback, so tabbing
// through fields changes nothing; it never runs inside itself (its message
// box takes the focus) nor once the main frame is gone.
class ChampTexte : public wxTextCtrl
{
public:
    typedef void (*FocusCallback)(ChampTexte*);

    ChampTexte(wxWindow* parent, wxWindowID id, const std::string& value, const wxPoint& position,
               const wxSize& size, long style, const wxValidator& validator, const wxString& name,
               FocusCallback onLoseFocus, FocusCallback onGetFocus);

private:
    void OnKillFocus(wxFocusEvent& event);
    void OnSetFocus(wxFocusEvent& event);

    FocusCallback mOnLoseFocus;
    FocusCallback mOnGetFocus;
    bool mInCallback = false;
};
