#pragma once

#include "framework/Wnd.h"

class CDataExchange;

// A dialog from a template in the executable's resources, run modally
// (DoModal) or created modeless (Create, used by the tests). The dialog's
// messages go through the object's message map; unhandled ones get the
// dialog manager's default handling.
class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // The EndDialog result, or -1 when the dialog could not be created or
    // could not initialise. The parent given owns it; without one it has no
    // owner, as a program's main window.
    virtual INT_PTR DoModal();
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    // Binds the controls and shows the members' values (UpdateData(FALSE)).
    // TRUE lets the dialog manager set the default focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    // TRUE: controls to members; FALSE: members to controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Reached by IDOK / IDCANCEL: the buttons, Enter, Escape and close.
    virtual void OnOK();
    virtual void OnCancel();

protected:
    // In a dialog the default handling belongs to the dialog manager: it runs
    // after the handler returns, and the result here is 0.
    LRESULT Default() override;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerHandle() const;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bDefaultRequested = false;
};
