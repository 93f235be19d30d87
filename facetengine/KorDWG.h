#pragma once

#include <string>

// Reads the version string ("AC1021" and the like) at the start of a DWG
// drawing file; nothing of the drawing itself is read.
class KorDWG
{
public:
    KorDWG();
    KorDWG(const KorDWG&) = default;
    KorDWG& operator=(const KorDWG&) = default;

    // False when the file cannot be opened (the version is then untouched).
    // A file shorter than six bytes still loads: the bytes it has replace the
    // first version bytes and the others become 0, so an empty file leaves no
    // version.
    bool Load(const std::string& fileName);

    // The version bytes up to the first zero byte.
    std::string GetVersion() const;
    const std::string& GetFileName() const { return m_fileName; }

private:
    std::string m_fileName;
    char m_version[6];
};
