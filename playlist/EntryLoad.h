#pragma once

#include "framework/File.h"
#include "framework/String.h"
#include "framework/Thread.h"
#include "playlist/PlaylistLoader.h"
#include "playlist/VqfHeader.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// One load of a playlist's entries, done off the caller's thread so that the
// caller (the window's thread) never waits on a disk or a share. A reader
// thread opens the playlist and reads its lines; in title mode it then reads
// the entries' VQF headers, and as soon as they come slowly (a disk that
// seeks, a share) up to kHeaderReaders - 1 more threads join it, each taking
// the next entry no thread has taken yet. Once the playlist is read the
// caller has every entry, each showing its line until its title comes; it
// looks for finished entries when it likes (the window on a timer). The
// final entries are exactly those of a one-thread load: the same texts and
// line indices, in the same order.
//
// Ownership: the caller holds the load (a std::shared_ptr); its threads hold
// it only between reads (a std::weak_ptr), so a read that never returns pins
// its own path and nothing else, and the load ends with the caller's last
// reference. A slot's title is written by the one thread that took it, then
// marked finished; the caller reads a title only once it is finished. Every file is opened under
// a CFileHold, so that no load finds a file held by another of ours. Nothing
// leaves a thread of the load: a failure is a value (openFailed, an
// unreadable entry).
class CEntryLoad
{
public:
    // Header readers a title-mode load may run. Reads that wait on a disk or
    // a share overlap: 1,000 headers on a drive whose every read waits 10 ms
    // took 11.1 s on one thread, 1.4 s on 8 and 0.82 s on 16
    // (bench/RESULTS.md).
    static const int kHeaderReaders = 16;
    // Headers that come faster than this each, on average, are read by the
    // reader thread alone: from a warm cache, where every read is work for
    // the processor (and, under Wine, its server), more threads only
    // contend; 10,000 headers took 0.88 s on one thread and 1.5 s on 16.
    static constexpr double kSlowReadMs = 1.0;

    // The reads, threads, clock and waits a load uses; tests put fakes here.
    struct Options
    {
        // Hands the playlist's entry lines to appendEntry, which says false
        // once the load is cancelled: the reader then stops and closes the
        // file. false when the playlist cannot be opened.
        std::function<bool(const CString& path, const EntryAppender& appendEntry)> readPlaylist = &ReadPlaylistFile;
        // Throws CFileException for a file it cannot open or read.
        VqfTagReader readTags = &ReadVqfHeaderTags;
        // Starts a thread; FALSE when it cannot (the load then uses fewer).
        std::function<BOOL(std::function<void()> work)> beginThread = &AfxBeginWorkerThread;
        // The folder relative paths are taken against, asked when a load or
        // a command is given.
        std::function<CString()> currentFolder = &AfxGetCurrentFolder;
        std::function<double()> now = &AfxSteadyMs;
        // A thread's wait for a file another of ours holds.
        std::function<void(DWORD ms)> sleep = &AfxSleep;
        int headerReaders = kHeaderReaders;
        // 0 starts every reader at once.
        double slowReadMs = kSlowReadMs;
    };

    struct Entry
    {
        CString text;     // title [author] in title mode, else the playlist line
        UINT lineIndex;   // 0-based, over every line of the playlist
        bool unreadable;  // its VQF file could not be opened or read: text is its line
    };

    enum State {
        opening,     // the playlist is being opened and read
        openFailed,  // no list to show: the path names no readable playlist,
                     // or no thread or memory could be had for it
        opened       // the entries are known; their texts finish one by one
    };

    // Starts loading the playlist at path in mode and returns at once.
    // Relative paths, the playlist's and its entry lines', are taken against
    // folder (the current folder when the load was given).
    static std::shared_ptr<CEntryLoad> Start(const CString& path, DisplayMode mode, const CString& folder,
                                             const Options& options);

    // The reader a load uses unless told otherwise: the playlist file,
    // opened for exclusive use. A read error ends it quietly, keeping the
    // entries before it.
    static bool ReadPlaylistFile(const CString& path, const EntryAppender& appendEntry);

    // The playlist's path as given, taken against the load's folder.
    const CString& GetPath() const { return m_path; }
    DisplayMode GetMode() const { return m_mode; }
    State GetState() const;
    // An opening load whose playlist has given no line for longer than
    // stalledMs: a share gone away, or a read that never returns.
    bool IsStalled(double stalledMs) const;

    // The entries of an opened load, in playlist order.
    std::size_t GetCount() const { return m_count; }
    // Entry i as it stands: its line until its title has come.
    Entry GetEntry(std::size_t i) const;
    // Entry i has its final text; an unreadable entry has its line.
    bool IsFinished(std::size_t i) const { return m_slots[i].finished.load(); }

    // The load's threads take no further entry and stop waiting for files;
    // a playlist reader stops at the next line and closes the playlist.
    void Cancel();

private:
    struct Shared;
    CEntryLoad(const CString& path, DisplayMode mode, std::shared_ptr<Shared> shared);

    static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);

    struct Slot
    {
        CString line;
        UINT lineIndex = 0;
        CString title;  // written by the thread that took the slot, then finished
        bool titled = false;
        bool unreadable = false;
        std::atomic<bool> finished{false};
        // Entries of the same line share one read: the first of them reads,
        // and fills in the next ones.
        std::size_t nextSameLine = kNoSlot;
        bool sameLineEarlier = false;
    };

    static void ReadPlaylist(const std::weak_ptr<CEntryLoad>& weak, const std::shared_ptr<Shared>& shared,
                             const CString& path, DisplayMode mode);
    static void ReadHeadersAndPace(const std::weak_ptr<CEntryLoad>& weak, const std::shared_ptr<Shared>& shared);
    static bool StartHeaderReaders(const std::weak_ptr<CEntryLoad>& weak, const std::shared_ptr<Shared>& shared);
    static bool ReadNextHeader(const std::weak_ptr<CEntryLoad>& weak, const Shared& shared);
    void Publish(std::vector<Entry>& entries, bool linkSameLines);
    // The next entry whose header no thread has taken; false when none is left.
    bool TakeNextToRead(std::size_t& index, CString& line);
    // titled: text is its title; otherwise it keeps its line.
    void Finish(std::size_t index, const CString* title, bool unreadable);

    const CString m_path;
    const DisplayMode m_mode;
    const std::shared_ptr<Shared> m_shared;  // what the threads keep between reads
    std::atomic<int> m_state{opening};
    std::unique_ptr<Slot[]> m_slots;  // written once, before m_state turns opened
    std::size_t m_count = 0;
    std::atomic<std::size_t> m_nextToRead{0};
};
