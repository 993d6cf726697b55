#include "tools/standin_player/StandinPlaylist.h"

#include <gtest/gtest.h>

namespace {

struct PlaylistCase
{
    const char* name;
    CString bytes;
    bool repeatAll;
    std::vector<CString> entries;
};

const PlaylistCase kPlaylistCases[] = {
    {"as Jumbla writes it", "#control(repeat=\"all\")\r\nC:\\b.vqf\r\nC:\\a.vqf\r\n", true,
     {"C:\\b.vqf", "C:\\a.vqf"}},
    {"no directive", "C:\\a.vqf\r\nC:\\b.vqf\r\n", false, {"C:\\a.vqf", "C:\\b.vqf"}},
    {"directive not on the first line", "C:\\a.vqf\r\n#control(repeat=\"all\")\r\n", false, {"C:\\a.vqf"}},
    {"other directive", "#control(repeat=\"one\")\r\nC:\\a.vqf\r\n", false, {"C:\\a.vqf"}},
    {"comments, blank lines, LF only, last line without end", "# x\n\nC:\\a.vqf\n \n#y\nC:\\b c.vqf", false,
     {"C:\\a.vqf", " ", "C:\\b c.vqf"}},
    {"directive only", "#control(repeat=\"all\")\r\n", true, {}},
    {"empty file", "", false, {}},
    // A stray lead byte before the LF must not swallow the line end.
    {"code page 932 and a stray lead byte", "C:\\\x83\x5C.vqf\r\nC:\\x\x83\nC:\\y.vqf\r\n", false,
     {"C:\\\x83\x5C.vqf", "C:\\x\x83", "C:\\y.vqf"}},
};

TEST(StandinPlaylistTest, ListsEntriesInOrderAndTheRepeatDirective)
{
    for (const PlaylistCase& c : kPlaylistCases) {
        SCOPED_TRACE(c.name);
        const StandinPlaylist playlist = ParseStandinPlaylist(c.bytes);
        EXPECT_EQ(playlist.repeatAll, c.repeatAll);
        EXPECT_EQ(playlist.entries, c.entries);
    }
}

}
