#include "tests/support/standin_player/StandinDescription.h"

#include "tests/support/standin_player/StandinPlaylist.h"

#include <string>

std::vector<CString> DescribeStandinRecord(const StandinRecord& record)
{
    std::vector<CString> lines;
    lines.push_back("This is a stand-in for SoundVQ Player. It plays no audio.");
    lines.push_back("Command line: " + record.commandLine);
    if (record.argument.IsEmpty()) {
        lines.push_back("No playlist was given.");
        return lines;
    }
    lines.push_back("Playlist: " + record.argument);
    if (!record.playlistRead) {
        lines.push_back(CString("The playlist could not be read (error ") +
                        std::to_string(record.readError).c_str() + ").");
        return lines;
    }
    const StandinPlaylist playlist = ParseStandinPlaylist(record.playlist);
    lines.push_back(playlist.repeatAll ? "repeat all" : "play once (no repeat directive on the first line)");
    lines.push_back(CString("Would play ") + std::to_string(playlist.entries.size()).c_str() +
                    " files in this order:");
    for (std::size_t i = 0; i < playlist.entries.size(); ++i)
        lines.push_back(CString(std::to_string(i + 1).c_str()) + ".  " + playlist.entries[i]);
    return lines;
}
