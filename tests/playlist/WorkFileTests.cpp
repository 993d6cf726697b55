#include "playlist/WorkFile.h"

#include <gtest/gtest.h>

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

}  // namespace
