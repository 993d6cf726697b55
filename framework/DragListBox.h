#pragma once

#include "framework/ListBox.h"
#include "framework/MessageMap.h"

// A list box whose items the user drags to new places (comctl32's drag list).
// comctl32 tells the list's parent about the drag through a registered
// message; the parent reflects it here, to BeginDrag / Dragging / Dropped /
// CancelDrag. Points are in screen coordinates, as the message carries them.
class CDragListBox : public CListBox
{
public:
    // TRUE starts a drag; the default does so over an item.
    virtual BOOL BeginDrag(POINT pt);
    // The cursor to show: DL_MOVECURSOR over an item, else DL_STOPCURSOR.
    virtual UINT Dragging(POINT pt);
    // Moves the item nSrcIndex, its text and its item data together, in
    // front of the item under pt (to the end when pt is in the empty part of
    // the list below the last item), and selects it there.
    virtual void Dropped(int nSrcIndex, POINT pt);
    virtual void CancelDrag(POINT pt);

    // Moves the item nSrcIndex, its text and its item data together, in
    // front of the item nDestIndex (GetCount() for the end), and selects it
    // there. An index that names no item moves nothing.
    void MoveItem(int nSrcIndex, int nDestIndex);

    // The item under the screen point pt, or -1. bAutoScroll lets a point just
    // above or below the list scroll it.
    int ItemFromPt(POINT pt, BOOL bAutoScroll = TRUE) const;
    // Shows the insertion mark in front of nItem; -1 removes it.
    void DrawInsert(int nItem);

protected:
    // Makes the list a drag list. Only single-selection lists qualify.
    void PreSubclassWindow() override;
    // The drag-list message the parent reflects here: lParam is the
    // DRAGLISTINFO; the result goes back to comctl32.
    LRESULT OnDragListNotify(WPARAM wParam, LPARAM lParam);
    // Where a drop at the screen point pt puts an item: in front of the item
    // under pt, at GetCount() for the empty part of the list below the last
    // item, or -1 outside the list.
    int InsertionPointFromPt(POINT pt) const;

    int m_nLast = -1;        // the item the insertion mark is drawn at
    int m_nDragSource = -1;  // the item picked up by the current drag

    DECLARE_MESSAGE_MAP()
};
