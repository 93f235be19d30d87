#include "DialogVisualisation.h"

DialogVisualisation::DialogVisualisation(wxWindow* parent)
    : wxDialog(parent, 16, wxString::FromUTF8("Composition"), wxPoint(300, 300), wxSize(185, 460), wxCAPTION,
               "DialogVisualisation")
{
}
