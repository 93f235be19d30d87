#pragma once

// Small file helpers shared by the test programs.

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace TestFiles
{
// The whole file as bytes; empty when it cannot be read.
inline std::string ReadAll(const std::string& path)
{
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

// The names of the entries of a folder.
inline std::set<std::string> Names(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}
} // namespace TestFiles
