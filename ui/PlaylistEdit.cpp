#include "ui/PlaylistEdit.h"

#include "framework/StdioFile.h"
#include "framework/WideText.h"
#include "playlist/PlaylistLoader.h"
#include "playlist/VqfHeader.h"
#include "res/resource.h"
#include "ui/ShuffleListBox.h"

// EN_CHANGE comes for typing and for every SetWindowText, and the dialog
// reflects it back to the edit, so this one entry covers every way a path
// gets into the edit.
BEGIN_MESSAGE_MAP(CPlaylistEdit, CEdit)
    ON_CONTROL_REFLECT(EN_CHANGE, &CPlaylistEdit::ReloadList)
END_MESSAGE_MAP()

CPlaylistEdit::CPlaylistEdit(CShuffleListBox& listBox, const int& displayMode)
    : m_listBox(listBox), m_nDisplayMode(displayMode)
{
}

void CPlaylistEdit::ReloadList()
{
    CString path;
    GetWindowText(path);
    if (path.IsEmpty())
        return;

    CStdioFile playlist;
    if (!playlist.Open(path, CFile::modeRead | CFile::typeText))
        return;

    // Emptied only now that the new file is open: a text that names no
    // readable playlist (every keystroke on the way to one) keeps the list.
    // One reset rather than deleting the first item until none is left: the
    // same empty list, without moving every remaining item per delete.
    CRedrawGuard redraw(m_listBox);
    CListBox::CBulkAccess bulk(m_listBox);
    m_listBox.ResetContent();
    try {
        LoadPlaylistEntries(
            playlist, m_nDisplayMode,
            [this](const CString& entryPath, CString& title, CString& author) {
                return ReadVqfTags(entryPath, title, author);
            },
            [this](const CString& text, UINT lineIndex) {
                const int index = m_listBox.AddString(text);
                m_listBox.SetItemData(index, lineIndex);
            });
    } catch (const CFileException&) {
        // A read error ends the load quietly; the entries so far stay.
    }
}

int CPlaylistEdit::ReadVqfTags(const CString& path, CString& title, CString& author)
{
    try {
        return ReadVqfHeaderTags(path, title, author);
    } catch (const CFileException&) {
        // The path is shown as the system reads its bytes; it was opened
        // byte for byte, whatever they are.
        const std::wstring text = AfxWideFromAnsi(path) + AfxLoadText(IDS_UNREADABLE);
        MessageBox(text.c_str(), AfxLoadText(IDS_CAPTION).c_str(), MB_OK);
        return 0;
    }
}
