#include "player/PlayerProcess.h"
#include "tests/support/standin_player/StandinDescription.h"
#include "tests/support/standin_player/StandinLog.h"

#include "tests/framework/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CString FolderOfThisProgram()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const CString module(path);
    return module.Left(module.ReverseFind('\\'));
}

CString ReadWholeFile(const CString& path)
{
    CString bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes += CString(chunk, static_cast<int>(got));
    CloseHandle(file);
    return bytes;
}

bool WriteWholeFile(const CString& path, const CString& bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.GetString(), static_cast<DWORD>(bytes.GetLength()), &written, nullptr);
    CloseHandle(file);
    return ok && written == static_cast<DWORD>(bytes.GetLength());
}

// A folder tree under the temp folder, with blanks in its names as users'
// folders have ("stand in player", "My Music"), removed at the end.
class PlayerProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = CString(m_temp.Path().c_str()) + "\\jumbla player test";
        m_playerFolder = m_root + "\\stand in player";
        ASSERT_TRUE(CreateDirectoryA(m_root, nullptr));
        ASSERT_TRUE(CreateDirectoryA(m_playerFolder, nullptr));
        m_playerPath = m_playerFolder + "\\SVQPlyer.exe";
        // The build puts the stand-in next to this test program.
        ASSERT_TRUE(CopyFileA(FolderOfThisProgram() + "\\SVQPlyer.exe", m_playerPath, FALSE));
        // Inherited by the player: record and exit instead of opening a window.
        SetEnvironmentVariableA("JUMBLA_STANDIN_NO_WINDOW", "1");
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("JUMBLA_STANDIN_NO_WINDOW", nullptr);
        // The stand-in's image stays locked until it has exited; the rest of
        // the tree goes with m_temp.
        for (int attempt = 0; attempt < 600 && !DeleteFileA(m_playerPath) &&
                              GetFileAttributesA(m_playerPath) != INVALID_FILE_ATTRIBUTES;
             ++attempt)
            Sleep(100);
    }

    CString MakeFolder(const CString& name)
    {
        const CString folder = m_root + "\\" + name;
        EXPECT_TRUE(CreateDirectoryA(folder, nullptr));
        return folder;
    }

    // The player runs on its own; its record is complete once the log parses
    // with one record. Waits up to a minute (a slow Wine start), then fails.
    bool WaitForRecord(StandinRecord& record)
    {
        const CString logPath = m_playerFolder + "\\SVQPlyer-standin.log";
        for (int attempt = 0; attempt < 600; ++attempt) {
            std::vector<StandinRecord> records;
            if (ParseStandinLog(ReadWholeFile(logPath), records) && records.size() == 1) {
                record = records[0];
                return true;
            }
            Sleep(100);
        }
        return false;
    }

    TempDir m_temp;
    CString m_root;
    CString m_playerFolder;
    CString m_playerPath;
};

TEST_F(PlayerProcessTest, PlayerGetsTheUnquotedPlaylistPath)
{
    struct LaunchCase
    {
        const char* name;
        CString folder;  // under the test's root
    };
    // 音楽 and ソ (0x83 0x5C, a trail byte that looks like a backslash).
    const LaunchCase cases[] = {
        {"blanks in both paths", "My Music"},
        {"code page 932 folder", "\x89\xB9\x8A\x79 \x83\x5C"},
    };
    const CString playlist = "#control(repeat=\"all\")\r\nC:\\samples\\03.vqf\r\nC:\\samples\\01.vqf\r\n";
    for (const LaunchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CString playlistPath = MakeFolder(c.folder) + "\\jumbla_work.vql";
        ASSERT_TRUE(WriteWholeFile(playlistPath, playlist));
        DeleteFileA(m_playerFolder + "\\SVQPlyer-standin.log");

        ASSERT_TRUE(StartPlayerProcess(m_playerPath, playlistPath));

        StandinRecord record;
        ASSERT_TRUE(WaitForRecord(record)) << "the stand-in player wrote no record";
        EXPECT_EQ(record.commandLine, m_playerPath + " " + playlistPath);
        EXPECT_EQ(record.argument, playlistPath);
        EXPECT_TRUE(record.playlistRead) << "error " << record.readError;
        EXPECT_EQ(record.playlist, playlist);
    }
}

// A player path that names no program: the start fails (the window then
// says so and keeps the work file: PlayTest, ShuffleAppTest).
TEST_F(PlayerProcessTest, MissingPlayerIsReported)
{
    const CString playlistPath = MakeFolder("My Music") + "\\jumbla_work.vql";
    ASSERT_TRUE(WriteWholeFile(playlistPath, "#control(repeat=\"all\")\r\n"));
    const CString textFile = MakeFolder("text") + "\\SVQPlyer.exe";
    ASSERT_TRUE(WriteWholeFile(textFile, "this is not a program\r\n"));
    const CString emptyFile = MakeFolder("empty") + "\\SVQPlyer.exe";
    ASSERT_TRUE(WriteWholeFile(emptyFile, ""));
    const CString folder = MakeFolder("folder") + "\\SVQPlyer.exe";
    ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
    const CString players[] = {m_playerFolder + "\\Missing.exe", m_root + "\\no such folder\\SVQPlyer.exe", "",
                               textFile, emptyFile, folder};
    for (const CString& player : players)
        EXPECT_FALSE(StartPlayerProcess(player, playlistPath)) << "player " << player.GetString();
}

struct WindowSearch
{
    DWORD processId;
    HWND window;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !IsWindowVisible(window))
        return TRUE;
    search.window = window;
    return FALSE;
}

TEST_F(PlayerProcessTest, StartedInteractivelyTheStandinShowsItsWindow)
{
    const CString playlistPath = MakeFolder("My Music") + "\\jumbla_work.vql";
    ASSERT_TRUE(WriteWholeFile(playlistPath, "#control(repeat=\"all\")\r\nC:\\b.vqf\r\n#x\r\n\r\nC:\\\x83\x5C.vqf\r\n"));
    SetEnvironmentVariableA("JUMBLA_STANDIN_NO_WINDOW", nullptr);

    // Started here rather than through StartPlayerProcess, to hold its handle.
    CString commandLine = m_playerPath + " " + playlistPath;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(m_playerPath, commandLine.GetBuffer(commandLine.GetLength()), nullptr, nullptr,
                               FALSE, 0, nullptr, nullptr, &startup, &process));
    // Idle input should mean its window exists, but Wine may report idle
    // before the window is made: look again until it shows, for a minute.
    WaitForInputIdle(process.hProcess, 60000);
    WindowSearch search = {process.dwProcessId, nullptr};
    for (int attempt = 0; attempt < 600 && !search.window; ++attempt) {
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.window)
            Sleep(100);
    }

    int lineCount = 0;
    char title[128] = {};
    if (search.window) {
        GetWindowTextA(search.window, title, sizeof(title));
        // Only the count crosses the process boundary: the lines themselves
        // come from DescribeStandinRecord, tested natively.
        lineCount = static_cast<int>(
            SendMessageA(FindWindowExA(search.window, nullptr, "LISTBOX", nullptr), LB_GETCOUNT, 0, 0));
        PostMessageA(search.window, WM_CLOSE, 0, 0);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    ASSERT_NE(search.window, nullptr) << "the stand-in showed no window";
    EXPECT_STREQ(title, "SoundVQ Player stand-in (no audio)");
    StandinRecord record;
    ASSERT_TRUE(WaitForRecord(record));
    EXPECT_EQ(lineCount, static_cast<int>(DescribeStandinRecord(record).size()));
    EXPECT_EQ(lineCount, 7);
}

}
