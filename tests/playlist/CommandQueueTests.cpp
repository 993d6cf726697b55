// The load and the order of what the user does, without a window: the
// queue's contract as a model run by deterministic simulation
// (CommandQueueModel.h), and on real threads against a drive in memory that
// can delay or hold any read, what the model cannot reach. Run natively
// under AddressSanitizer and again under ThreadSanitizer.

#include "CommandQueueModel.h"
#include "playlist/EntryLoad.h"
#include "playlist/CommandQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Text(const CString& s)
{
    return std::string(s.GetString(), s.GetLength());
}

// Files in memory, opened for exclusive use as the program's are: opening a
// file that is open fails as held, and is counted, so a load that opens a
// file one of our own threads holds shows up. A read waits delayMs, and
// while the file is held, until Release.
class FakeDrive
{
public:
    struct File
    {
        std::vector<std::string> lines;  // a playlist's
        int delayMs = 0;                 // each line's, or the header's
        bool held = false;
    };

    void Add(const std::string& path, File file)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_files[path] = std::move(file);
    }
    // A playlist of the given VQF files, each with its own delay and hold.
    void AddSongs(const std::string& playlist, const std::vector<std::string>& songs, int delayMs, int lineDelayMs = 0)
    {
        Add(playlist, File{songs, lineDelayMs, false});
        for (const std::string& song : songs)
            Add(song, File{{}, delayMs, song[0] == 'h'});
    }
    void Hold(const std::string& path, bool held)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_files[path].held = held;
        m_released.notify_all();
    }
    bool IsOpen(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_open.count(path) != 0;
    }
    int HeldByUs() const { return m_heldByUs; }
    // The loads' threads still running.
    int Threads() const { return m_threads; }

    CEntryLoad::Options Options(const std::shared_ptr<FakeDrive>& self) const
    {
        CEntryLoad::Options options;
        options.readPlaylist = [self](const CString& path, const EntryAppender& append) {
            if (!self->Open(Text(path)))
                return false;
            const File file = self->Get(Text(path));
            for (std::size_t i = 0; i < file.lines.size(); ++i) {
                self->Wait(Text(path));
                if (!append(file.lines[i].c_str(), static_cast<UINT>(i)))
                    break;
            }
            self->Close(Text(path));
            return true;
        };
        options.readTags = [self](const CString& path, CString& title, CString& author) {
            if (!self->Open(Text(path)))
                throw CFileException(CFileException::sharingViolation, 32, path);
            self->Wait(Text(path));
            self->Close(Text(path));
            title = "T " + path;
            author = "A";
            return 1;
        };
        options.beginThread = [self](std::function<void()> work) {
            ++self->m_threads;
            if (AfxBeginWorkerThread([self, work] {
                    work();
                    --self->m_threads;
                }))
                return TRUE;
            --self->m_threads;
            return FALSE;
        };
        options.currentFolder = [] { return CString(); };
        options.slowReadMs = 0;
        options.headerReaders = 4;
        return options;
    }

private:
    // False for a file that is not there or is open already.
    bool Open(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_files.count(path) == 0)
            return false;
        if (!m_open.insert(path).second) {
            ++m_heldByUs;
            return false;
        }
        return true;
    }
    File Get(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_files[path];
    }
    void Wait(const std::string& path)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(Get(path).delayMs));
        std::unique_lock<std::mutex> lock(m_mutex);
        m_released.wait(lock, [&] { return !m_files[path].held; });
    }
    void Close(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open.erase(path);
    }

    std::mutex m_mutex;
    std::condition_variable m_released;
    std::map<std::string, File> m_files;
    std::set<std::string> m_open;
    std::atomic<int> m_heldByUs{0};
    std::atomic<int> m_threads{0};
};

std::vector<std::string> Songs(const char* prefix, int count)
{
    std::vector<std::string> songs;
    for (int i = 0; i < count; ++i)
        songs.push_back(prefix + std::to_string(i) + ".vqf");
    return songs;
}

std::vector<std::string> Titles(const std::vector<std::string>& songs)
{
    std::vector<std::string> titles;
    for (const std::string& song : songs)
        titles.push_back("T " + song + " [A]");
    return titles;
}

// The window as the queue sees it: the list's texts, and a log of what the
// user was shown and what ran, each command with the path it was handed.
class Window : public CCommandSink
{
public:
    explicit Window(const std::shared_ptr<FakeDrive>& drive, CEntryLoad::Options options)
        : drive(drive), queue(*this, options)
    {
    }
    explicit Window(const std::shared_ptr<FakeDrive>& drive) : Window(drive, drive->Options(drive)) {}
    ~Window() { queue.Close([](const CString&) {}, 0); }

    void ReplaceList() override { list.clear(); }
    void AddEntries(const std::vector<CEntryLoad::Entry>& entries) override
    {
        for (const CEntryLoad::Entry& entry : entries)
            list.push_back(Text(entry.text));
    }
    void SetTexts(const std::vector<CEntryLoad::Entry>& entries) override
    {
        for (const CEntryLoad::Entry& entry : entries)
            list.at(entry.lineIndex) = Text(entry.text);  // no row reorders
    }
    void ReportUnreadable(const CString& line) override { log.push_back("unreadable " + Text(line)); }
    bool SetPolling(bool on) override
    {
        polling = on;
        return true;
    }
    void PollSoon() override {}

    void Command(const std::string& name)
    {
        queue.Run([this, name](const CString& path) { log.push_back(name + " " + Text(path)); });
    }

    // Polls as the window's timer does, until `done` or ten seconds.
    bool PollUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            EXPECT_TRUE(polling) << "a step waits, but nobody polls";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            queue.Poll();
        }
        return true;
    }
    bool Settle()
    {
        return PollUntil([this] { return !queue.IsBusy(); });
    }
    void PollFor(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        PollUntil([end] { return std::chrono::steady_clock::now() > end; });
    }

    std::shared_ptr<FakeDrive> drive;
    CCommandQueue queue;
    std::vector<std::string> list;
    std::vector<std::string> log;
    bool polling = false;
};

using Lines = std::vector<std::string>;

int FromEnvironment(const char* name, int otherwise)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : otherwise;
}

// One random sequence of what a user does, from seed. Every fifth has a
// playlist whose reads never come back, given after the list has settled,
// with commands after it and then, once more than a second has passed, a
// healthy path; its reference leaves out the commands it overtook.
struct Sequence
{
    std::vector<model::Action> actions;
    std::size_t dead = static_cast<std::size_t>(-1);  // the dead playlist's place
    std::size_t revived = 0;                          // the healthy path's after it
};

Sequence Draw(unsigned seed)
{
    std::mt19937 rng(seed);
    const auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const auto action = [&](bool loads) {
        using model::Action;
        const int kind = pick(loads ? 7 : 5) + (loads ? 0 : 2);
        switch (kind) {
        case 0:
            // Saved playlists are loaded through "load it?" alone: a path
            // typed while a Save still writes that very file reads the disk.
            return Action{Action::path, pick(5)};
        case 1:
            return Action{Action::mode, pick(2)};
        case 2:
            return Action{Action::play};
        case 3:
            return Action{Action::shuffle};
        case 4:
            return Action{Action::drag, pick(12), pick(12)};
        case 5:
            return Action{Action::save, pick(2)};
        default:
            return Action{Action::openCancelled, pick(3)};
        }
    };
    Sequence sequence;
    const int count = 4 + pick(14);
    for (int i = 0; i < count; ++i)
        sequence.actions.push_back(action(true));
    if (seed % 5 == 4) {
        sequence.dead = static_cast<std::size_t>(pick(count + 1));
        std::vector<model::Action> overtaken;
        const int waiting = 1 + pick(4);
        for (int i = 0; i < waiting; ++i)
            overtaken.push_back(action(false));
        overtaken.push_back(model::Action{model::Action::path, pick(3)});
        sequence.actions.insert(sequence.actions.begin() + static_cast<std::ptrdiff_t>(sequence.dead),
                                overtaken.begin(), overtaken.end());
        sequence.revived = sequence.dead + overtaken.size() - 1;
    }
    return sequence;
}

struct Outcome
{
    std::vector<std::pair<std::string, UINT>> list;
    bool workFile;
    std::vector<std::string> work;
    std::vector<std::vector<std::string>> launches;
    std::map<std::string, std::vector<std::string>> playlists;
    int clashes;
};

// Runs a sequence; concurrent: the clicks come among the threads' reads and
// writes, else each takes effect before the next is given. real: the
// threads run free, as the program's do.
Outcome RunSequence(const Sequence& sequence, unsigned seed, bool concurrent, bool real = false)
{
    model::Drive drive;
    drive.playlists["P"] = {"p0.vqf", "#", "p1.vqf", "x2.vqf", "p0.vqf", "p3.vqf"};
    drive.playlists["Q"] = {"q0.vqf", "q1.vqf", "q2.vqf"};
    drive.playlists["R"] = {"x0.vqf", "", "r1.vqf"};
    drive.playlists["DEAD"] = {"d0.vqf"};
    std::mt19937 rng(seed * 7919u + (concurrent ? 1 : 0));
    double clock = 0;
    model::Turns turns(real);
    {
        model::Window window(turns, drive, rng, clock);
        for (std::size_t i = 0; i < sequence.actions.size(); ++i) {
            const model::Action& action = sequence.actions[i];
            if (i == sequence.dead) {
                window.Settle();
                turns.dead = "DEAD";
                window.queue.Load("DEAD");
            }
            if (i >= sequence.dead && i < sequence.revived && !concurrent) {
                // Overtaken: only the clean-up of 読込... stays.
                if (action.kind != model::Action::openCancelled)
                    continue;
            }
            if (i == sequence.revived && sequence.dead != static_cast<std::size_t>(-1)) {
                clock += 1100;
                if (concurrent)
                    window.queue.Poll();
            }
            window.Do(action);
            if (std::getenv("JUMBLA_MODEL_TRACE")) {
                std::string shown;
                for (const auto& item : window.list)
                    shown += item.first + "/" + std::to_string(item.second) + " ";
                std::fprintf(stderr, "%d %d/%d: %s\n", concurrent, action.kind, action.a, shown.c_str());
            }
            clock += 1;
            if (!concurrent) {
                window.Settle();
                continue;
            }
            for (int turn = std::uniform_int_distribution<int>(0, 6)(rng); turn > 0; --turn) {
                if (turn % 3 == 0)
                    window.queue.Poll();
                else
                    turns.RunOne(rng);
            }
        }
        window.Settle();
        std::lock_guard<std::mutex> lock(drive.lock);
        Outcome outcome{window.list, drive.workFile, drive.work, drive.launches, drive.playlists, drive.clashes};
        return outcome;
    }
}

// Whatever the order the reads and writes come back in, what the user does
// takes effect as it would one step at a time: the list, the work file, the
// player's launches and the saved playlists are the same. With a playlist
// whose reads never come back, a newer path takes over after a second, and
// only the commands waiting for the dead one go.
TEST(CommandQueueTest, ClicksTakeEffectAsOneAtATimeWhateverTheTiming)
{
    const unsigned first = static_cast<unsigned>(FromEnvironment("JUMBLA_MODEL_SEED", 1));
    // Each sequence starts a few dozen threads: fewer under Wine, where a
    // thread costs a round trip to its server, and under ThreadSanitizer.
#ifdef _WIN32
    const int sequences = FromEnvironment("JUMBLA_MODEL_SEQUENCES", 20);
#else
    const int sequences = FromEnvironment("JUMBLA_MODEL_SEQUENCES", 2000);
#endif
    // Then some on real threads, for ThreadSanitizer to watch; a dead
    // playlist would take a real second each, so those are left out.
    const int onRealThreads = FromEnvironment("JUMBLA_MODEL_REAL_SEQUENCES", 0);
    for (unsigned seed = first; seed < first + static_cast<unsigned>(sequences + onRealThreads); ++seed) {
        const bool real = seed >= first + static_cast<unsigned>(sequences);
        const Sequence sequence = Draw(seed);
        if (real && sequence.dead != static_cast<std::size_t>(-1))
            continue;
        const Outcome expected = RunSequence(sequence, seed, false);
        const Outcome got = RunSequence(sequence, seed, true, real);
        std::string replay = "replay with JUMBLA_MODEL_SEED=" + std::to_string(seed) + " JUMBLA_MODEL_SEQUENCES=1"
                             + (real ? " (real threads)" : "") + ":";
        for (const model::Action& action : sequence.actions)
            replay += " " + std::to_string(action.kind) + "/" + std::to_string(action.a);
        ASSERT_EQ(got.list, expected.list) << replay;
        ASSERT_EQ(got.workFile, expected.workFile) << replay;
        ASSERT_EQ(got.work, expected.work) << replay;
        ASSERT_EQ(got.launches, expected.launches) << replay;
        ASSERT_EQ(got.playlists, expected.playlists) << replay;
        ASSERT_EQ(got.clashes, 0) << replay << ": two of our threads had one file open";
    }
}

// What the model cannot reach: real threads and real waits.
TEST(CommandQueueTest, WhatTheModelCannotReach)
{
    const Lines p = Songs("p", 30);
    const Lines q = Songs("q", 3);
    const struct
    {
        const char* name;
        std::function<void(Window&)> act;
        Lines list;
        Lines log;
    } rows[] = {
        {"a playlist whose read never returns, reloaded a hundred times: one load waits, the others go",
         [](Window& w) {
             w.drive->Hold("Q", true);
             for (int i = 0; i < 100; ++i) {
                 w.queue.SetMode(i % 2 ? DisplayMode::fileName : DisplayMode::title);
                 w.queue.Load("Q");
             }
             w.PollFor(100);
             EXPECT_LE(w.drive->Threads(), 2) << "the held read and the newest load";
             w.drive->Hold("Q", false);
         },
         q, {}},
        {"a command that throws leaves the ones after it to run",
         [](Window& w) {
             w.queue.Load("P");
             w.queue.Run([](const CString&) { throw std::runtime_error("command failed"); });
             w.Command("play");
             for (int polls = 0; polls < 10000 && w.queue.IsBusy(); ++polls) {
                 try {
                     w.PollFor(1);
                 } catch (const std::runtime_error&) {
                     w.log.push_back("thrown");
                 }
             }
         },
         Titles(p), {"thrown", "play P"}},
        {"while a dialog of its own is up the list fills, but no message shows and no command runs",
         [](Window& w) {
             w.drive->Add("U", FakeDrive::File{{"q0.vqf", "m1.vqf"}, 0, false});
             w.drive->Hold("q0.vqf", true);
             w.queue.Load("U");
             {
                 const CCommandQueue::CPause about(w.queue);
                 w.Command("play");
                 w.drive->Hold("q0.vqf", false);
                 w.PollUntil([&] { return !w.list.empty() && w.list.front() == "T q0.vqf [A]"; });
                 w.PollFor(20);
                 EXPECT_TRUE(w.log.empty());
             }
         },
         {"T q0.vqf [A]", "m1.vqf"}, {"play U", "unreadable m1.vqf"}},
        {"a write that does not come back keeps nothing on the window waiting, and the steps after it wait for it",
         [](Window& w) {
             w.queue.Load("Q");
             const auto release = std::make_shared<std::atomic<bool>>(false);
             w.queue.RunFileWork(
                 [release](const CString&) {
                     while (!*release)
                         std::this_thread::sleep_for(std::chrono::milliseconds(1));
                 },
                 [&w] { w.log.push_back("written"); });
             w.Command("shuffle");
             w.queue.Load("P");
             w.PollUntil([&] { return w.list == Titles(Songs("q", 3)); });
             w.PollFor(20);
             EXPECT_TRUE(w.log.empty()) << "the shuffle waits for the write";
             *release = true;
         },
         Titles(p), {"written", "shuffle Q"}},
    };
    for (const auto& row : rows) {
        const auto drive = std::make_shared<FakeDrive>();
        drive->AddSongs("P", p, 1);
        drive->AddSongs("Q", q, 0);
        {
            Window window(drive);
            row.act(window);
            EXPECT_TRUE(window.Settle()) << row.name;
            EXPECT_EQ(window.list, row.list) << row.name;
            EXPECT_EQ(window.log, row.log) << row.name;
            EXPECT_FALSE(window.polling) << row.name << ": polling ends with the last step";
        }
        EXPECT_EQ(drive->HeldByUs(), 0) << row.name << ": a file held by our own threads";
    }
}

// Relative paths are taken against the current folder as it was when the
// load was given: the open dialog moves it while the load still reads.
TEST(CommandQueueTest, RelativePathsAreTakenWhenGiven)
{
    const auto drive = std::make_shared<FakeDrive>();
    drive->AddSongs("C:\\A\\P", {"s.vqf"}, 0);
    drive->Add("C:\\A\\s.vqf", FakeDrive::File{{}, 0, false});
    drive->Hold("C:\\A\\P", true);
    const auto folder = std::make_shared<CString>("C:\\A");
    CEntryLoad::Options options = drive->Options(drive);
    options.currentFolder = [folder] { return *folder; };
    Window window(drive, options);
    window.queue.Load("P");
    window.Command("play");
    *folder = "C:\\B";
    drive->Hold("C:\\A\\P", false);
    EXPECT_TRUE(window.Settle());
    EXPECT_EQ(window.list, Lines{"T C:\\A\\s.vqf [A]"});
    EXPECT_EQ(window.log, Lines{"play C:\\A\\P"});
}

// A cancelled load's threads stop after the read they are in, and its
// playlist reader at the next line, closing the playlist; a read that never
// returns pins its own line, not the load.
TEST(EntryLoadCancelTest, ACancelledLoadReadsNoFurtherAndPinsNothing)
{
    const auto drive = std::make_shared<FakeDrive>();
    const Lines songs = Songs("s", 100);
    drive->AddSongs("P", songs, 1);
    drive->AddSongs("LONG", Songs("l", 1000), 0, 1);
    drive->Hold("s10.vqf", true);
    std::weak_ptr<CEntryLoad> watched;
    {
        const auto load = CEntryLoad::Start("P", DisplayMode::title, "", drive->Options(drive));
        watched = load;
        for (int polls = 0; polls < 10000 && !drive->IsOpen("s10.vqf"); ++polls)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(drive->IsOpen("s10.vqf"));
        load->Cancel();
    }
    // The other readers hold the load only between their reads, so it ends
    // once they have looked at it again; the held read never lets it go.
    for (int polls = 0; polls < 2000 && !watched.expired(); ++polls)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(watched.expired()) << "the load ends with its owner while a read still waits";

    const auto playlist = CEntryLoad::Start("LONG", DisplayMode::fileName, "", drive->Options(drive));
    for (int polls = 0; polls < 10000 && !drive->IsOpen("LONG"); ++polls)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    playlist->Cancel();
    for (int polls = 0; polls < 2000 && drive->IsOpen("LONG"); ++polls)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_FALSE(drive->IsOpen("LONG")) << "a cancelled playlist reader closes the playlist at the next line";
    EXPECT_EQ(playlist->GetState(), CEntryLoad::opening);

    drive->Hold("s10.vqf", false);
}

}  // namespace
