#pragma once

#include "wxPopup.h"

#include <string>

class wxWindow;

// The main canvas's one context menu: lines with callbacks that take no
// argument (they read what was picked from globals). Every line of the tree
// is numbered in the top menu, runs its own callback and its command stops
// in the menu, so a line never reaches the canvas or the frame.
class PopupOVX : public wxPopup
{
public:
    typedef void (*Callback)();

    // An empty label appends a separator; a null callback greys the line;
    // check < 0 makes a plain line, else a check line ticked when not 0.
    static void AppendItem(const std::string& label, PopupOVX* menu, Callback callback,
                           const int& check = -1);
    // A sub-menu of gPopup with that label.
    static PopupOVX* AddSubMenu(const std::string& label);
    static PopupOVX* GetRootMenu(PopupOVX* menu);
    // Empties gPopup.
    static void Clear();

private:
    static void RunCallback(void* data);
};

// The shared menu, made on first use (after the toolkit starts); null once
// DeletePopup ran, until the next use.
PopupOVX* GetPopup();
void DeletePopup();
#define gPopup (GetPopup())

// Shows gPopup on a window at a pixel of it; tests put their own to pick a
// line instead of waiting on the menu. The default is wxWindow::PopupMenu.
typedef void (*PopupShower)(wxWindow* window, PopupOVX* menu, int x, int y);
void SetPopupShower(PopupShower shower);
void ShowPopup(wxWindow* window, int x, int y);
