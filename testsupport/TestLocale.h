#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>

// Takes the process locale from the environment, as the toolkit does at
// start-up. False, with a line on standard error, when LC_ALL names a locale
// that is not installed: the run under LC_ALL=fr_FR.UTF-8 would otherwise
// pass in the "C" locale and check nothing.
inline bool TakeLocaleFromEnvironment()
{
    if (std::setlocale(LC_ALL, ""))
        return true;
    const char* wanted = std::getenv("LC_ALL");
    if (!wanted || !*wanted)
        return true;
    std::fprintf(stderr, "The locale '%s' is not installed: this run would not test it.\n", wanted);
    return false;
}
