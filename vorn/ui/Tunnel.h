#pragma once

#include <wx/app.h>

#include <string>

// The application object. OnInit takes the user's language for the
// toolkit's own texts (UseUserLanguage), fixes the application folder (the
// program file's own, made the working directory), opens the main frame
// in the creation mode with no project, then opens the project named on
// the command line, if any. The toolkit's event loop runs after it; the
// program has no loop, timer or idle handler of its own.
class Tunnel : public wxApp
{
public:
    bool OnInit() override;
    // Every toolkit assertion and log message becomes one line on standard
    // error, never a dialog.
    void OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                         const wxChar* msg) override;
};

// The application object, set at the start of OnInit.
extern Tunnel* gTunnel;
// The project named on the command line (absolute), or empty.
extern std::string gStartupFile;
