#pragma once

#include <string>

// Locale-independent number reading and writing. The process locale may use a
// decimal comma (the toolkit sets it from the environment); files and typed
// values always use the "C" convention, and nothing here touches the process
// locale.

// atof semantics in the "C" locale: leading blanks skipped, the longest
// numeric prefix read, 0 when there is none.
double KorAtof(const char* text);
inline double KorAtof(const std::string& text)
{
    return KorAtof(text.c_str());
}
// atoi semantics in the "C" locale; out-of-range values clamp to int's range.
int KorAtoi(const char* text);
inline int KorAtoi(const std::string& text)
{
    return KorAtoi(text.c_str());
}

// The shortest text that reads back to exactly the same value.
std::string KorFormatDouble(double value);
std::string KorFormatFloat(float value);
// Fixed notation with the given number of decimals ("%.*f" in the "C" locale).
std::string KorFormatFixed(double value, int decimals);
