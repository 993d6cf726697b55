#include "player/PlayerRegistry.h"

namespace {
const char kPlayerKey[] = "Software\\YAMAHA\\SoundVQ";
const char kDecoderValue[] = "DecodeDll";
const DWORD kBufferBytes = 1024;
}

BOOL ReadPlayerDecoderPath(CString& value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPlayerKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;

    // The type is not examined, so the data need not end with a NUL (a
    // REG_BINARY or REG_DWORD value, or a REG_SZ stored without one).
    // RegQueryValueExA gets one byte less than the buffer, and the zeroed
    // buffer keeps that last byte as the terminator in every case. A value
    // that does not fit gives ERROR_MORE_DATA and counts as missing rather
    // than being cut to a path that was never registered.
    char buffer[kBufferBytes] = {};
    DWORD size = kBufferBytes - 1;
    const LONG result = RegQueryValueExA(key, kDecoderValue, nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return FALSE;

    // Taken as a string: the text ends at the first NUL within the data.
    value = buffer;
    return TRUE;
}
