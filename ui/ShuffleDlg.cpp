#include "ui/ShuffleDlg.h"

#include "framework/DataExchange.h"
#include "framework/FileDialog.h"
#include "framework/Random.h"
#include "framework/WideText.h"
#include "framework/WinApp.h"
#include "playlist/WorkFile.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/Banner.h"
#include "ui/ProgramIcon.h"

#include <ctime>
#include <functional>
#include <memory>
#include <shellapi.h>
#include <utility>
#include <vector>

namespace {

// The queue's polls: a timer while a step waits, and a one-shot timer when
// a batch was full and more is ready. Timers come after input and painting,
// so a long load never keeps a click waiting; a posted message would come
// before them.
const UINT_PTR kPollTimer = 0x4A4C;
const UINT_PTR kSoonTimer = 0x4A4D;

// How long closing waits for the clean-ups' file work, once the settings
// are stored: a delete on a share that does not answer is given up, and the
// file stays.
const double kCloseWaitMs = 2000;

}  // namespace

BEGIN_MESSAGE_MAP(CShuffleDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_LOAD, &CShuffleDlg::OnLoad)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_PLAY, &CShuffleDlg::OnPlay)
    ON_BN_CLICKED(IDC_SHUFFLE, &CShuffleDlg::OnShuffle)
    ON_BN_CLICKED(IDC_SAVE, &CShuffleDlg::OnSave)
    ON_BN_CLICKED(IDC_MODE_TITLE, &CShuffleDlg::OnModeTitle)
    ON_BN_CLICKED(IDC_MODE_FILENAME, &CShuffleDlg::OnModeFileName)
    ON_WM_DROPFILES()
    ON_MESSAGE(WM_SETCURSOR, &CShuffleDlg::OnSetCursor)
    ON_MESSAGE(WM_TIMER, &CShuffleDlg::OnTimer)
END_MESSAGE_MAP()

CShuffleDlg::CShuffleDlg(CPlayerLauncher& launcher, CWnd* pParent)
    : CDialog(IDD_MAIN, pParent),
      m_commands(*this),
      m_listEntries(m_commands),
      m_editPath(m_commands),
      m_nHandling(-1),
      // The sizes this DPI asks for: the large icon for Alt+Tab and the
      // taskbar, the small one for the caption.
      m_hIcon(LoadProgramIcon(SM_CXICON)),
      m_launcher(launcher),
      m_hSmallIcon(LoadProgramIcon(SM_CXSMICON)),
      m_hBanner(nullptr)
{
}

CShuffleDlg::~CShuffleDlg()
{
    // Made for this window alone (not shared), and the window is gone.
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
    if (m_hSmallIcon)
        ::DestroyIcon(m_hSmallIcon);
    if (m_hBanner)
        ::DeleteObject(m_hBanner);
}

void CShuffleDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ENTRIES, m_listEntries);
    DDX_Control(pDX, IDC_PATH, m_editPath);
    DDX_Radio(pDX, IDC_MODE_TITLE, m_nHandling);
}

BOOL CShuffleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU sysMenu = GetSystemMenu(FALSE)) {
        const std::wstring about = AfxLoadText(IDS_ABOUTBOX);
        if (!about.empty()) {
            ::AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(sysMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
        const std::wstring shufflePlay = AfxLoadText(IDS_SHUFFLE_PLAY);
        if (!shufflePlay.empty())
            ::AppendMenuW(sysMenu, MF_STRING, IDM_SHUFFLE_PLAY, shufflePlay.c_str());
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hSmallIcon, FALSE);
    ShowBanner();
    DragAcceptFiles(TRUE);

    AfxGetRandom().Seed(static_cast<unsigned int>(std::time(nullptr)));

    m_commands.SetMode(DisplayModeOf(m_nHandling));

    const CString lastPlaylist = AfxGetApp()->GetProfileString("Settings", "VQLFile", "");
    // Setting the text raises EN_CHANGE, which starts loading the playlist;
    // the window shows at once and the list fills.
    m_editPath.SetWindowText(lastPlaylist);
    return TRUE;
}

void CShuffleDlg::ShowBanner()
{
    const HWND picture = ::GetDlgItem(m_hWnd, IDC_BANNER);
    RECT room = {};
    ::GetClientRect(picture, &room);
    // A window made again from this object had a control of its own.
    if (m_hBanner)
        ::DeleteObject(m_hBanner);
    m_hBanner = LoadLargestBannerFitting(::GetModuleHandleW(nullptr), SIZE{room.right, room.bottom});
    if (!m_hBanner)
        return;
    // STM_SETIMAGE hands back the bitmap the control loaded from the
    // template; from then on it is ours to delete. The control is centred
    // (SS_CENTERIMAGE), so it keeps its size.
    const HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
        ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_hBanner)));
    if (previous && previous != m_hBanner)
        ::DeleteObject(previous);
}

void CShuffleDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    // The system keeps the low four bits of SC_* commands for itself.
    switch (nID & 0xFFF0) {
    case IDM_ABOUTBOX: {
        // Waits for nothing; the queue's messages and commands wait for it.
        const CCommandQueue::CPause pause(m_commands);
        CAboutDlg about(this);
        about.DoModal();
        break;
    }
    case IDM_SHUFFLE_PLAY:
        OnShuffle();
        OnPlay();  // after the shuffle: commands run in the order given
        break;
    default:
        CDialog::OnSysCommand(nID, lParam);
        break;
    }
}

void CShuffleDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR CShuffleDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

LRESULT CShuffleDlg::OnSetCursor(WPARAM, LPARAM)
{
    if (!m_commands.HasWaitingCommands())
        return Default();  // the control's own cursor
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    return TRUE;
}

LRESULT CShuffleDlg::OnTimer(WPARAM wParam, LPARAM)
{
    if (wParam == kSoonTimer)
        ::KillTimer(m_hWnd, kSoonTimer);
    else if (wParam != kPollTimer)
        return Default();
    m_commands.Poll();
    return 0;
}

void CShuffleDlg::ReplaceList()
{
    // One reset rather than deleting the first item until none is left: the
    // same empty list.
    m_listEntries.RemoveEntries();
}

void CShuffleDlg::AddEntries(const std::vector<CEntryLoad::Entry>& entries)
{
    CRedrawGuard redraw(m_listEntries);
    CListBox::CBulkAccess bulk(m_listEntries);
    for (const CEntryLoad::Entry& entry : entries)
        m_listEntries.AddEntry(entry.text, entry.lineIndex);
}

void CShuffleDlg::SetTexts(const std::vector<CEntryLoad::Entry>& entries)
{
    m_listEntries.SetEntryTexts(entries);
}

void CShuffleDlg::ReportUnreadable(const CString& line)
{
    m_editPath.ReportUnreadable(line);
}

bool CShuffleDlg::SetPolling(bool on)
{
    // The same ID again only resets the timer's interval.
    if (on)
        return ::SetTimer(m_hWnd, kPollTimer, CCommandQueue::kPollMs, nullptr) != 0;
    ::KillTimer(m_hWnd, kPollTimer);
    return true;
}

void CShuffleDlg::PollSoon()
{
    ::SetTimer(m_hWnd, kSoonTimer, USER_TIMER_MINIMUM, nullptr);
}

void CShuffleDlg::OnDestroy()
{
    CDialog::OnDestroy();
    // The controls still exist while WM_DESTROY is handled.
    const CString path = PlaylistPath();
    // Both settings, stored first: nothing that may wait on a share comes
    // before them. Registry value names ignore case: "handlingBy" is the
    // value the application reads as "HandlingBy".
    AfxGetApp()->WriteProfileInt("Settings", "handlingBy", m_nHandling);
    if (!path.IsEmpty())
        AfxGetApp()->WriteProfileString("Settings", "VQLFile", path);
    // A read that never returns must not keep the window: the loads are
    // left to end by themselves and the commands waiting for them go; the
    // work file's deletes, the ones given before and the closing's own, run.
    m_commands.Close(&DeleteWorkFileOf, kCloseWaitMs);
}

// The commands run in the order given, once the loads given before them
// have read their playlists, with the playlist path in force at their place;
// their file work runs in its turn off this thread (CCommandQueue).

void CShuffleDlg::OnPlay()
{
    RunOnList([this](const CString& path) {
        const std::vector<UINT> order = EntryOrder();
        const CString workPath = WorkFilePath(path);
        // Set on the file thread; read here only once its work is done.
        const auto written = std::make_shared<bool>(false);
        m_commands.RunFileWork(
            [order, workPath, written](const CString& playlist) {
                *written = WriteWorkFile(playlist, workPath, order) != FALSE;
            },
            [this, workPath, written] {
                // Nothing to play: no message, no player.
                if (*written)
                    m_launcher.LaunchPlayer(workPath);
            });
    });
}

void CShuffleDlg::OnShuffle()
{
    RunOnList([this](const CString&) { m_listEntries.ShuffleList(); });
}

void CShuffleDlg::OnModeTitle()
{
    m_nHandling = 0;
    m_commands.SetMode(DisplayMode::title);
    m_commands.Reload();
}

void CShuffleDlg::OnModeFileName()
{
    m_nHandling = 1;
    m_commands.SetMode(DisplayMode::fileName);
    m_commands.Reload();
}

void CShuffleDlg::OnLoad()
{
    // In its place: after a Play given before it, so that no work file
    // stays behind.
    m_commands.CleanUp(&DeleteWorkFileOf);

    // A name the system code page cannot spell comes back empty: as cancelled.
    CString chosen;
    BOOL bChosen;
    {
        // The dialog waits for nothing; the queue's messages and commands
        // wait for it.
        const CCommandQueue::CPause pause(m_commands);
        bChosen = AskPlaylistName(PlaylistPath(), TRUE, IDS_OPEN_TITLE, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, chosen);
    }
    if (bChosen && !chosen.IsEmpty())
        m_editPath.SetWindowText(chosen);
}

void CShuffleDlg::OnSave()
{
    RunOnList([this](const CString& path) { SaveList(path); });
}

void CShuffleDlg::RunOnList(CCommandQueue::Command command)
{
    m_commands.Run(std::move(command));
    // At once, not at the mouse's next move: the click was taken.
    if (m_commands.HasWaitingCommands())
        ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

void CShuffleDlg::SaveList(const CString& path)
{
    m_commands.CleanUp(&DeleteWorkFileOf);

    CString savedPath;
    if (!AskPlaylistName(path, FALSE, IDS_SAVE_TITLE, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, savedPath))
        return;

    // An empty name is one the system code page cannot spell: refused before
    // anything is written, as its look-alike is another file. An empty path
    // fails the write (it opens no playlist).
    if (savedPath.IsEmpty()) {
        SaveEnded(false, savedPath);
        return;
    }
    const std::vector<UINT> order = EntryOrder();
    // Set on the file thread; read here only once its work is done.
    const auto saved = std::make_shared<bool>(false);
    m_commands.RunFileWork(
        [order, savedPath, saved](const CString& playlist) {
            *saved = SavePlaylistAs(playlist, order, savedPath) != FALSE;
        },
        [this, saved, savedPath] { SaveEnded(*saved, savedPath); });
}

void CShuffleDlg::SaveEnded(bool saved, const CString& savedPath)
{
    // Asking to load a file that was never written would report the failure
    // as a success.
    if (!saved) {
        MessageBox(AfxLoadText(IDS_SAVE_FAILED).c_str(), AfxLoadText(IDS_CAPTION).c_str(), MB_OK);
        return;
    }
    if (MessageBox(AfxLoadText(IDS_LOAD_SAVED).c_str(), AfxLoadText(IDS_CAPTION).c_str(), MB_YESNO) == IDYES)
        m_editPath.SetWindowText(savedPath);
}

void CShuffleDlg::OnDropFiles(HDROP hDropInfo)
{
    // Its messages come now; the queue's wait for them.
    const CCommandQueue::CPause pause(m_commands);
    SetForegroundWindow();
    SetActiveWindow();

    if (::DragQueryFileW(hDropInfo, 0xFFFFFFFF, nullptr, 0) != 1)
        MessageBox(AfxLoadText(IDS_ONE_FILE_ONLY).c_str(), AfxLoadText(IDS_DROP_CAPTION).c_str(), MB_OK);

    // The name in UTF-16, whole: without a buffer DragQueryFile gives its
    // length in characters, not counting the NUL.
    std::vector<wchar_t> name(::DragQueryFileW(hDropInfo, 0, nullptr, 0) + 1);
    ::DragQueryFileW(hDropInfo, 0, name.data(), static_cast<UINT>(name.size()));
    // A name the system code page cannot spell exactly would become a
    // look-alike, another file, and the drop takes at most 1023 bytes of
    // path, as it always has: either is refused rather than replacing the
    // playlist the edit names.
    const int kMaxPathBytes = 1023;
    CString path;
    const bool usable = AfxExactAnsiFromWide(name.data(), path) && path.GetLength() <= kMaxPathBytes;

    CString extension = path.Right(3);
    extension.MakeUpper();
    if (extension == "VQL" && usable)
        m_editPath.SetWindowText(path);
    else
        MessageBox(AfxLoadText(IDS_NOT_VQL).c_str(), AfxLoadText(IDS_DROP_CAPTION).c_str(), MB_OK);
    // The framework releases the drop (DragFinish) when this returns.
}

CString CShuffleDlg::PlaylistPath() const
{
    CString path;
    m_editPath.GetWindowText(path);
    return path;
}

std::vector<UINT> CShuffleDlg::EntryOrder()
{
    CListBox::CBulkAccess bulk(m_listEntries);
    const int count = m_listEntries.GetCount();
    std::vector<UINT> lineIndices;
    lineIndices.reserve(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i)
        lineIndices.push_back(static_cast<UINT>(m_listEntries.GetItemData(i)));
    return lineIndices;
}

BOOL CShuffleDlg::AskPlaylistName(const CString& path, BOOL bOpen, UINT titleId, DWORD flags, CString& chosen)
{
    // The current playlist's folder; Left() of -1 is empty, and an empty
    // folder lets the dialog choose.
    const CString folder = path.Left(path.ReverseFind('\\'));

    const std::wstring title = AfxLoadText(titleId);
    CFileDialog dialog(bOpen, L"vql", flags, AfxLoadText(IDS_PLAYLIST_FILTER).c_str(), this);
    // The title must outlive DoModal; the dialog keeps a copy of the filter.
    dialog.m_ofn.lpstrTitle = title.c_str();
    dialog.SetInitialFolder(folder);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    chosen = dialog.GetPathName();
    return TRUE;
}
