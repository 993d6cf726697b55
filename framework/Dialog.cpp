#include "framework/Dialog.h"

#include "framework/DataExchange.h"
#include "framework/UserPrompts.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_BN_CLICKED(IDOK, &CDialog::OnOK)
    ON_BN_CLICKED(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

// Messages whose result is the dialog procedure's own return value; for
// every other message DefDlgProc reads the result from DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    // A modeless dialog still open: cut it loose first, so that its last
    // messages do not reach an object that is going away.
    if (m_hWnd != nullptr) {
        const HWND hDlg = m_hWnd;
        ::SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        m_hWnd = nullptr;
        ::DestroyWindow(hDlg);
    }
}

HWND CDialog::OwnerHandle() const
{
    // The owner is disabled while a modal dialog runs, and a modeless one
    // stays above it.
    return m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
}

// Dialogs are made as Unicode windows: the dialog manager then puts the
// template's UTF-16 texts (captions, labels, buttons) into the controls as
// they are. An ANSI dialog would pass them through the system code page,
// which loses the Japanese on any system but a Japanese one. The program's
// own ANSI calls on these windows (a path into the edit, an entry into the
// list) are converted by the system both ways.
INT_PTR CDialog::DoModal()
{
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDTemplate), OwnerHandle(),
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDTemplate), OwnerHandle(),
                                &CDialog::DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::Default()
{
    m_bDefaultRequested = true;
    return 0;
}

// The dialog manager's contract, kept in this one function:
// - Messages before WM_INITDIALOG (WM_SETFONT and the creation messages) find
//   no object yet and return FALSE: the dialog manager handles them.
// - WM_INITDIALOG returns OnInitDialog's result directly: TRUE lets the
//   system set the default focus.
// - A handled message returns TRUE and leaves its result in DWLP_MSGRESULT,
//   where DefDlgProc picks it up for the sender (a drag list's DL_BEGINDRAG
//   answer, for one). The few messages of ReturnsResultDirectly return the
//   result itself instead.
// - An unhandled message, or one whose handler called Default(), returns
//   FALSE, and the dialog manager does its own processing.
// - Exceptions stop here: reported through the prompt seam. A dialog that
//   fails to initialise ends with -1.
INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg = nullptr;
    if (message == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        pDlg->m_hWnd = hDlg;
        try {
            return pDlg->OnInitDialog();
        } catch (...) {
            AfxReportCurrentException(hDlg);
            ::EndDialog(hDlg, -1);
            return TRUE;
        }
    }

    pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hDlg, DWLP_USER));
    if (pDlg == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        pDlg->m_hWnd = nullptr;
        return FALSE;
    }

    const bool outerDefaultRequested = pDlg->m_bDefaultRequested;
    pDlg->m_bDefaultRequested = false;
    LRESULT result = 0;
    BOOL handled = FALSE;
    try {
        handled = pDlg->OnWndMsg(message, wParam, lParam, &result);
    } catch (...) {
        result = AfxHandleWndProcException(hDlg, message);
        handled = TRUE;
    }
    if (pDlg->m_bDefaultRequested)
        handled = FALSE;
    pDlg->m_bDefaultRequested = outerDefaultRequested;

    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, result);
    return TRUE;
}
