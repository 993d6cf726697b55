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
    EXPECT_EQ(dlg.MessageBox("load?", "Jumbla", MB_YESNO), IDYES);
    EXPECT_EQ(dlg.MessageBox("text", nullptr), IDOK);
    ASSERT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(prompts.boxes[0].owner, dlg.m_hWnd) << "owned by the window";
    EXPECT_EQ(prompts.boxes[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(prompts.boxes[1].caption, "PromptApp") << "no caption: the application's name";
    EXPECT_EQ(prompts.boxes[1].type, static_cast<UINT>(MB_OK)) << "default type";
}

TEST_F(PromptsTest, UnexpectedMessageBoxFailsInsteadOfBlocking)
{
    CWnd nobody;
    int answer = 0;
    EXPECT_NONFATAL_FAILURE(answer = nobody.MessageBox("surprise", "Jumbla"), "unexpected message box");
    EXPECT_EQ(answer, IDCANCEL);
}

std::string Bytes(const char* p, size_t n)
{
    return std::string(p, n);
}

TEST_F(PromptsTest, FileDialogPassesItsSettingsAndTakesTheAnswer)
{
    CWinApp app("PromptApp");
    CProbeDialog mainDlg;
    ASSERT_TRUE(mainDlg.Create(IDD_PROBE));
    app.m_pMainWnd = &mainDlg;

    CFileDialog dialog(TRUE, "vql", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "VQL(*.vql)|*.vql||");
    dialog.m_ofn.lpstrTitle = "title";
    dialog.m_ofn.lpstrInitialDir = "C:\\list";
    BOOL seenOpen = FALSE;
    OPENFILENAMEA seen = {};
    char initialName = 'x';
    prompts.fileAnswer = [&](OPENFILENAMEA& ofn, BOOL bOpen) {
        seenOpen = bOpen;
        seen = ofn;
        initialName = ofn.lpstrFile[0];
        lstrcpyA(ofn.lpstrFile, "C:\\list\\mine.vql");
        return TRUE;
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), "C:\\list\\mine.vql") << "the chosen name";
    EXPECT_TRUE(seenOpen) << "open dialog";
    EXPECT_EQ(Bytes(seen.lpstrFilter, 17), Bytes("VQL(*.vql)\0*.vql\0\0", 17)) << "filter NUL-separated";
    EXPECT_EQ(seen.nFilterIndex, 1u);
    EXPECT_EQ(seen.nMaxFile, 1024u) << "name buffer";
    EXPECT_STREQ(seen.lpstrDefExt, "vql");
    EXPECT_STREQ(seen.lpstrTitle, "title");
    EXPECT_STREQ(seen.lpstrInitialDir, "C:\\list");
    const DWORD asked = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    EXPECT_EQ(seen.Flags & asked, asked) << "the caller's options";
    EXPECT_EQ(seen.hwndOwner, mainDlg.m_hWnd) << "owned by the main window";
    EXPECT_EQ(initialName, '\0') << "the name starts empty";

    CFileDialog save(FALSE, "vql", nullptr, OFN_OVERWRITEPROMPT, "VQL(*.vql)|*.vql||");
    prompts.fileAnswer = [&](OPENFILENAMEA&, BOOL bOpen) {
        seenOpen = bOpen;
        return FALSE;
    };
    EXPECT_EQ(save.DoModal(), IDCANCEL) << "cancelled";
    EXPECT_FALSE(seenOpen) << "save dialog";
}

TEST_F(PromptsTest, FilterKeepsDoubleByteCharactersWhoseTrailByteIsABar)
{
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese ANSI code page (LANG=ja_JP.UTF-8)";
    // "ポ" is 0x83 0x7C; 0x7C is '|'.
    CFileDialog dialog(TRUE, nullptr, nullptr, 0, "\x83\x7C(*.vql)|*.vql||");
    EXPECT_EQ(Bytes(dialog.m_ofn.lpstrFilter, 16), Bytes("\x83\x7C(*.vql)\0*.vql\0\0", 16));
}

}  // namespace
