#pragma once

#include <string>
#include <vector>

// The one exception type of the libraries, thrown by value. A catching level
// builds its own exception, chains the caught one with operator<<, and throws
// again, so the outermost context comes first in the message list.
class KorException
{
public:
    enum eExceptionType : int
    {
        WARNING = 0,
        ERROR = 1,
        FATAL_ERROR = 2
    };

    KorException(const std::string& message, eExceptionType type);
    KorException(const KorException&) = default;
    KorException& operator=(const KorException&) = default;

    eExceptionType GetType() const { return m_type; }
    const std::vector<std::string>& GetMessages() const { return m_messages; }

    // Keeps the more severe type and appends the other's messages in order.
    KorException& operator<<(const KorException& other);

    // The type's header, then each message on its own line; no final newline.
    void ToString(std::string& out) const;

private:
    eExceptionType m_type;
    std::vector<std::string> m_messages;
};

// From this call on, a hardware fault of the calling thread (integer
// division by zero, access through an invalid address: SIGFPE, SIGSEGV,
// SIGBUS) throws KorException of type ERROR, "The Win32 exception <signal
// number>has been detected", where the fault happened. Only code compiled
// with -fnon-call-exceptions can be unwound from a faulting instruction;
// elsewhere the throw ends the process. Other threads keep their faults
// as signals.
void SetSETranslator();

// The libraries' non-exceptional failure report: one line on standard output,
// "<origin> -> <text>", flushed. Origin is "Class::Method" or a function name.
// Inside a computation that holds its lines (KorReportHold) the line is kept
// by the hold instead.
void KorReport(const std::string& origin, const std::string& text);
// An informational line: "INFO : <text>", flushed.
void KorInfo(const std::string& text);
