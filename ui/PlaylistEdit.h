#pragma once

#include "framework/Edit.h"
#include "framework/MessageMap.h"
#include "framework/String.h"

class CShuffleListBox;

// The playlist-path edit. Every change of its text loads the playlist it
// names into the entry list, in the display mode its window holds.
class CPlaylistEdit : public CEdit
{
public:
    // listBox is the list ReloadList fills; displayMode is the window's
    // m_nHandling, read at every load. Both outlive the edit.
    CPlaylistEdit(CShuffleListBox& listBox, const int& displayMode);

    // Replaces the list with the entries of the playlist the text names, in
    // the display mode. An empty text or a file that cannot be opened leaves
    // the list as it is; a read error keeps what was appended.
    void ReloadList();

    // The title and author of a VQF file. A file that cannot be read is
    // reported in a message box owned by this edit; the result is then 0.
    int ReadVqfTags(const CString& path, CString& title, CString& author);

protected:
    DECLARE_MESSAGE_MAP()

private:
    CShuffleListBox& m_listBox;
    const int& m_nDisplayMode;
};
