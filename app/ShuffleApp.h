#pragma once

#include "framework/String.h"
#include "framework/WinApp.h"
#include "ui/PlayerLauncher.h"

// The application: finds the player, runs the main window modally and keeps
// the display mode between runs.
class CShuffleApp : public CWinApp, public CPlayerLauncher
{
public:
    CShuffleApp();

    BOOL InitInstance() override;

    // Sets m_strPlayerPath from the player's registry key; 1 when found.
    int LocatePlayer();
    // Starts the player on a playlist; a failure is reported to the user in
    // a message box owned by the main window.
    void LaunchPlayer(const CString& playlistPath) override;

    CString m_strPlayerPath;
};
