#pragma once

#include "framework/String.h"

// The player keeps its executable beside its decoder library, whose full path
// it registers as "DecodeDll". The library's file name is taken to be exactly
// 12 single-byte characters (8.3), so those bytes are replaced by the
// executable's name. A value shorter than 12 bytes leaves only the name.
CString PlayerPathFromDecoderPath(const CString& decodeDll);

// The player takes the playlist as everything after its own path: one blank
// between the two and no quotes around either, even when they hold blanks.
CString PlayerCommandLine(const CString& playerPath, const CString& playlistPath);
