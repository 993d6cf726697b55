#pragma once

#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "playlist/CommandQueue.h"
#include "ui/PlayerLauncher.h"
#include "ui/PlaylistEdit.h"
#include "ui/ShuffleListBox.h"

#include <memory>
#include <vector>

// The main window: the entry list, the playlist-path edit, the display-mode
// radio group and the commands that shuffle, play, load and save. Its
// command queue orders the loads and the commands, and runs their file work
// off this thread (playlist/CommandQueue.h); the window is its sink.
class CShuffleDlg : public CDialog, private CCommandSink
{
public:
    // Play starts the player through launcher.
    explicit CShuffleDlg(CPlayerLauncher& launcher, CWnd* pParent = nullptr);
    ~CShuffleDlg() override;

    CCommandQueue m_commands;
    CShuffleListBox m_listEntries;
    CPlaylistEdit m_editPath;
    int m_nHandling;  // display mode: 0 title [author], any other value the raw lines
    HICON m_hIcon;  // the large icon, at the size this DPI asks for

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnLoad();
    void OnDestroy();
    void OnPlay();
    void OnShuffle();
    void OnSave();
    void OnModeTitle();
    void OnModeFileName();
    void OnDropFiles(HDROP hDropInfo);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // CCommandSink: the queue's news, on this window's thread.
    void ReplaceList() override;
    void AddEntries(const std::vector<CEntryLoad::Entry>& entries) override;
    void SetTexts(const std::vector<CEntryLoad::Entry>& entries) override;
    void ReportUnreadable(const CString& line) override;
    bool SetPolling(bool on) override;
    void PollSoon() override;

    // Runs a command on the list in its turn (CCommandQueue), showing the
    // wait cursor while it waits.
    void RunOnList(CCommandQueue::Command command);
    CString PlaylistPath() const;
    // The line index of every entry, in the list's order.
    std::vector<UINT> EntryOrder();
    // Saves the list's order, read from the playlist at path, under a name
    // the user chooses; the file work runs in its turn off this thread.
    void SaveList(const CString& path);
    // Asks whether to load the file saved as savedPath, or says the save failed.
    void SaveEnded(bool saved, const CString& savedPath);
    // Asks for a playlist name in the open or save dialog, starting in the
    // folder of the playlist at path. FALSE when the user cancels; chosen is
    // empty when the system code page cannot spell the name exactly.
    BOOL AskPlaylistName(const CString& path, BOOL bOpen, UINT titleId, DWORD flags, CString& chosen);
    // Puts the largest banner that fits into the picture control.
    void ShowBanner();

    CPlayerLauncher& m_launcher;
    HICON m_hSmallIcon;
    HBITMAP m_hBanner;
};
