#include "StartupPaths.h"

#include "KorString.h"
#include "ProjetOVX.h"

#include <wx/stdpaths.h>

std::string AbsolutePath(const std::string& path, const std::string& cwd)
{
    if (path.empty() || path[0] == '/')
        return path;
    if (cwd.empty() || cwd.back() == '/')
        return cwd + path;
    return cwd + "/" + path;
}

std::string ExecutableFolder(const std::string& argv0, const std::string& cwd)
{
    // argv0 may be relative, or a bare name found on PATH: only the system
    // knows where the program file is.
    std::string program(wxStandardPaths::Get().GetExecutablePath().ToUTF8().data());
    if (program.empty() || program[0] != '/')
        program = AbsolutePath(argv0, cwd);
    std::string folder = GetFolderFromPath(program);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string ApplicationPath(const std::string& below)
{
    return gProjet.GetApplicationFolder() + below;
}
