#pragma once

#include "framework/Thread.h"

#include <deque>
#include <functional>
#include <memory>

// The commands' file work (writing the work file, saving, deleting), one job
// at a time in the order given, on a thread of its own: the window's thread
// never waits on a disk or a share. The thread starts with the first job and
// ends when none is left; a job that never returns holds back the jobs after
// it, and nothing else. Tickets count the jobs given, from 1.
class CFileWork
{
public:
    CFileWork(std::function<BOOL(std::function<void()> work)> beginThread, std::function<double()> now);

    // Queues job; 0 when no thread could be had, and then it never runs.
    unsigned Add(std::function<void()> job);
    bool IsDone(unsigned ticket) const;
    // The job of ticket has not ended, and the jobs have gone without an end
    // for longer than ms.
    bool IsStalled(unsigned ticket, double ms) const;
    bool IsIdle() const;

private:
    struct Shared
    {
        CCriticalSection lock;  // over the rest
        std::deque<std::function<void()>> jobs;
        unsigned done = 0;
        bool running = false;
        double sinceMs = 0;  // the last job's end, or the first's start
    };
    static void RunJobs(const std::shared_ptr<Shared>& shared, const std::function<double()>& now);

    const std::function<BOOL(std::function<void()> work)> m_beginThread;
    const std::function<double()> m_now;
    // The thread keeps it alive: a job that never returns pins this alone.
    const std::shared_ptr<Shared> m_shared;
    unsigned m_nGiven = 0;  // the caller's alone
};
