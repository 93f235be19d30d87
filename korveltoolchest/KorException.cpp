#include "KorException.h"

#include "KorReportHold.h"

#include <csignal>
#include <mutex>
#include <string>

#include <signal.h>

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

namespace
{
// Hardware faults reach a POSIX process as signals, whose handlers are the
// process's. The translation is asked for per thread: a thread that did
// not ask leaves its faults to whatever handled them before (the default
// action, or a sanitizer's report).
thread_local bool tTranslates = false;
// Set while a fault is being turned into an exception: a second fault then
// ends the process rather than looping through the handler.
thread_local bool tTranslating = false;

constexpr int kFaults[] = {SIGFPE, SIGSEGV, SIGBUS};
struct sigaction gPrevious[3];
std::once_flag gInstalled;

int Slot(int signal)
{
    return signal == SIGFPE ? 0 : signal == SIGSEGV ? 1 : 2;
}

// Hands the signal to the handler that stood before ours.
void PassOn(int signal, siginfo_t* info, void* context)
{
    const struct sigaction& previous = gPrevious[Slot(signal)];
    if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr)
    {
        previous.sa_sigaction(signal, info, context);
        return;
    }
    if ((previous.sa_flags & SA_SIGINFO) == 0 && previous.sa_handler != SIG_DFL &&
        previous.sa_handler != SIG_IGN)
    {
        previous.sa_handler(signal);
        return;
    }
    // The default action. A fault happens again when the handler returns
    // and then ends the process; a signal sent by kill is raised again.
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(signal, &standard, nullptr);
    if (info == nullptr || info->si_code <= 0)
        raise(signal);
}

void Translate(int signal, siginfo_t* info, void* context)
{
    // Only a fault of this very thread's code is translated, never a
    // signal another process sent.
    if (!tTranslates || tTranslating || info == nullptr || info->si_code <= 0)
    {
        PassOn(signal, info, context);
        return;
    }
    tTranslating = true;
    KorException fault("The Win32 exception " + std::to_string(signal) + "has been detected",
                       KorException::ERROR);
    tTranslating = false;
    // The handler is left by this throw, through the signal's frame, into
    // the faulting code; that code's unwind tables must cover the faulting
    // instruction (GCC's -fnon-call-exceptions), or the throw finds no
    // handler and the process ends in std::terminate. The signal is not
    // blocked in the handler (SA_NODEFER), so nothing is left blocked.
    throw fault;
}

void InstallHandlers()
{
    struct sigaction action = {};
    action.sa_sigaction = Translate;
    // On the thread's alternate stack when it has one, so that a stack
    // overflow still reaches the sanitizer's handler.
    action.sa_flags = SA_SIGINFO | SA_NODEFER | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kFaults)
        sigaction(signal, &action, &gPrevious[Slot(signal)]);
}
} // namespace

void SetSETranslator()
{
    std::call_once(gInstalled, InstallHandlers);
    tTranslates = true;
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
