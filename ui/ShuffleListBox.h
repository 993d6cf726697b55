#pragma once

#include "framework/DragListBox.h"
#include "framework/MessageMap.h"

// The entry list: a drag list whose items are the playlist's entries, each
// with the 0-based line index of its playlist line as item data.
class CShuffleListBox : public CDragListBox
{
public:
    // Puts the entries into a random order drawn from AfxGetRandom(), keeping
    // every entry's text and line index together.
    void ShuffleList();

protected:
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
