// The texts a person sees, read back from the real windows and boxes through
// the UTF-16 API. The program runs twice: with the Japanese code page 932 and
// with 1252 (JUMBLA_EXPECTED_ACP says which), where texts handed to the ANSI
// API would turn into mojibake.

#include "tests/ui/MainWindowTest.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace JumblaText;

// EnumChildWindows callback: collects the texts of a box's static controls,
// but for pictures (whose text is their resource's number).
BOOL CALLBACK CollectStaticText(HWND child, LPARAM texts)
{
    wchar_t className[32] = {};
    GetClassNameW(child, className, sizeof className / sizeof className[0]);
    const LONG type = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
    wchar_t text[1024] = {};
    if (lstrcmpiW(className, L"Static") == 0 && type != SS_ICON && type != SS_BITMAP &&
        GetWindowTextW(child, text, sizeof text / sizeof text[0]) > 0)
        reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
    return TRUE;
}

std::vector<std::wstring> StaticTexts(HWND dialog)
{
    std::vector<std::wstring> texts;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, sizeof text / sizeof text[0]);
    return text;
}

std::wstring MenuItemText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, sizeof text / sizeof text[0], MF_BYPOSITION);
    return text;
}

class ShownTextTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The real message boxes and file dialogs, closed by the test.
        AfxSetUserPrompts(nullptr);
        playlist = WritePlaylist("list.vql", {"#x", "a.vqf"});
    }

    void TearDown() override
    {
        MainWindowTest::TearDown();
        AfxSetUserPrompts(&prompts);
    }

    // Runs `show`, which must show one message box, and checks what the box
    // reads: its caption and its text.
    void ExpectBox(const std::function<void()>& show, const std::wstring& caption, const std::wstring& text)
    {
        std::vector<std::wstring> shown;
        CModalDialogCloser closer;
        closer.inspect = [&](HWND box) { shown = StaticTexts(box); };
        show();
        ASSERT_TRUE(closer.seen) << "no message box reading " << ::testing::PrintToString(text);
        EXPECT_EQ(closer.caption, caption);
        EXPECT_NE(std::find(shown.begin(), shown.end(), text), shown.end())
            << "the box does not read " << ::testing::PrintToString(text) << "; it reads "
            << ::testing::PrintToString(shown);
    }

    CString playlist;
};

TEST_F(ShownTextTest, TheSystemCodePageIsTheOneThisRunIsFor)
{
    const char* expected = std::getenv("JUMBLA_EXPECTED_ACP");
    ASSERT_NE(expected, nullptr) << "the test registration sets JUMBLA_EXPECTED_ACP";
    EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

// The one check of the texts themselves, loaded as the program loads them:
// the code names them only by ID.
TEST(StringTable, HoldsEveryShownTextAsWritten)
{
    const struct
    {
        UINT id;
        const wchar_t* text;
    } table[] = {
        {IDS_ABOUTBOX, kAboutMenu}, {IDS_SHUFFLE_PLAY, kShufflePlayMenu},
        {IDS_CAPTION, kCaption}, {IDS_DROP_CAPTION, kDropCaption},
        {IDS_PLAYLIST_FILTER, kFilter}, {IDS_OPEN_TITLE, kOpenTitle},
        {IDS_SAVE_TITLE, kSaveTitle}, {IDS_SAVE_FAILED, kSaveFailed},
        {IDS_LOAD_SAVED, kLoadSaved}, {IDS_ONE_FILE_ONLY, kOneFileOnly},
        {IDS_NOT_VQL, kNotVql}, {IDS_UNREADABLE, kUnreadable},
        {IDS_PLAYER_MISSING, kPlayerMissing}, {IDS_PLAYER_NOT_STARTED, kPlayerNotStarted},
    };
    for (const auto& row : table)
        EXPECT_EQ(AfxLoadText(row.id), row.text) << "string " << row.id;
}

TEST_F(ShownTextTest, MessageBoxesReadAsWritten)
{
    Open(1);
    SetPath(playlist);
    // The launch fails: the player path names no program.
    ExpectBox([&] { Click(IDC_PLAY); }, kCaption, kPlayerNotStarted);
    ExpectBox([&] { SendMessageA(dlg->m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({folder / "song.vqf"})), 0); },
              kDropCaption, kNotVql);
    ExpectBox([&] { SendMessageA(dlg->m_hWnd, WM_DROPFILES,
                                 reinterpret_cast<WPARAM>(MakeDrop({folder / "other.vql", folder / "b.vql"})), 0); },
              kDropCaption, kOneFileOnly);  // and takes the first, a playlist
}

TEST_F(ShownTextTest, AnUnreadableEntryIsNamedBeforeTheJapaneseText)
{
    const CString missing = folder / "missing.vqf";
    WriteFileBytes(playlist, CString(missing) + "\r\n");
    Open(0);
    ExpectBox([&] { SetPath(playlist); }, kCaption, AfxWideFromAnsi(missing) + kUnreadable);
}

// 0x81 starts a double-byte character in code page 932 and is no character
// at all in 1252; "." cannot end one. The path is still shown, as the system
// reads those bytes, before the Japanese text.
TEST_F(ShownTextTest, AnEntryPathThatIsNoValidTextIsShownAsTheSystemReadsIt)
{
    const CString bad = folder / "bad\x81.vqf\x81";
    WriteFileBytes(playlist, CString(bad) + "\r\n");
    wchar_t asRead[MAX_PATH] = {};
    const int length = MultiByteToWideChar(CP_ACP, 0, bad, bad.GetLength(), asRead, MAX_PATH);
    ASSERT_GT(length, 0);
    Open(0);
    ExpectBox([&] { SetPath(playlist); }, kCaption, std::wstring(asRead, length) + kUnreadable);
}

TEST_F(ShownTextTest, FileDialogsShowTheirTitleAndFilter)
{
    Open(1);
    SetPath(playlist);
    struct Case
    {
        int command;
        const wchar_t* title;
    };
    for (const Case& c : {Case{IDC_LOAD, kOpenTitle}, Case{IDC_SAVE, kSaveTitle}}) {
        std::wstring filter;
        CModalDialogCloser closer;
        closer.inspect = [&](HWND dialog) {
            // The file-type box of the Explorer-style dialog (cmb1).
            const HWND types = GetDlgItem(dialog, cmb1);
            wchar_t text[256] = {};
            if (types != nullptr && SendMessageW(types, CB_GETLBTEXTLEN, 0, 0) < 256)
                SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
            filter = text;
        };
        Click(c.command);
        ASSERT_TRUE(closer.seen) << "no file dialog for command " << c.command;
        EXPECT_EQ(closer.caption, c.title);
        const std::wstring filters = kFilter;
        EXPECT_EQ(filter, filters.substr(0, filters.find(L'|'))) << "the first filter's description";
    }
}

// The labels of both windows, from their templates; the About box's second
// line is the program's own, any text.
TEST_F(ShownTextTest, WindowsAndTheSystemMenuReadAsWritten)
{
    Open(1);
    EXPECT_EQ(WindowText(dlg->m_hWnd), kCaption);
    const struct
    {
        int id;
        const wchar_t* text;
    } labels[] = {
        {IDC_SHUFFLE, L"シャッフル"}, {IDCANCEL, L"終了"},  {IDC_PLAY, L"プレイ"},          {IDC_LOAD, L"読込..."},
        {IDC_SAVE, L"保存..."},       {IDC_MODE_TITLE, L"曲名"}, {IDC_MODE_FILENAME, L"ファイル名"},
    };
    for (const auto& label : labels)
        EXPECT_EQ(WindowText(Item(label.id)), label.text) << "control " << label.id;
    EXPECT_EQ(StaticTexts(dlg->m_hWnd), std::vector<std::wstring>{L"VQLファイル"});

    const HMENU menu = GetSystemMenu(dlg->m_hWnd, FALSE);
    const int count = GetMenuItemCount(menu);
    EXPECT_EQ(MenuItemText(menu, count - 2), kAboutMenu);
    EXPECT_EQ(MenuItemText(menu, count - 1), kShufflePlayMenu);

    std::vector<std::wstring> aboutTexts;
    std::wstring okText;
    CModalDialogCloser closer;
    closer.inspect = [&](HWND about) {
        aboutTexts = StaticTexts(about);
        okText = WindowText(GetDlgItem(about, IDOK));
    };
    SysCommand(IDM_ABOUTBOX);
    ASSERT_TRUE(closer.seen);
    EXPECT_EQ(closer.caption, kAboutCaption);
    ASSERT_EQ(aboutTexts.size(), 2u) << ::testing::PrintToString(aboutTexts);
    EXPECT_EQ(aboutTexts[0], L"Jumbla Version 1.0");
    EXPECT_EQ(okText, L"OK");
}

}  // namespace
