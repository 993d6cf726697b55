#include "framework/UserPrompts.h"

#include "framework/WideText.h"

#include <exception>
#include <string>

namespace {

CUserPrompts& RealPrompts()
{
    static CUserPrompts prompts;
    return prompts;
}

CUserPrompts* g_pPrompts = nullptr;

// Made on first use: the application object that sets it is a global of
// another file, which may be constructed first.
std::wstring& AppName()
{
    static std::wstring name;
    return name;
}

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

void AfxSetAppName(const char* pszAppName)
{
    AppName() = pszAppName != nullptr ? AfxWideFromAnsi(pszAppName) : std::wstring();
}

const wchar_t* AfxGetPromptCaption()
{
    return AppName().empty() ? L"Error" : AppName().c_str();
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
        const std::wstring text = AfxWideFromAnsi(what);
        AfxGetUserPrompts().MessageBox(owner, text.c_str(), AfxGetPromptCaption(), MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}
