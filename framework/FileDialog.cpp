#include "framework/FileDialog.h"

#include "framework/UserPrompts.h"
#include "framework/WideText.h"

namespace {

// "desc|pattern||" becomes "desc\0pattern\0\0".
std::wstring FilterForOpenFileName(const wchar_t* lpszFilter)
{
    std::wstring filter(lpszFilter);
    for (wchar_t& c : filter) {
        if (c == L'|')
            c = L'\0';
    }
    // The list ends with two NULs however the caller ended it.
    filter.append(2, L'\0');
    return filter;
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const wchar_t* lpszDefExt, DWORD dwFlags, const wchar_t* lpszFilter,
                         CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd), m_szFileName()
{
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof(m_szFileName) / sizeof(m_szFileName[0]);
    if (lpszDefExt != nullptr) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFilter != nullptr) {
        m_strFilter = FilterForOpenFileName(lpszFilter);
        m_ofn.lpstrFilter = m_strFilter.c_str();
        m_ofn.nFilterIndex = 1;
    }
}

void CFileDialog::SetInitialFolder(const CString& folder)
{
    m_strInitialFolder = AfxWideFromAnsi(folder);
    m_ofn.lpstrInitialDir = m_strInitialFolder.empty() ? nullptr : m_strInitialFolder.c_str();
}

INT_PTR CFileDialog::DoModal()
{
    if (m_ofn.hwndOwner == nullptr && m_pParentWnd != nullptr)
        m_ofn.hwndOwner = m_pParentWnd->m_hWnd;
    return AfxGetUserPrompts().GetFileName(m_ofn, m_bOpenFileDialog) ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    CString path;
    AfxExactAnsiFromWide(m_ofn.lpstrFile, path);
    return path;
}
