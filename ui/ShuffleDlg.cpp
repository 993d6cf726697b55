#include "ui/ShuffleDlg.h"

#include "app/ShuffleApp.h"
#include "framework/DataExchange.h"
#include "framework/FileDialog.h"
#include "framework/Random.h"
#include "framework/WideText.h"
#include "framework/WinApp.h"
#include "playlist/PlaylistWriter.h"
#include "playlist/WorkFile.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"

#include <ctime>
#include <shellapi.h>
#include <vector>

namespace {

const wchar_t kPlaylistFilter[] = L"VQLファイル(*.vql)|*.vql||";
const wchar_t kSaveFailed[] = L"VQLファイルの保存に失敗しました";

// The string table's text as it is stored, in UTF-16: the ANSI form would
// lose the Japanese on a system whose code page is not 932.
std::wstring LoadResourceString(UINT id)
{
    wchar_t text[256];
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, text, sizeof text / sizeof text[0]);
    return std::wstring(text, length > 0 ? length : 0);
}

CString FullPath(const CString& path)
{
    CString full;
    const DWORD length = ::GetFullPathNameA(path, MAX_PATH, full.GetBuffer(MAX_PATH), nullptr);
    full.ReleaseBuffer(length > 0 && length < MAX_PATH ? static_cast<int>(length) : 0);
    return full.IsEmpty() ? path : full;
}

// File names ignore letter case on Windows.
bool NameTheSameFile(const CString& path, const CString& otherPath)
{
    return FullPath(path).CompareNoCase(FullPath(otherPath)) == 0;
}

// Deletes the work file of a playlist, unless the playlist is that very file
// (a playlist saved as jumbla_work.vql in its own folder): deleting it would
// throw away the user's playlist. A missing work file is no error.
void DeleteWorkFileOf(const CString& playlistPath)
{
    const CString workPath = WorkFilePath(playlistPath);
    if (NameTheSameFile(workPath, playlistPath))
        return;
    ::DeleteFileA(workPath);
}

// Copies the written playlist to the chosen name through a new file in the
// same folder, which then replaces the name: a copy that fails part-way (a
// full disk, say) leaves a file of that name as it was instead of cut short.
BOOL CopyOverKeepingOldOnFailure(const CString& from, const CString& to)
{
    // The folder with its backslash: "C:\" for a file in a drive root.
    const CString folder = to.Left(to.ReverseFind('\\') + 1);
    char partial[MAX_PATH];
    if (!::GetTempFileNameA(folder.IsEmpty() ? "." : folder.GetString(), "jmb", 0, partial))
        return FALSE;
    if (::CopyFileA(from, partial, FALSE) && ::MoveFileExA(partial, to, MOVEFILE_REPLACE_EXISTING))
        return TRUE;
    ::DeleteFileA(partial);
    return FALSE;
}

}

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
END_MESSAGE_MAP()

CShuffleDlg::CShuffleDlg(CWnd* pParent)
    : CDialog(IDD_MAIN, pParent),
      m_nHandling(-1),
      m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
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
        const std::wstring about = LoadResourceString(IDS_ABOUTBOX);
        if (!about.empty()) {
            ::AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(sysMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
        const std::wstring shufflePlay = LoadResourceString(IDS_SHUFFLE_PLAY);
        if (!shufflePlay.empty())
            ::AppendMenuW(sysMenu, MF_STRING, IDM_SHUFFLE_PLAY, shufflePlay.c_str());
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    DragAcceptFiles(TRUE);

    AfxGetRandom().Seed(static_cast<unsigned int>(std::time(nullptr)));

    const CString lastPlaylist = AfxGetApp()->GetProfileString("Settings", "VQLFile", "");
    m_editPath.SetListBox(&m_listEntries);
    // Setting the text raises EN_CHANGE, which loads the playlist.
    m_editPath.SetWindowText(lastPlaylist);
    return TRUE;
}

void CShuffleDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    // The system keeps the low four bits of SC_* commands for itself.
    switch (nID & 0xFFF0) {
    case IDM_ABOUTBOX: {
        CAboutDlg about;
        about.DoModal();
        break;
    }
    case IDM_SHUFFLE_PLAY:
        OnShuffle();
        OnPlay();
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

void CShuffleDlg::OnDestroy()
{
    CDialog::OnDestroy();
    // The controls still exist while WM_DESTROY is handled.
    CString path;
    m_editPath.GetWindowText(path);
    if (path.IsEmpty())
        return;
    DeleteWorkFileOf(path);
    AfxGetApp()->WriteProfileString("Settings", "VQLFile", path);
}

void CShuffleDlg::OnPlay()
{
    CString path;
    m_editPath.GetWindowText(path);
    const CString workPath = WorkFilePath(path);
    try {
        CStdioFile source(path, CFile::modeRead | CFile::typeText);
        CStdioFile destination(workPath, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        WriteShuffledPlaylist(source, destination);
    } catch (const CFileException&) {
        // Nothing to play: no message, no player.
        return;
    }
    static_cast<CShuffleApp*>(AfxGetApp())->LaunchPlayer(workPath);
}

void CShuffleDlg::OnShuffle()
{
    m_listEntries.ShuffleList();
}

void CShuffleDlg::OnModeTitle()
{
    m_nHandling = 0;
    m_editPath.ReloadList();
}

void CShuffleDlg::OnModeFileName()
{
    m_nHandling = 1;
    m_editPath.ReloadList();
}

void CShuffleDlg::OnLoad()
{
    CString path;
    m_editPath.GetWindowText(path);
    if (!path.IsEmpty())
        DeleteWorkFileOf(path);

    const CString chosen = AskPlaylistName(TRUE, L"VQLファイルの指定", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    if (!chosen.IsEmpty())
        m_editPath.SetWindowText(chosen);
}

void CShuffleDlg::OnSave()
{
    CString path;
    m_editPath.GetWindowText(path);
    CString workPath;
    if (!path.IsEmpty()) {
        workPath = WorkFilePath(path);
        DeleteWorkFileOf(path);
    }

    const CString savedPath = AskPlaylistName(FALSE, L"VQLファイルの保存", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
    if (savedPath.IsEmpty())
        return;

    try {
        CStdioFile source(path, CFile::modeRead | CFile::typeText);
        CStdioFile destination(workPath, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        WriteShuffledPlaylist(source, destination);
    } catch (const CFileException&) {
        MessageBox(kSaveFailed, L"Jumbla", MB_OK);
        return;
    }

    // Saving as the work file itself would keep nothing: it is deleted next.
    const BOOL copied = !NameTheSameFile(savedPath, workPath) && CopyOverKeepingOldOnFailure(workPath, savedPath);
    DeleteWorkFileOf(path);
    if (!copied) {
        // Asking to load a file that was never written would report the
        // failure as a success.
        MessageBox(kSaveFailed, L"Jumbla", MB_OK);
        return;
    }
    if (MessageBox(L"保存したファイルを読みこみますか？", L"Jumbla", MB_YESNO) == IDYES)
        m_editPath.SetWindowText(savedPath);
}

void CShuffleDlg::OnDropFiles(HDROP hDropInfo)
{
    SetForegroundWindow();
    SetActiveWindow();

    if (::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0) != 1)
        MessageBox(L"シャッフルできるファイルは１つだけです。", L"JUMBLA", MB_OK);

    // The buffer size counts the terminating NUL: at most 1023 bytes of path.
    const UINT kMaxPathBytes = 1023;
    CString path;
    const UINT length = ::DragQueryFileA(hDropInfo, 0, path.GetBuffer(kMaxPathBytes), kMaxPathBytes + 1);
    path.ReleaseBuffer(static_cast<int>(length));
    // A longer name arrives cut short and names another file or folder (a
    // folder "songs.vql" above the dropped list, say); it is refused rather
    // than replacing the playlist the edit names.
    const bool cutShort = ::DragQueryFileA(hDropInfo, 0, nullptr, 0) > kMaxPathBytes;

    CString extension = path.Right(3);
    extension.MakeUpper();
    if (extension == "VQL" && !cutShort)
        m_editPath.SetWindowText(path);
    else
        MessageBox(L"VQLファイル以外はシャッフルできません", L"JUMBLA", MB_OK);
    // The framework releases the drop (DragFinish) when this returns.
}

void CShuffleDlg::WriteShuffledPlaylist(CStdioFile& source, CStdioFile& destination)
{
    const int count = m_listEntries.GetCount();
    std::vector<UINT> lineIndices;
    lineIndices.reserve(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i)
        lineIndices.push_back(static_cast<UINT>(m_listEntries.GetItemData(i)));
    ::WriteShuffledPlaylist(source, destination, lineIndices);
}

CString CShuffleDlg::AskPlaylistName(BOOL bOpen, const wchar_t* title, DWORD flags)
{
    CString path;
    m_editPath.GetWindowText(path);
    // The current playlist's folder; Left() of -1 is empty, and an empty
    // folder lets the dialog choose.
    const CString folder = path.Left(path.ReverseFind('\\'));

    CFileDialog dialog(bOpen, L"vql", flags, kPlaylistFilter, this);
    dialog.m_ofn.lpstrTitle = title;
    dialog.SetInitialFolder(folder);
    if (dialog.DoModal() != IDOK)
        return CString();
    return dialog.GetPathName();
}
