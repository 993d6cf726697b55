#include "playlist/EntryLoad.h"

#include "framework/StdioFile.h"
#include "playlist/HeldFiles.h"

#include <string>
#include <unordered_map>
#include <utility>

// What the load's threads keep while they read: never the entries, so that
// a read that never returns pins no more than this and its own path.
struct CEntryLoad::Shared
{
    Shared(const Options& options, const CString& folder)
        : options(options), folder(folder), startMs(options.now())
    {
    }

    bool Cancelled() const { return cancelled.load(); }
    // A file opened under a hold, waited for with a back-off: a read that
    // never returns keeps the waits behind it asleep, not spinning.
    bool Hold(CFileHold& hold, const CString& path) const
    {
        return hold.Hold(path, [this] { return Cancelled(); }, options.sleep);
    }

    // The reader's last sign of life: the playlist opened or a line read.
    void Progress() { progressMs = static_cast<int>(options.now() - startMs); }

    const Options options;
    const CString folder;
    const double startMs;
    std::atomic<int> progressMs{0};  // since startMs
    std::atomic<bool> cancelled{false};
};

CEntryLoad::CEntryLoad(const CString& path, DisplayMode mode, std::shared_ptr<Shared> shared)
    : m_path(path), m_mode(mode), m_shared(std::move(shared))
{
}

std::shared_ptr<CEntryLoad> CEntryLoad::Start(const CString& path, DisplayMode mode, const CString& folder,
                                              const Options& options)
{
    const auto shared = std::make_shared<Shared>(options, folder);
    // Not make_shared: the load's memory goes with its last owner, not with
    // the last thread that still looks whether it is there.
    const std::shared_ptr<CEntryLoad> load(
        new CEntryLoad(PathInFolder(folder, path), mode, shared));
    const std::weak_ptr<CEntryLoad> weak = load;
    // No thread: the load fails, as a playlist that cannot be read does (the
    // list stays); it never runs on the caller's thread, which would then
    // wait on the disk.
    const CString& fullPath = load->m_path;
    if (!options.beginThread([weak, shared, fullPath, mode] { ReadPlaylist(weak, shared, fullPath, mode); }))
        load->m_state = openFailed;
    return load;
}

bool CEntryLoad::ReadPlaylistFile(const CString& path, const EntryAppender& appendEntry)
{
    CStdioFile playlist;
    if (!playlist.Open(path, CFile::modeRead | CFile::typeText))
        return false;
    try {
        LoadPlaylistEntries(playlist, appendEntry);
    } catch (const CFileException&) {
        // A read error ends the playlist quietly; the entries so far stay.
    }
    return true;
}

void CEntryLoad::ReadPlaylist(const std::weak_ptr<CEntryLoad>& weak, const std::shared_ptr<Shared>& shared,
                              const CString& path, DisplayMode mode)
{
    try {
        std::vector<Entry> entries;
        bool readable;
        {
            // Closed before any header is read: Play and Save open the
            // playlist again, and so may a newer load.
            CFileHold hold;
            if (!shared->Hold(hold, path))
                return;
            readable = shared->options.readPlaylist(path, [&shared, &entries](const CString& line, UINT lineIndex) {
                if (shared->Cancelled())
                    return false;
                entries.push_back(Entry{line, lineIndex, false});
                shared->Progress();
                return true;
            });
        }
        // A cancelled reader stopped part way: nobody takes what it read.
        if (shared->Cancelled())
            return;
        if (const std::shared_ptr<CEntryLoad> load = weak.lock()) {
            if (!readable) {
                load->m_state = openFailed;
                return;
            }
            load->Publish(entries, mode == DisplayMode::title);
        }
    } catch (...) {
        // No memory for a vast playlist: the load counts as a playlist that
        // cannot be read (the list stays).
        if (const std::shared_ptr<CEntryLoad> load = weak.lock())
            load->m_state = openFailed;
        return;
    }
    if (mode == DisplayMode::title)
        ReadHeadersAndPace(weak, shared);
}

bool CEntryLoad::IsStalled(double stalledMs) const
{
    return GetState() == opening && m_shared->options.now() - m_shared->startMs - m_shared->progressMs.load() > stalledMs;
}

void CEntryLoad::Publish(std::vector<Entry>& entries, bool linkSameLines)
{
    std::unique_ptr<Slot[]> slots(new Slot[entries.size()]);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        slots[i].line = std::move(entries[i].text);
        slots[i].lineIndex = entries[i].lineIndex;
        slots[i].finished = !linkSameLines;
    }
    if (linkSameLines) {
        // Each file is read once for all its entries.
        std::unordered_map<std::string, std::size_t> lastOfLine;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const CString& line = slots[i].line;
            const auto last = lastOfLine.emplace(std::string(line.GetString(), line.GetLength()), i);
            if (last.second)
                continue;
            slots[last.first->second].nextSameLine = i;
            slots[i].sameLineEarlier = true;
            last.first->second = i;
        }
    }
    m_count = entries.size();
    m_slots = std::move(slots);
    m_state = opened;  // publishes the slots to the caller and the header readers
}

void CEntryLoad::ReadHeadersAndPace(const std::weak_ptr<CEntryLoad>& weak, const std::shared_ptr<Shared>& shared)
{
    // Judged over spans of this many milliseconds: long enough that a
    // moment's wait (the thread put aside) does not count as a slow disk.
    const double kSpanMs = 20;
    bool othersStarted = shared->options.slowReadMs <= 0 && StartHeaderReaders(weak, shared);
    double spanStart = AfxSteadyMs();
    int readsInSpan = 0;
    while (ReadNextHeader(weak, *shared)) {
        if (othersStarted)
            continue;
        ++readsInSpan;
        const double now = AfxSteadyMs();
        if (now - spanStart < kSpanMs)
            continue;
        if (readsInSpan * shared->options.slowReadMs <= now - spanStart)
            othersStarted = StartHeaderReaders(weak, shared);
        spanStart = now;
        readsInSpan = 0;
    }
}

bool CEntryLoad::StartHeaderReaders(const std::weak_ptr<CEntryLoad>& weak, const std::shared_ptr<Shared>& shared)
{
    std::size_t count;
    if (const std::shared_ptr<CEntryLoad> load = weak.lock())
        count = load->m_count;
    else
        return true;
    // The reader thread reads headers too; the others only when there are
    // entries enough for them.
    const int readers = shared->options.headerReaders;
    const std::size_t wanted = readers > 1 ? static_cast<std::size_t>(readers) : 1;
    for (std::size_t started = 1; started < wanted && started < count; ++started) {
        const bool began = shared->options.beginThread([weak, shared] {
            while (ReadNextHeader(weak, *shared)) {
            }
        });
        if (!began)
            break;  // no more threads to be had: the ones running read every header
    }
    return true;
}

bool CEntryLoad::ReadNextHeader(const std::weak_ptr<CEntryLoad>& weak, const Shared& shared)
{
    std::size_t index;
    CString line;
    if (const std::shared_ptr<CEntryLoad> load = weak.lock()) {
        if (!load->TakeNextToRead(index, line))
            return false;
    } else {
        return false;
    }
    // The read holds no reference to the load: a newer path may drop it
    // meanwhile, and a read that never returns then pins only this line.
    bool titled = false;
    bool unreadable = false;
    CString title;
    try {
        const CString path = PathInFolder(shared.folder, line);
        CFileHold hold;
        if (!shared.Hold(hold, path))
            return false;
        title = TitleText(path, shared.options.readTags);
        // A header that could not be read gives the path it opened.
        titled = title != path;
    } catch (const CFileException&) {
        unreadable = true;
    } catch (...) {
        // Anything else (no memory) shows the line: a slot never stays
        // unfinished, or the texts would stop at it.
    }
    const std::shared_ptr<CEntryLoad> load = weak.lock();
    if (!load)
        return false;
    load->Finish(index, titled ? &title : nullptr, unreadable);
    return true;
}

bool CEntryLoad::TakeNextToRead(std::size_t& index, CString& line)
{
    do {
        if (m_shared->Cancelled())
            return false;
        index = m_nextToRead++;
        if (index >= m_count)
            return false;
    } while (m_slots[index].sameLineEarlier);
    line = m_slots[index].line;
    return true;
}

void CEntryLoad::Finish(std::size_t index, const CString* title, bool unreadable)
{
    for (std::size_t same = index; same != kNoSlot; same = m_slots[same].nextSameLine) {
        Slot& slot = m_slots[same];
        if (title != nullptr) {
            try {
                slot.title = *title;
                slot.titled = true;
            } catch (...) {
                // No memory for the title: the entry keeps its line.
            }
        }
        slot.unreadable = unreadable;
        slot.finished = true;
    }
}

CEntryLoad::State CEntryLoad::GetState() const
{
    return static_cast<State>(m_state.load());
}

CEntryLoad::Entry CEntryLoad::GetEntry(std::size_t i) const
{
    const Slot& slot = m_slots[i];
    const bool finished = slot.finished.load();
    return Entry{finished && slot.titled ? slot.title : slot.line, slot.lineIndex, finished && slot.unreadable};
}

void CEntryLoad::Cancel()
{
    m_shared->cancelled = true;
}
