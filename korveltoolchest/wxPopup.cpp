#include "wxPopup.h"

wxBEGIN_EVENT_TABLE(wxPopup, wxMenu) EVT_MENU(wxID_ANY, wxPopup::OnAction) wxEND_EVENT_TABLE()

    wxPopup::wxPopup()
    : wxMenu(0)
{
}

wxPopup::~wxPopup() = default;

void wxPopup::AddLine(const std::string& label, Callback callback, void* data, const int& check)
{
    if (label.empty())
    {
        AppendSeparator();
        return;
    }
    wxPopup* top = GetParentMenu();
    const int id = int(top->m_callbacks.size());
    top->m_callbacks.push_back(callback);
    top->m_data.push_back(data);

    const wxString text = wxString::FromUTF8(label);
    wxMenuItem* item = check >= 0 ? AppendCheckItem(id, text, text) : Append(id, text, text);
    if (check > 0)
        item->Check(true);
    if (!callback)
        item->Enable(false);
}

wxPopup* wxPopup::AddMenu(const std::string& label)
{
    wxPopup* sub = new wxPopup;
    AppendSubMenu(sub, wxString::FromUTF8(label), wxEmptyString);
    return sub;
}

// Cost: the depth of the menu tree.
wxPopup* wxPopup::GetParentMenu()
{
    wxPopup* top = this;
    while (wxPopup* parent = dynamic_cast<wxPopup*>(top->GetParent()))
        top = parent;
    return top;
}

void wxPopup::Clear()
{
    for (size_t i = GetMenuItemCount(); i-- > 0;)
        Destroy(FindItemByPosition(i));
    m_callbacks.clear();
    m_data.clear();
}

// The toolkit hands a command to the menu holding the item first, which for a
// sub-menu line is a sub-popup with empty lists: the line is looked up in the
// top popup, whichever popup receives it.
void wxPopup::OnAction(wxCommandEvent& event)
{
    wxPopup* top = GetParentMenu();
    const int id = event.GetId();
    if (id < 0 || id >= int(top->m_callbacks.size()))
    {
        event.Skip();
        return;
    }
    if (top->m_callbacks[size_t(id)])
        top->m_callbacks[size_t(id)](top->m_data[size_t(id)]);
}
