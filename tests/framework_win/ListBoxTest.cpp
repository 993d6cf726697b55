#include "framework/ListBox.h"

#include "ProbeDialog.h"
#include "ScriptedPrompts.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// A subclass beside ours (as comctl32's drag list is) that records the
// messages passing through the chain.
class ListBoxChainTest : public PromptedTest
{
protected:
    void SetUp() override
    {
        PromptedTest::SetUp();
        ASSERT_TRUE(dlg.Create(IDD_PROBE));
        ASSERT_TRUE(::SetWindowSubclass(dlg.m_list.m_hWnd, &Record, kRecorderId, reinterpret_cast<DWORD_PTR>(&seen)));
    }

    void TearDown() override
    {
        ::RemoveWindowSubclass(dlg.m_list.m_hWnd, &Record, kRecorderId);
        PromptedTest::TearDown();
    }

    std::vector<UINT> Seen(UINT message) const
    {
        std::vector<UINT> found;
        for (const Message& m : seen) {
            if (m.message == message)
                found.push_back(static_cast<UINT>(m.wParam));
        }
        return found;
    }

    struct Message
    {
        UINT message;
        WPARAM wParam;
    };

    static LRESULT CALLBACK Record(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref)
    {
        reinterpret_cast<std::vector<Message>*>(ref)->push_back({message, wParam});
        return ::DefSubclassProc(hWnd, message, wParam, lParam);
    }

    static const UINT_PTR kRecorderId = 0x5EE;
    CProbeDialog dlg;
    std::vector<Message> seen;
};

TEST_F(ListBoxChainTest, OnlyBulkWorkSkipsTheSubclassChain)
{
    dlg.m_list.AddString("before");
    {
        CListBox::CBulkAccess bulk(dlg.m_list);
        dlg.m_list.AddString("bulk");
        {
            CListBox::CBulkAccess nested(dlg.m_list);
            dlg.m_list.AddString("nested");
        }
        dlg.m_list.AddString("bulk again");
    }
    dlg.m_list.AddString("after");

    EXPECT_EQ(Seen(LB_ADDSTRING).size(), 2u) << "before and after went through the chain";
    EXPECT_EQ(dlg.m_list.GetCount(), 5) << "the bulk items were added all the same";
}

TEST_F(ListBoxChainTest, RedrawComesBackOnEveryWayOut)
{
    {
        CRedrawGuard redraw(dlg.m_list);
        dlg.m_list.AddString("one");
    }
    try {
        CRedrawGuard redraw(dlg.m_list);
        throw std::runtime_error("a failing load");
    } catch (const std::runtime_error&) {
    }
    const std::vector<UINT> expected = {FALSE, TRUE, FALSE, TRUE};
    EXPECT_EQ(Seen(WM_SETREDRAW), expected);
}

}  // namespace
