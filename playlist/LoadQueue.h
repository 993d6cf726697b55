#pragma once

#include "framework/String.h"
#include "playlist/EntryLoad.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// What the load queue does to the window; the main window implements it.
class CLoadSink
{
public:
    // A new playlist has opened: empty the list; its entries follow.
    virtual void ReplaceList() = 0;
    // Appends finished entries, in order, in one go.
    virtual void AddEntries(const std::vector<const CEntryLoad::Entry*>& entries) = 0;
    // Tells the user that an entry's VQF file cannot be read. May run a
    // message loop, inside which the queue may be called again.
    virtual void ReportUnreadable(const CString& line) = 0;
    // Call CLoadQueue::Poll every CLoadQueue::kPollMs while on. false when
    // it cannot (no timer to be had).
    virtual bool SetPolling(bool on) = 0;
    // Call Poll once more, as soon as the window has answered what waits:
    // a batch was full and more entries are ready.
    virtual void PollSoon() = 0;

protected:
    ~CLoadSink() = default;
};

// The order of everything the user does to the list, with loads running
// beside the window: whatever the user does takes effect as if every load
// before it had finished at once. Windowless and single-threaded: the window
// calls it, on its own thread, and it calls the window through a CLoadSink.
//
// The rules, one step after another in the order given:
// - A load (a new path or mode: typed, 読込..., a drop, a mode click) starts
//   at once and never waits behind another. Once its playlist has opened it
//   replaces the list: the loads before it are cancelled and the list
//   commands still waiting for them are dropped (their list never came, and
//   the user has moved on). A path that names no readable playlist (every
//   keystroke on the way to one) leaves the list as it is. An earlier load
//   of the same playlist that has not opened yet goes at once, with the list
//   commands waiting for it: the new load reads the same file and would
//   replace it as it opened, and on a share that does not answer each would
//   keep one more thread waiting.
// - A command runs once every step before it has been taken: the loads
//   before it have filled the list and shown their messages, the commands
//   before it have run. It is handed the playlist path in force at its
//   place, so a Play after a Save that loaded the saved file plays that
//   file. What a command itself gives (Save loading the saved file) takes
//   its place right after it, before the steps that waited behind it.
// - A list command waits while another of our threads holds its playlist
//   (a newer load reading it), as it would have run before that load.
//   An `always` command (a file the program cleans up) is never dropped.
// - While a CPause lives (a dialog of its own is up: 読込..., About), the
//   list still fills, but no message is shown and no command runs.
class CLoadQueue
{
public:
    // How often the window polls while a step waits: news of a load reaches
    // the window this way alone. Taken at once, a warm cache's headers came
    // one or two a message, and the posting, waking and repainting for each
    // cost more than the reads (10,000 headers: 1.77 s, against 1.38 s taken
    // every 25 ms).
    static const unsigned kPollMs = 25;
    // Entries added in one go. A larger batch would keep the window from
    // answering for longer than the eye notices; the rest follow at once
    // after it has answered (PollSoon).
    static const int kBatchSize = 2000;

    // The command's playlist path: the path in force at its place in the order.
    using Command = std::function<void(const CString& path)>;
    enum CommandKind {
        onList,  // acts on the list or its playlist: dropped with its load
        always   // a file the program cleans up: runs in its place whatever comes
    };

    explicit CLoadQueue(CLoadSink& sink, const CEntryLoad::Options& options = CEntryLoad::Options());
    ~CLoadQueue();
    CLoadQueue(const CLoadQueue&) = delete;
    CLoadQueue& operator=(const CLoadQueue&) = delete;

    // The playlist path or the display mode changed: loads path in mode. An
    // empty path loads nothing, but is the path of the commands after it.
    void Load(const CString& path, DisplayMode mode);
    // Runs command in its turn (see above).
    void Run(Command command, CommandKind kind = onList);
    // Takes the loads' news: the window calls it on its timer.
    void Poll();
    // The window is closing: every load stops, and no waiting command runs.
    // Waits for nothing.
    void CancelAll();

    // Something given has not reached the list yet.
    bool IsBusy() const { return !m_steps.empty(); }
    // A list command waits (the window shows the wait cursor).
    bool HasWaitingCommands() const;

    // Holds back messages and commands while it lives.
    class CPause
    {
    public:
        explicit CPause(CLoadQueue& queue) : m_queue(queue) { ++m_queue.m_nPauses; }
        ~CPause();
        CPause(const CPause&) = delete;
        CPause& operator=(const CPause&) = delete;

    private:
        CLoadQueue& m_queue;
    };

private:
    struct Step
    {
        unsigned id = 0;
        // A load step: its path and its load (none for an empty path, or when
        // it could not start).
        CString path;
        std::shared_ptr<CEntryLoad> load;
        bool listReplaced = false;  // its entries have begun to replace the list
        // A command step.
        Command command;
        CommandKind kind = onList;
    };

    void Add(Step step);
    // Drops the loads of path that have not opened, with the list commands
    // right after each.
    void DropUnopenedLoadsOf(const CString& path);
    // Drops the steps [begin, end): loads are cancelled, list commands go,
    // clean-ups stay with the path of their place (path is the one in force
    // at begin). Returns the path in force at end.
    CString Drop(std::size_t begin, std::size_t end, CString path);
    // Takes the steps in order as far as the loads allow; once at a time.
    void Advance();
    void TakeSteps();
    // The newest load whose playlist has opened replaces every step before it.
    void Supersede();
    // Runs the first step, a command; false when it must wait.
    bool RunFirstCommand();
    // Adds the first step's finished entries; true once it has all of them.
    bool AddFinishedEntries();
    bool IsFirst(unsigned id) const { return !m_steps.empty() && m_steps.front().id == id; }
    void UpdatePolling();

    CLoadSink& m_sink;
    const CEntryLoad::Options m_options;
    std::deque<Step> m_steps;
    CString m_path;  // the path in force after the steps taken so far
    unsigned m_nLastId = 0;
    int m_nPauses = 0;
    bool m_bAdvancing = false;  // a message box or a command runs inside Advance
    bool m_bAgain = false;      // something came meanwhile: Advance looks again
    // While a command runs, the steps it gives go here, before the rest.
    bool m_bInCommand = false;
    std::size_t m_nInsertAt = 0;
    bool m_bPolling = false;
};
