#include "app/ShuffleApp.h"

#include "framework/UserPrompts.h"
#include "framework/WideText.h"
#include "player/PlayerPath.h"
#include "player/PlayerProcess.h"
#include "player/PlayerRegistry.h"
#include "res/resource.h"
#include "ui/ShuffleDlg.h"

#include <commctrl.h>

CShuffleApp::CShuffleApp()
    : CWinApp(nullptr)
{
}

BOOL CShuffleApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    SetRegistryKey("Ostrel's Software");

    if (!LocatePlayer()) {
        // No window exists yet to own the message.
        AfxGetUserPrompts().MessageBox(nullptr, AfxLoadText(IDS_PLAYER_MISSING).c_str(), AfxLoadText(IDS_CAPTION).c_str(),
                                       MB_OK);
        return FALSE;
    }

    CShuffleDlg dlg(*this);
    m_pMainWnd = &dlg;
    dlg.m_nHandling = static_cast<int>(GetProfileInt("Settings", "HandlingBy", 0));
    // The window stores both settings as it closes.
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // FALSE: the framework runs no message loop of its own; the program ends.
    return FALSE;
}

int CShuffleApp::LocatePlayer()
{
    CString decoderPath;
    if (!ReadPlayerDecoderPath(decoderPath))
        return 0;
    m_strPlayerPath = PlayerPathFromDecoderPath(decoderPath);
    return 1;
}

void CShuffleApp::LaunchPlayer(const CString& playlistPath)
{
    if (StartPlayerProcess(m_strPlayerPath, playlistPath))
        return;
    HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    AfxGetUserPrompts().MessageBox(owner, AfxLoadText(IDS_PLAYER_NOT_STARTED).c_str(), AfxLoadText(IDS_CAPTION).c_str(),
                                   MB_OK);
}
