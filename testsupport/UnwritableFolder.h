#pragma once

#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs check where folder takes no new file while file, inside it, stays
// writable; true when check returned true. A user who may not write the
// folder: the test itself, with the folder made read-only, or, when the
// test is the superuser (who may write any folder), a child process of the
// unprivileged user "nobody", who is given the file. The child ends with
// check, so check must report through its result alone.
inline bool RunWithUnwritableFolder(const std::string& folder, const std::string& file,
                                    const std::function<bool()>& check)
{
    if (geteuid() != 0)
    {
        if (chmod(folder.c_str(), 0555) != 0)
            return false;
        const bool passed = check();
        chmod(folder.c_str(), 0755);
        return passed;
    }
    const uid_t nobody = 65534;
    if (chmod(folder.c_str(), 0755) != 0 || chown(file.c_str(), nobody, nobody) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0)
        _exit(setgid(nobody) == 0 && setuid(nobody) == 0 && access(file.c_str(), W_OK) == 0 && check() ? 0
                                                                                                       : 1);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
