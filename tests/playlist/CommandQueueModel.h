// The command queue's contract as a model: random sequences of what a user
// does, run against a drive in memory whose reads and writes finish in an
// order drawn from the sequence's seed, checked against the same sequence
// taken one step at a time with every load finished at once. No real time
// passes, so a failing seed replays exactly.
#pragma once

#include "playlist/CommandQueue.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace model {

inline std::string Text(const CString& s)
{
    return std::string(s.GetString(), s.GetLength());
}

// Threads that take turns: the test or exactly one of them runs at a time.
// Each stops at its reads and writes (Pass) until the test picks it. Real
// turns are the system's: the threads run free, for ThreadSanitizer.
class Turns
{
public:
    explicit Turns(bool real = false) : real(real) {}
    ~Turns();
    // As CEntryLoad::Options::beginThread: the new thread waits for its turn.
    BOOL Begin(std::function<void()> work);
    // On one of these threads: lets the test go on until this thread is picked.
    void Pass(const std::string& file);
    static bool OnTurnThread();
    // Runs one waiting thread, drawn by rng, until it passes or ends; false
    // when none may run (reads of `dead` never come back). Real turns: waits
    // a moment; false once every thread has ended.
    bool RunOne(std::mt19937& rng);
    void RunAll(std::mt19937& rng)
    {
        while (RunOne(rng)) {
        }
    }
    // Threads started and not ended.
    int Waiting();
    std::string dead;
    const bool real;

private:
    std::atomic<int> m_nLive{0};  // real threads not ended
    struct Thread
    {
        bool waiting = false;
        std::string file;  // what it waits to read or write
        std::condition_variable turn;  // one each: a turn wakes no other thread
    };
    std::mutex m_mutex;
    std::condition_variable m_testTurn;  // the test's, and Begin's caller's

    int m_running = -1;  // the thread whose turn it is; -1 the test
    std::deque<Thread> m_threads;
    std::vector<std::thread> m_handles;
};

// What the user does, one step.
struct Action
{
    enum Kind { path, mode, play, shuffle, drag, save, openCancelled } kind;
    int a = 0, b = 0;
};

// Files in memory: playlists, VQF files (names starting "x" cannot be read),
// the work file and what the player was started on.
struct Drive
{
    std::mutex lock;  // over the rest, for real turns; never held across a Pass
    std::map<std::string, std::vector<std::string>> playlists;
    bool workFile = false;
    std::vector<std::string> work;
    std::vector<std::vector<std::string>> launches;
    std::set<std::string> open;
    int clashes = 0;  // a file two of our threads had open at once
    std::string folder;  // the current folder
};

// The window as the queue sees it, with its commands as the dialog gives them.
class Window : public CCommandSink
{
public:
    Window(Turns& turns, Drive& drive, std::mt19937& rng, const double& clock);
    ~Window() = default;

    void Do(const Action& action);
    // Runs every thread and poll until nothing waits.
    void Settle();

    void ReplaceList() override { list.clear(); }
    void AddEntries(const std::vector<CEntryLoad::Entry>& entries) override;
    void SetTexts(const std::vector<CEntryLoad::Entry>& entries) override;
    void ReportUnreadable(const CString&) override { ++messages; }
    bool SetPolling(bool) override { return true; }
    void PollSoon() override {}

    std::vector<std::pair<std::string, UINT>> list;
    int messages = 0;
    CCommandQueue queue;

private:
    Turns& m_turns;
    Drive& m_drive;
    std::mt19937& m_rng;
    int m_nSaved = 0;
};

CEntryLoad::Options Options(Turns& turns, Drive& drive, std::mt19937& rng, const double& clock);

}  // namespace model
