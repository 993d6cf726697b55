#pragma once

#include "framework/String.h"

#include <vector>

// The stand-in player appends one record per start to SVQPlyer-standin.log
// beside its executable. Every field is a line "<name> <byte count>" (CR LF)
// followed by exactly that many bytes and a CR LF, so command lines and
// playlists are kept byte for byte (code page 932, CR LF, NULs) and the file
// still reads as text:
//
//   SVQPlyer stand-in record
//   command-line 47
//   C:\svq\SVQPlyer.exe C:\My Music\jumbla_work.vql
//   argument 27
//   C:\My Music\jumbla_work.vql
//   playlist 43                        (or: playlist-error <n> / <Win32 error>)
//   #control(repeat="all")
//   C:\samples\03.vqf
//   end
struct StandinRecord
{
    CString commandLine;
    CString argument;           // the playlist path as the stand-in took it
    bool playlistRead = false;
    CString playlist;           // the playlist file's bytes when it was read
    unsigned long readError = 0;  // the Win32 error when it was not
};

CString FormatStandinRecord(const StandinRecord& record);

// FALSE when the text is not a sequence of whole records; records holds
// those read before the fault.
bool ParseStandinLog(const CString& log, std::vector<StandinRecord>& records);
