#pragma once

#include "framework/DragListBox.h"
#include "framework/MessageMap.h"

#include <functional>

// The entry list: a drag list whose items are the playlist's entries, each
// with the 0-based line index of its playlist line as item data.
class CShuffleListBox : public CDragListBox
{
public:
    // Puts the entries into a random order drawn from AfxGetRandom(), keeping
    // every entry's text and line index together.
    void ShuffleList();

    // Runs a move once the list is complete (the window's loads give it);
    // unset, a move runs at once.
    std::function<void(std::function<void()> move)> m_runWhenLoaded;

    // Moves the dragged entry where it was dropped, once the list is whole:
    // a drop below the last entry puts it at the end of the whole list.
    void Dropped(int nSrcIndex, POINT pt) override;

protected:
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
