#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// String and path functions on byte strings. Text inside the program is
// UTF-8; bytes that are not valid UTF-8 (legacy single-byte text from DXF,
// CSV or message files) are read as Windows-1252.

// Decoded text as a new zero-terminated wide array of text.size() + 1 units
// (every unit past the decoded characters is 0). Free with delete[].
wchar_t* StringToWCHAR(const std::string& text);
// The text as UTF-8, in a new zero-terminated array of exactly the UTF-8
// length plus the terminator. Free with delete[].
char* StringToUTF8(const std::string& text);
// Valid UTF-8 is kept as it is; other bytes are turned into the UTF-8 of
// their Windows-1252 character.
void UTF8ToString(std::string& text);

// One line without its end; the '\r' of a CR LF line end is dropped, so
// files edited on Windows read the same. False when no line could be read
// (end of the stream or a failed stream).
bool ReadTextLine(std::istream& stream, std::string& line);

// The text as a message quotes it: at most maxBytes of it, cut on a UTF-8
// character boundary and marked with "…" when cut, each NUL byte written as
// "\0". Messages that quote a file's line or a typed piece stay small however
// long the input.
std::string MessageExcerpt(std::string_view text, std::size_t maxBytes = 200);

void ReplaceChar(std::string& text, char from, char to);
void DeleteChar(std::string& text, char c);
void ToLower(std::string& text);
void ToUpper(std::string& text);

// Pieces between separators, in order; empty pieces are dropped.
void ParseString(const std::string& text, std::vector<std::string>& out, char separator);
// The same with a whole-string separator. An empty text gives one empty
// piece; an empty separator gives the text as its one piece.
void ParseString(const std::string& text, std::vector<std::string>& out, const std::string& separator);

// Path functions: '/' and '\' both separate; only the last path component
// holds an extension.
std::string GetExtension(const std::string& path);
void ForceExtension(std::string& path, const std::string& extension);
std::string GetFileRadical(const std::string& path);
std::string GetFileFromPath(const std::string& path);
std::string GetFolderFromPath(const std::string& path);

// Wildcard match where '*' stands for any run of characters (the empty run
// included). An empty text or pattern never matches.
bool CompareRegularExpression(const std::string& text, const std::string& pattern);
bool CompareRegularExpressionWithoutCase(const std::string& text, const std::string& pattern);

// Byte-wise comparison of two std::string, for C-style sort callbacks.
int qsortString(const void* a, const void* b);
void SortStringVector(std::vector<std::string>& strings);
// Binary search in a vector sorted by SortStringVector; null when absent.
std::string* GetStringInSortedVector(const std::string& key, std::vector<std::string>& strings);

// The current directory, or an empty string when it cannot be read.
std::string GetWorkingDirectory();
void SetWorkingDirectory(const std::string& path);
