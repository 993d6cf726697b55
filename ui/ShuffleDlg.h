#pragma once

#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "playlist/LoadQueue.h"
#include "ui/PlayerLauncher.h"
#include "ui/PlaylistEdit.h"
#include "ui/ShuffleListBox.h"

#include <memory>
#include <vector>

// The main window: the entry list, the playlist-path edit, the display-mode
// radio group and the commands that shuffle, play, load and save. Its load
// queue orders the loads and the commands on the list (playlist/LoadQueue.h);
// the window is its sink.
class CShuffleDlg : public CDialog, private CLoadSink
{
public:
    // Play starts the player through launcher.
    explicit CShuffleDlg(CPlayerLauncher& launcher, CWnd* pParent = nullptr);
    ~CShuffleDlg() override;

    CLoadQueue m_loads;
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
    LRESULT OnPollLoads(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // CLoadSink: the queue's news, on this window's thread.
    void ReplaceList() override;
    void AddEntries(const std::vector<const CEntryLoad::Entry*>& entries) override;
    void ReportUnreadable(const CString& line) override;
    bool SetPolling(bool on) override;
    void PollSoon() override;

    // Runs a command on the list in its turn (CLoadQueue), showing the wait
    // cursor while it waits.
    void RunOnList(CLoadQueue::Command command);
    CString PlaylistPath() const;
    // The line index of every entry, in the list's order.
    std::vector<UINT> EntryOrder();
    // Saves the list's order, read from the playlist at path, under a name
    // the user chooses.
    void SaveList(const CString& path);
    // Asks for a playlist name in the open or save dialog, starting in the
    // folder of the playlist at path. FALSE when the user cancels; chosen is
    // empty when the system code page cannot spell the name exactly.
    BOOL AskPlaylistName(const CString& path, BOOL bOpen, UINT titleId, DWORD flags, CString& chosen);
    // Puts the largest banner that fits into the picture control.
    void ShowBanner();

    // Deletes the work file of the playlist at path on a thread of its own:
    // on a share that does not answer the delete must not hold the closing.
    void DeleteWorkFileWhileClosing(const CString& path);

    CPlayerLauncher& m_launcher;
    // Signalled once the closing's delete of the work file is done; the
    // destructor waits for it a little.
    std::shared_ptr<void> m_workFileDeleted;
    HICON m_hSmallIcon;
    HBITMAP m_hBanner;
};
