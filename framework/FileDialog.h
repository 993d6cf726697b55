#pragma once

#include "framework/Platform.h"
#include "framework/String.h"
#include "framework/Wnd.h"

#include <commdlg.h>

#include <string>

// The common open or save dialog. m_ofn is public so that callers can set
// lpstrInitialDir and lpstrTitle before DoModal; the strings they point to
// must live until then.
class CFileDialog
{
public:
    // lpszFilter in MFC's syntax: "description|pattern|...||". Double-byte
    // characters whose second byte is '|' are left whole.
    explicit CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user chose a name, else IDCANCEL. Goes through the prompt
    // seam. Without a parent the main window owns the dialog.
    virtual INT_PTR DoModal();
    CString GetPathName() const;

    OPENFILENAMEA m_ofn;

private:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    std::string m_strFilter;  // NUL-separated, as OPENFILENAME wants it
    CString m_strDefExt;
    char m_szFileName[1024];
};
