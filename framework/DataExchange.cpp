#include "framework/DataExchange.h"

#include <stdexcept>
#include <string>

namespace {

HWND DialogControl(CDataExchange* pDX, int nIDC, const char* routine)
{
    const HWND hControl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (hControl == nullptr)
        throw std::logic_error(std::string(routine) + ": the dialog has no control " + std::to_string(nIDC));
    return hControl;
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    const HWND hControl = DialogControl(pDX, nIDC, "DDX_Control");
    if (rControl.m_hWnd == hControl)
        return;
    if (rControl.m_hWnd != nullptr || !rControl.SubclassWindow(hControl))
        throw std::logic_error("DDX_Control: control " + std::to_string(nIDC) + " is already attached elsewhere");
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hControl = DialogControl(pDX, nIDC, "DDX_Radio");
    // The group runs from a WS_GROUP control to the next one; without the
    // style on the first button the group's start is not where the caller
    // thinks it is.
    if ((::GetWindowLongA(hControl, GWL_STYLE) & WS_GROUP) == 0)
        throw std::logic_error("DDX_Radio: control " + std::to_string(nIDC) + " does not start a group (WS_GROUP)");

    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    do {
        // Other controls inside the group (a check box, a label) are skipped
        // and do not count.
        if (::SendMessageA(hControl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(hControl, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    value = index;
            } else {
                ::SendMessageA(hControl, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        hControl = ::GetWindow(hControl, GW_HWNDNEXT);
    } while (hControl != nullptr && (::GetWindowLongA(hControl, GWL_STYLE) & WS_GROUP) == 0);
}
