// Starts Jumbla and drives its window the way a user would, for the
// unattended demo: waits for the window and its list, shuffles, plays, then
// tells the demo script where the window is so it can take a screenshot, and
// closes the window when the script says the picture is taken.
//
//   demo_driver.exe <jumbla.exe> <window-rect file> <screenshot-done file>
//
// Exit status: Jumbla's own, or 1 when the demo could not go through.
#include <windows.h>

#include <cstdio>

#include "res/resource.h"

namespace {

// Polls cond every 100 ms for up to timeoutMs; true when it became true.
template <typename Cond>
bool WaitFor(Cond cond, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (cond())
            return true;
        Sleep(100);
    }
    return cond();
}

// Only the count can be read from outside: Wine does not carry a list box's
// item texts across processes. The screenshot and the player's log show them.
void PrintCount(const char* heading, HWND list)
{
    std::printf("%s: %d entries\n", heading, static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)));
    std::fflush(stdout);
}

// EnumWindows callback: stops at Jumbla's main window, a top-level window
// captioned "Jumbla" that holds the entry list (its message boxes share the
// caption, not the list).
BOOL CALLBACK StopAtJumblaWindow(HWND window, LPARAM found)
{
    char caption[16] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (lstrcmpA(caption, "Jumbla") != 0 || !GetDlgItem(window, IDC_ENTRIES))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND FindJumblaWindow()
{
    HWND found = nullptr;
    EnumWindows(StopAtJumblaWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Sends the button's click notification, as the button itself does. The
// send returns when the window's handler has finished.
void Click(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: demo_driver <jumbla.exe> <rect file> <done file>\n");
        return 2;
    }
    // Started from here, so that WaitForInputIdle tells when the window is up
    // and Jumbla's exit status comes back to the demo.
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION jumbla = {};
    if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &jumbla)) {
        std::fprintf(stderr, "demo: could not start %s\n", argv[1]);
        return 1;
    }
    CloseHandle(jumbla.hThread);
    WaitForInputIdle(jumbla.hProcess, 60000);

    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindJumblaWindow()) != nullptr; }, 120000)) {
        std::fprintf(stderr, "demo: the Jumbla window did not appear\n");
        return 1;
    }
    HWND list = GetDlgItem(dialog, IDC_ENTRIES);
    if (!WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) > 0; }, 10000)) {
        std::fprintf(stderr, "demo: the playlist did not load\n");
        return 1;
    }
    PrintCount("Loaded in title mode (曲名)", list);

    Click(dialog, IDC_SHUFFLE);
    PrintCount("Shuffled (シャッフル)", list);

    Click(dialog, IDC_PLAY);

    RECT rect;
    GetWindowRect(dialog, &rect);
    if (FILE* out = std::fopen(argv[2], "w")) {
        std::fprintf(out, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        std::fclose(out);
    }
    const char* done = argv[3];
    if (!WaitFor([&] { return GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES; }, 60000))
        std::fprintf(stderr, "demo: no screenshot was taken\n");

    // Closing ends the modal run: the work file is deleted and the settings
    // written, as when the user clicks 終了.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    DWORD exitCode = 1;
    if (WaitForSingleObject(jumbla.hProcess, 30000) != WAIT_OBJECT_0 || !GetExitCodeProcess(jumbla.hProcess, &exitCode))
        std::fprintf(stderr, "demo: Jumbla did not end\n");
    CloseHandle(jumbla.hProcess);
    return static_cast<int>(exitCode);
}
