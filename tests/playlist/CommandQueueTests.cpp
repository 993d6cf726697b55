// The load and the order of what the user does, without a window: the
// queue's contract as a model run by deterministic simulation, and again on
// real threads (CommandQueueModel.h), then the cases a random sequence does
// not reach. Run natively under AddressSanitizer and again under
// ThreadSanitizer.

#include "CommandQueueModel.h"
#include "playlist/EntryLoad.h"
#include "playlist/CommandQueue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using model::Text;

// The playlists of every case: P with a comment, a file named twice and an
// unreadable one ("x..."), Q plain, R with an unreadable entry first.
void Stock(model::Drive& drive)
{
    drive.playlists["P"] = {"p0.vqf", "#", "p1.vqf", "x2.vqf", "p0.vqf", "p3.vqf"};
    drive.playlists["Q"] = {"q0.vqf", "q1.vqf", "q2.vqf"};
    drive.playlists["R"] = {"x0.vqf", "", "r1.vqf"};
    drive.playlists["DEAD"] = {"d0.vqf"};
}

int FromEnvironment(const char* name, int otherwise)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : otherwise;
}

// One random sequence of what a user does, from seed. Every fifth has a
// playlist whose reads never come back, given after the list has settled,
// with commands after it and then, once more than a second has passed, a
// healthy path; its reference leaves out the commands it overtook.
struct Sequence
{
    std::vector<model::Action> actions;
    std::size_t dead = static_cast<std::size_t>(-1);  // the dead playlist's place
    std::size_t revived = 0;                          // the healthy path's after it
};

Sequence Draw(unsigned seed)
{
    std::mt19937 rng(seed);
    const auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const auto action = [&](bool loads) {
        using model::Action;
        const int kind = pick(loads ? 7 : 5) + (loads ? 0 : 2);
        switch (kind) {
        case 0:
            // Saved playlists are loaded through "load it?" alone: a path
            // typed while a Save still writes that very file reads the disk.
            return Action{Action::path, pick(5)};
        case 1:
            return Action{Action::mode, pick(2)};
        case 2:
            return Action{Action::play};
        case 3:
            return Action{Action::shuffle};
        case 4:
            return Action{Action::drag, pick(12), pick(12)};
        case 5:
            return Action{Action::save, pick(2)};
        default:
            return Action{Action::openCancelled, pick(3)};
        }
    };
    Sequence sequence;
    const int count = 4 + pick(14);
    for (int i = 0; i < count; ++i)
        sequence.actions.push_back(action(true));
    if (seed % 5 == 4) {
        sequence.dead = static_cast<std::size_t>(pick(count + 1));
        std::vector<model::Action> overtaken;
        const int waiting = 1 + pick(4);
        for (int i = 0; i < waiting; ++i)
            overtaken.push_back(action(false));
        overtaken.push_back(model::Action{model::Action::path, pick(3)});
        sequence.actions.insert(sequence.actions.begin() + static_cast<std::ptrdiff_t>(sequence.dead),
                                overtaken.begin(), overtaken.end());
        sequence.revived = sequence.dead + overtaken.size() - 1;
    }
    return sequence;
}

struct Outcome
{
    std::vector<std::pair<std::string, UINT>> list;
    bool workFile;
    std::vector<std::string> work;
    std::vector<std::vector<std::string>> launches;
    std::map<std::string, std::vector<std::string>> playlists;
    int clashes;
};

// Runs a sequence; concurrent: the clicks come among the threads' reads and
// writes, else each takes effect before the next is given. real: the
// threads run free, as the program's do.
Outcome RunSequence(const Sequence& sequence, unsigned seed, bool concurrent, bool real = false)
{
    model::Drive drive;
    Stock(drive);
    std::mt19937 rng(seed * 7919u + (concurrent ? 1 : 0));
    double clock = 0;
    model::Turns turns(real);
    {
        model::Window window(turns, drive, rng, clock);
        for (std::size_t i = 0; i < sequence.actions.size(); ++i) {
            const model::Action& action = sequence.actions[i];
            if (i == sequence.dead) {
                window.Settle();
                turns.dead = "DEAD";
                window.queue.Load("DEAD");
            }
            if (i >= sequence.dead && i < sequence.revived && !concurrent) {
                // Overtaken: only the clean-up of 読込... stays.
                if (action.kind != model::Action::openCancelled)
                    continue;
            }
            if (i == sequence.revived && sequence.dead != static_cast<std::size_t>(-1)) {
                clock += 1100;
                if (concurrent)
                    window.queue.Poll();
            }
            window.Do(action);
            clock += 1;
            if (!concurrent) {
                window.Settle();
                continue;
            }
            for (int turn = std::uniform_int_distribution<int>(0, 6)(rng); turn > 0; --turn) {
                if (turn % 3 == 0)
                    window.queue.Poll();
                else
                    turns.RunOne(rng);
            }
        }
        window.Settle();
        std::lock_guard<std::mutex> lock(drive.lock);
        Outcome outcome{window.list, drive.workFile, drive.work, drive.launches, drive.playlists, drive.clashes};
        return outcome;
    }
}

// Whatever the order the reads and writes come back in, what the user does
// takes effect as it would one step at a time: the list, the work file, the
// player's launches and the saved playlists are the same. With a playlist
// whose reads never come back, a newer path takes over after a second, and
// only the commands waiting for the dead one go.
TEST(CommandQueueTest, ClicksTakeEffectAsOneAtATimeWhateverTheTiming)
{
    const unsigned first = static_cast<unsigned>(FromEnvironment("JUMBLA_MODEL_SEED", 1));
    // Each sequence starts a few dozen threads: fewer under Wine, where a
    // thread costs a round trip to its server, and under ThreadSanitizer.
#ifdef _WIN32
    const int sequences = FromEnvironment("JUMBLA_MODEL_SEQUENCES", 20);
#else
    const int sequences = FromEnvironment("JUMBLA_MODEL_SEQUENCES", 2000);
#endif
    // Then some on real threads, for ThreadSanitizer to watch; a dead
    // playlist would take a real second each, so those are left out.
    const int onRealThreads = FromEnvironment("JUMBLA_MODEL_REAL_SEQUENCES", 0);
    for (unsigned seed = first; seed < first + static_cast<unsigned>(sequences + onRealThreads); ++seed) {
        const bool real = seed >= first + static_cast<unsigned>(sequences);
        const Sequence sequence = Draw(seed);
        if (real && sequence.dead != static_cast<std::size_t>(-1))
            continue;
        const Outcome expected = RunSequence(sequence, seed, false);
        const Outcome got = RunSequence(sequence, seed, true, real);
        std::string replay = "replay with JUMBLA_MODEL_SEED=" + std::to_string(seed) + " JUMBLA_MODEL_SEQUENCES=1"
                             + (real ? " (real threads)" : "") + ":";
        for (const model::Action& action : sequence.actions)
            replay += " " + std::to_string(action.kind) + "/" + std::to_string(action.a);
        ASSERT_EQ(got.list, expected.list) << replay;
        ASSERT_EQ(got.workFile, expected.workFile) << replay;
        ASSERT_EQ(got.work, expected.work) << replay;
        ASSERT_EQ(got.launches, expected.launches) << replay;
        ASSERT_EQ(got.playlists, expected.playlists) << replay;
        ASSERT_EQ(got.clashes, 0) << replay << ": two of our threads had one file open";
    }
}

// The model's window with the threads taking turns, for what a random
// sequence does not reach.
struct Model
{
    Model() { Stock(drive); }
    // Turns and polls, as many as `turns`, or until no thread may run.
    void Run(int turns = 2000)
    {
        for (int i = 0; i < turns && this->turns.RunOne(rng); ++i)
            window.queue.Poll();
        window.queue.Poll();
    }
    std::string First() const { return window.list.empty() ? std::string() : window.list.front().first; }

    model::Drive drive;
    std::mt19937 rng{1};
    double clock = 0;
    model::Turns turns;
    model::Window window{turns, drive, rng, clock};
};

TEST(CommandQueueTest, WhatARandomSequenceDoesNotReach)
{
    {
        SCOPED_TRACE("a playlist whose read never returns, reloaded a hundred times: one load waits, the others go");
        Model m;
        m.turns.dead = "Q";
        for (int i = 0; i < 100; ++i) {
            m.window.queue.SetMode(i % 2 ? DisplayMode::fileName : DisplayMode::title);
            m.window.queue.Load("Q");
        }
        m.Run();
        EXPECT_LE(m.turns.Waiting(), 2) << "the held read and the newest load";
        m.turns.dead.clear();
        m.window.Settle();
        EXPECT_EQ(m.First(), "q0.vqf");
    }
    {
        SCOPED_TRACE("a command that throws leaves the ones after it to run");
        Model m;
        m.window.queue.Load("Q");
        m.window.queue.Run([](const CString&) { throw std::runtime_error("command failed"); });
        m.window.Do({model::Action::play});
        int thrown = 0;
        for (int polls = 0; polls < 100 && m.window.queue.IsBusy(); ++polls) {
            try {
                m.window.Settle();
            } catch (const std::runtime_error&) {
                ++thrown;
            }
        }
        EXPECT_EQ(thrown, 1);
        EXPECT_EQ(m.drive.launches.size(), 1u);
    }
    {
        SCOPED_TRACE("while a dialog of its own is up the list fills, but no message shows and no command runs");
        Model m;
        m.window.queue.Load("R");
        {
            const CCommandQueue::CPause about(m.window.queue);
            m.window.Do({model::Action::play});
            m.Run();
            EXPECT_EQ(m.window.list.size(), 2u);
            EXPECT_EQ(m.window.messages, 0);
            EXPECT_TRUE(m.drive.launches.empty());
        }
        m.window.Settle();
        EXPECT_EQ(m.window.messages, 1);
        EXPECT_EQ(m.drive.launches.size(), 1u);
    }
    {
        SCOPED_TRACE("a write that does not come back keeps nothing on the window waiting, and the steps after it wait for it");
        Model m;
        m.window.queue.Load("Q");
        m.window.Settle();
        m.turns.dead = "work";
        m.window.Do({model::Action::play});
        m.window.Do({model::Action::shuffle});
        m.window.queue.Load("P");
        m.Run();
        EXPECT_EQ(m.First(), "T q0.vqf [A]") << "neither the shuffle nor P came before the write";
        EXPECT_TRUE(m.window.queue.HasWaitingCommands());
        m.turns.dead.clear();
        m.window.Settle();
        EXPECT_EQ(m.drive.launches, (std::vector<std::vector<std::string>>{{"q0.vqf", "q1.vqf", "q2.vqf"}}));
        EXPECT_EQ(m.First(), "T p0.vqf [A]");
    }
    {
        SCOPED_TRACE("relative paths are taken against the current folder of when the load was given");
        Model m;
        m.drive.playlists["C:\\A\\P"] = {"s.vqf"};
        m.drive.folder = "C:\\A";
        m.window.queue.Load("P");
        m.window.Do({model::Action::play});
        m.drive.folder = "C:\\B";  // the open dialog moved it
        m.window.Settle();
        EXPECT_EQ(m.First(), "T C:\\A\\s.vqf [A]");
        EXPECT_EQ(m.drive.launches, (std::vector<std::vector<std::string>>{{"s.vqf"}}));
    }
}

// A cancelled load's threads stop after the read they are in, and its
// playlist reader at the next line, closing the playlist; a read that never
// returns pins its own line, not the load.
TEST(EntryLoadCancelTest, ACancelledLoadReadsNoFurtherAndPinsNothing)
{
    Model m;
    std::vector<std::string>& songs = m.drive.playlists["S"];
    for (int i = 0; i < 100; ++i)
        songs.push_back("s" + std::to_string(i) + ".vqf");
    m.drive.playlists["LONG"] = std::vector<std::string>(1000, "l.vqf");
    m.turns.dead = "s10.vqf";
    const CEntryLoad::Options options = model::Options(m.turns, m.drive, m.rng, m.clock);
    std::weak_ptr<CEntryLoad> watched;
    {
        const auto load = CEntryLoad::Start("S", DisplayMode::title, "", options);
        watched = load;
        m.Run();
        EXPECT_EQ(m.turns.Waiting(), 1) << "the other reader read every other header";
        load->Cancel();
    }
    m.Run();
    EXPECT_TRUE(watched.expired()) << "the load ends with its owner while a read still waits";

    const auto playlist = CEntryLoad::Start("LONG", DisplayMode::fileName, "", options);
    m.Run(20);
    playlist->Cancel();
    m.Run();
    EXPECT_EQ(m.drive.open.count("LONG"), 0u) << "a cancelled playlist reader closes the playlist at the next line";
    EXPECT_EQ(playlist->GetState(), CEntryLoad::opening);
}

}  // namespace
