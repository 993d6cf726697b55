#pragma once

#include "framework/DragListBox.h"
#include "framework/MessageMap.h"

class CLoadQueue;

// The entry list: a drag list whose items are the playlist's entries, each
// with the 0-based line index of its playlist line as item data.
class CShuffleListBox : public CDragListBox
{
public:
    // A drag's move waits in loads like every command on the list; unset, a
    // move runs at once.
    CLoadQueue* m_pLoads = nullptr;

    // Empties the list, for the entries of another playlist.
    void RemoveEntries();
    // Appends an entry.
    void AddEntry(const CString& text, UINT lineIndex);
    // Puts the entries into a random order drawn from AfxGetRandom(), keeping
    // every entry's text and line index together.
    void ShuffleList();

    BOOL BeginDrag(POINT pt) override;
    // Moves the dragged entry where it was dropped, once the list is whole,
    // when the list still holds the entries it held as the drag began (no
    // other playlist, shuffle or move came between): a drop below the last
    // entry puts it at the end of the whole list.
    void Dropped(int nSrcIndex, POINT pt) override;

protected:
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Counts the changes that move entries to other indices; a load's
    // entries come after the ones in view and move none.
    unsigned m_nOrder = 0;
    unsigned m_nOrderAtDrag = 0;
};
