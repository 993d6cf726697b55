#include "ui/AboutDlg.h"

#include "res/resource.h"
#include "ui/ProgramIcon.h"

CAboutDlg::CAboutDlg(CWnd* pParent)
    : CDialog(IDD_ABOUTBOX, pParent),
      m_hIcon(nullptr)
{
}

CAboutDlg::~CAboutDlg()
{
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

BOOL CAboutDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    m_hIcon = LoadProgramIcon(SM_CXICON);
    // The icon the template gave the control came from LoadIcon, which
    // shares it: nothing to destroy. An icon control sizes itself to the
    // new icon.
    if (m_hIcon)
        ::SendMessageW(GetDlgItemHandle(IDC_ABOUT_ICON), STM_SETICON, reinterpret_cast<WPARAM>(m_hIcon), 0);
    return result;
}
