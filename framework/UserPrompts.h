#pragma once

#include "framework/Platform.h"

#include <commdlg.h>

// The one seam through which every message box and file dialog of the program
// passes. The real prompts block on the user; tests install their own object
// that answers at once (and fails the test when a prompt was not expected).
// Texts are UTF-16: they read right on any system code page.
class CUserPrompts
{
public:
    virtual ~CUserPrompts();
    virtual int MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
    // TRUE when the user confirmed a name; ofn.lpstrFile then holds it.
    virtual BOOL GetFileName(OPENFILENAMEW& ofn, BOOL bOpen);
};

CUserPrompts& AfxGetUserPrompts();
// nullptr restores the real prompts. The object stays owned by the caller.
void AfxSetUserPrompts(CUserPrompts* pPrompts);

// The application's name (ANSI code page), the caption of every prompt that
// names none. CWinApp hands it over when it is made; nullptr forgets it.
void AfxSetAppName(const char* pszAppName);
// The caption for a prompt that names none: the application's name, or
// "Error", as MessageBox itself says, while there is none.
const wchar_t* AfxGetPromptCaption();

// Reports the exception being handled (call only inside a catch block) in a
// message box owned by `owner`. Never throws: it runs at the boundaries that
// exceptions must not cross (window procedures, WinMain).
void AfxReportCurrentException(HWND owner) noexcept;
