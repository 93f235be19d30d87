#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// A worker thread whose body a derived class supplies. The body should test
// IsStopRequested now and then and return when it is set; there is no forced
// termination.
//
// The running and stop flags live in a block shared by the object and its
// thread, so the thread's last writes never reach a destroyed object. Kill
// and the destructor request a stop and wait for the body to return, so a
// body that ignores the request blocks them. The base destructor runs after
// the derived part is gone: a derived class whose body uses its own members
// must call Kill in its destructor.
class KorThread
{
public:
    explicit KorThread(int userValue = 0);
    KorThread(const KorThread&) = delete;
    KorThread& operator=(const KorThread&) = delete;
    virtual ~KorThread();

    // Runs the body on a new thread. A previous body is first stopped as by
    // Wait, and, if it still runs, waited for: two bodies never share the object.
    bool Start();
    bool IsRunning() const;
    // Suspends the calling thread when a thread was started; else returns at once.
    void SleepThread(unsigned long milliseconds);
    // Requests a stop and waits at most 500 ms. When the body has returned
    // the object is idle; otherwise it stays running (and stop requested)
    // until the body returns.
    void Wait();
    // From the body: ends it at once (it unwinds to the thread's entry, so
    // destructors run; a body must not swallow it with catch (...)).
    void Exit();
    // Requests a stop and waits, without limit, for the body to return.
    void Kill();

protected:
    virtual void Run() = 0;
    bool IsStopRequested() const;
    int GetUserValue() const { return m_userValue; }

    struct Flags
    {
        std::mutex mutex;
        std::condition_variable finished;
        bool running = false;
        bool stop = false;
    };
    static void ThreadCallback(KorThread* self, std::shared_ptr<Flags> flags);

private:
    void RequestStop();
    void Reset();

    std::shared_ptr<Flags> m_flags;
    std::thread m_thread;
    int m_userValue;
};
