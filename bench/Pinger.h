#pragma once

// Sends WM_NULL to a window again and again from a thread of its own and
// keeps the slowest answer: a window whose thread waits on a disk answers
// late. For the window tests and the benchmark.

#include "framework/Platform.h"

#include <algorithm>
#include <atomic>

class CPinger
{
public:
    // `intervalMs` between pings: short for a fine figure, longer where the
    // pings themselves would take the CPU the window needs.
    explicit CPinger(HWND window, DWORD intervalMs = 5)
        : m_window(window), m_intervalMs(intervalMs), m_thread(CreateThread(nullptr, 0, &Run, this, 0, nullptr))
    {
    }
    ~CPinger()
    {
        m_stop = true;
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    CPinger(const CPinger&) = delete;
    CPinger& operator=(const CPinger&) = delete;

    DWORD SlowestMs() const { return m_slowestMs; }
    // Pings not answered within five seconds, when Windows calls a window
    // "Not Responding".
    LONG Unanswered() const { return m_unanswered; }

private:
    static DWORD WINAPI Run(void* pPinger)
    {
        CPinger& pinger = *static_cast<CPinger*>(pPinger);
        while (!pinger.m_stop) {
            const DWORD start = GetTickCount();
            DWORD_PTR result;
            if (!SendMessageTimeoutA(pinger.m_window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result))
                ++pinger.m_unanswered;
            pinger.m_slowestMs = std::max<DWORD>(pinger.m_slowestMs, GetTickCount() - start);
            Sleep(pinger.m_intervalMs);  // between pings, not in one
        }
        return 0;
    }

    const HWND m_window;
    const DWORD m_intervalMs;
    std::atomic<bool> m_stop{false};
    std::atomic<DWORD> m_slowestMs{0};
    std::atomic<LONG> m_unanswered{0};
    const HANDLE m_thread;
};
