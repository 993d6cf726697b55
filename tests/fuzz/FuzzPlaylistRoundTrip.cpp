// Load and write round trip on arbitrary playlist bytes: the entries loaded
// in file-name mode are the entry lines a plain text-mode splitter finds;
// writing them in a shuffled order gives exactly the directive line and those
// lines, each ended by CR LF; loading the written file gives the same lines
// at line indices 1 to n.

#include "framework/Random.h"
#include "framework/StdioFile.h"
#include "playlist/PlaylistLoader.h"
#include "playlist/PlaylistWriter.h"
#include "playlist/ShuffleOrder.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char kDirective[] = "#control(repeat=\"all\")";

struct Line
{
    std::string text;
    UINT index;
};

struct ReferenceLine
{
    std::string_view text;
    UINT index;
};

bool operator==(const Line& line, const ReferenceLine& reference)
{
    return line.text == reference.text && line.index == reference.index;
}

// Text mode as the playlist files are read: a Ctrl-Z ends the file, a line
// ends at LF, one CR right before that LF is dropped, and a last line
// without LF counts when it is not empty. The lines are views into bytes.
std::vector<std::string_view> ReferenceLines(std::string_view bytes)
{
    bytes = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t lf; (lf = bytes.find('\n', start)) != std::string_view::npos; start = lf + 1) {
        std::string_view line = bytes.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

std::vector<ReferenceLine> ReferenceEntries(const std::vector<std::string_view>& lines)
{
    std::vector<ReferenceLine> entries;
    for (UINT i = 0; i < lines.size(); ++i) {
        if (!lines[i].empty() && lines[i][0] != '#')
            entries.push_back({lines[i], i});
    }
    return entries;
}

// The file objects are kept for the whole run and opened again for every
// input, as a long-lived caller would: their 64 KiB buffers are allocated once.
CStdioFile& Reader()
{
    static CStdioFile reader;
    return reader;
}

CStdioFile& Writer()
{
    static CStdioFile writer;
    return writer;
}

void Open(CStdioFile& file, const std::string& path, UINT flags)
{
    FUZZ_CHECK(file.Open(path.c_str(), flags | CFile::typeText));
}

// Fills entries, a vector kept from input to input (so is every buffer below).
void Load(const std::string& path, std::vector<Line>& entries)
{
    entries.clear();
    CStdioFile& file = Reader();
    Open(file, path, CFile::modeRead);
    LoadPlaylistEntries(file, [&entries](const CString& text, UINT index) {
        entries.push_back({std::string(text.GetString(), static_cast<std::size_t>(text.GetLength())), index});
        return true;
    });
    file.Close();
}

std::uint32_t Fingerprint(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CScratchFile sourceFile("source.vql");
    static CScratchFile workFile("jumbla_work.vql");
    const std::string& sourcePath = sourceFile.Path();
    const std::string& workPath = workFile.Path();
    sourceFile.Rewrite(data, size);

    static std::vector<Line> entries;
    static std::vector<Line> reloaded;
    static std::vector<UINT> lineIndices;
    static std::vector<bool> seen;
    static std::string expected;

    const std::vector<std::string_view> lines = ReferenceLines({reinterpret_cast<const char*>(data), size});
    Load(sourcePath, entries);
    const std::vector<ReferenceLine> referenceEntries = ReferenceEntries(lines);
    FUZZ_CHECK(std::equal(entries.begin(), entries.end(), referenceEntries.begin(), referenceEntries.end()));

    const std::uint32_t fingerprint = Fingerprint(data, size);
    CRandom random(fingerprint);
    const std::vector<std::size_t> order = ShuffledOrder(entries.size(), random);
    // A permutation: every position once.
    FUZZ_CHECK(order.size() == entries.size());
    seen.assign(order.size(), false);
    for (std::size_t position : order) {
        FUZZ_CHECK(position < seen.size() && !seen[position]);
        seen[position] = true;
    }

    lineIndices.clear();
    expected.assign(kDirective).append("\r\n");
    for (std::size_t position : order) {
        lineIndices.push_back(entries[position].index);
        expected.append(entries[position].text).append("\r\n");
    }
    // Now and then an entry whose line has gone from the file since loading:
    // it is written as an empty line.
    if (fingerprint & 1) {
        lineIndices.push_back(static_cast<UINT>(lines.size()) + (fingerprint >> 28));
        expected.append("\r\n");
    }

    CStdioFile& source = Reader();
    CStdioFile& work = Writer();
    Open(source, sourcePath, CFile::modeRead);
    Open(work, workPath, CFile::modeCreate | CFile::modeWrite);
    WriteShuffledPlaylist(source, work, lineIndices);
    FUZZ_CHECK(!source.IsOpen() && !work.IsOpen());
    FUZZ_CHECK(workFile.Contents() == expected);

    Load(workPath, reloaded);
    FUZZ_CHECK(reloaded.size() == order.size());
    for (std::size_t i = 0; i < reloaded.size(); ++i)
        FUZZ_CHECK(reloaded[i] == (ReferenceLine{entries[order[i]].text, static_cast<UINT>(i + 1)}));
    // The lines' own strings are freed within the run that made them (the
    // vectors keep their capacity): libFuzzer runs again, under the leak
    // checker, every input that ends with more allocations than frees.
    entries.clear();
    reloaded.clear();
    return 0;
}
