#pragma once

#include "framework/StdioFile.h"
#include "framework/String.h"

#include <functional>

// An entry line names a VQF file: any line that is not empty and does not
// start with '#' (comments and player directives). A line of blanks counts.
bool IsEntryLine(const CString& line);

using VqfTagReader = std::function<int(const CString& path, CString& title, CString& author)>;
using EntryAppender = std::function<void(const CString& text, UINT lineIndex)>;

// An entry's text in title mode: title + " [" + author + "]" as readTags
// fills them, both starting empty; the line itself when readTags reports
// (by returning 0) a header it could not read. What readTags throws leaves.
CString TitleText(const CString& line, const VqfTagReader& readTags);

// Reads every line of the open playlist and hands each entry line to
// appendEntry with its 0-based line index, counted over all lines (empty
// and '#' lines included). displayMode 0 is title mode: the text is
// title + " [" + author + "]" as readTags fills them, with both starting
// empty for every entry. readTags reports a header it could not read by
// returning 0 (after showing any message itself); such an entry shows its
// playlist line, as every entry does in any other display mode.
// A file error while reading the playlist leaves as CFileException; the
// entries appended before it stay with the caller.
void LoadPlaylistEntries(CStdioFile& playlist, int displayMode,
                         const VqfTagReader& readTags,
                         const EntryAppender& appendEntry);
