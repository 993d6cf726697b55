// Folders whose code page 932 names end in a 0x5C trail byte (表 is 0x95 0x5C,
// ソ is 0x83 0x5C): Windows itself takes such a byte as part of the character,
// so the work file must land in the playlist's folder even when the folders
// and the playlist's own name hold such bytes after the last backslash.

#include "framework/Platform.h"
#include "playlist/PlaylistWriter.h"
#include "playlist/WorkFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kPlaylistName[] = "\\\x95\x5C\x83\x5C.vql";  // \表ソ.vql

bool AnsiCodePageIs932()
{
    return GetACP() == 932;
}

class Cp932FolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!AnsiCodePageIs932())
            GTEST_SKIP() << "ANSI code page is not 932";
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        m_root = std::string(temp) + "jumbla_cp932_" + std::to_string(GetCurrentProcessId());
        m_folder = m_root + "\\\x95\x5C";            // 表
        m_inner = m_folder + "\\\x83\x5C\x94\x5C";   // ソ能
        ASSERT_TRUE(CreateDirectoryA(m_root.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(m_inner.c_str(), nullptr));
    }
    void TearDown() override
    {
        for (const std::string& folder : {m_inner, m_folder}) {
            DeleteFileA((folder + kPlaylistName).c_str());
            DeleteFileA((folder + "\\jumbla_work.vql").c_str());
            RemoveDirectoryA(folder.c_str());
        }
        RemoveDirectoryA(m_root.c_str());
    }

    std::string m_root;
    std::string m_folder;
    std::string m_inner;
};

TEST_F(Cp932FolderTest, WorkFileLandsInTheFolderOfThePlaylist)
{
    for (const std::string& folder : {m_folder, m_inner}) {
        const std::string playlist = folder + kPlaylistName;
        {
            CStdioFile file(playlist.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
            file.WriteString("a.vqf\n");
        }
        const CString work = WorkFilePath(playlist.c_str());
        EXPECT_EQ(work, (folder + "\\jumbla_work.vql").c_str());
        {
            CStdioFile source(playlist.c_str(), CFile::modeRead | CFile::typeText);
            CStdioFile destination(work, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
            WriteShuffledPlaylist(source, destination, {0});
        }
        EXPECT_NE(GetFileAttributesA((folder + "\\jumbla_work.vql").c_str()), INVALID_FILE_ATTRIBUTES) << folder;
    }
}

}  // namespace
