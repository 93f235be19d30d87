#include "ChampTexte.h"

#include "FenetreTunnel.h"

ChampTexte::ChampTexte(wxWindow* parent, wxWindowID id, const std::string& value, const wxPoint& position,
                       const wxSize& size, long style, const wxValidator& validator, const wxString& name,
                       FocusCallback onLoseFocus, FocusCallback onGetFocus)
    : wxTextCtrl(parent, id, wxString::FromUTF8(value), position, size, style, validator, name),
      mOnLoseFocus(onLoseFocus), mOnGetFocus(onGetFocus)
{
    Bind(wxEVT_KILL_FOCUS, &ChampTexte::OnKillFocus, this);
    Bind(wxEVT_SET_FOCUS, &ChampTexte::OnSetFocus, this);
}

void ChampTexte::OnKillFocus(wxFocusEvent& event)
{
    // GTK's own control needs the event too.
    event.Skip();
    if (!gFenetreTunnel || !mOnLoseFocus || mInCallback || !IsModified())
        return;
    DiscardEdits();
    mInCallback = true;
    mOnLoseFocus(this);
    mInCallback = false;
}

void ChampTexte::OnSetFocus(wxFocusEvent& event)
{
    event.Skip();
    if (mOnGetFocus)
        mOnGetFocus(this);
}
