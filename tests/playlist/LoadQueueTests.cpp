// The load and the order of what the user does, without a window: the load's
// threads against a drive in memory that can delay or hold any read, and the
// queue's rules against a sink that records what the window would show. Run
// natively under AddressSanitizer and again under ThreadSanitizer.

#include "playlist/EntryLoad.h"
#include "playlist/LoadQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
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
class Window : public CLoadSink
{
public:
    explicit Window(const std::shared_ptr<FakeDrive>& drive) : drive(drive), queue(*this, drive->Options(drive)) {}
    ~Window() { queue.CancelAll(); }

    void ReplaceList() override { list.clear(); }
    void AddEntries(const std::vector<const CEntryLoad::Entry*>& entries) override
    {
        for (const CEntryLoad::Entry* entry : entries)
            list.push_back(Text(entry->text));
    }
    void ReportUnreadable(const CString& line) override
    {
        log.push_back("unreadable " + Text(line) + " after " + std::to_string(list.size()));
    }
    bool SetPolling(bool on) override
    {
        polling = on;
        return true;
    }
    void PollSoon() override {}

    void Command(const std::string& name, CLoadQueue::CommandKind kind = CLoadQueue::onList)
    {
        queue.Run([this, name, kind](const CString& path) { Ran(name, path, kind); }, kind);
    }
    // A command on the list reads its playlist; a clean-up does not.
    void Ran(const std::string& name, const CString& path, CLoadQueue::CommandKind kind = CLoadQueue::onList)
    {
        const bool clash = kind == CLoadQueue::onList && drive->IsOpen(Text(path));
        log.push_back(name + " " + Text(path) + (clash ? " while a load reads it" : ""));
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
    CLoadQueue queue;
    std::vector<std::string> list;
    std::vector<std::string> log;
    bool polling = false;
};

using Lines = std::vector<std::string>;

// Each row: what the user does, given at the pace shown, and what the window
// then shows and ran, exactly as if every load had finished at once (but for
// the commands a newer list dropped).
TEST(LoadQueueTest, WhatTheUserDoesTakesEffectInTheOrderGiven)
{
    const Lines p = Songs("p", 30);                       // P's files: 5 ms a header
    const Lines stuck = {"s0.vqf", "held.vqf", "s1.vqf"}; // a read that never returns
    const Lines q = Songs("q", 3);
    const Lines saved = Songs("v", 2);
    const struct
    {
        const char* name;
        std::function<void(Window&)> act;
        Lines list;
        Lines log;
    } rows[] = {
        {"the mode changed twice mid-load",
         [](Window& w) {
             w.queue.Load("P", DisplayMode::title);
             w.PollUntil([&] { return w.list.size() >= 3; });
             w.queue.Load("P", DisplayMode::fileName);
             w.queue.Load("P", DisplayMode::title);
         },
         Titles(p), {}},
        {"a read that never returns, Play, then another path: the other list at once",
         [](Window& w) {
             w.queue.Load("STUCK", DisplayMode::title);
             w.PollUntil([&] { return w.list.size() == 1; });
             w.Command("play");
             w.PollFor(20);
             EXPECT_TRUE(w.queue.HasWaitingCommands());
             w.queue.Load("Q", DisplayMode::fileName);
         },
         q, {}},
        {"Play, then 読込... cancelled: the work file goes after Play wrote it",
         [](Window& w) {
             w.queue.Load("P", DisplayMode::title);
             w.Command("play");
             w.Command("delete", CLoadQueue::always);
             const CLoadQueue::CPause dialog(w.queue);
             w.PollFor(30);
         },
         Titles(p), {"play P", "delete P"}},
        {"Save loads the saved file: a Play given meanwhile plays it, after its load",
         [](Window& w) {
             w.queue.Load("P", DisplayMode::title);
             w.queue.Run([&w](const CString& path) {
                 w.Ran("save", path);
                 w.queue.Load("V", DisplayMode::title);
             });
             w.Command("play");
         },
         Titles(saved), {"save P", "play V"}},
        {"a newer path drops the commands waiting for the older, not the clean-ups",
         [](Window& w) {
             w.queue.Load("P", DisplayMode::title);
             w.Command("play");
             w.Command("delete", CLoadQueue::always);
             w.Command("shuffle");
             w.queue.Load("Q", DisplayMode::fileName);
         },
         q, {"delete P"}},
        {"a path naming no playlist keeps the list and is the path of the commands after it",
         [](Window& w) {
             w.queue.Load("Q", DisplayMode::fileName);
             w.queue.Load("missing.vql", DisplayMode::fileName);
             w.Command("play");
             w.queue.Load("", DisplayMode::fileName);
             w.Command("save");
         },
         q, {"play missing.vql", "save "}},
        {"a playlist whose read never returns, reloaded a hundred times: one load waits, the others go",
         [](Window& w) {
             w.drive->Hold("Q", true);
             for (int i = 0; i < 100; ++i)
                 w.queue.Load("Q", i % 2 ? DisplayMode::fileName : DisplayMode::title);
             w.PollFor(100);
             EXPECT_LE(w.drive->Threads(), 2) << "the held read and the newest load";
             w.drive->Hold("Q", false);
         },
         q, {}},
        {"a command that throws leaves the ones after it to run",
         [](Window& w) {
             w.queue.Load("P", DisplayMode::title);
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
             w.queue.Load("U", DisplayMode::title);
             w.Command("play");
             {
                 const CLoadQueue::CPause about(w.queue);
                 w.drive->Hold("q0.vqf", false);
                 w.PollUntil([&] { return w.list.size() == 1; });
                 w.PollFor(20);
                 EXPECT_TRUE(w.log.empty());
             }
         },
         {"T q0.vqf [A]", "m1.vqf"}, {"unreadable m1.vqf after 1", "play U"}},
        {"a command waits while a newer load reads its playlist",
         [](Window& w) {
             w.drive->AddSongs("R", Songs("r", 6), 3, 15);  // its playlist read holds it 90 ms
             w.queue.Load("R", DisplayMode::title);
             w.Settle();
             w.drive->Hold("r5.vqf", true);
             w.queue.Load("R", DisplayMode::title);
             // Runs now or is dropped: either is the order given; never
             // while the newer load has the playlist open.
             w.queue.Run([&w](const CString& path) {
                 if (w.drive->IsOpen(Text(path)))
                     w.log.push_back("ran while a load reads " + Text(path));
             });
             w.PollUntil([&] { return w.list.size() == 5; });
             w.queue.Load("R", DisplayMode::fileName);
             w.PollUntil([&] { return w.drive->IsOpen("R"); });
             w.drive->Hold("r5.vqf", false);
         },
         Songs("r", 6), {}},
    };
    for (const auto& row : rows) {
        const auto drive = std::make_shared<FakeDrive>();
        drive->AddSongs("P", p, 5);
        drive->AddSongs("STUCK", stuck, 0);
        drive->AddSongs("Q", q, 0);
        drive->AddSongs("V", saved, 0);
        {
            Window window(drive);
            row.act(window);
            EXPECT_TRUE(window.Settle()) << row.name;
            EXPECT_EQ(window.list, row.list) << row.name;
            EXPECT_EQ(window.log, row.log) << row.name;
            EXPECT_FALSE(window.polling) << row.name << ": polling ends with the last step";
        }
        drive->Hold("held.vqf", false);
        EXPECT_EQ(drive->HeldByUs(), 0) << row.name << ": a file held by our own threads";
    }
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
        const auto load = CEntryLoad::Start("P", DisplayMode::title, drive->Options(drive));
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

    const auto playlist = CEntryLoad::Start("LONG", DisplayMode::fileName, drive->Options(drive));
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
