// Hostile playlists through the whole core path: load in file-name mode,
// write in reverse list order, load the written file again.

#include "playlist/PlaylistLoader.h"
#include "playlist/PlaylistWriter.h"
#include "tests/framework/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, UINT>>;

const std::string kDirective = "#control(repeat=\"all\")\r\n";

// One read of the whole file: the byte-by-byte stream iterator takes seconds
// for 10 MB in an unoptimised sanitizer build.
std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

Entries Load(const std::string& path)
{
    Entries entries;
    CStdioFile file(path.c_str(), CFile::modeRead | CFile::typeText);
    LoadPlaylistEntries(file, [&entries](const CString& text, UINT index) {
        entries.emplace_back(std::string(text.GetString(), static_cast<std::size_t>(text.GetLength())), index);
        return true;
    });
    return entries;
}

struct HostilePlaylist
{
    const char* name;
    std::string bytes;
    Entries entries;  // as loaded: line text and line index
};

std::string Bytes(const char* text, std::size_t size)
{
    return std::string(text, size);
}

// Every byte value, with LFs between runs so there are several lines.
std::string BinaryJunk()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b == 0x1A ? 0x1B : b);
    return bytes;
}

Entries JunkEntries()
{
    const std::string junk = BinaryJunk();
    const std::size_t lf = junk.find('\n');
    return {{junk.substr(0, lf), 0}, {junk.substr(lf + 1), 1}};
}

std::string ManyEntries(std::size_t count, Entries& entries)
{
    std::string bytes = "#control(repeat=\"all\")\r\n";
    for (std::size_t i = 0; i < count; ++i) {
        const std::string line = "C:\\music\\" + std::to_string(i) + ".vqf";
        bytes += line + "\r\n";
        entries.emplace_back(line, static_cast<UINT>(i + 1));
    }
    return bytes;
}

std::vector<HostilePlaylist> HostilePlaylists()
{
    std::vector<HostilePlaylist> cases = {
        {"binary junk", BinaryJunk(), JunkEntries()},
        {"NUL bytes inside and as a whole line", Bytes("a\0b.vqf\r\n\0\r\n#\0\r\n", 14),
         {{Bytes("a\0b.vqf", 7), 0}, {Bytes("\0", 1), 1}}},
        {"lone CRs are part of the line", "a\rb.vqf\r\r\n\rc.vqf\r", {{"a\rb.vqf\r", 0}, {"\rc.vqf\r", 1}}},
        {"Ctrl-Z in the middle ends the file", "a.vqf\r\nb.v\x1Aqf\r\nc.vqf\r\n", {{"a.vqf", 0}, {"b.v", 1}}},
        {"a single 10 MB line", std::string(10 * 1024 * 1024, 'x'), {{std::string(10 * 1024 * 1024, 'x'), 0}}},
    };
    HostilePlaylist many{"100,000 entries", "", {}};
    many.bytes = ManyEntries(100000, many.entries);
    cases.push_back(std::move(many));
    return cases;
}

class PlaylistRobustnessTest : public ::testing::Test
{
protected:
    TempDir m_dir;
    const std::string m_sourcePath = m_dir.Path("hostile.vql");
    const std::string m_workPath = m_dir.Path("jumbla_work.vql");
};

TEST_F(PlaylistRobustnessTest, HostilePlaylistsLoadWriteAndReloadByteForByte)
{
    for (const HostilePlaylist& c : HostilePlaylists()) {
        WriteBytes(m_sourcePath, c.bytes);
        const Entries loaded = Load(m_sourcePath);
        ASSERT_EQ(loaded, c.entries) << c.name;

        std::vector<UINT> reversed;
        std::string expected = kDirective;
        for (auto entry = loaded.rbegin(); entry != loaded.rend(); ++entry) {
            reversed.push_back(entry->second);
            expected += entry->first + "\r\n";
        }
        {
            CStdioFile source(m_sourcePath.c_str(), CFile::modeRead | CFile::typeText);
            CStdioFile work(m_workPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
            WriteShuffledPlaylist(source, work, reversed);
        }
        EXPECT_TRUE(ReadWholeFile(m_workPath) == expected) << c.name << ": written bytes differ";

        const Entries reloaded = Load(m_workPath);
        ASSERT_EQ(reloaded.size(), loaded.size()) << c.name;
        for (std::size_t i = 0; i < reloaded.size(); ++i) {
            EXPECT_EQ(reloaded[i].first, loaded[loaded.size() - 1 - i].first) << c.name << ", entry " << i;
            EXPECT_EQ(reloaded[i].second, i + 1) << c.name << ", entry " << i;
        }
    }
}

// The playlist went away between loading and playing: the source cannot be
// opened, so the command ends before it creates the work file.
TEST_F(PlaylistRobustnessTest, PlaylistDeletedAfterLoadingCannotBeOpenedForWriting)
{
    WriteBytes(m_sourcePath, "a.vqf\r\n");
    ASSERT_EQ(Load(m_sourcePath).size(), 1u);
    std::remove(m_sourcePath.c_str());
    try {
        CStdioFile source(m_sourcePath.c_str(), CFile::modeRead | CFile::typeText);
        FAIL() << "a deleted playlist opened";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    }
}

// Lines that were entries at load time but are gone from the shortened file
// are written as empty lines; the lines still there are copied as they are now.
TEST_F(PlaylistRobustnessTest, PlaylistShortenedAfterLoadingWritesEmptyLinesForTheLostEntries)
{
    WriteBytes(m_sourcePath, "a.vqf\r\nb.vqf\r\nc.vqf\r\nd.vqf\r\n");
    const Entries loaded = Load(m_sourcePath);
    ASSERT_EQ(loaded.size(), 4u);
    WriteBytes(m_sourcePath, "A.vqf\r\nB.vqf\r\n");
    {
        CStdioFile source(m_sourcePath.c_str(), CFile::modeRead | CFile::typeText);
        CStdioFile work(m_workPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        WriteShuffledPlaylist(source, work, {3, 1, 2, 0});
    }
    EXPECT_EQ(ReadBytes(m_workPath), kDirective + "\r\nB.vqf\r\n\r\nA.vqf\r\n");
}

}  // namespace
