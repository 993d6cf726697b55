#include "framework/FileDialog.h"

#include "framework/UserPrompts.h"
#include "framework/WinApp.h"

#include <cstring>

namespace {

// "desc|pattern||" becomes "desc\0pattern\0\0". CString::Find steps over
// double-byte characters, so a trail byte 0x7C (as in "ポ", 0x83 0x7C) is
// not taken for a separator.
std::string FilterForOpenFileName(const char* lpszFilter)
{
    const CString filter(lpszFilter);
    std::string result;
    int start = 0;
    for (int bar = filter.Find('|'); bar >= 0; bar = filter.Find('|', start)) {
        result.append(filter.GetString() + start, static_cast<size_t>(bar - start));
        result.push_back('\0');
        start = bar + 1;
    }
    result.append(filter.GetString() + start, static_cast<size_t>(filter.GetLength() - start));
    // The list ends with two NULs however the caller ended it.
    result.append(2, '\0');
    return result;
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd), m_strDefExt(lpszDefExt),
      m_szFileName()
{
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof(m_szFileName);
    if (lpszFileName != nullptr)
        std::strncpy(m_szFileName, lpszFileName, sizeof(m_szFileName) - 1);
    if (lpszDefExt != nullptr)
        m_ofn.lpstrDefExt = m_strDefExt;
    if (lpszFilter != nullptr) {
        m_strFilter = FilterForOpenFileName(lpszFilter);
        m_ofn.lpstrFilter = m_strFilter.c_str();
        m_ofn.nFilterIndex = 1;
    }
}

INT_PTR CFileDialog::DoModal()
{
    if (m_ofn.hwndOwner == nullptr) {
        const CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
        m_ofn.hwndOwner = pOwner != nullptr ? pOwner->m_hWnd : nullptr;
    }
    return AfxGetUserPrompts().GetFileName(m_ofn, m_bOpenFileDialog) ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return CString(m_ofn.lpstrFile);
}
