#include "playlist/EntryLoad.h"

#include "framework/StdioFile.h"

#include <string>
#include <unordered_map>
#include <utility>

namespace {

const int kTitleMode = 0;
const int kFileNameMode = 1;

}  // namespace

CEntryLoad::CEntryLoad(const CString& path, int displayMode, std::function<void()> notify, Options options)
    : m_path(path), m_displayMode(displayMode), m_notify(std::move(notify)), m_options(std::move(options))
{
}

CEntryLoad::Ref CEntryLoad::Start(const CString& path, int displayMode, std::function<void()> notify, Options options)
{
    Ref load(new CEntryLoad(path, displayMode, std::move(notify), std::move(options)));
    load->AddRef();  // the reader thread's
    if (!load->m_options.beginThread(&CEntryLoad::ReaderThread, load.operator->()))
        ReaderThread(load.operator->());  // no thread at all: slow, but whole
    return load;
}

void CEntryLoad::ReaderThread(void* pLoad)
{
    CEntryLoad* load = static_cast<CEntryLoad*>(pLoad);
    try {
        load->ReadPlaylist();
    } catch (...) {
        // No memory for a vast playlist: nothing may leave a thread, and the
        // load counts as a playlist that cannot be read (the list stays).
        load->m_state = openFailed;
        load->Notify();
    }
    if (load->GetState() == opened && load->m_displayMode == kTitleMode)
        load->ReadHeadersAndPace();
    load->Release();
}

void CEntryLoad::HeaderThread(void* pLoad)
{
    CEntryLoad* load = static_cast<CEntryLoad*>(pLoad);
    load->ReadHeaders();
    load->Release();
}

void CEntryLoad::ReadPlaylist()
{
    std::vector<Entry> entries;
    {
        CStdioFile playlist;
        if (!playlist.Open(m_path, CFile::modeRead | CFile::typeText)) {
            m_state = openFailed;
            Notify();
            return;
        }
        try {
            LoadPlaylistEntries(playlist, kFileNameMode, nullptr, [&entries](const CString& line, UINT lineIndex) {
                entries.push_back(Entry{line, lineIndex, false});
            });
        } catch (const CFileException&) {
            // A read error ends the playlist quietly; the entries so far stay.
        }
        // Closed here, before any header is read: the playlist is opened for
        // exclusive use, and Play and Save open it again.
    }

    m_count = entries.size();
    m_slots.reset(new Slot[m_count]);
    const bool finished = m_displayMode != kTitleMode;
    for (std::size_t i = 0; i < m_count; ++i) {
        m_slots[i].entry = std::move(entries[i]);
        m_slots[i].finished = finished;
    }
    if (m_displayMode == kTitleMode)
        LinkSameLines();
    m_state = opened;  // publishes the slots to the caller and the header readers
    Notify();
}

void CEntryLoad::LinkSameLines()
{
    std::unordered_map<std::string, std::size_t> lastOfLine;
    for (std::size_t i = 0; i < m_count; ++i) {
        const CString& line = m_slots[i].entry.text;
        const auto last = lastOfLine.emplace(std::string(line.GetString(), line.GetLength()), i);
        if (last.second)
            continue;
        m_slots[last.first->second].nextSameLine = i;
        m_slots[i].sameLineEarlier = true;
        last.first->second = i;
    }
}

void CEntryLoad::ReadHeadersAndPace()
{
    // Judged over spans of this many milliseconds: long enough that a
    // moment's wait (the thread put aside) does not count as a slow disk.
    const double kSpanMs = 20;
    if (m_options.slowReadMs <= 0)
        StartHeaderReaders();
    double spanStart = AfxSteadyMs();
    int readsInSpan = 0;
    while (!m_bReadersStarted && ReadHeader()) {
        ++readsInSpan;
        const double now = AfxSteadyMs();
        if (now - spanStart < kSpanMs)
            continue;
        if (readsInSpan * m_options.slowReadMs <= now - spanStart)
            StartHeaderReaders();
        spanStart = now;
        readsInSpan = 0;
    }
    ReadHeaders();
}

void CEntryLoad::StartHeaderReaders()
{
    m_bReadersStarted = true;
    // The reader thread reads headers too; the others only when there are
    // entries enough for them.
    const std::size_t wanted = m_options.headerReaders > 1 ? static_cast<std::size_t>(m_options.headerReaders) : 1;
    for (std::size_t started = 1; started < wanted && started < m_count; ++started) {
        AddRef();
        if (!m_options.beginThread(&CEntryLoad::HeaderThread, this)) {
            // No more threads to be had: the ones running read every header.
            Release();
            break;
        }
    }
}

void CEntryLoad::ReadHeaders()
{
    while (ReadHeader()) {
    }
}

bool CEntryLoad::ReadHeader()
{
    std::size_t index;
    do {
        if (m_cancelled)
            return false;
        index = m_nextToRead++;
        if (index >= m_count)
            return false;
    } while (m_slots[index].sameLineEarlier);
    Entry& entry = m_slots[index].entry;
    try {
        entry.text = TitleText(entry.text, m_options.readTags);
    } catch (const CFileException&) {
        entry.unreadable = true;  // the text stays its line
    } catch (...) {
        // Anything else (no memory) shows the line: a slot never stays
        // unfinished, or the list would stop at it.
    }
    for (std::size_t same = m_slots[index].nextSameLine; same != kNoSlot; same = m_slots[same].nextSameLine) {
        m_slots[same].entry.text = entry.text;
        m_slots[same].entry.unreadable = entry.unreadable;
        m_slots[same].finished = true;
    }
    m_slots[index].finished = true;
    Notify();
    return true;
}

void CEntryLoad::Notify()
{
    // One call until the caller looks: a thousand finished headers are one
    // posted message, not a thousand.
    if (!m_cancelled && !m_notifyPending.exchange(true))
        m_notify();
}

CEntryLoad::State CEntryLoad::GetState() const
{
    return static_cast<State>(m_state.load());
}

const CEntryLoad::Entry* CEntryLoad::TakeFinished()
{
    // Cleared before looking: a slot that finishes after this look notifies
    // again.
    m_notifyPending = false;
    if (GetState() != opened || m_nextToTake >= m_count || !m_slots[m_nextToTake].finished)
        return nullptr;
    return &m_slots[m_nextToTake++].entry;
}

bool CEntryLoad::IsComplete() const
{
    return GetState() == opened && m_nextToTake >= m_count;
}

void CEntryLoad::Cancel()
{
    m_cancelled = true;
}

void CEntryLoad::AddRef()
{
    ++m_refs;
}

void CEntryLoad::Release()
{
    if (--m_refs == 0)
        delete this;
}
