#include "ui/ShuffleDlg.h"

#include "app/ShuffleApp.h"
#include "framework/DataExchange.h"
#include "framework/FileDialog.h"
#include "framework/Random.h"
#include "framework/WinApp.h"
#include "playlist/PlaylistWriter.h"
#include "playlist/WorkFile.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"

#include <ctime>
#include <shellapi.h>
#include <vector>

namespace {

const char kPlaylistFilter[] = "VQLファイル(*.vql)|*.vql||";
const char kSaveFailed[] = "VQLファイルの保存に失敗しました";

CString LoadResourceString(UINT id)
{
    // LoadStringA converts the string table's UTF-16 text to the ANSI code page.
    char text[256];
    const int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof text);
    return CString(text, length);
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

// A new file beside `to`, to be written whole and only then put in its place:
// a write that fails part-way (a full disk, say) leaves a file of that name as
// it was instead of cut short. Empty when the folder refuses new files.
CString NewFileBeside(const CString& to)
{
    // The folder with its backslash: "C:\" for a file in a drive root.
    const CString folder = to.Left(to.ReverseFind('\\') + 1);
    char partial[MAX_PATH];
    // GetTempFileName creates the file, so no other save can take the name.
    if (!::GetTempFileNameA(folder.IsEmpty() ? "." : folder.GetString(), "jmb", 0, partial))
        return CString();
    return partial;
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
        const CString about = LoadResourceString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            ::AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
        const CString shufflePlay = LoadResourceString(IDS_SHUFFLE_PLAY);
        if (!shufflePlay.IsEmpty())
            ::AppendMenuA(sysMenu, MF_STRING, IDM_SHUFFLE_PLAY, shufflePlay);
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

    const CString chosen = AskPlaylistName(TRUE, "VQLファイルの指定", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
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

    const CString savedPath = AskPlaylistName(FALSE, "VQLファイルの保存", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
    if (savedPath.IsEmpty())
        return;

    // Written straight to a new file beside the chosen name, not through the
    // work file: a playlist on a read-only drive can still be saved elsewhere.
    // Saving as the work file itself would keep nothing, as the next command
    // deletes it.
    const CString partial = NameTheSameFile(savedPath, workPath) ? CString() : NewFileBeside(savedPath);
    BOOL saved = !partial.IsEmpty();
    if (saved) {
        try {
            CStdioFile source(path, CFile::modeRead | CFile::typeText);
            CStdioFile destination(partial, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
            WriteShuffledPlaylist(source, destination);
        } catch (const CFileException&) {
            saved = FALSE;
        }
        saved = saved && ::MoveFileExA(partial, savedPath, MOVEFILE_REPLACE_EXISTING);
        if (!saved)
            ::DeleteFileA(partial);
    }
    if (!saved) {
        // Asking to load a file that was never written would report the
        // failure as a success.
        MessageBox(kSaveFailed, "Jumbla", MB_OK);
        return;
    }
    if (MessageBox("保存したファイルを読みこみますか？", "Jumbla", MB_YESNO) == IDYES)
        m_editPath.SetWindowText(savedPath);
}

void CShuffleDlg::OnDropFiles(HDROP hDropInfo)
{
    SetForegroundWindow();
    SetActiveWindow();

    if (::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0) != 1)
        MessageBox("シャッフルできるファイルは１つだけです。", "JUMBLA", MB_OK);

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
        MessageBox("VQLファイル以外はシャッフルできません", "JUMBLA", MB_OK);
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

CString CShuffleDlg::AskPlaylistName(BOOL bOpen, const char* title, DWORD flags)
{
    CString path;
    m_editPath.GetWindowText(path);
    // The current playlist's folder; Left() of -1 is empty, and an empty
    // folder lets the dialog choose.
    const CString folder = path.Left(path.ReverseFind('\\'));

    CFileDialog dialog(bOpen, "vql", nullptr, flags, kPlaylistFilter, this);
    dialog.m_ofn.lpstrTitle = title;
    if (!folder.IsEmpty())
        dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK)
        return CString();
    return dialog.GetPathName();
}
