#include "AnyPointer.h"

#include "KorNumbers.h"
#include "KorString.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace
{
// Reads the line that follows a value into the caller's buffer.
bool ReadFollowingLine(std::istream& stream, char* buffer, int size)
{
    std::string line;
    if (!ReadTextLine(stream, line))
    {
        buffer[0] = '\0';
        return false;
    }
    if (line.size() >= static_cast<size_t>(size))
    {
        std::memcpy(buffer, line.data(), size - 1);
        buffer[size - 1] = '\0';
        return false;
    }
    std::memcpy(buffer, line.c_str(), line.size() + 1);
    return true;
}

// atof of the piece [begin, end) of a longer text, without copying it in the
// usual case: a piece that is exactly one decimal number is converted in
// place; any other piece gets atof's own answer.
double PieceToDouble(const char* begin, const char* end)
{
    double value = 0.0;
    const auto r = std::from_chars(begin, end, value);
    if (r.ec == std::errc() && r.ptr == end)
        return value;
    return KorAtof(std::string(begin, end));
}

// Calls convert on each non-empty piece between '|' separators, in order.
template <typename Convert> void ForEachPiece(const std::string& text, Convert convert)
{
    const char* p = text.c_str();
    const char* const end = p + text.size();
    while (p < end)
    {
        const char* bar = static_cast<const char*>(std::memchr(p, '|', end - p));
        const char* pieceEnd = bar ? bar : end;
        if (pieceEnd > p)
            convert(p, pieceEnd);
        p = pieceEnd + 1;
    }
}

bool EndsList(const std::string& line)
{
    return line.empty() || line[0] == '*' || line[0] == '_';
}

// The fixed text of the form when it reads back exactly, else the shortest
// text that does: 2.0 stays "2.000000", while 1e-9, or the digits of a
// coordinate past the fixed decimals, are not rounded away.
std::string ExactDouble(double value, int decimals)
{
    std::string text = KorFormatFixed(value, decimals);
    const double back = PieceToDouble(text.c_str(), text.c_str() + text.size());
    if (back == value || (back != back && value != value))
        return text;
    return KorFormatDouble(value);
}

// The same for a float, read back as Set reads it (through a double).
std::string ExactFloat(float value)
{
    const auto readsBack = [value](const std::string& text)
    {
        const float back = static_cast<float>(PieceToDouble(text.c_str(), text.c_str() + text.size()));
        return back == value || (back != back && value != value);
    };
    std::string text = KorFormatFixed(value, 3);
    if (readsBack(text))
        return text;
    text = KorFormatFloat(value);
    return readsBack(text) ? text : KorFormatDouble(value);
}

// Line-form escape of strings. A value line that a reader would take for a
// marker (one starting with '_' or '*'; in a list also an empty line) gets a
// '\' in front; so does a line of leading '\'s followed by such a marker or
// by nothing, so that the reader drops one '\' from exactly those lines. A
// '\' in front of anything else, as in a network path, is left as it is.
bool BackslashesThenMarker(const std::string& line)
{
    const size_t after = std::min(line.find_first_not_of('\\'), line.size());
    return after == line.size() || line[after] == '_' || line[after] == '*';
}

std::string EscapeLine(const std::string& text, bool inList)
{
    if (text.empty() ? inList : BackslashesThenMarker(text))
        return '\\' + text;
    return text;
}

void UnescapeLine(std::string& line)
{
    if (!line.empty() && line[0] == '\\' && BackslashesThenMarker(line))
        line.erase(0, 1);
}
} // namespace

AnyPointer::AnyPointer(const int* member, const std::string& name)
    : mTarget(member), mName(name), mType(ANY_INT)
{
}
AnyPointer::AnyPointer(const float* member, const std::string& name)
    : mTarget(member), mName(name), mType(ANY_FLOAT)
{
}
AnyPointer::AnyPointer(const double* member, const std::string& name)
    : mTarget(member), mName(name), mType(ANY_DOUBLE)
{
}
AnyPointer::AnyPointer(const bool* member, const std::string& name)
    : mTarget(member), mName(name), mType(ANY_BOOL)
{
}
AnyPointer::AnyPointer(const std::string* member, const std::string& name)
    : mTarget(member), mName(name), mType(ANY_STRING)
{
}
AnyPointer::AnyPointer(const LumPoint* member, const std::string& name)
    : mTarget(member), mName(name), mType(ANY_POINT)
{
}
AnyPointer::AnyPointer(const std::vector<std::string>* member, const std::string& name)
    : mTarget(member), mName(name), mType(ANY_STRING_VECTOR)
{
}
AnyPointer::AnyPointer(const std::vector<int>* member, const std::string& name)
    : mTarget(member), mName(name), mType(ANY_INT_VECTOR)
{
}
AnyPointer::AnyPointer(const std::vector<double>* member, const std::string& name)
    : mTarget(member), mName(name), mType(ANY_DOUBLE_VECTOR)
{
}

std::string AnyPointer::GetAsString() const
{
    std::string text;
    switch (mType)
    {
    case ANY_INT:
        return std::to_string(Target<int>());
    case ANY_FLOAT:
        return ExactFloat(Target<float>());
    case ANY_DOUBLE:
        return ExactDouble(Target<double>(), 6);
    case ANY_STRING:
        return Target<std::string>();
    case ANY_BOOL:
        return Target<bool>() ? "1" : "0";
    case ANY_POINT:
    {
        const LumPoint& p = Target<LumPoint>();
        return ExactDouble(p.x, 3) + "|" + ExactDouble(p.y, 3) + "|" + ExactDouble(p.z, 3);
    }
    case ANY_STRING_VECTOR:
        for (const std::string& s : Target<std::vector<std::string>>())
            text += s + "|";
        return text;
    case ANY_INT_VECTOR:
        for (int v : Target<std::vector<int>>())
            text += std::to_string(v) + "|";
        return text;
    case ANY_DOUBLE_VECTOR:
        for (double v : Target<std::vector<double>>())
            text += KorFormatDouble(v) + "|";
        return text;
    default:
        return text;
    }
}

void AnyPointer::Set(const std::string& text) const
{
    std::vector<std::string> pieces;
    switch (mType)
    {
    case ANY_INT:
        Target<int>() = KorAtoi(text);
        break;
    case ANY_FLOAT:
        Target<float>() = static_cast<float>(PieceToDouble(text.c_str(), text.c_str() + text.size()));
        break;
    case ANY_DOUBLE:
        Target<double>() = PieceToDouble(text.c_str(), text.c_str() + text.size());
        break;
    case ANY_STRING:
        Target<std::string>() = text;
        break;
    case ANY_BOOL:
        Target<bool>() = KorAtoi(text) != 0;
        break;
    case ANY_POINT:
    {
        double xyz[3];
        int n = 0;
        ForEachPiece(text,
                     [&](const char* b, const char* e)
                     {
                         if (n < 3)
                             xyz[n] = PieceToDouble(b, e);
                         ++n;
                     });
        if (n == 3)
            Target<LumPoint>().Define(xyz[0], xyz[1], xyz[2]);
        break;
    }
    case ANY_STRING_VECTOR:
        ParseString(text, pieces, '|');
        Target<std::vector<std::string>>() = std::move(pieces);
        break;
    case ANY_INT_VECTOR:
    {
        std::vector<int>& v = Target<std::vector<int>>();
        v.clear();
        ForEachPiece(text, [&v](const char* b, const char* e) { v.push_back(KorAtoi(std::string(b, e))); });
        break;
    }
    case ANY_DOUBLE_VECTOR:
    {
        std::vector<double>& v = Target<std::vector<double>>();
        v.clear();
        ForEachPiece(text, [&v](const char* b, const char* e) { v.push_back(PieceToDouble(b, e)); });
        break;
    }
    default:
        break;
    }
}

void AnyPointer::InsertIntoStream(std::ostream& stream) const
{
    switch (mType)
    {
    case ANY_INT:
        stream << std::to_string(Target<int>()) << std::endl;
        break;
    case ANY_FLOAT:
        stream << KorFormatFloat(Target<float>()) << std::endl;
        break;
    case ANY_DOUBLE:
        stream << KorFormatDouble(Target<double>()) << std::endl;
        break;
    case ANY_STRING:
        stream << EscapeLine(Target<std::string>(), false) << std::endl;
        break;
    case ANY_BOOL:
        stream << (Target<bool>() ? "1" : "0") << std::endl;
        break;
    case ANY_POINT:
    {
        const LumPoint& p = Target<LumPoint>();
        stream << KorFormatDouble(p.x) << std::endl
               << KorFormatDouble(p.y) << std::endl
               << KorFormatDouble(p.z) << std::endl;
        break;
    }
    case ANY_STRING_VECTOR:
        for (const std::string& s : Target<std::vector<std::string>>())
            stream << EscapeLine(s, true) << std::endl;
        break;
    case ANY_INT_VECTOR:
        for (int v : Target<std::vector<int>>())
            stream << std::to_string(v) << std::endl;
        break;
    case ANY_DOUBLE_VECTOR:
        for (double v : Target<std::vector<double>>())
            stream << KorFormatDouble(v) << std::endl;
        break;
    default:
        break;
    }
}

bool AnyPointer::Set(std::istream& stream, char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return false;
    std::string line;
    switch (mType)
    {
    case ANY_INT:
    case ANY_FLOAT:
    case ANY_DOUBLE:
    case ANY_STRING:
    case ANY_BOOL:
        if (!ReadTextLine(stream, line))
            return false;
        if (mType == ANY_DOUBLE)
            Target<double>() = KorAtof(line);
        else
        {
            if (mType == ANY_STRING)
                UnescapeLine(line);
            Set(line);
        }
        return ReadFollowingLine(stream, buffer, size);
    case ANY_POINT:
    {
        std::string y, z;
        if (!ReadTextLine(stream, line) || !ReadTextLine(stream, y) || !ReadTextLine(stream, z))
            return false;
        Target<LumPoint>().Define(KorAtof(line), KorAtof(y), KorAtof(z));
        return ReadFollowingLine(stream, buffer, size);
    }
    case ANY_STRING_VECTOR:
    case ANY_INT_VECTOR:
    case ANY_DOUBLE_VECTOR:
    {
        if (mType == ANY_STRING_VECTOR)
            Target<std::vector<std::string>>().clear();
        else if (mType == ANY_INT_VECTOR)
            Target<std::vector<int>>().clear();
        else
            Target<std::vector<double>>().clear();
        while (ReadTextLine(stream, line))
        {
            if (EndsList(line))
            {
                if (line.size() >= static_cast<size_t>(size))
                    return false;
                std::memcpy(buffer, line.c_str(), line.size() + 1);
                return true;
            }
            if (mType == ANY_STRING_VECTOR)
            {
                UnescapeLine(line);
                Target<std::vector<std::string>>().push_back(line);
            }
            else if (mType == ANY_INT_VECTOR)
                Target<std::vector<int>>().push_back(KorAtoi(line));
            else
                Target<std::vector<double>>().push_back(KorAtof(line));
        }
        buffer[0] = '\0';
        return false;
    }
    default:
        return false;
    }
}
