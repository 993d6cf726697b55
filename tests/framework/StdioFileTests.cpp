#include "framework/StdioFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

std::string Bytes(const CString& s)
{
    return std::string(s.GetString(), static_cast<std::size_t>(s.GetLength()));
}

std::vector<std::string> ReadAllLines(CStdioFile& file)
{
    std::vector<std::string> lines;
    CString line("not cleared");
    while (file.ReadString(line))
        lines.push_back(Bytes(line));
    EXPECT_TRUE(line.IsEmpty()) << "end of file must deliver an empty string";
    EXPECT_FALSE(file.ReadString(line)) << "end of file must stay the end";
    return lines;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReadStringTest : public ::testing::TestWithParam<ReadCase>
{
protected:
    TempDir m_dir;
};

TEST_P(ReadStringTest, SplitsLines)
{
    const ReadCase& c = GetParam();
    const std::string path = m_dir.Path("list.vql");
    WriteBytes(path, c.bytes);
    CStdioFile file(path.c_str(), CFile::modeRead | CFile::typeText);
    EXPECT_EQ(ReadAllLines(file), c.lines) << c.name;
}

INSTANTIATE_TEST_SUITE_P(TextEdges, ReadStringTest, ::testing::Values(
    ReadCase{"CR LF", "a\r\nb\r\n", {"a", "b"}},
    ReadCase{"LF only", "a\nb\n", {"a", "b"}},
    ReadCase{"last line without end", "a\r\nb", {"a", "b"}},
    ReadCase{"empty file", "", {}},
    ReadCase{"one empty line", "\r\n", {""}},
    ReadCase{"empty lines kept", "x\n\n\ny\n", {"x", "", "", "y"}},
    ReadCase{"lone CR is data", "a\rb\r\n", {"a\rb"}},
    ReadCase{"only the CR before LF goes", "a\r\r\n", {"a\r"}},
    ReadCase{"CR at the very end", "a\r", {"a\r"}},
    ReadCase{"Ctrl-Z mid-file", "a\nb\x1A" "c\nd\n", {"a", "b"}},
    ReadCase{"Ctrl-Z at line start", "a\n\x1A" "b\n", {"a"}},
    ReadCase{"Ctrl-Z first", "\x1A" "abc\n", {}},
    ReadCase{"NUL inside a line", std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
    ReadCase{"CP932 bytes", "C:\\\x95\x5C\\\x83\x5C.vqf\r\n", {"C:\\\x95\x5C\\\x83\x5C.vqf"}}));

class CStdioFileTest : public ::testing::Test
{
protected:
    TempDir m_dir;
    std::string m_path = m_dir.Path("list.vql");
};

// The CR of the first line is the last byte of a 64 KiB block, its LF the
// first of the next; a line of 200,000 bytes spans several blocks; 100,000
// short lines after them come back in order.
TEST_F(CStdioFileTest, LongAndManyLinesCrossTheReadBuffer)
{
    const std::string first(65535, 'y');
    const std::string longLine(200000, 'x');
    std::string bytes = first + "\r\n" + longLine + "\r\n";
    for (int i = 0; i < 100000; ++i)
        bytes += "C:\\music\\" + std::to_string(i) + ".vqf\r\n";
    WriteBytes(m_path, bytes + "tail");
    CStdioFile file(m_path.c_str(), CFile::modeRead);
    const std::vector<std::string> lines = ReadAllLines(file);
    ASSERT_EQ(lines.size(), 100003u);
    EXPECT_EQ(lines[0], first);
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2 + 0], "C:\\music\\0.vqf");
    EXPECT_EQ(lines[2 + 65536], "C:\\music\\65536.vqf");
    EXPECT_EQ(lines[2 + 99999], "C:\\music\\99999.vqf");
    EXPECT_EQ(lines[100002], "tail");
}

TEST_F(CStdioFileTest, SeekToBeginRewindsAReader)
{
    WriteBytes(m_path, "one\r\ntwo\r\nthree\x1Atrailer");
    CStdioFile file(m_path.c_str(), CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(file.GetPosition(), 10u);
    EXPECT_EQ(file.Seek(0, CFile::current), 10u);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, "three");
    EXPECT_FALSE(file.ReadString(line));

    file.SeekToBegin();
    EXPECT_EQ(ReadAllLines(file), (std::vector<std::string>{"one", "two", "three"}));
}

TEST_F(CStdioFileTest, RawReadContinuesAfterTheLastLine)
{
    WriteBytes(m_path, "ab\ncd");
    CStdioFile file(m_path.c_str(), CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    char buffer[4];
    ASSERT_EQ(file.Read(buffer, 4), 2u);
    EXPECT_EQ(std::string(buffer, 2), "cd");
}

TEST_F(CStdioFileTest, WriteStringTurnsLfIntoCrLf)
{
    {
        CStdioFile file(m_path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        file.WriteString("#control(repeat=\"all\")\n");
        file.WriteString("C:\\\x95\x5C.vqf\n\nlast");
        file.WriteString("");
        file.WriteString("\r\n");
        file.Close();
    }
    EXPECT_EQ(ReadBytes(m_path), "#control(repeat=\"all\")\r\nC:\\\x95\x5C.vqf\r\n\r\nlast\r\r\n");
}

TEST_F(CStdioFileTest, LargeOutputIsWrittenCompletely)
{
    std::string expected;
    {
        CStdioFile file(m_path.c_str(), CFile::modeCreate | CFile::modeWrite);
        for (int i = 0; i < 100000; ++i) {
            const std::string line = "D:\\vqf\\" + std::to_string(i) + ".vqf";
            file.WriteString((line + "\n").c_str());
            expected += line + "\r\n";
        }
        // no Close: the destructor flushes
    }
    EXPECT_EQ(ReadBytes(m_path), expected);
}

TEST_F(CStdioFileTest, SeekFlushesPendingWrites)
{
    CStdioFile file(m_path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
    file.WriteString("abc\n");
    EXPECT_EQ(file.GetPosition(), 5u);
    EXPECT_EQ(file.GetLength(), 5u);
    file.SeekToBegin();
    file.WriteString("X");
    file.SeekToBegin();
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, "Xbc");
}

TEST_F(CStdioFileTest, WriteAfterReadLandsAtTheReadPosition)
{
    WriteBytes(m_path, "line1\nline2\n");
    {
        CStdioFile file(m_path.c_str(), CFile::modeReadWrite);
        CString line;
        ASSERT_TRUE(file.ReadString(line));
        file.WriteString("X");
    }
    EXPECT_EQ(ReadBytes(m_path), "line1\nXine2\n");
}

TEST_F(CStdioFileTest, OpeningFailuresThrow)
{
    EXPECT_THROW(CStdioFile(m_dir.Path("missing.vql").c_str(), CFile::modeRead), CFileException);
    EXPECT_THROW(CStdioFile(m_dir.Path("no\\such/dir/x.vql").c_str(), CFile::modeCreate | CFile::modeWrite),
                 CFileException);

    CStdioFile holder(m_path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CStdioFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(m_path.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
}

}
