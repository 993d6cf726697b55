// Drives a running Jumbla window the way a user would, for the unattended
// demo: waits for the window and its list, shuffles, plays, then tells the
// demo script where the window is so it can take a screenshot, and closes
// the window when the script says the picture is taken.
//
//   demo_driver.exe <window-rect file> <screenshot-done file>
#include <windows.h>

#include <cstdio>
#include <string>

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

std::string ListItemText(HWND list, int index)
{
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

// The demo script reads this output from a UTF-8 terminal: convert the
// list's code page 932 texts before printing them.
std::string ToUtf8(const std::string& ansi)
{
    int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], wideLength);
    int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], utf8Length, nullptr, nullptr);
    return utf8;
}

void PrintList(const char* heading, HWND list)
{
    std::printf("%s\n", heading);
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        std::printf("  %2d. %s\n", i + 1, ToUtf8(ListItemText(list, i)).c_str());
    std::fflush(stdout);
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
    if (argc != 3) {
        std::fprintf(stderr, "usage: demo_driver <rect file> <done file>\n");
        return 2;
    }
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindWindowA("#32770", "Jumbla")) != nullptr; }, 30000)) {
        std::fprintf(stderr, "demo: the Jumbla window did not appear\n");
        return 1;
    }
    HWND list = GetDlgItem(dialog, IDC_ENTRIES);
    if (!WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) > 0; }, 10000)) {
        std::fprintf(stderr, "demo: the playlist did not load\n");
        return 1;
    }
    PrintList("Loaded in title mode (曲名):", list);

    Click(dialog, IDC_SHUFFLE);
    PrintList("After シャッフル:", list);

    Click(dialog, IDC_PLAY);

    RECT rect;
    GetWindowRect(dialog, &rect);
    if (FILE* out = std::fopen(argv[1], "w")) {
        std::fprintf(out, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        std::fclose(out);
    }
    const char* done = argv[2];
    if (!WaitFor([&] { return GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES; }, 60000))
        std::fprintf(stderr, "demo: no screenshot was taken\n");

    // Closing ends the modal run: the work file is deleted and the settings
    // written, as when the user clicks 終了.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return 0;
}
