#include "KorNumbers.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace
{
// One "C" locale object for the whole process, made on first use.
locale_t CLocale()
{
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}
} // namespace

double KorAtof(const char* text)
{
    if (!text)
        return 0.0;
    return strtod_l(text, nullptr, CLocale());
}

int KorAtoi(const char* text)
{
    if (!text)
        return 0;
    const long v = strtol_l(text, nullptr, 10, CLocale());
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

std::string KorFormatDouble(double value)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string KorFormatFloat(float value)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string KorFormatFixed(double value, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    char buf[512];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())
        return KorFormatDouble(value);
    return std::string(buf, r.ptr);
}
