#include "playlist/FileWork.h"

#include <utility>

CFileWork::CFileWork(std::function<BOOL(std::function<void()> work)> beginThread, std::function<double()> now)
    : m_beginThread(std::move(beginThread)), m_now(std::move(now)), m_shared(std::make_shared<Shared>())
{
}

unsigned CFileWork::Add(std::function<void()> job)
{
    bool start;
    {
        CSingleLock lock(m_shared->lock);
        m_shared->jobs.push_back(std::move(job));
        start = !m_shared->running;
        if (start) {
            m_shared->running = true;
            m_shared->sinceMs = m_now();
        }
    }
    if (start) {
        const std::shared_ptr<Shared> shared = m_shared;
        const std::function<double()> now = m_now;
        if (!m_beginThread([shared, now] { RunJobs(shared, now); })) {
            // Only this job waited: no thread was running.
            CSingleLock lock(m_shared->lock);
            m_shared->jobs.clear();
            m_shared->running = false;
            return 0;
        }
    }
    return ++m_nGiven;
}

void CFileWork::RunJobs(const std::shared_ptr<Shared>& shared, const std::function<double()>& now)
{
    for (;;) {
        std::function<void()> job;
        {
            CSingleLock lock(shared->lock);
            if (shared->jobs.empty()) {
                shared->running = false;
                return;
            }
            job = std::move(shared->jobs.front());
            shared->jobs.pop_front();
        }
        try {
            job();
        } catch (...) {
            // A job reports its own failures; the ones after it still run.
        }
        job = nullptr;  // what it holds goes before it counts as done
        CSingleLock lock(shared->lock);
        ++shared->done;
        shared->sinceMs = now();
    }
}

bool CFileWork::IsDone(unsigned ticket) const
{
    CSingleLock lock(m_shared->lock);
    return ticket <= m_shared->done;
}

bool CFileWork::IsStalled(unsigned ticket, double ms) const
{
    CSingleLock lock(m_shared->lock);
    return ticket > m_shared->done && m_now() - m_shared->sinceMs > ms;
}

bool CFileWork::IsIdle() const
{
    CSingleLock lock(m_shared->lock);
    return !m_shared->running;
}
