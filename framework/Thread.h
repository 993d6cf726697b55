#pragma once

#include "framework/Platform.h"

// Worker threads, for work that must not hold up the window's thread. A
// worker runs detached: nobody waits for it to end, and the process may end
// while one is still inside a read that never returns. What a worker shares
// with other threads it reaches through its parameter, and keeps alive
// itself (a reference count), never through an object on another thread's
// stack. One source per platform: ThreadWin32.cpp and ThreadPosix.cpp.

typedef void (*AFX_WORKERPROC)(void* pParam);

// Starts pfnWorker(pParam) on a new thread. FALSE when the system could not
// make one: the caller then does the work on fewer threads, or itself.
BOOL AfxBeginWorkerThread(AFX_WORKERPROC pfnWorker, void* pParam);

// Milliseconds on a steady clock finer than the system tick (which moves in
// steps of 10 to 16 ms): for telling how long a worker's read took.
double AfxSteadyMs();
