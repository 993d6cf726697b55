#include "playlist/VqfHeader.h"

#include "framework/File.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const ULONGLONG kFirstChunkPosition = 16;
const DWORD kLargestChunkSize = 0x7FFFFFFF;
// Covers the header of the usual VQF file (its COMM, NAME, COMT, (c) and
// AUTH chunks take a few hundred bytes) in one read. On the stack: a header
// is read for every entry of a title-mode load.
const UINT kHeaderBufferSize = 4096;

// Walks the chunks in the file's first bytes, read at once: one open, one
// read and one close per file, as system calls cost most of the time of a
// load (under Wine above all). A chunk that runs past those bytes is read
// from the file. Every check that fails is a plain mismatch (false); only
// the file's own errors leave as CFileException.
class CChunkReader
{
public:
    explicit CChunkReader(CFile& file) : m_file(file), m_count(file.Read(m_bytes, sizeof m_bytes)) {}

    // Reads the next identifier and size; false unless the identifier is id
    // and the body fits in what remains of the file.
    bool ReadHeader(const char (&id)[5], DWORD& size)
    {
        unsigned char bytes[8];
        if (!Copy(bytes, sizeof bytes))
            return false;
        if (std::memcmp(bytes, id, 4) != 0)
            return false;
        size = (DWORD(bytes[4]) << 24) | (DWORD(bytes[5]) << 16) | (DWORD(bytes[6]) << 8) | DWORD(bytes[7]);
        return size <= kLargestChunkSize && size <= Remaining();
    }

    void SkipBody(DWORD size) { m_position += size; }

    // The body is never larger than the file (checked by ReadHeader), so a
    // buffer for it is bounded by what is actually on disk.
    bool ReadText(DWORD size, CString& text)
    {
        const char* body = nullptr;
        std::vector<char> copy;
        if (InBuffer(size)) {
            body = reinterpret_cast<const char*>(m_bytes + m_position);
            m_position += size;
        } else {
            copy.resize(size);
            if (!Copy(copy.data(), size))
                return false;
            body = copy.data();
        }
        const char* end = std::find(body, body + size, '\0');
        text = CString(body, static_cast<int>(end - body));
        return true;
    }

private:
    bool InBuffer(ULONGLONG count) const { return m_position + count <= m_count; }

    // A first read shorter than the buffer reached the end of the file.
    bool WholeFileInBuffer() const { return m_count < sizeof m_bytes; }

    // Copies count bytes from the current position and moves past them;
    // false when the file ends first.
    bool Copy(void* out, UINT count)
    {
        if (InBuffer(count)) {
            std::memcpy(out, m_bytes + m_position, count);
        } else {
            if (WholeFileInBuffer())
                return false;
            m_file.Seek(static_cast<LONGLONG>(m_position), CFile::begin);
            if (m_file.Read(out, count) != count)
                return false;
        }
        m_position += count;
        return true;
    }

    ULONGLONG Remaining()
    {
        const ULONGLONG length = WholeFileInBuffer() ? m_count : Length();
        return m_position < length ? length - m_position : 0;
    }

    // Asked of the file only for a chunk that reaches past the buffer.
    ULONGLONG Length()
    {
        if (!m_bLengthKnown) {
            m_length = m_file.GetLength();
            m_bLengthKnown = true;
        }
        return m_length;
    }

    CFile& m_file;
    unsigned char m_bytes[kHeaderBufferSize];
    const UINT m_count;  // bytes of the file's start in m_bytes
    ULONGLONG m_position = kFirstChunkPosition;
    ULONGLONG m_length = 0;
    bool m_bLengthKnown = false;
};

}  // namespace

int ReadVqfHeaderTags(const CString& path, CString& title, CString& author)
{
    CFile file(path, CFile::modeRead | CFile::typeBinary);
    CChunkReader chunks(file);
    DWORD size = 0;

    if (!chunks.ReadHeader("COMM", size))
        return 0;
    chunks.SkipBody(size);
    if (!chunks.ReadHeader("NAME", size) || !chunks.ReadText(size, title))
        return 0;
    if (!chunks.ReadHeader("COMT", size))
        return 0;
    chunks.SkipBody(size);
    if (!chunks.ReadHeader("(c) ", size))
        return 0;
    chunks.SkipBody(size);
    if (!chunks.ReadHeader("AUTH", size) || !chunks.ReadText(size, author))
        return 0;
    return 1;
}
