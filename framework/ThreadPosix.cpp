#include "framework/Thread.h"

#include <new>
#include <pthread.h>
#include <time.h>

namespace {

struct WorkerStart
{
    AFX_WORKERPROC pfnWorker;
    void* pParam;
};

void* WorkerMain(void* pStart)
{
    const WorkerStart start = *static_cast<WorkerStart*>(pStart);
    delete static_cast<WorkerStart*>(pStart);
    start.pfnWorker(start.pParam);
    return nullptr;
}

}  // namespace

double AfxSteadyMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000 + static_cast<double>(now.tv_nsec) / 1e6;
}

BOOL AfxBeginWorkerThread(AFX_WORKERPROC pfnWorker, void* pParam)
{
    WorkerStart* start = new (std::nothrow) WorkerStart{pfnWorker, pParam};
    if (start == nullptr)
        return FALSE;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, &WorkerMain, start) != 0) {
        delete start;
        return FALSE;
    }
    pthread_detach(thread);
    return TRUE;
}
