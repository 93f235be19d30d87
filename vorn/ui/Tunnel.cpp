#include "Tunnel.h"

#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "KorString.h"
#include "ProjetOVX.h"
#include "StartupPaths.h"
#include "UserLanguage.h"

#include <wx/image.h>
#include <wx/log.h>

#include <csignal>
#include <cstdio>
#include <vector>

Tunnel* gTunnel = nullptr;
std::string gStartupFile;

bool Tunnel::OnInit()
{
    gTunnel = this;
    delete wxLog::SetActiveTarget(new wxLogStderr);
    // A write past the file-size limit is a failed write, reported by the
    // command with the old file kept (SafeFileWriter), not the end of the
    // program and of its unsaved work.
    std::signal(SIGXFSZ, SIG_IGN);
    UseUserLanguage();

    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.emplace_back(argv[i].ToUTF8().data());
    if (args.empty())
        return false;

    // The project path is made absolute before the working directory
    // changes, or a relative one would name another file.
    const std::string cwd = GetWorkingDirectory();
    const std::string folder = ExecutableFolder(args[0], cwd);
    if (args.size() > 1)
        gStartupFile = AbsolutePath(args[1], cwd);
    SetWorkingDirectory(folder);
    gProjet.SetApplicationFolder(folder);

    wxInitAllImageHandlers();
    auto* frame =
        new FenetreTunnel(nullptr, wxString::FromUTF8(ProjetOVX::Title), wxPoint(50, 50), wxSize(800, 600));
    frame->Show();
    SetTopWindow(frame);
    EnterCreationMode(false);
    SetNoProjectInterface();
    if (!gStartupFile.empty())
        gProjet.Open(gStartupFile);
    return true;
}

void Tunnel::OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                             const wxChar* msg)
{
    std::fprintf(stderr, "wx assertion \"%s\" failed in %s (%s:%d)%s%s\n", wxString(cond).ToUTF8().data(),
                 wxString(func).ToUTF8().data(), wxString(file).ToUTF8().data(), line, msg ? ": " : "",
                 msg ? wxString(msg).ToUTF8().data() : "");
    std::fflush(stderr);
}
