#pragma once

#include "framework/Wnd.h"

// The list box operations, as window messages. Indexes are 0-based; LB_ERR
// (-1) reports an index that names no item.
class CListBox : public CWnd
{
public:
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int GetText(int nIndex, CString& rString) const;  // LB_ERR: rString empty
    int GetTextLen(int nIndex) const;
    int AddString(const char* lpszItem);  // the new item's index
    int InsertString(int nIndex, const char* lpszItem);  // -1 appends
    int DeleteString(UINT nIndex);  // items left, or LB_ERR
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    DWORD_PTR GetItemData(int nIndex) const;
    void ResetContent();

private:
    // Sends an LB_* message to the list box's own window procedure.
    LRESULT SendListMessage(UINT message, WPARAM wParam, LPARAM lParam) const;

    mutable WNDPROC m_pfnListProc = nullptr;  // the ListBox class's procedure
};
