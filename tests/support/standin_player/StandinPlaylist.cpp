#include "tests/support/standin_player/StandinPlaylist.h"

namespace {
const char kRepeatAllDirective[] = "#control(repeat=\"all\")";
}

StandinPlaylist ParseStandinPlaylist(const CString& bytes)
{
    StandinPlaylist playlist;
    int start = 0;
    bool firstLine = true;
    // Every LF byte ends a line, as in the runtime's text mode: a stray lead
    // byte before it does not swallow it.
    while (start < bytes.GetLength()) {
        int end = start;
        while (end < bytes.GetLength() && bytes[end] != '\n')
            ++end;
        const int next = end + 1;
        if (end > start && bytes[end - 1] == '\r')
            --end;
        const CString line = bytes.Mid(start, end - start);

        if (firstLine && line == kRepeatAllDirective)
            playlist.repeatAll = true;
        else if (!line.IsEmpty() && line[0] != '#')
            playlist.entries.push_back(line);
        firstLine = false;
        start = next;
    }
    return playlist;
}
