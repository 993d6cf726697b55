#include "framework/FileDialog.h"
#include "framework/WinApp.h"

#include "ProbeDialog.h"
#include "ScriptedPrompts.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class PromptsTest : public PromptedTest
{
};

TEST_F(PromptsTest, MessageBoxIsAnsweredByTheSeam)
{
    CWinApp app("PromptApp");
    CProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    prompts.boxAnswers = {IDYES, IDOK};
    EXPECT_EQ(dlg.MessageBox(L"load?", L"Jumbla", MB_YESNO), IDYES);
    EXPECT_EQ(dlg.MessageBox(L"text", nullptr), IDOK);
    ASSERT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(prompts.boxes[0].owner, dlg.m_hWnd) << "owned by the window";
    EXPECT_EQ(prompts.boxes[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(prompts.boxes[1].caption, L"PromptApp") << "no caption: the application's name";
    EXPECT_EQ(prompts.boxes[1].type, static_cast<UINT>(MB_OK)) << "default type";
}

TEST_F(PromptsTest, UnexpectedMessageBoxFailsInsteadOfBlocking)
{
    CWnd nobody;
    int answer = 0;
    EXPECT_NONFATAL_FAILURE(answer = nobody.MessageBox(L"surprise", L"Jumbla"), "unexpected message box");
    EXPECT_EQ(answer, IDCANCEL);
}

TEST_F(PromptsTest, FileDialogPassesItsSettingsAndTakesTheAnswer)
{
    CProbeDialog parent;
    ASSERT_TRUE(parent.Create(IDD_PROBE));

    CFileDialog dialog(TRUE, L"vql", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, L"VQL(*.vql)|*.vql||", &parent);
    dialog.m_ofn.lpstrTitle = L"title";
    dialog.SetInitialFolder("C:\\list");
    BOOL seenOpen = FALSE;
    OPENFILENAMEW seen = {};
    wchar_t initialName = L'x';
    prompts.fileAnswer = [&](OPENFILENAMEW& ofn, BOOL bOpen) {
        seenOpen = bOpen;
        seen = ofn;
        initialName = ofn.lpstrFile[0];
        lstrcpyW(ofn.lpstrFile, L"C:\\list\\mine.vql");
        return TRUE;
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), "C:\\list\\mine.vql") << "the chosen name";
    EXPECT_TRUE(seenOpen) << "open dialog";
    EXPECT_EQ(std::wstring(seen.lpstrFilter, 17), std::wstring(L"VQL(*.vql)\0*.vql\0\0", 17)) << "filter NUL-separated";
    EXPECT_EQ(seen.nFilterIndex, 1u);
    EXPECT_EQ(seen.nMaxFile, 1024u) << "name buffer";
    EXPECT_STREQ(seen.lpstrDefExt, L"vql");
    EXPECT_STREQ(seen.lpstrTitle, L"title");
    EXPECT_STREQ(seen.lpstrInitialDir, L"C:\\list");
    const DWORD asked = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    EXPECT_EQ(seen.Flags & asked, asked) << "the caller's options";
    EXPECT_EQ(seen.hwndOwner, parent.m_hWnd) << "owned by its parent";
    EXPECT_EQ(initialName, L'\0') << "the name starts empty";

    CFileDialog save(FALSE, L"vql", OFN_OVERWRITEPROMPT, L"VQL(*.vql)|*.vql||");
    prompts.fileAnswer = [&](OPENFILENAMEW& ofn, BOOL bOpen) {
        seenOpen = bOpen;
        seen = ofn;
        return FALSE;
    };
    EXPECT_EQ(save.DoModal(), IDCANCEL) << "cancelled";
    EXPECT_FALSE(seenOpen) << "save dialog";
    EXPECT_EQ(seen.hwndOwner, nullptr) << "no parent: no owner";
    EXPECT_EQ(seen.lpstrInitialDir, nullptr) << "no folder: the dialog chooses";
}

TEST_F(PromptsTest, FileDialogHandsOverJapaneseNamesAsAnsiBytes)
{
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese ANSI code page (LANG=ja_JP.UTF-8)";
    // ソ (0x83 0x5C) and ポ (0x83 0x7C): trail bytes that look like '\\' and '|'.
    CFileDialog dialog(TRUE, nullptr, 0, L"ポ(*.vql)|*.vql||");
    EXPECT_EQ(std::wstring(dialog.m_ofn.lpstrFilter, 13), std::wstring(L"ポ(*.vql)\0*.vql\0\0", 13));
    dialog.SetInitialFolder("C:\\\x83\x5C");
    EXPECT_STREQ(dialog.m_ofn.lpstrInitialDir, L"C:\\ソ");
    prompts.fileAnswer = [](OPENFILENAMEW& ofn, BOOL) {
        lstrcpyW(ofn.lpstrFile, L"C:\\ソ\\ポ.vql");
        return TRUE;
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), "C:\\\x83\x5C\\\x83\x7C.vql");
}

}  // namespace
