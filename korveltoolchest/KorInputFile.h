#pragma once

#include <istream>
#include <memory>
#include <string>

// A file opened for reading only when it is a regular file: a folder, a
// device (an endless /dev/zero) or a pipe is refused before anything is read,
// and opening never waits for a pipe's writer. The stream ends at the end of
// the file or at the first failed read; ReadFailed() tells the two apart, so
// a reader never takes a file cut short by an error for the whole file.
class KorInputFile
{
public:
    KorInputFile();
    ~KorInputFile();
    KorInputFile(const KorInputFile&) = delete;
    KorInputFile& operator=(const KorInputFile&) = delete;

    // False, with the reason in GetError(), when the path cannot be opened or
    // names no regular file.
    bool Open(const std::string& path);
    // Whether the path names a regular file once symbolic links are
    // followed, looked at without opening it: what a reader that opens the
    // path itself (the toolkit's image loading) asks first, so that a FIFO,
    // a device or a folder is treated as a missing file.
    static bool IsRegularFile(const std::string& path);
    bool IsOpen() const;
    std::istream& Stream() { return mStream; }
    // True once a read from the file failed; the stream then stops as at an
    // end of file.
    bool ReadFailed() const;
    // Why Open or a read failed, as the end of a sentence; empty otherwise.
    std::string GetError() const;

private:
    class Buffer;

    std::unique_ptr<Buffer> mBuffer;
    std::istream mStream;
    std::string mError;
};
