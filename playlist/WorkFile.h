#pragma once

#include "framework/Platform.h"
#include "framework/String.h"

#include <vector>

// The work playlist "jumbla_work.vql" in the folder of playlistPath: the text
// before its last backslash (a double-byte character's trail byte 0x5C is not
// a backslash), or the bare name, relative to the current directory, when
// the path has no backslash.
CString WorkFilePath(const CString& playlistPath);

// Writes the work file at workPath from the playlist at playlistPath: the
// repeat directive, then the playlist line of every entry in the order of
// lineIndices (WriteShuffledPlaylist). A saved playlist has the same form.
// FALSE, with nothing reported, when the playlist cannot be opened, the file
// cannot be created or a file error occurs while writing. openFlags are added
// to the new file's open (CFile::osFlushOnClose for a saved playlist).
BOOL WriteWorkFile(const CString& playlistPath, const CString& workPath, const std::vector<UINT>& lineIndices,
                   UINT openFlags = 0);

// True when the playlist at the full path playlistFullPath is its own
// folder's work file (a playlist saved as jumbla_work.vql beside itself):
// deleting "its" work file would throw the user's playlist away. File names
// ignore letter case, as on Windows.
bool IsItsOwnWorkFile(const CString& playlistFullPath);

// The folder a file replacing target is made in first: target's folder with
// its backslash ("C:\" for a file in a drive root), or "." for a bare name.
CString ReplacementFolder(const CString& target);

// The last two are Windows only (WorkFileWin32.cpp).

// Deletes the work file of playlistPath, unless the playlist is that very
// file or the path is empty (no playlist: the current folder's work file is
// none of ours). A missing work file is no error.
void DeleteWorkFileOf(const CString& playlistPath);

// Saves the entries of playlistPath in the order of lineIndices as
// savedPath, in the work file's form. The file is written whole under a new
// name in savedPath's folder, its data flushed to the disk, and only then
// renamed over savedPath. A write or flush that fails (a full disk, say)
// leaves a file of that name as it was and removes the new one. After a
// power cut or a system crash savedPath holds the old file or the whole new
// one, never an empty or cut-short file (a crash right after the save may
// still keep the old one). It is written there directly, not through the
// work file beside the playlist, so a playlist on a read-only drive can
// still be saved elsewhere. FALSE when nothing was saved, also when
// savedPath is the playlist's work file (the next command deletes it).
BOOL SavePlaylistAs(const CString& playlistPath, const std::vector<UINT>& lineIndices, const CString& savedPath);
