#pragma once

#include <condition_variable>
#include <mutex>

// An auto-reset event: Send releases one waiter, or the next one to wait
// when nobody waits yet; a second Send before that wait changes nothing.
class KorEvent
{
public:
    KorEvent() = default;
    KorEvent(const KorEvent&) = delete;
    KorEvent& operator=(const KorEvent&) = delete;
    virtual ~KorEvent() = default;

    void Send();
    // Blocks until the event is signalled, then resets it.
    void Wait();

private:
    std::mutex m_mutex;
    std::condition_variable m_signal;
    bool m_signalled = false;
};
