// Damaged and oversized VQF headers: the reader fails quietly (0, no
// exception) on anything but an unreadable file, and never reads or
// allocates past what the file holds.

#include "framework/File.h"
#include "playlist/VqfHeader.h"
#include "tests/framework/TempDir.h"
#include "VqfWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class VqfRobustnessTest : public ::testing::Test
{
protected:
    int Read(const CString& bytes)
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
    const CString whole = VqfHeaderBytes(VqfTagChunks("Song", "Artist"));
    const int nameEnd = static_cast<int>(std::string(whole.GetString(), whole.GetLength()).find("Song")) + 4;
    for (int length = 0; length < whole.GetLength(); ++length) {
        m_title = "old title";
        m_author = "old author";
        EXPECT_EQ(Read(whole.Left(length)), 0) << length << " bytes";
        EXPECT_EQ(m_title, length >= nameEnd ? "Song" : "old title") << length << " bytes";
        EXPECT_EQ(m_author, "old author") << length << " bytes";
    }
    EXPECT_EQ(Read(whole), 1);
    EXPECT_EQ(m_author, "Artist");
}

TEST_F(VqfRobustnessTest, AllChunksEmpty)
{
    const CString chunks = VqfChunk("COMM", "") + VqfChunk("NAME", "") + VqfChunk("COMT", "") +
                           VqfChunk("(c) ", "") + VqfChunk("AUTH", "");
    EXPECT_EQ(Read(VqfHeaderBytes(chunks)), 1);
    EXPECT_EQ(m_title, "");
    EXPECT_EQ(m_author, "");
}

TEST_F(VqfRobustnessTest, MegabyteNameBody)
{
    const int megabyte = 1024 * 1024;
    EXPECT_EQ(Read(VqfFileBytes(CString('n', megabyte), "Artist")), 1);
    EXPECT_EQ(m_title, CString('n', megabyte));

    const CString padded = CString('n', 5) + CString('\0', 1) + CString('n', megabyte - 6);
    EXPECT_EQ(Read(VqfFileBytes(padded, "Artist")), 1);
    EXPECT_EQ(m_title, "nnnnn");
}

// The player plays the file while a load reads its header: the exclusive
// open fails, which the caller reports as "<path>が読みこめません".
TEST_F(VqfRobustnessTest, FileHeldOpenElsewhereRaisesAndKeepsTheStrings)
{
    WriteBytes(m_path, VqfFileBytes("Song", "Artist"));
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
