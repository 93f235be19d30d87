#include "KorInputFile.h"

#include <cerrno>
#include <streambuf>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string SystemError(int code)
{
    return std::error_code(code, std::generic_category()).message();
}
} // namespace

// Reads the descriptor in blocks; a failed read ends the stream and is kept.
class KorInputFile::Buffer : public std::streambuf
{
public:
    explicit Buffer(int fd) : mFd(fd), mData(1 << 16) {}
    ~Buffer() override { close(mFd); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    int ReadError() const { return mError; }

protected:
    int_type underflow() override
    {
        if (gptr() < egptr())
            return traits_type::to_int_type(*gptr());
        if (mError != 0)
            return traits_type::eof();
        ssize_t n;
        do
            n = read(mFd, mData.data(), mData.size());
        while (n < 0 && errno == EINTR);
        if (n <= 0)
        {
            if (n < 0)
                mError = errno != 0 ? errno : EIO;
            return traits_type::eof();
        }
        setg(mData.data(), mData.data(), mData.data() + n);
        return traits_type::to_int_type(*gptr());
    }

private:
    int mFd;
    std::vector<char> mData;
    int mError = 0;
};

KorInputFile::KorInputFile() : mStream(nullptr)
{
}

KorInputFile::~KorInputFile()
{
    mStream.rdbuf(nullptr);
}

bool KorInputFile::Open(const std::string& path)
{
    mStream.rdbuf(nullptr);
    mBuffer.reset();
    mError.clear();

    // The path is looked at before it is opened, so that opening a device
    // has no side effect, and the open file again, in case the path changed
    // in between. O_NONBLOCK keeps the open of a pipe from waiting.
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
    {
        mError = "it cannot be opened (" + SystemError(errno) + ")";
        return false;
    }
    if (!S_ISREG(info.st_mode))
    {
        mError = "it is not a regular file";
        return false;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        mError = "it cannot be opened (" + SystemError(errno) + ")";
        return false;
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        close(fd);
        mError = "it is not a regular file";
        return false;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    mBuffer = std::make_unique<Buffer>(fd);
    mStream.rdbuf(mBuffer.get());
    mStream.clear();
    return true;
}

bool KorInputFile::IsRegularFile(const std::string& path)
{
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool KorInputFile::IsOpen() const
{
    return mBuffer != nullptr;
}

bool KorInputFile::ReadFailed() const
{
    return mBuffer != nullptr && mBuffer->ReadError() != 0;
}

std::string KorInputFile::GetError() const
{
    if (ReadFailed())
        return "a read failed (" + SystemError(mBuffer->ReadError()) + ")";
    return mError;
}
