#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

class SafeFileWriter;

// A small binary file opened either for reading or for writing. With a format
// name it starts with a header: the magic string of the family, then the
// format name. Strings are stored as a little-endian uint32 length followed by
// that many bytes, no terminator; raw blocks are stored as given.
//
// A length read from a file is checked against the bytes that remain, so a
// damaged file fails instead of asking for an unbounded allocation.
//
// A file opened for writing goes through SafeFileWriter: the old file stays
// whole until Close (or the destructor) puts the new one in its place, and
// only when every write succeeded.
class KorFile
{
public:
    enum OpeningType
    {
        READ = 1,
        WRITE = 2
    };

    KorFile();
    KorFile(const std::string& name, OpeningType type, const std::string* format);
    KorFile(const KorFile&) = delete;
    KorFile& operator=(const KorFile&) = delete;
    ~KorFile();

    // Closes what is open, then opens; a type of 0 only closes (true). With a
    // format, reading checks the header and writing writes it. Failures print
    // one line and leave the file closed.
    bool Open(const std::string& name, OpeningType type, const std::string* format);
    bool IsOpen() const { return m_type != 0; }
    // Written: false, with one printed line, when a write or the
    // replacement of the file failed (the old file is then as it was).
    // Read or not open: true.
    bool Close();

    // Ignored unless open for writing.
    void Insert(const void* data, unsigned int size);
    KorFile& operator<<(const std::string& text);
    KorFile& operator<<(const char* text);

    // False when not open for reading or when the data runs past the end
    // (the file then stays at its end).
    bool Get(void* data, unsigned int size);
    bool operator>>(std::string& text);

private:
    void WriteString(const char* data, std::uint32_t size);
    std::uint64_t Remaining();

    std::unique_ptr<SafeFileWriter> m_output;
    std::string m_name;
    std::ifstream m_input;
    int m_type = 0;
};
