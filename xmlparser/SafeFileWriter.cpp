#include "SafeFileWriter.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <streambuf>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
const char kSideSuffix[] = ".partial";

std::string FolderOf(const std::string& file)
{
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
}

std::string NameOf(const std::string& file)
{
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

// The start of the names of a target's side files: ".~", then the 32-bit
// FNV-1a hash of the target's name in 8 hexadecimal digits and a dot. A
// side file's name is this, 6 random characters and ".partial": 25 bytes
// whatever the target's name, so that any name a folder takes can be
// saved. The hash ties side files to their target; two targets of one hash
// only share the removal of each other's stale side files.
std::string SidePrefix(const std::string& target)
{
    std::uint32_t hash = 2166136261u;
    for (const unsigned char c : NameOf(target))
        hash = (hash ^ c) * 16777619u;
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(hash));
    return std::string(".~") + digits + '.';
}

// Whether name is prefix, 6 characters of kLetters and ".partial".
bool IsSideName(const std::string& name, const std::string& prefix)
{
    const std::size_t suffix = sizeof kSideSuffix - 1;
    if (name.size() != prefix.size() + 6 + suffix || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kSideSuffix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < prefix.size() + 6; ++i)
        if (!std::memchr(kLetters, name[i], sizeof kLetters - 1))
            return false;
    return true;
}

// Removes the side files of target that no live writer holds: those left
// by a save that was killed or lost its power. A writer holds an exclusive
// lock on its side file from its creation to its rename, so a side file
// that can be locked has none. Only names of the writer's own form are
// looked at: a user's file that merely ends in ".partial" stays. Anything
// that is not a regular file, or cannot be opened or locked, is left
// alone. O(entries of the folder).
void RemoveStaleSideFiles(const std::string& target)
{
    const std::string folder = FolderOf(target);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    const std::string prefix = SidePrefix(target);
    std::vector<std::string> stale;
    while (const dirent* entry = readdir(dir))
        if (IsSideName(entry->d_name, prefix))
            stale.push_back(folder + '/' + entry->d_name);
    closedir(dir);
    for (const std::string& path : stale)
    {
        struct stat named;
        if (lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode))
            continue;
        // A side file stays readable and writable by its owner until its
        // commit gives it the target's mode; one killed in between may be
        // write-only (a target of mode 0200): a lock needs no read access.
        int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno == EACCES)
            fd = open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held;
        // The name is checked again once locked: it must still be the file
        // that was locked, not one a new writer made under it since.
        if (fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            unlink(path.c_str());
        close(fd); // lets the lock go
    }
}

// Creates a new side file of target in its folder (SidePrefix) and returns
// its descriptor, locked (-1 with errno set on failure), its name in
// partial. The file is always made new: a file or link already standing
// under the name (planted by someone else, or left by a crash) is neither
// followed nor truncated, another name is tried. The file is created with
// the given mode (less the umask).
int CreateSideFile(const std::string& target, std::string& partial, mode_t mode)
{
    thread_local std::mt19937_64 random(std::random_device{}() ^ static_cast<std::uint64_t>(getpid()) << 32);
    const std::string start = FolderOf(target) + '/' + SidePrefix(target);
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        std::uint64_t bits = random();
        std::string name = start;
        for (int i = 0; i < 6; ++i, bits /= 62)
            name += kLetters[bits % 62];
        name += kSideSuffix;
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0)
        {
            if (errno != EEXIST && errno != ELOOP)
                return -1;
            continue;
        }
        // Another save's removal of stale side files may have opened the
        // new file before it was locked: when it holds the lock, or has
        // removed the file already, another name is taken. A file system
        // without locks leaves the file unlocked, and stale files there
        // are never removed.
        struct stat held, named;
        const bool locked = flock(fd, LOCK_EX | LOCK_NB) == 0;
        if ((!locked && errno == EWOULDBLOCK) || fstat(fd, &held) != 0 || lstat(name.c_str(), &named) != 0 ||
            named.st_dev != held.st_dev || named.st_ino != held.st_ino)
        {
            close(fd);
            continue;
        }
        partial = std::move(name);
        return fd;
    }
    errno = EEXIST;
    return -1;
}

void SyncFolderOf(const std::string& file)
{
    const int fd = open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd); // a file system that cannot sync a folder has nothing more to do
    close(fd);
}

// The file a path leads to: symbolic links followed one by one, up to the
// system's usual limit of 40, so that a dangling link leads to the file it
// names (which the write then creates). False with errno set on a loop or a
// link that cannot be read.
bool FollowLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0;; ++hops)
    {
        struct stat info;
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true; // what is not there is created by the side file's rename
        if (hops == 40)
        {
            errno = ELOOP;
            return false;
        }
        std::vector<char> text(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t n = readlink(target.c_str(), text.data(), text.size());
        if (n < 0)
            return false;
        if (static_cast<std::size_t>(n) == text.size())
        {
            errno = ENAMETOOLONG; // the link grew while read
            return false;
        }
        const std::string link(text.data(), static_cast<std::size_t>(n));
        target = link[0] == '/' ? link : FolderOf(target) + "/" + link;
    }
}

// Writes the whole block, through partial writes and interruptions; false
// with errno set when the system refuses a byte.
bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0)
    {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
} // namespace

// Gathers the bytes in blocks and writes each block through WriteAll; the
// first failure is kept and every later write fails.
class SafeFileWriter::Buffer : public std::streambuf
{
public:
    Buffer() : mData(1 << 16) { setp(mData.data(), mData.data() + mData.size()); }
    void SetDescriptor(int fd) { mFd = fd; }
    // The errno of the first failed write, 0 while none failed.
    int Failure() const { return mFailure; }

protected:
    int_type overflow(int_type c) override
    {
        if (!Drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof()))
        {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return Drain() ? 0 : -1; }

private:
    bool Drain()
    {
        if (mFailure != 0)
            return false;
        if (mFd < 0)
        {
            mFailure = EBADF;
            return false;
        }
        const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
        if (!WriteAll(mFd, pbase(), size))
        {
            mFailure = errno != 0 ? errno : EIO;
            return false;
        }
        setp(mData.data(), mData.data() + mData.size());
        return true;
    }

    std::vector<char> mData;
    int mFd = -1;
    int mFailure = 0;
};

SafeFileWriter::SafeFileWriter(const std::string& path)
    : mPath(path), mBuffer(std::make_unique<Buffer>()), mStream(mBuffer.get())
{
    Open();
    if (mFd < 0)
        mStream.setstate(std::ios::badbit);
}

SafeFileWriter::~SafeFileWriter()
{
    Abandon();
}

void SafeFileWriter::Open()
{
    if (!FollowLinks(mPath, mTarget))
    {
        mError = "cannot follow '" + mPath + "': " + std::strerror(errno);
        return;
    }
    // Only a regular file is replaced: a device, a FIFO or a folder would
    // lose its kind. A file that may not be written is refused as a direct
    // write would be (the superuser may write any file).
    struct stat old;
    const bool replaces = stat(mTarget.c_str(), &old) == 0;
    if (replaces && !S_ISREG(old.st_mode))
    {
        mError = "cannot replace '" + mPath + "': not a regular file";
        return;
    }
    if (replaces && access(mTarget.c_str(), W_OK) != 0)
    {
        mError = "cannot replace '" + mPath + "': " + std::strerror(errno);
        return;
    }
    RemoveStaleSideFiles(mTarget);
    const int fd = CreateSideFile(mTarget, mPartial, replaces ? 0600 : 0666);
    if (fd < 0)
    {
        const int code = errno;
        mError = "cannot create a file beside '" + mPath + "': " + std::strerror(code);
        // The one refusal the user may not guess: the file itself may be
        // writable, but its folder takes no new file.
        if (code == EACCES || code == EPERM)
            mReason = "Le dossier '" + FolderOf(mTarget) + "' n'autorise pas la création de fichiers" +
                      (replaces ? " : l'enregistrement y écrit d'abord un fichier provisoire, qui remplace "
                                  "ensuite l'ancien."
                                : ".");
        return;
    }
    mFd = fd;
    // The side file keeps a mode that lets its owner open it until Commit
    // gives it the target's: a save killed before then leaves a file the
    // next save can lock and remove (with the mode of a target of mode
    // 0200, its owner could not open it for reading).
    struct stat made;
    if (fstat(fd, &made) != 0)
    {
        Fail("cannot write '" + mPath + "'", errno);
        return;
    }
    mMode = (replaces ? old.st_mode : made.st_mode) & 07777;
    if ((made.st_mode & 0600) != 0600)
        fchmod(fd, 0600); // an odd umask; on failure the mode is left as made
    mBuffer->SetDescriptor(fd);
}

bool SafeFileWriter::IsOpen() const
{
    return mFd >= 0 && mBuffer->Failure() == 0;
}

bool SafeFileWriter::Write(const void* data, std::size_t size)
{
    if (!IsOpen())
        return false;
    if (size > 0 &&
        mStream.rdbuf()->sputn(static_cast<const char*>(data), static_cast<std::streamsize>(size)) !=
            static_cast<std::streamsize>(size))
        Fail("cannot write '" + mPath + "'", mBuffer->Failure() != 0 ? mBuffer->Failure() : EIO);
    return IsOpen();
}

std::ostream& SafeFileWriter::Stream()
{
    return mStream;
}

void SafeFileWriter::Fail(const std::string& what, int code)
{
    if (mFd >= 0)
        close(mFd);
    mFd = -1;
    mBuffer->SetDescriptor(-1);
    if (!mPartial.empty())
        unlink(mPartial.c_str());
    mPartial.clear();
    if (mError.empty())
        mError = what + ": " + std::strerror(code);
    mStream.setstate(std::ios::badbit);
}

bool SafeFileWriter::Commit()
{
    if (mFd < 0)
    {
        if (mError.empty())
            mError = "cannot write '" + mPath + "': already closed";
        return false;
    }
    const std::string cannotWrite = "cannot write '" + mPath + "'";
    // The stream's own state counts too: a caller's failed formatting is a
    // failed write.
    if (mStream.rdbuf()->pubsync() != 0 || mStream.fail())
    {
        Fail(cannotWrite, mBuffer->Failure() != 0 ? mBuffer->Failure() : EIO);
        return false;
    }
    if (fsync(mFd) != 0 && errno != EINVAL && errno != ENOTSUP)
    {
        Fail(cannotWrite, errno);
        return false;
    }
    // The target's mode as late as can be: a kill between this and the
    // rename is the one that leaves a side file its owner may be unable to
    // open (a mode that gives the owner neither reading nor writing).
    struct stat now;
    if (fstat(mFd, &now) != 0 || ((now.st_mode & 07777) != mMode && fchmod(mFd, mMode) != 0))
    {
        Fail(cannotWrite, errno);
        return false;
    }
    // A network file system may report a failed write only at the close.
    // A copy of the descriptor keeps the side file locked until it is
    // renamed, so that another save never takes it for a stale one.
    const int fd = mFd, lock = dup(fd);
    mFd = -1;
    mBuffer->SetDescriptor(-1);
    const auto release = [lock]
    {
        if (lock >= 0)
            close(lock);
    };
    if (close(fd) != 0)
    {
        const int code = errno;
        release();
        Fail(cannotWrite, code);
        return false;
    }
    const bool renamed = std::rename(mPartial.c_str(), mTarget.c_str()) == 0;
    const int code = errno;
    release();
    if (!renamed)
    {
        Fail("cannot replace '" + mPath + "'", code);
        return false;
    }
    mPartial.clear();
    // The rename itself reaches the disk only with its folder: without this
    // a power cut could bring the old file back after a reported success.
    SyncFolderOf(mTarget);
    return true;
}

void SafeFileWriter::Abandon()
{
    if (mFd >= 0 || !mPartial.empty())
        Fail("cannot write '" + mPath + "'", ECANCELED);
}

bool SafeFileWriter::WriteFile(const std::string& path, const std::string& bytes, std::string* error,
                               std::string* reason)
{
    SafeFileWriter file(path);
    const bool ok = file.Write(bytes) && file.Commit();
    if (!ok && error)
        *error = file.GetError();
    if (!ok && reason)
        *reason = file.GetReason();
    return ok;
}
