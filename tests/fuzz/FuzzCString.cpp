// The byte-string operations the program relies on, on arbitrary bytes,
// against plain reference walks over code page 932: a lead byte
// (0x81-0x9F, 0xE0-0xFC) takes the next byte with it as its trail byte,
// which is never a character of its own.

#include "framework/String.h"
#include "playlist/WorkFile.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool IsCp932Lead(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Start positions of the characters of s from byte `from` on.
std::vector<std::size_t> CharacterStarts(const std::string& s, std::size_t from = 0)
{
    std::vector<std::size_t> starts;
    for (std::size_t pos = from; pos < s.size(); ++pos) {
        starts.push_back(pos);
        if (IsCp932Lead(static_cast<unsigned char>(s[pos])))
            ++pos;
    }
    return starts;
}

int ReferenceFind(const std::string& s, char ch, std::size_t from)
{
    for (std::size_t pos : CharacterStarts(s, from)) {
        if (s[pos] == ch)
            return static_cast<int>(pos);
    }
    return -1;
}

int ReferenceReverseFind(const std::string& s, char ch)
{
    int found = -1;
    for (std::size_t pos : CharacterStarts(s)) {
        if (s[pos] == ch)
            found = static_cast<int>(pos);
    }
    return found;
}

// Only single-byte characters change, and only ASCII letters among them.
std::string ReferenceCase(std::string s, bool upper)
{
    for (std::size_t pos : CharacterStarts(s)) {
        char& c = s[pos];
        if (upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!upper && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::string ReferenceMid(const std::string& s, long long first, long long count)
{
    const long long length = static_cast<long long>(s.size());
    first = std::clamp(first, 0LL, length);
    count = std::clamp(count, 0LL, length - first);
    return s.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
}

std::string ReferenceWorkFilePath(const std::string& path)
{
    const int slash = ReferenceReverseFind(path, '\\');
    if (slash < 0)
        return "jumbla_work.vql";
    return path.substr(0, static_cast<std::size_t>(slash)) + "\\jumbla_work.vql";
}

std::string Bytes(const CString& s)
{
    return std::string(s.GetString(), static_cast<std::size_t>(s.GetLength()));
}

// Takes the leading bytes of the input as parameters, the rest is the text.
class CInput
{
public:
    CInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    int TakeInt()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4 && m_size > 0; ++i, ++m_data, --m_size)
            value = (value << 8) | *m_data;
        return static_cast<int>(value);
    }

    std::string Rest() const { return std::string(reinterpret_cast<const char*>(m_data), m_size); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

// A count near the edges more often than a raw 32-bit value would be.
int EdgeCount(int raw, int length)
{
    switch (raw & 3) {
    case 0:
        return raw;
    case 1:
        return length + (raw >> 24);
    default:
        return (raw >> 2) % (length + 2) - 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CInput input(data, size);
    const int rawFirst = input.TakeInt();
    const int rawCount = input.TakeInt();
    const std::string text = input.Rest();
    const CString s(text.data(), static_cast<int>(text.size()));
    const int length = s.GetLength();
    FUZZ_CHECK(Bytes(s) == text);

    const int first = EdgeCount(rawFirst, length);
    const int count = EdgeCount(rawCount, length);
    FUZZ_CHECK(Bytes(s.Left(count)) == ReferenceMid(text, 0, count));
    FUZZ_CHECK(Bytes(s.Right(count)) == ReferenceMid(text, length - std::clamp(count, 0, length), count));
    FUZZ_CHECK(Bytes(s.Mid(first)) == ReferenceMid(text, first, length));
    FUZZ_CHECK(Bytes(s.Mid(first, count)) == ReferenceMid(text, first, count));

    FUZZ_CHECK(s.ReverseFind('\\') == ReferenceReverseFind(text, '\\'));
    const std::size_t from = static_cast<std::size_t>(std::clamp(first, 0, length));
    FUZZ_CHECK(s.Find('\\', first) == ReferenceFind(text, '\\', from));
    // Any single-byte character as the one searched for, taken from the text.
    if (!text.empty() && !IsCp932Lead(static_cast<unsigned char>(text[0])) && text[0] != '\0') {
        FUZZ_CHECK(s.Find(text[0], first) == ReferenceFind(text, text[0], from));
        FUZZ_CHECK(s.ReverseFind(text[0]) == ReferenceReverseFind(text, text[0]));
    }

    CString upper(s);
    upper.MakeUpper();
    FUZZ_CHECK(Bytes(upper) == ReferenceCase(text, true));
    CString lower(s);
    lower.MakeLower();
    FUZZ_CHECK(Bytes(lower) == ReferenceCase(text, false));

    const CString work = WorkFilePath(s);
    FUZZ_CHECK(Bytes(work) == ReferenceWorkFilePath(text));
    // The backslash put before the name is a separator of its own, never
    // the trail byte of a character cut in two.
    const int folderEnd = work.GetLength() - static_cast<int>(std::strlen("jumbla_work.vql")) - 1;
    FUZZ_CHECK(folderEnd < 0 || work.ReverseFind('\\') == folderEnd);
    return 0;
}
