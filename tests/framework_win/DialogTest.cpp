#include "framework/WinApp.h"

#include "ProbeDialog.h"
#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class DialogTest : public PromptedTest
{
};

bool IsChecked(const CWnd& dlg, int id)
{
    return ::SendMessageA(dlg.GetDlgItemHandle(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(const CWnd& dlg, int id, bool checked)
{
    ::SendMessageA(dlg.GetDlgItemHandle(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

TEST_F(DialogTest, RadioGroupFollowedByCheckBoxIsShownAtInitialisationAndRoundTrips)
{
    struct Case
    {
        const char* name;
        int value;
        bool first, second, third;
        int readBack;
    };
    const Case cases[] = {
        {"first button", 0, true, false, false, 0},
        {"second button", 1, false, true, false, 1},
        {"third button", 2, false, false, true, 2},
        {"none", -1, false, false, false, -1},
        {"index of the check box: not a radio, nothing checked", 3, false, false, false, -1},
    };
    CProbeDialog dlg;
    dlg.m_nChoice = 1;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    EXPECT_TRUE(IsChecked(dlg, IDC_RADIO_SECOND)) << "OnInitDialog exchanges towards the controls";
    for (const Case& c : cases) {
        SetChecked(dlg, IDC_CHECK, true);
        dlg.m_nChoice = c.value;
        dlg.UpdateData(FALSE);
        EXPECT_EQ(IsChecked(dlg, IDC_RADIO_FIRST), c.first) << c.name;
        EXPECT_EQ(IsChecked(dlg, IDC_RADIO_SECOND), c.second) << c.name;
        EXPECT_EQ(IsChecked(dlg, IDC_RADIO_THIRD), c.third) << c.name;
        EXPECT_TRUE(IsChecked(dlg, IDC_CHECK)) << c.name << ": the check box in the group is left alone";
        dlg.m_nChoice = 99;
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_nChoice, c.readBack) << c.name << ": read back with the check box checked";
    }
}

TEST_F(DialogTest, DataExchangeRejectsMisuse)
{
    CProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    CDataExchange dx(&dlg, TRUE);
    int value = 0;
    EXPECT_THROW(DDX_Radio(&dx, IDC_RADIO_SECOND, value), std::logic_error) << "group start without WS_GROUP";
    CEdit stray;
    EXPECT_THROW(DDX_Control(&dx, 4242, stray), std::logic_error) << "no such control";
    EXPECT_THROW(DDX_Control(&dx, IDC_PROBE_LIST, dlg.m_edit), std::logic_error) << "object bound to another control";
}

// Repeated exchanges bind the edit once, so each change is handled once.
TEST_F(DialogTest, EditChangeIsReflectedOnceToTheBoundEditForEveryWayTheTextChanges)
{
    CProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    const HWND hEdit = dlg.GetDlgItemHandle(IDC_PROBE_EDIT);
    dlg.UpdateData(FALSE);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(dlg.m_edit.m_hWnd, hEdit);
    EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), &dlg.m_edit);

    dlg.m_edit.SetWindowText("C:\\list\\mine.vql");
    EXPECT_EQ(dlg.m_edit.changes, 1) << "SetWindowText, handled once after repeated exchanges";
    EXPECT_EQ(dlg.m_edit.lastText, "C:\\list\\mine.vql") << "the handler sees the new text";

    ::SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\a"));
    EXPECT_EQ(dlg.m_edit.changes, 2) << "WM_SETTEXT";

    ::SendMessageA(hEdit, EM_SETSEL, 4, 4);
    ::SendMessageA(hEdit, WM_CHAR, 'b', 0);
    EXPECT_EQ(dlg.m_edit.changes, 3) << "typing a character";
    EXPECT_EQ(dlg.m_edit.lastText, "C:\\ab") << "typed text";
    EXPECT_TRUE(dlg.log.empty()) << "the dialog's map does not see the reflected notification";
}

TEST_F(DialogTest, DoubleByteTextRoundTripsThroughTheEdit)
{
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese ANSI code page (LANG=ja_JP.UTF-8)";
    CProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    // "C:\ソ\ポ.vql": both characters have a trail byte that is an ASCII sign.
    const CString path("C:\\\x83\x5C\\\x83\x7C.vql");
    dlg.m_edit.SetWindowText(path);
    CString text;
    dlg.m_edit.GetWindowText(text);
    EXPECT_EQ(text, path) << "bytes as set";
    EXPECT_EQ(dlg.m_edit.GetWindowTextLength(), path.GetLength());
}

TEST_F(DialogTest, SystemMenuCommandsReachTheHandlerAndDefaultsCloseTheDialog)
{
    CProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    EXPECT_NE(dlg.GetSystemMenu(FALSE), nullptr) << "the dialog has a system menu";
    ::SendMessageA(dlg.m_hWnd, WM_SYSCOMMAND, 0x0013, 0);
    ::SendMessageA(dlg.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    const std::vector<std::string> expected = {"OnSysCommand 0x0013", "OnSysCommand 0xF060", "OnCancel"};
    EXPECT_EQ(dlg.log, expected) << "own command handled; SC_CLOSE through the default handling to IDCANCEL";
}

TEST_F(DialogTest, EnterEscapeAndCloseEndTheDialog)
{
    struct Case
    {
        const char* name;
        UINT message;
        WPARAM key;
        const char* handler;
    };
    const Case cases[] = {
        {"Escape", WM_KEYDOWN, VK_ESCAPE, "OnCancel"},
        {"Enter", WM_KEYDOWN, VK_RETURN, "OnOK"},
        {"close", WM_CLOSE, 0, "OnCancel"},
    };
    for (const Case& c : cases) {
        CProbeDialog dlg;
        ASSERT_TRUE(dlg.Create(IDD_PROBE)) << c.name;
        if (c.message == WM_CLOSE) {
            ::SendMessageA(dlg.m_hWnd, WM_CLOSE, 0, 0);
            PumpMessages();  // the dialog manager posts its IDCANCEL
        } else {
            // What the message loop hands to IsDialogMessage for a key
            // pressed in the edit.
            MSG msg = {};
            msg.hwnd = dlg.m_edit.m_hWnd;
            msg.message = c.message;
            msg.wParam = c.key;
            EXPECT_TRUE(::IsDialogMessageA(dlg.m_hWnd, &msg)) << c.name;
        }
        ASSERT_EQ(dlg.log.size(), 1u) << c.name;
        EXPECT_EQ(dlg.log[0], c.handler) << c.name;
    }
}

// Ends the modal loop should the dialog not close itself.
const int kTimedOut = 4711;

void CALLBACK EndStuckDialog(HWND hDlg, UINT, UINT_PTR, DWORD)
{
    ::EndDialog(hDlg, kTimedOut);
}

class CClosingDialog : public CProbeDialog
{
public:
    explicit CClosingDialog(CWnd* pParent = nullptr) : CProbeDialog(false, pParent) {}

    BOOL OnInitDialog() override
    {
        const BOOL result = CProbeDialog::OnInitDialog();
        owner = ::GetWindow(m_hWnd, GW_OWNER);
        ::SetTimer(m_hWnd, 1, 20000, &EndStuckDialog);
        if (failInit)
            throw std::runtime_error("init failed");
        ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        return result;
    }

    HWND owner = nullptr;
    bool failInit = false;
};

// A failed initialisation and a missing template end the run with -1.
TEST_F(DialogTest, ModalRunEndsWithTheDialogsResultOrFailureAndIsOwnedByItsParentOnly)
{
    CWinApp app("ModalTest");
    CProbeDialog mainDlg;
    ASSERT_TRUE(mainDlg.Create(IDD_PROBE));
    app.m_pMainWnd = &mainDlg;

    CClosingDialog modal(&mainDlg);
    EXPECT_EQ(modal.DoModal(), IDCANCEL) << "closed through WM_CLOSE, IDCANCEL and OnCancel";
    EXPECT_EQ(modal.owner, mainDlg.m_hWnd) << "owned by its parent";
    EXPECT_EQ(modal.m_hWnd, nullptr) << "the object lets go of the destroyed window";

    CClosingDialog orphan;
    EXPECT_EQ(orphan.DoModal(), IDCANCEL);
    EXPECT_EQ(orphan.owner, nullptr) << "no parent: no owner, whatever the main window is";

    CClosingDialog failing;
    failing.failInit = true;
    prompts.boxAnswers = {IDOK};
    EXPECT_EQ(failing.DoModal(), -1) << "initialisation threw";
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, L"init failed");

    CDialog missing(IDD_MISSING);
    EXPECT_EQ(missing.DoModal(), -1) << "no such template";
}

}  // namespace
