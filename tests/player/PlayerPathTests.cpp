#include "player/PlayerPath.h"

#include <gtest/gtest.h>

namespace {

struct PathCase
{
    const char* name;
    CString decodeDll;
    CString playerPath;
};

const PathCase kPathCases[] = {
    {"8.3 library name", "C:\\Program Files\\SoundVQ\\ABCDEFGH.DLL", "C:\\Program Files\\SoundVQ\\SVQPlyer.exe"},
    {"shorter library name still loses 12 bytes", "C:\\SVQ\\DEC.DLL", "C:SVQPlyer.exe"},
    {"exactly 12 bytes", "SVQDEC32.DLL", "SVQPlyer.exe"},
    {"13 bytes keep one", "\\SVQDEC32.DLL", "\\SVQPlyer.exe"},
    {"shorter than 12 bytes", "DEC.DLL", "SVQPlyer.exe"},
    {"one byte", "C", "SVQPlyer.exe"},
    {"empty", "", "SVQPlyer.exe"},
    // 音楽 and ソ (0x83 0x5C, a trail byte that looks like a backslash) in
    // the folder: bytes before the library name are kept exactly.
    {"code page 932 folder", "C:\\\x89\xB9\x8A\x79\\SVQDEC32.DLL", "C:\\\x89\xB9\x8A\x79\\SVQPlyer.exe"},
    {"trail byte 0x5C before the name", "C:\\\x83\x5C\\SVQDEC32.DLL", "C:\\\x83\x5C\\SVQPlyer.exe"},
    // A double-byte library name is cut by bytes, as the player's key is read.
    {"double-byte library name", "C:\\SVQ\\\x89\xB9\x8A\x79\x83\x66\x83\x52.DLL", "C:\\SVQ\\SVQPlyer.exe"},
};

TEST(PlayerPathTest, ReplacesTheLastTwelveBytes)
{
    for (const PathCase& c : kPathCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlayerPathFromDecoderPath(c.decodeDll), c.playerPath);
    }
}

TEST(PlayerCommandLineTest, JoinsWithOneBlankAndQuotesNothing)
{
    EXPECT_EQ(PlayerCommandLine("C:\\svq\\SVQPlyer.exe", "C:\\My Music\\jumbla_work.vql"),
              "C:\\svq\\SVQPlyer.exe C:\\My Music\\jumbla_work.vql");
    EXPECT_EQ(PlayerCommandLine("C:\\Program Files\\SoundVQ\\SVQPlyer.exe", "jumbla_work.vql"),
              "C:\\Program Files\\SoundVQ\\SVQPlyer.exe jumbla_work.vql");
    EXPECT_EQ(PlayerCommandLine("C:\\svq\\SVQPlyer.exe", "C:\\\x89\xB9\x8A\x79\\jumbla_work.vql"),
              "C:\\svq\\SVQPlyer.exe C:\\\x89\xB9\x8A\x79\\jumbla_work.vql");
}

}
