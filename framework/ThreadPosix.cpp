#include "framework/Thread.h"

#include <new>
#include <time.h>
#include <utility>

namespace {

void* WorkerMain(void* pWork)
{
    std::function<void()>* work = static_cast<std::function<void()>*>(pWork);
    try {
        (*work)();
    } catch (...) {
        // Nothing leaves a worker: the work reports its own failures.
    }
    delete work;
    return nullptr;
}

}  // namespace

double AfxSteadyMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000 + static_cast<double>(now.tv_nsec) / 1e6;
}

void AfxSleep(DWORD ms)
{
    const timespec wait = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    nanosleep(&wait, nullptr);
}

BOOL AfxBeginWorkerThread(std::function<void()> work)
{
    std::function<void()>* start = new (std::nothrow) std::function<void()>(std::move(work));
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

CCriticalSection::CCriticalSection()
{
    pthread_mutex_init(&m_mutex, nullptr);
}

CCriticalSection::~CCriticalSection()
{
    pthread_mutex_destroy(&m_mutex);
}

void CCriticalSection::Lock()
{
    pthread_mutex_lock(&m_mutex);
}

void CCriticalSection::Unlock()
{
    pthread_mutex_unlock(&m_mutex);
}
