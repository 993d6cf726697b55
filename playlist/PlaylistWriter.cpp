#include "playlist/PlaylistWriter.h"

#include <algorithm>

namespace {

const char kRepeatAllDirective[] = "#control(repeat=\"all\")\n";

std::vector<CString> ReadLinesUpTo(CStdioFile& source, UINT lastIndex)
{
    std::vector<CString> lines;
    source.SeekToBegin();
    CString line;
    while (lines.size() <= lastIndex && source.ReadString(line))
        lines.push_back(line);
    return lines;
}

void WriteEntries(CStdioFile& source, CStdioFile& destination, const std::vector<UINT>& lineIndices)
{
    destination.WriteString(kRepeatAllDirective);
    if (lineIndices.empty())
        return;
    const std::vector<CString> lines =
        ReadLinesUpTo(source, *std::max_element(lineIndices.begin(), lineIndices.end()));
    for (UINT index : lineIndices) {
        // The line's own bytes, NULs included: WriteString would stop at the
        // first NUL. A line read by ReadString holds no LF to translate.
        if (index < lines.size())
            destination.Write(lines[index].GetString(), static_cast<UINT>(lines[index].GetLength()));
        destination.WriteString("\n");
    }
}

// Used only while another exception is already on its way out: that first
// error is the one to report, so a second one from closing is dropped.
// Close() releases the file even when it throws.
void CloseAfterError(CStdioFile& file) noexcept
{
    try {
        file.Close();
    } catch (const CFileException&) {
    }
}

}  // namespace

void SkipLines(CStdioFile& source, UINT k)
{
    source.SeekToBegin();
    CString line;
    for (UINT i = 0; i < k; ++i)
        source.ReadString(line);
}

void WriteShuffledPlaylist(CStdioFile& source, CStdioFile& destination, const std::vector<UINT>& lineIndices)
{
    try {
        WriteEntries(source, destination, lineIndices);
        source.Close();
    } catch (...) {
        CloseAfterError(source);
        CloseAfterError(destination);
        throw;
    }
    // Flushes the last buffered lines: a full disk shows up here.
    destination.Close();
}
