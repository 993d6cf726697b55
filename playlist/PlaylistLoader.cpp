#include "playlist/PlaylistLoader.h"

CString TitleText(const CString& line, const VqfTagReader& readTags)
{
    // Fresh strings per entry: a header that fails half way must not leave
    // this entry showing another entry's title or author.
    CString title;
    CString author;
    if (!readTags(line, title, author))
        return line;
    return title + " [" + author + "]";
}

bool IsEntryLine(const CString& line)
{
    return !line.IsEmpty() && line[0] != '#';
}

void LoadPlaylistEntries(CStdioFile& playlist, const EntryAppender& appendEntry)
{
    CString line;
    for (UINT lineIndex = 0; playlist.ReadString(line); ++lineIndex) {
        if (IsEntryLine(line) && !appendEntry(line, lineIndex))
            return;
    }
}
