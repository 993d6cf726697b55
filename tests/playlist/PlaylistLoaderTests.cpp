#include "playlist/PlaylistLoader.h"

#include "playlist/VqfHeader.h"

#include "tests/framework/TempDir.h"
#include "tools/VqfWriter.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
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

}  // namespace
