#include "ui/PlaylistEdit.h"

#include "framework/WideText.h"
#include "res/resource.h"
#include "ui/ShuffleListBox.h"

#include <utility>

namespace {

// A load's news, posted to the edit from the load's threads. WM_APP and up
// belong to the program; no system control uses them.
const UINT WM_LOADNEWS = WM_APP + 1;
// Its wParam from a load's threads, or from the edit itself going on with
// a batch it cut short (not held back by the interval below).
const WPARAM kNews = 0;
const WPARAM kGoOn = 1;

// Entries added in one go, with the list's redrawing off. A larger batch
// would keep the window from answering for longer than the eye notices; the
// rest follow in the next message.
const int kBatchSize = 2000;

// News is taken at most this often; news that comes sooner waits for a
// timer. Taken at once, a warm cache's headers came one or two a message,
// and the posting, waking and repainting for each cost more than the reads
// (10,000 headers: 1.77 s, against 1.38 s taken every 25 ms).
const DWORD kNewsIntervalMs = 25;
const UINT_PTR kNewsTimer = 0x4A4C;  // the edit control's own timers keep theirs

// Posts the edit's news message; any thread may call it.
std::function<void()> NewsPoster(HWND hWnd)
{
    return [hWnd] { ::PostMessageW(hWnd, WM_LOADNEWS, kNews, 0); };
}

}  // namespace

// EN_CHANGE comes for typing and for every SetWindowText, and the dialog
// reflects it back to the edit, so this one entry covers every way a path
// gets into the edit.
BEGIN_MESSAGE_MAP(CPlaylistEdit, CEdit)
    ON_CONTROL_REFLECT(EN_CHANGE, &CPlaylistEdit::ReloadList)
    ON_MESSAGE(WM_LOADNEWS, &CPlaylistEdit::OnLoadNews)
    ON_MESSAGE(WM_TIMER, &CPlaylistEdit::OnTimer)
END_MESSAGE_MAP()

CPlaylistEdit::CPlaylistEdit(CShuffleListBox& listBox, const int& displayMode)
    : m_listBox(listBox), m_nDisplayMode(displayMode)
{
}

CPlaylistEdit::~CPlaylistEdit()
{
    CancelLoads();
}

void CPlaylistEdit::ReloadList()
{
    CString path;
    GetWindowText(path);
    if (path.IsEmpty())
        return;

    Step step;
    step.load = CEntryLoad::Start(path, m_nDisplayMode, NewsPoster(m_hWnd), CEntryLoad::Options());
    m_steps.push_back(std::move(step));
    Advance();
}

BOOL CPlaylistEdit::IsLoading() const
{
    return !m_steps.empty();
}

BOOL CPlaylistEdit::HasWaitingCommands() const
{
    for (const Step& step : m_steps) {
        if (step.command)
            return TRUE;
    }
    return FALSE;
}

void CPlaylistEdit::RunWhenLoaded(std::function<void()> command)
{
    Step step;
    step.command = std::move(command);
    m_steps.push_back(std::move(step));
    Advance();
    if (HasWaitingCommands())
        ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

void CPlaylistEdit::CancelLoads()
{
    for (Step& step : m_steps) {
        if (step.load)
            step.load->Cancel();
    }
    m_steps.clear();
}

LRESULT CPlaylistEdit::OnLoadNews(WPARAM wParam, LPARAM)
{
    if (wParam == kGoOn) {
        Advance();
        return 0;
    }
    // Until the news is taken, the load posts no more.
    if (m_bNewsTimer)
        return 0;
    const DWORD sinceLast = ::GetTickCount() - m_lastNewsTick;
    if (sinceLast < kNewsIntervalMs)
        m_bNewsTimer = ::SetTimer(m_hWnd, kNewsTimer, kNewsIntervalMs - sinceLast, nullptr) != 0;
    if (!m_bNewsTimer)
        Advance();  // now, or never: no timer to be had
    return 0;
}

LRESULT CPlaylistEdit::OnTimer(WPARAM wParam, LPARAM)
{
    if (wParam != kNewsTimer)
        return Default();
    ::KillTimer(m_hWnd, kNewsTimer);
    m_bNewsTimer = false;
    Advance();
    return 0;
}

void CPlaylistEdit::Advance()
{
    // A message box for an unreadable entry, or a command's own dialog, runs
    // a message loop inside this one: news that comes meanwhile is taken
    // when it is done.
    if (m_bAdvancing) {
        m_bNewsWhileAdvancing = true;
        return;
    }
    m_bAdvancing = true;
    m_lastNewsTick = ::GetTickCount();
    struct CClear
    {
        bool& flag;
        ~CClear() { flag = false; }
    } clear{m_bAdvancing};
    do {
        m_bNewsWhileAdvancing = false;
        TakeSteps();
    } while (m_bNewsWhileAdvancing);
}

void CPlaylistEdit::TakeSteps()
{
    while (!m_steps.empty()) {
        Step& first = m_steps.front();
        if (first.command) {
            const std::function<void()> command = std::move(first.command);
            m_steps.pop_front();
            command();
            continue;
        }
        if (FirstLoadIsSuperseded()) {
            first.load->Cancel();
            m_steps.pop_front();
            continue;
        }
        const CEntryLoad::State state = first.load->GetState();
        if (state == CEntryLoad::opening)
            return;
        if (state == CEntryLoad::opened) {
            if (!first.listEmptied) {
                // Emptied only now that the new file is open: a text that
                // names no readable playlist (every keystroke on the way to
                // one) keeps the list. One reset rather than deleting the
                // first item until none is left: the same empty list.
                first.listEmptied = true;
                m_listBox.ResetContent();
            }
            if (!AddFinishedEntries(first.load))
                return;
        }
        // Whole, or no playlist at all.
        m_steps.pop_front();
    }
}

bool CPlaylistEdit::FirstLoadIsSuperseded() const
{
    for (auto step = m_steps.begin() + 1; step != m_steps.end() && !step->command; ++step) {
        if (step->load->GetState() == CEntryLoad::opened)
            return true;
    }
    return false;
}

bool CPlaylistEdit::AddFinishedEntries(const CEntryLoad::Ref& firstLoad)
{
    // Its own reference: the step may go while a message box is up.
    const CEntryLoad::Ref load = firstLoad.Share();
    const CEntryLoad::Entry* entry = load->TakeFinished();
    while (entry != nullptr) {
        if (entry->unreadable) {
            ReportUnreadable(entry->text);
            // The window may have ended its loads, or begun another, while
            // the box was up; Advance goes on from there.
            if (m_steps.empty() || !(m_steps.front().load == load))
                return false;
        }
        CRedrawGuard redraw(m_listBox);
        CListBox::CBulkAccess bulk(m_listBox);
        for (int added = 0; entry != nullptr; entry = load->TakeFinished()) {
            if (added > 0 && entry->unreadable)
                break;  // its box shows with the entries before it in view
            const int index = m_listBox.AddString(entry->text);
            m_listBox.SetItemData(index, entry->lineIndex);
            if (++added == kBatchSize) {
                // The rest in the next message, so that the window answers
                // in between.
                ::PostMessageW(m_hWnd, WM_LOADNEWS, kGoOn, 0);
                return false;
            }
        }
    }
    return load->IsComplete();
}

void CPlaylistEdit::ReportUnreadable(const CString& path)
{
    // The path is shown as the system reads its bytes; it was opened byte
    // for byte, whatever they are.
    const std::wstring text = AfxWideFromAnsi(path) + AfxLoadText(IDS_UNREADABLE);
    MessageBox(text.c_str(), AfxLoadText(IDS_CAPTION).c_str(), MB_OK);
}
