// Holds a test run's Wine desktop for tests/wine-suite.sh. Wine closes a
// desktop a second after its last program ends, and the next program to open
// a window starts the desktop's process (explorer.exe /desktop) again: seconds
// under emulation, and that process keeps the starting test's output open as
// long as it lives, so that CTest waits on it. This program is the first to
// ask for the desktop, says "ready" once the desktop's process is up, and
// stays one of the desktop's programs until the session's server ends it.

#include <windows.h>

int main()
{
    // Starts the desktop's process where there is none, and waits for it.
    GetDesktopWindow();
    // The bytes as they are: the C runtime's text mode would end the line
    // with CR LF.
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "ready\n", 6, &written, nullptr);
    Sleep(INFINITE);
}
