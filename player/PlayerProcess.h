#pragma once

#include "framework/Platform.h"
#include "framework/String.h"

// Starts the player on a playlist and does not wait for it. FALSE when the
// process cannot be created (for example when the executable is missing).
BOOL StartPlayerProcess(const CString& playerPath, const CString& playlistPath);
