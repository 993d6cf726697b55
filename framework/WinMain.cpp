#include "framework/UserPrompts.h"
#include "framework/WinApp.h"

// The program's entry point: the one application object runs the program in
// InitInstance. Nothing escapes from here; an exception is reported and the
// program ends with exit code 1.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* pApp = AfxGetApp();
    UINT exitCode = 1;
    if (pApp != nullptr) {
        try {
            pApp->InitInstance();
            exitCode = 0;
        } catch (...) {
            AfxReportCurrentException(nullptr);
        }
    }
    // Ends here, running no exit handler: the settings are stored and the
    // files closed by now. The C runtime's exit() runs the handlers while
    // worker threads go on: a load's worker may be reading, or unwinding from
    // a file it could not read, and the 32-bit runtime's handlers remove the
    // unwind tables it needs (std::terminate, exit code 3). ExitProcess ends
    // the other threads first, but on XP it may end one inside the heap's
    // lock, and the handlers and DLL detaches it then runs wait on that lock
    // for ever. TerminateProcess runs neither.
    ::TerminateProcess(::GetCurrentProcess(), exitCode);
    return static_cast<int>(exitCode);
}
