#pragma once

#include "framework/String.h"

// Starts the player on a playlist. The main window is given one when it is
// made; the application object, which knows where the player is, is it.
class CPlayerLauncher
{
public:
    // A failure is reported to the user by the launcher itself.
    virtual void LaunchPlayer(const CString& playlistPath) = 0;

protected:
    ~CPlayerLauncher() = default;
};
