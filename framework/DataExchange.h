#pragma once

#include "framework/Wnd.h"

// One exchange between a dialog's controls and its members, in one direction.
class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members
    CWnd* m_pDlgWnd;
};

// Attaches rControl to the dialog's control nIDC, the first time only: later
// exchanges find it attached and leave it. Throws std::logic_error when the
// dialog has no such control.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// The radio group that starts at nIDC (which must have WS_GROUP) and runs to
// the next control with WS_GROUP; only radio buttons count. value is the
// 0-based index of the checked button, -1 when none is checked; an index
// that names no button unchecks them all.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
