#pragma once

#include <wx/dialog.h>

// The modal About box: the owner's logo, the version and date, the
// developer's logo and address, in one centred column. No button: the
// close box or Escape ends it.
class DialogAPropos : public wxDialog
{
public:
    DialogAPropos();
};
