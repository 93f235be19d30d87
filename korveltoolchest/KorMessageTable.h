#pragma once

#include <map>
#include <string>

// Messages looked up by key in one language, loaded from a delimited text
// file: a header line naming the languages (cell 0 titles the key column),
// then one key and its messages per line. Cells are split with ParseString,
// so an empty cell vanishes and the cells after it move one column left.
// Lines end with LF or CRLF and may be of any length.
class KorMessageTable
{
public:
    KorMessageTable(const std::string& file, const std::string& language);
    KorMessageTable(const KorMessageTable&) = default;
    KorMessageTable& operator=(const KorMessageTable&) = default;
    virtual ~KorMessageTable() = default;

    // Adds the file's messages in the language's column (column 1 when the
    // language names none) to those already loaded; a key met again takes
    // the later message. False, with one printed line, when the file cannot
    // be opened.
    bool LoadTable(const std::string& file, const std::string& language);

    // The message of the key, or an empty string.
    const std::string& GetMsg(const std::string& key) const;
    // The index-th message or key in key order (byte order), or an empty
    // string when the index is out of range. O(index).
    const std::string& GetMsg(int index) const;
    const std::string& GetKey(int index) const;

    char GetSeparator() const { return m_separator; }
    void SetSeparator(char separator) { m_separator = separator; }
    bool IsTableLoaded() const { return m_loaded; }

private:
    void InitKorMessageTable();

    char m_separator = ';';
    std::map<std::string, std::string> m_messages;
    bool m_loaded = false;
};
