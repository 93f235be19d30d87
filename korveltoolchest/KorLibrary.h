#pragma once

#include <string>
#include <vector>

// Shared libraries that the utility library closes when it is unloaded,
// in order. Empty unless a caller fills it.
std::vector<std::string>& KorGetLibraryList();

// Unloads a library that is already loaded, by the name it was loaded with;
// prints one line when it is not loaded or cannot be unloaded.
void KorCloseLibrary(const std::string& name);
