#include "playlist/CommandQueue.h"

#include "playlist/HeldFiles.h"

#include <utility>

CCommandQueue::CCommandQueue(CCommandSink& sink, const CEntryLoad::Options& options)
    : m_sink(sink), m_options(options), m_files(options.beginThread, options.now)
{
}

CCommandQueue::~CCommandQueue()
{
    if (m_shown)
        m_shown->Cancel();
    for (Step& step : m_steps) {
        if (step.load)
            step.load->Cancel();
    }
}

CCommandQueue::CPause::~CPause()
{
    if (--m_queue.m_nPauses == 0)
        m_queue.Advance();
}

void CCommandQueue::Load(const CString& path)
{
    Step step = StartLoad(path, m_nInsertAt == kAtEnd ? m_mode : m_modeInForce);
    m_lastGiven = step.path;
    // The same file again, right behind a load of it that has not been read:
    // nothing acts on the older list, and on a share that does not answer
    // each load would keep one more thread waiting.
    if (m_nInsertAt == kAtEnd && !m_steps.empty()) {
        const Step& last = m_steps.back();
        if (last.kind == Step::newPlaylist && last.load && last.load->GetState() == CEntryLoad::opening
            && CHeldFiles::SameFile(last.path, step.path)) {
            last.load->Cancel();
            m_steps.pop_back();
        }
    }
    Add(std::move(step));
}

void CCommandQueue::Reload()
{
    Step step(Step::reload);
    step.mode = m_mode;
    Add(std::move(step));
}

CCommandQueue::Step CCommandQueue::StartLoad(const CString& path, DisplayMode mode)
{
    Step step(Step::newPlaylist);
    step.mode = mode;
    const CString folder = m_options.currentFolder();
    step.path = PathInFolder(folder, path);
    // Polling first: a load nobody looks at would never reach the list.
    if (!path.IsEmpty() && (m_bPolling || m_sink.SetPolling(true))) {
        m_bPolling = true;
        step.load = CEntryLoad::Start(path, mode, folder, m_options);
    }
    return step;
}

void CCommandQueue::Run(Command command)
{
    Step step(Step::onList);
    step.command = std::move(command);
    Add(std::move(step));
}

void CCommandQueue::RunFileWork(Command work, std::function<void()> then)
{
    Step step(Step::fileWork);
    step.command = std::move(work);
    step.then = std::move(then);
    Add(std::move(step));
}

void CCommandQueue::CleanUp(Command work)
{
    Step step(Step::cleanUp);
    step.command = std::move(work);
    Add(std::move(step));
}

void CCommandQueue::Add(Step step)
{
    if (m_nInsertAt != kAtEnd)
        m_steps.insert(m_steps.begin() + static_cast<std::ptrdiff_t>(m_nInsertAt++), std::move(step));
    else
        m_steps.push_back(std::move(step));
    Advance();
}

void CCommandQueue::Poll()
{
    Advance();
}

void CCommandQueue::Close(const Command& lastCleanUp, double budgetMs)
{
    if (m_shown)
        m_shown->Cancel();
    m_shown.reset();
    DropSteps(m_steps.size());
    GiveFileWork(lastCleanUp, m_lastGiven, false);
    m_sink.SetPolling(false);
    m_bPolling = false;
    // A delete on a share that does not answer is given up, and its file stays.
    const double start = m_options.now();
    while (!m_files.IsIdle() && m_options.now() - start < budgetMs)
        m_options.sleep(10);
}

bool CCommandQueue::IsBusy() const
{
    return !m_steps.empty() || (m_shown && m_nTitled < m_shown->GetCount()) || !m_files.IsIdle();
}

bool CCommandQueue::HasWaitingCommands() const
{
    for (const Step& step : m_steps) {
        if (step.kind == Step::onList || step.kind == Step::fileWork)
            return true;
    }
    return false;
}

void CCommandQueue::Advance()
{
    // A message box or a command's own dialog runs a message loop inside
    // this one: what comes meanwhile is looked at when it is done.
    if (m_bAdvancing) {
        m_bAgain = true;
        return;
    }
    struct CAdvancing
    {
        CCommandQueue& queue;
        explicit CAdvancing(CCommandQueue& q) : queue(q) { queue.m_bAdvancing = true; }
        // Also when a command throws: the steps after it go on at the next poll.
        ~CAdvancing()
        {
            queue.m_bAdvancing = false;
            queue.m_nInsertAt = kAtEnd;
            queue.UpdatePolling();
        }
    } advancing(*this);
    do {
        m_bAgain = false;
        TakeSteps();
        TakeTitles();
    } while (m_bAgain);
}

void CCommandQueue::TakeSteps()
{
    for (;;) {
        Overtake();
        if (m_steps.empty() || !TakeFirst())
            return;
    }
}

bool CCommandQueue::TakeFirst()
{
    Step& first = m_steps.front();
    switch (first.kind) {
    case Step::newPlaylist:
        return TakeLoad(first);
    case Step::fileWork:
        return TakeFileWork(first);
    case Step::cleanUp:
        GiveFileWork(first.command, m_path, false);
        m_steps.pop_front();
        return true;
    case Step::reload:
        // Its load takes its place.
        first = StartLoad(m_path, first.mode);
        return true;
    case Step::onList:
        break;
    }
    if (m_nPauses > 0)
        return false;
    const Command command = std::move(first.command);
    m_steps.pop_front();
    m_nInsertAt = 0;
    command(m_path);
    m_nInsertAt = kAtEnd;
    return true;
}

bool CCommandQueue::TakeLoad(Step& first)
{
    const CEntryLoad::State state = first.load ? first.load->GetState() : CEntryLoad::openFailed;
    if (state == CEntryLoad::opening)
        return false;
    if (state == CEntryLoad::opened) {
        if (m_shown != first.load) {
            // Emptied only now that the new playlist has been read: a path
            // that names no readable playlist keeps the list.
            if (m_shown)
                m_shown->Cancel();
            m_shown = first.load;
            m_nAdded = m_nTitled = 0;
            m_addedFinal.assign(m_shown->GetCount(), false);
            m_sink.ReplaceList();
        }
        std::vector<CEntryLoad::Entry> batch;
        const std::size_t count = m_shown->GetCount();
        while (m_nAdded < count && batch.size() < static_cast<std::size_t>(kBatchSize)) {
            m_addedFinal[m_nAdded] = m_shown->IsFinished(m_nAdded);
            batch.push_back(m_shown->GetEntry(m_nAdded++));
        }
        if (!batch.empty())
            m_sink.AddEntries(batch);
        if (m_nAdded < count) {
            m_sink.PollSoon();
            return false;
        }
    }
    // Its path and mode are the commands' from here.
    m_path = m_steps.front().path;
    m_modeInForce = m_steps.front().mode;
    m_steps.pop_front();
    return true;
}

bool CCommandQueue::TakeFileWork(Step& first)
{
    if (!first.given) {
        first.given = true;
        first.ticket = GiveFileWork(first.command, m_path, true);
    }
    if (first.ticket != 0 && !m_files.IsDone(first.ticket))
        return false;
    if (m_nPauses > 0 && first.then)
        return false;
    const std::function<void()> then = std::move(first.then);
    m_steps.pop_front();
    if (then) {
        m_nInsertAt = 0;
        then();
        m_nInsertAt = kAtEnd;
    }
    return true;
}

unsigned CCommandQueue::GiveFileWork(const Command& work, const CString& path, bool holdPlaylist)
{
    const std::function<void(DWORD)> sleep = m_options.sleep;
    return m_files.Add([work, path, holdPlaylist, sleep] {
        // A newer load may be reading the playlist: the work reads it after.
        CFileHold hold;
        if (holdPlaylist && !path.IsEmpty())
            hold.Hold(path, [] { return false; }, sleep);
        work(path);
    });
}

void CCommandQueue::Overtake()
{
    if (m_steps.size() < 2)
        return;
    const Step& first = m_steps.front();
    const bool stalled = (first.kind == Step::newPlaylist && first.load && first.load->IsStalled(kStalledMs))
                         || (first.kind == Step::fileWork && first.given && m_files.IsStalled(first.ticket, kStalledMs));
    // A stalled step goes for the next load, once that has read its
    // playlist or found none; otherwise the newest load that has been read
    // with nothing but loads and clean-ups before it.
    std::size_t newest = 0;
    for (std::size_t i = 0; i < m_steps.size(); ++i) {
        const Step& step = m_steps[i];
        const CEntryLoad::State state = step.load ? step.load->GetState() : CEntryLoad::openFailed;
        if (i > 0 && stalled && step.kind == Step::newPlaylist) {
            if (state != CEntryLoad::opening)
                newest = i;
            break;
        }
        if (i > 0 && state == CEntryLoad::opened && step.kind == Step::newPlaylist)
            newest = i;
        if (!stalled && (step.kind == Step::onList || step.kind == Step::fileWork || step.kind == Step::reload))
            break;
    }
    if (newest == 0)
        return;
    DropSteps(newest);
}

void CCommandQueue::DropSteps(std::size_t end)
{
    for (std::size_t i = 0; i < end; ++i) {
        const Step& step = m_steps[i];
        if (step.load)
            step.load->Cancel();
        if (step.kind == Step::newPlaylist)
            m_path = step.path;
        if (step.kind == Step::newPlaylist || step.kind == Step::reload)
            m_modeInForce = step.mode;
        else if (step.kind == Step::cleanUp)
            GiveFileWork(step.command, m_path, false);
    }
    m_steps.erase(m_steps.begin(), m_steps.begin() + static_cast<std::ptrdiff_t>(end));
}

void CCommandQueue::TakeTitles()
{
    // Its own reference: a message box runs a message loop, in which the
    // window may close.
    const std::shared_ptr<CEntryLoad> shown = m_shown;
    if (!shown)
        return;
    std::vector<CEntryLoad::Entry> batch;
    while (m_nTitled < m_nAdded && shown->IsFinished(m_nTitled) && batch.size() < static_cast<std::size_t>(kBatchSize)) {
        CEntryLoad::Entry entry = shown->GetEntry(m_nTitled);
        if (entry.unreadable) {
            // The entries before it with their texts first.
            if (!batch.empty())
                m_sink.SetTexts(batch);
            batch.clear();
            if (m_nPauses > 0)
                return;
            ++m_nTitled;
            m_sink.ReportUnreadable(entry.text);
            if (m_shown != shown)
                return;
            continue;
        }
        if (!m_addedFinal[m_nTitled])
            batch.push_back(std::move(entry));
        ++m_nTitled;
    }
    if (!batch.empty())
        m_sink.SetTexts(batch);
    if (m_nTitled < m_nAdded && shown->IsFinished(m_nTitled))
        m_sink.PollSoon();
}

void CCommandQueue::UpdatePolling()
{
    const bool wanted = IsBusy();
    if (wanted == m_bPolling)
        return;
    m_bPolling = m_sink.SetPolling(wanted) && wanted;
}
