#include "KorMessageTable.h"

#include "KorException.h"
#include "KorString.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace
{
const std::string kEmpty;
} // namespace

KorMessageTable::KorMessageTable(const std::string& file, const std::string& language)
{
    InitKorMessageTable();
    LoadTable(file, language);
}

void KorMessageTable::InitKorMessageTable()
{
    m_separator = ';';
    m_loaded = false;
}

bool KorMessageTable::LoadTable(const std::string& file, const std::string& language)
{
    m_loaded = false;
    std::ifstream in(file, std::ios::in | std::ios::binary);
    if (!in.is_open())
    {
        KorReport("KorMessageTable::LoadTable", "Impossible to open the file '" + file + "'");
        return false;
    }
    size_t column = 1;
    bool header = true;
    std::vector<std::string> cells;
    for (std::string line; ReadTextLine(in, line);)
    {
        ParseString(line, cells, m_separator);
        if (header)
        {
            header = false;
            for (size_t i = 1; i < cells.size() && !language.empty(); ++i)
            {
                if (cells[i] == language)
                {
                    column = i;
                    break;
                }
            }
            continue;
        }
        if (cells.empty())
            continue;
        m_messages[cells[0]] = column < cells.size() ? cells[column] : std::string();
    }
    m_loaded = true;
    return true;
}

const std::string& KorMessageTable::GetMsg(const std::string& key) const
{
    const auto it = m_messages.find(key);
    return it == m_messages.end() ? kEmpty : it->second;
}

const std::string& KorMessageTable::GetMsg(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_messages.size())
        return kEmpty;
    return std::next(m_messages.begin(), index)->second;
}

const std::string& KorMessageTable::GetKey(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_messages.size())
        return kEmpty;
    return std::next(m_messages.begin(), index)->first;
}
