#include "playlist/PlaylistLoader.h"

#include "playlist/EntryLoad.h"
#include "playlist/VqfHeader.h"

#include "tests/framework/TempDir.h"
#include "VqfWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
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
    Entries LoadRaw(const std::string& playlistBytes)
    {
        const std::string path = m_dir.Path("list.vql");
        WriteBytes(path, playlistBytes);
        CStdioFile playlist(path.c_str(), CFile::modeRead | CFile::typeText);
        Entries entries;
        LoadPlaylistEntries(playlist, [&](const CString& text, UINT lineIndex) {
            entries.emplace_back(std::string(text.GetString(), text.GetLength()), lineIndex);
            return true;
        });
        return entries;
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

TEST(DisplayModeTest, EveryRadioIndexButTheFirstShowsLines)
{
    EXPECT_EQ(DisplayModeOf(0), DisplayMode::title);
    EXPECT_EQ(DisplayModeOf(1), DisplayMode::fileName);
    EXPECT_EQ(DisplayModeOf(2), DisplayMode::fileName);
    EXPECT_EQ(DisplayModeOf(-1), DisplayMode::fileName);
}

// Header results by path; a reader that fails has already written what it
// had read, as the real one does, to show that none of it reaches the list.
struct FakeTags
{
    int result;
    const char* title;
    const char* author;
};

TEST_F(PlaylistLoaderTest, TitleModeShowsTagsOrTheEntrysOwnLineFromFakeAndRealHeaders)
{
    const std::map<std::string, FakeTags> headers = {
        {"a.vqf", {1, "Song", "Artist"}},
        {"half.vqf", {0, "Half", nullptr}},
        {"title-only.vqf", {1, "Tune", nullptr}},
        {"none.vqf", {0, nullptr, nullptr}},
    };
    const VqfTagReader readTags = [&](const CString& path, CString& title, CString& author) {
        EXPECT_TRUE(title.IsEmpty() && author.IsEmpty()) << "strings not fresh for " << path.GetString();
        const FakeTags& tags = headers.at(path.GetString());
        if (tags.title)
            title = tags.title;
        if (tags.author)
            author = tags.author;
        return tags.result;
    };
    const std::map<std::string, std::string> expected = {
        {"a.vqf", "Song [Artist]"}, {"half.vqf", "half.vqf"}, {"title-only.vqf", "Tune []"}, {"none.vqf", "none.vqf"}};
    for (const auto& line : expected)
        EXPECT_EQ(TitleText(line.first.c_str(), readTags), line.second.c_str()) << line.first;

    // The real reader: a header out of order shows the line; a file that
    // cannot be opened leaves as CFileException (the load shows its line).
    const std::string good = m_dir.Path("good.vqf");
    const std::string misordered = m_dir.Path("misordered.vqf");
    WriteBytes(good, VqfFileBytes("Song", "Artist"));
    WriteBytes(misordered, VqfHeaderBytes(VqfChunk("COMM", "") + VqfChunk("NAME", "Other") + VqfChunk("AUTH", "Someone")));
    EXPECT_EQ(TitleText(good.c_str(), &ReadVqfHeaderTags), "Song [Artist]");
    EXPECT_EQ(TitleText(misordered.c_str(), &ReadVqfHeaderTags), misordered.c_str());
    EXPECT_THROW(TitleText(m_dir.Path("missing.vqf").c_str(), &ReadVqfHeaderTags), CFileException);
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

    // Takes the entries as the window does: every finished one, in order,
    // at every poll.
    static Taken Take(const std::shared_ptr<CEntryLoad>& load)
    {
        Taken taken;
        for (int polls = 0; polls < 30000; ++polls) {
            taken.state = load->GetState();
            if (taken.state == CEntryLoad::opened) {
                for (std::size_t i = taken.entries.size(); i < load->GetCount() && load->IsFinished(i); ++i) {
                    const CEntryLoad::Entry entry = load->GetEntry(i);
                    taken.entries.emplace_back(std::string(entry.text.GetString(), entry.text.GetLength()), entry.lineIndex);
                    if (entry.unreadable)
                        taken.unreadable.push_back(entry.lineIndex);
                }
            }
            if (taken.state == CEntryLoad::openFailed
                || (taken.state == CEntryLoad::opened && taken.entries.size() == load->GetCount()))
                return taken;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ADD_FAILURE() << "the load did not end";
        return taken;
    }
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
    const std::string path = m_dir.Path("threads.vql");
    WriteBytes(path, playlist);
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
    // The one-thread result: each line in turn, as the reader gives them.
    Entries expected;
    std::vector<UINT> expectedUnreadable;
    std::set<std::string> distinctLines;
    CEntryLoad::ReadPlaylistFile(path.c_str(), [&](const CString& line, UINT lineIndex) {
        distinctLines.insert(line.GetString());
        try {
            expected.emplace_back(TitleText(line, readTags).GetString(), lineIndex);
        } catch (const CFileException&) {
            expected.emplace_back(line.GetString(), lineIndex);
            expectedUnreadable.push_back(lineIndex);
        }
        return true;
    });

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
        options.beginThread = [available](std::function<void()> work) {
            return (*available)-- > 0 && AfxBeginWorkerThread(std::move(work));
        };
        options.headerReaders = c.headerReaders;
        options.slowReadMs = c.slowReadMs;
        const Taken taken = Take(CEntryLoad::Start(path.c_str(), DisplayMode::title, "", options));
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

    CEntryLoad::Options noThread;
    noThread.beginThread = [](std::function<void()>) { return FALSE; };
    EXPECT_EQ(CEntryLoad::Start(path.c_str(), DisplayMode::title, "", noThread)->GetState(), CEntryLoad::openFailed)
        << "no thread: the load fails, never runs on the caller's thread";
}

}  // namespace
