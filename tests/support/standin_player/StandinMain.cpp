// A stand-in for SoundVQ Player, for tests and the demo on machines without
// the real player. It plays nothing. Each start appends what it was given to
// SVQPlyer-standin.log beside the executable; then, unless the environment
// variable JUMBLA_STANDIN_NO_WINDOW is "1", it shows a window listing the
// playlist it would play. The variable (inherited from whoever starts it)
// lets tests run it without leaving a window open, while the command line
// stays exactly the one the real player would see.

#include "framework/Platform.h"
#include "framework/String.h"
#include "tests/support/standin_player/StandinArgument.h"
#include "tests/support/standin_player/StandinDescription.h"
#include "tests/support/standin_player/StandinLog.h"

#include <string>
#include <vector>

namespace {

const char kWindowClass[] = "JumblaStandinPlayer";
const char kWindowTitle[] = "SoundVQ Player stand-in (no audio)";
const char kLogFileName[] = "SVQPlyer-standin.log";

CString ModulePath()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return CString(path, static_cast<int>(length));
}

BOOL ReadWholeFile(const CString& path, CString& bytes, DWORD& error)
{
    // Shared read access: the stand-in only looks at the playlist and must
    // not be the reason anyone else's open fails.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return FALSE;
    }
    std::string content;
    char chunk[65536];
    DWORD got = 0;
    BOOL ok;
    while ((ok = ReadFile(file, chunk, sizeof(chunk), &got, nullptr)) && got > 0)
        content.append(chunk, got);
    if (!ok)
        error = GetLastError();
    CloseHandle(file);
    bytes = CString(content.data(), static_cast<int>(content.size()));
    return ok;
}

BOOL AppendToLog(const CString& logPath, const CString& record)
{
    // FILE_APPEND_DATA alone makes every write go to the current end, so
    // records of players started close together do not overwrite each other.
    HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, record.GetString(), static_cast<DWORD>(record.GetLength()), &written,
                              nullptr) &&
                    written == static_cast<DWORD>(record.GetLength());
    CloseHandle(file);
    return ok;
}

bool WindowSuppressed()
{
    char value[8] = {};
    const DWORD length = GetEnvironmentVariableA("JUMBLA_STANDIN_NO_WINDOW", value, sizeof(value));
    return length == 1 && value[0] == '1';
}

LRESULT CALLBACK StandinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (HWND list = GetWindow(window, GW_CHILD))
            MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int ShowWindowWithLines(HINSTANCE instance, int showCommand, const std::vector<CString>& lines)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = StandinWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass))
        return 1;

    HWND window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 400, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    // The list box shows the texts through the ANSI API, so code page 932
    // paths come out as Japanese on a Japanese system.
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT |
                                    LBS_NOSEL,
                                0, 0, 0, 0, window, nullptr, instance, nullptr);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, 2000, 0);
    for (const CString& line : lines)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.GetString()));

    RECT client;
    GetClientRect(window, &client);
    MoveWindow(list, 0, 0, client.right, client.bottom, FALSE);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    const CString modulePath = ModulePath();
    const int folderEnd = modulePath.ReverseFind('\\');

    StandinRecord record;
    record.commandLine = GetCommandLineA();
    record.argument = StandinArgument(record.commandLine, modulePath.Mid(folderEnd + 1));
    DWORD error = 0;
    record.playlistRead = ReadWholeFile(record.argument, record.playlist, error) != FALSE;
    record.readError = error;

    const CString logPath = modulePath.Left(folderEnd + 1) + kLogFileName;
    const BOOL logged = AppendToLog(logPath, FormatStandinRecord(record));

    if (WindowSuppressed())
        return logged ? 0 : 1;
    return ShowWindowWithLines(instance, showCommand, DescribeStandinRecord(record));
}
