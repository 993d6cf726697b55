#pragma once

#include "framework/StdioFile.h"

#include <string>
#include <utility>
#include <vector>

// Playlists of a given number of entries, written once per run into a
// scratch folder that is removed at exit.
class CBenchPlaylists
{
public:
    CBenchPlaylists();
    ~CBenchPlaylists();
    CBenchPlaylists(const CBenchPlaylists&) = delete;
    CBenchPlaylists& operator=(const CBenchPlaylists&) = delete;

    // A player-written playlist of n entries: the repeat directive first, a
    // comment every hundred entries, code page 932 paths, CR LF line ends.
    const std::string& Playlist(std::size_t n);
    // A path in the scratch folder for output files.
    std::string OutputPath(const char* name) const;

private:
    std::string m_folder;
    std::vector<std::pair<std::size_t, std::string>> m_playlists;
};

// The literal writer's step: rewinds source and reads and discards k lines.
void SkipLines(CStdioFile& source, UINT k);
