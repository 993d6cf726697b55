#include "ProbeDialog.h"

#include <stdexcept>

BEGIN_MESSAGE_MAP(CProbeEdit, CEdit)
    ON_CONTROL_REFLECT(EN_CHANGE, &CProbeEdit::OnChange)
END_MESSAGE_MAP()

void CProbeEdit::OnChange()
{
    ++changes;
    GetWindowText(lastText);
}

BEGIN_MESSAGE_MAP(CProbeButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, &CProbeButton::OnReflectedClick)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CProbeBaseDialog, CDialog)
    ON_BN_CLICKED(IDC_PROBE_BUTTON, &CProbeBaseDialog::OnBaseButton)
    ON_BN_CLICKED(IDC_CHECK, &CProbeBaseDialog::OnBaseCheck)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CProbeDialog, CProbeBaseDialog)
    ON_WM_SYSCOMMAND()
    ON_BN_CLICKED(IDC_PROBE_BUTTON, &CProbeDialog::OnButton)
    ON_BN_CLICKED(IDC_RADIO_THIRD, &CProbeDialog::OnThrow)
END_MESSAGE_MAP()

void CProbeDialog::DoDataExchange(CDataExchange* pDX)
{
    CProbeBaseDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROBE_LIST, m_list);
    DDX_Control(pDX, IDC_PROBE_EDIT, m_edit);
    if (m_bindButton)
        DDX_Control(pDX, IDC_PROBE_BUTTON, m_button);
    DDX_Radio(pDX, IDC_RADIO_FIRST, m_nChoice);
}

void CProbeDialog::OnOK()
{
    log.push_back("OnOK");
    CProbeBaseDialog::OnOK();
}

void CProbeDialog::OnCancel()
{
    log.push_back("OnCancel");
    CProbeBaseDialog::OnCancel();
}

void CProbeDialog::OnThrow()
{
    throw std::runtime_error("handler failed");
}

void CProbeDialog::OnSysCommand(UINT nID, LPARAM lParam)
{
    char entry[32];
    wsprintfA(entry, "OnSysCommand 0x%04X", nID);
    log.push_back(entry);
    // The low four bits belong to the system; only the rest names a command.
    if ((nID & 0xFFF0) != 0x0010)
        CProbeBaseDialog::OnSysCommand(nID, lParam);
}
