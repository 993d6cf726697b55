#include "framework/UserPrompts.h"

#include "framework/WinApp.h"

#include <exception>

namespace {

CUserPrompts& RealPrompts()
{
    static CUserPrompts prompts;
    return prompts;
}

CUserPrompts* g_pPrompts = nullptr;

}  // namespace

CUserPrompts::~CUserPrompts() = default;

int CUserPrompts::MessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return ::MessageBoxA(owner, text, caption, type);
}

BOOL CUserPrompts::GetFileName(OPENFILENAMEA& ofn, BOOL bOpen)
{
    // Both return FALSE for a cancel and for an error (a name too long for
    // the buffer, for example); either way no name was chosen.
    return bOpen ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
}

CUserPrompts& AfxGetUserPrompts()
{
    return g_pPrompts != nullptr ? *g_pPrompts : RealPrompts();
}

void AfxSetUserPrompts(CUserPrompts* pPrompts)
{
    g_pPrompts = pPrompts;
}

void AfxReportCurrentException(HWND owner) noexcept
{
    const char* what = "Unexpected error";
    try {
        throw;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    // The exception object outlives this function (the caller's catch block
    // still holds it), so `what` stays valid for the message box.
    const CWinApp* pApp = AfxGetApp();
    const char* caption = pApp != nullptr ? pApp->m_pszAppName : "Error";
    try {
        AfxGetUserPrompts().MessageBox(owner, what, caption, MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}
