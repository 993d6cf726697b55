#pragma once

#include "framework/String.h"
#include "framework/Thread.h"
#include "playlist/PlaylistLoader.h"
#include "playlist/VqfHeader.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// One load of a playlist's entries, done off the caller's thread so that
// the caller (the window's thread) never waits on a disk or a share. A
// reader thread opens the playlist and reads its lines; in title mode it
// then reads the entries' VQF headers, and as soon as they come slowly (a
// disk that seeks, a share) up to kHeaderReaders - 1 more threads join it,
// each taking the next entry no thread has taken yet. The caller takes the
// finished entries in playlist order, when the load tells it that there are
// new ones; the entries it takes are exactly those of a one-thread load
// (LoadPlaylistEntries): the same texts and line indices, in the same order.
//
// Ownership: the caller and every thread of the load hold a reference
// (CEntryLoadRef); the load ends with the last. A slot is written by the one
// thread that took it, then marked finished; the caller reads only finished
// slots. Nobody waits for a thread of the load: a cancelled load's threads
// stop after the read they are in, and one whose read never returns is left
// to the end of the process.
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

    struct Options
    {
        // Throws CFileException for a file it cannot open or read.
        VqfTagReader readTags = &ReadVqfHeaderTags;
        // Starts a thread; FALSE when it cannot (the load then uses fewer).
        std::function<BOOL(AFX_WORKERPROC pfnWorker, void* pParam)> beginThread = &AfxBeginWorkerThread;
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
        openFailed,  // the path names no readable playlist: nothing to show
        opened       // the entries are known; their texts finish one by one
    };

    // A reference to a load; the load is freed with its last reference.
    class Ref;

    // Starts loading the playlist at path in displayMode (0 is title mode).
    // notify is called, on any thread, when the state changes or entries
    // finish; it must return at once (post a message) and is called again
    // only after the caller has looked (TakeFinished or GetState). When no
    // thread can be started, the load runs on the calling thread before
    // Start returns.
    static Ref Start(const CString& path, int displayMode, std::function<void()> notify, Options options);

    State GetState() const;
    // The next finished entry in playlist order, or nullptr when it has not
    // finished yet or all have been taken. The entry stays valid while the
    // load does.
    const Entry* TakeFinished();
    // Every entry of an opened load has been taken.
    bool IsComplete() const;
    // The load's threads take no further entry and notify no more.
    void Cancel();

private:
    friend class Ref;
    CEntryLoad(const CString& path, int displayMode, std::function<void()> notify, Options options);

    static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);

    struct Slot
    {
        Entry entry;
        std::atomic<bool> finished{false};
        // Entries of the same line share one read: files are opened for
        // exclusive use, so two threads opening one file at once would each
        // find it held by the other. The first of them reads, and fills in
        // the next ones.
        std::size_t nextSameLine = kNoSlot;
        bool sameLineEarlier = false;
    };

    static void ReaderThread(void* pLoad);
    static void HeaderThread(void* pLoad);
    void ReadPlaylist();
    // Links every entry to the next one of the same line.
    void LinkSameLines();
    // Reads the next header no thread has taken; false when none is left
    // or the load is cancelled.
    bool ReadHeader();
    void ReadHeaders();
    // The reader thread's part: reads headers, and starts the other readers
    // once they come slowly.
    void ReadHeadersAndPace();
    void StartHeaderReaders();
    void Notify();
    void AddRef();
    void Release();

    const CString m_path;
    const int m_displayMode;
    const std::function<void()> m_notify;
    const Options m_options;

    std::atomic<int> m_refs{1};
    std::atomic<int> m_state{opening};
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_notifyPending{false};
    std::unique_ptr<Slot[]> m_slots;  // written once, before m_state turns opened
    std::size_t m_count = 0;
    std::atomic<std::size_t> m_nextToRead{0};
    std::size_t m_nextToTake = 0;  // the caller's alone
    bool m_bReadersStarted = false;  // the reader thread's alone
};

class CEntryLoad::Ref
{
public:
    Ref() = default;
    explicit Ref(CEntryLoad* pLoad) : m_pLoad(pLoad) {}
    ~Ref() { Reset(); }
    Ref(Ref&& other) noexcept : m_pLoad(other.m_pLoad) { other.m_pLoad = nullptr; }
    Ref& operator=(Ref&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_pLoad = other.m_pLoad;
            other.m_pLoad = nullptr;
        }
        return *this;
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    // Another reference to the same load.
    Ref Share() const
    {
        if (m_pLoad)
            m_pLoad->AddRef();
        return Ref(m_pLoad);
    }
    void Reset()
    {
        if (m_pLoad)
            m_pLoad->Release();
        m_pLoad = nullptr;
    }
    CEntryLoad* operator->() const { return m_pLoad; }
    explicit operator bool() const { return m_pLoad != nullptr; }
    bool operator==(const Ref& other) const { return m_pLoad == other.m_pLoad; }

private:
    CEntryLoad* m_pLoad = nullptr;
};
