#include "framework/UserPrompts.h"
#include "framework/WinApp.h"

// The program's entry point: the one application object runs the program in
// InitInstance. Nothing escapes from here; an exception is reported and the
// program ends with exit code 1.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return 1;
    try {
        pApp->InitInstance();
        return 0;
    } catch (...) {
        AfxReportCurrentException(nullptr);
        return 1;
    }
}
