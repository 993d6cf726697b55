#pragma once

#include "framework/Platform.h"
#include "framework/String.h"

// The main window is held here, never called: a declaration is enough, and
// the window classes need not know the application.
class CWnd;

// The application object: one per program, constructed before WinMain. It
// holds the main-window pointer and the per-user settings store
// HKCU\Software\<company>\<application name>\<section>. It gives its name
// to the prompt seam, which shows it as the caption of prompts without one.
class CWinApp
{
public:
    // Without a name the application is named after its executable file,
    // without the extension.
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the program; called once by WinMain. The result is MFC's "run a
    // message loop" flag, which this framework has no use for: the program
    // runs its window modally in here.
    virtual BOOL InitInstance();

    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName;

    // The settings store's company key; settings need it set first (reads
    // then give their defaults and writes fail).
    void SetRegistryKey(const char* lpszCompany);

    // Value names are case-insensitive, as the registry compares them. A
    // missing value, or one of another type, gives the default.
    UINT GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault);
    BOOL WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue);  // REG_DWORD
    CString GetProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszDefault = nullptr);
    BOOL WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue);  // REG_SZ

private:
    CString SectionKeyPath(const char* lpszSection) const;

    CString m_strAppName;
    CString m_strRegistryKey;
};

CWinApp* AfxGetApp();
