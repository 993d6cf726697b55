#pragma once

#include "framework/Edit.h"
#include "framework/MessageMap.h"
#include "framework/String.h"
#include "playlist/EntryLoad.h"

#include <deque>
#include <functional>

class CShuffleListBox;

// The playlist-path edit. Every change of its text loads the playlist it
// names into the entry list, in the display mode its window holds.
//
// The window's thread never opens or reads a file for a load: each load runs
// on threads of its own (CEntryLoad), and this edit only adds the finished
// entries, in playlist order, in batches, as the load reports them. What the
// user did (a new path, a command on the list) takes effect in the order it
// was done, exactly as if each load had finished at once: a command waits
// until the loads given before it have filled the list, and a load whose
// playlist opened replaces an earlier one that no command waits on at once.
class CPlaylistEdit : public CEdit
{
public:
    // listBox is the list ReloadList fills; displayMode is the window's
    // m_nHandling, read at every load. Both outlive the edit.
    CPlaylistEdit(CShuffleListBox& listBox, const int& displayMode);
    ~CPlaylistEdit() override;

    // Starts replacing the list with the entries of the playlist the text
    // names, in the display mode, and returns at once. An empty text or a
    // file that cannot be opened leaves the list as it is; a read error keeps
    // the entries read before it. An entry whose VQF file cannot be read is
    // reported in a message box owned by this edit when the list reaches it,
    // and shows its own line.
    void ReloadList();

    // TRUE while something the user did has not reached the list yet: a
    // playlist still being opened or read, or a command waiting for it.
    BOOL IsLoading() const;
    // TRUE while a command waits for a load (the window shows the wait
    // cursor).
    BOOL HasWaitingCommands() const;

    // Runs command at once when no load is under way, else once the loads
    // started before it have filled the list, in the order given.
    void RunWhenLoaded(std::function<void()> command);

    // The window is closing: every load stops after the read it is in, and
    // no waiting command runs. Waits for nothing.
    void CancelLoads();

protected:
    // Posted by a load's threads when there is news.
    LRESULT OnLoadNews(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // One thing the user did: a load, or a command waiting for the loads
    // before it.
    struct Step
    {
        CEntryLoad::Ref load;
        std::function<void()> command;
        bool listEmptied = false;  // the load's entries have begun to replace the list
    };

    // Takes the steps in order as far as the loads allow; once at a time.
    void Advance();
    void TakeSteps();
    // A load later than the first step, before the next command, has opened
    // its playlist: the first step's load is no longer wanted.
    bool FirstLoadIsSuperseded() const;
    // Adds the first load's finished entries; TRUE when it has all of them.
    bool AddFinishedEntries(const CEntryLoad::Ref& load);
    void ReportUnreadable(const CString& path);

    CShuffleListBox& m_listBox;
    const int& m_nDisplayMode;
    std::deque<Step> m_steps;
    bool m_bAdvancing = false;  // a message box or a command runs inside Advance
    bool m_bNewsWhileAdvancing = false;
    DWORD m_lastNewsTick = 0;  // when Advance last ran
    bool m_bNewsTimer = false;
};
