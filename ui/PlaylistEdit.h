#pragma once

#include "framework/Edit.h"
#include "framework/MessageMap.h"
#include "framework/String.h"

class CCommandQueue;

// The playlist-path edit. Every change of its text loads the playlist it
// names through the window's command queue (playlist/CommandQueue.h), in
// the queue's display mode; the queue fills the entry list.
class CPlaylistEdit : public CEdit
{
public:
    // The window's queue, which outlives the edit.
    explicit CPlaylistEdit(CCommandQueue& commands);

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
    CCommandQueue& m_commands;
};
