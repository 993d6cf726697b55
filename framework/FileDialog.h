#pragma once

#include "framework/Platform.h"
#include "framework/String.h"
#include "framework/Wnd.h"

#include <commdlg.h>

#include <string>

// The common open or save dialog, through the UTF-16 API so that its title
// and filter read right on any system code page; the chosen name comes back
// as an ANSI path like every other path of the program, when the system code
// page spells it exactly. m_ofn is public so that callers can set lpstrTitle
// before DoModal; the text it points to must live until then.
class CFileDialog
{
public:
    // lpszFilter in MFC's syntax: "description|pattern|...||".
    explicit CFileDialog(BOOL bOpenFileDialog, const wchar_t* lpszDefExt = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const wchar_t* lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // The folder the dialog opens in; empty lets the dialog choose.
    void SetInitialFolder(const CString& folder);

    // IDOK when the user chose a name, else IDCANCEL. Goes through the prompt
    // seam. The parent given owns the dialog; without one it has no owner.
    virtual INT_PTR DoModal();
    // The chosen name in the ANSI code page; empty when the code page cannot
    // spell it exactly (AfxExactAnsiFromWide), as a look-alike would name
    // another file.
    CString GetPathName() const;

    OPENFILENAMEW m_ofn;

private:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    std::wstring m_strFilter;  // NUL-separated, as OPENFILENAME wants it
    std::wstring m_strDefExt;
    std::wstring m_strInitialFolder;
    wchar_t m_szFileName[1024];
};
