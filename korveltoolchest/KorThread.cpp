#include "KorThread.h"

#include "KorException.h"

#include <chrono>
#include <system_error>

namespace
{
// Thrown by Exit and caught only at the thread's entry.
struct ExitToken
{
};
} // namespace

KorThread::KorThread(int userValue) : m_userValue(userValue)
{
}

KorThread::~KorThread()
{
    if (IsRunning())
    {
        KorReport("KorThread::~KorThread",
                  "Thread destroyed before it is finished ! This may cause memory leaks.");
        Kill();
    }
    Reset();
}

void KorThread::ThreadCallback(KorThread* self, std::shared_ptr<Flags> flags)
{
    try
    {
        self->Run();
    }
    catch (const ExitToken&)
    {
    }
    {
        std::lock_guard<std::mutex> lock(flags->mutex);
        flags->running = false;
        flags->stop = false;
    }
    flags->finished.notify_all();
}

bool KorThread::Start()
{
    if (m_flags)
    {
        Wait();
        Kill();
    }
    auto flags = std::make_shared<Flags>();
    flags->running = true;
    m_flags = flags;
    try
    {
        m_thread = std::thread(&KorThread::ThreadCallback, this, flags);
    }
    catch (const std::system_error&)
    {
        m_flags.reset();
        KorReport("KorThread::Start", "Impossible to create a thread");
        return false;
    }
    return true;
}

bool KorThread::IsRunning() const
{
    if (!m_flags)
        return false;
    std::lock_guard<std::mutex> lock(m_flags->mutex);
    return m_flags->running;
}

bool KorThread::IsStopRequested() const
{
    if (!m_flags)
        return false;
    std::lock_guard<std::mutex> lock(m_flags->mutex);
    return m_flags->stop;
}

void KorThread::SleepThread(unsigned long milliseconds)
{
    if (m_flags)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void KorThread::RequestStop()
{
    std::lock_guard<std::mutex> lock(m_flags->mutex);
    if (m_flags->running)
        m_flags->stop = true;
}

void KorThread::Wait()
{
    if (!m_flags)
        return;
    RequestStop();
    std::unique_lock<std::mutex> lock(m_flags->mutex);
    if (!m_flags->finished.wait_for(lock, std::chrono::milliseconds(500),
                                    [this] { return !m_flags->running; }))
        return;
    lock.unlock();
    Reset();
}

void KorThread::Kill()
{
    if (!m_flags)
        return;
    RequestStop();
    {
        std::unique_lock<std::mutex> lock(m_flags->mutex);
        m_flags->finished.wait(lock, [this] { return !m_flags->running; });
    }
    Reset();
}

void KorThread::Exit()
{
    if (IsRunning())
        throw ExitToken();
}

void KorThread::Reset()
{
    // Only called once the body has returned: the join is at most the
    // thread's last few instructions.
    if (m_thread.joinable())
        m_thread.join();
    m_flags.reset();
}
