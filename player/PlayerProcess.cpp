#include "player/PlayerProcess.h"

#include "player/PlayerPath.h"

#include <vector>

BOOL StartPlayerProcess(const CString& playerPath, const CString& playlistPath)
{
    // CreateProcessA may write into the command line, so it gets a private
    // copy. The executable is named explicitly: the unquoted command line
    // alone would be split at the first blank of a path such as
    // C:\Program Files\SoundVQ\SVQPlyer.exe.
    const CString commandLine = PlayerCommandLine(playerPath, playlistPath);
    std::vector<char> writableCommandLine(commandLine.GetString(),
                                          commandLine.GetString() + commandLine.GetLength() + 1);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(playerPath.GetString(), writableCommandLine.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &startup, &process))
        return FALSE;

    // Nothing more is done with the player; its handles are not kept.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}
