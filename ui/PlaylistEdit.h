#pragma once

#include "framework/Edit.h"
#include "framework/MessageMap.h"
#include "framework/String.h"

class CLoadQueue;

// The playlist-path edit. Every change of its text loads the playlist it
// names, in the display mode the window holds, through the window's load
// queue (playlist/LoadQueue.h), which fills the entry list.
class CPlaylistEdit : public CEdit
{
public:
    // loads is the window's queue; displayMode is the window's m_nHandling
    // (0 titles, else lines), read at every load. Both outlive the edit.
    CPlaylistEdit(CLoadQueue& loads, const int& displayMode);

    // Loads the playlist the text names, in the display mode, and returns
    // at once. An empty text or a file that cannot be opened leaves the list
    // as it is; a read error keeps the entries read before it.
    void ReloadList();

    // Tells the user that the VQF file an entry names cannot be read: a
    // message box owned by this edit.
    void ReportUnreadable(const CString& path);

protected:
    DECLARE_MESSAGE_MAP()

private:
    CLoadQueue& m_loads;
    const int& m_nDisplayMode;
};
