#pragma once

#include "framework/StdioFile.h"

#include <vector>

// Writes the playlist the player repeats as a whole: the line
// "#control(repeat="all")", then for every entry in order the source line at
// its line index, as the source holds it now (an index past its end gives an
// empty line). Text-mode writing ends every line with CR LF. The source is
// read once, from its beginning, up to the highest index needed.
// Both files are closed before this returns, the source first, also when a
// file error leaves it as CFileException; after an error the destination is
// let go unfinished and unflushed (CFile::Abort).
void WriteShuffledPlaylist(CStdioFile& source, CStdioFile& destination, const std::vector<UINT>& lineIndices);
