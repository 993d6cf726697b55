#include "framework/ListBox.h"

int CListBox::GetCount() const
{
    return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0));
}

int CListBox::GetCurSel() const
{
    return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0));
}

int CListBox::SetCurSel(int nSelect)
{
    return static_cast<int>(::SendMessageA(m_hWnd, LB_SETCURSEL, nSelect, 0));
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
    const int copied = static_cast<int>(::SendMessageA(m_hWnd, LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(buffer)));
    rString.ReleaseBuffer(copied == LB_ERR ? 0 : copied);
    return copied;
}

int CListBox::GetTextLen(int nIndex) const
{
    return static_cast<int>(::SendMessageA(m_hWnd, LB_GETTEXTLEN, nIndex, 0));
}

int CListBox::AddString(const char* lpszItem)
{
    return static_cast<int>(::SendMessageA(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
}

int CListBox::InsertString(int nIndex, const char* lpszItem)
{
    return static_cast<int>(::SendMessageA(m_hWnd, LB_INSERTSTRING, nIndex, reinterpret_cast<LPARAM>(lpszItem)));
}

int CListBox::DeleteString(UINT nIndex)
{
    return static_cast<int>(::SendMessageA(m_hWnd, LB_DELETESTRING, nIndex, 0));
}

int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return static_cast<int>(::SendMessageA(m_hWnd, LB_SETITEMDATA, nIndex, static_cast<LPARAM>(dwItemData)));
}

DWORD_PTR CListBox::GetItemData(int nIndex) const
{
    return static_cast<DWORD_PTR>(::SendMessageA(m_hWnd, LB_GETITEMDATA, nIndex, 0));
}

void CListBox::ResetContent()
{
    ::SendMessageA(m_hWnd, LB_RESETCONTENT, 0, 0);
}
