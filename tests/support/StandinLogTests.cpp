#include "tests/support/standin_player/StandinLog.h"

#include <gtest/gtest.h>

namespace {

StandinRecord RecordOfRead(const CString& commandLine, const CString& argument, const CString& playlist)
{
    StandinRecord record;
    record.commandLine = commandLine;
    record.argument = argument;
    record.playlistRead = true;
    record.playlist = playlist;
    return record;
}

StandinRecord RecordOfFailedRead(const CString& commandLine, const CString& argument, unsigned long error)
{
    StandinRecord record;
    record.commandLine = commandLine;
    record.argument = argument;
    record.readError = error;
    return record;
}

void ExpectSameRecord(const StandinRecord& actual, const StandinRecord& expected)
{
    EXPECT_EQ(actual.commandLine, expected.commandLine);
    EXPECT_EQ(actual.argument, expected.argument);
    EXPECT_EQ(actual.playlistRead, expected.playlistRead);
    EXPECT_EQ(actual.playlist, expected.playlist);
    EXPECT_EQ(actual.readError, expected.readError);
}

TEST(StandinLogTest, RecordsReadBackByteForByte)
{
    // Field contents that look like the log's own syntax, NULs, CP932 and
    // bare CRs must all survive.
    const char tricky[] = "end\r\nplaylist 3\r\n\0\r\x83\x5C";
    const StandinRecord records[] = {
        RecordOfRead("C:\\svq\\SVQPlyer.exe C:\\My Music\\jumbla_work.vql", "C:\\My Music\\jumbla_work.vql",
                   "#control(repeat=\"all\")\r\nC:\\b.vqf\r\nC:\\a.vqf\r\n"),
        RecordOfRead("C:\\svq\\SVQPlyer.exe x.vql", "x.vql", CString(tricky, sizeof(tricky) - 1)),
        RecordOfFailedRead("C:\\svq\\SVQPlyer.exe C:\\missing.vql", "C:\\missing.vql", 2),
        RecordOfFailedRead("C:\\svq\\SVQPlyer.exe", "", 3),
        RecordOfRead("C:\\svq\\SVQPlyer.exe empty.vql", "empty.vql", ""),
    };
    CString log;
    for (const StandinRecord& record : records)
        log += FormatStandinRecord(record);

    std::vector<StandinRecord> parsed;
    ASSERT_TRUE(ParseStandinLog(log, parsed));
    ASSERT_EQ(parsed.size(), std::size(records));
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectSameRecord(parsed[i], records[i]);
    }
}

TEST(StandinLogTest, ReadsAsText)
{
    EXPECT_EQ(FormatStandinRecord(RecordOfRead("P a.vql", "a.vql", "x\r\n")),
              "SVQPlyer stand-in record\r\ncommand-line 7\r\nP a.vql\r\nargument 5\r\na.vql\r\n"
              "playlist 3\r\nx\r\n\r\nend\r\n");
    EXPECT_EQ(FormatStandinRecord(RecordOfFailedRead("P", "", 5)),
              "SVQPlyer stand-in record\r\ncommand-line 1\r\nP\r\nargument 0\r\n\r\n"
              "playlist-error 1\r\n5\r\nend\r\n");
}

TEST(StandinLogTest, RejectsDamagedLogsAndKeepsWholeRecords)
{
    const CString whole = FormatStandinRecord(RecordOfRead("P a.vql", "a.vql", "x\r\n"));
    struct DamageCase
    {
        const char* name;
        CString log;
    };
    const DamageCase cases[] = {
        {"cut inside the second record", whole + whole.Left(whole.GetLength() - 3)},
        {"count larger than the rest", whole + "SVQPlyer stand-in record\r\ncommand-line 99\r\nP\r\n"},
        {"count not a number", whole + "SVQPlyer stand-in record\r\ncommand-line x\r\nP\r\n"},
        {"negative count", whole + "SVQPlyer stand-in record\r\ncommand-line -1\r\nP\r\n"},
        {"bytes not followed by CR LF", whole + "SVQPlyer stand-in record\r\ncommand-line 1\r\nPQ\r\n"},
        {"unknown field", whole + "SVQPlyer stand-in record\r\nprogram 1\r\nP\r\n"},
        {"text that is no record", whole + "hello\r\n"},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<StandinRecord> parsed;
        EXPECT_FALSE(ParseStandinLog(c.log, parsed));
        ASSERT_EQ(parsed.size(), 1u);
        EXPECT_EQ(parsed[0].argument, "a.vql");
    }
}

}
