#pragma once

#include "framework/String.h"

// The work playlist "jumbla_work.vql" in the folder of playlistPath: the text
// before its last backslash (a double-byte character's trail byte 0x5C is not
// a backslash), or the bare name, relative to the current directory, when
// the path has no backslash.
CString WorkFilePath(const CString& playlistPath);
