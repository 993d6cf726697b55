#include "ui/PlaylistEdit.h"

#include "framework/WideText.h"
#include "playlist/CommandQueue.h"
#include "res/resource.h"

// EN_CHANGE comes for typing and for every SetWindowText, and the dialog
// reflects it back to the edit, so this one entry covers every way a path
// gets into the edit.
BEGIN_MESSAGE_MAP(CPlaylistEdit, CEdit)
    ON_CONTROL_REFLECT(EN_CHANGE, &CPlaylistEdit::ReloadList)
END_MESSAGE_MAP()

CPlaylistEdit::CPlaylistEdit(CCommandQueue& commands) : m_commands(commands) {}

void CPlaylistEdit::ReloadList()
{
    CString path;
    GetWindowText(path);
    m_commands.Load(path);
}

void CPlaylistEdit::ReportUnreadable(const CString& path)
{
    // The path is shown as the system reads its bytes; it was opened byte
    // for byte, whatever they are.
    const std::wstring text = AfxWideFromAnsi(path) + AfxLoadText(IDS_UNREADABLE);
    MessageBox(text.c_str(), AfxLoadText(IDS_CAPTION).c_str(), MB_OK);
}
