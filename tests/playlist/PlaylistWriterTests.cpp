#include "playlist/PlaylistWriter.h"

#include "playlist/PlaylistLoader.h"

#include "tests/framework/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kDirective = "#control(repeat=\"all\")\r\n";

class PlaylistWriterTest : public ::testing::Test
{
protected:
    PlaylistWriterTest() : m_sourcePath(m_dir.Path("mine.vql")), m_workPath(m_dir.Path("jumbla_work.vql")) {}

    // Writes the entries of the source playlist in the given line-index order
    // and returns the bytes of the work file.
    std::string Write(const std::string& sourceBytes, const std::vector<UINT>& lineIndices)
    {
        WriteBytes(m_sourcePath, sourceBytes);
        CStdioFile source(m_sourcePath.c_str(), CFile::modeRead | CFile::typeText);
        CStdioFile work(m_workPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        WriteShuffledPlaylist(source, work, lineIndices);
        EXPECT_FALSE(source.IsOpen());
        EXPECT_FALSE(work.IsOpen());
        return ReadBytes(m_workPath);
    }

    TempDir m_dir;
    const std::string m_sourcePath;
    const std::string m_workPath;
};

struct WriteCase
{
    const char* name;
    std::string source;
    std::vector<UINT> lineIndices;
    std::string written;
};

const WriteCase kWriteCases[] = {
    {"shuffled to b, a", "#x\na.vqf\n\nb.vqf\n", {3, 1}, kDirective + "b.vqf\r\na.vqf\r\n"},
    {"empty list", "#x\na.vqf\n", {}, kDirective},
    {"index past the end", "a.vqf\nb.vqf\n", {1, 5, 0}, kDirective + "b.vqf\r\n\r\na.vqf\r\n"},
    {"source directive not copied", "#control(repeat=\"all\")\r\nb.vqf\r\n", {1}, kDirective + "b.vqf\r\n"},
    {"bytes kept as they are", "C:\\\x95\x5C\\\x8B\xC8.vqf  \r\n\tx.vqf\t\r\n", {1, 0},
     kDirective + "\tx.vqf\t\r\nC:\\\x95\x5C\\\x8B\xC8.vqf  \r\n"},
    {"NUL bytes kept", std::string("a\0b.vqf\n", 8), {0}, kDirective + std::string("a\0b.vqf\r\n", 9)},
    {"same line twice", "a.vqf\n", {0, 0}, kDirective + "a.vqf\r\na.vqf\r\n"},
};

TEST_F(PlaylistWriterTest, WritesDirectiveThenLinesInOrderThatLoadBack)
{
    for (const WriteCase& c : kWriteCases)
        EXPECT_EQ(Write(c.source, c.lineIndices), c.written) << c.name;

    // What is written loads back from line one, after the directive.
    Write("#x\na.vqf\n\nb.vqf\n", {3, 1});
    CStdioFile written(m_workPath.c_str(), CFile::modeRead | CFile::typeText);
    std::vector<std::pair<std::string, UINT>> entries;
    LoadPlaylistEntries(written, [&](const CString& text, UINT lineIndex) {
        entries.emplace_back(text.GetString(), lineIndex);
        return true;
    });
    EXPECT_EQ(entries, (std::vector<std::pair<std::string, UINT>>{{"b.vqf", 1}, {"a.vqf", 2}}));
}

// The entries were loaded from a longer file; the writer sees the file as it
// is now.
TEST_F(PlaylistWriterTest, ReadsTheSourceAsItIsWhenWriting)
{
    WriteBytes(m_sourcePath, "a.vqf\nb.vqf\nc.vqf\n");
    CStdioFile source(m_sourcePath.c_str(), CFile::modeRead | CFile::typeText);
    CString line;
    while (source.ReadString(line)) {
    }
    CStdioFile work(m_workPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
    WriteShuffledPlaylist(source, work, {2, 0});
    EXPECT_EQ(ReadBytes(m_workPath), kDirective + "c.vqf\r\na.vqf\r\n");
}

// A destination opened only for reading refuses every write: small output
// fails when the last buffer is flushed on close, large output while the
// entries are written. Either way the error reaches the caller and both files
// are closed.
TEST_F(PlaylistWriterTest, WriteErrorLeavesWithBothFilesClosed)
{
    const std::string line(100, 'x');
    WriteBytes(m_sourcePath, line + "\n");
    WriteBytes(m_workPath, "");
    for (std::size_t entries : {1, 2000}) {
        CStdioFile source(m_sourcePath.c_str(), CFile::modeRead | CFile::typeText);
        CStdioFile work(m_workPath.c_str(), CFile::modeRead | CFile::typeText);
        EXPECT_THROW(WriteShuffledPlaylist(source, work, std::vector<UINT>(entries, 0)), CFileException)
            << entries << " entries";
        EXPECT_FALSE(source.IsOpen()) << entries << " entries";
        EXPECT_FALSE(work.IsOpen()) << entries << " entries";
    }
}

}  // namespace
