#pragma once

// A fixture that runs the real main window, modeless, from the program's own
// dialog template, with prompts answered by the test and a private registry.

#include "app/ShuffleApp.h"
#include "res/resource.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ShuffleDlg.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

extern CShuffleApp theApp;

inline const char kDirective[] = "#control(repeat=\"all\")";

// Runs this thread's messages until the main window `dialog` has taken in
// everything given to it so far: its loads have filled the list and the
// commands waiting for them have run. FALSE when that takes over a minute.
inline BOOL WaitForLoadOf(HWND dialog)
{
    // The dialog itself is not subclassed: the application knows its object.
    const CShuffleDlg* window = dynamic_cast<CShuffleDlg*>(theApp.m_pMainWnd);
    return window != nullptr && window->m_hWnd == dialog &&
           PumpMessagesUntil([window] { return !window->m_commands.IsBusy(); });
}

// The application object on a private, empty HKEY_CURRENT_USER, with
// prompts answered by the test.
class ApplicationTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        IsolateCurrentUserRegistry();
        ClearCurrentUserRegistry();
    }

    CScriptedPrompts prompts;
    CScratchFolder folder;
};

// Public helpers: table-driven cases call them through the fixture.
class MainWindowTest : public ApplicationTest
{
public:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        theApp.SetRegistryKey("Ostrel's Software");
        // Play's launch fails quietly into a recorded message unless a test
        // installs the stand-in player.
        theApp.m_strPlayerPath = folder / "no player here\\SVQPlyer.exe";
    }

    void TearDown() override { Close(); }

    void Open(int displayMode = 1)
    {
        dlg = std::make_unique<CShuffleDlg>(theApp);
        theApp.m_pMainWnd = dlg.get();
        dlg->m_nHandling = displayMode;
        ASSERT_TRUE(dlg->Create(IDD_MAIN));
        WaitForLoad();  // the remembered playlist
    }

    void Close()
    {
        if (dlg && dlg->m_hWnd != nullptr)
            dlg->DestroyWindow();
        theApp.m_pMainWnd = nullptr;
        dlg.reset();
    }

    HWND Item(int id) const { return GetDlgItem(dlg->m_hWnd, id); }

    // Waits, through the window's messages, until the loads and commands
    // given so far have reached the list.
    void WaitForLoad() { ASSERT_TRUE(WaitForLoadOf(dlg->m_hWnd)) << "the window's load did not end"; }

    // WM_SETTEXT, as typing or a program changes the text: EN_CHANGE follows
    // and starts a load. SetPath waits for it to fill the list.
    void SetPathText(const CString& path) { SetWindowTextA(Item(IDC_PATH), path); }
    void SetPath(const CString& path)
    {
        SetPathText(path);
        WaitForLoad();
    }
    CString PathText() const  // whole, however long
    {
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(Item(IDC_PATH))) + 1, '\0');
        const int copied = GetWindowTextA(Item(IDC_PATH), &text[0], static_cast<int>(text.size()));
        return CString(text.data(), copied);
    }

    std::vector<ListItem> Entries() const { return ListItems(Item(IDC_ENTRIES)); }

    // Save under `target`, with the load question (should it come) answered No.
    void SaveAs(const CString& target)
    {
        prompts.fileAnswers.push_back(target);
        prompts.messageAnswers.push_back(IDNO);
        Click(IDC_SAVE);
    }

    // The one message shown since the last check, owned by the window; forgets it.
    void ExpectOnlyMessage(const wchar_t* text, const wchar_t* caption = JumblaText::kCaption)
    {
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, text);
        EXPECT_EQ(prompts.messages[0].caption, caption);
        EXPECT_EQ(prompts.messages[0].owner, dlg->m_hWnd);
        prompts.messages.clear();
    }

    // A button, a system-menu command or a drop (onto the window, or the
    // given control), and what it waits for, done.
    void Click(int id)
    {
        SendMessageA(dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
        WaitForLoad();
    }
    void SysCommand(UINT id)
    {
        SendMessageA(dlg->m_hWnd, WM_SYSCOMMAND, id, 0);
        WaitForLoad();
    }
    void Drop(const std::vector<WideName>& names, HWND target = nullptr)
    {
        SendMessageA(target ? target : dlg->m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names)), 0);
        WaitForLoad();
    }

    static CString SettingsKey() { return CString("Software\\Ostrel's Software\\") + theApp.m_pszAppName + "\\Settings"; }

    // A playlist of the given lines, each ended by CR LF.
    CString WritePlaylist(const char* name, std::initializer_list<const char*> lines)
    {
        const CString path = folder / name;
        WriteFileBytes(path, CrLfLines(lines));
        return path;
    }

    static CString CrLfLines(std::initializer_list<const char*> lines)
    {
        CString text;
        for (const char* line : lines)
            text += CString(line) + "\r\n";
        return text;
    }

    // The playlist lines the list's entries stand for, in list order.
    static CString WrittenForm(const std::vector<CString>& fileLines, const std::vector<ListItem>& entries)
    {
        CString text = CString(kDirective) + "\r\n";
        for (const ListItem& entry : entries)
            text += fileLines.at(entry.data) + "\r\n";
        return text;
    }

    std::unique_ptr<CShuffleDlg> dlg;
};
