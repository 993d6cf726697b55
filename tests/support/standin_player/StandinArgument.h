#pragma once

#include "framework/String.h"

// The playlist argument of a command line such as
//   C:\Program Files\SoundVQ\SVQPlyer.exe C:\My Music\jumbla_work.vql
// The player is started with its path and the playlist path joined by one
// blank and neither quoted, so the usual argv splitting would cut both at
// their blanks. The program name is taken to end after our own file name
// (moduleFileName, e.g. "SVQPlyer.exe", any letter case, optionally followed
// by a closing quote); everything after it and the blanks that follow is the
// argument. A command line that does not hold our file name falls back to the
// usual rule for the program name (quoted: to the closing quote; otherwise
// to the first blank). One pair of quotes around the whole argument, as a
// shell user would type, is removed.
CString StandinArgument(const CString& commandLine, const CString& moduleFileName);
