#include "framework/Thread.h"

#include <new>
#include <process.h>

namespace {

// A worker reads files and strings, never deep recursion: a small stack lets
// many workers (a load per keystroke on a share that does not answer) live
// in a 32-bit address space.
const unsigned kStackReserve = 256 * 1024;

struct WorkerStart
{
    AFX_WORKERPROC pfnWorker;
    void* pParam;
};

unsigned __stdcall WorkerMain(void* pStart)
{
    const WorkerStart start = *static_cast<WorkerStart*>(pStart);
    delete static_cast<WorkerStart*>(pStart);
    start.pfnWorker(start.pParam);
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

BOOL AfxBeginWorkerThread(AFX_WORKERPROC pfnWorker, void* pParam)
{
    WorkerStart* start = new (std::nothrow) WorkerStart{pfnWorker, pParam};
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
