#pragma once

#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/DragListBox.h"
#include "framework/Edit.h"

#include "TestDialogs.h"

#include <string>
#include <vector>

// An edit that counts its own EN_CHANGE, reflected by the dialog.
class CProbeEdit : public CEdit
{
public:
    void OnChange();

    int changes = 0;
    CString lastText;

protected:
    DECLARE_MESSAGE_MAP()
};

// A button that handles its own BN_CLICKED, so the dialog's entry for the
// same button must not run.
class CProbeButton : public CWnd
{
public:
    void OnReflectedClick() { ++reflectedClicks; }

    int reflectedClicks = 0;

protected:
    DECLARE_MESSAGE_MAP()
};

// Shows the insertion mark the list keeps.
class CProbeDragList : public CDragListBox
{
public:
    int InsertMark() const { return m_nLast; }
};

// The base class of the probe dialog: its entries are reached through the
// derived map's link.
class CProbeBaseDialog : public CDialog
{
public:
    explicit CProbeBaseDialog(CWnd* pParent = nullptr) : CDialog(IDD_PROBE, pParent) {}

    std::vector<std::string> log;

    void OnBaseButton() { log.push_back("base OnButton"); }
    void OnBaseCheck() { log.push_back("base OnCheck"); }

protected:
    DECLARE_MESSAGE_MAP()
};

class CProbeDialog : public CProbeBaseDialog
{
public:
    explicit CProbeDialog(bool bindButton = false, CWnd* pParent = nullptr)
        : CProbeBaseDialog(pParent), m_bindButton(bindButton)
    {
    }

    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    void OnButton() { log.push_back("OnButton"); }
    void OnThrow();
    void OnSysCommand(UINT nID, LPARAM lParam);

    CProbeEdit m_edit;
    CProbeDragList m_list;
    CProbeButton m_button;
    int m_nChoice = -1;

protected:
    DECLARE_MESSAGE_MAP()

private:
    bool m_bindButton;
};

// Dispatches the messages already queued for this thread, as a message loop
// would (the dialog manager posts the IDCANCEL of a close).
inline void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}
