#pragma once

#include <string>

// Paths fixed at start-up. The application folder is where the program file
// really lies, so a change of working folder (a file dialog's) or a start
// through a relative or PATH-found name never breaks a path to the icons,
// the help or the DXF templates.

// The absolute folder (no trailing '/') of the running program: the
// resolved executable when the system tells it, else argv0 made absolute
// against cwd.
std::string ExecutableFolder(const std::string& argv0, const std::string& cwd);
// path unchanged when absolute or empty, else cwd + "/" + path.
std::string AbsolutePath(const std::string& path, const std::string& cwd);
// The project's application folder followed by below ("/Icons/New.gif").
std::string ApplicationPath(const std::string& below);
