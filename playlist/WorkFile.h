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
// lineIndices (WriteShuffledPlaylist). FALSE, with nothing reported, when the
// playlist cannot be opened, the work file cannot be created or a file error
// occurs while writing.
BOOL WriteWorkFile(const CString& playlistPath, const CString& workPath, const std::vector<UINT>& lineIndices);

// True when the playlist at the full path playlistFullPath is its own
// folder's work file (a playlist saved as jumbla_work.vql beside itself):
// deleting "its" work file would throw the user's playlist away. File names
// ignore letter case, as on Windows.
bool IsItsOwnWorkFile(const CString& playlistFullPath);

// The folder a file replacing target is made in first: target's folder with
// its backslash ("C:\" for a file in a drive root), or "." for a bare name.
CString ReplacementFolder(const CString& target);

#ifdef _WIN32

// Deletes the work file of playlistPath, unless the playlist is that very
// file. A missing work file is no error.
void DeleteWorkFileOf(const CString& playlistPath);

// Saves the work file of playlistPath as savedPath, then deletes the work
// file. The copy is made whole in savedPath's folder and then replaces
// savedPath, so a copy that fails part-way (a full disk, say) leaves a file
// of that name as it was instead of cut short. FALSE when nothing was saved,
// also when savedPath is the work file itself (it is deleted next).
BOOL SaveWorkFileAs(const CString& playlistPath, const CString& savedPath);

#endif
