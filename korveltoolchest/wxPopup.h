#pragma once

#include <wx/menu.h>

#include <string>
#include <vector>

// A popup menu filled just before it is shown: each line is a label with a
// plain callback and an opaque data pointer, called when the line is chosen.
// Lines may sit in sub-menus; every line of the tree is numbered and
// registered in the top popup, so the command id of a line is its index in
// the top popup's lists. Sub-popups keep their lists empty.
class wxPopup : public wxMenu
{
public:
    typedef void (*Callback)(void*);

    wxPopup();
    ~wxPopup() override;

    // An empty label appends a separator, which takes no id. check >= 0 makes
    // a check item, checked when check is not 0. A null callback shows the
    // line disabled.
    void AddLine(const std::string& label, Callback callback, void* data, const int& check);
    // A sub-menu with that label, owned by this menu.
    wxPopup* AddMenu(const std::string& label);
    // The top popup of the tree this menu belongs to (this menu when it is the top).
    wxPopup* GetParentMenu();
    // Destroys every item of this menu, sub-menus included, and empties this
    // menu's lists; ids restart at 0 only when called on the top popup.
    void Clear();

    // Number of lines registered in this menu's lists.
    int GetLineCount() const { return int(m_callbacks.size()); }

private:
    void OnAction(wxCommandEvent& event);

    std::vector<Callback> m_callbacks;
    std::vector<void*> m_data;

    wxDECLARE_EVENT_TABLE();
};
