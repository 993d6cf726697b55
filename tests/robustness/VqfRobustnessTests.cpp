// Damaged and oversized VQF headers: the reader fails quietly (0, no
// exception) on anything but an unreadable file, and never reads or
// allocates past what the file holds.

#include "framework/File.h"
#include "playlist/VqfHeader.h"
#include "tests/framework/TempDir.h"
#include "tests/playlist/VqfBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class VqfRobustnessTest : public ::testing::Test
{
protected:
    int Read(const std::string& bytes)
    {
        WriteBytes(m_path, bytes);
        return ReadVqfHeaderTags(m_path.c_str(), m_title, m_author);
    }

    TempDir m_dir;
    const std::string m_path = m_dir.Path("song.vqf");
    CString m_title = "old title";
    CString m_author = "old author";
};

// Cutting a well-formed header anywhere, in any identifier, size or body,
// fails without a message; the title is new only once its whole body is there.
TEST_F(VqfRobustnessTest, EveryTruncationFailsQuietly)
{
    const std::string whole = WellFormedVqf("Song", "Artist");
    const std::size_t nameEnd = whole.find("Song") + 4;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        m_title = "old title";
        m_author = "old author";
        EXPECT_EQ(Read(whole.substr(0, length)), 0) << length << " bytes";
        EXPECT_EQ(m_title, length >= nameEnd ? "Song" : "old title") << length << " bytes";
        EXPECT_EQ(m_author, "old author") << length << " bytes";
    }
    EXPECT_EQ(Read(whole), 1);
    EXPECT_EQ(m_author, "Artist");
}

TEST_F(VqfRobustnessTest, AllChunksEmpty)
{
    const std::string chunks =
        Chunk("COMM", "") + Chunk("NAME", "") + Chunk("COMT", "") + Chunk("(c) ", "") + Chunk("AUTH", "");
    EXPECT_EQ(Read(VqfFile(chunks)), 1);
    EXPECT_EQ(m_title, "");
    EXPECT_EQ(m_author, "");
}

TEST_F(VqfRobustnessTest, MegabyteNameBody)
{
    const std::string megabyte(1024 * 1024, 'n');
    EXPECT_EQ(Read(WellFormedVqf(megabyte, "Artist")), 1);
    EXPECT_EQ(m_title.GetLength(), 1024 * 1024);
    EXPECT_EQ(m_title, megabyte.c_str());

    std::string padded = megabyte;
    padded[5] = '\0';
    EXPECT_EQ(Read(WellFormedVqf(padded, "Artist")), 1);
    EXPECT_EQ(m_title, "nnnnn");
}

// The player plays the file while a load reads its header: the exclusive
// open fails, which the caller reports as "<path>が読みこめません".
TEST_F(VqfRobustnessTest, FileHeldOpenElsewhereRaisesAndKeepsTheStrings)
{
    WriteBytes(m_path, WellFormedVqf("Song", "Artist"));
    CFile player(m_path.c_str(), CFile::modeRead);
    try {
        ReadVqfHeaderTags(m_path.c_str(), m_title, m_author);
        FAIL() << "a held file was read";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
    }
    EXPECT_EQ(m_title, "old title");
    EXPECT_EQ(m_author, "old author");
}

}  // namespace
