#include "CommandQueueModel.h"

#include "playlist/HeldFiles.h"

#include <algorithm>
#include <chrono>
#include <memory>

namespace model {

namespace {

thread_local int t_self = -1;

}  // namespace

Turns::~Turns()
{
    while (real && m_nLive > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    dead.clear();
    std::mt19937 rng(1);
    RunAll(rng);
    for (std::thread& handle : m_handles)
        handle.join();
}

bool Turns::OnTurnThread()
{
    return t_self >= 0;
}

BOOL Turns::Begin(std::function<void()> work)
{
    if (real) {
        ++m_nLive;
        if (AfxBeginWorkerThread([this, work] {
                work();
                --m_nLive;
            }))
            return TRUE;
        --m_nLive;
        return FALSE;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    const int id = static_cast<int>(m_threads.size());
    m_threads.emplace_back();
    m_handles.emplace_back([this, id, work] {
        t_self = id;
        {
            // Waits for its first turn without giving one away: whoever
            // started it still runs.
            std::unique_lock<std::mutex> lock(m_mutex);
            m_threads[id].waiting = true;
            m_testTurn.notify_all();
            m_threads[id].turn.wait(lock, [&] { return m_running == id; });
            m_threads[id].waiting = false;
        }
        work();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = -1;
        m_testTurn.notify_all();
    });
    // Waiting before Begin returns, so that which threads wait never depends
    // on the system's timing.
    m_testTurn.wait(lock, [&] { return m_threads[id].waiting; });
    return TRUE;
}

void Turns::Pass(const std::string& file)
{
    if (real) {
        std::this_thread::yield();
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_threads[t_self].waiting = true;
    m_threads[t_self].file = file;
    m_running = -1;
    m_testTurn.notify_all();
    m_threads[t_self].turn.wait(lock, [&] { return m_running == t_self; });
    m_threads[t_self].waiting = false;
}

int Turns::Waiting()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(std::count_if(m_threads.begin(), m_threads.end(), [](const Thread& t) { return t.waiting; }));
}

bool Turns::RunOne(std::mt19937& rng)
{
    if (real) {
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 500)(rng)));
        return m_nLive > 0;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    std::vector<int> ready;
    for (int i = 0; i < static_cast<int>(m_threads.size()); ++i) {
        if (m_threads[i].waiting && (dead.empty() || m_threads[i].file != dead))
            ready.push_back(i);
    }
    if (ready.empty())
        return false;
    m_running = ready[std::uniform_int_distribution<std::size_t>(0, ready.size() - 1)(rng)];
    m_threads[m_running].turn.notify_one();
    m_testTurn.wait(lock, [&] { return m_running == -1; });
    return true;
}

namespace {

// Opens a file for one of our threads, counting a second open of it.
struct OpenFile
{
    OpenFile(Drive& drive, const std::string& name) : drive(drive), name(name)
    {
        std::lock_guard<std::mutex> lock(drive.lock);
        if (!drive.open.insert(name).second)
            ++drive.clashes;
    }
    ~OpenFile()
    {
        std::lock_guard<std::mutex> lock(drive.lock);
        drive.open.erase(name);
    }
    Drive& drive;
    std::string name;
};

}  // namespace

CEntryLoad::Options Options(Turns& turns, Drive& drive, std::mt19937& rng, const double& clock)
{
    CEntryLoad::Options options;
    options.readPlaylist = [&turns, &drive](const CString& path, const EntryAppender& append) {
        turns.Pass(Text(path));
        std::vector<std::string> lines;
        {
            std::lock_guard<std::mutex> lock(drive.lock);
            const auto found = drive.playlists.find(Text(path));
            if (found == drive.playlists.end())
                return false;
            lines = found->second;
        }
        const OpenFile file(drive, Text(path));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            turns.Pass(Text(path));
            if (IsEntryLine(lines[i].c_str()) && !append(lines[i].c_str(), static_cast<UINT>(i)))
                break;
        }
        return true;
    };
    options.readTags = [&turns, &drive](const CString& path, CString& title, CString& author) {
        turns.Pass(Text(path));
        if (path[0] == 'x')
            throw CFileException(CFileException::fileNotFound, 2, path);
        const OpenFile file(drive, Text(path));
        title = "T " + path;
        author = "A";
        return 1;
    };
    options.beginThread = [&turns](std::function<void()> work) { return turns.Begin(std::move(work)); };
    options.currentFolder = [&drive] {
        std::lock_guard<std::mutex> lock(drive.lock);
        return CString(drive.folder.c_str());
    };
    options.now = [&clock, &turns] { return turns.real ? AfxSteadyMs() : clock; };
    // A wait on a file held by another of ours, or the closing's wait for
    // the file work: either lets the threads take their turns.
    options.sleep = [&turns, &rng](DWORD ms) {
        if (turns.real)
            AfxSleep(ms);
        else if (Turns::OnTurnThread())
            turns.Pass(std::string());
        else
            turns.RunOne(rng);
    };
    options.headerReaders = 2;
    options.slowReadMs = 0;
    return options;
}

Window::Window(Turns& turns, Drive& drive, std::mt19937& rng, const double& clock)
    : queue(*this, Options(turns, drive, rng, clock)), m_turns(turns), m_drive(drive), m_rng(rng)
{
}

void Window::AddEntries(const std::vector<CEntryLoad::Entry>& entries)
{
    for (const CEntryLoad::Entry& entry : entries)
        list.emplace_back(Text(entry.text), entry.lineIndex);
}

void Window::SetTexts(const std::vector<CEntryLoad::Entry>& entries)
{
    for (const CEntryLoad::Entry& entry : entries) {
        for (auto& item : list) {
            if (item.second == entry.lineIndex)
                item.first = Text(entry.text);
        }
    }
}

void Window::Do(const Action& action)
{
    static const char* const paths[] = {"P", "Q", "R", "missing.vql", ""};
    Drive& drive = m_drive;
    Turns& turns = m_turns;
    switch (action.kind) {
    case Action::path:
        queue.Load(action.a < 5 ? paths[action.a] : ("S" + std::to_string(action.a - 5)).c_str());
        break;
    case Action::mode:
        queue.SetMode(action.a ? DisplayMode::fileName : DisplayMode::title);
        queue.Reload();
        break;
    case Action::play:
        queue.Run([this, &drive, &turns](const CString&) {
            std::vector<UINT> order;
            for (const auto& item : list)
                order.push_back(item.second);
            queue.RunFileWork(
                [&drive, &turns, order](const CString& playlist) {
                    turns.Pass("work");
                    std::lock_guard<std::mutex> lock(drive.lock);
                    const auto found = drive.playlists.find(Text(playlist));
                    drive.workFile = found != drive.playlists.end();
                    drive.work.clear();
                    for (UINT i : order)
                        drive.work.push_back(drive.workFile ? found->second[i] : std::string());
                },
                [&drive] {
                    std::lock_guard<std::mutex> lock(drive.lock);
                    if (drive.workFile)
                        drive.launches.push_back(drive.work);
                });
        });
        break;
    case Action::shuffle:
        // Any fixed reordering does: both runs give the same lists.
        queue.Run([this](const CString&) {
            if (!list.empty())
                std::rotate(list.begin(), list.begin() + 1, list.end());
        });
        break;
    case Action::drag:
        queue.Run([this, action](const CString&) {
            if (list.empty())
                return;
            const auto item = list[action.a % list.size()];
            list.erase(list.begin() + action.a % list.size());
            list.insert(list.begin() + action.b % (list.size() + 1), item);
        });
        break;
    case Action::save:
        queue.Run([this, &drive, &turns, action](const CString&) {
            queue.CleanUp([&drive, &turns](const CString&) {
                turns.Pass("work");
                std::lock_guard<std::mutex> lock(drive.lock);
                drive.workFile = false;
            });
            std::vector<UINT> order;
            for (const auto& item : list)
                order.push_back(item.second);
            const std::string saved = "S" + std::to_string(m_nSaved++);
            queue.RunFileWork(
                [&drive, &turns, order, saved](const CString& playlist) {
                    turns.Pass(saved);
                    std::lock_guard<std::mutex> lock(drive.lock);
                    const auto found = drive.playlists.find(Text(playlist));
                    if (found == drive.playlists.end())
                        return;
                    std::vector<std::string>& lines = drive.playlists[saved];
                    for (UINT i : order)
                        lines.push_back(found->second[i]);
                },
                [this, saved, action] {
                    if (action.a % 2)
                        queue.Load(saved.c_str());
                });
        });
        break;
    case Action::openCancelled: {
        queue.CleanUp([&drive, &turns](const CString&) {
            turns.Pass("work");
            std::lock_guard<std::mutex> lock(drive.lock);
            drive.workFile = false;
        });
        const CCommandQueue::CPause dialog(queue);
        for (int i = 0; i < action.a; ++i) {
            m_turns.RunOne(m_rng);
            queue.Poll();
        }
        break;
    }
    }
}

void Window::Settle()
{
    for (int rounds = 0; rounds < 100000; ++rounds) {
        // Real turns: a thread of a cancelled load may still end after the
        // queue is idle.
        const bool ran = m_turns.RunOne(m_rng);
        queue.Poll();
        if (!ran && !queue.IsBusy())
            return;
    }
}

}  // namespace model
