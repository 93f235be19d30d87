#include "KorLibrary.h"

#include "KorException.h"

#include <dlfcn.h>

namespace
{
// Closes the listed libraries at process exit (or when this library is unloaded).
struct LibraryList
{
    std::vector<std::string> names;
    ~LibraryList()
    {
        for (const std::string& name : names)
            KorCloseLibrary(name);
    }
};

LibraryList& List()
{
    static LibraryList list;
    return list;
}

// Registered by static initialisation so the list outlives its users.
const bool kRegistered = (List(), true);
} // namespace

std::vector<std::string>& KorGetLibraryList()
{
    return List().names;
}

void KorCloseLibrary(const std::string& name)
{
    // RTLD_NOLOAD finds a loaded library without loading it; the handle it
    // returns holds one more reference, released first.
    void* handle = dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle)
    {
        KorReport("KorCloseLibrary",
                  "Impossible to close the library '" + name + "' because it is impossible to find");
        return;
    }
    dlclose(handle);
    if (dlclose(handle) != 0)
    {
        const char* why = dlerror();
        KorReport("KorCloseLibrary", "Impossible to close the library '" + name +
                                         "' : Error code value = " + (why ? why : "unknown"));
    }
}
