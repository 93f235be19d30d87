#include "KorEvent.h"

void KorEvent::Send()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signalled = true;
    }
    m_signal.notify_one();
}

void KorEvent::Wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_signal.wait(lock, [this] { return m_signalled; });
    m_signalled = false;
}
