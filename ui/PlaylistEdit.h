#pragma once

#include "framework/Edit.h"
#include "framework/MessageMap.h"
#include "framework/String.h"

class CShuffleListBox;

// The playlist-path edit. Every change of its text loads the playlist it
// names into the entry list.
class CPlaylistEdit : public CEdit
{
public:
    // The list ReloadList fills; set before the first text goes in.
    void SetListBox(CShuffleListBox* pListBox) { m_pListBox = pListBox; }

    // Replaces the list with the entries of the playlist the text names, in
    // the main window's display mode. An empty text or a file that cannot be
    // opened leaves the list as it is; a read error keeps what was appended.
    void ReloadList();

    // The title and author of a VQF file. A file that cannot be read is
    // reported in a message box owned by this edit; the result is then 0.
    int ReadVqfTags(const CString& path, CString& title, CString& author);

protected:
    DECLARE_MESSAGE_MAP()

private:
    CShuffleListBox* m_pListBox = nullptr;
};
