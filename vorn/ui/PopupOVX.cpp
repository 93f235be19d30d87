#include "PopupOVX.h"

#include <wx/window.h>

namespace
{
PopupOVX* sPopup = nullptr;

void DefaultShower(wxWindow* window, PopupOVX* menu, int x, int y)
{
    window->PopupMenu(menu, x, y);
}

PopupShower sShower = DefaultShower;
} // namespace

void PopupOVX::RunCallback(void* data)
{
    // The plain callback travels as the line's data.
    if (Callback callback = reinterpret_cast<Callback>(data))
        callback();
}

void PopupOVX::AppendItem(const std::string& label, PopupOVX* menu, Callback callback, const int& check)
{
    if (!menu)
        return;
    menu->AddLine(label, callback ? RunCallback : nullptr, reinterpret_cast<void*>(callback), check);
}

PopupOVX* PopupOVX::AddSubMenu(const std::string& label)
{
    // A sub-menu of our own class, so that its root is found as ours.
    PopupOVX* sub = new PopupOVX;
    gPopup->AppendSubMenu(sub, wxString::FromUTF8(label), wxEmptyString);
    return sub;
}

PopupOVX* PopupOVX::GetRootMenu(PopupOVX* menu)
{
    return menu ? dynamic_cast<PopupOVX*>(menu->GetParentMenu()) : nullptr;
}

void PopupOVX::Clear()
{
    gPopup->wxPopup::Clear();
}

PopupOVX* GetPopup()
{
    if (!sPopup)
        sPopup = new PopupOVX;
    return sPopup;
}

void DeletePopup()
{
    delete sPopup;
    sPopup = nullptr;
}

void SetPopupShower(PopupShower shower)
{
    sShower = shower ? shower : DefaultShower;
}

void ShowPopup(wxWindow* window, int x, int y)
{
    if (window)
        sShower(window, gPopup, x, y);
}
