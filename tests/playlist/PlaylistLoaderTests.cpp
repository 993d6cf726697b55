#include "playlist/PlaylistLoader.h"

#include "playlist/EntryLoad.h"
#include "playlist/VqfHeader.h"

#include "tests/framework/TempDir.h"
#include "tools/VqfWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
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

    // A title-mode load on the program's threads, real files and all.
    Entries LoadTitles(const std::string& playlistBytes)
    {
        const std::string path = m_dir.Path("titles.vql");
        WriteBytes(path, playlistBytes);
        const auto load = CEntryLoad::Start(path.c_str(), DisplayMode::title, CEntryLoad::Options());
        Entries entries;
        for (int waits = 0; !load->IsComplete() && load->GetState() != CEntryLoad::openFailed && waits < 30000; ++waits) {
            for (; const CEntryLoad::Entry* entry = load->NextFinished(); load->TakeNext())
                entries.emplace_back(std::string(entry->text.GetString(), entry->text.GetLength()), entry->lineIndex);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_TRUE(load->IsComplete());
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

TEST_F(PlaylistLoaderTest, TitleModeShowsTagsOrTheEntrysOwnLine)
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
}

// A file that cannot be read shows its line and goes on with the next one.
TEST_F(PlaylistLoaderTest, TitleModeWithRealHeaders)
{
    const std::string good = m_dir.Path("good.vqf");
    const std::string missing = m_dir.Path("missing.vqf");
    const std::string misordered = m_dir.Path("misordered.vqf");
    WriteBytes(good, VqfFileBytes("Song", "Artist"));
    WriteBytes(misordered, VqfHeaderBytes(VqfChunk("COMM", "") + VqfChunk("NAME", "Other") + VqfChunk("AUTH", "Someone")));

    EXPECT_EQ(LoadTitles(misordered + "\n" + missing + "\n" + good + "\n"),
              (Entries{{misordered, 0}, {missing, 1}, {"Song [Artist]", 2}}));
}

}  // namespace
