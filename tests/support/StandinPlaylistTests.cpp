#include "tests/support/standin_player/StandinPlaylist.h"

#include "tests/support/standin_player/StandinDescription.h"

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

namespace {

TEST(StandinDescriptionTest, ShowsWhatItWouldPlayAndNeverClaimsToPlay)
{
    StandinRecord record;
    record.commandLine = "C:\\svq\\SVQPlyer.exe C:\\My Music\\jumbla_work.vql";
    record.argument = "C:\\My Music\\jumbla_work.vql";
    record.playlistRead = true;
    record.playlist = "#control(repeat=\"all\")\r\nC:\\b.vqf\r\n#x\r\n\r\nC:\\\x83\x5C.vqf\r\n";
    EXPECT_EQ(DescribeStandinRecord(record),
              (std::vector<CString>{"This is a stand-in for SoundVQ Player. It plays no audio.",
                                    "Command line: " + record.commandLine, "Playlist: " + record.argument,
                                    "repeat all", "Would play 2 files in this order:", "1.  C:\\b.vqf",
                                    "2.  C:\\\x83\x5C.vqf"}));

    record.playlist = "C:\\a.vqf\r\n";
    EXPECT_EQ(DescribeStandinRecord(record)[3], "play once (no repeat directive on the first line)");

    record.playlistRead = false;
    record.readError = 2;
    EXPECT_EQ(DescribeStandinRecord(record).back(), "The playlist could not be read (error 2).");

    record.argument = "";
    EXPECT_EQ(DescribeStandinRecord(record).back(), "No playlist was given.");
}

}
