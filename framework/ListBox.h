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
    int GetTopIndex() const;
    int SetTopIndex(int nIndex);
    int GetText(int nIndex, CString& rString) const;  // LB_ERR: rString empty
    int GetTextLen(int nIndex) const;
    int AddString(const char* lpszItem);  // the new item's index
    int InsertString(int nIndex, const char* lpszItem);  // -1 appends
    int DeleteString(UINT nIndex);  // items left, or LB_ERR
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    DWORD_PTR GetItemData(int nIndex) const;
    void ResetContent();

    // Marks bulk work on the list (filling it, reading every item) for the
    // object's lifetime: the LB_* messages of this object then go straight to
    // the ListBox class's window procedure, past every subclass (ours, the
    // drag list's). None of those handles LB_* messages, and under Wine every
    // subclass hop is a round trip to the server: a 10,000-item load or
    // shuffle took seconds through the chain, milliseconds past it. Outside
    // such a stretch every message takes the normal subclass chain. The class
    // procedure is looked up for the window attached now, never kept longer.
    class CBulkAccess
    {
    public:
        explicit CBulkAccess(CListBox& list);
        ~CBulkAccess();
        CBulkAccess(const CBulkAccess&) = delete;
        CBulkAccess& operator=(const CBulkAccess&) = delete;

    private:
        CListBox& m_list;
        WNDPROC m_pfnOuter;  // an enclosing stretch's procedure
    };

private:
    LRESULT SendListMessage(UINT message, WPARAM wParam, LPARAM lParam) const;

    WNDPROC m_pfnBulkProc = nullptr;  // the ListBox class's procedure, during bulk work
};
