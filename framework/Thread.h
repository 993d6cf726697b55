#pragma once

#include "framework/Platform.h"

#include <functional>

#ifndef _WIN32
#include <pthread.h>
#endif

// Worker threads, for work that must not hold up the window's thread. A
// worker runs detached: nobody waits for it to end, and the process may end
// while one is still inside a read that never returns. What a worker shares
// with other threads it keeps alive itself (a std::shared_ptr it holds),
// never an object on another thread's stack. A worker never throws past its
// own frame. One source per platform: ThreadWin32.cpp and ThreadPosix.cpp.

// Starts work() on a new thread. FALSE when the system could not make one,
// or there was no memory to hand the work over: the caller does without.
BOOL AfxBeginWorkerThread(std::function<void()> work);

// Milliseconds on a steady clock finer than the system tick (which moves in
// steps of 10 to 16 ms): for telling how long a worker's read took.
double AfxSteadyMs();

// Gives the processor to other threads for about ms milliseconds.
void AfxSleep(DWORD ms);

// A lock that one thread of the process holds at a time (XP has no
// condition variables; the waits that need one poll with AfxSleep).
class CCriticalSection
{
public:
    CCriticalSection();
    ~CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock();
    void Unlock();

private:
#ifdef _WIN32
    CRITICAL_SECTION m_section;
#else
    pthread_mutex_t m_mutex;
#endif
};

// Holds a CCriticalSection for its own lifetime.
class CSingleLock
{
public:
    explicit CSingleLock(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
    ~CSingleLock() { m_section.Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CCriticalSection& m_section;
};
