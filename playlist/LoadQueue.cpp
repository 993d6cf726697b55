#include "playlist/LoadQueue.h"

#include "playlist/HeldFiles.h"

#include <utility>

CLoadQueue::CLoadQueue(CLoadSink& sink, const CEntryLoad::Options& options)
    : m_sink(sink), m_options(options)
{
}

CLoadQueue::~CLoadQueue()
{
    for (Step& step : m_steps) {
        if (step.load)
            step.load->Cancel();
    }
}

CLoadQueue::CPause::~CPause()
{
    if (--m_queue.m_nPauses == 0)
        m_queue.Advance();
}

void CLoadQueue::Load(const CString& path, DisplayMode mode)
{
    DropUnopenedLoadsOf(path);
    Step step;
    step.path = path;
    // Polling first: a load nobody looks at would never reach the list.
    if (!path.IsEmpty() && (m_bPolling || m_sink.SetPolling(true))) {
        m_bPolling = true;
        step.load = CEntryLoad::Start(path, mode, m_options);
    }
    Add(std::move(step));
}

void CLoadQueue::DropUnopenedLoadsOf(const CString& path)
{
    for (std::size_t i = 0; i < m_steps.size();) {
        const Step& step = m_steps[i];
        if (!step.load || step.load->GetState() != CEntryLoad::opening || !CHeldFiles::SameFile(step.path, path)) {
            ++i;
            continue;
        }
        // With the commands that wait for it, up to the next load.
        std::size_t end = i + 1;
        while (end < m_steps.size() && m_steps[end].command)
            ++end;
        Drop(i, end, CString());
    }
}

CString CLoadQueue::Drop(std::size_t begin, std::size_t end, CString path)
{
    std::size_t kept = begin;
    for (std::size_t i = begin; i < end; ++i) {
        Step& step = m_steps[i];
        if (!step.command) {
            if (step.load)
                step.load->Cancel();
            path = step.path;
        } else if (step.kind == always) {
            // Keeps the path of its own place.
            step.command = [command = std::move(step.command), path](const CString&) { command(path); };
            if (i != kept)
                m_steps[kept] = std::move(step);
            ++kept;
        }
    }
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(kept), m_steps.begin() + static_cast<std::ptrdiff_t>(end));
    // A command's own steps go in after it, before the rest.
    if (m_bInCommand && m_nInsertAt > kept)
        m_nInsertAt = m_nInsertAt >= end ? m_nInsertAt - (end - kept) : kept;
    return path;
}

void CLoadQueue::Run(Command command, CommandKind kind)
{
    Step step;
    step.command = std::move(command);
    step.kind = kind;
    Add(std::move(step));
}

void CLoadQueue::Add(Step step)
{
    step.id = ++m_nLastId;
    if (m_bInCommand)
        m_steps.insert(m_steps.begin() + static_cast<std::ptrdiff_t>(m_nInsertAt++), std::move(step));
    else
        m_steps.push_back(std::move(step));
    Advance();
}

void CLoadQueue::Poll()
{
    Advance();
}

void CLoadQueue::CancelAll()
{
    for (Step& step : m_steps) {
        if (step.load)
            step.load->Cancel();
    }
    m_steps.clear();
    UpdatePolling();
}

bool CLoadQueue::HasWaitingCommands() const
{
    for (const Step& step : m_steps) {
        if (step.command && step.kind == onList)
            return true;
    }
    return false;
}

void CLoadQueue::Advance()
{
    // A message box or a command's own dialog runs a message loop inside
    // this one: what comes meanwhile is looked at when it is done.
    if (m_bAdvancing) {
        m_bAgain = true;
        return;
    }
    struct CAdvancing
    {
        CLoadQueue& queue;
        explicit CAdvancing(CLoadQueue& q) : queue(q) { queue.m_bAdvancing = true; }
        // Also when a command throws: the steps after it go on at the next poll.
        ~CAdvancing()
        {
            queue.m_bAdvancing = false;
            queue.UpdatePolling();
        }
    } advancing(*this);
    do {
        m_bAgain = false;
        TakeSteps();
    } while (m_bAgain);
}

void CLoadQueue::TakeSteps()
{
    for (;;) {
        Supersede();
        if (m_steps.empty())
            return;
        Step& first = m_steps.front();
        if (first.command) {
            if (!RunFirstCommand())
                return;
            continue;
        }
        const CEntryLoad::State state = first.load ? first.load->GetState() : CEntryLoad::openFailed;
        if (state == CEntryLoad::opening)
            return;
        if (state == CEntryLoad::opened) {
            if (!first.listReplaced) {
                // Emptied only now that the new playlist is open: a path that
                // names no readable playlist keeps the list.
                first.listReplaced = true;
                m_sink.ReplaceList();
            }
            if (!AddFinishedEntries())
                return;
        }
        // Whole, or no playlist at all: its path is the commands' from here.
        m_path = m_steps.front().path;
        m_steps.pop_front();
    }
}

void CLoadQueue::Supersede()
{
    std::size_t newest = 0;
    for (std::size_t i = m_steps.size(); i-- > 1;) {
        const Step& step = m_steps[i];
        if (step.load && step.load->GetState() == CEntryLoad::opened) {
            newest = i;
            break;
        }
    }
    if (newest == 0)
        return;
    m_path = Drop(0, newest, m_path);
}

bool CLoadQueue::RunFirstCommand()
{
    if (m_nPauses > 0)
        return false;
    Step& first = m_steps.front();
    // A newer load of the same playlist may be reading it: the command runs
    // first in the order, so it waits until that read lets the file go (an
    // open now would fail it, and the load with it).
    std::unique_ptr<CFileHold> hold;
    if (first.kind == onList && !m_path.IsEmpty()) {
        hold.reset(new CFileHold(m_path));
        if (!hold->Held())
            return false;
    }
    const Command command = std::move(first.command);
    m_steps.pop_front();
    struct CInCommand
    {
        CLoadQueue& queue;
        explicit CInCommand(CLoadQueue& q) : queue(q)
        {
            queue.m_bInCommand = true;
            queue.m_nInsertAt = 0;
        }
        ~CInCommand() { queue.m_bInCommand = false; }
    } inCommand(*this);
    command(m_path);
    return true;
}

bool CLoadQueue::AddFinishedEntries()
{
    // Its own reference and id: a message box may run a message loop, and
    // the window may end its loads meanwhile.
    const std::shared_ptr<CEntryLoad> load = m_steps.front().load;
    const unsigned id = m_steps.front().id;
    int added = 0;
    const CEntryLoad::Entry* entry = load->NextFinished();
    while (entry != nullptr) {
        if (entry->unreadable) {
            if (m_nPauses > 0)
                return false;
            m_sink.ReportUnreadable(entry->text);
            if (!IsFirst(id))
                return false;
        }
        // The entries up to the next unreadable one, whose message shows
        // with the entries before it in view.
        std::vector<const CEntryLoad::Entry*> batch;
        do {
            batch.push_back(entry);
            load->TakeNext();
            entry = load->NextFinished();
        } while (entry != nullptr && !entry->unreadable && added + static_cast<int>(batch.size()) < kBatchSize);
        m_sink.AddEntries(batch);
        added += static_cast<int>(batch.size());
        if (added >= kBatchSize && entry != nullptr) {
            m_sink.PollSoon();
            return false;
        }
    }
    return load->IsComplete();
}

void CLoadQueue::UpdatePolling()
{
    const bool wanted = !m_steps.empty();
    if (wanted == m_bPolling)
        return;
    m_bPolling = m_sink.SetPolling(wanted) && wanted;
}
