#pragma once

#include "framework/Platform.h"
#include "framework/String.h"

// Reads "DecodeDll" from the player's own key HKCU\Software\YAMAHA\SoundVQ,
// whatever the value's registry type. FALSE when the key or the value is
// missing or the value does not fit in 1023 bytes; value is then untouched.
BOOL ReadPlayerDecoderPath(CString& value);
