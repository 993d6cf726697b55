#include "framework/MessageMap.h"

#include "ProbeDialog.h"
#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace {

LRESULT Ignore(CWnd&, WPARAM, LPARAM)
{
    return 0;
}

// A registered message's number, as RegisterWindowMessage would give it.
UINT ProbeRegisteredMessage()
{
    return 0xC123;
}

const AFX_MSGMAP_ENTRY kBaseEntries[] = {
    {WM_COMMAND, BN_CLICKED, 100, 100, nullptr, &Ignore},
    {WM_PAINT, 0, 0, 0, nullptr, &Ignore},
    {0, 0, 0, 0, nullptr, nullptr},
};

const AFX_MSGMAP* BaseMap()
{
    static const AFX_MSGMAP map = {nullptr, &kBaseEntries[0]};
    return &map;
}

const AFX_MSGMAP_ENTRY kDerivedEntries[] = {
    {WM_COMMAND, BN_CLICKED, 100, 100, nullptr, &Ignore},
    {WM_COMMAND, EN_CHANGE, 100, 100, nullptr, &Ignore},
    {WM_COMMAND, BN_CLICKED, 200, 209, nullptr, &Ignore},
    {AFX_WM_REFLECT_COMMAND, EN_CHANGE, 0, 0, nullptr, &Ignore},
    {AFX_WM_REFLECT_BASE, 0, 0, 0, &ProbeRegisteredMessage, &Ignore},
    {0, 0, 0, 0, nullptr, nullptr},
};

const AFX_MSGMAP kDerivedMap = {&BaseMap, &kDerivedEntries[0]};

TEST(MessageMapLookup, MatchesMessageCodeAndIdRangeThroughBaseMaps)
{
    struct Case
    {
        const char* name;
        UINT message, code, id;
        const AFX_MSGMAP_ENTRY* expected;
    };
    const Case cases[] = {
        {"click on 100: the derived entry shadows the base one", WM_COMMAND, BN_CLICKED, 100, &kDerivedEntries[0]},
        {"EN_CHANGE on 100 is a different entry", WM_COMMAND, EN_CHANGE, 100, &kDerivedEntries[1]},
        {"other code on 100: no entry", WM_COMMAND, BN_DOUBLECLICKED, 100, nullptr},
        {"first ID of a range", WM_COMMAND, BN_CLICKED, 200, &kDerivedEntries[2]},
        {"last ID of a range", WM_COMMAND, BN_CLICKED, 209, &kDerivedEntries[2]},
        {"below a range", WM_COMMAND, BN_CLICKED, 199, nullptr},
        {"above a range", WM_COMMAND, BN_CLICKED, 210, nullptr},
        {"paint found in the base map", WM_PAINT, 0, 0, &kBaseEntries[1]},
        {"reflected entry does not answer the parent's WM_COMMAND", WM_COMMAND, EN_CHANGE, 0, nullptr},
        {"reflected entry by code", AFX_WM_REFLECT_COMMAND, EN_CHANGE, 0, &kDerivedEntries[3]},
        {"reflected registered message", AFX_WM_REFLECT_BASE + 0xC123, 0, 0, &kDerivedEntries[4]},
        {"the registered message itself is not the reflected one", 0xC123, 0, 0, nullptr},
        {"message nobody maps", WM_DESTROY, 0, 0, nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AfxFindMessageEntry(&kDerivedMap, c.message, c.code, c.id), c.expected) << c.name;
}

class MessageDispatch : public PromptedTest
{
};

LRESULT SendCommand(const CWnd& wnd, int id, int code, HWND hControl)
{
    return ::SendMessageA(wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hControl));
}

TEST_F(MessageDispatch, CommandsReachTheMostDerivedEntryThenBaseMaps)
{
    CProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    const HWND hButton = dlg.GetDlgItemHandle(IDC_PROBE_BUTTON);
    const HWND hCheck = dlg.GetDlgItemHandle(IDC_CHECK);

    SendCommand(dlg, IDC_PROBE_BUTTON, BN_CLICKED, hButton);
    SendCommand(dlg, IDC_PROBE_BUTTON, BN_DOUBLECLICKED, hButton);
    SendCommand(dlg, IDC_CHECK, BN_CLICKED, hCheck);
    SendCommand(dlg, IDC_PROBE_EDIT, BN_CLICKED, nullptr);
    const std::vector<std::string> expected = {"OnButton", "base OnCheck"};
    EXPECT_EQ(dlg.log, expected) << "derived entry for the button, base entry for the check box, nothing else";
}

TEST_F(MessageDispatch, ChildHandlesItsReflectedNotificationBeforeTheParentMap)
{
    struct Case
    {
        const char* name;
        bool bindButton;
        bool fromControl;  // lParam names the button, else 0 as for a menu
        int reflectedClicks;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"bound button: the child's reflect entry wins", true, true, 1, {}},
        {"bound button, command without a control: the dialog's entry", true, false, 0, {"OnButton"}},
        {"unbound button: the dialog's entry", false, true, 0, {"OnButton"}},
    };
    for (const Case& c : cases) {
        CProbeDialog dlg(c.bindButton);
        ASSERT_TRUE(dlg.Create(IDD_PROBE)) << c.name;
        const HWND hButton = dlg.GetDlgItemHandle(IDC_PROBE_BUTTON);
        SendCommand(dlg, IDC_PROBE_BUTTON, BN_CLICKED, c.fromControl ? hButton : nullptr);
        EXPECT_EQ(dlg.m_button.reflectedClicks, c.reflectedClicks) << c.name;
        EXPECT_EQ(dlg.log, c.log) << c.name;
    }
}

TEST_F(MessageDispatch, RealButtonClickIsReflectedToTheBoundButton)
{
    CProbeDialog dlg(true);
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    ::SendMessageA(dlg.GetDlgItemHandle(IDC_PROBE_BUTTON), BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.m_button.reflectedClicks, 1) << "BM_CLICK on the button";
    EXPECT_TRUE(dlg.log.empty()) << "the dialog's own entry must not run as well";
}

TEST_F(MessageDispatch, ExceptionFromHandlerIsReportedAndStopsAtTheDialogProcedure)
{
    CProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    prompts.boxAnswers = {IDOK};
    SendCommand(dlg, IDC_RADIO_THIRD, BN_CLICKED, dlg.GetDlgItemHandle(IDC_RADIO_THIRD));
    ASSERT_EQ(prompts.boxes.size(), 1u) << "one report of the failed handler";
    EXPECT_EQ(prompts.boxes[0].text, L"handler failed");
    EXPECT_EQ(prompts.boxes[0].owner, dlg.m_hWnd) << "the report is owned by the dialog";
}

// A control whose paint handler fails, attached to a plain static control.
class CFailingPaint : public CWnd
{
public:
    void OnPaint() { throw std::runtime_error("paint failed"); }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingPaint, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(MessageDispatch, ExceptionFromSubclassedControlIsReportedAndThePaintValidated)
{
    const HWND hStatic =
        ::CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hStatic, nullptr);
    {
        CFailingPaint control;
        ASSERT_TRUE(control.SubclassWindow(hStatic));
        EXPECT_EQ(CWnd::FromHandlePermanent(hStatic), &control) << "the window finds its object";
        ::InvalidateRect(hStatic, nullptr, TRUE);
        prompts.boxAnswers = {IDOK};
        ::SendMessageA(hStatic, WM_PAINT, 0, 0);
        ASSERT_EQ(prompts.boxes.size(), 1u) << "the failed paint is reported once";
        EXPECT_EQ(prompts.boxes[0].text, L"paint failed");
        EXPECT_FALSE(::GetUpdateRect(hStatic, nullptr, FALSE)) << "no endless repaint after the failure";
    }
    EXPECT_EQ(CWnd::FromHandlePermanent(hStatic), nullptr) << "the subclass goes with the object";
    ::DestroyWindow(hStatic);
}

}  // namespace
