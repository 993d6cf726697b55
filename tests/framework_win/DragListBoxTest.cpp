#include "framework/DragListBox.h"

#include "ProbeDialog.h"
#include "ScriptedPrompts.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The probe dialog's list filled with A..D carrying 10..13, driven the way
// comctl32 drives the parent: the registered message with a DRAGLISTINFO.
class DragListTest : public PromptedTest
{
protected:
    void SetUp() override
    {
        PromptedTest::SetUp();
        ASSERT_TRUE(dlg.Create(IDD_PROBE));
        Fill();
    }

    void Fill()
    {
        dlg.m_list.ResetContent();
        const char* texts[] = {"A", "B", "C", "D"};
        for (int i = 0; i < 4; ++i)
            dlg.m_list.SetItemData(dlg.m_list.AddString(texts[i]), 10 + i);
    }

    // The centre of an item, in screen coordinates.
    POINT ItemPoint(int index) const
    {
        RECT rc;
        ::SendMessageA(dlg.m_list.m_hWnd, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc));
        POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ::ClientToScreen(dlg.m_list.m_hWnd, &pt);
        return pt;
    }

    // Inside the list, below the last item.
    POINT EmptyPoint() const
    {
        POINT pt = ItemPoint(3);
        pt.y += 40;
        return pt;
    }

    // Beside the list, outside it.
    POINT OutsidePoint() const
    {
        RECT rc;
        ::GetWindowRect(dlg.m_list.m_hWnd, &rc);
        return POINT{rc.right + 20, rc.top + 5};
    }

    LRESULT Notify(UINT notification, POINT pt)
    {
        DRAGLISTINFO info = {};
        info.uNotification = notification;
        info.hWnd = dlg.m_list.m_hWnd;
        info.ptCursor = pt;
        return ::SendMessageA(dlg.m_hWnd, AfxGetDragListMessage(), IDC_PROBE_LIST, reinterpret_cast<LPARAM>(&info));
    }

    std::string Order() const
    {
        std::string order;
        for (int i = 0; i < dlg.m_list.GetCount(); ++i) {
            CString text;
            dlg.m_list.GetText(i, text);
            order += text.GetString();
            order += std::to_string(dlg.m_list.GetItemData(i));
            order += ' ';
        }
        return order;
    }

    CProbeDialog dlg;
};

TEST_F(DragListTest, AnswersReachTheSenderThroughTheDialog)
{
    EXPECT_EQ(Notify(DL_BEGINDRAG, ItemPoint(1)), TRUE) << "begin over an item starts the drag";
    EXPECT_EQ(dlg.m_list.InsertMark(), 1) << "mark at the picked item";
    EXPECT_EQ(Notify(DL_DRAGGING, ItemPoint(3)), DL_MOVECURSOR) << "dragging over an item";
    EXPECT_EQ(dlg.m_list.InsertMark(), 3) << "mark follows the cursor";
    EXPECT_EQ(Notify(DL_DRAGGING, EmptyPoint()), DL_MOVECURSOR) << "dragging below the last item (to the end)";
    EXPECT_EQ(Notify(DL_DRAGGING, OutsidePoint()), DL_STOPCURSOR) << "dragging outside the list";
    EXPECT_EQ(Notify(DL_CANCELDRAG, ItemPoint(3)), 0) << "cancel";
    EXPECT_EQ(dlg.m_list.InsertMark(), -1) << "cancel clears the mark";
    EXPECT_EQ(Notify(DL_BEGINDRAG, EmptyPoint()), FALSE) << "begin over no item starts nothing";
    EXPECT_EQ(Order(), "A10 B11 C12 D13 ") << "nothing moved";
}

TEST_F(DragListTest, DropMovesTextAndItemDataTogether)
{
    struct Case
    {
        const char* name;
        int from;
        int onto;  // -1: below the last item, -2: outside the list
        const char* order;
        int selected;
    };
    const Case cases[] = {
        {"down, in front of the last item", 0, 3, "B11 C12 A10 D13 ", 2},
        {"up, to the top", 3, 0, "D13 A10 B11 C12 ", 0},
        {"one up", 2, 1, "A10 C12 B11 D13 ", 1},
        {"onto itself: stays", 1, 1, "A10 B11 C12 D13 ", -1},
        {"onto its successor: stays", 1, 2, "A10 B11 C12 D13 ", -1},
        {"below the items: to the end", 1, -1, "A10 C12 D13 B11 ", 3},
        {"last item below the items: stays", 3, -1, "A10 B11 C12 D13 ", -1},
        {"outside the list: stays", 1, -2, "A10 B11 C12 D13 ", -1},
    };
    for (const Case& c : cases) {
        Fill();
        ASSERT_EQ(Notify(DL_BEGINDRAG, ItemPoint(c.from)), TRUE) << c.name;
        const POINT drop = c.onto >= 0 ? ItemPoint(c.onto) : c.onto == -1 ? EmptyPoint() : OutsidePoint();
        EXPECT_EQ(Notify(DL_DROPPED, drop), 0) << c.name;
        EXPECT_EQ(Order(), c.order) << c.name;
        EXPECT_EQ(dlg.m_list.GetCurSel(), c.selected) << c.name << ": the moved item is selected";
        EXPECT_EQ(dlg.m_list.InsertMark(), -1) << c.name << ": drop clears the mark";
    }
}

TEST_F(DragListTest, DropWithoutADragMovesNothing)
{
    EXPECT_EQ(Notify(DL_DROPPED, ItemPoint(0)), 0);
    EXPECT_EQ(Order(), "A10 B11 C12 D13 ") << "no item was picked up";
}

}  // namespace

namespace {

// The whole path through comctl32: the drag list that DDX_Control made of
// the list reads the cursor position itself when the mouse messages come.
TEST_F(DragListTest, MouseDragThroughComctl32MovesTheItem)
{
    const HWND hList = dlg.m_list.m_hWnd;
    auto mouse = [&](UINT message, POINT screen) {
        ::SetCursorPos(screen.x, screen.y);
        POINT client = screen;
        ::ScreenToClient(hList, &client);
        ::SendMessageA(hList, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(client.x, client.y));
    };
    mouse(WM_LBUTTONDOWN, ItemPoint(0));
    mouse(WM_MOUSEMOVE, ItemPoint(2));
    mouse(WM_MOUSEMOVE, ItemPoint(3));
    mouse(WM_LBUTTONUP, ItemPoint(3));
    EXPECT_EQ(Order(), "B11 C12 A10 D13 ") << "A dragged in front of D";
    EXPECT_EQ(dlg.m_list.InsertMark(), -1) << "the mark is gone after the drop";
}

}  // namespace
