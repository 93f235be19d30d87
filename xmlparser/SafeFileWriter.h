#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>

// The one way the program writes a file: the project and the trench head
// (through XMLNode::writeToFile), the CSV and DXF exports, the section
// images, the binary files of KorFile. It stands in the lowest library so
// that every other one can write through it.
//
// The bytes go to a new side file ".~<8 hex digits>.<6 characters>.partial"
// in the target's folder (the digits a hash of the target's name; 25 bytes,
// so that every name a folder takes can be saved), never to the target
// itself. Every write is checked; Commit syncs the data, closes the side
// file (checked too), renames it over the target and syncs the folder.
// Until Commit succeeds the target is untouched: on any failure, and for a
// writer destroyed uncommitted, the side file is removed and the old file
// stays byte for byte.
//
// A killed save leaves its side file: the writer locks its side file while
// it lives (flock), and before a save the target's side files that no one
// locks are removed, so that they never pile up. No other file is removed,
// whatever its name.
//
// The target: a symbolic link is followed to the file it names, also when
// that file does not exist yet (a dangling link): the link stays and the
// file it names gets the content. A target that exists and is not a regular
// file (a folder, a device, a FIFO, directly or through a link) is refused,
// and so is a file that may not be written. The side file is made new (a
// file or link planted under its name is never written through). A
// replaced file's side file is readable and writable by its owner only
// until Commit, which gives it the old file's mode just before the rename
// (a new file's gets the mode its creation gave it, less the umask).
//
// A failure is kept: once a write failed, further writes and Commit fail
// at once. GetError() says why, in one line naming the path.
class SafeFileWriter
{
public:
    explicit SafeFileWriter(const std::string& path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // True while the side file is open and every write so far succeeded.
    bool IsOpen() const;
    bool Write(const void* data, std::size_t size);
    bool Write(const std::string& bytes) { return Write(bytes.data(), bytes.size()); }
    // A stream writing through the writer (buffered): its badbit is set at
    // the first failed write. Still usable, and failing, when not open.
    std::ostream& Stream();
    // True when the target now holds every byte written, and only those.
    bool Commit();
    // Removes the side file; the target is untouched.
    void Abandon();
    const std::string& GetError() const { return mError; }
    // After a failure the user can act on, the reason in French (one
    // sentence, to follow the command's own message); empty otherwise.
    // Today: a folder that takes no new file.
    const std::string& GetReason() const { return mReason; }

    // The whole of bytes written to path through a writer; error, when
    // given, says why on failure, and reason, when given, gets GetReason().
    static bool WriteFile(const std::string& path, const std::string& bytes, std::string* error = nullptr,
                          std::string* reason = nullptr);

private:
    class Buffer;

    void Open();
    void Fail(const std::string& what, int code);

    std::string mPath;
    std::string mTarget;
    std::string mPartial;
    int mFd = -1;
    // The mode the target gets at Commit.
    unsigned mMode = 0;
    std::unique_ptr<Buffer> mBuffer;
    std::ostream mStream;
    std::string mError;
    std::string mReason;
};
