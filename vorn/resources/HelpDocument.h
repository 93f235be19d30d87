#pragma once

#include <string>
#include <vector>

// A plain PDF 1.4 document of text pages (Helvetica, WinAnsi encoding),
// with a cross-reference table whose offsets are the objects' own. Lines
// are UTF-8; characters outside Latin-1 become '?'.
std::string BuildTextPdf(const std::vector<std::vector<std::string>>& pages);
// The program's short French help.
std::string BuildHelpPdf();
