#include "playlist/VqfHeader.h"

#include "framework/File.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const int kFirstChunkPosition = 16;
const DWORD kLargestChunkSize = 0x7FFFFFFF;

// Walks the chunks one after another. Every check that fails is a plain
// mismatch (false); only the file's own errors leave as CFileException.
class CChunkReader
{
public:
    explicit CChunkReader(CFile& file) : m_file(file), m_length(file.GetLength()) {}

    // Reads the next identifier and size; false unless the identifier is id
    // and the body fits in what remains of the file.
    bool ReadHeader(const char (&id)[5], DWORD& size)
    {
        unsigned char bytes[8];
        if (m_file.Read(bytes, sizeof bytes) != sizeof bytes)
            return false;
        if (std::memcmp(bytes, id, 4) != 0)
            return false;
        size = (DWORD(bytes[4]) << 24) | (DWORD(bytes[5]) << 16) | (DWORD(bytes[6]) << 8) | DWORD(bytes[7]);
        return size <= kLargestChunkSize && size <= Remaining();
    }

    void SkipBody(DWORD size) { m_file.Seek(size, CFile::current); }

    // The body is never larger than the file (checked by ReadHeader), so the
    // buffer is bounded by what is actually on disk.
    bool ReadText(DWORD size, CString& text)
    {
        std::vector<char> body(size);
        if (size != 0 && m_file.Read(body.data(), size) != size)
            return false;
        const auto end = std::find(body.begin(), body.end(), '\0');
        text = CString(body.data(), static_cast<int>(end - body.begin()));
        return true;
    }

private:
    ULONGLONG Remaining() const
    {
        const ULONGLONG position = m_file.GetPosition();
        return position < m_length ? m_length - position : 0;
    }

    CFile& m_file;
    const ULONGLONG m_length;
};

}  // namespace

int ReadVqfHeaderTags(const CString& path, CString& title, CString& author)
{
    CFile file(path, CFile::modeRead | CFile::typeBinary);
    file.Seek(kFirstChunkPosition, CFile::begin);
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
