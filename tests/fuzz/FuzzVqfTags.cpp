// The VQF tag reader on arbitrary file bytes, against a small reader of its
// own: the chunks "COMM", "NAME", "COMT", "(c) ", "AUTH" from byte 16, each a
// 4-byte identifier, a big-endian 32-bit size and the body.

#include "playlist/VqfHeader.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstring>
#include <optional>
#include <string>

namespace {

const char kOldTitle[] = "old title";
const char kOldAuthor[] = "old author";

// Room for the path copies and small strings the reader makes besides a body.
const std::size_t kAllocationSlack = 1024;

struct VqfTags
{
    int result = 0;
    std::optional<std::string> title;   // set once "NAME" has been read
    std::optional<std::string> author;  // set once "AUTH" has been read
};

class CReferenceReader
{
public:
    CReferenceReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    VqfTags Read()
    {
        VqfTags tags;
        std::uint32_t size = 0;
        if (!Header("COMM", size))
            return tags;
        m_pos += size;
        if (!Header("NAME", size))
            return tags;
        tags.title = Text(size);
        if (!Header("COMT", size))
            return tags;
        m_pos += size;
        if (!Header("(c) ", size))
            return tags;
        m_pos += size;
        if (!Header("AUTH", size))
            return tags;
        tags.author = Text(size);
        tags.result = 1;
        return tags;
    }

private:
    // A short identifier or size is a mismatch; so is a body of 2^31 bytes
    // or more, or one that runs past the end of the file.
    bool Header(const char* id, std::uint32_t& size)
    {
        if (m_pos > m_size || m_size - m_pos < 8 || std::memcmp(m_data + m_pos, id, 4) != 0)
            return false;
        const std::uint8_t* b = m_data + m_pos + 4;
        size = (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
        m_pos += 8;
        return size < 0x80000000u && size <= m_size - m_pos;
    }

    std::string Text(std::uint32_t size)
    {
        const char* body = reinterpret_cast<const char*>(m_data + m_pos);
        m_pos += size;
        const void* nul = std::memchr(body, '\0', size);
        return std::string(body, nul ? static_cast<const char*>(nul) - body : size);
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 16;
};

std::string Bytes(const CString& s)
{
    return std::string(s.GetString(), static_cast<std::size_t>(s.GetLength()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CScratchFile file("header.vqf");
    file.Rewrite(data, size);

    CString title(kOldTitle);
    CString author(kOldAuthor);
    int result = -1;
    const bool measuring = CLargestAllocation::Start();
    try {
        result = ReadVqfHeaderTags(CString(file.Path().c_str()), title, author);
    } catch (const CFileException&) {
        FUZZ_CHECK(!"a readable file raised a file exception");
    }
    const std::size_t largest = CLargestAllocation::Stop();

    const VqfTags expected = CReferenceReader(data, size).Read();
    FUZZ_CHECK(result == expected.result);
    FUZZ_CHECK(Bytes(title) == expected.title.value_or(kOldTitle));
    FUZZ_CHECK(Bytes(author) == expected.author.value_or(kOldAuthor));
    FUZZ_CHECK(!measuring || largest <= size + kAllocationSlack);
    return 0;
}
