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
    // Ends here rather than in the C runtime's exit(), which runs the exit
    // handlers while worker threads go on: a load's worker may be reading,
    // or unwinding from a file it could not read, and the 32-bit runtime's
    // handlers remove the unwind tables it needs (std::terminate, exit code
    // 3). ExitProcess ends every other thread first, then runs the handlers.
    ::ExitProcess(exitCode);
}
