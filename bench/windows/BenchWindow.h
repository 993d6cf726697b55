#pragma once

#include "ui/ShuffleDlg.h"

// Runs the window's messages until its loads have filled the list: a load
// reads on threads of its own and the window adds what they finish.
inline void WaitForList(CShuffleDlg& dlg)
{
    while (dlg.m_commands.IsBusy()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}
