#include "framework/UserPrompts.h"

#include "framework/WideText.h"
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

int CUserPrompts::MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return ::MessageBoxW(owner, text, caption, type);
}

BOOL CUserPrompts::GetFileName(OPENFILENAMEW& ofn, BOOL bOpen)
{
    // Both return FALSE for a cancel and for an error (a name too long for
    // the buffer, for example); either way no name was chosen.
    return bOpen ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
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
    try {
        const char* what = "Unexpected error";
        try {
            throw;
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        // An exception's text (a file name, say) is in the ANSI code page.
        const CWinApp* pApp = AfxGetApp();
        const std::wstring text = AfxWideFromAnsi(what);
        const std::wstring caption = AfxWideFromAnsi(pApp != nullptr ? pApp->m_pszAppName : "Error");
        AfxGetUserPrompts().MessageBox(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}
