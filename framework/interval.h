// Work that is to happen at most once per interval, however often it is
// asked for: each question costs one read of the performance counter.
#pragma once

#include <windows.h>

class CInterval {
public:
    explicit CInterval(UINT nMilliseconds)
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        m_llLength = frequency.QuadPart * nMilliseconds / 1000;
    }

    // TRUE the first time and whenever the interval has passed since the
    // last TRUE; the next interval starts with it.
    bool Elapsed()
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (now.QuadPart < m_llNext)
            return false;
        m_llNext = now.QuadPart + m_llLength;
        return true;
    }

private:
    LONGLONG m_llLength;
    LONGLONG m_llNext = 0;
};
