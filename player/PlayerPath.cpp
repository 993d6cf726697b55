#include "player/PlayerPath.h"

namespace {
const int kDecoderFileNameBytes = 12;
}

CString PlayerPathFromDecoderPath(const CString& decodeDll)
{
    // Byte count, not characters: Left() of a non-positive count is empty.
    return decodeDll.Left(decodeDll.GetLength() - kDecoderFileNameBytes) + "SVQPlyer.exe";
}

CString PlayerCommandLine(const CString& playerPath, const CString& playlistPath)
{
    return playerPath + " " + playlistPath;
}
