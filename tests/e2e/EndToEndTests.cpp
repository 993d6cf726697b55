// The built program as a user meets it: jumbla.exe started as a process of
// its own, its window driven from outside with the messages its buttons
// send, and the stand-in player recording what it was given.
//
// A separate process reads the real HKEY_CURRENT_USER of the Wine prefix (a
// RegOverridePredefKey redirection stays inside the process that made it),
// so these tests set the player's and the program's keys there and put back
// what was there before. No other test of the tree touches those keys.

#include "res/resource.h"
#include "tests/ui/UiTestSupport.h"
#include "VqfWriter.h"
#include "tests/support/standin_player/StandinLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kPlayerKey[] = "Software\\YAMAHA\\SoundVQ";
const char kSettingsKey[] = "Software\\Ostrel's Software\\jumbla\\Settings";
const char kDirective[] = "#control(repeat=\"all\")";
// Starting Wine processes on a loaded machine can take many seconds.
const DWORD kDeadlineMs = 60000;

// Polls until the condition holds or the deadline passes; the result says
// which. The waiting is never what a test asserts on.
template <typename Condition>
bool WaitUntil(Condition condition)
{
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    while (!condition()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(50);
    }
    return true;
}

// The values of one key, put back as they were when the object ends: a key
// that did not exist is removed again with every key above it that the test
// created.
class CRegistryKeyBackup
{
public:
    explicit CRegistryKeyBackup(const CString& path) : m_path(path)
    {
        HKEY key;
        m_existed = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (m_existed) {
            m_values = ValuesOf(key);
            RegCloseKey(key);
        }
        m_topmostMissing = m_existed ? CString() : TopmostMissingKey(path);
    }

    ~CRegistryKeyBackup()
    {
        if (!m_existed) {
            RegDeleteTreeA(HKEY_CURRENT_USER, m_topmostMissing);
            return;
        }
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, m_path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return;
        for (const Value& value : ValuesOf(key))
            RegDeleteValueA(key, value.name.c_str());
        for (const Value& value : m_values)
            RegSetValueExA(key, value.name.c_str(), 0, value.type,
                           reinterpret_cast<const BYTE*>(value.data.data()), static_cast<DWORD>(value.data.size()));
        RegCloseKey(key);
    }

    CRegistryKeyBackup(const CRegistryKeyBackup&) = delete;
    CRegistryKeyBackup& operator=(const CRegistryKeyBackup&) = delete;

private:
    struct Value
    {
        std::string name;
        DWORD type;
        std::string data;
    };

    static std::vector<Value> ValuesOf(HKEY key)
    {
        std::vector<Value> values;
        for (DWORD index = 0;; ++index) {
            char name[16384];
            DWORD nameLength = sizeof name;
            DWORD type = 0;
            DWORD size = 0;
            if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                break;
            std::string data(size, '\0');
            RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size);
            data.resize(size);
            values.push_back({std::string(name, nameLength), type, data});
        }
        return values;
    }

    static CString TopmostMissingKey(const CString& path)
    {
        CString missing = path;
        for (int slash = path.ReverseFind('\\'); slash > 0; slash = path.Left(slash).ReverseFind('\\')) {
            if (RegistryKeyExists(path.Left(slash)))
                break;
            missing = path.Left(slash);
        }
        return missing;
    }

    CString m_path;
    bool m_existed = false;
    std::vector<Value> m_values;
    CString m_topmostMissing;
};

struct WindowSearch
{
    DWORD processId;
    bool messageBox;  // the message box (static text 0xFFFF) or the main window (entry list)
    HWND found;
};

BOOL CALLBACK FindJumblaWindow(HWND window, LPARAM lParam)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[16] = {};
    char caption[16] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    // A dialog shows itself once WM_INITDIALOG has filled it in: before
    // that, a message box may have its caption but not yet its text.
    if (processId != search.processId || CString(className) != "#32770" || CString(caption) != "Jumbla" ||
        !IsWindowVisible(window))
        return TRUE;
    if (GetDlgItem(window, search.messageBox ? 0xFFFF : IDC_ENTRIES) == nullptr)
        return TRUE;
    search.found = window;
    return FALSE;
}

std::vector<CString> SplitCrLfLines(const CString& text)
{
    std::vector<CString> lines;
    int start = 0;
    for (int i = 0; i + 1 < text.GetLength(); ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            lines.push_back(text.Mid(start, i - start));
            start = i + 2;
            ++i;
        }
    }
    if (start < text.GetLength())
        lines.push_back(text.Mid(start) + "<no line end>");
    return lines;
}

class EndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The player inherits this from the program: it records and exits.
        SetEnvironmentVariableA("JUMBLA_STANDIN_NO_WINDOW", "1");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kPlayerKey, "DecodeDll");
        RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    void TearDown() override
    {
        if (m_process.hProcess != nullptr) {
            // A program that did not end by itself is not left behind.
            if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_process.hProcess, 1);
            CloseHandle(m_process.hProcess);
            CloseHandle(m_process.hThread);
        }
        SetEnvironmentVariableA("JUMBLA_STANDIN_NO_WINDOW", nullptr);
        SetEnvironmentVariableA("JUMBLA_EXIT_MODEL_PLAYLIST", nullptr);
    }

    // Starts a program built in this tree, in the scratch folder.
    void Start(const char* unixPath, PROCESS_INFORMATION& process)
    {
        const CString program = WindowsPathOfUnixPath(unixPath);
        CString commandLine = "\"" + program + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(program, commandLine.GetBuffer(commandLine.GetLength()), nullptr, nullptr, FALSE,
                                   0, nullptr, folder.Path(), &startup, &process))
            << "error " << GetLastError();
    }
    void StartJumbla() { Start(JUMBLA_EXE, m_process); }

    HWND WaitForWindow(bool messageBox)
    {
        WindowSearch search = {m_process.dwProcessId, messageBox, nullptr};
        WaitUntil([&] {
            EnumWindows(FindJumblaWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        });
        return search.found;
    }

    bool WaitForExit(DWORD& exitCode)
    {
        if (WaitForSingleObject(m_process.hProcess, kDeadlineMs) != WAIT_OBJECT_0)
            return false;
        return GetExitCodeProcess(m_process.hProcess, &exitCode) != FALSE;
    }

    // Declared first: the keys are put back after everything else is gone.
    CRegistryKeyBackup m_playerKey{kPlayerKey};
    CRegistryKeyBackup m_settingsKey{kSettingsKey};
    CScratchFolder folder;
    PROCESS_INFORMATION m_process = {};
};

TEST_F(EndToEndTest, ShufflePlayAndCloseAsAUserWould)
{
    // The stand-in as the player, beside the decoder library the key names.
    const CString playerFolder = folder / "SoundVQ";
    ASSERT_TRUE(CreateDirectoryA(playerFolder, nullptr));
    const CString player = playerFolder + "\\SVQPlyer.exe";
    ASSERT_TRUE(CopyFileA(WindowsPathOfUnixPath(JUMBLA_STANDIN_PLAYER), player, FALSE));
    SetRegistryString(kPlayerKey, "DecodeDll", playerFolder + "\\SVQDEC32.DLL");

    // VQF files with titles, one of them Japanese (曲 in code page 932), and
    // a playlist naming them among a comment and an empty line.
    std::vector<CString> entryLines;
    CString playlistText = "#my list\r\n";
    for (int i = 1; i <= 6; ++i) {
        const CString song = folder / ("song" + std::to_string(i) + ".vqf").c_str();
        const CString title = i == 3 ? CString("\x8B\xC8 3") : CString("Song ") + std::to_string(i).c_str();
        WriteFileBytes(song, VqfFileBytes(title, "Artist"));
        entryLines.push_back(song);
        playlistText += song + "\r\n" + (i == 4 ? "\r\n" : "");
    }
    const CString playlist = folder / "mine.vql";
    WriteFileBytes(playlist, playlistText);
    SetRegistryString(kSettingsKey, "VQLFile", playlist);
    SetRegistryDword(kSettingsKey, "HandlingBy", 0);

    StartJumbla();
    const HWND window = WaitForWindow(false);
    ASSERT_NE(window, nullptr) << "the main window did not appear";
    const HWND list = GetDlgItem(window, IDC_ENTRIES);
    // Only the count crosses the process boundary: LB_GETTEXT across
    // processes is not safe under Wine.
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 6; }))
        << "the remembered playlist was not loaded";
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_MODE_TITLE), static_cast<UINT>(BST_CHECKED));

    // What the buttons send when clicked; SendMessage returns once handled.
    auto click = [window](int id) {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    };
    click(IDC_SHUFFLE);
    click(IDC_PLAY);

    const CString log = playerFolder + "\\SVQPlyer-standin.log";
    std::vector<StandinRecord> records;
    EXPECT_TRUE(WaitUntil([&] { return ParseStandinLog(ReadFileBytes(log), records) && !records.empty(); }))
        << "the player was not started";
    const CString workFile = folder / "jumbla_work.vql";
    if (records.size() == 1) {
        const StandinRecord& record = records[0];
        EXPECT_EQ(record.commandLine, player + " " + workFile);
        ASSERT_TRUE(record.playlistRead) << "error " << record.readError;
        std::vector<CString> lines = SplitCrLfLines(record.playlist);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], kDirective);
        lines.erase(lines.begin());
        auto byBytes = [](const CString& a, const CString& b) { return a.Compare(b) < 0; };
        std::sort(lines.begin(), lines.end(), byBytes);
        std::vector<CString> expected = entryLines;
        std::sort(expected.begin(), expected.end(), byBytes);
        EXPECT_EQ(lines, expected) << "every entry line exactly once";
    } else {
        ADD_FAILURE() << records.size() << " player starts recorded";
    }
    EXPECT_TRUE(FileExists(workFile));

    // The user switches to file names, then closes with 終了.
    click(IDC_MODE_FILENAME);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(WaitForExit(exitCode)) << "the program did not end";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(FileExists(workFile)) << "closing deletes the work file";
    EXPECT_EQ(ReadFileBytes(playlist), playlistText) << "the playlist itself is never written";
    CString stored;
    EXPECT_TRUE(GetRegistryString(kSettingsKey, "VQLFile", stored));
    EXPECT_EQ(stored, playlist);
    DWORD mode = 0;
    EXPECT_TRUE(GetRegistryDword(kSettingsKey, "handlingBy", mode));
    EXPECT_EQ(mode, 1u);
}

TEST_F(EndToEndTest, WithoutThePlayerKeyTheProgramSaysSoAndEndsWithoutWritingSettings)
{
    StartJumbla();
    const HWND box = WaitForWindow(true);
    ASSERT_NE(box, nullptr) << "no message box";
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    EXPECT_EQ(std::wstring(text), L"SoundVQ Playerが見つかりません");
    PostMessageA(box, WM_COMMAND, IDOK, 0);

    DWORD exitCode = 1;
    ASSERT_TRUE(WaitForExit(exitCode)) << "the program did not end";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(RegistryKeyExists(kSettingsKey)) << "no settings are written";
}

// The 32-bit runtime unwinds with tables its exit handlers remove: a worker
// that throws while they run ends the process in std::terminate (exit code
// 3), and the 64-bit one could hang. A program linked as jumbla.exe is, ended
// while sixteen workers throw and catch, ends cleanly every time. Each run is
// a Wine process start, ten seconds and more under emulation: eight runs, in
// each of the four Windows suites of a CI run (two widths, two Wines), where
// an ending that fails one run in three passes all 32 with odds of 2 in a
// million.
TEST_F(EndToEndTest, EndingWhileWorkersThrowEndsCleanlyEveryTime)
{
    CString playlist;
    for (int i = 0; i < 20000; ++i)
        playlist += folder / ("missing" + std::to_string(i) + ".vqf").c_str() + "\r\n";
    WriteFileBytes(folder / "missing.vql", playlist);
    SetEnvironmentVariableA("JUMBLA_EXIT_MODEL_PLAYLIST", folder / "missing.vql");
    const int kRuns = 8;
    for (int run = 0; run < kRuns; ++run) {
        PROCESS_INFORMATION process = {};
        ASSERT_NO_FATAL_FAILURE(Start(JUMBLA_EXIT_MODEL, process));
        DWORD exitCode = 1;
        if (WaitForSingleObject(process.hProcess, kDeadlineMs) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 259);  // reported as a hang
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        ASSERT_EQ(exitCode, 0u) << "run " << run << " of " << kRuns << " (3: std::terminate; 259: a hang)";
    }
}

}
