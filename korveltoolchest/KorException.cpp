#include "KorException.h"

#include "KorReportHold.h"

KorException::KorException(const std::string& message, eExceptionType type)
    : m_type(type), m_messages{message}
{
}

KorException& KorException::operator<<(const KorException& other)
{
    if (static_cast<int>(other.m_type) > static_cast<int>(m_type))
        m_type = other.m_type;
    m_messages.insert(m_messages.end(), other.m_messages.begin(), other.m_messages.end());
    return *this;
}

void KorException::ToString(std::string& out) const
{
    switch (static_cast<int>(m_type))
    {
    case WARNING:
        out = "  --EXCEPTION WARNING--";
        break;
    case ERROR:
        out = "  --EXCEPTION ERROR--";
        break;
    case FATAL_ERROR:
        out = "  --EXCEPTION FATAL ERROR--";
        break;
    default:
        out = "  --EXCEPTION UNKNOWN--";
        break;
    }
    for (const std::string& m : m_messages)
    {
        out += '\n';
        out += m;
    }
}

void SetSETranslator()
{
}

#include <iostream>

void KorReport(const std::string& origin, const std::string& text)
{
    if (KorReportHold::Take(origin + " -> " + text))
        return;
    std::cout << origin << " -> " << text << std::endl;
}

void KorInfo(const std::string& text)
{
    std::cout << "INFO : " << text << std::endl;
}
