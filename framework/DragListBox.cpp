#include "framework/DragListBox.h"

#include <commctrl.h>

#include <stdexcept>

BEGIN_MESSAGE_MAP(CDragListBox, CListBox)
    ON_REGISTERED_MESSAGE_REFLECT(&AfxGetDragListMessage, &CDragListBox::OnDragListNotify)
END_MESSAGE_MAP()

void CDragListBox::PreSubclassWindow()
{
    // The drag moves the selected item; a list with several selections has
    // no single item to move.
    if (::GetWindowLongA(m_hWnd, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))
        throw std::logic_error("CDragListBox: the list must allow a single selection only");
    if (!::MakeDragList(m_hWnd))
        throw std::runtime_error("CDragListBox: MakeDragList failed");
}

LRESULT CDragListBox::OnDragListNotify(WPARAM, LPARAM lParam)
{
    const DRAGLISTINFO& info = *reinterpret_cast<const DRAGLISTINFO*>(lParam);
    // The answers go back to comctl32 as the message's result: TRUE from
    // DL_BEGINDRAG starts the drag, DL_DRAGGING's result picks the cursor,
    // the others' results are ignored.
    switch (info.uNotification) {
    case DL_BEGINDRAG: {
        m_nDragSource = ItemFromPt(info.ptCursor, FALSE);
        const BOOL begin = BeginDrag(info.ptCursor);
        if (!begin)
            m_nDragSource = -1;
        return begin;
    }
    case DL_DRAGGING:
        return Dragging(info.ptCursor);
    case DL_DROPPED:
        Dropped(m_nDragSource, info.ptCursor);
        m_nDragSource = -1;
        return 0;
    case DL_CANCELDRAG:
        CancelDrag(info.ptCursor);
        m_nDragSource = -1;
        return 0;
    default:
        return 0;
    }
}

BOOL CDragListBox::BeginDrag(POINT pt)
{
    const int nItem = ItemFromPt(pt, FALSE);
    if (nItem < 0)
        return FALSE;
    m_nLast = -1;
    DrawInsert(nItem);
    return TRUE;
}

UINT CDragListBox::Dragging(POINT pt)
{
    const int nItem = ItemFromPt(pt);
    DrawInsert(nItem);
    return nItem >= 0 || InsertionPointFromPt(pt) >= 0 ? DL_MOVECURSOR : DL_STOPCURSOR;
}

void CDragListBox::CancelDrag(POINT)
{
    DrawInsert(-1);
}

void CDragListBox::Dropped(int nSrcIndex, POINT pt)
{
    DrawInsert(-1);
    MoveItem(nSrcIndex, InsertionPointFromPt(pt));
}

void CDragListBox::MoveItem(int nSrcIndex, int nDestIndex)
{
    // The item goes in front of the one it was dropped on: onto itself or
    // onto its successor (for the last item: below it) leaves it where it is.
    const int count = GetCount();
    if (nSrcIndex < 0 || nSrcIndex >= count || nDestIndex < 0 || nDestIndex > count || nDestIndex == nSrcIndex ||
        nDestIndex == nSrcIndex + 1)
        return;

    CString text;
    GetText(nSrcIndex, text);
    const DWORD_PTR data = GetItemData(nSrcIndex);
    DeleteString(nSrcIndex);
    if (nSrcIndex < nDestIndex)
        --nDestIndex;  // the items behind the source moved up by one
    nDestIndex = InsertString(nDestIndex, text);
    SetItemData(nDestIndex, data);
    SetCurSel(nDestIndex);
}

int CDragListBox::InsertionPointFromPt(POINT pt) const
{
    const int nItem = ItemFromPt(pt, FALSE);
    if (nItem >= 0)
        return nItem;
    // LBItemFromPt knows no item below the last one; the empty space there
    // still belongs to the list, and a drop into it means "to the end".
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    POINT local = pt;
    ::ScreenToClient(m_hWnd, &local);
    return ::PtInRect(&client, local) ? GetCount() : -1;
}

int CDragListBox::ItemFromPt(POINT pt, BOOL bAutoScroll) const
{
    // LBItemFromPt takes screen coordinates, as DRAGLISTINFO carries them.
    return ::LBItemFromPt(m_hWnd, pt, bAutoScroll);
}

void CDragListBox::DrawInsert(int nItem)
{
    if (nItem == m_nLast)
        return;
    // The mark is drawn on the parent, beside the list.
    ::DrawInsert(::GetParent(m_hWnd), m_hWnd, nItem);
    m_nLast = nItem;
}
