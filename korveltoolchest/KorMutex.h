#pragma once

#include <mutex>

// A value guarded by its own mutex: every read and write takes the mutex for
// the access alone, so no lock is ever held across a call into other code.
template <class T> class KorMutex
{
public:
    explicit KorMutex(const T& value = T()) : m_value(value) {}
    KorMutex(const KorMutex&) = delete;
    KorMutex& operator=(const KorMutex&) = delete;
    virtual ~KorMutex() = default;

    T Get() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_value;
    }
    void Set(const T& value)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_value = value;
    }

private:
    T m_value;
    mutable std::mutex m_mutex;
};
