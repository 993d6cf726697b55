#pragma once

#include "framework/MessageMap.h"
#include "framework/Platform.h"
#include "framework/String.h"

// A non-owning wrapper of a window handle: it never destroys the window. A
// window attached with SubclassWindow sends its messages through the object's
// message map; the attachment ends when the window is destroyed, or when the
// object goes first.
class CWnd
{
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object attached to hWnd by SubclassWindow, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL SubclassWindow(HWND hWnd);

    HWND GetDlgItemHandle(int nID) const;
    void GetWindowText(CString& rString) const;
    void SetWindowText(const char* lpszString);
    int GetWindowTextLength() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL IsIconic() const;
    void GetClientRect(RECT* lpRect) const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HMENU GetSystemMenu(BOOL bRevert) const;
    void DragAcceptFiles(BOOL bAccept = TRUE);
    BOOL SetForegroundWindow();
    HWND SetActiveWindow();
    void SetRedraw(BOOL bRedraw = TRUE);
    BOOL DestroyWindow();
    // Through the prompt seam. A null caption gives the application's name.
    int MessageBox(const wchar_t* lpszText, const wchar_t* lpszCaption, UINT nType = MB_OK);

    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Dispatches one message: a notification from a child goes first to the
    // child object (reflection), then this window's map and its base maps.
    // FALSE when nobody handled it and default handling should run.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();

    // The default handling of the message being dispatched, for handlers
    // that add to it rather than replace it.
    virtual LRESULT Default();

    // A notification this control sent to its parent, reflected back to it.
    // TRUE (with *pResult) when the control handled it; the parent's own map
    // then does not see it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Runs when the object is attached to an existing window, before its
    // messages come through the map.
    virtual void PreSubclassWindow();

    // Base handlers that hand the message to the default handling.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    void OnDestroy();

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR uIdSubclass, DWORD_PTR dwRefData);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    MSG m_currentMsg = {};  // the message Default() refers to
};

// Turns a window's redrawing off for a scope (many changes, one repaint) and
// back on, with the whole window repainted, on every way out.
class CRedrawGuard
{
public:
    explicit CRedrawGuard(CWnd& wnd);
    ~CRedrawGuard();
    CRedrawGuard(const CRedrawGuard&) = delete;
    CRedrawGuard& operator=(const CRedrawGuard&) = delete;

private:
    CWnd& m_wnd;
};

// What a window procedure returns after an exception from a handler has
// been reported through the prompt seam.
LRESULT AfxHandleWndProcException(HWND hWnd, UINT message) noexcept;
