#pragma once

#include <wx/dialog.h>

#include <string>

class wxSlider;
class wxStaticText;

// A modal box choosing an integer on a slider; each move is handed to the
// callback (a preview), the value is read after ShowModal ("Valider" 5100,
// "Annuler" 5101).
class DialogSlider : public wxDialog
{
public:
    typedef void (*MoveCallback)(int);

    DialogSlider(const std::string& title, int minimum, int maximum, int value, MoveCallback onMove);

    int GetValue() const { return mValue; }
    wxSlider* GetSlider() const { return mSlider; }

private:
    void OnSlider(wxCommandEvent& event);

    wxSlider* mSlider = nullptr;
    wxStaticText* mLabel = nullptr;
    int mValue;
    MoveCallback mOnMove;
};
