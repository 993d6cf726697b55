#include "framework/ListBox.h"

CListBox::CBulkAccess::CBulkAccess(CListBox& list)
    : m_list(list), m_pfnOuter(list.m_pfnBulkProc)
{
    // Without a window there is no class procedure: messages then go the
    // normal way, and SendMessage answers them as for any missing window.
    if (list.m_hWnd != nullptr)
        list.m_pfnBulkProc = reinterpret_cast<WNDPROC>(::GetClassLongPtrA(list.m_hWnd, GCLP_WNDPROC));
}

CListBox::CBulkAccess::~CBulkAccess()
{
    m_list.m_pfnBulkProc = m_pfnOuter;
}

LRESULT CListBox::SendListMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (m_pfnBulkProc != nullptr)
        return ::CallWindowProcA(m_pfnBulkProc, m_hWnd, message, wParam, lParam);
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

int CListBox::GetCount() const
{
    return static_cast<int>(SendListMessage(LB_GETCOUNT, 0, 0));
}

int CListBox::GetCurSel() const
{
    return static_cast<int>(SendListMessage(LB_GETCURSEL, 0, 0));
}

int CListBox::SetCurSel(int nSelect)
{
    return static_cast<int>(SendListMessage(LB_SETCURSEL, nSelect, 0));
}

int CListBox::GetTopIndex() const
{
    return static_cast<int>(SendListMessage(LB_GETTOPINDEX, 0, 0));
}

int CListBox::SetTopIndex(int nIndex)
{
    return static_cast<int>(SendListMessage(LB_SETTOPINDEX, nIndex, 0));
}

int CListBox::GetText(int nIndex, CString& rString) const
{
    const int length = GetTextLen(nIndex);
    if (length == LB_ERR) {
        rString.Empty();
        return LB_ERR;
    }
    // LB_GETTEXTLEN may overestimate for double-byte text, never
    // underestimate; LB_GETTEXT gives the real count.
    char* buffer = rString.GetBuffer(length);
    const int copied = static_cast<int>(SendListMessage(LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(buffer)));
    rString.ReleaseBuffer(copied == LB_ERR ? 0 : copied);
    return copied;
}

int CListBox::GetTextLen(int nIndex) const
{
    return static_cast<int>(SendListMessage(LB_GETTEXTLEN, nIndex, 0));
}

int CListBox::AddString(const char* lpszItem)
{
    return static_cast<int>(SendListMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
}

int CListBox::InsertString(int nIndex, const char* lpszItem)
{
    return static_cast<int>(SendListMessage(LB_INSERTSTRING, nIndex, reinterpret_cast<LPARAM>(lpszItem)));
}

int CListBox::DeleteString(UINT nIndex)
{
    return static_cast<int>(SendListMessage(LB_DELETESTRING, nIndex, 0));
}

int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return static_cast<int>(SendListMessage(LB_SETITEMDATA, nIndex, static_cast<LPARAM>(dwItemData)));
}

DWORD_PTR CListBox::GetItemData(int nIndex) const
{
    return static_cast<DWORD_PTR>(SendListMessage(LB_GETITEMDATA, nIndex, 0));
}

void CListBox::ResetContent()
{
    SendListMessage(LB_RESETCONTENT, 0, 0);
}
