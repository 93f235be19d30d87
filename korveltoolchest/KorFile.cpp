#include "KorFile.h"

#include "KorException.h"
#include "SafeFileWriter.h"

#include <cstring>

namespace
{
const char kMagic[] = "...Korvel Toolchest...";
constexpr std::uint32_t kMagicLength = sizeof kMagic - 1;
} // namespace

KorFile::KorFile() = default;

KorFile::KorFile(const std::string& name, OpeningType type, const std::string* format)
{
    Open(name, type, format);
}

KorFile::~KorFile()
{
    Close();
}

bool KorFile::Close()
{
    bool ok = true;
    if (m_output)
    {
        ok = m_output->Commit();
        if (!ok)
            KorReport("KorFile::Close",
                      "Impossible to write the file '" + m_name + "' : " + m_output->GetError());
        m_output.reset();
    }
    if (m_input.is_open())
        m_input.close();
    m_input.clear();
    m_type = 0;
    return ok;
}

bool KorFile::Open(const std::string& name, OpeningType type, const std::string* format)
{
    Close();
    const std::string file = "Impossible to load the file '" + name + "'";
    switch (static_cast<int>(type))
    {
    case 0:
        return true;
    case READ:
    {
        m_input.open(name, std::ios::in | std::ios::binary);
        if (!m_input.is_open())
        {
            KorReport("KorFile::Load", file + " to read binary");
            return false;
        }
        m_type = READ;
        if (!format)
            return true;
        std::string magic, stored;
        if (!(*this >> magic) || magic != kMagic)
        {
            Close();
            KorReport("KorFile::Load", file + " to read binary : Bad Korvel format");
            return false;
        }
        if (!(*this >> stored) || stored != *format)
        {
            Close();
            KorReport("KorFile::Load", file + " to read binary : Wrong format");
            return false;
        }
        return true;
    }
    case WRITE:
        m_output = std::make_unique<SafeFileWriter>(name);
        if (!m_output->IsOpen())
        {
            m_output.reset();
            KorReport("KorFile::Load", file + " to write binary");
            return false;
        }
        m_name = name;
        m_type = WRITE;
        if (format)
        {
            WriteString(kMagic, kMagicLength);
            *this << *format;
        }
        return true;
    default:
        KorReport("KorFile::Load", "The opening type is unknow to load the file '" + name + "'");
        return false;
    }
}

void KorFile::Insert(const void* data, unsigned int size)
{
    if (m_type == WRITE && data && size > 0)
        m_output->Write(data, size);
}

void KorFile::WriteString(const char* data, std::uint32_t size)
{
    const unsigned char length[4] = {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                     static_cast<unsigned char>(size >> 16),
                                     static_cast<unsigned char>(size >> 24)};
    m_output->Write(length, 4);
    if (size > 0)
        m_output->Write(data, size);
}

KorFile& KorFile::operator<<(const std::string& text)
{
    // The length field holds 32 bits; a longer string is not written.
    if (m_type == WRITE && text.size() <= UINT32_MAX)
        WriteString(text.data(), static_cast<std::uint32_t>(text.size()));
    return *this;
}

KorFile& KorFile::operator<<(const char* text)
{
    if (text)
        *this << std::string(text);
    return *this;
}

std::uint64_t KorFile::Remaining()
{
    const std::streampos here = m_input.tellg();
    m_input.seekg(0, std::ios::end);
    const std::streampos end = m_input.tellg();
    m_input.seekg(here);
    return here < 0 || end < here ? 0 : static_cast<std::uint64_t>(end - here);
}

bool KorFile::Get(void* data, unsigned int size)
{
    if (m_type != READ || !m_input.good())
        return false;
    if (size == 0)
        return true;
    if (!data)
        return false;
    // A short read leaves the stream at its end with its failure bits set.
    m_input.read(static_cast<char*>(data), size);
    return static_cast<unsigned int>(m_input.gcount()) == size;
}

bool KorFile::operator>>(std::string& text)
{
    unsigned char length[4];
    if (!Get(length, 4))
        return false;
    const std::uint32_t size =
        static_cast<std::uint32_t>(length[0]) | static_cast<std::uint32_t>(length[1]) << 8 |
        static_cast<std::uint32_t>(length[2]) << 16 | static_cast<std::uint32_t>(length[3]) << 24;
    // A damaged length fails before anything is allocated.
    if (size > Remaining())
    {
        m_input.seekg(0, std::ios::end);
        m_input.setstate(std::ios::eofbit);
        return false;
    }
    text.resize(size);
    return size == 0 || Get(&text[0], size);
}
