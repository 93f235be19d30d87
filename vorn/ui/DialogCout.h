#pragma once

#include <wx/bitmap.h>
#include <wx/dialog.h>

#include <string>

class TeteTranchee;
class wxStaticText;
class wxTextCtrl;

// The cost-function dialog: the expression over the excavation quantities
// in a text field, a picture naming the face variables of the current head
// type and a help text on the layer suffixes. It has no button: closing the
// window validates, and it stays open while the expression does not
// evaluate.
class DialogCout : public wxDialog
{
public:
    DialogCout();

    // Makes the dialog, shows it modally until it validates, destroys it
    // (the frame's cost-function command).
    static void ShowModalDialog();

    // The picture naming the variables of that head: Variables1.bmp for a
    // single head, Variables2.bmp for a double one with CoteAvance 45,
    // Variables3.bmp otherwise (below the program's Icons folder).
    static std::string GetPicturePath(const TeteTranchee& head);

    // Stores the field's text as the project's cost function when it
    // evaluates, then refreshes the windows that show costs; otherwise
    // shows the evaluator's text and returns false.
    bool Validate() override;

    wxTextCtrl* GetExpressionField() const { return mExpression; }

private:
    void OnClose(wxCloseEvent& event);
    void OnPaint(wxPaintEvent& event);

    wxTextCtrl* mExpression = nullptr;
    wxBitmap mPicture;
    wxStaticText* mFirstHelp = nullptr;
};
