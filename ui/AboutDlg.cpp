#include "ui/AboutDlg.h"

#include "framework/Icon.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg()
    : CDialog(IDD_ABOUTBOX),
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
    // The template's icon control has no ID of its own: it is the one
    // static control of the icon type.
    m_hIcon = LoadIconOfSize(::GetModuleHandleW(nullptr), IDR_MAINFRAME, ::GetSystemMetrics(SM_CXICON));
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child && m_hIcon; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        ::GetClassNameW(child, className, sizeof className / sizeof className[0]);
        if (::lstrcmpiW(className, L"Static") == 0 && (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            // The icon it had came from LoadIcon, which shares it: nothing
            // to destroy. An icon control sizes itself to the new icon.
            ::SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(m_hIcon), 0);
            break;
        }
    }
    return result;
}
