#include "framework/File.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CFileTest : public ::testing::Test
{
protected:
    TempDir m_dir;
};

TEST_F(CFileTest, MissingFileAndDirectoryFailBothWays)
{
    const std::string path = m_dir.Path("missing.vql");
    try {
        CFile file(path.c_str(), CFile::modeRead);
        FAIL() << "opened a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, path.c_str());
    }

    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(file.IsOpen());

    // A directory is not a file.
    EXPECT_FALSE(file.Open(m_dir.Path().c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_THROW(CFile(m_dir.Path().c_str(), CFile::modeRead), CFileException);
}

TEST_F(CFileTest, SecondOpenFailsWhileTheFirstHoldsTheFile)
{
    const std::string path = m_dir.Path("held.vql");
    WriteBytes(path, "keep me");
    {
        CFile holder(path.c_str(), CFile::modeRead);

        CFile second;
        CFileException error;
        EXPECT_FALSE(second.Open(path.c_str(), CFile::modeRead, &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
        EXPECT_THROW(CFile(path.c_str(), CFile::modeRead), CFileException);
        // A refused create must not empty the held file.
        EXPECT_THROW(CFile(path.c_str(), CFile::modeCreate | CFile::modeWrite), CFileException);
    }
    EXPECT_EQ(ReadBytes(path), "keep me");
    CFile again(path.c_str(), CFile::modeRead);  // the destructor released it
    EXPECT_TRUE(again.IsOpen());
}

// Reads come back short at the end; seeks go from each origin, and one before
// the start throws and keeps the position.
TEST_F(CFileTest, ReadAndSeekWithinAFileOfSixBytes)
{
    const std::string path = m_dir.Path("six.bin");
    WriteBytes(path, "abcdef");
    CFile file(path.c_str(), CFile::modeRead);
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(file.Read(buffer, 4), 2u);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(file.Read(buffer, 4), 0u);
    EXPECT_EQ(file.GetLength(), 6u);

    EXPECT_EQ(file.Seek(2, CFile::begin), 2u);
    ASSERT_EQ(file.Read(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "cd");
    EXPECT_EQ(file.Seek(-3, CFile::current), 1u);
    EXPECT_EQ(file.Seek(-1, CFile::end), 5u);
    file.SeekToBegin();
    EXPECT_EQ(file.GetPosition(), 0u);

    file.Seek(3, CFile::begin);
    for (auto [off, from] : {std::pair<LONGLONG, UINT>{-1, CFile::begin}, {-4, CFile::current}, {-7, CFile::end}}) {
        try {
            file.Seek(off, from);
            ADD_FAILURE() << "seek " << off << " from " << from << " succeeded";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::badSeek) << off << " from " << from;
        }
        EXPECT_EQ(file.GetPosition(), 3u);
    }
}

TEST_F(CFileTest, ReadFailureThrows)
{
    const std::string path = m_dir.Path("out.bin");
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    char buffer[4];
    EXPECT_THROW(file.Read(buffer, sizeof buffer), CFileException);
}

TEST_F(CFileTest, CreateTruncatesAndWrites)
{
    const std::string path = m_dir.Path("made.bin");
    WriteBytes(path, "old contents that are longer");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write("new\0!", 5);
    }
    EXPECT_EQ(ReadBytes(path), std::string("new\0!", 5));
}

}
