#include "framework/Wnd.h"

#include "framework/UserPrompts.h"

#include <commctrl.h>

namespace {

// Our one subclass per window. Other subclasses (comctl32's drag list, for
// one) use their own procedures and chain through DefSubclassProc.
const UINT_PTR kSubclassId = 1;

// MinGW's import library lacks GetWindowSubclass, which comctl32 exports by
// name (version 6) and as ordinal 411 (every version).
BOOL LookUpSubclass(HWND hWnd, SUBCLASSPROC pfnSubclass, UINT_PTR uIdSubclass, DWORD_PTR* pdwRefData)
{
    using GetWindowSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
    static const GetWindowSubclassFn pfnGet = [] {
        const HMODULE hComctl = ::GetModuleHandleA("comctl32.dll");
        FARPROC proc = ::GetProcAddress(hComctl, "GetWindowSubclass");
        if (proc == nullptr)
            proc = ::GetProcAddress(hComctl, MAKEINTRESOURCEA(411));
        return reinterpret_cast<GetWindowSubclassFn>(reinterpret_cast<void*>(proc));
    }();
    return pfnGet != nullptr && pfnGet(hWnd, pfnSubclass, uIdSubclass, pdwRefData);
}

// The child a notification is about: WM_COMMAND names it in lParam (0 for
// menus and accelerators), the drag-list message in its DRAGLISTINFO.
HWND NotifyingChild(UINT message, LPARAM lParam)
{
    if (message == WM_COMMAND)
        return reinterpret_cast<HWND>(lParam);
    if (message == AfxGetDragListMessage() && lParam != 0)
        return reinterpret_cast<const DRAGLISTINFO*>(lParam)->hWnd;
    return nullptr;
}

// Keeps the message that Default() refers to for the length of one dispatch;
// messages sent while a handler runs nest inside it.
class CCurrentMessage
{
public:
    CCurrentMessage(MSG& current, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
        : m_current(current), m_saved(current)
    {
        m_current.hwnd = hWnd;
        m_current.message = message;
        m_current.wParam = wParam;
        m_current.lParam = lParam;
    }
    ~CCurrentMessage() { m_current = m_saved; }
    CCurrentMessage(const CCurrentMessage&) = delete;
    CCurrentMessage& operator=(const CCurrentMessage&) = delete;

private:
    MSG& m_current;
    MSG m_saved;
};

}  // namespace

CWnd::~CWnd()
{
    // The window may outlive its wrapper; it must not keep calling into it.
    if (m_hWnd != nullptr)
        ::RemoveWindowSubclass(m_hWnd, &CWnd::SubclassProc, kSubclassId);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    DWORD_PTR refData = 0;
    if (hWnd == nullptr || !LookUpSubclass(hWnd, &CWnd::SubclassProc, kSubclassId, &refData))
        return nullptr;
    return reinterpret_cast<CWnd*>(refData);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr)
        return FALSE;
    m_hWnd = hWnd;
    try {
        PreSubclassWindow();
    } catch (...) {
        m_hWnd = nullptr;
        throw;
    }
    if (!::SetWindowSubclass(hWnd, &CWnd::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        m_hWnd = nullptr;
        return FALSE;
    }
    return TRUE;
}

void CWnd::PreSubclassWindow()
{
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR dwRefData)
{
    CWnd* pWnd = reinterpret_cast<CWnd*>(dwRefData);
    if (message == WM_NCDESTROY) {
        // The last message of the window: the subclass must be gone before
        // the window is, and the object no longer names a window.
        ::RemoveWindowSubclass(hWnd, &CWnd::SubclassProc, kSubclassId);
        pWnd->m_hWnd = nullptr;
        return ::DefSubclassProc(hWnd, message, wParam, lParam);
    }
    try {
        return pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        return AfxHandleWndProcException(hWnd, message);
    }
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    CCurrentMessage current(m_currentMsg, m_hWnd, message, wParam, lParam);
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = ::DefSubclassProc(m_hWnd, message, wParam, lParam);
    return result;
}

LRESULT CWnd::Default()
{
    return ::DefSubclassProc(m_hWnd, m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (HWND hChild = NotifyingChild(message, lParam)) {
        CWnd* pChild = FromHandlePermanent(hChild);
        if (pChild != nullptr && pChild != this && pChild->OnChildNotify(message, wParam, lParam, pResult))
            return TRUE;
    }

    UINT code = 0;
    UINT id = 0;
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    }
    const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(GetMessageMap(), message, code, id);
    if (pEntry == nullptr)
        return FALSE;
    *pResult = pEntry->pfnInvoke(*this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const UINT code = message == WM_COMMAND ? HIWORD(wParam) : 0;
    const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(GetMessageMap(), AFX_WM_REFLECT_BASE + message, code, 0);
    if (pEntry == nullptr)
        return FALSE;
    *pResult = pEntry->pfnInvoke(*this, wParam, lParam);
    return TRUE;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY noEntries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, &noEntries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CWnd::OnPaint()
{
    Default();
}

void CWnd::OnDestroy()
{
    Default();
}

HWND CWnd::GetDlgItemHandle(int nID) const
{
    return ::GetDlgItem(m_hWnd, nID);
}

void CWnd::GetWindowText(CString& rString) const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    // The length may overestimate (it can count in another encoding), never
    // underestimate; the count copied is the real one.
    char* buffer = rString.GetBuffer(length);
    const int copied = ::GetWindowTextA(m_hWnd, buffer, length + 1);
    rString.ReleaseBuffer(copied);
}

void CWnd::SetWindowText(const char* lpszString)
{
    ::SetWindowTextA(m_hWnd, lpszString);
}

int CWnd::GetWindowTextLength() const
{
    return ::GetWindowTextLengthA(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(RECT* lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(
        ::SendMessageA(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HMENU CWnd::GetSystemMenu(BOOL bRevert) const
{
    return ::GetSystemMenu(m_hWnd, bRevert);
}

void CWnd::DragAcceptFiles(BOOL bAccept)
{
    ::DragAcceptFiles(m_hWnd, bAccept);
}

BOOL CWnd::SetForegroundWindow()
{
    return ::SetForegroundWindow(m_hWnd);
}

HWND CWnd::SetActiveWindow()
{
    return ::SetActiveWindow(m_hWnd);
}

void CWnd::SetRedraw(BOOL bRedraw)
{
    ::SendMessageA(m_hWnd, WM_SETREDRAW, bRedraw, 0);
}

CRedrawGuard::CRedrawGuard(CWnd& wnd)
    : m_wnd(wnd)
{
    m_wnd.SetRedraw(FALSE);
}

CRedrawGuard::~CRedrawGuard()
{
    if (m_wnd.m_hWnd == nullptr)
        return;  // InvalidateRect(nullptr) would repaint every window
    m_wnd.SetRedraw(TRUE);
    // WM_SETREDRAW TRUE repaints nothing by itself: the changes made while
    // redrawing was off are shown only once the window is invalidated.
    ::InvalidateRect(m_wnd.m_hWnd, nullptr, TRUE);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

int CWnd::MessageBox(const wchar_t* lpszText, const wchar_t* lpszCaption, UINT nType)
{
    return AfxGetUserPrompts().MessageBox(m_hWnd, lpszText, lpszCaption != nullptr ? lpszCaption : AfxGetPromptCaption(),
                                          nType);
}

LRESULT AfxHandleWndProcException(HWND hWnd, UINT message) noexcept
{
    // A paint handler that failed left the region invalid; validating it
    // stops an endless repaint, and with it an endless stream of reports.
    if (message == WM_PAINT)
        ::ValidateRect(hWnd, nullptr);
    AfxReportCurrentException(hWnd);
    return 0;
}
