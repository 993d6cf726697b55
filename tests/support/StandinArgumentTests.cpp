#include "tests/support/standin_player/StandinArgument.h"

#include <gtest/gtest.h>

namespace {

struct ArgumentCase
{
    const char* name;
    CString commandLine;
    CString argument;
};

const ArgumentCase kArgumentCases[] = {
    {"as Jumbla starts the player", "C:\\svq\\SVQPlyer.exe C:\\My Music\\jumbla_work.vql",
     "C:\\My Music\\jumbla_work.vql"},
    {"blanks in the player's folder too",
     "C:\\Program Files\\SoundVQ\\SVQPlyer.exe C:\\My Music\\jumbla_work.vql", "C:\\My Music\\jumbla_work.vql"},
    {"other letter case", "C:\\SVQ\\svqplyer.EXE C:\\a b.vql", "C:\\a b.vql"},
    {"relative program name", "C:SVQPlyer.exe C:\\list\\jumbla_work.vql", "C:\\list\\jumbla_work.vql"},
    {"bare program name", "SVQPlyer.exe x.vql", "x.vql"},
    {"quoted program name", "\"C:\\Program Files\\SoundVQ\\SVQPlyer.exe\" C:\\My Music\\a.vql",
     "C:\\My Music\\a.vql"},
    {"quoted argument from a shell", "\"C:\\svq\\SVQPlyer.exe\" \"C:\\My Music\\a.vql\"", "C:\\My Music\\a.vql"},
    {"blanks inside the argument kept", "C:\\svq\\SVQPlyer.exe C:\\a  b .vql", "C:\\a  b .vql"},
    {"extra blanks after the program name", "C:\\svq\\SVQPlyer.exe \t C:\\a.vql", "C:\\a.vql"},
    {"no argument", "C:\\svq\\SVQPlyer.exe", ""},
    {"no argument, trailing blank", "C:\\svq\\SVQPlyer.exe ", ""},
    {"our name ending a longer name is not ours", "C:\\x y\\MySVQPlyer.exe C:\\a.vql",
     "y\\MySVQPlyer.exe C:\\a.vql"},
    {"name of a folder is not the end", "C:\\SVQPlyer.exe.d\\SVQPlyer.exe C:\\a.vql", "C:\\a.vql"},
    // ソ is 0x83 0x5C: its trail byte is no backslash, so the folder
    // "ソSVQPlyer.exe x" does not end the program name.
    {"trail byte 0x5C before the name", "C:\\\x83\x5CSVQPlyer.exe x\\SVQPlyer.exe C:\\a.vql", "C:\\a.vql"},
    {"code page 932 argument", "C:\\svq\\SVQPlyer.exe C:\\\x89\xB9\x8A\x79\\\x83\x5C.vql",
     "C:\\\x89\xB9\x8A\x79\\\x83\x5C.vql"},
    {"other program name, usual rule", "C:\\x\\player.exe C:\\a b.vql", "C:\\a b.vql"},
    {"other quoted program name, usual rule", "\"C:\\x y\\player.exe\" C:\\a b.vql", "C:\\a b.vql"},
    {"empty command line", "", ""},
};

TEST(StandinArgumentTest, TakesEverythingAfterTheProgramName)
{
    for (const ArgumentCase& c : kArgumentCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StandinArgument(c.commandLine, "SVQPlyer.exe"), c.argument);
    }
}

}
