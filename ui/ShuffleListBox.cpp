#include "ui/ShuffleListBox.h"

#include "framework/Random.h"
#include "playlist/ShuffleOrder.h"

#include <vector>

// The list carries WS_EX_ACCEPTFILES in the dialog template, so the shell
// delivers files dropped onto it to the list itself. Users drop onto the
// biggest thing they see, so the drop goes to the parent and behaves exactly
// like a drop anywhere else on the window. Wine's list box passes
// WM_DROPFILES to its owner by itself; no documented contract says every
// system's does, hence this entry. ON_WM_DROPFILES would release the drop
// after its handler, and the parent's handler releases it as well, so the
// message is passed on as it came.
BEGIN_MESSAGE_MAP(CShuffleListBox, CDragListBox)
    ON_MESSAGE(WM_DROPFILES, &CShuffleListBox::OnDropFiles)
END_MESSAGE_MAP()

LRESULT CShuffleListBox::OnDropFiles(WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(::GetParent(m_hWnd), WM_DROPFILES, wParam, lParam);
}

void CShuffleListBox::Dropped(int nSrcIndex, POINT pt)
{
    DrawInsert(-1);
    // Entries a load adds come after the ones in view, so the indices seen
    // now still name the same entries when the move runs.
    const int nDestIndex = InsertionPointFromPt(pt);
    const bool toEnd = nDestIndex == GetCount();
    auto move = [this, nSrcIndex, nDestIndex, toEnd] { MoveItem(nSrcIndex, toEnd ? GetCount() : nDestIndex); };
    if (m_runWhenLoaded)
        m_runWhenLoaded(move);
    else
        move();
}

void CShuffleListBox::ShuffleList()
{
    CBulkAccess bulk(*this);
    const int count = GetCount();
    if (count <= 0)
        return;

    struct Entry
    {
        CString text;
        DWORD_PTR lineIndex;
    };
    std::vector<Entry> entries(count);
    for (int i = 0; i < count; ++i) {
        GetText(i, entries[i].text);
        entries[i].lineIndex = GetItemData(i);
    }

    const std::vector<std::size_t> order = ShuffledOrder(static_cast<std::size_t>(count), AfxGetRandom());

    // One refill instead of 8n visible moves: the control repaints once.
    CRedrawGuard redraw(*this);
    ResetContent();
    for (std::size_t from : order) {
        const int index = AddString(entries[from].text);
        SetItemData(index, entries[from].lineIndex);
    }
}
