#include "KorDWG.h"

#include "KorInputFile.h"

#include <wx/file.h>

#include <algorithm>
#include <cstring>

KorDWG::KorDWG()
{
    std::memset(m_version, 0, sizeof m_version);
}

bool KorDWG::Load(const std::string& fileName)
{
    wxFile file;
    // wxFile would report a missing file through a log dialog, and wait
    // for ever to open a FIFO: only a regular file is opened, the caller
    // gets false otherwise.
    if (!KorInputFile::IsRegularFile(fileName) ||
        !file.Open(wxString::FromUTF8(fileName.c_str()), wxFile::read))
        return false;

    char version[6] = {0, 0, 0, 0, 0, 0};
    const ssize_t got = file.Read(version, sizeof version);
    std::memset(m_version, 0, sizeof m_version);
    if (got > 0)
        std::memcpy(m_version, version, static_cast<size_t>(got));

    // The header fields after the version (maintenance release, image seeker,
    // code page...) are read past but not kept.
    char skip[7];
    for (size_t n : {7, 4, 2, 2, 4})
        if (file.Read(skip, n) <= 0)
            break;
    file.Close();
    return true;
}

std::string KorDWG::GetVersion() const
{
    const char* end = std::find(m_version, m_version + sizeof m_version, '\0');
    return std::string(m_version, end);
}
