#include "FrameKeys.h"

#include "FenetreTunnel.h"

#include <wx/accel.h>
#include <wx/event.h>
#include <wx/window.h>

#include <vector>

namespace
{
struct FrameKey
{
    int flags;
    int key;
    int command; // the frame's menu command
};
const FrameKey Keys[] = {
    {wxACCEL_CTRL, 'Z', FenetreTunnel::IdUndo},
    {wxACCEL_CTRL, 'Y', FenetreTunnel::IdRedo},
};
// The forwarding ids: far above the program's control ids (under 100) and
// the popup menus' (wxID_HIGHEST + 1 up).
constexpr int FirstForwardId = wxID_HIGHEST + 5000;
} // namespace

void SetFrameKeys(wxWindow* frame)
{
    std::vector<wxAcceleratorEntry> entries;
    for (const FrameKey& key : Keys)
        entries.emplace_back(key.flags, key.key, key.command);
    frame->SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(entries.size()), entries.data()));
}

void ForwardFrameKeys(wxWindow* window)
{
    std::vector<wxAcceleratorEntry> entries;
    int id = FirstForwardId;
    for (const FrameKey& key : Keys)
    {
        entries.emplace_back(key.flags, key.key, id);
        const int command = key.command;
        window->Bind(
            wxEVT_MENU,
            [command](wxCommandEvent&)
            {
                if (gFenetreTunnel)
                    wxQueueEvent(gFenetreTunnel, new wxCommandEvent(wxEVT_MENU, command));
            },
            id);
        ++id;
    }
    window->SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(entries.size()), entries.data()));
}
