#include "ui/ShuffleListBox.h"

#include "framework/Random.h"
#include "playlist/CommandQueue.h"
#include "playlist/ShuffleOrder.h"

#include <unordered_map>
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

void CShuffleListBox::RemoveEntries()
{
    ResetContent();
    ++m_nOrder;
}

void CShuffleListBox::AddEntry(const CString& text, UINT lineIndex)
{
    const int index = AddString(text);
    SetItemData(index, lineIndex);
}

void CShuffleListBox::SetEntryTexts(const std::vector<CEntryLoad::Entry>& entries)
{
    CBulkAccess bulk(*this);
    const int count = GetCount();
    std::unordered_map<UINT, int> where;
    where.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i)
        where[static_cast<UINT>(GetItemData(i))] = i;
    // A list box cannot change an item's text in place: each is deleted and
    // inserted again, the control drawn once at the end.
    const int selected = GetCurSel();
    const int top = GetTopIndex();
    CRedrawGuard redraw(*this);
    for (const CEntryLoad::Entry& entry : entries) {
        const auto found = where.find(entry.lineIndex);
        if (found == where.end())
            continue;
        DeleteString(static_cast<UINT>(found->second));
        InsertString(found->second, entry.text);
        SetItemData(found->second, entry.lineIndex);
    }
    if (selected >= 0)
        SetCurSel(selected);
    SetTopIndex(top);
}

BOOL CShuffleListBox::BeginDrag(POINT pt)
{
    m_nOrderAtDrag = m_nOrder;
    return CDragListBox::BeginDrag(pt);
}

void CShuffleListBox::Dropped(int nSrcIndex, POINT pt)
{
    DrawInsert(-1);
    const int nDestIndex = InsertionPointFromPt(pt);
    const bool toEnd = nDestIndex == GetCount();
    const unsigned order = m_nOrderAtDrag;
    auto move = [this, nSrcIndex, nDestIndex, toEnd, order](const CString&) {
        // The indices name the entries the user saw only while nothing has
        // moved them since (the news of a load is taken while the mouse is
        // captured, and commands may run before this one).
        if (order != m_nOrder)
            return;
        MoveItem(nSrcIndex, toEnd ? GetCount() : nDestIndex);
        ++m_nOrder;
    };
    m_commands.Run(move);
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
        UINT lineIndex;
    };
    std::vector<Entry> entries(count);
    for (int i = 0; i < count; ++i) {
        GetText(i, entries[i].text);
        entries[i].lineIndex = static_cast<UINT>(GetItemData(i));
    }

    const std::vector<std::size_t> order = ShuffledOrder(static_cast<std::size_t>(count), AfxGetRandom());

    // One refill instead of 8n visible moves: the control repaints once.
    CRedrawGuard redraw(*this);
    RemoveEntries();
    for (std::size_t from : order)
        AddEntry(entries[from].text, entries[from].lineIndex);
}
