#include "playlist/WorkFile.h"

#include "tests/framework/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

struct WorkFileCase
{
    const char* playlist;
    const char* workFile;
};

// "\x95\x5C" is a double-byte character whose trail byte is 0x5C, the value of '\'.
const WorkFileCase kWorkFileCases[] = {
    {"C:\\list\\mine.vql", "C:\\list\\jumbla_work.vql"},
    {"C:\\mine.vql", "C:\\jumbla_work.vql"},
    {"mine.vql", "jumbla_work.vql"},
    {"", "jumbla_work.vql"},
    {"C:\\list\\", "C:\\list\\jumbla_work.vql"},
    {"\\\\server\\share\\mine.vql", "\\\\server\\share\\jumbla_work.vql"},
    {"C:\\\x95\x5C\\mine.vql", "C:\\\x95\x5C\\jumbla_work.vql"},
    {"C:\\list\\\x95\x5C.vql", "C:\\list\\jumbla_work.vql"},
    {"\x95\x5Cmine.vql", "jumbla_work.vql"},
};

TEST(WorkFilePath, IsBesideThePlaylist)
{
    for (const WorkFileCase& c : kWorkFileCases)
        EXPECT_EQ(WorkFilePath(c.playlist), c.workFile) << "playlist: " << c.playlist;
}

TEST(WorkFilePolicy, APlaylistNamedLikeItsWorkFileIsItsOwnWorkFile)
{
    const struct
    {
        const char* playlistFullPath;
        bool own;
    } cases[] = {
        {"C:\\list\\jumbla_work.vql", true},
        {"C:\\list\\JUMBLA_WORK.VQL", true},
        {"C:\\jumbla_work.vql", true},
        {"jumbla_work.vql", true},
        {"C:\\list\\mine.vql", false},
        {"C:\\list\\jumbla_work.vql\\mine.vql", false},
        {"C:\\list\\xjumbla_work.vql", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsItsOwnWorkFile(c.playlistFullPath), c.own) << c.playlistFullPath;
}

TEST(WorkFilePolicy, AReplacementIsMadeInTheTargetsFolder)
{
    const WorkFileCase cases[] = {
        {"C:\\list\\saved.vql", "C:\\list\\"},
        {"C:\\saved.vql", "C:\\"},
        {"saved.vql", "."},
        {"C:\\\x95\x5C.vql", "C:\\"},
    };
    for (const WorkFileCase& c : cases)
        EXPECT_EQ(ReplacementFolder(c.playlist), c.workFile) << c.playlist;
}

class WorkFileTest : public ::testing::Test
{
protected:
    CString Path(const char* name) const { return m_dir.Path(name).c_str(); }
    bool Exists(const char* name) const { return std::filesystem::exists(m_dir.Path(name)); }

    TempDir m_dir;
};

TEST_F(WorkFileTest, WriteWorkFileWritesTheEntriesInTheGivenOrder)
{
    WriteBytes(m_dir.Path("mine.vql"), "#x\r\na.vqf\r\n\r\nb.vqf\r\n");
    ASSERT_TRUE(WriteWorkFile(Path("mine.vql"), Path("jumbla_work.vql"), {3, 1}));
    EXPECT_EQ(ReadBytes(m_dir.Path("jumbla_work.vql")), "#control(repeat=\"all\")\r\nb.vqf\r\na.vqf\r\n");
}

TEST_F(WorkFileTest, WriteWorkFileFailsQuietlyWhenAFileCannotBeOpened)
{
    WriteBytes(m_dir.Path("mine.vql"), "a.vqf\r\n");
    EXPECT_FALSE(WriteWorkFile(Path("missing.vql"), Path("jumbla_work.vql"), {0}));
    EXPECT_FALSE(Exists("jumbla_work.vql")) << "no work file without a playlist";
    EXPECT_FALSE(WriteWorkFile("", Path("jumbla_work.vql"), {}));
    EXPECT_FALSE(WriteWorkFile(Path("mine.vql"), Path("no folder/jumbla_work.vql"), {0}));
}

#ifdef _WIN32

TEST_F(WorkFileTest, DeletingTheWorkFileNeverDeletesThePlaylistItself)
{
    WriteBytes(m_dir.Path("mine.vql"), "a.vqf\r\n");
    WriteBytes(m_dir.Path("jumbla_work.vql"), "work");
    DeleteWorkFileOf(Path("mine.vql"));
    EXPECT_FALSE(Exists("jumbla_work.vql"));
    DeleteWorkFileOf(Path("mine.vql"));  // already gone: no error

    WriteBytes(m_dir.Path("JUMBLA_WORK.VQL"), "a.vqf\r\n");
    DeleteWorkFileOf(Path("JUMBLA_WORK.VQL"));
    DeleteWorkFileOf(Path("sub\\..\\JUMBLA_WORK.VQL"));
    EXPECT_EQ(ReadBytes(m_dir.Path("JUMBLA_WORK.VQL")), "a.vqf\r\n");
}

TEST_F(WorkFileTest, SavingReplacesTheTargetWholeWithoutAWorkFile)
{
    WriteBytes(m_dir.Path("mine.vql"), "a.vqf\r\nb.vqf\r\n");
    WriteBytes(m_dir.Path("saved.vql"), "old");
    EXPECT_TRUE(SavePlaylistAs(Path("mine.vql"), {1, 0}, Path("saved.vql")));
    EXPECT_EQ(ReadBytes(m_dir.Path("saved.vql")), "#control(repeat=\"all\")\r\nb.vqf\r\na.vqf\r\n");
    EXPECT_FALSE(Exists("jumbla_work.vql"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 2) << "no partial file left";
}

TEST_F(WorkFileTest, ASaveThatCannotBeMadeLeavesNothingBehind)
{
    WriteBytes(m_dir.Path("mine.vql"), "a.vqf\r\n");
    struct Case
    {
        const char* playlist;
        const char* target;
    };
    const Case cases[] = {{"mine.vql", "no folder\\saved.vql"},
                          {"mine.vql", "JUMBLA_WORK.vql"},  // deleted by the next command
                          {"missing.vql", "saved.vql"}};
    for (const Case& c : cases) {
        EXPECT_FALSE(SavePlaylistAs(Path(c.playlist), {0}, Path(c.target))) << c.target;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 1) << c.target;
    }
}

#endif

}  // namespace
