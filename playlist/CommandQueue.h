#pragma once

#include "framework/String.h"
#include "playlist/EntryLoad.h"
#include "playlist/FileWork.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// What the command queue does to the window; the main window implements it.
class CCommandSink
{
public:
    // Another playlist has opened: empty the list; its entries follow.
    virtual void ReplaceList() = 0;
    // Appends entries, in order, in one go: each shows its line until its
    // title has come.
    virtual void AddEntries(const std::vector<CEntryLoad::Entry>& entries) = 0;
    // The final texts of entries in the list, wherever they have moved
    // (each is known by its line index).
    virtual void SetTexts(const std::vector<CEntryLoad::Entry>& entries) = 0;
    // Tells the user that an entry's VQF file cannot be read. May run a
    // message loop, inside which the queue may be called again.
    virtual void ReportUnreadable(const CString& line) = 0;
    // Call CCommandQueue::Poll every CCommandQueue::kPollMs while on. false
    // when it cannot (no timer to be had).
    virtual bool SetPolling(bool on) = 0;
    // Call Poll once more after the window has answered what waits (input,
    // painting): a batch was full and more is ready.
    virtual void PollSoon() = 0;

protected:
    ~CCommandSink() = default;
};

// The order of everything the user does: loads (a path typed, picked or
// dropped, a mode clicked) and commands (Play, Save, Shuffle, a drag, the
// work file's clean-ups). On a drive that answers, what the user does takes
// effect exactly as it would if each load finished the moment it was given,
// whatever the timing, and nothing given is dropped. Windowless and
// one-threaded: the window calls it on its own thread, and it calls the
// window through a CCommandSink. Its loads and file work run on threads of
// their own (CEntryLoad, CFileWork).
//
// The rules, one step after another in the order given:
// - A load starts at once. Its step is taken once its playlist has been
//   read: the list is replaced by its entries, each showing its line until
//   its title comes, and its path is the commands' from there. A path that
//   names no readable playlist keeps the list and is the path after it.
// - A command on the list runs once every step before it has been taken:
//   it waits for playlists, never for titles. It is handed the playlist
//   path in force at its place; the steps it gives itself come right after
//   it, before the ones that waited behind it.
// - File work runs in the order given, with the playlist in force held
//   against our own loads; what follows it waits for its `then`, which runs
//   on the window's thread once the work is done. A clean-up (the work
//   file's delete) is file work that is never dropped.
// - Titles fill in as their headers come, whatever runs meanwhile; the
//   unreadable-entry messages keep their order among themselves, and may
//   come after a command has run.
// - A step is overtaken only when a read or a write it waits for has not
//   come back for kStalledMs (a share gone away), by a newer load whose
//   playlist has been read; the commands between them go, the clean-ups
//   run. A load followed by nothing but loads is overtaken the same way at
//   once, as nothing would have acted on its list.
// - While a CPause lives (a dialog of the program's own is up) the list
//   still fills, but no message shows and no command runs.
class CCommandQueue
{
public:
    // How often the window polls while anything waits: news of a load or a
    // file job reaches the window this way alone. Taken at once, a warm
    // cache's headers came one or two a message, and the posting, waking
    // and repainting for each cost more than the reads (10,000 headers:
    // 1.77 s, against 1.38 s taken every 25 ms).
    static const unsigned kPollMs = 25;
    // Entries added or given their titles in one go. A larger batch would
    // keep the window from answering for longer than the eye notices.
    static const int kBatchSize = 2000;
    // A read or a write that has not come back for this long has stalled.
    static constexpr double kStalledMs = 1000;

    // The command's playlist path: the path in force at its place.
    using Command = std::function<void(const CString& path)>;

    explicit CCommandQueue(CCommandSink& sink, const CEntryLoad::Options& options = CEntryLoad::Options());
    ~CCommandQueue();
    CCommandQueue(const CCommandQueue&) = delete;
    CCommandQueue& operator=(const CCommandQueue&) = delete;

    // The mode of the loads given from now on.
    void SetMode(DisplayMode mode) { m_mode = mode; }
    // Loads the playlist at path. An empty path loads nothing, but is the
    // path of the commands after it.
    void Load(const CString& path);
    // Loads the playlist path in force at its place again, in the mode of
    // now (a mode clicked): a Save given before it may yet load the saved file.
    void Reload();
    // Runs command on the list in its turn.
    void Run(Command command);
    // Runs work on the file thread in its turn, the playlist in force held,
    // then `then` on this thread; the steps after it wait for both.
    void RunFileWork(Command work, std::function<void()> then);
    // Runs work on the file thread in its turn; never dropped.
    void CleanUp(Command work);
    // Takes the news of the loads and the file work: the window calls it on
    // its timer.
    void Poll();
    // The window is closing: the loads stop and the commands go; the
    // clean-ups given so far run, then lastCleanUp with the path given
    // last. Waits for the file work at most budgetMs.
    void Close(const Command& lastCleanUp, double budgetMs);

    // Something given has not taken effect yet.
    bool IsBusy() const;
    // A command waits (the window shows the wait cursor).
    bool HasWaitingCommands() const;

    // Holds back messages and commands while it lives.
    class CPause
    {
    public:
        explicit CPause(CCommandQueue& queue) : m_queue(queue) { ++m_queue.m_nPauses; }
        ~CPause();
        CPause(const CPause&) = delete;
        CPause& operator=(const CPause&) = delete;

    private:
        CCommandQueue& m_queue;
    };

private:
    struct Step
    {
        enum Kind { newPlaylist, reload, onList, fileWork, cleanUp };
        explicit Step(Kind kind) : kind(kind) {}
        Kind kind;
        CString path;                      // a load's, taken against the folder it was given in
        std::shared_ptr<CEntryLoad> load;  // none for an empty path or no thread
        Command command;
        std::function<void()> then;        // file work's
        unsigned ticket = 0;               // file work given to the thread
        bool given = false;
        DisplayMode mode = DisplayMode::title;  // a load's or a reload's
    };

    void Add(Step step);
    // A load's step: its load started, unless path is empty.
    Step StartLoad(const CString& path, DisplayMode mode);
    void Advance();
    void TakeSteps();
    // Takes the first step; false when it must wait.
    bool TakeFirst();
    bool TakeLoad(Step& first);
    bool TakeFileWork(Step& first);
    // Drops the steps before a newer load that has been read, where the rules allow.
    void Overtake();
    // Drops the first `end` steps: their loads are cancelled, their paths
    // and modes pass, their clean-ups are given to the file thread.
    void DropSteps(std::size_t end);
    // Gives the shown list its titles and messages, in order.
    void TakeTitles();
    unsigned GiveFileWork(const Command& work, const CString& path, bool holdPlaylist);
    void UpdatePolling();

    CCommandSink& m_sink;
    const CEntryLoad::Options m_options;
    CFileWork m_files;
    DisplayMode m_mode = DisplayMode::title;         // the mode clicked last
    DisplayMode m_modeInForce = DisplayMode::title;  // the last load's taken: a command's loads take it
    CString m_lastGiven;  // the last path given to Load, taken against the folder then
    std::deque<Step> m_steps;
    CString m_path;       // the path in force after the steps taken
    // The load whose entries the list shows: how many are in the list, and
    // how many have had their final text and message.
    std::shared_ptr<CEntryLoad> m_shown;
    std::size_t m_nAdded = 0;
    std::size_t m_nTitled = 0;
    std::vector<bool> m_addedFinal;  // an entry went into the list with its final text
    int m_nPauses = 0;
    // While steps are taken, what comes from a message loop inside them is
    // taken after (m_bAgain); while a command runs, the steps it gives go in
    // at m_nInsertAt, else kAtEnd.
    static constexpr std::size_t kAtEnd = static_cast<std::size_t>(-1);
    bool m_bAdvancing = false;
    bool m_bAgain = false;
    std::size_t m_nInsertAt = kAtEnd;
    bool m_bPolling = false;
};
