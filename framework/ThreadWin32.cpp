#include "framework/Thread.h"

#include <new>
#include <process.h>
#include <utility>

namespace {

// A worker reads files and strings, never deep recursion: a small stack lets
// many workers (a load per keystroke on a share that does not answer) live
// in a 32-bit address space.
const unsigned kStackReserve = 256 * 1024;

// _beginthreadex calls this with the C runtime's calling convention for
// thread procedures (__stdcall), which a lambda does not have on 32-bit.
unsigned __stdcall WorkerMain(void* pWork)
{
    std::function<void()>* work = static_cast<std::function<void()>*>(pWork);
    try {
        (*work)();
    } catch (...) {
        // Nothing leaves a worker: the work reports its own failures.
    }
    delete work;
    return 0;
}

}  // namespace

double AfxSteadyMs()
{
    // Both calls succeed on every Windows from XP on.
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000 / static_cast<double>(frequency.QuadPart);
}

void AfxSleep(DWORD ms)
{
    ::Sleep(ms);
}

BOOL AfxBeginWorkerThread(std::function<void()> work)
{
    std::function<void()>* start = new (std::nothrow) std::function<void()>(std::move(work));
    if (start == nullptr)
        return FALSE;
    // _beginthreadex rather than CreateThread: the C runtime sets up and
    // frees its per-thread data (errno, the exception state) with the
    // thread. The size is a reservation, not a commitment (XP has the flag).
    const uintptr_t thread =
        ::_beginthreadex(nullptr, kStackReserve, &WorkerMain, start, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == 0) {
        delete start;
        return FALSE;
    }
    // Detached: the thread runs on without anyone holding its handle.
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));
    return TRUE;
}

// From XP on, InitializeCriticalSection cannot fail (it no longer raises on
// low memory), and entering one never does.
CCriticalSection::CCriticalSection()
{
    ::InitializeCriticalSection(&m_section);
}

CCriticalSection::~CCriticalSection()
{
    ::DeleteCriticalSection(&m_section);
}

void CCriticalSection::Lock()
{
    ::EnterCriticalSection(&m_section);
}

void CCriticalSection::Unlock()
{
    ::LeaveCriticalSection(&m_section);
}
