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

CString PathInFolder(const CString& folder, const CString& path)
{
    const bool absolute = (path.GetLength() >= 2 && path[1] == ':') || (!path.IsEmpty() && (path[0] == '\\' || path[0] == '/'));
    if (absolute || folder.IsEmpty() || path.IsEmpty())
        return path;
    // A drive's root is the one folder the system names with its backslash
    // ("C:\"); a last byte 0x5C may be a double-byte character's. A POSIX
    // folder (the native tests) takes a slash.
    if (folder.Right(2) == ":\\")
        return folder + path;
    return folder + (folder[0] == '/' ? "/" : "\\") + path;
}
