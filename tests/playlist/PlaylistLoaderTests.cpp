#include "playlist/PlaylistLoader.h"

#include "playlist/EntryLoad.h"
#include "playlist/VqfHeader.h"

#include "tests/framework/TempDir.h"
#include "tools/VqfWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, UINT>>;

class PlaylistLoaderTest : public ::testing::Test
{
protected:
    Entries Load(const std::string& playlistBytes, int displayMode, const VqfTagReader& readTags)
    {
        const std::string path = m_dir.Path("list.vql");
        WriteBytes(path, playlistBytes);
        CStdioFile playlist(path.c_str(), CFile::modeRead | CFile::typeText);
        Entries entries;
        LoadPlaylistEntries(playlist, displayMode, readTags, [&](const CString& text, UINT lineIndex) {
            entries.emplace_back(std::string(text.GetString(), text.GetLength()), lineIndex);
        });
        return entries;
    }

    Entries LoadRaw(const std::string& playlistBytes, int displayMode = 1)
    {
        return Load(playlistBytes, displayMode, [](const CString&, CString&, CString&) -> int {
            ADD_FAILURE() << "tags read outside title mode";
            return 0;
        });
    }

    TempDir m_dir;
};

struct RawCase
{
    const char* name;
    std::string playlist;
    Entries entries;
};

const RawCase kRawCases[] = {
    {"blank and # lines count", "a.vqf\n\n#x\nb.vqf\n", {{"a.vqf", 0}, {"b.vqf", 3}}},
    {"directive first", "#control(repeat=\"all\")\r\nb.vqf\r\na.vqf\r\n", {{"b.vqf", 1}, {"a.vqf", 2}}},
    {"comments only", "#one\n#two\n\n", {}},
    {"empty file", "", {}},
    {"blank line is an entry", " \n", {{" ", 0}}},
    {"# after blanks is an entry", "  #x\n", {{"  #x", 0}}},
    {"last line without end", "a.vqf\nb.vqf", {{"a.vqf", 0}, {"b.vqf", 1}}},
};

TEST_F(PlaylistLoaderTest, FileNameModeShowsLinesWithTheirIndices)
{
    for (const RawCase& c : kRawCases)
        EXPECT_EQ(LoadRaw(c.playlist), c.entries) << c.name;
}

TEST_F(PlaylistLoaderTest, EveryNonZeroModeShowsRawLines)
{
    EXPECT_EQ(LoadRaw("a.vqf\n", 2), (Entries{{"a.vqf", 0}}));
    EXPECT_EQ(LoadRaw("a.vqf\n", -1), (Entries{{"a.vqf", 0}}));
}

// Header results by path; a reader that fails has already written what it
// had read, as the real one does, to show that none of it reaches the list.
struct FakeTags
{
    int result;
    const char* title;
    const char* author;
};

TEST_F(PlaylistLoaderTest, TitleModeShowsTagsOrTheEntrysOwnLine)
{
    const std::map<std::string, FakeTags> headers = {
        {"a.vqf", {1, "Song", "Artist"}},
        {"half.vqf", {0, "Half", nullptr}},
        {"title-only.vqf", {1, "Tune", nullptr}},
        {"none.vqf", {0, nullptr, nullptr}},
    };
    std::vector<std::string> asked;
    const Entries entries =
        Load("a.vqf\nhalf.vqf\n#c\ntitle-only.vqf\nnone.vqf\n", 0, [&](const CString& path, CString& title, CString& author) {
            asked.emplace_back(path.GetString());
            EXPECT_TRUE(title.IsEmpty() && author.IsEmpty()) << "strings not fresh for " << path.GetString();
            const FakeTags& tags = headers.at(path.GetString());
            if (tags.title)
                title = tags.title;
            if (tags.author)
                author = tags.author;
            return tags.result;
        });

    EXPECT_EQ(entries, (Entries{{"Song [Artist]", 0}, {"half.vqf", 1}, {"Tune []", 3}, {"none.vqf", 4}}));
    EXPECT_EQ(asked, (std::vector<std::string>{"a.vqf", "half.vqf", "title-only.vqf", "none.vqf"}));
}

// The window's reader shows a message for a file it cannot read and reports
// 0; the load then goes on with the next line.
TEST_F(PlaylistLoaderTest, TitleModeWithRealHeaders)
{
    const std::string good = m_dir.Path("good.vqf");
    const std::string missing = m_dir.Path("missing.vqf");
    const std::string misordered = m_dir.Path("misordered.vqf");
    WriteBytes(good, VqfFileBytes("Song", "Artist"));
    WriteBytes(misordered, VqfHeaderBytes(VqfChunk("COMM", "") + VqfChunk("NAME", "Other") + VqfChunk("AUTH", "Someone")));
    std::vector<std::string> messages;

    const Entries entries =
        Load(misordered + "\n" + missing + "\n" + good + "\n", 0, [&](const CString& path, CString& title, CString& author) {
            try {
                return ReadVqfHeaderTags(path, title, author);
            } catch (const CFileException&) {
                messages.emplace_back(path.GetString());
                return 0;
            }
        });

    EXPECT_EQ(entries, (Entries{{misordered, 0}, {missing, 1}, {"Song [Artist]", 2}}));
    EXPECT_EQ(messages, std::vector<std::string>{missing});
}

// The load on threads gives what the one-thread load gives, whatever the
// order its threads finish in and however many of them it can start.
class EntryLoadTest : public PlaylistLoaderTest
{
protected:
    struct Taken
    {
        Entries entries;
        std::vector<UINT> unreadable;  // line indices
        CEntryLoad::State state;
    };

    // Starts a load and takes its entries as the window does: on each
    // notification, every finished one in order.
    Taken LoadOnThreads(const std::string& playlistBytes, int displayMode, CEntryLoad::Options options)
    {
        const std::string path = m_dir.Path("threads.vql");
        WriteBytes(path, playlistBytes);
        CEntryLoad::Ref load = Start(path, displayMode, std::move(options));
        Taken taken;
        for (;;) {
            taken.state = load->GetState();
            while (const CEntryLoad::Entry* entry = load->TakeFinished()) {
                taken.entries.emplace_back(std::string(entry->text.GetString(), entry->text.GetLength()), entry->lineIndex);
                if (entry->unreadable)
                    taken.unreadable.push_back(entry->lineIndex);
            }
            if (taken.state == CEntryLoad::openFailed || load->IsComplete() || !WaitForNotification())
                return taken;
        }
    }

    // The notification reaches a signal the load keeps alive: a thread may
    // still be inside it when the test has its entries.
    struct Signal
    {
        std::mutex mutex;
        std::condition_variable wake;
        bool notified = false;
    };

    CEntryLoad::Ref Start(const std::string& path, int displayMode, CEntryLoad::Options options)
    {
        return CEntryLoad::Start(path.c_str(), displayMode, [signal = m_signal] {
            std::lock_guard<std::mutex> lock(signal->mutex);
            signal->notified = true;
            signal->wake.notify_one();
        }, std::move(options));
    }

    bool WaitForNotification()
    {
        std::unique_lock<std::mutex> lock(m_signal->mutex);
        const bool notified = m_signal->wake.wait_for(lock, std::chrono::seconds(30), [this] { return m_signal->notified; });
        EXPECT_TRUE(notified) << "the load stopped reporting";
        m_signal->notified = false;
        return notified;
    }

    std::shared_ptr<Signal> m_signal = std::make_shared<Signal>();
};

TEST_F(EntryLoadTest, TitleModeOnThreadsGivesTheOneThreadResult)
{
    // Entries whose headers read, fail half way, or cannot be opened, each
    // taking its own time, so that the threads finish out of order; every
    // 13th names an earlier entry's file again (read once: files are opened
    // for exclusive use).
    const auto name = [](int i) { return (i % 7 == 3 ? "missing" : i % 5 == 1 ? "half" : "song") + std::to_string(i); };
    std::string playlist = "#control(repeat=\"all\")\n";
    for (int i = 0; i < 300; ++i)
        playlist += name(i % 13 ? i : i / 2) + ".vqf\n" + (i % 11 ? "" : "\n#c\n");
    std::atomic<int> reads{0};
    int readSleepMs = 0;  // 0: a few hundred microseconds, by the path
    const VqfTagReader readTags = [&reads, &readSleepMs](const CString& path, CString& title, CString& author) {
        ++reads;
        if (readSleepMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(readSleepMs));
        else
            std::this_thread::sleep_for(std::chrono::microseconds((path.GetLength() * 37 + path[4] * 11) % 300));
        if (path.Find('m') == 0)
            throw CFileException(CFileException::fileNotFound, 2, path);
        title = "T " + path;
        if (path.Find('h') == 0)
            return 0;
        author = "A";
        return 1;
    };
    std::vector<UINT> expectedUnreadable;
    std::set<std::string> distinctLines;
    const Entries expected = Load(playlist, 0, [&](const CString& path, CString& title, CString& author) {
        distinctLines.insert(path.GetString());
        try {
            return readTags(path, title, author);
        } catch (const CFileException&) {
            return 0;
        }
    });
    for (const auto& entry : expected) {
        if (entry.first[0] == 'm')
            expectedUnreadable.push_back(entry.second);
    }

    // slowReadMs 0 starts every reader at once; else the reader thread
    // starts them when headers come slower than that each. Whether threads
    // besides the playlist's reader were asked for is unchecked where
    // threads are refused; how many is not told: the others may finish the
    // load while the reader still starts them.
    enum Threads { unchecked, readerAlone, others };
    const struct
    {
        const char* name;
        int headerReaders;
        int threadsAvailable;
        double slowReadMs;
        int readSleepMs;
        Threads threads;
    } cases[] = {
        {"eight readers", 8, 100, 0, 0, others},
        {"one reader", 1, 100, 0, 0, readerAlone},
        {"no thread at all: the caller reads", 8, 0, 0, 0, unchecked},
        {"only the playlist's reader", 8, 1, 0, 0, unchecked},
        {"three of eight", 8, 3, 0, 0, unchecked},
        {"headers quicker than a second each: the reader alone", 8, 100, 1000, 0, readerAlone},
        {"headers of 2 ms each: the others join", 8, 100, CEntryLoad::kSlowReadMs, 2, others},
    };
    for (const auto& c : cases) {
        reads = 0;
        readSleepMs = c.readSleepMs;
        // The first threadsAvailable threads start, then none. A row's own
        // count: a load's reader may still be starting threads after the
        // load is whole.
        const auto available = std::make_shared<std::atomic<int>>(c.threadsAvailable);
        CEntryLoad::Options options;
        options.readTags = readTags;
        options.beginThread = [available](AFX_WORKERPROC pfnWorker, void* pParam) {
            return (*available)-- > 0 && AfxBeginWorkerThread(pfnWorker, pParam);
        };
        options.headerReaders = c.headerReaders;
        options.slowReadMs = c.slowReadMs;
        const Taken taken = LoadOnThreads(playlist, 0, options);
        EXPECT_EQ(taken.entries, expected) << c.name;
        EXPECT_EQ(taken.unreadable, expectedUnreadable) << c.name;
        EXPECT_EQ(reads, static_cast<int>(distinctLines.size())) << c.name << ": every file once";
        const int asked = c.threadsAvailable - *available;
        if (c.threads == readerAlone) {
            EXPECT_EQ(asked, 1) << c.name;
        }
        if (c.threads == others) {
            EXPECT_GE(asked, 2) << c.name;
        }
    }
}

// A cancelled load's threads stop after the read they are in, even while
// one of them is held in a read; the load outlives them (the sanitizers
// see every reference).
TEST_F(EntryLoadTest, ACancelledLoadReadsNoFurther)
{
    std::string playlist;
    for (int i = 0; i < 100; ++i)
        playlist += "song" + std::to_string(i) + ".vqf\n";
    struct Reads
    {
        std::mutex held;
        std::atomic<int> count{0};
    };
    const auto reads = std::make_shared<Reads>();
    reads->held.lock();
    CEntryLoad::Options options;
    options.headerReaders = 4;
    options.slowReadMs = 0;
    options.readTags = [reads](const CString& path, CString& title, CString&) {
        if (path == "song10.vqf") {
            reads->held.lock();
            reads->held.unlock();
        }
        title = path;
        ++reads->count;
        return 0;
    };
    const std::string path = m_dir.Path("held.vql");
    WriteBytes(path, playlist);
    {
        CEntryLoad::Ref load = Start(path, 0, options);
        while (reads->count < 30)
            std::this_thread::yield();
        load->Cancel();
    }
    const int readsAtCancel = reads->count;
    reads->held.unlock();
    // Time for a thread that went on to read more; one that did not is no fault.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_LE(reads->count, readsAtCancel + 4) << "each thread finishes the read it is in, and no more";
}

}  // namespace
