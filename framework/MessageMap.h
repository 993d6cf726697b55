#pragma once

#include "framework/Platform.h"

#include <shellapi.h>

class CWnd;

// Static message maps in MFC's shape. Each window class that handles messages
// has a constant table of entries and a link to its base class's table; the
// lookup walks the class's table, then the base tables, and takes the first
// entry that matches. Handlers are written &Class::OnFoo; every ON_ macro
// instantiates an invoker for the exact member-pointer type it expects, so a
// handler with the wrong signature does not compile.

// Calls the handler on `wnd` (which is of the class the entry was made for)
// and gives the message's result.
typedef LRESULT (*AFX_PINVOKE)(CWnd& wnd, WPARAM wParam, LPARAM lParam);

// A registered message's number, known only at run time: the function
// registers the message (once) and returns its number.
typedef UINT (*AFX_PMSGNUMBER)();

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;  // WM_..., AFX_WM_REFLECT_COMMAND, or for a registered message 0 or AFX_WM_REFLECT_BASE
    UINT nCode;     // notification code of a WM_COMMAND, else 0
    UINT nID;       // first control ID of a WM_COMMAND, else 0
    UINT nLastID;   // last control ID (nID for a single control)
    AFX_PMSGNUMBER pfnRegistered;  // a registered message: its number is added to nMessage
    AFX_PINVOKE pfnInvoke;  // nullptr ends the table
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // nullptr at the root (CWnd)
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Entries for a control's own notifications that its parent reflects back to
// it (MFC's WM_REFLECT_BASE + message). A reflected WM_COMMAND is matched by
// notification code only: the control is already identified by its window
// handle. Registered messages (0xC000 to 0xFFFF) reflect above 0xFFFF, where
// no real message lies.
const UINT AFX_WM_REFLECT_BASE = 0xBC00;
const UINT AFX_WM_REFLECT_COMMAND = AFX_WM_REFLECT_BASE + WM_COMMAND;

// The drag list's registered message (DRAGLISTMSGSTRING), which comctl32
// sends to the list's parent; registered once per process.
UINT AfxGetDragListMessage();

// The first entry for (message, code, id) in `pMap` or its base maps, or
// nullptr. For messages other than WM_COMMAND code and id are 0.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT message, UINT code, UINT id);

namespace AfxInvoke {

template <class T, void (T::*pfn)()>
LRESULT Void(CWnd& wnd, WPARAM, LPARAM)
{
    (static_cast<T&>(wnd).*pfn)();
    return 0;
}

template <class T, void (T::*pfn)(UINT, LPARAM)>
LRESULT SysCommand(CWnd& wnd, WPARAM wParam, LPARAM lParam)
{
    (static_cast<T&>(wnd).*pfn)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <class T, LRESULT (T::*pfn)(WPARAM, LPARAM)>
LRESULT Message(CWnd& wnd, WPARAM wParam, LPARAM lParam)
{
    return (static_cast<T&>(wnd).*pfn)(wParam, lParam);
}

template <class T, HCURSOR (T::*pfn)()>
LRESULT QueryDragIcon(CWnd& wnd, WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>((static_cast<T&>(wnd).*pfn)());
}

// Releases the drop handle when the handler is done, also when it throws.
class CDropRelease
{
public:
    explicit CDropRelease(HDROP hDrop) : m_hDrop(hDrop) {}
    ~CDropRelease() { ::DragFinish(m_hDrop); }
    CDropRelease(const CDropRelease&) = delete;
    CDropRelease& operator=(const CDropRelease&) = delete;

private:
    HDROP m_hDrop;
};

// The framework owns the drop handle: it calls DragFinish after the handler,
// so OnDropFiles must not call it itself.
template <class T, void (T::*pfn)(HDROP)>
LRESULT DropFiles(CWnd& wnd, WPARAM wParam, LPARAM)
{
    const HDROP hDrop = reinterpret_cast<HDROP>(wParam);
    CDropRelease release(hDrop);
    (static_cast<T&>(wnd).*pfn)(hDrop);
    return 0;
}

}  // namespace AfxInvoke

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                             \
    const AFX_MSGMAP* theClass::GetMessageMap() const                      \
    {                                                                      \
        return GetThisMessageMap();                                        \
    }                                                                      \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                        \
    {                                                                      \
        using ThisClass [[maybe_unused]] = theClass;                       \
        using TheBaseClass = baseClass;                                    \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                  \
            { 0, 0, 0, 0, nullptr, nullptr }                               \
        };                                                                 \
        static const AFX_MSGMAP messageMap = {                             \
            &TheBaseClass::GetThisMessageMap, &messageEntries[0] };        \
        return &messageMap;                                                \
    }

// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
    { WM_SYSCOMMAND, 0, 0, 0, nullptr, &AfxInvoke::SysCommand<ThisClass, &ThisClass::OnSysCommand> },

// void OnPaint()
#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, 0, nullptr, &AfxInvoke::Void<ThisClass, &ThisClass::OnPaint> },

// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, 0, nullptr, &AfxInvoke::QueryDragIcon<ThisClass, &ThisClass::OnQueryDragIcon> },

// void OnDestroy()
#define ON_WM_DESTROY() \
    { WM_DESTROY, 0, 0, 0, nullptr, &AfxInvoke::Void<ThisClass, &ThisClass::OnDestroy> },

// void OnDropFiles(HDROP hDropInfo); the framework calls DragFinish afterwards.
#define ON_WM_DROPFILES() \
    { WM_DROPFILES, 0, 0, 0, nullptr, &AfxInvoke::DropFiles<ThisClass, &ThisClass::OnDropFiles> },

// void memberFxn(); BN_CLICKED is 0, as are menu commands and the IDOK and
// IDCANCEL that the dialog manager sends for Enter, Escape and close.
#define ON_BN_CLICKED(id, memberFxn) \
    { WM_COMMAND, BN_CLICKED, (id), (id), nullptr, &AfxInvoke::Void<ThisClass, memberFxn> },

// void memberFxn(), in the control's own map: the control handles the
// notification it sent to its parent.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    { AFX_WM_REFLECT_COMMAND, (wNotifyCode), 0, 0, nullptr, &AfxInvoke::Void<ThisClass, memberFxn> },

// LRESULT memberFxn(WPARAM, LPARAM): the message as it came, result and all.
#define ON_MESSAGE(message, memberFxn) \
    { (message), 0, 0, 0, nullptr, &AfxInvoke::Message<ThisClass, memberFxn> },

// LRESULT memberFxn(WPARAM, LPARAM), in the control's own map: the registered
// message pfnRegistered names, sent to the parent about this control and
// reflected back to it.
#define ON_REGISTERED_MESSAGE_REFLECT(pfnRegistered, memberFxn) \
    { AFX_WM_REFLECT_BASE, 0, 0, 0, (pfnRegistered), &AfxInvoke::Message<ThisClass, memberFxn> },
