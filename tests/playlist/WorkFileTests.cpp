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

TEST_F(WorkFileTest, WriteWorkFileFailsQuietlyWhenAFileCannotBeOpened)
{
    WriteBytes(m_dir.Path("mine.vql"), "a.vqf\r\n");
    EXPECT_FALSE(WriteWorkFile(Path("missing.vql"), Path("jumbla_work.vql"), {0}));
    EXPECT_FALSE(Exists("jumbla_work.vql")) << "no work file without a playlist";
    EXPECT_FALSE(WriteWorkFile("", Path("jumbla_work.vql"), {}));
    EXPECT_FALSE(WriteWorkFile(Path("mine.vql"), Path("no folder/jumbla_work.vql"), {0}));
}

// A playlist saved as its folder's work file is never deleted as "its" work
// file: every command that cleans the work file up goes through this check
// (the window's commands: FileCommandTest.APlaylistNamedLikeTheWorkFileIsNeverDeleted).
TEST_F(WorkFileTest, APlaylistNamedLikeItsWorkFileIsNeverDeleted)
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
#ifdef _WIN32
    // On the disk, with the name resolved first (letter case, "..").
    WriteBytes(m_dir.Path("mine.vql"), "a.vqf\r\n");
    WriteBytes(m_dir.Path("jumbla_work.vql"), "work");
    DeleteWorkFileOf(Path("mine.vql"));
    EXPECT_FALSE(Exists("jumbla_work.vql"));
    DeleteWorkFileOf(Path("mine.vql"));  // already gone: no error
    WriteBytes(m_dir.Path("JUMBLA_WORK.VQL"), "a.vqf\r\n");
    for (const char* own : {"JUMBLA_WORK.VQL", "sub\\..\\JUMBLA_WORK.VQL"}) {
        DeleteWorkFileOf(Path(own));
        EXPECT_EQ(ReadBytes(m_dir.Path("JUMBLA_WORK.VQL")), "a.vqf\r\n") << own;
    }
#endif
}

#ifdef _WIN32

// Save replaces the target whole or leaves the folder as it was: no partial
// file, no work file, and never a save under the work file's name (the next
// command deletes it).
TEST_F(WorkFileTest, SavingReplacesTheTargetWholeOrLeavesTheFolderAsItWas)
{
    const std::string saved = "#control(repeat=\"all\")\r\nb.vqf\r\na.vqf\r\n";
    const struct
    {
        const char* playlist;
        const char* target;
        bool ok;
    } cases[] = {
        {"mine.vql", "saved.vql", true},
        {"mine.vql", "no folder\\saved.vql", false},
        {"mine.vql", "JUMBLA_WORK.vql", false},
        {"mine.vql", "sub\\..\\jumbla_work.vql", false},
        {"missing.vql", "saved.vql", false},
    };
    WriteBytes(m_dir.Path("mine.vql"), "a.vqf\r\nb.vqf\r\n");
    for (const auto& c : cases) {
        WriteBytes(m_dir.Path("saved.vql"), "old");
        EXPECT_EQ(SavePlaylistAs(Path(c.playlist), {1, 0}, Path(c.target)) != FALSE, c.ok) << c.target;
        EXPECT_EQ(ReadBytes(m_dir.Path("saved.vql")), c.ok ? saved : "old") << c.target;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 2) << c.target;
    }
}

#endif

}  // namespace
