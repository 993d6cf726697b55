#pragma once

#include "framework/DragListBox.h"
#include "framework/MessageMap.h"

#include "playlist/EntryLoad.h"

#include <vector>

class CCommandQueue;

// The entry list: a drag list whose items are the playlist's entries, each
// with the 0-based line index of its playlist line as item data.
class CShuffleListBox : public CDragListBox
{
public:
    // A drag's move waits in the window's queue like every command on the
    // list; the queue outlives the list.
    explicit CShuffleListBox(CCommandQueue& commands) : m_commands(commands) {}

    // Empties the list, for the entries of another playlist.
    void RemoveEntries();
    // Appends an entry.
    void AddEntry(const CString& text, UINT lineIndex);
    // Gives entries their final texts where they stand now, each known by
    // its line index; the selection and the scroll stay.
    void SetEntryTexts(const std::vector<CEntryLoad::Entry>& entries);
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
    CCommandQueue& m_commands;
    // Counts the changes that move entries to other indices; a load's
    // entries come after the ones in view and move none.
    unsigned m_nOrder = 0;
    unsigned m_nOrderAtDrag = 0;
};
