#pragma once

#include "framework/StdioFile.h"
#include "framework/String.h"

#include <functional>

// How the list shows an entry: its title [author] from the VQF header, or its
// playlist line. The window keeps it as the radio group's index (0 is titles,
// any other value lines); DisplayModeOf reads that.
enum class DisplayMode { title, fileName };

inline DisplayMode DisplayModeOf(int radioIndex)
{
    return radioIndex == 0 ? DisplayMode::title : DisplayMode::fileName;
}

// An entry line names a VQF file: any line that is not empty and does not
// start with '#' (comments and player directives). A line of blanks counts.
bool IsEntryLine(const CString& line);

using VqfTagReader = std::function<int(const CString& path, CString& title, CString& author)>;
// Takes one entry line; false stops the reading (the load was cancelled).
using EntryAppender = std::function<bool(const CString& line, UINT lineIndex)>;

// path taken against folder: as it is when it is absolute (a drive, a
// backslash or a slash first) or folder is empty, else inside folder.
CString PathInFolder(const CString& folder, const CString& path);

// An entry's text in title mode: title + " [" + author + "]" as readTags
// fills them, both starting empty; the line itself when readTags reports
// (by returning 0) a header it could not read. What readTags throws leaves.
CString TitleText(const CString& line, const VqfTagReader& readTags);

// Reads the lines of the open playlist and hands each entry line to
// appendEntry with its 0-based line index, counted over all lines (empty
// and '#' lines included), until the file ends or appendEntry says stop.
// A file error while reading leaves as CFileException; the entries appended
// before it stay with the caller.
void LoadPlaylistEntries(CStdioFile& playlist, const EntryAppender& appendEntry);
