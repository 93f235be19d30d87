#include "DialogOutilsCreation.h"

DialogOutilsCreation::DialogOutilsCreation(wxWindow* parent)
    : wxDialog(parent, 15, wxString::FromUTF8("Terrain"), wxPoint(10, 100), wxSize(200, 630), wxCAPTION,
               "DialogOutilsCreation")
{
}
