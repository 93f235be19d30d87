#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// The readers take file names: each input goes through one temporary file per
// process, rewritten for every run. Library failure lines go to /dev/null so
// that they do not slow the run down.
class FuzzFile
{
public:
    explicit FuzzFile(const char* extension)
        : mPath((std::filesystem::temp_directory_path() /
                 ("vorn_fuzz_" + std::to_string(static_cast<long>(getpid())) + extension))
                    .string())
    {
        std::freopen("/dev/null", "w", stdout);
    }
    ~FuzzFile() { std::remove(mPath.c_str()); }

    const std::string& Write(const std::uint8_t* data, std::size_t size)
    {
        std::FILE* f = std::fopen(mPath.c_str(), "wb");
        if (f)
        {
            std::fwrite(data, 1, size, f);
            std::fclose(f);
        }
        return mPath;
    }

private:
    std::string mPath;
};
